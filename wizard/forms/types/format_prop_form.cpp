#include "wizard/forms/types/format_prop_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>
#include <limits>

#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/help/help_service.h"
#include "wizard/translation/translate_form.h"

namespace {

constexpr int kOrderMinimum = 0;
constexpr int kOrderMaximum = 100;
constexpr int kScriptIdMinimum = -1;
constexpr int kScriptIdMaximum = 32767;

// The page last confirmed with OK during this run.
int rememberedPage = 0;

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

std::string ToUtf8(const QLineEdit* edit) {
    return edit->text().toStdString();
}

// A row of the grid: label, control, and an optional unit after it.
void AddRow(QGridLayout* grid, QLabel* label, QWidget* control, QLabel* unit = nullptr) {
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(control, row, 1);
    if (unit != nullptr) {
        grid->addWidget(unit, row, 2);
    }
    label->setBuddy(control);
}

void AddNote(QGridLayout* grid, QLabel* note) {
    grid->addWidget(note, grid->rowCount(), 1, 1, 2);
}

// Limits what is typed into an edit to `maximum` characters without cutting a longer text
// it was given: such a text may shrink but never grow. (While it validates, the edit
// already holds the new text, so the length before the change is kept here.)
class TypingLimit final : public QValidator {
public:
    TypingLimit(QLineEdit* edit, int maximum) : QValidator(edit), maximum_(maximum) {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { lengthBefore_ = text.size(); });
    }

    State validate(QString& input, int&) const override {
        return input.size() <= std::max<qsizetype>(maximum_, lengthBefore_) ? Acceptable : Invalid;
    }

private:
    int maximum_;
    qsizetype lengthBefore_ = 0;
};

}  // namespace

std::optional<std::int32_t> ParseDefaultSizeKb(const QString& text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const QChar character : text) {
        if (character < u'0' || character > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (character.unicode() - u'0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
    }
    if (value < 1) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

TFormatPropForm::TFormatPropForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormatPropForm"));
    buildLayout();
    FormCreate();
}

void TFormatPropForm::buildLayout() {
    setWindowTitle(QStringLiteral("File Format Properties"));
    pages_ = AddPageControl(this);

    QWidget* options = AddTabPage(pages_, "OptionsTabSheet", QStringLiteral("Options"));
    auto* optionsGrid = new QGridLayout(options);
    optionsSearchCheckBox_ = Named(
        new QCheckBox(QStringLiteral("Perform search files of this file format"), options),
        "OptionsSearchCheckBox");
    optionsGrid->addWidget(optionsSearchCheckBox_, 0, 0, 1, 3);
    optionsDefaultFileSizeEdit_ = Named(new QLineEdit(options), "OptionsDefaultFileSizeEdit");
    AddRow(optionsGrid,
           NamedLabel(options, "OptionsDefaultFileSizeLabel", QStringLiteral("Default file size:")),
           optionsDefaultFileSizeEdit_,
           NamedLabel(options, "OptionsDefaultFileSizeUnitLabel", QStringLiteral("KB")));
    AddNote(optionsGrid,
            NamedNote(options, "OptionsDefaultFileSizeNoteLabel",
                      QStringLiteral("Set MAX file size for this format. We need to know because "
                                     "some formats don't store their length internally.")));
    optionsOrderEdit_ = NamedSpinBox(options, "OptionsOrderEdit", kOrderMinimum, kOrderMaximum);
    AddRow(optionsGrid, NamedLabel(options, "OptionsOrderLabel", QStringLiteral("Recovery Order:")),
           optionsOrderEdit_);
    AddNote(optionsGrid,
            NamedNote(options, "OptionsOrderNoteLabel",
                      QStringLiteral("Order of this type in scan process. Set 0 for maximal and "
                                     "100 for minimal priority.")));
    optionsPrefixEdit_ = Named(new QLineEdit(options), "OptionsPrefixEdit");
    AddRow(optionsGrid,
           NamedLabel(options, "OptionsPrefixLabel", QStringLiteral("Recovered name prefix:")),
           optionsPrefixEdit_);
    AddNote(optionsGrid,
            NamedNote(options, "OptionsPrefixNoteLabel",
                      QStringLiteral("For example, for JPEG pictures enter 'image' and recovered "
                                     "file names will be named 'image_1.jpg', 'image_2.jpg', "
                                     "etc.")));
    optionsGrid->setRowStretch(optionsGrid->rowCount(), 1);
    optionsGrid->setColumnStretch(1, 1);

    QWidget* general = AddTabPage(pages_, "GeneralTabSheet", QStringLiteral("General"));
    auto* generalGrid = new QGridLayout(general);
    generalTitleEdit_ = Named(new QLineEdit(general), "GeneralTitleEdit");
    generalTitleEdit_->setValidator(new TypingLimit(generalTitleEdit_, kTitleMaxLength));
    AddRow(generalGrid, NamedLabel(general, "GeneralTitleLabel", QStringLiteral("Title:")),
           generalTitleEdit_);
    generalCategoryEdit_ = Named(new QLineEdit(general), "GeneralCategoryEdit");
    AddRow(generalGrid, NamedLabel(general, "GeneralCategoryLabel", QStringLiteral("Category:")),
           generalCategoryEdit_);
    generalDescriptionEdit_ = Named(new QLineEdit(general), "GeneralDescriptionEdit");
    AddRow(generalGrid,
           NamedLabel(general, "GeneralDescriptionLabel", QStringLiteral("Description:")),
           generalDescriptionEdit_);
    generalExtEdit_ = Named(new QLineEdit(general), "GeneralExtEdit");
    AddRow(generalGrid, NamedLabel(general, "GeneralExtLabel", QStringLiteral("File extensions:")),
           generalExtEdit_);
    AddNote(generalGrid, NamedNote(general, "GeneralExtNoteLabel",
                                   QStringLiteral("Comma separated, for example 'TXT,INI,LOG'.")));
    generalExtDefaultEdit_ = Named(new QLineEdit(general), "GeneralExtDefaultEdit");
    AddRow(generalGrid,
           NamedLabel(general, "GeneralExtDefaultLabel", QStringLiteral("Default extension:")),
           generalExtDefaultEdit_);
    generalGrid->setRowStretch(generalGrid->rowCount(), 1);
    generalGrid->setColumnStretch(1, 1);

    QWidget* internal = AddTabPage(pages_, "InternalTabSheet", QStringLiteral("Internal"));
    auto* internalGrid = new QGridLayout(internal);
    internalGrid->addWidget(NamedNote(internal, "InternalNoteLabel",
                                      QStringLiteral("Internal information - don't change!")),
                            0, 0, 1, 2);
    internalScriptIdEdit_ =
        NamedSpinBox(internal, "InternalScriptIdEdit", kScriptIdMinimum, kScriptIdMaximum);
    internalScriptIdEdit_->setEnabled(false);
    AddRow(internalGrid, NamedLabel(internal, "InternalScriptIdLabel", QStringLiteral("Script ID:")),
           internalScriptIdEdit_);
    internalPreviewAvailableCheckBox_ = Named(
        new QCheckBox(QStringLiteral("Preview available"), internal),
        "InternalPreviewAvailableCheckBox");
    internalPreviewAvailableCheckBox_->setEnabled(false);
    internalGrid->addWidget(internalPreviewAvailableCheckBox_, internalGrid->rowCount(), 0, 1, 2);
    internalGrid->setRowStretch(internalGrid->rowCount(), 1);
    internalGrid->setColumnStretch(1, 1);

    okButton_ = LayOutPagesAndButtons(this, pages_,
                                      {"BottomOKButton", "BottomCancelButton", "BottomHelpButton"},
                                      [this] { BottomHelpButtonClick(); });
    connect(optionsDefaultFileSizeEdit_, &QLineEdit::textChanged, this,
            [this] { updateOkButton(); });
    setMinimumWidth(420);
}

void TFormatPropForm::FormCreate() {
    TranslateForm({this});
}

void TFormatPropForm::fill(const TFormat& format) {
    optionsSearchCheckBox_->setChecked(format.Search);
    optionsDefaultFileSizeEdit_->setText(QString::number(format.DefaultSizeKb));
    optionsOrderEdit_->setValue(format.RecoveryOrder);
    optionsPrefixEdit_->setText(FromUtf8(format.FilePrefix));
    generalTitleEdit_->setText(FromUtf8(format.Title));
    generalCategoryEdit_->setText(FromUtf8(format.Category));
    generalDescriptionEdit_->setText(FromUtf8(format.Description));
    generalExtEdit_->setText(FromUtf8(format.FileExtensions));
    generalExtDefaultEdit_->setText(FromUtf8(format.DefaultExtension));
    internalScriptIdEdit_->setValue(format.SignatureId);
    signatureIdOutOfRange_.reset();
    if (format.SignatureId < kScriptIdMinimum || format.SignatureId > kScriptIdMaximum) {
        signatureIdOutOfRange_ = format.SignatureId;
    }
    internalPreviewAvailableCheckBox_->setChecked(format.PreviewAvailable);
    updateOkButton();
}

bool TFormatPropForm::copyTo(TFormat& format) const {
    const std::optional<std::int32_t> defaultSize =
        ParseDefaultSizeKb(optionsDefaultFileSizeEdit_->text());
    if (!defaultSize) {
        return false;
    }
    // Typed digits count even when the spin box has not taken them yet.
    optionsOrderEdit_->interpretText();
    format.Search = optionsSearchCheckBox_->isChecked();
    // A size typed here is meant from now on, also in place of this run's own choice.
    if (*defaultSize != format.DefaultSizeKb) format.SessionSizeKb.reset();
    format.DefaultSizeKb = *defaultSize;
    format.RecoveryOrder = optionsOrderEdit_->value();
    format.FilePrefix = ToUtf8(optionsPrefixEdit_);
    format.Title = ToUtf8(generalTitleEdit_);
    format.Category = ToUtf8(generalCategoryEdit_);
    format.Description = ToUtf8(generalDescriptionEdit_);
    format.FileExtensions = ToUtf8(generalExtEdit_);
    format.DefaultExtension = ToUtf8(generalExtDefaultEdit_);
    format.SignatureId = signatureIdOutOfRange_.value_or(internalScriptIdEdit_->value());
    format.PreviewAvailable = internalPreviewAvailableCheckBox_->isChecked();
    return true;
}

int TFormatPropForm::activePage() const {
    return pages_->currentIndex();
}

void TFormatPropForm::setActivePage(int page) {
    pages_->setCurrentIndex(page);
}

void TFormatPropForm::updateOkButton() {
    okButton_->setEnabled(ParseDefaultSizeKb(optionsDefaultFileSizeEdit_->text()).has_value());
}

void TFormatPropForm::BottomHelpButtonClick() {
    PostHelpKey(this);
}

void TFormatPropForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        helpService().ShowHelpTopic(kHelpTopic);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool EditFormatProperties(TFormat& format, QWidget* parent) {
    TFormatPropForm form(parent);
    form.setWindowTitle(form.windowTitle() + QStringLiteral(" - [") +
                        QString::fromStdString(format.Title) + u']');
    form.fill(format);
    form.setActivePage(rememberedPage);
    if (form.exec() != QDialog::Accepted || !form.copyTo(format)) {
        return false;
    }
    rememberedPage = form.activePage();
    return true;
}
