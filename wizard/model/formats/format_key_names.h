#pragma once
// Names of the formats' registry sub-keys.

#include <string>
#include <vector>

#include "wizard/model/formats/formats_list.h"

// One name per format, in list order: its Title when the store can use that as a key name
// and no earlier format took it (in any case); otherwise a derived name that no other
// format's key has. Loading reads the title from its value, so the name is only a place.
std::vector<std::u16string> FormatKeyNames(const TFormatsList& formats);
