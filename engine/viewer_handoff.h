#pragma once
// Hands a found file to the external viewer: the file's data goes into a fresh named
// block of shared memory and the viewer program is started with the block's name as
// its last argument and two more environment variables:
//   FileSig=<type id, 0..65535>   FileSize=<low 32 bits of the size, as a signed number>
// The block is sized to whole 512-byte sectors and lives until the next hand-off (or the
// end of the process), so the viewer can open it after the engine has let go of its view.
//
// The viewer command is UNDELETE_VIEWER when set (a program and arguments separated by
// blanks), else the "undelete-viewer" program beside the engine library, else on PATH.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/records.h"

namespace engine::viewer {

inline constexpr const char* kViewerCommandVariable = "UNDELETE_VIEWER";
inline constexpr const char* kViewerProgramName = "undelete-viewer";
inline constexpr const char* kBlockNamePrefix = "/KelvorinDocMemory";

// Reads `size` bytes from the start of the file into `buffer`; returns the bytes read.
using FileReader =
    std::function<std::uint64_t(FoundFileRecord& record, void* buffer, std::uint64_t size)>;

// Errors are shown with a "Viewer error" message box; the result is always 0.
int openViewer(const FoundFileRecord& record, const FileReader& read);

// The viewer's command line without the block name.
std::vector<std::string> viewerCommand();

}  // namespace engine::viewer
