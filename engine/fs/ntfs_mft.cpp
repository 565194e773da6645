// Reading $MFT: single records in their own sectors, and the enumeration's records a
// window at a time along the runs, so that a volume is listed in few large reads and a
// bad sector costs only the records it holds.

#include <algorithm>
#include <cstring>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/fs/ntfs.h"
#include "engine/fs/ntfs_record.h"

using namespace ntfs;

namespace {

constexpr std::uint64_t kSector = CDrive::kSectorSize;
// Bytes of $MFT read at once by the enumeration (at least one cluster).
constexpr std::uint64_t kWindowBytes = 1024 * 1024;

}  // namespace

bool CNTFS::ReadClusters(std::uint64_t lcn, std::uint32_t from, std::uint32_t to,
                         std::uint8_t* buffer) const {
    if (lcn >= geometry_.totalClusters || from >= to || to > geometry_.bytesPerCluster) return false;
    const std::uint64_t first = from / kSector;
    const std::uint64_t count = (to + kSector - 1) / kSector - first;
    return drive_->ReadSectors(lcn * geometry_.sectorsPerCluster() + first, count, buffer + first * kSector) ==
           count * kSector;
}

bool CNTFS::ReadMft(std::uint64_t offset, std::uint64_t length, std::uint8_t* out) const {
    if (!mftFile_ || offset > mftFile_->DataSize() || mftFile_->DataSize() - offset < length) {
        return false;
    }
    const std::uint64_t clusterSize = geometry_.bytesPerCluster;
    const std::uint64_t initialized = mftFile_->InitializedSize();
    while (length > 0) {
        const std::uint64_t vcn = offset / clusterSize;
        const std::uint64_t inCluster = offset % clusterSize;
        const DataRun* run = findRun(mftFile_->Runs(), vcn);
        if (!run) return false;
        // The rest of this run, as far as wanted.
        const std::uint64_t clustersLeft = run->vcnEnd - vcn + 1;
        const std::uint64_t span = clustersLeft > length / clusterSize + 1
                                       ? length
                                       : std::min(length, clustersLeft * clusterSize - inCluster);
        const std::uint64_t stored =
            offset < initialized ? std::min(span, initialized - offset) : 0;
        if (!run->sparse && stored > 0) {
            const std::uint64_t lcn = run->clusterBegin + (vcn - run->vcnStart);
            const std::uint64_t sector = lcn * geometry_.sectorsPerCluster() + inCluster / kSector;
            const std::uint64_t sectors = (stored + kSector - 1) / kSector;
            if (drive_->ReadSectors(sector, sectors, out) < stored) return false;
        }
        if (run->sparse) std::memset(out, 0, span);
        else std::memset(out + stored, 0, span - stored);
        offset += span;
        out += span;
        length -= span;
    }
    return true;
}

void CNTFS::CheckRecordNumber(std::uint64_t number, const std::uint8_t* record) const {
    Bytes bytes(record, recordSize_);
    if (!isFileRecord(bytes)) return;
    auto stored = ownNumber(bytes);
    if (stored && *stored != number) {
        Log(kLogError,
            "GetFileRec: Req: %d read: %d; read file record not equal reqest file record!",
            static_cast<int>(number), static_cast<int>(*stored));
    }
}

std::uint32_t CNTFS::GetFileRec(std::uint64_t number, std::uint8_t* buffer) const {
    try {
        if (number >= ~std::uint64_t{0} / recordSize_) return 0;
        if (!ReadMft(number * recordSize_, recordSize_, buffer)) return 0;
        CheckRecordNumber(number, buffer);
        return recordSize_;
    } catch (...) {
        Log(kLogError, "GetFileRec: except");
        return 0;
    }
}

const std::uint8_t* CNTFS::WindowRecord(std::uint64_t number) {
    RecordWindow& w = window_;
    if (number < w.first || number - w.first >= w.count) {
        const std::uint64_t perWindow =
            std::max<std::uint64_t>(kWindowBytes, geometry_.bytesPerCluster) / recordSize_;
        w.first = number - number % perWindow;
        w.count = std::min(perWindow, totalMftRecords_ - w.first);
        w.bytes.resize(w.count * recordSize_);
        w.readable.assign(w.count, true);
        if (!ReadMft(w.first * recordSize_, w.bytes.size(), w.bytes.data())) {
            // Record by record, so that a bad sector costs only the records it holds.
            for (std::uint64_t i = 0; i < w.count; ++i) {
                w.readable[i] = ReadMft((w.first + i) * recordSize_, recordSize_,
                                        w.bytes.data() + i * recordSize_);
            }
        }
    }
    const std::uint64_t index = number - w.first;
    return w.readable[index] ? w.bytes.data() + index * recordSize_ : nullptr;
}

bool CNTFS::ReadListedRecord(std::uint64_t number, std::uint8_t* buffer) const {
    const RecordWindow& w = window_;
    if (number >= w.first && number - w.first < w.count) {
        if (!w.readable[number - w.first]) return false;
        std::memcpy(buffer, w.bytes.data() + (number - w.first) * recordSize_, recordSize_);
        return true;
    }
    return GetFileRec(number, buffer) != 0;
}

bool CNTFS::ReadListedExtension(std::uint64_t number, std::uint64_t base, std::uint8_t* buffer) const {
    const RecordWindow& w = window_;
    if (number >= w.first && number - w.first < w.count) {
        if (!w.readable[number - w.first]) return false;
        const std::uint8_t* stored = w.bytes.data() + (number - w.first) * recordSize_;
        if (!isExtensionOf(Bytes(stored, recordSize_), base)) return false;
        std::memcpy(buffer, stored, recordSize_);
        return true;
    }
    return GetFileRec(number, buffer) != 0 && isExtensionOf(Bytes(buffer, recordSize_), base);
}
