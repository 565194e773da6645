#include "wizard/services/prompt_box_hook.h"

#include <QCoreApplication>
#include <QThread>

#include <utility>

namespace {

constexpr UINT kButtonMask = 0x0000000F;
constexpr UINT kIconMask = 0x000000F0;

PromptButtons buttonsOfStyle(UINT style) {
    switch (style & kButtonMask) {
    case 1:
        return PromptButtons::OkCancel;
    case 3:
        return PromptButtons::YesNoCancel;
    case 4:
        return PromptButtons::YesNo;
    default:
        return PromptButtons::Ok;
    }
}

PromptIcon iconOfStyle(UINT style) {
    switch (style & kIconMask) {
    case 0x10:
        return PromptIcon::Error;
    case 0x20:
        return PromptIcon::Question;
    case 0x30:
        return PromptIcon::Warning;
    case 0x40:
        return PromptIcon::Information;
    default:
        return PromptIcon::None;
    }
}

QString fromNarrow(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int askOnGuiThread(const Prompt& prompt) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread()) {
        return promptService().ask(prompt);
    }
    int answer = kPromptCancel;
    QMetaObject::invokeMethod(
        application, [&prompt] { return promptService().ask(prompt); },
        Qt::BlockingQueuedConnection, &answer);
    return answer;
}

}  // namespace

Prompt promptForMessageBox(std::string_view text, std::string_view caption, UINT style) {
    Prompt prompt;
    prompt.text = fromNarrow(text);
    prompt.caption = fromNarrow(caption);
    prompt.buttons = buttonsOfStyle(style);
    prompt.icon = iconOfStyle(style);
    return prompt;
}

PromptBoxHook::PromptBoxHook()
    : previous_(platform::setMessageBoxHook(
          [](HWND, std::string_view text, std::string_view caption, UINT style) {
              return askOnGuiThread(promptForMessageBox(text, caption, style));
          })) {}

PromptBoxHook::~PromptBoxHook() { platform::setMessageBoxHook(std::move(previous_)); }
