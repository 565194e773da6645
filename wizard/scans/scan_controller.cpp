#include "wizard/scans/scan_controller.h"

#include <QPushButton>

#include <exception>

#include "wizard/scans/engine_params.h"
#include "wizard/services/prompt_service.h"
#include "wizard/settings/settings_values.h"

ScanController::ScanController(ScanHost& host, TScanFileSystemPage& fileSystemPage,
                               TScanDriveSectorsPage& sectorsPage, MessageWindow& window)
    : fileSystemPage_(fileSystemPage),
      sectorsPage_(sectorsPage),
      context_{host, RunEngineSettings(), window, {}},
      fileSystemScan_(context_, fileSystemPage),
      sectorScan_(context_, sectorsPage),
      handlers_(context_, sectorScan_, fileSystemPage, sectorsPage) {
    handlers_.Install();
    connect(fileSystemPage.ButtonStart, &QPushButton::clicked, this,
            &ScanController::ScanFileSystemButtonStartClick);
    connect(fileSystemPage.ButtonStop, &QPushButton::clicked, this,
            &ScanController::ScanFileSystemButtonStopClick);
    connect(sectorsPage.ButtonStart, &QPushButton::clicked, this,
            &ScanController::ScanDriveSectorsButtonStartClick);
    connect(sectorsPage.ButtonStop, &QPushButton::clicked, this,
            &ScanController::ScanDriveSectorsButtonStopClick);
}

template <typename Scan>
void ScanController::RunReported(Scan& scan) {
    QString failure;
    try {
        scan.Run();
    } catch (const std::exception& error) {
        failure = QString::fromLocal8Bit(error.what());
    } catch (...) {
        failure = QStringLiteral("Unknown error");
    }
    if (!failure.isNull()) {
        promptService().ask({failure, Tr(u"Error", u"strError"), PromptButtons::Ok,
                             PromptIcon::Error, context_.host.PromptOwner()});
    }
    context_.host.CheckState();
}

void ScanController::ScanFileSystemButtonStartClick() { RunReported(fileSystemScan_); }

void ScanController::ScanDriveSectorsButtonStartClick() { RunReported(sectorScan_); }

void ScanController::ScanFileSystemButtonStopClick() {
    RequestStop(context_.host.FileSystemHalf(), fileSystemPage_);
}

void ScanController::ScanDriveSectorsButtonStopClick() {
    RequestStop(context_.host.DriveSectorsHalf(), sectorsPage_);
}

std::uint64_t ScanController::ReadErrorsOutsideScans() {
    HandleQueuedEngineMessages(context_.window);
    return handlers_.ReadErrorsOutsideScans();
}

void ScanController::RequestStop(TWorkHalfState& half, TScanPageBase& page) {
    if (Settings().ConfirmationsScanAbort &&
        promptService().ask({Tr(u"Are you sure you want to stop scan?", u"strConfirmStopScan"),
                             Tr(u"Confirmation", u"strConfirmation"), PromptButtons::YesNo,
                             PromptIcon::Question, context_.host.PromptOwner()}) == kPromptNo) {
        return;
    }
    half.StopRequested = true;
    page.ShowRunning(half.ScanRunning, true);
    context_.host.TurnAutoPilotOff();
}
