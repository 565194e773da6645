#include "wizard/forms/widgets/program_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap PaintProgramIcon(int size) {
    QPixmap icon(size, size);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    // The disk: a rounded grey box with a platter and a spindle.
    QLinearGradient body(0, 20, 0, 62);
    body.setColorAt(0, QColor(0xD8, 0xDD, 0xE4));
    body.setColorAt(1, QColor(0x8A, 0x93, 0xA0));
    painter.setPen(QPen(QColor(0x4A, 0x52, 0x5E), 1.5));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(6, 22, 52, 38), 6, 6);
    painter.setBrush(QColor(0x59, 0x91, 0xDE));
    painter.drawEllipse(QRectF(14, 28, 26, 26));
    painter.setBrush(QColor(0xF4, 0xF6, 0xF8));
    painter.drawEllipse(QRectF(24, 38, 6, 6));

    // The arrow: a file coming back.
    QPainterPath arrow;
    arrow.moveTo(46, 4);
    arrow.lineTo(60, 20);
    arrow.lineTo(51, 20);
    arrow.lineTo(51, 40);
    arrow.lineTo(41, 40);
    arrow.lineTo(41, 20);
    arrow.lineTo(32, 20);
    arrow.closeSubpath();
    painter.setPen(QPen(QColor(0x1E, 0x6B, 0x2A), 1.5));
    painter.setBrush(QColor(0x3C, 0xB0, 0x4E));
    painter.drawPath(arrow);
    return icon;
}
