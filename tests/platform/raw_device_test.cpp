#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/device_info.h"
#include "platform/raw_device.h"

namespace {

using platform::OpenMode;

class TempFile {
public:
    TempFile() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir ? dir : "/tmp") + "/undelete-raw-XXXXXX";
        fd_ = ::mkstemp(path_.data());
    }
    ~TempFile() {
        ::close(fd_);
        ::unlink(path_.c_str());
    }
    const std::string& path() const { return path_; }
    int fd() const { return fd_; }

private:
    std::string path_;
    int fd_;
};

TEST(RawDevice, SparseFileOf3GiBHasItsExactSizeAndReadsItsLastBytes) {
    TempFile file;
    const std::uint64_t size = std::uint64_t{3} << 30;
    ASSERT_EQ(::ftruncate(file.fd(), static_cast<off_t>(size)), 0);
    ASSERT_EQ(::pwrite(file.fd(), "tail", 4, static_cast<off_t>(size - 4)), 4);

    auto opened = platform::openRawDevice(file.path());
    ASSERT_TRUE(opened.device) << opened.error;
    EXPECT_EQ(opened.device->byteSize(), size);
    char buffer[512];
    const platform::IoResult last = opened.device->readAt(size - 512, buffer, sizeof buffer);
    ASSERT_TRUE(last.ok());
    EXPECT_EQ(last.bytes, 512u);
    EXPECT_EQ(std::memcmp(buffer + 508, "tail", 4), 0);

    // Straddling the end: what exists; past it: nothing, without an error.
    EXPECT_EQ(opened.device->readAt(size - 100, buffer, sizeof buffer).bytes, 100u);
    const platform::IoResult past = opened.device->readAt(size + 512, buffer, sizeof buffer);
    EXPECT_TRUE(past.ok());
    EXPECT_EQ(past.bytes, 0u);
}

TEST(RawDevice, OpenFailuresCarryErrno) {
    auto missing = platform::openRawDevice("/nonexistent/undelete");
    EXPECT_FALSE(missing.device);
    EXPECT_EQ(missing.error, ENOENT);
    auto directory = platform::openRawDevice("/tmp");
    EXPECT_FALSE(directory.device);
    EXPECT_EQ(directory.error, ENODEV);
}

TEST(RawDevice, OpensReadOnlyCloseOnExecAndDuplicatesOutliveTheOriginal) {
    TempFile file;
    ASSERT_EQ(::pwrite(file.fd(), "abcdef", 6, 0), 6);
    auto opened = platform::openRawDevice(file.path());
    ASSERT_TRUE(opened.device);
    bool found = false;  // find the device's descriptor through /proc
    for (int fd = 3; fd < 1024 && !found; ++fd) {
        char link[256] = {};
        const std::string proc = "/proc/self/fd/" + std::to_string(fd);
        if (::readlink(proc.c_str(), link, sizeof link - 1) <= 0 || file.path() != link || fd == file.fd()) continue;
        found = true;
        EXPECT_EQ(::fcntl(fd, F_GETFL) & O_ACCMODE, O_RDONLY);
        EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    }
    EXPECT_TRUE(found);

    auto copy = opened.device->duplicate();
    ASSERT_TRUE(copy);
    opened.device.reset();
    char buffer[6];
    EXPECT_EQ(copy->readAt(0, buffer, 6).bytes, 6u);
    EXPECT_EQ(std::memcmp(buffer, "abcdef", 6), 0);
}

TEST(RawDevice, ExclusiveOpenOfAFileIsHeldAgainstAnother) {
    TempFile file;
    auto first = platform::openRawDevice(file.path(), OpenMode::Exclusive);
    ASSERT_TRUE(first.device);
    auto second = platform::openRawDevice(file.path(), OpenMode::Exclusive);
    EXPECT_FALSE(second.device);
    EXPECT_EQ(second.error, EWOULDBLOCK);
    EXPECT_TRUE(platform::openRawDevice(file.path()).device);  // shared reads go on
    first.device.reset();
    EXPECT_TRUE(platform::openRawDevice(file.path(), OpenMode::Exclusive).device);
}

TEST(RawDevice, RootMountIsFoundAndUnknownDevicesHaveNoAttributes) {
    struct stat status {};
    ASSERT_EQ(::stat("/", &status), 0);
    const auto mount = platform::findMount(status.st_dev);
    ASSERT_TRUE(mount);
    EXPECT_FALSE(mount->fileSystem.empty());
    EXPECT_GT(mount->totalBytes, 0u);

    const dev_t nowhere = makedev(4095, 1048575);
    EXPECT_FALSE(platform::readSysfsText(nowhere, "size"));
    EXPECT_EQ(platform::wholeDiskOf(nowhere), nowhere);
    EXPECT_TRUE(platform::deviceIdentity(nowhere).model.empty());
    EXPECT_TRUE(platform::diskPartitions(nowhere).empty());
    EXPECT_FALSE(platform::findMount(nowhere));
    EXPECT_TRUE(platform::volumeLabel(nowhere).empty());
}

}  // namespace
