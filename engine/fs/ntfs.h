#pragma once
// CNTFS: an NTFS volume read through its drive. Initialize takes the geometry from the
// boot sector, loads $MFT with its runs and copies $Bitmap into the drive's cluster map,
// every count bounded by the drive's size; then every MFT record that holds a file is
// listed once, in use or not (free records as deleted, records that are not file records
// or cannot be read as damaged), single records are looked up, folder paths are built
// from the file-name parents, and file data is read.
//
// The enumeration, FileGetInfo and FileGetPath run on one thread at a time and share the
// enumeration's scratch state; FileRead may run on other threads meanwhile and touches
// only its own buffers and the lock-guarded cache of recently read records.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/disk/drive.h"
#include "engine/fs/ntfs_boot.h"
#include "engine/fs/ntfs_file.h"
#include "engine/fs/ntfs_folders.h"
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
    // of their base record, and records with neither a file name nor data (reserved or
    // never used) hold no file: both are skipped, though TotalMFTRecords counts them.
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
    bool ReadClusters(std::uint64_t lcn, std::uint32_t from, std::uint32_t to,
                      std::uint8_t* buffer) const override;
    std::uint32_t GetFileRec(std::uint64_t number, std::uint8_t* buffer) const override;

    std::uint64_t TotalMFTRecords() const { return totalMftRecords_; }
    std::uint64_t CurrentFileCount() const { return currentFileCount_; }

    // 1 when the first records of $MFT equal their copies in $MFTMirr.
    int CompareMFTMirr();

private:
    // Consecutive records of the enumeration, read along the $MFT runs in one go.
    struct RecordWindow {
        std::uint64_t first = 0;
        std::uint64_t count = 0;
        std::vector<std::uint8_t> bytes;
        std::vector<bool> readable;
    };
    // What a record says for the paths: its name and parent, and whether it is a named
    // folder.
    struct PathEntry {
        ntfs::FolderRecord folder;
        bool isFolder = false;
    };
    // A parsed record kept for the next read of the same file.
    struct ReadCacheEntry {
        bool bySignature;
        std::uint64_t key;  // the record number, or the position of a record found by signature
        std::shared_ptr<const CNTFile> file;
    };

    bool ClampToDrive();
    bool Load_MFT();
    void CheckMFT() const;
    bool LoadClustersBitmap();
    // Bytes of $MFT's data (offset and length in whole sectors) along its runs.
    bool ReadMft(std::uint64_t offset, std::uint64_t length, std::uint8_t* out) const;
    void CheckRecordNumber(std::uint64_t number, const std::uint8_t* record) const;
    // Record `number` as stored, from the enumeration's window (which moves to it), null
    // when it cannot be read.
    const std::uint8_t* WindowRecord(std::uint64_t number);
    // Record `number` into `buffer`, from the window when it holds it.
    bool ReadListedRecord(std::uint64_t number, std::uint8_t* buffer) const;
    // Record `number` into `buffer` when it is an extension record of `base`; one in the
    // window is looked at where it lies and copied only when it is one.
    bool ReadListedExtension(std::uint64_t number, std::uint64_t base, std::uint8_t* buffer) const;
    std::optional<PathEntry> DescribeForPath(std::uint64_t number);
    std::optional<ntfs::FolderRecord> ReadFolder(std::uint64_t number);
    void FillFromRecord(std::uint64_t number, const std::uint8_t* raw, CNTFile& file,
                        FoundFileRecord& record, std::u16string& nameStorage) const;
    std::u16string DriveRoot() const;
    std::uint64_t ReadSignatureHit(const FileReadRequest& request) const;
    std::shared_ptr<const CNTFile> ParsedForRead(const FoundFileRecord& record) const;

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
    RecordWindow window_;
    std::unique_ptr<CNTFile> pathFile_;
    std::unique_ptr<ntfs::FolderPaths> folders_;

    mutable std::mutex readCacheLock_;
    mutable std::vector<ReadCacheEntry> readCache_;  // most recent first
};
