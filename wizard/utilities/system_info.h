#pragma once
// Questions about the system the program runs on.

// Whether the system keeps per-user rights that the program must check before reading
// disks; always so here.
bool IsWindowsNT();

// The screen's logical pixels per inch across, or -1 when there is no screen. Form sizes
// scale by this / 96.
int GetScreenDpi();
