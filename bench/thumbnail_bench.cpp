// Thumbnails of a 12-megapixel photo (4000 x 3000 JPEG, baseline and progressive) through
// FileGetThumbnail, with the photo as a file on a raw image drive in page cache, against
// the limit measured in the same run: libjpeg-turbo decoding the same file from memory at
// the same 1/8 scale, the least any thumbnail through it can cost; and the 20 ms goal.
//
// Usage: thumbnail_bench [work-folder [count]] (default /tmp, 30)

// jpeglib.h needs FILE and size_t declared first.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "platform/bitmap.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kGoalMs = 20;

// A photo-like picture: smooth gradients with some texture, so the file has a
// realistic size.
std::vector<std::uint8_t> encodePhoto(unsigned width, unsigned height, bool progressive) {
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
    if (progressive) jpeg_simple_progression(&info);
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

// The library alone: the whole file from memory at 1/8, every scan.
void decodeWithLibrary(const std::vector<std::uint8_t>& file) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), file.size());
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = 8;
    info.dct_method = JDCT_IFAST;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    std::vector<std::uint8_t> row(std::size_t{info.output_width} * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW pointer = row.data();
        jpeg_read_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

template <typename Work>
double millisecondsEach(int count, Work work) {
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / count;
}

void benchPhoto(const char* kind, const std::vector<std::uint8_t>& photo, const std::string& path, int count) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(photo.data()),
                                                static_cast<std::streamsize>(photo.size()));
    auto drive = std::make_unique<CDrive>();
    drive->SetSource({kDriveImage, path, 0, 0});
    EngineSettings settings{};
    settings.ReadRetries = 1;
    settings.DiskNumber = engine::state().drives->add(std::move(drive));
    if (DriveInitialize(&settings) <= 0) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        std::exit(1);
    }
    FoundFileRecord record{};
    resetFoundFileForFill(record);
    record.DataPosition = 0;
    record.Size = photo.size();

    int made = 0;
    FileGetThumbnail(&record);  // page cache and first-use costs
    const double ours = millisecondsEach(count, [&] {
        HBITMAP bitmap = FileGetThumbnail(&record);
        made += bitmap != nullptr;
        DeleteObject(bitmap);
    });
    const double library = millisecondsEach(count, [&] { decodeWithLibrary(photo); });
    std::printf("%s (%zu bytes): FileGetThumbnail %.1f ms (%d of %d made), libjpeg-turbo at 1/8 alone %.1f ms, "
                "ratio %.2f; goal %.0f ms, ratio %.2f\n",
                kind, photo.size(), ours, made, count, library, ours / library, kGoalMs, ours / kGoalMs);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const int count = argc > 2 ? std::atoi(argv[2]) : 30;
    ::setenv("UNDELETE_REGISTRY", (folder + "/thumbnail-bench-registry").c_str(), 1);
    Library_Initialize(u"\\Software\\ThumbnailBench");
    benchPhoto("12 MP baseline JPEG", encodePhoto(4000, 3000, false), folder + "/thumbnail-bench-1.img", count);
    benchPhoto("12 MP progressive JPEG", encodePhoto(4000, 3000, true), folder + "/thumbnail-bench-2.img", count);
    Library_Close();
    return 0;
}
