#include "wizard/forms/splash_form.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "engine/messages.h"
#include "platform/messages.h"
#include "wizard/settings/settings_values.h"
#include "wizard/support/wait_until.h"
#include "wizard/support/wizard_test.h"

namespace {

using SplashFormTest = WizardTest;

TEST_F(SplashFormTest, ClosesItsDelayAfterTheRescanOrWhenClicked) {
    for (const auto& [delay, interval] : {std::pair{0, 300}, std::pair{20, 20300}}) {
        Settings().GlobalSplashDelay = delay;
        TSplashForm splash;
        EXPECT_EQ(splash.findChild<QTimer*>(QStringLiteral("CloseTimer"))->interval(), interval);
    }
    Settings().GlobalSplashDelay = 0;
    TSplashForm splash;
    splash.ShowNow();
    splash.StartCloseTimer();
    ASSERT_TRUE(waitUntil([&] { return !splash.isVisible(); }));
    splash.ShowNow();
    QTest::mouseClick(splash.findChild<QLabel*>(QStringLiteral("Image")), Qt::LeftButton);
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(SplashFormTest, NamesEachDriveTheEngineReports) {
    TSplashForm splash;
    auto* label = splash.findChild<QLabel*>(QStringLiteral("LabelDriveScanning"));
    for (const auto& [character, text] : {std::pair{LPARAM{'0'}, "Examining drive: 0:"},
                                           std::pair{LPARAM{'C'}, "Examining drive: C:"},
                                           std::pair{LPARAM{0x07}, "Examining drive: ?:"}}) {
        ASSERT_TRUE(PostMessageW(splash.DriveFoundWindow(), WM_ENGINE_DRIVE_FOUND, 0, character));
        splash.TakeQueuedReports();
        EXPECT_EQ(label->text(), QString::fromLatin1(text));
    }
}

}  // namespace
