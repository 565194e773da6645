// A drive and a volume over an in-memory image: open, parse the boot sector, read runs
// around the end, fill a cluster map from the parsed sizes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/disk/drive.h"
#include "engine/disk/volume.h"
#include "platform/fault_injection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto image = std::make_shared<std::vector<std::uint8_t>>(data, data + size);
    const auto opener = platform::memoryOpener(image);

    CDrive drive;
    drive.SetSource({kDriveVolume, "image", 0, 0});
    drive.SetDeviceOpener(opener);
    drive.SetSleeper([](std::uint32_t) {});
    drive.Initialize();
    const _LDRIVE* info = drive.GetDriveInfo();
    std::vector<std::uint8_t> buffer(4 * 512);
    const std::uint64_t total = info->TotalSectors;
    drive.ReadSectors(total > 2 ? total - 2 : 0, 4, buffer.data());
    if (info->SectorsPerCluster != 0) {
        drive.clusterMap().Init(total / info->SectorsPerCluster, false);
        drive.clusterMap().SetBit(info->TotalClusters, true);
    }

    CVolume volume(CVolume::kFile, "image");
    volume.SetDeviceOpener(opener);
    volume.SetSleeper([](std::uint32_t) {});
    volume.SetPartition(size > 512 ? 512 : 0, size / 2, size > 0 ? data[0] : 0, true);
    volume.Initialize();
    volume.ReadSectors(volume.sectorCount(), 1, buffer.data());
    return 0;
}
