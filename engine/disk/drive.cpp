#include "engine/disk/drive.h"

#include <cerrno>
#include <cstring>
#include <limits>

#include "engine/exports.h"
#include "engine/log.h"
#include "platform/text.h"

namespace {

constexpr char kUnknownFileSystem[] = "Unknown";

}  // namespace

CDrive::CDrive() : opener_(&platform::openRawDevice), sleeper_(engine::disk::realSleeper()) {
    std::memset(&info_, 0, sizeof info_);
    std::memset(boot_, 0, sizeof boot_);
    info_.BytesPerSector = kSectorSize;
    info_.BytesPerCluster = kSectorSize;
    info_.SectorsPerCluster = 1;
    info_.ParentId = -1;
    info_.FileSystemCode = kFileSystemNone;
    std::memcpy(info_.FileSystemName, kUnknownFileSystem, sizeof kUnknownFileSystem);
    info_.DeviceNumber.DeviceType = ~DWORD{0};
    info_.DeviceNumber.DeviceNumber = ~DWORD{0};
    info_.DeviceNumber.PartitionNumber = ~DWORD{0};
}

CDrive::~CDrive() = default;

void CDrive::SetSource(const DriveSource& source) {
    info_.Kind = source.kind;
    info_.BaseOffset = source.baseOffset;
    path_ = source.path;
    sourceSize_ = source.sizeBytes;
    partitionType_ = source.partitionType;
    partitionNumber_ = source.partitionNumber;
    diskPath_ = source.diskPath;
    const platform::SourceIdentity identity = platform::sourceIdentity(source.path);
    info_.SourceDevice = identity.device;
    info_.SourceInode = identity.inode;
    if (source.sizeBytes != 0) setSizeFromBytes(source.sizeBytes);
}

const std::string& CDrive::openPath() const {
    static const std::string none;
    switch (info_.Kind) {
        case kDrivePhysical:
        case kDriveVolume:
        case kDriveImage:
            return path_;
        case kDriveLostPartition:
        case kDriveRegion:
            return parentPath_;
        default:
            return none;
    }
}

std::u16string CDrive::GetPath() const { return platform::toUtf16(path_); }

std::u16string CDrive::GetPhysicalPath() const {
    switch (info_.Kind) {
        case kDriveVolume:
            return platform::toUtf16(diskPath_.empty() ? path_ : diskPath_);
        case kDriveLostPartition:
        case kDriveRegion:
            return platform::toUtf16(parentPath_);
        default:
            return platform::toUtf16(path_);
    }
}

bool CDrive::Lock() {
    std::lock_guard guard(claimLock_);
    if (claim_) return true;
    const std::string& path = openPath();
    platform::OpenResult claimed = opener_(path, platform::OpenMode::Exclusive);
    if (!claimed.device) {
        Log(kLogError, "CDrive.Lock: can't claim %s, code: %d", path.c_str(), claimed.error);
        errno = claimed.error;
        return false;
    }
    claim_ = std::move(claimed.device);
    return true;
}

bool CDrive::Unlock() {
    std::lock_guard guard(claimLock_);
    const bool held = claim_ != nullptr;
    claim_.reset();
    return held;
}

void CDrive::setSizeFromBytes(std::uint64_t bytes) {
    info_.SpaceTotal = bytes;
    // Whole 512-byte units of the byte size: no tail is lost to a geometry.
    info_.TotalSectors = bytes / kSectorSize;
    if (info_.BytesPerCluster != 0) info_.TotalClusters = bytes / info_.BytesPerCluster;
}

int CDrive::openDevice() {
    const std::string& path = openPath();
    int error = ENOENT;
    try {
        std::unique_lock guard(deviceLock_);
        device_.reset();
        if (!path.empty()) {
            platform::OpenResult opened = opener_(path, platform::OpenMode::Shared);
            device_ = std::move(opened.device);
            error = device_ ? 0 : opened.error;
        }
    } catch (...) {
        Log(kLogWarning, "OpenDrive except");
        return ENOMEM;
    }
    if (error != 0) Log(kLogError, "Can't open drive: %s, code: %d", path.c_str(), error);
    return error;
}

bool CDrive::OpenDrive() { return openDevice() == 0; }

void CDrive::Close() {
    std::unique_lock guard(deviceLock_);
    device_.reset();
}

bool CDrive::isOpen() const {
    std::shared_lock guard(deviceLock_);
    return device_ != nullptr;
}

std::unique_ptr<platform::RawDevice> CDrive::DuplicateDevice() const {
    std::shared_lock guard(deviceLock_);
    return device_ ? device_->duplicate() : nullptr;
}

// The size of a source that the drive array did not give is the source's own, past the
// base offset.
void CDrive::adoptSourceSize() {
    if (info_.TotalSectors != 0) return;
    std::shared_lock guard(deviceLock_);
    if (!device_) return;
    const std::uint64_t bytes = device_->byteSize().value_or(0);
    if (bytes > info_.BaseOffset) setSizeFromBytes(bytes - info_.BaseOffset);
}

std::uint32_t CDrive::Initialize() {
    if (!OpenDrive()) return 0;
    try {
        adoptSourceSize();
        if (ReadBoot() != 0) ParseBoot();
    } catch (...) {
        Log(kLogWarning, "CDrive.Initialize except");
    }
    // Saturated: a drive of 2^32 sectors or more must not look empty.
    const std::uint64_t sectors = info_.TotalSectors;
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(sectors, std::numeric_limits<std::uint32_t>::max()));
}

std::uint32_t CDrive::SetLetterAndInitialize(const char* letter) {
    if (letter) info_.Letter = letter[0];
    return Initialize();
}

std::uint64_t CDrive::ReadSectors(std::uint64_t lba, std::uint64_t count, void* buffer) {
    if (count == 0) return 0;
    if (!isOpen()) {
        Log(kLogWarning, "ReadSectors: Drive not opened, try open");
        if (const int error = openDevice()) {
            // A pass reading sector by sector counts this as a failed read, not as data
            // that ends here.
            if (engine::disk::ReadScope* scope = engine::disk::ReadScope::current()) {
                scope->fail({kIoErrorSeek, error, 0, lba * kSectorSize + info_.BaseOffset});
            }
            return 0;
        }
    }
    // The first sector is checked before the clamp, which would otherwise underflow.
    const std::uint64_t total = info_.TotalSectors;
    if (lba >= total) return 0;
    count = std::min(count, total - lba);
    constexpr std::uint64_t kMaxSectors = std::numeric_limits<std::uint64_t>::max() / kSectorSize;
    if (lba > kMaxSectors || count > kMaxSectors) return 0;
    const std::uint64_t position = lba * kSectorSize + info_.BaseOffset;
    if (position < info_.BaseOffset) return 0;

    const engine::disk::SectorRun run{position, buffer,
                                      static_cast<std::size_t>(count * kSectorSize)};
    auto readOnce = [this](const engine::disk::SectorRun& r) -> platform::IoResult {
        std::shared_lock guard(deviceLock_);
        if (!device_) return {0, EBADF};
        return device_->readAt(r.position, r.buffer, r.bytes);
    };
    return engine::disk::readWithRetries(run, engine::disk::currentReadPolicy(), sleeper_, readOnce,
                                         [this] { return openDevice(); });
}

std::uint64_t CDrive::FileRead(const FileReadRequest& request) {
    try {
        if (request.size == 0 || !request.record || !request.buffer) return 0;
        const std::uint64_t start = request.record->DataPosition + request.offset;
        if (start < request.offset) return 0;
        const std::uint64_t lba = start / kSectorSize;
        const std::uint64_t count = request.size / kSectorSize + (request.size % kSectorSize != 0);
        const std::uint64_t read = ReadSectors(lba, count, request.buffer);
        if (read == 0) {
            Log(kLogError, "CDrive.FileRead: Can't read sector at: %I64d", lba);
            return 0;
        }
        return std::min(read, request.size);
    } catch (...) {
        return 0;
    }
}
