#pragma once
// The walk through the main window's pages by Next, as a user makes it: the first drive
// (the picture card), the default types and mode, a target folder, both scans and their
// lists, a recovery from each list, and at last the card taken away. Every page is saved,
// and the dialogs met on the way.

#include <QString>

class ShotFolder;
class TMainForm;

void WalkWizard(TMainForm& form, const QString& targetFolder, ShotFolder& shots);
