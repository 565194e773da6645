// The main window's layout: side pictures on the left, the pages, the bottom bar.
#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "wizard/bridge/handler_guard.h"
#include "wizard/forms/about_form.h"
#include "wizard/forms/advanced_params_form.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/forms/main/pages/types_page.h"
#include "wizard/forms/types/types_panel.h"
#include "wizard/forms/widgets/link_label.h"
#include "wizard/scans/scan_pages.h"
#include "wizard/utilities/execute_program.h"
#include "wizard/utilities/maker_info.h"

namespace {

// The side panel's blue (red 0x59, green 0x91, blue 0xDE).
const QColor kSidePanelColour(0x59, 0x91, 0xDE);
constexpr int kSidePanelWidth = 160;

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    // Return presses the focused button, as in a dialog; elsewhere it means Next.
    button->setAutoDefault(true);
    return button;
}

QWidget* AddSheet(QStackedWidget* stack, const char* name) {
    auto* sheet = new QWidget(stack);
    sheet->setObjectName(QString::fromLatin1(name));
    stack->addWidget(sheet);
    return sheet;
}

// Connects a signal to a handler that must not let an exception out.
template <class Sender, class Signal, class Handler>
void OnSignal(Sender* sender, Signal signal, QObject* context, Handler handler) {
    QObject::connect(sender, signal, context, [handler](auto&&...) { RunGuarded(handler); });
}

}  // namespace

void TMainForm::BuildLayout() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("MainPanel"));
    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(BuildSidePanel());
    top->addWidget(BuildPages(), 1);
    auto* bevel = new QFrame(central);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top, 1);
    layout->addWidget(bevel);
    layout->addWidget(BuildBottomBar());
    setCentralWidget(central);
    BuildMainMenu();
}

QWidget* TMainForm::BuildSidePanel() {
    LeftPanel = new QWidget(this);
    LeftPanel->setObjectName(QStringLiteral("LeftPanel"));
    LeftPanel->setFixedWidth(kSidePanelWidth);
    LeftPanel->setAutoFillBackground(true);
    QPalette blue = LeftPanel->palette();
    blue.setColor(QPalette::Window, kSidePanelColour);
    LeftPanel->setPalette(blue);
    for (auto [image, name] : {std::pair{&LeftTopImage, "LeftTopImage"},
                               std::pair{&LeftMidImage, "LeftMidImage"},
                               std::pair{&LeftBottomImage, "LeftBottomImage"}}) {
        *image = new QLabel(LeftPanel);
        (*image)->setObjectName(QString::fromLatin1(name));
    }
    LeftPanel->installEventFilter(this);
    return LeftPanel;
}

void TMainForm::LeftPanelResize() {
    const int panelWidth = LeftPanel->width();
    const int panelHeight = LeftPanel->height();
    LeftTopImage->move((panelWidth - LeftTopImage->width()) / 2, 0);
    LeftMidImage->move((panelWidth - LeftMidImage->width()) / 2,
                       (panelHeight - LeftMidImage->height()) / 2 + 25);
    LeftBottomImage->move((panelWidth - LeftBottomImage->width()) / 2,
                          panelHeight - LeftBottomImage->height());
}

QWidget* TMainForm::BuildPages() {
    PageControlMain = new QStackedWidget(this);
    PageControlMain->setObjectName(QStringLiteral("PageControlMain"));
    welcome_ = BuildWelcomePage(AddSheet(PageControlMain, "WelcomeTabSheet"));
    drives_ = BuildDriveSelectPage(AddSheet(PageControlMain, "DriveSelectTabSheet"));
    types_ = new TTypesSheet(PageControlMain);
    PageControlMain->addWidget(types_);
    mode_ = BuildModePage(AddSheet(PageControlMain, "ModeTabSheet"));
    autopilot_ = BuildAutopilotPage(AddSheet(PageControlMain, "AutopilotTabSheet"));
    ScanFileSystemPage = new TScanFileSystemPage(PageControlMain);
    PageControlMain->addWidget(ScanFileSystemPage);
    PreviewFileSystemPage = new TPreviewPage(WorkHalf::FileSystem, PageControlMain);
    PageControlMain->addWidget(PreviewFileSystemPage);
    ScanDriveSectorsPage = new TScanDriveSectorsPage(PageControlMain);
    PageControlMain->addWidget(ScanDriveSectorsPage);
    PreviewDriveSectorsPage = new TPreviewPage(WorkHalf::DriveSectors, PageControlMain);
    PageControlMain->addWidget(PreviewDriveSectorsPage);
    finish_ = BuildFinishPage(AddSheet(PageControlMain, "FinishTabSheet"));
    for (QPushButton* button : PageControlMain->findChildren<QPushButton*>()) button->setAutoDefault(true);
    return PageControlMain;
}

QWidget* TMainForm::BuildBottomBar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("BottomPanel"));
    BottomButtonMenu = AddButton(bar, "BottomButtonMenu", QStringLiteral("&Menu..."));
    // A click on it leaves the focus where it is: Return stays Next once the menu is done.
    BottomButtonMenu->setFocusPolicy(Qt::TabFocus);
    BottomLabelWebSite = new TLinkLabel(QStringLiteral("BottomLabelWebSite"), TLinkLabel::Hover::OnMove, bar);
    BottomButtonBack = AddButton(bar, "BottomButtonBack", QStringLiteral("< &Back"));
    BottomButtonNext = AddButton(bar, "BottomButtonNext", QStringLiteral("&Next >"));
    BottomButtonNext->setDefault(true);
    BottomButtonClose = AddButton(bar, "BottomButtonClose", QStringLiteral("&Close"));
    BottomButtonHelp = AddButton(bar, "BottomButtonHelp", QStringLiteral("&Help"));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(BottomButtonMenu);
    layout->addSpacing(8);
    layout->addWidget(BottomLabelWebSite);
    layout->addStretch(1);
    layout->addWidget(BottomButtonBack);
    layout->addWidget(BottomButtonNext);
    layout->addSpacing(8);
    layout->addWidget(BottomButtonClose);
    layout->addWidget(BottomButtonHelp);
    return bar;
}

void TMainForm::BuildMainMenu() {
    MainMenu = new QMenu(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    const std::pair<const char*, const char*> preferences[] = {
        {"MainMenuMiCommonSettings", "Common Settings..."},
        {"MainMenuMiDriveAccess", "Drive Access..."},
        {"MainMenuMiConfirmations", "Confirmations..."},
        {"MainMenuMiInterfaceLanguage", "Interface Language..."},
    };
    int page = 0;
    for (const auto& [name, caption] : preferences) {
        QAction* item = MainMenu->addAction(QString::fromLatin1(caption));
        item->setObjectName(QString::fromLatin1(name));
        OnSignal(item, &QAction::triggered, this, [this, page] {
            ShowPreferences(page, this);
            UpdateInterfaceLanguage();
            RestoreFocusAfterMenu();
        });
        ++page;
    }
    MainMenu->addSeparator();
    QAction* about = MainMenu->addAction(QStringLiteral("About..."));
    about->setObjectName(QStringLiteral("MainMenuMiAbout"));
    OnSignal(about, &QAction::triggered, this, [this] {
        TAboutForm box(this);
        box.exec();
        RestoreFocusAfterMenu();
    });
}

void TMainForm::ConnectHandlers() {
    OnSignal(BottomButtonMenu, &QPushButton::clicked, this, [this] { BottomButtonMenuClick(); });
    OnSignal(BottomButtonBack, &QPushButton::clicked, this, [this] { BottomButtonBackClick(); });
    OnSignal(BottomButtonNext, &QPushButton::clicked, this, [this] { BottomButtonNextClick(); });
    OnSignal(BottomButtonClose, &QPushButton::clicked, this, [this] { BottomButtonCloseClick(); });
    OnSignal(BottomButtonHelp, &QPushButton::clicked, this, [this] { BottomButtonHelpClick(); });
    OnSignal(PageControlMain, &QStackedWidget::currentChanged, this,
             [this] { PageShown(PageControlMain->currentIndex()); });

    const std::pair<TLinkLabel*, QString> links[] = {{BottomLabelWebSite, kMakerWebSite},
                                                     {welcome_.WelcomeSupportURLLabel, kMakerSupportPage},
                                                     {welcome_.WelcomeHomepageURLLabel, kProductHomePage}};
    for (const auto& [link, address] : links) {
        OnSignal(link, &TLinkLabel::clicked, this, [address] { ExecuteProgram(address, QString()); });
    }

    QTreeWidget* list = drives_.DriveSelectListViewDrives;
    OnSignal(list, &QTreeWidget::itemSelectionChanged, this, [this] { DriveSelectListViewDrivesClick(); });
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& position) {
        drives_.DriveSelectPopupMenu->popup(list->viewport()->mapToGlobal(position));
    });
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    OnSignal(drives_.DriveSelectPopupMiSelect, &QAction::triggered, this, [this] { BottomButtonNextClick(); });
    OnSignal(drives_.DriveSelectPopupMiProperties, &QAction::triggered, this,
             [this] { DriveSelectPopupMiPropertiesClick(); });
    OnSignal(drives_.DriveSelectPopupMiRescan, &QAction::triggered, this,
             [this] { DriveSelectPopupMiRescanClick(); });

    // The filter check boxes take CheckState as their click handler.
    for (QCheckBox* box : {types_->TypesPanel->filenameCheckBox(), types_->TypesCreatedBetweenCheckBox,
                           types_->TypesAgeCheckBox, types_->TypesSizeCheckBox}) {
        OnSignal(box, &QCheckBox::toggled, this, [this] { CheckState(); });
    }

    connect(autopilot_.AutopilotFolderEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { RunGuarded([&] { AutopilotFolderEditChange(text); }); });
    OnSignal(autopilot_.AutopilotFolderBrowse, &QPushButton::clicked, this,
             [this] { AutopilotFolderBrowseClick(); });

    OnSignal(finish_.FinishExploreButton, &QPushButton::clicked, this, [this] { FinishExploreButtonClick(); });
    OnSignal(finish_.FinishFeedbackButton, &QPushButton::clicked, this, [this] { FinishFeedbackButtonClick(); });
    OnSignal(finish_.FinishNewButton, &QPushButton::clicked, this, [this] { FinishNewButtonClick(); });

    for (TPreviewPage* page : {PreviewFileSystemPage, PreviewDriveSectorsPage}) {
        OnSignal(page, &TPreviewPage::RecoverRequested, this,
                 [this, half = page->Half()] { PreviewMiRecoverClick(half); });
    }
}

bool TMainForm::TakeFirstDriveByArrow(int key) {
    // The list's own arrow handling would step past the first drive, which it made
    // current (unselected) when it got the focus, or, with one drive, do nothing.
    QTreeWidget* list = drives_.DriveSelectListViewDrives;
    if ((key != Qt::Key_Up && key != Qt::Key_Down) || !list->selectedItems().isEmpty() ||
        list->topLevelItemCount() == 0) {
        return false;
    }
    list->setCurrentItem(list->topLevelItem(0));
    return true;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LeftPanel && event->type() == QEvent::Resize) {
        LeftPanelResize();
    } else if (watched == drives_.DriveSelectListViewDrives && event->type() == QEvent::KeyPress) {
        if (TakeFirstDriveByArrow(static_cast<QKeyEvent*>(event)->key())) return true;
    } else if (watched == drives_.DriveSelectListViewDrives->viewport()) {
        QTreeWidget* list = drives_.DriveSelectListViewDrives;
        if (event->type() == QEvent::MouseButtonPress &&
            !list->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            // A click beside the drives chooses none.
            list->clearSelection();
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            // Also on the list's empty part: Next then finds no drive and stays.
            RunGuarded([this] { BottomButtonNextClick(); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
