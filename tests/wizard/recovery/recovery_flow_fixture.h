#pragma once
// Recovery runs over hand-made elements with the copy engine stand-in: a host that hands
// the flow its elements, a target folder in the test's work folder and the built-in
// format list.

#include <QPlainTextEdit>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "wizard/model/found_files/base_element.h"
#include "wizard/recovery/copy_engine.h"
#include "wizard/recovery/recovery_flow.h"
#include "wizard/settings/settings_values.h"
#include "wizard/support/wizard_test.h"

class FakeRecoveryHost final : public RecoveryHost {
public:
    std::vector<TBaseElement*> SelectedElements(bool fileSystemList) override {
        lastListAsked = fileSystemList;
        return selected;
    }
    void CountRecovered(bool fileSystemList, const TBaseElement&) override { ++recovered[fileSystemList ? 0 : 1]; }
    int& FileExistsAnswer() override { return fileExistsAnswer; }
    EngineSettings& EngineRecord() override { return settings; }
    std::uint64_t ReadErrorsReported() override { return 0; }
    bool OnSourceDrive(const struct stat& target) override { return onSource && onSource(target); }
    QWidget* DialogOwner() override { return nullptr; }

    std::vector<TBaseElement*> selected;
    int recovered[2] = {0, 0};
    int fileExistsAnswer = 0;
    bool lastListAsked = false;
    EngineSettings settings{};
    std::function<bool(const struct stat&)> onSource;
};

class RecoveryFlowTest : public WizardTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A selected element: a file of `size` bytes named `name` in the engine folder `path`.
    TBaseElement& AddFile(const std::u16string& name, const std::u16string& path, std::uint64_t size,
                          std::uint16_t typeCode = 0, std::uint16_t flags = 0);
    // The destination from settings; with `autoPilot` no dialog asks for it.
    void UseTarget(bool autoPilot = true, bool keepFolders = false);

    std::filesystem::path target() const { return workFolder() / "target"; }
    // Whether the file holds the copy engine's pattern of that record number and size.
    static ::testing::AssertionResult HoldsPattern(const std::filesystem::path& file, std::uint64_t recordNumber,
                                                   std::uint64_t size);
    static std::string Read(const std::filesystem::path& file);
    static void Write(const std::filesystem::path& file, const std::string& text);
    QStringList LogLines() const;
    bool Logged(const QString& line) const { return LogLines().contains(line); }

    FakeRecoveryHost host;
    std::unique_ptr<CopyEngine> engine;
    std::unique_ptr<RecoveryFlow> flow;
    std::vector<std::unique_ptr<TBaseElement>> elements;

private:
    std::vector<std::unique_ptr<char16_t[]>> names_;
};
