// The file-system scan's filters alone: each in its order, with an injected "now".

#include "wizard/scans/file_filters.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/time.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/settings/settings_store.h"
#include "wizard/support/wizard_test.h"
#include "wizard/utilities/text/date_time.h"

namespace {

QDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int ms = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute).addMSecs(ms), Qt::UTC);
}

TEST(AgeThreshold, CountsBackInCalendarUnitsKeepingTheTimeOfDay) {
    const QDateTime now = At(2024, 3, 31, 10, 30);
    const struct {
        int count;
        int type;
        QDateTime expected;
    } cases[] = {
        {90, 0, At(2024, 3, 31, 9, 0)},
        {11, 1, At(2024, 3, 30, 23, 30)},
        {0, 2, now},
        {31, 2, At(2024, 2, 29, 10, 30)},
        {2, 3, At(2024, 3, 17, 10, 30)},
        {1, 4, At(2024, 2, 29, 10, 30)},   // the 31st cut to a leap February
        {13, 4, At(2023, 2, 28, 10, 30)},  // and to a common one
        {1, 5, At(2023, 3, 31, 10, 30)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AgeThreshold(now, c.count, c.type), c.expected) << c.count << " of " << c.type;
    }
    EXPECT_EQ(AgeThreshold(At(2024, 2, 29, 8, 15), 1, 5), At(2023, 2, 28, 8, 15));
    EXPECT_EQ(AgeThreshold(At(2024, 2, 29, 8, 15), 4, 5), At(2020, 2, 29, 8, 15));
    for (const int type : {-1, 6, 99}) EXPECT_EQ(AgeThreshold(now, 1, type), std::nullopt) << type;
}

class FileFiltersTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        LoadSettings(settings);
        FormatsUnitInit();
        TFormat text;
        text.Title = "Text";
        text.FileExtensions = "TXT";
        text.Search = false;
        DataStorage->AppendFormat(text);
    }
    void TearDown() override {
        FormatsUnitDone();
        WizardTest::TearDown();
    }

    void SearchText(bool search) {
        const std::size_t index = *DataStorage->IndexOf(DataStorage->FindByTitle("Text"));
        TFormat text = DataStorage->Formats()[index];
        text.Search = search;
        DataStorage->ChangeFormat(index, text);
    }

    static FoundFileRecord File(const char16_t* name, std::uint64_t size = 100,
                                const QDateTime& created = At(2024, 3, 1, 12, 0)) {
        FoundFileRecord record{};
        record.Name = name;
        record.Size = size;
        const std::int64_t ms = QDateTime(QDate(1601, 1, 1), QTime(0, 0), Qt::UTC).msecsTo(created);
        record.CreationTime = platform::toFileTime(static_cast<std::uint64_t>(ms) * 10'000);
        return record;
    }

    bool Keeps(const FoundFileRecord& record, const QDateTime& now = At(2024, 3, 31, 10, 30)) const {
        return FileFilters(settings, now).Keeps(record);
    }

    SettingsValues settings;
};

TEST_F(FileFiltersTest, TypesChooseFilesAndMasksOnlyAddToThem) {
    const FoundFileRecord report = File(u"REPORT.TXT");
    const FoundFileRecord makefile = File(u"MAKEFILE");
    const FoundFileRecord picture = File(u"holiday.jpg");
    EXPECT_FALSE(Keeps(report));
    SearchText(true);
    EXPECT_TRUE(Keeps(report));
    EXPECT_FALSE(Keeps(makefile)) << "no format has an empty extension";

    settings.RecoveryFilesNameUse = true;
    settings.RecoveryFilesName = QStringLiteral("*.doc");
    EXPECT_TRUE(Keeps(report)) << "a mask never removes a searched type";
    SearchText(false);
    EXPECT_FALSE(Keeps(report));
    settings.RecoveryFilesName = QStringLiteral("report*.doc; *.txt");
    EXPECT_TRUE(Keeps(report));
    EXPECT_FALSE(Keeps(picture));
    EXPECT_FALSE(Keeps(makefile));
    settings.RecoveryFilesName = QStringLiteral("make*");
    EXPECT_TRUE(Keeps(makefile));
    settings.RecoveryFilesName = QStringLiteral("*.*");
    EXPECT_TRUE(Keeps(makefile));
    EXPECT_TRUE(Keeps(File(nullptr))) << "\"*.*\" passes every file, nameless too";
}

TEST_F(FileFiltersTest, DatesAgesAndSizesOnlyDrop) {
    settings.RecoveryFilesNameUse = true;  // "*.*": every file passes the first filter
    const QDateTime created = At(2024, 3, 1, 12, 0);
    settings.RecoveryFilesCreatedDateUse = true;
    settings.RecoveryFilesCreatedDateFrom = EncodeDateTime(QDate(2024, 3, 1), QTime(12, 0));
    settings.RecoveryFilesCreatedDateTo = EncodeDateTime(QDate(2024, 3, 1), QTime(12, 0));
    EXPECT_TRUE(Keeps(File(u"a", 1, created))) << "both bounds are inclusive";
    EXPECT_FALSE(Keeps(File(u"a", 1, created.addMSecs(-1))));
    EXPECT_FALSE(Keeps(File(u"a", 1, created.addMSecs(1))));
    settings.RecoveryFilesCreatedDateFrom = EncodeDateTime(QDate(1899, 12, 29), QTime(6, 0));
    settings.RecoveryFilesCreatedDateTo = EncodeDateTime(QDate(1899, 12, 29), QTime(18, 0));
    EXPECT_TRUE(Keeps(File(u"a", 1, At(1899, 12, 29, 12, 0)))) << "dates before 1900 compare by time";
    EXPECT_FALSE(Keeps(File(u"a", 1, At(1899, 12, 29, 19, 0))));
    settings.RecoveryFilesCreatedDateUse = false;

    settings.RecoveryFilesAgeUse = true;
    settings.RecoveryFilesAgeCount = 0;
    settings.RecoveryFilesAgeType = 2;
    const QDateTime now = At(2024, 3, 31, 10, 30);
    EXPECT_TRUE(Keeps(File(u"a", 1, now), now)) << "0 days keeps files from now on";
    EXPECT_FALSE(Keeps(File(u"a", 1, now.addMSecs(-1)), now));
    settings.RecoveryFilesAgeCount = 1;
    settings.RecoveryFilesAgeType = 4;
    EXPECT_TRUE(Keeps(File(u"a", 1, At(2024, 2, 29, 10, 30)), now));
    EXPECT_FALSE(Keeps(File(u"a", 1, At(2024, 2, 29, 10, 29)), now));
    settings.RecoveryFilesAgeType = 7;
    EXPECT_TRUE(Keeps(File(u"a", 1, At(1990, 1, 1)), now)) << "an unknown unit tests nothing";
    settings.RecoveryFilesAgeUse = false;

    // Limits in 64 bits (32767 MB does not overflow); signs 0 =, 1 >, 2 <, any other keeps
    // every size; units 0 bytes, 1 KB, 2 MB, any other is 0; an unknown size is -1.
    settings.RecoveryFilesSizeUse = true;
    const struct {
        int sign;
        int count;
        int unit;
        std::uint64_t size;
        bool kept;
    } sizes[] = {
        {1, 0, 1, 1, true}, {1, 0, 1, 0, false}, {1, 0, 1, kUnknownSize, false},
        {2, 0, 0, kUnknownSize, true}, {0, 0, 0, 0, true}, {0, 0, 0, 1, false},
        {0, 7, 0, 7, true}, {0, 5, 1, 5120, true}, {0, 32767, 2, 34'358'689'792, true},
        {2, 3000, 2, 3'145'727'999, true}, {2, 3000, 2, 3'145'728'000, false}, {2, 32767, 2, 1, true},
        {1, 32767, 2, 1, false}, {0, 5, 9, 0, true}, {0, 7, 3, 0, true},
        {0, 7, -1, 0, true}, {3, 0, 0, 42, true}, {-1, 1000, 0, 42, true},
    };
    for (const auto& c : sizes) {
        settings.RecoveryFilesSizeSign = c.sign;
        settings.RecoveryFilesSizeCount = c.count;
        settings.RecoveryFilesSizeType = c.unit;
        EXPECT_EQ(Keeps(File(u"a", c.size)), c.kept)
            << "sign " << c.sign << " count " << c.count << " unit " << c.unit << " size " << c.size;
    }
}

}  // namespace
