#pragma once
// Page 3: whether the sector scan searches the free space only or the whole drive.

class QRadioButton;
class QWidget;

struct ModePage {
    QRadioButton* ModeDeletedRadioButton;
    QRadioButton* ModeCorruptedRadioButton;
};

ModePage BuildModePage(QWidget* sheet);
