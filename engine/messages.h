#pragma once
// The window messages that the engine sends to its caller's windows.

#include "platform/win_types.h"

// lParam: IoErrorReport block, freed by the receiver with LocalFree.
inline constexpr UINT WM_ENGINE_IO_ERROR = WM_USER + 5;
// Sent; wParam and lParam: FoundFileRecord block, freed by the receiver with LocalFree.
inline constexpr UINT WM_ENGINE_FILE_FOUND = WM_USER + 10;
// wParam: the file's unreadable sectors written as zeros so far; lParam: percent of the
// file copied.
inline constexpr UINT WM_ENGINE_RECOVERY_PROGRESS = WM_USER + 11;
// Figures in EngineSettings.TotalClusters, CurrentCluster, FreeClusters.
inline constexpr UINT WM_ENGINE_SEARCH_PROGRESS = WM_USER + 12;
inline constexpr UINT WM_ENGINE_IMAGE_PROGRESS = WM_USER + 13;
// lParam: system error code.
inline constexpr UINT WM_ENGINE_IMAGE_FAILED = WM_USER + 14;
inline constexpr UINT WM_ENGINE_IMAGE_DONE = WM_USER + 15;
inline constexpr UINT WM_ENGINE_LOST_SEARCH_STEP = WM_USER + 16;
// lParam: the drive's letter character.
inline constexpr UINT WM_ENGINE_DRIVE_FOUND = WM_USER + 20;
inline constexpr UINT WM_ENGINE_INIT_FAILED = WM_USER + 200;
