#pragma once
// The program's entry: unit start-up, the main window, the message loop, unit shut-down.

// Creates the application object and runs the program; returns the exit code.
int ProgramMain(int argc, char** argv);

// Runs the program inside an application object that already exists: the platform's
// message boxes go to the prompt service, the units start, the main window runs its
// message loop, the units finish. A halt or an exception ends the run with the units
// finished; an exception is reported on standard error and gives 1.
int runProgram();
