#include "engine/disk/boot_sector.h"

#include <cstring>

#include "engine/byte_order.h"
#include "engine/records.h"

using engine::readLittleEndian;

namespace boot {

bool isFat1216Family(std::int32_t code) {
    return code == 1 || code == 4 || code == 6 || code == 14 || code == 134;
}

bool isFat32Family(std::int32_t code) {
    return code == 11 || code == 12 || code == 139 || code == 140;
}

bool isNtfsFamily(std::int32_t code) { return code == 7 || code == 135; }

std::uint64_t readBootSectors(const SectorRead& read, std::uint8_t* buffer) {
    std::memset(buffer, 0, kBootBufferSize);
    const std::uint64_t both = read(0, 2, buffer);
    if (both != 0) return both;
    std::memset(buffer, 0, kBootBufferSize);
    return read(0, 1, buffer);
}

bool hasName(std::span<const std::uint8_t> boot, std::size_t offset, const char (&name)[9]) {
    return offset + 8 <= boot.size() && std::memcmp(boot.data() + offset, name, 8) == 0;
}

std::string_view labelField(std::span<const std::uint8_t> boot, std::size_t offset) {
    if (offset > boot.size() || boot.size() - offset < kLabelLength) return {};
    const std::string_view field(reinterpret_cast<const char*>(boot.data() + offset), kLabelLength);
    return field == "NO NAME    " ? std::string_view() : field;
}

std::uint32_t sectorsPerCluster(std::span<const std::uint8_t> boot, std::int32_t code) {
    if (boot.size() <= kSectorsPerClusterOffset) return 0;
    const std::uint8_t value = boot[kSectorsPerClusterOffset];
    if (isNtfsFamily(code) && value > 0x80) {
        const unsigned shift = 256u - value;
        return shift <= 16 ? std::uint32_t{1} << shift : 0;
    }
    return value;
}

}  // namespace boot

CBOOT::CBOOT() {
    std::memset(buffer_, 0, sizeof buffer_);
    std::memset(oemName_, 0, sizeof oemName_);
    std::memset(label_, 0, sizeof label_);
}

bool CBOOT::DetectFileSystem() {
    const std::span<const std::uint8_t> boot(buffer_);
    if (boot::hasName(boot, boot::kNtfsTypeOffset, "NTFS    ")) {
        fileSystemId_ = kFileSystemNtfs;
    } else if (boot::hasName(boot, boot::kFat32TypeOffset, "FAT32   ")) {
        fileSystemId_ = kFileSystemFat32;
    } else if (boot::hasName(boot, boot::kFat1216TypeOffset, "FAT16   ")) {
        fileSystemId_ = kFileSystemFat16;
    } else if (boot::hasName(boot, boot::kFat1216TypeOffset, "FAT12   ")) {
        fileSystemId_ = kFileSystemFat12;
    } else {
        fileSystemId_ = -1;
        return false;
    }
    return true;
}

bool CBOOT::ParseBoot() {
    const std::span<const std::uint8_t> boot(buffer_);
    std::memcpy(oemName_, buffer_ + boot::kOemNameOffset, boot::kOemNameLength);
    if (!DetectFileSystem()) return false;
    auto takeLabel = [&](std::size_t offset) {
        std::memcpy(label_, buffer_ + offset, boot::kLabelLength);
        label_[boot::kLabelLength] = '\0';
    };
    if (boot::isFat1216Family(fileSystemId_)) {
        takeLabel(boot::kFat1216LabelOffset);
        serialNumber_ = readLittleEndian<std::uint32_t>(boot, boot::kFat1216SerialOffset).value_or(0);
    } else if (boot::isFat32Family(fileSystemId_)) {
        takeLabel(boot::kFat32LabelOffset);
        serialNumber_ = readLittleEndian<std::uint32_t>(boot, boot::kFat32SerialOffset).value_or(0);
    } else {
        serialNumber_ = readLittleEndian<std::uint64_t>(boot, boot::kNtfsSerialOffset).value_or(0);
    }
    return true;
}
