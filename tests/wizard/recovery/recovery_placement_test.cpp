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
        ASSERT_TRUE(temporary_.isValid());
        root = fs::path(temporary_.path().toStdString()) / "target";
        outside = fs::path(temporary_.path().toStdString()) / "outside";
        fs::create_directories(root);
        fs::create_directories(outside);
    }

    RecoveryPlacement& Open(SourceCheck onSource = {}, int renameLimit = kRenameLimit) {
        placement = std::make_unique<RecoveryPlacement>(std::move(onSource), renameLimit);
        EXPECT_EQ(placement->OpenRoot(QString::fromStdString(root.string())),
                  RecoveryPlacement::FolderResult::Opened);
        return *placement;
    }
    std::shared_ptr<const RecoveryFolder> Folder(const std::vector<std::string>& parts = {}) {
        auto [folder, result] = placement->OpenFolder(parts);
        EXPECT_EQ(result, RecoveryPlacement::FolderResult::Opened);
        return folder;
    }
    static void Write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // What the engine does with its path: create or truncate, never following a link.
    static void EngineWrite(const PlacedFile& file, const std::string& text) {
        const std::string path = QString::fromStdU16String(file.enginePath()).toStdString();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0644);
        ASSERT_GE(fd, 0) << path;
        ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::close(fd);
    }

    fs::path root;
    fs::path outside;
    std::unique_ptr<RecoveryPlacement> placement;

private:
    QTemporaryDir temporary_;
};

TEST_F(RecoveryPlacementTest, FoldersAreMadeBelowTheRootAndTheEngineWritesThroughTheHeldFolder) {
    Open();
    const auto folder = Folder({"Docs", "Old"});
    EXPECT_TRUE(fs::is_directory(root / "Docs" / "Old"));
    EXPECT_EQ(folder->realPath().toStdString(), (fs::canonical(root) / "Docs" / "Old").string() + "/");
    auto file = placement->ReserveNew(folder, "a.txt");
    ASSERT_TRUE(file);
    // The folder's path is swapped for a link after it was opened: the write still goes
    // into the folder that was checked.
    fs::rename(root / "Docs", root / "Moved");
    fs::create_directory_symlink(outside, root / "Docs");
    ASSERT_TRUE(placement->StillPlaced(*file));
    EngineWrite(*file, "data");
    EXPECT_EQ(Read(root / "Moved" / "Old" / "a.txt"), "data");
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_EQ(placement->WrittenSize(*file), 4u);
}

TEST_F(RecoveryPlacementTest, ALinkOrFileInPlaceOfAFolderIsNotCreatable) {
    fs::create_directory_symlink(outside, root / "linked");
    Write(root / "plain", "x");
    fs::create_directory_symlink(outside / "missing", root / "dangling");
    Open();
    for (const char* blocked : {"linked", "plain", "dangling"}) {
        const auto [folder, result] = placement->OpenFolder({blocked, "below"});
        EXPECT_EQ(folder, nullptr) << blocked;
        EXPECT_EQ(result, RecoveryPlacement::FolderResult::NotCreatable) << blocked;
    }
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_FALSE(fs::exists(outside / "missing"));
}

TEST_F(RecoveryPlacementTest, OnlyRegularFilesFromBeforeTheRunMayBeOverwritten) {
    Write(root / "earlier.txt", "old");
    fs::create_symlink(outside / "victim", root / "link.txt");
    fs::create_symlink(outside / "nothing", root / "dangling.txt");
    ASSERT_EQ(::mkfifo((root / "fifo.txt").c_str(), 0644), 0);
    fs::create_directory(root / "folder.txt");
    Open();
    const auto folder = Folder();
    using State = RecoveryPlacement::NameState;
    const struct {
        const char* name;
        State state;
    } cases[] = {
        {"new.txt", State::Free},          {"earlier.txt", State::EarlierFile}, {"link.txt", State::Occupied},
        {"dangling.txt", State::Occupied}, {"fifo.txt", State::Occupied},       {"folder.txt", State::Occupied},
    };
    for (const auto& c : cases) EXPECT_EQ(placement->Inspect(*folder, c.name), c.state) << c.name;

    // A file of this run is never an earlier file, also when another name reaches it.
    auto mine = placement->ReserveNew(folder, "new.txt");
    ASSERT_TRUE(mine);
    EXPECT_EQ(placement->Inspect(*folder, "new.txt"), State::Occupied);
    fs::create_hard_link(root / "new.txt", root / "NEW.TXT");
    EXPECT_EQ(placement->Inspect(*folder, "NEW.TXT"), State::Occupied);
    auto claimed = placement->ClaimEarlier(folder, "earlier.txt");
    ASSERT_TRUE(claimed);
    EXPECT_FALSE(claimed->created);
    EXPECT_EQ(placement->Inspect(*folder, "earlier.txt"), State::Occupied);
    EXPECT_FALSE(placement->ClaimEarlier(folder, "link.txt"));
    EXPECT_FALSE(fs::exists(outside / "victim"));
}

TEST_F(RecoveryPlacementTest, NumberedNamesSkipTakenOnesAndGoOnWhereTheRunLeftOff) {
    Write(root / "photo.jpg", "0");
    Write(root / "photo_1.jpg", "1");
    Write(root / "data", "d");
    Open();
    const auto folder = Folder();
    EXPECT_EQ(placement->ReserveNumbered(folder, "photo.jpg")->name, "photo_2.jpg");
    EXPECT_EQ(placement->ReserveNumbered(folder, "photo.jpg")->name, "photo_3.jpg");
    EXPECT_EQ(placement->ReserveNumbered(folder, "data")->name, "data_1");
    EXPECT_EQ(Read(root / "photo_1.jpg"), "1");
    // Another folder keeps its own numbers.
    EXPECT_EQ(placement->ReserveNumbered(Folder({"sub"}), "photo.jpg")->name, "photo_1.jpg");
}

TEST_F(RecoveryPlacementTest, AUsedUpRenameLimitOverwritesNothing) {
    for (const char* name : {"a.txt", "a_1.txt", "a_2.txt", "a_3.txt"}) Write(root / name, name);
    Open({}, 3);
    EXPECT_FALSE(placement->ReserveNumbered(Folder(), "a.txt"));
    for (const char* name : {"a.txt", "a_1.txt", "a_2.txt", "a_3.txt"}) EXPECT_EQ(Read(root / name), name);
    EXPECT_FALSE(fs::exists(root / "a_4.txt"));
}

TEST_F(RecoveryPlacementTest, TheSourceIsNeverWrittenTo) {
    fs::create_directories(root / "mounted");
    struct stat mounted {};
    ASSERT_EQ(::stat((root / "mounted").c_str(), &mounted), 0);
    Write(root / "image.img", "source image");
    struct stat image {};
    ASSERT_EQ(::stat((root / "image.img").c_str(), &image), 0);
    // Stands for a folder on the source device and the source image file.
    Open([&](const struct stat& status) {
        return (status.st_ino == mounted.st_ino && status.st_dev == mounted.st_dev) ||
               (status.st_ino == image.st_ino && status.st_dev == image.st_dev);
    });
    const auto [folder, result] = placement->OpenFolder({"mounted", "new"});
    EXPECT_EQ(result, RecoveryPlacement::FolderResult::OnSource);
    EXPECT_FALSE(fs::exists(root / "mounted" / "new"));
    EXPECT_EQ(placement->Inspect(*Folder(), "image.img"), RecoveryPlacement::NameState::Occupied);

    RecoveryPlacement refusing([](const struct stat&) { return true; });
    EXPECT_EQ(refusing.OpenRoot(QString::fromStdString(root.string())), RecoveryPlacement::FolderResult::OnSource);
    EXPECT_FALSE(refusing.RootOpen());
}

TEST_F(RecoveryPlacementTest, ANameReplacedAfterItWasPlacedIsNoLongerWritten) {
    Open();
    const auto folder = Folder();
    auto file = placement->ReserveNew(folder, "x.bin");
    ASSERT_TRUE(file);
    fs::remove(root / "x.bin");
    ASSERT_EQ(::mkfifo((root / "x.bin").c_str(), 0644), 0);
    EXPECT_FALSE(placement->StillPlaced(*file));
    EXPECT_FALSE(placement->WrittenSize(*file));
    // An empty reservation is removed, an earlier file never.
    Write(root / "earlier", "");
    auto reserved = placement->ReserveNew(folder, "empty");
    auto claimed = placement->ClaimEarlier(folder, "earlier");
    placement->DropEmpty(*reserved);
    placement->DropEmpty(*claimed);
    EXPECT_FALSE(fs::exists(root / "empty"));
    EXPECT_TRUE(fs::exists(root / "earlier"));
}

}  // namespace
