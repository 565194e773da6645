#include "wizard/program_main.h"

#include <QApplication>

#include <cstdio>
#include <exception>

#include "wizard/main_form.h"
#include "wizard/program_halt.h"
#include "wizard/program_units.h"
#include "wizard/prompt_box_hook.h"
#include "wizard/translation/language_folder.h"
#include "wizard/utilities/known_folders.h"
#include "wizard/version_info.h"

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
        // Destroyed before the units finish, so that it can still save its state.
        TMainForm mainForm;
        mainForm.show();
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
