// The size a found file is recovered with: the format's probable size, or the user's,
// for a file whose size is unknown; never more than its drive holds.

#include "engine/records.h"
#include "wizard/forms/recovery/probable_file_size_form.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/found_files/base_element.h"
#include "wizard/model/found_files/condition_text.h"
#include "wizard/recovery/drive_bounds.h"
#include "wizard/recovery/recovery_flow.h"
#include "wizard/recovery/recovery_texts.h"
#include "wizard/settings/settings_values.h"
#include "wizard/utilities/text/number_text.h"

namespace {

QString ElementName(const TBaseElement& element) { return QString::fromStdString(element.Name()); }

// The probable size of `format` for the rest of this run; the store keeps its own.
void SetSessionSize(const TFormat& format, std::int32_t sizeKb) {
    if (const std::optional<std::size_t> index = DataStorage->IndexOf(&format)) {
        DataStorage->SetSessionSize(*index, sizeKb);
    }
}

// The probable size of `format` from now on and in later runs.
void StoreDefaultSize(const TFormat& format, std::int32_t sizeKb) {
    const std::optional<std::size_t> index = DataStorage->IndexOf(&format);
    if (!index) return;
    TFormat changed = format;
    changed.DefaultSizeKb = sizeKb;
    changed.SessionSizeKb.reset();
    DataStorage->ChangeFormat(*index, std::move(changed));
}

}  // namespace

std::optional<RecoveryFlow::FileOutcome> RecoveryFlow::SettleSize(TBaseElement& element,
                                                                  TRecoveringFilesForm& progress) {
    const TFormat* format = DataStorage ? DataStorage->FindBySignatureId(element.Record().TypeCode) : nullptr;
    if (format && element.Record().Size == kUnknownSize) {
        // A format without a usable size leaves the size unknown rather than huge.
        if (const auto bytes = format->DefaultSizeBytes()) element.SetSize(*bytes);
        if (!Settings().RecoveryAutoPilot && !DontAskProbableSize) {
            if (const auto outcome = AskProbableSize(element, progress)) return outcome;
        }
    }
    if (element.Record().Size == kUnknownSize) {
        NotWritten(progress, RecoveryLine(kRecoverySizeUnknown, ElementName(element)),
                   RecoveryLine(kReasonSizeUnknown));
        return FileOutcome::NotRecovered;
    }
    const std::optional<std::uint64_t> onDrive = BytesOnDrive(element.Record(), element.Drive().get());
    if (onDrive && element.Record().Size > *onDrive) {
        element.SetSize(*onDrive);
        progress.Log(RecoveryLine(kRecoverySizeCut, ElementName(element),
                                  FormatNumberText(static_cast<std::int64_t>(*onDrive))));
    }
    return std::nullopt;
}

std::optional<RecoveryFlow::FileOutcome> RecoveryFlow::AskProbableSize(TBaseElement& element,
                                                                       TRecoveringFilesForm& progress) {
    const TFormat* format = DataStorage->FindBySignatureId(element.Record().TypeCode);
    TProbableFileSizeForm form(host_.DialogOwner());
    form.Fill({QString::fromStdString(element.TypeName()), element.Record().FirstCluster, ElementName(element),
               ConditionText(element), format->ProbableSizeKb()});
    switch (form.exec()) {
        case TProbableFileSizeForm::kResultOk:
            if (const std::optional<std::int32_t> sizeKb = form.NewSizeKb()) {
                element.SetSize(std::uint64_t(*sizeKb) * 1024);
                if (form.SelectedUse() == TProbableFileSizeForm::UseFor::AllFilesInSession) {
                    SetSessionSize(*format, *sizeKb);
                } else if (form.SelectedUse() == TProbableFileSizeForm::UseFor::AllFilesAllSessions) {
                    StoreDefaultSize(*format, *sizeKb);
                }
                DontAskProbableSize = form.DontAsk();
            }
            return std::nullopt;
        case TProbableFileSizeForm::kResultSkipFile:
            progress.Log(RecoveryLine(kRecoverySkipped, ElementName(element)));
            tally_.CountSkipped(RecoveryLine(kReasonSkippedAtSize));
            return FileOutcome::NotRecovered;
        case TProbableFileSizeForm::kResultCancel:
            return FileOutcome::EndRun;
        default:
            return std::nullopt;
    }
}
