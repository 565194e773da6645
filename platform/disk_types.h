#pragma once
// Disk description records as the raw-device queries return them. They are stored inside
// the engine's drive record, and so in drive image files: byte-packed, padding explicit.

#include <cstddef>

#include "platform/win_types.h"

#pragma pack(push, 1)

struct DISK_GEOMETRY {
    LONGLONG Cylinders;
    DWORD MediaType;
    DWORD TracksPerCylinder;
    DWORD SectorsPerTrack;
    DWORD BytesPerSector;
};

struct PARTITION_INFORMATION {
    LONGLONG StartingOffset;
    LONGLONG PartitionLength;
    DWORD HiddenSectors;
    DWORD PartitionNumber;
    BYTE PartitionType;
    BYTE BootIndicator;
    BYTE RecognizedPartition;
    BYTE RewritePartition;
    BYTE Padding[4];
};

// The layout with room for the four entries of a master boot record.
struct DRIVE_LAYOUT_INFORMATION {
    DWORD PartitionCount;
    DWORD Signature;
    PARTITION_INFORMATION PartitionEntry[4];
};

struct STORAGE_DEVICE_NUMBER {
    DWORD DeviceType;
    DWORD DeviceNumber;
    DWORD PartitionNumber;
};

#pragma pack(pop)

static_assert(sizeof(DISK_GEOMETRY) == 24);
static_assert(sizeof(PARTITION_INFORMATION) == 32);
static_assert(offsetof(PARTITION_INFORMATION, PartitionType) == 24);
static_assert(sizeof(DRIVE_LAYOUT_INFORMATION) == 136);
static_assert(sizeof(STORAGE_DEVICE_NUMBER) == 12);
