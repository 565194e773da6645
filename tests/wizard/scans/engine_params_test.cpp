// The run's engine settings record as each scan refills it, and the progress scale.

#include "wizard/scans/engine_params.h"

#include <gtest/gtest.h>

#include <cstring>

#include "wizard/model/formats/data_storage.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/scans/scan_progress.h"
#include "wizard/settings/settings_store.h"
#include "wizard/support/wizard_test.h"

namespace {

class EngineParamsTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        saved_ = Settings();
        LoadSettings();
        FormatsUnitInit();
    }
    void TearDown() override {
        FormatsUnitDone();
        Settings() = saved_;
        WizardTest::TearDown();
    }

    static void AddFormat(const char* title, std::int32_t id, bool search) {
        TFormat format;
        format.Title = title;
        format.SignatureId = id;
        format.Search = search;
        DataStorage->AppendFormat(format);
    }

private:
    SettingsValues saved_;
};

TEST_F(EngineParamsTest, RefillsTheWholeRecordFromTheSettingsAndSearchedFormats) {
    SettingsValues& settings = Settings();
    settings.RecoveryRetryCount = 3;
    settings.RecoveryRetryPause = 250;
    settings.RecoverySectorsToRead = 64;
    settings.RecoveryThreadsCount = 2;
    settings.RecoverySearchExisting = false;
    AddFormat("Searched", 1023, true);
    AddFormat("Beyond the selection bytes", 1024, true);
    AddFormat("No engine id", -1, true);
    AddFormat("Not searched", 7, false);

    EngineSettings& record = RunEngineSettings();
    std::memset(&record, 0xA5, sizeof record);
    DoInitializeParams(record, 4, 77);

    EXPECT_EQ(+record.Run, 1);
    EXPECT_EQ(+record.DiskNumber, 4);
    EXPECT_EQ(+record.NotifyWindow, 77u);
    EXPECT_EQ(+record.ReadRetries, 3);
    EXPECT_EQ(+record.RetryPause, 250u);
    EXPECT_EQ(+record.BufferSize, 64u * 1024);
    EXPECT_EQ(+record.ReaderThreads, 2);
    EXPECT_EQ(+record.FreeSpaceOnly, 1);
    EXPECT_TRUE(record.FoundCallback == nullptr);
    EXPECT_EQ(+record.TotalClusters, 0u);
    EXPECT_EQ(+record.WorkFlag, 0);
    EXPECT_EQ(+record.StartCluster, 0u);

    std::vector<int> selected;
    for (int id = 0; id < 1024; ++id) {
        if (record.FormatSelected[id] != 0) selected.push_back(id);
    }
    // The nine camera and drawing formats searched by default, and the one added.
    EXPECT_EQ(selected, (std::vector<int>{96, 110, 111, 112, 114, 115, 116, 117, 118, 1023}));

    settings.RecoverySearchExisting = true;
    for (const auto& [kb, bytes] : {std::pair{0, 1024u}, {-3, 1024u}, {10000, 10'240'000u},
                                    {10001, 10'240'000u}, {1, 1024u}}) {
        settings.RecoverySectorsToRead = kb;
        DoInitializeParams(record, 0, 0);
        EXPECT_EQ(+record.BufferSize, bytes) << kb << " KB";
        EXPECT_EQ(+record.FreeSpaceOnly, 0);
    }
}

TEST(ScanProgress, ScalesAnyCountsToTheBarsRangeWithoutOverflow) {
    constexpr std::uint64_t k2to33 = std::uint64_t{1} << 33;
    const struct {
        std::uint64_t current;
        std::uint64_t total;
        int position;
    } cases[] = {
        {0, 0, 0},
        {5, 0, 0},
        {0, 10, 0},
        {5, 10, 5000},
        {10, 10, 10000},
        {11, 10, 10000},
        {k2to33 / 2, k2to33, 5000},
        {k2to33 - 1, k2to33, 9999},
        {~std::uint64_t{0} - 1, ~std::uint64_t{0}, 9999},
        {std::uint64_t{1} << 63, ~std::uint64_t{0}, 5000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressPosition(c.current, c.total), c.position) << c.current << " of " << c.total;
    }
}

}  // namespace
