#pragma once
// What the drive page shows of one drive record, and how a drive is recognised again in
// a later rescan, where its index may have moved.

#include <QString>

#include <array>
#include <cstdint>

#include "engine/records.h"
#include "wizard/model/recovery_drive.h"

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

// Where a drive's bytes come from and where the list shows it: what the engine's record at
// an index must still say before that index is handed to the engine, as a rescan
// renumbers the drives and the old index may then open another one.
struct DrivePlace {
    std::int32_t kind = 0;
    char letter = 0;
    std::uint64_t sourceDevice = 0;
    std::uint64_t sourceInode = 0;
    std::uint64_t baseOffset = 0;

    bool operator==(const DrivePlace&) const = default;
};

DrivePlace PlaceOf(const _LDRIVE& drive);

// What stays the same for a drive across rescans while it stays attached: its place and
// what its medium says of itself, so that a card swapped for another of the same size in
// the same slot is another drive. The index, the free space and the state are left out.
struct DriveIdentity {
    DrivePlace place;
    std::uint64_t serial = 0;
    std::uint64_t size = 0;
    std::int32_t fileSystemCode = 0;
    std::array<char, sizeof(_LDRIVE::Label)> label{};

    bool operator==(const DriveIdentity&) const = default;
};

DriveIdentity IdentityOf(const _LDRIVE& drive);

// Whether the engine's record at `index` is still the drive that `drive` was copied from.
bool EngineListsDriveAt(int index, const _LDRIVE& drive);

// Why an action on `drive` was refused: the engine lists another drive at its index.
QString DriveMovedText(const TRecoveryDrive& drive);
