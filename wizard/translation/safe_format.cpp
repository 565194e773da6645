#include "wizard/translation/safe_format.h"

#include <optional>
#include <vector>

namespace {

// A larger field would only let a hostile translation allocate without bound.
constexpr int kMaxFieldSize = 256;

struct Conversion {
    qsizetype literalStart = 0;  // the literal text before this conversion
    qsizetype literalEnd = 0;
    char16_t type = 0;  // 's', 'd', 'u', 'x', 'X'; 0 ends the list (only a literal)
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool alternate = false;
    bool zeroPad = false;
    int width = 0;
    int precision = -1;  // -1: none
};

// Reads up to kMaxFieldSize from the digits at `position`; nullopt when larger.
std::optional<int> ReadNumber(const QString& format, qsizetype& position) {
    int number = 0;
    while (position < format.size() && format[position] >= u'0' && format[position] <= u'9') {
        number = number * 10 + (format[position].unicode() - u'0');
        if (number > kMaxFieldSize) {
            return std::nullopt;
        }
        ++position;
    }
    return number;
}

bool ReadFlags(const QString& format, qsizetype& position, Conversion& conversion) {
    for (; position < format.size(); ++position) {
        switch (format[position].unicode()) {
            case u'-': conversion.leftAlign = true; break;
            case u'+': conversion.plusSign = true; break;
            case u' ': conversion.spaceSign = true; break;
            case u'#': conversion.alternate = true; break;
            case u'0': conversion.zeroPad = true; break;
            default: return true;
        }
    }
    return false;
}

// Splits `format` into conversions, each with the literal before it; "%%" stays inside the
// literals. The last entry (type 0) holds the trailing literal. nullopt for a bad format.
std::optional<std::vector<Conversion>> Parse(const QString& format) {
    std::vector<Conversion> conversions;
    qsizetype literalStart = 0;
    qsizetype position = 0;
    while ((position = format.indexOf(u'%', position)) >= 0) {
        if (position + 1 < format.size() && format[position + 1] == u'%') {
            position += 2;
            continue;
        }
        Conversion conversion;
        conversion.literalStart = literalStart;
        conversion.literalEnd = position;
        ++position;
        if (!ReadFlags(format, position, conversion)) {
            return std::nullopt;
        }
        const std::optional<int> width = ReadNumber(format, position);
        if (!width) {
            return std::nullopt;
        }
        conversion.width = *width;
        if (position < format.size() && format[position] == u'.') {
            ++position;
            const std::optional<int> precision = ReadNumber(format, position);
            if (!precision) {
                return std::nullopt;
            }
            conversion.precision = *precision;
        }
        if (position >= format.size()) {
            return std::nullopt;
        }
        const char16_t type = format[position].unicode();
        if (type != u's' && type != u'd' && type != u'u' && type != u'x' && type != u'X') {
            return std::nullopt;
        }
        conversion.type = type;
        conversions.push_back(conversion);
        literalStart = ++position;
    }
    Conversion tail;
    tail.literalStart = literalStart;
    tail.literalEnd = format.size();
    conversions.push_back(tail);
    return conversions;
}

bool Fits(const std::vector<Conversion>& conversions, std::span<const FormatArgument> arguments) {
    if (conversions.size() != arguments.size() + 1) {
        return false;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if ((conversions[i].type == u's') != arguments[i].isText()) {
            return false;
        }
    }
    return true;
}

void AppendLiteral(QString& out, QStringView literal) {
    for (qsizetype i = 0; i < literal.size(); ++i) {
        out += literal[i];
        if (literal[i] == u'%') {
            ++i;  // the second '%' of "%%"
        }
    }
}

void AppendPadded(QString& out, const Conversion& conversion, const QString& prefix,
                  const QString& body) {
    const qsizetype padding = conversion.width - prefix.size() - body.size();
    if (padding <= 0) {
        out += prefix + body;
    } else if (conversion.leftAlign) {
        out += prefix + body + QString(padding, u' ');
    } else if (conversion.zeroPad && conversion.precision < 0 && conversion.type != u's') {
        out += prefix + QString(padding, u'0') + body;
    } else {
        out += QString(padding, u' ') + prefix + body;
    }
}

void AppendInteger(QString& out, const Conversion& conversion, const FormatArgument& argument) {
    bool negative = false;
    quint64 magnitude = 0;
    if (const auto* value = std::get_if<qint64>(&argument.value())) {
        negative = *value < 0 && conversion.type == u'd';
        // %u and %x show a negative number as its 64-bit two's complement.
        magnitude = negative ? 0 - static_cast<quint64>(*value) : static_cast<quint64>(*value);
    } else {
        magnitude = std::get<quint64>(argument.value());
    }
    const bool hexadecimal = conversion.type == u'x' || conversion.type == u'X';
    QString digits = (conversion.precision == 0 && magnitude == 0)
                         ? QString()
                         : QString::number(magnitude, hexadecimal ? 16 : 10);
    if (conversion.type == u'X') {
        digits = digits.toUpper();
    }
    if (digits.size() < conversion.precision) {
        digits.prepend(QString(conversion.precision - digits.size(), u'0'));
    }
    QString prefix;
    if (conversion.type == u'd') {
        prefix = negative               ? QStringLiteral("-")
                 : conversion.plusSign  ? QStringLiteral("+")
                 : conversion.spaceSign ? QStringLiteral(" ")
                                        : QString();
    } else if (hexadecimal && conversion.alternate && magnitude != 0) {
        prefix = conversion.type == u'X' ? QStringLiteral("0X") : QStringLiteral("0x");
    }
    AppendPadded(out, conversion, prefix, digits);
}

QString Render(const QString& format, const std::vector<Conversion>& conversions,
               std::span<const FormatArgument> arguments) {
    QString out;
    for (std::size_t i = 0; i < conversions.size(); ++i) {
        const Conversion& conversion = conversions[i];
        AppendLiteral(out,
                      QStringView(format).sliced(conversion.literalStart,
                                                 conversion.literalEnd - conversion.literalStart));
        if (conversion.type == u's') {
            const QString& text = std::get<QString>(arguments[i].value());
            AppendPadded(out, conversion, QString(),
                         conversion.precision >= 0 ? text.left(conversion.precision) : text);
        } else if (conversion.type != 0) {
            AppendInteger(out, conversion, arguments[i]);
        }
    }
    return out;
}

}  // namespace

QString SafeFormat(const QString& format, const QString& englishFormat,
                   std::span<const FormatArgument> arguments) {
    for (const QString* candidate : {&format, &englishFormat}) {
        const std::optional<std::vector<Conversion>> conversions = Parse(*candidate);
        if (conversions && Fits(*conversions, arguments)) {
            return Render(*candidate, *conversions, arguments);
        }
    }
    return englishFormat;
}
