#pragma once
// The basic types of the interface that the engine and the wizard were designed
// against, sized as they are on a 64-bit build of the system.

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using BOOL = std::int32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONGLONG = std::uint64_t;
using LONGLONG = std::int64_t;

// Text units of the UTF-16 interface (Linux wchar_t is 32 bits wide).
using WCHAR = char16_t;

// A kernel object: thread, event. Null means "none"; see handles.h.
using HANDLE = void*;
// A window is a 32-bit id in the platform's window table; 0 is no window.
using HWND = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HLOCAL = void*;
// A 96 x 96 24-bit bitmap that the caller deletes.
using HBITMAP = struct PlatformBitmap*;

inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;

// 100-nanosecond intervals since 1601-01-01 UTC.
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
static_assert(sizeof(FILETIME) == 8);
