#pragma once
// The preview page of the sector scan's list. Its rows show check boxes, which nothing
// reads: every action works on the selection.

#include "wizard/forms/preview/preview_content.h"

class TPreviewDriveSectors final : public TPreviewContent {
    Q_OBJECT

public:
    TPreviewDriveSectors(TBaseSortedList& list, TPreviewImageLists& images, QWidget* parent = nullptr);

    // After a confirmation, every selected element's size becomes unknown, so that the
    // recovery asks for one.
    void MiResetFileSizeClick();

protected:
    // A file of unknown size first gets its format's default size (DefaultSizeOf), which
    // it keeps: the list shows it and the recovery uses it.
    void PreviewElement(TBaseElement& element) override;
};
