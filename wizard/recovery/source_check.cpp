#include "wizard/recovery/source_check.h"

#include <QFile>

#include "wizard/utilities/same_drive.h"

bool FolderOnSource(const QString& folder, const SourceCheck& onSource) {
    struct stat status {};
    return onSource && !folder.isEmpty() &&
           NearestExistingStatus(QFile::encodeName(folder).toStdString(), status) && onSource(status);
}
