#pragma once
// A sparse in-memory disk of 512-byte sectors for the partition-table and lost-partition
// tests, and builders of the boot records put on it.

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "engine/disk/partition_table.h"

namespace disktest {

using Sector = std::array<std::uint8_t, 512>;

inline void putLe(std::uint8_t* at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void sign(Sector& s) {
    s[510] = 0x55;
    s[511] = 0xAA;
}

// One 16-byte partition entry of a boot record; signs the record.
inline void slot(Sector& s, int index, std::uint8_t type, std::uint32_t first, std::uint32_t count,
                 std::uint8_t flag = 0) {
    std::uint8_t* at = s.data() + 446 + index * 16;
    at[0] = flag;
    at[4] = type;
    putLe(at + 8, first, 4);
    putLe(at + 12, count, 4);
    sign(s);
}

inline Sector fatBoot(std::uint16_t sectors16, std::uint32_t sectors32 = 0, const char* label = "VOLUME     ") {
    Sector s{0xEB, 0x3C, 0x90};
    std::memcpy(s.data() + 3, "mkfs.fat", 8);
    putLe(s.data() + 11, 512, 2);
    s[13] = 4;
    putLe(s.data() + 14, 4, 2);
    s[16] = 2;
    putLe(s.data() + 19, sectors16, 2);
    s[21] = 0xF8;
    putLe(s.data() + 32, sectors32, 4);
    std::memcpy(s.data() + 43, label, 11);
    std::memcpy(s.data() + 54, "FAT16   ", 8);
    sign(s);
    return s;
}

inline Sector ntfsBoot(std::uint64_t sectors) {
    Sector s{0xEB, 0x52, 0x90};
    std::memcpy(s.data() + 3, "NTFS    ", 8);
    putLe(s.data() + 11, 512, 2);
    s[13] = 8;
    putLe(s.data() + 40, sectors, 8);
    sign(s);
    return s;
}

inline std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

struct SparseDisk {
    explicit SparseDisk(std::uint64_t sectors) : total(sectors) {}

    std::uint64_t total;
    std::map<std::uint64_t, Sector> sectors;
    std::set<std::uint64_t> failing;
    int reads = 0;

    Sector& at(std::uint64_t lba) { return sectors[lba]; }
    Sector get(std::uint64_t lba) const {
        auto found = sectors.find(lba);
        return found == sectors.end() ? Sector{} : found->second;
    }
    engine::SectorSource source() {
        return [this](std::uint64_t lba, std::span<std::uint8_t, 512> out) {
            ++reads;
            if (failing.count(lba)) return false;
            const Sector s = get(lba);
            std::memcpy(out.data(), s.data(), 512);
            return lba < total;
        };
    }
    engine::PartitionTable parse() { return engine::readPartitionTable(source(), total); }
};

// The first 2 x `pairs` sectors repeat a protective MBR and a GPT header whose array of
// 1024 entries of 4096 bytes (8192 sectors, all zero) lies past them: wherever a table is
// taken to start among them, its header fits the disk and its array's checksum holds.
inline void repeatedGptHeaders(SparseDisk& disk, std::uint64_t pairs) {
    const std::uint64_t arrayStart = 2 * pairs;
    const std::vector<std::uint8_t> zeros(1024 * 4096, 0);
    Sector header{};
    std::memcpy(header.data(), "EFI PART", 8);
    putLe(header.data() + 8, 0x00010000, 4);
    putLe(header.data() + 12, 92, 4);
    putLe(header.data() + 24, 1, 8);
    putLe(header.data() + 32, 1, 8);
    putLe(header.data() + 40, 2, 8);
    putLe(header.data() + 48, arrayStart - 1, 8);
    putLe(header.data() + 72, arrayStart, 8);
    putLe(header.data() + 80, 1024, 4);
    putLe(header.data() + 84, 4096, 4);
    putLe(header.data() + 88, crc32(zeros.data(), zeros.size()), 4);
    putLe(header.data() + 16, crc32(header.data(), 92), 4);
    for (std::uint64_t pair = 0; pair < pairs; ++pair) {
        slot(disk.at(2 * pair), 0, 0xEE, 1, 0xFFFFFFFF);
        disk.at(2 * pair + 1) = header;
    }
}

}  // namespace disktest
