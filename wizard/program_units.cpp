#include "wizard/program_units.h"

#include <cstdio>
#include <exception>

#include "wizard/engine_unit.h"

namespace {

// Units without work of their own in one direction have a null function there; the
// engine is never told of the shut-down (it tears down when the library is unloaded).
constexpr ProgramUnit kProgramUnits[] = {
    {"utilities", nullptr, nullptr},
    {"settings", nullptr, nullptr},
    {"file formats", nullptr, nullptr},
    {"engine", UndellibClassesInit, nullptr},
    {"help", nullptr, nullptr},
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
