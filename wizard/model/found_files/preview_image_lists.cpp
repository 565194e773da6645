#include "wizard/model/found_files/preview_image_lists.h"

#include <QPainter>

#include "wizard/utilities/pictures/stock_pictures.h"
#include "wizard/utilities/shell_file_info.h"

namespace {

// Where the large icon sits on a 96 x 96 placeholder: in the middle.
constexpr int kIconOffset = 32;

QString ExtensionKey(const TBaseElement& element) { return QString::fromStdString(element.Ext()).toLower(); }

// A name the desktop gives the icon of the element's extension for.
QString IconFileName(const QString& extension) { return QStringLiteral("file") + extension; }

}  // namespace

TPreviewImageLists::TPreviewImageLists() {
    FilesImages.Add(SortMarkPicture(true));
    FilesImages.Add(SortMarkPicture(false));
    for (TImageList* list : {&ImageListTrumbnails, &ImageList1}) {
        list->Add(LoadingPicture());
        list->Add(NoPreviewPicture());
        list->Add(BlankPicture());
    }
}

int TPreviewImageLists::IconIndexOf(TBaseElement& element) {
    if (element.IconIndex() < 0) {
        const QString extension = ExtensionKey(element);
        auto found = iconOfExtension_.find(extension);
        if (found == iconOfExtension_.end()) {
            found =
                iconOfExtension_.insert(extension, FilesImages.Add(GetShellFileIcon(IconFileName(extension), true)));
        }
        element.SetIconIndex(found.value());
    }
    return element.IconIndex();
}

int TPreviewImageLists::ThumbnailPlaceholder(const TBaseElement& element) {
    return Placeholder(ImageListTrumbnails, thumbnailPlaceholders_, element);
}

int TPreviewImageLists::PreviewPlaceholder(const TBaseElement& element) {
    return Placeholder(ImageList1, previewPlaceholders_, element);
}

int TPreviewImageLists::Placeholder(TImageList& list, QHash<QString, int>& made, const TBaseElement& element) {
    const bool previewExpected = element.IsPreviewAvailable();
    const QString extension = ExtensionKey(element);
    const QString key = extension + (previewExpected ? u'|' : u'-');
    if (const auto found = made.constFind(key); found != made.cend()) return found.value();
    QPixmap picture = list.At(previewExpected ? kNoPreview : kBlank);
    {
        QPainter painter(&picture);
        painter.drawPixmap(kIconOffset, kIconOffset, GetShellFileIcon(IconFileName(extension), false));
    }
    const int index = list.Add(picture);
    made.insert(key, index);
    return index;
}
