#pragma once
// A stand-alone prober of the machine's physical disks: one query thread per disk, and a
// scan thread that starts them and waits for them up to 4000 ms. The drive list is built
// by CStorageArray; nothing in the engine depends on this scanner.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/disk/drive.h"
#include "platform/device_enumeration.h"
#include "platform/disk_types.h"

class CPhysicalDevice {
public:
    // Fills a kind-1 drive's record from its device; the default is QueryInformation.
    using Query = std::function<void(CDrive&)>;

    CPhysicalDevice(int number, std::string path, Query query);
    // Waits for the query thread.
    ~CPhysicalDevice();
    CPhysicalDevice(const CPhysicalDevice&) = delete;
    CPhysicalDevice& operator=(const CPhysicalDevice&) = delete;

    // Starts the query thread; it replaces the name with the vendor and product text and
    // takes the geometry and layout. The extended step has nothing to add on Linux.
    void StartQuery(bool extended);
    // True once the query has ended, or at once when none is running.
    bool waitUntil(std::chrono::steady_clock::time_point deadline);

    int number() const { return number_; }
    const std::string& path() const { return path_; }
    std::u16string name() const;
    DISK_GEOMETRY geometry() const;
    DRIVE_LAYOUT_INFORMATION layout() const;

private:
    const int number_;
    const std::string path_;
    const Query query_;

    mutable std::mutex lock_;
    std::condition_variable finished_;
    bool running_ = false;
    bool extended_ = false;
    std::u16string name_;
    DISK_GEOMETRY geometry_{};
    DRIVE_LAYOUT_INFORMATION layout_{};
    std::thread thread_;
};

class CDiskScanner {
public:
    using DiskSource = std::function<std::vector<platform::DiskDevice>()>;

    static constexpr std::size_t kMaxDisks = 100;
    static constexpr std::chrono::milliseconds kSettleDeadline{4000};

    // Starts the scan thread at once.
    explicit CDiskScanner(DiskSource source = {}, CPhysicalDevice::Query query = {},
                          std::chrono::milliseconds settleDeadline = kSettleDeadline);
    // Waits for the scan thread, then for every device query.
    ~CDiskScanner();
    CDiskScanner(const CDiskScanner&) = delete;
    CDiskScanner& operator=(const CDiskScanner&) = delete;

    // Waits until the scan thread has probed and settled.
    void waitForScan();
    std::vector<std::shared_ptr<CPhysicalDevice>> devices() const;

private:
    void Probe();
    void Settle();

    DiskSource source_;
    CPhysicalDevice::Query query_;
    std::chrono::milliseconds settleDeadline_;

    mutable std::mutex lock_;
    std::condition_variable scanDone_;
    bool scanning_ = true;
    std::vector<std::shared_ptr<CPhysicalDevice>> devices_;
    std::thread scanThread_;
};
