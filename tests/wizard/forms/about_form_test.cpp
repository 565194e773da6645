// The About box: version text with the build, link labels without their scheme that open
// the whole address, underlined while the mouse is over them.

#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include "wizard/forms/about_form.h"
#include "wizard/help_unit.h"
#include "wizard/maker_info.h"
#include "wizard/support/wizard_test.h"

namespace {

using AboutForm = WizardTest;

QString LabelText(const QWidget& form, const char* name) {
    const auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<missing>");
}

VersionStrings SomeVersion() {
    VersionStrings version;
    version.ProductName = QStringLiteral("Pramblex Pro");
    version.FileDescription = QStringLiteral("File recovery wizard");
    version.ProductVersion = QStringLiteral("3.0.2");
    version.Build = QStringLiteral("161");
    return version;
}

void SendMouse(QWidget* widget, QEvent::Type type) {
    if (type == QEvent::Leave) {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &leave);
        return;
    }
    const QPointF inside(2, 2);
    QMouseEvent event(type, inside, widget->mapToGlobal(inside), Qt::LeftButton,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

TEST_F(AboutForm, ShowsTheVersionStrings) {
    struct Case {
        VersionStrings version;
        QString name, description, version_text;
    };
    const Case cases[] = {
        {SomeVersion(), QStringLiteral("Pramblex Pro"), QStringLiteral("File recovery wizard"),
         QStringLiteral("3.0.2 (Build 161)")},
        {VersionStrings{}, QString(), QString(), QStringLiteral(" (Build )")},
    };
    for (const Case& test : cases) {
        const TAboutForm form(nullptr, test.version);
        EXPECT_EQ(LabelText(form, "LabelProgramName"), test.name);
        EXPECT_EQ(LabelText(form, "LabelProgramDescription"), test.description);
        EXPECT_EQ(LabelText(form, "LabelVersion"), QStringLiteral("Version:"));
        EXPECT_EQ(LabelText(form, "LabelProgramVersion"), test.version_text);
        EXPECT_EQ(LabelText(form, "LabelCopyright"), kLegalNotice);
        EXPECT_EQ(form.size(), QSize(409, 265));
        EXPECT_EQ(form.windowTitle(), QStringLiteral("About"));
        EXPECT_FALSE(form.findChild<QLabel*>(QStringLiteral("IconImage"))->isHidden());
    }
}

TEST_F(AboutForm, LinksShowTheAddressWithoutSchemeAndOpenItWhole) {
    TAboutForm form(nullptr, SomeVersion());
    struct Link {
        const char* name;
        QString address;
    };
    for (const Link& link :
         {Link{"LabelUrl", kMakerWebSite}, Link{"LabelSupport", kMakerSupportPage}}) {
        SCOPED_TRACE(link.name);
        auto* label = form.findChild<QLabel*>(QString::fromLatin1(link.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(),
                  link.address.sliced(link.address.indexOf(QStringLiteral("//")) + 2));
        EXPECT_FALSE(label->font().underline());
        SendMouse(label, QEvent::MouseMove);
        EXPECT_TRUE(label->font().underline());
        SendMouse(label, QEvent::Leave);
        EXPECT_FALSE(label->font().underline());

        shell.requests.clear();
        SendMouse(label, QEvent::MouseButtonPress);
        SendMouse(label, QEvent::MouseButtonRelease);
        EXPECT_EQ(shell.requests,
                  (std::vector<ShellRequest>{{ShellRequest::Kind::Address, link.address}}));
    }

    shell.accepts = false;
    prompts.expect(QStringLiteral("Unable to execute external program %1.").arg(kMakerWebSite),
                   kPromptOk);
    auto* url = form.findChild<QLabel*>(QStringLiteral("LabelUrl"));
    SendMouse(url, QEvent::MouseButtonRelease);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown().front().icon, PromptIcon::Error);
}

TEST_F(AboutForm, HelpAsksForTheAboutTopicAndOkCloses) {
    HTMLHelpInterfaceInit();
    QMainWindow mainWindow;
    mainWindow.setGeometry(200, 150, 800, 600);
    mainWindow.show();
    TAboutForm form(&mainWindow, SomeVersion());
    form.show();
    EXPECT_LE(
        (form.frameGeometry().center() - mainWindow.frameGeometry().center()).manhattanLength(), 4);
    form.findChild<QPushButton*>(QStringLiteral("ButtonHelp"))->click();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(help.topics, QStringList{QStringLiteral("/files/about.html")});
    form.findChild<QPushButton*>(QStringLiteral("ButtonOK"))->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    HTMLHelpInterfaceDone();
}

}  // namespace
