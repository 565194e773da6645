// The shipped help topics: every topic the program opens exists, has a title, and links
// only to topics of the folder or to web and mail addresses.

#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

#include "tests/wizard/help/help_folder_fixture.h"
#include "wizard/forms/help_form.h"

namespace {

const QStringList kTopics = {
    QStringLiteral("/files/contents.html"),
    QStringLiteral("/files/quickstart.html"),
    QStringLiteral("/files/about.html"),
    QStringLiteral("/files/params.html"),
    QStringLiteral("/files/params.driveaccess.html"),
    QStringLiteral("/files/params.language.html"),
    QStringLiteral("/files/recovery.diskproperties.html"),
    QStringLiteral("/files/format.edit.html"),
    QStringLiteral("/files/recovery.recover.html"),
    QStringLiteral("/files/recovery.probablesize.html"),
    QStringLiteral("/files/recovery.recovering.html"),
    QStringLiteral("/files/recovery.fileexists.html"),
};

QStringList LinksOf(const QString& file) {
    QFile topic(file);
    EXPECT_TRUE(topic.open(QIODevice::ReadOnly)) << file.toStdString();
    const QString html = QString::fromUtf8(topic.readAll());
    QStringList links;
    static const QRegularExpression href(QStringLiteral("<a\\s+href=\"([^\"]*)\""));
    for (const QRegularExpressionMatch& match : href.globalMatch(html)) {
        links.append(match.captured(1));
    }
    return links;
}

using HelpTopics = HelpFolderTest;

TEST_F(HelpTopics, EveryTopicOpensWithItsTitle) {
    for (const QString& topic : kTopics) {
        SCOPED_TRACE(topic.toStdString());
        ASSERT_NE(CallHtmlHelp(request(topic), HH_DISPLAY_TOPIC), 0);
        THelpForm* window = CurrentHelpWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->browser()->source(), QUrl::fromLocalFile(topicFile(topic)));
        const QString title = window->browser()->documentTitle();
        EXPECT_FALSE(title.isEmpty());
        EXPECT_EQ(window->windowTitle(), title);
        EXPECT_GT(window->browser()->toPlainText().size(), 300);
    }
}

TEST_F(HelpTopics, LinksStayInTheFolderAndTheContentsReachesEveryTopic) {
    for (const QString& topic : kTopics) {
        SCOPED_TRACE(topic.toStdString());
        const QStringList links = LinksOf(topicFile(topic));
        EXPECT_FALSE(links.isEmpty());
        for (const QString& link : links) {
            const QUrl url(link);
            ASSERT_TRUE(url.isRelative()) << link.toStdString();
            const QString target =
                QUrl::fromLocalFile(topicFile(topic)).resolved(url).toLocalFile();
            EXPECT_FALSE(
                ResolveHelpTopic(helpFolder(), target.sliced(helpFolder().size())).isEmpty())
                << link.toStdString();
        }
    }
    const QStringList fromContents = LinksOf(topicFile(kTopics.first()));
    for (const QString& topic : kTopics.sliced(1)) {
        EXPECT_TRUE(fromContents.contains(topic.sliced(QStringLiteral("/files/").size())))
            << topic.toStdString();
    }
}

}  // namespace
