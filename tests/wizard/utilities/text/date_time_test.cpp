#include "wizard/utilities/text/date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/time.h"

namespace {

constexpr std::uint64_t kTicksPerDay = 864'000'000'000;
constexpr std::uint64_t kDaysTo1899 = 109205;  // 1601-01-01 to 1899-12-30

FILETIME at(std::uint64_t ticks) { return platform::toFileTime(ticks); }

TEST(DateTime, FileTimesEncodeTheirCalendarValues) {
    const struct {
        const char* what;
        std::uint64_t ticks;
        TDateTime expected;
    } cases[] = {
        {"zero time", 0, -109205.0},
        {"1899-12-30", kDaysTo1899 * kTicksPerDay, 0.0},
        {"1899-12-29 06:00", (kDaysTo1899 - 1) * kTicksPerDay + kTicksPerDay / 4, -1.25},
        {"2000-01-01 12:00", (kDaysTo1899 + 36526) * kTicksPerDay + kTicksPerDay / 2, 36526.5},
        {"below a millisecond", (kDaysTo1899 + 1) * kTicksPerDay + 9'999, 1.0},
        {"largest FILETIME", std::numeric_limits<std::uint64_t>::max(), -109205.0},
    };
    for (const auto& c : cases) EXPECT_EQ(FileTimeToDateTime(at(c.ticks)), c.expected) << c.what;
    EXPECT_EQ(FileTimeToDateTime(at((kDaysTo1899 + 2958465) * kTicksPerDay)), 2958465.0);
}

TEST(DateTime, ValidSpanIsTheYearsOneToNineThousandNineHundredNinetyNine) {
    EXPECT_TRUE(IsValidDateTime(0.0));
    EXPECT_TRUE(IsValidDateTime(2958465.99));
    EXPECT_TRUE(IsValidDateTime(-693593.5));
    EXPECT_FALSE(IsValidDateTime(2958466.0));
    EXPECT_FALSE(IsValidDateTime(-693594.0));
    EXPECT_FALSE(IsValidDateTime(std::nan("")));
    EXPECT_FALSE(IsValidDateTime(-std::numeric_limits<double>::infinity()));
}

TEST(DateTime, DecodesWhatItEncodes) {
    const struct {
        TDateTime value;
        QDateTime expected;
    } cases[] = {
        {0.0, QDateTime(QDate(1899, 12, 30), QTime(0, 0))},
        {-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0))},
        {36526.5, QDateTime(QDate(2000, 1, 1), QTime(12, 0))},
        {EncodeDateTime(QDate(2026, 3, 1), QTime(23, 59, 59, 999)),
         QDateTime(QDate(2026, 3, 1), QTime(23, 59, 59, 999))},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeDateTime(c.value), c.expected) << c.value;
    EXPECT_FALSE(DecodeDateTime(std::nan("")).isValid());
    EXPECT_FALSE(DecodeDateTime(3.0e6).isValid());
}

}  // namespace

