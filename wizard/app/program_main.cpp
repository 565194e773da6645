#include "wizard/app/program_main.h"

#include <QApplication>

#include <cstdio>
#include <exception>

#include "wizard/app/program_units.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/forms/splash_form.h"
#include "wizard/services/prompt_box_hook.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/language_folder.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/known_folders.h"
#include "wizard/utilities/program_halt.h"
#include "wizard/utilities/version_info.h"

int ProgramMain(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(kProductName);
    return runProgram();
}

int runProgram() {
    const PromptBoxHook promptBoxes;
    SetLanguageFolder(GetProgramFolder());
    try {
        const RunningUnits units(programUnits());
        // Both are destroyed before the units finish, so that they can still save their
        // state; the splash outlives the main window, which reports rescans to it.
        // The splash translates itself as it is made: the stored language first.
        UseLanguageFile(Settings().GlobalLanguage);
        TSplashForm splash;
        if (Settings().GlobalSplashShow) splash.ShowNow();
        TMainForm mainForm(&splash);
        // Closing the main window ends the run, whatever other windows are open.
        QObject::connect(&mainForm, &TMainForm::FormClosed, qApp, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        mainForm.show();
        // The keys go to the window: without a window manager nobody else gives them to it,
        // and without them Alt and the mnemonics do nothing.
        mainForm.activateWindow();
        // Where no window manager keeps it on top, the splash stays above the window.
        if (splash.isVisible()) splash.raise();
        return QApplication::exec();
    } catch (const ProgramHalt& halt) {
        return halt.exitCode();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "Pramblex Pro: %s\n", failure.what());
        return 1;
    } catch (...) {
        // Caught so that the stack, and with it the units, is always unwound.
        std::fprintf(stderr, "Pramblex Pro: stopped by an unknown failure\n");
        return 1;
    }
}
