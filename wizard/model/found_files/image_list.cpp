#include "wizard/model/found_files/image_list.h"

int TImageList::Add(const QPixmap& picture) {
    const QSize size(side_, side_);
    pictures_.push_back(picture.size() == size ? picture
                                               : picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return Count() - 1;
}

QPixmap TImageList::At(int index) const {
    if (index < 0 || index >= Count()) return {};
    return pictures_[static_cast<std::size_t>(index)];
}
