#include "wizard/scans/scan_pages.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSizePolicy>
#include <QVBoxLayout>

#include "wizard/forms/widgets/page_parts.h"
#include "wizard/scans/batched_log.h"
#include "wizard/scans/scan_progress.h"
#include "wizard/translation/translation.h"

namespace {

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

TScanPageBase::TScanPageBase(const QString& prefix, const QString& title, QWidget* parent)
    : QWidget(parent), prefix_(prefix) {
    setObjectName(prefix + QStringLiteral("TabSheet"));
    // Margins and title as on every other page of the window.
    const QString titleName = prefix + QStringLiteral("TopLabel");
    QVBoxLayout* layout = AddPageLayout(this, qPrintable(titleName), title);
    TopLabel = findChild<QLabel*>(titleName);

    counters_ = new QGridLayout;
    counters_->setColumnStretch(1, 1);
    layout->addLayout(counters_);
    LabelDrive = AddCounter("LabelDrive", "LabelDriveCaption", QStringLiteral("Drive:"));
    LabelDrive->clear();
    LabelStatus = AddCounter("LabelStatus", "LabelStatusCaption", QStringLiteral("Status:"));
    LabelStatus->setText(QStringLiteral("Idle"));
    // A busy indicator beside the status while a scan runs; its room stays when hidden.
    Animate = new QProgressBar(this);
    Animate->setObjectName(prefix + QStringLiteral("Animate"));
    Animate->setRange(0, 0);
    Animate->setTextVisible(false);
    Animate->setFixedSize(120, LabelStatus->sizeHint().height());
    QSizePolicy keepRoom = Animate->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    Animate->setSizePolicy(keepRoom);
    Animate->hide();
    counters_->addWidget(Animate, counters_->rowCount() - 1, 2);
    LabelReadErrors = AddCounter("LabelReadErrors", "LabelReadErrorsCaption", QStringLiteral("Read errors:"));

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(prefix + QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, kProgressRange);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    layout->addWidget(ProgressBar);

    auto* buttons = new QHBoxLayout;
    ButtonStart = new QPushButton(QStringLiteral("&Start"), this);
    ButtonStart->setObjectName(prefix + QStringLiteral("ButtonStart"));
    ButtonStop = new QPushButton(QStringLiteral("S&top"), this);
    ButtonStop->setObjectName(prefix + QStringLiteral("ButtonStop"));
    ButtonStop->setEnabled(false);
    buttons->addWidget(ButtonStart);
    buttons->addWidget(ButtonStop);
    buttons->addStretch();
    layout->addLayout(buttons);

    MemoLog = new QPlainTextEdit(this);
    MemoLog->setObjectName(prefix + QStringLiteral("MemoLog"));
    layout->addWidget(MemoLog, 1);
    log_ = new BatchedLog(MemoLog, this);

    layout->addWidget(NamedLabel(prefix + QStringLiteral("NextLabel"),
                                 QStringLiteral("Click Next to continue..."), this));
}

QLabel* TScanPageBase::AddCounter(const char* valueName, const char* captionName, const QString& caption) {
    const int row = counters_->rowCount();
    counters_->addWidget(NamedLabel(prefix_ + QLatin1String(captionName), caption, this), row, 0);
    QLabel* value = NamedLabel(prefix_ + QLatin1String(valueName), QStringLiteral("0"), this);
    counters_->addWidget(value, row, 1);
    values_.push_back(value);
    return value;
}

void TScanPageBase::ShowRunning(bool running, bool stopping) {
    Animate->setVisible(running);
    ButtonStart->setEnabled(!running);
    // A stop once asked is not asked again while the scan winds down.
    ButtonStop->setEnabled(running && !stopping);
    LabelStatus->setText(!running   ? TranslateString(QStringLiteral("Idle"), QStringLiteral("strIdle"))
                         : stopping ? TranslateString(QStringLiteral("Stopping..."), QStringLiteral("strScanStopping"))
                                    : TranslateString(QStringLiteral("Busy"), QStringLiteral("strBusy")));
}

void TScanPageBase::ShowProgress(int position) {
    ProgressBar->setRange(0, kProgressRange);
    ProgressBar->setValue(position);
}

void TScanPageBase::Reset(const QString& driveText) {
    for (QLabel* value : values_) {
        if (value != LabelStatus) value->setText(QStringLiteral("0"));
    }
    LabelDrive->setText(driveText);
    ShowProgress(0);
    MemoLog->clear();
}

QWidget* TScanPageBase::MainControl() const { return ButtonStop->isEnabled() ? ButtonStop : ButtonStart; }

TScanFileSystemPage::TScanFileSystemPage(QWidget* parent)
    : TScanPageBase(QStringLiteral("ScanFileSystem"),
                QStringLiteral("Step 5 of 9: Scanning the file system..."), parent) {
    LabelTotalRecords = AddCounter("LabelTotalRecords", "LabelTotalRecordsCaption",
                                   QStringLiteral("Total records:"));
    LabelCurRecord = AddCounter("LabelCurRecord", "LabelCurRecordCaption", QStringLiteral("Current record:"));
    LabelFilesFound = AddCounter("LabelFilesFound", "LabelFilesFoundCaption", QStringLiteral("Files found:"));
}

TScanDriveSectorsPage::TScanDriveSectorsPage(QWidget* parent)
    : TScanPageBase(QStringLiteral("ScanDriveSectors"),
                QStringLiteral("Step 7 of 9: Scanning drive sectors..."), parent) {
    LabelTotalSectors = AddCounter("LabelTotalSectors", "LabelTotalSectorsCaption",
                                   QStringLiteral("Total clusters:"));
    LabelCurrentSector = AddCounter("LabelCurrentSector", "LabelCurrentSectorCaption",
                                    QStringLiteral("Current cluster:"));
    LabelFreeSectors = AddCounter("LabelFreeSectors", "LabelFreeSec", QStringLiteral("Free clusters:"));
    LabelFreeSec = findChild<QLabel*>(QStringLiteral("ScanDriveSectorsLabelFreeSec"));
    LabelFilesFound = AddCounter("LabelFilesFound", "LabelFilesFoundCaption", QStringLiteral("Files found:"));
}

void TScanDriveSectorsPage::ShowFreeSectors(bool visible) {
    LabelFreeSec->setVisible(visible);
    LabelFreeSectors->setVisible(visible);
}
