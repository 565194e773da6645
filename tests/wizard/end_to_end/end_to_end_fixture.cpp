#include "wizard/end_to_end/end_to_end_fixture.h"

#include <QLineEdit>
#include <QPushButton>

#include <fstream>

#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/forms/recovery/recovering_files_form.h"
#include "wizard/settings/settings_values.h"
#include "wizard/support/dialog_controls.h"
#include "wizard/support/modal_dialog_driver.h"

namespace fs = std::filesystem;

void EndToEndTest::start(const std::vector<std::string>& images) {
    useFixtureDisks(images);
    startWindow();
}

void EndToEndTest::startWindow() {
    startUnits();
    createForm();
    form->show();
}

void EndToEndTest::chooseDrive(char letter) const {
    ASSERT_EQ(form->ActivePage(), TMainForm::kDriveSelectPage);
    // By its caption: choosing another drive on the way would start afresh.
    const QString name = QString(QLatin1Char(letter));
    for (int row = 0; row < driveList()->topLevelItemCount(); ++row) {
        const QString caption = driveList()->topLevelItem(row)->text(0);
        if (caption != name && !caption.startsWith(name + u' ')) continue;
        selectDrive(row);
        ASSERT_TRUE(form->SelectedDrive && form->SelectedDrive->Letter() == letter);
        return;
    }
    FAIL() << "no drive " << letter << " among " << driveCaptions().join(u',').toStdString();
}

void EndToEndTest::useNameFilter(const QString& masks) const {
    ASSERT_EQ(form->ActivePage(), TMainForm::kTypesPage);
    child<QCheckBox>("TypesFilenameCheckBox")->setChecked(true);
    child<QLineEdit>("TypesFilenameEdit")->setText(masks);
}

void EndToEndTest::chooseEntireDrive(bool entire) const {
    ASSERT_EQ(form->ActivePage(), TMainForm::kModePage);
    child<QRadioButton>(entire ? "ModeCorruptedRadioButton" : "ModeDeletedRadioButton")->setChecked(true);
}

void EndToEndTest::walkToAutopilot(char letter, const QString& masks, bool entireDrive) const {
    walkTo(TMainForm::kDriveSelectPage);
    chooseDrive(letter);
    walkTo(TMainForm::kTypesPage);
    useNameFilter(masks);
    walkTo(TMainForm::kModePage);
    chooseEntireDrive(entireDrive);
    walkTo(TMainForm::kAutopilotPage);
}

void EndToEndTest::setAutopilot(bool on, bool keepFolders) const {
    ASSERT_EQ(form->ActivePage(), TMainForm::kAutopilotPage);
    child<QCheckBox>("AutopilotCheckBox")->setChecked(on);
    child<QLineEdit>("AutopilotFolderEdit")->setText(QString::fromStdString(target().string()));
    child<QCheckBox>("AutopilotKeepFolderStructureCheckBox")->setChecked(keepFolders);
}

void EndToEndTest::recoverAll(bool keepFolders) const {
    const bool fileSystem = form->ActivePage() == TMainForm::kPreviewFileSystemPage;
    ASSERT_TRUE(fileSystem || form->ActivePage() == TMainForm::kPreviewDriveSectorsPage);
    TPreviewPage& page = fileSystem ? *form->PreviewFileSystemPage : *form->PreviewDriveSectorsPage;
    page.SelectAll();
    const QString folder = QString::fromStdString(target().string());
    answerNextModalDialog([&](QWidget* dialog) {
        FindControl<QLineEdit>(dialog, "DestinationFolderEdit")->setText(folder);
        if (fileSystem) FindControl<QCheckBox>(dialog, "CheckBoxKeepFolderStructure")->setChecked(keepFolders);
        PressButton(dialog, "ButtonOk");
    });
    button(fileSystem ? "PreviewFileSystemRecoverButton" : "PreviewDriveSectorsRecoverButton")->click();
    // The progress window holds the wizard until its OK.
    auto* progress = form->findChild<TRecoveringFilesForm*>();
    if (progress && progress->isVisible()) PressButton(progress, "OkButton");
}

std::map<std::string, std::string> EndToEndTest::FilesBelow(const fs::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
        if (entry.is_regular_file()) files[fs::relative(entry.path(), folder).string()] = Read(entry.path());
    }
    return files;
}

std::string EndToEndTest::Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

::testing::AssertionResult EndToEndTest::FolderHolds(const fs::path& folder,
                                                     const std::map<std::string, std::string>& expected) {
    const std::map<std::string, std::string> found = FilesBelow(folder);
    for (const auto& [path, contents] : expected) {
        const auto file = found.find(path);
        if (file == found.end()) return ::testing::AssertionFailure() << path << " is missing";
        if (file->second != contents) {
            return ::testing::AssertionFailure() << path << " differs: " << file->second.size() << " bytes, "
                                                 << contents.size() << " expected";
        }
    }
    for (const auto& [path, contents] : found) {
        if (!expected.contains(path)) return ::testing::AssertionFailure() << path << " is not expected";
    }
    return ::testing::AssertionSuccess();
}
