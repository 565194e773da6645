#pragma once
// Synthetic NTFS records and volumes for the reader tests and fuzz seeds, and a drive
// that reads from memory.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "../support/memory_drive.h"
#include "engine/byte_order.h"
#include "engine/disk/drive.h"
#include "engine/fs/ntfs_layout.h"

namespace ntfs_test {

using Buffer = std::vector<std::uint8_t>;

template <typename T>
void put(Buffer& buffer, std::size_t offset, T value) {
    if (buffer.size() < offset + sizeof(T)) buffer.resize(offset + sizeof(T));
    engine::storeLittleEndian(buffer.data() + offset, value);
}

inline Buffer utf16Bytes(const std::u16string& text) {
    Buffer bytes(text.size() * 2);
    if (!text.empty()) std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

// Mapping pairs for runs of (length, lcn) with lcn -1 for a sparse run.
inline Buffer encodeRuns(const std::vector<std::pair<std::uint64_t, std::int64_t>>& runs) {
    Buffer out;
    std::int64_t previous = 0;
    auto bytesFor = [](std::uint64_t value, bool isSigned) {
        unsigned count = 1;
        for (; count < 8; ++count) {
            const std::int64_t half = std::int64_t{1} << (8 * count - 1);
            const auto asSigned = static_cast<std::int64_t>(value);
            if (isSigned ? asSigned >= -half && asSigned < half : value >> (8 * count) == 0) break;
        }
        return count;
    };
    for (auto [length, lcn] : runs) {
        unsigned lengthBytes = bytesFor(length, false);
        unsigned offsetBytes = 0;
        std::int64_t delta = 0;
        if (lcn >= 0) {
            delta = lcn - previous;
            offsetBytes = bytesFor(static_cast<std::uint64_t>(delta), true);
            previous = lcn;
        }
        out.push_back(static_cast<std::uint8_t>(lengthBytes | (offsetBytes << 4)));
        for (unsigned i = 0; i < lengthBytes; ++i) out.push_back(std::uint8_t(length >> (8 * i)));
        for (unsigned i = 0; i < offsetBytes; ++i) out.push_back(std::uint8_t(std::uint64_t(delta) >> (8 * i)));
    }
    out.push_back(0);
    return out;
}

struct ListEntry {
    std::uint32_t type;
    std::uint64_t record;
    std::uint8_t nameLength = 0;
    std::uint64_t startVcn = 0;
};

// Builds one file record attribute by attribute; finish() adds the end marker and the
// update sequence.
class RecordBuilder {
public:
    explicit RecordBuilder(std::uint32_t number, std::uint16_t flags = ntfs::kRecordInUse,
                           std::uint32_t size = 1024)
        : bytes_(size, 0), size_(size) {
        put<std::uint32_t>(bytes_, 0, ntfs::kFileMagic);
        put<std::uint16_t>(bytes_, 4, 48);
        put<std::uint16_t>(bytes_, 6, static_cast<std::uint16_t>(size / 512 + 1));
        put<std::uint16_t>(bytes_, 20, 72);
        put<std::uint16_t>(bytes_, 22, flags);
        put<std::uint32_t>(bytes_, 28, size);
        put<std::uint32_t>(bytes_, 44, number);
        position_ = 72;
    }

    RecordBuilder& baseRecord(std::uint64_t base) {
        put<std::uint64_t>(bytes_, 32, base);
        return *this;
    }

    RecordBuilder& standardInfo(std::uint64_t created, std::uint64_t modified,
                                std::uint64_t accessed, std::uint32_t attributes) {
        Buffer value(72, 0);
        put(value, 0, created);
        put(value, 8, modified);
        put(value, 16, modified);
        put(value, 24, accessed);
        put(value, 32, attributes);
        return resident(0x10, value);
    }

    RecordBuilder& fileName(std::uint64_t parent, const std::u16string& name,
                            std::uint8_t nameSpace = 1, std::uint64_t size = 0) {
        Buffer value(66, 0);
        put(value, 0, parent);
        put(value, 48, size);
        value[64] = static_cast<std::uint8_t>(name.size());
        value[65] = nameSpace;
        Buffer text = utf16Bytes(name);
        value.insert(value.end(), text.begin(), text.end());
        return resident(0x30, value);
    }

    RecordBuilder& residentData(const Buffer& value, const std::u16string& stream = u"") {
        return resident(0x80, value, stream);
    }

    RecordBuilder& nonResidentData(const Buffer& pairs, std::uint64_t realSize,
                                   std::uint64_t initializedSize, std::uint64_t lowestVcn = 0,
                                   const std::u16string& stream = u"") {
        std::size_t nameOffset = 64;
        std::size_t pairsOffset = align(nameOffset + stream.size() * 2);
        Buffer attribute(pairsOffset, 0);
        put<std::uint32_t>(attribute, 0, 0x80);
        attribute[8] = 1;
        attribute[9] = static_cast<std::uint8_t>(stream.size());
        put<std::uint16_t>(attribute, 10, static_cast<std::uint16_t>(nameOffset));
        put<std::uint64_t>(attribute, 16, lowestVcn);
        put<std::uint16_t>(attribute, 32, static_cast<std::uint16_t>(pairsOffset));
        put<std::uint64_t>(attribute, 40, (realSize + 4095) / 4096 * 4096);
        put<std::uint64_t>(attribute, 48, realSize);
        put<std::uint64_t>(attribute, 56, initializedSize);
        Buffer name = utf16Bytes(stream);
        std::copy(name.begin(), name.end(), attribute.begin() + nameOffset);
        attribute.insert(attribute.end(), pairs.begin(), pairs.end());
        return raw(attribute);
    }

    RecordBuilder& attributeList(const std::vector<ListEntry>& entries) {
        Buffer value;
        for (const ListEntry& entry : entries) {
            Buffer item(32, 0);
            put<std::uint32_t>(item, 0, entry.type);
            put<std::uint16_t>(item, 4, 32);
            item[6] = entry.nameLength;
            item[7] = 26;
            put<std::uint64_t>(item, 8, entry.startVcn);
            put<std::uint64_t>(item, 16, entry.record);
            value.insert(value.end(), item.begin(), item.end());
        }
        return resident(0x20, value);
    }

    // An attribute with its header, its length field set to the padded size.
    RecordBuilder& raw(Buffer attribute) {
        attribute.resize(align(attribute.size()), 0);
        put<std::uint32_t>(attribute, 4, static_cast<std::uint32_t>(attribute.size()));
        std::copy(attribute.begin(), attribute.end(), bytes_.begin() + position_);
        position_ += attribute.size();
        return *this;
    }

    // Raw bytes at an offset, for hostile records.
    RecordBuilder& poke(std::size_t offset, const Buffer& data) {
        std::copy(data.begin(), data.end(), bytes_.begin() + offset);
        return *this;
    }

    Buffer finish(std::uint16_t sequence = 0x0101) const {
        Buffer out = bytes_;
        put<std::uint32_t>(out, position_, 0xFFFFFFFF);
        put<std::uint16_t>(out, 48, sequence);
        for (std::uint32_t i = 1; i <= size_ / 512; ++i) {
            std::size_t tail = i * 512 - 2;
            out[48 + 2 * i] = out[tail];
            out[48 + 2 * i + 1] = out[tail + 1];
            put<std::uint16_t>(out, tail, sequence);
        }
        return out;
    }

private:
    static std::size_t align(std::size_t value) { return (value + 7) / 8 * 8; }

    RecordBuilder& resident(std::uint32_t type, const Buffer& value,
                            const std::u16string& stream = u"") {
        std::size_t valueOffset = align(24 + stream.size() * 2);
        Buffer attribute(valueOffset, 0);
        put<std::uint32_t>(attribute, 0, type);
        attribute[9] = static_cast<std::uint8_t>(stream.size());
        put<std::uint16_t>(attribute, 10, 24);
        put<std::uint32_t>(attribute, 16, static_cast<std::uint32_t>(value.size()));
        put<std::uint16_t>(attribute, 20, static_cast<std::uint16_t>(valueOffset));
        Buffer name = utf16Bytes(stream);
        std::copy(name.begin(), name.end(), attribute.begin() + 24);
        attribute.insert(attribute.end(), value.begin(), value.end());
        return raw(attribute);
    }

    Buffer bytes_;
    std::uint32_t size_;
    std::size_t position_;
};

// A drive over an NTFS image in memory.
class MemoryDrive : public test_support::MemoryDrive {
public:
    explicit MemoryDrive(Buffer image, char letter = 'N')
        : test_support::MemoryDrive(std::move(image), kFileSystemNtfs, letter) {}
};

// A volume: boot sector, $MFT at cluster 4 with `records` records, $Bitmap in the
// cluster after the MFT, then $MFTMirr (kept equal to records 0-3), files added record
// by record.
class VolumeBuilder {
public:
    VolumeBuilder(std::uint32_t clusterSize = 4096, std::uint32_t recordSize = 1024,
                  std::uint64_t clusters = 256, std::uint32_t records = 32)
        : clusterSize_(clusterSize), recordSize_(recordSize), image_(clusters * clusterSize, 0) {
        mftClusters_ = (std::uint64_t{records} * recordSize + clusterSize - 1) / clusterSize;
        bitmapCluster_ = kMftCluster + mftClusters_;
        mirrorCluster_ = bitmapCluster_ + 1;
        firstDataCluster_ = mirrorCluster_ + (4 * recordSize + clusterSize - 1) / clusterSize;
        Buffer& b = image_;
        std::memcpy(b.data() + 3, "NTFS    ", 8);
        put<std::uint16_t>(b, 11, 512);
        std::uint32_t sectorsPerCluster = clusterSize / 512;
        b[13] = sectorsPerCluster <= 128 ? std::uint8_t(sectorsPerCluster)
                                         : std::uint8_t(256 - __builtin_ctz(sectorsPerCluster));
        put<std::uint64_t>(b, 40, clusters * sectorsPerCluster);
        put<std::uint64_t>(b, 48, kMftCluster);
        put<std::uint64_t>(b, 56, mirrorCluster_);
        std::int8_t perRecord = recordSize >= clusterSize
                                    ? std::int8_t(recordSize / clusterSize)
                                    : std::int8_t(-__builtin_ctz(recordSize));
        put<std::int8_t>(b, 64, perRecord);
        put<std::uint16_t>(b, 510, 0xAA55);

        putRecord(0, RecordBuilder(0, ntfs::kRecordInUse, recordSize)
                         .standardInfo(1, 2, 3, 6)
                         .fileName(5, u"$MFT", 3)
                         .nonResidentData(encodeRuns({{mftClusters_, kMftCluster}}),
                                          std::uint64_t{records} * recordSize,
                                          std::uint64_t{records} * recordSize));
        Buffer bitmap((clusters + 7) / 8, 0);
        for (std::uint64_t c = 0; c < firstDataCluster_; ++c) bitmap[c / 8] |= 1 << (c % 8);
        std::copy(bitmap.begin(), bitmap.end(), b.begin() + bitmapCluster_ * clusterSize);
        putRecord(6, RecordBuilder(6, ntfs::kRecordInUse, recordSize)
                         .fileName(5, u"$Bitmap", 3)
                         .nonResidentData(encodeRuns({{1, std::int64_t(bitmapCluster_)}}),
                                          bitmap.size(), bitmap.size()));
        putRecord(5, RecordBuilder(5, ntfs::kRecordInUse | ntfs::kRecordDirectory, recordSize)
                         .fileName(5, u".", 3));
    }

    RecordBuilder record(std::uint32_t number, std::uint16_t flags = ntfs::kRecordInUse) const {
        return RecordBuilder(number, flags, recordSize_);
    }

    VolumeBuilder& putRecord(std::uint64_t number, const RecordBuilder& builder) {
        return putRaw(number, builder.finish());
    }

    VolumeBuilder& putRaw(std::uint64_t number, const Buffer& bytes) {
        std::size_t offset = kMftCluster * clusterSize_ + number * recordSize_;
        std::copy(bytes.begin(), bytes.end(), image_.begin() + offset);
        if (number < 4) {
            std::copy(bytes.begin(), bytes.end(),
                      image_.begin() + mirrorCluster_ * clusterSize_ + number * recordSize_);
        }
        return *this;
    }

    VolumeBuilder& putCluster(std::uint64_t lcn, const Buffer& bytes) {
        std::copy(bytes.begin(), bytes.end(), image_.begin() + lcn * clusterSize_);
        return *this;
    }

    // The first cluster free for file data.
    std::uint64_t firstDataCluster() const { return firstDataCluster_; }
    std::uint64_t mirrorCluster() const { return mirrorCluster_; }
    std::uint32_t clusterSize() const { return clusterSize_; }
    std::uint32_t recordSize() const { return recordSize_; }
    const Buffer& image() const { return image_; }
    Buffer& image() { return image_; }

    static constexpr std::uint64_t kMftCluster = 4;

private:
    std::uint32_t clusterSize_;
    std::uint32_t recordSize_;
    std::uint64_t mftClusters_;
    std::uint64_t bitmapCluster_;
    std::uint64_t mirrorCluster_;
    std::uint64_t firstDataCluster_;
    Buffer image_;
};

}  // namespace ntfs_test
