#pragma once
// Re-ordering a list of a million elements: each element's key is computed once (fetching
// elements ahead, since after a sort they lie scattered in memory) and reduced to 128 bits
// that order like the key, so the stable sort compares integers; only texts longer than
// those bits that tie on them compare whole.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "wizard/model/found_files/base_element.h"

namespace element_order {

using Elements = std::vector<std::unique_ptr<TBaseElement>>;

struct Ranked {
    std::uint64_t rank;
    std::uint64_t rankLow = 0;
    std::uint32_t index = 0;  // the element's place before the sort
    bool partial = false;     // the rank holds only the start of the key
};

// Text keys compare case-insensitively: ASCII letters folded to upper case, other bytes
// by value.
inline std::string Folded(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

inline std::uint64_t RankOfSigned(std::int64_t value) { return std::uint64_t(value) ^ (std::uint64_t{1} << 63); }
inline std::int64_t SignedOfRank(std::uint64_t rank) { return std::int64_t(rank ^ (std::uint64_t{1} << 63)); }

// The first sixteen bytes, zero-padded: a shorter text never ranks above a longer one it
// starts. Texts hold no NUL (they come from NUL-terminated names and paths), so two short
// texts of the same rank are equal.
inline Ranked RankOfText(std::string_view text, std::uint32_t index) {
    std::uint64_t half[2] = {0, 0};
    for (std::size_t i = 0; i < 16; ++i) {
        half[i / 8] = half[i / 8] << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    }
    return {half[0], half[1], index, text.size() > 16};
}

// Visits the elements in list order, fetching a few ahead.
template <typename Visit>
void VisitFetchingAhead(const Elements& items, Visit visit) {
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i + kAhead < items.size()) {
            const char* ahead = reinterpret_cast<const char*>(items[i + kAhead].get());
            for (std::size_t line = 0; line < sizeof(TBaseElement); line += 64) __builtin_prefetch(ahead + line);
        }
        visit(i, *items[i]);
    }
}

// Sorts stably in either direction and puts the elements in that order.
template <typename TieLess>
void Reorder(Elements& items, std::vector<Ranked>& ranked, bool ascending, TieLess tieLess) {
    std::stable_sort(ranked.begin(), ranked.end(), [&](const Ranked& a, const Ranked& b) {
        const Ranked& first = ascending ? a : b;
        const Ranked& second = ascending ? b : a;
        if (first.rank != second.rank) return first.rank < second.rank;
        if (first.rankLow != second.rankLow) return first.rankLow < second.rankLow;
        return (first.partial || second.partial) && tieLess(first.index, second.index);
    });
    Elements sorted;
    sorted.reserve(items.size());
    for (const Ranked& entry : ranked) sorted.push_back(std::move(items[entry.index]));
    items.swap(sorted);
}

// By a number key that `rankOf` gives as a rank; returns the ranks in the new order.
template <typename RankOf>
std::vector<Ranked> ReorderByNumber(Elements& items, bool ascending, RankOf rankOf) {
    std::vector<Ranked> ranked;
    ranked.reserve(items.size());
    VisitFetchingAhead(items, [&](std::size_t i, TBaseElement& element) {
        ranked.push_back({rankOf(element), 0, static_cast<std::uint32_t>(i)});
    });
    Reorder(items, ranked, ascending, [](std::size_t, std::size_t) { return false; });
    return ranked;
}

// By texts that are mostly distinct (names).
template <typename TextOf>
void ReorderByText(Elements& items, bool ascending, TextOf textOf) {
    std::vector<std::string> texts;
    std::vector<Ranked> ranked;
    texts.reserve(items.size());
    ranked.reserve(items.size());
    VisitFetchingAhead(items, [&](std::size_t i, TBaseElement& element) {
        texts.push_back(Folded(textOf(element)));
        ranked.push_back(RankOfText(texts.back(), static_cast<std::uint32_t>(i)));
    });
    Reorder(items, ranked, ascending, [&](std::size_t a, std::size_t b) { return texts[a] < texts[b]; });
}

// By texts that many elements share (condition, type, folder path): each distinct text is
// ranked by its place among the distinct ones, so the sort compares integers only.
template <typename TextOf>
void ReorderBySharedText(Elements& items, bool ascending, TextOf textOf) {
    std::unordered_map<std::string, std::size_t> groupOfText;
    std::vector<const std::string*> texts;
    std::vector<std::size_t> groupOfElement;
    groupOfElement.reserve(items.size());
    VisitFetchingAhead(items, [&](std::size_t, TBaseElement& element) {
        const auto [entry, added] = groupOfText.try_emplace(Folded(textOf(element)), texts.size());
        if (added) texts.push_back(&entry->first);
        groupOfElement.push_back(entry->second);
    });
    std::vector<std::size_t> groups(texts.size());
    std::iota(groups.begin(), groups.end(), std::size_t{0});
    std::sort(groups.begin(), groups.end(), [&](std::size_t a, std::size_t b) { return *texts[a] < *texts[b]; });
    std::vector<std::uint64_t> rankOfGroup(groups.size());
    for (std::size_t place = 0; place < groups.size(); ++place) rankOfGroup[groups[place]] = place;

    std::vector<Ranked> ranked;
    ranked.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        ranked.push_back({rankOfGroup[groupOfElement[i]], 0, static_cast<std::uint32_t>(i)});
    }
    Reorder(items, ranked, ascending, [](std::size_t, std::size_t) { return false; });
}

}  // namespace element_order
