// Where a recovered file goes: its own name when it is free, else by the answer of the
// file-exists dialog for an earlier file, else a numbered name.

#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include "wizard/forms/recovery/recovery_file_exists_form.h"
#include "wizard/recovery/recovery_flow.h"
#include "wizard/recovery/recovery_texts.h"
#include "wizard/recovery/save_name_dialog.h"
#include "wizard/services/prompt_service.h"
#include "wizard/settings/settings_values.h"
#include "wizard/utilities/utility_messages.h"

namespace {

// A name read from the save dialog must be one entry of the folder it names.
bool IsPlainName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0)) && name.toUtf8().size() <= 255;
}

}  // namespace

std::optional<PlacedFile> RecoveryFlow::Place(const std::shared_ptr<const RecoveryFolder>& folder,
                                              const std::string& name, TRecoveringFilesForm& progress,
                                              FileOutcome& failure) {
    failure = FileOutcome::NotRecovered;
    const QString path = folder->realPath() + QString::fromStdString(name);
    // A name that changes between the look and the creation is looked at again.
    for (;;) {
        switch (placement_->Inspect(*folder, name)) {
            case RecoveryPlacement::NameState::Free:
                if (auto file = placement_->ReserveNew(folder, name)) return file;
                if (errno == EEXIST) continue;
                NotCreated(path, progress);
                return std::nullopt;
            case RecoveryPlacement::NameState::Occupied:
                return PlaceNumbered(folder, name, progress);
            case RecoveryPlacement::NameState::EarlierFile:
                break;
        }
        switch (AskAboutEarlierFile(path)) {
            case EarlierFileChoice::Rename:
                return PlaceNumbered(folder, name, progress);
            case EarlierFileChoice::Overwrite:
                if (auto file = placement_->ClaimEarlier(folder, name)) {
                    progress.Log(RecoveryLine(kRecoveryOverwriting, path));
                    return file;
                }
                continue;
            case EarlierFileChoice::SaveAs:
                if (auto file = PlaceChosen(folder, name, progress)) return file;
                failure = FileOutcome::EndRun;
                return std::nullopt;
            case EarlierFileChoice::EndRun:
                failure = FileOutcome::EndRun;
                return std::nullopt;
        }
    }
}

void RecoveryFlow::NotCreated(const QString& path, TRecoveringFilesForm& progress) {
    // The system's words say why: no permission, no space, a read-only file system.
    const QString why = QString::fromLocal8Bit(std::strerror(errno));
    NotWritten(progress, RecoveryLine(kRecoveryCantCreateFile, path, why), why);
}

RecoveryFlow::EarlierFileChoice RecoveryFlow::AskAboutEarlierFile(const QString& path) {
    int& answer = host_.FileExistsAnswer();
    if (!Settings().ConfirmationsFileOverwrite) answer = TRecoveryFileExistsForm::kResultYesToAll;
    if (answer == TRecoveryFileExistsForm::kResultYes || answer == TRecoveryFileExistsForm::kResultNo) {
        answer = ShowFileExistsDialog(path);
    }
    switch (answer) {
        case TRecoveryFileExistsForm::kResultOk: return EarlierFileChoice::Rename;
        case TRecoveryFileExistsForm::kResultYes:
        case TRecoveryFileExistsForm::kResultYesToAll: return EarlierFileChoice::Overwrite;
        case TRecoveryFileExistsForm::kResultNo:
        case TRecoveryFileExistsForm::kResultNoToAll: return EarlierFileChoice::SaveAs;
        default: return EarlierFileChoice::EndRun;
    }
}

std::optional<PlacedFile> RecoveryFlow::PlaceNumbered(const std::shared_ptr<const RecoveryFolder>& folder,
                                                      const std::string& name, TRecoveringFilesForm& progress) {
    auto file = placement_->ReserveNumbered(folder, name);
    if (file) {
        progress.Log(RecoveryLine(kRecoveryAutoRename, file->realPath()));
    } else if (errno != EEXIST) {
        NotCreated(folder->realPath() + QString::fromStdString(name), progress);
    } else {
        NotWritten(progress, RecoveryLine(kRecoveryNoFreeName, folder->realPath() + QString::fromStdString(name)),
                   RecoveryLine(kReasonNoFreeName));
    }
    return file;
}

std::optional<PlacedFile> RecoveryFlow::PlaceChosen(const std::shared_ptr<const RecoveryFolder>& folder,
                                                    const std::string& name, TRecoveringFilesForm& progress) {
    QString suggestion = QString::fromStdString(name);
    for (;;) {
        const std::optional<QString> chosen = AskSaveName(host_.DialogOwner(), folder->realPath(), suggestion);
        if (!chosen) return std::nullopt;
        const QFileInfo info(*chosen);
        suggestion = info.fileName();
        const std::string chosenName = suggestion.toStdString();
        const auto [chosenFolder, opened] = placement_->OpenChosenFolder(info.absolutePath());
        std::optional<PlacedFile> file;
        if (chosenFolder && IsPlainName(suggestion)) {
            switch (placement_->Inspect(*chosenFolder, chosenName)) {
                case RecoveryPlacement::NameState::Free:
                    file = placement_->ReserveNew(chosenFolder, chosenName);
                    break;
                case RecoveryPlacement::NameState::EarlierFile: {
                    const Prompt replace{RecoveryLine(kConfirmReplaceFile, *chosen), QString(),
                                         PromptButtons::YesNo, PromptIcon::Warning, host_.DialogOwner()};
                    if (promptService().ask(replace) != kPromptYes) continue;
                    file = placement_->ClaimEarlier(chosenFolder, chosenName);
                    break;
                }
                case RecoveryPlacement::NameState::Occupied:
                    break;
            }
        }
        if (file) {
            progress.Log(RecoveryLine(kRecoveryRename, file->realPath()));
            return file;
        }
        const QString refusal = opened == RecoveryPlacement::FolderResult::OnSource
                                    ? SameDriveRefusal()
                                    : RecoveryLine(kRecoveryNameRefused, *chosen);
        promptService().ask({refusal, QString(), PromptButtons::Ok, PromptIcon::Warning, host_.DialogOwner()});
    }
}
