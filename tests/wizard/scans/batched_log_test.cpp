// The scans' log: lines wait for the next tick or a flush and then go in with one append;
// a line repeated right after itself shows once, with its count.

#include "wizard/scans/batched_log.h"

#include <QPlainTextEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <chrono>

#include "wizard/support/wait_until.h"

namespace {

TEST(BatchedLog, ShowsWaitingLinesWithOneAppendPerFlushOrTick) {
    QPlainTextEdit view;
    BatchedLog log(&view);
    QSignalSpy appends(&view, &QPlainTextEdit::textChanged);

    log.Add(QStringLiteral("first"));
    log.Add(QStringLiteral("<b>%s%n</b>"));
    log.Add(QString());
    EXPECT_TRUE(view.toPlainText().isEmpty()) << "nothing before the tick";
    log.Flush();
    EXPECT_EQ(view.toPlainText(), QStringLiteral("first\n<b>%s%n</b>\n"));
    EXPECT_EQ(appends.count(), 1);
    log.Flush();
    EXPECT_EQ(appends.count(), 1) << "an empty flush appends nothing";

    const auto start = std::chrono::steady_clock::now();
    log.Add(QStringLiteral("later"));
    ASSERT_TRUE(waitUntil([&] { return view.toPlainText().endsWith(QStringLiteral("later")); }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
    EXPECT_EQ(appends.count(), 2);

    // Lines go in as blocks of up to 16; the text reads line by line all the same.
    view.clear();
    QStringList lines;
    for (int i = 0; i < 40; ++i) {
        lines.append(QString::number(i));
        log.Add(lines.back());
    }
    log.Flush();
    EXPECT_EQ(view.document()->blockCount(), 3);
    EXPECT_EQ(view.toPlainText().split(u'\n'), lines);
}

TEST(BatchedLog, ALineRepeatedRightAfterItselfShowsOnceWithItsCount) {
    QPlainTextEdit view;
    BatchedLog log(&view);
    const QString skipped = QStringLiteral("Skipped!");
    log.Add(QStringLiteral("first"));
    log.Add(skipped);
    log.Add(skipped);
    log.Flush();
    EXPECT_EQ(view.toPlainText(), QStringLiteral("first\nSkipped! (2 times)"));
    // Shown already, the line is brought up to date in place, within its block.
    log.Add(skipped);
    log.Flush();
    log.Add(skipped);
    log.Add(skipped);
    log.Add(QStringLiteral("next"));
    log.Add(skipped);
    log.Add(QString());
    log.Add(QString());
    log.Flush();
    EXPECT_EQ(view.toPlainText(), QStringLiteral("first\nSkipped! (5 times)\nnext\nSkipped!\n\n"))
        << "empty lines stay apart";
    EXPECT_EQ(view.document()->blockCount(), 2);

    // A view cleared meanwhile gets the line anew.
    log.Add(skipped);
    log.Flush();
    view.clear();
    log.Add(skipped);
    log.Flush();
    EXPECT_EQ(view.toPlainText(), QStringLiteral("Skipped! (2 times)"));
}

}  // namespace
