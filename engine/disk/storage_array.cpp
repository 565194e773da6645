#include "engine/disk/storage_array.h"

#include <cstdio>
#include <map>

#include "engine/disk/listed_disks.h"
#include "engine/exports.h"
#include "engine/log.h"
#include "engine/messages.h"
#include "platform/handles.h"
#include "platform/messages.h"

namespace {

constexpr HWND kNoNotifyWindow = static_cast<HWND>(-1);

bool isKeptKind(std::int32_t kind) { return kind == kDriveImage || kind == kDriveLostPartition; }

CStorageArray::DeviceSource defaultDeviceSource() {
    // The enumerator remembers letters, so a device keeps its letter across rescans.
    auto enumerator = std::make_shared<platform::DeviceEnumerator>();
    return [enumerator] {
        if (std::optional<std::vector<std::string>> paths = engine::listedDiskPaths()) {
            std::vector<platform::ListedDisk> disks;
            for (const std::string& path : *paths) disks.push_back(engine::describeListedDisk(path));
            return enumerator->enumerateListed(disks);
        }
        return enumerator->enumerate();
    };
}

void queryDevice(CDrive& drive) { drive.QueryInformation(); }

// The query fills the record from the device; what the array decided stays.
void adoptQueryResult(CDrive& listed, const CDrive& twin) {
    _LDRIVE record = *twin.GetDriveInfo();
    const _LDRIVE& own = *listed.GetDriveInfo();
    record.Id = own.Id;
    record.Kind = own.Kind;
    record.Letter = own.Letter;
    record.ParentId = own.ParentId;
    record.DriveType = own.DriveType;
    record.BaseOffset = own.BaseOffset;
    *listed.GetDriveInfo() = record;
}

}  // namespace

// One drive that the rescan found, before it becomes a drive object.
struct CStorageArray::Found {
    DriveSource source;
    std::string sourceKey;
    char letter = 0;
    std::int32_t parentId = -1;
    std::uint32_t driveType = platform::kEnumeratedFixed;
    bool ready = false;
    std::string description;

    void configure(CDrive& drive, std::int32_t id) const {
        drive.SetSource(source);
        _LDRIVE& info = *drive.GetDriveInfo();
        info.Id = id;
        info.Letter = letter;
        info.ParentId = parentId;
        info.DriveType = driveType;
        info.Ready = ready ? 1 : 0;
        std::snprintf(info.Description, sizeof info.Description, "%s", description.c_str());
    }
};

CStorageArray::CStorageArray(std::size_t physicalDiskRoom)
    : CStorageArray(physicalDiskRoom, defaultDeviceSource(), queryDevice) {}

CStorageArray::CStorageArray(std::size_t physicalDiskRoom, DeviceSource source, DriveQuery query,
                             std::chrono::milliseconds queryDeadline)
    : source_(std::move(source)),
      query_(std::move(query)),
      queryDeadline_(queryDeadline),
      physicalDiskRoom_(physicalDiskRoom),
      notifyWindow_(kNoNotifyWindow) {
    entries_.reserve(physicalDiskRoom);
}

CStorageArray::~CStorageArray() {
    std::unique_lock guard(threadsLock_);
    threadsDone_.wait(guard, [this] { return rescanThreads_ == 0; });
}

int CStorageArray::count() const {
    std::lock_guard guard(listLock_);
    return static_cast<int>(entries_.size());
}

std::shared_ptr<CDrive> CStorageArray::share(int index) const {
    std::lock_guard guard(listLock_);
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return nullptr;
    return entries_[static_cast<std::size_t>(index)].drive;
}

CDrive* CStorageArray::drive(int index) const { return share(index).get(); }

int CStorageArray::add(std::shared_ptr<CDrive> drive) {
    if (!drive) return -1;
    std::lock_guard guard(listLock_);
    // Its Id is its index, so that the index a caller is given opens this drive.
    const auto index = static_cast<std::int32_t>(entries_.size());
    drive->GetDriveInfo()->Id = index;
    entries_.push_back({std::move(drive), {}});
    return index;
}

_LDRIVE* CStorageArray::DiskGetInformation(int index) const {
    if (index < 0) {
        Log(kLogWarning, "DiskGetInformation: DiskNumber < 0");
        return nullptr;
    }
    CDrive* found = drive(index);
    if (!found) {
        Log(kLogWarning, "DiskGetInformation: DiskNumber >= Total disks");
        return nullptr;
    }
    return found->GetDriveInfo();
}

_LDRIVE* CStorageArray::DiskGetInformationEx(int index) const {
    std::shared_ptr<CDrive> found = share(index);
    if (!found) return nullptr;
    found->Initialize();
    return found->GetDriveInfo();
}

std::shared_ptr<CDrive> CStorageArray::DiskInitialize(int index) const {
    Log(kLogStatus, "CStorageArray.DiskInitialize.enter: DiskNumber: %d", index);
    std::shared_ptr<CDrive> found = share(index);
    if (!found) {
        Log(kLogError, index < 0 ? "DiskInitialize: DiskNumber < 0" : "DiskInitialize: DiskNumber >= Total disks");
        return nullptr;
    }
    std::uint32_t result = 0;
    try {
        result = found->Initialize();
    } catch (...) {
        Log(kLogError, "CStorageArray.DiskInitialize.except");
    }
    Log(kLogStatus, "CStorageArray.DiskInitialize.exit: Return: 0x%X", result);
    return found;
}

int CStorageArray::FindByLetter(const char* letter) const {
    if (!letter) return -1;
    const char wanted = static_cast<char>(letter[0] | 0x20);
    std::lock_guard guard(listLock_);
    for (const Entry& entry : entries_) {
        const _LDRIVE& info = *entry.drive->GetDriveInfo();
        if (static_cast<char>(info.Letter | 0x20) == wanted) return info.Id;
    }
    return -1;
}

std::shared_ptr<CDrive> CStorageArray::DiskInitializeByLetter(const char* letter) const {
    const int id = FindByLetter(letter);
    return id < 0 ? nullptr : DiskInitialize(id);
}

CDrive* CStorageArray::FindParent(const CDrive* drive) const {
    if (!drive) return nullptr;
    const std::int32_t parentId = drive->GetDriveInfo()->ParentId;
    std::lock_guard guard(listLock_);
    for (const Entry& entry : entries_)
        if (entry.drive->GetDriveInfo()->Id == parentId) return entry.drive.get();
    return nullptr;
}

std::vector<CStorageArray::Found> CStorageArray::collect(const platform::DeviceList& devices) {
    std::vector<Found> found;
    const std::size_t diskCount = std::min(devices.disks.size(), physicalDiskRoom_);
    for (std::size_t n = 0; n < diskCount; ++n) {
        const platform::DiskDevice& disk = devices.disks[n];
        Found entry;
        entry.source.kind = kDrivePhysical;
        entry.source.path = disk.path;
        entry.source.sizeBytes = disk.bytes;
        entry.sourceKey = disk.path;
        entry.letter = static_cast<char>('0' + n);
        // A physical disk is listed as fixed and ready, also while a reader has no medium.
        entry.driveType = platform::kEnumeratedFixed;
        entry.ready = true;
        entry.description = "Drive " + std::to_string(n);
        found.push_back(std::move(entry));
    }
    for (const platform::VolumeDevice& volume : devices.volumes) {
        if (volume.disk >= diskCount) continue;
        Found entry;
        entry.source.kind = kDriveVolume;
        entry.source.path = volume.path;
        entry.source.baseOffset = volume.baseOffset;
        entry.source.sizeBytes = volume.bytes;
        entry.source.partitionType = volume.partitionType;
        entry.source.partitionNumber = volume.partitionNumber;
        entry.source.diskPath = devices.disks[volume.disk].path;
        entry.sourceKey = volume.path + "@" + std::to_string(volume.baseOffset);
        entry.letter = volume.letter;
        entry.parentId = static_cast<std::int32_t>(volume.disk);
        entry.driveType = volume.driveType;
        entry.ready = volume.ready;
        found.push_back(std::move(entry));
    }
    return found;
}

void CStorageArray::announce(char letter) const {
    HWND window;
    {
        std::lock_guard guard(listLock_);
        window = notifyWindow_;
    }
    PostMessageW(window, WM_ENGINE_DRIVE_FOUND, 0, static_cast<LPARAM>(static_cast<unsigned char>(letter)));
}

void CStorageArray::reapFinishedQueries() {
    lateQueries_.remove_if([](const std::unique_ptr<QueryBatch>& batch) { return batch->allFinished(); });
}

int CStorageArray::Rescan() {
    std::lock_guard rescan(rescanLock_);
    reapFinishedQueries();
    const platform::DeviceList devices = source_();
    for (const std::string& name : devices.unlettered)
        Log(kLogWarning, "CStorageArray.Rescan: no drive letter left for %s", name.c_str());

    const std::vector<Found> found = collect(devices);
    auto queries = std::make_unique<QueryBatch>(query_);
    std::vector<Entry> fresh;
    std::vector<std::size_t> jobs;
    for (const Found& entry : found) {
        announce(entry.letter);
        const auto id = static_cast<std::int32_t>(fresh.size());
        auto drive = std::make_shared<CDrive>();
        entry.configure(*drive, id);
        auto twin = std::make_unique<CDrive>();
        entry.configure(*twin, id);
        jobs.push_back(queries->start(std::move(twin)));
        fresh.push_back({std::move(drive), entry.sourceKey});
    }

    queries->waitUntil(std::chrono::steady_clock::now() + queryDeadline_);
    for (std::size_t i = 0; i < fresh.size(); ++i)
        if (const CDrive* twin = queries->finished(jobs[i])) adoptQueryResult(*fresh[i].drive, *twin);
    if (!queries->allFinished()) lateQueries_.push_back(std::move(queries));

    // The replaced drives are released outside the lock; one still in use elsewhere (the
    // current drive) lives on with its user.
    install(std::move(fresh)).clear();
    return count();
}

// Makes `fresh` the list and returns the old one. Appends the drives that survive a rescan (image files, lost partitions) after the new
// ones. Each gets its new index as Id, and its ParentId follows its parent to the parent's
// new index, so an index handed back always opens the drive the caller saw.
std::vector<CStorageArray::Entry> CStorageArray::install(std::vector<Entry> fresh) {
    std::lock_guard guard(listLock_);
    std::map<std::int32_t, std::int32_t> newIdOf;
    std::map<std::int32_t, const Entry*> oldById;
    for (const Entry& entry : entries_) oldById.emplace(std::int32_t{entry.drive->GetDriveInfo()->Id}, &entry);
    const auto freshIdOfKey = [&fresh](const std::string& key) -> std::int32_t {
        if (key.empty()) return -1;
        for (std::size_t i = 0; i < fresh.size(); ++i)
            if (fresh[i].sourceKey == key) return static_cast<std::int32_t>(i);
        return -1;
    };

    std::vector<const Entry*> kept;
    for (const Entry& entry : entries_) {
        _LDRIVE& info = *entry.drive->GetDriveInfo();
        if (!isKeptKind(info.Kind)) continue;
        newIdOf.try_emplace(std::int32_t{info.Id}, static_cast<std::int32_t>(fresh.size() + kept.size()));
        kept.push_back(&entry);
    }
    for (const Entry* entry : kept) {
        _LDRIVE& info = *entry->drive->GetDriveInfo();
        const std::int32_t parentId = info.ParentId;
        if (parentId >= 0) {
            auto keptParent = newIdOf.find(parentId);
            auto oldParent = oldById.find(parentId);
            if (keptParent != newIdOf.end())
                info.ParentId = keptParent->second;
            else
                info.ParentId = oldParent == oldById.end() ? -1 : freshIdOfKey(oldParent->second->sourceKey);
        }
    }
    for (const Entry* entry : kept) {
        entry->drive->GetDriveInfo()->Id = static_cast<std::int32_t>(fresh.size());
        fresh.push_back(*entry);
    }
    entries_.swap(fresh);
    return fresh;
}

HANDLE CStorageArray::StartRescan(HWND window) {
    {
        std::lock_guard guard(listLock_);
        notifyWindow_ = window;
    }
    {
        std::lock_guard guard(threadsLock_);
        ++rescanThreads_;
    }
    HANDLE thread = CreateThread(nullptr, 0, &CStorageArray::rescanThreadMain, this, 0, nullptr);
    if (!thread) {
        std::lock_guard guard(threadsLock_);
        --rescanThreads_;
        threadsDone_.notify_all();
    }
    return thread;
}

DWORD CStorageArray::rescanThreadMain(void* parameter) {
    auto* array = static_cast<CStorageArray*>(parameter);
    int total = 0;
    try {
        total = array->Rescan();
    } catch (...) {
        Log(kLogError, "CStorageArray.Rescan.except");
        total = array->count();
    }
    std::lock_guard guard(array->threadsLock_);
    --array->rescanThreads_;
    array->threadsDone_.notify_all();
    return static_cast<DWORD>(total);
}
