#include "wizard/forms/drive_properties_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdint>

#include "wizard/bridge/engine_api.h"
#include "wizard/bridge/record_text.h"
#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/help/help_keyword.h"
#include "wizard/translation/translate_form.h"
#include "wizard/utilities/same_drive.h"
#include "wizard/utilities/text/number_text.h"

namespace {

const QString kNotFilled = QStringLiteral("---");

// One capability line: the volume flag it shows.
struct Capability {
    const char* label;
    std::uint32_t mask;
};

constexpr Capability kCapabilities[TDrivePropertiesForm::kCapabilityCount] = {
    {"Named streams:", 0x40000},
    {"Read only:", 0x80000},
    {"Object Identifiers:", 0x10000},
    {"Reparse Points:", 0x80},
    {"Sparse Files:", 0x40},
    {"Disk Quotas:", 0x20},
    {"Preserves the case of file names:", 0x2},
    {"Case-sensitive file names:", 0x1},
    {"File-based compression:", 0x10},
    {"Encrypted File System (EFS):", 0x20000},
    {"Preserves and enforces ACLs:", 0x8},
    {"Unicode in file names as they appear on disk:", 0x4},
    {"Compressed volume:", 0x8000},
};

QLineEdit* AddValue(QWidget* page, const QString& name) {
    auto* edit = new QLineEdit(kNotFilled, page);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    return edit;
}

// One "caption: value" row of a page.
QLineEdit* AddRow(QWidget* page, QFormLayout* rows, const char* name, const char* caption) {
    auto* label = new QLabel(QString::fromLatin1(caption), page);
    label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    QLineEdit* edit = AddValue(page, QString::fromLatin1(name) + QStringLiteral("Edit"));
    rows->addRow(label, edit);
    return edit;
}

QWidget* AddPage(QTabWidget* pages, const char* name, const QString& caption, QFormLayout*& rows) {
    auto* page = new QWidget(pages);
    page->setObjectName(QString::fromLatin1(name));
    rows = new QFormLayout(page);
    rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    pages->addTab(page, caption);
    return page;
}

QString UnknownText() { return TranslateString(QStringLiteral("Unknown"), QStringLiteral("strUnknown")); }

QString SizeText(std::uint64_t bytes) {
    const auto size = static_cast<std::int64_t>(bytes);
    if (size < 0) return UnknownText();
    return FormatFileSize(size) + QStringLiteral(" (") + FormatNumberText(size) + u' ' +
           TranslateString(QStringLiteral("bytes"), QStringLiteral("strBytes")) + u')';
}

// The engine learns a volume's free space only from its mount and leaves 0 without one:
// a 0 is known only on a volume mounted from its block device (a full one).
QString FreeSpaceText(const _LDRIVE& drive) {
    const DriveSource source = SourceOf(drive);
    const bool known = drive.SpaceFree != 0 ||
                       (drive.Kind == kDriveVolume && source.device != 0 && !source.isImageFile() &&
                        BlockDeviceTopology().Mounted(static_cast<dev_t>(source.device)));
    return known ? SizeText(drive.SpaceFree) : UnknownText();
}

QString SerialText(std::uint64_t serial) {
    return QString::number(serial, 16).toUpper().rightJustified(8, u'0');
}

QString OffsetText(std::uint64_t offset) {
    const auto signedOffset = static_cast<std::int64_t>(offset);
    return signedOffset > 0 ? QString::number(signedOffset) : UnknownText();
}

}  // namespace

QString YesNoText(bool flag) {
    return flag ? TranslateString(QStringLiteral("Yes"), QStringLiteral("strYes"))
                : TranslateString(QStringLiteral("No"), QStringLiteral("strNo"));
}

TDrivePropertiesForm::TDrivePropertiesForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("DrivePropertiesForm"));
    SetHelpKeyword(this, kHelpKeyword);
    buildLayout();
    TranslateForm({this});
}

void TDrivePropertiesForm::buildLayout() {
    setWindowTitle(QStringLiteral("Drive Properties"));
    setFixedSize(359, 416);

    pageControl_ = new QTabWidget(this);
    pageControl_->setObjectName(QStringLiteral("PageControl"));

    QFormLayout* rows = nullptr;
    QWidget* general = AddPage(pageControl_, "GeneralTabSheet", QStringLiteral("General"), rows);
    letterEdit_ = AddValue(general, QStringLiteral("GeneralLetterEdit"));
    rows->addRow(letterEdit_);
    fileSystemEdit_ = AddRow(general, rows, "GeneralFileSystem", "File System:");
    statusEdit_ = AddRow(general, rows, "GeneralStatus", "Status:");
    volumeLabelEdit_ = AddRow(general, rows, "GeneralVolumeLabel", "Volume:");
    oemIdEdit_ = AddRow(general, rows, "GeneralOEMId", "OEM Id:");
    serialEdit_ = AddRow(general, rows, "GeneralSN", "S/N:");
    totalSpaceEdit_ = AddRow(general, rows, "GeneralTotalSpace", "Total Space:");
    freeSpaceEdit_ = AddRow(general, rows, "GeneralFreeSpace", "Free Space:");

    QWidget* information =
        AddPage(pageControl_, "InformationTabSheet", QStringLiteral("Information"), rows);
    sectorsPerClusterEdit_ =
        AddRow(information, rows, "InfoSectorsPerCluster", "Sectors Per Cluster:");
    bytesPerSectorEdit_ = AddRow(information, rows, "InfoBytesPerSector", "Bytes Per Sector:");
    bytesPerClusterEdit_ = AddRow(information, rows, "InfoBytesPerCluster", "Bytes Per Cluster:");
    offsetEdit_ = AddRow(information, rows, "InfoOffsetInPhysical", "Offset from Physical:");

    QWidget* capabilities =
        AddPage(pageControl_, "CapabilitiesTabSheet", QStringLiteral("Capabilities"), rows);
    rows->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    rows->setVerticalSpacing(2);
    for (int line = 0; line < kCapabilityCount; ++line) {
        auto* label = new QLabel(QString::fromLatin1(kCapabilities[line].label), capabilities);
        label->setObjectName(QStringLiteral("CapabilitiesLabel%1").arg(line + 1));
        QLineEdit* edit =
            AddValue(capabilities, QStringLiteral("CapabilitiesEdit%1").arg(line + 1));
        edit->setFixedWidth(44);
        rows->addRow(label, edit);
        capabilityEdits_[line] = edit;
    }

    QHBoxLayout* buttons = AddOkHelpRow(this, {"OKButton", QStringLiteral("&OK")},
                                        {"Button3", QStringLiteral("&Help")});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(pageControl_, 1);
    layout->addLayout(buttons);
}

void TDrivePropertiesForm::FillFromRecord(const _LDRIVE& drive) {
    const QString letter(QLatin1Char(drive.Letter));
    setWindowTitle(letter + QStringLiteral(": ") + windowTitle());
    letterEdit_->setText(letter + QStringLiteral(":  (") + QString::number(drive.Id) + u')');
    fileSystemEdit_->setText(RecordFieldText(drive.FileSystemName));
    statusEdit_->setText(
        drive.Ready != 0
            ? TranslateString(QStringLiteral("Ready"), QStringLiteral("strReady"))
            : TranslateString(QStringLiteral("No media"), QStringLiteral("strNoMedia")));
    volumeLabelEdit_->setText(RecordFieldText(drive.Label));
    oemIdEdit_->setText(RecordFieldText(drive.OemName));
    serialEdit_->setText(SerialText(drive.SerialNumber));
    totalSpaceEdit_->setText(SizeText(drive.SpaceTotal));
    freeSpaceEdit_->setText(FreeSpaceText(drive));
    offsetEdit_->setText(OffsetText(drive.BaseOffset));
    sectorsPerClusterEdit_->setText(QString::number(drive.SectorsPerCluster));
    bytesPerSectorEdit_->setText(QString::number(drive.BytesPerSector));
    bytesPerClusterEdit_->setText(QString::number(drive.BytesPerCluster));
    for (int line = 0; line < kCapabilityCount; ++line) {
        const bool supported = (drive.FileSystemFlags & kCapabilities[line].mask) != 0;
        capabilityEdits_[line]->setText(YesNoText(supported));
    }
    pageControl_->setCurrentIndex(0);
}

bool ShowDriveProperties(int index, QWidget* parent) {
    TDrivePropertiesForm form(parent);
    const _LDRIVE* record = engine().DriveGetInformation(index);
    if (record) {
        // The engine's record lives only until its next rescan.
        const _LDRIVE drive = *record;
        form.FillFromRecord(drive);
    }
    if (const QScreen* screen = form.screen()) {
        form.move(screen->availableGeometry().center() - form.rect().center());
    }
    form.exec();
    return record != nullptr;
}
