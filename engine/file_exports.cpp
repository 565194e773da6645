// Exports that open a drive and read the files its reader lists. They dispatch on the
// current drive's file-system code; the reader slots and the current drive are guarded
// by EngineState::fileLock (readers shared, replacement exclusive).

#include <algorithm>
#include <climits>
#include <mutex>
#include <shared_mutex>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/guard.h"
#include "engine/messages.h"
#include "platform/messages.h"

namespace {

bool isFatCode(std::int32_t code) {
    return code == kFileSystemFat12 || code == kFileSystemFat16 || code == kFileSystemFat32;
}

std::int32_t currentFileSystem(const engine::EngineState& engine) {
    if (!engine.currentDrive) return kFileSystemNone;
    const std::int32_t code = engine.currentDrive->GetDriveInfo()->FileSystemCode;
    return code;
}

void reportInitFailure(const EngineSettings* settings) {
    if (settings && settings->NotifyWindow != 0) {
        PostMessageW(settings->NotifyWindow, WM_ENGINE_INIT_FAILED, 0, 0);
    }
}

// The sector count of a raw drive as the int that the exports return: a drive of 2^31
// sectors (1 TiB) or more must not turn negative and read as a failure. The search
// covers the whole drive whatever this says.
int rawInitializeResult(CDrive& drive) {
    return static_cast<int>(std::min<std::uint32_t>(drive.Initialize(), INT_MAX));
}

// Opens drive `index` and builds the reader for its file system; the caller holds the
// exclusive lock.
int initializeDrive(engine::EngineState& engine, int index) {
    Log(kLogStatus, "DLLEXPORT.DriveInitializeSimple.enter: DiskNumber %d", index);
    if (!engine.drives) {
        Log(kLogError, "DLLEXPORT.DriveInitializeSimple.enter: StorageMassive == 0");
        return 0;
    }
    // Opens the drive and refreshes its boot-sector fields, the file-system code among
    // them; an index out of range is logged there.
    std::shared_ptr<CDrive> drive = engine.drives->DiskInitialize(index);
    Log(kLogStatus, "DLLEXPORT.DiskInitializeSimple.StorageMassive->DiskInitialize dsk: 0x%X",
        static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(drive.get())));
    if (!drive) return 0;

    const std::int32_t code = drive->GetDriveInfo()->FileSystemCode;
    Log(kLogStatus, "DLLEXPORT.DiskInitializeSimple fs: %d", code);
    int result = 0;
    if (isFatCode(code)) {
        engine.fatReader.reset();
        engine.fatReader = std::make_unique<CFAT>(drive.get());
        result = engine.fatReader->Initialize();
        engine.currentDrive = drive;
    } else if (code == kFileSystemNtfs) {
        engine.ntfsReader.reset();
        engine.ntfsReader = std::make_unique<CNTFS>(drive.get());
        result = engine.ntfsReader->Initialize();
        engine.currentDrive = drive;
    } else if (code == kFileSystemNone) {
        result = rawInitializeResult(*drive);
        engine.currentDrive = drive;
    }
    if (result == 0) {
        Log(kLogError, "DLLEXPORT.DiskInitialize.ByFileSystemType filed, try initialize not use FileSystem");
        result = rawInitializeResult(*drive);
        engine.currentDrive = drive;
    }
    return result;
}

}  // namespace

namespace engine {

void releaseFileReaders() {
    EngineState& engine = state();
    std::unique_lock lock(engine.fileLock);
    engine.fatReader.reset();
    engine.ntfsReader.reset();
    engine.currentDrive = nullptr;
}

}  // namespace engine

UNDELETE_API int DriveInitialize(EngineSettings* settings) {
    if (!settings) {
        Log(kLogError, "DLLEXPORT.DriveInitialize: no settings record");
        return 0;
    }
    engine::EngineState& engine = engine::state();
    std::unique_lock lock(engine.fileLock);
    // The caller keeps the record alive and in place; every later read, search and
    // recovery works through this pointer.
    engine.settings = settings;
    engine::guarded<int>(nullptr, 0, [&] {
        engine.fatReader.reset();
        engine.ntfsReader.reset();
        return 0;
    });
    const int result = engine::guarded<int>("DLLEXPORT.DiskInitialize.except", 0, [&] {
        return initializeDrive(engine, settings->DiskNumber);
    });
    if (result > 0) return result;
    engine.currentDrive = nullptr;
    reportInitFailure(settings);
    return 0;
}

UNDELETE_API int DriveInitializeSimple(int index) {
    engine::EngineState& engine = engine::state();
    std::unique_lock lock(engine.fileLock);
    return engine::guarded<int>("DLLEXPORT.DiskInitialize.except", 0,
                                [&] { return initializeDrive(engine, index); });
}

UNDELETE_API FoundFileRecord* FileGetNext() {
    engine::EngineState& engine = engine::state();
    std::unique_lock lock(engine.fileLock);
    return engine::guarded<FoundFileRecord*>("FileGetNext: except", nullptr, [&]() -> FoundFileRecord* {
        const std::int32_t code = currentFileSystem(engine);
        if (isFatCode(code) && engine.fatReader) return engine.fatReader->GetFileNext();
        if (code == kFileSystemNtfs && engine.ntfsReader) return engine.ntfsReader->FileGetNext();
        return nullptr;
    });
}

UNDELETE_API const char16_t* FileGetPath(FoundFileRecord* record) {
    engine::EngineState& engine = engine::state();
    std::unique_lock lock(engine.fileLock);
    return engine::guarded<const char16_t*>("FileGetPath: except", nullptr, [&]() -> const char16_t* {
        if (!record) return nullptr;
        const std::int32_t code = currentFileSystem(engine);
        if (isFatCode(code) && engine.fatReader) return engine.fatReader->GetFilePath(record);
        if (code == kFileSystemNtfs && engine.ntfsReader) return engine.ntfsReader->FileGetPath(record);
        return nullptr;
    });
}

UNDELETE_API FoundFileRecord* FileGetInfo(std::uint32_t recordLow, std::uint32_t recordHigh) {
    engine::EngineState& engine = engine::state();
    std::unique_lock lock(engine.fileLock);
    return engine::guarded<FoundFileRecord*>("FileGetInfo: except", nullptr, [&]() -> FoundFileRecord* {
        // Only NTFS records can be looked up by number.
        if (currentFileSystem(engine) != kFileSystemNtfs || !engine.ntfsReader) return nullptr;
        const std::uint64_t number = (std::uint64_t{recordHigh} << 32) | recordLow;
        return engine.ntfsReader->FileGetInfo(number, engine.information);
    });
}

UNDELETE_API std::uint64_t FileRead(FoundFileRecord* record, void* buffer, std::uint64_t offset,
                                    std::uint64_t size) {
    engine::EngineState& engine = engine::state();
    std::shared_lock lock(engine.fileLock);
    return engine::guarded<std::uint64_t>("FileRead_Thread: except", 0, [&]() -> std::uint64_t {
        if (size == 0 || !record || !buffer || !engine.currentDrive) return 0;
        const FileReadRequest request{buffer, offset, size, record};
        const std::int32_t code = currentFileSystem(engine);
        if (isFatCode(code)) return engine.fatReader ? engine.fatReader->FileRead(request) : 0;
        if (code == kFileSystemNtfs) return engine.ntfsReader ? engine.ntfsReader->FileRead(request) : 0;
        if (code == kFileSystemNone) return engine.currentDrive->FileRead(request);
        return 0;
    });
}

