#pragma once
// Page 1: the list of drives to recover from, with its popup menu.

class QAction;
class QMenu;
class QTreeWidget;
class QWidget;

struct DriveSelectPage {
    QTreeWidget* DriveSelectListViewDrives;
    QMenu* DriveSelectPopupMenu;
    QAction* DriveSelectPopupMiSelect;      // Enter
    QAction* DriveSelectPopupMiProperties;  // Alt+Enter
    QAction* DriveSelectPopupMiRescan;      // F5
};

// Columns of the drive list, in order.
enum DriveColumn { kDriveColumnDrive, kDriveColumnType, kDriveColumnTotalSpace, kDriveColumnSN, kDriveColumnStatus, kDriveColumnCount };

DriveSelectPage BuildDriveSelectPage(QWidget* sheet);
