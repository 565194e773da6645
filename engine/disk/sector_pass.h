#pragma once
// How every sector-by-sector pass over a failing disk reads (a file's recovery, the
// signature search, the FAT and folder loads), so that a dying disk costs its bad sectors
// rather than hours:
// - a run of sectors is read whole once; once it fails, its sectors are read one at a time,
//   and only a sector that fails gets the settings' retries (with their pauses);
// - a dead region costs a handful of reads: when the sectors after one that failed every
//   attempt fail a single attempt too, the pass skips ahead in doubling steps, one attempt
//   each, until a read succeeds, then narrows back to the first readable sector; the
//   sectors it passed over count as unreadable and are not read again by this pass;
// - a run of failed sectors, a skipped region included, is reported once, when its first
//   sector has failed, instead of once per attempt.
// A pass numbers its sectors from 0 (a file's, a drive's, a FAT copy's) and lives as long
// as the work it serves, so what it learnt about a region carries from piece to piece.
// Sectors that are not read are left zero.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "engine/disk/sector_reader.h"

namespace engine::disk {

enum class SectorState : std::uint8_t {
    NotRead,  // not reached: the pass was stopped, or the data ended before it
    Read,
    Failed,   // failed every attempt
    Skipped,  // inside a dead region
};

class SectorPass {
public:
    static constexpr std::uint64_t kSectorBytes = 512;
    // Sectors in a row that fail before the pass skips ahead: the first with every
    // attempt, the others with one.
    static constexpr std::uint64_t kDeadRow = 3;

    // Reads sectors from `first` into `out` (whole sectors, the pass's last one may be
    // short) with the attempts of the ReadScope the pass puts around it; the bytes read
    // from the start of `out`. A short read that left no failure in the scope means that
    // the data ends there.
    using Read = std::function<std::uint64_t(std::uint64_t first, std::span<std::uint8_t> out, Attempts attempts)>;
    // Told the next sector to read after a sector failed or a region was skipped, the
    // slow steps of a pass.
    using Progress = std::function<void(std::uint64_t next)>;

    // Sectors [0, end) exist; probes never pass the last.
    SectorPass(Read read, std::uint64_t end);

    void setProgress(Progress progress) { progress_ = std::move(progress); }
    // Asked before each read: false leaves the rest of the sectors NotRead.
    void setGoOn(std::function<bool()> goOn) { goOn_ = std::move(goOn); }

    // Reads the sectors of `out` from sector `first`: as one run with one attempt, and
    // sector by sector once that fails. One state per sector.
    std::vector<SectorState> readRun(std::uint64_t first, std::span<std::uint8_t> out);
    // The same without the read of the whole run, for a caller that already tried it.
    std::vector<SectorState> readSectors(std::uint64_t first, std::span<std::uint8_t> out);

private:
    struct Outcome {
        std::uint64_t bytes;
        std::optional<ReadFailure> failure;
    };
    enum class Sweep { Done, Skip, Ended };

    Outcome attempt(std::uint64_t first, std::span<std::uint8_t> out, Attempts attempts, bool quiet) const;
    bool probe(std::uint64_t sector) const;
    bool stopped() const { return goOn_ && !goOn_(); }
    void read(std::uint64_t first, std::span<std::uint8_t> out, std::vector<SectorState>& states, bool wholeFirst);
    // Sector by sector from `k` to the end of `out` or the start of a dead region.
    Sweep sweep(std::uint64_t first, std::span<std::uint8_t> out, std::vector<SectorState>& states, std::size_t& k);
    void failed(std::uint64_t sector, const std::optional<ReadFailure>& failure);
    // The first sector after `sector` (which failed every attempt) that reads, when the
    // ones right after it fail too; nullopt when they do not.
    std::optional<std::uint64_t> endOfDeadRegion(std::uint64_t sector) const;
    void addDeadRegion(std::uint64_t start, std::uint64_t end);
    // The end of the dead region that holds `sector`, if any, and the start of the next
    // one after it (end_ when none).
    std::optional<std::uint64_t> deadUntil(std::uint64_t sector) const;
    std::uint64_t nextDeadStart(std::uint64_t sector) const;

    Read read_;
    std::uint64_t end_;
    Progress progress_;
    std::function<bool()> goOn_;
    std::map<std::uint64_t, std::uint64_t> dead_;  // start -> end of each dead region
    // The run of failures being reported: it goes on while failures follow each other.
    std::optional<std::uint64_t> failedUntil_;
};

}  // namespace engine::disk
