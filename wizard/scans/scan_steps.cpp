#include "wizard/scans/scan_steps.h"

#include <QCoreApplication>
#include <QLabel>

#include "wizard/scans/batched_log.h"
#include "wizard/services/prompt_service.h"

void BeginScanSteps(ScanContext& context, TScanPageBase& page, TWorkHalfState& half, TBaseSortedList& list,
                    const QString& startedLine, const QString& modeLine) {
    BatchedLog& log = page.Log();
    log.Add(startedLine);
    log.Add(modeLine);
    log.Flush();
    QCoreApplication::processEvents();

    context.host.StopThumbnails();
    list.Clear();

    page.ShowRunning(true);
    page.LabelReadErrors->setText(QStringLiteral("0"));
    page.LabelStatus->setText(Tr(u"Busy", u"strBusy"));
    page.ShowProgress(0);
    half.RecoveredFiles.clear();
    half.ReadErrors = 0;
    half.ScanRunning = true;
    half.StopRequested = false;
    context.host.SetFileExistsAnswer(kPromptNo);
    context.host.CheckState();
}

void EndScanSteps(ScanContext& context, TScanPageBase& page, TWorkHalfState& half, const QString& lastLine) {
    HandleQueuedEngineMessages(context.window);
    BatchedLog& log = page.Log();
    log.Add(lastLine);
    log.Add(QString());
    log.Flush();
    page.LabelStatus->setText(Tr(u"Idle", u"strIdle"));
    page.ShowRunning(false);
    half.ScanRunning = false;
    half.ScanDone = true;
}
