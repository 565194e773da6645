#pragma once
// Pictures the engine renders: a bitmap handle the caller owns and deletes.

#include <QImage>

#include "platform/win_types.h"

// The bitmap as an image, and the bitmap deleted. A null handle, or a bitmap that is not
// 96 x 96 at 24 bits with whole rows, gives a null image. Safe on any thread.
QImage TakeThumbnailImage(HBITMAP bitmap);
