#pragma once
// The program's entry: unit start-up, the main window, the message loop, unit shut-down.

int ProgramMain(int argc, char** argv);
