#pragma once
// The guard against writing recovered files onto the drive they come from.

#include <sys/stat.h>

#include <QString>

#include <functional>

// Whether writing at a place with that status would write onto the source of the files
// being recovered: the status of a folder (its st_dev against the source drive) or of an
// existing file (against a source image file). The main window decides it from the
// drive's source identity.
using SourceCheck = std::function<bool(const struct stat& target)>;

// Whether `folder`, or, while it does not exist yet, the nearest folder above it that
// does, lies on the source: where the folder would be made.
bool FolderOnSource(const QString& folder, const SourceCheck& onSource);

// The same check, asked once per device for folders: whether a folder lies on the source
// depends on its device alone, and for a block device the answer reads sysfs and the
// mount table. Files are asked each time (an image file is told apart by its inode).
SourceCheck FoldersCheckedOncePerDevice(SourceCheck onSource);
