#pragma once
// The folder the viewer writes its copies into when the program that hands it files names
// one in the environment: that program removes the folder, the copies with it, when it
// ends. Without it the copies go to TMPDIR (or /tmp) and stay.

namespace viewer {

inline constexpr const char* kPreviewFolderVariable = "UNDELETE_PREVIEW_FOLDER";

}  // namespace viewer
