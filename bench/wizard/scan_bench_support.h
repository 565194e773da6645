#pragma once
// What the scan benchmarks share: the heap in use, the clock, and the run's set-up (a
// private registry, the image named in UNDELETE_DISKS, the engine's drive list, the
// settings and the format list).

#include <malloc.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/handles.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/model/recovery_drive.h"
#include "wizard/settings/settings_store.h"

namespace scanbench {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Small blocks and the large ones mapped on their own.
inline std::size_t HeapInUse() {
    const struct mallinfo2 heap = mallinfo2();
    return heap.uordblks + heap.hblkhd;
}

// The engine started with `image` as its only disk; the image's volume (letter C).
inline std::shared_ptr<const TRecoveryDrive> ListImage(const std::string& image) {
    ::setenv("UNDELETE_DISKS", image.c_str(), 1);
    if (engine().Library_Initialize(u"\\Software\\Kelvorin\\Pramblex") != 1) return nullptr;
    HANDLE rescan = engine().DrivesRescan(0);
    if (!rescan) return nullptr;
    WaitForSingleObject(rescan, INFINITE);
    CloseHandle(rescan);
    for (int i = 0; i < engine().DriveGetCount(); ++i) {
        const _LDRIVE* info = engine().DriveGetInformation(i);
        if (info && info->Letter == 'C') return std::make_shared<TRecoveryDrive>(*info);
    }
    return nullptr;
}

// The run's registry in `folder`; the image's volume, or none (and why). The settings
// (without the stop question) and the format list are loaded.
inline std::shared_ptr<const TRecoveryDrive> OpenImage(const std::string& image,
                                                       const std::string& folder) {
    ::setenv("UNDELETE_REGISTRY", (folder + "/scan-bench-registry").c_str(), 1);
    std::shared_ptr<const TRecoveryDrive> volume = ListImage(image);
    if (!volume) std::fprintf(stderr, "the engine does not list %s\n", image.c_str());
    LoadSettings();
    Settings().ConfirmationsScanAbort = false;
    FormatsUnitInit();
    return volume;
}

}  // namespace scanbench
