#include <QApplication>

#include <gtest/gtest.h>

TEST(WizardHarness, RunsHeadless) {
    EXPECT_EQ(QApplication::platformName(), QStringLiteral("offscreen"));
}
