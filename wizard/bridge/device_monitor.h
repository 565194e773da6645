#pragma once
// Tells when block devices come and go (a stick plugged in, a card inserted or removed):
// a libudev monitor where udev runs, else a poll of /proc/partitions once a second. Each
// event carries the code the window's device-change handler takes.

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

inline constexpr unsigned kDeviceArrival = 0x8000;
inline constexpr unsigned kDeviceRemoveComplete = 0x8004;

class DeviceMonitor : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void deviceChanged(unsigned event);
};

// The monitor that fits the machine, owned by `parent`.
DeviceMonitor* StartDeviceMonitor(QObject* parent);

// Watches a partition table listing; any change of its text is an arrival when lines were
// added, else a removal.
class PartitionsPoller final : public DeviceMonitor {
    Q_OBJECT

public:
    PartitionsPoller(QString partitionsFile, int intervalMilliseconds, QObject* parent);

private:
    void Poll();

    QString partitionsFile_;
    QStringList lines_;
    QTimer timer_;
};

// Block devices added, removed or changed, as udev announces them.
class UdevBlockMonitor final : public DeviceMonitor {
    Q_OBJECT

public:
    // Null when udev cannot be reached.
    static UdevBlockMonitor* Create(QObject* parent);
    ~UdevBlockMonitor() override;

private:
    struct Connection;
    UdevBlockMonitor(std::unique_ptr<Connection> connection, QObject* parent);
    void Receive();

    std::unique_ptr<Connection> connection_;
};
