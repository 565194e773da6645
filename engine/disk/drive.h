#pragma once
// One readable drive: a physical disk, a volume, an image file or a region of a disk.
// Every byte the engine reads from a drive goes through ReadSectors, which applies the
// retry policy of the current settings and posts an I/O error report per failure.
//
// Sources are opened read-only; nothing here ever writes to a drive.

#include <cstdint>
#include <string>

#include "engine/disk/bit_array.h"
#include "engine/records.h"
#include "platform/win_types.h"

// One read of a found file's data.
struct FileReadRequest {
    void* buffer;  // holds `size` rounded up to whole 512-byte sectors
    std::uint64_t offset;
    std::uint64_t size;
    const FoundFileRecord* record;
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

    // Opens the device for reading; false (with an error line) when it cannot be opened.
    bool OpenDrive();
    void Close();
    // Opens the drive and parses its boot sector. Returns the sector count, saturated to
    // 32 bits; 0 when the drive cannot be opened or has no size.
    std::uint32_t Initialize();

    // Reads `count` 512-byte sectors from `lba` (BaseOffset added) into `buffer`, which
    // holds count x 512 bytes. Clamped to TotalSectors; returns the bytes read, 0 on
    // failure and for a first sector at or past the end.
    virtual std::uint64_t ReadSectors(std::uint64_t lba, std::uint64_t count, void* buffer);

    // Raw read of a found file's data for drives without a known file system.
    std::uint64_t FileRead(const FileReadRequest& request);

private:
    _LDRIVE info_;
    CBitArray clusterMap_;
};
