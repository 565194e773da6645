#include "wizard/forms/main/pages/types_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "wizard/forms/main/pages/page_parts.h"

namespace {

constexpr int kUpDownMaximum = 32767;
constexpr int kSideMargin = 14;

QCheckBox* AddCheckBox(QWidget* parent, const char* name, const QString& text) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QComboBox* AddComboBox(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

// An edit with its up-down buttons: one spin box named as the up-down, its line edit as
// the edit, so that either name finds its part.
QSpinBox* AddUpDownEdit(QWidget* parent, const char* upDownName, const char* editName) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(upDownName));
    spin->setRange(0, kUpDownMaximum);
    spin->findChild<QLineEdit*>()->setObjectName(QString::fromLatin1(editName));
    return spin;
}

QDateTimeEdit* AddDatePicker(QWidget* parent, const char* name) {
    auto* picker = new QDateTimeEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    return picker;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

TTypesSheet::TTypesSheet(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TypesTabSheet"));
    BuildPanel();
    BuildFilters();
    hint_ = AddTextLabel(this, "TypesHintLabel", QStringLiteral("Click Next to continue..."));
    SetFiltersShown(false);
}

void TTypesSheet::BuildPanel() {
    TypesPanel = new QWidget(this);
    TypesPanel->setObjectName(QStringLiteral("TypesPanel"));
    // It covers the filters below it.
    TypesPanel->setAutoFillBackground(true);
    QVBoxLayout* layout = AddPageLayout(
        TypesPanel, "TypesTopLabel",
        QStringLiteral("Step 2 of 9: Select file types you need to recover"));
    layout->setContentsMargins(kSideMargin, 10, kSideMargin, 4);
    QLabel* typesLabel = AddTextLabel(TypesPanel, "TypesLabel1",
                                      QStringLiteral("File &types that should be searched for and recovered:"));
    layout->addWidget(typesLabel);
    TypesTreeHost = new QWidget(TypesPanel);
    TypesTreeHost->setObjectName(QStringLiteral("TypesTreeHost"));
    auto* hostLayout = new QVBoxLayout(TypesTreeHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    typesLabel->setBuddy(TypesTreeHost);
    layout->addWidget(TypesTreeHost, 1);

    layout->addWidget(AddTextLabel(
        TypesPanel, "TypesLabel2",
        QStringLiteral("Additionally search for any files by their names (you can use wildcards in them):")));
    TypesFilenameCheckBox = AddCheckBox(TypesPanel, "TypesFilenameCheckBox",
                                        QStringLiteral("F&ile name (report*.doc; *.txt; *.wri ...):"));
    TypesFilenameEdit = new QLineEdit(TypesPanel);
    TypesFilenameEdit->setObjectName(QStringLiteral("TypesFilenameEdit"));
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(TypesFilenameCheckBox);
    nameRow->addWidget(TypesFilenameEdit, 1);
    layout->addLayout(nameRow);

    TypesShowFiltersButton = AddButton(TypesPanel, "TypesShowFiltersButton",
                                       QStringLiteral("&Show File Filters >>"));
    TypesHideFiltersButton = AddButton(TypesPanel, "TypesHideFiltersButton",
                                       QStringLiteral("&Hide File Filters <<"));
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(TypesShowFiltersButton);
    buttonRow->addWidget(TypesHideFiltersButton);
    layout->addLayout(buttonRow);
}

void TTypesSheet::BuildFilters() {
    TypesFilters = new QWidget(this);
    TypesFilters->setObjectName(QStringLiteral("TypesFilters"));
    auto* grid = new QGridLayout(TypesFilters);
    grid->setContentsMargins(kSideMargin, 4, kSideMargin, 0);
    grid->addWidget(AddTextLabel(TypesFilters, "TypesLabel3",
                                 QStringLiteral("Use additional file filters to narrow your search:")),
                    0, 0, 1, 5);

    TypesCreatedBetweenCheckBox = AddCheckBox(TypesFilters, "TypesCreatedBetweenCheckBox",
                                              QStringLiteral("Created bet&ween:"));
    TypesCreatedStartDateTimePicker = AddDatePicker(TypesFilters, "TypesCreatedStartDateTimePicker");
    TypesCreatedLabel = AddTextLabel(TypesFilters, "TypesCreatedLabel", QStringLiteral("and"), false);
    TypesCreatedEndDateTimePicker = AddDatePicker(TypesFilters, "TypesCreatedEndDateTimePicker");
    grid->addWidget(TypesCreatedBetweenCheckBox, 1, 0);
    grid->addWidget(TypesCreatedStartDateTimePicker, 1, 1, 1, 2);
    grid->addWidget(TypesCreatedLabel, 1, 3, Qt::AlignCenter);
    grid->addWidget(TypesCreatedEndDateTimePicker, 1, 4);

    TypesAgeCheckBox = AddCheckBox(TypesFilters, "TypesAgeCheckBox", QStringLiteral("Not &older than:"));
    TypesAgeEditUpDown = AddUpDownEdit(TypesFilters, "TypesAgeEditUpDown", "TypesAgeEdit");
    TypesAgeComboBox = AddComboBox(TypesFilters, "TypesAgeComboBox",
                                   {QStringLiteral("Minute(s)"), QStringLiteral("Hour(s)"),
                                    QStringLiteral("Day(s)"), QStringLiteral("Week(s)"),
                                    QStringLiteral("Month(s)"), QStringLiteral("Year(s)")});
    grid->addWidget(TypesAgeCheckBox, 2, 0);
    grid->addWidget(TypesAgeEditUpDown, 2, 1, 1, 2);
    grid->addWidget(TypesAgeComboBox, 2, 3, 1, 2, Qt::AlignLeft);

    TypesSizeCheckBox = AddCheckBox(TypesFilters, "TypesSizeCheckBox", QStringLiteral("File si&ze:"));
    TypesSizeSignComboBox = AddComboBox(TypesFilters, "TypesSizeSignComboBox",
                                        {QStringLiteral("="), QStringLiteral(">"), QStringLiteral("<")});
    TypesSizeValueEditUpDown = AddUpDownEdit(TypesFilters, "TypesSizeValueEditUpDown", "TypesSizeValueEdit");
    TypesSizeUnitComboBox = AddComboBox(TypesFilters, "TypesSizeUnitComboBox",
                                        {QStringLiteral("Bytes"), QStringLiteral("KBytes"),
                                         QStringLiteral("MBytes")});
    grid->addWidget(TypesSizeCheckBox, 3, 0);
    grid->addWidget(TypesSizeSignComboBox, 3, 1);
    grid->addWidget(TypesSizeValueEditUpDown, 3, 2);
    grid->addWidget(TypesSizeUnitComboBox, 3, 3, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(4, 1);
}

int TTypesSheet::PanelHeightFor(bool shown) const {
    return std::max(0, height() - (shown ? kShownFiltersMargin : kHiddenFiltersMargin));
}

void TTypesSheet::SetFiltersShown(bool shown) {
    filtersShown_ = shown;
    TypesShowFiltersButton->setVisible(!shown);
    TypesHideFiltersButton->setVisible(shown);
    TypesFilters->setVisible(shown);
    bottomMargin_ = shown ? kShownFiltersMargin : kHiddenFiltersMargin;
    PlaceChildren();
}

void TTypesSheet::SetPanelHeight(int height) {
    bottomMargin_ = std::max(0, this->height() - height);
    PlaceChildren();
}

void TTypesSheet::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceChildren();
}

void TTypesSheet::PlaceChildren() {
    const int pageHeight = height();
    TypesPanel->setGeometry(0, 0, width(), std::max(0, pageHeight - bottomMargin_));
    TypesFilters->setGeometry(0, pageHeight - kShownFiltersMargin, width(),
                              kShownFiltersMargin - kHiddenFiltersMargin);
    const int hintHeight = hint_->sizeHint().height();
    hint_->setGeometry(kSideMargin, pageHeight - hintHeight - 8, width() - 2 * kSideMargin, hintHeight);
    TypesPanel->raise();
}
