// The drive properties dialog: filled from built records (field widths, sizes, offsets,
// capability bits) and from the real engine over the fixture disks.

#include <QLineEdit>
#include <QLocale>
#include <QTabWidget>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <string>

#include "platform/handles.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/forms/drive_properties_form.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/scripted_engine.h"
#include "wizard/support/wizard_test.h"

namespace {

using Fields = std::map<std::string, QString>;

// Every value field of the dialog by name, and its caption under "Caption".
Fields FieldsOf(const QWidget& form) {
    Fields fields;
    for (const QLineEdit* edit : form.findChildren<QLineEdit*>()) {
        fields[edit->objectName().toStdString()] = edit->text();
    }
    fields["Caption"] = form.windowTitle();
    return fields;
}

// Yes or No on each capability line, as a string of 13 'Y' and 'N'.
std::string Capabilities(const Fields& fields) {
    std::string lines;
    for (int line = 1; line <= TDrivePropertiesForm::kCapabilityCount; ++line) {
        lines += fields.at("CapabilitiesEdit" + std::to_string(line)) == QStringLiteral("Yes")
                     ? 'Y'
                     : 'N';
    }
    return lines;
}

// Writes `text` into a fixed field, zero-filled, with no terminator when it fills it.
template <std::size_t Width>
void Put(char (&field)[Width], std::string_view text) {
    std::memset(field, 0, Width);
    std::memcpy(field, text.data(), std::min(Width, text.size()));
}

_LDRIVE SomeDrive() {
    _LDRIVE drive{};
    drive.Id = 2;
    drive.Letter = 'C';
    drive.Ready = 1;
    Put(drive.FileSystemName, "FAT16");
    Put(drive.Label, "MBRFAT");
    Put(drive.OemName, "mkfs.fat");
    drive.SerialNumber = 0x1234ABCD;
    drive.SpaceTotal = 4194304;
    drive.SectorsPerCluster = 4;
    drive.BytesPerSector = 512;
    drive.BytesPerCluster = 2048;
    drive.BaseOffset = 1048576;
    return drive;
}

class DriveProperties : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        savedLocale_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override {
        QLocale::setDefault(savedLocale_);
        WizardTest::TearDown();
    }

    static Fields Filled(const _LDRIVE& drive) {
        TDrivePropertiesForm form;
        form.findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(2);
        form.FillFromRecord(drive);
        EXPECT_EQ(form.findChild<QTabWidget*>(QStringLiteral("PageControl"))->currentIndex(), 0);
        return FieldsOf(form);
    }

    // The fields ShowDriveProperties shows for the engine's drive `index`, and its answer.
    static std::pair<Fields, bool> Shown(int index) {
        Fields fields;
        answerNextModalDialog([&fields](QWidget* dialog) {
            fields = FieldsOf(*dialog);
            static_cast<QDialog*>(dialog)->accept();
        });
        const bool answer = ShowDriveProperties(index);
        return {fields, answer};
    }

private:
    QLocale savedLocale_;
};

TEST_F(DriveProperties, RecordEdgeCases) {
    struct Case {
        const char* what;
        void (*change)(_LDRIVE&);
        std::string field;
        QString shown;
    };
    const Case cases[] = {
        {"label of 30 bytes without a zero",
         [](_LDRIVE& d) { Put(d.Label, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"); },
         "GeneralVolumeLabelEdit", QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123")},
        {"OEM name of 8 bytes followed by the code",
         [](_LDRIVE& d) { Put(d.OemName, "NTFS    "); d.FileSystemCode = 0x41414141; },
         "GeneralOEMIdEdit", QStringLiteral("NTFS    ")},
        {"UTF-8 label", [](_LDRIVE& d) { Put(d.Label, "Fotos \xC3\x9C" "bersee"); },
         "GeneralVolumeLabelEdit", QStringLiteral("Fotos \u00DCbersee")},
        {"8-bit label", [](_LDRIVE& d) { Put(d.Label, "K\xD6LN"); }, "GeneralVolumeLabelEdit",
         QStringLiteral("K\u00D6LN")},
        {"offset of -1", [](_LDRIVE& d) { d.BaseOffset = ~0ULL; }, "InfoOffsetInPhysicalEdit",
         QStringLiteral("Unknown")},
        {"size beyond the signed range", [](_LDRIVE& d) { d.SpaceTotal = ~0ULL; },
         "GeneralTotalSpaceEdit", QStringLiteral("Unknown")},
        {"free space the engine could not tell", [](_LDRIVE& d) { d.SpaceFree = 0; }, "GeneralFreeSpaceEdit",
         QStringLiteral("Unknown")},
        {"free space", [](_LDRIVE& d) { d.SpaceFree = 5000; }, "GeneralFreeSpaceEdit",
         QStringLiteral("4 KB (5,000 bytes)")},
        {"a full volume, mounted from its device (the root's)",
         [](_LDRIVE& d) { struct stat root {}; d.Kind = kDriveVolume; d.SourceDevice = ::stat("/", &root) == 0 ? root.st_dev : 0; },
         "GeneralFreeSpaceEdit", QStringLiteral("0 (0 bytes)")},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        _LDRIVE drive = SomeDrive();
        test.change(drive);
        EXPECT_EQ(Filled(drive).at(test.field), test.shown);
    }
}

TEST_F(DriveProperties, EachLineShowsItsFlag) {
    for (const auto& [flags, lines] : {std::pair{0x8000u, "NNNNNNNNNNNNY"}, std::pair{0xFFFFFFFFu, "YYYYYYYYYYYYY"}}) {
        _LDRIVE drive = SomeDrive();
        drive.FileSystemFlags = flags;
        EXPECT_EQ(Capabilities(Filled(drive)), lines) << flags;
    }
}

TEST_F(DriveProperties, WithoutARecordTheDialogShowsDashesAndAnswersFalse) {
    const ScriptedEngine engine({});
    const auto [fields, answer] = Shown(7);
    EXPECT_FALSE(answer);
    EXPECT_EQ(fields.size(), 26u);  // 12 general and geometry values, 13 lines, the caption
    for (const auto& [name, text] : fields) {
        EXPECT_EQ(text,
                  name == "Caption" ? QStringLiteral("Drive Properties") : QStringLiteral("---"))
            << name;
    }
}

class DrivePropertiesOnFixtures : public DriveProperties {
protected:
    void SetUp() override {
        DriveProperties::SetUp();
        useFixtureDisks({"disks/mbr_fat_ntfs.img.gz", "disks/bare_fat.img.gz"});
        ASSERT_EQ(realEngine().Library_Initialize(u"\\Software\\Kelvorin\\Pramblex"), 1);
        HANDLE rescan = realEngine().DrivesRescan(0);
        ASSERT_NE(rescan, nullptr);
        ASSERT_EQ(WaitForSingleObject(rescan, 20000), WAIT_OBJECT_0);
        CloseHandle(rescan);
        ASSERT_EQ(realEngine().DriveGetCount(), 5);
    }
};

TEST_F(DrivePropertiesOnFixtures, ShowsWhatTheEngineKnows) {
    struct Volume {
        int index;
        Fields expected;
        std::string capabilities;
    };
    const Volume volumes[] = {
        {2,
         {{"Caption", "C: Drive Properties"},
          {"GeneralLetterEdit", "C:  (2)"},
          {"GeneralTotalSpaceEdit", "4 MB (4,194,304 bytes)"},
          {"GeneralFreeSpaceEdit", "Unknown"},  // an image's volume is not mounted
          {"InfoOffsetInPhysicalEdit", "1048576"}},
         "NNNNNNYNNNNYN"},  // FAT keeps the case of long names, in Unicode
        {3,
         {{"GeneralLetterEdit", "D:  (3)"},
          {"GeneralOEMIdEdit", "NTFS    "},
          {"GeneralSNEdit", "4F6ED92A49DB4E8C"},
          {"InfoOffsetInPhysicalEdit", "5242880"}},
         "YNYYYYYYYYYYN"},
        {4,
         {{"GeneralLetterEdit", "E:  (4)"},
          {"GeneralTotalSpaceEdit", "2 MB (2,097,152 bytes)"},
          {"InfoOffsetInPhysicalEdit", "Unknown"}},
         "NNNNNNYNNNNYN"},
    };
    for (const Volume& volume : volumes) {
        SCOPED_TRACE(volume.index);
        const auto [fields, answer] = Shown(volume.index);
        EXPECT_TRUE(answer);
        for (const auto& [name, text] : volume.expected) {
            EXPECT_EQ(fields.at(name), text) << name;
        }
        EXPECT_EQ(Capabilities(fields), volume.capabilities);
    }
}

}  // namespace
