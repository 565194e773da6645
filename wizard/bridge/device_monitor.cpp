#include "wizard/bridge/device_monitor.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSocketNotifier>

#include <libudev.h>

#include <cstring>

namespace {

const QString kUdevControl = QStringLiteral("/run/udev/control");
const QString kPartitions = QStringLiteral("/proc/partitions");
constexpr int kPollMilliseconds = 1000;

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    // /proc files report size 0: read until the end rather than by size.
    return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

}  // namespace

DeviceMonitor* StartDeviceMonitor(QObject* parent) {
    if (QFileInfo::exists(kUdevControl)) {
        if (DeviceMonitor* monitor = UdevBlockMonitor::Create(parent)) return monitor;
    }
    return new PartitionsPoller(kPartitions, kPollMilliseconds, parent);
}

PartitionsPoller::PartitionsPoller(QString partitionsFile, int intervalMilliseconds,
                                   QObject* parent)
    : DeviceMonitor(parent), partitionsFile_(std::move(partitionsFile)),
      lines_(ReadLines(partitionsFile_)) {
    connect(&timer_, &QTimer::timeout, this, &PartitionsPoller::Poll);
    timer_.start(intervalMilliseconds);
}

void PartitionsPoller::Poll() {
    QStringList lines = ReadLines(partitionsFile_);
    if (lines == lines_) return;
    const QSet<QString> before(lines_.begin(), lines_.end());
    const QSet<QString> now(lines.begin(), lines.end());
    lines_ = std::move(lines);
    emit deviceChanged(now.contains(before) ? kDeviceArrival : kDeviceRemoveComplete);
}

struct UdevBlockMonitor::Connection {
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    QSocketNotifier* notifier = nullptr;

    ~Connection() {
        if (monitor) udev_monitor_unref(monitor);
        if (context) udev_unref(context);
    }
};

UdevBlockMonitor* UdevBlockMonitor::Create(QObject* parent) {
    auto connection = std::make_unique<Connection>();
    connection->context = udev_new();
    if (!connection->context) return nullptr;
    connection->monitor = udev_monitor_new_from_netlink(connection->context, "udev");
    if (!connection->monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(connection->monitor, "block", nullptr) < 0 ||
        udev_monitor_enable_receiving(connection->monitor) < 0) {
        return nullptr;
    }
    return new UdevBlockMonitor(std::move(connection), parent);
}

UdevBlockMonitor::UdevBlockMonitor(std::unique_ptr<Connection> connection, QObject* parent)
    : DeviceMonitor(parent), connection_(std::move(connection)) {
    connection_->notifier = new QSocketNotifier(udev_monitor_get_fd(connection_->monitor),
                                                QSocketNotifier::Read, this);
    connect(connection_->notifier, &QSocketNotifier::activated, this, &UdevBlockMonitor::Receive);
}

UdevBlockMonitor::~UdevBlockMonitor() {
    // The notifier must stop watching before the socket closes.
    delete connection_->notifier;
}

void UdevBlockMonitor::Receive() {
    // The monitor's socket does not block: take every device event that is waiting.
    while (udev_device* device = udev_monitor_receive_device(connection_->monitor)) {
        const char* action = udev_device_get_action(device);
        if (action && std::strcmp(action, "remove") == 0) {
            emit deviceChanged(kDeviceRemoveComplete);
        } else if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "change") == 0)) {
            emit deviceChanged(kDeviceArrival);
        }
        udev_device_unref(device);
    }
}
