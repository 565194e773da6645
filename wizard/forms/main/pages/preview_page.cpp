#include "wizard/forms/main/pages/preview_page.h"

#include <QItemSelectionModel>
#include <QVBoxLayout>

#include "wizard/forms/preview/found_files_views.h"
#include "wizard/forms/preview/preview_drive_sectors.h"
#include "wizard/forms/preview/preview_file_system.h"
#include "wizard/forms/widgets/page_parts.h"
#include "wizard/translation/translate_form.h"

TPreviewPage::TPreviewPage(WorkHalf half, QWidget* parent) : QWidget(parent), half_(half) {
    const bool fileSystem = half == WorkHalf::FileSystem;
    setObjectName(fileSystem ? QStringLiteral("PreviewFileSystemTabSheet") : QStringLiteral("PreviewDriveSectorsTabSheet"));
    layout_ = fileSystem
                  ? AddPageLayout(this, "PreviewFileSystemTopLabel",
                                  QStringLiteral("Step 6 of 9: View and recover files after file system scan"))
                  : AddPageLayout(this, "PreviewDriveSectorsTopLabel",
                                  QStringLiteral("Step 8 of 9: View and recover files after sectors scan"));
}

void TPreviewPage::SetList(TBaseSortedList* list, TPreviewImageLists* images) {
    delete Content;
    Content = nullptr;
    ListView = nullptr;
    list_ = list;
    if (!list || !images) return;
    if (half_ == WorkHalf::FileSystem) {
        Content = new TPreviewFileSystem(*list, *images, this);
    } else {
        Content = new TPreviewDriveSectors(*list, *images, this);
    }
    ListView = Content->ReportView();
    layout_->addWidget(Content, 1);
    // Made after the window was translated: its texts follow now.
    TranslatePart(Content, window());
    connect(Content, &TPreviewContent::RecoverRequested, this, &TPreviewPage::RecoverRequested);
}

std::size_t TPreviewPage::Count() const { return list_ ? list_->Count() : 0; }

std::vector<TBaseElement*> TPreviewPage::SelectedElements() const {
    return Content ? Content->SelectedElements() : std::vector<TBaseElement*>();
}

void TPreviewPage::SelectAll() {
    if (Content) Content->MiSelectAllClick();
}

void TPreviewPage::Reset() {
    if (Content) Content->Selection().clearSelection();
}

void TPreviewPage::TabSheetShow() {
    if (Content) Content->TabSheetShow();
}
