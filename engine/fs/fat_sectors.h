#pragma once
// Reads of a FAT volume's drive in whole 512-byte sectors: plain runs, and runs that keep
// what bad sectors leave readable.

#include <cstdint>
#include <span>
#include <vector>

#include "engine/disk/sector_pass.h"

class CDrive;

// Largest single drive read: platform reads take a 32-bit byte count.
inline constexpr std::uint64_t kFatMaxReadBytes = 4 * 1024 * 1024;

// Reads bytes at a 512-aligned byte offset of the drive, `out.size()` a multiple of 512.
// Returns the bytes read; fewer at the end of the drive or on a failed read.
std::uint64_t readDriveBytes(CDrive& drive, std::uint64_t offset, std::span<std::uint8_t> out);

// A sector pass over the drive's sectors (engine/disk/sector_pass.h), reading through
// readDriveBytes.
engine::disk::SectorPass driveSectorPass(CDrive& drive);

// Reads like readDriveBytes through `pass`: when the run fails, it is read again sector
// by sector, so that a bad sector loses only its own bytes and a dead region a handful of
// reads; what is not read is left zero. One flag per sector: true when that sector was read.
std::vector<bool> readSectorsSalvaging(engine::disk::SectorPass& pass, std::uint64_t offset,
                                       std::span<std::uint8_t> out);
