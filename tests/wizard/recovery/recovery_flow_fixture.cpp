#include "wizard/recovery/recovery_flow_fixture.h"

#include <fstream>

#include "wizard/model/formats/formats_unit.h"
#include "wizard/settings/settings_store.h"

void RecoveryFlowTest::SetUp() {
    WizardTest::SetUp();
    LoadSettings();
    FormatsUnitInit();
    DontAskProbableSize = false;
    engine = std::make_unique<CopyEngine>(host.settings);
    flow = std::make_unique<RecoveryFlow>(host);
}

void RecoveryFlowTest::TearDown() {
    flow.reset();
    engine.reset();
    FormatsUnitDone();
    WizardTest::TearDown();
}

TBaseElement& RecoveryFlowTest::AddFile(const std::u16string& name, const std::u16string& path, std::uint64_t size,
                                        std::uint16_t typeCode, std::uint16_t flags) {
    FoundFileRecord record{};
    record.RecordNumber = elements.size() + 1;
    record.Size = size;
    record.TypeCode = typeCode;
    record.Flags = flags;
    if (!name.empty()) {
        names_.push_back(std::make_unique<char16_t[]>(name.size() + 1));
        std::copy(name.begin(), name.end(), names_.back().get());
        record.Name = names_.back().get();
    }
    engine->paths[record.RecordNumber] = path;
    elements.push_back(std::make_unique<TBaseElement>(record, static_cast<std::int64_t>(elements.size() + 1)));
    host.selected.push_back(elements.back().get());
    return *elements.back();
}

void RecoveryFlowTest::UseTarget(bool autoPilot, bool keepFolders) {
    Settings().RecoveryTargetFolder = QString::fromStdString(target().string()) + u'/';
    Settings().RecoveryAutoPilot = autoPilot;
    Settings().RecoveryKeepFolderStructure = keepFolders;
}

::testing::AssertionResult RecoveryFlowTest::HoldsPattern(const std::filesystem::path& file,
                                                          std::uint64_t recordNumber, std::uint64_t size) {
    const std::string data = Read(file);
    if (data.size() != size) {
        return ::testing::AssertionFailure() << file << " holds " << data.size() << " bytes, not " << size;
    }
    for (std::uint64_t i = 0; i < size; ++i) {
        if (static_cast<std::uint8_t>(data[i]) != CopyEngine::PatternByte(recordNumber, i)) {
            return ::testing::AssertionFailure() << file << " differs at " << i;
        }
    }
    return ::testing::AssertionSuccess();
}

std::string RecoveryFlowTest::Read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void RecoveryFlowTest::Write(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

QStringList RecoveryFlowTest::LogLines() const {
    const TRecoveringFilesForm* progress = flow->ProgressWindow();
    return progress ? progress->LogMemo()->toPlainText().split(u'\n') : QStringList();
}
