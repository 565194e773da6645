#include "wizard/utilities/text/file_mask_list.h"

#include <optional>
#include <string>

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

}  // namespace

QStringList SplitMaskList(QStringView masks) {
    QStringList result;
    qsizetype at = 0;
    const qsizetype size = masks.size();
    bool separatorPending = false;  // a ";" was read and no mask has followed it yet
    while (true) {
        while (at < size && isBlank(masks[at])) ++at;
        if (at == size) break;
        if (masks[at] == QLatin1Char(';')) {
            if (separatorPending || result.isEmpty()) result.append(QString());
            separatorPending = true;
            ++at;
            continue;
        }
        QString mask;
        bool quoted = false;
        for (; at < size && (quoted || (!isBlank(masks[at]) && masks[at] != QLatin1Char(';')));
             ++at) {
            if (masks[at] == QLatin1Char('"')) {
                quoted = !quoted;
            } else {
                mask.append(masks[at]);
            }
        }
        result.append(mask);
        separatorPending = false;
    }
    if (separatorPending) result.append(QString());
    return result;
}

FileMaskList::FileMaskList(QStringView masks) {
    for (const QString& mask : SplitMaskList(masks)) masks_.emplace_back(mask);
}

bool FileMaskList::matches(QStringView fileName) const {
    thread_local std::u32string folded;
    FoldFileName(fileName, folded);
    for (const FileMask& mask : masks_) {
        if (mask.matches(folded)) return true;
    }
    return false;
}

bool MatchesFileMask(const QString& fileName, const QString& masks) {
    if (masks == QStringLiteral("*.*")) return true;
    thread_local QString compiledText;
    thread_local std::optional<FileMaskList> compiled;
    if (!compiled || compiledText != masks) {
        compiled.emplace(masks);
        compiledText = masks;
    }
    return compiled->matches(fileName);
}
