// Opens a FAT volume from the input, lists every entry with its path and reads each
// entry's data: boot sector, both FAT copies and directory blocks all come from the input.
// The first byte chooses FAT12, FAT16 or FAT32; the rest is the volume image.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/fs/fat_reader.h"
#include "tests/engine/support/memory_drive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static constexpr std::int32_t kCodes[] = {kFileSystemFat12, kFileSystemFat16, kFileSystemFat32};
    // Whole sectors: a partial last one is padded with zeros.
    std::vector<std::uint8_t> image(data + 1, data + size);
    image.resize(std::max<std::size_t>((image.size() + 511) / 512 * 512, 512), 0);
    test_support::MemoryDrive drive(std::move(image), kCodes[data[0] % 3], 'F');
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
