#include "wizard/utilities/pictures/pictures.h"

#include <QtGlobal>

#include <gtest/gtest.h>

namespace {

TEST(Pictures, EveryNamedPictureDecodesAndAMissingOneLeavesTheOld) {
    for (const char* name : {"GFX_LEFT_TOP", "GFX_LEFT_MID", "GFX_LEFT_BOTT", "GFX_SPLASH"}) {
        QPixmap picture;
        EXPECT_TRUE(LoadPictureFromResource(QString::fromLatin1(name), picture)) << name;
        EXPECT_FALSE(picture.isNull()) << name;
    }

    // A missing picture leaves the old one.
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&,
                                                                const QString&) {});
    QPixmap picture(8, 8);
    const qint64 before = picture.cacheKey();
    EXPECT_FALSE(LoadPictureFromResource(QStringLiteral("GFX_NOT_THERE"), picture));
    EXPECT_FALSE(LoadPictureFromResource(QStringLiteral("../JPEG/GFX_SPLASH"), picture));
    qInstallMessageHandler(previous);
    EXPECT_EQ(picture.cacheKey(), before);
}

}  // namespace
