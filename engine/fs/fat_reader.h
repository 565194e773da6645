#pragma once
// CFAT: the reader of a FAT12, FAT16 or FAT32 volume. Initialize reads the geometry and
// FAT copy 1, fills the drive's cluster-usage map and loads every reachable directory
// entry; GetFileNext then reports the entries one by one, deleted ones and those of
// deleted folders included, and FileRead returns a found file's data.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/disk/drive.h"
#include "engine/fs/fat_data.h"
#include "engine/fs/fat_directory.h"
#include "engine/fs/fat_geometry.h"
#include "engine/fs/fat_table.h"
#include "engine/records.h"

class CFAT {
public:
    // The drive is not owned; the reader closes its handle when it is destroyed.
    explicit CFAT(CDrive* drive);
    ~CFAT();
    CFAT(const CFAT&) = delete;
    CFAT& operator=(const CFAT&) = delete;

    // Returns the number of counted entries (files and folders that are not read-only,
    // hidden, system or labels); 0 when the volume cannot be read or counts none.
    int Initialize();
    // The next entry, in table order; null at the end. The record and its name stay valid
    // until the next call.
    FoundFileRecord* GetFileNext();
    // The folder of a record returned by GetFileNext ("X:\A\B\"), found through its
    // ParentNumber; valid until the next GetFilePath.
    const char16_t* GetFilePath(const FoundFileRecord* record);
    // Bytes read into the request's buffer; 0 on failure. May run on several threads.
    std::uint64_t FileRead(const FileReadRequest& request);

    const std::optional<FatGeometry>& geometry() const { return geometry_; }
    const FatTable& fat() const { return fat_; }

private:
    // FAT copy 1, with what it cannot give taken from the other copies; never fails.
    void loadFat();
    void fillRecord(std::size_t index);

    CDrive* drive_;
    std::optional<FatGeometry> geometry_;
    FatTable fat_;
    FatDirectoryTable table_;
    std::unique_ptr<FatFileData> data_;
    std::size_t cursor_ = 0;
    FoundFileRecord record_;
    std::u16string name_;
    std::u16string path_;
    FatDirectoryTable::FolderPath folderPath_;  // of the last GetFilePath
};
