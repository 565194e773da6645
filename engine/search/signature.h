#pragma once
// Signatures: lists of conditions on the bytes of one 512-byte unit. A signature is met
// when all its conditions hold; a file type matches when any of its signatures is met.
//
// Conditions and signatures have a stored form (little-endian, packed):
//   condition: kind u32, total size u32 (32 + value length), offset i32, repeat u16,
//              value length u16, 16 reserved zero bytes, then the value bytes;
//   signature: reserved u32, total size u32 (20 + its conditions' sizes), 8 reserved
//              bytes, condition count u32, then the condition records.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

inline constexpr std::size_t kUnitSize = 512;

// Condition kinds. Any other kind is not tested and counts as met.
enum ConditionKind : std::uint32_t {
    kConditionUint8 = 1,
    kConditionUint16 = 2,
    kConditionUint32 = 4,
    kConditionUint64 = 8,
    kConditionRange8 = 16,    // value: low byte, high byte
    kConditionRange16 = 32,   // value: low u16, high u16
    kConditionBytes = 256,    // value: the bytes to compare; the repeat count is not used
};

inline constexpr std::size_t kConditionHeaderSize = 32;
inline constexpr std::size_t kSignatureHeaderSize = 20;

class CSignatureCondition {
public:
    CSignatureCondition() = default;

    // Makes the condition empty.
    void Init() { block_.clear(); }
    void Free() { block_.clear(); }
    // A length of 0 takes the kind's width (1, 2, 4, 8 for kinds 1, 2, 4, 8; 0 for the
    // others). Copies `length` bytes from `value` (null: zero bytes). Returns the block.
    const std::uint8_t* Build(std::uint32_t kind, const void* value, std::int32_t offset,
                              std::uint16_t length, std::uint16_t repeat);
    // Copies a whole stored condition record; null when the record is shorter than its
    // header, its total size is not 32 + its value length, or it does not fit `record`.
    const std::uint8_t* CopyFrom(std::span<const std::uint8_t> record);

    bool empty() const { return block_.empty(); }
    std::span<const std::uint8_t> block() const { return block_; }
    std::uint32_t kind() const;
    std::uint32_t totalSize() const { return static_cast<std::uint32_t>(block_.size()); }
    std::int32_t offset() const;
    std::uint16_t repeatCount() const;
    std::uint16_t valueLength() const;
    std::span<const std::uint8_t> value() const;

    // Whether the condition holds on `unit`; bytes outside `unit`, and value bytes the
    // condition lacks, make it not met.
    bool IsMet(std::span<const std::uint8_t> unit) const;

private:
    std::vector<std::uint8_t> block_;
};

class CFileSignature {
public:
    void AddCondition(std::uint32_t kind, const void* value, std::int32_t offset,
                      std::uint16_t length, std::uint16_t repeat);

    const std::vector<CSignatureCondition>& conditions() const { return conditions_; }
    std::uint32_t conditionCount() const { return static_cast<std::uint32_t>(conditions_.size()); }
    std::uint32_t totalSize() const { return totalSize_; }

    // All conditions hold (a signature without conditions is met).
    bool IsMet(std::span<const std::uint8_t> unit) const;

    void AppendStoredForm(std::vector<std::uint8_t>& out) const;
    // Reads one stored signature from the start of `bytes`. Returns nothing when the
    // record is inconsistent; `consumed` is then the size to skip to the next signature,
    // or 0 when the header itself cannot be trusted.
    static std::optional<CFileSignature> FromStoredForm(std::span<const std::uint8_t> bytes,
                                                        std::size_t& consumed);

private:
    std::vector<CSignatureCondition> conditions_;
    std::uint32_t totalSize_ = kSignatureHeaderSize;
};
