// Data reads of a record: the resident value or its clusters through the data runs.

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/fs/ntfs_file.h"

using namespace ntfs;

std::uint64_t CNTFile::VCN_to_LCN(std::uint64_t vcn) const {
    const DataRun* run = findRun(runs_, vcn);
    return run ? run->clusterBegin + (vcn - run->vcnStart) : ~std::uint64_t{0};
}

std::uint64_t CNTFile::CoveredBytes() const {
    if (!nonResident_) return dataSize_;
    std::uint64_t clusters = 0;
    for (const DataRun& run : runs_) {
        if (!run.sparse) clusters = std::max(clusters, run.vcnEnd + 1);
    }
    const std::uint64_t clusterSize = owner_.BytesPerCluster();
    return clusters > ~std::uint64_t{0} / clusterSize ? ~std::uint64_t{0} : clusters * clusterSize;
}

std::uint64_t CNTFile::GetData(std::uint64_t offset, std::uint64_t size, void* buffer) const {
    try {
        if (!hasData_ || offset >= dataSize_ || size == 0) return 0;
        size = std::min(size, dataSize_ - offset);
        auto* out = static_cast<std::uint8_t*>(buffer);
        return nonResident_ ? GetNonResidentData(offset, size, out)
                            : GetResidentData(offset, size, out);
    } catch (...) {
        Log(kLogError, "GetData except");
        return 0;
    }
}

std::uint64_t CNTFile::GetResidentData(std::uint64_t offset, std::uint64_t size,
                                       std::uint8_t* out) const {
    // The value was bounded by its attribute when the record was parsed.
    std::memcpy(out, record_.data() + residentValueOffset_ + offset, size);
    return size;
}

std::uint64_t CNTFile::GetNonResidentData(std::uint64_t offset, std::uint64_t size,
                                          std::uint8_t* out) const {
    const std::uint64_t clusterSize = owner_.BytesPerCluster();
    std::vector<std::uint8_t> cluster(clusterSize);  // per call: reads come from many threads
    std::uint64_t copied = 0;
    std::uint64_t vcn = offset / clusterSize;
    std::uint64_t inCluster = offset % clusterSize;
    while (copied < size) {
        std::uint64_t position = offset + copied;
        std::uint64_t chunk = std::min(size - copied, clusterSize - inCluster);
        const DataRun* run = findRun(runs_, vcn);
        if (!run) {
            Log(kLogError, "VCN_to_LCN return -1; Cluster number not found: VCN %I64d", vcn);
            break;
        }
        if (run->sparse || position >= initializedSize_) {
            std::memset(out + copied, 0, chunk);
        } else {
            std::uint64_t valid = std::min(chunk, initializedSize_ - position);
            if (!owner_.ReadClusters(run->clusterBegin + (vcn - run->vcnStart), static_cast<std::uint32_t>(inCluster),
                                     static_cast<std::uint32_t>(inCluster + valid), cluster.data())) {
                break;
            }
            std::memcpy(out + copied, cluster.data() + inCluster, valid);
            std::memset(out + copied + valid, 0, chunk - valid);
        }
        copied += chunk;
        inCluster = 0;
        ++vcn;
    }
    return copied;
}
