// Loading an image file: the imaged drive and, for a disk, its partitions become drives
// of kind 8 that read the file at their own offsets.

#include <array>
#include <optional>

#include "engine/disk/drive_image.h"
#include "engine/disk/drive_image_format.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "platform/device_info.h"
#include "platform/raw_device.h"

namespace engine::image {
namespace {

bool readExactly(platform::RawDevice& file, std::uint64_t offset, void* buffer, std::size_t bytes) {
    const platform::IoResult result = file.readAt(offset, buffer, bytes);
    return result.ok() && result.bytes == bytes;
}

// A loaded drive reading the image file from `baseOffset`.
std::shared_ptr<CDrive> imageDrive(const _LDRIVE& record, const std::string& path, std::uint64_t baseOffset,
                                   std::int32_t parentId) {
    auto drive = std::make_shared<CDrive>();
    *drive->GetDriveInfo() = record;
    DriveSource source;
    source.kind = kDriveImage;
    source.path = path;
    source.baseOffset = baseOffset;
    drive->SetSource(source);
    _LDRIVE& info = *drive->GetDriveInfo();
    info.DriveType = platform::kDriveTypeFixed;
    info.ParentId = parentId;
    return drive;
}

std::uint64_t bytesFrom(std::uint64_t fileSize, std::uint64_t offset) { return fileSize > offset ? fileSize - offset : 0; }

}  // namespace

std::shared_ptr<CDrive> LoadImage(CStorageArray& drives, const std::string& path) {
    platform::OpenResult opened = platform::openRawDevice(path, platform::OpenMode::Shared);
    if (!opened.device) {
        Log(kLogError, "DriveImageLoad: Can't open image: %s, code: %d", path.c_str(), opened.error);
        return nullptr;
    }
    platform::RawDevice& file = *opened.device;
    Header header;
    if (!readExactly(file, 0, header.data(), header.size())) {
        Log(kLogError, "DriveImageLoad: Can't read the header of %s", path.c_str());
        return nullptr;
    }
    const std::uint64_t fileSize = file.byteSize().value_or(0);
    const std::uint16_t declared = partitionCount(header);
    // The sector data starts past every declared record, whether or not they are there.
    const std::uint64_t data = dataOffset(declared);

    _LDRIVE record = driveRecord(header);
    sanitizeLoadedRecord(record, bytesFrom(fileSize, data));
    std::shared_ptr<CDrive> image = imageDrive(record, path, data, -1);
    const int imageIndex = drives.add(image);

    for (std::uint16_t i = 0; i < declared; ++i) {
        _LDRIVE partition;
        if (!readExactly(file, kHeaderSize + std::uint64_t{i} * kRecordSize, &partition, kRecordSize)) break;
        const std::uint64_t start = partitionStart(partition);
        const std::uint64_t available = bytesFrom(image->GetDriveInfo()->TotalSectors * kSectorBytes, start);
        sanitizeLoadedRecord(partition, available);
        drives.add(imageDrive(partition, path, data + start, imageIndex));
    }
    return image;
}

}  // namespace engine::image
