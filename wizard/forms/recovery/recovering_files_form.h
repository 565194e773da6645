#pragma once
// The progress window of a recovery run: files done, the current file's percent from the
// engine's progress messages, the run's log, and Abort, which after the run gives way to
// OK. Modeless; it stays on top while the run pumps events. Each progress message also
// carries how many sectors of the file the engine filled with zeros so far.

#include <QDialog>
#include <QSize>
#include <QString>

#include <cstdint>

#include "platform/win_types.h"

class MessageWindow;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The smallest size of the window at `dpi` pixels per inch: 400 x 300 at 96.
QSize MinimumProgressSize(int dpi);

class TRecoveringFilesForm : public QDialog {
    Q_OBJECT

public:
    static inline const QString kHelpTopic = QStringLiteral("/files/recovery.recovering.html");

    // `workFlag` is the WorkFlag of the engine settings the engine's copy reads; Abort
    // writes 0 into it.
    explicit TRecoveringFilesForm(std::int32_t* workFlag, QWidget* parent = nullptr);
    ~TRecoveringFilesForm() override;

    // The window the engine posts its progress to.
    HWND ProgressWindow() const;
    bool AbortRequested() const { return abortRequested_; }

    // The total bar's end; "0 of <count>" until the first file.
    void SetFileCount(int count);
    // "%d of %d" with the file's number and the count, and the total bar at `done`.
    void ShowTotal(int done, int count);
    void SetTotalDone(int done);
    // "%s (%s bytes)" with the name and its size text; the file bar back at 0 and no
    // unreadable sector counted.
    void ShowFile(const QString& name, const QString& sizeText);
    // The sectors of the current file that could not be read, as the last progress
    // message said; messages still queued are handled first (call it once the copy ended).
    std::uint64_t UnreadableSectors();
    void FinishFile();
    void Log(const QString& line);
    // After the run: OK in place of Abort.
    void ShowOkButton();

    QPlainTextEdit* LogMemo() const { return logMemo_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void WMFileProgress(WPARAM unreadableSectors, LPARAM percent);
    void AbortButtonClick();
    void OkButtonClick();
    void StopEngineCopy();

    std::int32_t* workFlag_;
    bool abortRequested_ = false;
    std::uint64_t unreadableSectors_ = 0;
    QString totalProgressFormat_;
    QString fileProgressFormat_;
    QLabel* totalPercentLabel_ = nullptr;
    QLabel* filenameLabel_ = nullptr;
    QProgressBar* totalProgressBar_ = nullptr;
    QProgressBar* fileProgressBar_ = nullptr;
    QPlainTextEdit* logMemo_ = nullptr;
    QPushButton* abortButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    MessageWindow* messages_ = nullptr;
};
