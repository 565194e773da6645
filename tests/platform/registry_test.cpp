#include "platform/registry.h"
#include "platform/registry_file.h"
#include "platform/registry_storage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

namespace platform {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::u16string>;

Names namesOf(const std::vector<RegistryValue>& values) {
    Names names;
    for (const auto& value : values) names.push_back(value.name);
    return names;
}

// Every test gets a fresh registry root inside a fresh folder, so that anything written
// outside the root shows up as a sibling of it.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "registry-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        outer_ = pattern;
        root_ = outer_ / "root";
        ::setenv("UNDELETE_REGISTRY", root_.c_str(), 1);
        setRegistryDiagnostics([this](const std::string& line) {
            std::lock_guard lock(reportsMutex_);
            reports_.push_back(line);
        });
    }
    void TearDown() override {
        setRegistryDiagnostics(nullptr);
        ::unsetenv("UNDELETE_REGISTRY");
        fs::remove_all(outer_);
    }
    std::vector<std::string> reports() {
        std::lock_guard lock(reportsMutex_);
        return reports_;
    }

    fs::path outer_;
    fs::path root_;
    std::mutex reportsMutex_;
    std::vector<std::string> reports_;
};

TEST_F(RegistryTest, EveryTypeRoundTripsThroughAFreshOpen) {
    auto key = RegistryKey::create(u"\\Software\\Kelvorin\\Pramblex\\3.0");
    ASSERT_TRUE(key);
    const std::vector<std::uint8_t> bytes{0x00, 0x7f, 0x80, 0xff};
    EXPECT_TRUE(key->writeDword(u"Dword", 0xfffffffe));
    EXPECT_TRUE(key->writeQword(u"Qword", 0xfedcba9876543210));
    EXPECT_TRUE(key->writeString(u"String", u"C:\\Recovered"));
    EXPECT_TRUE(key->writeBinary(u"Binary", bytes));
    EXPECT_TRUE(key->writeBinary(u"EmptyBinary", {}));
    EXPECT_TRUE(key->writeString(u"", u"default value"));

    const auto again = RegistryKey::open(u"software\\Kelvorin\\Pramblex\\3.0");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->readDword(u"Dword"), 0xfffffffeu);
    EXPECT_EQ(again->readQword(u"Qword"), 0xfedcba9876543210u);
    EXPECT_EQ(again->readString(u"String"), u"C:\\Recovered");
    EXPECT_EQ(again->readBinary(u"Binary"), bytes);
    EXPECT_EQ(again->readBinary(u"EmptyBinary"), std::vector<std::uint8_t>{});
    EXPECT_EQ(again->readString(u""), u"default value");
    EXPECT_FALSE(again->read(u"Missing"));

    EXPECT_EQ(again->values().size(), 6u);
    EXPECT_TRUE(reports().empty());

    // The file stays readable by a person.
    std::stringstream text;
    text << std::ifstream(root_ / "Software/Kelvorin/Pramblex/3.0/.values", std::ios::binary).rdbuf();
    EXPECT_NE(text.str().find("\"Dword\"=dword:fffffffe\n"), std::string::npos) << text.str();
}

TEST_F(RegistryTest, NamesIgnoreCaseReadsKeepTheStoredTypeAndOrderIsFirstWritten) {
    auto key = RegistryKey::create(u"Values");
    ASSERT_TRUE(key);
    for (const auto* name : {u"Zeta", u"Alpha", u"Mid"}) ASSERT_TRUE(key->writeDword(name, 7));
    EXPECT_FALSE(key->readQword(u"Alpha"));
    EXPECT_FALSE(key->readString(u"Alpha"));
    EXPECT_FALSE(key->readBinary(u"Alpha"));
    ASSERT_TRUE(key->writeString(u"ALPHA", u"7"));
    EXPECT_FALSE(key->readDword(u"Alpha"));
    EXPECT_EQ(key->readString(u"alpha"), u"7");
    const auto values = key->values();
    EXPECT_EQ(namesOf(values), (Names{u"Zeta", u"Alpha", u"Mid"}));  // first spelling kept
    EXPECT_EQ(values[1].type(), RegistryType::String);

    EXPECT_TRUE(key->removeValue(u"zeta"));
    EXPECT_FALSE(key->removeValue(u"zeta"));
    ASSERT_TRUE(key->writeDword(u"Zeta", 2));
    EXPECT_EQ(namesOf(key->values()), (Names{u"Alpha", u"Mid", u"Zeta"}));

    ASSERT_TRUE(key->writeAll({{u"MID", std::u16string(u"now text")}, {u"New", std::uint64_t{1} << 40}}));
    EXPECT_EQ(namesOf(key->values()), (Names{u"Alpha", u"Mid", u"Zeta", u"New"}));
    EXPECT_EQ(key->readString(u"mid"), u"now text");
    EXPECT_EQ(key->readQword(u"new"), std::uint64_t{1} << 40);
}

TEST_F(RegistryTest, DamagedFileReadsTheGoodValuesAndReportsOncePerLoad) {
    auto key = RegistryKey::create(u"Damaged");
    ASSERT_TRUE(key);
    const fs::path file = root_ / "Damaged/.values";
    std::ofstream(file, std::ios::binary) << "; registry values, format 1\n"
                                             "\"Good\"=dword:00000001\n"
                                             "\"Broken\"=dword:zz\n"
                                             "\"Also good\"=\"yes\"\n"
                                             "\"Cut\"=\"no closing";
    EXPECT_EQ(key->readDword(u"Good"), 1u);
    const auto lines = reports();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(file.string() + ":3"), std::string::npos) << lines[0];
    EXPECT_EQ(namesOf(key->values()), (Names{u"Good", u"Also good"}));
    EXPECT_EQ(reports().size(), 2u);

    // A write keeps the good values and leaves a clean file.
    ASSERT_TRUE(key->writeDword(u"New", 3));
    EXPECT_EQ(namesOf(key->values()), (Names{u"Good", u"Also good", u"New"}));
    EXPECT_EQ(reports().size(), 3u);  // the write's own load saw the damage

    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 131) % 256));
    std::ofstream(file, std::ios::binary) << garbage;
    EXPECT_FALSE(key->read(u"x"));
    EXPECT_EQ(reports().size(), 4u);
}

// Bytes this process has read through read() so far.
std::uint64_t bytesReadByProcess() {
    std::ifstream io("/proc/self/io");
    std::string field;
    std::uint64_t value = 0;
    while (io >> field >> value) {
        if (field == "rchar:") return value;
    }
    return 0;
}

// A FIFO without a writer: the read must not wait for one.
TEST_F(RegistryTest, AValuesFileThatIsAFifoIsRefusedWithoutWaiting) {
    auto fifoKey = RegistryKey::create(u"Fifo");
    ASSERT_TRUE(fifoKey);
    const fs::path fifo = root_ / "Fifo/.values";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    std::atomic<bool> done = false;
    std::optional<RegistryValue> fromFifo;
    std::thread reader([&] {
        fromFifo = fifoKey->read(u"x");
        done = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const bool waitedForAWriter = !done;
    if (waitedForAWriter) {  // release the reader so that the test can end
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    reader.join();
    ASSERT_FALSE(waitedForAWriter);
    EXPECT_FALSE(fromFifo);
    EXPECT_FALSE(fifoKey->writeDword(u"x", 1));  // the odd file stays as it is
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// A values file that is a symbolic link is not followed, as a linked key folder is not:
// a link to a device is not read to the size limit, nor one to a values file elsewhere
// lent to the store; a write replaces neither the link nor what it names.
TEST_F(RegistryTest, AValuesFileThatIsALinkIsNeitherReadNorWrittenThrough) {
    const fs::path elsewhere = outer_ / "elsewhere.values";
    std::ofstream(elsewhere) << "; registry values, format 1\n\"x\"=dword:00000007\n";
    for (const fs::path& linked : {fs::path("/dev/zero"), elsewhere}) {
        SCOPED_TRACE(linked.string());
        auto key = RegistryKey::create(u"Linked");
        ASSERT_TRUE(key);
        fs::create_symlink(linked, root_ / "Linked/.values");
        const std::uint64_t before = bytesReadByProcess();
        EXPECT_FALSE(key->read(u"x"));
        EXPECT_TRUE(key->values().empty());
        EXPECT_LT(bytesReadByProcess() - before, 1u << 20);
        const auto lines = reports();
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(lines.back().find("symbolic link"), std::string::npos) << lines.back();
        EXPECT_FALSE(key->writeDword(u"x", 1));
        EXPECT_TRUE(fs::is_symlink(root_ / "Linked/.values"));
        ASSERT_TRUE(RegistryKey::remove(u"Linked"));
    }
    std::ifstream in(elsewhere);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "; registry values, format 1\n\"x\"=dword:00000007\n");
}

// The writer never makes a file that its reader refuses: one a byte past the size limit
// is not written, the old values stay readable and later writes still work.
TEST_F(RegistryTest, ValuesPastTheSizeTheReaderTakesAreRefusedAndTheOldFileKept) {
    auto key = RegistryKey::create(u"Big");
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->writeDword(u"Kept", 1));
    const std::size_t others = registry_file::serialize({{u"Kept", 1u}, {u"T", u""}}).size();
    EXPECT_FALSE(key->writeString(u"T", std::u16string(registry_detail::kMaxValuesFileSize + 1 - others, u'a')));
    ASSERT_FALSE(reports().empty());
    EXPECT_NE(reports().back().find("not written"), std::string::npos) << reports().back();
    EXPECT_EQ(key->readDword(u"Kept"), 1u);
    EXPECT_FALSE(key->read(u"T"));
    EXPECT_TRUE(key->writeDword(u"Later", 2));
    EXPECT_EQ(key->readDword(u"Later"), 2u);
}

TEST_F(RegistryTest, ConcurrentWritersLoseNothing) {
    auto key = RegistryKey::create(u"Busy");
    ASSERT_TRUE(key);
    constexpr int kThreads = 4;
    constexpr int kWritesEach = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            auto own = RegistryKey::open(u"busy");
            for (int i = 0; i < kWritesEach; ++i) {
                const auto name = u"T" + std::u16string(1, u'0' + t) + u"-" +
                                  std::u16string(1, static_cast<char16_t>(u'A' + i));
                own->writeDword(name, static_cast<std::uint32_t>(t * 100 + i));
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(key->values().size(), std::size_t{kThreads * kWritesEach});
    EXPECT_EQ(key->readDword(u"T3-C"), 302u);
}

TEST_F(RegistryTest, NestedKeysCreateOpenEnumerateAndRemove) {
    EXPECT_FALSE(RegistryKey::open(u"Software"));  // not even the root exists yet
    auto leaf = RegistryKey::create(u"\\Software\\Kelvorin\\Pramblex");
    ASSERT_TRUE(leaf);
    EXPECT_EQ(leaf->path(), u"Software\\Kelvorin\\Pramblex");
    EXPECT_TRUE(fs::is_directory(root_ / "Software/Kelvorin/Pramblex"));

    // Another spelling finds the same folders and reports the first spelling.
    auto other = RegistryKey::create(u"SOFTWARE\\kelvorin\\pramblex\\Sub");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->path(), u"Software\\Kelvorin\\Pramblex\\Sub");
    ASSERT_TRUE(RegistryKey::create(u"software\\kelvorin\\pramblex\\alpha"));
    ASSERT_TRUE(RegistryKey::create(u"software\\kelvorin\\pramblex\\Beta"));
    ASSERT_TRUE(leaf->writeDword(u"Keys are not values", 1));
    EXPECT_EQ(leaf->subKeyNames(), (Names{u"alpha", u"Beta", u"Sub"}));

    EXPECT_FALSE(RegistryKey::remove(u"Software\\Kelvorin\\Missing"));
    EXPECT_TRUE(RegistryKey::remove(u"software\\KELVORIN"));
    EXPECT_FALSE(RegistryKey::open(u"Software\\Kelvorin"));
    EXPECT_FALSE(RegistryKey::open(u"Software\\Kelvorin\\Pramblex\\Sub"));
    EXPECT_TRUE(RegistryKey::open(u"Software"));
    EXPECT_FALSE(RegistryKey::remove(u"software\\kelvorin"));

    // A key whose folder is gone can no longer be written.
    EXPECT_FALSE(leaf->writeDword(u"After removal", 1));
    EXPECT_FALSE(leaf->read(u"Keys are not values"));
}

TEST_F(RegistryTest, PathsAndSymbolicLinksCannotLeaveTheRoot) {
    auto inside = RegistryKey::create(u"Inside");
    ASSERT_TRUE(inside);
    const std::u16string refused[] = {
        u"",       u"\\",          u"..",         u"Inside\\..",   u"Inside\\..\\..\\Out",
        u".",      u"Inside\\.",   u"a/b",        u"..\\Out",      u"Inside\\\\Twice",
        u"Trail\\", u".values",    u"Inside\\.VALUES.tmp.abc",    std::u16string(u"a\0b", 3),
        u"lone\xD800",
    };
    for (const auto& path : refused) {
        SCOPED_TRACE(testing::PrintToString(path));
        EXPECT_FALSE(RegistryKey::create(path));
        EXPECT_FALSE(RegistryKey::open(path));
        EXPECT_FALSE(RegistryKey::remove(path));
    }
    std::vector<fs::path> outside;
    for (const auto& entry : fs::directory_iterator(outer_)) outside.push_back(entry.path());
    EXPECT_EQ(outside, std::vector<fs::path>{root_});
    EXPECT_EQ(inside->subKeyNames(), Names{});

    fs::create_directories(outer_ / "elsewhere");
    fs::create_directory_symlink(outer_ / "elsewhere", root_ / "Inside/Link");
    EXPECT_FALSE(RegistryKey::open(u"Inside\\Link"));
    EXPECT_TRUE(inside->subKeyNames().empty());
}

TEST_F(RegistryTest, RootFollowsTheEnvironmentAtEachOpen) {
    ASSERT_TRUE(RegistryKey::create(u"First"));
    ::setenv("UNDELETE_REGISTRY", (outer_ / "second").c_str(), 1);
    EXPECT_FALSE(RegistryKey::open(u"First"));
    ASSERT_TRUE(RegistryKey::create(u"First"));
    EXPECT_TRUE(fs::is_directory(outer_ / "second/First"));

    ::unsetenv("UNDELETE_REGISTRY");
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = xdg ? xdg : "";
    ::setenv("XDG_CONFIG_HOME", (outer_ / "xdg").c_str(), 1);
    ASSERT_TRUE(RegistryKey::create(u"Third"));
    EXPECT_TRUE(fs::is_directory(outer_ / "xdg/Third"));
    if (xdg) {
        ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace
}  // namespace platform
