#pragma once
// Message boxes. Where there is no GUI the text goes to standard error; a program with
// windows (or a test) replaces the hook that shows them.

#include <functional>
#include <string_view>

#include "platform/api.h"
#include "platform/win_types.h"

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONERROR = 0x00000010;
inline constexpr int IDOK = 1;

// Shows `text` under `caption` and returns the button pressed (IDOK without a GUI).
// Modal to the calling thread; `owner` 0 means no owner window.
PLATFORM_EXTERN_C PLATFORM_API int MessageBoxA(HWND owner, const char* text,
                                               const char* caption, UINT type);

namespace platform {

using MessageBoxHook =
    std::function<int(HWND owner, std::string_view text, std::string_view caption, UINT type)>;

// Replaces the hook; an empty hook restores the standard-error default. Returns the
// previous hook (empty for the default).
PLATFORM_API MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

}  // namespace platform
