#include "wizard/forms/widgets/link_label.h"

#include <QKeyEvent>
#include <QMouseEvent>

TLinkLabel::TLinkLabel(const QString& objectName, Hover hover, QWidget* parent)
    : QLabel(parent), hover_(hover) {
    setObjectName(objectName);
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    setPalette(blue);
}

void TLinkLabel::SetUnderlined(bool underlined) {
    QFont underlinedFont = font();
    underlinedFont.setUnderline(underlined);
    setFont(underlinedFont);
}

void TLinkLabel::mouseMoveEvent(QMouseEvent* event) {
    hovered_ = true;
    SetUnderlined(true);
    QLabel::mouseMoveEvent(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

void TLinkLabel::enterEvent(QEnterEvent* event) {
    if (hover_ == Hover::OnEnter) {
        hovered_ = true;
        SetUnderlined(true);
    }
    QLabel::enterEvent(event);
}

void TLinkLabel::leaveEvent(QEvent* event) {
    hovered_ = false;
    SetUnderlined(hasFocus());
    QLabel::leaveEvent(event);
}

void TLinkLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TLinkLabel::focusInEvent(QFocusEvent* event) {
    SetUnderlined(true);
    QLabel::focusInEvent(event);
}

void TLinkLabel::focusOutEvent(QFocusEvent* event) {
    SetUnderlined(hovered_);
    QLabel::focusOutEvent(event);
}
