#include "wizard/engine_settings_record.h"

#include <atomic>

EngineSettings& ProgramEngineSettings() {
    static EngineSettings settings{};
    return settings;
}

void StopEngineRun() {
    std::atomic_ref<std::int32_t>(ProgramEngineSettings().Run).store(0);
}
