// Elements built from the real engine's records on the FAT and NTFS fixture images carry
// the engine's names and paths, asked after the enumeration as the lists ask them.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "wizard/model/formats/formats_unit.h"
#include "wizard/model/found_files/base_sorted_list.h"
#include "wizard/model/real_engine.h"

namespace {

class EngineElementsTest : public RealEngineTest {
protected:
    void SetUp() override {
        RealEngineTest::SetUp();
        FormatsUnitInit();
        rescanFixtureDisks({"fat/fat16.img.gz", "ntfs/ntfs-basic.img.gz"});
    }
    void TearDown() override {
        FormatsUnitDone();
        RealEngineTest::TearDown();
    }

    // The elements of the volume with that letter, by path and name, valid until the next
    // call.
    std::map<std::string, const TBaseElement*> List(char letter) {
        std::shared_ptr<const TRecoveryDrive> drive;
        for (int i = 0; i < realEngine().DriveGetCount(); ++i) {
            const _LDRIVE* info = realEngine().DriveGetInformation(i);
            if (info->Letter == letter) drive = std::make_shared<TRecoveryDrive>(*info);
        }
        EXPECT_TRUE(drive) << letter;
        if (!drive) return {};
        settings_.ReadRetries = 2;
        settings_.DiskNumber = drive->DriveNumber();
        EXPECT_GT(realEngine().DriveInitialize(&settings_), 0);
        list_.Clear();
        std::int64_t serial = 0;
        while (const FoundFileRecord* record = realEngine().FileGetNext()) {
            list_.Add(std::make_unique<TBaseElement>(*record, ++serial, drive));
        }
        list_.SetSort(kSortByPath, true);  // every path asked after the enumeration
        std::map<std::string, const TBaseElement*> elements;
        for (std::size_t i = 0; i < list_.Count(); ++i) {
            elements[list_[i].Path() + list_[i].Name()] = &list_[i];
        }
        return elements;
    }

    EngineSettings settings_{};
    TBaseSortedList list_{kSortByName, true};
};

TEST_F(EngineElementsTest, ElementsCarryTheEnginesNamesAndPaths) {
    const struct {
        char letter;
        const char* entry;
        const char* condition;
    } cases[] = {
        {'C', "C:\\deleted long name.txt", "Deleted "}, {'C', "C:\\_EEP\\LIVE1.TXT", "Deleted "},
        {'C', "C:\\README.TXT", "Live"},                {'D', "D:\\A file with a long name.txt", "Live"},
        {'D', "D:\\docs\\sub\\deep.txt", "Live"},      {'D', "D:\\olddir\\child.txt", "Deleted "},
        {'D', "lost_folder_76\\orphan.txt", "Live"},
    };
    for (const char letter : {'C', 'D'}) {
        const auto elements = List(letter);
        for (const auto& c : cases) {
            if (c.letter != letter) continue;
            ASSERT_TRUE(elements.contains(c.entry)) << c.entry;
            EXPECT_STREQ(elements.at(c.entry)->Condition(), c.condition) << c.entry;
            EXPECT_EQ(elements.at(c.entry)->Drive()->Letter(), letter);
        }
    }
}

}  // namespace
