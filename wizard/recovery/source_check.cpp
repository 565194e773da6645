#include "wizard/recovery/source_check.h"

#include <QFile>

#include <memory>
#include <unordered_map>

#include "wizard/utilities/same_drive.h"

bool FolderOnSource(const QString& folder, const SourceCheck& onSource) {
    struct stat status {};
    return onSource && !folder.isEmpty() &&
           NearestExistingStatus(QFile::encodeName(folder).toStdString(), status) && onSource(status);
}

SourceCheck FoldersCheckedOncePerDevice(SourceCheck onSource) {
    auto folderDevices = std::make_shared<std::unordered_map<dev_t, bool>>();
    return [onSource = std::move(onSource), folderDevices](const struct stat& status) {
        if (!S_ISDIR(status.st_mode)) return onSource(status);
        const auto [known, added] = folderDevices->try_emplace(status.st_dev, false);
        if (added) known->second = onSource(status);
        return known->second;
    };
}
