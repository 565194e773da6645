#pragma once
// The pictures of the found-file lists, shared by both lists: small icons for the report
// view, thumbnails for the thumbnail view and the pictures of the preview panels. Icons
// and the placeholders that stand for a missing thumbnail depend on the file's extension
// alone, so each is made once per extension and shared by every element that has it.
// GUI thread only.

#include <QHash>
#include <QImage>
#include <QString>

#include "wizard/model/found_files/base_element.h"
#include "wizard/model/found_files/image_list.h"

class TPreviewImageLists {
public:
    // Stock images of FilesImages.
    static constexpr int kAscendingMark = 0;
    static constexpr int kDescendingMark = 1;
    // Stock images of ImageListTrumbnails and ImageList1.
    static constexpr int kLoading = 0;
    static constexpr int kNoPreview = 1;
    static constexpr int kBlank = 2;

    TPreviewImageLists();
    TPreviewImageLists(const TPreviewImageLists&) = delete;
    TPreviewImageLists& operator=(const TPreviewImageLists&) = delete;

    // 16 x 16: the two sort marks, then one icon per extension.
    TImageList FilesImages{16};
    // 96 x 96: loading, no preview, blank, then thumbnails and placeholders.
    TImageList ImageListTrumbnails{96};
    // 96 x 96: the same stock images, then the preview panels' pictures.
    TImageList ImageList1{96};

    // The element's IconIndex, looked up first when it has none.
    int IconIndexOf(TBaseElement& element);
    // The picture for an element without a thumbnail of its own: the no-preview sign when
    // its format promises a preview, else blank, with the element's large icon in the
    // middle. Indexes into ImageListTrumbnails and ImageList1.
    int ThumbnailPlaceholder(const TBaseElement& element);
    int PreviewPlaceholder(const TBaseElement& element);

private:
    int Placeholder(TImageList& list, QHash<QString, int>& made, const TBaseElement& element);

    QHash<QString, int> iconOfExtension_;
    QHash<QString, int> thumbnailPlaceholders_;
    QHash<QString, int> previewPlaceholders_;
};
