// The main window's start-up, apart from the drive rescan, and how often the splash and the
// drive page repaint while a slow rescan runs. The rescan is the real engine's over the
// drives of UNDELETE_DISKS, held back by a delay as a slow disk would.
//
//     UNDELETE_DISKS=a.img:b.img main_form_startup_bench [rescan delay ms]

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

#include "platform/handles.h"
#include "tests/wizard/support/thread_group.h"
#include "wizard/app/program_units.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/forms/main/main_form.h"
#include "wizard/forms/splash_form.h"
#include "wizard/settings/settings_values.h"

namespace {

std::atomic<int> rescanDelayMilliseconds{4000};
std::atomic<long long> rescanNanoseconds{0};

HANDLE SlowRescan(HWND window) {
    return startThreadGroup({[window] {
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(rescanDelayMilliseconds.load()));
        if (const HANDLE rescan = realEngine().DrivesRescan(window)) {
            WaitForSingleObject(rescan, INFINITE);
            CloseHandle(rescan);
        }
        rescanNanoseconds += std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count();
    }});
}

// Records when the watched widgets paint; a timer asks them to every 20 ms.
class PaintClock : public QObject {
public:
    explicit PaintClock(std::vector<QWidget*> widgets) : widgets_(std::move(widgets)) {
        for (QWidget* widget : widgets_) widget->installEventFilter(this);
        QObject::connect(&ask_, &QTimer::timeout, [this] {
            for (QWidget* widget : widgets_) widget->update();
        });
        ask_.start(20);
        clock_.start();
    }

    // The longest time between two paints of one widget, in milliseconds.
    qint64 LongestGap() const { return longest_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const qint64 now = clock_.elapsed();
            auto& last = lastPaint_[static_cast<QWidget*>(watched)];
            if (last > 0) longest_ = std::max(longest_, now - last);
            last = now;
        }
        return false;
    }

private:
    std::vector<QWidget*> widgets_;
    std::map<QWidget*, qint64> lastPaint_;
    QTimer ask_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) rescanDelayMilliseconds = std::max(0, std::atoi(argv[1]));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    EngineApi slow = realEngine();
    slow.DrivesRescan = SlowRescan;
    const ScopedEngineApi installed(slow);
    const RunningUnits units(programUnits());
    Settings().GlobalFirstStart = false;

    TSplashForm splash;
    splash.ShowNow();
    QElapsedTimer startup;
    startup.start();
    long long before = rescanNanoseconds;
    qint64 splashGap = 0;
    {
        PaintClock clock({&splash});
        TMainForm form(&splash);
        const double total = static_cast<double>(startup.nsecsElapsed());
        const double rescan = static_cast<double>(rescanNanoseconds - before);
        std::printf("start-up %.1f ms, of which the rescan %.1f ms: %.1f ms without it\n",
                    total / 1e6, rescan / 1e6, (total - rescan) / 1e6);
        splashGap = clock.LongestGap();
    }
    std::printf("splash: longest time between paints during the rescan %lld ms\n",
                static_cast<long long>(splashGap));

    TMainForm form(&splash);
    form.show();
    form.SetActivePage(TMainForm::kDriveSelectPage);
    PaintClock clock({&form, form.findChild<QWidget*>(QStringLiteral("DriveSelectTabSheet"))});
    before = rescanNanoseconds;
    form.LoadDrivesList();
    std::printf("drive page: longest time between paints during a %.0f ms rescan %lld ms\n",
                static_cast<double>(rescanNanoseconds - before) / 1e6,
                static_cast<long long>(clock.LongestGap()));
    return 0;
}
