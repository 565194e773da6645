#include "engine/search/signature.h"

#include <algorithm>
#include <cstring>

#include "engine/byte_order.h"

using engine::loadLittleEndian;
using engine::storeLittleEndian;

namespace {

constexpr std::size_t kKindOffset = 0;
constexpr std::size_t kTotalSizeOffset = 4;
constexpr std::size_t kPositionOffset = 8;
constexpr std::size_t kRepeatOffset = 12;
constexpr std::size_t kValueLengthOffset = 14;
constexpr std::size_t kConditionCountOffset = 16;

std::uint16_t defaultValueLength(std::uint32_t kind) {
    switch (kind) {
        case kConditionUint8:
        case kConditionUint16:
        case kConditionUint32:
        case kConditionUint64:
            return static_cast<std::uint16_t>(kind);
        default:
            return 0;
    }
}

// Whether `width` bytes at each of the positions offset .. offset + repeat lie in a unit
// of `unitSize` bytes.
bool fitsUnit(std::int32_t offset, std::uint32_t repeat, std::size_t width, std::size_t unitSize) {
    if (offset < 0) return false;
    std::uint64_t end = static_cast<std::uint64_t>(offset) + repeat + width;
    return end <= unitSize;
}

}  // namespace

const std::uint8_t* CSignatureCondition::Build(std::uint32_t kind, const void* value,
                                               std::int32_t offset, std::uint16_t length,
                                               std::uint16_t repeat) {
    block_.clear();
    if (length == 0) length = defaultValueLength(kind);
    block_.assign(kConditionHeaderSize + length, 0);
    std::uint8_t* bytes = block_.data();
    storeLittleEndian(bytes + kKindOffset, kind);
    storeLittleEndian(bytes + kTotalSizeOffset, static_cast<std::uint32_t>(block_.size()));
    storeLittleEndian(bytes + kPositionOffset, offset);
    storeLittleEndian(bytes + kRepeatOffset, repeat);
    storeLittleEndian(bytes + kValueLengthOffset, length);
    if (value != nullptr && length != 0) {
        std::memcpy(bytes + kConditionHeaderSize, value, length);
    }
    return block_.data();
}

const std::uint8_t* CSignatureCondition::CopyFrom(std::span<const std::uint8_t> record) {
    block_.clear();
    if (record.size() < kConditionHeaderSize) return nullptr;
    auto total = loadLittleEndian<std::uint32_t>(record.data() + kTotalSizeOffset);
    auto valueLength = loadLittleEndian<std::uint16_t>(record.data() + kValueLengthOffset);
    if (total != kConditionHeaderSize + valueLength || total > record.size()) return nullptr;
    block_.assign(record.begin(), record.begin() + total);
    return block_.data();
}

std::uint32_t CSignatureCondition::kind() const {
    return empty() ? 0 : loadLittleEndian<std::uint32_t>(block_.data() + kKindOffset);
}

std::int32_t CSignatureCondition::offset() const {
    return empty() ? 0 : loadLittleEndian<std::int32_t>(block_.data() + kPositionOffset);
}

std::uint16_t CSignatureCondition::repeatCount() const {
    return empty() ? 0 : loadLittleEndian<std::uint16_t>(block_.data() + kRepeatOffset);
}

std::uint16_t CSignatureCondition::valueLength() const {
    return empty() ? 0 : loadLittleEndian<std::uint16_t>(block_.data() + kValueLengthOffset);
}

std::span<const std::uint8_t> CSignatureCondition::value() const {
    if (empty()) return {};
    return std::span<const std::uint8_t>(block_).subspan(kConditionHeaderSize);
}

bool CSignatureCondition::IsMet(std::span<const std::uint8_t> unit) const {
    if (empty()) return true;
    const std::uint32_t conditionKind = kind();
    const std::int32_t at = offset();
    const std::uint32_t repeat = repeatCount();
    const std::span<const std::uint8_t> expected = value();

    switch (conditionKind) {
        case kConditionUint8:
        case kConditionUint16:
        case kConditionUint32:
        case kConditionUint64: {
            // Equal little-endian integers are equal bytes.
            const std::size_t width = conditionKind;
            if (expected.size() < width || !fitsUnit(at, repeat, width, unit.size())) return false;
            for (std::uint32_t k = 0; k <= repeat; ++k) {
                if (std::memcmp(unit.data() + at + k, expected.data(), width) != 0) return false;
            }
            return true;
        }
        case kConditionRange8: {
            if (expected.size() < 2 || !fitsUnit(at, repeat, 1, unit.size())) return false;
            for (std::uint32_t k = 0; k <= repeat; ++k) {
                std::uint8_t byte = unit[static_cast<std::size_t>(at) + k];
                if (byte < expected[0] || byte > expected[1]) return false;
            }
            return true;
        }
        case kConditionRange16: {
            if (expected.size() < 4 || !fitsUnit(at, repeat, 2, unit.size())) return false;
            auto low = loadLittleEndian<std::uint16_t>(expected.data());
            auto high = loadLittleEndian<std::uint16_t>(expected.data() + 2);
            for (std::uint32_t k = 0; k <= repeat; ++k) {
                auto word = loadLittleEndian<std::uint16_t>(unit.data() + at + k);
                if (word < low || word > high) return false;
            }
            return true;
        }
        case kConditionBytes:
            if (expected.empty()) return true;
            if (!fitsUnit(at, 0, expected.size(), unit.size())) return false;
            return std::memcmp(unit.data() + at, expected.data(), expected.size()) == 0;
        default:
            return true;
    }
}

void CFileSignature::AddCondition(std::uint32_t kind, const void* value, std::int32_t offset,
                                  std::uint16_t length, std::uint16_t repeat) {
    CSignatureCondition condition;
    condition.Build(kind, value, offset, length, repeat);
    totalSize_ += condition.totalSize();
    conditions_.push_back(std::move(condition));
}

bool CFileSignature::IsMet(std::span<const std::uint8_t> unit) const {
    return std::all_of(conditions_.begin(), conditions_.end(),
                       [unit](const CSignatureCondition& c) { return c.IsMet(unit); });
}

void CFileSignature::AppendStoredForm(std::vector<std::uint8_t>& out) const {
    std::size_t start = out.size();
    out.resize(start + kSignatureHeaderSize, 0);
    storeLittleEndian(out.data() + start + kTotalSizeOffset, totalSize_);
    storeLittleEndian(out.data() + start + kConditionCountOffset, conditionCount());
    for (const CSignatureCondition& condition : conditions_) {
        out.insert(out.end(), condition.block().begin(), condition.block().end());
    }
}

std::optional<CFileSignature> CFileSignature::FromStoredForm(std::span<const std::uint8_t> bytes,
                                                             std::size_t& consumed) {
    consumed = 0;
    if (bytes.size() < kSignatureHeaderSize) return std::nullopt;
    auto total = loadLittleEndian<std::uint32_t>(bytes.data() + kTotalSizeOffset);
    auto count = loadLittleEndian<std::uint32_t>(bytes.data() + kConditionCountOffset);
    if (total < kSignatureHeaderSize || total > bytes.size()) return std::nullopt;
    consumed = total;

    // The conditions must fill the signature's own size exactly.
    std::span<const std::uint8_t> records = bytes.subspan(kSignatureHeaderSize, total - kSignatureHeaderSize);
    CFileSignature signature;
    for (std::uint32_t i = 0; i < count; ++i) {
        CSignatureCondition condition;
        if (condition.CopyFrom(records) == nullptr) return std::nullopt;
        records = records.subspan(condition.totalSize());
        signature.totalSize_ += condition.totalSize();
        signature.conditions_.push_back(std::move(condition));
    }
    if (!records.empty()) return std::nullopt;
    return signature;
}
