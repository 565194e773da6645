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

bool isExtensionOf(Bytes record, std::uint64_t base) {
    return isFileRecord(record) && baseRecordOf(record) == base;
}

std::optional<std::uint64_t> ownNumber(Bytes record) {
    if (fieldOr<std::uint16_t>(record, kHeaderFixupOffset) < kHeaderSize) return std::nullopt;
    return engine::readLittleEndian<std::uint32_t>(record, kHeaderRecordNumber);
}

bool attributesStartInside(Bytes record) {
    auto first = engine::readLittleEndian<std::uint16_t>(record, kHeaderFirstAttribute);
    return first && *first >= kHeaderSize && *first + std::size_t{8} <= record.size();
}

bool applyFixups(std::span<std::uint8_t> record) {
    Bytes view(record);
    const std::size_t offset = fieldOr<std::uint16_t>(view, kHeaderFixupOffset);
    const std::size_t count = fieldOr<std::uint16_t>(view, kHeaderFixupCount);
    const std::size_t strides = record.size() / kFixupStride;
    bool intact = count == strides + 1 && subRange(view, offset, 2);
    for (std::size_t i = 1; i < count && i <= strides; ++i) {
        if (!subRange(view, offset + 2 * i, 2)) {
            intact = false;
            break;
        }
        std::uint8_t* tail = record.data() + i * kFixupStride - 2;
        const std::uint8_t* sequence = record.data() + offset;
        if (tail[0] != sequence[0] || tail[1] != sequence[1]) intact = false;
        tail[0] = sequence[2 * i];
        tail[1] = sequence[2 * i + 1];
    }
    return intact;
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
