#include "wizard/forms/main/pages/autopilot_page.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "wizard/forms/widgets/page_parts.h"
#include "wizard/forms/widgets/wrapping_check_box.h"

AutopilotPage BuildAutopilotPage(QWidget* sheet) {
    QVBoxLayout* layout = AddPageLayout(
        sheet, "AutopilotTopLabel", QStringLiteral("Step 4 of 9: Let the computer do all the work for you!"));
    QLabel* autopilotLabel = AddTextLabel(sheet, "AutopilotLabel1", QStringLiteral("Auto-pilot:"));
    QFont bold = autopilotLabel->font();
    bold.setBold(true);
    autopilotLabel->setFont(bold);
    layout->addWidget(autopilotLabel);

    AutopilotPage page{};
    page.AutopilotCheckBox = new TWrappingCheckBox(
        QStringLiteral("AutopilotCheckBox"),
        QStringLiteral("&Automatically recovers every file it finds to the specified target "
                       "location. You do not have to sit in front of the computer and wait while "
                       "the entire drive is scanned. Use carefully - you should have enough free "
                       "space on the target drive!"),
        sheet);
    layout->addWidget(page.AutopilotCheckBox);
    layout->addSpacing(10);

    QLabel* folderLabel = AddTextLabel(
        sheet, "AutopilotFolderLabel1",
        QStringLiteral("The &target folder where the recovered files will be saved:"));
    layout->addWidget(folderLabel);
    page.AutopilotFolderEdit = new QLineEdit(sheet);
    page.AutopilotFolderEdit->setObjectName(QStringLiteral("AutopilotFolderEdit"));
    folderLabel->setBuddy(page.AutopilotFolderEdit);
    page.AutopilotFolderBrowse = new QPushButton(QStringLiteral("Br&owse..."), sheet);
    page.AutopilotFolderBrowse->setObjectName(QStringLiteral("AutopilotFolderBrowse"));
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(page.AutopilotFolderEdit, 1);
    folderRow->addWidget(page.AutopilotFolderBrowse);
    layout->addLayout(folderRow);

    QLabel* warning = AddTextLabel(
        sheet, "AutopilotFolderLabel2",
        QStringLiteral("Never try to save recovered files to the same logical disk where they "
                       "were located before or you may face unpredictable results and lose all "
                       "your data!"));
    QPalette red = warning->palette();
    red.setColor(QPalette::WindowText, Qt::darkRed);
    warning->setPalette(red);
    layout->addWidget(warning);
    layout->addSpacing(6);

    page.AutopilotKeepFolderStructureCheckBox =
        new QCheckBox(QStringLiteral("&Keep the folder structure"), sheet);
    page.AutopilotKeepFolderStructureCheckBox->setObjectName(
        QStringLiteral("AutopilotKeepFolderStructureCheckBox"));
    layout->addWidget(page.AutopilotKeepFolderStructureCheckBox);

    AddHintLabel(sheet, layout, "AutopilotHintLabel");
    return page;
}
