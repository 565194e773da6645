// Time from F1 in a window to its help topic painted in the help window, warm: the first
// press (which creates the window) is reported apart, then presses alternate between two
// windows so that every press loads another topic.
//
//     help_f1_bench [help folder] [presses]      (default: wizard/help of the sources)

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "wizard/help/help_file.h"
#include "wizard/help/help_form.h"
#include "wizard/help/help_keyword.h"
#include "wizard/help/help_unit.h"
#include "wizard/help/html_help.h"

namespace {

using Clock = std::chrono::steady_clock;

double PressF1AndPaint(QWidget& window) {
    const auto start = Clock::now();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &press);
    QCoreApplication::processEvents();
    CurrentHelpWindow()->repaint();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("wizard/help");
    const int presses = argc > 2 ? std::atoi(argv[2]) : 200;
    if (presses < 1) {
        std::fprintf(stderr, "usage: %s [help folder] [presses]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    SetApplicationHelpFile(folder);
    if (HelpFileForRequest().isEmpty()) {
        std::fprintf(stderr, "no help folder at %s\n", qPrintable(folder));
        return 2;
    }
    HTMLHelpInterfaceInit();

    QDialog contents;
    SetHelpKeyword(&contents, QStringLiteral("/files/contents.html"));
    QDialog properties;
    SetHelpKeyword(&properties, QStringLiteral("/files/recovery.diskproperties.html"));
    contents.show();
    properties.show();

    const double first = PressF1AndPaint(contents);
    std::vector<double> times;
    for (int press = 0; press < presses; ++press) {
        times.push_back(PressF1AndPaint(press % 2 == 0 ? properties : contents));
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "F1 to painted topic: first %.1f ms; warm over %d presses: median %.2f ms, "
        "95th percentile %.2f ms, worst %.2f ms\n",
        first, presses, times[times.size() / 2], times[times.size() * 95 / 100], times.back());
    HTMLHelpInterfaceDone();
    return 0;
}
