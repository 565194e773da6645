#pragma once
// A settings record installed as the engine's current one for the life of a test, and
// the previous pointer put back afterwards. DriveInitialize keeps the record it is given:
// a fixture that hands it this one leaves no pointer into a finished test behind.

#include "engine/engine_state.h"
#include "engine/records.h"
#include "platform/win_types.h"

namespace test_support {

class ScopedSettings {
public:
    explicit ScopedSettings(std::int32_t retries = 10, std::uint32_t pause = 0, HWND window = 0)
        : previous_(engine::state().settings) {
        settings_.ReadRetries = retries;
        settings_.RetryPause = pause;
        settings_.NotifyWindow = window;
        engine::state().settings = &settings_;
    }
    ~ScopedSettings() { engine::state().settings = previous_; }
    ScopedSettings(const ScopedSettings&) = delete;
    ScopedSettings& operator=(const ScopedSettings&) = delete;

    EngineSettings& get() { return settings_; }

private:
    EngineSettings settings_{};
    EngineSettings* previous_;
};

}  // namespace test_support
