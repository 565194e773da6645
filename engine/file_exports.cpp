// Exports that open a drive and read the files its reader lists.

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/guard.h"
#include "engine/messages.h"
#include "platform/messages.h"

namespace {

void reportInitFailure(const EngineSettings* settings) {
    if (settings) PostMessageW(settings->NotifyWindow, WM_ENGINE_INIT_FAILED, 0, 0);
}

}  // namespace

UNDELETE_API int DriveInitialize(EngineSettings* settings) {
    // The caller keeps the record alive and in place; every later read, search and
    // recovery works through this pointer.
    if (settings) engine::state().settings = settings;
    const EngineSettings* current = engine::state().settings;
    int result = engine::guarded<int>("DLLEXPORT.DiskInitialize.except", -1,
                                      [&] { return DriveInitializeSimple(current->DiskNumber); });
    if (result > 0) return result;
    reportInitFailure(current);
    return 0;
}

UNDELETE_API int DriveInitializeSimple(int index) {
    Log(kLogStatus, "DLLEXPORT.DriveInitializeSimple.enter: DiskNumber %d", index);
    if (!engine::state().drives) {
        Log(kLogError, "DLLEXPORT.DriveInitializeSimple.enter: StorageMassive == 0");
        return 0;
    }
    return 0;
}

UNDELETE_API FoundFileRecord* FileGetNext() { return nullptr; }
UNDELETE_API const char16_t* FileGetPath(FoundFileRecord*) { return nullptr; }
UNDELETE_API FoundFileRecord* FileGetInfo(std::uint32_t, std::uint32_t) { return nullptr; }
UNDELETE_API std::uint64_t FileRead(FoundFileRecord*, void*, std::uint64_t, std::uint64_t) {
    return 0;
}

UNDELETE_API HANDLE FileRecovery(const char16_t*, HWND, FoundFileRecord*) { return nullptr; }
UNDELETE_API int DoFileRecovery(RecoveryRequest*) { return 0; }
UNDELETE_API HBITMAP FileGetThumbnail(FoundFileRecord*) { return nullptr; }
UNDELETE_API int FileOpenViewer(FoundFileRecord*) { return 0; }
