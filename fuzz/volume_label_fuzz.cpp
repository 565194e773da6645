// Volume labels over an in-memory volume, as each file system would read them: FAT's root
// folder (a region or a cluster chain) and boot sector, NTFS's $Volume and its mirror.
// Reads stay inside the volume and are bounded.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/fs/volume_label.h"
#include "engine/records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 512) return 0;
    std::uint64_t bytesRead = 0;
    const engine::VolumeReader read = [&](std::uint64_t offset, std::span<std::uint8_t> out) {
        if (offset > size || out.size() > size - offset) std::abort();  // the bound was checked
        bytesRead += out.size();
        std::memcpy(out.data(), data + offset, out.size());
        return true;
    };
    for (const std::int32_t code : {kFileSystemFat12, kFileSystemFat16, kFileSystemFat32, kFileSystemNtfs}) {
        bytesRead = 0;
        engine::volumeLabelOf({data, 512}, code, size, read);
        // A FAT root folder of 2 MiB and the FAT sectors of its chain, or two file records.
        if (bytesRead > 2 * (2u << 20) + 64 * 1024) std::abort();
    }
    return 0;
}
