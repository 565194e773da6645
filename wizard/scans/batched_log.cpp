#include "wizard/scans/batched_log.h"

#include <QPlainTextEdit>

namespace {

constexpr int kTickMilliseconds = 100;

}  // namespace

BatchedLog::BatchedLog(QPlainTextEdit* view, QObject* parent) : QObject(parent), view_(view) {
    view_->setReadOnly(true);
    view_->setUndoRedoEnabled(false);
    tick_.setSingleShot(true);
    tick_.setInterval(kTickMilliseconds);
    connect(&tick_, &QTimer::timeout, this, &BatchedLog::Flush);
}

void BatchedLog::Add(const QString& line) {
    pending_.append(line);
    if (!tick_.isActive()) tick_.start();
}

void BatchedLog::Flush() {
    tick_.stop();
    if (pending_.isEmpty()) return;
    view_->appendPlainText(pending_.join(u'\n'));
    pending_.clear();
}
