#include "wizard/support/wizard_test.h"

#include <fstream>

#include "engine/support/test_images.h"

namespace fs = std::filesystem;

WizardTest::WizardTest()
    : promptsInstalled_(prompts), shellInstalled_(shell), helpInstalled_(help) {}

void WizardTest::SetUp() {
    ASSERT_TRUE(temporary_.isValid());
    for (const fs::path& folder : {home(), registryFolder(), workFolder()}) {
        fs::create_directories(folder);
    }
    environment_.set("HOME", home().string());
    environment_.set("XDG_CONFIG_HOME", (home() / ".config").string());
    environment_.set("UNDELETE_REGISTRY", registryFolder().string());
}

void WizardTest::TearDown() { prompts.verifyAllShown(); }

void WizardTest::useFixtureDisks(const std::vector<std::string>& images) {
    std::vector<fs::path> files;
    for (const std::string& image : images) {
        fs::path target = workFolder() / fs::path(image).filename();
        if (target.extension() == ".gz") {
            const std::vector<std::uint8_t> bytes = test_images::gunzip(image);
            ASSERT_FALSE(bytes.empty()) << "fixture " << image << " cannot be read";
            target.replace_extension();
            std::ofstream(target, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        } else {
            fs::copy_file(test_images::dataPath(image), target);
        }
        files.push_back(target);
    }
    useDisks(files);
}

void WizardTest::useDisks(const std::vector<fs::path>& files) {
    std::string disks;
    for (const fs::path& file : files) disks += (disks.empty() ? "" : ":") + file.string();
    environment_.set("UNDELETE_DISKS", disks);
}
