#pragma once
// The dialogs that no page leads to on the way: the main menu's About and Preferences, the
// first start's language choice, the help window and the wait window.

class ShotFolder;
class TMainForm;

void SaveMenuDialogs(TMainForm& form, ShotFolder& shots);
