#pragma once
// Read-only access to a block device, a partition device or a plain image file.
//
// A device is opened O_RDONLY | O_CLOEXEC and read with positioned reads, so several
// threads may read one device at once without a shared file position. Errors carry
// errno as the system error code. The interface is abstract so that a test backend can
// fail chosen reads (see fault_injection.h).

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/api.h"

namespace platform {

// Outcome of one read: the bytes read (fewer than asked only at the end of the device)
// and, when the read failed, its errno (the bytes are then 0).
struct IoResult {
    std::size_t bytes = 0;
    int error = 0;

    bool ok() const { return error == 0; }
};

struct DeviceGeometry {
    std::uint64_t cylinders = 0;
    std::uint32_t tracksPerCylinder = 0;
    std::uint32_t sectorsPerTrack = 0;
    std::uint32_t bytesPerSector = 0;
};

// Where a partition device lies on its disk, in bytes.
struct PartitionExtent {
    std::uint64_t start = 0;
    std::uint64_t length = 0;
    std::uint32_t number = 0;
};

class PLATFORM_API RawDevice {
public:
    virtual ~RawDevice();

    // Reads up to `bytes` at `offset`. Retries interrupted and partial reads itself, so a
    // short result means the device ended.
    virtual IoResult readAt(std::uint64_t offset, void* buffer, std::size_t bytes) = 0;
    // Total bytes: BLKGETSIZE64 for a block device, the file size otherwise.
    virtual std::optional<std::uint64_t> byteSize() const = 0;
    // BLKSSZGET for a block device, 512 otherwise.
    virtual std::uint32_t logicalSectorSize() const = 0;
    // HDIO_GETGEO where the device answers it, else 255 heads and 63 sectors per track
    // with the cylinders that the byte size gives.
    virtual DeviceGeometry geometry() const = 0;
    // The partition that this device is, when it is a partition device.
    virtual std::optional<PartitionExtent> partition() const = 0;
    // st_rdev of a block device; nothing for a plain file.
    virtual std::optional<dev_t> deviceNumber() const = 0;
    // A second, independent handle on the same device; null (errno set) on failure.
    virtual std::unique_ptr<RawDevice> duplicate() const = 0;
};

enum class OpenMode {
    Shared,
    // Also claims the device: O_EXCL on a block device (refused while it is mounted or
    // claimed), a non-blocking exclusive flock on a plain file.
    Exclusive,
};

struct OpenResult {
    std::unique_ptr<RawDevice> device;  // null on failure
    int error = 0;                      // errno of the failure
};

// Opens a Linux path (UTF-8) read-only.
PLATFORM_API OpenResult openRawDevice(const std::string& path, OpenMode mode = OpenMode::Shared);

// How a drive object opens its source; tests substitute a failing backend.
using DeviceOpener = std::function<OpenResult(const std::string& path, OpenMode mode)>;

}  // namespace platform
