#include <QDateTime>

#include <gtest/gtest.h>

#include "wizard/utilities/version_info.h"

namespace {

TEST(VersionInfo, BuildTextIsWhatFollowsTheThirdDot) {
    const std::pair<const char*, const char*> cases[] = {
        {"4.4.1.161", "161"}, {"1.2.3", "1.2.3"}, {"1.2.3.", ""}, {"1.2.3.4.5", "4.5"},
    };
    for (const auto& [fileVersion, build] : cases) {
        EXPECT_EQ(buildTextOf(QString::fromLatin1(fileVersion)), QString::fromLatin1(build))
            << fileVersion;
    }
}

// The product name and the version's digits are checked where the main window shows them.
TEST(VersionInfo, ComesFromTheBuildAndTheProgramFile) {
    const VersionInfo info = readVersionInfo();
    EXPECT_EQ(info.fileVersion, info.productVersion + QLatin1Char('.') + info.build);
    EXPECT_FALSE(info.fileDescription.isEmpty());
    ASSERT_TRUE(info.releaseDate.isValid());
    EXPECT_EQ(info.releaseDate.time().second() % 2, 0);
    EXPECT_EQ(info.releaseDate.time().msec(), 0);
    EXPECT_LE(info.releaseDate, QDateTime::currentDateTime());
}

}  // namespace
