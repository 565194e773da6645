#pragma once
// The base of the wizard's tests. Each test gets its own HOME, XDG_CONFIG_HOME and
// UNDELETE_REGISTRY in a temporary folder (all restored afterwards), and a scripted
// prompt service, a recording shell and a recording help service in place of the real
// ones, so that nothing ever waits for a user or opens a desktop window.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "wizard/support/recording_services.h"
#include "wizard/support/scoped_environment.h"
#include "wizard/support/scripted_prompts.h"

class WizardTest : public ::testing::Test {
protected:
    WizardTest();
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path home() const { return root() / "home"; }
    std::filesystem::path registryFolder() const { return root() / "registry"; }
    // A folder for the test's own files.
    std::filesystem::path workFolder() const { return root() / "work"; }

    // Unpacks fixture images (paths below the test data folder; ".gz" files are
    // unpacked) into the work folder and names them, in order, in UNDELETE_DISKS.
    void useFixtureDisks(const std::vector<std::string>& images);
    // Names these files, in order, in UNDELETE_DISKS.
    void useDisks(const std::vector<std::filesystem::path>& files);

    ScriptedPrompts prompts;
    RecordingShell shell;
    RecordingHelp help;

private:
    std::filesystem::path root() const { return temporary_.path().toStdString(); }

    QTemporaryDir temporary_;
    ScopedEnvironment environment_;
    ScopedPromptService promptsInstalled_;
    ScopedShellService shellInstalled_;
    ScopedHelpService helpInstalled_;
};
