#pragma once
// The drives the screenshots show: the search fixture, with real pictures planted in its
// picture files and in its free space so that both lists get thumbnails, and the FAT32
// fixture beside it.

#include <QString>

// Unpacks the images into `folder` and names them in UNDELETE_DISKS; false, with a message
// on stderr, when one cannot be made.
bool UseFixtureDisks(const QString& folder);
