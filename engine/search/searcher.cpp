#include "engine/search/searcher.h"

#include <algorithm>
#include <atomic>
#include <exception>

#include "engine/disk/drive.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "engine/messages.h"
#include "engine/search/information_storage.h"
#include "engine/search/searcher_hit.h"
#include "engine/search/searcher_worker.h"
#include "platform/local_heap.h"
#include "platform/messages.h"

namespace {

// Run is cleared by the host from any thread; every thread of the search reads it.
std::int32_t loadRun(EngineSettings& settings) {
    return std::atomic_ref<std::int32_t>(settings.Run).load(std::memory_order_relaxed);
}

}  // namespace

CSearcher::CSearcher(CDrive& drive, EngineSettings& settings, const CInformationStorage& types)
    : drive_(drive), settings_(settings), index_(types) {
    resetFoundFileOnConstruction(ownRecord_);
}

CSearcher::~CSearcher() { DestroyWorkers(); }

bool CSearcher::running() const { return loadRun(settings_) != 0; }

void CSearcher::postProgress() const {
    PostMessageW(settings_.NotifyWindow, WM_ENGINE_SEARCH_PROGRESS, 0, 0);
}

int CSearcher::Search() {
    std::atomic_ref<std::int32_t>(settings_.Run).store(1);
    settings_.ReaderThreads = 1;
    settings_.UnitMode = 1;
    settings_.StartCluster = 0;
    if (settings_.BufferSize == 0) settings_.BufferSize = kDefaultBufferSize;

    plan_ = std::make_unique<CSearchBlockPlan>(drive_, settings_.BufferSize, settings_.FreeSpaceOnly == 1);
    settings_.TotalClusters = plan_->totalClusters();
    settings_.FreeClusters = plan_->CountFreeClusters();
    settings_.CurrentCluster = 0;
    // One pass for the whole search: a dead region found in one block is skipped in the next.
    const std::uint64_t driveSectors = drive_.GetDriveInfo()->TotalSectors;
    pass_ = std::make_unique<engine::disk::SectorPass>(
        [this](std::uint64_t first, std::span<std::uint8_t> out, engine::disk::Attempts) {
            return drive_.ReadSectors(first, out.size() / kUnit, out.data());
        },
        driveSectors);
    pass_->setGoOn([this] { return running(); });

    // Without a worker nothing would parse the blocks: the search ends at once.
    if (AddWorker(plan_->blockSectors() * kUnit)) {
        while (running()) {
            if (!worker_->WaitNextSlot(kWorkerWaitMs)) continue;
            SearchSlot& slot = worker_->NextSlot();
            if (!plan_->Next(slot.block) || !running()) break;
            ReadBlock(slot);
            if (!running()) break;
            worker_->HandOver();
        }
    }
    // Every hit and every block's progress is delivered before the last progress message.
    DestroyWorkers();
    postProgress();
    return 0;
}

bool CSearcher::AddWorker(std::size_t slotBytes) {
    auto worker = std::make_unique<CSearchWorker>(slotBytes, [this](SearchSlot& slot) { ParseBlock(slot); });
    if (!worker->Start()) return false;
    worker_ = std::move(worker);
    return true;
}

void CSearcher::DestroyWorkers() { worker_.reset(); }

std::uint64_t CSearcher::ReadBlock(SearchSlot& slot) {
    const SearchBlock& block = slot.block;
    const std::uint64_t blockEnd = block.firstSector + block.sectors;
    pass_->setProgress([this, blockEnd, earlierBlocksDone = false](std::uint64_t next) mutable {
        // The position moves on while the block is read sector by sector, once every
        // earlier block's hits are out, and stays short of the block's end until its own are.
        if (!earlierBlocksDone) {
            worker_->WaitIdle();
            earlierBlocksDone = true;
        }
        const std::uint64_t cluster = std::min(next, blockEnd - 1) / plan_->sectorsPerCluster();
        settings_.CurrentCluster = std::max(std::uint64_t{settings_.CurrentCluster}, cluster);
        if (running() && settings_.NotifyWindow != 0) postProgress();
    });
    // A block that does not read whole is read sector by sector; what cannot be read
    // stays zero.
    const std::vector<engine::disk::SectorState> sectors =
        pass_->readRun(block.firstSector, {slot.buffer.data(), block.sectors * kUnit});
    const auto read =
        static_cast<std::uint64_t>(std::count(sectors.begin(), sectors.end(), engine::disk::SectorState::Read));
    if (read != block.sectors) {
        Log(kLogError, "CSearcher.ReadBlock at: %I64d not readed, try read by one sector", block.firstSector);
    }
    return read * kUnit;
}

void CSearcher::ParseBlock(SearchSlot& slot) {
    const SearchBlock& block = slot.block;
    const std::uint8_t* data = slot.buffer.data();
    const std::uint64_t start = block.firstSector * kUnit;
    const std::uint64_t end = block.sectors * kUnit;
    for (const SectorRange& range : block.matched) {
        const std::uint64_t rangeEnd = (range.first + range.count) * kUnit;
        for (std::uint64_t offset = range.first * kUnit; offset < rangeEnd; offset += kUnit) {
            if (!running()) return;
            if (offset + kPrefetchBytes < end) index_.Prefetch(data + offset + kPrefetchBytes);
            // The unit's span reaches the block's end: conditions past the unit see the
            // following bytes.
            const std::span<const std::uint8_t> unit(data + offset, end - offset);
            const CFileType* type = index_.FirstMatch(unit);
            if (type) ReportHit(*type, start + offset, unit);
        }
    }
    // The block's progress follows its hits.
    settings_.CurrentCluster = (block.firstSector + block.sectors) / plan_->sectorsPerCluster();
    if (running() && settings_.NotifyWindow != 0) postProgress();
}

void CSearcher::ReportHit(const CFileType& type, std::uint64_t position, std::span<const std::uint8_t> unit) {
    FoundFileRecord* record = &ownRecord_;
    if (!settings_.FoundCallback) {
        // Nobody to receive the hit: nothing is allocated.
        if (!IsWindow(settings_.NotifyWindow)) {
            lastTypeId_ = type.signatureId();
            return;
        }
        record = static_cast<FoundFileRecord*>(LocalAlloc(LPTR, sizeof(FoundFileRecord)));
        if (!record) {
            Log(kLogError, "CSearcher.ParseBlock: Can't allocate memory");
            return;
        }
    }
    search_hit::Fill(*record, type.signatureId(), position, plan_->bytesPerCluster());
    search_hit::ApplyFixUps(*record, unit, drive_);
    const std::uint16_t typeId = record->TypeCode;
    Deliver(record, search_hit::InsidePreviousMovie(lastTypeId_, typeId, unit));
    lastTypeId_ = typeId;
}

void CSearcher::Deliver(FoundFileRecord* record, bool insidePreviousMovie) {
    if (settings_.FoundCallback) {
        settings_.FoundCallback(settings_.CallbackContext, record);
        return;
    }
    // The window gets one hit per movie, not one per atom.
    if (loadRun(settings_) == 1 && !insidePreviousMovie) {
        // A receiver that handled the hit frees the record; one that went away did not.
        if (platform::sendMessage(settings_.NotifyWindow, WM_ENGINE_FILE_FOUND, reinterpret_cast<WPARAM>(record),
                                  reinterpret_cast<LPARAM>(record)))
            return;
    }
    LocalFree(record);
}
