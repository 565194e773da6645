#include "wizard/support/scripted_prompts.h"

#include <gtest/gtest.h>

void ScriptedPrompts::expect(const QString& text, int answer, std::function<void()> whileShown) {
    expected_.push_back({text, answer, std::move(whileShown)});
}

int ScriptedPrompts::ask(const Prompt& prompt) {
    shown_.push_back(prompt);
    if (expected_.empty() || expected_.front().text != prompt.text) {
        ADD_FAILURE() << "unexpected prompt \"" << prompt.text.toStdString() << "\" ("
                      << prompt.caption.toStdString() << ")";
        return kPromptCancel;
    }
    const Expected expected = std::move(expected_.front());
    expected_.pop_front();
    if (expected.whileShown) expected.whileShown();
    return expected.answer;
}

void ScriptedPrompts::verifyAllShown() {
    for (const Expected& missing : expected_) {
        ADD_FAILURE() << "expected prompt \"" << missing.text.toStdString()
                      << "\" was never shown";
    }
    expected_.clear();
}
