// The enumeration of MFT records and single-record lookups.

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/fs/ntfs.h"
#include "engine/fs/ntfs_record.h"

using namespace ntfs;

void CNTFS::FillFromRecord(std::uint64_t number, const std::uint8_t* raw, CNTFile& file,
                           FoundFileRecord& record, std::u16string& nameStorage) const {
    Bytes header(raw, recordSize_);
    if (!isFileRecord(header)) {
        record.Flags |= kFileDamaged;  // never used, or overwritten
        return;
    }
    record.RecordNumber = number;
    if (!isInUse(header)) record.Flags |= kFileDeleted;
    if (isDirectory(header)) record.Flags |= kFileDirectory;
    if (!file.SetFileRecord(raw)) {
        record.Flags |= kFileDamaged;
        return;
    }
    // A listing shows the data's size and first cluster; the runs of later extents are
    // merged when the file is read.
    if (file.HasAttribute(kAttrAttributeList)) {
        file.MergeDataStart(number, [this](std::uint64_t extent, std::uint64_t base, std::uint8_t* buffer) {
            return ReadListedExtension(extent, base, buffer);
        });
    }
    if (!file.GetInfo(&record, nameStorage)) record.Flags |= kFileDamaged;
}

FoundFileRecord* CNTFS::FileGetNext() {
    if (!sharedFile_ || currentFileCount_ >= totalMftRecords_) {
        Log(kLogWarning, "FileGetNext: Requested file record > TotalMFTRecords");
        return nullptr;
    }
    try {
        // Extension records hold attributes of their base record, not files; records
        // without a name or data (reserved or never used) hold none either.
        while (currentFileCount_ < totalMftRecords_) {
            resetFoundFileForFill(record_);
            std::uint64_t number = currentFileCount_++;
            const std::uint8_t* raw = WindowRecord(number);
            if (!raw) {
                Log(kLogError, "FileGetNext: Can't read file record %d", static_cast<int>(number));
                record_.Flags |= kFileDamaged;
                return &record_;
            }
            CheckRecordNumber(number, raw);
            Bytes header(raw, recordSize_);
            if (isFileRecord(header) && baseRecordOf(header) != 0) continue;
            FillFromRecord(number, raw, *sharedFile_, record_, recordName_);
            if (record_.Flags & kFileDamaged) return &record_;
            if (!sharedFile_->HasData() && !sharedFile_->HasAttribute(kAttrFileName)) continue;
            if (!sharedFile_->Runs().empty()) {
                const DataRun& first = sharedFile_->Runs().front();
                record_.FirstCluster = first.sparse ? 0 : first.clusterBegin;
                record_.DataPosition = record_.FirstCluster * geometry_.bytesPerCluster;
            }
            return &record_;
        }
        return nullptr;
    } catch (...) {
        Log(kLogError, "except in FileGetNext");
        return &record_;
    }
}

FoundFileRecord* CNTFS::FileGetInfo(std::uint64_t number, FoundFileRecord& info) {
    resetFoundFileForFill(info);
    try {
        if (number > totalMftRecords_) Log(kLogStatus, "CurrentFileCount > TotalMFTRecords");
        std::vector<std::uint8_t> raw(recordSize_);
        if (!GetFileRec(number, raw.data())) {
            Log(kLogError, "Can't read file record %d", static_cast<int>(number));
            info.Flags |= kFileDamaged;
            return &info;
        }
        CNTFile file(*this);
        FillFromRecord(number, raw.data(), file, info, infoName_);
    } catch (...) {
        Log(kLogError, "FileGetInfo: except");
        info.Flags |= kFileDamaged;
    }
    return &info;
}
