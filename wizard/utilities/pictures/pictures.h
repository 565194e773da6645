#pragma once
// The program's own pictures, compiled in as JPEG resources under fixed names
// ("GFX_LEFT_TOP", "GFX_LEFT_MID", "GFX_LEFT_BOTT", "GFX_SPLASH").

#include <QPixmap>
#include <QString>

// Decodes the named picture into `picture`. A name without a picture, or one that does
// not decode, leaves `picture` as it was, is logged, and gives false: the window then
// shows without it.
bool LoadPictureFromResource(const QString& name, QPixmap& picture);
