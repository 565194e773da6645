// The shipped help topics link only to topics of the folder or to web and mail addresses,
// and the contents reaches every topic.

#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

#include "tests/wizard/help/help_folder_fixture.h"
#include "wizard/help/html_help.h"

namespace {

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

TEST_F(HelpTopics, LinksStayInTheFolderAndTheContentsReachesEveryTopic) {
    for (const QString& topic : kHelpTopics) {
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
    const QStringList fromContents = LinksOf(topicFile(kHelpTopics.first()));
    for (const QString& topic : kHelpTopics.sliced(1)) {
        EXPECT_TRUE(fromContents.contains(topic.sliced(QStringLiteral("/files/").size())))
            << topic.toStdString();
    }
}

}  // namespace
