#include "engine/fs/ntfs_record.h"

namespace ntfs {

namespace {

std::uint16_t headerFlags(Bytes record) { return fieldOr<std::uint16_t>(record, kHeaderFlags); }

}  // namespace

bool isFileRecord(Bytes record) {
    return fieldOr<std::uint32_t>(record, kHeaderMagic) == kFileMagic;
}

bool isInUse(Bytes record) { return headerFlags(record) & kRecordInUse; }

bool isDirectory(Bytes record) { return headerFlags(record) & kRecordDirectory; }

std::uint64_t baseRecordOf(Bytes record) {
    return fieldOr<std::uint64_t>(record, kHeaderBaseRecord) & kRecordNumberMask;
}

bool applyFixups(std::span<std::uint8_t> record) {
    Bytes view(record);
    auto offset = engine::readLittleEndian<std::uint16_t>(view, kHeaderFixupOffset);
    auto count = engine::readLittleEndian<std::uint16_t>(view, kHeaderFixupCount);
    if (!offset || !count || *count < 2) return false;
    std::size_t strides = *count - 1u;
    if (strides * kFixupStride > record.size()) return false;
    if (*offset < kHeaderFixupCount + 2 || !subRange(view, *offset, 2u * *count)) return false;
    // The sequence must not sit in a tail it is about to restore.
    if (*offset + 2u * *count > kFixupStride - 2) return false;
    const std::uint8_t* sequence = record.data() + *offset;
    for (std::size_t i = 1; i <= strides; ++i) {
        const std::uint8_t* tail = record.data() + i * kFixupStride - 2;
        if (tail[0] != sequence[0] || tail[1] != sequence[1]) return false;
    }
    for (std::size_t i = 1; i <= strides; ++i) {
        std::uint8_t* tail = record.data() + i * kFixupStride - 2;
        tail[0] = sequence[2 * i];
        tail[1] = sequence[2 * i + 1];
    }
    return true;
}

std::optional<Bytes> Attribute::residentValue() const {
    if (nonResident() || bytes.size() < kResidentHeaderSize) return std::nullopt;
    auto length = fieldOr<std::uint32_t>(bytes, kResidentValueLength);
    auto offset = fieldOr<std::uint16_t>(bytes, kResidentValueOffset);
    return subRange(bytes, offset, length);
}

AttributeWalk::AttributeWalk(Bytes record)
    : record_(record), position_(fieldOr<std::uint16_t>(record, kHeaderFirstAttribute)) {}

std::optional<Attribute> AttributeWalk::next() {
    auto type = engine::readLittleEndian<std::uint32_t>(record_, position_);
    auto length = engine::readLittleEndian<std::uint32_t>(record_, position_ + kAttrLength);
    if (!type || !length || *type == kAttrEnd || *length < kAttrCommonSize) return std::nullopt;
    auto bytes = subRange(record_, position_, *length);
    if (!bytes) return std::nullopt;
    Attribute attribute{position_, *bytes, *type};
    std::size_t nameEnd = std::size_t{fieldOr<std::uint16_t>(*bytes, kAttrNameOffset)} +
                          2u * (*bytes)[kAttrNameLength];
    if (attribute.nonResident() && *length < kNonResidentHeaderSize) return std::nullopt;
    if (!attribute.unnamed() && nameEnd > *length) return std::nullopt;
    position_ += *length;
    return attribute;
}

std::optional<Attribute> AttributeWalk::next(std::uint32_t type) {
    while (auto attribute = next()) {
        if (attribute->type == type) return attribute;
    }
    return std::nullopt;
}

}  // namespace ntfs
