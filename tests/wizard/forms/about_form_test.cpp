// The About box: version text with the build, link labels without their scheme that open
// the whole address.

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "wizard/forms/about_form.h"
#include "wizard/support/wizard_test.h"
#include "wizard/utilities/maker_info.h"

namespace {

using AboutForm = WizardTest;

QString LabelText(const QWidget& form, const char* name) {
    const auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<missing>");
}

VersionStrings SomeVersion() {
    VersionStrings version;
    version.ProductVersion = QStringLiteral("3.0.2");
    version.Build = QStringLiteral("161");
    return version;
}

void SendMouse(QWidget* widget, QEvent::Type type) {
    const QPointF inside(2, 2);
    QMouseEvent event(type, inside, widget->mapToGlobal(inside), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

TEST_F(AboutForm, ShowsTheBuildAndLinksShowTheAddressWithoutSchemeAndOpenItWhole) {
    TAboutForm form(nullptr, SomeVersion());
    EXPECT_EQ(LabelText(form, "LabelProgramVersion"), QStringLiteral("3.0.2 (Build 161)"));
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
        shell.requests.clear();
        SendMouse(label, QEvent::MouseButtonPress);
        SendMouse(label, QEvent::MouseButtonRelease);
        EXPECT_EQ(shell.requests,
                  (std::vector<ShellRequest>{{ShellRequest::Kind::Address, link.address}}));
    }
}

}  // namespace
