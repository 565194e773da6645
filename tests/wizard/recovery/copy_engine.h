#pragma once
// An engine stand-in for recovery runs: FileRecovery writes a known pattern of the
// record's size into the target on a thread of its own, in pieces, posting the percent
// after each piece and stopping once the WorkFlag reads 0, as the engine's writer does.
// FileGetPath answers from a table. While it lives, engine() is its table.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/records.h"
#include "wizard/bridge/engine_api.h"

class CopyEngine {
public:
    explicit CopyEngine(EngineSettings& settings);
    // Waits for its copies, then puts the previous table back.
    ~CopyEngine();
    CopyEngine(const CopyEngine&) = delete;
    CopyEngine& operator=(const CopyEngine&) = delete;

    // Byte `offset` of the data of the file with that record number.
    static std::uint8_t PatternByte(std::uint64_t recordNumber, std::uint64_t offset);

    std::map<std::uint64_t, std::u16string> paths;  // by record number
    std::uint64_t pieceSize = 4096;
    bool refuseToStart = false;  // FileRecovery returns a null handle
    // Each copy stops before this piece until Release() (SIZE_MAX: never).
    std::size_t holdBeforePiece = SIZE_MAX;

    // Waits until a copy is held, then lets it go on.
    bool WaitUntilHeld();
    void Release();

    struct Call {
        std::string target;  // as given, UTF-8
        std::uint64_t size;
    };
    std::vector<Call> Calls() const;

private:
    struct Job {
        CopyEngine* engine;
        std::u16string target;
        HWND window;
        FoundFileRecord record;
    };
    static HANDLE FileRecovery(const char16_t* target, HWND window, FoundFileRecord* record);
    static const char16_t* FileGetPath(FoundFileRecord* record);
    static DWORD Copy(void* parameter);
    void Run(const Job& job);

    EngineSettings& settings_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Call> calls_;
    int running_ = 0;
    bool held_ = false;
    bool released_ = false;
    EngineApi table_{};
    ScopedEngineApi installed_;
};
