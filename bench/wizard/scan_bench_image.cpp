#include "bench/wizard/scan_bench_image.h"

#include <cstdio>
#include <fstream>

#include "tests/engine/fs/fat_image_builder.h"

namespace scanbench {

bool WriteDeletedFilesImage(const std::string& path, std::uint32_t folders,
                            std::uint32_t filesPerFolder) {
    const std::uint32_t folderClusters = (filesPerFolder + 2) * 32 / 512 + 1;
    fattest::Fat32Builder volume(folders * (filesPerFolder + folderClusters) + 16, 1);
    for (std::uint32_t d = 0; d < folders; ++d) {
        char folderName[16];
        std::snprintf(folderName, sizeof folderName, "D%04u      ", d % 10000);
        const std::uint32_t folder = volume.addFolder(fattest::Fat32Builder::kRootCluster, folderName);
        for (std::uint32_t f = 0; f < filesPerFolder; ++f) {
            char name[16];
            std::snprintf(name, sizeof name, "F%07uTXT", (d * filesPerFolder + f) % 10000000);
            volume.markDeleted(volume.addFile(folder, name, 100));
        }
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(volume.image().data()),
              static_cast<std::streamsize>(volume.image().size()));
    return static_cast<bool>(out);
}

}  // namespace scanbench
