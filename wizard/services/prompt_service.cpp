#include "wizard/services/prompt_service.h"

#include <QMessageBox>

namespace {

QMessageBox::StandardButtons buttonsOf(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The first button is the default, as in the program's own boxes.
QMessageBox::StandardButton defaultButtonOf(PromptButtons buttons) {
    return buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel
               ? QMessageBox::Ok
               : QMessageBox::Yes;
}

QMessageBox::Icon iconOf(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::None:
        return QMessageBox::NoIcon;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

int answerOf(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return kPromptOk;
    case QMessageBox::Yes:
        return kPromptYes;
    case QMessageBox::No:
        return kPromptNo;
    default:
        return kPromptCancel;
    }
}

class MessageBoxPrompts final : public PromptService {
public:
    int ask(const Prompt& prompt) override {
        QMessageBox box(iconOf(prompt.icon), prompt.caption, prompt.text,
                        buttonsOf(prompt.buttons), prompt.owner);
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(defaultButtonOf(prompt.buttons));
        return answerOf(box.exec());
    }
};

}  // namespace

PromptService::~PromptService() = default;

PromptService& PromptService::standard() {
    static MessageBoxPrompts prompts;
    return prompts;
}

PromptService& promptService() { return ServiceSlot<PromptService>::current(); }
