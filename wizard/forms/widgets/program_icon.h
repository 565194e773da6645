#pragma once
// The program's icon, painted: a disk with an arrow rising out of it.

#include <QPixmap>

QPixmap PaintProgramIcon(int size);
