#pragma once
// The text of one key's values file, without the file system. A format line, then one
// value per line in the order the values were first written:
//
//   ; registry values, format 1
//   "Count"=dword:0000002a
//   "Size"=qword:0000000100000000
//   "Folder"="C:\\Recovered"
//   "Signature"=hex:01,ff
//
// Names and strings are UTF-8 between double quotes. \" \\ \n \r \t stand for themselves;
// other control characters and unpaired surrogates are written as \uXXXX, so any UTF-16
// text survives. Every line ends with a newline, so a file cut short shows as a damaged
// last line. Blank lines and lines starting with ';' are ignored. Reading never throws:
// a line that cannot be parsed is skipped and counted.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/api.h"
#include "platform/registry.h"

namespace platform::registry_file {

inline constexpr std::string_view kFormatLine = "; registry values, format 1";

struct Damage {
    std::size_t line = 0;  // 1-based
    std::string reason;
};

struct Parsed {
    // In file order; no two names are the same under ASCII case folding.
    std::vector<RegistryValue> values;
    std::optional<Damage> firstDamage;
    std::size_t damagedLines = 0;
};

PLATFORM_API Parsed parse(std::string_view text);
PLATFORM_API std::string serialize(const std::vector<RegistryValue>& values);

}  // namespace platform::registry_file
