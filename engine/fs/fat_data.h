#pragma once
// Reading a found file's data from a FAT volume. A live file follows its cluster chain;
// a deleted file, whose chain is gone, is taken from its first cluster onward over the
// clusters that the FAT shows free (an allocated cluster holds a live file's data, never
// the deleted file's); the rest of a live file whose chain runs into a free entry follows
// that chain's end in a row; a signature hit is one contiguous run from its data position.

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "engine/fs/fat_geometry.h"
#include "engine/fs/fat_table.h"

class CDrive;
struct FileReadRequest;

enum class FatReadMode {
    Chain,         // a live file: its cluster chain
    FreeClusters,  // a deleted file: free clusters from its first cluster onward
    Contiguous,    // a signature hit: bytes from its data position
};

class FatFileData {
public:
    FatFileData(CDrive& drive, const FatGeometry& geometry, const FatTable& fat);

    // Bytes delivered into the request's buffer (which holds the size rounded up to
    // whole 512-byte sectors); 0 on failure. Safe to call from several threads.
    std::uint64_t read(const FileReadRequest& request, FatReadMode mode);

private:
    struct ClusterList {
        std::uint32_t first = 0;
        bool deleted = false;
        bool complete = false;  // no more clusters can follow
        std::vector<std::uint32_t> clusters;
    };

    std::shared_ptr<const ClusterList> clustersFor(std::uint32_t first, bool deleted, std::uint64_t needed);
    std::vector<std::uint32_t> freeClustersFrom(std::uint32_t first, std::uint64_t needed) const;
    std::uint64_t readClusters(const ClusterList& list, std::uint64_t offset, std::uint64_t size,
                               std::uint8_t* buffer);
    // Reads `size` bytes at any byte offset into `out`, which has `room` bytes.
    std::uint64_t readAt(std::uint64_t position, std::uint64_t size, std::uint8_t* out, std::uint64_t room);

    CDrive& drive_;
    const FatGeometry& geometry_;
    const FatTable& fat_;
    std::mutex cacheLock_;
    std::shared_ptr<const ClusterList> cached_;
};
