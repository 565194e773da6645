#include "engine/disk/drive.h"

#include <cstring>

CDrive::CDrive() {
    std::memset(&info_, 0, sizeof info_);
    info_.BytesPerSector = 512;
    info_.BytesPerCluster = 512;
    info_.SectorsPerCluster = 1;
    info_.ParentId = -1;
    info_.FileSystemCode = kFileSystemNone;
    std::strcpy(info_.FileSystemName, "Unknown");
    info_.DeviceNumber.DeviceType = 0xFFFFFFFF;
    info_.DeviceNumber.DeviceNumber = 0xFFFFFFFF;
    info_.DeviceNumber.PartitionNumber = 0xFFFFFFFF;
}
