#pragma once
// The engine's exported interface: plain functions with C linkage, bound by name.
//
// Calling order: Library_Initialize once, before everything except Log and
// GetLastErrorString; DrivesRescan (its thread finished) before the drive exports;
// DriveInitialize before the file, search, recovery, thumbnail and viewer exports, which
// all work on the drive and settings record given to the last DriveInitialize.

#include <cstdint>

#include "engine/records.h"
#include "platform/win_types.h"

#if defined(UNDELETE_BUILDING)
#define UNDELETE_API extern "C" __attribute__((visibility("default")))
#else
#define UNDELETE_API extern "C"
#endif

class CDrive;
class CLogObject;
class CInformationStorage;
struct ImageRequest;
struct LostSearchRequest;
struct RecoveryRequest;

// Returned by DriveSearchSignatures after a search that ran on the calling thread.
inline const HANDLE kSearchRanOnCaller = reinterpret_cast<HANDLE>(-1);

UNDELETE_API int Library_Initialize(const char16_t* registryKey);
UNDELETE_API int Library_Close();

UNDELETE_API HANDLE DrivesRescan(HWND driveFoundWindow);
UNDELETE_API int DriveGetCount();
UNDELETE_API _LDRIVE* DriveGetInformation(int index);
UNDELETE_API _LDRIVE* DriveGetInformationEx(int index);
UNDELETE_API int DriveIDByLetter(const char* letter);
UNDELETE_API CDrive* DriveGetParent(CDrive* drive);
UNDELETE_API CDrive* DriveAdd();
UNDELETE_API HANDLE DriveImageCreate(ImageRequest* request);
UNDELETE_API CDrive* DriveImageLoad(const char16_t* imagePath);
UNDELETE_API HANDLE DrivesLostSearch(LostSearchRequest* request);

UNDELETE_API int DriveInitialize(EngineSettings* settings);
UNDELETE_API int DriveInitializeSimple(int index);
UNDELETE_API FoundFileRecord* FileGetNext();
UNDELETE_API const char16_t* FileGetPath(FoundFileRecord* record);
UNDELETE_API FoundFileRecord* FileGetInfo(std::uint32_t recordLow, std::uint32_t recordHigh);
UNDELETE_API std::uint64_t FileRead(FoundFileRecord* record, void* buffer, std::uint64_t offset,
                                    std::uint64_t size);

UNDELETE_API HANDLE FileRecovery(const char16_t* targetPath, HWND progressWindow,
                                 FoundFileRecord* record);
UNDELETE_API int DoFileRecovery(RecoveryRequest* request);

UNDELETE_API HANDLE DriveSearchSignatures();
UNDELETE_API int TryDetectFileType(FoundFileRecord* record);
UNDELETE_API CInformationStorage* GetObjectInformatinStorage();

UNDELETE_API HBITMAP FileGetThumbnail(FoundFileRecord* record);
UNDELETE_API int FileOpenViewer(FoundFileRecord* record);

// Levels: 1 status, 2 warning, 3 error (also becomes the last-error text), 4 debug.
UNDELETE_API int Log(int type, const char* format, ...);
UNDELETE_API const char* GetLastErrorString();
UNDELETE_API CLogObject* GetLogObject();

UNDELETE_API std::intptr_t test();
