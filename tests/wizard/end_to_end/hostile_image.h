#pragma once
// A small FAT32 image whose file names try to leave the folder they are recovered into:
// "../../", slashes and backslashes, control characters, a format string, a name of 250
// two-byte characters, and a folder named "..". Each file holds
// kHostileFileBytes of its own fill byte.

#include <filesystem>
#include <set>

inline constexpr unsigned kHostileFileBytes = 700;

// Writes the image to `file` and returns the path.
std::filesystem::path WriteHostileImage(const std::filesystem::path& file);

// The fill bytes of its files.
std::multiset<char> HostileFileFills();
