#include "wizard/forms/preview_file_system.h"

TPreviewFileSystem::TPreviewFileSystem(TBaseSortedList& list, TPreviewImageLists& images, QWidget* parent)
    : TPreviewPage(FileSystemPageSpec(), list, images, parent) {}

void TPreviewFileSystem::PreviewElement(TBaseElement& element) {
    element.SetTypeCode(static_cast<std::uint16_t>(FormatIdFromExtension(element)));
    OpenViewer(element);
}
