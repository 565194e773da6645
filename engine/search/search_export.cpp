// DriveSearchSignatures: the signature search over the current drive, on the calling
// thread when a FoundCallback is set (the export then returns -1 after the whole search),
// else on a new thread whose handle the caller waits on and closes.

#include <exception>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "engine/search/searcher.h"
#include "platform/handles.h"

namespace {

CDrive* currentDrive(const engine::EngineState& engine) {
    if (!engine.drives || !engine.settings) return nullptr;
    return engine.drives->drive(engine.settings->DiskNumber);
}

DWORD DriveSearchSignatures_Thread(void*) {
    engine::EngineState& engine = engine::state();
    CDrive* drive = currentDrive(engine);
    if (!drive || !engine.settings || !engine.types) return 0;
    try {
        CSearcher searcher(*drive, *engine.settings, *engine.types);
        searcher.Search();
    } catch (const std::exception&) {
        Log(kLogError, "CSearcher.Search.except");
    }
    return 0;
}

}  // namespace

UNDELETE_API HANDLE DriveSearchSignatures() {
    const EngineSettings* settings = engine::state().settings;
    if (settings && settings->FoundCallback) {
        DriveSearchSignatures_Thread(nullptr);
        return kSearchRanOnCaller;
    }
    return CreateThread(nullptr, 0, &DriveSearchSignatures_Thread, nullptr, 0, nullptr);
}
