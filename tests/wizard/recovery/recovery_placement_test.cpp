// The run's placement never writes outside its target, through a link, over a file of the
// run or onto the source.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "wizard/recovery/recovery_placement.h"

namespace fs = std::filesystem;

namespace {

class RecoveryPlacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::path(temporary_.path().toStdString()) / "target";
        outside = fs::path(temporary_.path().toStdString()) / "outside";
        fs::create_directories(root);
        fs::create_directories(outside);
    }
    std::shared_ptr<const RecoveryFolder> Open(SourceCheck onSource = {}, int renameLimit = kRenameLimit,
                                               const std::vector<std::string>& parts = {}) {
        placement = std::make_unique<RecoveryPlacement>(std::move(onSource), renameLimit);
        EXPECT_EQ(placement->OpenRoot(QString::fromStdString(root.string())), RecoveryPlacement::FolderResult::Opened);
        return placement->OpenFolder(parts).first;
    }
    static void Write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path root;
    fs::path outside;
    std::unique_ptr<RecoveryPlacement> placement;

private:
    QTemporaryDir temporary_;
};

TEST_F(RecoveryPlacementTest, TheEngineWritesIntoTheFolderThatWasCheckedEvenWhenItsPathIsSwapped) {
    const auto folder = Open({}, kRenameLimit, {"Docs", "Old"});
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->realPath().toStdString(), (fs::canonical(root) / "Docs" / "Old").string() + "/");
    auto file = placement->ReserveNew(folder, "a.txt");
    ASSERT_TRUE(file);
    fs::rename(root / "Docs", root / "Moved");
    fs::create_directory_symlink(outside, root / "Docs");
    ASSERT_TRUE(placement->StillPlaced(*file));
    // As the engine opens its target.
    const std::string path = QString::fromStdU16String(file->enginePath()).toStdString();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0644);
    ASSERT_EQ(::write(fd, "data", 4), 4);
    ::close(fd);
    EXPECT_EQ(Read(root / "Moved" / "Old" / "a.txt"), "data");
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_EQ(placement->WrittenSize(*file), 4u);
}

TEST_F(RecoveryPlacementTest, OnlyRegularFilesFromBeforeTheRunMayBeOverwritten) {
    Write(root / "earlier.txt", "old");
    fs::create_symlink(outside / "victim", root / "link.txt");
    fs::create_symlink(outside / "nothing", root / "dangling.txt");
    ASSERT_EQ(::mkfifo((root / "fifo.txt").c_str(), 0644), 0);
    fs::create_directory(root / "folder.txt");
    const auto folder = Open();
    auto mine = placement->ReserveNew(folder, "new.txt");
    ASSERT_TRUE(mine);
    // Another name of a file of the run, as on a file system that folds case.
    fs::create_hard_link(root / "new.txt", root / "NEW.TXT");
    using State = RecoveryPlacement::NameState;
    const struct {
        const char* name;
        State state;
    } cases[] = {
        {"free.txt", State::Free},         {"earlier.txt", State::EarlierFile}, {"link.txt", State::Occupied},
        {"dangling.txt", State::Occupied}, {"fifo.txt", State::Occupied},       {"folder.txt", State::Occupied},
        {"new.txt", State::Occupied},      {"NEW.TXT", State::Occupied},
    };
    for (const auto& c : cases) EXPECT_EQ(placement->Inspect(*folder, c.name), c.state) << c.name;
    auto claimed = placement->ClaimEarlier(folder, "earlier.txt");
    ASSERT_TRUE(claimed);
    EXPECT_EQ(placement->Inspect(*folder, "earlier.txt"), State::Occupied);
    EXPECT_FALSE(placement->ClaimEarlier(folder, "link.txt"));
    // An empty reservation is removed, a file taken over never.
    placement->DropEmpty(*claimed);
    placement->DropEmpty(*placement->ReserveNew(folder, "empty"));
    EXPECT_EQ(Read(root / "earlier.txt"), "old");
    EXPECT_FALSE(fs::exists(root / "empty"));
    EXPECT_FALSE(fs::exists(outside / "victim"));
}

TEST_F(RecoveryPlacementTest, NumberedNamesSkipTakenOnesWithinTheRenameLimit) {
    for (const char* name : {"photo.jpg", "photo_1.jpg", "data", "a.txt", "a_1.txt", "a_2.txt"}) Write(root / name, name);
    const auto folder = Open({}, 2);
    EXPECT_EQ(placement->ReserveNumbered(folder, "photo.jpg")->name, "photo_2.jpg");
    EXPECT_FALSE(placement->ReserveNumbered(folder, "photo.jpg"));
    EXPECT_EQ(placement->ReserveNumbered(folder, "data")->name, "data_1");
    EXPECT_EQ(placement->ReserveNumbered(folder, "data")->name, "data_2");
    EXPECT_FALSE(placement->ReserveNumbered(folder, "a.txt"));
    for (const char* name : {"photo_1.jpg", "a.txt", "a_1.txt", "a_2.txt"}) EXPECT_EQ(Read(root / name), name);
}

TEST_F(RecoveryPlacementTest, NothingIsMadeOrWrittenOnTheSource) {
    fs::create_directories(root / "mounted");
    Write(root / "image.img", "source image");
    struct stat mounted {}, image {};
    ASSERT_EQ(::stat((root / "mounted").c_str(), &mounted), 0);
    ASSERT_EQ(::stat((root / "image.img").c_str(), &image), 0);
    const auto folder = Open([&](const struct stat& status) {
        return status.st_ino == mounted.st_ino || status.st_ino == image.st_ino;
    });
    EXPECT_EQ(placement->OpenFolder({"mounted", "new"}).second, RecoveryPlacement::FolderResult::OnSource);
    EXPECT_FALSE(fs::exists(root / "mounted" / "new"));
    EXPECT_EQ(placement->Inspect(*folder, "image.img"), RecoveryPlacement::NameState::Occupied);

    fs::create_directory_symlink(outside, root / "linked");
    Write(root / "plain", "x");
    for (const char* blocked : {"linked", "plain"}) {
        EXPECT_EQ(placement->OpenFolder({blocked, "below"}).second, RecoveryPlacement::FolderResult::NotCreatable);
    }
    EXPECT_TRUE(fs::is_empty(outside));
    RecoveryPlacement refusing([](const struct stat&) { return true; });
    EXPECT_EQ(refusing.OpenRoot(QString::fromStdString(root.string())), RecoveryPlacement::FolderResult::OnSource);
}

TEST_F(RecoveryPlacementTest, ANameReplacedAfterItWasPlacedIsNoLongerWritten) {
    const auto folder = Open();
    auto file = placement->ReserveNew(folder, "x.bin");
    fs::remove(root / "x.bin");
    ASSERT_EQ(::mkfifo((root / "x.bin").c_str(), 0644), 0);
    EXPECT_FALSE(placement->StillPlaced(*file));
    EXPECT_FALSE(placement->WrittenSize(*file));
}

}  // namespace
