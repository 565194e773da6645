#include "wizard/forms/main/pages/scan_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <span>

#include "wizard/forms/form_widgets.h"
#include "wizard/forms/main/pages/page_parts.h"

namespace {

struct Figure {
    const char* captionName;
    const char* caption;
    const char* valueName;
    bool freeSectors;
};

struct ScanPageNames {
    const char* sheet;
    const char* title;
    const char* titleText;
    const char* driveCaption;
    const char* drive;
    const char* status;
    std::span<const Figure> figures;
    const char* progress;
    const char* log;
    const char* start;
    const char* stop;
};

constexpr Figure kFileSystemFigures[] = {
    {"ScanFileSystemLabelTotalRecordsCaption", "Total records:", "ScanFileSystemLabelTotalRecords", false},
    {"ScanFileSystemLabelCurRecordCaption", "Current record:", "ScanFileSystemLabelCurRecord", false},
    {"ScanFileSystemLabelFilesFoundCaption", "Files found:", "ScanFileSystemLabelFilesFound", false},
    {"ScanFileSystemLabelReadErrorsCaption", "Read errors:", "ScanFileSystemLabelReadErrors", false},
};

constexpr Figure kDriveSectorsFigures[] = {
    {"ScanDriveSectorsLabelTotalSec", "Total clusters:", "ScanDriveSectorsLabelTotalSectors", false},
    {"ScanDriveSectorsLabelCurrentSec", "Current cluster:", "ScanDriveSectorsLabelCurrentSector", false},
    {"ScanDriveSectorsLabelFreeSec", "Free clusters:", "ScanDriveSectorsLabelFreeSectors", true},
    {"ScanDriveSectorsLabelFilesFoundCaption", "Files found:", "ScanDriveSectorsLabelFilesFound", false},
    {"ScanDriveSectorsLabelReadErrorsCaption", "Read errors:", "ScanDriveSectorsLabelReadErrors", false},
};

const ScanPageNames kFileSystemNames{
    "ScanFileSystemTabSheet", "ScanFileSystemTopLabel", "Step 5 of 9: Scanning the file system...",
    "ScanFileSystemLabelDriveCaption", "ScanFileSystemLabelDrive", "ScanFileSystemLabelStatus",
    kFileSystemFigures, "ScanFileSystemProgressBar", "ScanFileSystemMemoLog",
    "ScanFileSystemButtonStart", "ScanFileSystemButtonStop"};

const ScanPageNames kDriveSectorsNames{
    "ScanDriveSectorsTabSheet", "ScanDriveSectorsTopLabel", "Step 7 of 9: Scanning drive sectors...",
    "ScanDriveSectorsLabelDriveCaption", "ScanDriveSectorsLabelDrive", "ScanDriveSectorsLabelStatus",
    kDriveSectorsFigures, "ScanDriveSectorsProgressBar", "ScanDriveSectorsMemoLog",
    "ScanDriveSectorsButtonStart", "ScanDriveSectorsButtonStop"};

}  // namespace

TScanPage::TScanPage(WorkHalf half, QWidget* parent) : QWidget(parent), half_(half) {
    const ScanPageNames& names = half == WorkHalf::FileSystem ? kFileSystemNames : kDriveSectorsNames;
    setObjectName(QString::fromLatin1(names.sheet));
    QVBoxLayout* layout = AddPageLayout(this, names.title, QString::fromLatin1(names.titleText));

    auto* figures = new QGridLayout;
    figures->setColumnStretch(3, 1);
    LabelDrive = AddTextLabel(this, names.drive, QString(), false);
    LabelStatus = AddTextLabel(this, names.status, QStringLiteral("Idle"), false);
    figures->addWidget(AddTextLabel(this, names.driveCaption, QStringLiteral("Drive:"), false), 0, 0);
    figures->addWidget(LabelDrive, 0, 1, 1, 3);
    int row = 1;
    for (const Figure& figure : names.figures) {
        QLabel* caption = AddTextLabel(this, figure.captionName, QString::fromLatin1(figure.caption), false);
        QLabel* value = AddTextLabel(this, figure.valueName, QStringLiteral("0"), false);
        figures->addWidget(caption, row, 0);
        figures->addWidget(value, row, 1);
        counters_.push_back(value);
        if (figure.freeSectors) freeSectors_ = {caption, value};
        ++row;
    }
    layout->addLayout(figures);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QString::fromLatin1(names.progress));
    ProgressBar->setValue(0);
    layout->addWidget(ProgressBar);

    MemoLog = new QPlainTextEdit(this);
    MemoLog->setObjectName(QString::fromLatin1(names.log));
    MemoLog->setReadOnly(true);
    MemoLog->setUndoRedoEnabled(false);
    layout->addWidget(MemoLog, 1);

    ButtonStart = Named(new QPushButton(QStringLiteral("S&tart"), this), names.start);
    ButtonStop = Named(new QPushButton(QStringLiteral("St&op"), this), names.stop);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(LabelStatus, 1);
    buttons->addWidget(ButtonStart);
    buttons->addWidget(ButtonStop);
    layout->addLayout(buttons);
    ShowRunning(false);
}

void TScanPage::Reset(const QString& driveText) {
    LabelDrive->setText(driveText);
    ProgressBar->setValue(0);
    for (QLabel* counter : counters_) counter->setText(QStringLiteral("0"));
}

void TScanPage::ShowRunning(bool running) {
    ButtonStart->setEnabled(!running);
    ButtonStop->setEnabled(running);
}

void TScanPage::ShowFreeSectors(bool visible) {
    for (QWidget* widget : freeSectors_) widget->setVisible(visible);
}

QWidget* TScanPage::MainControl() const {
    return ButtonStop->isEnabled() ? ButtonStop : ButtonStart;
}
