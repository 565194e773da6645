#pragma once
// The program's copy of one listed drive: bytes 0..700 of the engine's drive record, the
// part a caller may keep, taken when the drive list is loaded and never refreshed.

#include <cstdint>
#include <string>

#include "engine/records.h"

class TRecoveryDrive {
public:
    explicit TRecoveryDrive(const _LDRIVE& drive);

    // The drive record with the engine's internal part zeroed.
    const _LDRIVE& Info() const { return info_; }
    // The DiskNumber the scans pass to the engine.
    std::int32_t DriveNumber() const { return info_.Id; }
    char Letter() const { return info_.Letter; }
    // The label up to its first NUL, within its 30 bytes.
    std::string VolumeLabel() const;
    // "C:\ (DATA)", "C:\" without a label, "Unknown" for the letter '?'.
    std::string DisplayName() const;

private:
    _LDRIVE info_{};
};
