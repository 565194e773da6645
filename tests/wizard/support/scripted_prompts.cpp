#include "wizard/support/scripted_prompts.h"

#include <gtest/gtest.h>

void ScriptedPrompts::expect(const QString& text, int answer) {
    expected_.push_back({text, answer});
}

int ScriptedPrompts::ask(const Prompt& prompt) {
    shown_.push_back(prompt);
    if (expected_.empty() || expected_.front().text != prompt.text) {
        ADD_FAILURE() << "unexpected prompt \"" << prompt.text.toStdString() << "\" ("
                      << prompt.caption.toStdString() << ")";
        return kPromptCancel;
    }
    const int answer = expected_.front().answer;
    expected_.pop_front();
    return answer;
}

void ScriptedPrompts::verifyAllShown() {
    for (const Expected& missing : expected_) {
        ADD_FAILURE() << "expected prompt \"" << missing.text.toStdString()
                      << "\" was never shown";
    }
    expected_.clear();
}
