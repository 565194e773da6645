#include "wizard/app/preview_folder_unit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

#include "viewer/preview_folder.h"

namespace {

std::optional<QTemporaryDir>& previewFolder() {
    static std::optional<QTemporaryDir> folder;
    return folder;
}

}  // namespace

void PreviewFolderInit() {
    // Readable by this user only, as the found files may be private.
    QTemporaryDir& folder =
        previewFolder().emplace(QDir::tempPath() + QStringLiteral("/PramblexPro-preview-XXXXXX"));
    // Without it the viewer falls back to the temporary folder.
    if (folder.isValid()) qputenv(viewer::kPreviewFolderVariable, QFile::encodeName(folder.path()));
}

void PreviewFolderDone() {
    qunsetenv(viewer::kPreviewFolderVariable);
    previewFolder().reset();
}
