#pragma once
// One MFT file record as bytes: the header tests, the update-sequence fixups and a walk
// over its attributes that never leaves the record.

#include <cstdint>
#include <optional>
#include <span>

#include "engine/fs/ntfs_layout.h"

namespace ntfs {

bool isFileRecord(Bytes record);
bool isInUse(Bytes record);
bool isDirectory(Bytes record);
// The base record of an extension record; 0 for a base record.
std::uint64_t baseRecordOf(Bytes record);
// A file record that names `base` as its base record.
bool isExtensionOf(Bytes record, std::uint64_t base);
// The record number a record states about itself; records of old volumes lack it.
std::optional<std::uint64_t> ownNumber(Bytes record);
// Whether the attributes start inside the record, after its header.
bool attributesStartInside(Bytes record);

// Puts back the bytes that the update sequence moved out of each 512-byte stride's last
// two bytes, for every stride whose tail and sequence entry lie inside the record. False
// when a tail did not hold the sequence number or the sequence does not cover the record:
// a torn or damaged record, still restored as far as it goes so that its first strides,
// which hold the names and times, can be read.
bool applyFixups(std::span<std::uint8_t> record);

struct Attribute {
    std::size_t offset = 0;  // within the record
    Bytes bytes;             // the whole attribute, `length` bytes
    std::uint32_t type = 0;

    bool nonResident() const { return bytes[kAttrNonResident] != 0; }
    bool unnamed() const { return bytes[kAttrNameLength] == 0; }
    // The resident value, when it lies inside the attribute.
    std::optional<Bytes> residentValue() const;
};

// Walks the attributes from the header's first-attribute offset. It ends at the end
// marker, at a length too small for a header or running past the record.
class AttributeWalk {
public:
    explicit AttributeWalk(Bytes record);
    std::optional<Attribute> next();
    // The first attribute of a type after the current position.
    std::optional<Attribute> next(std::uint32_t type);

private:
    Bytes record_;
    std::size_t position_;
};

}  // namespace ntfs
