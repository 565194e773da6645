#include "engine/disk/volume.h"

#include <cerrno>
#include <limits>

#include "engine/disk/drive.h"
#include "engine/disk/volume_flags.h"
#include "engine/fs/volume_label.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "platform/device_info.h"
#include "platform/text.h"

namespace {

constexpr std::size_t kLabelCapacity = 30;

std::int32_t fileSystemOfPartitionType(std::uint8_t type) {
    switch (type) {
        case 0x01:
            return kFileSystemFat12;
        case 0x04:
            return kFileSystemFat16;
        case 0x06:
        case 0x07:
        case 0x80:
            return kFileSystemNtfs;
        case 0x0B:
        case 0x0C:
            return kFileSystemFat32;
        default:
            return -1;
    }
}

}  // namespace

CVolume::CVolume(std::int32_t kind, std::string path, CDrive* owningDrive)
    : kind_(kind),
      path_(std::move(path)),
      owningDrive_(owningDrive),
      throughParent_(kind == kImage),
      opener_(&platform::openRawDevice),
      sleeper_(engine::disk::realSleeper()) {}

CVolume::~CVolume() = default;

void CVolume::SetPartition(std::uint64_t start, std::uint64_t length, std::uint8_t type,
                           bool throughParent) {
    partition_.StartingOffset = static_cast<LONGLONG>(start);
    partition_.PartitionLength = static_cast<LONGLONG>(length);
    partition_.HiddenSectors = static_cast<DWORD>(start / kSectorSize);
    partition_.PartitionType = type;
    throughParent_ = throughParent || kind_ == kImage;
    if (length != 0) sectorCount_ = length / kSectorSize;
}

int CVolume::openDevice() {
    std::unique_ptr<platform::RawDevice> opened;
    int error = 0;
    if (kind_ == kImage) {
        // A handle of its own: closing the volume leaves the drive's handle open.
        opened = owningDrive_ ? owningDrive_->DuplicateDevice() : nullptr;
        if (!opened) error = EBADF;
    } else if (kind_ == kLetteredVolume || kind_ == kFile) {
        platform::OpenResult result = opener_(path_, platform::OpenMode::Shared);
        opened = std::move(result.device);
        error = result.error;
    } else {
        error = ENODEV;
    }
    if (!opened) {
        Log(kLogError, "Can't open drive: %s, code: %d", path_.c_str(), error);
        return error ? error : ENODEV;
    }
    if (sectorCount_ == 0) {
        std::uint64_t bytes = opened->byteSize().value_or(0);
        const std::uint64_t start = readOffset();
        bytes = bytes > start ? bytes - start : 0;
        sectorCount_ = bytes / kSectorSize;
    }
    std::unique_lock guard(deviceLock_);
    device_ = std::move(opened);
    return 0;
}

bool CVolume::Open() { return openDevice() == 0; }

void CVolume::Close() {
    std::unique_lock guard(deviceLock_);
    device_.reset();
}

bool CVolume::isOpen() const {
    std::shared_lock guard(deviceLock_);
    return device_ != nullptr;
}

std::uint64_t CVolume::readOffset() const {
    return throughParent_ ? static_cast<std::uint64_t>(partition_.StartingOffset) : 0;
}

std::uint64_t CVolume::Initialize() {
    try {
        if (!Open()) return 0;
        ParseBoot();
    } catch (...) {
        Log(kLogWarning, "CVolume.Initialize except");
    }
    return sectorCount_;
}

bool CVolume::Lock(bool lock) {
    if (!lock) {
        const bool held = lockDevice_ != nullptr;
        lockDevice_.reset();
        return held;
    }
    if (kind_ != kLetteredVolume && kind_ != kFile) {
        errno = ENOTSUP;
        return false;
    }
    if (lockDevice_) return true;
    platform::OpenResult probe = opener_(path_, platform::OpenMode::Shared);
    if (probe.device) {
        const auto number = probe.device->deviceNumber();
        if (number && platform::findMount(*number)) {
            Log(kLogError, "Volume.Lock: %s is mounted; unmount it first", path_.c_str());
            errno = EBUSY;
            return false;
        }
    }
    // The handle that holds the claim is kept until Unlock.
    platform::OpenResult claimed = opener_(path_, platform::OpenMode::Exclusive);
    if (!claimed.device) {
        Log(kLogError, "Volume.Lock: can't claim %s, code: %d", path_.c_str(), claimed.error);
        errno = claimed.error;
        return false;
    }
    lockDevice_ = std::move(claimed.device);
    return true;
}

std::uint64_t CVolume::GetSize() const {
    if (kind_ == kFile) {
        std::shared_lock guard(deviceLock_);
        if (device_) return device_->byteSize().value_or(0);
        platform::OpenResult opened = opener_(path_, platform::OpenMode::Shared);
        return opened.device ? opened.device->byteSize().value_or(0) : 0;
    }
    if (kind_ == kLetteredVolume) return static_cast<std::uint64_t>(partition_.PartitionLength);
    return 0;
}

void CVolume::QueryInformation() {
    try {
        if (!Open()) return;
        if (kind_ == kLetteredVolume) {
            std::unique_ptr<platform::RawDevice> device = [this] {
                std::shared_lock guard(deviceLock_);
                return device_->duplicate();
            }();
            if (device) queryLetteredVolume(*device);
        } else if (kind_ == kImage) {
            ready_ = true;
        }
        Close();
    } catch (...) {
        Log(kLogError, "QueryInformation except in drive: %s, code: %d", path_.c_str(), errno);
    }
}

void CVolume::queryLetteredVolume(const platform::RawDevice& device) {
    if (const auto own = device.partition()) {
        partition_.StartingOffset = static_cast<LONGLONG>(own->start);
        partition_.PartitionLength = static_cast<LONGLONG>(own->length);
        partition_.PartitionNumber = own->number;
        throughParent_ = false;
    }
    const std::int32_t code = fileSystemOfPartitionType(partition_.PartitionType);
    if (code != -1) fileSystemCode_ = code;

    serialNumber_ = 0;
    const auto number = device.deviceNumber();
    const auto mounted = number ? platform::findMount(*number) : std::nullopt;
    ready_ = mounted.has_value();

    std::uint64_t size = GetSize();
    if (size == 0 && mounted) {
        size = mounted->totalBytes;
        partition_.PartitionLength = static_cast<LONGLONG>(size);
    }
    if (size == 0) size = device.byteSize().value_or(0);
    if (size != 0) sectorCount_ = size / kSectorSize;
    ParseBoot();
    if (size != 0) {
        sectorCount_ = size / kSectorSize;
    } else {
        ready_ = false;
    }
    fillIdentity(number, mounted && mounted->readOnly);
}

// Label and volume flags from the file system that the boot sector announces; for
// another file system the label that udev recorded.
void CVolume::fillIdentity(std::optional<dev_t> device, bool readOnlyMount) {
    const std::int32_t announced = boot_.fileSystemId() > 0 ? boot_.fileSystemId() : 0;
    fileSystemFlags_ = engine::disk::volumeFlagsOf(announced, readOnlyMount);
    std::string label;
    if (announced != 0) {
        const std::span<const std::uint8_t> bootSector(boot_.buffer(), boot::kBootBufferSize);
        const auto read = [this](std::uint64_t first, std::uint64_t count, void* buffer) {
            return ReadSectors(first, static_cast<std::uint32_t>(count), buffer);
        };
        label = engine::volumeLabelOf(bootSector, announced, sectorCount_ * kSectorSize, engine::sectorReader(read));
    } else if (device) {
        label = platform::volumeLabel(*device);
    }
    label_ = platform::toUtf16(label);
    if (label_.size() > kLabelCapacity) label_.resize(kLabelCapacity);
    while (!label_.empty() && label_.back() == u' ') label_.pop_back();
}

void CVolume::ParseBoot() {
    try {
        const auto read = [this](std::uint64_t first, std::uint64_t count, void* buffer) {
            return ReadSectors(first, static_cast<std::uint32_t>(count), buffer);
        };
        if (boot::readBootSectors(read, boot_.buffer()) >= kSectorSize) {
            boot_.ParseBoot();
        }
    } catch (...) {
        Log(kLogError, "Volume.ParseBoot.except");
    }
}

std::uint64_t CVolume::ReadSectors(std::uint64_t first, std::uint32_t count, void* buffer) {
    if (count == 0) return 0;
    if (!isOpen() && !Open()) return 0;
    if (first >= sectorCount_) return 0;
    const std::uint64_t sectors = std::min<std::uint64_t>(count, sectorCount_ - first);
    constexpr std::uint64_t kMaxSector = std::numeric_limits<std::uint64_t>::max() / kSectorSize;
    if (first > kMaxSector) return 0;
    const std::uint64_t position = first * kSectorSize + readOffset();
    if (position < readOffset()) return 0;

    const engine::disk::SectorRun run{position, buffer,
                                      static_cast<std::size_t>(sectors * kSectorSize)};
    auto readOnce = [this](const engine::disk::SectorRun& r) -> platform::IoResult {
        std::shared_lock guard(deviceLock_);
        if (!device_) return {0, EBADF};
        return device_->readAt(r.position, r.buffer, r.bytes);
    };
    return engine::disk::readWithRetries(run, engine::disk::currentReadPolicy(), sleeper_,
                                         readOnce, [this] { return openDevice(); });
}
