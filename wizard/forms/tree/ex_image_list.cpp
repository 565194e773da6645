#include "wizard/forms/tree/ex_image_list.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

double BlendAmount(ImageDrawingStyle style) {
    switch (style) {
        case ImageDrawingStyle::Focus: return 0.25;
        case ImageDrawingStyle::Selected: return 0.5;
        case ImageDrawingStyle::Normal:
        case ImageDrawingStyle::Transparent: break;
    }
    return 0.0;
}

// The picture's visible pixels mixed with `blend` by `amount`; transparent ones stay so.
QPixmap Blended(const QPixmap& picture, const QColor& blend, double amount) {
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.setOpacity(amount);
    painter.fillRect(image.rect(), blend);
    painter.end();
    return QPixmap::fromImage(image);
}

void DrawPicture(QPainter& painter, int x, int y, const QPixmap& picture, ImageDrawingStyle style,
                 const QColor& background, const QColor& blend) {
    if (picture.isNull()) {
        return;
    }
    if (style == ImageDrawingStyle::Normal && background.alpha() != 0) {
        painter.fillRect(QRect(QPoint(x, y), picture.deviceIndependentSize().toSize()),
                         background);
    }
    const double amount = BlendAmount(style);
    painter.drawPixmap(x, y,
                       amount > 0 && blend.alpha() != 0 ? Blended(picture, blend, amount) : picture);
}

QPixmap Greyed(const QPixmap& picture, const QPalette& palette) {
    QStyleOption option;
    option.palette = palette;
    return QApplication::style()->generatedIconPixmap(QIcon::Disabled, picture, &option);
}

}  // namespace

QColor ResolveImageListColor(ImageListColor color, const QPalette& palette,
                             QPalette::ColorRole defaultRole) {
    switch (color.kind) {
        case ImageListColor::Kind::None: return Qt::transparent;
        case ImageListColor::Kind::Default: return palette.color(defaultRole);
        case ImageListColor::Kind::Rgb: return QColor::fromRgb(color.rgb);
    }
    return Qt::transparent;
}

TexImageList::TexImageList(QSize imageSize, QObject* parent)
    : QObject(parent), imageSize_(imageSize) {}

int TexImageList::add(const QPixmap& picture) {
    images_.append(picture.isNull() || picture.deviceIndependentSize().toSize() == imageSize_
                       ? picture
                       : picture.scaled(imageSize_, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    emit changed();
    return count() - 1;
}

void TexImageList::clear() {
    images_.clear();
    emit changed();
}

QPixmap TexImageList::image(int index) const {
    return index >= 0 && index < count() ? images_[index] : QPixmap();
}

void TexImageList::setBackgroundColor(ImageListColor color) {
    backgroundColor_ = color;
    emit changed();
}

void TexImageList::setBlendColor(ImageListColor color) {
    blendColor_ = color;
    emit changed();
}

void TexImageList::setDisabledImages(TexImageList* list) {
    if (list == disabledImages_) {
        return;
    }
    disconnect(disabledImagesChanged_);
    disabledImages_ = list;
    if (list != nullptr) {
        disabledImagesChanged_ = connect(list, &TexImageList::changed, this, &TexImageList::changed);
    }
    emit changed();
}

void TexImageList::draw(QPainter& painter, int x, int y, int index, ImageDrawingStyle style,
                        bool enabled, const QPalette& palette) const {
    const QColor background = ResolveImageListColor(backgroundColor_, palette, QPalette::Base);
    const QColor blend = ResolveImageListColor(blendColor_, palette, QPalette::Highlight);
    if (!enabled && disabledImages_ != nullptr) {
        DrawPicture(painter, x, y, disabledImages_->image(index), style, background, blend);
        return;
    }
    const QPixmap picture = image(index);
    DrawPicture(painter, x, y, enabled || picture.isNull() ? picture : Greyed(picture, palette),
                style, background, blend);
}
