// Sorting by every key both ways, the position search, the size fill and the observers.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "wizard/model/formats/data_storage.h"
#include "wizard/model/found_files/base_sorted_list.h"
#include "wizard/model/found_files/element_fixture.h"
#include "wizard/translation/translation.h"

namespace {

struct CountingObserver : TBaseSortedList::Observer {
    void ListChanging() override { ++changing; }
    void ListChanged() override { ++changed; }
    int changing = 0;
    int changed = 0;
};

class SortedListTest : public ElementTest {
protected:
    // Elements A, B, C, D (record numbers 1..4) that tie and differ by every key.
    static void FillFour(TBaseSortedList& list) {
        paths = {{1, u"C:\\z\\"}, {2, u"C:\\a\\"}, {3, u"c:\\A\\"}, {4, u"C:\\m\\"}};
        const RecordSpec records[] = {
            {.RecordNumber = 1, .Flags = kFileDeleted, .Size = 10, .Created = 300, .Name = u"b.txt"},
            {.RecordNumber = 2, .Size = kUnknownSize, .Created = 100, .Name = u"A.jpg"},
            {.RecordNumber = 3, .Flags = kFileHoldsDeleted, .Size = 10, .Created = 200, .Name = u"c.txt"},
            {.RecordNumber = 4, .Flags = kFileDirectory, .Size = 0, .Created = 100, .Name = u"d"},
        };
        for (const RecordSpec& record : records) list.Add(Make(record));
    }

    static std::string Order(const TBaseSortedList& list) {
        std::string order;
        for (std::size_t i = 0; i < list.Count(); ++i) order += char('A' + list[i].Record().RecordNumber - 1);
        return order;
    }
};

TEST_F(SortedListTest, EverySortKeyOrdersBothWaysAndKeepsTies) {
    const struct {
        std::uint8_t code;
        const char* ascending;
        const char* descending;
    } cases[] = {
        {kSortByName, "BACD", "DCAB"}, {kSortByCondition, "CABD", "BDAC"}, {kSortByType, "DBAC", "ACBD"},
        {kSortBySize, "BDAC", "ACDB"}, {kSortByCreated, "BDCA", "ACBD"},   {kSortByPath, "BCDA", "ADBC"},
        {9, "ABCD", "ABCD"},  // no such key: the order stays
    };
    for (const auto& c : cases) {
        for (const bool ascending : {true, false}) {
            TBaseSortedList list(c.code, ascending);
            FillFour(list);
            pathCalls = 0;
            list.Sort();
            list.Sort();
            EXPECT_EQ(Order(list), ascending ? c.ascending : c.descending) << int(c.code) << ascending;
            EXPECT_EQ(pathCalls, c.code == kSortByPath ? 4 : 0);  // each path asked once
        }
    }
}

// The condition sorts by the texts the list shows, in the current language.
TEST_F(SortedListTest, TheConditionSortsByItsTranslatedTexts) {
    SetCurrentTranslation(std::make_shared<const LanguageFile>(LanguageFile::parse(QStringLiteral(
        "[Misc]\nstrDeleted=Gelöscht\nstrLive=Vorhanden\nstrLiveContainDeleted=Vorhanden, enthält Gelöschtes\n"))));
    TBaseSortedList list(kSortByCondition, true);
    FillFour(list);
    list.Sort();
    SetCurrentTranslation(nullptr);
    EXPECT_EQ(Order(list), "ABDC");
}

TEST_F(SortedListTest, ASortIsSkippedOnlyWhenTheListStandsInThatOrder) {
    TBaseSortedList list(kSortByName, true);
    CountingObserver observer;
    list.AddObserver(&observer);
    FillFour(list);
    list.SetSort(kSortByName, true);  // appended in another order: sorts
    list.SetSort(kSortByName, true);
    list.SetAscending(true);
    EXPECT_EQ(observer.changed, 1);

    EXPECT_TRUE(list.FindByStartPosition(0));  // sorts by position first
    list.SetSort(kSortByName, true);
    EXPECT_EQ(Order(list), "BACD");
    EXPECT_EQ(observer.changed, 3);
    list.Clear();
    list.RemoveObserver(&observer);
    list.Sort();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(observer.changing, 4);
}

TEST_F(SortedListTest, FindByStartPositionSearchesSigned64BitPositions) {
    const std::uint64_t high = std::uint64_t{1} << 33;
    const struct {
        std::vector<std::uint64_t> positions;
        std::vector<std::int64_t> present, absent;
    } cases[] = {
        {{}, {}, {0}},
        {{5}, {5}, {4, 6}},
        {{high, 7, 7, (std::uint64_t{1} << 32) + 1, kUnknownSize},
         {7, std::int64_t(high), (std::int64_t{1} << 32) + 1, -1},
         {std::int64_t{1} << 32, 8, 0}},
    };
    for (const auto& c : cases) {
        TBaseSortedList list(kSortByName, true);
        for (const std::uint64_t position : c.positions) list.Add(Make({.DataPosition = position}));
        for (const std::int64_t position : c.present) EXPECT_TRUE(list.FindByStartPosition(position)) << position;
        for (const std::int64_t position : c.absent) EXPECT_FALSE(list.FindByStartPosition(position)) << position;
    }
}

TEST_F(SortedListTest, UnknownSizesBecomeDistancesAndTheLastTheFormatsDefault) {
    const std::size_t jpeg = *DataStorage->IndexOf(DataStorage->FindBySignatureId(83));
    const struct {
        std::int32_t defaultSizeKb;
        std::uint16_t lastType;
        std::uint64_t firstSize;
        std::vector<std::int64_t> sizes;  // by position
    } cases[] = {
        {20, 83, kUnknownSize, {4000, 4000, 20480}},   {20, 83, 77, {77, 4000, 20480}},
        {20, 999, kUnknownSize, {4000, 4000, -1}},     {-5, 83, kUnknownSize, {4000, 4000, -1}},
        {3'000'000, 83, kUnknownSize, {4000, 4000, 3'072'000'000}},
    };
    for (const auto& c : cases) {
        TFormat format = DataStorage->Formats()[jpeg];
        format.DefaultSizeKb = c.defaultSizeKb;
        DataStorage->ChangeFormat(jpeg, format);
        TBaseSortedList list(kSortBySize, false);
        list.Add(Make({.Size = kUnknownSize, .TypeCode = c.lastType, .DataPosition = 9000}));
        list.Add(Make({.Size = c.firstSize, .TypeCode = 83, .DataPosition = 1000}));
        list.Add(Make({.Size = kUnknownSize, .TypeCode = 83, .DataPosition = 5000}));
        list.FillUnknownSizes();
        std::vector<std::int64_t> sizes;
        for (std::size_t i = 0; i < list.Count(); ++i) sizes.push_back(list[i].Size());
        EXPECT_TRUE(std::is_sorted(sizes.rbegin(), sizes.rend()));  // sorted again by its own key
        std::sort(sizes.begin(), sizes.end());
        std::vector<std::int64_t> expected = c.sizes;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sizes, expected) << c.defaultSizeKb;
    }
}

}  // namespace
