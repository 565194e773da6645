#pragma once
// The stock pictures of the found-file lists, drawn in code: the header's sort marks and
// the three 96 x 96 pictures a thumbnail shows before or instead of the file's own.

#include <QPixmap>

inline constexpr int kSortMarkSide = 16;
inline constexpr int kThumbnailSide = 96;

// A grey triangle pointing up (ascending) or down (descending) on a clear background.
QPixmap SortMarkPicture(bool ascending);

// White with the words "Loading...": no thumbnail yet.
QPixmap LoadingPicture();
// White with a faint red circle and bar: a preview was expected but none could be made.
QPixmap NoPreviewPicture();
// Plain white: no preview for this type.
QPixmap BlankPicture();
