#include "engine/imaging/ico_decoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/imaging/bmp_decoder.h"
#include "engine/byte_order.h"

namespace engine::imaging {

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G'};

struct Entry {
    unsigned side = 0;  // width * height, 0 in the directory meaning 256
    unsigned bits = 0;
    std::uint32_t size = 0;
    std::uint32_t offset = 0;
};

std::vector<Entry> readEntries(std::span<const std::uint8_t> data, unsigned count) {
    std::vector<Entry> entries;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t at = kDirectorySize + i * kEntrySize;
        auto bits = readLittleEndian<std::uint16_t>(data, at + 6);
        auto size = readLittleEndian<std::uint32_t>(data, at + 8);
        auto offset = readLittleEndian<std::uint32_t>(data, at + 12);
        if (!bits || !size || !offset) break;
        const unsigned width = data[at] ? data[at] : 256;
        const unsigned height = data[at + 1] ? data[at + 1] : 256;
        entries.push_back({width * height, *bits, *size, *offset});
    }
    // Largest first, then deepest.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.side != b.side ? a.side > b.side : a.bits > b.bits;
    });
    return entries;
}

}  // namespace

bool looksLikeIco(std::span<const std::uint8_t> data) {
    auto reserved = readLittleEndian<std::uint16_t>(data, 0);
    auto type = readLittleEndian<std::uint16_t>(data, 2);
    auto count = readLittleEndian<std::uint16_t>(data, 4);
    return reserved && *reserved == 0 && type && (*type == 1 || *type == 2) && count && *count > 0;
}

std::optional<Picture> decodeIco(std::span<const std::uint8_t> data) {
    if (!looksLikeIco(data)) return std::nullopt;
    for (const Entry& entry : readEntries(data, *readLittleEndian<std::uint16_t>(data, 4))) {
        if (entry.offset >= data.size()) continue;
        const std::size_t size = std::min<std::size_t>(entry.size, data.size() - entry.offset);
        const std::span<const std::uint8_t> image = data.subspan(entry.offset, size);
        if (image.size() >= sizeof kPngSignature &&
            std::memcmp(image.data(), kPngSignature, sizeof kPngSignature) == 0)
            continue;
        if (auto picture = decodeIconBitmap(image)) return picture;
    }
    return std::nullopt;
}

}  // namespace engine::imaging
