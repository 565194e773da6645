#include "tools/screenshots/dialog_shots.h"

#include <QAction>
#include <QPushButton>

#include "tools/screenshots/shot_folder.h"
#include "wizard/forms/language/language_select_form.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/forms/wait_form.h"
#include "wizard/help/help_form.h"
#include "wizard/help/html_help.h"
#include "wizard/utilities/maker_info.h"
#include "wizard/utilities/version_strings.h"

namespace {

using namespace std::chrono_literals;

void SaveMenuItem(TMainForm& form, ShotFolder& shots, const char* item, const QString& name) {
    auto* action = form.findChild<QAction*>(QString::fromLatin1(item));
    if (!action) {
        shots.Fail(QStringLiteral("no menu item %1").arg(QString::fromLatin1(item)));
        return;
    }
    shots.SaveModal(name, [action] { action->trigger(); }, Dismiss);
}

void SaveLanguageChoice(TMainForm& form, ShotFolder& shots) {
    const VersionStrings& version = ProgramVersionStrings();
    QString chosen;  // the dialog is dismissed: nothing is chosen
    shots.SaveModal(QStringLiteral("language-select"),
                    [&] {
                        SelectLanguage(chosen,
                                       {version.ProductName, version.ProductVersion, version.Build,
                                        kMakerWebSite},
                                       &form);
                    },
                    Dismiss);
}

void SaveHelpWindow(TMainForm& form, ShotFolder& shots) {
    form.findChild<QPushButton*>(QStringLiteral("BottomButtonHelp"))->click();
    if (!WaitFor([] { return CurrentHelpWindow() && CurrentHelpWindow()->isVisible(); }, 5s)) {
        shots.Fail(QStringLiteral("the help window did not open"));
        return;
    }
    Settle(500ms);
    shots.Save(QStringLiteral("help"), CurrentHelpWindow());
    CurrentHelpWindow()->close();
}

void SaveWaitWindow(TMainForm& form, ShotFolder& shots) {
    const WaitScope wait(&form);
    Settle();
    shots.Save(QStringLiteral("wait"), WaitForm());
}

}  // namespace

void SaveMenuDialogs(TMainForm& form, ShotFolder& shots) {
    SaveMenuItem(form, shots, "MainMenuMiAbout", QStringLiteral("about"));
    SaveMenuItem(form, shots, "MainMenuMiCommonSettings", QStringLiteral("preferences"));
    SaveLanguageChoice(form, shots);
    SaveHelpWindow(form, shots);
    SaveWaitWindow(form, shots);
}
