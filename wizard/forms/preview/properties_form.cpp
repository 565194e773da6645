#include "wizard/forms/preview/properties_form.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "wizard/bridge/engine_api.h"
#include "wizard/forms/preview/properties_icons.h"
#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/help/help_keyword.h"
#include "wizard/translation/safe_format.h"
#include "wizard/translation/translate_form.h"
#include "wizard/utilities/text/date_time_text.h"
#include "wizard/utilities/text/number_text.h"

namespace {

const QString kIdFormat = QStringLiteral("%d, parent Id: %d");
constexpr QSize kFormSize{359, 416};

// A read-only field that looks like a label but lets the user select and scroll its text.
QLineEdit* AddField(QWidget* owner, const QString& name) {
    auto* field = new QLineEdit(QStringLiteral("---"), owner);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFrame(false);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
    return field;
}

QFrame* Bevel(QWidget* owner) {
    auto* line = new QFrame(owner);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

PropertiesIcon IconOf(const TBaseElement& element) {
    if (element.IsFolder()) {
        if (element.IsDeleted()) return PropertiesIcon::DeletedFolder;
        return element.ContainsDeleted() ? PropertiesIcon::FolderWithDeleted : PropertiesIcon::LiveFolder;
    }
    return element.IsDeleted() ? PropertiesIcon::DeletedFile : PropertiesIcon::LiveFile;
}

QString StatusText(const TBaseElement& element) {
    if (element.IsDeleted()) return TranslateString(QStringLiteral("Deleted"), QStringLiteral("strDeleted"));
    if (element.ContainsDeleted()) {
        return TranslateString(QStringLiteral("Live, but contain deleted"), QStringLiteral("strLiveContainDeleted"));
    }
    return TranslateString(QStringLiteral("Live"), QStringLiteral("strLive"));
}

// The form keeps its width unless its captions (a translation's, or a long id) need more.
void FitWidth(QDialog& form) {
    form.setFixedWidth(std::max(kFormSize.width(), form.layout()->minimumSize().width()));
}

}  // namespace

TPropertiesForm::TPropertiesForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("PropertiesForm"));
    SetHelpKeyword(this, kHelpTopic);
    BuildLayout();
    TranslateForm({this});
    FitWidth(*this);
}

void TPropertiesForm::BuildLayout() {
    setWindowTitle(QStringLiteral("Properties"));
    setFixedSize(kFormSize);

    QTabWidget* pages = AddPageControl(this);
    QWidget* general = AddTabPage(pages, "GeneralFileTabSheet", QStringLiteral("General"));

    auto* iconPlace = new QWidget(general);
    iconPlace->setFixedSize(32, 32);
    for (int i = 0; i < 5; ++i) {
        icons_[i] = NamedLabel(iconPlace, QByteArray("GeneralFileImage").append(char('0' + i)).constData(), QString());
        icons_[i]->setPixmap(PropertiesIconPicture(static_cast<PropertiesIcon>(i)));
        icons_[i]->setGeometry(0, 0, 32, 32);
        icons_[i]->hide();
    }
    name_ = AddField(general, QStringLiteral("GeneralFileNameEdit"));
    id_ = NamedLabel(general, "GeneralFileIdEdit", kIdFormat);
    id_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    parentButton_ = new QToolButton(general);
    parentButton_->setObjectName(QStringLiteral("GeneralFileSpeedButton"));
    parentButton_->setText(QStringLiteral("..."));
    connect(parentButton_, &QToolButton::clicked, this, &TPropertiesForm::GeneralFileSpeedButtonClick);

    auto* grid = new QGridLayout(general);
    grid->setColumnStretch(1, 1);
    int row = 0;
    grid->addWidget(iconPlace, row, 0);
    grid->addWidget(name_, row++, 1, 1, 2);
    grid->addWidget(Bevel(general), row++, 0, 1, 3);
    const auto addRow = [&](const char* labelName, const char* caption, QWidget* value) {
        grid->addWidget(NamedLabel(general, labelName, QString::fromLatin1(caption)), row, 0);
        grid->addWidget(value, row++, 1, 1, value == id_ ? 1 : 2);
    };
    addRow("GeneralFileIdLabel", "Id:", id_);
    grid->addWidget(parentButton_, row - 1, 2);
    addRow("GeneralFileStatusLabel", "Status:", status_ = AddField(general, QStringLiteral("GeneralFileStatusEdit")));
    grid->addWidget(Bevel(general), row++, 0, 1, 3);
    addRow("GeneralFileTypeLabel", "Type:", type_ = AddField(general, QStringLiteral("GeneralFileTypeEdit")));
    addRow("GeneralFileLocationLabel",
           "Location:", location_ = AddField(general, QStringLiteral("GeneralFileLocationEdit")));
    addRow("GeneralFileSizeLabel", "Size:", size_ = AddField(general, QStringLiteral("GeneralFileSizeEdit")));
    addRow("GeneralFileSizeOnDiskLabel", "Size on disk",
           sizeOnDisk_ = AddField(general, QStringLiteral("GeneralFileSizeOnDiskEdit")));
    grid->addWidget(Bevel(general), row++, 0, 1, 3);
    addRow("GeneralFileCreatedLabel",
           "Created:", created_ = AddField(general, QStringLiteral("GeneralFileCreatedEdit")));
    addRow("GeneralFileModifiedLabel",
           "Modified:", modified_ = AddField(general, QStringLiteral("GeneralFileModifiedEdit")));
    addRow("GeneralFileAccessedLabel",
           "Accessed:", accessed_ = AddField(general, QStringLiteral("GeneralFileAccessedEdit")));
    grid->setRowStretch(row, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages, 1);
    layout->addLayout(AddOkHelpRow(this, {"OkButton", QStringLiteral("&OK")}, {"HelpButton", QStringLiteral("&Help")}));
}

// "<size text> (<digits> bytes)"; the size on disk opens with "( ".
QString TPropertiesForm::BytesText(std::int64_t size, const char* opening) const {
    return FormatFileSize(size) + QLatin1String(opening) + FormatNumberText(size) + u' ' +
           TranslateString(QStringLiteral("bytes"), QStringLiteral("strBytes")) + u')';
}

void TPropertiesForm::Fill(TBaseElement& element) {
    element_ = &element;
    const FoundFileRecord& record = element.Record();
    const QString name = QString::fromStdString(element.Name());
    setWindowTitle(name + u' ' + windowTitle());
    name_->setText(name + QStringLiteral(" (byte offset: ") +
                   FormatNumberText(static_cast<std::int64_t>(record.DataPosition)) + u')');
    // The caption as translated is the format; one that does not fit falls back.
    id_->setText(SafeFormat(id_->text(), kIdFormat, static_cast<std::int64_t>(record.RecordNumber),
                            static_cast<std::int64_t>(record.ParentNumber)));
    icons_[static_cast<int>(IconOf(element))]->show();
    status_->setText(StatusText(element));
    type_->setText(QString::fromStdString(element.TypeName()));
    location_->setText(QString::fromStdString(element.Path()));

    const std::int64_t size = element.Size();
    // An unknown size shows nothing on either line.
    size_->setText(size < 0 ? QString() : BytesText(size, " ("));
    std::int64_t rounded = 0;
    // A size within a cluster of the largest number has no rounded size: it stands as it is.
    if (size < 0 || size % kClusterBytes == 0 ||
        __builtin_mul_overflow(size / kClusterBytes + 1, kClusterBytes, &rounded)) {
        sizeOnDisk_->setText(size_->text());
    } else {
        sizeOnDisk_->setText(BytesText(rounded, " ( "));
    }
    created_->setText(DateTimeText(element.Created()));
    modified_->setText(DateTimeText(element.Modified()));
    accessed_->setText(DateTimeText(element.Accessed()));
    // A long name shows its start, not its end.
    for (QLineEdit* field : {name_, status_, type_, location_, size_, sizeOnDisk_, created_, modified_, accessed_}) {
        field->setCursorPosition(0);
    }
    FitWidth(*this);
}

void TPropertiesForm::GeneralFileSpeedButtonClick() {
    if (!element_) return;
    const std::uint64_t parent = element_->Record().ParentNumber;
    const FoundFileRecord* record =
        engine().FileGetInfo(static_cast<std::uint32_t>(parent), static_cast<std::uint32_t>(parent >> 32));
    if (!record || (record->Flags & kFileDamaged) != 0) return;
    // The engine reuses its record at the next call: the element copies it now.
    TBaseElement folder(*record, 0, element_->Drive());
    ShowFileProperties(folder, this);
}

void TPropertiesForm::HelpButtonClick() { PostHelpKey(this); }

bool ShowFileProperties(TBaseElement& element, QWidget* parent) {
    TPropertiesForm form(parent);
    form.Fill(element);
    if (const QScreen* screen = form.screen()) {
        form.move(screen->availableGeometry().center() - form.rect().center());
    }
    form.exec();
    return true;
}
