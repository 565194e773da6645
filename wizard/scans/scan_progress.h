#pragma once
// Progress bars of the scans run from 0 to kProgressRange whatever the counts: a drive of
// 2^31 clusters or more would turn a 32-bit count negative.

#include <cstdint>

inline constexpr int kProgressRange = 10000;

// current x 10000 / total in 128 bits, at most 10000; 0 for a total of 0.
constexpr int ProgressPosition(std::uint64_t current, std::uint64_t total) {
    if (total == 0) return 0;
    if (current >= total) return kProgressRange;
    return static_cast<int>(static_cast<unsigned __int128>(current) * kProgressRange / total);
}
