// Keeps every engine test away from the user's own registry: unless the run names a
// registry folder, the tests use one inside their working folder (the build tree).

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

namespace {

class RegistrySandbox : public ::testing::Environment {
public:
    void SetUp() override {
        const char* chosen = std::getenv("UNDELETE_REGISTRY");
        if (chosen != nullptr && *chosen != '\0') return;
        std::filesystem::path folder = std::filesystem::current_path() / "registry-sandbox";
        std::filesystem::create_directories(folder);
        ::setenv("UNDELETE_REGISTRY", folder.c_str(), 1);
    }
};

const auto* const kSandbox = ::testing::AddGlobalTestEnvironment(new RegistrySandbox);

}  // namespace
