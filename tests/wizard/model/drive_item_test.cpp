#include "wizard/model/drive_item.h"

#include <gtest/gtest.h>

#include <cstring>

#include "wizard/support/scripted_engine.h"

namespace {

_LDRIVE Volume(char letter, const char* label, std::size_t labelBytes, std::uint64_t serial) {
    _LDRIVE drive = scriptedDrive(2, letter, 2);
    std::memcpy(drive.Label, label, labelBytes);
    std::memcpy(drive.FileSystemName, "FAT32", 5);
    drive.SerialNumber = serial;
    drive.SpaceTotal = 4194304;
    return drive;
}

TEST(DriveItem, ListsLetteredVolumesWithTheirTexts) {
    const char full[30] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O',
                           'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z', '0', '1', '2', '3'};
    const struct {
        const char* what;
        _LDRIVE drive;
        const char* caption;
        const char* serial;
    } cases[] = {
        {"label", Volume('C', "SYSTEM", 6, 0x1234ABCD), "C (SYSTEM)", "1234ABCD"},
        {"no label", Volume('D', "", 0, 0xABC), "D", "00000ABC"},
        {"label without NUL", Volume('E', full, 30, 0x4F6ED92A49DB4E8Cu), "E (ABCDEFGHIJKLMNOPQRSTUVWXYZ0123)",
         "4F6ED92A49DB4E8C"},
        {"control characters", Volume('F', "A\nB\x01", 4, 0), "F (A?B?)", "00000000"},
        {"Latin-1 bytes", Volume('G', "CAF\xC9", 4, 0), "G (CAF\u00C9)", "00000000"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(IsListedDrive(c.drive)) << c.what;
        const DriveItemTexts texts = DriveItemTextsOf(c.drive);
        EXPECT_EQ(texts.caption, QString::fromUtf8(c.caption)) << c.what;
        EXPECT_EQ(texts.serial, QString::fromLatin1(c.serial)) << c.what;
        EXPECT_EQ(texts.type, QStringLiteral("FAT32")) << c.what;
        EXPECT_EQ(texts.status, QStringLiteral("Ready")) << c.what;
    }
}

TEST(DriveItem, ShowsSizesStatusAndSkipsDisks) {
    _LDRIVE drive = Volume('C', "", 0, 0);
    drive.SpaceTotal = ~std::uint64_t{0};
    drive.Ready = 0;
    EXPECT_EQ(DriveItemTextsOf(drive).totalSpace, QString());
    EXPECT_EQ(DriveItemTextsOf(drive).status, QStringLiteral("No media"));
    for (char letter : {'0', '9', '?', 'a', '['}) {
        drive.Letter = letter;
        EXPECT_FALSE(IsListedDrive(drive)) << letter;
    }
}

// A card swapped for another in the same slot, or an image file replaced by another at
// the same path, is another drive even when its size is the same; a drive found again at
// another index, with other free space, is the same.
TEST(DriveItem, IdentityTellsMediaApartButNotTheirIndexOrFreeSpace) {
    _LDRIVE base = Volume('E', "CARD", 4, 0x1234ABCD);
    base.SourceDevice = 0xB300;
    base.FileSystemCode = 2;
    const struct {
        const char* what;
        void (*change)(_LDRIVE&);
        bool samePlace;
    } others[] = {
        {"kind", [](_LDRIVE& d) { d.Kind = 1; }, false},
        {"letter", [](_LDRIVE& d) { d.Letter = 'F'; }, false},
        {"source device", [](_LDRIVE& d) { d.SourceDevice = 0xB301; }, false},
        {"image file", [](_LDRIVE& d) { d.SourceInode = 77; }, false},
        {"partition", [](_LDRIVE& d) { d.BaseOffset = 1048576; }, false},
        {"serial", [](_LDRIVE& d) { d.SerialNumber = 0x1234ABCE; }, true},
        {"size", [](_LDRIVE& d) { d.SpaceTotal += 512; }, true},
        {"file system", [](_LDRIVE& d) { d.FileSystemCode = 3; }, true},
        {"label", [](_LDRIVE& d) { d.Label[29] = 'X'; }, true},
    };
    for (const auto& other : others) {
        _LDRIVE changed = base;
        other.change(changed);
        EXPECT_NE(IdentityOf(changed), IdentityOf(base)) << other.what;
        EXPECT_EQ(PlaceOf(changed) == PlaceOf(base), other.samePlace) << other.what;
    }
    _LDRIVE again = base;
    again.Id = 9;
    again.SpaceFree = 4096;
    again.Ready = 0;
    std::memcpy(again.Description, "Drive 3", 8);
    EXPECT_EQ(IdentityOf(again), IdentityOf(base));
}

// Disks are numbered by position and volumes take the free letters, so when a drive goes
// the next one can take its index and its letter: the engine's record at the chosen index
// is the chosen drive only while it names the same device, image file and offset.
TEST(DriveItem, AnotherDriveUnderTheSameIndexAndLetterIsNotTheChosenOne) {
    _LDRIVE chosen = Volume('C', "CARD", 4, 0x1234ABCD);
    chosen.SourceDevice = 0x0801;
    chosen.BaseOffset = 1048576;
    const struct {
        const char* what;
        void (*change)(_LDRIVE&);
        bool listed;
    } cases[] = {
        {"the same drive, rescanned", [](_LDRIVE& d) { d.SpaceFree = 4096; }, true},
        {"another device", [](_LDRIVE& d) { d.SourceDevice = 0x0811; }, false},
        {"another image file", [](_LDRIVE& d) { d.SourceInode = 12; }, false},
        {"another partition", [](_LDRIVE& d) { d.BaseOffset = 2097152; }, false},
    };
    for (const auto& c : cases) {
        _LDRIVE now = chosen;
        c.change(now);
        EngineScript script;
        script.drives = {now};
        const ScriptedEngine engine(std::move(script));
        EXPECT_EQ(EngineListsDriveAt(chosen.Id, chosen), c.listed) << c.what;
    }
}

}  // namespace
