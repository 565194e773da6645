#pragma once
// Disk images from the test data, unpacked into a scratch folder and listed in
// UNDELETE_DISKS, so that the engine's exports find them on a rescan.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "disk_test_support.h"
#include "engine/disk/listed_disks.h"
#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/messages.h"
#include "platform/messages.h"

namespace disktest {

// The drive's bytes come from the file at `path`: its device and inode numbers.
inline void expectFileIdentity(const _LDRIVE* info, const std::string& path) {
    ASSERT_NE(info, nullptr);
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0) << path;
    EXPECT_EQ(+info->SourceDevice, static_cast<std::uint64_t>(status.st_dev)) << info->Letter;
    EXPECT_EQ(+info->SourceInode, static_cast<std::uint64_t>(status.st_ino)) << info->Letter;
}

class ListedImages : public ::testing::Test {
protected:
    void SetUp() override {
        const char* data = std::getenv("UNDELETE_TEST_DATA");
        if (!data) GTEST_SKIP() << "UNDELETE_TEST_DATA is not set";
        data_ = std::filesystem::path(data) / "disks";
        work_ = std::filesystem::temp_directory_path() / ("listed-" + std::to_string(::getpid()));
        std::filesystem::create_directories(work_);
        ASSERT_EQ(Library_Initialize(u"\\Software\\Test"), 1);
    }
    void TearDown() override {
        engine::releaseFileReaders();
        ::unsetenv(engine::kListedDisksVariable);
        if (!work_.empty()) std::filesystem::remove_all(work_);
    }

    std::string unpack(const std::string& name) {
        const std::string target = (work_ / name).string();
        const std::string command = "gzip -dc '" + (data_ / (name + ".gz")).string() + "' > '" + target + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return target;
    }
    // Rescans through the export with `disks` listed: the thread's exit code and the
    // letters announced.
    std::pair<DWORD, std::string> rescan(const std::string& disks) {
        ::setenv(engine::kListedDisksVariable, disks.c_str(), 1);
        std::string letters;
        platform::QueueWindow window([&](const platform::Message& message) {
            if (message.message == WM_ENGINE_DRIVE_FOUND) letters += static_cast<char>(message.lParam);
            return LRESULT{0};
        });
        const DWORD code = waitForThread(DrivesRescan(window.handle()));
        window.dispatchPending();
        return {code, letters};
    }

    std::filesystem::path data_;
    std::filesystem::path work_;
};

}  // namespace disktest
