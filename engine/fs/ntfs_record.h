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

// Puts back the bytes that the update sequence moved out of each 512-byte stride's last
// two bytes. False when the sequence does not fit the record or a stride's tail does not
// hold the sequence number (a torn or damaged record); the record is then left as read.
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
