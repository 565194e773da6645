// The wait window's scope: shown and painted before the work, nested scopes sharing one
// window, and the main window given back its state on every way out.

#include <QMainWindow>
#include <QScreen>
#include <QWindow>

#include <gtest/gtest.h>

#include <stdexcept>

#include "wizard/forms/wait_form.h"
#include "wizard/support/wizard_test.h"

namespace {

const QString kLoading = QStringLiteral("Loading file list... Please wait...");
const QString kSorting = QStringLiteral("Sorting file list... Please wait...");

class WaitFormTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        mainWindow.setGeometry(100, 100, 640, 480);
        mainWindow.show();
    }

    QMainWindow mainWindow;
};

TEST_F(WaitFormTest, TheWindowIsShownAndPaintedBeforeTheWork) {
    {
        const WaitScope wait(&mainWindow);
        TWaitForm* form = WaitForm();
        ASSERT_NE(form, nullptr);
        EXPECT_FALSE(mainWindow.isEnabled());
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->windowHandle()->isExposed());
        EXPECT_LE(
            (form->geometry().center() - mainWindow.frameGeometry().center()).manhattanLength(), 4);
        EXPECT_EQ(form->caption(), kLoading);

        // What the screen holds of the window now, without any event handled: the text
        // is drawn, so some pixels differ from the panel's background.
        const QImage shown = form->screen()->grabWindow(form->winId()).toImage();
        const QRgb background = shown.pixel(20, 28);
        bool drawn = false;
        for (int x = 40; x < 270 && !drawn; ++x) {
            for (int y = 15; y < 45 && !drawn; ++y) {
                drawn = shown.pixel(x, y) != background;
            }
        }
        EXPECT_TRUE(drawn);
    }
    EXPECT_EQ(WaitForm(), nullptr);
    EXPECT_TRUE(mainWindow.isEnabled());
}

TEST_F(WaitFormTest, NestedScopesShareTheWindowAndRestoreTheCaption) {
    {
        const WaitScope outer(&mainWindow);
        TWaitForm* form = WaitForm();
        {
            const WaitScope inner(&mainWindow, kSorting);
            EXPECT_EQ(WaitForm(), form);
            EXPECT_EQ(form->caption(), kSorting);
        }
        EXPECT_EQ(WaitForm(), form);
        EXPECT_EQ(form->caption(), kLoading);
        EXPECT_FALSE(mainWindow.isEnabled());
    }
    EXPECT_EQ(WaitForm(), nullptr);
    EXPECT_TRUE(mainWindow.isEnabled());
}

TEST_F(WaitFormTest, AnExceptionFreesTheWindowAndKeepsTheEarlierState) {
    for (const bool enabledBefore : {true, false}) {
        SCOPED_TRACE(enabledBefore);
        mainWindow.setEnabled(enabledBefore);
        EXPECT_THROW(
            {
                const WaitScope outer(&mainWindow, kSorting);
                const WaitScope inner(&mainWindow, kLoading);
                throw std::runtime_error("the work failed");
            },
            std::runtime_error);
        EXPECT_EQ(WaitForm(), nullptr);
        EXPECT_EQ(mainWindow.isEnabled(), enabledBefore);
    }
}

TEST_F(WaitFormTest, WorksWithoutAMainWindowAndOutlivesOne) {
    { const WaitScope wait(nullptr, kSorting); }
    EXPECT_EQ(WaitForm(), nullptr);
    auto* closing = new QMainWindow;
    {
        const WaitScope wait(closing);
        delete closing;
    }
    EXPECT_EQ(WaitForm(), nullptr);
}

}  // namespace
