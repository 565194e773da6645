#pragma once
// Filling a hit's record: the fields every hit gets, then the size fix-ups that some
// types' headers allow; and which QuickTime hits are atoms of a movie already found.

#include <cstdint>
#include <span>

#include "engine/records.h"

class CDrive;

namespace search_hit {

inline constexpr std::uint16_t kQuickTimeTypeId = 170;

// The fill reset, then position, first cluster, type, unknown size, deleted and found by
// signature.
void Fill(FoundFileRecord& record, std::uint16_t typeId, std::uint64_t position, std::uint64_t bytesPerCluster);

// Type-specific fix-ups of a filled record from its unit (the block's bytes from the hit
// on, at least 512); the compound-file refinement reads the drive and may change the type.
void ApplyFixUps(FoundFileRecord& record, std::span<const std::uint8_t> unit, CDrive& drive);

// Whether a hit of type `typeId` on `unit` is an atom inside the movie that the previous
// hit, of type `previousTypeId`, found: a QuickTime hit right after another, unless it
// starts a file of its own.
bool InsidePreviousMovie(std::uint16_t previousTypeId, std::uint16_t typeId, std::span<const std::uint8_t> unit);

}  // namespace search_hit
