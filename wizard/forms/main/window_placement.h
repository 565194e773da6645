#pragma once
// The main window's placement and list-column widths in the registry ("\Window" below the
// settings key), stored the way the platform's placement record has them: flags and show
// command as 4-byte binary values, then eight numbers, the normal rectangle's right and
// bottom edges under the names "...Height" and "...Width".
//
// Reading stops at the first value that is missing or of another type, keeping what it
// read before; stored values are damage-prone, so a rectangle is checked before use.

#include <QList>
#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

inline constexpr std::uint32_t kShowNormal = 1;
inline constexpr std::uint32_t kShowMinimized = 2;
inline constexpr std::uint32_t kShowMaximized = 3;

struct WindowPlacementRecord {
    std::uint32_t flags = 0;
    std::uint32_t showCmd = kShowNormal;
    QPoint minPosition{-1, -1};
    QPoint maxPosition{-1, -1};
    // Left, top, right and bottom as stored (QRect's right() is one less: use the edges).
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const WindowPlacementRecord&) const = default;
};

// Widths of the drive list's 5 columns, the file-system list's 6 and the sector list's 4.
inline constexpr std::size_t kStoredColumnCount = 15;

struct StoredPlacement {
    // None when the key or one of the eight numbers is missing or mistyped.
    std::optional<WindowPlacementRecord> placement;
    // The widths read before the first failure, in the order above.
    std::vector<int> columnWidths;
};

// `current` gives the flags and show command when their binary values are missing.
StoredPlacement ReadStoredPlacement(const WindowPlacementRecord& current);

// Writes the placement and the 15 widths with one replacement of the key's file; false
// when the key cannot be written.
bool WriteStoredPlacement(const WindowPlacementRecord& placement,
                          std::span<const int, kStoredColumnCount> columnWidths);

// The stored normal rectangle when it is usable: not inverted or empty, and showing at
// least a corner of 50 x 50 pixels on one of the `screens`.
std::optional<QRect> UsableNormalRect(const WindowPlacementRecord& placement,
                                      const QList<QRect>& screens);

// A stored column width within what a column can sensibly take.
inline constexpr int kMinColumnWidth = 16;
inline constexpr int kMaxColumnWidth = 2000;
int UsableColumnWidth(int stored);
