#pragma once
// Which drive the engine has open. A DriveInitialize that answers 1 or more leaves the
// drive it was given open (and keeps it through drive-list reloads); any other answer
// leaves none, since the engine drops its drive on every failure. The sector scan
// searches whatever is open, so it checks here first.
//
// The engine reads the drive while it opens it, which takes minutes on a failing card: the
// call runs on a thread of its own and the window stays alive meanwhile.

#include <QString>

#include <cstdint>
#include <optional>

#include "engine/records.h"
#include "wizard/model/drive_item.h"
#include "wizard/model/recovery_drive.h"

class BusyScope;

class OpenDrive {
public:
    // DriveInitialize through `settings`, whose DiskNumber names `drive`; its answer. When
    // the engine lists another drive at that index (a rescan renumbered them), the engine
    // is not called and the answer is 0. Events are handled until the engine answers,
    // under the caller's busy gate `held`; what the call throws is thrown on.
    int Initialize(EngineSettings& settings, const TRecoveryDrive& drive, const BusyScope& held);
    bool Holds(const TRecoveryDrive& drive) const;
    // Why the last Initialize failed: the refusal above, else the engine's error text
    // ("" when it has none).
    QString LastError() const;

private:
    std::optional<DriveIdentity> open_;
    QString refusal_;
};
