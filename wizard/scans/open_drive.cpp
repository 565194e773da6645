#include "wizard/scans/open_drive.h"

#include "wizard/engine_api.h"

int OpenDrive::Initialize(EngineSettings& settings, const TRecoveryDrive& drive) {
    open_.reset();
    const int result = engine().DriveInitialize(&settings);
    if (result >= 1) open_ = IdentityOf(drive.Info());
    return result;
}

bool OpenDrive::Holds(const TRecoveryDrive& drive) const {
    return open_ && *open_ == IdentityOf(drive.Info());
}
