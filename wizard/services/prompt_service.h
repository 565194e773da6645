#pragma once
// Every message box of the program goes through one prompt service: Qt message boxes by
// default, a script in tests.

#include <QString>

#include "wizard/services/service_slot.h"

class QWidget;

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptIcon { None, Error, Question, Warning, Information };

// The answers, numbered as the program's callers expect them.
inline constexpr int kPromptOk = 1;
inline constexpr int kPromptCancel = 2;
inline constexpr int kPromptYes = 6;
inline constexpr int kPromptNo = 7;

struct Prompt {
    QString text;  // shown as plain text, never as markup
    QString caption;
    PromptButtons buttons = PromptButtons::Ok;
    PromptIcon icon = PromptIcon::None;
    QWidget* owner = nullptr;  // null: no owner window
};

class PromptService {
public:
    virtual ~PromptService();
    // Shows the prompt modally on the GUI thread and returns the answer. A box closed
    // without a button answers as its escape button would (Cancel, else No, else OK).
    virtual int ask(const Prompt& prompt) = 0;

    // Qt message boxes.
    static PromptService& standard();
};

PromptService& promptService();
using ScopedPromptService = ScopedService<PromptService>;
