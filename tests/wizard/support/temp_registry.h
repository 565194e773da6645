#pragma once
// A test with a registry and home folder of its own: UNDELETE_REGISTRY and HOME point into
// a fresh temporary folder during the test and are restored afterwards.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

class TempRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int tests = 0;
        root_ = std::filesystem::temp_directory_path() /
                ("wizard-test-" + std::to_string(::getpid()) + "-" + std::to_string(++tests));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_ / "home");
        Replace("UNDELETE_REGISTRY", root_ / "registry", savedRegistry_);
        Replace("HOME", root_ / "home", savedHome_);
    }
    void TearDown() override {
        Restore("UNDELETE_REGISTRY", savedRegistry_);
        Restore("HOME", savedHome_);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // The test's own folder, removed after the test.
    const std::filesystem::path& testFolder() const { return root_; }
    std::filesystem::path registryFolder() const { return root_ / "registry"; }

private:
    static void Replace(const char* name, const std::filesystem::path& value,
                        std::optional<std::string>& saved) {
        if (const char* old = std::getenv(name)) saved = old;
        ::setenv(name, value.c_str(), 1);
    }
    static void Restore(const char* name, const std::optional<std::string>& saved) {
        if (saved) {
            ::setenv(name, saved->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

    std::filesystem::path root_;
    std::optional<std::string> savedRegistry_;
    std::optional<std::string> savedHome_;
};
