#include "platform/registry_file.h"

#include <cstdint>
#include <unordered_set>
#include <variant>

#include "platform/registry_text.h"

namespace platform::registry_file {
namespace {

using registry_detail::appendUtf16;
using registry_detail::appendUtf8;
using registry_detail::decodeUtf8;
using registry_detail::isHighSurrogate;
using registry_detail::isLowSurrogate;

constexpr std::string_view kHexDigits = "0123456789abcdef";

// ---- writing -------------------------------------------------------------------------

void appendHex(std::string& out, std::uint64_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out.push_back(kHexDigits[(value >> shift) & 0xF]);
    }
}

void appendQuoted(std::string& out, std::u16string_view text) {
    out.push_back('"');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
            continue;
        }
        switch (unit) {
            case u'"': out += "\\\""; break;
            case u'\\': out += "\\\\"; break;
            case u'\n': out += "\\n"; break;
            case u'\r': out += "\\r"; break;
            case u'\t': out += "\\t"; break;
            default:
                if (unit < 0x20 || unit == 0x7F || isHighSurrogate(unit) ||
                    isLowSurrogate(unit)) {
                    out += "\\u";
                    appendHex(out, unit, 4);
                } else {
                    appendUtf8(out, unit);
                }
        }
    }
    out.push_back('"');
}

void appendData(std::string& out, const RegistryData& data) {
    if (const auto* text = std::get_if<std::u16string>(&data)) {
        appendQuoted(out, *text);
    } else if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&data)) {
        out += "hex:";
        for (std::size_t i = 0; i < bytes->size(); ++i) {
            if (i != 0) {
                out.push_back(',');
            }
            appendHex(out, (*bytes)[i], 2);
        }
    } else if (const auto* dword = std::get_if<std::uint32_t>(&data)) {
        out += "dword:";
        appendHex(out, *dword, 8);
    } else {
        out += "qword:";
        appendHex(out, std::get<std::uint64_t>(data), 16);
    }
}

// ---- reading -------------------------------------------------------------------------

// Parses one value line; when it fails, error() says why.
class LineParser {
public:
    explicit LineParser(std::string_view line) : line_(line) {}

    std::optional<RegistryValue> value() {
        RegistryValue result;
        auto name = quoted();
        if (!name || !expect("=")) {
            return fail("expected \"name\"=");
        }
        result.name = std::move(*name);
        std::optional<RegistryData> data;
        if (peek() == '"') {
            if (auto text = quoted()) {
                data = std::move(*text);
            }
        } else if (expect("dword:")) {
            if (auto number = hexNumber(8)) {
                data = static_cast<std::uint32_t>(*number);
            }
        } else if (expect("qword:")) {
            if (auto number = hexNumber(16)) {
                data = *number;
            }
        } else if (expect("hex:")) {
            data = bytes();
        } else {
            return fail("unknown value type");
        }
        if (!data) {
            return std::nullopt;
        }
        if (pos_ != line_.size()) {
            return fail("unexpected text after the value");
        }
        result.data = std::move(*data);
        return result;
    }

    const std::string& error() const { return error_; }

private:
    std::nullopt_t fail(std::string_view why) {
        if (error_.empty()) {
            error_ = why;
        }
        return std::nullopt;
    }

    char peek() const { return pos_ < line_.size() ? line_[pos_] : '\0'; }

    bool expect(std::string_view token) {
        if (line_.substr(pos_, token.size()) != token) {
            return false;
        }
        pos_ += token.size();
        return true;
    }

    std::optional<unsigned> hexDigit() {
        const char c = peek();
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        ++pos_;
        return digit;
    }

    // Exactly `digits` hex digits, so that a number cut short is not taken for a smaller one.
    std::optional<std::uint64_t> hexNumber(int digits) {
        std::uint64_t value = 0;
        for (int i = 0; i < digits; ++i) {
            const auto digit = hexDigit();
            if (!digit) {
                return fail("bad hexadecimal number");
            }
            value = (value << 4) | *digit;
        }
        return value;
    }

    std::optional<RegistryData> bytes() {
        // The bytes can never outnumber the characters that spell them.
        std::vector<std::uint8_t> result;
        result.reserve((line_.size() - pos_ + 1) / 3);
        while (pos_ < line_.size()) {
            if (!result.empty() && !expect(",")) {
                return fail("expected a comma between bytes");
            }
            const auto byte = hexNumber(2);
            if (!byte) {
                return std::nullopt;
            }
            result.push_back(static_cast<std::uint8_t>(*byte));
        }
        return RegistryData{std::move(result)};
    }

    std::optional<std::u16string> quoted() {
        if (!expect("\"")) {
            return fail("expected a quote");
        }
        std::u16string text;
        while (pos_ < line_.size()) {
            const char c = line_[pos_];
            if (c == '"') {
                ++pos_;
                return text;
            }
            if (c == '\\') {
                ++pos_;
                if (!escape(text)) {
                    return std::nullopt;
                }
            } else if (static_cast<unsigned char>(c) < 0x20) {
                return fail("control character inside quotes");
            } else {
                const auto codePoint = decodeUtf8(line_, pos_);
                if (!codePoint) {
                    return fail("ill-formed UTF-8");
                }
                appendUtf16(text, *codePoint);
            }
        }
        return fail("missing closing quote");
    }

    bool escape(std::u16string& text) {
        if (pos_ >= line_.size()) {
            fail("missing closing quote");
            return false;
        }
        const char c = line_[pos_++];
        switch (c) {
            case '"': text.push_back(u'"'); return true;
            case '\\': text.push_back(u'\\'); return true;
            case 'n': text.push_back(u'\n'); return true;
            case 'r': text.push_back(u'\r'); return true;
            case 't': text.push_back(u'\t'); return true;
            case 'u':
                if (const auto unit = hexNumber(4)) {
                    text.push_back(static_cast<char16_t>(*unit));
                    return true;
                }
                return false;
            default: fail("unknown escape"); return false;
        }
    }

    std::string_view line_;
    std::size_t pos_ = 0;
    std::string error_;
};

}  // namespace

Parsed parse(std::string_view text) {
    Parsed parsed;
    std::size_t lastDamagedLine = 0;
    const auto damage = [&](std::size_t line, std::string reason) {
        if (!parsed.firstDamage) {
            parsed.firstDamage = Damage{line, std::move(reason)};
        }
        if (line != lastDamagedLine) {
            ++parsed.damagedLines;
            lastDamagedLine = line;
        }
    };
    std::unordered_set<std::u16string> seenNames;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto end = text.find('\n');
        if (end == std::string_view::npos) {
            damage(lineNumber, "line cut short (no newline)");
            break;
        }
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (lineNumber == 1) {
            if (line == kFormatLine) {
                continue;
            }
            damage(lineNumber, "missing format line");
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        LineParser parser(line);
        auto value = parser.value();
        if (!value) {
            damage(lineNumber, parser.error());
        } else if (!seenNames.insert(registry_detail::foldName(value->name)).second) {
            damage(lineNumber, "value named twice");
        } else {
            parsed.values.push_back(std::move(*value));
        }
    }
    return parsed;
}

std::string serialize(const std::vector<RegistryValue>& values) {
    std::string out(kFormatLine);
    out.push_back('\n');
    for (const auto& value : values) {
        appendQuoted(out, value.name);
        out.push_back('=');
        appendData(out, value.data);
        out.push_back('\n');
    }
    return out;
}

}  // namespace platform::registry_file
