// The main window's life: start-up in its fixed order, first activation, keys, closing.
#include "wizard/forms/main/main_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>

#include <cmath>

#include "wizard/bridge/device_monitor.h"
#include "wizard/bridge/handler_guard.h"
#include "wizard/bridge/message_window.h"
#include "wizard/forms/language/language_select_form.h"
#include "wizard/forms/main/keys_keeper.h"
#include "wizard/forms/main/main_form_hosts.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/forms/main/pages/types_page.h"
#include "wizard/forms/splash_form.h"
#include "wizard/forms/types/types_panel.h"
#include "wizard/forms/widgets/link_label.h"
#include "wizard/help/help_keyword.h"
#include "wizard/help/help_service.h"
#include "wizard/model/found_files/found_files_columns.h"
#include "wizard/model/found_files/preview_image_lists.h"
#include "wizard/scans/scan_controller.h"
#include "wizard/services/prompt_service.h"
#include "wizard/settings/settings_values.h"
#include "wizard/translation/translate_form.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/disk_access.h"
#include "wizard/utilities/maker_info.h"
#include "wizard/utilities/pictures/pictures.h"
#include "wizard/utilities/program_halt.h"
#include "wizard/utilities/system_info.h"
#include "wizard/utilities/text/date_time.h"
#include "wizard/utilities/text/text_helpers.h"
#include "wizard/utilities/version_strings.h"

namespace {

constexpr int kDeviceArrivalDelayMilliseconds = 1500;
constexpr int kHaltExitCode = 1;

// The window as it first opens, before a stored placement: room for every column of the
// drive list.
constexpr QSize kInitialSize{780, 540};

QSize Scaled(QSize size) {
    const int dpi = GetScreenDpi();
    const double scale = dpi > 0 ? dpi / 96.0 : 1.0;
    return {static_cast<int>(std::lround(size.width() * scale)),
            static_cast<int>(std::lround(size.height() * scale))};
}

// "Created between" without stored dates spans this many days up to today, so that ticking
// it keeps the recent files instead of none.
constexpr int kUnsetCreatedRangeDays = 30;

// A stored value of 0 (30 December 1899, what a missing value reads as) is no date: the
// picker shows `unset` instead.
void SetDate(QDateTimeEdit* picker, TDateTime value, const QDateTime& unset) {
    const QDateTime date = value == 0 ? unset : DecodeDateTime(value);
    if (date.isValid()) picker->setDateTime(date);
}

}  // namespace

TMainForm::TMainForm(TSplashForm* splash, QWidget* parent)
    : QMainWindow(parent), splash_(splash) {
    setObjectName(QStringLiteral("MainForm"));
    SetHelpKeyword(this, kHelpTopic);
    setMinimumSize(Scaled(kMinimumSize));
    resize(Scaled(kInitialSize));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    engineWindow_ = new MessageWindow(this);
    BuildLayout();
    ConnectHandlers();
    CreateWorkers();
    DeviceArrivalTimer.setInterval(kDeviceArrivalDelayMilliseconds);
    DeviceArrivalTimer.setSingleShot(true);
    connect(&DeviceArrivalTimer, &QTimer::timeout, this,
            [this] { RunGuarded([this] { DeviceArrivalTimerTimer(); }); });
    deviceMonitor_ = StartDeviceMonitor(this);
    connect(deviceMonitor_, &DeviceMonitor::deviceChanged, this,
            [this](unsigned event) { WMDeviceChange(event); });
    new KeysKeeper(this);
    FormCreate();
}

TMainForm::~TMainForm() {
    RunGuarded([this] {
        // The thumbnail worker reads the lists that go with the window.
        StopThumbnails();
        if (placementRead_) RegWritePosition();
    });
    // The preview pages' contents watch the lists: they go before them.
    PreviewFileSystemPage->SetList(nullptr, nullptr);
    PreviewDriveSectorsPage->SetList(nullptr, nullptr);
}

void TMainForm::FormCreate() {
    SettingsValues& settings = Settings();
    // The help folder lies beside the program (help_file.h): its name needs no start-up.
    if (settings.GlobalFirstStart) {
        const VersionStrings& version = ProgramVersionStrings();
        SelectLanguage(settings.GlobalLanguage,
                       {version.ProductName, version.ProductVersion, version.Build, kMakerWebSite},
                       this);
    }
    UpdateInterfaceLanguage();
    SetActivePage(kWelcomePage);
    MainControlOf(kWelcomePage)->setFocus(Qt::OtherFocusReason);
    // Linux has no critical-error boxes to switch off: a drive without media fails its
    // reads, which the engine reports.
    FileSystem.Clear();
    DriveSectors.Clear();
    FileExistsAnswer = 7;
    ShowWelcomeTexts();
    LoadDrivesList();
    types_->TypesPanel->setStopThumbnails([this] { StopThumbnails(); });
    types_->TypesPanel->LoadFileFormats();
    LoadStoredChoices();
    CreateFoundFileLists();
    setWindowTitle(ProgramVersionStrings().ProductName);
    FirstActivation = true;
    if (settings.GlobalFirstStart) {
        helpService().ShowHelpTopicOrReport(QStringLiteral("/files/quickstart.html"));
        settings.GlobalFirstStart = false;
    }
    CheckState();
    // Qt paints every widget double-buffered: nothing to switch on.
    CheckDiskAccess();
}

void TMainForm::ShowWelcomeTexts() {
    BottomLabelWebSite->setText(TextAfterDoubleSlash(kMakerWebSite));
    const std::pair<QLabel*, const char*> pictures[] = {
        {LeftTopImage, "GFX_LEFT_TOP"}, {LeftMidImage, "GFX_LEFT_MID"}, {LeftBottomImage, "GFX_LEFT_BOTT"}};
    for (const auto& [image, resource] : pictures) {
        QPixmap picture;
        if (LoadPictureFromResource(QString::fromLatin1(resource), picture)) {
            image->setPixmap(picture);
            image->resize(picture.size());
        }
    }
    LeftPanelResize();
    welcome_.WelcomeSupportURLLabel->setText(TextAfterDoubleSlash(kMakerSupportPage));
    welcome_.WelcomeHomepageURLLabel->setText(TextAfterDoubleSlash(kProductHomePage));
}

void TMainForm::ShowWelcomeTranslatedTexts() {
    welcome_.WelcomeCopyrightLabel->setText(LegalNoticeText());
    const VersionStrings& version = ProgramVersionStrings();
    const QDateTime released = DecodeDateTime(version.ReleaseDate);
    // The date's form is the translation's, so that no English month name is left in it.
    const QString releaseDate = QLocale().toString(
        released.date(), TranslateString(QStringLiteral("MMMM d, yyyy"), QStringLiteral("strMainWelcomeDateFormat")));
    welcome_.WelcomeProgramVersionLabel->setText(
        TranslateFormat(QStringLiteral("strMainWelcomeVersion"),
                        QStringLiteral("%s (build %s), released on %s"), version.ProductVersion,
                        version.Build, releaseDate));
}

void TMainForm::LoadStoredChoices() {
    const SettingsValues& settings = Settings();
    TTypesSheet& types = *types_;
    types.TypesPanel->filenameCheckBox()->setChecked(settings.RecoveryFilesNameUse);
    types.TypesPanel->filenameEdit()->setText(settings.RecoveryFilesName);
    types.TypesCreatedBetweenCheckBox->setChecked(settings.RecoveryFilesCreatedDateUse);
    // The pickers show dates only: the range runs from the first day's start to the last one's end.
    const QDate today = QDate::currentDate();
    SetDate(types.TypesCreatedStartDateTimePicker, settings.RecoveryFilesCreatedDateFrom,
            QDateTime(today.addDays(-kUnsetCreatedRangeDays), QTime(0, 0)));
    SetDate(types.TypesCreatedEndDateTimePicker, settings.RecoveryFilesCreatedDateTo,
            QDateTime(today, QTime(23, 59, 59, 999)));
    types.TypesAgeCheckBox->setChecked(settings.RecoveryFilesAgeUse);
    types.TypesAgeEditUpDown->setValue(settings.RecoveryFilesAgeCount);
    types.TypesAgeComboBox->setCurrentIndex(settings.RecoveryFilesAgeType);
    types.TypesSizeCheckBox->setChecked(settings.RecoveryFilesSizeUse);
    types.TypesSizeSignComboBox->setCurrentIndex(settings.RecoveryFilesSizeSign);
    types.TypesSizeValueEditUpDown->setValue(settings.RecoveryFilesSizeCount);
    types.TypesSizeUnitComboBox->setCurrentIndex(settings.RecoveryFilesSizeType);
    if (settings.RecoveryFilesCreatedDateUse || settings.RecoveryFilesAgeUse ||
        settings.RecoveryFilesSizeUse) {
        types.TypesPanel->TypesShowFiltersButtonClick();
    }
    (settings.RecoverySearchExisting ? mode_.ModeCorruptedRadioButton : mode_.ModeDeletedRadioButton)
        ->setChecked(true);
    autopilot_.AutopilotCheckBox->setChecked(settings.RecoveryAutoPilot);
    // The edit's change handler stores the text back, with its trailing delimiter.
    autopilot_.AutopilotFolderEdit->setText(settings.RecoveryTargetFolder);
    autopilot_.AutopilotKeepFolderStructureCheckBox->setChecked(settings.RecoveryKeepFolderStructure);
}

void TMainForm::CreateFoundFileLists() {
    const SettingsValues& settings = Settings();
    FileSystemList = std::make_unique<TBaseSortedList>(
        SortCodeOfColumn(FoundListKind::FileSystem, settings.GlobalFileSystemSortColumn), settings.GlobalFileSystemSortOrderAZ);
    DriveSectorsList = std::make_unique<TBaseSortedList>(
        SortCodeOfColumn(FoundListKind::DriveSectors, settings.GlobalDriveSectorsSortColumn), settings.GlobalDriveSectorsSortOrderAZ);
    // The pages' contents set their sort marks from the same settings.
    PreviewImages = std::make_unique<TPreviewImageLists>();
    PreviewFileSystemPage->SetList(FileSystemList.get(), PreviewImages.get());
    PreviewDriveSectorsPage->SetList(DriveSectorsList.get(), PreviewImages.get());
}

void TMainForm::CheckDiskAccess() {
    // Drives named in UNDELETE_DISKS (disk images, mostly) need no access to the machine's own.
    if (!IsWindowsNT() || IsUserAdministrator() || !qEnvironmentVariableIsEmpty("UNDELETE_DISKS")) {
        return;
    }
    promptService().ask(
        {TranslateString(QStringLiteral("Administrator access necessary. Please run the program using "
                                        "an administrator's account on your computer."),
                         QStringLiteral("strNoAdminPriviledgesError")),
         TranslateString(QStringLiteral("Error"), QStringLiteral("strError")), PromptButtons::Ok,
         PromptIcon::Error});
    throw ProgramHalt(kHaltExitCode);
}

void TMainForm::UpdateInterfaceLanguage() {
    if (!Settings().GlobalLanguage.isEmpty()) {
        UseLanguageFile(Settings().GlobalLanguage);
    }
    TranslateForm({this});
    ShowWelcomeTranslatedTexts();
    types_->TypesPanel->ShowTranslatedTexts();
}

void TMainForm::FormActivate() {
    FirstActivation = false;
    RegReadPosition();
}

bool TMainForm::event(QEvent* event) {
    // The first show counts as the first activation: without a window manager (a virtual
    // display) a window may never be activated.
    if (FirstActivation && (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)) {
        RunGuarded([this] { FormActivate(); });
    }
    // A dialog of a recovery that closes gives the keys to the window it was over, or to
    // this one: they go on to the progress window, where Return and Esc mean Abort or OK.
    if (event->type() == QEvent::WindowActivate && !QApplication::activeModalWidget()) {
        if (QWidget* progress = OpenRecoveryWindow()) progress->activateWindow();
    }
    return QMainWindow::event(event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        BottomButtonCloseClick();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Next is the window's default button.
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            if (BottomButtonNext->isEnabled()) BottomButtonNext->click();
            return;
        }
        break;
    default:
        break;
    }
    QMainWindow::keyPressEvent(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    bool allowed = false;
    RunGuarded([&] { allowed = CloseAllowed(); });
    if (!allowed) {
        event->ignore();
        return;
    }
    event->accept();
    emit FormClosed();
}

bool TMainForm::CloseAllowed() {
    if (closePending_) return !Busy();
    if (OpenRecoveryWindow()) return false;
    const bool scanning = FileSystem.ScanRunning || DriveSectors.ScanRunning;
    // A rescan or a recovery is not interrupted.
    if (Busy() && !scanning) return false;
    if (ActivePage() != kFinishPage && Settings().ConfirmationsShutdown) {
        const int answer = promptService().ask(
            {TranslateString(QStringLiteral("Are you sure you want to exit application?"),
                             QStringLiteral("strConfirmAppExit")),
             TranslateString(QStringLiteral("Confirmation"), QStringLiteral("strConfirmation")),
             PromptButtons::YesNo, PromptIcon::None, this});
        if (answer == kPromptNo) return false;
    }
    if (!scanning) return true;
    // The window closes once the scan has stopped.
    for (WorkHalf half : {WorkHalf::FileSystem, WorkHalf::DriveSectors}) {
        if (StateOf(half).ScanRunning) StopScanForClose(half);
    }
    closePending_ = true;
    return false;
}
