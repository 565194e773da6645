#pragma once
// A test with a copy of the shipped help topics as the program's help folder, in a folder
// of the test's own whose name is not ASCII; the help window is closed afterwards.

#include <QDir>
#include <QString>
#include <QStringList>

#include <filesystem>

#include "wizard/help/help_file.h"
#include "wizard/help/html_help.h"
#include "wizard/support/wizard_test.h"

// Every topic the program opens, the contents first.
inline const QStringList kHelpTopics = [] {
    QStringList topics;
    for (const char* name : {"contents", "quickstart", "about", "params", "params.driveaccess",
                             "params.language", "recovery.diskproperties", "format.edit",
                             "recovery.recover", "recovery.probablesize", "recovery.recovering",
                             "recovery.fileexists"}) {
        topics << QStringLiteral("/files/%1.html").arg(QLatin1String(name));
    }
    return topics;
}();

class HelpFolderTest : public WizardTest {
protected:
    void SetUp() override {
        WizardTest::SetUp();
        const std::filesystem::path shipped =
            std::filesystem::path(std::getenv("UNDELETE_TEST_DATA")) / ".." / ".." / "wizard" /
            "help";
        programFolder_ = workFolder() / "Programme \u00E4\u00F6\u00FC \u65E5\u672C";
        std::filesystem::create_directories(programFolder_);
        std::filesystem::copy(shipped, helpFolderPath(), std::filesystem::copy_options::recursive);
        SetApplicationHelpFile(helpFolder());
    }
    void TearDown() override {
        CallHtmlHelp(helpFolder(), HH_CLOSE_ALL);
        SetApplicationHelpFile(QString());
        WizardTest::TearDown();
    }

    std::filesystem::path helpFolderPath() const { return programFolder_ / "PramblexPro.help"; }
    QString helpFolder() const { return QString::fromStdString(helpFolderPath().string()); }
    QString topicFile(const QString& topic) const {
        return QDir(helpFolder()).filePath(topic.sliced(1));
    }
    QString request(const QString& topic) const {
        return helpFolder() + QStringLiteral("::") + topic;
    }

private:
    std::filesystem::path programFolder_;
};
