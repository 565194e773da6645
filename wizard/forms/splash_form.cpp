#include "wizard/forms/splash_form.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileIconProvider>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "engine/messages.h"
#include "wizard/bridge/message_window.h"
#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/help/help_file.h"
#include "wizard/help/help_keyword.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/translate_form.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/maker_info.h"
#include "wizard/utilities/pictures/pictures.h"

namespace {

constexpr QSize kClientSize(320, 390);
constexpr int kPictureHeight = 200;
constexpr int kCloseMarginMilliseconds = 300;

// The engine reports a drive by its character: a letter, or a disk's digit.
QChar DriveCharacter(LPARAM lParam) {
    const auto code = static_cast<char16_t>(lParam & 0xFF);
    return QChar(code).isPrint() ? QChar(code) : QChar(u'?');
}

}  // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SplashForm"));
    // Closing only hides it, and the run does not end with it.
    setAttribute(Qt::WA_QuitOnClose, false);
    SetHelpKeyword(this, kContentsTopic);
    BuildLayout();
    window_ = new MessageWindow(this);
    window_->setHandler(WM_ENGINE_DRIVE_FOUND, PayloadKind::None, [this](WPARAM, LPARAM lParam) {
        WMExaminingDrive(lParam);
        return LRESULT{0};
    });
    CloseTimer.setParent(this);
    CloseTimer.setObjectName(QStringLiteral("CloseTimer"));
    CloseTimer.setSingleShot(true);
    connect(&CloseTimer, &QTimer::timeout, this, &TSplashForm::CloseTimerTimer);
    FormCreate();
}

TSplashForm::~TSplashForm() = default;

void TSplashForm::BuildLayout() {
    setFixedSize(kClientSize);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    setPalette(white);

    Image = NamedLabel(this, "Image", QString());
    Image->setScaledContents(true);
    Image->setGeometry(0, 0, kClientSize.width(), kPictureHeight);
    Image->installEventFilter(this);

    // White text along the picture's bottom edge.
    LabelCopyright = NamedLabel(this, "LabelCopyright", QString());
    QPalette onPicture = LabelCopyright->palette();
    onPicture.setColor(QPalette::WindowText, Qt::white);
    LabelCopyright->setPalette(onPicture);
    LabelCopyright->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    LabelCopyright->setGeometry(0, kPictureHeight - 24, kClientSize.width(), 20);

    auto* below = new QWidget(this);
    below->setGeometry(0, kPictureHeight, kClientSize.width(),
                       kClientSize.height() - kPictureHeight);
    LabelDriveScanTitle = NamedLabel(
        below, "LabelDriveScanTitle",
        QStringLiteral("Scanning local system for connected disk drives..."));
    LabelDriveScanTitle->setWordWrap(true);
    IconImage = NamedLabel(below, "IconImage", QString());
    IconImage->setFixedSize(16, 16);
    LabelDriveScanning = NamedLabel(below, "LabelDriveScanning", QString());
    auto* scanning = new QHBoxLayout;
    scanning->addWidget(IconImage);
    scanning->addWidget(LabelDriveScanning, 1);
    auto* layout = new QVBoxLayout(below);
    layout->setContentsMargins(16, 24, 16, 16);
    layout->addWidget(LabelDriveScanTitle);
    layout->addLayout(scanning);
    layout->addStretch();
}

void TSplashForm::FormCreate() {
    TranslateForm({this});
    LabelCopyright->setText(LegalNoticeText());
    CloseTimer.setInterval(Settings().GlobalSplashDelay * 1000 + kCloseMarginMilliseconds);
    QPixmap picture;
    if (LoadPictureFromResource(QStringLiteral("GFX_SPLASH"), picture)) Image->setPixmap(picture);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

HWND TSplashForm::DriveFoundWindow() const { return window_->handle(); }

void TSplashForm::TakeQueuedReports() {
    // Only this window's messages: nothing else may run inside the drive list's rebuild.
    QCoreApplication::sendPostedEvents(window_);
}

void TSplashForm::StartCloseTimer() { CloseTimer.start(); }

void TSplashForm::ShowNow() {
    show();
    repaint();
}

void TSplashForm::WMExaminingDrive(LPARAM lParam) {
    const QChar drive = DriveCharacter(lParam);
    LabelDriveScanning->setText(TranslateFormat(QStringLiteral("strExaminingDrive"),
                                                QStringLiteral("Examining drive: %s:"),
                                                QString(drive)));
    IconImage->setPixmap(QFileIconProvider().icon(QFileIconProvider::Drive).pixmap(16, 16));
    emit DriveExamined(drive);
}

void TSplashForm::CloseTimerTimer() {
    CloseTimer.stop();
    close();
}

void TSplashForm::ImageClick() { close(); }

bool TSplashForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image && event->type() == QEvent::MouseButtonRelease) ImageClick();
    return QWidget::eventFilter(watched, event);
}
