#include "wizard/forms/main/window_placement.h"

#include <gtest/gtest.h>

#include <climits>
#include <numeric>

#include "platform/registry.h"
#include "wizard/support/wizard_test.h"

namespace {

constexpr char16_t kWindowKey[] = u"\\Software\\Kelvorin\\Pramblex\\3.0\\Window";

using WindowPlacementTest = WizardTest;

std::array<int, kStoredColumnCount> Widths() {
    std::array<int, kStoredColumnCount> widths{};
    std::iota(widths.begin(), widths.end(), 100);
    return widths;
}

WindowPlacementRecord Sample() {
    WindowPlacementRecord record;
    record.flags = 2;
    record.showCmd = kShowMaximized;
    record.minPosition = {-32000, -32000};
    record.maxPosition = {-1, -1};
    record.left = 40;
    record.top = 30;
    record.right = 840;
    record.bottom = 630;
    return record;
}

// The right edge and the show command are checked through the main window too (main/).
TEST_F(WindowPlacementTest, ReadsBackWhatItWroteAndStopsAtTheFirstDamagedValue) {
    EXPECT_FALSE(ReadStoredPlacement({}).placement) << "nothing stored on the first run";
    ASSERT_TRUE(WriteStoredPlacement(Sample(), Widths()));
    StoredPlacement stored = ReadStoredPlacement({});
    ASSERT_TRUE(stored.placement);
    EXPECT_EQ(*stored.placement, Sample());
    const auto widths = Widths();
    EXPECT_EQ(stored.columnWidths, std::vector<int>(widths.begin(), widths.end()));
    auto key = platform::RegistryKey::open(kWindowKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readDword(u"WindowNormalPositionWidth"), 630u) << "the bottom edge";
    EXPECT_EQ(key->readDword(u"DriveSectorsColumnSize"), 114u);

    WindowPlacementRecord current;
    current.flags = 9;
    current.showCmd = kShowNormal;

    // Binary values of another length leave the current ones.
    key->writeBinary(u"WindowShowCmd", {3, 0});
    key->removeValue(u"WindowFlags");
    stored = ReadStoredPlacement(current);
    ASSERT_TRUE(stored.placement);
    EXPECT_EQ(stored.placement->flags, 9u);
    EXPECT_EQ(stored.placement->showCmd, kShowNormal);

    key->writeString(u"FileSystemListColumnSize", u"80");
    stored = ReadStoredPlacement(current);
    EXPECT_EQ(stored.columnWidths.size(), 8u) << "widths up to the mistyped one";

    key->writeString(u"WindowNormalPositionLeft", u"40");
    stored = ReadStoredPlacement(current);
    EXPECT_FALSE(stored.placement);
    EXPECT_TRUE(stored.columnWidths.empty());
}

TEST(WindowPlacement, UsesOnlyRectanglesThatShowOnAScreen) {
    const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const auto rect = [](int left, int top, int right, int bottom) {
        WindowPlacementRecord record;
        record.left = left;
        record.top = top;
        record.right = right;
        record.bottom = bottom;
        return record;
    };
    const struct {
        const char* what;
        WindowPlacementRecord placement;
        bool usable;
    } cases[] = {
        {"on the first screen", rect(100, 100, 700, 500), true},
        {"on the second screen", rect(2000, 100, 2600, 500), true},
        {"a corner showing", rect(-550, -350, 50, 50), true},
        {"a sliver showing", rect(-590, 100, 10, 500), false},
        {"inverted", rect(700, 500, 100, 100), false},
        {"empty", rect(100, 100, 100, 500), false},
        {"off every screen", rect(5000, 5000, 5600, 5400), false},
        {"edges at the 32-bit ends", rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UsableNormalRect(c.placement, screens).has_value(), c.usable) << c.what;
    }
    EXPECT_EQ(*UsableNormalRect(rect(100, 100, 700, 500), screens), QRect(100, 100, 600, 400));
}

}  // namespace
