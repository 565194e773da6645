#pragma once
// The engine's process-wide objects, created by Library_Initialize and deleted when the
// library is unloaded.

#include <memory>
#include <shared_mutex>

#include "engine/log_object.h"
#include "engine/records.h"
#include "engine/disk/storage_array.h"
#include "engine/fs/fat_reader.h"
#include "engine/fs/ntfs.h"
#include "engine/search/information_storage.h"

namespace engine {

// Room for the caller's registry key path, terminator included; longer keys are cut.
inline constexpr std::size_t kRegistryKeyCapacity = 4098;

struct EngineState {
    // Never null after Library_Initialize: the default block until the first
    // DriveInitialize, then the caller's record.
    EngineSettings* settings = nullptr;
    EngineSettings defaultSettings{};
    char16_t registryKey[kRegistryKeyCapacity] = {};
    std::unique_ptr<CLogObject> logObject;
    std::unique_ptr<CStorageArray> drives;
    std::unique_ptr<CInformationStorage> types;

    // The file readers and the drive they read. `fileLock` is held shared by every read
    // through them and exclusively while they are replaced, so a DriveInitialize waits
    // for reads in flight and no reader or drive pointer outlives its object.
    std::shared_mutex fileLock;
    std::unique_ptr<CFAT> fatReader;
    std::unique_ptr<CNTFS> ntfsReader;
    // Shared with the drive array: a rescan that drops this drive from the list leaves it
    // alive for the readers until the next DriveInitialize replaces it.
    std::shared_ptr<CDrive> currentDrive;
    // Filled and returned by FileGetInfo.
    FoundFileRecord information = [] {
        FoundFileRecord record;
        resetFoundFileOnConstruction(record);
        return record;
    }();
};

// Destroys both readers and forgets the current drive, under the exclusive lock. A rescan
// need not call it: the current drive is shared and outlives its removal from the list.
void releaseFileReaders();

EngineState& state();

}  // namespace engine
