#include "engine/imaging/gif_decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace engine::imaging {

namespace {

struct MemorySource {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
};

int readFromMemory(GifFileType* file, GifByteType* out, int wanted) {
    auto* source = static_cast<MemorySource*>(file->UserData);
    if (wanted <= 0) return 0;
    const std::size_t count =
        std::min(static_cast<std::size_t>(wanted), source->data.size() - source->position);
    std::memcpy(out, source->data.data() + source->position, count);
    source->position += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* file) const {
        int error = 0;
        DGifCloseFile(file, &error);
    }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

// Reads the transparent colour index from a graphic control extension, -1 if none.
int transparentIndexOf(const GifByteType* extension) {
    if (extension == nullptr || extension[0] < 4) return -1;
    return (extension[1] & 0x01) ? extension[4] : -1;
}

// Skips the extension blocks after the first one; false on a damaged stream.
bool skipExtensionRest(GifFileType* file) {
    GifByteType* block = nullptr;
    do {
        if (DGifGetExtensionNext(file, &block) == GIF_ERROR) return false;
    } while (block != nullptr);
    return true;
}

// The order in which an interlaced image stores its rows.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int row = 0; row < height; ++row) order.push_back(row);
        return order;
    }
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int row = kStart[pass]; row < height; row += kStep[pass]) order.push_back(row);
    return order;
}

bool drawImage(GifFileType* file, int transparentIndex, Picture& picture) {
    const GifImageDesc& image = file->Image;
    const ColorMapObject* colours = image.ColorMap ? image.ColorMap : file->SColorMap;
    if (colours == nullptr || image.Width <= 0 || image.Height <= 0 || image.Left < 0 ||
        image.Top < 0 || !withinPixelCap(std::uint64_t(image.Width), std::uint64_t(image.Height)))
        return false;
    std::vector<GifPixelType> line(static_cast<std::size_t>(image.Width));
    for (int row : rowOrder(image.Height, image.Interlace)) {
        if (DGifGetLine(file, line.data(), image.Width) == GIF_ERROR) return false;
        const std::uint64_t y = std::uint64_t(image.Top) + std::uint64_t(row);
        if (y >= picture.height) continue;
        std::uint8_t* out = picture.rgb.data() + y * picture.width * 3;
        for (int column = 0; column < image.Width; ++column) {
            const std::uint64_t x = std::uint64_t(image.Left) + std::uint64_t(column);
            const int index = line[static_cast<std::size_t>(column)];
            if (x >= picture.width || index == transparentIndex || index >= colours->ColorCount)
                continue;
            const GifColorType& colour = colours->Colors[index];
            out[x * 3] = colour.Red;
            out[x * 3 + 1] = colour.Green;
            out[x * 3 + 2] = colour.Blue;
        }
    }
    return true;
}

}  // namespace

bool looksLikeGif(std::span<const std::uint8_t> data) {
    return data.size() >= 6 &&
           (std::memcmp(data.data(), "GIF87a", 6) == 0 || std::memcmp(data.data(), "GIF89a", 6) == 0);
}

std::optional<Picture> decodeGif(std::span<const std::uint8_t> data) {
    if (!looksLikeGif(data)) return std::nullopt;
    MemorySource source{data};
    int error = 0;
    GifFile file(DGifOpen(&source, readFromMemory, &error));
    if (!file) return std::nullopt;
    if (!withinPixelCap(std::uint64_t(std::max(file->SWidth, 0)),
                        std::uint64_t(std::max(file->SHeight, 0))))
        return std::nullopt;

    Picture picture;
    picture.width = static_cast<std::uint32_t>(file->SWidth);
    picture.height = static_cast<std::uint32_t>(file->SHeight);
    picture.rgb.assign(std::size_t{picture.width} * picture.height * 3, 0);

    int transparentIndex = -1;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    do {
        if (DGifGetRecordType(file.get(), &record) == GIF_ERROR) return std::nullopt;
        if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(file.get()) == GIF_ERROR) return std::nullopt;
            if (!drawImage(file.get(), transparentIndex, picture)) return std::nullopt;
            return picture;
        }
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* extension = nullptr;
            if (DGifGetExtension(file.get(), &code, &extension) == GIF_ERROR) return std::nullopt;
            if (code == GRAPHICS_EXT_FUNC_CODE) transparentIndex = transparentIndexOf(extension);
            if (extension != nullptr && !skipExtensionRest(file.get())) return std::nullopt;
        }
    } while (record != TERMINATE_RECORD_TYPE);
    return std::nullopt;
}

}  // namespace engine::imaging
