// The preview pages and the properties form on the real engine and the fixture images:
// thumbnails of the pictures on a FAT12 volume, and the walk up an NTFS folder chain.

#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "platform/handles.h"
#include "wizard/forms/preview/preview_file_system.h"
#include "wizard/forms/preview/properties_form.h"
#include "wizard/forms/preview/thumbnails_thread.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/model/real_engine.h"
#include "wizard/support/modal_dialog_driver.h"
#include "wizard/support/planted_pictures.h"
#include "wizard/support/wait_until.h"

namespace {

class PreviewEngineTest : public RealEngineTest {
protected:
    void SetUp() override {
        RealEngineTest::SetUp();
        FormatsUnitInit();
    }
    void TearDown() override {
        StopThumbnails();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        list_.Clear();
        FormatsUnitDone();
        RealEngineTest::TearDown();
    }

    // Lists the files of the only volume of the disks in use, by name.
    std::map<std::string, TBaseElement*> ScanDisk() {
        HANDLE rescan = realEngine().DrivesRescan(0);
        EXPECT_NE(rescan, nullptr);
        EXPECT_EQ(WaitForSingleObject(rescan, 20000), WAIT_OBJECT_0);
        CloseHandle(rescan);
        std::shared_ptr<const TRecoveryDrive> drive;
        for (int i = 0; i < realEngine().DriveGetCount(); ++i) {
            const _LDRIVE* info = realEngine().DriveGetInformation(i);
            if (info->Letter == 'C') drive = std::make_shared<TRecoveryDrive>(*info);
        }
        EXPECT_TRUE(drive);
        if (!drive) return {};
        settings_.ReadRetries = 2;
        settings_.DiskNumber = drive->DriveNumber();
        EXPECT_GT(realEngine().DriveInitialize(&settings_), 0);
        std::int64_t serial = 0;
        while (const FoundFileRecord* record = realEngine().FileGetNext()) {
            list_.Add(std::make_unique<TBaseElement>(*record, ++serial, drive));
        }
        std::map<std::string, TBaseElement*> byName;
        for (std::size_t i = 0; i < list_.Count(); ++i) byName[list_[i].Name()] = &list_[i];
        return byName;
    }

    EngineSettings settings_{};
    TBaseSortedList list_{kSortByName, true};
    TPreviewImageLists images_;
};

TEST_F(PreviewEngineTest, PicturesOnAFat12VolumeGetThumbnails) {
    useFixtureDisks({"search/fat12-hits.img.gz"});
    ASSERT_TRUE(PlantPictures(workFolder() / "fat12-hits.img"));
    std::map<std::string, TBaseElement*> files = ScanDisk();
    TPreviewFileSystem page(list_, images_);
    page.TabSheetShow();
    page.MiViewAsTrumbnailsClick();
    ASSERT_TRUE(waitUntil([] { return ThumbnailsThread() == nullptr; }, std::chrono::seconds(30)));
    QCoreApplication::processEvents();
    for (const PlantedPicture& picture : kPlantedPictures) {
        std::string name = picture.name;
        if (name != "PICTURE.BMP") name[0] = '_';  // deleted entries have lost their first letter
        ASSERT_TRUE(files.contains(name)) << name;
        const TBaseElement& element = *files[name];
        ASSERT_GE(element.ThumbnailIndex(), 3) << name;
        const QColor centre = images_.ImageListTrumbnails.At(element.ThumbnailIndex()).toImage().pixelColor(48, 48);
        EXPECT_LT(std::abs(centre.red() - picture.colour.red()) + std::abs(centre.green() - picture.colour.green()) +
                      std::abs(centre.blue() - picture.colour.blue()),
                  24)
            << name << ' ' << centre.name().toStdString();
    }
    // No picture in a document, nor one the engine decodes in the PNG: placeholders.
    for (const char* other : {"LETTER.DOC", "PHOTO.PNG", "REPORT.PDF"}) {
        ASSERT_TRUE(files.contains(other)) << other;
        EXPECT_EQ(files[other]->ThumbnailIndex(), images_.ThumbnailPlaceholder(*files[other])) << other;
    }
}

TEST_F(PreviewEngineTest, TheParentButtonWalksUpAnNtfsFolderChain) {
    useFixtureDisks({"ntfs/ntfs-basic.img.gz"});
    std::map<std::string, TBaseElement*> files = ScanDisk();
    ASSERT_TRUE(files.contains("deep.txt"));
    QStringList titles;
    // Each dialog opens its parent's before it closes.
    std::function<void(QWidget*)> walk = [&](QWidget* dialog) {
        titles << dialog->windowTitle();
        if (titles.size() < 2) {
            answerNextModalDialog(walk);
            dialog->findChild<QToolButton*>(QStringLiteral("GeneralFileSpeedButton"))->click();
        }
        dialog->close();
    };
    TPropertiesForm form;
    form.Fill(*files["deep.txt"]);
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("GeneralFileIdEdit"))->text(),
              QStringLiteral("70, parent Id: 68"));
    answerNextModalDialog(walk);
    form.GeneralFileSpeedButtonClick();
    EXPECT_EQ(titles, QStringList({"sub Properties", "docs Properties"}));
}

}  // namespace
