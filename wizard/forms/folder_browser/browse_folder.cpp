#include "wizard/forms/folder_browser/browse_folder.h"

#include <QLineEdit>
#include <QWidget>

#include "wizard/forms/folder_browser/pb_folder_dialog.h"
#include "wizard/services/prompt_service.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/target_folder.h"

std::optional<QString> BrowseForFolder(TPBFolderDialog& browser, const QString& start) {
    if (!start.isEmpty()) browser.SetFolder(start);
    if (!browser.Execute() || browser.Folder().isEmpty()) return std::nullopt;
    return browser.Folder();
}

std::optional<QString> BrowseForFolder(QWidget* parent, const QString& start) {
    TPBFolderDialog browser(static_cast<QObject*>(parent));
    browser.setObjectName(QStringLiteral("BrowseFolderDialog"));
    browser.SetFlags(BrowseInfoFlag::ShowPath);
    browser.SetRootFolder(TSHFolders::foMyComputer);
    return BrowseForFolder(browser, start);
}

namespace {

QString TargetFaultText(TargetFault fault, const QString& folder) {
    switch (fault) {
        case TargetFault::SystemFolder:
            return TranslateFormat(QStringLiteral("strTargetFolderSystem"),
                                   QStringLiteral("%s is the system's root folder or a folder of the system's "
                                                  "kernel: recovered files can't be saved there. Please choose "
                                                  "another folder."),
                                   folder);
        case TargetFault::NotAFolder:
            return TranslateFormat(QStringLiteral("strTargetFolderNotAFolder"),
                                   QStringLiteral("%s is a file, not a folder. Please choose a folder for the "
                                                  "recovered files."),
                                   folder);
        default:
            return TranslateString(QStringLiteral("Please enter the full path of the folder for the recovered "
                                                  "files: it begins with \"/\" and holds no \"//\" and none of the "
                                                  "characters \\ * ? \" < > |"),
                                   QStringLiteral("strTargetFolderNotUsable"));
    }
}

}  // namespace

bool AcceptsTargetFolder(QLineEdit& edit) {
    const TargetFault fault = TargetFaultOf(edit.text());
    if (fault == TargetFault::None) return true;
    promptService().ask({TargetFaultText(fault, edit.text()),
                         TranslateString(QStringLiteral("Warning"), QStringLiteral("strWarning")),
                         PromptButtons::Ok, PromptIcon::Warning, edit.window()});
    edit.setFocus(Qt::OtherFocusReason);
    edit.selectAll();
    return false;
}
