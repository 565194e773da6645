#include "wizard/scans/file_system_scan.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>

#include <algorithm>
#include <chrono>
#include <exception>

#include "wizard/bridge/busy_gate.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/scans/batched_log.h"
#include "wizard/scans/engine_params.h"
#include "wizard/scans/file_filters.h"
#include "wizard/scans/scan_progress.h"
#include "wizard/scans/scan_steps.h"
#include "wizard/scans/update_throttle.h"
#include "wizard/services/prompt_service.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/translation.h"

namespace {

constexpr auto kCounterInterval = std::chrono::milliseconds(20);
// The FAT reader reports the volume's label entry too; it names the volume, not a file.
constexpr std::uint32_t kVolumeLabelAttribute = 0x08;
const QString kFileFound = QStringLiteral("File found: %s");
const QString kNoFileEntries = QStringLiteral(
    "No file entries on drive %s: the sector scan of the next step searches it for files by their contents.");
// NTFS keeps its own files in its first 16 records and under $Extend (record 11).
constexpr std::uint64_t kNtfsFirstUserRecord = 16;
constexpr std::uint64_t kNtfsExtendRecord = 11;

// What the file system keeps for itself, not for the user: folders, the FAT volume label,
// the NTFS metafiles. A volume listing nothing else (a quick-formatted card) holds no file.
bool IsFileSystemOwn(const FoundFileRecord& record, bool ntfs) {
    if ((record.Flags & kFileDirectory) != 0 || (record.Attributes & kVolumeLabelAttribute) != 0) return true;
    return ntfs && (record.RecordNumber < kNtfsFirstUserRecord || record.ParentNumber == kNtfsExtendRecord);
}

}  // namespace

FileSystemScan::FileSystemScan(ScanContext& context, TScanFileSystemPage& page)
    : context_(context), page_(page) {}

void FileSystemScan::Run() {
    const std::shared_ptr<const TRecoveryDrive> drive = context_.host.SelectedDrive();
    if (!drive) return;
    // Before the busy gate: stopping a worker may need to wait for it with events handled.
    context_.host.StopThumbnails();
    const BusyScope busy;
    if (!busy.entered()) return;
    TWorkHalfState& half = context_.host.FileSystemHalf();
    fatal_ = false;
    Opening opening = Opening::Raised;
    try {
        Begin(*drive, half);
        int count = 0;
        opening = Open(*drive, half, busy, count);
        fatal_ = opening == Opening::Failed || opening == Opening::Raised;
        if (!fatal_ && !half.StopRequested) Enumerate(drive, half, count);
    } catch (...) {
        fatal_ = true;
        Finish(half);
        throw;
    }
    Finish(half);
    if (opening == Opening::Raised) {
        promptService().ask({Tr(u"Can't initialize disk!", u"strErrorCantInitializeDisk"),
                             Tr(u"Error", u"strError"),
                             PromptButtons::Ok, PromptIcon::Error, context_.host.PromptOwner()});
    } else if (opening == Opening::Opened && Settings().RecoveryAutoPilot && !half.StopRequested) {
        context_.host.RequestAdvance();
    }
}

void FileSystemScan::Begin(const TRecoveryDrive& drive, TWorkHalfState& half) {
    // The two ids stand the other way round from their texts; translations follow the ids.
    const QString mode =
        Settings().RecoverySearchExisting
            ? Tr(u"Searching both erased/deleted and existing corrupted files.", u"strFileSystemSearchDeleted")
            : Tr(u"Searching only erased/deleted files.", u"strFileSystemSearchDeletedAndCorrupted");
    BeginScanSteps(context_, page_, half, context_.host.FileSystemList(),
                   TranslateFormat(QStringLiteral("strFileSystemSearchStarted"),
                                   QStringLiteral("Search on drive %s: started."), DriveLetterText(drive)),
                   mode);
}

FileSystemScan::Opening FileSystemScan::Open(const TRecoveryDrive& drive, const TWorkHalfState& half,
                                             const BusyScope& held, int& count) {
    context_.host.StopThumbnails();
    try {
        DoInitializeParams(context_.settings, drive.DriveNumber(), context_.window.handle());
        count = OpenScannedDrive(context_, page_, half, drive, held);
    } catch (const std::exception&) {
        return Opening::Raised;
    }
    if (count >= 1) return Opening::Opened;
    const QString error = context_.openDrive.LastError();
    if (error.isEmpty()) return Opening::OpenedNothing;
    page_.Log().Add(
        TranslateFormat(QStringLiteral("strErrorMessage"), QStringLiteral("ERROR: %s"), error));
    return Opening::Failed;
}

void FileSystemScan::Enumerate(const std::shared_ptr<const TRecoveryDrive>& drive,
                               const TWorkHalfState& half, int count) {
    page_.LabelTotalRecords->setText(QString::number(count));
    context_.host.CheckState();

    const SettingsValues& settings = Settings();
    const bool existingToo = settings.RecoverySearchExisting;
    const FileFilters filters(settings, QDateTime::currentDateTime());
    const QString fileFound = TranslateString(kFileFound, QStringLiteral("strFileFound"));
    TBaseSortedList& list = context_.host.FileSystemList();
    BatchedLog& log = page_.Log();
    UpdateThrottle counters(kCounterInterval);
    const bool ntfs = drive->Info().FileSystemCode == kFileSystemNtfs;
    // A kept file's serial is its place among the records handed out.
    std::int64_t records = 0;
    bool fileListed = false;
    bool ended = false;
    do {
        const FoundFileRecord* record = engine().FileGetNext();
        if (!record) {
            ended = true;
            break;
        }
        ++records;
        fileListed = fileListed || !IsFileSystemOwn(*record, ntfs);
        const bool candidate = ((record->Flags & kFileDeleted) != 0 || existingToo) &&
                               (record->Flags & kFileDirectory) == 0 &&
                               (record->Attributes & kVolumeLabelAttribute) == 0;
        if (candidate && filters.Keeps(*record)) {
            // The engine reuses its record at the next call: the element copies it now.
            auto element = std::make_unique<TBaseElement>(*record, records, drive);
            log.Add(SafeFormat(fileFound, kFileFound, QString::fromStdString(element->Name())));
            list.Add(std::move(element));
        }
        if (counters.Due()) {
            ShowCounters(records, count);
            QCoreApplication::processEvents();
        }
    } while (!half.StopRequested);
    // The count was the engine's estimate: at the end the records handed out are the total.
    ShowCounters(records, ended ? records : count);
    if (!ended) return;
    page_.ShowProgress(kProgressRange);
    // Whatever the partition's type says: a wiped or unreadable boot sector lists nothing.
    if (!fileListed) {
        log.Add(TranslateFormat(QStringLiteral("strFileSystemNoFileEntries"), kNoFileEntries,
                                DriveLetterText(*drive)));
    }
}

void FileSystemScan::ShowCounters(std::int64_t records, std::int64_t total) {
    total = std::max(total, records);
    page_.LabelCurRecord->setText(QString::number(records));
    page_.LabelTotalRecords->setText(QString::number(total));
    page_.LabelFilesFound->setText(QString::number(context_.host.FileSystemList().Count()));
    page_.ShowProgress(ProgressPosition(static_cast<std::uint64_t>(records), static_cast<std::uint64_t>(total)));
}

void FileSystemScan::Finish(TWorkHalfState& half) {
    EndScanSteps(context_, page_, half,
                 fatal_               ? Tr(u"Search encountered fatal error", u"strFileSystemFatalError")
                 : half.StopRequested ? Tr(u"Search cancelled", u"strFileSystemSearchCancelled")
                                      : Tr(u"Search finished", u"strFileSystemSearchFinished"));
}
