#include "wizard/utilities/version_strings.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(VersionStrings, BuildIsWhatFollowsTheThirdDot) {
    const QString previous = QCoreApplication::applicationVersion();
    const struct {
        const char* fileVersion;
        const char* build;
    } cases[] = {{"5.2.1.318", "318"}, {"5.2", "5.2"}, {"1.2.3.4.5", "4.5"}, {"", ""}};
    for (const auto& c : cases) {
        QCoreApplication::setApplicationVersion(QString::fromLatin1(c.fileVersion));
        GetVersionInfoStrings();
        EXPECT_EQ(ProgramVersionStrings().FileVersion.toStdString(), c.fileVersion);
        EXPECT_EQ(ProgramVersionStrings().Build.toStdString(), c.build) << c.fileVersion;
    }
    QCoreApplication::setApplicationVersion(previous);
}

TEST(VersionStrings, ReleaseDateIsTheProgramFileDateToTwoSeconds) {
    GetVersionInfoStrings();
    const TDateTime date = ProgramVersionStrings().ReleaseDate;
    EXPECT_GT(date, 40000.0);  // after 2009
    const double seconds = std::round(date * 86400.0);
    EXPECT_NEAR(date * 86400.0, seconds, 0.01);
    EXPECT_EQ(std::fmod(seconds, 2.0), 0.0);
}

}  // namespace
