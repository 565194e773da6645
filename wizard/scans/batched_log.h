#pragma once
// A scan's log: a read-only QPlainTextEdit without undo that gets its lines in batches.
// Lines wait until the next 100 ms tick or an explicit Flush, then go in with one append,
// as text blocks of up to 16 lines joined by line separators. A block per line costs the
// document three times the time and memory (a million single appends, twenty times the
// time and seven times the memory); larger blocks cost time to lay out.
//
// A line added again right after itself is not repeated: the one line shows how often it
// came ("... (312 times)"), and is brought up to date in place while the repeats go on.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class QPlainTextEdit;

class BatchedLog : public QObject {
    Q_OBJECT

public:
    // Makes `view` read-only and turns its undo off; the view must outlive the log.
    explicit BatchedLog(QPlainTextEdit* view, QObject* parent = nullptr);

    // Shown within 100 ms, or at the next Flush. The text is shown as it stands.
    void Add(const QString& line);
    // Shows every waiting line now.
    void Flush();

private:
    // The last line as it reads with its repeats.
    QString LastLineText() const;
    // When the view shows the last line with fewer repeats than it came: brings it up to
    // date, or adds it anew when the view's last line is no longer it.
    void ShowRepeatsOfShownLine();
    bool ReplaceShownLastLine();

    QPlainTextEdit* view_;
    QStringList pending_;
    QString last_;      // the last line added
    int repeats_ = 0;   // how often it came in a row
    QString shownLast_;  // how the view's last line reads, when it is the last line added
    QTimer tick_;
};
