#pragma once
// The program's own units that do work at start-up and at shut-down, in their order:
// utilities, settings, file formats, the preview folder, engine binding, help. They start
// in that order and finish in the reverse order on every way out of the program: a normal
// end, a halt or an exception.

#include <cstddef>
#include <span>

struct ProgramUnit {
    const char* name;
    void (*start)();   // null: nothing to do at start-up
    void (*finish)();  // null: nothing to do at shut-down
};

// The program's units in start-up order.
std::span<const ProgramUnit> programUnits();

// Starts the units in order. When a start fails, the units already started are finished
// in reverse and the failure goes on to the caller.
class RunningUnits {
public:
    explicit RunningUnits(std::span<const ProgramUnit> units);
    // Finishes every started unit in reverse order. A unit that fails to finish is
    // reported on standard error; the others still finish.
    ~RunningUnits();
    RunningUnits(const RunningUnits&) = delete;
    RunningUnits& operator=(const RunningUnits&) = delete;

private:
    void finishStarted() noexcept;

    std::span<const ProgramUnit> units_;
    std::size_t started_ = 0;
};
