#include "wizard/recovery/file_name_rules.h"

#include <QStringList>

#include "wizard/utilities/drive_prefix.h"

namespace {

bool IsForbidden(QChar c) {
    static const QString kForbidden = QStringLiteral("/\\:*?\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7F || kForbidden.contains(c);
}

// The length of the longest prefix of at most `maxBytes` that ends on a character
// boundary.
std::size_t BoundaryCut(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
}

}  // namespace

std::string SafeName(const QString& name) {
    QString safe = name;
    for (QChar& c : safe) {
        if (IsForbidden(c)) c = QLatin1Char('_');
    }
    if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String("..")) {
        return "_";
    }
    const std::string bytes = safe.toStdString();
    const NameParts parts = SplitExtension(bytes);
    return FitName(parts.base, parts.extension);
}

std::vector<std::string> SafeFolderParts(const QString& enginePath) {
    QStringList parts = StripDrivePrefix(enginePath).split(QLatin1Char('\\'));
    while (!parts.isEmpty() && parts.front().isEmpty()) parts.removeFirst();
    while (!parts.isEmpty() && parts.back().isEmpty()) parts.removeLast();
    std::vector<std::string> safe;
    safe.reserve(static_cast<std::size_t>(parts.size()));
    for (const QString& part : parts) safe.push_back(SafeName(part));
    return safe;
}

NameParts SplitExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.size() - dot > kMaxExtensionBytes) {
        return {std::string(name), {}};
    }
    return {std::string(name.substr(0, dot)), std::string(name.substr(dot))};
}

std::string FitName(std::string_view base, std::string_view extension, std::size_t maxBytes) {
    if (extension.size() >= maxBytes) {
        extension = extension.substr(0, BoundaryCut(extension, maxBytes));
        return std::string(extension);
    }
    std::string fitted(base.substr(0, BoundaryCut(base, maxBytes - extension.size())));
    fitted += extension;
    return fitted;
}

std::string NumberedName(const NameParts& name, int n) {
    std::string suffix = std::to_string(n);
    suffix.insert(suffix.begin(), '_');
    const std::size_t tail = suffix.size() + name.extension.size();
    const std::string_view base = name.base;
    std::string numbered(base.substr(0, BoundaryCut(base, kMaxNameBytes - tail)));
    return numbered + suffix + name.extension;
}
