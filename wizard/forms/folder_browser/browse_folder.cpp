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

bool AcceptsTargetFolder(QLineEdit& edit) {
    if (IsUsableTargetText(edit.text())) return true;
    const QString text = TranslateString(
        QStringLiteral("Please enter the full path of the folder for the recovered files: it begins "
                       "with \"/\" and holds no \"//\" and none of the characters \\ * ? \" < > |"),
        QStringLiteral("strTargetFolderNotUsable"));
    promptService().ask({text, TranslateString(QStringLiteral("Warning"), QStringLiteral("strWarning")),
                         PromptButtons::Ok, PromptIcon::Warning, edit.window()});
    edit.setFocus(Qt::OtherFocusReason);
    edit.selectAll();
    return false;
}
