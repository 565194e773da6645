#include "wizard/app/engine_unit.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "wizard/bridge/engine_api.h"

namespace {

constexpr std::u16string_view kProductRegistryBase = u"\\Software\\Kelvorin\\Pramblex";

// The engine keeps this address, so it lives as long as the program.
char16_t engineRegistryKey[4097];

}  // namespace

void UndellibClassesInit() {
    std::fill(std::begin(engineRegistryKey), std::end(engineRegistryKey), u'\0');
    const std::size_t length =
        std::min(kProductRegistryBase.size(), std::size(engineRegistryKey) - 1);
    std::copy_n(kProductRegistryBase.data(), length, engineRegistryKey);
    engine().Library_Initialize(engineRegistryKey);
}
