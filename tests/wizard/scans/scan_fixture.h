#pragma once
// The scans hosted by a stand-in for the main window, with the pages, the engine's window
// and the controller; the settings, the format list and the translation are the
// defaults of a fresh registry, restored afterwards.

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "wizard/bridge/engine_api.h"
#include "wizard/bridge/message_window.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/formats/formats_unit.h"
#include "wizard/scans/batched_log.h"
#include "wizard/scans/engine_params.h"
#include "wizard/scans/scan_controller.h"
#include "wizard/scans/test_scan_host.h"
#include "wizard/settings/settings_store.h"
#include "wizard/support/scripted_engine.h"
#include "wizard/support/wizard_test.h"
#include "wizard/translation/translation.h"

class ScanFixture : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        savedSettings_ = Settings();
        LoadSettings();
        FormatsUnitInit();
        SetCurrentTranslation(nullptr);
        fileSystemPage = std::make_unique<TScanFileSystemPage>();
        sectorsPage = std::make_unique<TScanDriveSectorsPage>();
        controller = std::make_unique<ScanController>(host, *fileSystemPage, *sectorsPage, window);
    }
    void TearDown() override {
        controller.reset();
        sectorsPage.reset();
        fileSystemPage.reset();
        FormatsUnitDone();
        Settings() = savedSettings_;
        WizardTest::TearDown();
    }

    // A script whose drive list holds the host's drive at its index, so that the scans
    // find it where they open it.
    EngineScript DriveScript() const {
        EngineScript script;
        if (host.drive) script.drives = {host.drive->Info()};
        return script;
    }

    // The log's lines once every waiting line is shown.
    static QStringList LogLines(TScanPageBase& page) {
        page.Log().Flush();
        return page.MemoLog->toPlainText().split(u'\n');
    }
    static int Count(const QStringList& lines, const QString& line) {
        return static_cast<int>(lines.count(line));
    }

    // Only the formats with these titles are searched (for this run).
    static void SearchOnly(const std::set<std::string>& titles) {
        const TFormatsList& formats = DataStorage->Formats();
        for (std::size_t i = 0; i < formats.Count(); ++i) {
            TFormat format = formats[i];
            format.Search = titles.contains(format.Title);
            DataStorage->ChangeFormat(i, format);
        }
    }

    // The names of a list's elements.
    static std::set<std::string> NameSet(const TBaseSortedList& list) {
        std::set<std::string> names;
        for (std::size_t i = 0; i < list.Count(); ++i) names.insert(list[i].Name());
        return names;
    }

    // The stop question, answered with `answer` when it comes, after `whileShown`.
    void ExpectStopQuestion(int answer, std::function<void()> whileShown = {}) {
        prompts.expect(QStringLiteral("Are you sure you want to stop scan?"), answer, std::move(whileShown));
    }
    // Clicks `button` from the event loop at the scan's first page update once the drive is
    // open (its second: the first sets the page up before the open).
    void ClickWhenRunning(QPushButton* button) {
        host.onCheckState = [this, button, updates = 0]() mutable {
            if (++updates < 2) return;
            QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
            host.onCheckState = nullptr;
        };
    }

    TestScanHost host;
    MessageWindow window;
    std::unique_ptr<TScanFileSystemPage> fileSystemPage;
    std::unique_ptr<TScanDriveSectorsPage> sectorsPage;
    std::unique_ptr<ScanController> controller;

private:
    SettingsValues savedSettings_;
};
