#include "wizard/utilities/text/number_text.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

class ScopedDefaultLocale {
public:
    explicit ScopedDefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedDefaultLocale() { QLocale::setDefault(previous_); }

private:
    QLocale previous_;
};

TEST(NumberText, ThousandsAlwaysUseCommas) {
    const ScopedDefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    const struct {
        std::int64_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {1000, "1,000"},
        {-1, "-1"},
        {std::numeric_limits<std::int64_t>::max(), "9,223,372,036,854,775,807"},
    };
    for (const auto& c : cases) EXPECT_EQ(ThousandsText(c.value).toStdString(), c.text) << c.value;
}

TEST(NumberText, FileSizesStepUpAtTwiceEachUnit) {
    const struct {
        std::int64_t size;
        const char* text;
    } cases[] = {
        {-1, ""},
        {1024, "1 KB"},
        {2097151, "2,047 KB"},
        {2097152, "2 MB"},
        {2147483648, "2 GB"},
        {std::numeric_limits<std::int64_t>::max(), "8,589,934,591 GB"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatFileSize(c.size).toStdString(), c.text) << c.size;
}

TEST(NumberText, NumberTextFollowsTheLocale) {
    {
        const ScopedDefaultLocale american(QLocale(QLocale::English, QLocale::UnitedStates));
        EXPECT_EQ(FormatNumberText(1234567).toStdString(), "1,234,567");
        EXPECT_EQ(FormatNumberText(-5).toStdString(), "");
    }
    {
        const ScopedDefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(FormatNumberText(1234567).toStdString(), "1.234.567");
        EXPECT_EQ(FormatNumberText(std::numeric_limits<std::int64_t>::min()).toStdString(), "");
    }
}

}  // namespace
