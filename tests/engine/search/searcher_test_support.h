#pragma once
// Shared by the search tests: a drive over bytes in memory behind a fault plan, the
// built-in type table, settings installed as the engine's own, and hit collectors.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/disk/drive.h"
#include "engine/engine_state.h"
#include "engine/messages.h"
#include "engine/records.h"
#include "engine/search/information_storage.h"
#include "engine/support/scoped_settings.h"
#include "platform/fault_injection.h"
#include "platform/local_heap.h"
#include "platform/messages.h"

namespace searchtest {

constexpr std::uint64_t kSector = 512;

inline const CInformationStorage& builtinTypes() {
    static const CInformationStorage* table = [] {
        auto* storage = new CInformationStorage(u"\\Software\\Unused");
        storage->AddBuiltinFileTypes();
        return storage;
    }();
    return *table;
}

// An image drive whose reads `plan` records (and fails when asked).
struct MemoryImageDrive {
    explicit MemoryImageDrive(std::vector<std::uint8_t> bytes, std::uint32_t sectorsPerCluster = 1)
        : image(std::make_shared<std::vector<std::uint8_t>>(std::move(bytes))),
          plan(std::make_shared<platform::FaultPlan>()) {
        drive.SetSource({kDriveImage, "memory", 0, image->size()});
        drive.SetDeviceOpener(platform::faultyOpener(plan, platform::memoryOpener(image)));
        drive.SetSleeper([](std::uint32_t) {});
        _LDRIVE* info = drive.GetDriveInfo();
        info->SectorsPerCluster = sectorsPerCluster;
        info->BytesPerCluster = sectorsPerCluster * 512;
        info->TotalClusters = image->size() / info->BytesPerCluster;
    }

    std::shared_ptr<std::vector<std::uint8_t>> image;
    std::shared_ptr<platform::FaultPlan> plan;
    CDrive drive;
};

// The engine's settings for a search: one read attempt per sector run.
class ScopedSearchSettings : public test_support::ScopedSettings {
public:
    ScopedSearchSettings() : ScopedSettings(1) {}
};

struct Hit {
    std::uint64_t position;
    std::uint16_t type;
    std::uint64_t size;
    std::uint64_t firstCluster;
    std::uint16_t flags;
    friend bool operator==(const Hit&, const Hit&) = default;
};

inline Hit hitOf(const FoundFileRecord& record) {
    return {record.DataPosition, record.TypeCode, record.Size, record.FirstCluster, record.Flags};
}

inline std::vector<std::uint64_t> positions(const std::vector<Hit>& hits) {
    std::vector<std::uint64_t> out;
    for (const Hit& hit : hits) out.push_back(hit.position);
    return out;
}

// Receives the hits of a callback search (context 7); one collector at a time.
class HitCollector {
public:
    explicit HitCollector(EngineSettings& settings) : settings_(&settings) {
        current() = this;
        settings.FoundCallback = &HitCollector::receive;
        settings.CallbackContext = 7;
    }
    ~HitCollector() { current() = nullptr; }

    std::vector<Hit> hits;
    std::vector<std::uint64_t> progressAtHits;  // CurrentCluster when each hit arrived
    std::uint32_t context = 0;
    std::size_t stopAfter = 0;  // writes Run = 0 once this many hits arrived (0: never)

private:
    static HitCollector*& current() {
        static HitCollector* collector = nullptr;
        return collector;
    }
    static void receive(std::uint32_t context, FoundFileRecord* record) {
        HitCollector* self = current();
        self->context = context;
        self->hits.push_back(hitOf(*record));
        self->progressAtHits.push_back(std::uint64_t{self->settings_->CurrentCluster});
        if (self->stopAfter != 0 && self->hits.size() == self->stopAfter) {
            std::atomic_ref<std::int32_t>(self->settings_->Run).store(0);
        }
    }
    EngineSettings* settings_;
};

// Collects what a message-mode search sends and posts, freeing every record.
class SearchWindow {
public:
    SearchWindow()
        : window_([this](const platform::Message& message) -> LRESULT {
              if (message.message == WM_ENGINE_FILE_FOUND) {
                  auto* record = reinterpret_cast<FoundFileRecord*>(message.lParam);
                  hits.push_back(hitOf(*record));
                  events += 'H';
                  LocalFree(record);
              } else if (message.message == WM_ENGINE_SEARCH_PROGRESS) {
                  ++progress;
                  events += 'P';
              }
              return 0;
          }) {}
    HWND handle() const { return window_.handle(); }
    void drain() { window_.dispatchPending(); }
    void waitForMessage(std::chrono::milliseconds timeout) { window_.dispatchOne(timeout); }

    std::vector<Hit> hits;
    int progress = 0;
    std::string events;  // in arrival order: 'H' a hit, 'P' a progress message

private:
    platform::QueueWindow window_;
};

// Writes the conditions of the first signature of `type` into `unit`.
inline void signUnit(const CFileType& type, std::span<std::uint8_t> unit) {
    for (const CSignatureCondition& condition : type.signatures().front().conditions()) {
        const std::span<const std::uint8_t> value = condition.value();
        const bool range = condition.kind() == kConditionRange8 || condition.kind() == kConditionRange16;
        const std::size_t size = range ? value.size() / 2 : value.size();
        if (condition.offset() < 0 || condition.offset() + size > unit.size()) continue;
        std::memcpy(unit.data() + condition.offset(), value.data(), size);
    }
}

inline void put(std::vector<std::uint8_t>& image, std::uint64_t at, const std::string& bytes) {
    std::memcpy(image.data() + at, bytes.data(), bytes.size());
}

}  // namespace searchtest
