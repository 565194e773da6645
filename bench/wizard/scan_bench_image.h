#pragma once
// The file-system scan benchmark's volume, built in a unit of its own: the FAT builder's
// engine namespace and the wizard's engine() cannot meet in one file.

#include <cstdint>
#include <string>

namespace scanbench {

// A FAT32 volume with `folders` folders in its root, each holding `filesPerFolder`
// deleted one-cluster files named F<number>.TXT (numbers below 10,000,000 stay apart);
// false when it cannot be written.
bool WriteDeletedFilesImage(const std::string& path, std::uint32_t folders,
                            std::uint32_t filesPerFolder);

}  // namespace scanbench
