#pragma once
// A sparse in-memory disk of 512-byte sectors for the partition-table and lost-partition
// tests, and builders of the boot records put on it.

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>

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

}  // namespace disktest
