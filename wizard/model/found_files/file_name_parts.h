#pragma once
// The parts of a file name as the found-file lists use them.

#include <string_view>

// The part after the last path separator ("\" or "/").
std::string_view FileNameOf(std::string_view path);

// The last extension of the file name with its dot; "" when there is none. A dot that
// starts the file name (".bashrc") starts no extension.
std::string_view ExtensionOf(std::string_view path);
