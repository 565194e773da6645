#pragma once
// A FAT32 volume built entry by entry in memory, for volumes too large or too odd to make
// with the formatting tools: 512-byte sectors, 32 reserved sectors, two FAT copies, the
// root directory at cluster 2. Folders grow a cluster at a time as entries are added.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/byte_order.h"

namespace fattest {

class Fat32Builder {
public:
    static constexpr std::uint32_t kRootCluster = 2;
    static constexpr std::uint32_t kReservedSectors = 32;
    static constexpr std::uint8_t kDirectory = 0x10;
    static constexpr std::uint8_t kArchive = 0x20;

    // Room for `clusters` data clusters of `sectorsPerCluster` sectors each.
    Fat32Builder(std::uint32_t clusters, std::uint32_t sectorsPerCluster)
        : sectorsPerCluster_(sectorsPerCluster),
          clusterBytes_(sectorsPerCluster * 512),
          fatSectors_(((clusters + 2) * 4 + 511) / 512),
          clusters_(clusters) {
        image_.assign(dataOffset() + std::uint64_t{clusters} * clusterBytes_, 0);
        writeBootSector();
        setNext(0, 0x0FFFFFF8);
        setNext(1, 0x0FFFFFFF);
        entryOffsets_.assign(clusters + 2, 0);
        folders_.push_back({{kRootCluster}, 0});
        setNext(kRootCluster, 0x0FFFFFFF);
        next_ = kRootCluster + 1;
    }

    // A new folder inside `parent` (a folder cluster, kRootCluster for the root) under
    // the 11-byte 8.3 name; returns its first cluster.
    std::uint32_t addFolder(std::uint32_t parent, const char* name83) {
        const std::uint32_t cluster = allocate();
        addEntry(parent, name83, kDirectory, cluster, 0);
        folders_.push_back({{cluster}, 0});
        folderIndex_.resize(std::max<std::size_t>(folderIndex_.size(), cluster + 1), 0);
        folderIndex_[cluster] = static_cast<std::uint32_t>(folders_.size() - 1);
        addEntry(cluster, ".          ", kDirectory, cluster, 0);
        addEntry(cluster, "..         ", kDirectory, parent == kRootCluster ? 0 : parent, 0);
        return cluster;
    }

    // A file entry in `folder` whose `size` bytes take clusters in a row; returns the first.
    std::uint32_t addFile(std::uint32_t folder, const char* name83, std::uint32_t size) {
        const std::uint32_t count = (size + clusterBytes_ - 1) / clusterBytes_;
        const std::uint32_t first = count == 0 ? 0 : next_;
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::uint32_t cluster = allocate();
            if (k > 0) setNext(cluster - 1, cluster);
        }
        addEntry(folder, name83, kArchive, first, size);
        return first;
    }

    // Long-name entries for the folder or file added next to `folder` under `name83`: call
    // it right before addFolder or addFile. The name is written as given, whatever it
    // holds; up to 20 entries (260 characters).
    void addLongName(std::uint32_t folder, const std::u16string& name, const char* name83) {
        std::uint8_t checksum = 0;
        for (int i = 0; i < 11; ++i) {
            checksum = static_cast<std::uint8_t>(((checksum & 1) << 7) + (checksum >> 1) + static_cast<std::uint8_t>(name83[i]));
        }
        std::u16string padded = name;
        if (padded.size() % 13 != 0) padded.push_back(u'\0');
        while (padded.size() % 13 != 0) padded.push_back(u'\xFFFF');
        const std::size_t count = padded.size() / 13;
        static constexpr int kCharOffsets[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
        for (std::size_t slot = count; slot-- > 0;) {
            std::uint8_t* at = image_.data() + nextEntryOffset(folder);
            at[0] = static_cast<std::uint8_t>((slot + 1) | (slot + 1 == count ? 0x40 : 0));
            at[11] = 0x0F;
            at[13] = checksum;
            for (int k = 0; k < 13; ++k) {
                engine::storeLittleEndian<std::uint16_t>(at + kCharOffsets[k], padded[slot * 13 + k]);
            }
        }
    }

    // Marks the entry of the folder or file that starts at `firstCluster` as deleted.
    void markDeleted(std::uint32_t firstCluster) { image_.at(entryOffsets_.at(firstCluster)) = 0xE5; }
    // Frees the FAT entries of both copies from `cluster` on, as deleting the files there does.
    void freeClustersFrom(std::uint32_t cluster) {
        for (int copy = 0; copy < 2; ++copy) {
            std::fill(image_.begin() + static_cast<long>(fatOffset(copy) + cluster * 4ull),
                      image_.begin() + static_cast<long>(fatOffset(copy + 1)), 0);
        }
    }
    // Writes each sector's number (64-bit, little-endian) at its start, from `cluster` on.
    void numberSectorsFrom(std::uint32_t cluster) {
        for (std::uint64_t sector = clusterOffset(cluster) / 512; sector < image_.size() / 512; ++sector) {
            engine::storeLittleEndian<std::uint64_t>(image_.data() + sector * 512, sector);
        }
    }

    std::uint64_t dataOffset() const {
        return (kReservedSectors + 2ull * fatSectors_) * 512;
    }
    std::uint64_t clusterOffset(std::uint32_t cluster) const {
        return dataOffset() + std::uint64_t{cluster - 2} * clusterBytes_;
    }
    std::uint64_t fatOffset(int copy) const { return (kReservedSectors + std::uint64_t{fatSectors_} * copy) * 512; }
    std::uint32_t fatSectors() const { return fatSectors_; }
    std::vector<std::uint8_t>& image() { return image_; }

private:
    struct Folder {
        std::vector<std::uint32_t> clusters;
        std::uint32_t entries;
    };

    void writeBootSector() {
        std::uint8_t* boot = image_.data();
        const std::uint8_t jump[] = {0xEB, 0x58, 0x90};
        std::memcpy(boot, jump, 3);
        std::memcpy(boot + 3, "BUILDER ", 8);
        engine::storeLittleEndian<std::uint16_t>(boot + 11, 512);
        boot[13] = static_cast<std::uint8_t>(sectorsPerCluster_);
        engine::storeLittleEndian<std::uint16_t>(boot + 14, kReservedSectors);
        boot[16] = 2;
        boot[21] = 0xF8;
        engine::storeLittleEndian<std::uint32_t>(boot + 32, static_cast<std::uint32_t>(image_.size() / 512));
        engine::storeLittleEndian<std::uint32_t>(boot + 36, fatSectors_);
        engine::storeLittleEndian<std::uint32_t>(boot + 44, kRootCluster);
        boot[66] = 0x29;
        std::memcpy(boot + 71, "NO NAME    ", 11);
        std::memcpy(boot + 82, "FAT32   ", 8);
        boot[510] = 0x55;
        boot[511] = 0xAA;
    }

    std::uint32_t allocate() {
        if (next_ > clusters_ + 1) throw std::length_error("the volume is full");
        const std::uint32_t cluster = next_++;
        setNext(cluster, 0x0FFFFFFF);
        return cluster;
    }

    void setNext(std::uint32_t cluster, std::uint32_t value) {
        for (int copy = 0; copy < 2; ++copy) {
            engine::storeLittleEndian<std::uint32_t>(image_.data() + fatOffset(copy) + cluster * 4ull, value);
        }
    }

    Folder& folderAt(std::uint32_t cluster) {
        return cluster == kRootCluster ? folders_[0] : folders_[folderIndex_.at(cluster)];
    }

    // Takes the folder's next free entry slot, growing the folder when it is full.
    std::uint64_t nextEntryOffset(std::uint32_t folderCluster) {
        Folder& folder = folderAt(folderCluster);
        const std::uint32_t perCluster = clusterBytes_ / 32;
        if (folder.entries == perCluster * folder.clusters.size()) {
            const std::uint32_t grown = allocate();
            setNext(folder.clusters.back(), grown);
            folder.clusters.push_back(grown);
        }
        const std::uint32_t cluster = folder.clusters[folder.entries / perCluster];
        return clusterOffset(cluster) + (folder.entries++ % perCluster) * 32ull;
    }

    void addEntry(std::uint32_t folderCluster, const char* name83, std::uint8_t attributes, std::uint32_t first,
                  std::uint32_t size) {
        const std::uint64_t offset = nextEntryOffset(folderCluster);
        if (first != 0 && name83[0] != '.') entryOffsets_.at(first) = offset;
        std::uint8_t* at = image_.data() + offset;
        std::memcpy(at, name83, 11);
        at[11] = attributes;
        engine::storeLittleEndian<std::uint16_t>(at + 20, static_cast<std::uint16_t>(first >> 16));
        engine::storeLittleEndian<std::uint16_t>(at + 24, (43 << 9) | (5 << 5) | 6);  // 2023-05-06
        engine::storeLittleEndian<std::uint16_t>(at + 26, static_cast<std::uint16_t>(first));
        engine::storeLittleEndian<std::uint32_t>(at + 28, size);
    }

    std::uint32_t sectorsPerCluster_;
    std::uint32_t clusterBytes_;
    std::uint32_t fatSectors_;
    std::uint32_t clusters_;
    std::uint32_t next_ = 0;
    std::vector<std::uint64_t> entryOffsets_;  // by first cluster
    std::vector<std::uint8_t> image_;
    std::vector<Folder> folders_;
    std::vector<std::uint32_t> folderIndex_;
};

}  // namespace fattest
