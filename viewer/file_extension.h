#pragma once
// The file-name extension that lets the desktop pick an application for a block of data,
// chosen from the data's first bytes; "bin" when nothing matches.

#include <cstddef>
#include <span>
#include <string>

namespace viewer {

std::string extensionFor(std::span<const std::byte> data);

}  // namespace viewer
