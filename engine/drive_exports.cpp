// Exports over the drive list.

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/guard.h"

namespace {

CStorageArray* drives() { return engine::state().drives.get(); }

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

UNDELETE_API HANDLE DrivesRescan(HWND) { return nullptr; }

UNDELETE_API int DriveGetCount() { return drives() ? drives()->count() : 0; }

UNDELETE_API _LDRIVE* DriveGetInformation(int index) {
    return engine::guarded<_LDRIVE*>("DriveGetInformation", nullptr, [&]() -> _LDRIVE* {
        CStorageArray* list = drives();
        if (!list) return nullptr;
        if (index >= list->count()) {
            Log(kLogWarning, "DiskGetInformation: DiskNumber >= Total disks");
            return nullptr;
        }
        CDrive* drive = list->drive(index);
        return drive ? drive->GetDriveInfo() : nullptr;
    });
}

UNDELETE_API _LDRIVE* DriveGetInformationEx(int) { return nullptr; }

UNDELETE_API int DriveIDByLetter(const char* letter) {
    CStorageArray* list = drives();
    if (!list || !letter) return -1;
    for (int i = 0; i < list->count(); ++i) {
        const _LDRIVE* info = list->drive(i)->GetDriveInfo();
        if (upperAscii(info->Letter) == upperAscii(letter[0])) return info->Id;
    }
    return -1;
}

UNDELETE_API CDrive* DriveGetParent(CDrive* drive) {
    return engine::guarded<CDrive*>(nullptr, nullptr, [&]() -> CDrive* {
        CStorageArray* list = drives();
        if (!list || !drive) return nullptr;
        for (int i = 0; i < list->count(); ++i) {
            CDrive* candidate = list->drive(i);
            if (candidate->GetDriveInfo()->Id == drive->GetDriveInfo()->ParentId) return candidate;
        }
        return nullptr;
    });
}

UNDELETE_API CDrive* DriveAdd() { return nullptr; }
UNDELETE_API HANDLE DriveImageCreate(ImageRequest*) { return nullptr; }
UNDELETE_API CDrive* DriveImageLoad(const char16_t*) { return nullptr; }
UNDELETE_API HANDLE DrivesLostSearch(LostSearchRequest*) { return nullptr; }
