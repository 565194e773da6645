#include "wizard/forms/tree/checkbox_images.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include "wizard/forms/tree/ex_image_list.h"

namespace {

QPixmap PaintCheckbox(QSize size, QStyle::State state) {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    QStyleOptionButton option;
    option.rect = QRect(QPoint(0, 0), size).adjusted(1, 1, -1, -1);
    option.state = QStyle::State_Enabled | state;
    option.palette = QApplication::palette();
    QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
    return picture;
}

}  // namespace

void AddCheckboxStateImages(TexImageList& list) {
    QPixmap blank(list.imageSize());
    blank.fill(Qt::transparent);
    list.add(blank);
    list.add(PaintCheckbox(list.imageSize(), QStyle::State_Off));
    list.add(PaintCheckbox(list.imageSize(), QStyle::State_On));
    list.add(PaintCheckbox(list.imageSize(), QStyle::State_NoChange));
}
