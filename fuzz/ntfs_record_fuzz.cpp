// One MFT record from the input, parsed, merged (whole, and its data's start alone),
// described and read against a volume whose every record read returns the same input
// and whose clusters hold a pattern.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/fs/ntfs_file.h"
#include "engine/fs/ntfs_record.h"

namespace {

class FuzzVolume final : public ntfs::RecordSource {
public:
    FuzzVolume(const std::uint8_t* data, std::uint32_t recordSize)
        : data_(data), recordSize_(recordSize) {}

    std::uint32_t RecordSize() const override { return recordSize_; }
    std::uint32_t BytesPerCluster() const override { return 512; }
    std::uint64_t TotalClusters() const override { return 4096; }
    bool ReadClusters(std::uint64_t lcn, std::uint32_t from, std::uint32_t to, std::uint8_t* buffer) const override {
        if (from >= to || to > 512) return false;
        std::memset(buffer + from, static_cast<int>(lcn), to - from);
        return lcn % 7 != 3;  // some reads fail
    }
    std::uint32_t GetFileRec(std::uint64_t number, std::uint8_t* buffer) const override {
        if (number % 5 == 4) return 0;
        std::memcpy(buffer, data_, recordSize_);
        return recordSize_;
    }

private:
    const std::uint8_t* data_;
    std::uint32_t recordSize_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint32_t recordSize = size >= 4096 ? 4096 : 1024;
    std::vector<std::uint8_t> record(recordSize, 0);
    std::memcpy(record.data(), data, std::min<std::size_t>(size, recordSize));
    FuzzVolume volume(record.data(), recordSize);
    CNTFile file(volume);
    std::memcpy(file.RecordBuffer(), record.data(), recordSize);
    if (!file.ParseRecord()) return 0;
    const std::uint64_t number = ntfs::ownNumber(file.Record()).value_or(0);
    // The listing's merge, of the data's first extent only, on a copy.
    CNTFile start(volume, record.data());
    start.MergeDataStart(number, [&volume](std::uint64_t extent, std::uint64_t base, std::uint8_t* buffer) {
        return volume.GetFileRec(extent, buffer) &&
               ntfs::isExtensionOf(ntfs::Bytes(buffer, volume.RecordSize()), base);
    });
    file.MergeAttributeList(number);
    FoundFileRecord info{};
    resetFoundFileForFill(info);
    std::u16string name;
    file.GetInfo(&info, name);
    std::vector<std::uint8_t> out(64 * 1024);
    file.GetData(0, out.size(), out.data());
    file.GetData(file.DataSize() > 100 ? file.DataSize() - 100 : 0, 300, out.data());
    file.VCN_to_LCN(0);
    file.VCN_to_LCN(~std::uint64_t{0});
    return 0;
}
