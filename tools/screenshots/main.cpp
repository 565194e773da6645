// Saves a picture of every page of the wizard's main window and of every dialog, for
// reviewing layout and translations:
//
//     wizard_screenshots [--language FILE.lng] FOLDER
//
// The wizard runs on fixture images in a private settings store and home folder, with
// the shipped translation FILE when one is named. Needs a display (xvfb-run will do).
// Exits with 1 when something on the way did not work; the pictures taken are kept.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "tools/screenshots/dialog_shots.h"
#include "tools/screenshots/fixture_disks.h"
#include "tools/screenshots/grabbing_prompts.h"
#include "tools/screenshots/shot_folder.h"
#include "tools/screenshots/wizard_walk.h"
#include "wizard/app/program_units.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/forms/splash_form.h"
#include "wizard/help/help_file.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/language_folder.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/program_halt.h"
#include "wizard/utilities/version_info.h"

namespace {

struct Options {
    QString folder;
    QString language;  // a file of the language folder; empty for English
};

bool ParseOptions(const QStringList& arguments, Options& options) {
    for (int at = 1; at < arguments.size(); ++at) {
        if (arguments[at] == QStringLiteral("--language") && at + 1 < arguments.size()) {
            options.language = arguments[++at];
        } else if (options.folder.isEmpty() && !arguments[at].startsWith(u'-')) {
            options.folder = arguments[at];
        } else {
            return false;
        }
    }
    return !options.folder.isEmpty();
}

// A fresh home folder and settings store inside `work`, so that every run starts alike.
bool UsePrivateFolders(const QString& work) {
    const QDir root(work);
    for (const char* folder : {"home/.config", "registry", "disks", "recovered"}) {
        if (!root.mkpath(QString::fromLatin1(folder))) return false;
    }
    ::setenv("HOME", qPrintable(root.filePath(QStringLiteral("home"))), 1);
    ::setenv("XDG_CONFIG_HOME", qPrintable(root.filePath(QStringLiteral("home/.config"))), 1);
    ::setenv("UNDELETE_REGISTRY", qPrintable(root.filePath(QStringLiteral("registry"))), 1);
    ::setenv("UNDELETE_TEST_DATA", SCREENSHOTS_TEST_DATA, 0);
    return UseFixtureDisks(root.filePath(QStringLiteral("disks")));
}

int TakeScreenshots(const Options& options, const QString& work) {
    ShotFolder shots(options.folder);
    GrabbingPrompts prompts(shots);
    const ScopedPromptService promptsInstalled(prompts);
    SetLanguageFolder(QStringLiteral(SCREENSHOTS_LANGUAGES));
    SetApplicationHelpFile(QStringLiteral(SCREENSHOTS_HELP));

    const RunningUnits units(programUnits());
    Settings().GlobalFirstStart = false;
    Settings().GlobalLanguage = options.language;
    UseLanguageFile(options.language);
    TSplashForm splash;
    splash.ShowNow();
    TMainForm form(&splash);
    shots.Save(QStringLiteral("splash"), &splash);
    splash.hide();
    form.show();
    WalkWizard(form, QDir(work).filePath(QStringLiteral("recovered")), shots);
    SaveMenuDialogs(form, shots);
    return shots.Failures() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(kProductName);
    Options options;
    if (!ParseOptions(QApplication::arguments(), options)) {
        std::fprintf(stderr, "usage: wizard_screenshots [--language FILE.lng] FOLDER\n");
        return 2;
    }
    const QTemporaryDir work;
    if (!work.isValid() || !UsePrivateFolders(work.path())) {
        std::fprintf(stderr, "screenshots: no private folders for the run\n");
        return 1;
    }
    try {
        return TakeScreenshots(options, work.path());
    } catch (const ProgramHalt& halt) {
        return halt.exitCode();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "screenshots: %s\n", failure.what());
        return 1;
    }
}
