// A recovery of carved files on the real engine: what comes back is byte for byte what the
// image holds from each hit on. Listed files' runs are the end-to-end tests' part.

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>

#include "engine/exports.h"
#include "platform/handles.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/model/found_files/base_sorted_list.h"
#include "wizard/model/real_engine.h"
#include "wizard/recovery/recovery_flow_fixture.h"
#include "wizard/settings/settings_store.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class RealRecoveryTest : public RealEngineTest {
protected:
    void SetUp() override {
        RealEngineTest::SetUp();
        LoadSettings();
        FormatsUnitInit();
    }
    void TearDown() override {
        FormatsUnitDone();
        RealEngineTest::TearDown();
    }
};

TEST_F(RealRecoveryTest, CarvedFilesAreTheBytesFromTheirHitOn) {
    const fs::path target = workFolder() / "target";
    Settings().RecoveryTargetFolder = QString::fromStdString(target.string()) + u'/';
    Settings().RecoveryAutoPilot = true;
    useFixtureDisks({"search/fat12-hits.img.gz"});
    HANDLE rescan = realEngine().DrivesRescan(0);
    ASSERT_EQ(WaitForSingleObject(rescan, 20000), WAIT_OBJECT_0);
    CloseHandle(rescan);
    std::shared_ptr<TRecoveryDrive> drive;
    for (int i = 0; i < realEngine().DriveGetCount(); ++i) {
        const _LDRIVE* info = realEngine().DriveGetInformation(i);
        if (info->Letter == 'C') drive = std::make_shared<TRecoveryDrive>(*info);
    }
    ASSERT_TRUE(drive);
    FakeRecoveryHost host;
    host.settings.ReadRetries = 2;
    host.settings.DiskNumber = drive->DriveNumber();
    ASSERT_GT(realEngine().DriveInitialize(&host.settings), 0) << realEngine().GetLastErrorString();

    static std::mutex mutex;
    static std::vector<FoundFileRecord> hits;
    hits.clear();
    host.settings.FoundCallback = [](std::uint32_t, FoundFileRecord* hit) {
        std::lock_guard lock(mutex);
        hits.push_back(*hit);
        hits.back().Name = nullptr;
    };
    host.settings.Run = 1;
    HANDLE search = realEngine().DriveSearchSignatures();
    if (search && search != kSearchRanOnCaller) {
        ASSERT_EQ(WaitForSingleObject(search, 60000), WAIT_OBJECT_0);
        CloseHandle(search);
    }
    ASSERT_GE(hits.size(), 8u);
    TBaseSortedList list{kSortByPath, true};
    std::int64_t serial = 0;
    for (const FoundFileRecord& hit : hits) list.Add(std::make_unique<TBaseElement>(hit, ++serial, drive));
    list.FillUnknownSizes();
    for (std::size_t i = 0; i < list.Count(); ++i) host.selected.push_back(&list[i]);

    RecoveryFlow flow(host);
    ASSERT_TRUE(flow.DoRealRecovery(false));
    const std::string image = Read(workFolder() / "fat12-hits.img");
    for (const TBaseElement* element : host.selected) {
        const std::uint64_t size = element->Record().Size;
        ASSERT_NE(size, kUnknownSize);
        EXPECT_EQ(Read(target / element->Name()), image.substr(element->Record().DataPosition, size))
            << element->Name();
    }
    EXPECT_EQ(host.recovered[1], static_cast<int>(host.selected.size()));
}

}  // namespace
