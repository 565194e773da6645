#include "engine/viewer_handoff.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/message_box.h"
#include "test_pictures.h"

namespace {

namespace fs = std::filesystem;
using engine::viewer::openViewer;
using test_pictures::readWhole;
using test_pictures::recordOf;

// Fills whole 512-byte sectors, as FileRead does: the block must hold them.
std::uint64_t readPattern(FoundFileRecord&, void* buffer, std::uint64_t size) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    for (std::uint64_t i = 0; i < (size + 511) / 512 * 512; ++i) bytes[i] = static_cast<std::uint8_t>(i % 251);
    return size;
}

class ViewerHandoff : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        previousHook_ = platform::setMessageBoxHook([this](HWND, std::string_view text, std::string_view caption, UINT type) {
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
    // A viewer that records its environment, arguments and the block it was given in done/.
    void useRecordingViewer() {
        const std::string folder = folder_.string();
        std::ofstream(folder_ / "record.sh")
            << "for block; do :; done\nout=" << folder << "/run$$\nmkdir \"$out\"\ncp \"/dev/shm$block\" \"$out/block\"\n"
            << "printf '%s\\n%s\\n%s\\n%s\\n' \"$FileSig\" \"$FileSize\" \"$1\" \"$block\" > \"$out/env\"\n"
            << "mv \"$out\" " << folder << "/done\n";
        ::setenv(engine::viewer::kViewerCommandVariable, ("/bin/sh " + folder + "/record.sh first-argument").c_str(), 1);
    }
    std::vector<std::string> recordedLines() {
        EXPECT_TRUE(test_pictures::waitForFile(folder_ / "done"));
        std::istringstream text(readWhole(folder_ / "done" / "env"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }

    const fs::path folder_ = fs::temp_directory_path() / ("viewer-test-" + std::to_string(::getpid()));
    std::vector<std::string> boxes_;
    platform::MessageBoxHook previousHook_;
};

TEST_F(ViewerHandoff, ViewerReceivesTheBytesAndBothVariablesInAFreshBlockEachCall) {
    useRecordingViewer();
    ::setenv("FileSig", "999", 1);  // inherited values are replaced, not doubled
    ::setenv("FileSize", "999", 1);
    FoundFileRecord record = recordOf(1000, 0xFFFF);
    EXPECT_EQ(openViewer(record, readPattern), 0);
    ::unsetenv("FileSig");
    ::unsetenv("FileSize");
    EXPECT_TRUE(boxes_.empty());

    const auto lines = recordedLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(std::vector(lines.begin(), lines.begin() + 3), (std::vector<std::string>{"65535", "1000", "first-argument"}));
    const std::string block = readWhole(folder_ / "done" / "block");
    ASSERT_EQ(block.size(), 1024u);  // whole sectors
    for (std::size_t i = 0; i < block.size(); ++i) ASSERT_EQ(static_cast<std::uint8_t>(block[i]), i % 251) << i;
    EXPECT_TRUE(fs::exists("/dev/shm" + lines[3]));

    fs::rename(folder_ / "done", folder_ / "first");
    openViewer(record, readPattern);
    const std::string second = recordedLines().at(3);
    EXPECT_NE(lines[3], second);
    EXPECT_FALSE(fs::exists("/dev/shm" + lines[3]));  // the old block is unlinked
    EXPECT_TRUE(fs::exists("/dev/shm" + second));
}

TEST_F(ViewerHandoff, EmptyAndHugeFilesAreRefusedWithoutReadingAndFailedStartsReported) {
    useRecordingViewer();
    bool read = false;
    auto reader = [&read](FoundFileRecord&, void*, std::uint64_t) -> std::uint64_t { return read = true, 0; };
    for (std::uint64_t size : {std::uint64_t{0}, std::uint64_t{1} << 32, kUnknownSize}) {
        FoundFileRecord record = recordOf(size, 1);
        openViewer(record, reader);
    }
    EXPECT_FALSE(read);
    const std::string tooBig = "Viewer error: Can't allocate memory! File too big to view.";
    EXPECT_EQ(boxes_, std::vector<std::string>(3, tooBig));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(fs::exists(folder_ / "done"));

    ::setenv(engine::viewer::kViewerCommandVariable, "/no/such/viewer", 1);
    FoundFileRecord record = recordOf(10, 1);
    openViewer(record, readPattern);
    ASSERT_EQ(boxes_.size(), 4u);
    EXPECT_EQ(boxes_[3], "Viewer error: Can't create viewer process!");
}

TEST_F(ViewerHandoff, StandInViewerWritesTheFileAndOpensIt) {
    const fs::path viewer = fs::path(UNDELETE_LIBRARY_PATH).parent_path() / engine::viewer::kViewerProgramName;
    ASSERT_TRUE(fs::exists(viewer));
    ::setenv(engine::viewer::kViewerCommandVariable, viewer.c_str(), 1);
    // xdg-open replaced by a script that keeps what it was asked to open.
    const std::string folder = folder_.string();
    fs::create_directories(folder_ / "bin");
    std::ofstream(folder_ / "bin" / "xdg-open") << "#!/bin/sh\ncp \"$1\" " << folder << "/opened.tmp\nbasename \"$1\" > "
                                                << folder << "/name\nmv " << folder << "/opened.tmp " << folder << "/opened\n";
    fs::permissions(folder_ / "bin" / "xdg-open", fs::perms::owner_all);
    const std::string previousPath = std::getenv("PATH");
    ::setenv("PATH", (folder + "/bin:" + previousPath).c_str(), 1);
    ::setenv("TMPDIR", folder.c_str(), 1);
    // The program's folder for previews comes first.
    fs::create_directory(folder_ / "previews");
    ::setenv("UNDELETE_PREVIEW_FOLDER", (folder + "/previews").c_str(), 1);

    const std::string jpegStart = "\xFF\xD8\xFF\xE0 picture bytes";
    FoundFileRecord record = recordOf(jpegStart.size(), 3);
    openViewer(record, [&](FoundFileRecord&, void* buffer, std::uint64_t size) {
        std::memcpy(buffer, jpegStart.data(), size);
        return size;
    });
    ::setenv("PATH", previousPath.c_str(), 1);
    ::unsetenv("TMPDIR");
    ::unsetenv("UNDELETE_PREVIEW_FOLDER");

    ASSERT_TRUE(test_pictures::waitForFile(folder_ / "opened"));
    EXPECT_EQ(readWhole(folder_ / "opened"), jpegStart);
    EXPECT_EQ(readWhole(folder_ / "name"), "found file.jpg\n");
    EXPECT_FALSE(fs::is_empty(folder_ / "previews"));
    EXPECT_TRUE(boxes_.empty());
}

}  // namespace
