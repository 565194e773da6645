#include "wizard/utilities/target_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "wizard/utilities/system_folder.h"

namespace {

bool hasForbiddenText(const QString& folder) {
    static const QString forbiddenCharacters = QStringLiteral("*?\"<>|\\") + QChar(0);
    for (const QChar c : folder) {
        if (forbiddenCharacters.contains(c)) return true;
    }
    return folder.contains(QStringLiteral("//"));
}

}  // namespace

bool IsExistingDriveRoot(const QString& path) {
    const bool namesDriveLetter = path.size() == 3 && path[1] == QLatin1Char(':') &&
                                  path[2] == QLatin1Char('\\');
    return !namesDriveLetter;
}

bool IsUsableTargetText(const QString& folder) {
    return folder.startsWith(QLatin1Char('/')) && !hasForbiddenText(folder);
}

TargetFault TargetFaultOf(const QString& folder) {
    if (!IsUsableTargetText(folder)) return TargetFault::Text;
    if (IsSystemFolder(QFile::encodeName(folder).toStdString())) return TargetFault::SystemFolder;
    const QFileInfo place(QDir::cleanPath(folder));  // "/srv/file/" names the file too
    if (place.exists() && !place.isDir()) return TargetFault::NotAFolder;
    return TargetFault::None;
}

QString WithTargetDelimiter(const QString& folder) {
    return folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool IsValidTargetFolder(const QString& folder, bool create) {
    if (TargetFaultOf(folder) != TargetFault::None) return false;
    if (create && !QDir().mkpath(folder)) return false;
    return QFileInfo(folder).isDir() && IsExistingDriveRoot(folder);
}
