#pragma once
// The whole wizard on the real engine: the main window made through the program's
// start-up with fixture images as drives, walked page by page as a user would, and what
// lands in the target folder compared with what the images hold.

#include <QCheckBox>
#include <QRadioButton>

#include <filesystem>
#include <map>
#include <string>

#include "wizard/forms/main/main_form_fixture.h"
#include "wizard/support/fixture_listings.h"

class EndToEndTest : public MainFormTest {
protected:
    std::filesystem::path target() const { return workFolder() / "target"; }

    // The fixture images as drives, the units started with a fresh registry, the window
    // made; the first drive lettered `letter` is the one chosen later.
    void start(const std::vector<std::string>& images);
    // The units and the window, on the disks named already.
    void startWindow();
    void chooseDrive(char letter) const;
    // Types page: the file-name filter on with `masks`.
    void useNameFilter(const QString& masks) const;
    // Mode page: "Scan entire drive" or "Scan free drive space only".
    void chooseEntireDrive(bool entire) const;
    // From the welcome page to the auto-pilot page: drive `letter`, the name filter
    // `masks`, the scan mode.
    void walkToAutopilot(char letter, const QString& masks, bool entireDrive) const;
    // Auto-pilot page: its box, the target folder and "Keep the folder structure".
    void setAutopilot(bool on, bool keepFolders) const;
    // "&Recover" on the active preview page after selecting every file, answering the
    // destination dialog with the target folder.
    void recoverAll(bool keepFolders) const;

    // Every file below `folder`, by its path relative to it, with its contents.
    static std::map<std::string, std::string> FilesBelow(const std::filesystem::path& folder);
    static std::string Read(const std::filesystem::path& file);
    // Whether `folder` (the target by default) holds exactly `expected` (paths and
    // contents), naming the first difference.
    ::testing::AssertionResult TargetHolds(const std::map<std::string, std::string>& expected) const {
        return FolderHolds(target(), expected);
    }
    static ::testing::AssertionResult FolderHolds(const std::filesystem::path& folder,
                                                  const std::map<std::string, std::string>& expected);
};
