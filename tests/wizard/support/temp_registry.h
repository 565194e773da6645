#pragma once
// Gives a test its own registry root, home folder and configuration folder, so that
// nothing it reads or writes touches the user's: UNDELETE_REGISTRY, HOME and
// XDG_CONFIG_HOME point into a fresh temporary folder for the test's lifetime and get
// their previous values back afterwards.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>

class TempRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "wizard-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        registry_ = folder_ / "registry";
        home_ = folder_ / "home";
        std::filesystem::create_directories(home_ / ".config");
        for (std::size_t i = 0; i < kVariables.size(); ++i) {
            const char* value = ::getenv(kVariables[i]);
            saved_[i] = value ? std::optional<std::string>(value) : std::nullopt;
        }
        ::setenv("UNDELETE_REGISTRY", registry_.c_str(), 1);
        ::setenv("HOME", home_.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home_ / ".config").c_str(), 1);
    }

    void TearDown() override {
        for (std::size_t i = 0; i < kVariables.size(); ++i) {
            if (saved_[i]) {
                ::setenv(kVariables[i], saved_[i]->c_str(), 1);
            } else {
                ::unsetenv(kVariables[i]);
            }
        }
        std::error_code ignored;
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(folder_, ignored);
    }

    // The test's own folder, removed after the test, and its registry root.
    const std::filesystem::path& testFolder() const { return folder_; }
    const std::filesystem::path& registryFolder() const { return registry_; }

    // The temporary folder that holds the registry root and the home folder.
    std::filesystem::path folder_;
    std::filesystem::path registry_;
    std::filesystem::path home_;

private:
    static constexpr std::array<const char*, 3> kVariables{"UNDELETE_REGISTRY", "HOME",
                                                           "XDG_CONFIG_HOME"};
    std::array<std::optional<std::string>, 3> saved_;
};
