// Restoring and saving the window's placement and the lists' column widths.
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QTreeView>
#include <QTreeWidget>

#include "wizard/forms/main/main_form.h"
#include "wizard/forms/main/pages/preview_page.h"

namespace {

QList<QRect> ScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) areas.append(screen->availableGeometry());
    return areas;
}

}  // namespace

std::vector<QHeaderView*> TMainForm::StoredColumnHeaders() const {
    return {drives_.DriveSelectListViewDrives->header(), PreviewFileSystemPage->ListView->horizontalHeader(),
            PreviewDriveSectorsPage->ListView->horizontalHeader()};
}

WindowPlacementRecord TMainForm::CurrentPlacement() const {
    WindowPlacementRecord record;
    record.flags = storedFlags_;
    record.minPosition = storedMinPosition_;
    record.maxPosition = storedMaxPosition_;
    record.showCmd = isMaximized() ? kShowMaximized : isMinimized() ? kShowMinimized : kShowNormal;
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    record.left = normal.left();
    record.top = normal.top();
    record.right = normal.left() + normal.width();
    record.bottom = normal.top() + normal.height();
    return record;
}

void TMainForm::ApplyPlacement(const WindowPlacementRecord& placement) {
    // Kept only to be written back: Qt places minimized and maximized windows itself.
    storedFlags_ = placement.flags;
    storedMinPosition_ = placement.minPosition;
    storedMaxPosition_ = placement.maxPosition;
    if (const std::optional<QRect> normal = UsableNormalRect(placement, ScreenAreas())) {
        setGeometry(*normal);
    }
    if (placement.showCmd == kShowMaximized) {
        setWindowState(Qt::WindowMaximized);
    } else if (placement.showCmd == kShowMinimized) {
        setWindowState(Qt::WindowMinimized);
    }
}

void TMainForm::RegReadPosition() {
    placementRead_ = true;
    const StoredPlacement stored = ReadStoredPlacement(CurrentPlacement());
    if (!stored.placement) return;
    ApplyPlacement(*stored.placement);
    std::size_t next = 0;
    for (QHeaderView* header : StoredColumnHeaders()) {
        for (int column = 0; column < header->count(); ++column, ++next) {
            if (next >= stored.columnWidths.size()) return;
            header->resizeSection(column, UsableColumnWidth(stored.columnWidths[next]));
        }
    }
}

void TMainForm::RegWritePosition() {
    std::array<int, kStoredColumnCount> widths{};
    std::size_t next = 0;
    for (QHeaderView* header : StoredColumnHeaders()) {
        for (int column = 0; column < header->count() && next < widths.size(); ++column) {
            widths[next++] = header->sectionSize(column);
        }
    }
    WriteStoredPlacement(CurrentPlacement(), widths);
}
