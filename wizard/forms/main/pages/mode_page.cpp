#include "wizard/forms/main/pages/mode_page.h"

#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "wizard/forms/widgets/page_parts.h"

namespace {

constexpr int kExplanationIndent = 22;

QRadioButton* AddChoice(QWidget* sheet, QVBoxLayout* layout, const char* name, const QString& text,
                        const char* explanationName, const QString& explanation) {
    auto* button = new QRadioButton(text, sheet);
    button->setObjectName(QString::fromLatin1(name));
    layout->addWidget(button);
    QLabel* label = AddTextLabel(sheet, explanationName, explanation);
    label->setContentsMargins(kExplanationIndent, 0, 0, 0);
    layout->addWidget(label);
    layout->addSpacing(10);
    return button;
}

}  // namespace

ModePage BuildModePage(QWidget* sheet) {
    QVBoxLayout* layout = AddPageLayout(sheet, "ModeTopLabel",
                                        QStringLiteral("Step 3 of 9: Choose sector-by-sector scan mode"));
    layout->addWidget(AddTextLabel(sheet, "ModeLabelType", QStringLiteral("Select what the program should do:")));
    layout->addSpacing(6);
    ModePage page{};
    page.ModeDeletedRadioButton = AddChoice(
        sheet, layout, "ModeDeletedRadioButton", QStringLiteral("Scan &free drive space only"),
        "ModeDeletedLabel",
        QStringLiteral("The program will look for deleted files in the free drive space only. "
                       "Only the free clusters will be checked, therefore it is relatively fast."));
    page.ModeCorruptedRadioButton = AddChoice(
        sheet, layout, "ModeCorruptedRadioButton", QStringLiteral("Scan &entire drive"),
        "ModeCorruptedLabel",
        QStringLiteral("Files invisible to the file system will be included in the search. "
                       "Every cluster will be checked, therefore the scan will be slower."));
    AddHintLabel(sheet, layout, "ModeHintLabel");
    return page;
}
