#pragma once
// A stand-in for the engine's exports, for what the fixture images cannot give: it hands
// out scripted drive and file records, posts and sends from threads of its own as the
// engine does, and counts every call. While it lives, engine() is its table.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/records.h"
#include "wizard/bridge/engine_api.h"

struct ScriptedFile {
    FoundFileRecord record{};
    std::u16string name;  // becomes record.Name when handed out
    std::u16string path;  // what FileGetPath gives for it
};

// Counts that the search writes into the settings record before it posts its progress.
struct ScriptedProgress {
    std::uint64_t currentCluster = 0;
    std::uint64_t totalClusters = 0;
    std::uint64_t freeClusters = 0;
};

struct EngineScript {
    // DriveGetInformation gives each at its Id, as the engine does, and nothing at an index
    // no drive has; DriveGetCount is one past the largest Id. DrivesRescan's thread posts
    // WM_ENGINE_DRIVE_FOUND with each drive's letter.
    std::vector<_LDRIVE> drives;
    // DriveInitialize answers this; when held, only after release() (or 10 s).
    int driveInitializeResult = 1;
    bool holdDriveInitialize = false;
    // FileGetNext hands these out in order, then null.
    std::vector<ScriptedFile> files;
    // DriveSearchSignatures' thread posts each I/O error (WM_ENGINE_IO_ERROR) and each
    // progress (WM_ENGINE_SEARCH_PROGRESS), then sends each hit (WM_ENGINE_FILE_FOUND) to
    // the settings' NotifyWindow while Run is 1; every payload is a local-heap block that
    // the receiver frees.
    std::vector<IoErrorReport> ioErrors;
    std::vector<ScriptedProgress> progress;
    std::vector<FoundFileRecord> hits;
    // The search waits before this progress until release() (SIZE_MAX: never).
    std::size_t holdBeforeProgress = SIZE_MAX;
    std::string lastError;  // GetLastErrorString
    // FileRecovery's thread writes the record's Size bytes into the target in pieces of
    // this size, posting WM_ENGINE_RECOVERY_PROGRESS with the percent in lParam and, in
    // wParam, the sectors filled with zeros so far: of the record number's count here,
    // all of them by the last piece. It stops after a piece once WorkFlag reads 0.
    std::uint64_t recoveryPiece = 4096;
    std::map<std::uint64_t, std::uint64_t> unreadableSectors;
    // A copy of a record number here ends that many sectors before the record's size: the
    // engine's file ends after its last readable byte, and where sectors could not be read
    // it has posted a read error (WM_ENGINE_IO_ERROR) to the settings' NotifyWindow first.
    struct ShortEnd {
        std::uint64_t sectors;
        bool unreadable;
    };
    std::map<std::uint64_t, ShortEnd> shortEnds;
};

// A drive record with the fields a list shows.
_LDRIVE scriptedDrive(std::int32_t id, char letter, std::int32_t kind);

class ScriptedEngine {
public:
    explicit ScriptedEngine(EngineScript script);
    // Waits for its threads, then puts the previous table back.
    ~ScriptedEngine();
    ScriptedEngine(const ScriptedEngine&) = delete;
    ScriptedEngine& operator=(const ScriptedEngine&) = delete;

    // How often the export of that name was called.
    int calls(std::string_view function) const;
    // The drives of the next rescan (a device came or went).
    void setDrives(std::vector<_LDRIVE> drives);
    // What the last Library_Initialize and DriveInitialize were given.
    const char16_t* registryKey() const;
    EngineSettings* settings() const;
    // Lets a held search and a held DriveInitialize go on.
    void release();
    // No thread of the engine runs.
    bool idle() const;

private:
    static const EngineApi kTable;
    static ScriptedEngine& active();

    static int libraryInitialize(const char16_t* registryKey);
    static HANDLE drivesRescan(HWND driveFoundWindow);
    static int driveGetCount();
    static _LDRIVE* driveGetInformation(int index);
    static int driveInitialize(EngineSettings* settings);
    static FoundFileRecord* fileGetNext();
    static const char16_t* fileGetPath(FoundFileRecord* record);
    static FoundFileRecord* fileGetInfo(std::uint32_t recordLow, std::uint32_t recordHigh);
    static HANDLE driveSearchSignatures();
    static HBITMAP fileGetThumbnail(FoundFileRecord* record);
    static int fileOpenViewer(FoundFileRecord* record);
    static HANDLE fileRecovery(const char16_t* targetPath, HWND progressWindow,
                               FoundFileRecord* record);
    static const char* getLastErrorString();

    void count(const char* function);
    // Runs `body` on a platform thread; the destructor waits for it.
    HANDLE startThread(void (ScriptedEngine::*body)());
    static DWORD threadMain(void* parameter);
    void rescanBody();
    void searchBody();
    void recoveryBody();

    EngineScript script_;
    // Written by the GUI thread before it starts the thread that reads them.
    HWND rescanWindow_ = 0;
    EngineSettings* settings_ = nullptr;
    const char16_t* registryKey_ = nullptr;
    std::size_t nextFile_ = 0;
    // The copy FileRecovery started; one at a time, as the engine's.
    std::u16string recoveryTarget_;
    HWND recoveryWindow_ = 0;
    FoundFileRecord recoveryRecord_{};
    bool released_ = false;

    mutable std::mutex mutex_;
    std::condition_variable threadsDone_;
    int runningThreads_ = 0;
    std::map<std::string, int, std::less<>> calls_;
    ScopedEngineApi installed_;
};
