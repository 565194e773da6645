#pragma once
// A test backend behind the raw-device interface: an in-memory device, and a wrapper that
// fails chosen reads (an errno for the first k attempts on a byte range, reads cut short
// at a byte position, a dead handle once), so that retries, pauses, reopening and error
// reports can be exercised without bad media.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/api.h"
#include "platform/raw_device.h"

namespace platform {

// A device over bytes held in memory; duplicates share the bytes.
class PLATFORM_API MemoryDevice final : public RawDevice {
public:
    explicit MemoryDevice(std::shared_ptr<const std::vector<std::uint8_t>> bytes);

    IoResult readAt(std::uint64_t offset, void* buffer, std::size_t bytes) override;
    std::optional<std::uint64_t> byteSize() const override { return bytes_->size(); }
    std::uint32_t logicalSectorSize() const override { return 512; }
    DeviceGeometry geometry() const override;
    std::optional<PartitionExtent> partition() const override { return std::nullopt; }
    std::optional<dev_t> deviceNumber() const override { return std::nullopt; }
    std::unique_ptr<RawDevice> duplicate() const override;

private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
};

// What to do to reads; shared by every device opened through one faulty opener, and safe
// to use from several threads.
class PLATFORM_API FaultPlan {
public:
    struct ReadCall {
        std::uint64_t offset;
        std::size_t bytes;
    };

    // Reads that overlap [first, last) fail with `error` for the next `times` matching
    // reads (-1: always).
    void failReads(std::uint64_t first, std::uint64_t last, int error, int times);
    // Reads are cut at byte `end`, as if the device ended there.
    void cutReadsAt(std::uint64_t end);
    // The next read fails with EBADF, as a handle that died would.
    void killHandleOnce();
    // The next `times` opens fail with `error`.
    void failOpens(int error, int times);

    std::vector<ReadCall> reads() const;
    // Reads that a rule of failReads failed.
    std::size_t failedReads() const;
    int opens() const;

    // Used by the faulty devices: the error to give for a read, or 0 to pass it on, and
    // the bytes it may deliver.
    int beforeRead(std::uint64_t offset, std::size_t& bytes);
    int beforeOpen();

private:
    struct Rule {
        std::uint64_t first;
        std::uint64_t last;
        int error;
        int remaining;
    };

    mutable std::mutex lock_;
    std::vector<Rule> rules_;
    std::vector<ReadCall> reads_;
    std::size_t failedReads_ = 0;
    std::uint64_t cutAt_ = UINT64_MAX;
    bool killHandle_ = false;
    int openError_ = 0;
    int openFailures_ = 0;
    int opens_ = 0;
};

// Wraps every device that `inner` opens so that its reads follow `plan`.
PLATFORM_API DeviceOpener faultyOpener(std::shared_ptr<FaultPlan> plan, DeviceOpener inner);

// Opens every path as the same in-memory bytes.
PLATFORM_API DeviceOpener memoryOpener(std::shared_ptr<const std::vector<std::uint8_t>> bytes);

}  // namespace platform
