#include "wizard/forms/types/filter_slide.h"

#include <QAbstractButton>
#include <QEvent>
#include <QWidget>

#include <algorithm>

FilterSlide::FilterSlide(QWidget* panel, QAbstractButton* showButton, QAbstractButton* hideButton)
    : QObject(panel),
      panel_(panel),
      page_(panel->parentWidget()),
      showButton_(showButton),
      hideButton_(hideButton) {
    timer_.setInterval(kStepMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &FilterSlide::step);
    if (page_ != nullptr) {
        page_->installEventFilter(this);
    }
    finish();
}

void FilterSlide::showFilters() {
    request(true);
}

void FilterSlide::hideFilters() {
    request(false);
}

int FilterSlide::targetHeight() const {
    const int pageHeight = page_ != nullptr ? page_->height() : panel_->height();
    return std::max(0, pageHeight - (shown_ ? kShownMargin : kHiddenMargin));
}

void FilterSlide::request(bool shown) {
    shown_ = shown;
    const int height = panel_->height();
    const bool alreadyThere = shown ? height <= targetHeight() : height >= targetHeight();
    if (page_ == nullptr || !page_->isVisible() || alreadyThere) {
        finish();
        return;
    }
    if (!timer_.isActive()) {
        timer_.start();
    }
}

// Moves to the next even height toward the target; the last step lands on it exactly.
void FilterSlide::step() {
    const int target = targetHeight();
    const int height = panel_->height();
    const int direction = target < height ? -1 : 1;
    int next = height + direction;
    if (next % 2 != 0) {
        next += direction;
    }
    if (direction < 0 ? next <= target : next >= target) {
        finish();
        return;
    }
    panel_->resize(panel_->width(), next);
}

void FilterSlide::finish() {
    timer_.stop();
    if (page_ != nullptr) {
        panel_->setGeometry(0, 0, page_->width(), targetHeight());
    }
    QAbstractButton* now = shown_ ? hideButton_.data() : showButton_.data();
    QAbstractButton* before = shown_ ? showButton_.data() : hideButton_.data();
    if (now == nullptr || before == nullptr) {
        return;
    }
    const bool hadFocus = before->hasFocus();
    now->setVisible(true);
    before->setVisible(false);
    if (hadFocus) {
        now->setFocus();
    }
}

bool FilterSlide::eventFilter(QObject* watched, QEvent* event) {
    // A page resized while hidden hears of it only when it is shown.
    if (watched == page_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
        if (sliding()) {
            panel_->resize(page_->width(), panel_->height());
        } else {
            finish();
        }
    }
    return QObject::eventFilter(watched, event);
}
