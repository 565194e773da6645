#include "viewer/file_extension.h"

#include <cstring>
#include <string_view>

namespace viewer {

namespace {

struct Signature {
    std::size_t offset;
    std::string_view bytes;
    const char* extension;
};

using namespace std::string_view_literals;

constexpr Signature kSignatures[] = {
    {0, "\xFF\xD8\xFF"sv, "jpg"},       {0, "\x89PNG\r\n\x1A\n"sv, "png"},
    {0, "GIF8"sv, "gif"},               {0, "BM"sv, "bmp"},
    {0, "\0\0\1\0"sv, "ico"},           {0, "%PDF"sv, "pdf"},
    {0, "II*\0"sv, "tif"},              {0, "MM\0*"sv, "tif"},
    {0, "PK\3\4"sv, "zip"},             {0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv, "doc"},
    {0, "{\\rtf"sv, "rtf"},             {0, "ID3"sv, "mp3"},
    {8, "WAVE"sv, "wav"},               {8, "AVI "sv, "avi"},
    {4, "ftyp"sv, "mp4"},               {0, "Rar!"sv, "rar"},
    {0, "7z\xBC\xAF\x27\x1C"sv, "7z"},  {0, "\x1F\x8B"sv, "gz"},
    {0, "<?xml"sv, "xml"},              {0, "<html"sv, "html"},
};

}  // namespace

std::string extensionFor(std::span<const std::byte> data) {
    for (const Signature& signature : kSignatures) {
        if (data.size() < signature.offset + signature.bytes.size()) continue;
        if (std::memcmp(data.data() + signature.offset, signature.bytes.data(),
                        signature.bytes.size()) == 0)
            return signature.extension;
    }
    return "bin";
}

}  // namespace viewer
