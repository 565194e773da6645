#include "wizard/app/program_units.h"

#include <cstdio>
#include <exception>

#include "wizard/app/engine_unit.h"
#include "wizard/app/preview_folder_unit.h"
#include "wizard/help/help_unit.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/settings/settings_store.h"
#include "wizard/utilities/version_strings.h"

namespace {

// A refused save is already reported by the store; the exit goes on regardless.
void saveSettingsAtExit() { SaveSettings(); }
void saveFormatsAtExit() { FormatsUnitDone(); }

// Units without work of their own in one direction have a null function there; the
// engine is never told of the shut-down (it tears down when the library is unloaded).
constexpr ProgramUnit kProgramUnits[] = {
    {"utilities", GetVersionInfoStrings, nullptr},
    {"settings", static_cast<void (*)()>(LoadSettings), saveSettingsAtExit},
    {"file formats", FormatsUnitInit, saveFormatsAtExit},
    {"preview folder", PreviewFolderInit, PreviewFolderDone},
    {"engine", UndellibClassesInit, nullptr},
    {"help", HTMLHelpInterfaceInit, HTMLHelpInterfaceDone},
};

}  // namespace

std::span<const ProgramUnit> programUnits() { return kProgramUnits; }

RunningUnits::RunningUnits(std::span<const ProgramUnit> units) : units_(units) {
    try {
        for (const ProgramUnit& unit : units_) {
            if (unit.start) {
                unit.start();
            }
            ++started_;
        }
    } catch (...) {
        finishStarted();
        throw;
    }
}

RunningUnits::~RunningUnits() { finishStarted(); }

void RunningUnits::finishStarted() noexcept {
    for (; started_ > 0; --started_) {
        const ProgramUnit& unit = units_[started_ - 1];
        if (!unit.finish) {
            continue;
        }
        try {
            unit.finish();
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "Pramblex Pro: %s did not shut down: %s\n", unit.name,
                         failure.what());
        } catch (...) {
            std::fprintf(stderr, "Pramblex Pro: %s did not shut down\n", unit.name);
        }
    }
}
