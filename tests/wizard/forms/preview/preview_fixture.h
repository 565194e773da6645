#pragma once
// Preview pages over lists of hand-made elements, with the built-in formats and an engine
// stand-in for the calls the pages make: thumbnails (which a test can hold back), the
// viewer, parent records and paths. Every call is counted.

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "wizard/forms/preview/preview_drive_sectors.h"
#include "wizard/forms/preview/preview_file_system.h"
#include "wizard/forms/preview/thumbnails_thread.h"
#include "wizard/model/found_files/element_fixture.h"
#include "wizard/settings/settings_values.h"

class PreviewTest : public ElementTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The pages over fileSystemList and sectorList, made on first use.
    TPreviewFileSystem& FileSystemPage();
    TPreviewDriveSectors& SectorsPage();

    // Adds elements "e0", "e1", ... (up to ten) with extension `extension`, sizes 100,
    // 200, ... and positions 512, 1024, ... after those already listed; returns the first
    // one added.
    static TBaseElement* AddNumbered(TBaseSortedList& list, int count, const char16_t* extension = u".jpg");
    // The first two letters of each name, in list order: "e2 e0 e1 ".
    static std::string Names(const TBaseSortedList& list);
    // Selects the rows (whole rows, as a user does), the first of them current.
    static void SelectRows(TPreviewContent& page, const std::vector<int>& rows);
    // Lets the thumbnail worker finish and its results arrive.
    static bool WaitForThumbnails();

    TBaseSortedList fileSystemList{kSortByName, true};
    TBaseSortedList sectorList{kSortByName, true};
    std::unique_ptr<TPreviewImageLists> images = std::make_unique<TPreviewImageLists>();

    // The stand-in engine. Thumbnails are made for files at these positions, else none.
    static inline std::set<std::uint64_t> pictures;
    static inline std::atomic<int> thumbnailCalls{0};
    static inline std::atomic<bool> unknownSizeAsked{false};
    static inline std::vector<FoundFileRecord> viewed;  // what FileOpenViewer got
    // FileGetInfo by record number; the name of each record lives in infoNames.
    static inline std::map<std::uint64_t, FoundFileRecord> infos;
    static inline std::map<std::uint64_t, std::u16string> infoNames;
    static inline int infoCalls = 0;

    // While held, FileGetThumbnail waits in the worker until released (at most
    // kLongestHold); ReleaseOneThumbnail lets one call go and holds the next.
    static constexpr std::chrono::minutes kLongestHold{2};
    static void HoldThumbnails();
    static void ReleaseThumbnails();
    static void ReleaseOneThumbnail();
    // Waits until a call is waiting in the held engine.
    static bool WaitUntilHeld();

private:
    static HBITMAP FileGetThumbnail(FoundFileRecord* record);
    static int FileOpenViewer(FoundFileRecord* record);
    static FoundFileRecord* FileGetInfo(std::uint32_t low, std::uint32_t high);
    static const char16_t* FileGetPath(FoundFileRecord* record);

    static inline std::mutex holdMutex_;
    static inline std::condition_variable holdChanged_;
    static inline bool held_ = false;
    static inline int waiting_ = 0;
    static inline int tickets_ = 0;

    const EngineApi api_ = [] {
        EngineApi api{};
        api.FileGetThumbnail = FileGetThumbnail;
        api.FileOpenViewer = FileOpenViewer;
        api.FileGetInfo = FileGetInfo;
        api.FileGetPath = FileGetPath;
        return api;
    }();
    ScopedEngineApi engine_{api_};
    SettingsValues savedSettings_;
    std::unique_ptr<TPreviewFileSystem> fileSystemPage_;
    std::unique_ptr<TPreviewDriveSectors> sectorsPage_;
};
