#include "wizard/forms/types/format_icons.h"

#include <QPainter>
#include <QPainterPath>

#include "wizard/forms/tree/ex_image_list.h"
#include "wizard/utilities/shell_file_info.h"

namespace {

constexpr QSize kIconSize(16, 16);

QPixmap PaintFolder() {
    QPixmap picture(kIconSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xB0, 0x80, 0x20), 1));
    painter.setBrush(QColor(0xF0, 0xC8, 0x50));
    QPainterPath tab;
    tab.moveTo(1.5, 3.5);
    tab.lineTo(6.5, 3.5);
    tab.lineTo(8.0, 5.0);
    tab.lineTo(14.5, 5.0);
    tab.lineTo(14.5, 13.5);
    tab.lineTo(1.5, 13.5);
    tab.closeSubpath();
    painter.drawPath(tab);
    painter.setBrush(QColor(0xFF, 0xDC, 0x70));
    painter.drawRect(QRectF(1.5, 6.5, 13.0, 7.0));
    return picture;
}

}  // namespace

FormatIcons::FormatIcons(QObject* owner) : list_(new TexImageList(kIconSize, owner)) {
    list_->setObjectName(QStringLiteral("ImageListFileIcons"));
    list_->add(PaintFolder());
}

int FormatIcons::indexOf(const std::string& defaultExtension) {
    const QString extension = QString::fromStdString(defaultExtension).toUpper();
    if (const auto known = byExtension_.constFind(extension); known != byExtension_.cend()) {
        return *known;
    }
    const int index = list_->add(GetShellFileIcon(QStringLiteral("*.") + extension, true));
    byExtension_.insert(extension, index);
    return index;
}
