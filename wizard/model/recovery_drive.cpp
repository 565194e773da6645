#include "wizard/model/recovery_drive.h"

#include <cstring>
#include <string_view>

#include "wizard/model/formats/format_text.h"

namespace {

// Bytes 0..700 of the record; the rest is the engine's own.
constexpr std::size_t kCopiedBytes = 701;
static_assert(kCopiedBytes == offsetof(_LDRIVE, Reserved701));

}  // namespace

TRecoveryDrive::TRecoveryDrive(const _LDRIVE& drive) {
    std::memcpy(&info_, &drive, kCopiedBytes);
}

std::string TRecoveryDrive::VolumeLabel() const {
    const char* label = info_.Label;
    const void* end = std::memchr(label, '\0', sizeof info_.Label);
    return std::string(label, end ? static_cast<const char*>(end) - label : sizeof info_.Label);
}

std::string TRecoveryDrive::DisplayName() const {
    if (info_.Letter == '?') return "Unknown";
    const std::string full = VolumeLabel();
    const std::string_view label = TrimControlsAndBlanks(full);
    const std::string root = std::string(1, info_.Letter) + ":\\";
    return label.empty() ? root : root + " (" + std::string(label) + ")";
}
