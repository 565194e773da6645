#pragma once
// What the scan benchmarks share: a stand-in for the main window that hosts the scans, the
// heap in use, the clock, and the run's set-up (a private registry, the images named in
// UNDELETE_DISKS, the engine's drive list).

#include <malloc.h>
#include <stdlib.h>

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/handles.h"
#include "wizard/engine_api.h"
#include "wizard/scans/scan_host.h"

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

class BenchHost final : public ScanHost {
public:
    std::shared_ptr<const TRecoveryDrive> SelectedDrive() const override { return drive; }
    TBaseSortedList& FileSystemList() override { return fileSystemList; }
    TBaseSortedList& DriveSectorsList() override { return driveSectorsList; }
    ScanHalf& FileSystemHalf() override { return fileSystem; }
    ScanHalf& DriveSectorsHalf() override { return driveSectors; }
    void SetFileExistsAnswer(int) override {}
    void CheckState() override {}
    void RequestAdvance() override {}
    void StopThumbnails() override {}
    void ShowAbout() override {}
    QWidget* PromptOwner() override { return nullptr; }

    std::shared_ptr<const TRecoveryDrive> drive;
    TBaseSortedList fileSystemList{kSortByName, true};
    TBaseSortedList driveSectorsList{kSortByName, true};
    ScanHalf fileSystem;
    ScanHalf driveSectors;
};

// Names `image` as the only disk, starts the engine on a registry in `folder`, and
// returns the image's volume (letter C).
inline std::shared_ptr<const TRecoveryDrive> OpenImage(const std::string& image,
                                                       const std::string& folder) {
    ::setenv("UNDELETE_DISKS", image.c_str(), 1);
    ::setenv("UNDELETE_REGISTRY", (folder + "/scan-bench-registry").c_str(), 1);
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

}  // namespace scanbench
