#pragma once
// The program's preferences and the wizard's filter choices: one process-wide set of
// values, loaded before the first window and saved after the last (settings_store.h).
// Only the GUI thread touches them. Their defaults and stored names are in
// settings_table.cpp.

#include <QString>

#include "wizard/utilities/text/date_time.h"

struct SettingsValues {
    // Stored under "\Global".
    int GlobalLastTip{};
    bool GlobalFirstStart{};
    QString GlobalLanguage;
    bool GlobalSplashShow{};
    int GlobalSplashDelay{};  // seconds
    bool ConfirmationsShutdown{};
    bool ConfirmationsScanAbort{};
    bool ConfirmationsRecoveryAbort{};
    bool ConfirmationsFileOverwrite{};

    // Stored under "\Recovery".
    int RecoveryRetryCount{};
    int RecoveryRetryPause{};     // milliseconds
    int RecoverySectorsToRead{};  // read buffer in KB
    int RecoveryThreadsCount{};
    bool RecoveryFilesNameUse{};
    QString RecoveryFilesName;
    bool RecoveryFilesCreatedDateUse{};
    TDateTime RecoveryFilesCreatedDateFrom{};
    TDateTime RecoveryFilesCreatedDateTo{};
    bool RecoveryFilesAgeUse{};
    int RecoveryFilesAgeCount{};
    int RecoveryFilesAgeType{};  // 0 minutes, 1 hours, 2 days, 3 weeks, 4 months, 5 years
    bool RecoveryFilesSizeUse{};
    int RecoveryFilesSizeSign{};  // 0 "=", 1 ">", 2 "<"
    int RecoveryFilesSizeCount{};
    int RecoveryFilesSizeType{};  // 0 bytes, 1 KB, 2 MB
    bool RecoverySearchExisting{};
    bool RecoveryAutoPilot{};
    QString RecoveryTargetFolder;
    bool RecoveryKeepFolderStructure{};
    int GlobalFileSystemSortColumn{};  // 0 Name, 1 Condition, 2 Created, 3 Size, 4 Type, 5 Path
    bool GlobalFileSystemSortOrderAZ{};
    int GlobalDriveSectorsSortColumn{};  // 0 Name, 1 Condition, 2 Type, 3 Size
    bool GlobalDriveSectorsSortOrderAZ{};
};

// The process-wide values.
SettingsValues& Settings();
