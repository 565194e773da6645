// F1 and the Help buttons: a window's keyword reaches the help service, and the standard
// service opens that keyword's topic in the help window.

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/wizard/help/help_folder_fixture.h"
#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/help/help_form.h"
#include "wizard/help/help_keyword.h"
#include "wizard/help/help_unit.h"

namespace {

// A window with a keyword and a Help button, as every dialog of the program has.
class WindowWithHelp : public QDialog {
public:
    explicit WindowWithHelp(const QString& keyword) : help(QStringLiteral("Help"), this) {
        SetHelpKeyword(this, keyword);
        connect(&help, &QPushButton::clicked, this, [this] { PostHelpKey(this); });
    }
    QPushButton help;
};

// Counts the key events a window gets.
class KeyCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        presses += event->type() == QEvent::KeyPress ? 1 : 0;
        releases += event->type() == QEvent::KeyRelease ? 1 : 0;
        return false;
    }
    int presses = 0;
    int releases = 0;
};

class HelpKeys : public HelpFolderTest {
protected:
    void SetUp() override {
        HelpFolderTest::SetUp();
        HTMLHelpInterfaceInit();
    }
    void TearDown() override {
        HTMLHelpInterfaceDone();
        HelpFolderTest::TearDown();
    }

    QUrl shownTopic() const {
        return CurrentHelpWindow() ? CurrentHelpWindow()->browser()->source() : QUrl();
    }
};

TEST_F(HelpKeys, F1AndTheHelpButtonOpenEachTopicWithItsTitle) {
    const ScopedHelpService viewer(HtmlHelpViewer());
    for (const QString& keyword : kHelpTopics) {
        SCOPED_TRACE(keyword.toStdString());
        WindowWithHelp window(keyword);
        window.show();

        CallHtmlHelp(helpFolder(), HH_CLOSE_ALL);
        QTest::keyClick(&window, Qt::Key_F1);
        EXPECT_EQ(shownTopic(), QUrl::fromLocalFile(topicFile(keyword)));
        const QString title = CurrentHelpWindow()->browser()->documentTitle();
        EXPECT_FALSE(title.isEmpty());
        EXPECT_EQ(CurrentHelpWindow()->windowTitle(), title);

        CallHtmlHelp(helpFolder(), HH_CLOSE_ALL);
        window.help.click();
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(shownTopic(), QUrl::fromLocalFile(topicFile(keyword)));
    }
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(HelpKeys, TheHelpButtonPostsOneKeyPressToItsOwnWindow) {
    WindowWithHelp asking(QStringLiteral("/files/about.html"));
    WindowWithHelp other(QStringLiteral("/files/params.html"));
    asking.show();
    other.show();
    other.activateWindow();
    KeyCounter keys;
    asking.installEventFilter(&keys);
    HTMLHelpInterfaceDone();  // the keys must reach the window, not the help unit

    asking.help.click();
    EXPECT_EQ(keys.presses, 0);  // posted, not sent
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(keys.presses, 1);
    EXPECT_EQ(keys.releases, 0);
    EXPECT_TRUE(help.topics.isEmpty());

    HTMLHelpInterfaceInit();
    asking.help.click();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(help.topics, QStringList{QStringLiteral("/files/about.html")});
}

TEST_F(HelpKeys, F1IsSilentWithoutAKeywordWithAModifierOrWithoutTheFolder) {
    QDialog plain;
    plain.show();
    QTest::keyClick(&plain, Qt::Key_F1);
    WindowWithHelp window(QStringLiteral("/files/about.html"));
    window.show();
    QTest::keyClick(&window, Qt::Key_F1, Qt::ShiftModifier);
    QTest::keyClick(&window, Qt::Key_F2);
    EXPECT_TRUE(help.topics.isEmpty());

    const ScopedHelpService viewer(HtmlHelpViewer());
    std::filesystem::remove_all(helpFolderPath());
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_EQ(CurrentHelpWindow(), nullptr);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(HelpKeys, ShuttingDownStopsF1AndClosesTheHelpWindow) {
    HTMLHelpInterfaceInit();  // a second start changes nothing
    ShowHelpTopic(kContentsTopic);
    QPointer<THelpForm> window = CurrentHelpWindow();
    ASSERT_NE(window, nullptr);
    HTMLHelpInterfaceDone();
    EXPECT_EQ(window, nullptr);

    WindowWithHelp asking(QStringLiteral("/files/about.html"));
    asking.show();
    QTest::keyClick(&asking, Qt::Key_F1);
    EXPECT_TRUE(help.topics.isEmpty());
}

TEST_F(HelpKeys, TheHelpWindowOpensBesideTheProgramClosesWithEscAndDoesNotKeepItRunning) {
    // Centred on the screen, as the program's window is at its first start.
    QMainWindow mainWindow;
    mainWindow.setGeometry(250, 40, 300, 200);
    ShowHelpTopic(kContentsTopic);
    mainWindow.show();
    ASSERT_NE(CurrentHelpWindow(), nullptr);
    EXPECT_FALSE(CurrentHelpWindow()->frameGeometry().intersects(mainWindow.frameGeometry()));
    QTest::keyClick(CurrentHelpWindow()->browser(), Qt::Key_Escape);
    EXPECT_FALSE(CurrentHelpWindow()->isVisible());

    bool stuck = false;
    QTimer::singleShot(0, &mainWindow, [&] {
        ShowHelpTopic(kContentsTopic);
        mainWindow.close();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        stuck = true;
        QCoreApplication::quit();
    });
    guard.start(5000);
    QApplication::exec();
    EXPECT_FALSE(stuck);
    EXPECT_NE(CurrentHelpWindow(), nullptr);
}

}  // namespace
