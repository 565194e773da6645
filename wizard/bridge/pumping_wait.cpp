#include "wizard/bridge/pumping_wait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <thread>

#include "platform/handles.h"
#include "wizard/bridge/busy_gate.h"

namespace {

constexpr auto kStep = std::chrono::milliseconds(10);

}  // namespace

PumpingWaitResult pumpingWait(HANDLE thread) {
    if (!thread) {
        return PumpingWaitResult::NoThread;
    }
    const BusyScope busy;
    return pumpingWait(thread, busy);
}

PumpingWaitResult pumpingWait(HANDLE thread, const BusyScope& held) {
    if (!thread) {
        return PumpingWaitResult::NoThread;
    }
    if (!held.entered()) {
        return PumpingWaitResult::Refused;
    }
    // The timer wakes the event wait below every step. A plain loop of processEvents
    // rather than a QEventLoop: once the application quits, a QEventLoop would return at
    // once, and an engine thread sending to our windows would then wait for ever.
    QTimer step;
    step.start(kStep);
    // A watcher wakes the event wait the moment the thread ends, so that the wait ends
    // with the thread instead of at the next step (a run of many small files waits once
    // per file). It ends with the thread too, before the caller may close the handle.
    QAbstractEventDispatcher* dispatcher = QThread::currentThread()->eventDispatcher();
    std::jthread watcher([thread, dispatcher] {
        WaitForSingleObject(thread, INFINITE);
        if (dispatcher) dispatcher->wakeUp();
    });
    DWORD state;
    while ((state = WaitForSingleObject(thread, 0)) == WAIT_TIMEOUT) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return state == WAIT_OBJECT_0 ? PumpingWaitResult::Finished : PumpingWaitResult::NoThread;
}
