#include "wizard/forms/main/pages/drive_select_page.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "wizard/forms/widgets/page_parts.h"

namespace {

QAction* AddMenuItem(QMenu* menu, QWidget* list, const char* name, const QString& caption,
                     const QKeySequence& shortcut) {
    auto* action = new QAction(caption, menu);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    // The shortcut works while the list (where the menu belongs) has the focus.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    menu->addAction(action);
    list->addAction(action);
    return action;
}

}  // namespace

DriveSelectPage BuildDriveSelectPage(QWidget* sheet) {
    QVBoxLayout* layout = AddPageLayout(sheet, "DriveSelectTopLabel",
                                        QStringLiteral("Step 1 of 9: Select drive letter"));
    QLabel* prompt = AddTextLabel(
        sheet, "DriveSelectLabel1",
        QStringLiteral("&Select the drive letter of your card reader, digital device or hard drive:"));
    layout->addWidget(prompt);

    DriveSelectPage page{};
    auto* list = new QTreeWidget(sheet);
    page.DriveSelectListViewDrives = list;
    list->setObjectName(QStringLiteral("DriveSelectListViewDrives"));
    list->setColumnCount(kDriveColumnCount);
    list->setHeaderLabels({QStringLiteral("Drive"), QStringLiteral("Type"),
                           QStringLiteral("Total Space"), QStringLiteral("S/N"),
                           QStringLiteral("Status")});
    list->headerItem()->setTextAlignment(kDriveColumnTotalSpace, Qt::AlignRight | Qt::AlignVCenter);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(false);
    // A serial number has up to 16 hexadecimal digits (NTFS); a drive's letter, icon and
    // label, up to 11 characters on FAT, are shown whole; all columns fit the page's width.
    const QFontMetrics metrics = list->fontMetrics();
    const int serialWidth = metrics.horizontalAdvance(QStringLiteral("0123456789ABCDEF")) + 12;
    const int driveWidth =
        metrics.horizontalAdvance(QStringLiteral("W (DDDDDDDDDDD)")) +
        list->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, list) + 20;
    const int widths[kDriveColumnCount] = {std::max(110, driveWidth), 100, 100, std::max(70, serialWidth), 70};
    for (int column = 0; column < kDriveColumnCount; ++column) list->setColumnWidth(column, widths[column]);
    // The selection stays visible while the list is not focused.
    QPalette palette = list->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    list->setPalette(palette);
    prompt->setBuddy(list);
    layout->addWidget(list, 1);

    page.DriveSelectPopupMenu = new QMenu(list);
    page.DriveSelectPopupMenu->setObjectName(QStringLiteral("DriveSelectPopupMenu"));
    page.DriveSelectPopupMiSelect = AddMenuItem(page.DriveSelectPopupMenu, list, "DriveSelectPopupMiSelect",
                                                QStringLiteral("Select"), QKeySequence(Qt::Key_Return));
    page.DriveSelectPopupMenu->setDefaultAction(page.DriveSelectPopupMiSelect);
    page.DriveSelectPopupMenu->addSeparator();
    page.DriveSelectPopupMiProperties =
        AddMenuItem(page.DriveSelectPopupMenu, list, "DriveSelectPopupMiProperties",
                    QStringLiteral("Properties..."), QKeySequence(Qt::ALT | Qt::Key_Return));
    page.DriveSelectPopupMiRescan = AddMenuItem(page.DriveSelectPopupMenu, list, "DriveSelectPopupMiRescan",
                                                QStringLiteral("Rescan"), QKeySequence(Qt::Key_F5));
    list->setContextMenuPolicy(Qt::CustomContextMenu);

    AddHintLabel(sheet, layout, "DriveSelectHintLabel", false);
    return page;
}
