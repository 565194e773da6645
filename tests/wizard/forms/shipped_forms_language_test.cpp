// The shipped German translation covers every fixed text of the About box, the wait
// window, the drive properties dialog and the help window, under the components' names.

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "tests/wizard/support/language_folder_fixture.h"
#include "wizard/forms/about_form.h"
#include "wizard/forms/drive_properties_form.h"
#include "wizard/forms/help_form.h"
#include "wizard/forms/wait_form.h"

namespace {

class ShippedFormsLanguage : public LanguageFolderTest {
protected:
    void SetUp() override {
        LanguageFolderTest::SetUp();
        const QString source = qEnvironmentVariable("UNDELETE_TEST_DATA") +
                               QStringLiteral("/../../wizard/languages/Deutsch.lng");
        ASSERT_TRUE(QFile::copy(source, programFile(QStringLiteral("Deutsch.lng"))));
        SetCurrentTranslation(LoadLanguageFile(QStringLiteral("Deutsch.lng")));
        ASSERT_NE(CurrentTranslation(), nullptr);
    }
};

// The names of the components whose text the form's layout sets: labels and buttons, and
// the tab pages. Texts the code fills in later are not the translation's.
std::set<QString> FixedTextComponents(const QWidget& form, const std::set<QString>& filled) {
    std::set<QString> names;
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) names.insert(label->objectName());
    }
    for (const QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        if (!button->text().isEmpty()) names.insert(button->objectName());
    }
    for (const QTabWidget* tabs : form.findChildren<QTabWidget*>()) {
        for (int page = 0; page < tabs->count(); ++page)
            names.insert(tabs->widget(page)->objectName());
    }
    for (const QString& name : filled) names.erase(name);
    names.erase(QString());
    return names;
}

TEST_F(ShippedFormsLanguage, EveryFixedTextHasItsKey) {
    std::vector<std::pair<std::unique_ptr<QWidget>, std::set<QString>>> forms;
    forms.emplace_back(
        std::make_unique<TAboutForm>(nullptr),
        std::set<QString>{QStringLiteral("LabelProgramName"),
                          QStringLiteral("LabelProgramDescription"),
                          QStringLiteral("LabelProgramVersion"), QStringLiteral("LabelCopyright"),
                          QStringLiteral("LabelUrl"), QStringLiteral("LabelSupport")});
    forms.emplace_back(std::make_unique<TWaitForm>(nullptr), std::set<QString>{});
    forms.emplace_back(std::make_unique<TDrivePropertiesForm>(), std::set<QString>{});
    forms.emplace_back(std::make_unique<THelpForm>(), std::set<QString>{});
    for (const auto& [form, filled] : forms) {
        const QString section = form->objectName();
        SCOPED_TRACE(section.toStdString());
        if (!form->windowTitle().isEmpty()) {  // the wait window has no title bar
            EXPECT_TRUE(CurrentTranslation()->value(section, section + QStringLiteral(".Caption")));
        }
        const std::set<QString> names = FixedTextComponents(*form, filled);
        EXPECT_FALSE(names.empty());
        for (const QString& name : names) {
            EXPECT_TRUE(CurrentTranslation()->value(
                section, section + u'.' + name + QStringLiteral(".Caption")))
                << name.toStdString();
        }
    }
}

}  // namespace
