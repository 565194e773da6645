#pragma once
// A list of pictures of one size, reached by index, that only grows. GUI thread only: the
// rows keep indexes into it (IconIndex, ThumbnailIndex, PreviewIndex).

#include <QPixmap>

#include <vector>

class TImageList {
public:
    explicit TImageList(int side) : side_(side) {}

    int Side() const { return side_; }
    int Count() const { return static_cast<int>(pictures_.size()); }
    // Adds a copy, scaled to the list's size when it has another; returns its index.
    int Add(const QPixmap& picture);
    // A null picture for an index outside the list.
    QPixmap At(int index) const;

private:
    int side_;
    std::vector<QPixmap> pictures_;
};
