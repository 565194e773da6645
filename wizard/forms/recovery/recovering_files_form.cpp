#include "wizard/forms/recovery/recovering_files_form.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <cmath>

#include "engine/messages.h"
#include "wizard/bridge/message_window.h"
#include "wizard/forms/widgets/dialog_parts.h"
#include "wizard/help/help_service.h"
#include "wizard/services/prompt_service.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/safe_format.h"
#include "wizard/translation/translate_form.h"
#include "wizard/utilities/system_info.h"

namespace {

constexpr int kClientWidth = 565;
constexpr int kClientHeight = 419;
constexpr int kButtonWidth = 100;

const QString kTotalEnglish = QStringLiteral("%d of %d");
const QString kFileEnglish = QStringLiteral("%s (%s bytes)");

QProgressBar* Bar(QWidget* owner, const char* name) {
    auto* bar = new QProgressBar(owner);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setTextVisible(false);
    return bar;
}

}  // namespace

QSize MinimumProgressSize(int dpi) {
    if (dpi <= 0) dpi = 96;
    return {static_cast<int>(std::lround(400.0 * dpi / 96)), static_cast<int>(std::lround(300.0 * dpi / 96))};
}

TRecoveringFilesForm::TRecoveringFilesForm(std::int32_t* workFlag, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), workFlag_(workFlag) {
    setObjectName(QStringLiteral("RecoveringFilesForm"));
    setWindowTitle(QStringLiteral("Recovering files..."));
    // A Return meant for the main window must not reach Abort while the run goes on.
    setAttribute(Qt::WA_ShowWithoutActivating);

    auto* totalRow = new QHBoxLayout;
    totalRow->addWidget(PlainLabel(this, "TotalLabel", QStringLiteral("Total progress:")));
    totalPercentLabel_ = PlainLabel(this, "TotalPercentLabel", kTotalEnglish);
    totalRow->addWidget(totalPercentLabel_, 1);
    totalProgressBar_ = Bar(this, "TotalProgressBar");
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(PlainLabel(this, "CurLabel", QStringLiteral("Current file:")));
    filenameLabel_ = PlainLabel(this, "FilenameLabel", kFileEnglish);
    fileRow->addWidget(filenameLabel_, 1);
    fileProgressBar_ = Bar(this, "FileProgressBar");
    fileProgressBar_->setRange(0, 100);
    fileProgressBar_->setValue(0);
    logMemo_ = new QPlainTextEdit(this);
    logMemo_->setObjectName(QStringLiteral("LogMemo"));
    logMemo_->setReadOnly(true);
    logMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    abortButton_ = new QPushButton(QStringLiteral("Abort"), this);
    abortButton_->setObjectName(QStringLiteral("AbortButton"));
    connect(abortButton_, &QPushButton::clicked, this, [this] { AbortButtonClick(); });
    okButton_ = new QPushButton(QStringLiteral("&OK"), this);
    okButton_->setObjectName(QStringLiteral("OkButton"));
    okButton_->hide();
    connect(okButton_, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {abortButton_, okButton_}) {
        button->setFixedWidth(kButtonWidth);
        button->setDefault(true);
        buttons->addWidget(button);
    }
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(totalRow);
    layout->addWidget(totalProgressBar_);
    layout->addLayout(fileRow);
    layout->addWidget(fileProgressBar_);
    layout->addWidget(PlainLabel(this, "LogLabel", QStringLiteral("Progress log:")));
    layout->addWidget(logMemo_, 1);
    layout->addLayout(buttons);
    setMinimumSize(MinimumProgressSize(GetScreenDpi()));
    resize(ScaledToScreen(kClientWidth), ScaledToScreen(kClientHeight));

    messages_ = new MessageWindow(this);
    messages_->setHandler(WM_ENGINE_RECOVERY_PROGRESS, PayloadKind::None, [this](WPARAM sectors, LPARAM percent) {
        WMFileProgress(sectors, percent);
        return LRESULT{0};
    });
    FormCreate();
}

TRecoveringFilesForm::~TRecoveringFilesForm() = default;

void TRecoveringFilesForm::FormCreate() {
    TranslateForm({this});
    abortRequested_ = false;
    totalProgressFormat_ = totalPercentLabel_->text();
    fileProgressFormat_ = filenameLabel_->text();
}

HWND TRecoveringFilesForm::ProgressWindow() const { return messages_->handle(); }

void TRecoveringFilesForm::SetFileCount(int count) {
    // A bar of range 0..0 would show a busy animation instead of standing still.
    totalProgressBar_->setRange(0, std::max(count, 1));
    totalProgressBar_->setValue(0);
    totalPercentLabel_->setText(SafeFormat(totalProgressFormat_, kTotalEnglish, 0, count));
}

void TRecoveringFilesForm::SetTotalDone(int done) { totalProgressBar_->setValue(done); }

void TRecoveringFilesForm::ShowTotal(int done, int count) {
    totalProgressBar_->setValue(done);
    totalPercentLabel_->setText(SafeFormat(totalProgressFormat_, kTotalEnglish, done + 1, count));
}

void TRecoveringFilesForm::ShowFile(const QString& name, const QString& sizeText) {
    // A size not known yet (asked for when the file's turn comes) shows the name alone.
    filenameLabel_->setText(sizeText.isEmpty() ? name : SafeFormat(fileProgressFormat_, kFileEnglish, name, sizeText));
    fileProgressBar_->setValue(0);
    unreadableSectors_ = 0;
}

std::uint64_t TRecoveringFilesForm::UnreadableSectors() {
    // The engine posts: its last messages may still wait in the queue after its thread ended.
    QCoreApplication::sendPostedEvents(messages_, 0);
    return unreadableSectors_;
}

void TRecoveringFilesForm::FinishFile() { fileProgressBar_->setValue(fileProgressBar_->maximum()); }

void TRecoveringFilesForm::Log(const QString& line) { logMemo_->appendPlainText(line); }

void TRecoveringFilesForm::ShowOkButton() {
    okButton_->show();
    abortButton_->hide();
    okButton_->setFocus();
}

void TRecoveringFilesForm::StopEngineCopy() {
    if (workFlag_) std::atomic_ref<std::int32_t>(*workFlag_).store(0);
}

void TRecoveringFilesForm::WMFileProgress(WPARAM unreadableSectors, LPARAM percent) {
    // The engine sets the flag again at the start of each file: a stop asked for before
    // it began is repeated here.
    if (abortRequested_) StopEngineCopy();
    unreadableSectors_ = unreadableSectors;
    if (percent >= 0 && percent <= 100) fileProgressBar_->setValue(static_cast<int>(percent));
}

void TRecoveringFilesForm::AbortButtonClick() {
    if (Settings().ConfirmationsRecoveryAbort) {
        const Prompt question{
            TranslateString(QStringLiteral("Are you sure you want to stop recovery?"),
                            QStringLiteral("strConfirmStopRecovery")),
            TranslateString(QStringLiteral("Confirmation"), QStringLiteral("strConfirmation")),
            PromptButtons::YesNo, PromptIcon::None, this};
        if (promptService().ask(question) != kPromptYes) return;
    }
    abortRequested_ = true;
    StopEngineCopy();
}

void TRecoveringFilesForm::OkButtonClick() { accept(); }

void TRecoveringFilesForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        helpService().ShowHelpTopic(kHelpTopic);
        return;
    }
    // Escape works the visible button, as both are the window's cancel button.
    if (event->key() == Qt::Key_Escape) {
        (abortButton_->isVisible() ? abortButton_ : okButton_)->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
