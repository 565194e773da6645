// The imaging thread: header, partition records, then the drive's sectors in 2 MiB
// pieces, each piece written out in full before the next is read.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <vector>

#include "engine/disk/drive_image.h"
#include "engine/disk/drive_image_format.h"
#include "engine/disk/drive_image_target.h"
#include "engine/disk/text_field.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "engine/messages.h"
#include "platform/handles.h"
#include "platform/messages.h"
#include "platform/text.h"

namespace engine::image {
namespace {

// The refusal of a target on the drive being imaged, as the failed message reports it.
constexpr int kTargetOnSourceError = EINVAL;

class ImageFile {
public:
    explicit ImageFile(int fd) : fd_(fd) {}
    ~ImageFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    // Writes every byte, however many calls it takes; 0, or the errno of the failure.
    int writeAll(const void* data, std::size_t bytes) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        while (bytes > 0) {
            const ssize_t written = ::write(fd_, p, bytes);
            if (written < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            if (written == 0) return EIO;
            p += written;
            bytes -= static_cast<std::size_t>(written);
        }
        return 0;
    }
    // Closes now, so that a failure to flush counts; 0, or the errno.
    int close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

struct Opened {
    std::unique_ptr<ImageFile> file;
    int error = 0;
};

// Creates or empties the target, never one that lives on the source.
Opened openTarget(const std::string& target, const std::string& source) {
    if (targetOnSource(target, source)) {
        Log(kLogError, "DriveCreateImage: image file is on the drive being imaged: %s", target.c_str());
        return {nullptr, kTargetOnSourceError};
    }
    const int fd = ::open(target.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return {nullptr, errno};
    auto file = std::make_unique<ImageFile>(fd);
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) return {nullptr, errno};
    if (openedTargetOnSource(opened, source)) {
        Log(kLogError, "DriveCreateImage: image file is on the drive being imaged: %s", target.c_str());
        return {nullptr, kTargetOnSourceError};
    }
    // Emptied only now that it is known not to be the source; a device target stays.
    if (S_ISREG(opened.st_mode) && ::ftruncate(fd, 0) != 0) return {nullptr, errno};
    return {std::move(file), 0};
}

std::string targetPath(const ImageRequest& request) {
    const std::size_t length = platform::boundedLength(request.Path, kPathCapacity);
    return platform::toUtf8(std::u16string_view(request.Path, length));
}

// The drives whose parent is the disk, in array order.
std::vector<std::shared_ptr<CDrive>> partitionsOf(const CStorageArray& drives, const _LDRIVE& disk) {
    std::vector<std::shared_ptr<CDrive>> partitions;
    for (int i = 0; i < drives.count() && partitions.size() < 0xFFFF; ++i) {
        std::shared_ptr<CDrive> drive = drives.share(i);
        if (drive && drive->GetDriveInfo()->ParentId == disk.Id && drive->GetDriveInfo() != &disk)
            partitions.push_back(std::move(drive));
    }
    return partitions;
}

// Header and partition records; 0, or the errno of the failed write.
int writeHeader(ImageFile& file, const CStorageArray& drives, CDrive& drive) {
    _LDRIVE record = *drive.GetDriveInfo();
    if (record.Kind != kDrivePhysical) {
        engine::disk::setTextField(record.Description, imageDescription(record));
        const Header header = buildHeader(record, 0);
        return file.writeAll(header.data(), header.size());
    }
    const std::vector<std::shared_ptr<CDrive>> partitions = partitionsOf(drives, record);
    const Header header = buildHeader(record, static_cast<std::uint16_t>(partitions.size()));
    if (const int error = file.writeAll(header.data(), header.size())) return error;
    for (const std::shared_ptr<CDrive>& partition : partitions) {
        const _LDRIVE refreshed = storedRecord(*partition->QueryInformation());
        if (const int error = file.writeAll(&refreshed, kRecordSize)) return error;
    }
    return 0;
}

// The sectors in pieces; 0 when all were copied or the caller cancelled, else the
// error that stopped the copy.
int copySectors(ImageFile& file, CDrive& drive, ImageRequest& request) {
    const std::uint64_t total = drive.GetDriveInfo()->TotalSectors;
    std::atomic_ref<std::uint64_t> current(request.CurrentSector);
    std::atomic_ref<std::int32_t> run(request.Run);
    std::vector<std::uint8_t> piece(kPieceSectors * kSectorBytes);
    for (std::uint64_t sector = 0; sector < total; sector += kPieceSectors) {
        current.store(sector);
        if (run.load() != 1) return 0;
        const std::uint64_t count = std::min(kPieceSectors, total - sector);
        // A short piece in the middle would shift every later sector: it fails the image.
        const std::uint64_t read = drive.ReadSectors(sector, count, piece.data());
        if (read != count * kSectorBytes) {
            Log(kLogError, "DriveCreateImage: Can't read sector: 0x%I64x", sector + read / kSectorBytes);
            return EIO;
        }
        if (const int error = file.writeAll(piece.data(), static_cast<std::size_t>(read))) {
            Log(kLogError, "DriveCreateImage: Can't write sector: 0x%I64x", sector);
            return error;
        }
        PostMessageW(request.Window, WM_ENGINE_IMAGE_PROGRESS, 0, 0);
    }
    return 0;
}

DWORD imageThreadMain(void* parameter) {
    auto* work = static_cast<std::pair<CStorageArray*, ImageRequest*>*>(parameter);
    const std::unique_ptr<std::pair<CStorageArray*, ImageRequest*>> owned(work);
    try {
        CreateImage(*work->first, *work->second);
    } catch (...) {
        Log(kLogError, "DriveCreateImage: except");
    }
    return 0;
}

}  // namespace

void CreateImage(CStorageArray& drives, ImageRequest& request) {
    const std::shared_ptr<CDrive> drive = drives.DiskInitialize(request.DiskIndex);
    if (!drive) return;
    if (!drive->isOpen() || drive->GetDriveInfo()->TotalSectors == 0) return;

    Opened target = openTarget(targetPath(request), drive->openPath());
    if (!target.file) {
        PostMessageW(request.Window, WM_ENGINE_IMAGE_FAILED, 0, static_cast<LPARAM>(target.error));
        return;
    }
    int error = writeHeader(*target.file, drives, *drive);
    if (error != 0) Log(kLogError, "DriveCreateImage: Can't write the header: %d", error);
    std::atomic_ref<std::uint64_t>(request.TotalSectors).store(drive->GetDriveInfo()->TotalSectors);
    if (error == 0) {
        std::atomic_ref<std::int32_t>(request.Run).store(1);
        error = copySectors(*target.file, *drive, request);
    }
    const int closeError = target.file->close();
    if (error == 0) error = closeError;
    std::atomic_ref<std::int32_t>(request.Run).store(0);
    PostMessageW(request.Window, WM_ENGINE_IMAGE_DONE, 0, static_cast<LPARAM>(error));
}

HANDLE StartCreateImage(CStorageArray& drives, ImageRequest* request) {
    if (!request) return nullptr;
    auto work = std::make_unique<std::pair<CStorageArray*, ImageRequest*>>(&drives, request);
    HANDLE thread = CreateThread(nullptr, kThreadStackBytes, &imageThreadMain, work.get(), 0, nullptr);
    if (thread) work.release();
    return thread;
}

}  // namespace engine::image
