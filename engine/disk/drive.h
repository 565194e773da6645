#pragma once
// One readable drive: a physical disk, a volume, an image file or a region of a disk.
// Every byte the engine reads from a drive goes through ReadSectors, which applies the
// retry policy of the current settings and posts an I/O error report per failure (inside
// a sector pass's ReadScope the pass sets the attempts and reports; sector_pass.h).
//
// Sources are opened read-only; nothing here ever writes to a drive. On Linux a drive
// reads a path: a whole-disk block device or image file (kind 1), a partition device or,
// for a volume inside an image file, that file at the partition's offset (kind 2), a
// drive image file (kind 8), or its parent's path (kinds 4 and 16). Reads are positioned,
// so threads reading one drive share no file position; a per-drive lock keeps a reopen
// or close from racing another thread's read.

#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "engine/disk/bit_array.h"
#include "engine/disk/boot_sector.h"
#include "engine/disk/query_thread.h"
#include "engine/disk/sector_reader.h"
#include "engine/records.h"
#include "platform/device_info.h"
#include "platform/raw_device.h"
#include "platform/win_types.h"

// One read of a found file's data.
struct FileReadRequest {
    void* buffer;  // holds `size` rounded up to whole 512-byte sectors
    std::uint64_t offset;
    std::uint64_t size;
    const FoundFileRecord* record;
};

// What the drive array tells a drive about its source.
struct DriveSource {
    std::int32_t kind = 0;
    std::string path;             // UTF-8 Linux path that the drive reads
    std::uint64_t baseOffset = 0;  // bytes added to every read position
    std::uint64_t sizeBytes = 0;   // 0: the source's own size past the base offset
    std::uint8_t partitionType = 0;    // MBR type byte of a volume, 0 when unknown
    std::uint32_t partitionNumber = 0;  // of a volume, 0 when unknown
    std::string diskPath = {};  // a volume's whole disk (device or listed file), when known
};

class CDrive {
public:
    static constexpr std::uint32_t kSectorSize = 512;

    CDrive();
    virtual ~CDrive();
    CDrive(const CDrive&) = delete;
    CDrive& operator=(const CDrive&) = delete;

    _LDRIVE* GetDriveInfo() { return &info_; }
    const _LDRIVE* GetDriveInfo() const { return &info_; }

    // One bit per cluster, set for a cluster in use; filled by the file-system readers.
    CBitArray& clusterMap() { return clusterMap_; }
    const CBitArray& clusterMap() const { return clusterMap_; }

    // Where the cluster map lies on the drive: bit `firstBit` stands for the cluster that
    // starts at 512-byte sector `firstSector`, the following bits for the clusters after
    // it. FAT numbers clusters from its data area (cluster 2 at its first sector), so its
    // reader sets {data area sector, 2}; the default counts clusters from sector 0.
    struct ClusterMapOrigin {
        std::uint64_t firstSector = 0;
        std::uint64_t firstBit = 0;
    };
    void SetClusterMapOrigin(ClusterMapOrigin origin) { clusterMapOrigin_ = origin; }
    ClusterMapOrigin clusterMapOrigin() const { return clusterMapOrigin_; }

    // Sets Kind, BaseOffset, the source identity of `path` and, when the size is given,
    // SpaceTotal and TotalSectors.
    void SetSource(const DriveSource& source);
    // Kinds 4 and 16 read through their parent disk's path.
    void SetParentPath(std::string parentPath) { parentPath_ = std::move(parentPath); }
    // The path that OpenDrive opens, by kind; empty for a kind that opens nothing.
    const std::string& openPath() const;
    // UTF-16 form of the path of the drive's own source.
    std::u16string GetPath() const;
    // The whole disk that holds the drive: its block device or listed file; for an image
    // drive the image file.
    std::u16string GetPhysicalPath() const;
    // Disk n of the machine has Letter '0' + n.
    int diskNumber() const { return info_.Letter - '0'; }

    // Test seams: how the source is opened, and how the retry pause waits.
    void SetDeviceOpener(platform::DeviceOpener opener) { opener_ = std::move(opener); }
    void SetSleeper(engine::disk::Sleeper sleeper) { sleeper_ = std::move(sleeper); }

    // Opens the device for reading; false (with an error line) when it cannot be opened.
    bool OpenDrive();
    void Close();
    bool isOpen() const;
    // A handle of its own on the open source (volumes of an image read through one);
    // null when the drive is closed.
    std::unique_ptr<platform::RawDevice> DuplicateDevice() const;

    // Claims the source for this process alone until Unlock: a block device is reopened
    // with O_EXCL, which the kernel refuses while it (or a partition of the disk) is
    // mounted or held; a plain file takes an exclusive lock. False with errno set, and an
    // error line, when refused.
    bool Lock();
    // Gives the claim up; false when none was held.
    bool Unlock();

    // Opens the drive and parses its boot sector. Returns the sector count, saturated to
    // 32 bits; 0 when the drive cannot be opened or has no size.
    std::uint32_t Initialize();
    // Letter := the first character, then Initialize.
    std::uint32_t SetLetterAndInitialize(const char* letter);

    // Fills the record from the device by kind and returns it.
    _LDRIVE* QueryInformation();
    // Runs QueryInformation on a new thread and returns its handle, which the caller
    // waits on and closes; null when the thread cannot start. The drive outlives it.
    HANDLE StartQueryThread();

    // Reads `count` 512-byte sectors from `lba` (BaseOffset added) into `buffer`, which
    // holds count x 512 bytes. Clamped to TotalSectors; returns the bytes read, 0 on
    // failure and for a first sector at or past the end.
    virtual std::uint64_t ReadSectors(std::uint64_t lba, std::uint64_t count, void* buffer);

    // Raw read of a found file's data for drives without a known file system. Returns
    // the bytes read, at most the requested size; 0 on failure.
    std::uint64_t FileRead(const FileReadRequest& request);

    // Sectors 0 and 1 into the boot buffer; the bytes read.
    std::uint64_t ReadBoot();
    // Takes OEM name, file-system code, cluster size, label and serial number from the
    // boot buffer.
    void ParseBoot();
    // File-system code that the boot buffer announces, 0 when none.
    std::int32_t DetectFileSystem() const;
    const std::uint8_t* bootSector() const { return boot_; }

private:
    // 0, or the errno of the failed open.
    int openDevice();
    void adoptSourceSize();
    void queryPhysicalDisk();
    void queryVolume();
    void queryRegion();
    void queryImage();
    void queryDeviceName(const platform::RawDevice& device);
    void fillDeviceNumber(const platform::RawDevice& device);
    void fillGeometry(const platform::RawDevice& device);
    void fillLayout(const platform::RawDevice& device);
    void fillPartitionInfo(const platform::RawDevice& device);
    std::optional<platform::MountedVolume> fillMountedVolume(const platform::RawDevice& device);
    void fillVolumeIdentity(const platform::RawDevice& device, bool readOnlyMount);
    void setSizeFromBytes(std::uint64_t bytes);

    _LDRIVE info_;
    std::uint8_t boot_[boot::kBootBufferSize];
    CBitArray clusterMap_;
    ClusterMapOrigin clusterMapOrigin_;

    std::string path_;
    std::string parentPath_;
    std::string diskPath_;
    std::uint64_t sourceSize_ = 0;
    std::uint8_t partitionType_ = 0;
    std::uint32_t partitionNumber_ = 0;

    platform::DeviceOpener opener_;
    engine::disk::Sleeper sleeper_;

    // Guards device_: reads share it, opening and closing replace it.
    mutable std::shared_mutex deviceLock_;
    std::unique_ptr<platform::RawDevice> device_;
    std::mutex claimLock_;
    std::unique_ptr<platform::RawDevice> claim_;

    // Last: destroyed first, it waits for a query still filling this drive.
    engine::disk::QueryThread queryThread_{[this] { QueryInformation(); }};
};
