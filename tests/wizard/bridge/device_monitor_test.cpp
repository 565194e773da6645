#include "wizard/bridge/device_monitor.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "wizard/support/wait_until.h"

namespace {

void Write(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

TEST(DeviceMonitor, APartitionListChangeIsOneEvent) {
    QTemporaryDir folder;
    const QString partitions = folder.filePath(QStringLiteral("partitions"));
    const QByteArray disk = "major minor  #blocks  name\n\n   8       16    4096 sdb\n";
    Write(partitions, disk);
    PartitionsPoller poller(partitions, 10, nullptr);
    QSignalSpy events(&poller, &DeviceMonitor::deviceChanged);

    Write(partitions, disk + "   8       17    2048 sdb1\n");
    ASSERT_TRUE(waitUntil([&] { return events.count() == 1; }));
    EXPECT_EQ(events.takeFirst().at(0).toUInt(), kDeviceArrival);
    QTest::qWait(50);
    EXPECT_EQ(events.count(), 0) << "an unchanged list is no event";

    Write(partitions, disk);
    ASSERT_TRUE(waitUntil([&] { return events.count() == 1; }));
    EXPECT_EQ(events.takeFirst().at(0).toUInt(), kDeviceRemoveComplete);

    // A list that cannot be read counts as empty: the disk went away.
    QFile::remove(partitions);
    ASSERT_TRUE(waitUntil([&] { return events.count() == 1; }));
    EXPECT_EQ(events.takeFirst().at(0).toUInt(), kDeviceRemoveComplete);
}

}  // namespace
