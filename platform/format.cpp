#include "platform/format.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/text.h"
#include "platform/utf_codec.h"

namespace platform {
namespace {

// Widths and precisions beyond this are clipped; the output is cut to the buffer anyway.
constexpr std::size_t kMaxFieldSize = 1'000'000'000;

// The output buffer: everything past its last usable byte is dropped.
class Sink {
public:
    // `size` is at least 1: the terminator always fits.
    Sink(char* out, std::size_t size) : out_(out), usable_(size - 1) {}

    void put(char c) {
        if (length_ < usable_) {
            out_[length_++] = c;
        }
    }
    void put(std::string_view text) {
        const std::size_t count = std::min(text.size(), usable_ - length_);
        std::copy_n(text.data(), count, out_ + length_);
        length_ += count;
    }
    void repeat(char c, std::size_t count) {
        count = std::min(count, usable_ - length_);
        std::fill_n(out_ + length_, count, c);
        length_ += count;
    }
    std::size_t finish() {
        out_[length_] = '\0';
        return length_;
    }
    bool full() const { return length_ == usable_; }

private:
    char* out_;
    std::size_t usable_;
    std::size_t length_ = 0;
};

// Owns a copy of the caller's argument list so that it can be read from helpers.
class Arguments {
public:
    explicit Arguments(va_list args) { va_copy(list_, args); }
    ~Arguments() { va_end(list_); }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    template <typename T>
    T next() {
        return va_arg(list_, T);
    }

private:
    va_list list_;
};

enum class SizePrefix { None, Short, Long, LongLong };

struct Spec {
    bool leftAlign = false;
    bool zeroPad = false;
    bool alternate = false;
    std::size_t width = 0;
    std::optional<std::size_t> precision;
    SizePrefix size = SizePrefix::None;
    char conversion = '\0';
};

std::size_t readNumber(const char*& p) {
    std::size_t value = 0;
    while (*p >= '0' && *p <= '9') {
        value = std::min(value * 10 + static_cast<std::size_t>(*p - '0'), kMaxFieldSize);
        ++p;
    }
    return value;
}

std::size_t clippedMagnitude(int value) {
    const auto magnitude = value < 0 ? -static_cast<long long>(value) : value;
    return std::min(static_cast<std::size_t>(magnitude), kMaxFieldSize);
}

// Reads flags, width, precision and size prefix; `p` ends on the conversion character.
Spec parseSpec(const char*& p, Arguments& args) {
    Spec spec;
    for (;; ++p) {
        if (*p == '-') {
            spec.leftAlign = true;
        } else if (*p == '0') {
            spec.zeroPad = true;
        } else if (*p == '#') {
            spec.alternate = true;
        } else {
            break;
        }
    }
    if (*p == '*') {
        const int width = args.next<int>();
        spec.leftAlign = spec.leftAlign || width < 0;
        spec.width = clippedMagnitude(width);
        ++p;
    } else {
        spec.width = readNumber(p);
    }
    if (*p == '.') {
        ++p;
        if (*p == '*') {
            const int precision = args.next<int>();
            if (precision >= 0) {
                spec.precision = clippedMagnitude(precision);
            }
            ++p;
        } else {
            spec.precision = readNumber(p);
        }
    }
    const std::string_view rest(p);
    if (rest.starts_with("I64") || rest.starts_with("ll")) {
        spec.size = SizePrefix::LongLong;
        p += rest[0] == 'I' ? 3 : 2;
    } else if (rest.starts_with("I32")) {
        p += 3;
    } else if (rest.starts_with("I")) {
        spec.size = sizeof(std::size_t) == 8 ? SizePrefix::LongLong : SizePrefix::None;
        ++p;
    } else if (rest.starts_with("l")) {
        spec.size = SizePrefix::Long;
        ++p;
    } else if (rest.starts_with("h")) {
        spec.size = SizePrefix::Short;
        ++p;
    }
    spec.conversion = *p;
    return spec;
}

void putPadded(Sink& sink, const Spec& spec, std::size_t length, auto&& emit) {
    const std::size_t padding = spec.width > length ? spec.width - length : 0;
    if (!spec.leftAlign) {
        sink.repeat(' ', padding);
    }
    emit();
    if (spec.leftAlign) {
        sink.repeat(' ', padding);
    }
}

void putInteger(Sink& sink, const Spec& spec, std::uint64_t magnitude, bool negative) {
    const bool hex = spec.conversion == 'x' || spec.conversion == 'X' || spec.conversion == 'p';
    const char* digitSet = spec.conversion == 'x' ? "0123456789abcdef" : "0123456789ABCDEF";
    const unsigned base = hex ? 16 : 10;

    char digits[24];
    std::size_t digitCount = 0;
    for (std::uint64_t rest = magnitude; rest != 0; rest /= base) {
        digits[digitCount++] = digitSet[rest % base];
    }
    if (magnitude == 0 && spec.precision != std::size_t{0}) {
        digits[digitCount++] = '0';
    }
    std::string_view prefix;
    if (negative) {
        prefix = "-";
    } else if (spec.alternate && hex && magnitude != 0) {
        prefix = spec.conversion == 'x' ? "0x" : "0X";
    }
    std::size_t zeros = spec.precision.value_or(0) > digitCount ? *spec.precision - digitCount : 0;
    const std::size_t body = prefix.size() + zeros + digitCount;
    if (spec.zeroPad && !spec.leftAlign && !spec.precision && spec.width > body) {
        zeros += spec.width - body;
    }
    putPadded(sink, spec, prefix.size() + zeros + digitCount, [&] {
        sink.put(prefix);
        sink.repeat('0', zeros);
        for (std::size_t i = digitCount; i > 0; --i) {
            sink.put(digits[i - 1]);
        }
    });
}

void putSigned(Sink& sink, const Spec& spec, Arguments& args) {
    long long value = 0;
    switch (spec.size) {
        case SizePrefix::None: value = args.next<int>(); break;
        case SizePrefix::Short: value = static_cast<short>(args.next<int>()); break;
        case SizePrefix::Long: value = args.next<long>(); break;
        case SizePrefix::LongLong: value = args.next<long long>(); break;
    }
    const auto bits = static_cast<std::uint64_t>(value);
    putInteger(sink, spec, value < 0 ? 0 - bits : bits, value < 0);
}

void putUnsigned(Sink& sink, const Spec& spec, Arguments& args) {
    std::uint64_t value = 0;
    switch (spec.size) {
        case SizePrefix::None: value = args.next<unsigned>(); break;
        case SizePrefix::Short: value = static_cast<unsigned short>(args.next<unsigned>()); break;
        case SizePrefix::Long: value = args.next<unsigned long>(); break;
        case SizePrefix::LongLong: value = args.next<unsigned long long>(); break;
    }
    putInteger(sink, spec, value, false);
}

void putPointer(Sink& sink, Spec spec, Arguments& args) {
    const auto address = reinterpret_cast<std::uintptr_t>(args.next<void*>());
    spec.precision = sizeof(void*) * 2;
    spec.alternate = false;
    putInteger(sink, spec, address, false);
}

void putNarrowText(Sink& sink, const Spec& spec, const char* text) {
    const char* source = text != nullptr ? text : "(null)";
    // Never read past the precision: the text need not be terminated within it.
    const std::size_t limit = spec.precision.value_or(SIZE_MAX);
    std::size_t length = 0;
    while (length < limit && source[length] != '\0') {
        ++length;
    }
    const std::string_view shown(source, length);
    putPadded(sink, spec, shown.size(), [&] { sink.put(shown); });
}

void putWideText(Sink& sink, const Spec& spec, const char16_t* text) {
    if (text == nullptr) {
        putNarrowText(sink, spec, nullptr);
        return;
    }
    const std::size_t limit = spec.precision.value_or(SIZE_MAX);
    std::size_t units = boundedLength(text, limit);
    // A precision that ends on a high surrogate drops it rather than split a pair; the
    // unit after the limit is never read.
    if (units == limit && units > 0 && utf::isHighSurrogate(text[units - 1])) {
        --units;
    }
    const std::u16string_view shown(text, units);
    char encoded[4];
    std::size_t outputLength = 0;
    for (std::size_t pos = 0; pos < shown.size();) {
        outputLength += utf::encodeUtf8(utf::decodeUtf16(shown, pos), encoded);
    }
    putPadded(sink, spec, outputLength, [&] {
        for (std::size_t pos = 0; pos < shown.size() && !sink.full();) {
            const char32_t codePoint = utf::decodeUtf16(shown, pos);
            sink.put(std::string_view(encoded, utf::encodeUtf8(codePoint, encoded)));
        }
    });
}

void putWideChar(Sink& sink, const Spec& spec, char16_t unit) {
    const bool surrogate = utf::isHighSurrogate(unit) || utf::isLowSurrogate(unit);
    char encoded[4];
    const std::size_t length = utf::encodeUtf8(surrogate ? utf::kReplacement : unit, encoded);
    putPadded(sink, spec, length, [&] { sink.put(std::string_view(encoded, length)); });
}

}  // namespace

std::size_t formatv(char* out, std::size_t size, const char* format, va_list args) {
    if (out == nullptr || size == 0) {
        return 0;
    }
    Sink sink(out, size);
    Arguments arguments(args);
    const char* p = format != nullptr ? format : "";
    while (*p != '\0' && !sink.full()) {
        if (*p != '%') {
            sink.put(*p++);
            continue;
        }
        const char* start = p++;
        const Spec spec = parseSpec(p, arguments);
        // As in the dialect, 'l' makes %c and %s take UTF-16.
        const bool wideText = spec.size == SizePrefix::Long;
        switch (spec.conversion) {
            case '%': sink.put('%'); break;
            case 'c':
                if (wideText) {
                    putWideChar(sink, spec, static_cast<char16_t>(arguments.next<int>()));
                } else {
                    const char c = static_cast<char>(arguments.next<int>());
                    putPadded(sink, spec, 1, [&] { sink.put(c); });
                }
                break;
            case 's':
                if (wideText) {
                    putWideText(sink, spec, arguments.next<const char16_t*>());
                } else {
                    putNarrowText(sink, spec, arguments.next<const char*>());
                }
                break;
            case 'S':
                if (spec.size == SizePrefix::Short) {
                    putNarrowText(sink, spec, arguments.next<const char*>());
                } else {
                    putWideText(sink, spec, arguments.next<const char16_t*>());
                }
                break;
            case 'd':
            case 'i': putSigned(sink, spec, arguments); break;
            case 'u':
            case 'x':
            case 'X': putUnsigned(sink, spec, arguments); break;
            case 'p': putPointer(sink, spec, arguments); break;
            case '\0':
                // The format ends inside a conversion: keep what is there.
                sink.put(std::string_view(start, static_cast<std::size_t>(p - start)));
                continue;
            default:
                sink.put(std::string_view(start, static_cast<std::size_t>(p + 1 - start)));
                break;
        }
        ++p;
    }
    return sink.finish();
}

std::size_t format(char* out, std::size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::size_t length = formatv(out, size, format, args);
    va_end(args);
    return length;
}

}  // namespace platform
