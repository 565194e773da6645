// Names, name parts, conditions, types, paths and format facts of found files, and drives.

#include <gtest/gtest.h>

#include <cstring>

#include "wizard/model/found_files/element_fixture.h"

namespace {

TEST_F(ElementTest, NamesFollowTheEntryOrTheFormat) {
    const std::u16string longName(3000, u'n');
    const struct {
        RecordSpec record;
        std::int64_t serial;
        std::string name;
    } cases[] = {
        {{}, 12, "lost_file_0012.unknown"},
        {{.RecordNumber = 57, .Name = u" \t "}, 1, "noname_57"},
        {{.RecordNumber = 5, .Name = u" x "}, 1, " x "},  // not trimmed
        {{.TypeCode = 83}, 7, "image_0007.JPG"},
        {{.TypeCode = 83}, 12345, "image_12345.JPG"},
        {{.TypeCode = 200, .Name = u"  "}, 3, "audio_0003.WAV"},
        {{.TypeCode = 999}, 3, "unknown_0003.unknown"},
        {{.Name = u"\u00e9t\u00e9.txt"}, 1, "\xc3\xa9t\xc3\xa9.txt"},
        {{.RecordNumber = 9, .Name = longName.c_str()}, 1, std::string(3000, 'n')},
    };
    for (const auto& c : cases) EXPECT_EQ(Make(c.record, c.serial)->Name(), c.name);
}

TEST_F(ElementTest, NamePartsConditionAndTypeComeFromTheRecord) {
    const struct {
        const char16_t* name;
        const char* ext;
        const char* baseName;
    } names[] = {
        {u"a.jpg.b.jpg", ".jpg", "a.jpg.b"}, {u".bashrc", "", ".bashrc"}, {u"README", "", "README"},
    };
    for (const auto& c : names) {
        const auto element = Make({.RecordNumber = 1, .Name = c.name});
        EXPECT_EQ(element->Ext(), c.ext);
        EXPECT_EQ(element->BaseName(), c.baseName);
    }
    EXPECT_STREQ(Make({.Flags = kFileDeleted | kFileDirectory | kFileHoldsDeleted})->Condition(), "Deleted ");
    EXPECT_STREQ(Make({.Flags = kFileHoldsDeleted})->Condition(), "Contain Deleted");
    EXPECT_STREQ(Make({})->Condition(), "Live");

    EXPECT_EQ(Make({.RecordNumber = 1, .Flags = kFileDirectory, .Name = u"x.jpg"})->TypeName(), "Folder");
    EXPECT_FALSE(Make({.RecordNumber = 1, .Name = u"x.jpg"})->TypeName().empty());
    EXPECT_EQ(Make({.Size = kUnknownSize})->Size(), -1);
    EXPECT_TRUE(Make({})->Created().isNull()) << "a zero time is none";
    EXPECT_EQ(Make({.Created = 10000})->Created(), QDateTime(QDate(1601, 1, 1), QTime(0, 0, 0, 1), Qt::UTC));
    EXPECT_EQ(Make({.Created = 132593079670000000})->Created(),
              QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7), Qt::UTC));
}

TEST_F(ElementTest, TheRecordAndNameAreTheElementsOwn) {
    std::u16string name = u"own.txt";
    FoundFileRecord record = RecordSpec{.RecordNumber = 4, .Size = 77, .Name = name.c_str()}.Record();
    TBaseElement element(record, 1);
    name[0] = u'X';
    EXPECT_EQ(element.Name(), "own.txt");
    const char16_t* ownName = element.Record().Name;
    EXPECT_NE(ownName, name.c_str());
    record.Name = ownName;
    EXPECT_EQ(std::memcmp(&record, &element.Record(), sizeof record), 0);
    const char16_t* noName = Make({})->Record().Name;  // never null
    EXPECT_EQ(noName[0], u'\0');
}

TEST_F(ElementTest, PathIsAskedOnceAndAnEmptyAnswerAgain) {
    paths[1] = u"C:\\Docs\\";
    const auto known = Make({.RecordNumber = 1});
    EXPECT_EQ(known->Path(), "C:\\Docs\\");
    EXPECT_EQ(known->Path(), "C:\\Docs\\");
    const auto unknown = Make({.RecordNumber = 2});
    EXPECT_EQ(unknown->Path(), "");
    EXPECT_EQ(unknown->Path(), "");
    EXPECT_EQ(pathCalls, 3);
}

TEST_F(ElementTest, FormatFactsComeFromTheExtensionOrTheTypeCode) {
    EXPECT_TRUE(Make({.RecordNumber = 1, .Name = u"x.JPE"})->IsPreviewAvailable());
    EXPECT_FALSE(Make({.RecordNumber = 1, .TypeCode = 83, .Name = u"x.png"})->IsPreviewAvailable());
    EXPECT_TRUE(Make({.RecordNumber = 1, .TypeCode = 83, .Name = u"README"})->IsPreviewAvailable());
    EXPECT_TRUE(Make({.TypeCode = 85})->IsPreviewAvailable());  // named .GIF by its format

    EXPECT_EQ(FormatIdFromExtension(*Make({.RecordNumber = 1, .Name = u"x.raf"})), 180);
    EXPECT_EQ(FormatIdFromExtension(*Make({.RecordNumber = 1, .Name = u"README"})), -1);
    EXPECT_EQ(FormatIdFromExtension(*Make({.TypeCode = 83})), -1);  // no name of its own
    EXPECT_EQ(Make({.TypeCode = 170})->FormatFilePrefix(), "quicktime");
    EXPECT_EQ(Make({.TypeCode = 999})->FormatDefaultExtension(), "unknown");
}

TEST(RecoveryDrive, CopiesTheShownPartAndNamesTheDrive) {
    _LDRIVE drive;
    std::memset(&drive, 'A', sizeof drive);  // no NUL anywhere: the label stops at 30
    drive.Id = 3;
    const TRecoveryDrive full(drive);
    EXPECT_EQ(full.VolumeLabel(), std::string(30, 'A'));
    EXPECT_EQ(full.DriveNumber(), 3);
    const std::int64_t cylinders = full.Info().Geometry.Cylinders;
    EXPECT_EQ(cylinders, 0);  // the engine's part is not copied

    const struct {
        char letter;
        const char* label;
        const char* displayName;
    } cases[] = {{'C', "  DATA  ", "C:\\ (DATA)"}, {'C', "", "C:\\"}, {'D', "   ", "D:\\"}, {'?', "DATA", "Unknown"}};
    for (const auto& c : cases) {
        std::memset(drive.Label, 0, sizeof drive.Label);
        std::strcpy(drive.Label, c.label);
        drive.Letter = c.letter;
        EXPECT_EQ(TRecoveryDrive(drive).DisplayName(), c.displayName);
    }
}

}  // namespace
