// The About box: version text with the build, link labels without their scheme that open
// the whole address, underlined while the mouse is over them.

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "wizard/forms/about_form.h"
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

TEST_F(AboutForm, ShowsTheVersionWithItsBuild) {
    const TAboutForm form(nullptr, SomeVersion());
    EXPECT_EQ(LabelText(form, "LabelProgramName"), QStringLiteral("Pramblex Pro"));
    EXPECT_EQ(LabelText(form, "LabelProgramVersion"), QStringLiteral("3.0.2 (Build 161)"));
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
}

}  // namespace
