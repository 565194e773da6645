#pragma once
// Tests on the real engine library, initialised on the test's own registry.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/handles.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/support/wizard_test.h"

// The key the program passes to the engine; its type table is kept below it.
inline constexpr char16_t kProgramKey[] = u"\\Software\\Kelvorin\\Pramblex";

class RealEngineTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        ASSERT_EQ(realEngine().Library_Initialize(kProgramKey), 1);
    }
    // Names the fixture images as the disks and waits for the engine to list them.
    void rescanFixtureDisks(const std::vector<std::string>& images) {
        useFixtureDisks(images);
        HANDLE rescan = realEngine().DrivesRescan(0);
        ASSERT_NE(rescan, nullptr);
        ASSERT_EQ(WaitForSingleObject(rescan, 20000), WAIT_OBJECT_0);
        CloseHandle(rescan);
    }
    void TearDown() override {
        realEngine().DriveInitialize(nullptr);
        // The engine writes its type table again when the process ends; a key the store
        // refuses keeps that write away from the user's own registry.
        realEngine().Library_Initialize(u"\\..\\refused");
        WizardTest::TearDown();
    }
};
