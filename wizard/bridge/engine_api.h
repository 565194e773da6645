#pragma once
// The engine functions the wizard binds, gathered in one table so that tests can put a
// scripted stand-in in place of the real library. Everything in the wizard calls the
// engine through engine(), never the exports directly.

#include <cstdint>

#include "engine/records.h"
#include "platform/win_types.h"

struct EngineApi {
    int (*Library_Initialize)(const char16_t* registryKey);
    HANDLE (*DrivesRescan)(HWND driveFoundWindow);
    int (*DriveGetCount)();
    _LDRIVE* (*DriveGetInformation)(int index);
    int (*DriveInitialize)(EngineSettings* settings);
    FoundFileRecord* (*FileGetNext)();
    const char16_t* (*FileGetPath)(FoundFileRecord* record);
    FoundFileRecord* (*FileGetInfo)(std::uint32_t recordLow, std::uint32_t recordHigh);
    HANDLE (*DriveSearchSignatures)();
    HBITMAP (*FileGetThumbnail)(FoundFileRecord* record);
    int (*FileOpenViewer)(FoundFileRecord* record);
    HANDLE (*FileRecovery)(const char16_t* targetPath, HWND progressWindow,
                           FoundFileRecord* record);
    const char* (*GetLastErrorString)();
};

// The table in use: the real exports unless a test installed another.
const EngineApi& engine();
// The real library's exports.
const EngineApi& realEngine();

// Puts `api` in place for the scope's lifetime (tests only); the previous table returns
// at the end of the scope.
class ScopedEngineApi {
public:
    explicit ScopedEngineApi(const EngineApi& api);
    ~ScopedEngineApi();
    ScopedEngineApi(const ScopedEngineApi&) = delete;
    ScopedEngineApi& operator=(const ScopedEngineApi&) = delete;

private:
    const EngineApi* previous_;
};
