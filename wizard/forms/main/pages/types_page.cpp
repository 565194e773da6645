#include "wizard/forms/main/pages/types_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "wizard/forms/types/filter_slide.h"
#include "wizard/forms/types/types_panel.h"
#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/forms/widgets/page_parts.h"

namespace {

constexpr int kUpDownMaximum = 32767;
constexpr int kSideMargin = 8;

QComboBox* AddComboBox(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = Named(new QComboBox(parent), name);
    box->addItems(items);
    return box;
}

// An edit with its up-down buttons: one spin box named as the up-down, its line edit as
// the edit, so that either name finds its part.
QSpinBox* AddUpDownEdit(QWidget* parent, const char* upDownName, const char* editName) {
    QSpinBox* spin = NamedSpinBox(parent, upDownName, 0, kUpDownMaximum);
    spin->findChild<QLineEdit*>()->setObjectName(QString::fromLatin1(editName));
    return spin;
}

QDateTimeEdit* AddDatePicker(QWidget* parent, const char* name) {
    auto* picker = Named(new QDateTimeEdit(parent), name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    return picker;
}

}  // namespace

TTypesSheet::TTypesSheet(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TypesTabSheet"));
    QVBoxLayout* layout = AddPageLayout(
        this, "TypesTopLabel", QStringLiteral("Step 2 of 9: Select file types you need to recover"));
    // The panel keeps margins of its own: the page's column leaves room for them.
    layout->setContentsMargins(6, 10, 6, 0);
    findChild<QLabel*>(QStringLiteral("TypesTopLabel"))->setContentsMargins(8, 0, 8, 0);
    body_ = Named(new QWidget(this), "TypesBody");
    layout->addWidget(body_, 1);
    body_->installEventFilter(this);
    BuildFilters(body_);
    hint_ = AddTextLabel(body_, "TypesHintLabel", QStringLiteral("Click Next to continue..."));
    // Made last, so that it lies over the filters it covers.
    TypesPanel = new TTypesPanel(body_);
    // The filters show while they are uncovered: from a Show click until the Hide button
    // gives way again at the end of the slide back.
    auto* show = TypesPanel->findChild<QPushButton*>(QStringLiteral("TypesShowFiltersButton"));
    auto* hide = TypesPanel->findChild<QPushButton*>(QStringLiteral("TypesHideFiltersButton"));
    connect(show, &QPushButton::clicked, TypesFilters, &QWidget::show);
    hide->installEventFilter(this);
    TypesFilters->setVisible(TypesPanel->filtersShown());
}

void TTypesSheet::BuildFilters(QWidget* body) {
    TypesFilters = Named(new QWidget(body), "TypesFilters");
    auto* grid = new QGridLayout(TypesFilters);
    grid->setContentsMargins(kSideMargin, 4, kSideMargin, 0);
    grid->addWidget(AddTextLabel(TypesFilters, "TypesLabel3",
                                 QStringLiteral("Use additional file filters to narrow your search:")),
                    0, 0, 1, 5);

    TypesCreatedBetweenCheckBox =
        Named(new QCheckBox(QStringLiteral("Created bet&ween:"), TypesFilters), "TypesCreatedBetweenCheckBox");
    TypesCreatedStartDateTimePicker = AddDatePicker(TypesFilters, "TypesCreatedStartDateTimePicker");
    TypesCreatedLabel = AddTextLabel(TypesFilters, "TypesCreatedLabel", QStringLiteral("and"), false);
    TypesCreatedEndDateTimePicker = AddDatePicker(TypesFilters, "TypesCreatedEndDateTimePicker");
    grid->addWidget(TypesCreatedBetweenCheckBox, 1, 0);
    grid->addWidget(TypesCreatedStartDateTimePicker, 1, 1, 1, 2);
    grid->addWidget(TypesCreatedLabel, 1, 3, Qt::AlignCenter);
    grid->addWidget(TypesCreatedEndDateTimePicker, 1, 4);

    TypesAgeCheckBox = Named(new QCheckBox(QStringLiteral("Not &older than:"), TypesFilters), "TypesAgeCheckBox");
    TypesAgeEditUpDown = AddUpDownEdit(TypesFilters, "TypesAgeEditUpDown", "TypesAgeEdit");
    TypesAgeComboBox = AddComboBox(TypesFilters, "TypesAgeComboBox",
                                   {QStringLiteral("Minute(s)"), QStringLiteral("Hour(s)"),
                                    QStringLiteral("Day(s)"), QStringLiteral("Week(s)"),
                                    QStringLiteral("Month(s)"), QStringLiteral("Year(s)")});
    grid->addWidget(TypesAgeCheckBox, 2, 0);
    grid->addWidget(TypesAgeEditUpDown, 2, 1, 1, 2);
    grid->addWidget(TypesAgeComboBox, 2, 3, 1, 2, Qt::AlignLeft);

    TypesSizeCheckBox = Named(new QCheckBox(QStringLiteral("File si&ze:"), TypesFilters), "TypesSizeCheckBox");
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

void TTypesSheet::PlaceFilters() {
    const int height = body_->height();
    TypesFilters->setGeometry(0, height - FilterSlide::kShownMargin, body_->width(),
                              FilterSlide::kShownMargin - FilterSlide::kHiddenMargin);
    const int hintHeight = hint_->sizeHint().height();
    hint_->setGeometry(kSideMargin, height - hintHeight - 8, body_->width() - 2 * kSideMargin, hintHeight);
}

bool TTypesSheet::eventFilter(QObject* watched, QEvent* event) {
    if (watched == body_ && event->type() == QEvent::Resize) {
        PlaceFilters();
    } else if (watched != body_ && event->type() == QEvent::HideToParent) {
        TypesFilters->hide();
    } else if (watched != body_ && event->type() == QEvent::ShowToParent) {
        TypesFilters->show();
    }
    return QWidget::eventFilter(watched, event);
}
