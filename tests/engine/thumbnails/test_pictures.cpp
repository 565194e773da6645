#include "test_pictures.h"

#include <gif_lib.h>
#include <jpeglib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace test_pictures {

namespace {

void putLe(Bytes& out, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Info header and pixel rows (blue, green, red[, 0xFF]), each row padded to four bytes.
Bytes dib(const Picture& picture, int bits, bool topDown, std::int32_t storedHeight) {
    Bytes out;
    putLe(out, 40, 4), putLe(out, picture.width, 4), putLe(out, static_cast<std::uint32_t>(storedHeight), 4);
    putLe(out, 1, 2), putLe(out, static_cast<std::uint32_t>(bits), 2);
    out.resize(out.size() + 24, 0);
    for (std::uint32_t stored = 0; stored < picture.height; ++stored) {
        const std::uint32_t y = topDown ? stored : picture.height - 1 - stored;
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::uint32_t rgb = pixelOf(picture, x, y);
            putLe(out, bits == 32 ? rgb | 0xFF000000 : rgb, bits / 8);
        }
        while ((out.size() - 40) % 4) out.push_back(0);
    }
    return out;
}

int writeToBytes(GifFileType* file, const GifByteType* data, int size) {
    static_cast<Bytes*>(file->UserData)->insert(static_cast<Bytes*>(file->UserData)->end(), data, data + size);
    return size;
}

}  // namespace

std::uint32_t pixelOf(const Picture& picture, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = picture.rgb.data() + (std::size_t{y} * picture.width + x) * 3;
    return (std::uint32_t{p[0]} << 16) | (p[1] << 8) | p[2];
}

Picture twoBands(std::uint32_t width, std::uint32_t height, std::uint32_t top, std::uint32_t bottom) {
    Picture picture{width, height, {}};
    for (std::uint32_t i = 0; i < width * height; ++i) {
        const std::uint32_t rgb = i / width < height / 2 ? top : bottom;
        picture.rgb.insert(picture.rgb.end(), {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)});
    }
    return picture;
}

Picture photoLike(std::uint32_t width, std::uint32_t height) {
    Picture picture{width, height, std::vector<std::uint8_t>(std::size_t{width} * height * 3)};
    std::uint32_t seed = 1;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            seed = seed * 1103515245 + 12345;
            const std::uint32_t noise = (seed >> 16) & 0x1F;
            std::uint8_t* pixel = picture.rgb.data() + (std::size_t{y} * width + x) * 3;
            pixel[0] = static_cast<std::uint8_t>(x * 200 / width + noise);
            pixel[1] = static_cast<std::uint8_t>(y * 200 / height + noise);
            pixel[2] = static_cast<std::uint8_t>(((x / 40 + y / 40) % 2) * 180 + noise);
        }
    }
    return picture;
}

Bytes encodeJpeg(const Picture& picture, const JpegOptions& options) {
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
    jpeg_set_quality(&info, 95, TRUE);
    if (options.progressive) jpeg_simple_progression(&info);
    jpeg_scan_info scans[3];
    if (options.scanPerComponent) {
        for (int c = 0; c < 3; ++c) scans[c] = {1, {c, 0, 0, 0}, 0, 63, 0, 0};
        info.scan_info = scans;
        info.num_scans = 3;
    }
    jpeg_start_compress(&info, TRUE);
    if (options.commentBytes != 0) {
        const std::vector<JOCTET> comment(options.commentBytes, 'c');
        jpeg_write_marker(&info, JPEG_COM, comment.data(), static_cast<unsigned>(comment.size()));
    }
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

Picture decodeJpegWhole(const Bytes& file, unsigned denominator) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), file.size());
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = denominator;
    info.dct_method = JDCT_IFAST;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    Picture picture{info.output_width, info.output_height,
                    std::vector<std::uint8_t>(std::size_t{info.output_width} * info.output_height * 3)};
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.rgb.data() + std::size_t{info.output_scanline} * picture.width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return picture;
}

Bytes encodeGif(const Picture& picture, bool interlaced) {
    std::vector<std::uint32_t> colours;
    std::vector<GifPixelType> indices;
    for (std::uint32_t i = 0; i < picture.width * picture.height; ++i) {
        const std::uint32_t rgb = pixelOf(picture, i % picture.width, i / picture.width);
        auto found = std::find(colours.begin(), colours.end(), rgb);
        if (found == colours.end()) found = colours.insert(colours.end(), rgb);
        indices.push_back(static_cast<GifPixelType>(found - colours.begin()));
    }
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (std::size_t i = 0; i < colours.size(); ++i)
        map->Colors[i] = {GifByteType(colours[i] >> 16), GifByteType(colours[i] >> 8), GifByteType(colours[i])};
    Bytes out;
    int error = 0;
    GifFileType* file = EGifOpen(&out, writeToBytes, &error);
    if (!file) throw std::runtime_error("EGifOpen");
    EGifPutScreenDesc(file, int(picture.width), int(picture.height), 8, 0, map);
    EGifPutImageDesc(file, 0, 0, int(picture.width), int(picture.height), interlaced, nullptr);
    // An interlaced image stores its rows in pass order.
    const auto passes = interlaced ? std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 8}, {4, 8}, {2, 4}, {1, 2}}
                                   : std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 1}};
    for (auto [start, step] : passes)
        for (std::uint32_t y = start; y < picture.height; y += step)
            EGifPutLine(file, indices.data() + y * picture.width, int(picture.width));
    EGifCloseFile(file, &error);
    GifFreeMapObject(map);
    return out;
}

Bytes encodeBmp24(const Picture& picture, bool topDown) {
    const auto height = static_cast<std::int32_t>(picture.height);
    const Bytes header = dib(picture, 24, topDown, topDown ? -height : height);
    Bytes out = {'B', 'M'};
    putLe(out, static_cast<std::uint32_t>(14 + header.size()), 4), putLe(out, 0, 4), putLe(out, 54, 4);
    out.insert(out.end(), header.begin(), header.end());
    return out;
}

Bytes encodeIco32(const Picture& picture) {
    Bytes entry = dib(picture, 32, false, static_cast<std::int32_t>(picture.height * 2));
    entry.resize(entry.size() + (picture.width + 31) / 32 * 4 * picture.height, 0);
    Bytes out;
    putLe(out, 0, 2), putLe(out, 1, 2), putLe(out, 1, 2);
    out.insert(out.end(), {std::uint8_t(picture.width), std::uint8_t(picture.height), 0, 0});
    putLe(out, 1, 2), putLe(out, 32, 2), putLe(out, static_cast<std::uint32_t>(entry.size()), 4), putLe(out, 22, 4);
    out.insert(out.end(), entry.begin(), entry.end());
    return out;
}

std::string readWhole(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

bool waitForFile(const std::filesystem::path& path) {
    for (int i = 0; i < 1000 && !std::filesystem::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return std::filesystem::exists(path);
}

}  // namespace test_pictures
