// Feeds arbitrary bytes to the values-file parser. Whatever it keeps must be written back
// as a clean file that reads to exactly the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace platform::registry_file;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Parsed first = parse(text);
    if (first.firstDamage.has_value() != (first.damagedLines != 0)) {
        std::abort();
    }
    const std::string written = serialize(first.values);
    const Parsed second = parse(written);
    if (second.firstDamage || second.values != first.values || serialize(second.values) != written) {
        std::abort();
    }
    return 0;
}
