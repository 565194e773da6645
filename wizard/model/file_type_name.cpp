#include "wizard/model/file_type_name.h"

#include <QMimeDatabase>
#include <QString>

std::string FileTypeNameOfExtension(std::string_view extension) {
    if (extension.empty()) return {};
    const QString name = QStringLiteral("file") +
                         QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size()));
    const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    return type.isDefault() ? std::string() : type.comment().toStdString();
}
