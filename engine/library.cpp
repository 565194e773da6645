// The library's life cycle: what Library_Initialize creates and what the unload deletes.

#include <cstring>

#include "engine/engine_state.h"
#include "engine/library.h"
#include "engine/no_destructor.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "platform/handles.h"
#include "platform/text.h"

namespace {

constexpr std::size_t kPhysicalDiskRoom = 100;
constexpr std::int32_t kDefaultReadRetries = 10;

// At process exit for the wizard, or when a host unloads the library.
__attribute__((destructor)) void onLibraryUnload() { engine::unloadLibrary(); }

}  // namespace

namespace engine {

void unloadLibrary() {
    EngineState& engine = state();
    Log(kLogStatus, "DLL uninitialize");
    releaseFileReaders();
    engine.drives.reset();
    if (engine.types) engine.types->SaveFileTypes();
    engine.types.reset();
    if (engine.logObject) engine.logObject->Close();
    engine.logObject.reset();
    flushLogSink();
}

// The unload above decides the order of destruction.
EngineState& state() {
    static NoDestructor<EngineState> instance;
    return instance.get();
}

}  // namespace engine

UNDELETE_API int Library_Initialize(const char16_t* registryKey) {
    engine::EngineState& engine = engine::state();
    std::memset(&engine.defaultSettings, 0, sizeof engine.defaultSettings);
    engine.settings = &engine.defaultSettings;
    engine.defaultSettings.ReadRetries = kDefaultReadRetries;

    std::u16string_view key;
    if (registryKey) {
        key = {registryKey, platform::boundedLength(registryKey, engine::kRegistryKeyCapacity - 1)};
    }
    platform::copyToField(engine.registryKey, engine::kRegistryKeyCapacity, key);

    // A host that initialises again starts from nothing: no reader keeps a drive of the
    // array that is replaced below.
    engine::releaseFileReaders();
    engine.logObject = std::make_unique<CLogObject>();
    Log(kLogStatus, "DLL try initialize");
    engine.drives = std::make_unique<CStorageArray>(kPhysicalDiskRoom);
    engine.types = std::make_unique<CInformationStorage>(std::u16string(engine.registryKey));
    engine.types->LoadFileTypes();
    return 1;
}

UNDELETE_API int Library_Close() { return 1; }

UNDELETE_API std::intptr_t test() {
    HANDLE rescan = DrivesRescan(0);
    if (rescan) {
        WaitForSingleObject(rescan, INFINITE);
        CloseHandle(rescan);
    }
    int opened = DriveInitializeSimple(DriveIDByLetter("E"));
    if (opened == 0) return opened;
    return reinterpret_cast<std::intptr_t>(FileGetNext());
}
