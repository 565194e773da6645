#pragma once
// Page 9: what was found and recovered, and where to go from here.

class QLabel;
class QPushButton;
class QWidget;

struct FinishPage {
    QLabel* FinishFoundFilesLabel;
    QLabel* FinishRecoveredFilesLabel;
    QPushButton* FinishExploreButton;
    QPushButton* FinishFeedbackButton;
    QPushButton* FinishNewButton;
};

FinishPage BuildFinishPage(QWidget* sheet);
