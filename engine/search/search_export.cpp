// DriveSearchSignatures: the signature search over the current drive, on the calling
// thread when a FoundCallback is set (the export then returns -1 after the whole search),
// else on a new thread whose handle the caller waits on and closes.

#include <exception>
#include <memory>
#include <mutex>
#include <shared_mutex>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "engine/search/searcher.h"
#include "platform/handles.h"

namespace {

// The drive that the last DriveInitialize opened, kept alive for the whole search. The
// lock is not kept: hit handlers may call the file exports, which take it exclusively.
std::shared_ptr<CDrive> currentDrive(engine::EngineState& engine) {
    std::shared_lock lock(engine.fileLock);
    return engine.currentDrive;
}

DWORD DriveSearchSignatures_Thread(void*) {
    engine::EngineState& engine = engine::state();
    const std::shared_ptr<CDrive> drive = currentDrive(engine);
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
