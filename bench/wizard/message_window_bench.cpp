// Sends per second through the GUI bridge: sender threads block in SendMessageW until the
// GUI thread, pumping while it waits for them, has handled each message.
//
//     message_window_bench [threads] [sends per thread]

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/handles.h"
#include "platform/messages.h"
#include "tests/wizard/support/thread_group.h"
#include "wizard/bridge/message_window.h"
#include "wizard/bridge/pumping_wait.h"

int main(int argc, char** argv) {
    const int threads = argc > 1 ? std::atoi(argv[1]) : 4;
    const int sendsPerThread = argc > 2 ? std::atoi(argv[2]) : 250'000;
    if (threads < 1 || sendsPerThread < 1) {
        std::fprintf(stderr, "usage: %s [threads] [sends per thread]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);

    constexpr UINT kMessage = WM_APP + 1;
    MessageWindow window;
    long long handled = 0;
    window.setHandler(kMessage, PayloadKind::None, [&](WPARAM, LPARAM value) {
        ++handled;
        return value;
    });
    ThreadBodies senders;
    for (int sender = 0; sender < threads; ++sender) {
        senders.push_back([&] {
            for (int i = 0; i < sendsPerThread; ++i) {
                SendMessageW(window.handle(), kMessage, 0, i);
            }
        });
    }

    const auto start = std::chrono::steady_clock::now();
    HANDLE group = startThreadGroup(std::move(senders));
    if (pumpingWait(group) != PumpingWaitResult::Finished) {
        std::fprintf(stderr, "the sender threads did not start\n");
        return 1;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    CloseHandle(group);

    std::printf("%d threads, %lld sends handled in %.3f s: %.0f sends/s\n", threads, handled,
                elapsed.count(), static_cast<double>(handled) / elapsed.count());
    return 0;
}
