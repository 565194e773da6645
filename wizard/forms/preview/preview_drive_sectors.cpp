#include "wizard/forms/preview/preview_drive_sectors.h"

#include <QAction>

#include "wizard/model/found_files/default_size.h"
#include "wizard/services/prompt_service.h"
#include "wizard/translation/translation.h"

TPreviewDriveSectors::TPreviewDriveSectors(TBaseSortedList& list, TPreviewImageLists& images, QWidget* parent)
    : TPreviewContent(DriveSectorsContentSpec(), list, images, parent) {
    connect(Action(PreviewAction::ResetSize), &QAction::triggered, this, &TPreviewDriveSectors::MiResetFileSizeClick);
}

void TPreviewDriveSectors::PreviewElement(TBaseElement& element) {
    if (element.Record().Size == kUnknownSize) {
        if (const auto size = DefaultSizeOf(element)) {
            element.SetSize(*size);
            Model().RefreshRows();
        }
    }
    OpenViewer(element);
}

void TPreviewDriveSectors::MiResetFileSizeClick() {
    const int answer = promptService().ask(
        {TranslateString(QStringLiteral("Do you really want to reset the size of all selected files to 'Unknown'? "
                                        "During the recovery process you'll be asked to enter a new size for "
                                        "each file."),
                         QStringLiteral("strResetSizeConfirmation")),
         TranslateString(QStringLiteral("Confirmation"), QStringLiteral("strConfirmation")), PromptButtons::OkCancel,
         PromptIcon::Question, window()});
    if (answer == kPromptOk) ForEachSelected([](TBaseElement& element) { element.SetSize(kUnknownSize); });
    Model().RefreshRows();
    ListViewClick();  // the preview panel shows the size as it is now
}
