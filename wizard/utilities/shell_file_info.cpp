#include "wizard/utilities/shell_file_info.h"

#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>

#include <algorithm>
#include <mutex>
#include <optional>

namespace {

constexpr int kSmallIconSize = 16;
constexpr int kLargeIconSize = 32;

// The lower-cased text after the name's last dot, or empty when its last part has none.
QString extensionOf(const QString& fileName) {
    const qsizetype folder = std::max(fileName.lastIndexOf(QLatin1Char('/')),
                                      fileName.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > folder ? fileName.mid(dot + 1).toLower() : QString();
}

// The type of any file with that extension, found by name only.
QMimeType typeOfExtension(const QString& extension) {
    if (extension.isEmpty()) return {};
    const QMimeType type =
        QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + extension, QMimeDatabase::MatchExtension);
    return type.isDefault() ? QMimeType() : type;
}

QIcon iconOfExtension(const QString& extension) {
    const QMimeType type = typeOfExtension(extension);
    if (type.isValid()) {
        QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
        if (!icon.isNull()) return icon;
    }
    return QFileIconProvider().icon(QFileIconProvider::File);
}

}  // namespace

bool GetShellFileTypeName(const QString& fileName, QString& typeName) {
    static std::mutex mutex;
    static QHash<QString, std::optional<QString>> names;
    const QString extension = extensionOf(fileName);
    std::lock_guard lock(mutex);
    auto found = names.find(extension);
    if (found == names.end()) {
        const QMimeType type = typeOfExtension(extension);
        found = names.insert(extension, type.isValid() ? std::optional(type.comment()) : std::nullopt);
    }
    if (!found.value()) return false;
    typeName = *found.value();
    return true;
}

QPixmap GetShellFileIcon(const QString& fileName, bool small) {
    static QHash<QString, QPixmap> icons[2];
    const QString extension = extensionOf(fileName);
    QHash<QString, QPixmap>& cache = icons[small ? 1 : 0];
    auto found = cache.find(extension);
    if (found == cache.end()) {
        const int size = small ? kSmallIconSize : kLargeIconSize;
        found = cache.insert(extension, iconOfExtension(extension).pixmap(size, size));
    }
    return found.value();
}
