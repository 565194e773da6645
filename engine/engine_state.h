#pragma once
// The engine's process-wide objects, created by Library_Initialize and deleted when the
// library is unloaded.

#include <memory>

#include "engine/log_object.h"
#include "engine/records.h"
#include "engine/disk/storage_array.h"
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
};

EngineState& state();

}  // namespace engine
