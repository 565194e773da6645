#include "engine/disk/disk_scanner.h"

#include <cstring>

#include "engine/exports.h"
#include "engine/log.h"
#include "platform/text.h"

namespace {

void queryDisk(CDrive& drive) { drive.QueryInformation(); }

std::vector<platform::DiskDevice> machineDisks() { return platform::DeviceEnumerator().enumerate().disks; }

}  // namespace

CPhysicalDevice::CPhysicalDevice(int number, std::string path, Query query)
    : number_(number),
      path_(std::move(path)),
      query_(query ? std::move(query) : Query(queryDisk)),
      name_(platform::toUtf16("Device #" + std::to_string(number))) {}

CPhysicalDevice::~CPhysicalDevice() {
    if (thread_.joinable()) thread_.join();
}

void CPhysicalDevice::StartQuery(bool extended) {
    std::lock_guard guard(lock_);
    if (running_ || thread_.joinable()) return;
    extended_ = extended;
    running_ = true;
    thread_ = std::thread([this] {
        // The query fills a drive of its own; only the results are copied under the lock.
        CDrive drive;
        DriveSource source;
        source.kind = kDrivePhysical;
        source.path = path_;
        drive.SetSource(source);
        drive.GetDriveInfo()->Letter = static_cast<char>('0' + number_);
        try {
            query_(drive);
        } catch (...) {
            Log(kLogError, "CPhysicalDevice.Query.except");
        }
        const _LDRIVE& info = *drive.GetDriveInfo();
        std::lock_guard done(lock_);
        if (info.Description[0] != 0)
            name_ = platform::toUtf16(std::string(info.Description, strnlen(info.Description, sizeof info.Description)));
        geometry_ = info.Geometry;
        layout_ = info.Layout;
        running_ = false;
        finished_.notify_all();
    });
}

bool CPhysicalDevice::waitUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock guard(lock_);
    return finished_.wait_until(guard, deadline, [this] { return !running_; });
}

std::u16string CPhysicalDevice::name() const {
    std::lock_guard guard(lock_);
    return name_;
}

DISK_GEOMETRY CPhysicalDevice::geometry() const {
    std::lock_guard guard(lock_);
    return geometry_;
}

DRIVE_LAYOUT_INFORMATION CPhysicalDevice::layout() const {
    std::lock_guard guard(lock_);
    return layout_;
}

CDiskScanner::CDiskScanner(DiskSource source, CPhysicalDevice::Query query, std::chrono::milliseconds settleDeadline)
    : source_(source ? std::move(source) : DiskSource(machineDisks)),
      query_(std::move(query)),
      settleDeadline_(settleDeadline),
      scanThread_([this] {
          try {
              Probe();
          } catch (...) {
              Log(kLogError, "CDiskScanner.Probe.except");
          }
          try {
              Settle();
          } catch (...) {
              Log(kLogError, "CDiskScanner.Settle.except");
          }
          std::lock_guard guard(lock_);
          scanning_ = false;
          scanDone_.notify_all();
      }) {}

CDiskScanner::~CDiskScanner() {
    scanThread_.join();
    // Each device joins its own query thread when the last reference goes.
}

void CDiskScanner::waitForScan() {
    std::unique_lock guard(lock_);
    scanDone_.wait(guard, [this] { return !scanning_; });
}

std::vector<std::shared_ptr<CPhysicalDevice>> CDiskScanner::devices() const {
    std::lock_guard guard(lock_);
    return devices_;
}

void CDiskScanner::Probe() {
    const std::vector<platform::DiskDevice> disks = source_();
    for (std::size_t n = 0; n < disks.size() && n < kMaxDisks; ++n) {
        auto device = std::make_shared<CPhysicalDevice>(static_cast<int>(n), disks[n].path, query_);
        device->StartQuery(true);
        std::lock_guard guard(lock_);
        devices_.push_back(std::move(device));
    }
}

void CDiskScanner::Settle() {
    const auto deadline = std::chrono::steady_clock::now() + settleDeadline_;
    for (const std::shared_ptr<CPhysicalDevice>& device : devices()) device->waitUntil(deadline);
}
