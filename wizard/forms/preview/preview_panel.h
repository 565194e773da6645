#pragma once
// The preview panel below a found-file list: the picture of one element and its name,
// condition, creation time, size and type. Hidden at start; its values read "n/a" until
// it is first filled.

#include <QScrollArea>

#include "wizard/model/found_files/base_element.h"
#include "wizard/model/found_files/preview_image_lists.h"

class QLabel;

class TPreviewPanel final : public QScrollArea {
    Q_OBJECT

public:
    // Components are named after `prefix`: prefix + "ScrollBox", "PreviewImage", ...
    TPreviewPanel(const QString& prefix, TPreviewImageLists& images, QWidget* parent = nullptr);

    // Shows the element. Its picture is asked of the engine once (kept in PreviewIndex);
    // without one, or for a file of unknown size (which the engine is never asked about),
    // the placeholder of its extension stands in.
    void ShowElement(TBaseElement& element);

private:
    int PictureIndex(TBaseElement& element);

    TPreviewImageLists& images_;
    QLabel* picture_;
    QLabel* name_;
    QLabel* condition_;
    QLabel* created_;
    QLabel* size_;
    QLabel* type_;
};
