#include "wizard/translation/language_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex folderMutex;
QString chosenFolder;  // guarded by folderMutex; empty: the program folder

QString WithTrailingSlash(QString folder) {
    if (!folder.endsWith(u'/')) {
        folder += u'/';
    }
    return folder;
}

}  // namespace

QString LanguageFolder() {
    {
        QMutexLocker lock(&folderMutex);
        if (!chosenFolder.isEmpty()) {
            return chosenFolder;
        }
    }
    return WithTrailingSlash(QCoreApplication::applicationDirPath());
}

void SetLanguageFolder(const QString& folder) {
    QMutexLocker lock(&folderMutex);
    chosenFolder = folder.isEmpty() ? QString() : WithTrailingSlash(folder);
}

bool IsPlainLanguageFileName(const QString& fileName) {
    return !fileName.isEmpty() && !fileName.contains(u'/') && !fileName.contains(u'\\') &&
           !fileName.contains(QStringLiteral("..")) && !fileName.contains(QChar(0));
}

QString LanguageCaption(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QLocale locale;
    const QString lower = locale.toLower(dot < 0 ? fileName : fileName.first(dot));
    if (lower.isEmpty()) {
        return lower;
    }
    // The first character may be a surrogate pair.
    const qsizetype firstLength = lower[0].isHighSurrogate() && lower.size() > 1 ? 2 : 1;
    return locale.toUpper(lower.first(firstLength)) + lower.sliced(firstLength);
}

QString LanguageFileNameForCaption(const QString& caption) {
    return caption + QStringLiteral(".lng");
}

QStringList ListLanguageFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name);
}

QString FindLanguageFile(const QString& folder, const QString& fileName) {
    if (!IsPlainLanguageFileName(fileName)) {
        return {};
    }
    const QDir directory(folder);
    if (QFileInfo::exists(directory.filePath(fileName))) {
        return directory.filePath(fileName);
    }
    const QStringList names =
        directory.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names) {
        if (name.compare(fileName, Qt::CaseInsensitive) == 0) {
            return directory.filePath(name);
        }
    }
    return {};
}
