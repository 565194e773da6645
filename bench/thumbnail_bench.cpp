// Thumbnails per second for 12-megapixel JPEG photos (4000 x 3000), through the whole
// worker: copy from a reader, decode at reduced scale, fit into 96 x 96.
//
// Usage: thumbnail_bench [count]

// jpeglib.h needs FILE and size_t declared first.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/thumbnails/thumbnail_worker.h"
#include "platform/bitmap.h"

namespace {

// A photo-like picture: smooth gradients with some texture, so the file has a
// realistic size.
std::vector<std::uint8_t> encodePhoto(unsigned width, unsigned height) {
    std::vector<std::uint8_t> row(width * 3);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    unsigned seed = 1;
    while (info.next_scanline < height) {
        for (unsigned x = 0; x < width; ++x) {
            seed = seed * 1103515245 + 12345;
            const unsigned noise = (seed >> 16) & 0x1F;
            row[x * 3] = static_cast<std::uint8_t>(x * 255 / width + noise);
            row[x * 3 + 1] = static_cast<std::uint8_t>(info.next_scanline * 255 / height + noise);
            row[x * 3 + 2] = static_cast<std::uint8_t>(((x ^ info.next_scanline) & 0xFF) / 2 + noise);
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 50;
    const std::vector<std::uint8_t> photo = encodePhoto(4000, 3000);
    std::printf("12-megapixel JPEG: %zu bytes\n", photo.size());

    FoundFileRecord record{};
    resetFoundFileForFill(record);
    record.Size = photo.size();
    const auto start = std::chrono::steady_clock::now();
    int made = 0;
    for (int i = 0; i < count; ++i) {
        engine::thumbnails::ThumbnailJob job;
        job.read = [&photo](FoundFileRecord&, void* buffer, std::uint64_t size) -> std::uint64_t {
            std::memcpy(buffer, photo.data(), size);
            return size;
        };
        HBITMAP bitmap = engine::thumbnails::makeThumbnail(record, std::move(job));
        made += bitmap != nullptr;
        DeleteObject(bitmap);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d of %d thumbnails in %.3f s: %.1f thumbnails per second (one caller)\n", made,
                count, seconds, count / seconds);
    return made == count ? 0 : 1;
}
