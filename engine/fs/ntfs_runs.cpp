#include "engine/fs/ntfs_runs.h"

#include <algorithm>
#include <iterator>

namespace ntfs {

namespace {

constexpr unsigned kMaxFieldBytes = 8;

std::uint64_t readUnsigned(const std::uint8_t* bytes, unsigned count) {
    std::uint64_t value = 0;
    for (unsigned i = 0; i < count; ++i) value |= std::uint64_t{bytes[i]} << (8 * i);
    return value;
}

std::int64_t readSigned(const std::uint8_t* bytes, unsigned count) {
    std::uint64_t value = readUnsigned(bytes, count);
    if (count < kMaxFieldBytes && (bytes[count - 1] & 0x80)) value |= ~std::uint64_t{0} << (8 * count);
    return static_cast<std::int64_t>(value);
}

}  // namespace

bool decodeDataRuns(Bytes pairs, std::uint64_t startVcn, std::uint64_t totalClusters,
                    RunList& runs) {
    std::size_t position = 0;
    std::uint64_t vcn = startVcn;
    std::int64_t baseLcn = 0;
    while (position < pairs.size()) {
        std::uint8_t header = pairs[position];
        if (header == 0) return true;
        unsigned lengthBytes = header & 0x0F;
        unsigned offsetBytes = header >> 4;
        if (lengthBytes == 0 || lengthBytes > kMaxFieldBytes || offsetBytes > kMaxFieldBytes) {
            return false;
        }
        if (pairs.size() - position - 1 < lengthBytes + offsetBytes) return false;
        const std::uint8_t* field = pairs.data() + position + 1;
        std::uint64_t length = readUnsigned(field, lengthBytes);
        std::int64_t offset = offsetBytes ? readSigned(field + lengthBytes, offsetBytes) : 0;
        if (length == 0 || length > (~std::uint64_t{0} >> 1)) return false;
        std::uint64_t vcnEnd;
        if (__builtin_add_overflow(vcn, length - 1, &vcnEnd) || vcnEnd == ~std::uint64_t{0}) {
            return false;
        }
        DataRun run;
        run.clusterCount = length;
        run.vcnStart = vcn;
        run.vcnEnd = vcnEnd;
        if (offset == 0) {
            run.sparse = 1;
            run.clusterBegin = static_cast<std::uint64_t>(baseLcn);
        } else {
            std::int64_t lcn;
            if (__builtin_add_overflow(baseLcn, offset, &lcn) || lcn < 0) return false;
            run.clusterBegin = static_cast<std::uint64_t>(lcn);
            if (totalClusters && run.clusterBegin >= totalClusters) return false;
            if (totalClusters && totalClusters - run.clusterBegin < length) {
                run.clusterCount = totalClusters - run.clusterBegin;
                run.vcnEnd = run.vcnStart + run.clusterCount - 1;
                runs.push_back(run);
                return false;
            }
            baseLcn = lcn;
        }
        runs.push_back(run);
        vcn = vcnEnd + 1;
        position += 1 + lengthBytes + offsetBytes;
    }
    return false;
}

void mergeDataRuns(RunList& target, const RunList& extension) {
    RunList all;
    all.reserve(target.size() + extension.size());
    all.insert(all.end(), target.begin(), target.end());
    std::copy_if(extension.begin(), extension.end(), std::back_inserter(all),
                 [](const DataRun& run) { return run.clusterCount != 0; });
    std::stable_sort(all.begin(), all.end(), [](const DataRun& a, const DataRun& b) {
        return a.vcnStart < b.vcnStart;
    });
    target.clear();
    for (const DataRun& run : all) {
        if (target.empty() || run.vcnStart > target.back().vcnEnd) target.push_back(run);
    }
}

const DataRun* findRun(const RunList& runs, std::uint64_t vcn) {
    auto after = std::upper_bound(
        runs.begin(), runs.end(), vcn,
        [](std::uint64_t value, const DataRun& run) { return value < run.vcnStart; });
    if (after == runs.begin()) return nullptr;
    const DataRun& run = *(after - 1);
    return vcn <= run.vcnEnd ? &run : nullptr;
}

}  // namespace ntfs
