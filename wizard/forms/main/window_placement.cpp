#include "wizard/forms/main/window_placement.h"

#include <QString>

#include <algorithm>
#include <climits>

#include "wizard/settings/safe_registry.h"
#include "wizard/settings/setting_readers.h"

namespace {

const QString kWindowKey = QString::fromUtf16(kSettingsBaseKey) + QStringLiteral("\\Window");

constexpr const char16_t* kPositionNames[] = {
    u"WindowMinPositionX",       u"WindowMinPositionY",       u"WindowMaxPositionX",
    u"WindowMaxPositionY",       u"WindowNormalPositionLeft", u"WindowNormalPositionTop",
    u"WindowNormalPositionHeight", u"WindowNormalPositionWidth",
};

constexpr const char16_t* kColumnNames[kStoredColumnCount] = {
    u"DriveSelectColumnDrive",       u"DriveSelectColumnType",
    u"DriveSelectColumnTotalSpace",  u"DriveSelectColumnSN",
    u"DriveSelectColumnStatus",      u"FileSystemListColumnName",
    u"FileSystemListColumnCondition", u"FileSystemListColumnDateCrated",
    u"FileSystemListColumnSize",     u"FileSystemListColumnType",
    u"FileSystemListColumnPath",     u"DriveSectorsColumnName",
    u"DriveSectorsColumnCondition",  u"DriveSectorsColumnType",
    u"DriveSectorsColumnSize",
};

constexpr int kBinarySize = 4;
constexpr int kVisibleCorner = 50;

std::array<int*, 8> PositionFields(WindowPlacementRecord& record) {
    return {&record.minPosition.rx(), &record.minPosition.ry(), &record.maxPosition.rx(),
            &record.maxPosition.ry(), &record.left, &record.top, &record.right, &record.bottom};
}

// A 4-byte value as the placement record holds it (little-endian); unchanged otherwise.
void ReadBinary(const TSafeRegistry& key, const char16_t* name, std::uint32_t& value) {
    std::uint8_t bytes[kBinarySize] = {};
    if (key.ReadBinaryData(QString::fromUtf16(name), bytes, kBinarySize) != kBinarySize) return;
    value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
            std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
}

std::vector<std::uint8_t> BinaryOf(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

platform::RegistryValue Dword(const char16_t* name, int value) {
    return {name, static_cast<std::uint32_t>(value)};
}

}  // namespace

StoredPlacement ReadStoredPlacement(const WindowPlacementRecord& current) {
    StoredPlacement stored;
    TSafeRegistry key;
    if (!key.OpenKey(kWindowKey, false)) return stored;
    WindowPlacementRecord record = current;
    ReadBinary(key, u"WindowFlags", record.flags);
    ReadBinary(key, u"WindowShowCmd", record.showCmd);
    const std::array<int*, 8> fields = PositionFields(record);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::optional<std::uint32_t> value = key.ReadDword(QString::fromUtf16(kPositionNames[i]));
        if (!value) return stored;
        *fields[i] = static_cast<std::int32_t>(*value);
    }
    stored.placement = record;
    for (const char16_t* name : kColumnNames) {
        const std::optional<std::uint32_t> width = key.ReadDword(QString::fromUtf16(name));
        if (!width) break;
        stored.columnWidths.push_back(static_cast<std::int32_t>(*width));
    }
    return stored;
}

bool WriteStoredPlacement(const WindowPlacementRecord& placement,
                          std::span<const int, kStoredColumnCount> columnWidths) {
    TSafeRegistry key;
    if (!key.OpenKey(kWindowKey, true)) return false;
    std::vector<platform::RegistryValue> values{{u"WindowFlags", BinaryOf(placement.flags)},
                                                {u"WindowShowCmd", BinaryOf(placement.showCmd)}};
    WindowPlacementRecord record = placement;
    const std::array<int*, 8> fields = PositionFields(record);
    for (std::size_t i = 0; i < fields.size(); ++i) values.push_back(Dword(kPositionNames[i], *fields[i]));
    for (std::size_t i = 0; i < kStoredColumnCount; ++i) values.push_back(Dword(kColumnNames[i], columnWidths[i]));
    return key.WriteAll(values);
}

std::optional<QRect> UsableNormalRect(const WindowPlacementRecord& placement,
                                      const QList<QRect>& screens) {
    if (placement.right <= placement.left || placement.bottom <= placement.top) return std::nullopt;
    // Edges as 64-bit numbers: a damaged value near the 32-bit ends must not overflow.
    const qint64 width = qint64{placement.right} - placement.left;
    const qint64 height = qint64{placement.bottom} - placement.top;
    if (width > INT_MAX || height > INT_MAX) return std::nullopt;
    const QRect rect(placement.left, placement.top, static_cast<int>(width), static_cast<int>(height));
    for (const QRect& screen : screens) {
        const QRect visible = rect.intersected(screen);
        if (visible.width() >= kVisibleCorner && visible.height() >= kVisibleCorner) return rect;
    }
    return std::nullopt;
}

int UsableColumnWidth(int stored) { return std::clamp(stored, kMinColumnWidth, kMaxColumnWidth); }
