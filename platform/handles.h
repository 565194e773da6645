#pragma once
// Kernel objects behind HANDLE: threads and events. A handle is reference counted: the
// object lives until every handle to it is closed and, for a thread, until the thread has
// finished. No thread is ever killed; a caller asks a thread to stop through its own data
// and waits for it.

#include <cstddef>

#include "platform/api.h"
#include "platform/win_types.h"

inline constexpr DWORD INFINITE = 0xFFFFFFFF;
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD STILL_ACTIVE = 259;
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

inline constexpr int THREAD_PRIORITY_LOWEST = -2;
inline constexpr int THREAD_PRIORITY_NORMAL = 0;

// Error codes kept by SetLastError for the platform's own failures; Linux calls report
// their errno.
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;

using LPTHREAD_START_ROUTINE = DWORD (*)(void* parameter);

// Starts `start(parameter)` on a new thread with at least `stackSize` bytes of stack
// (0: the default). `security` and `flags` are accepted and ignored. Returns null, with
// the error code set, when the thread cannot start.
PLATFORM_EXTERN_C PLATFORM_API HANDLE CreateThread(void* security, std::size_t stackSize,
                                                   LPTHREAD_START_ROUTINE start,
                                                   void* parameter, DWORD flags,
                                                   DWORD* threadId);
// Applies to the calling thread only when `thread` is the caller's own handle; lowers the
// scheduling priority of a running thread otherwise where Linux allows it.
PLATFORM_EXTERN_C PLATFORM_API BOOL SetThreadPriority(HANDLE thread, int priority);
PLATFORM_EXTERN_C PLATFORM_API BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);

// Events: manual reset stays signalled until reset; auto reset wakes one waiter and
// resets. `name` must be null (named events are not supported).
PLATFORM_EXTERN_C PLATFORM_API HANDLE CreateEventW(void* security, BOOL manualReset,
                                                   BOOL initialState, const WCHAR* name);
PLATFORM_EXTERN_C PLATFORM_API BOOL SetEvent(HANDLE event);
PLATFORM_EXTERN_C PLATFORM_API BOOL ResetEvent(HANDLE event);

// Waits for a thread to finish or an event to be signalled.
PLATFORM_EXTERN_C PLATFORM_API DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
// Returns WAIT_OBJECT_0 + index of the first signalled object (waitAll: when all are),
// WAIT_TIMEOUT or WAIT_FAILED.
PLATFORM_EXTERN_C PLATFORM_API DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects,
                                                            BOOL waitAll, DWORD milliseconds);
PLATFORM_EXTERN_C PLATFORM_API BOOL CloseHandle(HANDLE object);

PLATFORM_EXTERN_C PLATFORM_API void Sleep(DWORD milliseconds);

// Per-thread last error.
PLATFORM_EXTERN_C PLATFORM_API DWORD GetLastError(void);
PLATFORM_EXTERN_C PLATFORM_API void SetLastError(DWORD error);
