// Filling the drive record from what Linux tells about the source, by kind.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string>

#include "engine/disk/drive.h"
#include "engine/disk/text_field.h"
#include "engine/disk/volume_flags.h"
#include "engine/fs/volume_label.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "platform/device_info.h"
#include "platform/handles.h"

namespace {

constexpr DWORD kFileDeviceDisk = 7;
constexpr DWORD kRemovableMedia = 11;
constexpr DWORD kFixedMedia = 12;

struct PartitionKind {
    std::uint8_t type;
    std::int32_t code;
    const char* name;
};

// Types 0x06 and 0x0E are FAT16 partitions (above 32 MB, and addressed by LBA): taking
// them for NTFS would name most FAT16 sticks wrongly.
constexpr PartitionKind kPartitionKinds[] = {
    {0x01, kFileSystemFat12, "FAT12"}, {0x04, kFileSystemFat16, "FAT16"},
    {0x06, kFileSystemFat16, "FAT16"}, {0x0E, kFileSystemFat16, "FAT16"},
    {0x07, kFileSystemNtfs, "NTFS"},   {0x80, kFileSystemNtfs, "NTFS"},
    {0x0B, kFileSystemFat32, "FAT32"}, {0x0C, kFileSystemFat32, "FAT32"},
};

// The name of a file system recognised from its boot sector.
const char* fileSystemNameOf(std::int32_t code) {
    switch (code) {
        case kFileSystemFat12: return "FAT12";
        case kFileSystemFat16: return "FAT16";
        case kFileSystemFat32: return "FAT32";
        case kFileSystemNtfs: return "NTFS";
        default: return "Unknown";
    }
}

// The name a mounted volume's file system is known by, from the kernel's type name.
std::string fileSystemDisplayName(const std::string& kernelType, std::int32_t code) {
    if (kernelType == "vfat" || kernelType == "msdos") {
        return code == kFileSystemFat32 ? "FAT32" : "FAT";
    }
    if (kernelType == "ntfs" || kernelType == "ntfs3" || kernelType == "fuseblk") return "NTFS";
    if (kernelType == "exfat") return "exFAT";
    std::string upper = kernelType;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

}  // namespace

_LDRIVE* CDrive::QueryInformation() {
    try {
        switch (info_.Kind) {
            case kDrivePhysical:
                queryPhysicalDisk();
                break;
            case kDriveVolume:
                queryVolume();
                break;
            case kDriveLostPartition:
            case kDriveRegion:
                queryRegion();
                break;
            case kDriveImage:
                queryImage();
                break;
            default:
                break;
        }
    } catch (...) {
        Log(kLogError, "QueryInformation except in drive: %s, code: %d", openPath().c_str(), errno);
    }
    return &info_;
}

void CDrive::queryPhysicalDisk() {
    info_.DriveType = platform::kDriveTypeFixed;
    platform::OpenResult opened = opener_(openPath(), platform::OpenMode::Shared);
    if (opened.device) {
        const platform::RawDevice& device = *opened.device;
        queryDeviceName(device);
        fillDeviceNumber(device);
        fillGeometry(device);
        fillLayout(device);
        info_.BytesPerSector = info_.Geometry.BytesPerSector;
        const std::uint64_t bytes = sourceSize_ ? sourceSize_ : device.byteSize().value_or(0);
        setSizeFromBytes(bytes);
    } else {
        Log(kLogError, "Can't open drive: %s, code: %d", openPath().c_str(), opened.error);
    }
    info_.Ready = 1;
}

void CDrive::queryVolume() {
    platform::OpenResult opened = opener_(openPath(), platform::OpenMode::Shared);
    if (!opened.device) {
        Log(kLogError, "Can't open drive: %s, code: %d", openPath().c_str(), opened.error);
        info_.Ready = 0;
        return;
    }
    const platform::RawDevice& device = *opened.device;
    info_.DriveType = platform::driveTypeOf(device.deviceNumber());
    fillDeviceNumber(device);
    fillPartitionInfo(device);
    const std::optional<platform::MountedVolume> mount = fillMountedVolume(device);
    const bool mounted = mount.has_value();

    if (info_.SpaceTotal == 0) {
        const platform::DeviceGeometry geometry = device.geometry();
        setSizeFromBytes(geometry.cylinders * geometry.tracksPerCylinder *
                         geometry.sectorsPerTrack * geometry.bytesPerSector);
    }
    if (info_.SpaceTotal != 0) {
        setSizeFromBytes(info_.SpaceTotal);
        info_.Ready = 1;
    }
    if (ReadBoot() != 0) ParseBoot();
    // Without a mount the boot sector is the only word on the file system (an image's
    // volume, an unmounted stick).
    if (!mounted) engine::disk::setTextField(info_.FileSystemName, fileSystemNameOf(info_.FileSystemCode));
    fillVolumeIdentity(device, mounted && mount->readOnly);
    if (info_.SpaceTotal != 0) {
        setSizeFromBytes(info_.SpaceTotal);
        info_.Ready = 1;
    } else {
        info_.Ready = 0;
        Log(kLogWarning, "Warning! SpaceTotal == 0, on %s", openPath().c_str());
    }
    Close();
}

void CDrive::queryRegion() {
    info_.DriveType = platform::kDriveTypeFixed;
    platform::OpenResult opened = opener_(openPath(), platform::OpenMode::Shared);
    if (opened.device) {
        const platform::RawDevice& device = *opened.device;
        queryDeviceName(device);
        fillGeometry(device);
        fillLayout(device);
        // The region's own extent, when the drive array gave none: the parent past the
        // region's start.
        const std::uint64_t parentBytes = device.byteSize().value_or(0);
        if (info_.TotalSectors == 0 && parentBytes > info_.BaseOffset) {
            setSizeFromBytes(parentBytes - info_.BaseOffset);
        }
    } else {
        Log(kLogError, "Can't open drive: %s, code: %d", openPath().c_str(), opened.error);
    }
    info_.Ready = 1;
}

void CDrive::queryImage() {
    info_.DriveType = platform::kDriveTypeFixed;
    platform::OpenResult opened = opener_(openPath(), platform::OpenMode::Shared);
    if (!opened.device) {
        Log(kLogError, "Can't open drive: %s, code: %d", openPath().c_str(), opened.error);
        return;
    }
    info_.SpaceTotal = opened.device->byteSize().value_or(0);
    info_.BytesPerSector = kSectorSize;
    info_.BytesPerCluster = kSectorSize;
    info_.SectorsPerCluster = 1;
    info_.TotalClusters = info_.SpaceTotal / kSectorSize;
    info_.Ready = 1;
}

void CDrive::queryDeviceName(const platform::RawDevice& device) {
    const auto number = device.deviceNumber();
    if (!number) return;
    const platform::DeviceIdentity identity = platform::deviceIdentity(*number);
    if (!identity.vendor.empty() && !identity.model.empty()) {
        engine::disk::setTextField(info_.Description, identity.vendor + ", " + identity.model);
    } else if (!identity.model.empty()) {
        engine::disk::setTextField(info_.Description, identity.model);
    }
}

void CDrive::fillDeviceNumber(const platform::RawDevice& device) {
    STORAGE_DEVICE_NUMBER& number = info_.DeviceNumber;
    number.DeviceType = kFileDeviceDisk;
    if (info_.Kind == kDrivePhysical) {
        if (info_.Letter >= '0') number.DeviceNumber = static_cast<DWORD>(diskNumber());
        number.PartitionNumber = 0;
        return;
    }
    // A volume's disk is the drive that the drive array named as its parent.
    if (info_.ParentId >= 0) number.DeviceNumber = static_cast<DWORD>(info_.ParentId);
    const auto extent = device.partition();
    number.PartitionNumber = extent ? extent->number : partitionNumber_;
}

void CDrive::fillGeometry(const platform::RawDevice& device) {
    const platform::DeviceGeometry geometry = device.geometry();
    const bool removable = platform::driveTypeOf(device.deviceNumber()) ==
                           platform::kDriveTypeRemovable;
    info_.Geometry.Cylinders = static_cast<LONGLONG>(geometry.cylinders);
    info_.Geometry.MediaType = removable ? kRemovableMedia : kFixedMedia;
    info_.Geometry.TracksPerCylinder = geometry.tracksPerCylinder;
    info_.Geometry.SectorsPerTrack = geometry.sectorsPerTrack;
    info_.Geometry.BytesPerSector = geometry.bytesPerSector;
}

// The kernel's partitions of a block device; a plain file's table is parsed by the
// drive array.
void CDrive::fillLayout(const platform::RawDevice& device) {
    const auto number = device.deviceNumber();
    if (!number) return;
    const auto partitions = platform::diskPartitions(platform::wholeDiskOf(*number));
    DRIVE_LAYOUT_INFORMATION& layout = info_.Layout;
    layout.PartitionCount = 0;
    for (const platform::PartitionExtent& extent : partitions) {
        if (layout.PartitionCount == std::size(layout.PartitionEntry)) break;
        PARTITION_INFORMATION& entry = layout.PartitionEntry[layout.PartitionCount++];
        entry = PARTITION_INFORMATION{};
        entry.StartingOffset = static_cast<LONGLONG>(extent.start);
        entry.PartitionLength = static_cast<LONGLONG>(extent.length);
        entry.HiddenSectors = static_cast<DWORD>(extent.start / kSectorSize);
        entry.PartitionNumber = extent.number;
    }
}

void CDrive::fillPartitionInfo(const platform::RawDevice& device) {
    // A partition device starts at its partition; a volume inside an image file lies at
    // its base offset.
    platform::PartitionExtent extent;
    if (const auto own = device.partition()) {
        extent = *own;
    } else {
        const std::uint64_t bytes = device.byteSize().value_or(0);
        extent.start = info_.BaseOffset;
        extent.length = sourceSize_ ? sourceSize_
                                    : (bytes > info_.BaseOffset ? bytes - info_.BaseOffset : 0);
        extent.number = partitionNumber_;
    }
    PARTITION_INFORMATION& entry = info_.Layout.PartitionEntry[0];
    entry = PARTITION_INFORMATION{};
    entry.StartingOffset = static_cast<LONGLONG>(extent.start);
    entry.PartitionLength = static_cast<LONGLONG>(extent.length);
    entry.HiddenSectors = static_cast<DWORD>(extent.start / kSectorSize);
    entry.PartitionNumber = extent.number;
    entry.PartitionType = partitionType_;
    info_.Layout.PartitionCount = 1;

    info_.SpaceTotal = extent.length;
    for (const PartitionKind& kind : kPartitionKinds) {
        if (kind.type != partitionType_) continue;
        info_.FileSystemCode = kind.code;
        engine::disk::setTextField(info_.FileSystemName, kind.name);
        break;
    }
}

// What a mounted volume adds: its file system's name and its free space. A volume that
// is not mounted has neither and stays not ready until its size is known.
std::optional<platform::MountedVolume> CDrive::fillMountedVolume(const platform::RawDevice& device) {
    const auto number = device.deviceNumber();
    auto mounted = number ? platform::findMount(*number) : std::nullopt;
    if (!mounted) {
        info_.Ready = 0;
        return mounted;
    }
    engine::disk::setTextField(info_.FileSystemName,
                               fileSystemDisplayName(mounted->fileSystem, info_.FileSystemCode));
    info_.SpaceFree = mounted->freeBytes;
    if (info_.SpaceTotal == 0) info_.SpaceTotal = mounted->totalBytes;
    return mounted;
}

// Label and volume flags as the volume query reports them: from the file system that the
// boot sector announces; for another file system the label that udev recorded.
void CDrive::fillVolumeIdentity(const platform::RawDevice& device, bool readOnlyMount) {
    const std::int32_t announced = DetectFileSystem();
    info_.FileSystemFlags = engine::disk::volumeFlagsOf(announced, readOnlyMount);
    std::string label;
    if (announced != 0) {
        const auto read = [this](std::uint64_t lba, std::uint64_t count, void* buffer) {
            return ReadSectors(lba, count, buffer);
        };
        label = engine::volumeLabelOf(boot_, announced, info_.TotalSectors * kSectorSize, engine::sectorReader(read));
    } else if (const auto number = device.deviceNumber()) {
        label = platform::volumeLabel(*number);
    }
    engine::disk::setUtf8TextField(info_.Label, label);
    engine::disk::trimTextField(info_.Label);
}

HANDLE CDrive::StartQueryThread() { return queryThread_.start(); }
