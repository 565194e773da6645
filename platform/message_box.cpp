#include "platform/message_box.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace {

std::mutex hookMutex;
platform::MessageBoxHook& installedHook() {
    static platform::MessageBoxHook hook;
    return hook;
}

int showOnStandardError(std::string_view text, std::string_view caption) {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
    return IDOK;
}

}  // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    platform::MessageBoxHook hook;
    {
        std::lock_guard lock(hookMutex);
        hook = installedHook();
    }
    const std::string_view textView = text ? text : "";
    const std::string_view captionView = caption ? caption : "";
    // Called outside the lock: a hook may show a modal window for as long as it likes.
    if (hook) return hook(owner, textView, captionView, type);
    return showOnStandardError(textView, captionView);
}

namespace platform {

MessageBoxHook setMessageBoxHook(MessageBoxHook hook) {
    std::lock_guard lock(hookMutex);
    return std::exchange(installedHook(), std::move(hook));
}

}  // namespace platform
