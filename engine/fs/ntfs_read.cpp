// Data reads of found files: records, records found by signature and raw signature hits.

#include <algorithm>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/fs/ntfs.h"
#include "engine/fs/ntfs_record.h"

namespace {

constexpr std::uint64_t kSector = CDrive::kSectorSize;
// Recovery, thumbnails and the viewer may each be reading a file.
constexpr std::size_t kReadCacheEntries = 4;

}  // namespace

std::uint64_t CNTFS::ReadSignatureHit(const FileReadRequest& request) const {
    const FoundFileRecord& record = *request.record;
    std::uint64_t size = static_cast<std::uint32_t>(request.size);
    std::uint64_t position;
    if (__builtin_add_overflow(record.DataPosition, request.offset, &position)) return 0;
    std::uint64_t sectors = (size + kSector - 1) / kSector;
    std::uint64_t read = drive_->ReadSectors(position / kSector, sectors, request.buffer);
    if (read == 0) {
        Log(kLogError, "CNTFS.FileRead: Can't read record at");
        return 0;
    }
    return size % kSector ? std::min(size, read) : read;
}

std::shared_ptr<const CNTFile> CNTFS::ParsedForRead(const FoundFileRecord& record) const {
    const bool bySignature =
        (record.Flags & kFileNtfsRecordBySignature) && record.DataPosition != 0;
    const std::uint64_t key = bySignature ? record.DataPosition : record.RecordNumber;
    {
        std::lock_guard lock(readCacheLock_);
        for (const ReadCacheEntry& entry : readCache_) {
            if (entry.bySignature == bySignature && entry.key == key) return entry.file;
        }
    }
    auto file = std::make_shared<CNTFile>(*this);
    if (bySignature) {
        std::uint64_t bytes = drive_->ReadSectors(record.DataPosition / kSector,
                                                  recordSize_ / kSector, file->RecordBuffer());
        if (bytes < recordSize_) {
            Log(kLogError, "CNTFS.FileRead: Can't read record at");
            return nullptr;
        }
    } else if (!GetFileRec(record.RecordNumber, file->RecordBuffer())) {
        Log(kLogError, "CNTFS.FileRead: Can't read record");
        return nullptr;
    }
    if (!file->ParseRecord()) return nullptr;
    // Extension records name their base by its place in the MFT, which a record found
    // by signature states itself.
    const std::uint64_t number = bySignature
                                     ? ntfs::ownNumber(file->Record()).value_or(record.RecordNumber)
                                     : record.RecordNumber;
    file->MergeAttributeList(number);
    std::lock_guard lock(readCacheLock_);
    readCache_.insert(readCache_.begin(), ReadCacheEntry{bySignature, key, file});
    if (readCache_.size() > kReadCacheEntries) readCache_.pop_back();
    return file;
}

std::uint64_t CNTFS::FileRead(const FileReadRequest& request) const {
    try {
        if (request.size == 0 || !request.record || !request.buffer) return 0;
        const FoundFileRecord& record = *request.record;
        if (record.Flags & kFileFoundBySignature) return ReadSignatureHit(request);
        // A file is read piece by piece: its record is read and merged once.
        std::shared_ptr<const CNTFile> file = ParsedForRead(record);
        return file ? file->GetData(request.offset, request.size, request.buffer) : 0;
    } catch (...) {
        Log(kLogError, "CNTFS.FileRead except");
        return 0;
    }
}
