#include "wizard/help_file.h"

namespace {

QString& helpFile() {
    static QString path = QString::fromLatin1(kHelpFolderName);
    return path;
}

}  // namespace

QString ApplicationHelpFile() { return helpFile(); }
void SetApplicationHelpFile(const QString& path) { helpFile() = path; }
