#pragma once
// Pages 5 and 7: a scan of the selected drive, with Start and Stop, its figures, progress
// and log. The file-system scan counts records, the sector scan clusters; the scans
// themselves fill the figures and the log.

#include <QWidget>

#include <vector>

#include "wizard/forms/main/work_half.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class TScanPage : public QWidget {
    Q_OBJECT

public:
    TScanPage(WorkHalf half, QWidget* parent);

    WorkHalf Half() const { return half_; }

    // For a newly chosen drive: its name, every counter "0", no progress.
    void Reset(const QString& driveText);
    // Start is offered while no scan runs, Stop while one does.
    void ShowRunning(bool running);
    // The free-cluster figure means something only when the scan covers free space only.
    void ShowFreeSectors(bool visible);
    // The control that takes the focus when the page shows.
    QWidget* MainControl() const;

    QLabel* LabelDrive = nullptr;
    QLabel* LabelStatus = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPlainTextEdit* MemoLog = nullptr;
    QPushButton* ButtonStart = nullptr;
    QPushButton* ButtonStop = nullptr;

private:
    WorkHalf half_;
    std::vector<QLabel*> counters_;
    std::vector<QWidget*> freeSectors_;  // caption and figure
};
