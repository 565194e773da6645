// Help requests: their form, the folder and topic checks, the "cannot open" message and
// the one help window with its history and links.

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/wizard/help/help_folder_fixture.h"
#include "wizard/forms/advanced_params_form.h"
#include "wizard/help/help_form.h"
#include "wizard/help/help_unit.h"
#include "wizard/support/modal_dialog_driver.h"

namespace {

namespace fs = std::filesystem;

using HtmlHelp = HelpFolderTest;

// Counts the times a help window was blocked by a modal dialog.
class BlockedHelpWindows : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowBlocked && qobject_cast<THelpForm*>(watched)) {
            ++count;
        }
        return false;
    }
    int count = 0;
};

QUrl SourceOfHelpWindow() {
    return CurrentHelpWindow() ? CurrentHelpWindow()->browser()->source() : QUrl();
}

TEST_F(HtmlHelp, RequestsNameTheFolderAndATopic) {
    const QString quickstart = QStringLiteral("/files/quickstart.html");
    struct Case {
        QString request;
        int command;
        QString shown;  // empty: nothing shown, the answer is 0
    };
    const QString folder = helpFolder();
    const Case cases[] = {
        {request(quickstart), HH_DISPLAY_TOPIC, quickstart},
        {QStringLiteral("  ") + folder + QStringLiteral("  ::") + quickstart, HH_DISPLAY_TOPIC,
         quickstart},
        {folder + QStringLiteral(" "), HH_DISPLAY_TOC, kContentsTopic},
        {request(quickstart), HH_HELP_CONTEXT, {}},
        {request(QStringLiteral("/files/missing.html")), HH_DISPLAY_TOPIC, {}},
        {request(QStringLiteral("/files")), HH_DISPLAY_TOPIC, {}},
        {folder + QStringLiteral("/absent::") + quickstart, HH_DISPLAY_TOPIC, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.request.toStdString() + " command " + std::to_string(test.command));
        CallHtmlHelp(folder, HH_CLOSE_ALL);
        const int shown = CallHtmlHelp(test.request, test.command);
        if (test.shown.isEmpty()) {
            EXPECT_EQ(shown, 0);
            EXPECT_EQ(CurrentHelpWindow(), nullptr);
        } else {
            EXPECT_NE(shown, 0);
            EXPECT_EQ(SourceOfHelpWindow(), QUrl::fromLocalFile(topicFile(test.shown)));
        }
    }
}

TEST_F(HtmlHelp, TopicsOutsideTheFolderAreRefused) {
    const fs::path outside = workFolder() / "secret.html";
    std::ofstream(outside) << "<html><head><title>Secret</title></head></html>";
    fs::create_symlink(outside, helpFolderPath() / "files" / "link-out.html");
    fs::create_symlink(workFolder(), helpFolderPath() / "files" / "folder-out");
    fs::create_symlink(helpFolderPath() / "files" / "about.html",
                       helpFolderPath() / "files" / "link-in.html");
    const std::string escapes = (fs::path("..") / ".." / "secret.html").string();
    for (const QString& topic :
         {QStringLiteral("/../secret.html"), QStringLiteral("/files/../../secret.html"),
          QStringLiteral("/") + QString::fromStdString(escapes).prepend(QStringLiteral("files/")),
          QStringLiteral("/") + QString::fromStdString(outside.string()),
          QString::fromStdString(outside.string()), QStringLiteral("/files/link-out.html"),
          QStringLiteral("/files/folder-out/secret.html"), QStringLiteral("/files/\0x.html"),
          QString()}) {
        SCOPED_TRACE(topic.toStdString());
        EXPECT_EQ(CallHtmlHelp(request(topic), HH_DISPLAY_TOPIC), 0);
        EXPECT_EQ(ResolveHelpTopic(helpFolder(), topic), QString());
    }
    EXPECT_EQ(CurrentHelpWindow(), nullptr);
    // A link that stays inside is followed.
    EXPECT_NE(CallHtmlHelp(request(QStringLiteral("/files/link-in.html")), HH_DISPLAY_TOPIC), 0);
    EXPECT_EQ(ResolveHelpTopic(helpFolder(), QStringLiteral("/files/link-in.html")),
              topicFile(QStringLiteral("/files/about.html")));
}

TEST_F(HtmlHelp, AMissingFolderGivesTheMessageWithItsFullPathAsItIs) {
    ShowHelpTopic(QStringLiteral("/files/quickstart.html"));
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_NE(CurrentHelpWindow(), nullptr);

    const QString missing = helpFolder() + QStringLiteral(".moved");
    fs::rename(helpFolderPath(), missing.toStdString());
    EXPECT_EQ(HelpFileForRequest(), QString());
    EXPECT_EQ(HelpFileForRequest(missing), missing);
    const QString text = QStringLiteral("Can't open help file (%1).").arg(helpFolder());
    prompts.expect(text, kPromptOk);
    ShowHelpTopic(QStringLiteral("/files/quickstart.html"));

    // A folder name with conversions is shown as it is.
    const QString odd = helpFolder() + QStringLiteral("%s%n%d");
    SetApplicationHelpFile(odd);
    prompts.expect(QStringLiteral("Can't open help file (%1).").arg(odd), kPromptOk);
    ShowHelpFileError();
}

TEST_F(HtmlHelp, OneWindowKeepsItsHistory) {
    ASSERT_NE(CallHtmlHelp(request(kContentsTopic), HH_DISPLAY_TOPIC), 0);
    THelpForm* window = CurrentHelpWindow();
    auto* back = window->findChild<QPushButton*>(QStringLiteral("BackButton"));
    auto* forward = window->findChild<QPushButton*>(QStringLiteral("ForwardButton"));
    EXPECT_FALSE(back->isEnabled());
    ASSERT_NE(CallHtmlHelp(request(QStringLiteral("/files/about.html")), HH_DISPLAY_TOPIC), 0);
    EXPECT_EQ(CurrentHelpWindow(), window);
    EXPECT_FALSE(forward->isEnabled());
    back->click();
    EXPECT_EQ(SourceOfHelpWindow(), QUrl::fromLocalFile(topicFile(kContentsTopic)));
    EXPECT_TRUE(forward->isEnabled());
}

TEST_F(HtmlHelp, LinksAndResourcesStayInsideOrGoToTheShell) {
    ASSERT_NE(CallHtmlHelp(request(kContentsTopic), HH_DISPLAY_TOPIC), 0);
    THelpBrowser* browser = CurrentHelpWindow()->browser();
    const QUrl contents = QUrl::fromLocalFile(topicFile(kContentsTopic));
    struct Case {
        QString link;
        QUrl shownAfter;
        QString toShell;
    };
    const Case cases[] = {
        {QStringLiteral("https://www.example.org/a?b=c"), contents,
         QStringLiteral("https://www.example.org/a?b=c")},
        {QStringLiteral("file:///etc/passwd"), contents, {}},
        {QStringLiteral("../../secret.html"), contents, {}},
        {QStringLiteral("ftp://example.org/x"), contents, {}},
        {QStringLiteral("params.html"),
         QUrl::fromLocalFile(topicFile(QStringLiteral("/files/params.html"))),
         {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.link.toStdString());
        shell.requests.clear();
        browser->setSource(contents);
        emit browser->anchorClicked(QUrl(test.link));
        EXPECT_EQ(browser->source(), test.shownAfter);
        if (test.toShell.isEmpty()) {
            EXPECT_TRUE(shell.requests.empty());
        } else {
            EXPECT_EQ(shell.requests,
                      (std::vector<ShellRequest>{{ShellRequest::Kind::Address, test.toShell}}));
        }
    }
    // Pictures and style sheets come from the folder only.
    EXPECT_TRUE(
        browser->loadResource(QTextDocument::StyleSheetResource, QUrl(QStringLiteral("help.css")))
            .isValid());
    EXPECT_FALSE(browser
                     ->loadResource(QTextDocument::ImageResource,
                                    QUrl(QStringLiteral("file:///etc/hostname")))
                     .isValid());
}

TEST_F(HtmlHelp, TheWindowTakesInputOverModalPreferencesAndStaysAfterThem) {
    const ScopedHelpService viewer(HtmlHelpViewer());
    BlockedHelpWindows blocked;
    qApp->installEventFilter(&blocked);
    QPointer<THelpForm> window;
    answerNextModalDialog([&](QWidget* preferences) {
        ShowHelpTopic(kContentsTopic);
        QTest::keyClick(preferences, Qt::Key_F1);
        window = CurrentHelpWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->browser()->source(),
                  QUrl::fromLocalFile(topicFile(QStringLiteral("/files/params.driveaccess.html"))));
        EXPECT_EQ(window->parentWidget(), preferences);
        EXPECT_TRUE(window->isVisible());
        window->findChild<QPushButton*>(QStringLiteral("BackButton"))->click();
        static_cast<QDialog*>(preferences)->reject();
    });
    ShowPreferences(1);
    qApp->removeEventFilter(&blocked);
    EXPECT_EQ(blocked.count, 0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->browser()->source(), QUrl::fromLocalFile(topicFile(kContentsTopic)));
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(CurrentHelpWindow(), window);
}

}  // namespace
