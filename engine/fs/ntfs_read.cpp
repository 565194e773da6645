// Data reads of found files: records, records found by signature and raw signature hits.

#include <algorithm>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/fs/ntfs.h"

namespace {

constexpr std::uint64_t kSector = CDrive::kSectorSize;

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

std::uint64_t CNTFS::FileRead(const FileReadRequest& request) const {
    try {
        if (request.size == 0 || !request.record || !request.buffer) return 0;
        const FoundFileRecord& record = *request.record;
        if (record.Flags & kFileFoundBySignature) return ReadSignatureHit(request);

        CNTFile file(*this);
        if ((record.Flags & kFileNtfsRecordBySignature) && record.DataPosition != 0) {
            std::uint64_t bytes = drive_->ReadSectors(record.DataPosition / kSector,
                                                      recordSize_ / kSector, file.RecordBuffer());
            if (bytes < recordSize_) {
                Log(kLogError, "CNTFS.FileRead: Can't read record at");
                return 0;
            }
        } else if (!GetFileRec(record.RecordNumber, file.RecordBuffer())) {
            Log(kLogError, "CNTFS.FileRead: Can't read record");
            return 0;
        }
        if (!file.ParseRecord()) return 0;
        file.MergeAttributeList();
        return file.GetData(request.offset, request.size, request.buffer);
    } catch (...) {
        Log(kLogError, "CNTFS.FileRead except");
        return 0;
    }
}
