#include "wizard/forms/main/main_form_fixture.h"

#include <QApplication>
#include <QTest>

#include <cstring>

#include "wizard/settings/settings_values.h"
#include "wizard/translation/translation.h"

_LDRIVE ScriptedVolume(std::int32_t id, char letter, std::uint64_t serial, std::uint64_t sourceDevice) {
    _LDRIVE drive = scriptedDrive(id, letter, 2);
    std::memcpy(drive.FileSystemName, "FAT32", 5);
    drive.SerialNumber = serial;
    drive.SpaceTotal = 1u << 20;
    drive.SourceDevice = sourceDevice;
    return drive;
}

void MainFormTest::TearDown() {
    form.reset();
    splash.reset();
    units.reset();
    engine.reset();
    UseLanguageFile(QString());
    WizardTest::TearDown();
}

void MainFormTest::useScriptedDrives(std::vector<_LDRIVE> drives) {
    EngineScript script;
    script.drives = std::move(drives);
    engine = std::make_unique<ScriptedEngine>(std::move(script));
}

void MainFormTest::startUnits(bool firstStart) {
    units = std::make_unique<RunningUnits>(programUnits());
    Settings().GlobalFirstStart = firstStart;
}

void MainFormTest::startSplash() { splash = std::make_unique<TSplashForm>(); }

void MainFormTest::destroyForm() { form.reset(); }

void MainFormTest::showActive() {
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
}

QStringList MainFormTest::driveCaptions() const {
    QStringList captions;
    for (int row = 0; row < driveList()->topLevelItemCount(); ++row) {
        captions.append(driveList()->topLevelItem(row)->text(0));
    }
    return captions;
}

void MainFormTest::selectDrive(int row) const {
    driveList()->setCurrentItem(driveList()->topLevelItem(row));
}

void MainFormTest::addFoundFile(TBaseSortedList& list) const {
    FoundFileRecord record{};
    record.Flags = kFileDeleted;
    record.Size = 10;
    list.Add(std::make_unique<TBaseElement>(record, 1, form->SelectedDrive));
}

void MainFormTest::walkTo(int page) const {
    while (form->ActivePage() < page) {
        if (form->ActivePage() == TMainForm::kDriveSelectPage && !form->SelectedDrive) selectDrive(0);
        const int before = form->ActivePage();
        clickNext();
        ASSERT_EQ(form->ActivePage(), before + 1) << "Next did not leave page " << before;
    }
}
