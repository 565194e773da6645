#include "engine/imaging/jpeg_decoder.h"

// jpeglib.h needs FILE and size_t declared first.
#include <cstddef>
#include <cstdio>
#include <csetjmp>

#include <jpeglib.h>

namespace engine::imaging {

namespace {

// The source size accepted before scaling; with the library's memory cap this bounds
// what a forged header can make it allocate.
constexpr std::uint64_t kMaxSourcePixels = 1ull << 28;
constexpr long kMaxLibraryMemory = 256l << 20;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf resume;
};

[[noreturn]] void leaveDecoder(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->resume, 1);
}

// Warnings about damaged data would go to stderr; the picture is shown as decoded.
void ignoreMessage(j_common_ptr, int) {}

unsigned scaleDenominatorFor(std::uint32_t width, std::uint32_t height, std::uint32_t side) {
    const std::uint32_t longer = width > height ? width : height;
    unsigned denominator = 8;
    while (denominator > 1 && longer / denominator < side) denominator /= 2;
    return denominator;
}

// Everything with a destructor lives in the caller: the library leaves this function with
// longjmp on any error, which may skip no destructor.
bool decodeInto(jpeg_decompress_struct& info, ErrorManager& errors,
                std::span<const std::uint8_t> data, std::uint32_t targetSide, Picture& out) {
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = leaveDecoder;
    errors.base.emit_message = ignoreMessage;
    if (setjmp(errors.resume)) return false;

    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxLibraryMemory;
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    if (std::uint64_t{info.image_width} * info.image_height > kMaxSourcePixels) return false;

    info.out_color_space = JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = scaleDenominatorFor(info.image_width, info.image_height, targetSide);
    info.dct_method = JDCT_IFAST;
    jpeg_calc_output_dimensions(&info);
    if (!withinPixelCap(info.output_width, info.output_height) || info.output_components != 3)
        return false;

    out.width = info.output_width;
    out.height = info.output_height;
    out.rgb.assign(std::size_t{out.width} * out.height * 3, 0);
    jpeg_start_decompress(&info);
    const std::size_t stride = std::size_t{out.width} * 3;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.rgb.data() + info.output_scanline * stride;
        if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

bool looksLikeJpeg(std::span<const std::uint8_t> data) {
    return data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

std::optional<Picture> decodeJpeg(std::span<const std::uint8_t> data, std::uint32_t targetSide) {
    if (!looksLikeJpeg(data) || targetSide == 0) return std::nullopt;
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    Picture picture;
    const bool decoded = decodeInto(info, errors, data, targetSide, picture);
    jpeg_destroy_decompress(&info);
    if (!decoded) return std::nullopt;
    return picture;
}

}  // namespace engine::imaging
