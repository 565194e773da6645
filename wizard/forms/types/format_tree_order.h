#pragma once
// The order of the formats under their categories in the type tree: the built-ins in the
// order the program knows them, then the user's own formats in list order. The list
// itself comes back from the registry in the store's order (by key name), which would
// move 3GP ahead of AVI after every start that saved the list.

#include <cstddef>
#include <vector>

#include "wizard/model/formats/formats_list.h"

// The indexes of every format of `formats`, in tree order. A format counts as a built-in
// by its title, compared as the list compares titles.
std::vector<std::size_t> FormatsInTreeOrder(const TFormatsList& formats);
