// The messages that reach the main window during the scans: read errors on the running
// page only, the log text without a sender, the About request, and translated lines.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/messages.h"
#include "platform/local_heap.h"
#include "platform/messages.h"
#include "wizard/scans/io_error_line.h"
#include "wizard/scans/scan_fixture.h"
#include "wizard/support/language_folder_fixture.h"
#include "wizard/support/scripted_engine.h"

namespace {

IoErrorReport ReadErrorAt(std::uint64_t position, std::uint32_t attempt) {
    IoErrorReport report{};
    report.Code = kIoErrorRead;
    report.SystemError = 5;  // EIO
    report.Attempt = attempt;
    report.Position = position;
    return report;
}

template <class Block>
void PostCopy(HWND window, UINT message, const Block& block) {
    void* copy = LocalAlloc(LPTR, sizeof block);
    std::memcpy(copy, &block, sizeof block);
    ASSERT_TRUE(PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(copy)));
}

class ScanMessagesTest : public ScanFixture {
protected:
    void SetUp() override {
        ScanFixture::SetUp();
        host.drive = std::make_shared<TRecoveryDrive>(scriptedDrive(0, 'C', kDriveVolume));
    }
};

const QString kErrorAtFiveGiB =
    QStringLiteral("Error: Input/output error (Retry Count = 3; Current Position: 5368709120)");

TEST_F(ScanMessagesTest, AReadErrorCountsOnTheRunningPageOnly) {
    {
        EngineScript script = DriveScript();
        script.ioErrors = {ReadErrorAt(5'368'709'120, 3)};
        const ScriptedEngine engine(std::move(script));
        controller->ScanDriveSectorsButtonStartClick();
    }
    EXPECT_EQ(host.driveSectors.ReadErrors, 1);
    EXPECT_EQ(sectorsPage->LabelReadErrors->text(), QStringLiteral("1"));
    EXPECT_EQ(Count(LogLines(*sectorsPage), kErrorAtFiveGiB), 1);
    EXPECT_EQ(host.fileSystem.ReadErrors, 0);
    EXPECT_EQ(fileSystemPage->LabelReadErrors->text(), QStringLiteral("0"));

    // During the file-system scan (the last reads' reports count before it ends); and
    // when no scan runs, nowhere.
    {
        const ScriptedEngine engine(DriveScript());
        host.onCheckState = [this] {
            host.onCheckState = nullptr;
            PostCopy(window.handle(), WM_ENGINE_IO_ERROR, ReadErrorAt(1024, 1));
        };
        controller->ScanFileSystemButtonStartClick();
    }
    EXPECT_EQ(host.fileSystem.ReadErrors, 1);
    EXPECT_EQ(fileSystemPage->LabelReadErrors->text(), QStringLiteral("1"));
    EXPECT_EQ(host.driveSectors.ReadErrors, 1);
    PostCopy(window.handle(), WM_ENGINE_IO_ERROR, ReadErrorAt(2048, 1));
    QCoreApplication::sendPostedEvents(&window, 0);
    EXPECT_EQ(host.fileSystem.ReadErrors + host.driveSectors.ReadErrors, 2);
    EXPECT_EQ(window.queuedMessages(), 0u);
}

// Stopping a running search is the sector scan's test; outside a search the flag stays.
TEST_F(ScanMessagesTest, WhileAStopIsRequestedHitsAreDroppedAndNoEndedSearchIsTouched) {
    EngineSettings& settings = RunEngineSettings();
    host.driveSectors.StopRequested = true;
    settings.Run = 1;
    for (const UINT message : {WM_ENGINE_SEARCH_PROGRESS, WM_ENGINE_IO_ERROR}) {
        if (message == WM_ENGINE_IO_ERROR) {
            PostCopy(window.handle(), message, ReadErrorAt(0, 1));
        } else {
            ASSERT_TRUE(PostMessageW(window.handle(), message, 0, 0));
        }
        QCoreApplication::sendPostedEvents(&window, 0);
    }
    void* hit = LocalAlloc(LPTR, sizeof(FoundFileRecord));
    EXPECT_EQ(SendMessageW(window.handle(), WM_ENGINE_FILE_FOUND, reinterpret_cast<WPARAM>(hit),
                           reinterpret_cast<LPARAM>(hit)),
              0);
    EXPECT_EQ(settings.Run, 1);
    EXPECT_EQ(host.driveSectorsList.Count(), 0u);
    EXPECT_FALSE(PostMessageW(window.handle(), WM_ENGINE_INIT_FAILED, 0, 0)) << "not handled";
}

TEST_F(ScanMessagesTest, LogTextsWithoutASenderAndTheAboutRequest) {
    ASSERT_TRUE(PostMessageW(window.handle(), kWmSearchLogText, 0, 0));
    const std::u16string text = u"engine says <hi>";
    auto* copy = static_cast<char16_t*>(LocalAlloc(LPTR, (text.size() + 1) * sizeof(char16_t)));
    std::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(char16_t));
    ASSERT_TRUE(PostMessageW(window.handle(), kWmSearchLogText, reinterpret_cast<WPARAM>(copy), 0));
    ASSERT_TRUE(PostMessageW(window.handle(), kWmShowAbout, 0, 0));
    QCoreApplication::sendPostedEvents(&window, 0);
    EXPECT_EQ(host.abouts, 0) << "not inside the handler";
    QCoreApplication::sendPostedEvents(nullptr, 0);
    EXPECT_EQ(host.abouts, 1);
    EXPECT_EQ(LogLines(*sectorsPage), (QStringList{QStringLiteral("<EMPTY>"), QStringLiteral("engine says <hi>")}));
    EXPECT_TRUE(LogLines(*fileSystemPage).join(QString()).isEmpty());
}

using ScanLineTranslation = LanguageFolderTest;

TEST_F(ScanLineTranslation, AReadErrorLineFallsBackToEnglishWhenATranslationSwapsItsSpecifiers) {
    const IoErrorReport report = ReadErrorAt(5'368'709'120, 3);
    EXPECT_EQ(IoErrorLine(report), kErrorAtFiveGiB);
    useTranslation(
        "[Misc]\nstrErrorMessageAndRetryCount=Fehler: %s (Versuch %d; Position: %d)\n");
    EXPECT_EQ(IoErrorLine(report),
              QStringLiteral("Fehler: Input/output error (Versuch 3; Position: 5368709120)"));
    useTranslation(
        "[Misc]\nstrErrorMessageAndRetryCount=Fehler: %d (Versuch %s; Position: %d)\n");
    EXPECT_EQ(IoErrorLine(report), kErrorAtFiveGiB);
    useTranslation("[Misc]\nstrErrorMessageAndRetryCount=%n%s%s%s\n");
    EXPECT_EQ(IoErrorLine(report), kErrorAtFiveGiB);
}

}  // namespace
