#include "wizard/model/found_files/file_type_name.h"

#include <QString>

#include "wizard/utilities/shell_file_info.h"

std::string FileTypeNameOfExtension(std::string_view extension) {
    if (extension.empty()) return {};
    QString typeName;
    const QString name = QStringLiteral("file") +
                         QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size()));
    return GetShellFileTypeName(name, typeName) ? typeName.toStdString() : std::string();
}
