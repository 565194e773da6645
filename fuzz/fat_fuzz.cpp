// Opens a FAT volume from the input, lists every entry with its path and reads each
// entry's data: boot sector, both FAT copies and directory blocks all come from the input.
// The first byte chooses FAT12, FAT16 or FAT32; the rest is the volume image.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/fs/fat_reader.h"

namespace {

class InputDrive : public CDrive {
public:
    InputDrive(const std::uint8_t* data, std::size_t size, std::int32_t code) : image_(data, data + size) {
        image_.resize(std::max<std::size_t>((image_.size() + 511) / 512 * 512, 512), 0);
        GetDriveInfo()->FileSystemCode = code;
        GetDriveInfo()->Letter = 'F';
        GetDriveInfo()->TotalSectors = image_.size() / 512;
    }

    std::uint64_t ReadSectors(std::uint64_t lba, std::uint64_t count, void* buffer) override {
        const std::uint64_t total = image_.size() / 512;
        if (count == 0 || lba >= total) return 0;
        count = std::min(count, total - lba);
        std::memcpy(buffer, image_.data() + lba * 512, count * 512);
        return count * 512;
    }

private:
    std::vector<std::uint8_t> image_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static constexpr std::int32_t kCodes[] = {kFileSystemFat12, kFileSystemFat16, kFileSystemFat32};
    InputDrive drive(data + 1, size - 1, kCodes[data[0] % 3]);
    CFAT reader(&drive);
    reader.Initialize();
    std::vector<std::uint8_t> buffer(64 * 1024);
    while (FoundFileRecord* record = reader.GetFileNext()) {
        reader.GetFilePath(record);
        const std::uint64_t recordSize = record->Size;
        const std::uint64_t size = std::min<std::uint64_t>(recordSize, buffer.size());
        const FileReadRequest request{buffer.data(), 0, size, record};
        reader.FileRead(request);
    }
    return 0;
}
