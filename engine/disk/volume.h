#pragma once
// A self-contained reader of one volume for the device enumerator: a lettered volume or
// a file opened by path, or a volume inside an image that reads through a handle of its
// own on the owning drive's source. It learns the partition, label, serial number and
// size, parses the boot sector and reads sectors with the drives' retry policy.
//
// A partition device already starts at its partition, so the partition's offset is
// added only when the volume reads through its parent disk or image.

#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "engine/disk/blocks_map.h"
#include "engine/disk/boot_sector.h"
#include "engine/disk/query_thread.h"
#include "engine/disk/sector_reader.h"
#include "platform/disk_types.h"
#include "platform/raw_device.h"

class CDrive;

class CVolume {
public:
    static constexpr std::int32_t kLetteredVolume = 2;
    static constexpr std::int32_t kFile = 4;
    static constexpr std::int32_t kImage = 8;
    static constexpr std::uint32_t kSectorSize = 512;

    // Kinds 2 and 4 open `path`; kind 8 reads through `owningDrive`.
    CVolume(std::int32_t kind, std::string path, CDrive* owningDrive = nullptr);
    ~CVolume();
    CVolume(const CVolume&) = delete;
    CVolume& operator=(const CVolume&) = delete;

    // Where the volume lies on the source that it reads. With `throughParent` the start
    // is added to every read (always so for kind 8).
    void SetPartition(std::uint64_t start, std::uint64_t length, std::uint8_t type,
                      bool throughParent);

    // Test seams, as for drives.
    void SetDeviceOpener(platform::DeviceOpener opener) { opener_ = std::move(opener); }
    void SetSleeper(engine::disk::Sleeper sleeper) { sleeper_ = std::move(sleeper); }

    // Opens and parses the boot sector; the sector count, 0 when it cannot be opened.
    std::uint64_t Initialize();
    bool Open();
    void Close();
    bool isOpen() const;

    // Claims the volume exclusively until Lock(false): refused (false, with an error
    // line and errno EBUSY) while it is mounted, and for a volume inside an image.
    bool Lock(bool lock);
    bool isLocked() const { return lockDevice_ != nullptr; }

    const std::string& GetPath() const { return path_; }
    // Kind 4 the file's size, kind 2 the partition length, else 0.
    std::uint64_t GetSize() const;

    // Kind 2: partition, label, flags and size from the device; then the boot sector.
    void QueryInformation();
    // Runs QueryInformation on a new thread and returns its handle, which the caller waits
    // on and closes; null when a query still runs or the thread cannot start.
    HANDLE StartQueryThread() { return queryThread_.start(); }
    bool queryRunning() const { return queryThread_.running(); }
    // Sectors 0 and 1 into the boot object, parsed when at least one sector was read.
    void ParseBoot();
    // As CDrive::ReadSectors, clamped to the volume's sector count.
    std::uint64_t ReadSectors(std::uint64_t first, std::uint32_t count, void* buffer);

    std::uint64_t sectorCount() const { return sectorCount_; }
    bool ready() const { return ready_; }
    std::int32_t fileSystemCode() const { return fileSystemCode_; }
    std::uint32_t fileSystemFlags() const { return fileSystemFlags_; }
    const std::u16string& label() const { return label_; }
    std::uint64_t serialNumber() const { return serialNumber_; }
    const PARTITION_INFORMATION& partition() const { return partition_; }
    const CBOOT& boot() const { return boot_; }
    CBlocksMap& blocksMap() { return blocksMap_; }

private:
    // 0, or the errno of the failed open.
    int openDevice();
    std::uint64_t readOffset() const;
    void queryLetteredVolume(const platform::RawDevice& device);
    void fillIdentity(std::optional<dev_t> device, bool readOnlyMount);

    std::int32_t kind_;
    std::string path_;
    CDrive* owningDrive_;
    bool throughParent_;

    platform::DeviceOpener opener_;
    engine::disk::Sleeper sleeper_;
    mutable std::shared_mutex deviceLock_;
    std::unique_ptr<platform::RawDevice> device_;
    std::unique_ptr<platform::RawDevice> lockDevice_;

    PARTITION_INFORMATION partition_{};
    std::u16string label_;
    std::uint64_t serialNumber_ = 0;
    std::uint64_t sectorCount_ = 0;
    std::int32_t fileSystemCode_ = -1;
    std::uint32_t fileSystemFlags_ = 0;
    bool ready_ = false;
    CBOOT boot_;
    CBlocksMap blocksMap_;

    // Last: destroyed first, it waits for a query still filling this volume.
    engine::disk::QueryThread queryThread_{[this] { QueryInformation(); }};
};
