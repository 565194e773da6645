#include "wizard/recovery/recovery_flow.h"

#include <QCoreApplication>
#include <QDir>
#include <QPlainTextEdit>

#include <cstring>

#include "platform/handles.h"
#include "wizard/bridge/busy_gate.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/bridge/pumping_wait.h"
#include "wizard/forms/recovery/recover_form.h"
#include "wizard/model/found_files/base_element.h"
#include "wizard/recovery/file_name_rules.h"
#include "wizard/recovery/recovery_texts.h"
#include "wizard/recovery/source_check.h"
#include "wizard/services/prompt_service.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/target_folder.h"
#include "wizard/utilities/text/number_text.h"
#include "wizard/utilities/utility_messages.h"

bool DontAskProbableSize = false;

namespace {

constexpr int kFileExistsAsk = 7;

QString ElementName(const TBaseElement& element) { return QString::fromStdString(element.Name()); }

// Shows OK in place of Abort when the run ends, however it ends.
class RunEnd {
public:
    explicit RunEnd(TRecoveringFilesForm& progress) : progress_(progress) {}
    ~RunEnd() { progress_.ShowOkButton(); }
    RunEnd(const RunEnd&) = delete;
    RunEnd& operator=(const RunEnd&) = delete;

private:
    TRecoveringFilesForm& progress_;
};

// Waits for the engine's copy while the windows stay alive; a wait refused because
// another long action pumps blocks instead, as the copy only posts.
void WaitForCopy(HANDLE thread) {
    if (pumpingWait(thread) == PumpingWaitResult::Refused) WaitForSingleObject(thread, INFINITE);
}

}  // namespace

RecoveryFlow::RecoveryFlow(RecoveryHost& host, int renameLimit) : host_(host), renameLimit_(renameLimit) {}

RecoveryFlow::~RecoveryFlow() = default;

bool RecoveryFlow::AskDestination(bool fileSystemList) {
    SettingsValues& settings = Settings();
    TRecoverForm form(host_.DialogOwner());
    if (fileSystemList) form.ShowKeepFolderStructure();
    form.SetDestinationFolder(settings.RecoveryTargetFolder);
    form.SetKeepFolderStructure(settings.RecoveryKeepFolderStructure);
    form.SetSourceDriveCheck([this](const QString& folder) {
        return FolderOnSource(folder, [this](const struct stat& status) { return host_.OnSourceDrive(status); });
    });
    if (form.exec() != TRecoverForm::kResultOk) return false;
    settings.RecoveryTargetFolder = WithTargetDelimiter(form.DestinationFolder());
    settings.RecoveryKeepFolderStructure = form.KeepFolderStructure();
    return true;
}

bool RecoveryFlow::DoRealRecovery(bool fileSystemList) {
    // A run pumps events while it waits; it never starts inside another long action.
    if (BusyScope::held()) return false;
    host_.FileExistsAnswer() = kFileExistsAsk;
    const SettingsValues& settings = Settings();
    if (!settings.RecoveryAutoPilot && !AskDestination(fileSystemList)) return false;

    const std::vector<TBaseElement*> selected = host_.SelectedElements(fileSystemList);
    const int count = static_cast<int>(selected.size());
    // A child of the main window: shown centred on it, and above it.
    progress_ = std::make_unique<TRecoveringFilesForm>(&host_.EngineRecord().WorkFlag, host_.DialogOwner());
    placement_ = std::make_unique<RecoveryPlacement>(
        FoldersCheckedOncePerDevice([this](const struct stat& status) { return host_.OnSourceDrive(status); }),
        renameLimit_);
    TRecoveringFilesForm& progress = *progress_;
    progress.SetFileCount(count);
    progress.show();
    progress.repaint();
    progress.Log(RecoveryLine(kRecoveryStarted));

    tally_ = RecoveryTally();
    bool result = true;
    {
        const RunEnd runEnd(progress);
        int done = 0;
        for (TBaseElement* element : selected) {
            filesLeft_ = count - done;
            progress.ShowTotal(done, count);
            progress.ShowFile(ElementName(*element), FormatNumberText(element->Size()));
            const FileOutcome outcome = DoRecoverFile(*element, progress);
            if (outcome == FileOutcome::EndRun) {
                progress.Log(RecoveryLine(kRecoveryAborted));
                result = false;
                break;
            }
            // A file that was not written keeps its bar where the copy left it.
            if (outcome == FileOutcome::Recovered) {
                progress.FinishFile();
                host_.CountRecovered(fileSystemList, *element);
            }
            ++done;
            QCoreApplication::processEvents();
        }
        if (result) {
            progress.SetTotalDone(done);
            progress.Log(RecoveryLine(kRecoveryFinished));
        }
        progress.Log(tally_.Summary(count));
    }
    placement_.reset();
    const bool allWritten = tally_.NotWritten() == 0;
    if (result && allWritten && settings.RecoveryAutoPilot) {
        progress.close();
        return result;
    }
    // Its OK takes Return and Esc.
    progress.activateWindow();
    if (!allWritten && !settings.RecoveryAutoPilot) {
        const QString caption = TranslateString(QStringLiteral("Warning"), QStringLiteral("strWarning"));
        promptService().ask({tally_.Summary(count), caption, PromptButtons::Ok, PromptIcon::Warning, &progress});
    }
    return result;
}

RecoveryFlow::FileOutcome RecoveryFlow::DoRecoverFile(TBaseElement& element, TRecoveringFilesForm& progress) {
    if (progress.AbortRequested()) return FileOutcome::EndRun;
    if (const auto outcome = SettleSize(element, progress)) return *outcome;

    FileOutcome failure = FileOutcome::NotRecovered;
    const std::shared_ptr<const RecoveryFolder> folder = OpenTarget(element, progress, failure);
    if (!folder) return failure;
    const std::string name = SafeName(ElementName(element));
    progress.Log(RecoveryLine(kRecoveringFileFromTo, ElementName(element), QString::fromStdString(element.Path()),
                              folder->realPath()));
    const std::optional<PlacedFile> file = Place(folder, name, progress, failure);
    if (!file) return failure;
    return Write(element, *file, progress);
}

std::shared_ptr<const RecoveryFolder> RecoveryFlow::OpenTarget(TBaseElement& element, TRecoveringFilesForm& progress,
                                                               FileOutcome& failure) {
    const SettingsValues& settings = Settings();
    if (!placement_->RootOpen()) {
        const QString root = settings.RecoveryTargetFolder;
        const auto opened = IsValidTargetFolder(root, true) ? placement_->OpenRoot(root)
                                                            : RecoveryPlacement::FolderResult::NotCreatable;
        if (opened != RecoveryPlacement::FolderResult::Opened) {
            // The run ends here: this file and every one after it are not written.
            if (opened == RecoveryPlacement::FolderResult::OnSource) {
                progress.Log(SameDriveRefusal());
                tally_.CountNotWritten(RecoveryLine(kReasonOnSource), filesLeft_);
            } else {
                progress.Log(RecoveryLine(kCantCreateFolder, root));
                tally_.CountNotWritten(RecoveryLine(kReasonFolder), filesLeft_);
            }
            failure = FileOutcome::EndRun;
            return nullptr;
        }
    }
    std::vector<std::string> parts;
    if (settings.RecoveryKeepFolderStructure) parts = SafeFolderParts(QString::fromStdString(element.Path()));
    auto [folder, result] = placement_->OpenFolder(parts);
    if (folder) return folder;
    QString path = settings.RecoveryTargetFolder;
    for (const std::string& part : parts) path += QString::fromStdString(part) + QLatin1Char('/');
    if (result == RecoveryPlacement::FolderResult::OnSource) {
        NotWritten(progress, SameDriveRefusal(), RecoveryLine(kReasonOnSource));
    } else {
        NotWritten(progress, RecoveryLine(kCantCreateFolder, path), RecoveryLine(kReasonFolder));
    }
    failure = FileOutcome::NotRecovered;
    return nullptr;
}

RecoveryFlow::FileOutcome RecoveryFlow::Write(TBaseElement& element, const PlacedFile& file,
                                              TRecoveringFilesForm& progress) {
    // Right before the engine opens it: the name must still be the file placed there,
    // as a FIFO or link put in its place would block or redirect the open.
    if (!placement_->StillPlaced(file)) {
        NotWritten(progress, RecoveryLine(kRecoveryTargetChanged, file.realPath()), RecoveryLine(kReasonReplaced));
        return FileOutcome::NotRecovered;
    }
    const std::u16string path = file.enginePath();
    const std::uint64_t readErrorsBefore = host_.ReadErrorsReported();
    HANDLE thread = engine().FileRecovery(path.c_str(), progress.ProgressWindow(), element.EngineRecord());
    if (!thread) {
        // Nothing was written: an earlier file taken over is as it was.
        placement_->DropEmpty(file);
        NotWritten(progress, RecoveryLine(kRecoveryNotWritten, file.realPath()), RecoveryLine(kReasonNothingWritten));
        return FileOutcome::NotRecovered;
    }
    WaitForCopy(thread);
    CloseHandle(thread);

    // Judged by what is on disk: the engine's result does not tell a cut file from a
    // whole one. Sectors it could not read are zeros in a file of the full size.
    const std::uint64_t unreadable = progress.UnreadableSectors();
    const std::uint64_t expected = element.Record().Size;
    const std::optional<std::uint64_t> written = placement_->WrittenSize(file);
    if (written == expected) {
        if (unreadable > 0) progress.Log(RecoveryLine(kRecoveryUnreadable, file.realPath(), unreadable));
        tally_.CountWritten(unreadable);
        return FileOutcome::Recovered;
    }
    if (!written || *written == 0) {
        placement_->DropEmpty(file);
        NotWritten(progress, RecoveryLine(kRecoveryNotWritten, file.realPath()), RecoveryLine(kReasonNothingWritten));
    } else if (*written < expected && progress.AbortRequested()) {
        NotWritten(progress, RecoveryLine(kRecoveryIncomplete, file.realPath()), RecoveryLine(kReasonAborted));
    } else if (*written < expected && host_.ReadErrorsReported() > readErrorsBefore) {
        // The engine ends a file after its last readable byte: everything it could read is
        // there, as with unreadable sectors written as zeros.
        progress.Log(RecoveryLine(kRecoveryCutAtEnd, file.realPath(),
                                  FormatNumberText(static_cast<std::int64_t>(*written)),
                                  FormatNumberText(static_cast<std::int64_t>(expected))));
        tally_.CountWritten(unreadable, true);
        return FileOutcome::Recovered;
    } else {
        NotWritten(progress,
                   RecoveryLine(kRecoveryCut, file.realPath(), FormatNumberText(static_cast<std::int64_t>(*written)),
                                FormatNumberText(static_cast<std::int64_t>(expected))),
                   RecoveryLine(kReasonIncomplete));
    }
    return FileOutcome::NotRecovered;
}

void RecoveryFlow::NotWritten(TRecoveringFilesForm& progress, const QString& line, const QString& reason) {
    progress.Log(line);
    tally_.CountNotWritten(reason);
}
