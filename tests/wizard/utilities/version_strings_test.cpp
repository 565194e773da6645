#include "wizard/utilities/version_strings.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(VersionStrings, ReleaseDateIsTheProgramFileDateToTwoSeconds) {
    GetVersionInfoStrings();
    const TDateTime date = ProgramVersionStrings().ReleaseDate;
    EXPECT_GT(date, 40000.0);  // after 2009
    const double seconds = std::round(date * 86400.0);
    EXPECT_NEAR(date * 86400.0, seconds, 0.01);
    EXPECT_EQ(std::fmod(seconds, 2.0), 0.0);
}

}  // namespace
