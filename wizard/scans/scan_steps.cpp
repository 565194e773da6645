#include "wizard/scans/scan_steps.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>

#include <chrono>

#include "wizard/scans/batched_log.h"
#include "wizard/services/prompt_service.h"
#include "wizard/translation/translation.h"

namespace {

constexpr auto kStopCheckInterval = std::chrono::milliseconds(20);

}  // namespace

void BeginScanSteps(ScanContext& context, TScanPageBase& page, TWorkHalfState& half, TBaseSortedList& list,
                    const QString& startedLine, const QString& modeLine) {
    BatchedLog& log = page.Log();
    log.Add(startedLine);
    log.Add(modeLine);
    log.Flush();
    QCoreApplication::processEvents();

    context.host.StopThumbnails();
    list.Clear();

    page.ShowRunning(true, false);
    page.LabelReadErrors->setText(QStringLiteral("0"));
    page.ShowProgress(0);
    half.RecoveredFiles.clear();
    half.ReadErrors = 0;
    half.ScanRunning = true;
    half.StopRequested = false;
    context.host.SetFileExistsAnswer(kPromptNo);
    context.host.CheckState();
}

int OpenScannedDrive(ScanContext& context, TScanPageBase& page, const TWorkHalfState& half,
                     const TRecoveryDrive& drive, const BusyScope& held) {
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, [&] {
        if (!half.StopRequested) return;
        stopWatch.stop();
        page.Log().Add(TranslateFormat(QStringLiteral("strScanStopWaitingForDrive"),
                                       QStringLiteral("Stopping: waiting for drive %s to answer..."),
                                       DriveLetterText(drive)));
        page.Log().Flush();
    });
    stopWatch.start(kStopCheckInterval);
    return context.openDrive.Initialize(context.settings, drive, held);
}

void EndScanSteps(ScanContext& context, TScanPageBase& page, TWorkHalfState& half, const QString& lastLine) {
    HandleQueuedEngineMessages(context.window);
    BatchedLog& log = page.Log();
    log.Add(lastLine);
    log.Add(QString());
    log.Flush();
    page.ShowRunning(false, false);
    half.ScanRunning = false;
    half.ScanDone = true;
}
