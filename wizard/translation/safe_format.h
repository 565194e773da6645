#pragma once
// Formats a translated printf-style text with typed arguments. A translation comes from a
// file the user can edit, so it is never handed to printf: we parse it ourselves and, when
// its conversions do not fit the arguments (count, order or kind; %n, '*' or any other
// conversion we do not know), fall back to the built-in English format.
//
// Conversions: %s (text), %d (signed), %u (unsigned), %x and %X (hexadecimal), each with
// the flags '-', '+', ' ', '0', '#', a width and a precision (at most 256), and "%%".
// Arguments are QString or an integer type; their content is never parsed.

#include <QString>

#include <array>
#include <concepts>
#include <span>
#include <type_traits>
#include <variant>

class FormatArgument {
public:
    FormatArgument(const QString& text) : value_(text) {}
    template <std::integral Integer>
        requires(!std::same_as<Integer, bool> && !std::same_as<Integer, char> &&
                 !std::same_as<Integer, char16_t> && !std::same_as<Integer, char32_t>)
    FormatArgument(Integer number) {
        if constexpr (std::is_signed_v<Integer>) {
            value_ = static_cast<qint64>(number);
        } else {
            value_ = static_cast<quint64>(number);
        }
    }

    bool isText() const { return std::holds_alternative<QString>(value_); }
    const std::variant<QString, qint64, quint64>& value() const { return value_; }

private:
    std::variant<QString, qint64, quint64> value_;
};

// `format` with `arguments` when its conversions fit them; else `englishFormat` with them;
// else (a fault of ours) `englishFormat` as it stands.
QString SafeFormat(const QString& format, const QString& englishFormat,
                   std::span<const FormatArgument> arguments);

template <typename... Arguments>
    requires(std::constructible_from<FormatArgument, const Arguments&> && ...)
QString SafeFormat(const QString& format, const QString& englishFormat,
                   const Arguments&... arguments) {
    const std::array<FormatArgument, sizeof...(Arguments)> list{FormatArgument(arguments)...};
    return SafeFormat(format, englishFormat, std::span<const FormatArgument>(list));
}
