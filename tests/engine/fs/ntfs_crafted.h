#pragma once
// The committed NTFS fixture as a hostile or failing disk would present it: a few bytes
// of it changed, or it placed at the start of a much larger sparse drive. Shared by the
// tests and the benchmark that times the same images.

#include <cstdint>
#include <map>
#include <ostream>
#include <string>

#include "../support/test_images.h"
#include "engine/fs/ntfs.h"
#include "engine/fs/ntfs_record.h"
#include "ntfs_test_volume.h"

namespace ntfs_crafted {

using ntfs_test::Buffer;

inline Buffer fixture() { return test_images::gunzip("ntfs/ntfs-basic.img.gz"); }

// Where things lie in an image whose $MFT is one contiguous run, as the fixture's is.
struct Layout {
    std::uint64_t clusterSize, recordSize, mftOffset;

    explicit Layout(const Buffer& image) {
        const std::uint64_t sectorsPerCluster = image[13];
        clusterSize = sectorsPerCluster * ntfs::fieldOr<std::uint16_t>(image, 11);
        const auto perRecord = ntfs::fieldOr<std::int8_t>(image, 64);
        recordSize = perRecord < 0 ? std::uint64_t{1} << -perRecord : perRecord * clusterSize;
        mftOffset = ntfs::fieldOr<std::uint64_t>(image, 48) * clusterSize;
    }
    std::uint64_t record(std::uint64_t number) const { return mftOffset + number * recordSize; }
    // The image offset of record `number`'s first attribute of `type`.
    std::uint64_t attribute(const Buffer& image, std::uint64_t number, std::uint32_t type) const {
        ntfs::Bytes bytes(image.data() + record(number), recordSize);
        auto found = ntfs::AttributeWalk(bytes).next(type);
        return found ? record(number) + found->offset : 0;
    }
    // The first cluster of record `number`'s attribute of `type`, from its first run.
    std::uint64_t firstCluster(const Buffer& image, std::uint64_t number, std::uint32_t type) const {
        const std::uint64_t at = attribute(image, number, type);
        ntfs::RunList runs;
        const std::uint64_t pairs = at + ntfs::fieldOr<std::uint16_t>(image, at + 32);
        ntfs::decodeDataRuns(ntfs::Bytes(image).subspan(pairs, 16), 0, 0, runs);
        return runs.empty() ? 0 : runs.front().clusterBegin;
    }
};

template <typename T>
void put(Buffer& image, std::uint64_t offset, T value) {
    ntfs_test::put<T>(image, static_cast<std::size_t>(offset), value);
}

// The three sizes of a non-resident attribute at `attribute`.
inline void setSizes(Buffer& image, std::uint64_t attribute, std::uint64_t bytes) {
    for (std::size_t field : {ntfs::kNonResidentAllocatedSize, ntfs::kNonResidentRealSize,
                              ntfs::kNonResidentInitializedSize}) {
        put<std::uint64_t>(image, attribute + field, bytes);
    }
}

// Boot sector: a volume of 2^40 sectors on an 8 MiB drive.
inline void forgeTotalSectors(Buffer& image) { put<std::uint64_t>(image, 40, std::uint64_t{1} << 40); }

// $MFT announces 2^32 records, in one run of as many clusters from where it starts.
inline void forgeMftLength(Buffer& image) {
    const Layout layout(image);
    const std::uint64_t at = layout.attribute(image, 0, ntfs::kAttrData);
    const std::uint64_t bytes = (std::uint64_t{1} << 32) * layout.recordSize;
    setSizes(image, at, bytes);
    const std::uint64_t pairs = at + ntfs::fieldOr<std::uint16_t>(image, at + 32);
    const std::uint32_t clusters = static_cast<std::uint32_t>(bytes / layout.clusterSize);
    const Buffer run = {0x14, std::uint8_t(clusters), std::uint8_t(clusters >> 8),
                        std::uint8_t(clusters >> 16), std::uint8_t(clusters >> 24),
                        std::uint8_t(layout.mftOffset / layout.clusterSize), 0x00};
    std::copy(run.begin(), run.end(), image.begin() + static_cast<std::ptrdiff_t>(pairs));
}

// $Bitmap announces 8 GiB.
inline void forgeBitmapSize(Buffer& image) {
    const Layout layout(image);
    setSizes(image, layout.attribute(image, ntfs::kBitmapRecord, ntfs::kAttrData),
             std::uint64_t{8} << 30);
}

// A drive of `sectors` sectors whose first bytes are `image` and the rest zeros, as a
// sparse file would read.
class SparseDrive final : public CDrive {
public:
    SparseDrive(Buffer image, std::uint64_t sectors, char letter = 'E') : image_(std::move(image)) {
        GetDriveInfo()->TotalSectors = sectors;
        GetDriveInfo()->Letter = letter;
    }
    std::uint64_t ReadSectors(std::uint64_t lba, std::uint64_t count, void* buffer) override {
        const std::uint64_t total = GetDriveInfo()->TotalSectors;
        if (count == 0 || lba >= total) return 0;
        count = std::min(count, total - lba);
        auto* out = static_cast<std::uint8_t*>(buffer);
        std::memset(out, 0, count * kSectorSize);
        const std::uint64_t start = lba * kSectorSize;
        if (start < image_.size()) {
            std::memcpy(out, image_.data() + start, std::min(count * kSectorSize, image_.size() - start));
        }
        return count * kSectorSize;
    }

private:
    Buffer image_;
};

// What a listing shows of a record.
struct Listed {
    std::uint32_t flags;
    std::u16string name, path;
    std::uint64_t size;
    bool operator==(const Listed&) const = default;
};

inline void PrintTo(const Listed& entry, std::ostream* out) {
    *out << "flags " << entry.flags << " size " << entry.size << " "
         << std::string(entry.path.begin(), entry.path.end())
         << std::string(entry.name.begin(), entry.name.end());
}

struct Listing {
    std::map<std::uint64_t, Listed> records;  // by record number
    int reported = 0;                         // damaged records included
};

// Every record of the volume with its path, as a listing page shows them.
inline Listing listAll(CNTFS& ntfs) {
    Listing listing;
    while (FoundFileRecord* record = ntfs.FileGetNext()) {
        ++listing.reported;
        if (record->Flags & kFileDamaged) continue;
        listing.records[record->RecordNumber] =
            Listed{record->Flags, record->Name ? record->Name : u"", ntfs.FileGetPath(record), record->Size};
    }
    return listing;
}

}  // namespace ntfs_crafted
