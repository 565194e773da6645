#include "wizard/utilities/drive_prefix.h"

namespace {

// "\\server\share\rest" gives "rest"; empty when the server or the share is missing.
QString belowNetworkShare(const QString& path) {
    const qsizetype serverEnd = path.indexOf(QLatin1Char('\\'), 2);
    if (serverEnd <= 2) return {};
    const qsizetype shareEnd = path.indexOf(QLatin1Char('\\'), serverEnd + 1);
    if (shareEnd == serverEnd + 1 || shareEnd < 0) return {};
    return path.mid(shareEnd + 1);
}

}  // namespace

QString StripDrivePrefix(const QString& path) {
    if (path.startsWith(QStringLiteral("\\\\"))) return belowNetworkShare(path);
    if (path.size() >= 2 && path[1] == QLatin1Char(':')) {
        if (path.size() > 3 && path[2] == QLatin1Char('\\')) return path.mid(3);
        return {};
    }
    return path;
}
