#pragma once
// The preview page of the file-system scan's list.

#include "wizard/forms/preview/preview_content.h"

class TPreviewFileSystem final : public TPreviewContent {
    Q_OBJECT

public:
    TPreviewFileSystem(TBaseSortedList& list, TPreviewImageLists& images, QWidget* parent = nullptr);

protected:
    // The viewer gets the program's type id for the file's name (0xFFFF when no format
    // has its extension), which stays in the element.
    void PreviewElement(TBaseElement& element) override;
};
