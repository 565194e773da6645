#include "wizard/forms/types/format_tree_order.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "wizard/model/formats/builtin_formats.h"
#include "wizard/model/formats/format_text.h"

namespace {

// The built-in's place, or one past the last for a format of the user's.
std::size_t BuiltinRank(const TFormat& format) {
    const std::string title = NormalizeFormatText(format.Title);
    for (std::size_t rank = 0; rank < kBuiltinFormats.size(); ++rank) {
        if (NormalizeFormatText(kBuiltinFormats[rank].Title) == title) return rank;
    }
    return kBuiltinFormats.size();
}

}  // namespace

std::vector<std::size_t> FormatsInTreeOrder(const TFormatsList& formats) {
    std::vector<std::size_t> ranks(formats.Count());
    for (std::size_t i = 0; i < ranks.size(); ++i) ranks[i] = BuiltinRank(formats[i]);
    std::vector<std::size_t> order(formats.Count());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return ranks[a] < ranks[b]; });
    return order;
}
