// The viewer export: reads the file through FileRead of the current drive.

#include "engine/exports.h"
#include "engine/viewer_handoff.h"

UNDELETE_API int FileOpenViewer(FoundFileRecord* record) {
    if (!record) return 0;
    return engine::viewer::openViewer(*record, [](FoundFileRecord& own, void* buffer,
                                                  std::uint64_t size) {
        return FileRead(&own, buffer, 0, size);
    });
}
