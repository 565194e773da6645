#pragma once
// Reads of a FAT volume's drive in whole 512-byte sectors: plain runs, and runs that keep
// what a bad sector leaves readable.

#include <cstdint>
#include <span>
#include <vector>

class CDrive;

// Largest single drive read: platform reads take a 32-bit byte count.
inline constexpr std::uint64_t kFatMaxReadBytes = 4 * 1024 * 1024;

// Reads bytes at a 512-aligned byte offset of the drive, `out.size()` a multiple of 512.
// Returns the bytes read; fewer at the end of the drive or on a failed read.
std::uint64_t readDriveBytes(CDrive& drive, std::uint64_t offset, std::span<std::uint8_t> out);

// Reads like readDriveBytes; when the run fails, reads it again sector by sector, so that
// a bad sector loses only its own bytes, which are left zero. One flag per sector: true
// when that sector was read.
std::vector<bool> readSectorsSalvaging(CDrive& drive, std::uint64_t offset, std::span<std::uint8_t> out);
