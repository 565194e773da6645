// The drive's boot sector: read, recognised and taken into the drive record.

#include <cstring>
#include <span>

#include "engine/byte_order.h"
#include "engine/disk/drive.h"
#include "engine/disk/text_field.h"
#include "engine/exports.h"
#include "engine/log.h"

using engine::readLittleEndian;

namespace {

std::string_view bootLabel(const std::uint8_t* boot, std::size_t offset) {
    return boot::labelField({boot, boot::kBootBufferSize}, offset);
}

}  // namespace

std::uint64_t CDrive::ReadBoot() {
    std::uint64_t read = 0;
    try {
        read = boot::readBootSectors(
            [this](std::uint64_t first, std::uint64_t count, void* buffer) { return ReadSectors(first, count, buffer); },
            boot_);
    } catch (...) {
        Log(kLogError, "except ReadBoot");
        read = 0;
    }
    if (read == 0) Log(kLogError, "Can't read boot sector on %s", openPath().c_str());
    return read;
}

std::int32_t CDrive::DetectFileSystem() const {
    const std::span<const std::uint8_t> boot(boot_);
    if (boot::hasName(boot, boot::kFat1216TypeOffset, "FAT12   ")) return kFileSystemFat12;
    if (boot::hasName(boot, boot::kFat1216TypeOffset, "FAT16   ")) return kFileSystemFat16;
    if (boot::hasName(boot, boot::kFat32TypeOffset, "FAT32   ")) return kFileSystemFat32;
    if (boot::hasName(boot, boot::kNtfsTypeOffset, "NTFS    ")) return kFileSystemNtfs;
    return 0;
}

void CDrive::ParseBoot() {
    const std::span<const std::uint8_t> boot(boot_);
    std::memcpy(info_.OemName, boot_ + boot::kOemNameOffset, sizeof info_.OemName);

    const std::int32_t detected = DetectFileSystem();
    if (detected != 0) info_.FileSystemCode = detected;
    const std::uint32_t sectorsPerCluster = boot::sectorsPerCluster(boot, info_.FileSystemCode);
    if (info_.FileSystemCode != kFileSystemNone && sectorsPerCluster != 0) {
        info_.SectorsPerCluster = sectorsPerCluster;
    }

    const std::int32_t code = info_.FileSystemCode;
    const std::uint64_t serialHigh = info_.SerialNumber & 0xFFFFFFFF00000000u;
    if (boot::isFat1216Family(code)) {
        info_.SerialNumber =
            serialHigh | readLittleEndian<std::uint32_t>(boot, boot::kFat1216SerialOffset).value_or(0);
        if (info_.Label[0] == '\0') {
            engine::disk::setTextField(info_.Label, bootLabel(boot_, boot::kFat1216LabelOffset));
        }
    } else if (boot::isFat32Family(code)) {
        if (info_.Label[0] == '\0') {
            engine::disk::setTextField(info_.Label, bootLabel(boot_, boot::kFat32LabelOffset));
        }
        info_.SerialNumber =
            serialHigh | readLittleEndian<std::uint32_t>(boot, boot::kFat32SerialOffset).value_or(0);
    } else if (boot::isNtfsFamily(code)) {
        // TotalSectors counts 512-byte units whatever the device's sector size.
        info_.SpaceTotal = info_.TotalSectors * kSectorSize;
        info_.TotalClusters = info_.SpaceTotal / (info_.SectorsPerCluster * info_.BytesPerSector);
        info_.SerialNumber = readLittleEndian<std::uint64_t>(boot, boot::kNtfsSerialOffset).value_or(0);
    } else if (code != boot::kNoBootFields) {
        Log(kLogError, "Unknow filesystem ID");
    }
    info_.BytesPerCluster = info_.SectorsPerCluster * info_.BytesPerSector;
}
