#include "wizard/scans/drive_sectors_scan.h"

#include <QLabel>

#include <atomic>
#include <chrono>
#include <exception>
#include <limits>
#include <string>

#include "platform/handles.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/bridge/pumping_wait.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/found_files/file_name_parts.h"
#include "wizard/scans/batched_log.h"
#include "wizard/scans/engine_params.h"
#include "wizard/scans/scan_progress.h"
#include "wizard/scans/scan_steps.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/translation.h"

namespace {

constexpr auto kCounterInterval = std::chrono::milliseconds(20);
const QString kFileFound = QStringLiteral("File found: %s");
constexpr std::size_t kTypeCodes = std::size_t{std::numeric_limits<std::uint16_t>::max()} + 1;

// The ids of the formats whose Search is set; a hit of any other type is dropped.
std::vector<bool> SearchedTypes() {
    std::vector<bool> searched(kTypeCodes, false);
    if (!DataStorage) return searched;
    const TFormatsList& formats = DataStorage->Formats();
    for (std::size_t i = 0; i < formats.Count(); ++i) {
        const TFormat& format = formats[i];
        if (format.Search && format.SignatureId >= 0 &&
            static_cast<std::size_t>(format.SignatureId) < kTypeCodes) {
            searched[static_cast<std::size_t>(format.SignatureId)] = true;
        }
    }
    return searched;
}

}  // namespace

DriveSectorsScan::DriveSectorsScan(ScanContext& context, TScanDriveSectorsPage& page)
    : context_(context), page_(page), counters_(kCounterInterval) {}

void DriveSectorsScan::Run() {
    std::shared_ptr<const TRecoveryDrive> drive = context_.host.SelectedDrive();
    if (!drive) return;
    // Before the busy gate: stopping a worker may need to wait for it with events handled.
    context_.host.StopThumbnails();
    const BusyScope busy;
    if (!busy.entered()) return;
    drive_ = std::move(drive);
    TWorkHalfState& half = context_.host.DriveSectorsHalf();
    fatal_ = false;
    searchCut_ = false;
    try {
        Begin(*drive_, half);
        fatal_ = !Prepare(*drive_, half, busy);
        // A stop asked while the drive opened ends the scan before the search.
        searchCut_ = !fatal_ && half.StopRequested;
        if (!fatal_ && !searchCut_) {
            fatal_ = !Search(busy);
            if (!fatal_) FillSizes();
        }
    } catch (...) {
        fatal_ = true;
        Finish(half);
        throw;
    }
    Finish(half);
    if (!fatal_ && Settings().RecoveryAutoPilot && !half.StopRequested) {
        context_.host.RequestAdvance();
    }
}

void DriveSectorsScan::Begin(const TRecoveryDrive& drive, TWorkHalfState& half) {
    page_.LabelDrive->setText(QString::fromStdString(drive.DisplayName()));
    page_.LabelTotalSectors->setText(QStringLiteral("0"));
    const QString mode =
        Settings().RecoverySearchExisting
            ? Tr(u"Searching both free and occupied drive clusters.", u"strDriveSectorsScanWholeDrive")
            : Tr(u"Searching only free drive clusters.", u"strDriveSectorsScanOnlyFree");
    BeginScanSteps(context_, page_, half, context_.host.DriveSectorsList(),
                   TranslateFormat(QStringLiteral("strDriveSectorsSearchStarted"),
                                   QStringLiteral("Cluster search on drive %s: started."),
                                   DriveLetterText(drive)),
                   mode);
}

bool DriveSectorsScan::Prepare(const TRecoveryDrive& drive, const TWorkHalfState& half, const BusyScope& held) {
    context_.host.StopThumbnails();
    DoInitializeParams(context_.settings, drive.DriveNumber(), context_.window.handle());
    searchedTypes_ = SearchedTypes();
    fileFound_ = TranslateString(kFileFound, QStringLiteral("strFileFound"));
    alreadyFound_ = Tr(u"File found, but it is already in the first list. Skipped!",
                       u"strSkippingAlreadyFoundFile");
    progressShown_ = false;
    counters_.Reset();

    BatchedLog& log = page_.Log();
    // The search works on the drive that the engine has open: without one it would do
    // nothing, and another drive's clusters are not the selected drive's.
    if (!context_.openDrive.Holds(drive) && OpenScannedDrive(context_, page_, half, drive, held) < 1) {
        QString error = context_.openDrive.LastError();
        if (error.isEmpty()) error = Tr(u"Can't initialize disk!", u"strErrorCantInitializeDisk");
        log.Add(TranslateFormat(QStringLiteral("strErrorMessage"), QStringLiteral("ERROR: %s"), error));
        return false;
    }
    return true;
}

bool DriveSectorsScan::Search(const BusyScope& held) {
    BatchedLog& log = page_.Log();
    log.Add(Tr(u"Sorting first file list for faster access...", u"strSortingFileList"));
    log.Flush();
    // Hits are looked up by position in it; it stays in this order after the scan.
    context_.host.FileSystemList().SortByStartPosition();
    log.Add(Tr(u"...Done!", u"strDotsDone"));
    log.Flush();

    const HANDLE thread = engine().DriveSearchSignatures();
    searchThread_ = thread;
    const PumpingWaitResult waited = pumpingWait(thread, held);
    searchThread_ = nullptr;
    // Only a stop that reached the running search leaves Run at 0; a search that came to
    // the drive's end is whole whatever reached it on the way.
    searchCut_ = std::atomic_ref<std::int32_t>(context_.settings.Run).load() == 0 &&
                 !(context_.settings.TotalClusters > 0 &&
                   context_.settings.CurrentCluster >= context_.settings.TotalClusters);
    if (thread) CloseHandle(thread);
    HandleQueuedEngineMessages(context_.window);
    // A search that went through the drive has covered it all, whatever cluster its last
    // block ended in (a last cluster cut short by the drive's end, free space that ends
    // before the drive does).
    if (progressShown_) ShowSearchCounters(!searchCut_);
    if (waited == PumpingWaitResult::Finished) return true;
    StopEngineSearch(context_.settings);
    return false;
}

void DriveSectorsScan::FillSizes() {
    BatchedLog& log = page_.Log();
    log.Add(Tr(u"Calculating size for each file...", u"strCalculatingFileSize"));
    log.Flush();
    context_.host.DriveSectorsList().FillUnknownSizes();
    log.Add(Tr(u"...Done!", u"strDotsDone"));
}

void DriveSectorsScan::FileFound(const FoundFileRecord& hit) {
    BatchedLog& log = page_.Log();
    if (context_.host.FileSystemList().FindByStartPosition(
            static_cast<std::int64_t>(hit.DataPosition))) {
        log.Add(alreadyFound_);
        return;
    }
    TBaseSortedList& list = context_.host.DriveSectorsList();
    try {
        auto element = std::make_unique<TBaseElement>(
            hit, static_cast<std::int64_t>(list.Count()) + 1, drive_);
        const std::string name = element->Name();
        // A type without a format gets the extension "unknown".
        if (ExtensionOf(name) == ".unknown") return;
        if (hit.TypeCode >= searchedTypes_.size() || !searchedTypes_[hit.TypeCode]) return;
        list.Add(std::move(element));
        log.Add(SafeFormat(fileFound_, kFileFound, QString::fromStdString(name)));
    } catch (const std::exception&) {
        log.Add(QStringLiteral("Internal error: ScanFoundFile() failed."));
    }
}

void DriveSectorsScan::SearchProgress() {
    progressShown_ = true;
    if (!counters_.Due()) return;
    ShowSearchCounters(false);
    context_.host.CheckState();
}

void DriveSectorsScan::StopSearch() {
    if (searchThread_ && WaitForSingleObject(searchThread_, 0) == WAIT_TIMEOUT) {
        StopEngineSearch(context_.settings);
    }
}

void DriveSectorsScan::ShowSearchCounters(bool whole) {
    // The engine's thread writes these between its messages.
    const std::uint64_t total = context_.settings.TotalClusters;
    const std::uint64_t reached = context_.settings.CurrentCluster;
    const std::uint64_t current = whole ? total : reached;
    page_.LabelCurrentSector->setText(QString::number(current));
    page_.LabelTotalSectors->setText(QString::number(total));
    page_.LabelFreeSectors->setText(QString::number(context_.settings.FreeClusters));
    page_.ShowProgress(ProgressPosition(current, total));
    page_.LabelFilesFound->setText(QString::number(context_.host.DriveSectorsList().Count()));
}

void DriveSectorsScan::Finish(TWorkHalfState& half) {
    EndScanSteps(context_, page_, half,
                 fatal_ ? Tr(u"Cluster search encountered fatal error", u"strDriveSectorsFatalError")
                 : half.StopRequested && searchCut_
                     ? Tr(u"Cluster search cancelled", u"strDriveSectorsSearchCancelled")
                                      : Tr(u"Cluster search finished", u"strDriveSectorsSearchFinished"));
}
