#pragma once
// The list of drives that the exports hand out by index: the machine's physical disks,
// then its lettered volumes, then the drives kept across rescans (image files and
// partitions found by the lost-partition search).
//
// One lock guards the list, so appends (DriveAdd, image loading, the lost-partition
// search) never race a rescan. Drives are shared: a rescan drops the list's reference to
// a replaced drive, and whoever still works on it (the current drive of the exports)
// keeps it alive until it lets go.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/disk/drive.h"
#include "engine/disk/query_batch.h"
#include "platform/device_enumeration.h"
#include "platform/win_types.h"

class CStorageArray {
public:
    // What a rescan lists; the default reads UNDELETE_DISKS, else the machine's devices.
    using DeviceSource = std::function<platform::DeviceList()>;
    // Fills a drive's record from its device; the default is CDrive::QueryInformation.
    using DriveQuery = QueryBatch::Query;

    static constexpr std::chrono::milliseconds kQueryDeadline{4000};

    explicit CStorageArray(std::size_t physicalDiskRoom);
    CStorageArray(std::size_t physicalDiskRoom, DeviceSource source, DriveQuery query,
                  std::chrono::milliseconds queryDeadline = kQueryDeadline);
    // Waits for a running rescan and for late queries.
    ~CStorageArray();
    CStorageArray(const CStorageArray&) = delete;
    CStorageArray& operator=(const CStorageArray&) = delete;

    int count() const;
    // Null for an index outside 0..count-1. The pointer stays valid until the next rescan
    // or unload; share() keeps the drive alive beyond that.
    CDrive* drive(int index) const;
    std::shared_ptr<CDrive> share(int index) const;

    // Appends and returns the drive's index (-1 for no drive).
    int add(std::shared_ptr<CDrive> drive);

    // Null for an index outside the list; at or past the count also logs a warning.
    _LDRIVE* DiskGetInformation(int index) const;
    // Opens the drive and parses its boot sector first; null silently when out of range.
    _LDRIVE* DiskGetInformationEx(int index) const;
    // Opens the drive; null when out of range. Shared, so the caller's drive outlives a
    // rescan that drops it from the list.
    std::shared_ptr<CDrive> DiskInitialize(int index) const;
    // Id of the first drive whose letter matches the first character, ignoring case.
    int FindByLetter(const char* letter) const;
    std::shared_ptr<CDrive> DiskInitializeByLetter(const char* letter) const;
    // The first drive whose Id is the given drive's ParentId.
    CDrive* FindParent(const CDrive* drive) const;

    // Rebuilds the list; returns the new count.
    int Rescan();
    // Runs Rescan on a new thread that posts WM_ENGINE_DRIVE_FOUND to `window`; the
    // thread's exit code is the count. Null when the thread cannot start.
    HANDLE StartRescan(HWND window);

private:
    struct Entry {
        std::shared_ptr<CDrive> drive;
        std::string sourceKey;  // the source path (and offset): how a kept parent is found again
    };
    struct Found;

    std::vector<Found> collect(const platform::DeviceList& devices);
    void announce(char letter) const;
    std::vector<Entry> install(std::vector<Entry> fresh);
    void reapFinishedQueries();
    static DWORD rescanThreadMain(void* array);

    DeviceSource source_;
    DriveQuery query_;
    std::chrono::milliseconds queryDeadline_;
    std::size_t physicalDiskRoom_;

    mutable std::mutex listLock_;
    std::vector<Entry> entries_;
    HWND notifyWindow_ = static_cast<HWND>(-1);

    // One rescan at a time; the destructor waits for the rescan threads to finish.
    std::mutex rescanLock_;
    std::mutex threadsLock_;
    std::condition_variable threadsDone_;
    int rescanThreads_ = 0;
    // Queries that outlived their rescan's wait; joined once they finish.
    std::list<std::unique_ptr<QueryBatch>> lateQueries_;
};
