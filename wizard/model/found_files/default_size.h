#pragma once
// The size to assume for a found file whose size is unknown, for its preview and its
// recovery alike.

#include <cstdint>
#include <optional>

#include "wizard/model/found_files/base_element.h"

// The default size of the format with the element's type id (DefaultSizeKb x 1024, in 64
// bits), no more than the bytes from the file's data position to its drive's end: a file
// found by its first bytes cannot run past the drive. Nothing when no format has that id,
// the format's DefaultSizeKb is below 1, or the position lies at or past the drive's end.
// A drive of unknown length (none, or no sectors) caps nothing.
std::optional<std::uint64_t> DefaultSizeOf(const TBaseElement& element);
