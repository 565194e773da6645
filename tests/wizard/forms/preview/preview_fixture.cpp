#include "wizard/forms/preview/preview_fixture.h"

#include <QItemSelectionModel>

#include "platform/bitmap.h"
#include "wizard/support/wait_until.h"

void PreviewTest::SetUp() {
    ElementTest::SetUp();
    savedSettings_ = Settings();
    Settings().GlobalFileSystemSortColumn = 0;
    Settings().GlobalFileSystemSortOrderAZ = true;
    Settings().GlobalDriveSectorsSortColumn = 0;
    Settings().GlobalDriveSectorsSortOrderAZ = true;
    pictures.clear();
    thumbnailCalls = 0;
    unknownSizeAsked = false;
    viewed.clear();
    infos.clear();
    infoNames.clear();
    infoCalls = 0;
}

void PreviewTest::TearDown() {
    ReleaseThumbnails();
    StopThumbnails();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    fileSystemPage_.reset();
    sectorsPage_.reset();
    Settings() = savedSettings_;
    ElementTest::TearDown();
}

TPreviewFileSystem& PreviewTest::FileSystemPage() {
    if (!fileSystemPage_) fileSystemPage_ = std::make_unique<TPreviewFileSystem>(fileSystemList, *images);
    return *fileSystemPage_;
}

TPreviewDriveSectors& PreviewTest::SectorsPage() {
    if (!sectorsPage_) sectorsPage_ = std::make_unique<TPreviewDriveSectors>(sectorList, *images);
    return *sectorsPage_;
}

TBaseElement* PreviewTest::AddNumbered(TBaseSortedList& list, int count, const char16_t* extension) {
    const std::size_t first = list.Count();
    for (int i = 0; i < count; ++i) {
        const std::u16string name = u"e" + std::u16string(1, char16_t(u'0' + i)) + extension;
        RecordSpec spec{.RecordNumber = std::uint64_t(first + i + 1),
                        .Size = std::uint64_t(100 * (i + 1)),
                        .DataPosition = std::uint64_t(512 * (first + i + 1)),
                        .Name = name.c_str()};
        list.Add(Make(spec, std::int64_t(first + i + 1)));
    }
    return &list[first];
}

std::string PreviewTest::Names(const TBaseSortedList& list) {
    std::string names;
    for (std::size_t i = 0; i < list.Count(); ++i) names += list[i].Name().substr(0, 2) + ' ';
    return names;
}

void PreviewTest::SelectRows(TPreviewContent& page, const std::vector<int>& rows) {
    QItemSelectionModel& selection = page.Selection();
    selection.clearSelection();
    for (const int row : rows) {
        selection.select(page.Model().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (!rows.empty()) selection.setCurrentIndex(page.Model().index(rows.front(), 0), QItemSelectionModel::NoUpdate);
}

bool PreviewTest::WaitForThumbnails() {
    const bool ended = waitUntil([] { return ThumbnailsThread() == nullptr; });
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ended;
}

void PreviewTest::HoldThumbnails() {
    std::lock_guard lock(holdMutex_);
    held_ = true;
    tickets_ = 0;
}

void PreviewTest::ReleaseOneThumbnail() {
    {
        std::lock_guard lock(holdMutex_);
        ++tickets_;
    }
    holdChanged_.notify_all();
}

void PreviewTest::ReleaseThumbnails() {
    {
        std::lock_guard lock(holdMutex_);
        held_ = false;
    }
    holdChanged_.notify_all();
}

bool PreviewTest::WaitUntilHeld() {
    return waitUntil([] {
        std::lock_guard lock(holdMutex_);
        return waiting_ > 0;
    });
}

HBITMAP PreviewTest::FileGetThumbnail(FoundFileRecord* record) {
    ++thumbnailCalls;
    if (record->Size == kUnknownSize) unknownSizeAsked = true;
    {
        std::unique_lock lock(holdMutex_);
        ++waiting_;
        holdChanged_.wait_for(lock, kLongestHold, [] { return !held_ || tickets_ > 0; });
        if (held_ && tickets_ > 0) --tickets_;
        --waiting_;
    }
    const std::uint64_t position = record->DataPosition;
    if (!pictures.contains(position)) return nullptr;
    HBITMAP bitmap = platform::createBitmap24(96, 96);
    for (BYTE& byte : bitmap->pixels) byte = static_cast<BYTE>(position / 512);
    return bitmap;
}

int PreviewTest::FileOpenViewer(FoundFileRecord* record) {
    viewed.push_back(*record);
    return 1;
}

FoundFileRecord* PreviewTest::FileGetInfo(std::uint32_t low, std::uint32_t high) {
    ++infoCalls;
    const auto found = infos.find(std::uint64_t(high) << 32 | low);
    if (found == infos.end()) return nullptr;
    found->second.Name = infoNames[found->first].c_str();
    return &found->second;
}

const char16_t* PreviewTest::FileGetPath(FoundFileRecord* record) {
    const std::uint64_t number = record->RecordNumber;  // a packed field: no reference to it
    const auto found = paths.find(number);
    return found == paths.end() ? u"" : found->second.c_str();
}
