#include "wizard/forms/main/pages/preview_page.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <span>

#include "wizard/forms/form_widgets.h"
#include "wizard/forms/main/pages/page_parts.h"
#include "wizard/model/base_sorted_list.h"

namespace {

struct Column {
    const char* caption;
    int width;
    bool rightAligned;
};

struct PreviewPageNames {
    const char* sheet;
    const char* title;
    const char* titleText;
    const char* foundLabel;
    const char* list;
    std::span<const Column> columns;
    const char* recover;
    const char* preview;
    const char* information;
    const char* hint;
    const char* hintText;
};

constexpr Column kFileSystemColumns[] = {
    {"Name", 150, false}, {"Condition", 80, false}, {"Created", 130, true},
    {"Size", 80, true},   {"Type", 100, false},     {"Path", 260, false},
};

constexpr Column kDriveSectorsColumns[] = {
    {"Name", 140, false}, {"Condition", 80, false}, {"Type", 100, false}, {"Size", 80, true},
};

const PreviewPageNames kFileSystemNames{
    "PreviewFileSystemTabSheet", "PreviewFileSystemTopLabel",
    "Step 6 of 9: View and recover files after file system scan", "PreviewFileSystemLabelFound",
    "PreviewFileSystemListView", kFileSystemColumns, "PreviewFileSystemButtonRecover",
    "PreviewFileSystemButtonPreview", "PreviewFileSystemButtonInformation",
    "PreviewFileSystemHintLabel",
    "If you can't see the file(s) you are looking for, click the Next button to carry out the "
    "deep scan. The program will scan each of the sectors on your drive (it may take a lot of "
    "time)."};

const PreviewPageNames kDriveSectorsNames{
    "PreviewDriveSectorsTabSheet", "PreviewDriveSectorsTopLabel",
    "Step 8 of 9: View and recover files after sectors scan", "PreviewDriveSectorsLabelFound",
    "PreviewDriveSectorsListView", kDriveSectorsColumns, "PreviewDriveSectorsButtonRecover",
    "PreviewDriveSectorsButtonPreview", "PreviewDriveSectorsButtonInformation",
    "PreviewDriveSectorsHintLabel", "Click Next to view recovery summary..."};

}  // namespace

TPreviewPage::TPreviewPage(WorkHalf half, QWidget* parent) : QWidget(parent), half_(half) {
    const PreviewPageNames& names =
        half == WorkHalf::FileSystem ? kFileSystemNames : kDriveSectorsNames;
    setObjectName(QString::fromLatin1(names.sheet));
    QVBoxLayout* layout = AddPageLayout(this, names.title, QString::fromLatin1(names.titleText));
    QLabel* found = AddTextLabel(this, names.foundLabel, QStringLiteral("&Found files:"));
    layout->addWidget(found);

    columns_ = new QStandardItemModel(0, static_cast<int>(names.columns.size()), this);
    ListView = new QTreeView(this);
    ListView->setObjectName(QString::fromLatin1(names.list));
    ListView->setModel(columns_);
    ListView->setRootIsDecorated(false);
    ListView->setUniformRowHeights(true);
    ListView->setAllColumnsShowFocus(true);
    ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->header()->setStretchLastSection(false);
    for (int column = 0; column < static_cast<int>(names.columns.size()); ++column) {
        const Column& spec = names.columns[static_cast<std::size_t>(column)];
        columns_->setHeaderData(column, Qt::Horizontal, QString::fromLatin1(spec.caption));
        if (spec.rightAligned) {
            columns_->setHeaderData(column, Qt::Horizontal,
                                    QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter)),
                                    Qt::TextAlignmentRole);
        }
        ListView->setColumnWidth(column, spec.width);
    }
    found->setBuddy(ListView);
    layout->addWidget(ListView, 1);

    ButtonRecover = Named(new QPushButton(QStringLiteral("&Recover"), this), names.recover);
    ButtonPreview = Named(new QPushButton(QStringLiteral("&Preview"), this), names.preview);
    ButtonInformation = Named(new QPushButton(QStringLiteral("&Information"), this), names.information);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonRecover);
    buttons->addWidget(ButtonPreview);
    buttons->addWidget(ButtonInformation);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    QLabel* hint = AddHintLabel(this, layout, names.hint, false);
    hint->setText(QString::fromLatin1(names.hintText));
}

std::size_t TPreviewPage::Count() const { return list_ ? list_->Count() : 0; }

void TPreviewPage::SelectAll() { ListView->selectAll(); }

void TPreviewPage::Reset() { ListView->clearSelection(); }

void TPreviewPage::ShowSortMark(int column, bool ascending) {
    QHeaderView* header = ListView->header();
    if (column < 0 || column >= columns_->columnCount()) {
        header->setSortIndicatorShown(false);
        return;
    }
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}
