#include "wizard/utilities/known_folders.h"

#include <QCoreApplication>
#include <QStandardPaths>

QString GetProgramFolder() {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

QString GetSpecialFolderPath(int csidl) {
    if (csidl != CSIDL_PERSONAL) return {};
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString DefaultTargetFolder() {
    const QString documents = GetSpecialFolderPath(CSIDL_PERSONAL);
    if (documents.isEmpty()) return {};
    return documents + QStringLiteral("/Recovered Files/");
}
