#include "wizard/forms/form_widgets.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QSpinBox>

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* NamedNote(QWidget* parent, const char* name, const QString& text) {
    QLabel* note = NamedLabel(parent, name, text);
    note->setWordWrap(true);
    return note;
}

QSpinBox* NamedSpinBox(QWidget* parent, const char* name, int minimum, int maximum) {
    auto* spinBox = Named(new QSpinBox(parent), name);
    spinBox->setRange(minimum, maximum);
    return spinBox;
}

void PostHelpKey(QWidget* window) {
    QCoreApplication::postEvent(window,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier));
}
