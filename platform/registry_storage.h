#pragma once
// Where a key's values live on disk: one values file in the key's folder, read whole and
// replaced atomically, with damage reported on the diagnostics sink.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace platform::registry_detail {

// Key names starting with this are refused, so a key folder can never clash with the
// values file or the temporary files it is written through.
inline constexpr std::string_view kValuesFileName = ".values";
// A values file is a few lines of settings; anything larger than this is not one of ours.
// The reader refuses such a file, so the writer never makes one.
inline constexpr std::size_t kMaxValuesFileSize = 64u << 20;

// The key's values; nothing when the file exists but cannot be read. A values file that is
// a symbolic link is not followed: it reads as unreadable, as a linked key folder is not
// a key.
std::optional<std::vector<RegistryValue>> loadValues(const std::string& folder);
// Writes the file beside the old one and renames it over, so a reader sees the old or the
// new values, never a mix, and a crash leaves at worst a stray temporary file. Values that
// would pass kMaxValuesFileSize are refused with a report, and the old file stays.
bool saveValues(const std::string& folder, const std::vector<RegistryValue>& values);

}  // namespace platform::registry_detail
