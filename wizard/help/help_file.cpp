#include "wizard/help/help_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex helpFileMutex;
QString chosenHelpFile;  // guarded by helpFileMutex; empty: beside the program

}  // namespace

QString ApplicationHelpFile() {
    {
        QMutexLocker lock(&helpFileMutex);
        if (!chosenHelpFile.isEmpty()) {
            return chosenHelpFile;
        }
    }
    return QDir(QCoreApplication::applicationDirPath()).filePath(kHelpFolderName);
}

void SetApplicationHelpFile(const QString& path) {
    QMutexLocker lock(&helpFileMutex);
    chosenHelpFile = path;
}

QString HelpFileForRequest(const QString& name) {
    const QString file = name.isEmpty() ? ApplicationHelpFile() : name;
    return QFileInfo(file).isDir() ? file : QString();
}

bool IsInsideHelpFolder(const QString& helpFolder, const QString& path) {
    const QString folder = QFileInfo(helpFolder).canonicalFilePath();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (folder.isEmpty() || canonical.isEmpty()) {
        return false;
    }
    return canonical.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

QString ResolveHelpTopic(const QString& helpFolder, const QString& topic) {
    // A topic path is rooted at the help folder: one leading '/' belongs to it, and what
    // follows must be relative ("//etc/passwd" is not).
    const QString relative = topic.startsWith(u'/') ? topic.sliced(1) : topic;
    if (relative.isEmpty() || QDir::isAbsolutePath(relative) || relative.contains(QChar(0))) {
        return {};
    }
    const QFileInfo file(QDir(helpFolder).filePath(relative));
    if (!file.isFile() || !IsInsideHelpFolder(helpFolder, file.filePath())) {
        return {};
    }
    return file.canonicalFilePath();
}
