// DriveSearchSignatures: the signature search over the current drive, on a new thread at
// the lowest priority, so that the machine stays responsive during a long search. Without
// a FoundCallback the caller gets its handle, waits on it and closes it. With one, the
// caller waits here and the export returns -1 after the whole search: the caller's own
// thread is never lowered, since Linux lets an unprivileged thread lower its priority but
// not raise it back.

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

// The search thread waits for `go` (and then closes it), so that it reads nothing before
// its starter has lowered its priority.
DWORD loweredSearchThread(void* go) {
    WaitForSingleObject(go, INFINITE);
    CloseHandle(go);
    return DriveSearchSignatures_Thread(nullptr);
}

// The search on a new thread at the lowest priority; null when no thread can be had.
HANDLE startLoweredSearch() {
    HANDLE go = CreateEventW(nullptr, 1, 0, nullptr);
    if (!go) return nullptr;
    HANDLE thread = CreateThread(nullptr, 0, &loweredSearchThread, go, 0, nullptr);
    if (!thread) {
        CloseHandle(go);
        return nullptr;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
    SetEvent(go);
    return thread;
}

}  // namespace

UNDELETE_API HANDLE DriveSearchSignatures() {
    const EngineSettings* settings = engine::state().settings;
    HANDLE thread = startLoweredSearch();
    if (!settings || !settings->FoundCallback) return thread;
    if (thread) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    } else {
        // No thread to be had: the search still runs, at the caller's priority.
        DriveSearchSignatures_Thread(nullptr);
    }
    return kSearchRanOnCaller;
}
