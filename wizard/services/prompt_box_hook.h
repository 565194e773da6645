#pragma once
// Routes the platform's message boxes (the engine's among them) to the prompt service for
// as long as it lives. A box asked for on another thread is shown on the GUI thread while
// its caller waits, so the GUI thread must not wait for that caller without handling
// events (see pumping_wait.h).

#include "platform/message_box.h"
#include "wizard/services/prompt_service.h"

// The prompt that a platform message box style asks for: the button set (OK, OK/Cancel,
// Yes/No, Yes/No/Cancel; other sets become OK) and the icon.
Prompt promptForMessageBox(std::string_view text, std::string_view caption, UINT style);

class PromptBoxHook {
public:
    PromptBoxHook();
    // Puts back the hook that was installed before.
    ~PromptBoxHook();
    PromptBoxHook(const PromptBoxHook&) = delete;
    PromptBoxHook& operator=(const PromptBoxHook&) = delete;

private:
    platform::MessageBoxHook previous_;
};
