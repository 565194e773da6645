#include "engine/log_object.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/local_heap.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/time.h"

namespace {

namespace fs = std::filesystem;

std::string readWhole(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

std::string utf16le(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) bytes.push_back(char(unit & 0xFF)), bytes.push_back(char(unit >> 8));
    return bytes;
}

// A log object whose debugging output is collected instead of written to stderr.
class LogObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        log_.SetDebugSink([this](std::u16string_view text) { debug_ += text; });
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    IoErrorReport* report(std::uint32_t code, std::uint32_t error, std::uint32_t attempt, std::uint64_t position) {
        auto* block = static_cast<IoErrorReport*>(LocalAlloc(LPTR, sizeof(IoErrorReport)));
        block->Code = code, block->SystemError = error, block->Attempt = attempt, block->Position = position;
        return block;
    }
    // The entry without its time stamp.
    std::u16string textOf(std::size_t entry) {
        const std::u16string line = log_.entries().at(entry);
        return line.substr(line.find(u" - ") + 3);
    }

    CLogObject log_;
    std::u16string debug_;
    const fs::path folder_ = fs::temp_directory_path() / ("log-object-" + std::to_string(::getpid()));
};

TEST_F(LogObjectTest, LevelsGiveTheirLineFormatsAndPrintfTheEngineDialect) {
    log_.Add(kLogObjectDebug, u"d", u"T");
    log_.Add(kLogObjectError, u"e", u"T");
    log_.Add(kLogObjectCritical, u"c", u"T");
    log_.Add(kLogObjectNote, u"n", u"T");
    log_.Add(77, u"x", u"T");
    EXPECT_EQ(log_.entries(), (std::vector<std::u16string>{u"T - DBG: d", u"T - ERR: e",
                                                           u"T - CRITICALERR: c", u"T - n", u"T - x"}));
    log_.Printf("%I64d of %s", 5000000000LL, "disk");
    EXPECT_EQ(textOf(5), u"5000000000 of disk");
}

TEST_F(LogObjectTest, ErrorIsStampedWithLocalDateAndTimeAndSentToDebugOutput) {
    log_.Error(u"x");
    ASSERT_EQ(log_.entryCount(), 1u);
    const FILETIME stamp = log_.lastTime();
    const std::u16string line = log_.entries()[0];
    EXPECT_EQ(line, CLogObject::FormatLogTime(&stamp) + u" - ERR: x");
    EXPECT_EQ(debug_, line + u"\r\n");

    log_.SetDebugOutput(false);
    log_.Note(u"quiet");
    EXPECT_EQ(debug_, line + u"\r\n");

    // The stamp is the short date, a blank and the time.
    EXPECT_EQ(CLogObject::FormatLogTime(nullptr), u"");
    const std::time_t when = 1700000000;
    const FILETIME time = platform::toFileTime((std::uint64_t(when) + kFileTimeUnixEpochSeconds) * 10000000);
    std::tm local{};
    ::localtime_r(&when, &local);
    char expected[256];
    std::strftime(expected, sizeof expected, "%x %X", &local);
    EXPECT_EQ(CLogObject::FormatLogTime(&time), platform::toUtf16(expected));
}

TEST_F(LogObjectTest, FileOutputCreatesNewOrAppendsLinesWithoutBreaks) {
    const fs::path file = folder_ / "engine.log";
    std::ofstream(file) << "old";
    log_.SetFileOutput(true, platform::toUtf16(file.string()), false);
    log_.Add(kLogObjectNote, u"a", u"T");
    EXPECT_EQ(readWhole(file), "old" + utf16le(u"T - a"));

    CLogObject fresh;
    fresh.SetDebugOutput(false);
    fresh.SetFileOutput(true, platform::toUtf16(file.string()), true);
    fresh.Add(kLogObjectNote, u"b", u"T");
    fresh.Add(kLogObjectNote, u"c", u"T");
    EXPECT_EQ(readWhole(file), utf16le(u"T - bT - c"));

    log_.SetFileOutput(true, platform::toUtf16((folder_ / "no" / "such").string()), true);
    log_.Add(kLogObjectNote, u"kept in memory", u"T");
    EXPECT_EQ(log_.entryCount(), 2u);
}

TEST_F(LogObjectTest, EntriesArePostedToTheWindowAndStayOwnedByTheObject) {
    std::u16string received;
    platform::QueueWindow window([&](const platform::Message& message) -> LRESULT {
        EXPECT_EQ(message.message, WM_LOG_OBJECT_ENTRY);
        received = reinterpret_cast<const char16_t*>(message.wParam);
        return 0;
    });
    log_.SetPostWindow(window.handle());
    log_.Add(kLogObjectNote, u"first", u"T");
    for (int i = 0; i < 100; ++i) log_.Add(kLogObjectNote, u"more", u"T");  // lines stay in place
    ASSERT_TRUE(window.dispatchOne(std::chrono::milliseconds(1000)));
    EXPECT_EQ(received, u"T - first");
}

TEST_F(LogObjectTest, ShowLogDumpsEveryEntryAsUtf16AndOpensTheFile) {
    ::setenv("TMPDIR", folder_.c_str(), 1);
    std::string opened;
    auto previous = platform::setShellOpenHook([&](const std::string& path) { return opened = path, true; });
    log_.Add(kLogObjectNote, u"one", u"T");
    log_.Add(kLogObjectError, u"zwei \u00e9", u"T");
    EXPECT_EQ(log_.ShowLog(), 1);
    const fs::path dump = folder_ / "Recovery log file.txt";
    EXPECT_EQ(opened, dump.string());
    EXPECT_EQ(readWhole(dump), utf16le(u"T - one\r\nT - ERR: zwei \u00e9\r\n"));

    CLogObject empty;
    EXPECT_EQ(empty.ShowLog(), 1);
    EXPECT_EQ(fs::file_size(dump), 0u);

    ::setenv("TMPDIR", (folder_ / "missing").c_str(), 1);
    EXPECT_EQ(log_.ShowLog(), 0);
    EXPECT_EQ(textOf(2), u"ERR: Could not create temporary file");
    platform::setShellOpenHook(previous);
    ::unsetenv("TMPDIR");
}

TEST_F(LogObjectTest, IoErrorReportsBecomeErrorEntriesOrNone) {
    struct Case { std::uint32_t code, error, attempt; std::uint64_t position; std::u16string text; };
    const Case cases[] = {
        {30, 23, 2, 4096, u"ERR: Drive read error at position 4096, try retry 2; Windows Error: " +
                              platform::toUtf16(std::strerror(23))},
        {25, 0, 0, 0xFFFFFFFFull, u"ERR: Drive seek error on position 4294967295; "},
        {29, 0, 1, 512, u"ERR: Drive write error at position 512, try retry 1; "},
        {99, 2, 0, 0, u"ERR: Windows Error: " + platform::toUtf16(std::strerror(2))},
        {1, 5, 0, 0, u""},   // quiet: its system error is ignored
        {99, 0, 0, 0, u""},  // no text at all
    };
    for (const Case& c : cases) {
        log_.Close();
        log_.ReportIoError(report(c.code, c.error, c.attempt, c.position));
        ASSERT_EQ(log_.entryCount(), c.text.empty() ? 0u : 1u) << c.code;
        if (!c.text.empty()) {
            EXPECT_EQ(textOf(0), c.text) << c.code;
        }
    }
    log_.ReportIoError(nullptr);
    EXPECT_EQ(log_.entryCount(), 0u);
}

TEST_F(LogObjectTest, TextReportNeverReadsPastItsThirtyEightBytes) {
    IoErrorReport* full = report(3, 0, 0, 0);
    const char16_t units[9] = {u'A', u'B', u'C', u'D', u'E', u'F', u'G', u'H', u'I'};  // no terminator
    std::memcpy(full->Reserved20, units, sizeof units);
    log_.ReportIoError(full);
    EXPECT_EQ(textOf(0), u"ERR: Error: ABCDEFGHI");
}

}  // namespace
