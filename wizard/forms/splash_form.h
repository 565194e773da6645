#pragma once
// The splash window: the program's picture while the engine examines the drives at
// start-up, naming each drive as the engine reports it. It exists for the whole run,
// shown or hidden, because every rescan reports to it; closing it only hides it.

#include <QTimer>
#include <QWidget>

#include "platform/win_types.h"

class MessageWindow;
class QLabel;

class TSplashForm : public QWidget {
    Q_OBJECT

public:
    explicit TSplashForm(QWidget* parent = nullptr);
    ~TSplashForm() override;

    // The window that rescans report their drives to.
    HWND DriveFoundWindow() const;
    // Handles the drive reports that are still queued once the rescan has ended.
    void TakeQueuedReports();
    // Closes the splash its delay after now (GlobalSplashDelay seconds + 300 ms), counting
    // anew when it was already running.
    void StartCloseTimer();
    // Shows it on top of everything and paints it at once.
    void ShowNow();

signals:
    // The engine reported that it examines this drive (a letter, or a disk's digit).
    void DriveExamined(QChar drive);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void FormCreate();
    void WMExaminingDrive(LPARAM lParam);
    void CloseTimerTimer();
    void ImageClick();

    QLabel* Image = nullptr;
    QLabel* LabelCopyright = nullptr;
    QLabel* LabelDriveScanTitle = nullptr;
    QLabel* LabelDriveScanning = nullptr;
    QLabel* IconImage = nullptr;
    QTimer CloseTimer;
    MessageWindow* window_ = nullptr;
};
