#pragma once
// Text helpers of the registry: strict UTF-8 for key and value names on disk, and the
// ASCII case folding that registry names compare with. Strict means no replacement
// characters: text that does not convert exactly is refused, so two different names can
// never end up as one folder or one line.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/utf_codec.h"

namespace platform::registry_detail {

void appendUtf8(std::string& out, char32_t codePoint);
// Decodes one well-formed UTF-8 sequence at `pos` and moves past it; nothing (and `pos`
// unchanged) for an overlong form, a surrogate, a value above U+10FFFF or a cut sequence.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& pos);
void appendUtf16(std::u16string& out, char32_t codePoint);

// Nothing when the text holds an unpaired surrogate or ill-formed UTF-8.
std::optional<std::string> toUtf8Strict(std::u16string_view text);
std::optional<std::u16string> toUtf16Strict(std::string_view text);

std::u16string foldName(std::u16string_view name);
bool sameName(std::u16string_view a, std::u16string_view b);
bool sameName(std::string_view a, std::string_view b);
// Orders by the ASCII-folded text, ties broken by the exact text.
bool nameLess(std::u16string_view a, std::u16string_view b);

using utf::isHighSurrogate;
using utf::isLowSurrogate;

}  // namespace platform::registry_detail
