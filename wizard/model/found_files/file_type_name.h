#pragma once
// The desktop's name for a type of file, by its extension.

#include <string>
#include <string_view>

// "JPEG image" for ".jpg"; "" when the extension names no known type.
std::string FileTypeNameOfExtension(std::string_view extension);
