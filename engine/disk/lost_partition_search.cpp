#include "engine/disk/lost_partition_search.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

#include "engine/disk/lost_partition_scan.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "engine/messages.h"
#include "platform/device_info.h"
#include "platform/handles.h"
#include "platform/messages.h"

namespace engine::lost {
namespace {

constexpr std::uint64_t kSectorBytes = kPartitionSectorSize;

// Serves the sectors of the range from pieces read at once; a piece that does not read
// whole falls back to single sectors, so one bad sector costs only itself.
class PieceReader {
public:
    PieceReader(CDrive& disk, std::uint64_t lastSector)
        : disk_(disk), lastSector_(lastSector), buffer_(kPieceSectors * kSectorBytes) {}

    // The sector's bytes, or nothing when it cannot be read.
    const std::uint8_t* sector(std::uint64_t lba) {
        if (!loaded_ || lba < first_ || lba - first_ >= count_) load(lba);
        std::uint8_t* bytes = buffer_.data() + (lba - first_) * kSectorBytes;
        if (whole_ || disk_.ReadSectors(lba, 1, bytes) == kSectorBytes) return bytes;
        return nullptr;
    }

private:
    void load(std::uint64_t lba) {
        loaded_ = true;
        first_ = lba;
        count_ = std::min(kPieceSectors, lastSector_ - lba + 1);
        whole_ = disk_.ReadSectors(first_, count_, buffer_.data()) == count_ * kSectorBytes;
    }

    CDrive& disk_;
    std::uint64_t lastSector_;
    std::vector<std::uint8_t> buffer_;
    bool loaded_ = false;
    bool whole_ = false;
    std::uint64_t first_ = 0;
    std::uint64_t count_ = 0;
};

// Posts a step unless the last one is still waiting for the receiver.
void postStep(LostSearchRequest& request) {
    std::atomic_ref<std::int32_t> pending(request.StepPending);
    if (pending.exchange(1) != 0) return;
    if (!PostMessageW(request.Window, WM_ENGINE_LOST_SEARCH_STEP, 0, 0)) pending.store(0);
}

bool running(LostSearchRequest& request) { return std::atomic_ref<std::int32_t>(request.Run).load() != 0; }

void appendRegion(CStorageArray& drives, CDrive& disk, const LostRegion& region) {
    const _LDRIVE& parent = *disk.GetDriveInfo();
    auto drive = std::make_shared<CDrive>();
    DriveSource source;
    source.kind = kDriveLostPartition;
    source.path = disk.openPath();
    source.baseOffset = region.firstSector * kSectorBytes;
    source.sizeBytes = region.sectorCount * kSectorBytes;
    drive->SetSource(source);
    drive->SetParentPath(disk.openPath());
    _LDRIVE& info = *drive->GetDriveInfo();
    info.ParentId = parent.Id;
    info.SourceDevice = parent.SourceDevice;
    info.SourceInode = parent.SourceInode;
    info.FileSystemCode = region.fileSystemCode;
    info.DriveType = platform::kDriveTypeFixed;
    info.Ready = 1;
    std::snprintf(info.Description, sizeof info.Description, "Partition at sector %llu of drive %d",
                  static_cast<unsigned long long>(region.firstSector), parent.Id);
    const int index = drives.add(std::move(drive));
    Log(kLogStatus, "CStorageArray.LostSearch: found %s at sector %I64u, %I64u sectors, index %d",
        region.fromTable ? "partition" : "volume", region.firstSector, region.sectorCount, index);
}

// Regions that earlier searches already added for this disk.
void markListedRegions(const CStorageArray& drives, const _LDRIVE& disk, LostPartitionScanner& scanner) {
    for (int i = 0; i < drives.count(); ++i) {
        const std::shared_ptr<CDrive> drive = drives.share(i);
        if (!drive) continue;
        const _LDRIVE& info = *drive->GetDriveInfo();
        if (info.Kind == kDriveLostPartition && info.ParentId == disk.Id)
            scanner.markKnown(info.BaseOffset / kSectorBytes);
    }
}

struct SearchThread {
    CStorageArray* drives;
    LostSearchRequest* request;
};

DWORD searchThreadMain(void* parameter) {
    std::unique_ptr<SearchThread> work(static_cast<SearchThread*>(parameter));
    try {
        return static_cast<DWORD>(LostSearch(*work->drives, *work->request));
    } catch (...) {
        Log(kLogError, "CStorageArray.LostSearch.except");
        std::atomic_ref<std::int32_t>(work->request->Run).store(0);
        return static_cast<DWORD>(work->drives->count());
    }
}

}  // namespace

int LostSearch(CStorageArray& drives, LostSearchRequest& request) {
    const std::shared_ptr<CDrive> disk = drives.share(request.DiskIndex);
    if (!disk) return drives.count();
    if (!disk->isOpen()) disk->OpenDrive();
    const std::uint64_t totalSectors = disk->GetDriveInfo()->TotalSectors;

    std::atomic_ref<std::uint64_t> current(request.CurrentSector);
    current.store(request.StartSector);
    std::atomic_ref<std::int32_t>(request.StepPending).store(0);
    std::atomic_ref<std::int32_t>(request.Run).store(1);
    if (totalSectors == 0) {
        std::atomic_ref<std::int32_t>(request.Run).store(0);
        return drives.count();
    }
    std::uint64_t last = request.EndSector;
    if (last == 0 || last == ~std::uint64_t{0}) last = totalSectors - 1;
    last = std::min(last, totalSectors - 1);

    LostPartitionScanner scanner(
        [&disk](std::uint64_t lba, std::span<std::uint8_t, kPartitionSectorSize> target) {
            return disk->ReadSectors(lba, 1, target.data()) == kSectorBytes;
        },
        totalSectors, kMaxFoundDrives);
    markListedRegions(drives, *disk->GetDriveInfo(), scanner);
    PieceReader pieces(*disk, last);

    for (std::uint64_t lba = request.StartSector; lba <= last && running(request); ++lba) {
        current.store(lba);
        postStep(request);
        const std::uint8_t* bytes = pieces.sector(lba);
        if (!bytes) continue;
        for (const LostRegion& region : scanner.examine(lba, SectorView(bytes, kPartitionSectorSize)))
            appendRegion(drives, *disk, region);
    }
    for (const LostRegion& region : scanner.finish()) appendRegion(drives, *disk, region);
    if (scanner.full()) Log(kLogWarning, "CStorageArray.LostSearch: stopped adding after %u drives",
                               static_cast<unsigned>(kMaxFoundDrives));
    if (scanner.tableBudgetSpent())
        Log(kLogWarning, "CStorageArray.LostSearch: stopped walking tables after %I64u sector reads",
            kTableReadBudget);
    std::atomic_ref<std::int32_t>(request.Run).store(0);
    return drives.count();
}

HANDLE StartLostSearch(CStorageArray& drives, LostSearchRequest* request) {
    if (!request) return nullptr;
    auto work = std::make_unique<SearchThread>(SearchThread{&drives, request});
    HANDLE thread = CreateThread(nullptr, 0, &searchThreadMain, work.get(), 0, nullptr);
    if (thread) work.release();
    return thread;
}

}  // namespace engine::lost
