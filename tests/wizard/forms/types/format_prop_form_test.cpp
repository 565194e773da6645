#include "wizard/forms/types/format_prop_form.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "wizard/support/dialog_controls.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/wizard_test.h"

namespace {

TFormat Riff() {
    return {false, 5120, 999, "audio", "RIFF", "Audio", "RIFF Multimedia File", "RIFF",
            "RIFF,RIF", 225, false, false, std::nullopt};
}

// Runs EditFormatProperties while `answer` works the dialog.
bool Edit(TFormat& format, std::function<void(QWidget*)> answer) {
    answerNextModalDialog(std::move(answer));
    return EditFormatProperties(format);
}

TEST(DefaultSizeTextTest, OnlyDecimalNumbersFromOneToInt32MaxAreAccepted) {
    const struct {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"0012", 12}, {"2147483647", 2147483647}, {"", {}},    {"000", {}},
        {"+5", {}},   {" 5", {}},                 {"1e3", {}}, {"2147483648", {}},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(ParseDefaultSizeKb(QString::fromLatin1(test.text)), test.value) << test.text;
    }
    EXPECT_EQ(ParseDefaultSizeKb(QStringLiteral("\u0661\u0662")), std::nullopt);  // other digits
}

class FormatPropFormTest : public WizardTest {};

TEST_F(FormatPropFormTest, FillClampsTheOrderAndAnIdTheControlCannotShowGoesBackUnchanged) {
    TFormatPropForm form;
    TFormat format = Riff();
    format.SignatureId = 40000;
    form.fill(format);
    EXPECT_EQ(FindControl<QSpinBox>(&form, "OptionsOrderEdit")->value(), 100);  // 999 shows 100
    TFormat copied;
    ASSERT_TRUE(form.copyTo(copied));
    format.RecoveryOrder = 100;
    EXPECT_EQ(copied, format);
}

TEST_F(FormatPropFormTest, OkStaysDisabledUntilTheDefaultSizeIsANumber) {
    TFormatPropForm form;
    form.fill(Riff());
    auto* size = FindControl<QLineEdit>(&form, "OptionsDefaultFileSizeEdit");
    auto* ok = FindControl<QPushButton>(&form, "BottomOKButton");
    for (const char* text : {"12a", "0"}) {
        size->setText(QString::fromLatin1(text));
        EXPECT_FALSE(ok->isEnabled()) << text;
        TFormat untouched = Riff();
        EXPECT_FALSE(form.copyTo(untouched));
        EXPECT_EQ(untouched, Riff()) << "nothing copied half-way for " << text;
    }
    size->setText(QStringLiteral("2048"));
    EXPECT_TRUE(ok->isEnabled());

    TFormat stored = Riff();
    stored.DefaultSizeKb = -3;  // from a hand-edited registry
    form.fill(stored);
    EXPECT_FALSE(ok->isEnabled());
}

TEST_F(FormatPropFormTest, OkCopiesEveryFieldBackAndTheCaptionNamesTheFormat) {
    TFormat format = Riff();
    QString caption;
    EXPECT_TRUE(Edit(format, [&](QWidget* dialog) {
        caption = dialog->windowTitle();
        FindControl<QCheckBox>(dialog, "OptionsSearchCheckBox")->setChecked(true);
        FindControl<QLineEdit>(dialog, "OptionsDefaultFileSizeEdit")->setText(QStringLiteral("77"));
        auto* order = FindControl<QSpinBox>(dialog, "OptionsOrderEdit");
        order->selectAll();
        QTest::keyClicks(order, QStringLiteral("42"));  // typed, not yet committed
        FindControl<QLineEdit>(dialog, "OptionsPrefixEdit")->setText(QStringLiteral("riff"));
        FindControl<QLineEdit>(dialog, "GeneralTitleEdit")->setText(QString(48, u'T'));
        QTest::keyClicks(FindControl<QLineEdit>(dialog, "GeneralTitleEdit"), QStringLiteral("xyz"));
        FindControl<QLineEdit>(dialog, "GeneralCategoryEdit")->setText(QStringLiteral("Sound"));
        FindControl<QLineEdit>(dialog, "GeneralDescriptionEdit")->setText(QStringLiteral("Ünïcode"));
        FindControl<QLineEdit>(dialog, "GeneralExtEdit")->setText(QStringLiteral("RIF"));
        FindControl<QLineEdit>(dialog, "GeneralExtDefaultEdit")->setText(QStringLiteral("rif"));
        PressButton(dialog, "BottomOKButton");
    }));
    EXPECT_EQ(caption, QStringLiteral("File Format Properties - [RIFF]"));
    EXPECT_EQ(format, (TFormat{true, 77, 42, "riff", std::string(48, 'T') + "xy", "Sound",
                               "\xC3\x9Cn\xC3\xAF" "code", "rif", "RIF", 225, false, false, std::nullopt}));
}

// The limit is for typing: a longer title from the store is never cut, so OK does not
// rename the format; it may be shortened, but not lengthened again.
TEST_F(FormatPropFormTest, AStoredTitleLongerThanTheLimitStaysWhole) {
    TFormat format = Riff();
    format.Title = std::string(60, 'L');
    TFormatPropForm form;
    form.fill(format);
    TFormat copied = Riff();
    ASSERT_TRUE(form.copyTo(copied));
    EXPECT_EQ(copied.Title, format.Title);

    auto* title = FindControl<QLineEdit>(&form, "GeneralTitleEdit");
    title->setFocus();
    title->end(false);
    QTest::keyClick(title, Qt::Key_Backspace);
    QTest::keyClicks(title, QStringLiteral("ab"));
    EXPECT_EQ(title->text(), QString(59, u'L'));
    title->clear();
    QTest::keyClicks(title, QString(55, u'n'));
    EXPECT_EQ(title->text(), QString(TFormatPropForm::kTitleMaxLength, u'n'));
}

TEST_F(FormatPropFormTest, CancelAfterTypingEverywhereChangesNothing) {
    TFormat format = Riff();
    EXPECT_FALSE(Edit(format, [](QWidget* dialog) {
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
            QTest::keyClicks(edit, QStringLiteral("9"));
        }
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
            box->toggle();
        }
        PressButton(dialog, "BottomCancelButton");
    }));
    EXPECT_EQ(format, Riff());
}

TEST_F(FormatPropFormTest, ThePageOfTheLastOkReopens) {
    TFormat format = Riff();
    int opened = -1;
    const auto noteAndClose = [&](QWidget* dialog) {
        opened = CurrentPage(dialog);
        PressButton(dialog, "BottomCancelButton");
    };
    Edit(format, CloseOnPage(1, "BottomOKButton"));
    Edit(format, CloseOnPage(2, "BottomCancelButton"));
    Edit(format, noteAndClose);
    EXPECT_EQ(opened, 1);
}

}  // namespace
