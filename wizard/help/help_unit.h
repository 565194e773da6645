#pragma once
// The help unit: the last of the program's units to start and the first to finish.
//
// While it runs, F1 in any window that has a help keyword asks the help service for that
// keyword; the service's standard implementation, the help viewer, opens it in the help
// window ("<help folder>::<keyword>"), and does nothing when the help folder is missing.

class HelpService;

// Starts turning F1 presses into help requests.
void HTMLHelpInterfaceInit();
// Stops that and closes the help window.
void HTMLHelpInterfaceDone();

// The help service the program uses unless a test installs another.
HelpService& HtmlHelpViewer();
