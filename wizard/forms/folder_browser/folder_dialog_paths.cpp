#include "wizard/forms/folder_browser/folder_dialog_paths.h"

namespace {

constexpr QChar kDelimiter = u'/';

// The text after the first delimiter; the whole text when it has none.
QString AfterFirstDelimiter(const QString& text) { return text.mid(text.indexOf(kDelimiter) + 1); }

}  // namespace

QString ShortenStatusPath(const QString& path, int limit) {
    if (limit >= path.size() || limit <= 5 || !path.contains(kDelimiter)) return path.left(limit);
    if (path.mid(2).count(kDelimiter) < 2) return path.left(limit);

    // The drive part: everything up to and including the first delimiter.
    const QString result = path.left(path.indexOf(kDelimiter) + 1) + QStringLiteral("...");
    QString rest = path;
    do {
        rest = AfterFirstDelimiter(rest);
    } while (result.size() + rest.size() + 1 > limit && rest.contains(kDelimiter));
    if (result.size() + rest.size() + 1 > limit) {
        return (result + kDelimiter + rest).left(limit - 3) + QStringLiteral("...");
    }
    return result + kDelimiter + rest;
}

QString JoinNewFolderPath(const QString& folder, const QString& name) {
    if (name.startsWith(kDelimiter) || folder.endsWith(kDelimiter)) return folder + name;
    return folder + kDelimiter + name;
}
