#pragma once
// The scans on the real engine over fixture images named in UNDELETE_DISKS.

#include <QProgressBar>

#include "platform/handles.h"
#include "wizard/model/real_engine.h"
#include "wizard/scans/scan_fixture.h"

class RealEngineScanFixture : public ScanFixture {
protected:
    void SetUp() override {
        ScanFixture::SetUp();
        ASSERT_EQ(realEngine().Library_Initialize(kProgramKey), 1);
    }
    void TearDown() override {
        realEngine().DriveInitialize(nullptr);
        realEngine().Library_Initialize(u"\\..\\refused");
        ScanFixture::TearDown();
    }

    // Lists the drives again; the one with that letter, or none.
    static std::shared_ptr<const TRecoveryDrive> Rescan(char letter) {
        HANDLE rescan = realEngine().DrivesRescan(0);
        EXPECT_NE(rescan, nullptr);
        if (!rescan) return nullptr;
        EXPECT_EQ(WaitForSingleObject(rescan, 20000), WAIT_OBJECT_0);
        CloseHandle(rescan);
        for (int i = 0; i < realEngine().DriveGetCount(); ++i) {
            const _LDRIVE* info = realEngine().DriveGetInformation(i);
            if (info && info->Letter == letter) return std::make_shared<TRecoveryDrive>(*info);
        }
        ADD_FAILURE() << "no drive " << letter;
        return nullptr;
    }

    void UseDrive(char letter) { host.drive = Rescan(letter); }
};
