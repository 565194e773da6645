// The exports that write and load drive image files.

#include "engine/disk/drive_image.h"
#include "engine/engine_state.h"
#include "engine/exports.h"
#include "platform/text.h"

UNDELETE_API HANDLE DriveImageCreate(ImageRequest* request) {
    CStorageArray* drives = engine::state().drives.get();
    return drives ? engine::image::StartCreateImage(*drives, request) : nullptr;
}

UNDELETE_API CDrive* DriveImageLoad(const char16_t* imagePath) {
    CStorageArray* drives = engine::state().drives.get();
    if (!drives || !imagePath) return nullptr;
    const std::size_t length = platform::boundedLength(imagePath, engine::image::kPathCapacity);
    return engine::image::LoadImage(*drives, platform::toUtf8(std::u16string_view(imagePath, length))).get();
}
