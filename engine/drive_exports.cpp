// Exports over the drive list.

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/guard.h"

namespace {

CStorageArray* drives() { return engine::state().drives.get(); }

}  // namespace

UNDELETE_API HANDLE DrivesRescan(HWND driveFoundWindow) {
    CStorageArray* list = drives();
    return list ? list->StartRescan(driveFoundWindow) : nullptr;
}

UNDELETE_API int DriveGetCount() { return drives() ? drives()->count() : 0; }

UNDELETE_API _LDRIVE* DriveGetInformation(int index) {
    return engine::guarded<_LDRIVE*>("DriveGetInformation", nullptr, [&]() -> _LDRIVE* {
        CStorageArray* list = drives();
        return list ? list->DiskGetInformation(index) : nullptr;
    });
}

UNDELETE_API _LDRIVE* DriveGetInformationEx(int index) {
    CStorageArray* list = drives();
    return list ? list->DiskGetInformationEx(index) : nullptr;
}

UNDELETE_API int DriveIDByLetter(const char* letter) {
    CStorageArray* list = drives();
    return list ? list->FindByLetter(letter) : -1;
}

UNDELETE_API CDrive* DriveGetParent(CDrive* drive) {
    return engine::guarded<CDrive*>(nullptr, nullptr, [&]() -> CDrive* {
        CStorageArray* list = drives();
        return list ? list->FindParent(drive) : nullptr;
    });
}

// The new drive has no kind, letter or size yet; the caller completes it through the
// drive object before use.
UNDELETE_API CDrive* DriveAdd() {
    CStorageArray* list = drives();
    if (!list) return nullptr;
    auto drive = std::make_shared<CDrive>();
    list->add(drive);
    return drive.get();
}
