#include "engine/imaging/bmp_decoder.h"

#include <array>
#include <bit>
#include <cstdlib>
#include <vector>

#include "engine/byte_order.h"

namespace engine::imaging {

namespace {

constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;
constexpr std::uint32_t kCompressionAlphaBitFields = 6;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kInfoHeaderSize = 40;

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t maximum = 0;

    static Channel of(std::uint32_t mask) {
        Channel channel{mask, 0, 0};
        if (mask == 0) return channel;
        channel.shift = std::countr_zero(mask);
        const std::uint32_t bits = mask >> channel.shift;
        channel.maximum = bits;
        return channel;
    }
    std::uint8_t extract(std::uint32_t pixel) const {
        if (maximum == 0) return 0;
        return static_cast<std::uint8_t>(std::uint64_t{(pixel & mask) >> shift} * 255u / maximum);
    }
};

struct DibHeader {
    std::size_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows top-down
    unsigned bitsPerPixel = 0;
    std::uint32_t compression = kCompressionNone;
    std::uint32_t coloursUsed = 0;
    std::array<Channel, 4> channels{};  // red, green, blue, alpha
};

std::optional<DibHeader> readHeader(std::span<const std::uint8_t> dib) {
    DibHeader header;
    auto size = readLittleEndian<std::uint32_t>(dib, 0);
    if (!size) return std::nullopt;
    header.headerSize = *size;
    if (header.headerSize == kCoreHeaderSize) {
        auto width = readLittleEndian<std::uint16_t>(dib, 4);
        auto height = readLittleEndian<std::uint16_t>(dib, 6);
        auto bits = readLittleEndian<std::uint16_t>(dib, 10);
        if (!width || !height || !bits) return std::nullopt;
        header.width = *width;
        header.height = *height;
        header.bitsPerPixel = *bits;
        return header;
    }
    if (header.headerSize < kInfoHeaderSize || header.headerSize > 4096) return std::nullopt;
    auto width = readLittleEndian<std::uint32_t>(dib, 4);
    auto height = readLittleEndian<std::uint32_t>(dib, 8);
    auto compression = readLittleEndian<std::uint32_t>(dib, 16);
    auto used = readLittleEndian<std::uint32_t>(dib, 32);
    auto bits = readLittleEndian<std::uint16_t>(dib, 14);
    if (!width || !height || !bits || !compression || !used) return std::nullopt;
    header.width = static_cast<std::int32_t>(*width);
    header.height = static_cast<std::int32_t>(*height);
    header.bitsPerPixel = *bits;
    header.compression = *compression;
    header.coloursUsed = *used;
    return header;
}

// Bit masks sit in the header when it is long enough, else right after it.
bool readMasks(std::span<const std::uint8_t> dib, DibHeader& header, std::size_t& paletteOffset) {
    paletteOffset = header.headerSize;
    if (header.bitsPerPixel >= 16) {
        const bool defaults16 = header.bitsPerPixel == 16;
        header.channels = {Channel::of(defaults16 ? 0x7C00 : 0x00FF0000),
                           Channel::of(defaults16 ? 0x03E0 : 0x0000FF00),
                           Channel::of(defaults16 ? 0x001F : 0x000000FF),
                           Channel::of(defaults16 ? 0 : 0xFF000000)};
    }
    if (header.compression == kCompressionNone) return true;
    if (header.compression != kCompressionBitFields &&
        header.compression != kCompressionAlphaBitFields)
        return false;
    if (header.bitsPerPixel != 16 && header.bitsPerPixel != 32) return false;
    const std::size_t count = header.compression == kCompressionAlphaBitFields ? 4 : 3;
    const std::size_t at = header.headerSize == kInfoHeaderSize ? kInfoHeaderSize : 40;
    for (std::size_t i = 0; i < 4; ++i) {
        std::uint32_t mask = 0;
        if (i < count || header.headerSize >= 56) {
            auto value = readLittleEndian<std::uint32_t>(dib, at + 4 * i);
            if (!value) return false;
            mask = *value;
        }
        header.channels[i] = Channel::of(mask);
    }
    if (header.headerSize == kInfoHeaderSize) paletteOffset += 4 * count;
    return true;
}

struct Palette {
    std::vector<std::array<std::uint8_t, 3>> colours;  // red, green, blue
};

std::optional<Palette> readPalette(std::span<const std::uint8_t> dib, const DibHeader& header,
                                   std::size_t& offset) {
    Palette palette;
    if (header.bitsPerPixel > 8) return palette;
    const std::size_t full = std::size_t{1} << header.bitsPerPixel;
    const std::size_t count =
        header.coloursUsed == 0 || header.coloursUsed > full ? full : header.coloursUsed;
    const std::size_t entrySize = header.headerSize == kCoreHeaderSize ? 3 : 4;
    if (offset > dib.size() || (dib.size() - offset) / entrySize < count) return std::nullopt;
    palette.colours.resize(full);  // indices past the stored entries are black
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = dib.data() + offset + i * entrySize;
        palette.colours[i] = {entry[2], entry[1], entry[0]};
    }
    offset += count * entrySize;
    return palette;
}

std::uint32_t pixelAt(const std::uint8_t* row, std::uint64_t x, unsigned bits) {
    switch (bits) {
        case 1: return (row[x / 8] >> (7 - x % 8)) & 0x1;
        case 4: return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
        case 8: return row[x];
        case 16: return loadLittleEndian<std::uint16_t>(row + x * 2);
        case 24: return loadLittleEndian<std::uint16_t>(row + x * 3) | (std::uint32_t{row[x * 3 + 2]} << 16);
        default: return loadLittleEndian<std::uint32_t>(row + x * 4);
    }
}

bool supportedDepth(unsigned bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint64_t strideOf(std::uint64_t width, unsigned bits) { return (width * bits + 31) / 32 * 4; }

// Decodes the rows that are present; `icon` reads the mask below the colour rows.
std::optional<Picture> decodeDib(std::span<const std::uint8_t> dib,
                                 std::optional<std::size_t> pixelOffset, bool icon) {
    auto header = readHeader(dib);
    if (!header || !supportedDepth(header->bitsPerPixel)) return std::nullopt;
    std::size_t offset = 0;
    if (!readMasks(dib, *header, offset)) return std::nullopt;
    auto palette = readPalette(dib, *header, offset);
    if (!palette) return std::nullopt;

    const bool topDown = header->height < 0;
    if (icon && topDown) return std::nullopt;
    const std::uint64_t width = static_cast<std::uint64_t>(header->width);
    std::uint64_t height = static_cast<std::uint64_t>(std::llabs(header->height));
    if (icon) height /= 2;
    if (header->width <= 0 || !withinPixelCap(width, height)) return std::nullopt;

    const std::size_t start = pixelOffset.value_or(offset);
    if (start > dib.size()) return std::nullopt;
    const std::span<const std::uint8_t> pixels = dib.subspan(start);
    const std::uint64_t stride = strideOf(width, header->bitsPerPixel);
    const std::uint64_t maskStride = strideOf(width, 1);
    const std::uint64_t maskStart = stride * height;
    const bool alpha = header->bitsPerPixel == 32 && header->channels[3].mask != 0;

    Picture picture;
    picture.width = static_cast<std::uint32_t>(width);
    picture.height = static_cast<std::uint32_t>(height);
    picture.rgb.assign(width * height * 3, 0);
    for (std::uint64_t stored = 0; stored < height; ++stored) {
        if ((stored + 1) * stride > pixels.size()) break;
        const std::uint8_t* row = pixels.data() + stored * stride;
        const std::uint64_t maskAt = maskStart + stored * maskStride;
        const std::uint8_t* mask =
            icon && maskAt + maskStride <= pixels.size() ? pixels.data() + maskAt : nullptr;
        const std::uint64_t y = topDown ? stored : height - 1 - stored;
        std::uint8_t* out = picture.rgb.data() + y * width * 3;
        for (std::uint64_t x = 0; x < width; ++x, out += 3) {
            if (mask && !alpha && pixelAt(mask, x, 1)) continue;
            const std::uint32_t value = pixelAt(row, x, header->bitsPerPixel);
            if (header->bitsPerPixel <= 8) {
                const auto& colour = palette->colours[value];
                out[0] = colour[0], out[1] = colour[1], out[2] = colour[2];
                continue;
            }
            const unsigned opacity = alpha && icon ? header->channels[3].extract(value) : 255;
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(header->channels[c].extract(value) * opacity / 255);
        }
    }
    return picture;
}

}  // namespace

bool looksLikeBmp(std::span<const std::uint8_t> data) {
    return data.size() >= kFileHeaderSize + kCoreHeaderSize && data[0] == 'B' && data[1] == 'M';
}

std::optional<Picture> decodeBmp(std::span<const std::uint8_t> data) {
    if (!looksLikeBmp(data)) return std::nullopt;
    auto pixelStart = readLittleEndian<std::uint32_t>(data, 10);
    std::optional<std::size_t> offset;
    if (pixelStart && *pixelStart >= kFileHeaderSize + kCoreHeaderSize && *pixelStart < data.size())
        offset = *pixelStart - kFileHeaderSize;
    return decodeDib(data.subspan(kFileHeaderSize), offset, false);
}

std::optional<Picture> decodeIconBitmap(std::span<const std::uint8_t> dib) {
    return decodeDib(dib, std::nullopt, true);
}

}  // namespace engine::imaging
