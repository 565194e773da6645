#include "wizard/model/found_files/default_size.h"

#include <algorithm>
#include <limits>

#include "wizard/model/formats/data_storage.h"

namespace {

constexpr std::uint64_t kSectorBytes = 512;

// The drive's length in bytes; nothing when it is not known.
std::optional<std::uint64_t> DriveBytes(const TBaseElement& element) {
    if (!element.Drive()) return std::nullopt;
    const std::uint64_t sectors = element.Drive()->Info().TotalSectors;
    if (sectors == 0) return std::nullopt;
    if (sectors > std::numeric_limits<std::uint64_t>::max() / kSectorBytes) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return sectors * kSectorBytes;
}

}  // namespace

std::optional<std::uint64_t> DefaultSizeOf(const TBaseElement& element) {
    if (!DataStorage) return std::nullopt;
    const auto size = DataStorage->ReadBySignatureId(element.Record().TypeCode,
                                                     [](const TFormat& format) { return format.DefaultSizeBytes(); });
    if (!size || !*size) return std::nullopt;
    const std::optional<std::uint64_t> driveBytes = DriveBytes(element);
    if (!driveBytes) return **size;
    const std::uint64_t position = element.Record().DataPosition;
    if (position >= *driveBytes) return std::nullopt;
    return std::min(**size, *driveBytes - position);
}
