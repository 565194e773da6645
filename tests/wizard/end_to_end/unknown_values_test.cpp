// What the wizard does not know it shows as unknown: a file found by its contents on a
// drive without a file system has no times, and a size reset to unknown has no number.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <fstream>
#include <map>

#include "wizard/end_to_end/end_to_end_fixture.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/planted_pictures.h"

namespace fs = std::filesystem;

namespace {

constexpr std::streamoff kImageBytes = 1 << 20;
constexpr std::streamoff kPictureAt = 128 * 512;

// A drive of zeros with one JPEG picture in it and no file system around it.
fs::path WriteRawImage(const fs::path& file) {
    const QByteArray picture = PlantedPictureBytes(kPlantedPictures[0]);
    std::ofstream out(file, std::ios::binary);
    out.seekp(kPictureAt);
    out.write(picture.constData(), picture.size());
    out.seekp(kImageBytes - 1);
    out.put('\0');
    return file;
}

class UnknownValuesTest : public EndToEndTest {
protected:
    QString panelValue(const char* field) const {
        return child<QLabel>(qPrintable(QStringLiteral("PreviewDriveSectorsPreview%1Value").arg(QLatin1String(field))))
            ->text();
    }
};

TEST_F(UnknownValuesTest, ACarvedFileShowsNoTimesAndAResetSizeShowsNoNumber) {
    useDisks({WriteRawImage(workFolder() / "raw.img")});
    startWindow();
    walkTo(TMainForm::kDriveSelectPage);
    chooseDrive('C');
    walkTo(TMainForm::kTypesPage);
    child<QAction>("TypesMiCheckAll")->trigger();
    walkTo(TMainForm::kModePage);
    chooseEntireDrive(true);
    walkTo(TMainForm::kAutopilotPage);
    setAutopilot(false, false);
    walkTo(TMainForm::kPreviewDriveSectorsPage);
    ASSERT_EQ(form->DriveSectorsList->Count(), 1u);
    ASSERT_EQ((*form->DriveSectorsList)[0].Name(), "image_0001.JPG");

    // The panel opened after a click shows the clicked file at once.
    QTableView* list = form->PreviewDriveSectorsPage->ListView;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_EQ(panelValue("Name"), QStringLiteral("n/a")) << "the panel is closed";
    child<QAction>("PreviewDriveSectorsMiPreviewPanel")->trigger();
    EXPECT_EQ(panelValue("Name"), QStringLiteral("image_0001.JPG"));
    EXPECT_EQ(panelValue("Created"), QString());
    EXPECT_FALSE(panelValue("Size").isEmpty()) << "up to the end of the drive";

    prompts.expect(QStringLiteral("Do you really want to reset the size of all selected files to 'Unknown'? During "
                                  "the recovery process you'll be asked to enter a new size for each file."),
                   kPromptOk);
    child<QAction>("PreviewDriveSectorsMiResetFileSize")->trigger();
    EXPECT_EQ(list->model()->index(0, 3).data().toString(), QString());
    EXPECT_EQ(panelValue("Size"), QString());

    std::map<QString, QString> properties;
    answerNextModalDialog([&](QWidget* dialog) {
        for (const char* field : {"GeneralFileSizeEdit", "GeneralFileSizeOnDiskEdit", "GeneralFileCreatedEdit",
                                  "GeneralFileModifiedEdit", "GeneralFileAccessedEdit"}) {
            properties[QString::fromLatin1(field)] = dialog->findChild<QLineEdit*>(QString::fromLatin1(field))->text();
        }
        dialog->close();
    });
    button("PreviewDriveSectorsInformationButton")->click();
    ASSERT_EQ(properties.size(), 5u);
    for (const auto& [field, text] : properties) EXPECT_EQ(text, QString()) << field.toStdString();
}

}  // namespace
