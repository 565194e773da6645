#pragma once
// A prompt service that answers from a script and records every prompt. A prompt that the
// script does not expect fails the test and is answered with Cancel; nothing ever waits
// for a user.

#include <deque>
#include <functional>
#include <vector>

#include "wizard/services/prompt_service.h"

class ScriptedPrompts final : public PromptService {
public:
    // The next prompt must show `text`; it gets `answer`, after `whileShown` ran (as the
    // user would take time, with events handled meanwhile, before answering).
    void expect(const QString& text, int answer, std::function<void()> whileShown = {});

    int ask(const Prompt& prompt) override;

    const std::vector<Prompt>& shown() const { return shown_; }
    // Fails the test for every expected prompt that never came.
    void verifyAllShown();

private:
    struct Expected {
        QString text;
        int answer;
        std::function<void()> whileShown;
    };
    std::deque<Expected> expected_;
    std::vector<Prompt> shown_;
};
