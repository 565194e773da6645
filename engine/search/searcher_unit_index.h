#pragma once
// The type table indexed for the search. Every signature fixes some byte of the unit (its
// anchor); a unit is compared only with the types one of whose anchors it holds, plus the
// types that fix no byte, in table order, so the first matching type is the same as a
// walk of the whole table, at a cost that does not grow with the number of types.

#include <cstddef>
#include <cstdint>
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

    std::size_t typeCount() const { return types_.size(); }
    // Distinct unit offsets whose byte selects candidates.
    std::size_t anchorOffsetCount() const { return offsets_.size(); }

private:
    using Word = std::uint64_t;
    static constexpr std::size_t kWordBits = 64;
    static constexpr std::size_t kByteValues = 256;

    void addCandidate(std::size_t offsetSlot, std::uint8_t value, std::size_t type);
    std::size_t slotOf(std::int32_t offset);

    std::vector<const CFileType*> types_;  // table order; a bit per type
    std::size_t words_ = 0;                // words of one candidate set
    std::vector<Word> always_;             // types with a signature that fixes no byte
    std::vector<std::int32_t> offsets_;    // anchor offsets, each < 512
    // For offset slot s and byte value v: the set at ((s * 256) + v) * words_.
    std::vector<Word> candidates_;
};
