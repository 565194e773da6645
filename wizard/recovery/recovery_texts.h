#pragma once
// The recovery run's log lines and questions, each with its text id and English text.

#include <QString>

#include "wizard/translation/translation.h"

struct RecoveryText {
    const char* id;
    const char* english;
};

inline constexpr RecoveryText kRecoveryStarted{"strRecoveryStarted", "Recovery started."};
inline constexpr RecoveryText kRecoveryFinished{"strRecoveryFinished", "Recovery finished."};
inline constexpr RecoveryText kRecoveryAborted{"strRecoveryAborted", "Recovery aborted!"};
inline constexpr RecoveryText kCantCreateFolder{"strCantCreateFolder", "Can't create folder %s"};
inline constexpr RecoveryText kRecoveringFileFromTo{"strRecoveringFileFromTo",
                                                    "Recovering file: %s (from %s to %s)"};
inline constexpr RecoveryText kRecoveryAutoRename{"strRecoveryAutoRename", "WARNING: Auto-rename file to: %s"};
inline constexpr RecoveryText kRecoveryOverwriting{"strRecoveryOverwriting", "WARNING: Overwriting file: %s"};
inline constexpr RecoveryText kRecoveryRename{"strRecoveryRename", "WARNING: Recovering file under new name: %s"};

// Lines of our own: every file that is not recovered whole says why.
inline constexpr RecoveryText kRecoverySizeUnknown{"strRecoverySizeUnknown",
                                                   "ERROR: Size of file %s is unknown, file skipped"};
inline constexpr RecoveryText kRecoverySizeCut{
    "strRecoverySizeCut", "WARNING: Size of file %s passes the end of its drive, cut to %s bytes"};
inline constexpr RecoveryText kRecoverySkipped{"strRecoverySkipped", "File %s skipped"};
inline constexpr RecoveryText kRecoveryNoFreeName{"strRecoveryNoFreeName",
                                                  "ERROR: No free name for file %s, file skipped"};
inline constexpr RecoveryText kRecoveryCantCreateFile{"strRecoveryCantCreateFile",
                                                      "ERROR: Can't create file %s (%s)"};
inline constexpr RecoveryText kRecoveryTargetChanged{
    "strRecoveryTargetChanged", "ERROR: File %s was replaced before it was written, file skipped"};
inline constexpr RecoveryText kRecoveryNotWritten{"strRecoveryNotWritten", "ERROR: File %s was not recovered"};
inline constexpr RecoveryText kRecoveryIncomplete{"strRecoveryIncomplete",
                                                  "WARNING: File %s is incomplete: recovery was aborted"};
inline constexpr RecoveryText kRecoveryCut{"strRecoveryCut",
                                           "ERROR: File %s is incomplete: %s of %s bytes recovered"};
inline constexpr RecoveryText kRecoveryUnreadable{
    "strRecoveryUnreadable", "WARNING: File %s recovered with %d unreadable sectors, filled with zeros"};
inline constexpr RecoveryText kRecoveryCutAtEnd{
    "strRecoveryCutAtEnd", "WARNING: File %s recovered up to the unreadable sectors at its end: %s of %s bytes"};

// The run's last line: what became of its files.
inline constexpr RecoveryText kRecoverySummary{"strRecoverySummary", "Files recovered: %d of %d."};
inline constexpr RecoveryText kRecoverySummaryUnreadable{"strRecoverySummaryUnreadable",
                                                         "With unreadable sectors filled with zeros: %d."};
inline constexpr RecoveryText kRecoverySummaryCutAtEnd{"strRecoverySummaryCutAtEnd",
                                                       "Cut short by unreadable sectors at their end: %d."};
inline constexpr RecoveryText kRecoverySummaryNotWritten{"strRecoverySummaryNotWritten",
                                                         "Could not be written: %d (%s)."};
inline constexpr RecoveryText kRecoverySummarySkipped{"strRecoverySummarySkipped", "Skipped: %d (%s)."};
// Why a file could not be written, for that line (a system error says it in its own words).
inline constexpr RecoveryText kReasonSizeUnknown{"strRecoveryReasonSizeUnknown", "size unknown"};
inline constexpr RecoveryText kReasonFolder{"strRecoveryReasonFolder", "folder can't be created"};
inline constexpr RecoveryText kReasonOnSource{"strRecoveryReasonOnSource", "folder on the source drive"};
inline constexpr RecoveryText kReasonNoFreeName{"strRecoveryReasonNoFreeName", "no free name"};
inline constexpr RecoveryText kReasonReplaced{"strRecoveryReasonReplaced", "replaced before it was written"};
inline constexpr RecoveryText kReasonNothingWritten{"strRecoveryReasonNothingWritten", "nothing could be written"};
inline constexpr RecoveryText kReasonAborted{"strRecoveryReasonAborted", "recovery aborted"};
inline constexpr RecoveryText kReasonIncomplete{"strRecoveryReasonIncomplete", "incomplete"};
// Where the user skipped a file, for that line.
inline constexpr RecoveryText kReasonSkippedAtSize{"strRecoveryReasonSkippedAtSize", "when asked for its size"};

inline constexpr RecoveryText kConfirmReplaceFile{"strConfirmReplaceFile",
                                                  "%s already exists.*|*Do you want to replace it?"};
inline constexpr RecoveryText kRecoveryNameRefused{
    "strRecoveryNameRefused",
    "%s can't be written: it is a link, a folder, a device or a file of this recovery. Please "
    "choose another name."};

// The text in the current translation, filled with `arguments`.
template <typename... Arguments>
QString RecoveryLine(const RecoveryText& text, const Arguments&... arguments) {
    const QString english = QString::fromUtf8(text.english).replace(QStringLiteral("*|*"), QStringLiteral("\n"));
    return TranslateFormat(QString::fromLatin1(text.id), english, arguments...);
}
