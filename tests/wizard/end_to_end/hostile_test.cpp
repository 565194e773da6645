// The wizard against what a hostile disk or a user's system puts in its way: names that
// try to leave the target folder, a target that cannot be made. Nothing lands outside the
// target, every failure is told, nothing crashes.

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <set>

#include <fstream>

#include "wizard/end_to_end/end_to_end_fixture.h"
#include "wizard/end_to_end/hostile_image.h"
#include "wizard/settings/settings_values.h"

namespace fs = std::filesystem;

namespace {

class HostileTest : public EndToEndTest {
protected:
    // The auto-pilot over the entire drive with every name, to the finish page.
    void recoverByAutopilot() {
        walkToAutopilot('C', QStringLiteral("*"), true);
        setAutopilot(true, true);
        clickNext();
    }
};

TEST_F(HostileTest, NamesThatTryToLeaveTheTargetLandInsideItWithTheirBytes) {
    const fs::path image = WriteHostileImage(workFolder() / "hostile.img");
    useDisks({image});
    startWindow();
    recoverByAutopilot();
    ASSERT_EQ(form->ActivePage(), TMainForm::kFinishPage);

    // Only the image and the target in the work folder; nothing anywhere above it.
    std::vector<std::string> workEntries;
    for (const auto& entry : fs::directory_iterator(workFolder())) workEntries.push_back(entry.path().filename());
    std::sort(workEntries.begin(), workEntries.end());
    EXPECT_EQ(workEntries, (std::vector<std::string>{"hostile.img", "target"}));

    std::multiset<char> fills;
    for (const auto& [path, contents] : FilesBelow(target())) {
        ASSERT_EQ(contents.size(), kHostileFileBytes) << path;
        fills.insert(contents[0]);
        EXPECT_EQ(contents, std::string(kHostileFileBytes, contents[0])) << path;
        for (const auto& part : fs::path(path)) {
            EXPECT_NE(part, "..") << path;
            EXPECT_LE(part.string().size(), 255u) << path;
            for (const char byte : part.string()) EXPECT_GE(static_cast<unsigned char>(byte), 0x20) << path;
        }
    }
    EXPECT_EQ(fills, HostileFileFills());
    EXPECT_TRUE(fs::exists(target() / "DOTS"/ "inner.txt") || fs::exists(target() / "_" / "inner.txt"));
    const auto longName = std::find_if(fs::directory_iterator(target()), fs::directory_iterator(),
                                       [](const fs::directory_entry& entry) { return entry.path().extension() == ".jpg"; });
    EXPECT_NE(longName, fs::directory_iterator()) << "the long name keeps its extension";
}

TEST_F(HostileTest, ATargetThatCannotBeMadeStopsTheAutopilotWithAMessage) {
    start({"fat/fat32.img.gz"});
    // A file where the target folder should be made.
    std::ofstream(workFolder() / "blocked") << "in the way";
    walkToAutopilot('C', QStringLiteral("*"), false);
    setAutopilot(true, true);
    child<QLineEdit>("AutopilotFolderEdit")->setText(QString::fromStdString((workFolder() / "blocked" / "target").string()));
    clickNext();
    EXPECT_EQ(form->ActivePage(), TMainForm::kPreviewFileSystemPage) << "the auto-pilot stops where it failed";
    EXPECT_FALSE(Settings().RecoveryAutoPilot);
    EXPECT_EQ(form->FileSystem.Recovered(), 0);
    QString log;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QStringLiteral("RecoveringFilesForm") && window->isVisible()) {
            log = window->findChild<QPlainTextEdit*>(QStringLiteral("LogMemo"))->toPlainText();
        }
    }
    EXPECT_TRUE(log.contains(QStringLiteral("blocked"))) << "the failure is told: " << log.toStdString();
}

}  // namespace
