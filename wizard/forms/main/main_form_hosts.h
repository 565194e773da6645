#pragma once
// What the main window lends the scans and the recovery: its selected drive, its lists and
// the state of each half, its page driver, and the one engine settings record.

#include "wizard/recovery/recovery_flow.h"
#include "wizard/scans/scan_host.h"

class ScanController;
class TMainForm;

class MainFormScanHost final : public ScanHost {
public:
    explicit MainFormScanHost(TMainForm& form) : form_(form) {}

    std::shared_ptr<const TRecoveryDrive> SelectedDrive() const override;
    TBaseSortedList& FileSystemList() override;
    TBaseSortedList& DriveSectorsList() override;
    TWorkHalfState& FileSystemHalf() override;
    TWorkHalfState& DriveSectorsHalf() override;
    void SetFileExistsAnswer(int answer) override;
    void CheckState() override;
    void RequestAdvance() override;
    void TurnAutoPilotOff() override;
    void StopThumbnails() override;
    void ShowAbout() override;
    QWidget* PromptOwner() override;

private:
    TMainForm& form_;
};

class MainFormRecoveryHost final : public RecoveryHost {
public:
    // The scans' window also receives the read errors of the recovery's copy.
    MainFormRecoveryHost(TMainForm& form, ScanController& scans) : form_(form), scans_(scans) {}

    std::vector<TBaseElement*> SelectedElements(bool fileSystemList) override;
    void CountRecovered(bool fileSystemList, const TBaseElement& element) override;
    int& FileExistsAnswer() override;
    EngineSettings& EngineRecord() override;
    std::uint64_t ReadErrorsReported() override;
    bool OnSourceDrive(const struct stat& target) override;
    QWidget* DialogOwner() override;

private:
    TMainForm& form_;
    ScanController& scans_;
};
