#include "wizard/utilities/text/text_helpers.h"

#include <QStringView>

#include <algorithm>

#include "platform/text.h"

namespace {

constexpr std::size_t kNarrowLimit = 2048;

}  // namespace

QString WideToNarrow(std::u16string_view text) {
    text = text.substr(0, std::min(text.find(u'\0'), text.size()));
    if (text.size() > kNarrowLimit) return {};
    // Copied unit for unit: a decoding conversion would drop a leading byte-order mark.
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

QString WideToNarrow(const char16_t* text) {
    if (text == nullptr) return {};
    return WideToNarrow(std::u16string_view(text, platform::boundedLength(text, kNarrowLimit + 1)));
}

QStringList SplitCommaList(const QString& text) {
    const QString prepared = text.trimmed().toUpper();
    if (prepared.isEmpty()) return {};
    QStringList parts = prepared.split(QLatin1Char(','));
    std::reverse(parts.begin(), parts.end());
    return parts;
}

int NthOccurrence(const QString& sub, const QString& text, int n) {
    if (sub.isEmpty() || n < 1) return 0;
    qsizetype found = -1;
    for (int i = 0; i < n; ++i) {
        found = text.indexOf(sub, found + 1);
        if (found < 0) return 0;
    }
    return static_cast<int>(found + 1);
}

QString TextAfterDoubleSlash(const QString& text) {
    const qsizetype at = text.indexOf(QStringLiteral("//"));
    return at < 0 ? text : text.mid(at + 2);
}
