#pragma once
// Which drive the engine has open. A DriveInitialize that answers 1 or more leaves the
// drive it was given open (and keeps it through drive-list reloads); any other answer
// leaves none, since the engine drops its drive on every failure. The sector scan
// searches whatever is open, so it checks here first.

#include <cstdint>
#include <optional>

#include "engine/records.h"
#include "wizard/forms/main/drive_item.h"
#include "wizard/model/recovery_drive.h"

class OpenDrive {
public:
    // DriveInitialize through `settings`, whose DiskNumber names `drive`; its answer.
    int Initialize(EngineSettings& settings, const TRecoveryDrive& drive);
    bool Holds(const TRecoveryDrive& drive) const;

private:
    std::optional<DriveIdentity> open_;
};
