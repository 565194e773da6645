#pragma once
// The contents of the wizard's two scan pages: title, counters, progress, Start and Stop,
// and the log. The main window hosts them on its file-system and sector scan pages; the
// components carry the object names that translation files and tests look for.

#include <QString>
#include <QWidget>

#include <vector>

class BatchedLog;
class QGridLayout;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class TScanPageBase : public QWidget {
    Q_OBJECT

public:
    BatchedLog& Log() const { return *log_; }

    // A running scan: the animation runs and shows, Start is off, Stop is on until a stop
    // has been asked (`stopping`), and the status says which; idle, Start on and Stop off.
    void ShowRunning(bool running, bool stopping);
    // 0 .. kProgressRange.
    void ShowProgress(int position);
    // For a newly chosen drive: its name, every counter "0", no progress, an empty log.
    void Reset(const QString& driveText);
    // The control that takes the focus when the page shows.
    QWidget* MainControl() const;

    QLabel* TopLabel;
    QLabel* LabelDrive;
    QLabel* LabelStatus;
    QLabel* LabelReadErrors;
    QProgressBar* ProgressBar;
    QProgressBar* Animate;
    QPushButton* ButtonStart;
    QPushButton* ButtonStop;
    QPlainTextEdit* MemoLog;

protected:
    // `prefix` starts every component's name ("ScanFileSystem").
    TScanPageBase(const QString& prefix, const QString& title, QWidget* parent);

    // A counter row: a caption and a value label (plain text, "0" at first), named by
    // the page's prefix and the given suffixes.
    QLabel* AddCounter(const char* valueName, const char* captionName, const QString& caption);

private:
    QString prefix_;
    QGridLayout* counters_;
    std::vector<QLabel*> values_;
    BatchedLog* log_;
};

class TScanFileSystemPage final : public TScanPageBase {
    Q_OBJECT

public:
    explicit TScanFileSystemPage(QWidget* parent = nullptr);

    QLabel* LabelTotalRecords;
    QLabel* LabelCurRecord;
    QLabel* LabelFilesFound;
};

// Despite their names, the sector labels count clusters.
class TScanDriveSectorsPage final : public TScanPageBase {
    Q_OBJECT

public:
    explicit TScanDriveSectorsPage(QWidget* parent = nullptr);

    // The free-cluster figure means something only when the scan covers free space only.
    void ShowFreeSectors(bool visible);

    QLabel* LabelTotalSectors;
    QLabel* LabelCurrentSector;
    QLabel* LabelFreeSec;  // caption of the free clusters, hidden with them
    QLabel* LabelFreeSectors;
    QLabel* LabelFilesFound;
};
