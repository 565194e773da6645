#include "platform/fault_injection.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform {

MemoryDevice::MemoryDevice(std::shared_ptr<const std::vector<std::uint8_t>> bytes)
    : bytes_(std::move(bytes)) {}

IoResult MemoryDevice::readAt(std::uint64_t offset, void* buffer, std::size_t bytes) {
    if (offset >= bytes_->size()) return {0, 0};
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::uint64_t>(bytes, bytes_->size() - offset));
    std::memcpy(buffer, bytes_->data() + offset, count);
    return {count, 0};
}

DeviceGeometry MemoryDevice::geometry() const {
    return DeviceGeometry{bytes_->size() / (255 * 63 * 512), 255, 63, 512};
}

std::unique_ptr<RawDevice> MemoryDevice::duplicate() const {
    return std::make_unique<MemoryDevice>(bytes_);
}

void FaultPlan::failReads(std::uint64_t first, std::uint64_t last, int error, int times) {
    std::lock_guard guard(lock_);
    rules_.push_back({first, last, error, times});
}

void FaultPlan::cutReadsAt(std::uint64_t end) {
    std::lock_guard guard(lock_);
    cutAt_ = end;
}

void FaultPlan::killHandleOnce() {
    std::lock_guard guard(lock_);
    killHandle_ = true;
}

void FaultPlan::failOpens(int error, int times) {
    std::lock_guard guard(lock_);
    openError_ = error;
    openFailures_ = times;
}

std::size_t FaultPlan::failedReads() const {
    std::lock_guard guard(lock_);
    return failedReads_;
}

std::vector<FaultPlan::ReadCall> FaultPlan::reads() const {
    std::lock_guard guard(lock_);
    return reads_;
}

int FaultPlan::opens() const {
    std::lock_guard guard(lock_);
    return opens_;
}

int FaultPlan::beforeRead(std::uint64_t offset, std::size_t& bytes) {
    std::lock_guard guard(lock_);
    reads_.push_back({offset, bytes});
    if (killHandle_) {
        killHandle_ = false;
        return EBADF;
    }
    const std::uint64_t end = offset + bytes;
    for (Rule& rule : rules_) {
        if (rule.remaining == 0 || end <= rule.first || offset >= rule.last) continue;
        if (rule.remaining > 0) --rule.remaining;
        ++failedReads_;
        return rule.error;
    }
    if (end > cutAt_) bytes = offset >= cutAt_ ? 0 : static_cast<std::size_t>(cutAt_ - offset);
    return 0;
}

int FaultPlan::beforeOpen() {
    std::lock_guard guard(lock_);
    ++opens_;
    if (openFailures_ == 0) return 0;
    if (openFailures_ > 0) --openFailures_;
    return openError_;
}

namespace {

class FaultyDevice final : public RawDevice {
public:
    FaultyDevice(std::unique_ptr<RawDevice> inner, std::shared_ptr<FaultPlan> plan)
        : inner_(std::move(inner)), plan_(std::move(plan)) {}

    IoResult readAt(std::uint64_t offset, void* buffer, std::size_t bytes) override {
        if (const int error = plan_->beforeRead(offset, bytes)) return {0, error};
        return inner_->readAt(offset, buffer, bytes);
    }
    std::optional<std::uint64_t> byteSize() const override { return inner_->byteSize(); }
    std::uint32_t logicalSectorSize() const override { return inner_->logicalSectorSize(); }
    DeviceGeometry geometry() const override { return inner_->geometry(); }
    std::optional<PartitionExtent> partition() const override { return inner_->partition(); }
    std::optional<dev_t> deviceNumber() const override { return inner_->deviceNumber(); }
    std::unique_ptr<RawDevice> duplicate() const override {
        auto copy = inner_->duplicate();
        if (!copy) return nullptr;
        return std::make_unique<FaultyDevice>(std::move(copy), plan_);
    }

private:
    std::unique_ptr<RawDevice> inner_;
    std::shared_ptr<FaultPlan> plan_;
};

}  // namespace

DeviceOpener faultyOpener(std::shared_ptr<FaultPlan> plan, DeviceOpener inner) {
    return [plan = std::move(plan), inner = std::move(inner)](const std::string& path,
                                                              OpenMode mode) -> OpenResult {
        if (const int error = plan->beforeOpen()) return {nullptr, error};
        OpenResult opened = inner(path, mode);
        if (!opened.device) return opened;
        return {std::make_unique<FaultyDevice>(std::move(opened.device), plan), 0};
    };
}

DeviceOpener memoryOpener(std::shared_ptr<const std::vector<std::uint8_t>> bytes) {
    return [bytes = std::move(bytes)](const std::string&, OpenMode) -> OpenResult {
        return {std::make_unique<MemoryDevice>(bytes), 0};
    };
}

}  // namespace platform
