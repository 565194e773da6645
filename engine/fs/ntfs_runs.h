#pragma once
// Data runs: the mapping pairs of a non-resident attribute decoded into cluster ranges,
// merged across extension records and searched by virtual cluster.

#include <cstdint>
#include <vector>

#include "engine/fs/ntfs_layout.h"

namespace ntfs {

struct DataRun {
    std::uint64_t clusterBegin = 0;  // first logical cluster
    std::uint64_t clusterCount = 0;
    std::uint32_t sparse = 0;        // 1: no clusters on disk, reads as zeros
    std::uint64_t vcnStart = 0;
    std::uint64_t vcnEnd = 0;        // vcnStart + clusterCount - 1
};

using RunList = std::vector<DataRun>;

// Appends the runs of `pairs`, the first at `startVcn` (the attribute's lowest VCN).
// Decoding ends at the terminating zero byte. It also ends, returning false, at the end
// of `pairs`, at a field wider than 8 bytes, a zero-length run, a VCN that overflows, and
// a run that starts before cluster 0 or past `totalClusters` (0: not checked); the runs
// decoded before stay. A run that starts inside the volume but ends past it is kept up
// to the volume's end, and decoding ends there.
bool decodeDataRuns(Bytes pairs, std::uint64_t startVcn, std::uint64_t totalClusters,
                    RunList& runs);

// Adds the runs of extension records in one pass. `target` is ordered by VCN without
// overlaps, as decoded; empty runs are dropped, and of runs that overlap, the one
// starting first is kept (the target's on a tie). The list stays ordered by VCN.
void mergeDataRuns(RunList& target, const RunList& extension);

// The run that maps `vcn`, or null. `runs` is ordered by VCN.
const DataRun* findRun(const RunList& runs, std::uint64_t vcn);

}  // namespace ntfs
