#pragma once
// File-name mask lists as the user types them: masks separated by ";" or blanks, blanks
// around a ";" skipped, a mask in double quotes may hold blanks ("my file*.doc"); ";;" or a
// ";" at the end give an empty mask, which matches no name.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

#include "wizard/utilities/text/file_mask.h"

// The single masks of a list, in order, quotes removed.
QStringList SplitMaskList(QStringView masks);

class FileMaskList {
public:
    explicit FileMaskList(QStringView masks);

    // True when the name matches any of the masks; false when none does or there are none.
    bool matches(QStringView fileName) const;

private:
    std::vector<FileMask> masks_;
};

// True when `masks` is exactly "*.*", else whether the name matches the list. The list is
// compiled once and reused while the same text comes again.
bool MatchesFileMask(const QString& fileName, const QString& masks);
