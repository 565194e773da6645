#pragma once
// Whether an image file would land on the source it copies. Writing it there would
// overwrite the very data being saved, so such a target is refused.

#include <sys/stat.h>

#include <string>

namespace engine::image {

// Checked before the target is opened: the same path, the same file under another name,
// the source device itself, or a file whose file system lives on the source device (a
// partition of a source disk included). A target that does not exist yet is judged by
// the folder it would be made in.
bool targetOnSource(const std::string& target, const std::string& source);

// Checked again on the opened target, so that nothing swapped in between slips through.
bool openedTargetOnSource(const struct stat& target, const std::string& source);

}  // namespace engine::image
