#pragma once
// CNTFS: an NTFS volume read through its drive. Initialize takes the geometry from the
// boot sector, loads $MFT with its runs and copies $Bitmap into the drive's cluster map;
// then every MFT record is listed once, in use or not (free records as deleted, records
// that are not file records as damaged), single records are looked up, folder paths are
// built from the file-name parents, and file data is read.
//
// The enumeration, FileGetInfo and FileGetPath run on one thread at a time; FileRead may
// run on other threads meanwhile, so nothing it touches is shared scratch state.

#include <cstdint>
#include <memory>
#include <string>

#include "engine/disk/drive.h"
#include "engine/fs/ntfs_boot.h"
#include "engine/fs/ntfs_file.h"
#include "engine/records.h"

class CNTFS final : public ntfs::RecordSource {
public:
    explicit CNTFS(CDrive* drive);
    ~CNTFS();
    CNTFS(const CNTFS&) = delete;
    CNTFS& operator=(const CNTFS&) = delete;

    // Returns the low 32 bits of TotalMFTRecords, 0 when the volume cannot be read.
    int Initialize();

    // The next record of the enumeration, null at the end. Extension records are part
    // of their base record and are skipped.
    FoundFileRecord* FileGetNext();
    // Fills `info` (fill reset first) from record `number`; its name lives until the
    // next FileGetInfo.
    FoundFileRecord* FileGetInfo(std::uint64_t number, FoundFileRecord& info);
    // The folder path of the record, ending in a backslash: "C:\A\B\", or
    // "lost_folder_N\B\" when the parent chain breaks at record N.
    const char16_t* FileGetPath(const FoundFileRecord* record);
    // A byte range of a record's data, of a record found by signature or, for a
    // signature hit, of the raw sectors. Returns the bytes read, 0 on failure.
    std::uint64_t FileRead(const FileReadRequest& request) const;

    std::uint32_t RecordSize() const override { return recordSize_; }
    std::uint32_t BytesPerCluster() const override { return geometry_.bytesPerCluster; }
    std::uint64_t TotalClusters() const override { return geometry_.totalClusters; }
    bool ReadClusters(std::uint64_t lcn, std::uint8_t* buffer) const override;
    std::uint32_t GetFileRec(std::uint64_t number, std::uint8_t* buffer) const override;

    std::uint64_t TotalMFTRecords() const { return totalMftRecords_; }
    std::uint64_t CurrentFileCount() const { return currentFileCount_; }

private:
    bool Load_MFT();
    void CheckMFT() const;
    bool LoadClustersBitmap();
    void FillFromRecord(std::uint64_t number, const std::uint8_t* raw, CNTFile& file,
                        FoundFileRecord& record, std::u16string& nameStorage) const;
    std::u16string DriveRoot() const;
    std::uint64_t ReadSignatureHit(const FileReadRequest& request) const;

    CDrive* drive_;
    ntfs::Geometry geometry_;
    std::uint32_t recordSize_ = 1024;
    std::unique_ptr<CNTFile> mftFile_;
    std::unique_ptr<CNTFile> sharedFile_;
    FoundFileRecord record_{};
    std::u16string recordName_;
    std::u16string infoName_;
    std::u16string path_;
    std::uint64_t currentFileCount_ = 0;
    std::uint64_t totalMftRecords_ = 0;
};
