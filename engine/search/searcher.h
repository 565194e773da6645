#pragma once
// The signature search: reads a drive block by block from its first sector to its last
// (or only its free clusters) and reports every 512-byte unit on which a type of the
// table matches as a carved file. This thread reads; one worker thread matches the block
// read before, so the drive and the matching never wait for each other.
//
// Hits go to the settings' FoundCallback (the searcher's own record, valid during the
// call) or, without one, are sent to NotifyWindow as WM_ENGINE_FILE_FOUND in a LocalAlloc
// block that the receiver frees. Progress is posted per block once the block's hits are
// delivered, and once at the end, with the figures in the settings (CurrentCluster: the
// end of the last block delivered); a block read sector by sector on a failing disk also
// posts it while it is read, short of the block's end. The host stops a search by writing
// 0 to Run.

#include <cstdint>
#include <memory>
#include <span>

#include "engine/disk/sector_pass.h"
#include "engine/records.h"
#include "engine/search/searcher_blocks.h"
#include "engine/search/searcher_unit_index.h"

class CDrive;
class CInformationStorage;
class CFileType;
class CSearchWorker;
struct SearchSlot;

class CSearcher {
public:
    static constexpr std::uint32_t kUnit = 512;
    static constexpr std::uint32_t kDefaultBufferSize = 0x200000;
    // How long the searcher waits for a buffer before it tests Run again.
    static constexpr std::uint32_t kWorkerWaitMs = 30000;
    // How far ahead of the unit being matched its anchor bytes are fetched: enough units
    // to cover the time a fetch from another core's cache takes.
    static constexpr std::uint64_t kPrefetchBytes = 16 * kUnit;

    CSearcher(CDrive& drive, EngineSettings& settings, const CInformationStorage& types);
    ~CSearcher();
    CSearcher(const CSearcher&) = delete;
    CSearcher& operator=(const CSearcher&) = delete;

    // Runs the whole search; returns 0.
    int Search();

private:
    bool running() const;
    bool AddWorker(std::size_t slotBytes);
    void DestroyWorkers();
    // Reads the slot's block through the search's sector pass; sectors that cannot be
    // read stay zero. Returns bytes read.
    std::uint64_t ReadBlock(SearchSlot& slot);
    // On the worker thread: matches the units of the slot's block that are to be
    // matched, then publishes the block's progress.
    void ParseBlock(SearchSlot& slot);
    void ReportHit(const CFileType& type, std::uint64_t position, std::span<const std::uint8_t> unit);
    // Hands the hit to the callback, or sends it to the window unless it lies inside the
    // movie of the hit before.
    void Deliver(FoundFileRecord* record, bool insidePreviousMovie);
    void postProgress() const;

    CDrive& drive_;
    EngineSettings& settings_;
    CSearchUnitIndex index_;
    std::unique_ptr<CSearchBlockPlan> plan_;
    std::unique_ptr<engine::disk::SectorPass> pass_;
    std::unique_ptr<CSearchWorker> worker_;
    // Worker-thread state: the record filled for a callback, and the previous hit's type.
    FoundFileRecord ownRecord_;
    std::uint16_t lastTypeId_ = 0;
};
