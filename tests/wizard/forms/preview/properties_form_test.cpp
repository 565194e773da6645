// The file properties form as filled from elements: size lines, ids, times, icons, the
// walk to the parent folder, and text from disk shown as it stands.

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

#include <gtest/gtest.h>

#include "wizard/forms/preview/preview_fixture.h"
#include "wizard/forms/preview/properties_form.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/translation/translation.h"

namespace {

class PropertiesFormTest : public PreviewTest {
protected:
    void SetUp() override {
        PreviewTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override {
        QLocale::setDefault(savedLocale_);
        SetCurrentTranslation(nullptr);
        PreviewTest::TearDown();
    }

    static QString Field(const TPropertiesForm& form, const char* name) {
        if (auto* edit = form.findChild<QLineEdit*>(QString::fromLatin1(name))) return edit->text();
        return form.findChild<QLabel*>(QString::fromLatin1(name))->text();
    }

    // The index of the one icon shown, -1 when none or several are.
    static int ShownIcon(const TPropertiesForm& form) {
        int shown = -1;
        for (int i = 0; i < 5; ++i) {
            if (form.findChild<QLabel*>(QStringLiteral("GeneralFileImage%1").arg(i))->isHidden()) continue;
            if (shown >= 0) return -1;
            shown = i;
        }
        return shown;
    }

private:
    QLocale savedLocale_;
};

TEST_F(PropertiesFormTest, SizeLinesRoundUpToWholeClusters) {
    const struct {
        std::uint64_t size;
        const char* sizeLine;
        const char* onDiskLine;
    } cases[] = {
        {5000, "4 KB (5,000 bytes)", "8 KB ( 8,192 bytes)"},
        {8192, "8 KB (8,192 bytes)", "8 KB (8,192 bytes)"},
        {0, "0 (0 bytes)", "0 (0 bytes)"},
        {1, "1 (1 bytes)", "4 KB ( 4,096 bytes)"},
        {kUnknownSize, "", ""},
        // The largest size has no rounded size within 64 bits: it stands as it is.
        {0x7FFF'FFFF'FFFF'FFFF, "8,589,934,591 GB (9,223,372,036,854,775,807 bytes)",
         "8,589,934,591 GB (9,223,372,036,854,775,807 bytes)"},
    };
    for (const auto& c : cases) {
        auto element = Make({.RecordNumber = 1, .Size = c.size, .Name = u"a.txt"});
        TPropertiesForm form;
        form.Fill(*element);
        EXPECT_EQ(Field(form, "GeneralFileSizeEdit"), QString::fromLatin1(c.sizeLine)) << c.size;
        EXPECT_EQ(Field(form, "GeneralFileSizeOnDiskEdit"), QString::fromLatin1(c.onDiskLine)) << c.size;
    }
}

TEST_F(PropertiesFormTest, ACarvedFileShowsZeroIdsAndNoTimes) {
    sectorList.Add(Make({.Size = 100, .TypeCode = 83, .DataPosition = 1'234'567'890'123}, 7));
    TPropertiesForm form;
    form.Fill(sectorList[0]);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("image_0007.JPG Properties"));
    EXPECT_EQ(Field(form, "GeneralFileNameEdit"), QStringLiteral("image_0007.JPG (byte offset: 1,234,567,890,123)"));
    EXPECT_EQ(Field(form, "GeneralFileIdEdit"), QStringLiteral("0, parent Id: 0"));
    EXPECT_EQ(Field(form, "GeneralFileStatusEdit"), QStringLiteral("Live"));
    for (const char* time : {"GeneralFileCreatedEdit", "GeneralFileModifiedEdit", "GeneralFileAccessedEdit"}) {
        EXPECT_EQ(Field(form, time), QString()) << time;
    }
    EXPECT_EQ(Field(form, "GeneralFileTypeEdit"), QStringLiteral("JPEG image"));
}

TEST_F(PropertiesFormTest, LongCaptionsWidenTheFormAndALongNameShowsItsStart) {
    const char16_t* name = u"a_rather_long_file_name_that_does_not_fit_the_field.jpg";
    for (const bool german : {false, true}) {
        SetCurrentTranslation(german ? std::make_shared<LanguageFile>(LanguageFile::parse(QStringLiteral(
                                           "[PropertiesForm]\nPropertiesForm.GeneralFileSizeOnDiskLabel.Caption="
                                           "Größe auf dem Datenträger:\n")))
                                     : nullptr);
        auto element = Make({.RecordNumber = 9, .Size = 100, .Name = name});
        TPropertiesForm form;
        form.Fill(*element);
        form.show();
        auto* label = form.findChild<QLabel*>(QStringLiteral("GeneralFileSizeOnDiskLabel"));
        EXPECT_GE(label->width(), label->sizeHint().width()) << german;
        EXPECT_EQ(form.width() > 359, german);
        EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("GeneralFileNameEdit"))->cursorPosition(), 0);
    }
}

TEST_F(PropertiesFormTest, IconAndStatusFollowTheFlags) {
    const struct {
        std::uint16_t flags;
        int icon;
        const char* status;
    } cases[] = {
        {0, 0, "Live"},
        {kFileDeleted, 1, "Deleted"},
        {kFileDirectory, 2, "Live"},
        {kFileDirectory | kFileHoldsDeleted, 3, "Live, but contain deleted"},
        {kFileDirectory | kFileDeleted, 4, "Deleted"},
        {kFileDirectory | kFileDeleted | kFileHoldsDeleted, 4, "Deleted"},
        {kFileHoldsDeleted, 0, "Live, but contain deleted"},
    };
    for (const auto& c : cases) {
        auto element = Make({.RecordNumber = 5, .Flags = c.flags, .Name = u"x"});
        TPropertiesForm form;
        form.Fill(*element);
        EXPECT_EQ(ShownIcon(form), c.icon) << c.flags;
        EXPECT_EQ(Field(form, "GeneralFileStatusEdit"), QString::fromLatin1(c.status)) << c.flags;
    }
}

TEST_F(PropertiesFormTest, TheParentButtonOpensTheParentsPropertiesOrNothing) {
    FoundFileRecord parent{};
    parent.RecordNumber = 0x1'0000'0040;  // beyond 32 bits: both halves reach the engine
    parent.ParentNumber = 5;
    parent.Flags = kFileDirectory;
    infos[parent.RecordNumber] = parent;
    infoNames[parent.RecordNumber] = u"docs";
    FoundFileRecord damaged = parent;
    damaged.RecordNumber = 77;
    damaged.Flags = kFileDirectory | kFileDamaged;
    infos[77] = damaged;
    infoNames[77] = u"broken";

    auto child = Make({.RecordNumber = 90, .Name = u"deep.txt"});
    child->EngineRecord()->ParentNumber = parent.RecordNumber;
    TPropertiesForm form;
    form.Fill(*child);
    QString title, id;
    answerNextModalDialog([&](QWidget* dialog) {
        title = dialog->windowTitle();
        id = dialog->findChild<QLabel*>(QStringLiteral("GeneralFileIdEdit"))->text();
        dialog->close();
    });
    form.findChild<QToolButton*>(QStringLiteral("GeneralFileSpeedButton"))->click();
    EXPECT_EQ(title, QStringLiteral("docs Properties"));
    EXPECT_EQ(id, QStringLiteral("4294967360, parent Id: 5"));

    // No record (a FAT volume) or a damaged one: nothing opens.
    for (const std::uint64_t missing : {std::uint64_t{12345}, std::uint64_t{77}}) {
        child->EngineRecord()->ParentNumber = missing;
        const int calls = infoCalls;
        form.GeneralFileSpeedButtonClick();
        EXPECT_EQ(infoCalls, calls + 1);
    }
}

TEST_F(PropertiesFormTest, TextFromDiskAndTranslationsAreShownAsTheyStand) {
    SetCurrentTranslation(std::make_shared<LanguageFile>(
        LanguageFile::parse(QStringLiteral("[PropertiesForm]\n"
                                           "PropertiesForm.Caption=Eigenschaften\n"
                                           "PropertiesForm.GeneralFileIdEdit.Caption=%s%s%n\n"))));
    auto element = Make({.RecordNumber = 3, .Name = u"<b>bold</b>\n\x01<img src=x>.txt"});
    element->EngineRecord()->ParentNumber = 2;
    TPropertiesForm form;
    form.Fill(*element);
    const QString name = QStringLiteral("<b>bold</b>\n\x01<img src=x>.txt");
    EXPECT_EQ(form.windowTitle(), name + QStringLiteral(" Eigenschaften"));
    EXPECT_TRUE(Field(form, "GeneralFileNameEdit").startsWith(name));
    EXPECT_EQ(Field(form, "GeneralFileIdEdit"), QStringLiteral("3, parent Id: 2"));  // the unfit format falls back
    for (QLabel* label : form.findChildren<QLabel*>()) EXPECT_EQ(label->textFormat(), Qt::PlainText);

    // The preview panel and the list show the same name as plain text.
    fileSystemList.Add(Make({.RecordNumber = 3, .Name = u"<b>bold</b>\n\x01<img src=x>.txt"}));
    TPreviewFileSystem& page = FileSystemPage();
    page.TabSheetShow();
    page.MiPreviewPanelClick();
    SelectRows(page, {0});
    EXPECT_EQ(page.Model().index(0, 0).data().toString(), name);
    auto* value = page.findChild<QLabel*>(QStringLiteral("PreviewFileSystemPreviewNameValue"));
    EXPECT_EQ(value->text(), name);
    EXPECT_EQ(value->textFormat(), Qt::PlainText);
}

}  // namespace
