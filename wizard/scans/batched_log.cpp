#include "wizard/scans/batched_log.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "wizard/translation/translation.h"

namespace {

constexpr int kTickMilliseconds = 100;
constexpr int kLinesPerBlock = 16;

}  // namespace

BatchedLog::BatchedLog(QPlainTextEdit* view, QObject* parent) : QObject(parent), view_(view) {
    view_->setReadOnly(true);
    view_->setUndoRedoEnabled(false);
    tick_.setSingleShot(true);
    tick_.setInterval(kTickMilliseconds);
    connect(&tick_, &QTimer::timeout, this, &BatchedLog::Flush);
}

void BatchedLog::Add(const QString& line) {
    if (!tick_.isActive()) tick_.start();
    if (repeats_ > 0 && !line.isEmpty() && line == last_) {
        ++repeats_;
        if (!pending_.isEmpty() && shownLast_.isNull()) pending_.last() = LastLineText();
        return;
    }
    // The repeats of the line before are shown before anything follows it.
    ShowRepeatsOfShownLine();
    pending_.append(line);
    last_ = line;
    repeats_ = 1;
    shownLast_ = QString();
}

QString BatchedLog::LastLineText() const {
    if (repeats_ <= 1) return last_;
    return TranslateFormat(QStringLiteral("strLogLineRepeated"), QStringLiteral("%s (%d times)"), last_, repeats_);
}

void BatchedLog::ShowRepeatsOfShownLine() {
    if (shownLast_.isNull() || shownLast_ == LastLineText()) return;
    if (!ReplaceShownLastLine()) pending_.append(LastLineText());
}

bool BatchedLog::ReplaceShownLastLine() {
    QTextDocument* document = view_->document();
    const QTextBlock block = document->lastBlock();
    const QString text = block.text();
    const qsizetype start = text.lastIndexOf(QChar::LineSeparator) + 1;
    // Someone else wrote to the view or cleared it: the line is added anew.
    if (text.mid(start) != shownLast_) return false;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + static_cast<int>(start));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    shownLast_ = LastLineText();
    cursor.insertText(shownLast_);
    return true;
}

void BatchedLog::Flush() {
    tick_.stop();
    ShowRepeatsOfShownLine();
    if (pending_.isEmpty()) return;
    QString text;
    for (qsizetype i = 0; i < pending_.size(); ++i) {
        if (i > 0) text.append(i % kLinesPerBlock == 0 ? QChar(u'\n') : QChar(QChar::LineSeparator));
        text.append(pending_[i]);
    }
    view_->appendPlainText(text);
    pending_.clear();
    shownLast_ = LastLineText();
}
