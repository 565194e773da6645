#include "wizard/scans/open_drive.h"

#include "wizard/bridge/engine_api.h"
#include "wizard/bridge/pumping_call.h"
#include "wizard/scans/scan_context.h"

int OpenDrive::Initialize(EngineSettings& settings, const TRecoveryDrive& drive, const BusyScope& held) {
    open_.reset();
    refusal_.clear();
    if (!EngineListsDriveAt(settings.DiskNumber, drive.Info())) {
        refusal_ = DriveMovedText(drive);
        return 0;
    }
    int result = 0;
    pumpingCall([&settings, &result] { result = engine().DriveInitialize(&settings); }, held);
    if (result >= 1) open_ = IdentityOf(drive.Info());
    return result;
}

bool OpenDrive::Holds(const TRecoveryDrive& drive) const {
    return open_ && *open_ == IdentityOf(drive.Info());
}

QString OpenDrive::LastError() const { return refusal_.isEmpty() ? LastEngineError() : refusal_; }
