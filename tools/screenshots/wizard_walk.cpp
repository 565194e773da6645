#include "tools/screenshots/wizard_walk.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>

#include "tools/screenshots/shot_folder.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/forms/main/pages/preview_page.h"
#include "wizard/forms/preview/preview_content.h"
#include "wizard/forms/recovery/recovering_files_form.h"
#include "wizard/forms/types/format_prop_form.h"
#include "wizard/forms/types/types_panel.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/found_files/base_element.h"
#include "wizard/support/modal_dialog_watch.h"

namespace {

using namespace std::chrono_literals;

template <class Widget>
Widget* Child(const QObject& parent, const char* name) {
    return parent.findChild<Widget*>(QString::fromLatin1(name));
}

class Walk {
public:
    Walk(TMainForm& form, ShotFolder& shots) : form_(form), shots_(shots) {}

    // Next, then the new page settled; false when the page did not change.
    bool Next() {
        const int page = form_.ActivePage();
        Child<QPushButton>(form_, "BottomButtonNext")->click();
        if (!WaitFor([&] { return form_.ActivePage() == page + 1; }, 5s)) {
            shots_.Fail(QStringLiteral("Next did not leave page %1").arg(page));
            return false;
        }
        Settle();
        return true;
    }

    void SavePage(const QString& name) { shots_.Save(QStringLiteral("page-") + name, &form_); }

    // Waits for the scan the page started, then saves the page with its log.
    void SaveScanPage(WorkHalf half, const QString& name) {
        if (!WaitFor([&] { return form_.StateOf(half).ScanDone && !form_.Busy(); }, 300s)) {
            shots_.Fail(QStringLiteral("the scan of page %1 did not end").arg(name));
        }
        Settle();
        SavePage(name);
    }

    void SavePreviewPage(WorkHalf half, const QString& name) {
        TPreviewContent* content = form_.PreviewPageOf(half)->Content;
        if (!content || content->Model().rowCount() == 0) {
            shots_.Fail(QStringLiteral("the list of page %1 is empty").arg(name));
            SavePage(name);
            return;
        }
        SavePage(name);
        // The panel fills at the next selection, as a click in the list makes it.
        content->MiPreviewPanelClick();
        SelectRows(*content, {PictureRow(*content)});
        Settle(500ms);
        SavePage(name + QStringLiteral("-preview-panel"));
        content->MiPreviewPanelClick();
        content->MiViewAsTrumbnailsClick();
        Settle(3s);  // the worker makes the pictures in the background
        SavePage(name + QStringLiteral("-thumbnails"));
        content->MiViewAsListClick();
        Settle();
        shots_.SaveModal(name + QStringLiteral("-file-properties"), [content] { content->MiInformationClick(); },
                         Dismiss);
    }

    // Recovers the selected rows of the half: the destination dialog (saved as `name`
    // when given) goes to `inDialog`, then is answered with OK.
    void Recover(WorkHalf half, const QString& name, const std::function<void(QWidget*)>& inDialog = {}) {
        auto accept = [inDialog](QWidget* dialog) {
            if (inDialog) inDialog(dialog);
            Child<QPushButton>(*dialog, "ButtonOk")->click();
        };
        if (name.isEmpty()) {
            watchForModalDialog(accept, 20s, [] {});
            form_.PreviewMiRecoverClick(half);
        } else {
            shots_.SaveModal(name, [&] { form_.PreviewMiRecoverClick(half); }, accept);
        }
        Settle();
    }

    // Recovers the selected rows into the destination as it stands; the dialog that comes
    // then is saved as `name` and cancelled, which ends the run.
    void RecoverToCancelledDialog(WorkHalf half, const QString& name) {
        ShotFolder::Expected next;
        Recover(half, QString(), [&](QWidget*) { next = shots_.ExpectModal(name, Dismiss); });
        if (next.waiting) shots_.CheckShown(next);
        SaveProgressWindow(QStringLiteral("recovering-files-") + name + QStringLiteral("-cancelled"));
    }

    // The same with "No" in the file-exists dialog: the save dialog that asks for another
    // name is saved as `name` and cancelled, which ends the run.
    void RecoverToCancelledSaveDialog(WorkHalf half, const QString& name) {
        ShotFolder::Expected save;
        Recover(half, QString(), [&](QWidget*) {
            watchForModalDialog(
                [&](QWidget* exists) {
                    save = shots_.ExpectModal(name, Dismiss);
                    Child<QPushButton>(*exists, "NoButton")->click();
                },
                20s, [] {});
        });
        if (save.waiting) shots_.CheckShown(save);
        SaveProgressWindow(QStringLiteral("recovering-files-") + name + QStringLiteral("-cancelled"));
    }

    void SaveProgressWindow(const QString& name) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<TRecoveringFilesForm*>(window);
            if (!progress || !progress->isVisible()) continue;
            shots_.Save(name, progress);
            progress->close();
            return;
        }
        shots_.Fail(QStringLiteral("no progress window for %1").arg(name));
    }

    static void SelectRows(TPreviewContent& content, const std::vector<int>& rows) {
        content.Selection().clearSelection();
        for (const int row : rows) {
            content.Selection().select(content.Model().index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        content.ListViewClick();
    }

    // The rows whose files' sizes are known (`known`) or unknown.
    static std::vector<int> RowsBySize(TPreviewContent& content, bool known) {
        std::vector<int> rows;
        for (int row = 0; row < content.Model().rowCount(); ++row) {
            const TBaseElement* element = content.Model().ElementAt(row);
            if (element && (element->Record().Size != kUnknownSize) == known) rows.push_back(row);
        }
        return rows;
    }

    TMainForm& form_;
    ShotFolder& shots_;

private:
    // A planted picture when the list has one, else the first row.
    static int PictureRow(TPreviewContent& content) {
        for (int row = 0; row < content.Model().rowCount(); ++row) {
            const TBaseElement* element = content.Model().ElementAt(row);
            if (element && QString::fromStdString(element->Name()).endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive)) {
                return row;
            }
        }
        return 0;
    }
};

void WalkToScans(Walk& walk, const QString& targetFolder) {
    TMainForm& form = walk.form_;
    ShotFolder& shots = walk.shots_;
    walk.SavePage(QStringLiteral("welcome"));
    if (!walk.Next()) return;
    auto* drives = Child<QTreeWidget>(form, "DriveSelectListViewDrives");
    if (drives->topLevelItemCount() == 0) shots.Fail(QStringLiteral("the drive list is empty"));
    drives->setCurrentItem(drives->topLevelItem(0));
    Settle();
    walk.SavePage(QStringLiteral("drives"));
    shots.SaveModal(QStringLiteral("drive-properties"), [&] { form.DriveSelectPopupMiPropertiesClick(); }, Dismiss);
    if (!walk.Next()) return;
    // Every type, so that the lists show what the card holds.
    auto* types = form.findChild<TTypesPanel*>();
    types->TypesMiCheckAllClick();
    Settle();
    walk.SavePage(QStringLiteral("types"));
    types->TypesShowFiltersButtonClick();
    Settle(1s);  // the filters slide in
    walk.SavePage(QStringLiteral("types-filters"));
    types->TypesHideFiltersButtonClick();
    Settle(1s);
    if (std::optional<TFormat> format = DataStorage->CopyByExtension("jpg")) {
        shots.SaveModal(QStringLiteral("format-properties"), [&] { EditFormatProperties(*format, &form); }, Dismiss);
    } else {
        shots.Fail(QStringLiteral("no JPEG format in the format list"));
    }
    if (!walk.Next()) return;
    // The existing files too: more to show.
    Child<QRadioButton>(form, "ModeCorruptedRadioButton")->click();
    walk.SavePage(QStringLiteral("mode"));
    if (!walk.Next()) return;
    auto* folder = Child<QLineEdit>(form, "AutopilotFolderEdit");
    auto* autopilot = Child<QCheckBox>(form, "AutopilotCheckBox");
    // The root folder is refused, with a message.
    autopilot->setChecked(true);
    folder->setText(QStringLiteral("/"));
    Settle();
    walk.SavePage(QStringLiteral("autopilot-root-folder"));
    Child<QPushButton>(form, "BottomButtonNext")->click();
    Settle();
    autopilot->setChecked(false);
    folder->setText(targetFolder);
    Settle();
    walk.SavePage(QStringLiteral("autopilot"));
}

// The half's scan page and, once the scan has ended, its list page; false when the walk
// stopped on the way.
bool WalkToList(Walk& walk, WorkHalf half, const QString& name) {
    if (!walk.Next()) return false;
    walk.SaveScanPage(half, QStringLiteral("scan-") + name);
    if (!walk.Next()) return false;
    walk.SavePreviewPage(half, QStringLiteral("files-") + name);
    return true;
}

void WalkFileSystemHalf(Walk& walk) {
    ShotFolder& shots = walk.shots_;
    if (!WalkToList(walk, WorkHalf::FileSystem, QStringLiteral("file-system"))) return;
    TPreviewPage& page = *walk.form_.PreviewPageOf(WorkHalf::FileSystem);
    page.SelectAll();
    walk.Recover(WorkHalf::FileSystem, QStringLiteral("recover-destination"), [&shots](QWidget* dialog) {
        // An empty folder and the root folder are refused with a message.
        auto* edit = Child<QLineEdit>(*dialog, "DestinationFolderEdit");
        const QString folder = edit->text();
        edit->clear();
        Child<QPushButton>(*dialog, "ButtonOk")->click();
        edit->setText(QStringLiteral("/"));
        shots.Save(QStringLiteral("recover-destination-root-folder"), dialog);
        Child<QPushButton>(*dialog, "ButtonOk")->click();
        edit->setText(folder);
        shots.SaveModal(QStringLiteral("folder-browser"),
                        [dialog] { Child<QPushButton>(*dialog, "DestinationFolderBrowse")->click(); }, Dismiss);
    });
    walk.SaveProgressWindow(QStringLiteral("recovering-files"));
    // The same files again: the first one's name is taken now.
    walk.RecoverToCancelledDialog(WorkHalf::FileSystem, QStringLiteral("file-exists"));
    walk.RecoverToCancelledSaveDialog(WorkHalf::FileSystem, QStringLiteral("save-name"));
}

void WalkDriveSectorsHalf(Walk& walk) {
    if (!WalkToList(walk, WorkHalf::DriveSectors, QStringLiteral("drive-sectors"))) return;
    TPreviewContent* content = walk.form_.PreviewPageOf(WorkHalf::DriveSectors)->Content;
    if (!content) return;
    // A size reset to unknown is asked for at the recovery.
    Walk::SelectRows(*content, {0});
    content->Action(PreviewAction::ResetSize)->trigger();
    walk.RecoverToCancelledDialog(WorkHalf::DriveSectors, QStringLiteral("probable-size"));
    // Skipped there, the file is counted as skipped.
    content->Action(PreviewAction::ResetSize)->trigger();
    walk.Recover(WorkHalf::DriveSectors, QString(), [](QWidget*) {
        watchForModalDialog([](QWidget* size) { Child<QPushButton>(*size, "BottomButtonCancel")->click(); }, 20s,
                            [] {});
    });
    walk.SaveProgressWindow(QStringLiteral("recovering-files-probable-size-skipped"));
    Walk::SelectRows(*content, Walk::RowsBySize(*content, true));
    walk.Recover(WorkHalf::DriveSectors, QString());
    walk.SaveProgressWindow(QStringLiteral("recovering-files-carved"));
    if (!walk.Next()) return;
    walk.SavePage(QStringLiteral("finish"));
}

// The sector scan run again and stopped: its page while the scan winds down.
void WalkScanStopping(Walk& walk) {
    TMainForm& form = walk.form_;
    while (form.ActivePage() > TMainForm::kScanDriveSectorsPage) {
        Child<QPushButton>(form, "BottomButtonBack")->click();
    }
    bool saved = false;
    QTimer whileScanning;  // its time comes while the scan handles events
    QObject::connect(&whileScanning, &QTimer::timeout, [&] {
        if (!form.StateOf(WorkHalf::DriveSectors).ScanRunning) return;
        whileScanning.stop();
        Child<QPushButton>(form, "ScanDriveSectorsButtonStop")->click();
        walk.SavePage(QStringLiteral("scan-drive-sectors-stopping"));
        saved = true;
    });
    whileScanning.start(1);
    Child<QPushButton>(form, "ScanDriveSectorsButtonStart")->click();
    if (!saved) walk.shots_.Fail(QStringLiteral("the sector scan ended before it could be stopped"));
    Settle();
}

// The chosen drive's image goes while a later page shows: a message, and the drive page.
void WalkChosenDriveGone(Walk& walk) {
    const QString chosen = qEnvironmentVariable("UNDELETE_DISKS").section(u':', 0, 0);
    if (!QFile::remove(chosen)) {
        walk.shots_.Fail(QStringLiteral("the image %1 cannot be removed").arg(chosen));
        return;
    }
    walk.form_.DeviceArrivalTimerTimer();
    Settle();
    walk.SavePage(QStringLiteral("drives-chosen-drive-gone"));
}

}  // namespace

void WalkWizard(TMainForm& form, const QString& targetFolder, ShotFolder& shots) {
    Walk walk(form, shots);
    Settle(500ms);
    WalkToScans(walk, targetFolder);
    if (form.ActivePage() != TMainForm::kAutopilotPage) return;
    WalkFileSystemHalf(walk);
    if (form.ActivePage() != TMainForm::kPreviewFileSystemPage) return;
    WalkDriveSectorsHalf(walk);
    if (form.ActivePage() != TMainForm::kFinishPage) return;
    WalkScanStopping(walk);
    WalkChosenDriveGone(walk);
}
