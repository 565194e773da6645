#include "engine/search/searcher_unit_index.h"

#include <algorithm>
#include <bit>

CSearchUnitIndex::CSearchUnitIndex(const CInformationStorage& table) {
    for (const auto& type : table.types()) types_.push_back(type.get());
    words_ = std::max<std::size_t>(1, (types_.size() + kWordBits - 1) / kWordBits);
    always_.assign(words_, 0);

    for (std::size_t t = 0; t < types_.size(); ++t) {
        std::optional<std::vector<AnchorByte>> anchors = types_[t]->Anchors();
        if (!anchors) {
            always_[t / kWordBits] |= Word{1} << (t % kWordBits);
            continue;
        }
        // A type without signatures gets no anchor and so is never a candidate.
        for (const AnchorByte& anchor : *anchors) addCandidate(slotOf(anchor.offset), anchor.value, t);
    }
}

std::size_t CSearchUnitIndex::slotOf(std::int32_t offset) {
    auto found = std::find(offsets_.begin(), offsets_.end(), offset);
    if (found != offsets_.end()) return static_cast<std::size_t>(found - offsets_.begin());
    offsets_.push_back(offset);
    candidates_.resize(offsets_.size() * kByteValues * words_, 0);
    return offsets_.size() - 1;
}

void CSearchUnitIndex::addCandidate(std::size_t offsetSlot, std::uint8_t value, std::size_t type) {
    candidates_[(offsetSlot * kByteValues + value) * words_ + type / kWordBits] |= Word{1} << (type % kWordBits);
}

const CFileType* CSearchUnitIndex::FirstMatch(std::span<const std::uint8_t> unit) const {
    if (unit.size() < kUnitSize) return nullptr;
    const std::uint8_t* bytes = unit.data();
    for (std::size_t w = 0; w < words_; ++w) {
        Word set = always_[w];
        const Word* column = candidates_.data() + w;
        for (std::size_t s = 0; s < offsets_.size(); ++s) {
            set |= column[(s * kByteValues + bytes[offsets_[s]]) * words_];
        }
        // Lower bits are earlier types: the first that matches wins.
        while (set != 0) {
            const std::size_t type = w * kWordBits + static_cast<std::size_t>(std::countr_zero(set));
            if (types_[type]->Matches(unit)) return types_[type];
            set &= set - 1;
        }
    }
    return nullptr;
}
