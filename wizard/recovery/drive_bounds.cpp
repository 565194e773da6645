#include "wizard/recovery/drive_bounds.h"

#include <limits>

namespace {

constexpr std::uint64_t kSectorSize = 512;
constexpr std::int32_t kNoFileSystem = -1;

}  // namespace

std::optional<std::uint64_t> BytesOnDrive(const FoundFileRecord& record, const TRecoveryDrive* drive) {
    if (!drive) return std::nullopt;
    const _LDRIVE& info = drive->Info();
    if (info.TotalSectors == 0 || info.TotalSectors > std::numeric_limits<std::uint64_t>::max() / kSectorSize) {
        return std::nullopt;
    }
    const std::uint64_t driveBytes = info.TotalSectors * kSectorSize;
    const bool forward = (record.Flags & kFileFoundBySignature) != 0 || info.FileSystemCode == kNoFileSystem;
    if (!forward) return driveBytes;
    return driveBytes > record.DataPosition ? driveBytes - record.DataPosition : 0;
}
