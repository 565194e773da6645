#pragma once
// Page 4: the auto-pilot switch and where recovered files go.

class QCheckBox;
class QLineEdit;
class QPushButton;
class QWidget;

struct AutopilotPage {
    QCheckBox* AutopilotCheckBox;
    QLineEdit* AutopilotFolderEdit;
    QPushButton* AutopilotFolderBrowse;
    QCheckBox* AutopilotKeepFolderStructureCheckBox;
};

AutopilotPage BuildAutopilotPage(QWidget* sheet);
