#include "wizard/scans/open_drive.h"

#include "wizard/engine_api.h"

DriveIdentity DriveIdentity::Of(const TRecoveryDrive& drive) {
    const _LDRIVE& info = drive.Info();
    return {info.Kind, info.Letter, info.SerialNumber, info.SpaceTotal, info.SourceDevice,
            info.SourceInode};
}

int OpenDrive::Initialize(EngineSettings& settings, const TRecoveryDrive& drive) {
    open_.reset();
    const int result = engine().DriveInitialize(&settings);
    if (result >= 1) open_ = DriveIdentity::Of(drive);
    return result;
}

bool OpenDrive::Holds(const TRecoveryDrive& drive) const {
    return open_ && *open_ == DriveIdentity::Of(drive);
}
