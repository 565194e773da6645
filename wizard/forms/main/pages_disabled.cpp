#include "wizard/forms/main/pages_disabled.h"

#include <QMainWindow>

PagesDisabled::PagesDisabled(QMainWindow& window) : window_(window), focus_(window.focusWidget()) {
    window_.centralWidget()->setEnabled(false);
}

PagesDisabled::~PagesDisabled() {
    window_.centralWidget()->setEnabled(true);
    if (focus_) focus_->setFocus(Qt::OtherFocusReason);
}
