// The main window without a mouse: key presses on whatever has the focus, as a user at
// the keyboard gives them.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTableView>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/registry.h"
#include "wizard/forms/main/main_form_fixture.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/settings/settings_values.h"
#include "wizard/support/dialog_controls.h"
#include "wizard/support/fixture_listings.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/wait_until.h"

namespace fs = std::filesystem;

namespace {

constexpr char16_t kGlobalKey[] = u"\\Software\\Kelvorin\\Pramblex\\3.0\\Global";
constexpr char16_t kRecoveryKey[] = u"\\Software\\Kelvorin\\Pramblex\\3.0\\Recovery";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Whether a button shows pressed, as one does during its animated click.
bool AnyButtonDown() {
    for (QWidget* widget : QApplication::allWidgets()) {
        const auto* button = qobject_cast<QAbstractButton*>(widget);
        if (button && button->isDown()) return true;
    }
    return false;
}

// Whether `later` follows `earlier` in reading order: further right on the same row, or
// on a lower row.
bool FollowsInLayout(const QRect& earlier, const QRect& later) {
    const bool sameRow = later.top() < earlier.bottom() && earlier.top() < later.bottom();
    return sameRow ? later.left() > earlier.left() : later.center().y() > earlier.center().y();
}

class MainFormKeyboardTest : public MainFormTest {
protected:
    // The registry as a user who switched the auto-pilot on and every question off left it.
    void prepareRegistry(const fs::path& target, bool autopilot = true) {
        auto global = platform::RegistryKey::create(kGlobalKey);
        auto recovery = platform::RegistryKey::create(kRecoveryKey);
        ASSERT_TRUE(global && recovery);
        for (const char16_t* name : {u"GlobalFirstStart", u"ConfirmationsShutdown", u"ConfirmationsScanAbort",
                                     u"ConfirmationsRecoveryAbort", u"ConfirmationsFileOverwrite"}) {
            ASSERT_TRUE(global->writeDword(name, 0));
        }
        ASSERT_TRUE(recovery->writeDword(u"RecoveryAutoPilot", autopilot ? 1 : 0));
        ASSERT_TRUE(recovery->writeString(u"RecoveryTargetFolder", target.u16string()));
    }

    QString focusName() const {
        const QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QStringLiteral("(none)");
    }

    // A key on the focused control, or on the window when nothing has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : form.get(), key, modifiers);
        // A button's mnemonic clicks it the way a mouse would, pressed for a moment: the
        // click, and all it runs, is over once the button is up again.
        if (modifiers & Qt::AltModifier) {
            EXPECT_TRUE(waitUntil([] { return !AnyButtonDown(); }, std::chrono::minutes(1)));
        }
        // What the key left to the event loop happens before the next one.
        QCoreApplication::processEvents();
    }

    // From the welcome page to `page` by Return, the first drive taken by an arrow key.
    void returnTo(int page) const {
        while (form->ActivePage() < page) {
            if (form->ActivePage() == TMainForm::kDriveSelectPage && !form->SelectedDrive) press(Qt::Key_Down);
            const int before = form->ActivePage();
            press(Qt::Key_Return);
            ASSERT_EQ(form->ActivePage(), before + 1) << "Return did not leave page " << before << " from "
                                                      << focusName().toStdString();
        }
    }

    // By keys to the files the file-system scan lists on the FAT32 image, every name taken,
    // the auto-pilot off.
    void keysToFat32Files(const fs::path& target) {
        useFixtureDisks({"fat/fat32.img.gz"});
        prepareRegistry(target, false);
        startUnits();
        createForm();
        showActive();
        returnTo(TMainForm::kTypesPage);
        press(Qt::Key_Tab);
        press(Qt::Key_Space);  // every name
        returnTo(TMainForm::kPreviewFileSystemPage);
    }

    // Watches for modal dialogs while it lives: each is noted and closed.
    class ModalWatch {
    public:
        ModalWatch() {
            QObject::connect(&timer_, &QTimer::timeout, [this] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    seen.append(modal->objectName());
                    modal->close();
                }
            });
            timer_.start(20);
        }
        QStringList seen;

    private:
        QTimer timer_;
    };
};

TEST_F(MainFormKeyboardTest, TheAutopilotRecoversEveryFileByKeysAlone) {
    const fs::path target = workFolder() / "target";
    useFixtureDisks({"fat/fat32.img.gz"});
    prepareRegistry(target);
    startUnits();
    startSplash();
    createForm();
    showActive();
    const ModalWatch watch;

    EXPECT_EQ(focusName().toStdString(), "BottomButtonNext");
    press(Qt::Key_Return);
    ASSERT_EQ(form->ActivePage(), TMainForm::kDriveSelectPage);
    press(Qt::Key_Down);
    ASSERT_EQ(driveCaptions().size(), 1);
    press(Qt::Key_Return);
    ASSERT_EQ(form->ActivePage(), TMainForm::kTypesPage);
    // Text files are no searched type: every name ("*.*") is.
    press(Qt::Key_Tab);
    ASSERT_EQ(focusName().toStdString(), "TypesFilenameCheckBox");
    press(Qt::Key_Space);
    press(Qt::Key_Return);
    ASSERT_EQ(form->ActivePage(), TMainForm::kModePage);
    // The whole drive: its live files are listed too.
    press(Qt::Key_Down);
    EXPECT_EQ(focusName().toStdString(), "ModeCorruptedRadioButton");
    press(Qt::Key_Return);
    ASSERT_EQ(form->ActivePage(), TMainForm::kAutopilotPage);
    EXPECT_TRUE(child<QCheckBox>("AutopilotCheckBox")->isChecked()) << "from the registry";
    for (int tab = 0; tab < 3; ++tab) press(Qt::Key_Tab);
    ASSERT_EQ(focusName().toStdString(), "AutopilotKeepFolderStructureCheckBox");
    press(Qt::Key_Space);
    press(Qt::Key_Return);

    ASSERT_EQ(form->ActivePage(), TMainForm::kFinishPage);
    EXPECT_TRUE(watch.seen.isEmpty()) << watch.seen.join(u',').toStdString();
    EXPECT_TRUE(prompts.shown().empty());
    const std::map<std::string, std::string> contents = FatFixtureContents("fat/fat32.expected", false);
    ASSERT_TRUE(contents.contains("A/B/_one.txt") && contents.contains("A/B/C/deep file.txt"));
    for (const auto& [path, text] : contents) EXPECT_EQ(ReadFile(target / path), text) << path;
    int onDisk = 0;
    for (const auto& entry : fs::recursive_directory_iterator(target)) onDisk += entry.is_regular_file();
    EXPECT_EQ(child<QLabel>("FinishRecoveredFilesLabel")->text(), QString::number(onDisk));
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != form.get()) {
            EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
        }
    }
    EXPECT_EQ(focusName().toStdString(), "FinishExploreButton");
}

TEST_F(MainFormKeyboardTest, ARecoveryByHandTakesItsDialogsKeysAndGivesThemBack) {
    const fs::path target = workFolder() / "target";
    keysToFat32Files(target);
    ASSERT_EQ(focusName().toStdString(), "PreviewFileSystemListView");
    press(Qt::Key_Space);  // the first file, current since the list got the focus
    Settings().ConfirmationsFileOverwrite = true;
    QSignalSpy closed(form.get(), &TMainForm::FormClosed);
    // The second run finds the file written: File exists > No > the save dialog cancelled.
    for (const bool again : {false, true}) {
        answerNextModalDialog([&](QWidget* dialog) {
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Return);
        });
        if (again) {
            answerNextModalDialog([](QWidget* dialog) { PressButton(dialog, "NoButton"); });
            answerNextModalDialog([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
        }
        press(Qt::Key_R, Qt::AltModifier);
        // The finished run waits for its OK, which has the keys after every dialog.
        ASSERT_TRUE(waitUntil([&] { return focusName() == QStringLiteral("OkButton"); }, std::chrono::minutes(1)))
            << again << ": " << focusName().toStdString();
        QWidget* progress = QApplication::activeWindow();
        // Keys that reach the wizard behind it all the same do nothing there.
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(form->focusWidget(), key);
        EXPECT_EQ(form->ActivePage(), TMainForm::kPreviewFileSystemPage);
        EXPECT_EQ(closed.count(), 0);
        press(Qt::Key_Return);
        EXPECT_FALSE(progress->isVisible());
        EXPECT_TRUE(waitUntil([&] { return focusName() == QStringLiteral("PreviewFileSystemListView"); }))
            << "the keys back with the window, not " << focusName().toStdString();
    }
    press(Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(form->ActivePage(), TMainForm::kScanDriveSectorsPage);
    EXPECT_EQ(ReadFile(target / "_one.txt"), FatFixtureContents("fat/fat32.expected", false).at("A/B/_one.txt"));
}

TEST_F(MainFormKeyboardTest, CtrlRRecoversAfterAClickAndASelectAllInTheList) {
    keysToFat32Files(workFolder() / "target");
    press(Qt::Key_Tab);  // the focus elsewhere: the click gives it back to the list
    QTableView* list = form->PreviewFileSystemPage->ListView;
    ASSERT_GT(list->model()->rowCount(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    ASSERT_EQ(focusName().toStdString(), "PreviewFileSystemListView");
    // Select All shows the wait window over a disabled main window: the focus comes back.
    press(Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(list->selectionModel()->selectedRows().size(), list->model()->rowCount());
    ASSERT_EQ(focusName().toStdString(), "PreviewFileSystemListView");

    QString opened;
    answerNextModalDialog([&](QWidget* dialog) {
        opened = dialog->objectName();
        dialog->close();
    });
    // Without a window manager the keys may come to a window that is not the active one,
    // where the window's short cuts do not reach.
    QApplication::setActiveWindow(nullptr);
    QTest::keyClick(list, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(waitUntil([&] { return !opened.isEmpty(); })) << "no recovery";
    EXPECT_EQ(opened.toStdString(), "RecoverForm");
}

class MainFormKeysOnScriptedDrivesTest : public MainFormKeyboardTest {
protected:
    void start(int drives = 1) {
        std::vector<_LDRIVE> volumes;
        for (int i = 0; i < drives; ++i) {
            volumes.push_back(ScriptedVolume(2 + i, static_cast<char>('C' + i), 1 + i, 0xFFFF00FFu));
        }
        useScriptedDrives(std::move(volumes));
        startUnits();
        Settings().ConfirmationsShutdown = false;
        createForm();
        showActive();
    }
};

TEST_F(MainFormKeysOnScriptedDrivesTest, AnArrowKeyTakesTheFirstDriveThenMovesOn) {
    for (const int drives : {1, 2}) {
        for (const Qt::Key arrow : {Qt::Key_Down, Qt::Key_Up}) {
            start(drives);
            press(Qt::Key_Return);
            ASSERT_EQ(focusName().toStdString(), "DriveSelectListViewDrives");
            EXPECT_FALSE(button("BottomButtonNext")->isEnabled());
            press(arrow);
            EXPECT_EQ(driveList()->currentItem(), driveList()->topLevelItem(0)) << drives << " drives";
            ASSERT_EQ(driveList()->selectedItems().size(), 1);
            EXPECT_EQ(driveList()->selectedItems().first(), driveList()->topLevelItem(0));
            EXPECT_TRUE(button("BottomButtonNext")->isEnabled());
            press(Qt::Key_Down);
            EXPECT_EQ(driveList()->selectedItems().first(), driveList()->topLevelItem(drives - 1));
            destroyForm();
            units.reset();
            engine.reset();
        }
    }
}

TEST_F(MainFormKeysOnScriptedDrivesTest, EachPageFocusesItsMainControlAndTabGoesRoundInLayoutOrder) {
    start();
    const std::map<int, QString> mainControls = {
        {TMainForm::kWelcomePage, "BottomButtonNext"},
        {TMainForm::kDriveSelectPage, "DriveSelectListViewDrives"},
        {TMainForm::kTypesPage, "TypesTreeView"},
        {TMainForm::kModePage, "ModeDeletedRadioButton"},
        {TMainForm::kAutopilotPage, "AutopilotCheckBox"},
        // The scan starts as its page shows: Start hands the focus on to the log, never
        // to Stop, where Return would end the scan.
        {TMainForm::kScanFileSystemPage, "ScanFileSystemMemoLog"},
        {TMainForm::kPreviewFileSystemPage, "PreviewFileSystemListView"},
        {TMainForm::kScanDriveSectorsPage, "ScanDriveSectorsMemoLog"},
        {TMainForm::kPreviewDriveSectorsPage, "PreviewDriveSectorsListView"},
        {TMainForm::kFinishPage, "FinishNewButton"},
    };
    for (const auto& [page, control] : mainControls) {
        returnTo(page);
        EXPECT_EQ(focusName().toStdString(), control.toStdString()) << "page " << page;
        // Round from the main control back to it, each control once, the page's in order.
        QWidget* const start = QApplication::focusWidget();
        ASSERT_NE(start, nullptr);
        QWidget* const sheet = form->findChild<QStackedWidget*>()->currentWidget();
        QList<QWidget*> visited;
        QWidget* previous = nullptr;
        do {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_FALSE(visited.contains(focus)) << "page " << page << ": Tab stuck or looping at "
                                                  << focus->objectName().toStdString();
            visited.append(focus);
            if (sheet->isAncestorOf(focus)) {
                const QRect place(focus->mapTo(form.get(), QPoint()), focus->size());
                if (previous) {
                    const QRect before(previous->mapTo(form.get(), QPoint()), previous->size());
                    EXPECT_TRUE(FollowsInLayout(before, place) || previous == start)
                        << "page " << page << ": " << previous->objectName().toStdString() << " then "
                        << focus->objectName().toStdString();
                }
                previous = focus;
            } else {
                previous = nullptr;
            }
            press(Qt::Key_Tab);
        } while (QApplication::focusWidget() != start);
        for (QWidget* control : form->findChildren<QWidget*>()) {
            const bool tabStop = (control->focusPolicy() & Qt::TabFocus) && control->isVisible() &&
                                 control->isEnabled() && !control->focusProxy();
            if (tabStop) {
                EXPECT_TRUE(visited.contains(control)) << "page " << page << " skips "
                                                       << control->objectName().toStdString();
            }
        }
        // Back on the main control, so that Return goes on as before.
        while (QApplication::focusWidget() != start) press(Qt::Key_Tab);
    }
}

TEST_F(MainFormKeysOnScriptedDrivesTest, NoPageHoldsAMnemonicTwice) {
    start();
    for (int page = TMainForm::kWelcomePage; page <= TMainForm::kFinishPage; ++page) {
        returnTo(page);
        if (page == TMainForm::kTypesPage) press(Qt::Key_S, Qt::AltModifier);  // the filters shown too
        std::map<QString, QString> owners;
        for (QWidget* control : form->findChildren<QWidget*>()) {
            QString text;
            if (auto* button = qobject_cast<QAbstractButton*>(control)) text = button->text();
            if (auto* label = qobject_cast<QLabel*>(control); label && label->buddy()) text = label->text();
            const QString mnemonic = QKeySequence::mnemonic(text).toString();
            if (mnemonic.isEmpty() || !control->isVisible()) continue;
            const auto [owner, added] = owners.emplace(mnemonic, control->objectName());
            EXPECT_TRUE(added) << "page " << page << ": " << mnemonic.toStdString() << " on "
                               << owner->second.toStdString() << " and " << control->objectName().toStdString();
        }
    }
}

TEST_F(MainFormKeysOnScriptedDrivesTest, AltWithACaptionsMnemonicWorksItsControl) {
    start();
    press(Qt::Key_N, Qt::AltModifier);
    ASSERT_EQ(form->ActivePage(), TMainForm::kDriveSelectPage);
    press(Qt::Key_B, Qt::AltModifier);
    ASSERT_EQ(form->ActivePage(), TMainForm::kWelcomePage);
    press(Qt::Key_N, Qt::AltModifier);
    press(Qt::Key_Tab);
    press(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(focusName().toStdString(), "DriveSelectListViewDrives") << "the label's buddy";
    press(Qt::Key_Down);
    press(Qt::Key_N, Qt::AltModifier);
    ASSERT_EQ(form->ActivePage(), TMainForm::kTypesPage);

    press(Qt::Key_S, Qt::AltModifier);
    ASSERT_TRUE(waitUntil([&] { return child<QWidget>("TypesHideFiltersButton")->isVisible(); }));
    press(Qt::Key_H, Qt::AltModifier);
    ASSERT_TRUE(waitUntil([&] { return help.topics.size() == 1; })) << "Help, with the filters' Hide shown";
    press(Qt::Key_I, Qt::AltModifier);
    EXPECT_TRUE(waitUntil([&] { return child<QWidget>("TypesShowFiltersButton")->isVisible(); }));

    press(Qt::Key_N, Qt::AltModifier);
    press(Qt::Key_N, Qt::AltModifier);
    ASSERT_EQ(form->ActivePage(), TMainForm::kAutopilotPage);
    press(Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(focusName().toStdString(), "AutopilotFolderEdit");

    press(Qt::Key_M, Qt::AltModifier);
    QMenu* menu = child<QMenu>("MainMenu");
    ASSERT_TRUE(waitUntil([&] { return menu->isVisible(); }));
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_TRUE(waitUntil([&] { return !menu->isVisible(); }));
    EXPECT_TRUE(form->isVisible()) << "Esc closes the menu only";

    QSignalSpy closed(form.get(), &TMainForm::FormClosed);
    press(Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(closed.count(), 1) << "no question with the confirmation off";
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(MainFormKeysOnScriptedDrivesTest, AfterAMenuDialogTheFocusIsBackAndReturnMeansNext) {
    start();
    returnTo(TMainForm::kDriveSelectPage);
    press(Qt::Key_Down);
    ASSERT_EQ(focusName().toStdString(), "DriveSelectListViewDrives");
    QMenu* menu = child<QMenu>("MainMenu");
    QPushButton* menuButton = button("BottomButtonMenu");
    const QPoint buttonCorner = menuButton->mapToGlobal(QPoint());
    for (const Qt::Key key : {Qt::Key_unknown, Qt::Key_Space, Qt::Key_Return, Qt::Key_M}) {
        // A click opens the menu at the pointer, keys by the button wherever the pointer is.
        QCursor::setPos(key == Qt::Key_unknown ? menuButton->mapToGlobal(QPoint(30, 5)) : QPoint(1, 1));
        if (key == Qt::Key_unknown) {
            QTest::mouseClick(menuButton, Qt::LeftButton);
        } else if (key == Qt::Key_M) {
            press(key, Qt::AltModifier);
        } else {
            while (focusName() != QStringLiteral("BottomButtonMenu")) press(Qt::Key_Tab);
            press(key);
        }
        ASSERT_TRUE(waitUntil([&] { return menu->isVisible(); })) << key;
        EXPECT_EQ(menu->x(), buttonCorner.x() + (key == Qt::Key_unknown ? 30 : 0)) << key;
        const QRect buttonPlace(buttonCorner, menuButton->size());
        EXPECT_TRUE(key == Qt::Key_unknown || !menu->geometry().intersects(buttonPlace)) << key;
        answerNextModalDialog([](QWidget* dialog) { PressButton(dialog, "ButtonOK"); });
        QTest::keyClick(menu, Qt::Key_Down);  // "Common Settings..."
        QTest::keyClick(menu, Qt::Key_Return);
        ASSERT_TRUE(waitUntil([&] { return !menu->isVisible() && !QApplication::activeModalWidget(); }));
        EXPECT_TRUE(waitUntil([&] { return focusName() == QStringLiteral("DriveSelectListViewDrives"); }))
            << key << ": focus on " << focusName().toStdString();
    }
    press(Qt::Key_Return);
    EXPECT_EQ(form->ActivePage(), TMainForm::kTypesPage);
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(MainFormKeysOnScriptedDrivesTest, EscClosesFromAnyControlWithoutAskingWhenConfirmationIsOff) {
    start();
    returnTo(TMainForm::kTypesPage);
    QSignalSpy closed(form.get(), &TMainForm::FormClosed);
    ASSERT_EQ(focusName().toStdString(), "TypesTreeView");
    press(Qt::Key_Escape);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(MainFormKeysOnScriptedDrivesTest, SpaceTogglesTheFocusedTypesFormats) {
    start();
    returnTo(TMainForm::kTypesPage);
    const auto searched = [] {
        int count = 0;
        for (std::size_t i = 0; i < DataStorage->Formats().Count(); ++i) count += DataStorage->Formats()[i].Search;
        return count;
    };
    const int before = searched();
    press(Qt::Key_Down);
    press(Qt::Key_Space);
    EXPECT_NE(searched(), before) << "the current node's formats";
    press(Qt::Key_Space);
    EXPECT_EQ(searched(), before);
}

}  // namespace
