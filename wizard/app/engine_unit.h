#pragma once
// Binding the engine at start-up: the engine gets the program's registry base, which it
// keeps for the whole run.

// Fills the program-global key buffer (4097 UTF-16 units, zero-filled) with
// "\Software\Kelvorin\Pramblex" and hands its address to Library_Initialize; the result
// is not used.
void UndellibClassesInit();
