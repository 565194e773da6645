#include "wizard/forms/tree/ex_image_list.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

QPixmap Filled(QColor colour, QSize size = QSize(16, 16)) {
    QPixmap picture(size);
    picture.fill(colour);
    return picture;
}

// A 16 x 16 picture whose left half is `colour` and right half transparent.
QPixmap HalfFilled(QColor colour) {
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, 0, 8, 16, colour);
    painter.end();
    return QPixmap::fromImage(image);
}

// What `list.draw` leaves on a white 20 x 20 canvas at (2, 2).
QImage Drawn(const TexImageList& list, int index, ImageDrawingStyle style, bool enabled) {
    QImage canvas(20, 20, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(0, 255, 0));
    palette.setColor(QPalette::Highlight, QColor(0, 0, 255));
    list.draw(painter, 2, 2, index, style, enabled, palette);
    painter.end();
    return canvas;
}

TEST(ExImageListTest, PicturesAreKeptByIndexAtTheListSize) {
    TexImageList list(QSize(16, 16));
    QSignalSpy changes(&list, &TexImageList::changed);
    EXPECT_EQ(list.add(Filled(Qt::red)), 0);
    EXPECT_EQ(list.add(Filled(Qt::blue, QSize(32, 32))), 1);
    EXPECT_EQ(list.image(1).size(), QSize(16, 16));
    EXPECT_TRUE(list.image(2).isNull());
    EXPECT_TRUE(list.image(-1).isNull());
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(changes.count(), 3);
}

TEST(ExImageListTest, StylesBlendAndFill) {
    const struct {
        const char* name;
        ImageDrawingStyle style;
        ImageListColor background;
        QColor opaquePixel;       // over the picture's red half
        QColor transparentPixel;  // over its transparent half
    } cases[] = {
        {"normal over its own colour", ImageDrawingStyle::Normal, ImageListColor::of(qRgb(10, 20, 30)),
         QColor(255, 0, 0), QColor(10, 20, 30)},
        {"normal over the default colour", ImageDrawingStyle::Normal, ImageListColor::standard(), QColor(255, 0, 0),
         QColor(0, 255, 0)},
        {"transparent ignores the background", ImageDrawingStyle::Transparent, ImageListColor::of(qRgb(10, 20, 30)),
         QColor(255, 0, 0), QColor(Qt::white)},
        {"focus blends a quarter", ImageDrawingStyle::Focus, ImageListColor::none(), QColor(191, 0, 64),
         QColor(Qt::white)},
        {"selected blends half", ImageDrawingStyle::Selected, ImageListColor::none(), QColor(128, 0, 128),
         QColor(Qt::white)},
    };
    const auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 &&
               std::abs(a.blue() - b.blue()) <= 2;
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        TexImageList list(QSize(16, 16));
        list.add(HalfFilled(Qt::red));
        list.setBackgroundColor(test.background);
        const QImage canvas = Drawn(list, 0, test.style, true);
        EXPECT_TRUE(near(canvas.pixelColor(4, 8), test.opaquePixel)) << canvas.pixelColor(4, 8).name().toStdString();
        EXPECT_TRUE(near(canvas.pixelColor(14, 8), test.transparentPixel))
            << canvas.pixelColor(14, 8).name().toStdString();
        EXPECT_EQ(canvas.pixelColor(0, 0), QColor(Qt::white));
    }
}

TEST(ExImageListTest, DisabledDrawTakesThePixelsOfDisabledImages) {
    TexImageList list(QSize(16, 16));
    list.add(Filled(Qt::red));
    TexImageList disabled(QSize(8, 8));
    disabled.add(Filled(Qt::blue, QSize(8, 8)));
    list.setDisabledImages(&disabled);

    const QImage enabled = Drawn(list, 0, ImageDrawingStyle::Normal, true);
    EXPECT_EQ(enabled.pixelColor(10, 10), QColor(Qt::red));
    const QImage greyedOut = Drawn(list, 0, ImageDrawingStyle::Normal, false);
    EXPECT_EQ(greyedOut.pixelColor(4, 4), QColor(Qt::blue));
    EXPECT_EQ(greyedOut.pixelColor(12, 12), QColor(Qt::white));  // at its own 8 x 8 size
}

TEST(ExImageListTest, ChangesAreForwardedAndNothingDangles) {
    TexImageList list(QSize(16, 16));
    list.add(Filled(Qt::red));
    QSignalSpy changes(&list, &TexImageList::changed);
    auto other = std::make_unique<TexImageList>(QSize(16, 16));
    list.setDisabledImages(other.get());
    other->add(Filled(Qt::blue));
    EXPECT_EQ(changes.count(), 2);

    TexImageList replacement(QSize(16, 16));
    list.setDisabledImages(&replacement);
    other->add(Filled(Qt::green));  // the old list is no longer followed
    EXPECT_EQ(changes.count(), 3);
    list.setDisabledImages(other.get());
    other.reset();
    EXPECT_EQ(list.disabledImages(), nullptr);
    // With its second list gone the list draws by the plain rule.
    EXPECT_NE(Drawn(list, 0, ImageDrawingStyle::Normal, false).pixelColor(10, 10),
              QColor(Qt::white));
}

}  // namespace
