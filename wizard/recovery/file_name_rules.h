#pragma once
// Names of recovered files and of the folders made for them. They come from the disk
// being recovered and are hostile: each becomes exactly one name of a folder entry here,
// so that nothing of a name can reach outside the folder it is made in.

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The longest name a Linux file system takes, in bytes.
inline constexpr std::size_t kMaxNameBytes = 255;
// A longer "extension" is rather the end of a long name and is cut like the rest of it.
inline constexpr std::size_t kMaxExtensionBytes = 64;

// One name as UTF-8: "/", "\", NUL, control characters and : * ? " < > | become "_"; an
// empty name, "." and ".." become "_"; a name longer than 255 bytes is cut on a character
// boundary before its extension, which is kept.
std::string SafeName(const QString& name);

// The folders of an engine folder path below its drive part, each a SafeName:
// "C:\Docs\Old\" gives {"Docs", "Old"}, "lost_folder_7\" gives {"lost_folder_7"},
// "C:\..\etc\" gives {"_", "etc"} and "C:\" none. Empty parts at either end are dropped.
std::vector<std::string> SafeFolderParts(const QString& enginePath);

struct NameParts {
    std::string base;
    std::string extension;  // with its dot; empty when none
};

// The name split before its last dot: "photo.jpg" gives "photo" and ".jpg"; "data" and
// ".bashrc" (a leading dot starts no extension) have none, nor has a name whose
// "extension" is longer than kMaxExtensionBytes.
NameParts SplitExtension(std::string_view name);

// base + extension, base cut on a character boundary so that the whole fits `maxBytes`.
std::string FitName(std::string_view base, std::string_view extension,
                    std::size_t maxBytes = kMaxNameBytes);

// base + "_" + n + extension within kMaxNameBytes: "photo_2.jpg", "data_1".
std::string NumberedName(const NameParts& name, int n);
