#include "engine/viewer_handoff.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/message_box.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool waitForFile(const fs::path& path) {
    for (int i = 0; i < 1000; ++i) {
        if (fs::exists(path)) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

FoundFileRecord recordOf(std::uint64_t size, std::uint16_t type) {
    FoundFileRecord record{};
    resetFoundFileForFill(record);
    record.Size = size;
    record.TypeCode = type;
    return record;
}

// Fills whole 512-byte sectors, as FileRead does: the block must hold them.
std::uint64_t readPattern(FoundFileRecord&, void* buffer, std::uint64_t size) {
    const std::uint64_t sectors = (size + 511) / 512 * 512;
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    for (std::uint64_t i = 0; i < sectors; ++i) bytes[i] = static_cast<std::uint8_t>(i % 251);
    return size;
}

class ViewerHandoff : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("viewer-test-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        previousHook_ = platform::setMessageBoxHook(
            [this](HWND, std::string_view text, std::string_view caption, UINT type) {
                boxes_.push_back(std::string(caption) + ": " + std::string(text));
                EXPECT_EQ(type, MB_ICONERROR);
                return IDOK;
            });
    }
    void TearDown() override {
        platform::setMessageBoxHook(previousHook_);
        ::unsetenv(engine::viewer::kViewerCommandVariable);
        fs::remove_all(folder_);
    }
    // A viewer that records its environment, arguments and the block it was given.
    void useRecordingViewer() {
        const fs::path script = folder_ / "record.sh";
        std::ofstream(script) << "for block; do :; done\n"
                                 "out=" << folder_.string() << "/run$$\n"
                                 "mkdir \"$out\"\n"
                                 "cp \"/dev/shm$block\" \"$out/block\"\n"
                                 "printf '%s\\n%s\\n%s\\n%s\\n' \"$FileSig\" \"$FileSize\" \"$1\" \"$block\""
                                 " > \"$out/env.tmp\"\n"
                                 "mv \"$out/env.tmp\" \"$out/env\"\n"
                                 "mv \"$out\" " << folder_.string() << "/done\n";
        const std::string command = "/bin/sh " + script.string() + " first-argument";
        ::setenv(engine::viewer::kViewerCommandVariable, command.c_str(), 1);
    }
    std::vector<std::string> recordedLines() {
        EXPECT_TRUE(waitForFile(folder_ / "done" / "env"));
        std::istringstream text(readWhole(folder_ / "done" / "env"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }

    fs::path folder_;
    std::vector<std::string> boxes_;
    platform::MessageBoxHook previousHook_;
};

TEST_F(ViewerHandoff, ViewerReceivesTheBytesAndBothVariables) {
    useRecordingViewer();
    ::setenv("FileSig", "999", 1);  // inherited values are replaced, not doubled
    ::setenv("FileSize", "999", 1);
    FoundFileRecord record = recordOf(1000, 0xFFFF);
    EXPECT_EQ(engine::viewer::openViewer(record, readPattern), 0);
    ::unsetenv("FileSig");
    ::unsetenv("FileSize");
    EXPECT_TRUE(boxes_.empty());

    const auto lines = recordedLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "65535");
    EXPECT_EQ(lines[1], "1000");
    EXPECT_EQ(lines[2], "first-argument");
    const std::string block = readWhole(folder_ / "done" / "block");
    ASSERT_EQ(block.size(), 1024u);  // whole sectors
    for (std::size_t i = 0; i < block.size(); ++i)
        ASSERT_EQ(static_cast<std::uint8_t>(block[i]), i % 251) << i;
}

TEST_F(ViewerHandoff, EachCallGetsAFreshBlockAndTheOldOneIsUnlinked) {
    useRecordingViewer();
    FoundFileRecord record = recordOf(10, 1);
    engine::viewer::openViewer(record, readPattern);
    const std::string first = recordedLines().at(3);
    fs::rename(folder_ / "done", folder_ / "first");
    EXPECT_TRUE(fs::exists("/dev/shm" + first));

    engine::viewer::openViewer(record, readPattern);
    const std::string second = recordedLines().at(3);
    EXPECT_NE(first, second);
    EXPECT_FALSE(fs::exists("/dev/shm" + first));
    EXPECT_TRUE(fs::exists("/dev/shm" + second));
}

TEST_F(ViewerHandoff, EmptyAndHugeFilesAreRefusedWithoutReading) {
    useRecordingViewer();
    bool read = false;
    auto reader = [&read](FoundFileRecord&, void*, std::uint64_t) -> std::uint64_t { return read = true, 0; };
    for (std::uint64_t size : {std::uint64_t{0}, std::uint64_t{1} << 32, kUnknownSize}) {
        FoundFileRecord record = recordOf(size, 1);
        engine::viewer::openViewer(record, reader);
    }
    EXPECT_FALSE(read);
    ASSERT_EQ(boxes_.size(), 3u);
    for (const auto& box : boxes_) EXPECT_EQ(box, "Viewer error: Can't allocate memory! File too big to view.");
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(fs::exists(folder_ / "done"));
}

TEST_F(ViewerHandoff, ViewerThatCannotStartIsReported) {
    ::setenv(engine::viewer::kViewerCommandVariable, "/no/such/viewer", 1);
    FoundFileRecord record = recordOf(10, 1);
    engine::viewer::openViewer(record, readPattern);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], "Viewer error: Can't create viewer process!");
}

TEST_F(ViewerHandoff, StandInViewerWritesTheFileAndOpensIt) {
    const fs::path viewer = fs::path(UNDELETE_LIBRARY_PATH).parent_path() / engine::viewer::kViewerProgramName;
    ASSERT_TRUE(fs::exists(viewer));
    ::setenv(engine::viewer::kViewerCommandVariable, viewer.c_str(), 1);
    // xdg-open replaced by a script that keeps what it was asked to open.
    fs::create_directories(folder_ / "bin");
    const fs::path opener = folder_ / "bin" / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\ncp \"$1\" " << folder_.string() << "/opened.tmp\n"
                          << "basename \"$1\" > " << folder_.string() << "/name\n"
                          << "mv " << folder_.string() << "/opened.tmp " << folder_.string() << "/opened\n";
    fs::permissions(opener, fs::perms::owner_all);
    const std::string path = (folder_ / "bin").string() + ":" + std::getenv("PATH");
    const std::string previousPath = std::getenv("PATH");
    ::setenv("PATH", path.c_str(), 1);
    ::setenv("TMPDIR", folder_.c_str(), 1);

    const std::string jpegStart = "\xFF\xD8\xFF\xE0 picture bytes";
    FoundFileRecord record = recordOf(jpegStart.size(), 3);
    engine::viewer::openViewer(record, [&](FoundFileRecord&, void* buffer, std::uint64_t size) {
        std::memcpy(buffer, jpegStart.data(), size);
        return size;
    });
    ::setenv("PATH", previousPath.c_str(), 1);
    ::unsetenv("TMPDIR");

    ASSERT_TRUE(waitForFile(folder_ / "opened"));
    EXPECT_EQ(readWhole(folder_ / "opened"), jpegStart);
    EXPECT_EQ(readWhole(folder_ / "name"), "found file.jpg\n");
    EXPECT_TRUE(boxes_.empty());
}

}  // namespace
