#pragma once
// A main window on the scripted engine or on the fixture images, with the program's units
// started for it (settings and formats from the test's own registry, the engine bound).
// Not a first start unless a test asks for one: no language dialog, no quick-start topic.

#include <QPushButton>
#include <QTreeWidget>

#include <memory>
#include <vector>

#include "wizard/app/program_units.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/forms/splash_form.h"
#include "wizard/support/scripted_engine.h"
#include "wizard/support/wizard_test.h"

// A lettered volume of the scripted engine.
_LDRIVE ScriptedVolume(std::int32_t id, char letter, std::uint64_t serial,
                       std::uint64_t sourceDevice = 0);

class MainFormTest : public WizardTest {
protected:
    void TearDown() override;

    // Drives of the scripted engine; without this call the real engine runs.
    void useScriptedDrives(std::vector<_LDRIVE> drives);
    void startUnits(bool firstStart = false);
    void startSplash();

    template <class Form = TMainForm>
    Form& createForm() {
        auto created = std::make_unique<Form>(splash.get());
        Form& made = *created;
        form = std::move(created);
        return made;
    }
    void destroyForm();
    // Shown and active, so that keys reach the focused control.
    void showActive();

    template <class Widget>
    Widget* child(const char* name) const {
        auto* widget = form->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
    void clickNext() const { button("BottomButtonNext")->click(); }
    void clickBack() const { button("BottomButtonBack")->click(); }
    QTreeWidget* driveList() const { return child<QTreeWidget>("DriveSelectListViewDrives"); }
    QStringList driveCaptions() const;
    void selectDrive(int row) const;
    // A deleted file of the chosen drive, as a scan would have listed it.
    void addFoundFile(TBaseSortedList& list) const;
    // From the welcome page to `page` by Next, the first drive chosen on the way.
    void walkTo(int page) const;

    std::unique_ptr<ScriptedEngine> engine;
    std::unique_ptr<RunningUnits> units;
    std::unique_ptr<TSplashForm> splash;
    std::unique_ptr<TMainForm> form;
};
