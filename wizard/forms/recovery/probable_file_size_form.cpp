#include "wizard/forms/recovery/probable_file_size_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <limits>

#include "wizard/forms/widgets/dialog_parts.h"
#include "wizard/translation/safe_format.h"
#include "wizard/translation/translate_form.h"

namespace {

constexpr int kClientWidth = 459;
constexpr int kClientHeight = 416;

const QString kTopEnglish = QStringLiteral(
    "The file of the '%s' type is found, but its attributes such as name, parent folder, size, "
    "security settings, etc. are lost. We tried to determine its size by its content, but did "
    "not succeed. We don't know the exact size of this particular file.");

}  // namespace

std::optional<std::int32_t> ParseSizeKb(const QString& text) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < 1 || value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

TProbableFileSizeForm::TProbableFileSizeForm(QWidget* parent)
    : THelpKeywordDialog(kHelpTopic, parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("ProbableFileSizeForm"));
    setWindowTitle(QStringLiteral("Enter probable file size"));

    labelTop_ = BoldLabel(this, "LabelTop", kTopEnglish);
    labelTop_->setWordWrap(true);
    auto* fileInfo = PlainLabel(this, "LabelFileInfo", QStringLiteral("Information about the file found:"));
    auto* info = new QGridLayout;
    const auto addInfoRow = [&](int row, const char* labelName, const QString& caption, const char* valueName) {
        info->addWidget(PlainLabel(this, labelName, caption), row, 0);
        QLabel* value = BoldLabel(this, valueName, QStringLiteral("#"));
        info->addWidget(value, row, 1);
        return value;
    };
    clusterId_ = addInfoRow(0, "LabelFileClusterId", QStringLiteral("Cluser ID:"), "LabelFileInfoClusterId");
    name_ = addInfoRow(1, "LabelFileName", QStringLiteral("Name:"), "LabelFileInfoName");
    type_ = addInfoRow(2, "LabelFileType", QStringLiteral("Type:"), "LabelFileInfoType");
    condition_ = addInfoRow(3, "LabelFileCondition", QStringLiteral("Condition:"), "LabelFileInfoCondition");
    info->setColumnStretch(1, 1);

    auto* defaultRow = new QHBoxLayout;
    defaultRow->addWidget(PlainLabel(this, "LabelDefaultProbable",
                                     QStringLiteral("The default file size for this file type is:")),
                          1);
    defaultSize_ = BoldLabel(this, "LabelDefaultProbableSize", QString());
    defaultSize_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    defaultRow->addWidget(defaultSize_);
    defaultRow->addWidget(PlainLabel(this, "LabelDefaultProbableKb", QStringLiteral("KB")));
    auto* newRow = new QHBoxLayout;
    newRow->addWidget(PlainLabel(this, "LabelNewProbable", QStringLiteral("The new probable file size is:")), 1);
    newProbableEdit_ = new QLineEdit(this);
    newProbableEdit_->setObjectName(QStringLiteral("NewProbableEdit"));
    newProbableEdit_->setAlignment(Qt::AlignRight);
    newRow->addWidget(newProbableEdit_);
    newRow->addWidget(PlainLabel(this, "LabelNewProbableKb", QStringLiteral("KB")));
    auto* newNote = PlainLabel(this, "LabelNewProbableNote",
                               QStringLiteral("Some file types can be of any size: from one kilobyte and up to "
                                              "several gigabytes (for example AVI video, etc.)..."),
                               true);

    auto* useFor = PlainLabel(this, "UseForLabel", QStringLiteral("Use the selected size for:"));
    thisFileOnly_ = new QRadioButton(QStringLiteral("This file only"), this);
    thisFileOnly_->setObjectName(QStringLiteral("UseForRadioButtonThisFileOnly"));
    allFilesInSession_ =
        new QRadioButton(QStringLiteral("All files of this type in the current recovery session"), this);
    allFilesInSession_->setObjectName(QStringLiteral("UseForRadioButtonAllFilesInSession"));
    allFilesInSession_->setChecked(true);
    auto* allSessions = new QRadioButton(
        QStringLiteral("All files of this type for the current and future recovery sessions"), this);
    allSessions->setObjectName(QStringLiteral("UseForRadioButtonAllFilesAllSessions"));
    dontAsk_ = new QCheckBox(
        QStringLiteral("Don't ask me again, just use the default probable file size for all file types"), this);
    dontAsk_->setObjectName(QStringLiteral("DontAskCheckBox"));

    auto* recover = ResultButton(this, this, "BottomButtonOk", QStringLiteral("&Recover"), kResultOk);
    recover->setDefault(true);
    auto* skip = ResultButton(this, this, "BottomButtonCancel", QStringLiteral("&Skip File"), kResultSkipFile);
    auto* cancel = ResultButton(this, this, "Button1", QStringLiteral("&Cancel"), kResultCancel);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("BottomButtonHelp"));
    connect(help, &QPushButton::clicked, this, [this] { PressHelpKey(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {recover, skip, cancel, help}) buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labelTop_);
    layout->addWidget(fileInfo);
    layout->addLayout(info);
    layout->addLayout(defaultRow);
    layout->addLayout(newRow);
    layout->addWidget(newNote);
    layout->addWidget(useFor);
    layout->addWidget(thisFileOnly_);
    layout->addWidget(allFilesInSession_);
    layout->addWidget(allSessions);
    layout->addWidget(dontAsk_);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(ScaledToScreen(kClientWidth), ScaledToScreen(kClientHeight));
    FormCreate();
}

void TProbableFileSizeForm::FormCreate() {
    TranslateForm({this});
    topFormat_ = labelTop_->text();
}

void TProbableFileSizeForm::Fill(const FileInfo& info) {
    labelTop_->setText(SafeFormat(topFormat_, kTopEnglish, info.typeName));
    clusterId_->setText(QString::number(info.firstCluster));
    name_->setText(info.name);
    type_->setText(info.typeName);
    condition_->setText(info.condition);
    defaultSize_->setText(QString::number(info.defaultSizeKb));
    newProbableEdit_->setText(QString::number(info.defaultSizeKb));
}

std::optional<std::int32_t> TProbableFileSizeForm::NewSizeKb() const { return ParseSizeKb(newProbableEdit_->text()); }

TProbableFileSizeForm::UseFor TProbableFileSizeForm::SelectedUse() const {
    if (thisFileOnly_->isChecked()) return UseFor::ThisFileOnly;
    if (allFilesInSession_->isChecked()) return UseFor::AllFilesInSession;
    return UseFor::AllFilesAllSessions;
}

bool TProbableFileSizeForm::DontAsk() const { return dontAsk_->isChecked(); }
