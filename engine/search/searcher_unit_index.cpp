#include "engine/search/searcher_unit_index.h"

#include <algorithm>
#include <array>
#include <bit>

namespace {

// The bytes a condition fixes at its offset, if it fixes any inside a 512-byte unit.
std::optional<CSearchUnitIndex::AnchorPair> anchorOf(const CSignatureCondition& condition) {
    const std::int32_t at = condition.offset();
    const std::span<const std::uint8_t> value = condition.value();
    if (condition.empty() || at < 0 || static_cast<std::size_t>(at) + 1 >= kUnitSize) return std::nullopt;
    std::size_t fixed = 0;
    switch (condition.kind()) {
        case kConditionUint8:
        case kConditionUint16:
        case kConditionUint32:
        case kConditionUint64:
            if (value.size() >= condition.kind()) fixed = condition.kind();
            break;
        case kConditionRange8:
            if (value.size() >= 2 && value[0] == value[1]) fixed = 1;
            break;
        case kConditionBytes:
            fixed = value.size();
            break;
        default:
            break;
    }
    if (fixed == 0) return std::nullopt;
    CSearchUnitIndex::AnchorPair pair{at, value[0], std::nullopt};
    if (fixed >= 2) pair.second = value[1];
    return pair;
}

}  // namespace

std::optional<CSearchUnitIndex::AnchorPair> CSearchUnitIndex::AnchorOf(const CFileSignature& signature) {
    std::optional<AnchorPair> best;
    for (const CSignatureCondition& condition : signature.conditions()) {
        std::optional<AnchorPair> anchor = anchorOf(condition);
        if (!anchor) continue;
        const bool better = !best || (anchor->second.has_value() != best->second.has_value()
                                          ? anchor->second.has_value()
                                          : anchor->offset < best->offset);
        if (better) best = anchor;
    }
    return best;
}

CSearchUnitIndex::CSearchUnitIndex(const CInformationStorage& table) {
    for (const auto& type : table.types()) types_.push_back(type.get());
    words_ = std::max<std::size_t>(1, (types_.size() + kWordBits - 1) / kWordBits);
    always_.assign(words_, 0);

    for (std::size_t t = 0; t < types_.size(); ++t) {
        const Word bit = Word{1} << (t % kWordBits);
        const std::size_t word = t / kWordBits;
        std::vector<AnchorPair> anchors;
        for (const CFileSignature& signature : types_[t]->signatures()) {
            std::optional<AnchorPair> anchor = AnchorOf(signature);
            if (!anchor) {
                anchors.clear();
                always_[word] |= bit;
                break;
            }
            anchors.push_back(*anchor);
        }
        // A type without signatures gets no anchor and so is never a candidate.
        for (const AnchorPair& anchor : anchors) {
            const std::size_t slot = slotOf(anchor.offset);
            firstTable(slot, anchor.first)[word] |= bit;
            firsts_[slot * kFirstWords + anchor.first / kWordBits] |= Word{1} << (anchor.first % kWordBits);
            for (unsigned second = 0; second < kByteValues; ++second) {
                if (!anchor.second || *anchor.second == second) {
                    secondTable(slot, static_cast<std::uint8_t>(second))[word] |= bit;
                    const unsigned pair = anchor.first | second << 8;
                    pairs_[slot * kPairWords + pair / kWordBits] |= Word{1} << (pair % kWordBits);
                }
            }
        }
    }
    anyAlways_ = std::any_of(always_.begin(), always_.end(), [](Word w) { return w != 0; });
    constexpr std::uint32_t kLine = 64;
    for (std::int32_t offset : offsets_) {
        for (std::int32_t at : {offset, offset + 1}) {
            anchorLines_.push_back(static_cast<std::uint32_t>(at) / kLine * kLine);
        }
    }
    std::sort(anchorLines_.begin(), anchorLines_.end());
    anchorLines_.erase(std::unique(anchorLines_.begin(), anchorLines_.end()), anchorLines_.end());
}

std::size_t CSearchUnitIndex::slotOf(std::int32_t offset) {
    auto found = std::find(offsets_.begin(), offsets_.end(), offset);
    if (found != offsets_.end()) return static_cast<std::size_t>(found - offsets_.begin());
    offsets_.push_back(offset);
    candidates_.resize(offsets_.size() * 2 * kByteValues * words_, 0);
    firsts_.resize(offsets_.size() * kFirstWords, 0);
    pairs_.resize(offsets_.size() * kPairWords, 0);
    return offsets_.size() - 1;
}

const CFileType* CSearchUnitIndex::firstCandidate(const Word* set, std::size_t words,
                                                  std::span<const std::uint8_t> unit) const {
    for (std::size_t w = 0; w < words; ++w) {
        // Lower bits are earlier types: the first that matches wins.
        for (Word bits = set[w]; bits != 0; bits &= bits - 1) {
            const std::size_t type = w * kWordBits + static_cast<std::size_t>(std::countr_zero(bits));
            if (types_[type]->Matches(unit)) return types_[type];
        }
    }
    return nullptr;
}

bool CSearchUnitIndex::mayMatch(const std::uint8_t* unit) const {
    if (anyAlways_) return true;
    for (std::size_t s = 0; s < offsets_.size(); ++s) {
        const unsigned first = unit[offsets_[s]];
        if (((firsts_[s * kFirstWords + first / kWordBits] >> (first % kWordBits)) & 1) == 0) continue;
        const unsigned pair = first | unsigned{unit[offsets_[s] + 1]} << 8;
        if ((pairs_[s * kPairWords + pair / kWordBits] >> (pair % kWordBits)) & 1) return true;
    }
    return false;
}

// The candidate sets of a few words live in registers.
template <std::size_t Words>
const CFileType* CSearchUnitIndex::firstMatch(std::span<const std::uint8_t> unit) const {
    std::array<Word, Words> set;
    std::copy_n(always_.begin(), Words, set.begin());
    const std::uint8_t* bytes = unit.data();
    const Word* tables = candidates_.data();
    for (std::size_t s = 0; s < offsets_.size(); ++s, tables += 2 * kByteValues * Words) {
        const std::int32_t at = offsets_[s];
        const Word* first = tables + bytes[at] * Words;
        const Word* second = tables + (kByteValues + bytes[at + 1]) * Words;
        for (std::size_t w = 0; w < Words; ++w) set[w] |= first[w] & second[w];
    }
    return firstCandidate(set.data(), Words, unit);
}

const CFileType* CSearchUnitIndex::FirstMatch(std::span<const std::uint8_t> unit) const {
    if (unit.size() < kUnitSize || !mayMatch(unit.data())) return nullptr;
    switch (words_) {
        case 1:
            return firstMatch<1>(unit);
        case 2:
            return firstMatch<2>(unit);
        case 3:
            return firstMatch<3>(unit);
        case 4:
            return firstMatch<4>(unit);
        default:
            break;
    }
    std::vector<Word> set(always_);
    const std::uint8_t* bytes = unit.data();
    for (std::size_t s = 0; s < offsets_.size(); ++s) {
        const Word* first = &candidates_[((s * 2) * kByteValues + bytes[offsets_[s]]) * words_];
        const Word* second = &candidates_[((s * 2 + 1) * kByteValues + bytes[offsets_[s] + 1]) * words_];
        for (std::size_t w = 0; w < words_; ++w) set[w] |= first[w] & second[w];
    }
    return firstCandidate(set.data(), words_, unit);
}
