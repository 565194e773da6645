#pragma once
// The records that cross the engine's boundary. They are binary interfaces shared with
// the wizard (and, for _LDRIVE, with drive image files): every offset is fixed, integers
// are little-endian, and nothing is padded.

#include <cstddef>
#include <cstdint>

#include "platform/disk_types.h"
#include "platform/win_types.h"

struct FoundFileRecord;

// Receives each search hit instead of WM_ENGINE_FILE_FOUND; the record is the search's
// own and valid only during the call.
using FoundFileCallback = void (*)(std::uint32_t context, FoundFileRecord* record);

// The caller-owned settings and progress record. Every field sits on a 4-byte boundary,
// so the record is packed to 4: the flags that other threads clear (`Run`, `WorkFlag`)
// stay naturally aligned and can be read atomically.
#pragma pack(push, 4)
struct EngineSettings {
    std::int32_t Run;            // search runs while 1; the caller writes 0 to stop it
    std::int32_t DiskNumber;     // index of the drive to open
    HWND NotifyWindow;           // I/O errors, found files, search progress; 0 = none
    std::int32_t ReadRetries;    // read attempts per sector run; 0 = no read is tried
    std::uint32_t RetryPause;    // milliseconds after each failed attempt
    std::uint32_t BufferSize;    // bytes per search block; 0 = 0x200000
    std::uint8_t Reserved24[80];
    std::int32_t ReaderThreads;  // search workers asked for
    std::uint64_t TotalClusters;   // out
    std::uint64_t CurrentCluster;  // out, per block
    std::uint64_t FreeClusters;    // out, at search start
    std::int32_t FreeSpaceOnly;    // 1 = search free clusters only
    std::uint8_t FormatSelected[1024];  // one byte per type id; the caller filters hits
    std::int32_t UnitMode;         // 1 = 512-byte units
    std::uint64_t StartCluster;
    FoundFileCallback FoundCallback;
    std::uint32_t CallbackContext;
    std::int32_t WorkFlag;         // recovery goes on while 1; the caller writes 0 to stop
    std::uint8_t Reserved1188[44];
};
#pragma pack(pop)

#pragma pack(push, 1)

// The drive information record, the data part of a drive object. Bytes 0..700 are what a
// caller copies and shows; the rest is the engine's.
struct _LDRIVE {
    std::int32_t Id;
    std::uint32_t DriveType;
    std::int32_t Kind;
    std::uint64_t SpaceTotal;
    std::uint64_t SpaceFree;
    std::int32_t Ready;
    char Letter;
    char Label[30];
    char FileSystemName[30];
    char OemName[8];  // boot-sector bytes 3..10, not terminated
    std::int32_t FileSystemCode;
    std::uint64_t SerialNumber;
    std::uint32_t SectorsPerCluster;
    std::uint32_t BytesPerSector;
    std::uint32_t BytesPerCluster;
    std::uint64_t TotalSectors;
    std::uint64_t TotalClusters;
    std::uint8_t Reserved141[8];
    std::uint64_t BaseOffset;
    std::uint32_t FileSystemFlags;
    std::int32_t ParentId;
    std::uint8_t Reserved165[4];
    char Description[512];
    // Where the drive's bytes come from, for a caller's same-drive checks: the block
    // device's st_rdev, or for an image file the st_dev of the file system holding it and
    // the file's inode (0 for a block device).
    std::uint64_t SourceDevice;
    std::uint64_t SourceInode;
    std::uint8_t Reserved697[4];
    std::uint8_t Reserved701[34];
    // Pointer and handle slots of the 32-bit record; always 0 here, the drive object
    // keeps the real ones.
    std::uint32_t DevicePathSlot;
    std::uint32_t QueryThreadSlot;
    DISK_GEOMETRY Geometry;
    DRIVE_LAYOUT_INFORMATION Layout;
    STORAGE_DEVICE_NUMBER DeviceNumber;
};

// One file-system entry or one signature hit. `Name` is a pointer, so the record is 89
// bytes on a 64-bit build: copy it by sizeof, never by a literal.
struct FoundFileRecord {
    std::uint64_t RecordNumber;
    std::uint64_t ParentNumber;
    std::uint16_t Flags;
    std::uint64_t Size;  // kUnknownSize when unknown
    FILETIME CreationTime;
    FILETIME LastAccessTime;
    FILETIME LastWriteTime;
    std::uint32_t Attributes;
    std::uint8_t OverwriteEstimate;
    std::uint16_t TypeCode;
    std::uint64_t FirstCluster;
    std::uint64_t Reserved65;
    std::uint64_t DataPosition;
    const char16_t* Name;
};

// One failed seek or read, posted with WM_ENGINE_IO_ERROR.
struct IoErrorReport {
    std::uint32_t Code;  // kIoErrorSeek or kIoErrorRead
    std::uint32_t SystemError;
    std::uint32_t Attempt;  // 1-based; 0 for a seek failure
    std::uint64_t Position;
    std::uint8_t Reserved20[18];
};

#pragma pack(pop)

inline constexpr std::uint64_t kUnknownSize = ~std::uint64_t{0};

// FoundFileRecord.Flags
inline constexpr std::uint16_t kFileDeleted = 0x0001;
inline constexpr std::uint16_t kFileDirectory = 0x0002;
inline constexpr std::uint16_t kFileFoundBySignature = 0x0004;
inline constexpr std::uint16_t kFileDamaged = 0x0008;
inline constexpr std::uint16_t kFileHoldsDeleted = 0x0010;
inline constexpr std::uint16_t kFileHasName = 0x0080;
inline constexpr std::uint16_t kFileNtfsRecordBySignature = 0x0200;
inline constexpr std::uint16_t kFileSpecialHit = 0x0400;

// IoErrorReport.Code
inline constexpr std::uint32_t kIoErrorSeek = 25;
inline constexpr std::uint32_t kIoErrorRead = 30;

// _LDRIVE.Kind
inline constexpr std::int32_t kDrivePhysical = 1;
inline constexpr std::int32_t kDriveVolume = 2;
inline constexpr std::int32_t kDriveLostPartition = 4;
inline constexpr std::int32_t kDriveImage = 8;
inline constexpr std::int32_t kDriveRegion = 16;

// _LDRIVE.FileSystemCode
inline constexpr std::int32_t kFileSystemNone = -1;
inline constexpr std::int32_t kFileSystemFat12 = 1;
inline constexpr std::int32_t kFileSystemFat16 = 4;
inline constexpr std::int32_t kFileSystemNtfs = 7;
inline constexpr std::int32_t kFileSystemFat32 = 11;

// The resets that record producers apply: once when their own record is created, and
// before every fill. They differ only in TypeCode (0xFFFF at construction, 0 per fill).
void resetFoundFileOnConstruction(FoundFileRecord& record);
void resetFoundFileForFill(FoundFileRecord& record);

#define UNDELETE_ASSERT_FIELD(record, field, offset) \
    static_assert(offsetof(record, field) == (offset), #record "." #field)

UNDELETE_ASSERT_FIELD(EngineSettings, Run, 0);
UNDELETE_ASSERT_FIELD(EngineSettings, DiskNumber, 4);
UNDELETE_ASSERT_FIELD(EngineSettings, NotifyWindow, 8);
UNDELETE_ASSERT_FIELD(EngineSettings, ReadRetries, 12);
UNDELETE_ASSERT_FIELD(EngineSettings, RetryPause, 16);
UNDELETE_ASSERT_FIELD(EngineSettings, BufferSize, 20);
UNDELETE_ASSERT_FIELD(EngineSettings, ReaderThreads, 104);
UNDELETE_ASSERT_FIELD(EngineSettings, TotalClusters, 108);
UNDELETE_ASSERT_FIELD(EngineSettings, CurrentCluster, 116);
UNDELETE_ASSERT_FIELD(EngineSettings, FreeClusters, 124);
UNDELETE_ASSERT_FIELD(EngineSettings, FreeSpaceOnly, 132);
UNDELETE_ASSERT_FIELD(EngineSettings, FormatSelected, 136);
UNDELETE_ASSERT_FIELD(EngineSettings, UnitMode, 1160);
UNDELETE_ASSERT_FIELD(EngineSettings, StartCluster, 1164);
UNDELETE_ASSERT_FIELD(EngineSettings, FoundCallback, 1172);
UNDELETE_ASSERT_FIELD(EngineSettings, CallbackContext, 1180);
UNDELETE_ASSERT_FIELD(EngineSettings, WorkFlag, 1184);
UNDELETE_ASSERT_FIELD(EngineSettings, Reserved1188, 1188);
static_assert(sizeof(EngineSettings) == 1232);

UNDELETE_ASSERT_FIELD(_LDRIVE, Id, 0);
UNDELETE_ASSERT_FIELD(_LDRIVE, DriveType, 4);
UNDELETE_ASSERT_FIELD(_LDRIVE, Kind, 8);
UNDELETE_ASSERT_FIELD(_LDRIVE, SpaceTotal, 12);
UNDELETE_ASSERT_FIELD(_LDRIVE, SpaceFree, 20);
UNDELETE_ASSERT_FIELD(_LDRIVE, Ready, 28);
UNDELETE_ASSERT_FIELD(_LDRIVE, Letter, 32);
UNDELETE_ASSERT_FIELD(_LDRIVE, Label, 33);
UNDELETE_ASSERT_FIELD(_LDRIVE, FileSystemName, 63);
UNDELETE_ASSERT_FIELD(_LDRIVE, OemName, 93);
UNDELETE_ASSERT_FIELD(_LDRIVE, FileSystemCode, 101);
UNDELETE_ASSERT_FIELD(_LDRIVE, SerialNumber, 105);
UNDELETE_ASSERT_FIELD(_LDRIVE, SectorsPerCluster, 113);
UNDELETE_ASSERT_FIELD(_LDRIVE, BytesPerSector, 117);
UNDELETE_ASSERT_FIELD(_LDRIVE, BytesPerCluster, 121);
UNDELETE_ASSERT_FIELD(_LDRIVE, TotalSectors, 125);
UNDELETE_ASSERT_FIELD(_LDRIVE, TotalClusters, 133);
UNDELETE_ASSERT_FIELD(_LDRIVE, BaseOffset, 149);
UNDELETE_ASSERT_FIELD(_LDRIVE, FileSystemFlags, 157);
UNDELETE_ASSERT_FIELD(_LDRIVE, ParentId, 161);
UNDELETE_ASSERT_FIELD(_LDRIVE, Description, 169);
UNDELETE_ASSERT_FIELD(_LDRIVE, SourceDevice, 681);
UNDELETE_ASSERT_FIELD(_LDRIVE, SourceInode, 689);
UNDELETE_ASSERT_FIELD(_LDRIVE, Reserved697, 697);
UNDELETE_ASSERT_FIELD(_LDRIVE, Reserved701, 701);
UNDELETE_ASSERT_FIELD(_LDRIVE, DevicePathSlot, 735);
UNDELETE_ASSERT_FIELD(_LDRIVE, QueryThreadSlot, 739);
UNDELETE_ASSERT_FIELD(_LDRIVE, Geometry, 743);
UNDELETE_ASSERT_FIELD(_LDRIVE, Layout, 767);
UNDELETE_ASSERT_FIELD(_LDRIVE, DeviceNumber, 903);
static_assert(sizeof(_LDRIVE) == 915);

UNDELETE_ASSERT_FIELD(FoundFileRecord, RecordNumber, 0);
UNDELETE_ASSERT_FIELD(FoundFileRecord, ParentNumber, 8);
UNDELETE_ASSERT_FIELD(FoundFileRecord, Flags, 16);
UNDELETE_ASSERT_FIELD(FoundFileRecord, Size, 18);
UNDELETE_ASSERT_FIELD(FoundFileRecord, CreationTime, 26);
UNDELETE_ASSERT_FIELD(FoundFileRecord, LastAccessTime, 34);
UNDELETE_ASSERT_FIELD(FoundFileRecord, LastWriteTime, 42);
UNDELETE_ASSERT_FIELD(FoundFileRecord, Attributes, 50);
UNDELETE_ASSERT_FIELD(FoundFileRecord, OverwriteEstimate, 54);
UNDELETE_ASSERT_FIELD(FoundFileRecord, TypeCode, 55);
UNDELETE_ASSERT_FIELD(FoundFileRecord, FirstCluster, 57);
UNDELETE_ASSERT_FIELD(FoundFileRecord, Reserved65, 65);
UNDELETE_ASSERT_FIELD(FoundFileRecord, DataPosition, 73);
UNDELETE_ASSERT_FIELD(FoundFileRecord, Name, 81);
static_assert(sizeof(FoundFileRecord) == 89);

UNDELETE_ASSERT_FIELD(IoErrorReport, Code, 0);
UNDELETE_ASSERT_FIELD(IoErrorReport, SystemError, 4);
UNDELETE_ASSERT_FIELD(IoErrorReport, Attempt, 8);
UNDELETE_ASSERT_FIELD(IoErrorReport, Position, 12);
UNDELETE_ASSERT_FIELD(IoErrorReport, Reserved20, 20);
static_assert(sizeof(IoErrorReport) == 38);

#undef UNDELETE_ASSERT_FIELD
