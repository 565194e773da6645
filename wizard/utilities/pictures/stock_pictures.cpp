#include "wizard/utilities/pictures/stock_pictures.h"

#include <QPainter>
#include <QPolygonF>

namespace {

QPixmap WhiteSquare() {
    QPixmap picture(kThumbnailSide, kThumbnailSide);
    picture.fill(Qt::white);
    return picture;
}

}  // namespace

QPixmap SortMarkPicture(bool ascending) {
    QPixmap mark(kSortMarkSide, kSortMarkSide);
    mark.fill(Qt::transparent);
    QPainter painter(&mark);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(96, 96, 96));
    const QPolygonF up{{8, 4}, {13, 11}, {3, 11}};
    const QPolygonF down{{3, 5}, {13, 5}, {8, 12}};
    painter.drawPolygon(ascending ? up : down);
    return mark;
}

QPixmap LoadingPicture() {
    QPixmap picture = WhiteSquare();
    QPainter painter(&picture);
    painter.setPen(QColor(128, 128, 128));
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Loading..."));
    return picture;
}

QPixmap NoPreviewPicture() {
    QPixmap picture = WhiteSquare();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(240, 170, 170), 7));
    const QRectF circle(12.5, 12.5, 71, 71);
    painter.drawEllipse(circle);
    painter.drawLine(QPointF(24, 24), QPointF(72, 72));
    return picture;
}

QPixmap BlankPicture() { return WhiteSquare(); }
