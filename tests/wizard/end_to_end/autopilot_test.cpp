// The auto-pilot over an NTFS image: one Next from its page, and the wizard scans,
// recovers both lists and stops on the finish page by itself.

#include <QLabel>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "engine/support/test_images.h"
#include "wizard/end_to_end/end_to_end_fixture.h"
#include "wizard/settings/settings_values.h"

namespace {

// The hashes of the NTFS fixture's files (only the deleted ones, or all), by their path
// below the drive; files of lost folders lie below "lost_folder_N".
std::map<std::string, std::uint64_t> NtfsFiles(bool deletedOnly) {
    std::map<std::string, std::uint64_t> hashes;
    std::ifstream file(test_images::dataPath("ntfs/ntfs-basic.listing"));
    for (std::string line; std::getline(file, line);) {
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
        if (fields.size() < 6 || fields[4] == "-") continue;
        if (deletedOnly && fields[1].find('x') == std::string::npos) continue;
        std::string path = fields[5];
        if (path.starts_with('\\')) path.erase(0, 1);
        std::replace(path.begin(), path.end(), '\\', '/');
        hashes[path] = std::stoull(fields[4], nullptr, 16);
    }
    return hashes;
}

class AutopilotTest : public EndToEndTest, public ::testing::WithParamInterface<bool> {};

// Free space only: the deleted files. The entire drive: every file, the lost folder's too.
TEST_P(AutopilotTest, OneNextRecoversAnNtfsDriveAndFinishes) {
    const bool entireDrive = GetParam();
    start({"ntfs/ntfs-basic.img.gz"});
    walkToAutopilot('C', QStringLiteral("*.*"), entireDrive);
    setAutopilot(true, true);

    clickNext();
    ASSERT_EQ(form->ActivePage(), TMainForm::kFinishPage);
    const std::map<std::string, std::uint64_t> expected = NtfsFiles(!entireDrive);
    ASSERT_TRUE(expected.contains("olddir/child.txt"));
    ASSERT_EQ(expected.contains("lost_folder_76/orphan.txt"), entireDrive);
    const std::map<std::string, std::string> landed = FilesBelow(target());
    for (const auto& [path, hash] : expected) {
        const auto file = landed.find(path);
        ASSERT_NE(file, landed.end()) << path << " among " << [&] { std::string all; for (const auto& [name, data] : landed) all += name + " "; return all; }();
        EXPECT_EQ(Fnv1a64(file->second), hash) << path;
    }
    // Entries without a known size (empty record slots) are skipped, not counted.
    EXPECT_EQ(form->FileSystem.Recovered() + form->DriveSectors.Recovered(), static_cast<int>(landed.size()));
    EXPECT_EQ(child<QLabel>("FinishRecoveredFilesLabel")->text().toULongLong(), landed.size());
    EXPECT_TRUE(Settings().RecoveryAutoPilot);
}

INSTANTIATE_TEST_SUITE_P(Modes, AutopilotTest, ::testing::Values(false, true),
                         [](const auto& mode) { return mode.param ? "EntireDrive" : "FreeSpaceOnly"; });

}  // namespace
