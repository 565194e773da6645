#include "wizard/utilities/version_info.h"

#include <QFileInfo>

namespace {

// The running program's file, whatever it was started as.
const QString kProgramFile = QStringLiteral("/proc/self/exe");

QDateTime toDosResolution(QDateTime time) {
    if (!time.isValid()) {
        return time;
    }
    const QTime clock = time.time();
    time.setTime(QTime(clock.hour(), clock.minute(), clock.second() - clock.second() % 2));
    return time;
}

}  // namespace

QString buildTextOf(const QString& fileVersion) {
    qsizetype dot = -1;
    for (int found = 0; found < 3; ++found) {
        dot = fileVersion.indexOf(QLatin1Char('.'), dot + 1);
        if (dot < 0) {
            return fileVersion;
        }
    }
    return fileVersion.mid(dot + 1);
}

VersionInfo readVersionInfo() {
    VersionInfo info;
    info.fileDescription = QStringLiteral("Pramblex Pro file recovery wizard");
    info.productName = kProductName;
    info.productVersion = QStringLiteral(PRAMBLEX_VERSION);
    info.fileVersion = QStringLiteral(PRAMBLEX_VERSION "." PRAMBLEX_BUILD);
    info.build = buildTextOf(info.fileVersion);
    info.releaseDate = toDosResolution(QFileInfo(kProgramFile).lastModified());
    return info;
}
