#include "wizard/forms/main/pages/finish_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "wizard/forms/widgets/page_parts.h"

namespace {

// A sentence with its button below it, to the right.
QPushButton* AddAction(QWidget* sheet, QVBoxLayout* layout, const char* labelName,
                       const QString& text, const char* buttonName, const QString& caption) {
    layout->addWidget(AddTextLabel(sheet, labelName, text));
    auto* button = new QPushButton(caption, sheet);
    button->setObjectName(QString::fromLatin1(buttonName));
    layout->addWidget(button, 0, Qt::AlignRight);
    layout->addSpacing(8);
    return button;
}

}  // namespace

FinishPage BuildFinishPage(QWidget* sheet) {
    QVBoxLayout* layout =
        AddPageLayout(sheet, "FinishTopLabel", QStringLiteral("Step 9 of 9: Recovery finished"));
    FinishPage page{};
    page.FinishFoundFilesLabel = AddTextLabel(sheet, "FinishFoundFilesLabel", QStringLiteral("0"), false);
    page.FinishRecoveredFilesLabel =
        AddTextLabel(sheet, "FinishRecoveredFilesLabel", QStringLiteral("0"), false);
    auto* counts = new QGridLayout;
    counts->setColumnStretch(1, 1);
    counts->addWidget(AddTextLabel(sheet, "FinishFoundLabel", QStringLiteral("Files found:"), false), 0, 0);
    counts->addWidget(page.FinishFoundFilesLabel, 0, 1);
    counts->addWidget(AddTextLabel(sheet, "FinishRecoveredLabel", QStringLiteral("Files recovered:"), false), 1, 0);
    counts->addWidget(page.FinishRecoveredFilesLabel, 1, 1);
    layout->addLayout(counts);
    layout->addSpacing(12);

    page.FinishExploreButton = AddAction(
        sheet, layout, "FinishExploreLabel", QStringLiteral("Open the file manager to view the recovered files."),
        "FinishExploreButton", QStringLiteral("&Explore Recovered Files"));
    page.FinishFeedbackButton = AddAction(
        sheet, layout, "FinishFeedbackLabel",
        QStringLiteral("We make great efforts in our work and we'd really like to know your "
                       "preferences and opinion. Please feel free to leave your comment!"),
        "FinishFeedbackButton", QStringLiteral("&Send your feedback to us!"));
    page.FinishNewButton = AddAction(
        sheet, layout, "FinishNewLabel",
        QStringLiteral("If you have not found the file you are looking for, try searching another drive."),
        "FinishNewButton", QStringLiteral("&Recover Another Drive"));
    layout->addStretch(1);
    return page;
}
