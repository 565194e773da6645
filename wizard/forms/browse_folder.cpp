#include "wizard/forms/browse_folder.h"

#include <QWidget>

#include "wizard/forms/pb_folder_dialog.h"

std::optional<QString> BrowseForFolder(QWidget* parent, const QString& start) {
    TPBFolderDialog browser(static_cast<QObject*>(parent));
    browser.setObjectName(QStringLiteral("BrowseFolderDialog"));
    browser.SetFlags(BrowseInfoFlag::ShowPath);
    browser.SetRootFolder(TSHFolders::foMyComputer);
    if (!start.isEmpty()) browser.SetFolder(start);
    if (!browser.Execute() || browser.Folder().isEmpty()) return std::nullopt;
    return browser.Folder();
}
