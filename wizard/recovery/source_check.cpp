#include "wizard/recovery/source_check.h"

#include <QDir>
#include <QFile>

bool FolderOnSource(const QString& folder, const SourceCheck& onSource) {
    if (!onSource) return false;
    QString existing = QDir::cleanPath(folder);
    struct stat status {};
    while (::stat(QFile::encodeName(existing).constData(), &status) != 0) {
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0) {
            if (existing == QLatin1String("/")) return false;
            existing = QStringLiteral("/");
        } else {
            existing.truncate(slash);
        }
    }
    return onSource(status);
}
