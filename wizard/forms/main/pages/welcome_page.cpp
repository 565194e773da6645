#include "wizard/forms/main/pages/welcome_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "wizard/forms/widgets/link_label.h"
#include "wizard/forms/widgets/page_parts.h"

WelcomePage BuildWelcomePage(QWidget* sheet) {
    QVBoxLayout* layout = AddPageLayout(sheet, "WelcomeTopLabel", QStringLiteral("Welcome"));
    layout->addWidget(AddTextLabel(
        sheet, "WelcomeLabel1",
        QStringLiteral("This wizard will help you to recover your lost document files and data "
                       "from all types of media. The software supports recovery after an "
                       "accidental deletion, a power spike, a virus attack, formatting or "
                       "corrupting media, a hardware malfunction or for some other reason.")));
    layout->addSpacing(6);
    layout->addWidget(AddTextLabel(
        sheet, "WelcomeLabel2",
        QStringLiteral("Program will analyze every sector of your data storage device (Hard "
                       "Drive, USB Disk or Flash Memory) in order to find deleted and lost "
                       "files. The program \"knows\" the internal file format so it can "
                       "automatically recognize a file by looking at the disembodied data on "
                       "your drive. When the program locates a recognized data sequence, it "
                       "starts the RECOVERY process and reconstructs the file on another disk "
                       "drive sector by sector with the maximal possible integrity.")));
    layout->addSpacing(10);

    WelcomePage page{};
    page.WelcomeCopyrightLabel = AddTextLabel(sheet, "WelcomeCopyrightLabel", QString());
    layout->addWidget(page.WelcomeCopyrightLabel);

    page.WelcomeSupportURLLabel = new TLinkLabel(QStringLiteral("WelcomeSupportURLLabel"),
                                                 TLinkLabel::Hover::OnMove, sheet);
    page.WelcomeHomepageURLLabel = new TLinkLabel(QStringLiteral("WelcomeHomepageURLLabel"),
                                                  TLinkLabel::Hover::OnEnter, sheet);
    page.WelcomeProgramVersionLabel = AddTextLabel(sheet, "WelcomeProgramVersionLabel", QString());
    auto* facts = new QGridLayout;
    facts->setColumnStretch(1, 1);
    facts->addWidget(AddTextLabel(sheet, "WelcomeSupportLabel", QStringLiteral("Support:"), false), 0, 0);
    facts->addWidget(page.WelcomeSupportURLLabel, 0, 1, Qt::AlignLeft);
    facts->addWidget(AddTextLabel(sheet, "WelcomeHomepageLabel", QStringLiteral("Homepage:"), false), 1, 0);
    facts->addWidget(page.WelcomeHomepageURLLabel, 1, 1, Qt::AlignLeft);
    facts->addWidget(AddTextLabel(sheet, "WelcomeVersionLabel", QStringLiteral("Version: "), false), 2, 0);
    facts->addWidget(page.WelcomeProgramVersionLabel, 2, 1);
    layout->addLayout(facts);

    AddHintLabel(sheet, layout, "WelcomeHintLabel");
    return page;
}
