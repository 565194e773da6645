// Opening an NTFS volume: the geometry bounded by the drive, $MFT checked against its
// runs and its mirror, and the cluster map.

#include "engine/fs/ntfs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/fs/ntfs_record.h"

using namespace ntfs;

CNTFS::CNTFS(CDrive* drive) : drive_(drive) { resetFoundFileOnConstruction(record_); }

CNTFS::~CNTFS() {
    if (drive_) drive_->Close();
}

int CNTFS::Initialize() {
    try {
        if (!drive_) return 0;
        std::array<std::uint8_t, CDrive::kSectorSize> boot{};
        if (drive_->ReadSectors(0, 1, boot.data()) < boot.size()) {
            Log(kLogError, "CNTFS.Initialize: Can't read boot sector");
            return 0;
        }
        std::string error;
        if (!parseBootSector(boot, geometry_, error)) {
            Log(kLogError, "CNTFS.Initialize: %s", error.c_str());
            return 0;
        }
        if (!ClampToDrive()) return 0;
        recordSize_ = geometry_.recordSize;
        // Reads go in 512-byte sectors whatever the volume's own sector size, and the
        // cluster map and the search count the clusters found here.
        _LDRIVE* info = drive_->GetDriveInfo();
        info->BytesPerCluster = geometry_.bytesPerCluster;
        info->SectorsPerCluster = geometry_.sectorsPerCluster();
        info->BytesPerSector = CDrive::kSectorSize;
        info->TotalClusters = geometry_.totalClusters;
        if (!Load_MFT()) {
            Log(kLogError, "Load MFT failed.");
            return 0;
        }
        sharedFile_ = std::make_unique<CNTFile>(*this);
        pathFile_ = std::make_unique<CNTFile>(*this);
        folders_ = std::make_unique<FolderPaths>(
            DriveRoot(), [this](std::uint64_t number) { return ReadFolder(number); });
        LoadClustersBitmap();
        return static_cast<int>(static_cast<std::uint32_t>(totalMftRecords_));
    } catch (...) {
        Log(kLogError, "CNTFS.Initialize except");
        return 0;
    }
}

bool CNTFS::ClampToDrive() {
    // Every count below is bounded by the clusters the drive can hold, whatever the boot
    // sector claims: a truncated image still lists what it holds.
    const std::uint64_t driveSectors = drive_->GetDriveInfo()->TotalSectors;
    if (driveSectors == 0) return true;
    const std::uint64_t driveClusters = driveSectors / geometry_.sectorsPerCluster();
    if (geometry_.totalClusters > driveClusters) {
        Log(kLogError, "CNTFS.Initialize: the volume's %I64d sectors exceed the drive's %I64d",
            geometry_.totalClusters * geometry_.sectorsPerCluster(), driveSectors);
        geometry_.totalClusters = driveClusters;
    }
    if (geometry_.mftCluster >= geometry_.totalClusters) {
        Log(kLogError, "CNTFS.Initialize: MFT cluster %I64d past the drive's end",
            geometry_.mftCluster);
        return false;
    }
    return true;
}

bool CNTFS::Load_MFT() {
    Log(kLogStatus, "CNTFS.Load_MFT: Load MFT start.");
    // Record 0's own sectors only: a bad sector in the records after it must not hide
    // the volume.
    std::array<std::uint8_t, kMaxRecordSize> first{};
    const std::uint64_t sector = geometry_.mftCluster * geometry_.sectorsPerCluster();
    auto readFirst = [&](std::uint32_t bytes) {
        return drive_->ReadSectors(sector, bytes / CDrive::kSectorSize, first.data()) >= bytes;
    };
    if (!readFirst(recordSize_) || !isFileRecord(first)) return false;
    // Record 0 knows its own size; the boot sector's value stands when it is not sane.
    auto allocated = fieldOr<std::uint32_t>(Bytes(first), kHeaderAllocatedSize);
    if (isPowerOfTwo(allocated) && allocated >= kMinRecordSize && allocated <= kMaxRecordSize &&
        allocated != recordSize_) {
        if (allocated > recordSize_ && !readFirst(allocated)) return false;
        recordSize_ = allocated;
    }
    mftFile_ = std::make_unique<CNTFile>(*this);
    if (!mftFile_->SetFileRecord(first.data())) {
        mftFile_.reset();
        return false;
    }
    if (mftFile_->HasAttribute(kAttrAttributeList)) mftFile_->MergeAttributeList(0);
    if (!mftFile_->HasData() || mftFile_->Runs().empty()) {
        mftFile_.reset();
        return false;
    }
    // Only records that the runs cover can be read, and no more than the drive holds
    // (runs may repeat clusters).
    const std::uint64_t driveBytes = geometry_.totalClusters * geometry_.bytesPerCluster;
    totalMftRecords_ =
        std::min({mftFile_->DataSize(), mftFile_->CoveredBytes(), driveBytes}) / recordSize_;
    CheckMFT();
    if (CompareMFTMirr() != 1) {
        Log(kLogWarning, "CNTFS.Load_MFT: MFT and MFTMirr not equal! (MFT or MFTMirr corruppted)");
    }
    Log(kLogStatus, "CNTFS.Load_MFT: Load MFT complete.");
    return true;
}

void CNTFS::CheckMFT() const {
    std::uint64_t found = 0;
    for (const DataRun& run : mftFile_->Runs()) found += run.clusterCount;
    // The runs cover the allocation, which may run ahead of the data by whole clusters.
    std::uint64_t expected = mftFile_->AllocatedSize() / geometry_.bytesPerCluster;
    if (found != expected) {
        Log(kLogError, "CNTFS.CheckMFT: Not all found MFT clusters! Must be: %I64d, Found : %I64d,",
            expected, found);
    }
}

int CNTFS::CompareMFTMirr() {
    // $MFTMirr holds copies of the first four records ($MFT, $MFTMirr, $LogFile, $Volume)
    // in the clusters the boot sector names. The records come from the enumeration's
    // first window, which is read once for both.
    constexpr std::uint64_t kMirrored = 4;
    const std::uint64_t records = std::min(kMirrored, totalMftRecords_);
    if (records == 0 || geometry_.mftMirrorCluster >= geometry_.totalClusters) return 0;
    std::vector<std::uint8_t> mirror(records * recordSize_);
    const std::uint64_t sector = geometry_.mftMirrorCluster * geometry_.sectorsPerCluster();
    if (drive_->ReadSectors(sector, mirror.size() / CDrive::kSectorSize, mirror.data()) <
        mirror.size()) {
        return 0;
    }
    for (std::uint64_t number = 0; number < records; ++number) {
        const std::uint8_t* own = WindowRecord(number);
        if (!own || std::memcmp(own, mirror.data() + number * recordSize_, recordSize_) != 0) {
            return 0;
        }
    }
    return 1;
}

bool CNTFS::LoadClustersBitmap() {
    Log(kLogStatus, "Load Clusters Bitmap begin");
    CNTFile bitmap(*this);
    if (!GetFileRec(kBitmapRecord, bitmap.RecordBuffer()) || !bitmap.ParseRecord()) return false;
    // One bit per cluster of the drive, and only the bits stored on disk: the search
    // takes clusters past the map as free, as a zeroed map would have them. A longer
    // $Bitmap only holds padding, or lies.
    const std::uint64_t bits = std::min({bitmap.InitializedSize(), bitmap.CoveredBytes(),
                                         (geometry_.totalClusters + 7) / 8}) * 8;
    CBitArray& map = drive_->clusterMap();
    if (bits == 0 || !map.Init(bits, false)) return false;
    bitmap.GetData(0, map.sizeInBytes(), map.GetData());
    Log(kLogStatus, "Load Clusters Bitmap complete");
    return true;
}
