// Keeps every engine test away from the user's own registry: unless the run names a
// registry folder, each test process gets a fresh one of its own (ctest runs tests in
// parallel processes), removed when its tests are done.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/library.h"

namespace {

class RegistrySandbox : public ::testing::Environment {
public:
    void SetUp() override {
        const char* chosen = std::getenv("UNDELETE_REGISTRY");
        if (chosen != nullptr && *chosen != '\0') return;
        folder_ = std::filesystem::temp_directory_path() /
                  ("undelete-registry-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        ::setenv("UNDELETE_REGISTRY", folder_.c_str(), 1);
    }
    void TearDown() override {
        if (folder_.empty()) return;
        engine::unloadLibrary();  // saves the type table now, not after the folder is gone
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

private:
    std::filesystem::path folder_;
};

const auto* const kSandbox = ::testing::AddGlobalTestEnvironment(new RegistrySandbox);

}  // namespace
