// Opening an NTFS volume: geometry, $MFT and the cluster map; record and cluster reads.

#include "engine/fs/ntfs.h"

#include <array>

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
        LoadClustersBitmap();
        return static_cast<int>(static_cast<std::uint32_t>(totalMftRecords_));
    } catch (...) {
        Log(kLogError, "CNTFS.Initialize except");
        return 0;
    }
}

bool CNTFS::Load_MFT() {
    Log(kLogStatus, "CNTFS.Load_MFT: Load MFT start.");
    std::array<std::uint8_t, kMaxRecordSize> first{};
    std::uint64_t sector = geometry_.mftCluster * geometry_.sectorsPerCluster();
    std::uint64_t bytes = drive_->ReadSectors(sector, kMaxRecordSize / CDrive::kSectorSize,
                                              first.data());
    if (bytes < recordSize_ || !isFileRecord(first)) return false;
    // Record 0 knows its own size; the boot sector's value stands when it is not sane.
    auto allocated = fieldOr<std::uint32_t>(Bytes(first), kHeaderAllocatedSize);
    if (isPowerOfTwo(allocated) && allocated >= kMinRecordSize && allocated <= kMaxRecordSize &&
        allocated <= bytes) {
        recordSize_ = allocated;
    }
    mftFile_ = std::make_unique<CNTFile>(*this);
    if (!mftFile_->SetFileRecord(first.data())) {
        mftFile_.reset();
        return false;
    }
    if (mftFile_->HasAttribute(kAttrAttributeList)) mftFile_->MergeAttributeList();
    if (!mftFile_->HasData() || mftFile_->Runs().empty()) {
        mftFile_.reset();
        return false;
    }
    // Only records that the runs actually cover can be read.
    std::uint64_t covered = 0;
    for (const DataRun& run : mftFile_->Runs()) {
        if (!run.sparse) covered = std::max(covered, run.vcnEnd + 1);
    }
    std::uint64_t coveredBytes =
        covered > ~std::uint64_t{0} / geometry_.bytesPerCluster ? ~std::uint64_t{0}
                                                                : covered * geometry_.bytesPerCluster;
    totalMftRecords_ = std::min(mftFile_->DataSize(), coveredBytes) / recordSize_;
    CheckMFT();
    Log(kLogStatus, "CNTFS.Load_MFT: Load MFT complete.");
    return true;
}

void CNTFS::CheckMFT() const {
    std::uint64_t found = 0;
    for (const DataRun& run : mftFile_->Runs()) found += run.clusterCount;
    std::uint64_t expected = mftFile_->DataSize() / geometry_.bytesPerCluster;
    if (found < expected) {
        Log(kLogError, "CNTFS.CheckMFT: Not all found MFT clusters! Must be: %I64d, Found : %I64d,",
            expected, found);
    }
}

bool CNTFS::LoadClustersBitmap() {
    Log(kLogStatus, "Load Clusters Bitmap begin");
    CNTFile bitmap(*this);
    if (!GetFileRec(kBitmapRecord, bitmap.RecordBuffer()) || !bitmap.ParseRecord()) return false;
    // One bit per cluster; a longer $Bitmap only holds padding.
    std::uint64_t bits = std::min(bitmap.DataSize() * 8, (geometry_.totalClusters + 7) / 8 * 8);
    CBitArray& map = drive_->clusterMap();
    if (bits == 0 || !map.Init(bits, false)) return false;
    bitmap.GetData(0, map.sizeInBytes(), map.GetData());
    Log(kLogStatus, "Load Clusters Bitmap complete");
    return true;
}

bool CNTFS::ReadClusters(std::uint64_t lcn, std::uint8_t* buffer) const {
    if (lcn >= geometry_.totalClusters) return false;
    std::uint32_t sectors = geometry_.sectorsPerCluster();
    return drive_->ReadSectors(lcn * sectors, sectors, buffer) == geometry_.bytesPerCluster;
}

std::uint32_t CNTFS::GetFileRec(std::uint64_t number, std::uint8_t* buffer) const {
    try {
        if (!mftFile_ || number >= ~std::uint64_t{0} / recordSize_) return 0;
        std::uint64_t read = mftFile_->GetData(number * recordSize_, recordSize_, buffer);
        if (read < recordSize_) return 0;
        Bytes record(buffer, recordSize_);
        if (isFileRecord(record) &&
            fieldOr<std::uint16_t>(record, kHeaderFixupOffset) >= kHeaderSize) {
            std::uint32_t stored = fieldOr<std::uint32_t>(record, kHeaderRecordNumber);
            if (stored != number) {
                Log(kLogError,
                    "GetFileRec: Req: %d read: %d; read file record not equal reqest file record!",
                    static_cast<int>(number), static_cast<int>(stored));
            }
        }
        return recordSize_;
    } catch (...) {
        Log(kLogError, "GetFileRec: except");
        return 0;
    }
}
