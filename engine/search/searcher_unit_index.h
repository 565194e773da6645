#pragma once
// The type table indexed for the search. Every signature fixes some bytes of the unit; the
// index keeps, per unit offset, which types fix which byte there and which byte right
// after it (its anchor pair). A unit is compared only with the types whose anchor pair it
// may hold, plus the types that fix no byte, in table order, so the first matching type is
// the same as a walk of the whole table, at a cost that does not grow with the number of
// types.
//
// Almost no unit holds any anchor pair, so each offset also has a bit per possible first
// byte and one per possible pair: a unit whose anchor bytes are all clear (in a table in
// which every type fixes a byte) is dismissed after a bit test or two per offset, in
// tables small enough to stay in the first-level cache. What limits the search then is
// fetching the few cache lines of each unit that hold anchor bytes; Prefetch asks for
// them ahead.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/search/information_storage.h"

class CSearchUnitIndex {
public:
    explicit CSearchUnitIndex(const CInformationStorage& table);

    // The first type in table order that matches the unit at the start of `unit`; the
    // bytes after its first 512 are the following bytes of the block. Null when none
    // matches or `unit` is shorter than a unit.
    const CFileType* FirstMatch(std::span<const std::uint8_t> unit) const;

    // Asks the processor to fetch the bytes of `unit` that FirstMatch reads first. Never
    // faults, wherever `unit` points.
    void Prefetch(const std::uint8_t* unit) const {
        for (std::uint32_t line : anchorLines_) __builtin_prefetch(unit + line);
    }

    std::size_t typeCount() const { return types_.size(); }
    // Distinct unit offsets whose bytes select candidates.
    std::size_t anchorOffsetCount() const { return offsets_.size(); }

    // The bytes that every unit meeting `signature` holds at one offset: the first, and
    // the one after it when the signature fixes that too. Prefers a fixed pair, then the
    // lowest offset; nothing when the signature fixes no byte of the unit.
    struct AnchorPair {
        std::int32_t offset;
        std::uint8_t first;
        std::optional<std::uint8_t> second;
    };
    static std::optional<AnchorPair> AnchorOf(const CFileSignature& signature);

private:
    using Word = std::uint64_t;
    static constexpr std::size_t kWordBits = 64;
    static constexpr std::size_t kByteValues = 256;

    static constexpr std::size_t kPairWords = 65536 / kWordBits;

    // Whether some anchor pair of the unit selects a type, or some type is always tried.
    bool mayMatch(const std::uint8_t* unit) const;
    template <std::size_t Words>
    const CFileType* firstMatch(std::span<const std::uint8_t> unit) const;
    const CFileType* firstCandidate(const Word* set, std::size_t words, std::span<const std::uint8_t> unit) const;
    std::size_t slotOf(std::int32_t offset);
    Word* firstTable(std::size_t slot, std::uint8_t value) {
        return &candidates_[((slot * 2) * kByteValues + value) * words_];
    }
    Word* secondTable(std::size_t slot, std::uint8_t value) {
        return &candidates_[((slot * 2 + 1) * kByteValues + value) * words_];
    }

    std::vector<const CFileType*> types_;  // table order; a bit per type
    std::size_t words_ = 0;                // words of one candidate set
    std::vector<Word> always_;             // types with a signature that fixes no byte
    std::vector<std::int32_t> offsets_;    // anchor offsets, each below 511
    // Per offset slot: 256 sets by the byte at the offset, then 256 by the byte after it.
    // A type is a candidate of a slot when both bytes allow it.
    std::vector<Word> candidates_;
    // Per offset slot: a bit per byte value, set when some type's anchor there starts
    // with it; and a bit per unit word (byte at the offset | byte after it << 8), set when
    // some type has that anchor pair there.
    static constexpr std::size_t kFirstWords = kByteValues / kWordBits;
    std::vector<Word> firsts_;
    std::vector<Word> pairs_;
    bool anyAlways_ = false;
    // Unit offsets of the cache lines that hold anchor bytes.
    std::vector<std::uint32_t> anchorLines_;
};
