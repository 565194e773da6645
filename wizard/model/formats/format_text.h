#pragma once
// How the format list compares titles and extensions: codes 0 to 32 trimmed from both
// ends, the ASCII letters a to z upper-cased, then byte for byte.

#include <string>
#include <string_view>

// The text without leading and trailing characters of codes 0 to 32.
std::string_view TrimControlsAndBlanks(std::string_view text);

std::string NormalizeFormatText(std::string_view text);
