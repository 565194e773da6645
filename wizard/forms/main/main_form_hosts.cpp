#include "wizard/forms/main/main_form_hosts.h"

#include "wizard/forms/about_form.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/model/found_files/base_element.h"
#include "wizard/scans/engine_params.h"
#include "wizard/scans/scan_controller.h"
#include "wizard/utilities/same_drive.h"

namespace {

WorkHalf HalfOf(bool fileSystemList) { return fileSystemList ? WorkHalf::FileSystem : WorkHalf::DriveSectors; }

}  // namespace

std::shared_ptr<const TRecoveryDrive> MainFormScanHost::SelectedDrive() const { return form_.SelectedDrive; }

TBaseSortedList& MainFormScanHost::FileSystemList() { return form_.ListOf(WorkHalf::FileSystem); }

TBaseSortedList& MainFormScanHost::DriveSectorsList() { return form_.ListOf(WorkHalf::DriveSectors); }

TWorkHalfState& MainFormScanHost::FileSystemHalf() { return form_.FileSystem; }

TWorkHalfState& MainFormScanHost::DriveSectorsHalf() { return form_.DriveSectors; }

void MainFormScanHost::SetFileExistsAnswer(int answer) { form_.FileExistsAnswer = answer; }

void MainFormScanHost::CheckState() { form_.CheckState(); }

void MainFormScanHost::RequestAdvance() { form_.RequestAdvance(); }

void MainFormScanHost::TurnAutoPilotOff() { form_.TurnAutoPilotOff(); }

void MainFormScanHost::StopThumbnails() { form_.StopThumbnails(); }

void MainFormScanHost::ShowAbout() {
    TAboutForm box(&form_);
    box.exec();
}

QWidget* MainFormScanHost::PromptOwner() { return &form_; }

std::vector<TBaseElement*> MainFormRecoveryHost::SelectedElements(bool fileSystemList) {
    return form_.PreviewPageOf(HalfOf(fileSystemList))->SelectedElements();
}

void MainFormRecoveryHost::CountRecovered(bool fileSystemList, const TBaseElement& element) {
    form_.StateOf(HalfOf(fileSystemList)).RecoveredFiles.insert(element.Serial());
}

int& MainFormRecoveryHost::FileExistsAnswer() { return form_.FileExistsAnswer; }

EngineSettings& MainFormRecoveryHost::EngineRecord() { return RunEngineSettings(); }

std::uint64_t MainFormRecoveryHost::ReadErrorsReported() { return scans_.ReadErrorsOutsideScans(); }

bool MainFormRecoveryHost::OnSourceDrive(const struct stat& target) {
    return form_.SelectedDrive && StatusOnSource(SourceOf(form_.SelectedDrive->Info()), target);
}

QWidget* MainFormRecoveryHost::DialogOwner() { return &form_; }
