#include "wizard/scans/engine_params.h"

#include <algorithm>
#include <cstddef>

#include "wizard/model/formats/data_storage.h"
#include "wizard/settings/settings_values.h"

namespace {

constexpr int kLargestBlockKb = 10000;

}  // namespace

EngineSettings& RunEngineSettings() {
    static EngineSettings settings{};
    return settings;
}

void DoInitializeParams(EngineSettings& settings, std::int32_t driveNumber, HWND notifyWindow) {
    const SettingsValues& values = Settings();
    settings = EngineSettings{};
    settings.Run = 1;
    settings.DiskNumber = driveNumber;
    settings.NotifyWindow = notifyWindow;
    settings.ReadRetries = values.RecoveryRetryCount;
    settings.RetryPause = static_cast<std::uint32_t>(std::max(values.RecoveryRetryPause, 0));
    settings.BufferSize =
        static_cast<std::uint32_t>(std::clamp(values.RecoverySectorsToRead, 1, kLargestBlockKb)) * 1024;
    settings.ReaderThreads = values.RecoveryThreadsCount;
    settings.FreeSpaceOnly = values.RecoverySearchExisting ? 0 : 1;
    if (!DataStorage) return;
    const TFormatsList& formats = DataStorage->Formats();
    for (std::size_t i = 0; i < formats.Count(); ++i) {
        const TFormat& format = formats[i];
        if (format.Search && format.SignatureId >= 0 &&
            format.SignatureId < static_cast<std::int32_t>(sizeof settings.FormatSelected)) {
            settings.FormatSelected[format.SignatureId] = 1;
        }
    }
}
