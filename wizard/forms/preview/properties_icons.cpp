#include "wizard/forms/preview/properties_icons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSide = 32;

QPixmap Document(QColor paper) {
    QPixmap picture(kSide, kSide);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.moveTo(7.5, 2.5);
    sheet.lineTo(19.5, 2.5);
    sheet.lineTo(25.5, 8.5);
    sheet.lineTo(25.5, 29.5);
    sheet.lineTo(7.5, 29.5);
    sheet.closeSubpath();
    painter.setPen(QPen(paper.darker(170), 1));
    painter.setBrush(paper);
    painter.drawPath(sheet);
    painter.setBrush(paper.lighter(130));
    painter.drawPolygon(QPolygonF{{19.5, 2.5}, {19.5, 8.5}, {25.5, 8.5}});
    painter.setPen(QPen(paper.darker(140), 1));
    for (int line = 0; line < 5; ++line)
        painter.drawLine(QPointF(10.5, 13.5 + 3 * line), QPointF(22.5, 13.5 + 3 * line));
    return picture;
}

QPixmap Folder(QColor colour) {
    QPixmap picture(kSide, kSide);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour.darker(160), 1));
    painter.setBrush(colour.darker(115));
    painter.drawPolygon(QPolygonF{{2.5, 7.5}, {11.5, 7.5}, {14.5, 10.5}, {29.5, 10.5}, {29.5, 26.5}, {2.5, 26.5}});
    painter.setBrush(colour);
    painter.drawPolygon(QPolygonF{{2.5, 13.5}, {29.5, 13.5}, {29.5, 26.5}, {2.5, 26.5}});
    return picture;
}

}  // namespace

QPixmap PropertiesIconPicture(PropertiesIcon icon) {
    switch (icon) {
        case PropertiesIcon::LiveFile:
            return Document(QColor(120, 160, 230));
        case PropertiesIcon::DeletedFile:
            return Document(QColor(240, 160, 200));
        case PropertiesIcon::LiveFolder:
            return Folder(QColor(245, 205, 80));
        case PropertiesIcon::FolderWithDeleted:
            return Folder(QColor(240, 140, 130));
        case PropertiesIcon::DeletedFolder:
            return Folder(QColor(160, 30, 30));
    }
    return {};
}
