#include "wizard/model/formats/format_text.h"

namespace {

bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

std::string_view TrimControlsAndBlanks(std::string_view text) {
    while (!text.empty() && IsControlOrBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsControlOrBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string NormalizeFormatText(std::string_view text) {
    std::string normalized(TrimControlsAndBlanks(text));
    for (char& c : normalized) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return normalized;
}
