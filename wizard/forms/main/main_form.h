#pragma once
// The wizard's main window: side pictures, a stack of ten pages and a bottom bar of
// buttons. One routine, CheckState, sets up whichever page is active; Next and Back move
// through the pages with their checks; the auto-pilot recovers and moves on by itself.
//
// CheckState is one driver: a call made while it runs (a scan starting or ending, the
// drive list changing) only refreshes the buttons, and a scan or the auto-pilot that wants
// the wizard to move on asks for it with RequestAdvance; the driver then moves on in its
// own loop, never by calling itself.
//
// While a long action pumps events (a scan, a rescan, a recovery), Next and Back only
// refresh, a rescan asked for (F5, a device event) runs once afterwards, and a close is
// refused, or during a scan asked, the scan stopped, and done when it has ended.
//
// While a recovery's progress window is open, during its run and after it until its OK,
// that window holds the keys: the main window hands on an activation to it, and refuses
// Next, Back, Close and "Recover Another Drive". A rescan asked for meanwhile runs once it
// has closed.

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

#include "wizard/forms/main/pages/autopilot_page.h"
#include "wizard/forms/main/pages/drive_select_page.h"
#include "wizard/forms/main/pages/finish_page.h"
#include "wizard/forms/main/pages/mode_page.h"
#include "wizard/forms/main/pages/welcome_page.h"
#include "wizard/forms/main/window_placement.h"
#include "wizard/help/help_file.h"
#include "wizard/model/drive_item.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/found_files/base_sorted_list.h"
#include "wizard/model/recovery_drive.h"
#include "wizard/scans/work_half.h"

class DeviceMonitor;
class QDialog;
class MessageWindow;
class QHeaderView;
class QLabel;
class QMenu;
class QPushButton;
class QStackedWidget;
class TLinkLabel;
class TPreviewImageLists;
class TPreviewPage;
class MainFormRecoveryHost;
class MainFormScanHost;
class RecoveryFlow;
class ScanController;
class TScanDriveSectorsPage;
class TScanFileSystemPage;
class TScanPageBase;
class TSplashForm;
class TTypesSheet;

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    enum WizardPage {
        kWelcomePage,
        kDriveSelectPage,
        kTypesPage,
        kModePage,
        kAutopilotPage,
        kScanFileSystemPage,
        kPreviewFileSystemPage,
        kScanDriveSectorsPage,
        kPreviewDriveSectorsPage,
        kFinishPage,
        kPageCount
    };

    static inline const QString kHelpTopic = kContentsTopic;
    // The smallest window at 96 dots per inch; larger screens scale it.
    static constexpr QSize kMinimumSize{597, 424};

    // Builds the window and runs its start-up: language, translation, the drive list (the
    // splash, when there is one, shows the rescan), the stored choices. A user who may not
    // read the disks is told so, and the start-up ends with ProgramHalt.
    explicit TMainForm(TSplashForm* splash = nullptr, QWidget* parent = nullptr);
    // Stops the thumbnail work, then saves the placement when it was restored.
    ~TMainForm() override;

    void UpdateInterfaceLanguage();

    // Sets up the active page; see above.
    void CheckState();
    // The active page asks to be left for the next one; the driver moves on.
    void RequestAdvance();
    // A Stop or an auto-pilot recovery that fell short: the auto-pilot stays off unless the
    // user turns it on again on its page.
    void TurnAutoPilotOff();
    // How many CheckState calls are under way (1 while the driver runs alone).
    int CheckStateDepth() const { return checkStateDepth_; }
    // A scan or a recovery runs, or some long action pumps events.
    bool Busy() const;
    // The progress window of a recovery while it is open, else null.
    QDialog* OpenRecoveryWindow() const;

    int ActivePage() const;
    void SetActivePage(int page);

    // Rebuilds the drive list from a fresh rescan; while busy, only notes that a rescan is
    // due. The selected drive is found again by its identity; when it is gone the choice
    // is cleared, and on a later page the wizard returns to the drive page.
    void LoadDrivesList();

    // Handlers of the window's controls.
    void BottomButtonNextClick();
    void BottomButtonBackClick();
    void BottomButtonCloseClick();
    void BottomButtonHelpClick();
    void BottomButtonMenuClick();
    // Takes the list's selection: a drive other than the one the found files belong to
    // (by identity, so a reload or a passing empty selection changes nothing) starts afresh.
    void DriveSelectListViewDrivesClick();
    void DriveSelectTabSheetShow();
    void DriveSelectDriveChanged();
    void DriveSelectPopupMiPropertiesClick();
    void DriveSelectPopupMiRescanClick();
    void AutopilotFolderEditChange(const QString& text);
    void AutopilotFolderBrowseClick();
    void FinishExploreButtonClick();
    void FinishFeedbackButtonClick();
    void FinishNewButtonClick();
    // "&Recover" of a preview page: the half's recover-pressed flag, then DoRealRecovery
    // with the pages disabled.
    void PreviewMiRecoverClick(WorkHalf half);
    // A block device came or went (kDeviceArrival, kDeviceRemoveComplete; others are
    // ignored): the list is reloaded once, 1.5 s after the first of a burst of events.
    void WMDeviceChange(unsigned event);
    void DeviceArrivalTimerTimer();

    // Placement and list-column widths in the registry.
    void RegReadPosition();
    void RegWritePosition();

    // The engine's messages during the scans go to this window.
    MessageWindow& EngineWindow() const { return *engineWindow_; }

    // The drive chosen on the drive page; shared with the files found on it.
    std::shared_ptr<const TRecoveryDrive> SelectedDrive;
    std::unique_ptr<TBaseSortedList> FileSystemList;
    std::unique_ptr<TBaseSortedList> DriveSectorsList;
    // The pictures both preview pages show.
    std::unique_ptr<TPreviewImageLists> PreviewImages;
    TWorkHalfState FileSystem;
    TWorkHalfState DriveSectors;
    int FileExistsAnswer = 7;
    bool FirstActivation = false;

    TScanFileSystemPage* ScanFileSystemPage = nullptr;
    TPreviewPage* PreviewFileSystemPage = nullptr;
    TScanDriveSectorsPage* ScanDriveSectorsPage = nullptr;
    TPreviewPage* PreviewDriveSectorsPage = nullptr;

    TWorkHalfState& StateOf(WorkHalf half);
    TBaseSortedList& ListOf(WorkHalf half);
    TScanPageBase* ScanPageOf(WorkHalf half) const;

    // The thumbnail worker reads the found files: it stops before they change.
    void StopThumbnails();
    TPreviewPage* PreviewPageOf(WorkHalf half) const;

signals:
    // The window has closed for good: the run ends.
    void FormClosed();

protected:
    // The scans. They set their half's running and done flags, call CheckState when they
    // start and end, and ask for an advance when the auto-pilot should move on.
    virtual void StartScanFileSystem();
    virtual void StartScanDriveSectors();
    // Recovers the selected rows of that half's list; true when the run completed.
    virtual bool DoRealRecovery(WorkHalf half);

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the window.
    void BuildLayout();
    QWidget* BuildSidePanel();
    QWidget* BuildPages();
    QWidget* BuildBottomBar();
    void BuildMainMenu();
    // After a dialog of the main menu: the focus where it was before the Menu.
    void RestoreFocusAfterMenu();
    void ConnectHandlers();
    void CreateWorkers();
    void LeftPanelResize();
    // An Up or Down key on the drive list while no drive is chosen chooses the first.
    bool TakeFirstDriveByArrow(int key);

    // Start-up.
    void FormCreate();
    void FormActivate();
    void ShowWelcomeTexts();
    // The welcome page's texts that the code builds: made again with every language.
    void ShowWelcomeTranslatedTexts();
    void LoadStoredChoices();
    void CreateFoundFileLists();
    void CheckDiskAccess();

    // The driver.
    void UpdatePageControls();
    void UpdateTypesFilters();
    void RunPageActions();
    bool TakeAdvance();
    void AfterStateChange();
    void StartScan(WorkHalf half);
    void AutoPilotStep(WorkHalf half);
    void PageShown(int page);
    QWidget* MainControlOf(int page) const;

    // Next from a page: its check, then its values into the settings.
    bool LeavePage(int page);
    bool TypesPageAllowsLeaving();
    bool AutopilotPageAllowsLeaving();
    bool PreviewPageAllowsLeaving(WorkHalf half);
    void StoreTypesPage();

    // The drive list.
    // Busy, or a recovery's progress window still open: a reload waits, so that the chosen
    // drive does not go from under the run or from behind its window.
    bool ReloadWaits() const;
    void FillDriveList();
    // Selects the listed drive of that identity; false when none is listed.
    bool RestoreSelection(const DriveIdentity& selected);
    // The chosen drive left the list while a later page showed: the auto-pilot ends and
    // the drive page shows, with a message.
    void ReturnForLostDrive(const TRecoveryDrive& lost);
    // Whether the engine's record at the chosen drive's index is still that drive; says
    // so when not. Checked before the index or the drive the engine has open is used.
    bool ChosenDriveInPlace();

    // Placement.
    WindowPlacementRecord CurrentPlacement() const;
    void ApplyPlacement(const WindowPlacementRecord& placement);
    std::vector<QHeaderView*> StoredColumnHeaders() const;

    // Closing.
    bool CloseAllowed();
    void StopScanForClose(WorkHalf half);

    TSplashForm* splash_;
    MessageWindow* engineWindow_ = nullptr;
    DeviceMonitor* deviceMonitor_ = nullptr;
    std::unique_ptr<MainFormScanHost> scanHost_;
    std::unique_ptr<ScanController> scans_;
    std::unique_ptr<MainFormRecoveryHost> recoveryHost_;
    std::unique_ptr<RecoveryFlow> recovery_;
    QTimer DeviceArrivalTimer;

    QWidget* LeftPanel = nullptr;
    QLabel* LeftTopImage = nullptr;
    QLabel* LeftMidImage = nullptr;
    QLabel* LeftBottomImage = nullptr;
    QStackedWidget* PageControlMain = nullptr;
    QPushButton* BottomButtonMenu = nullptr;
    QPushButton* BottomButtonBack = nullptr;
    QPushButton* BottomButtonNext = nullptr;
    QPushButton* BottomButtonClose = nullptr;
    QPushButton* BottomButtonHelp = nullptr;
    TLinkLabel* BottomLabelWebSite = nullptr;
    QMenu* MainMenu = nullptr;
    QPointer<QWidget> focusBeforeMenu_;

    WelcomePage welcome_{};
    DriveSelectPage drives_{};
    TTypesSheet* types_ = nullptr;
    ModePage mode_{};
    AutopilotPage autopilot_{};
    FinishPage finish_{};

    // The drive the found files and the halves' state belong to; none at first.
    std::optional<DriveIdentity> workDrive_;
    // The drives of the list's rows, in row order.
    std::vector<std::shared_ptr<const TRecoveryDrive>> listedDrives_;

    int checkStateDepth_ = 0;
    int advanceFrom_ = -1;  // the page that asked to be left, or -1
    bool reloadPending_ = false;
    bool recoveryRunning_ = false;
    bool closePending_ = false;
    bool placementRead_ = false;
    // Placement values Qt has no use for, written back as they were read.
    std::uint32_t storedFlags_ = 0;
    QPoint storedMinPosition_{-1, -1};
    QPoint storedMaxPosition_{-1, -1};
};
