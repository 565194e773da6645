#pragma once
// Shared pieces of the search tests: a drive over bytes in memory (optionally behind a
// fault plan that counts and fails reads), the built-in type table, settings installed as
// the engine's own, and a collector of the hits that a search delivers.

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/disk/drive.h"
#include "engine/engine_state.h"
#include "engine/records.h"
#include "engine/search/information_storage.h"
#include "platform/fault_injection.h"

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

// An image drive over `image`, reads counted (and failed when asked) by `plan`.
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

// Settings installed as the engine's current record for the test's duration.
class ScopedSearchSettings {
public:
    ScopedSearchSettings() : previous_(engine::state().settings) {
        std::memset(&settings_, 0, sizeof settings_);
        settings_.ReadRetries = 1;
        engine::state().settings = &settings_;
    }
    ~ScopedSearchSettings() { engine::state().settings = previous_; }
    ScopedSearchSettings(const ScopedSearchSettings&) = delete;
    ScopedSearchSettings& operator=(const ScopedSearchSettings&) = delete;
    EngineSettings& get() { return settings_; }

private:
    EngineSettings settings_;
    EngineSettings* previous_;
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

// Receives the hits of a callback search; the context is the collector's slot number.
class HitCollector {
public:
    explicit HitCollector(EngineSettings& settings) {
        current() = this;
        settings.FoundCallback = &HitCollector::receive;
        settings.CallbackContext = 7;
        settings_ = &settings;
    }
    ~HitCollector() { current() = nullptr; }

    std::vector<Hit> hits;
    std::uint32_t context = 0;
    // Writes Run = 0 when this many hits have arrived (0: never).
    std::size_t stopAfter = 0;

private:
    static HitCollector*& current() {
        static HitCollector* collector = nullptr;
        return collector;
    }
    static void receive(std::uint32_t context, FoundFileRecord* record) {
        HitCollector* self = current();
        self->context = context;
        self->hits.push_back(hitOf(*record));
        if (self->stopAfter != 0 && self->hits.size() == self->stopAfter) {
            std::atomic_ref<std::int32_t>(self->settings_->Run).store(0);
        }
    }
    EngineSettings* settings_ = nullptr;
};

inline void put(std::vector<std::uint8_t>& image, std::uint64_t at, const std::string& bytes) {
    std::memcpy(image.data() + at, bytes.data(), bytes.size());
}

}  // namespace searchtest
