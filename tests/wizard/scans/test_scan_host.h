#pragma once
// A stand-in for the main window that hosts the scans: its lists and flags, and counts of
// the calls the scans make into it.

#include <functional>
#include <memory>

#include "wizard/scans/scan_host.h"
#include "wizard/settings/settings_values.h"

class TestScanHost final : public ScanHost {
public:
    std::shared_ptr<const TRecoveryDrive> SelectedDrive() const override { return drive; }
    TBaseSortedList& FileSystemList() override { return fileSystemList; }
    TBaseSortedList& DriveSectorsList() override { return driveSectorsList; }
    TWorkHalfState& FileSystemHalf() override { return fileSystem; }
    TWorkHalfState& DriveSectorsHalf() override { return driveSectors; }
    void SetFileExistsAnswer(int answer) override { fileExistsAnswer = answer; }
    void CheckState() override {
        ++checkStates;
        if (onCheckState) onCheckState();
    }
    void RequestAdvance() override { ++advances; }
    void TurnAutoPilotOff() override { Settings().RecoveryAutoPilot = false; }
    void StopThumbnails() override { ++thumbnailStops; }
    void ShowAbout() override { ++abouts; }
    QWidget* PromptOwner() override { return nullptr; }

    std::shared_ptr<const TRecoveryDrive> drive;
    TBaseSortedList fileSystemList{kSortByName, true};
    TBaseSortedList driveSectorsList{kSortByName, true};
    TWorkHalfState fileSystem;
    TWorkHalfState driveSectors;
    int fileExistsAnswer = 0;
    int checkStates = 0;
    int advances = 0;
    int thumbnailStops = 0;
    int abouts = 0;
    std::function<void()> onCheckState;
};
