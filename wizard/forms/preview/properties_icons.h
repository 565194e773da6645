#pragma once
// The file properties form's five 32 x 32 pictures, drawn in code.

#include <QPixmap>

enum class PropertiesIcon {
    LiveFile = 0,           // a blue document
    DeletedFile = 1,        // a pink document
    LiveFolder = 2,         // a yellow folder
    FolderWithDeleted = 3,  // a light red folder
    DeletedFolder = 4,      // a dark red folder
};

QPixmap PropertiesIconPicture(PropertiesIcon icon);
