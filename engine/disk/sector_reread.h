#pragma once
// A run whose read as a whole came back short, read again one 512-byte sector at a time,
// so that a bad sector costs only its own bytes, which are left zero. The FAT copy and
// folder loaders read drive sectors this way, the recovery writer a file's.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace engine::disk {

// Reads `out.size()` bytes at byte `offset` (of a drive or of a file) into `out`; the
// bytes it delivered.
using RunRead = std::function<std::uint64_t(std::uint64_t offset, std::span<std::uint8_t> out)>;

// Reads the sectors of `out`, which stands at byte `offset`, from sector `first` on, each
// through `read`; the last sector may be shorter than 512 bytes. A sector that does not
// read whole is zeroed. `goOn`, when given, is asked before each sector: false leaves the
// rest unread. One flag per sector, true when it was read (those before `first` count as
// read).
std::vector<bool> rereadBySector(const RunRead& read, std::uint64_t offset, std::span<std::uint8_t> out,
                                 std::size_t first = 0, const std::function<bool()>& goOn = {});

}  // namespace engine::disk
