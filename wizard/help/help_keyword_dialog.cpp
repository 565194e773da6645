#include "wizard/help/help_keyword_dialog.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <utility>

#include "wizard/help/help_service.h"

THelpKeywordDialog::THelpKeywordDialog(QString helpKeyword, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), helpKeyword_(std::move(helpKeyword)) {}

void THelpKeywordDialog::reject() { done(kResultCancel); }

void THelpKeywordDialog::PressHelpKey() {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &press);
}

void THelpKeywordDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        helpService().ShowHelpTopic(helpKeyword_);
        return;
    }
    QDialog::keyPressEvent(event);
}
