// The shipped German file has a text for every captioned component of the preview pages
// and the properties form, and each arrives where it belongs.

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "wizard/forms/preview/preview_fixture.h"
#include "wizard/forms/preview/properties_form.h"
#include "wizard/translation/translate_form.h"

namespace {

class PreviewLanguageTest : public PreviewTest {
protected:
    void SetUp() override {
        PreviewTest::SetUp();
        QFile file(qEnvironmentVariable("UNDELETE_TEST_DATA") + QStringLiteral("/../../wizard/languages/Deutsch.lng"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        german_ = std::make_shared<LanguageFile>(LanguageFile::parse(QString::fromUtf8(file.readAll())));
        SetCurrentTranslation(german_);
    }
    void TearDown() override {
        SetCurrentTranslation(nullptr);
        PreviewTest::TearDown();
    }

    // The caption a component shows, empty when it shows none.
    static QString Caption(const QObject* component) {
        if (auto* button = qobject_cast<const QAbstractButton*>(component)) return button->text();
        if (auto* action = qobject_cast<const QAction*>(component)) return action->text();
        if (auto* menu = qobject_cast<const QMenu*>(component)) return menu->title();
        if (auto* label = qobject_cast<const QLabel*>(component)) return label->text();
        return {};
    }

    // The components of `form` that show a caption in words but have no key for it.
    static QStringList MissingKeys(const QObject& form, const QString& section, const LanguageFile& file) {
        static const QRegularExpression word(QStringLiteral("[A-Za-z]{2}"));
        QStringList missing;
        for (const QObject* component : form.findChildren<QObject*>()) {
            const QString name = component->objectName();
            // Values show the file's data, not a caption.
            if (name.isEmpty() || name.endsWith(QStringLiteral("Value")) || name.endsWith(QStringLiteral("Edit")) ||
                !Caption(component).contains(word)) {
                continue;
            }
            if (!file.value(section, section + u'.' + name + QStringLiteral(".Caption"))) missing << name;
        }
        return missing;
    }

    std::shared_ptr<LanguageFile> german_;
};

TEST_F(PreviewLanguageTest, EveryCaptionOfThePagesAndThePropertiesFormIsTranslated) {
    QWidget mainForm;
    mainForm.setObjectName(QStringLiteral("MainForm"));
    new TPreviewFileSystem(fileSystemList, *images, &mainForm);
    auto* sectors = new TPreviewDriveSectors(sectorList, *images, &mainForm);
    EXPECT_EQ(MissingKeys(mainForm, QStringLiteral("MainForm"), *german_), QStringList());
    TranslateForm({&mainForm});
    // Actions reach their text through the form too, not only the captioned widgets.
    EXPECT_EQ(sectors->Action(PreviewAction::ResetSize)->text(), QStringLiteral("Größe &zurücksetzen..."));

    TPropertiesForm form;
    EXPECT_EQ(MissingKeys(form, QStringLiteral("PropertiesForm"), *german_), QStringList());
    auto element = Make({.RecordNumber = 70, .Size = 12, .Name = u"deep.txt"});
    element->EngineRecord()->ParentNumber = 68;
    form.Fill(*element);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("deep.txt Eigenschaften"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("GeneralFileIdEdit"))->text(),
              QStringLiteral("70, übergeordnete Id: 68"));
    EXPECT_TRUE(
        form.findChild<QLineEdit*>(QStringLiteral("GeneralFileSizeEdit"))->text().endsWith(QStringLiteral("Bytes)")));
}

TEST_F(PreviewLanguageTest, ConditionsReadAsInThePropertiesFormInTheListAndThePanel) {
    const struct {
        std::uint16_t flags;
        const char16_t* name;
        QString german;
    } conditions[] = {{kFileDeleted | kFileHoldsDeleted, u"a", QStringLiteral("Gelöscht")},
                      {kFileHoldsDeleted, u"b", QStringLiteral("Vorhanden, enthält Gelöschtes")},
                      {0, u"c", QStringLiteral("Vorhanden")}};
    for (const auto& condition : conditions) fileSystemList.Add(Make({.Flags = condition.flags, .Name = condition.name}));
    QWidget mainForm;
    mainForm.setObjectName(QStringLiteral("MainForm"));
    auto* page = new TPreviewFileSystem(fileSystemList, *images, &mainForm);
    page->MiPreviewPanelClick();
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(page->Model().index(row, 1).data().toString(), conditions[row].german);
        SelectRows(*page, {row});
        page->ListViewClick();
        EXPECT_EQ(mainForm.findChild<QLabel*>(QStringLiteral("PreviewFileSystemPreviewConditionValue"))->text(),
                  conditions[row].german);
    }
}

}  // namespace
