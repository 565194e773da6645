#pragma once
// What the drive page shows of one drive record, and how a drive is recognised again in
// a later rescan, where its index may have moved.

#include <QString>

#include <cstdint>

#include "engine/records.h"

struct DriveItemTexts {
    QString caption;     // "C (SYSTEM)", or the letter alone without a label
    QString type;        // the file system's name
    QString totalSpace;  // bytes with thousands separators
    QString serial;      // upper-case hexadecimal, at least 8 digits
    QString status;      // translated "Ready" or "No media"
};

// Only lettered volumes are listed; physical disks carry a digit.
bool IsListedDrive(const _LDRIVE& drive);

DriveItemTexts DriveItemTextsOf(const _LDRIVE& drive);

// What stays the same for a drive across rescans while it stays attached.
struct DriveIdentity {
    std::int32_t kind = 0;
    char letter = 0;
    std::uint64_t serial = 0;
    std::uint64_t size = 0;

    bool operator==(const DriveIdentity&) const = default;
};

DriveIdentity IdentityOf(const _LDRIVE& drive);
