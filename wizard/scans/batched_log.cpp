#include "wizard/scans/batched_log.h"

#include <QPlainTextEdit>

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
    if (pendingLines_ > 0) {
        pending_.append(pendingLines_ % kLinesPerBlock == 0 ? QChar(u'\n') : QChar(QChar::LineSeparator));
    }
    pending_.append(line);
    ++pendingLines_;
    if (!tick_.isActive()) tick_.start();
}

void BatchedLog::Flush() {
    tick_.stop();
    if (pendingLines_ == 0) return;
    view_->appendPlainText(pending_);
    pending_.clear();
    pendingLines_ = 0;
}
