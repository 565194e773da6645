#include "engine/disk/sector_pass.h"

#include <algorithm>
#include <array>

#include "engine/log.h"

namespace engine::disk {

SectorPass::SectorPass(Read read, std::uint64_t end) : read_(std::move(read)), end_(end) {}

std::vector<SectorState> SectorPass::readRun(std::uint64_t first, std::span<std::uint8_t> out) {
    std::vector<SectorState> states;
    read(first, out, states, true);
    return states;
}

std::vector<SectorState> SectorPass::readSectors(std::uint64_t first, std::span<std::uint8_t> out) {
    std::vector<SectorState> states;
    read(first, out, states, false);
    return states;
}

SectorPass::Outcome SectorPass::attempt(std::uint64_t first, std::span<std::uint8_t> out, Attempts attempts,
                                        bool quiet) const {
    // The reader's line per failed read would repeat for every bad sector; the pass
    // reports each run of them once.
    std::optional<QuietLogScope> quietLog;
    if (quiet) quietLog.emplace();
    ReadScope scope(attempts);
    const std::uint64_t bytes = read_(first, out, attempts);
    return {std::min<std::uint64_t>(bytes, out.size()), scope.failure()};
}

bool SectorPass::probe(std::uint64_t sector) const {
    std::array<std::uint8_t, kSectorBytes> scratch;
    return attempt(sector, scratch, Attempts::One, true).bytes == scratch.size();
}

void SectorPass::read(std::uint64_t first, std::span<std::uint8_t> out, std::vector<SectorState>& states,
                      bool wholeFirst) {
    const std::size_t n = (out.size() + kSectorBytes - 1) / kSectorBytes;
    states.assign(n, SectorState::NotRead);
    const auto bytesTo = [&](std::size_t sector) { return std::min<std::uint64_t>(sector * kSectorBytes, out.size()); };
    const auto mark = [&](std::size_t from, std::size_t to, SectorState state) {
        std::fill(states.begin() + static_cast<std::ptrdiff_t>(from), states.begin() + static_cast<std::ptrdiff_t>(to),
                  state);
    };
    bool whole = wholeFirst;
    std::size_t k = 0;
    while (k < n && !stopped()) {
        const std::uint64_t sector = first + k;
        if (const std::optional<std::uint64_t> until = deadUntil(sector)) {
            const std::size_t stop = static_cast<std::size_t>(std::min<std::uint64_t>(n, *until - first));
            mark(k, stop, SectorState::Skipped);
            if (failedUntil_ == sector) failedUntil_ = *until;
            k = stop;
            // Past a dead region the rest may read whole again.
            whole = true;
            continue;
        }
        const std::size_t runEnd = static_cast<std::size_t>(std::min<std::uint64_t>(n, nextDeadStart(sector) - first));
        // A single sector goes straight to its attempts.
        if (whole && runEnd - k > 1) {
            const std::span<std::uint8_t> run = out.subspan(bytesTo(k), bytesTo(runEnd) - bytesTo(k));
            const Outcome outcome = attempt(sector, run, Attempts::One, false);
            const std::size_t got = outcome.bytes == run.size() ? runEnd - k : outcome.bytes / kSectorBytes;
            mark(k, k + got, SectorState::Read);
            if (got != 0) failedUntil_.reset();
            k += got;
            if (k == runEnd) continue;
            if (!outcome.failure) break;
        }
        if (sweep(first, out, states, k) != Sweep::Skip) break;
        whole = true;
    }
    for (std::size_t s = 0; s < n; ++s) {
        if (states[s] == SectorState::Read) continue;
        std::fill(out.begin() + static_cast<std::ptrdiff_t>(bytesTo(s)),
                  out.begin() + static_cast<std::ptrdiff_t>(bytesTo(s + 1)), std::uint8_t{0});
    }
}

SectorPass::Sweep SectorPass::sweep(std::uint64_t first, std::span<std::uint8_t> out,
                                    std::vector<SectorState>& states, std::size_t& k) {
    for (; k < states.size(); ++k) {
        if (stopped()) return Sweep::Done;
        const std::uint64_t sector = first + k;
        if (deadUntil(sector)) return Sweep::Skip;
        const std::uint64_t at = k * kSectorBytes;
        const std::span<std::uint8_t> bytes = out.subspan(at, std::min<std::uint64_t>(kSectorBytes, out.size() - at));
        const Outcome outcome = attempt(sector, bytes, Attempts::All, true);
        if (outcome.bytes == bytes.size()) {
            states[k] = SectorState::Read;
            failedUntil_.reset();
            continue;
        }
        if (!outcome.failure) return Sweep::Ended;
        states[k] = SectorState::Failed;
        failed(sector, outcome.failure);
        if (const std::optional<std::uint64_t> end = endOfDeadRegion(sector)) {
            addDeadRegion(sector, *end);
            failedUntil_ = *end;
            if (progress_) progress_(*end);
            ++k;
            return Sweep::Skip;
        }
        if (progress_) progress_(sector + 1);
    }
    return Sweep::Done;
}

void SectorPass::failed(std::uint64_t sector, const std::optional<ReadFailure>& failure) {
    if (failedUntil_ != sector) postIoError(currentReadPolicy().notifyWindow, *failure);
    failedUntil_ = sector + 1;
}

std::optional<std::uint64_t> SectorPass::endOfDeadRegion(std::uint64_t sector) const {
    // Too near the end for a skip to save anything; or stopped.
    if (sector >= end_ || end_ - sector < kDeadRow || stopped()) return std::nullopt;
    for (std::uint64_t k = 1; k < kDeadRow; ++k) {
        if (probe(sector + k)) return std::nullopt;
    }
    std::uint64_t bad = sector + kDeadRow - 1;
    std::optional<std::uint64_t> good;
    for (std::uint64_t step = 1; bad + 1 < end_ && !stopped();) {
        step = std::min(step * 2, end_ - 1 - bad);
        if (probe(bad + step)) {
            good = bad + step;
            break;
        }
        bad += step;
    }
    if (!good) return bad + 1;
    while (*good - bad > 1) {
        const std::uint64_t middle = bad + (*good - bad) / 2;
        if (probe(middle)) {
            good = middle;
        } else {
            bad = middle;
        }
    }
    return good;
}

void SectorPass::addDeadRegion(std::uint64_t start, std::uint64_t end) {
    // Probes may have run into regions found before (a pass that reads out of order):
    // one region takes them in, so that a sector's region is the last that starts before it.
    auto later = dead_.lower_bound(start);
    while (later != dead_.end() && later->first < end) {
        end = std::max(end, later->second);
        later = dead_.erase(later);
    }
    dead_.emplace(start, end);
}

std::optional<std::uint64_t> SectorPass::deadUntil(std::uint64_t sector) const {
    auto after = dead_.upper_bound(sector);
    if (after == dead_.begin()) return std::nullopt;
    const std::uint64_t end = std::prev(after)->second;
    if (end <= sector) return std::nullopt;
    return end;
}

std::uint64_t SectorPass::nextDeadStart(std::uint64_t sector) const {
    const auto next = dead_.upper_bound(sector);
    return next == dead_.end() ? end_ : next->first;
}

}  // namespace engine::disk
