#pragma once
// Lets an update through at most once per interval: a repaint per found file would cost
// more than the scan itself.

#include <QElapsedTimer>

#include <chrono>

class UpdateThrottle {
public:
    explicit UpdateThrottle(std::chrono::milliseconds interval) : interval_(interval.count()) {}

    // True at the first call and then once the interval has passed since the last true.
    bool Due() {
        if (timer_.isValid() && timer_.elapsed() < interval_) return false;
        timer_.start();
        return true;
    }

    // The next Due() is true.
    void Reset() { timer_.invalidate(); }

private:
    qint64 interval_;
    QElapsedTimer timer_;
};
