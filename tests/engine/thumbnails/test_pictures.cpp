#include "test_pictures.h"

#include <cstdio>
#include <gif_lib.h>
#include <jpeglib.h>

#include <algorithm>
#include <stdexcept>

namespace test_pictures {

namespace {

void putLe(Bytes& out, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes dib24Rows(const Picture& picture, bool topDown) {
    Bytes rows;
    const std::uint32_t stride = (picture.width * 3 + 3) / 4 * 4;
    for (std::uint32_t stored = 0; stored < picture.height; ++stored) {
        const std::uint32_t y = topDown ? stored : picture.height - 1 - stored;
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::uint32_t rgb = pixelOf(picture, x, y);
            rows.push_back(rgb & 0xFF), rows.push_back((rgb >> 8) & 0xFF), rows.push_back(rgb >> 16);
        }
        for (std::uint32_t pad = picture.width * 3; pad < stride; ++pad) rows.push_back(0);
    }
    return rows;
}

void putInfoHeader(Bytes& out, std::int32_t width, std::int32_t height, int bits) {
    putLe(out, 40, 4);
    putLe(out, static_cast<std::uint32_t>(width), 4);
    putLe(out, static_cast<std::uint32_t>(height), 4);
    putLe(out, 1, 2);
    putLe(out, static_cast<std::uint32_t>(bits), 2);
    for (int i = 0; i < 6; ++i) putLe(out, 0, 4);
}

int writeToBytes(GifFileType* file, const GifByteType* data, int size) {
    auto* out = static_cast<Bytes*>(file->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

}  // namespace

std::uint32_t pixelOf(const Picture& picture, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = picture.rgb.data() + (std::size_t{y} * picture.width + x) * 3;
    return (std::uint32_t{p[0]} << 16) | (p[1] << 8) | p[2];
}

Picture twoBands(std::uint32_t width, std::uint32_t height, std::uint32_t top, std::uint32_t bottom) {
    Picture picture{width, height, {}};
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t rgb = y < height / 2 ? top : bottom;
            picture.rgb.push_back(rgb >> 16), picture.rgb.push_back((rgb >> 8) & 0xFF),
                picture.rgb.push_back(rgb & 0xFF);
        }
    return picture;
}

Bytes encodeJpeg(const Picture& picture, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = picture.width;
    info.image_height = picture.height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.rgb.data() + info.next_scanline * picture.width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

Bytes encodeGif(const Picture& picture, bool interlaced) {
    std::vector<std::uint32_t> colours;
    std::vector<GifPixelType> indices;
    for (std::uint32_t y = 0; y < picture.height; ++y)
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::uint32_t rgb = pixelOf(picture, x, y);
            auto found = std::find(colours.begin(), colours.end(), rgb);
            if (found == colours.end() && colours.size() < 256) found = colours.insert(colours.end(), rgb);
            indices.push_back(static_cast<GifPixelType>(found == colours.end() ? 0 : found - colours.begin()));
        }
    colours.resize(256, 0);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i)
        map->Colors[i] = {static_cast<GifByteType>(colours[i] >> 16),
                          static_cast<GifByteType>((colours[i] >> 8) & 0xFF),
                          static_cast<GifByteType>(colours[i] & 0xFF)};
    Bytes out;
    int error = 0;
    GifFileType* file = EGifOpen(&out, writeToBytes, &error);
    if (!file) throw std::runtime_error("EGifOpen");
    EGifPutScreenDesc(file, int(picture.width), int(picture.height), 8, 0, map);
    EGifPutImageDesc(file, 0, 0, int(picture.width), int(picture.height), interlaced, nullptr);
    // An interlaced image stores its rows in pass order.
    std::vector<std::uint32_t> order;
    if (interlaced) {
        for (auto [start, step] : {std::pair{0u, 8u}, {4u, 8u}, {2u, 4u}, {1u, 2u}})
            for (std::uint32_t y = start; y < picture.height; y += step) order.push_back(y);
    } else {
        for (std::uint32_t y = 0; y < picture.height; ++y) order.push_back(y);
    }
    for (std::uint32_t y : order) EGifPutLine(file, indices.data() + y * picture.width, int(picture.width));
    EGifCloseFile(file, &error);
    GifFreeMapObject(map);
    return out;
}

Bytes encodeBmp24(const Picture& picture, bool topDown) {
    const Bytes rows = dib24Rows(picture, topDown);
    Bytes out = {'B', 'M'};
    putLe(out, static_cast<std::uint32_t>(54 + rows.size()), 4);
    putLe(out, 0, 4);
    putLe(out, 54, 4);
    const auto height = static_cast<std::int32_t>(picture.height);
    putInfoHeader(out, static_cast<std::int32_t>(picture.width), topDown ? -height : height, 24);
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

Bytes encodeIco32(const Picture& picture) {
    Bytes dib;
    putInfoHeader(dib, static_cast<std::int32_t>(picture.width),
                  static_cast<std::int32_t>(picture.height * 2), 32);
    for (std::uint32_t stored = 0; stored < picture.height; ++stored)
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::uint32_t rgb = pixelOf(picture, x, picture.height - 1 - stored);
            dib.push_back(rgb & 0xFF), dib.push_back((rgb >> 8) & 0xFF), dib.push_back(rgb >> 16);
            dib.push_back(0xFF);
        }
    const std::uint32_t maskStride = (picture.width + 31) / 32 * 4;
    dib.insert(dib.end(), std::size_t{maskStride} * picture.height, 0);
    Bytes out;
    putLe(out, 0, 2), putLe(out, 1, 2), putLe(out, 1, 2);
    out.push_back(static_cast<std::uint8_t>(picture.width)), out.push_back(static_cast<std::uint8_t>(picture.height));
    out.push_back(0), out.push_back(0);
    putLe(out, 1, 2), putLe(out, 32, 2);
    putLe(out, static_cast<std::uint32_t>(dib.size()), 4);
    putLe(out, 22, 4);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

}  // namespace test_pictures
