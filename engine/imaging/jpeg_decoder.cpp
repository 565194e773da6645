#include "engine/imaging/jpeg_decoder.h"

// jpeglib.h needs FILE and size_t declared first.
#include <cstddef>
#include <cstdio>
#include <csetjmp>

#include <algorithm>

#include <jpeglib.h>

namespace engine::imaging {

namespace {

// The source size accepted before scaling; with the library's memory cap this bounds
// what a forged header can make it allocate.
constexpr std::uint64_t kMaxSourcePixels = 1ull << 28;
constexpr long kMaxLibraryMemory = 256l << 20;
// Each scan of a progressive picture costs a pass over the whole picture, however few
// bytes it has: more scans than any encoder writes are refused.
constexpr int kMaxScans = 1000;
constexpr unsigned kSmallestScale = 8;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf resume;
};

[[noreturn]] void leaveDecoder(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->resume, 1);
}

// Warnings about damaged data would go to stderr; the picture is shown as decoded.
void ignoreMessage(j_common_ptr, int) {}

void limitScans(j_common_ptr common) {
    const auto* info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number > kMaxScans) leaveDecoder(common);
}

// Feeds the library from a ByteStream; at the stream's end it gets an end-of-image
// marker, as with the library's own sources, so damaged or cut data ends the picture.
struct StreamSource {
    jpeg_source_mgr base;
    ByteStream* stream;
};

// What the library points to while it decodes.
struct Decoder {
    jpeg_decompress_struct info;
    ErrorManager errors;
    StreamSource source;
    jpeg_progress_mgr progress;
};

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr info) {
    static const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};
    auto* source = reinterpret_cast<StreamSource*>(info->src);
    const std::span<const std::uint8_t> piece = source->stream->Next();
    if (piece.empty()) {
        source->base.next_input_byte = kEndOfImage;
        source->base.bytes_in_buffer = sizeof kEndOfImage;
    } else {
        source->base.next_input_byte = piece.data();
        source->base.bytes_in_buffer = piece.size();
    }
    return TRUE;
}

// Counts come from marker lengths (below 64 KiB).
void skipInput(j_decompress_ptr info, long count) {
    jpeg_source_mgr& source = *info->src;
    while (count > 0 && static_cast<std::size_t>(count) > source.bytes_in_buffer) {
        count -= static_cast<long>(source.bytes_in_buffer);
        fillInput(info);
    }
    if (count <= 0) return;
    source.next_input_byte += count;
    source.bytes_in_buffer -= static_cast<std::size_t>(count);
}

unsigned scaleDenominatorFor(std::uint32_t width, std::uint32_t height, std::uint32_t side) {
    const std::uint32_t longer = width > height ? width : height;
    unsigned denominator = kSmallestScale;
    while (denominator > 1 && longer / denominator < side) denominator /= 2;
    return denominator;
}

// A component decoded at 1/8 of its size uses the first coefficient of each block (its
// mean), at 1/4 the first 2 x 2, at 1/2 the first 4 x 4: zigzag positions up to these.
int lastCoefficientUsed(const jpeg_component_info& component) {
#if JPEG_LIB_VERSION >= 70
    const int size = std::max(component.DCT_h_scaled_size, component.DCT_v_scaled_size);
#else
    const int size = component.DCT_scaled_size;
#endif
    if (size <= 1) return 0;
    if (size == 2) return 4;
    if (size <= 4) return 24;
    return DCTSIZE2 - 1;
}

// Whether every coefficient that the scaled output uses has had its first pass, for
// every component.
bool usedCoefficientsIn(const jpeg_decompress_struct& info) {
    if (info.coef_bits == nullptr) return false;
    for (int c = 0; c < info.num_components; ++c) {
        const int last = lastCoefficientUsed(info.comp_info[c]);
        for (int k = 0; k <= last; ++k) {
            if (info.coef_bits[c][k] < 0) return false;
        }
    }
    return true;
}

// Reads the scans of a progressive picture until the coefficients that its scaled output
// uses have arrived, or the data ends. Later scans only refine them.
void absorbUsedScans(jpeg_decompress_struct& info) {
    for (;;) {
        limitScans(reinterpret_cast<j_common_ptr>(&info));
        const int status = jpeg_consume_input(&info);
        if (status == JPEG_REACHED_EOI || status == JPEG_SUSPENDED) return;
        if (status == JPEG_SCAN_COMPLETED && usedCoefficientsIn(info)) return;
    }
}

// Everything with a destructor lives in the caller: the library leaves this function with
// longjmp on any error, which may skip no destructor.
bool decodeInto(Decoder& decoder, std::uint32_t targetSide, Picture& out) {
    jpeg_decompress_struct& info = decoder.info;
    ErrorManager& errors = decoder.errors;
    StreamSource& source = decoder.source;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = leaveDecoder;
    errors.base.emit_message = ignoreMessage;
    if (setjmp(errors.resume)) return false;

    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxLibraryMemory;
    decoder.progress.progress_monitor = limitScans;
    info.progress = &decoder.progress;
    source.base.init_source = initSource;
    source.base.fill_input_buffer = fillInput;
    source.base.skip_input_data = skipInput;
    source.base.resync_to_restart = jpeg_resync_to_restart;
    source.base.term_source = termSource;
    info.src = &source.base;
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    if (std::uint64_t{info.image_width} * info.image_height > kMaxSourcePixels) return false;

    info.out_color_space = JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = scaleDenominatorFor(info.image_width, info.image_height, targetSide);
    info.dct_method = JDCT_IFAST;
    // A progressive picture is shown from the scans that its scale needs.
    // (Sequential pictures may have several scans too, one per component: each is needed.)
    const bool progressive = info.progressive_mode && jpeg_has_multiple_scans(&info);
    info.buffered_image = progressive ? TRUE : FALSE;
    jpeg_calc_output_dimensions(&info);
    if (!withinPixelCap(info.output_width, info.output_height) || info.output_components != 3)
        return false;

    out.width = info.output_width;
    out.height = info.output_height;
    out.rgb.resize(std::size_t{out.width} * out.height * 3);
    jpeg_start_decompress(&info);
    if (progressive) {
        absorbUsedScans(info);
        jpeg_start_output(&info, info.input_scan_number);
    }
    const std::size_t stride = std::size_t{out.width} * 3;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.rgb.data() + info.output_scanline * stride;
        if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
    }
    // The rest of the data (later scans, trailing markers) is not read.
    return true;
}

}  // namespace

bool looksLikeJpeg(std::span<const std::uint8_t> data) {
    return data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

std::optional<Picture> decodeJpeg(ByteStream& data, std::uint32_t targetSide) {
    if (targetSide == 0) return std::nullopt;
    Decoder decoder{};
    decoder.source.stream = &data;
    Picture picture;
    const bool decoded = decodeInto(decoder, targetSide, picture);
    jpeg_destroy_decompress(&decoder.info);
    if (!decoded) return std::nullopt;
    return picture;
}

std::optional<Picture> decodeJpeg(std::span<const std::uint8_t> data, std::uint32_t targetSide) {
    if (!looksLikeJpeg(data)) return std::nullopt;
    SpanStream stream(data);
    return decodeJpeg(stream, targetSide);
}

}  // namespace engine::imaging
