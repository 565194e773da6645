// Drive images written by the imaging thread and loaded back: the file's bytes, the
// messages, failures and cancelling, refusing a target on the source, and hostile files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "disk_test_support.h"
#include "engine/disk/drive_image.h"
#include "engine/disk/drive_image_format.h"
#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/messages.h"
#include "platform/fault_injection.h"
#include "platform/handles.h"
#include "platform/messages.h"
#include "platform/text.h"

namespace {

namespace fs = std::filesystem;
using disktest::ScopedSettings;

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct Messages {
    int progress = 0;
    int failed = 0;
    int done = 0;
    LPARAM failedCode = 0;
    LPARAM doneCode = -1;
    std::function<void()> onProgress;

    void take(const platform::Message& message) {
        if (message.message == WM_ENGINE_IMAGE_PROGRESS) {
            ++progress;
            if (onProgress) onProgress();
        }
        if (message.message == WM_ENGINE_IMAGE_FAILED) ++failed, failedCode = message.lParam;
        if (message.message == WM_ENGINE_IMAGE_DONE) ++done, doneCode = message.lParam;
    }
};

class DriveImages : public ::testing::Test {
protected:
    void SetUp() override {
        work_ = fs::temp_directory_path() / ("image-" + std::to_string(::getpid()));
        fs::create_directories(work_);
        source_ = work_ / "source.img";
        writeFile(source_, *disktest::numberedSectors(kSourceSectors));
    }
    void TearDown() override { fs::remove_all(work_); }

    int addVolume(const fs::path& path, std::uint64_t offsetSectors, std::uint64_t sectors, std::int32_t parent) {
        auto drive = std::make_shared<CDrive>();
        drive->SetSource({kDriveVolume, path.string(), offsetSectors * 512, sectors * 512});
        drive->GetDriveInfo()->Letter = 'C';
        drive->GetDriveInfo()->ParentId = parent;
        std::memcpy(drive->GetDriveInfo()->Label, "SOURCE", 7);
        return drives_.add(std::move(drive));
    }
    // Images drive `index` into `target` on the imaging thread and waits for it.
    void image(int index, const fs::path& target, HWND window) {
        request_.DiskIndex = index;
        request_.Window = window;
        platform::copyToField(request_.Path, engine::image::kPathCapacity, platform::toUtf16(target.string()));
        disktest::waitForThread(engine::image::StartCreateImage(drives_, &request_));
    }
    void imageQueued(int index, const fs::path& target) {
        platform::QueueWindow window([this](const platform::Message& m) {
            messages_.take(m);
            return LRESULT{0};
        });
        image(index, target, window.handle());
        window.dispatchPending();
    }
    static std::uint64_t sectorOf(CDrive& drive, std::uint64_t lba) {
        std::uint8_t sector[512];
        return drive.ReadSectors(lba, 1, sector) == 512 ? disktest::sectorNumberAt(sector) : ~std::uint64_t{0};
    }

    static constexpr std::uint64_t kSourceSectors = 10000;
    ScopedSettings settings_{1};
    CStorageArray drives_{4};
    fs::path work_;
    fs::path source_;
    ImageRequest request_{};
    Messages messages_;
};

TEST_F(DriveImages, VolumeImageHoldsHeaderAndEverySectorAndLoadsBack) {
    const int volume = addVolume(source_, 0, kSourceSectors, -1);
    const fs::path target = work_ / "volume.image";
    imageQueued(volume, target);
    EXPECT_EQ(messages_.progress, 3);
    EXPECT_EQ(messages_.done, 1);
    EXPECT_EQ(messages_.doneCode, 0);
    EXPECT_EQ(+request_.TotalSectors, kSourceSectors);

    const std::vector<std::uint8_t> bytes = fileBytes(target);
    ASSERT_EQ(bytes.size(), 4096 + kSourceSectors * 512);
    EXPECT_EQ(bytes[14] | bytes[15] << 8, 0);
    _LDRIVE stored;
    std::memcpy(&stored, bytes.data() + 32, sizeof stored);
    EXPECT_STREQ(stored.Description, "Image from C (SOURCE) drive.");
    EXPECT_EQ(+stored.TotalSectors, kSourceSectors);
    EXPECT_EQ(disktest::sectorNumberAt(bytes.data() + 4096 + 9999 * 512), 9999u);

    std::shared_ptr<CDrive> loaded = engine::image::LoadImage(drives_, target.string());
    ASSERT_NE(loaded, nullptr);
    const _LDRIVE& info = *loaded->GetDriveInfo();
    EXPECT_EQ(+info.Kind, kDriveImage);
    EXPECT_EQ(+info.Id, 1);
    EXPECT_EQ(+info.ParentId, -1);
    EXPECT_EQ(+info.BaseOffset, 4096u);
    EXPECT_EQ(drives_.count(), 2);
    for (std::uint64_t lba : {0u, 4095u, 4096u, 9999u}) EXPECT_EQ(sectorOf(*loaded, lba), lba);
    EXPECT_EQ(sectorOf(*loaded, kSourceSectors), ~std::uint64_t{0});
}

TEST_F(DriveImages, DiskImageCarriesItsPartitionsWhichReadFromTheirOwnOffsets) {
    auto disk = std::make_shared<CDrive>();
    disk->SetSource({kDrivePhysical, source_.string(), 0, kSourceSectors * 512});
    disk->GetDriveInfo()->Letter = '0';
    const int diskIndex = drives_.add(disk);
    addVolume(source_, 1000, 500, diskIndex);
    addVolume(source_, 2000, 800, diskIndex);
    const fs::path target = work_ / "disk.image";
    imageQueued(diskIndex, target);
    EXPECT_EQ(messages_.doneCode, 0);

    const std::vector<std::uint8_t> bytes = fileBytes(target);
    ASSERT_EQ(bytes.size(), 5926 + kSourceSectors * 512);
    EXPECT_EQ(bytes[14] | bytes[15] << 8, 2);
    EXPECT_EQ(disktest::sectorNumberAt(bytes.data() + 5926), 0u);

    std::shared_ptr<CDrive> loaded = engine::image::LoadImage(drives_, target.string());
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(drives_.count(), 6);
    EXPECT_EQ(+loaded->GetDriveInfo()->BaseOffset, 5926u);
    EXPECT_EQ(+loaded->GetDriveInfo()->Id, 3);
    for (int index : {4, 5}) {
        const _LDRIVE* part = drives_.DiskGetInformation(index);
        EXPECT_EQ(+part->Kind, kDriveImage);
        EXPECT_EQ(+part->Id, index);
        EXPECT_EQ(+part->ParentId, 3);
    }
    EXPECT_EQ(+drives_.DiskGetInformation(4)->TotalSectors, 500u);
    EXPECT_EQ(sectorOf(*drives_.share(4), 0), 1000u);
    EXPECT_EQ(sectorOf(*drives_.share(4), 499), 1499u);
    EXPECT_EQ(sectorOf(*drives_.share(4), 500), ~std::uint64_t{0});
    EXPECT_EQ(sectorOf(*drives_.share(5), 0), 2000u);
    EXPECT_EQ(sectorOf(*loaded, 2000), 2000u);
}

TEST_F(DriveImages, TargetThatCannotBeCreatedFailsWithoutDone) {
    const int volume = addVolume(source_, 0, 100, -1);
    imageQueued(volume, work_ / "missing-folder" / "x.image");
    EXPECT_EQ(messages_.failed, 1);
    EXPECT_EQ(messages_.failedCode, ENOENT);
    EXPECT_EQ(messages_.done, 0);
    EXPECT_EQ(messages_.progress, 0);
}

TEST_F(DriveImages, TargetOnTheSourceIsRefusedAndTheSourceUntouched) {
    const std::vector<std::uint8_t> before = fileBytes(source_);
    const int volume = addVolume(source_, 0, kSourceSectors, -1);
    imageQueued(volume, source_);
    fs::create_hard_link(source_, work_ / "alias.img");
    imageQueued(volume, work_ / "alias.img");
    fs::create_symlink(source_, work_ / "link.img");
    imageQueued(volume, work_ / "." / "link.img");
    imageQueued(volume, work_ / "new.img");  // another file is fine
    EXPECT_EQ(messages_.failed, 3);
    EXPECT_EQ(messages_.failedCode, EINVAL);
    EXPECT_EQ(messages_.done, 1);
    EXPECT_EQ(fileBytes(source_), before);
}

TEST_F(DriveImages, CancelStopsBeforeTheNextPieceAndStillSaysDone) {
    const int volume = addVolume(source_, 0, kSourceSectors, -1);
    messages_.onProgress = [this] { std::atomic_ref<std::int32_t>(request_.Run).store(0); };
    // Received on the imaging thread itself, so the handler cancels between pieces.
    disktest::ImmediateWindow window([this](const platform::Message& m) { messages_.take(m); });
    image(volume, work_ / "cancelled.image", window.handle());
    EXPECT_EQ(messages_.progress, 1);
    EXPECT_EQ(messages_.done, 1);
    EXPECT_EQ(messages_.doneCode, 0);
    EXPECT_EQ(+request_.CurrentSector, 4096u);
    EXPECT_EQ(fs::file_size(work_ / "cancelled.image"), 4096u + 4096 * 512);
}

TEST_F(DriveImages, ReadFailureInTheMiddleFailsTheImageWithoutShiftingSectors) {
    auto bytes = disktest::numberedSectors(kSourceSectors);
    auto plan = std::make_shared<platform::FaultPlan>();
    plan->failReads(5000 * 512, 5001 * 512, EIO, -1);
    auto drive = std::make_shared<CDrive>();
    drive->SetSource({kDriveVolume, "memory-volume", 0, bytes->size()});
    drive->SetDeviceOpener(platform::faultyOpener(plan, platform::memoryOpener(bytes)));
    const int volume = drives_.add(drive);
    imageQueued(volume, work_ / "failed.image");
    EXPECT_EQ(messages_.progress, 1);
    EXPECT_EQ(messages_.done, 1);
    EXPECT_EQ(messages_.doneCode, EIO);
    EXPECT_EQ(fs::file_size(work_ / "failed.image"), 4096u + 4096 * 512);
}

TEST_F(DriveImages, HostileFilesLoadOnlyWhatTheyHold) {
    EXPECT_EQ(engine::image::LoadImage(drives_, (work_ / "absent").string()), nullptr);
    writeFile(work_ / "short", std::vector<std::uint8_t>(4095, 0));
    EXPECT_EQ(engine::image::LoadImage(drives_, (work_ / "short").string()), nullptr);
    EXPECT_EQ(drives_.count(), 0);

    // Claims 60000 partitions and a huge drive; holds one record and no sector data.
    _LDRIVE record;
    std::memset(&record, 'A', sizeof record);
    record.TotalSectors = ~std::uint64_t{0};
    record.SectorsPerCluster = 0;
    record.BytesPerSector = 512;
    const engine::image::Header header = engine::image::buildHeader(record, 60000);
    std::vector<std::uint8_t> file(header.begin(), header.end());
    file.insert(file.end(), reinterpret_cast<const std::uint8_t*>(&record),
                reinterpret_cast<const std::uint8_t*>(&record) + sizeof record);
    writeFile(work_ / "hostile", file);

    std::shared_ptr<CDrive> loaded = engine::image::LoadImage(drives_, (work_ / "hostile").string());
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(drives_.count(), 2);
    EXPECT_EQ(+loaded->GetDriveInfo()->TotalSectors, 0u);  // the record is made safe as it loads
    EXPECT_EQ(sectorOf(*loaded, 0), ~std::uint64_t{0});
    const _LDRIVE* part = drives_.DiskGetInformation(1);
    EXPECT_EQ(+part->TotalSectors, 0u);
    EXPECT_EQ(+part->ParentId, 0);
    EXPECT_EQ(+part->Id, 1);
}

TEST_F(DriveImages, ExportsCreateAndLoadThroughTheEngineArray) {
    ASSERT_EQ(Library_Initialize(u"\\Software\\Test"), 1);
    CStorageArray& engineDrives = *engine::state().drives;
    auto volume = std::make_shared<CDrive>();
    volume->SetSource({kDriveVolume, source_.string(), 0, 64 * 512});
    request_.DiskIndex = engineDrives.add(volume);
    const fs::path target = work_ / "export.image";
    platform::copyToField(request_.Path, engine::image::kPathCapacity, platform::toUtf16(target.string()));
    disktest::waitForThread(DriveImageCreate(&request_));
    EXPECT_EQ(fs::file_size(target), 4096u + 64 * 512);

    CDrive* loaded = DriveImageLoad(platform::toUtf16(target.string()).c_str());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(DriveGetCount(), 2);
    EXPECT_EQ(DriveGetInformation(1), loaded->GetDriveInfo());
    EXPECT_EQ(sectorOf(*loaded, 63), 63u);
}

}  // namespace
