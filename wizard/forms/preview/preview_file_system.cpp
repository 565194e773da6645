#include "wizard/forms/preview/preview_file_system.h"

TPreviewFileSystem::TPreviewFileSystem(TBaseSortedList& list, TPreviewImageLists& images, QWidget* parent)
    : TPreviewContent(FileSystemContentSpec(), list, images, parent) {}

void TPreviewFileSystem::PreviewElement(TBaseElement& element) {
    element.SetTypeCode(static_cast<std::uint16_t>(FormatIdFromExtension(element)));
    OpenViewer(element);
}
