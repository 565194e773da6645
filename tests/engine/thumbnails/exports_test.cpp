// Thumbnail and viewer exports end to end: a picture planted in a file of a FAT image,
// read back through DriveInitialize, FileGetNext and FileRead.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "engine/engine_state.h"
#include "engine/exports.h"
#include "engine/fs/fat_fixture.h"
#include "engine/support/scoped_settings.h"
#include "engine/viewer_handoff.h"
#include "test_pictures.h"

namespace {

namespace fs = std::filesystem;

class PictureOnFat : public ::testing::Test {
protected:
    void SetUp() override {
        engine::releaseFileReaders();
        Library_Initialize(u"\\Software\\Test");
        auto drive = std::make_unique<fattest::MemoryDrive>(fattest::loadImage("fat12"), kFileSystemFat12, 'E');
        fattest::MemoryDrive* memory = drive.get();
        settings_.DiskNumber = engine::state().drives->add(std::move(drive));
        ASSERT_GT(DriveInitialize(&settings_), 0);
        while (FoundFileRecord* found = FileGetNext())
            if (fattest::utf8(found->Name) == "deleted long name.txt") record_ = *found;
        const std::uint64_t listedSize = record_.Size;  // packed field: no reference to it
        ASSERT_EQ(listedSize, 1200u);
        // The picture replaces the start of the file's data; the caller sets its size.
        std::copy(picture_.begin(), picture_.end(), memory->image().begin() + record_.DataPosition);
        record_.Size = picture_.size();
        record_.Name = nullptr;
    }
    void TearDown() override { engine::releaseFileReaders(); }

    test_support::ScopedSettings scopedSettings_{1};
    EngineSettings& settings_ = scopedSettings_.get();
    FoundFileRecord record_{};
    const test_pictures::Bytes picture_ = test_pictures::encodeBmp24(test_pictures::twoBands(8, 4, 0xFF0000, 0x0000FF));
};

TEST_F(PictureOnFat, ThumbnailExportFitsThePictureOfTheFile) {
    HBITMAP bitmap = FileGetThumbnail(&record_);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->row(23)[2], 0);     // top margin
    EXPECT_EQ(bitmap->row(24)[2], 0xFF);  // red band
    EXPECT_EQ(bitmap->row(71)[0], 0xFF);  // blue band
    EXPECT_EQ(bitmap->row(72)[0], 0);     // bottom margin
    EXPECT_EQ(DeleteObject(bitmap), 1);
    EXPECT_EQ(FileGetThumbnail(nullptr), nullptr);
}

TEST_F(PictureOnFat, ViewerExportHandsTheFileBytesOver) {
    const fs::path folder = fs::temp_directory_path() / ("viewer-export-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "copy.sh") << "for block; do :; done\ncp \"/dev/shm$block\" " << folder.string()
                                      << "/block.tmp\nmv " << folder.string() << "/block.tmp " << folder.string()
                                      << "/block\n";
    ::setenv(engine::viewer::kViewerCommandVariable, ("/bin/sh " + (folder / "copy.sh").string()).c_str(), 1);
    EXPECT_EQ(FileOpenViewer(&record_), 0);
    ::unsetenv(engine::viewer::kViewerCommandVariable);

    ASSERT_TRUE(test_pictures::waitForFile(folder / "block"));
    const std::string block = test_pictures::readWhole(folder / "block");
    fs::remove_all(folder);
    ASSERT_EQ(block.size(), 512u);
    EXPECT_EQ(block.substr(0, picture_.size()), std::string(picture_.begin(), picture_.end()));
    EXPECT_EQ(FileOpenViewer(nullptr), 0);
}

}  // namespace
