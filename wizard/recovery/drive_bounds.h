#pragma once
// How much of a found file its drive can hold. A size from the disk may be damaged; the
// engine never copies past the drive, so a larger size is no size the output can reach.

#include <cstdint>
#include <optional>

#include "engine/records.h"
#include "wizard/model/recovery_drive.h"

// The most bytes the file can have: the drive's size, and for data read forward from
// the file's first byte (a signature hit, a drive without a file system) the bytes from
// there to the drive's end. Nothing when the drive's size is not known.
std::optional<std::uint64_t> BytesOnDrive(const FoundFileRecord& record, const TRecoveryDrive* drive);
