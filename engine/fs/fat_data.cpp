#include "engine/fs/fat_data.h"

#include <algorithm>
#include <cstring>

#include "engine/disk/drive.h"
#include "engine/exports.h"
#include "engine/fs/fat_sectors.h"
#include "engine/log.h"

namespace {

constexpr std::uint64_t kSector = 512;

std::uint64_t roundUpToSector(std::uint64_t bytes) { return (bytes + kSector - 1) / kSector * kSector; }

}  // namespace

FatFileData::FatFileData(CDrive& drive, const FatGeometry& geometry, const FatTable& fat)
    : drive_(drive), geometry_(geometry), fat_(fat) {}

std::uint64_t FatFileData::read(const FileReadRequest& request, FatReadMode mode) {
    const FoundFileRecord* record = request.record;
    if (request.size == 0 || !record || !request.buffer) return 0;
    auto* buffer = static_cast<std::uint8_t*>(request.buffer);
    const std::uint64_t room = roundUpToSector(request.size);
    if (room < request.size) return 0;
    if (mode == FatReadMode::Contiguous) {
        if (record->DataPosition > ~std::uint64_t{0} - request.offset) return 0;
        return readAt(record->DataPosition + request.offset, request.size, buffer, room);
    }
    const std::uint64_t first = record->RecordNumber;
    if (!geometry_.isDataCluster(first)) return 0;
    if (request.offset > ~std::uint64_t{0} - request.size) return 0;
    const bool deleted = mode == FatReadMode::FreeClusters;
    const std::uint64_t needed = (request.offset + request.size + geometry_.bytesPerCluster - 1) /
                                 geometry_.bytesPerCluster;
    const auto list = clustersFor(static_cast<std::uint32_t>(first), deleted, needed);
    return readClusters(*list, request.offset, request.size, buffer);
}

std::shared_ptr<const FatFileData::ClusterList> FatFileData::clustersFor(std::uint32_t first, bool deleted,
                                                                         std::uint64_t needed) {
    {
        std::lock_guard lock(cacheLock_);
        if (cached_ && cached_->first == first && cached_->deleted == deleted &&
            (cached_->complete || cached_->clusters.size() >= needed)) {
            return cached_;
        }
    }
    auto list = std::make_shared<ClusterList>();
    list->first = first;
    list->deleted = deleted;
    if (deleted) {
        // Ask for a few more than needed so that sequential reads reuse the list.
        const std::uint64_t wanted = std::min<std::uint64_t>(needed, geometry_.clusterCount) * 2;
        list->clusters = freeClustersFrom(first, wanted);
        list->complete = list->clusters.size() < wanted;
    } else {
        list->clusters = fat_.chain(first);
        list->complete = true;
        // A chain cut short by a free entry (as a part of the FAT that no copy could give
        // reads) goes on in a row from there: the file's own later clusters still show
        // allocated, so they cannot be told from others.
        const std::uint32_t last = list->clusters.empty() ? 0 : list->clusters.back();
        if (last != 0 && fat_.value(last) == 0 && list->clusters.size() < needed) {
            const std::uint64_t wanted = std::min<std::uint64_t>(needed, geometry_.clusterCount) * 2;
            const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{last} + 1 + wanted - list->clusters.size(),
                                                              std::uint64_t{geometry_.lastCluster()} + 1);
            for (std::uint64_t cluster = last + 1; cluster < end; ++cluster) {
                list->clusters.push_back(static_cast<std::uint32_t>(cluster));
            }
            list->complete = end == std::uint64_t{geometry_.lastCluster()} + 1;
        }
    }
    std::lock_guard lock(cacheLock_);
    cached_ = list;
    return list;
}

std::vector<std::uint32_t> FatFileData::freeClustersFrom(std::uint32_t first, std::uint64_t needed) const {
    std::vector<std::uint32_t> clusters;
    for (std::uint64_t cluster = first; cluster <= geometry_.lastCluster() && clusters.size() < needed; ++cluster) {
        if (!fat_.isAllocated(static_cast<std::uint32_t>(cluster))) {
            clusters.push_back(static_cast<std::uint32_t>(cluster));
        }
    }
    return clusters;
}

std::uint64_t FatFileData::readClusters(const ClusterList& list, std::uint64_t offset, std::uint64_t size,
                                        std::uint8_t* buffer) {
    const std::uint64_t clusterBytes = geometry_.bytesPerCluster;
    const std::uint64_t room = roundUpToSector(size);
    const std::uint64_t end = offset + size;
    std::uint64_t position = offset;
    while (position < end) {
        const std::uint64_t index = position / clusterBytes;
        if (index >= list.clusters.size()) break;
        // Merge clusters that follow each other on the disk into one read.
        std::uint64_t last = index;
        while (last + 1 < list.clusters.size() && list.clusters[last + 1] == list.clusters[last] + 1 &&
               (last + 1) * clusterBytes < end) {
            ++last;
        }
        const std::uint64_t within = position - index * clusterBytes;
        const std::uint64_t runBytes = (last - index + 1) * clusterBytes - within;
        const std::uint64_t wanted = std::min(end - position, runBytes);
        const std::uint64_t done = position - offset;
        const std::uint64_t got = readAt(geometry_.clusterOffset(list.clusters[index]) + within, wanted,
                                         buffer + done, room - done);
        position += got;
        if (got < wanted) break;
    }
    return position - offset;
}

std::uint64_t FatFileData::readAt(std::uint64_t position, std::uint64_t size, std::uint8_t* out,
                                  std::uint64_t room) {
    const std::uint64_t lead = position % kSector;
    const std::uint64_t span = roundUpToSector(lead + size);
    if (lead == 0 && span <= room) {
        return std::min(size, readDriveBytes(drive_, position, {out, span}));
    }
    // Unaligned or without room for whole sectors: go through a sector-aligned copy.
    std::uint64_t done = 0;
    std::vector<std::uint8_t> bounce(std::min(span, kFatMaxReadBytes));
    std::uint64_t sectorStart = position - lead;
    std::uint64_t skip = lead;
    while (done < size) {
        const std::uint64_t piece = std::min<std::uint64_t>(bounce.size(), roundUpToSector(skip + size - done));
        const std::uint64_t got = readDriveBytes(drive_, sectorStart, {bounce.data(), piece});
        const std::uint64_t usable = got > skip ? std::min(got - skip, size - done) : 0;
        std::memcpy(out + done, bounce.data() + skip, usable);
        done += usable;
        if (got < piece) break;
        sectorStart += piece;
        skip = 0;
    }
    return done;
}
