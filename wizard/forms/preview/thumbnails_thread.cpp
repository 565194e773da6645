#include "wizard/forms/preview/thumbnails_thread.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <chrono>

#include "wizard/bridge/busy_gate.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/utilities/pictures/thumbnail_image.h"

namespace {

constexpr auto kStopStep = std::chrono::milliseconds(10);

QPointer<TThumbnailsThread>& Running() {
    static QPointer<TThumbnailsThread> running;
    return running;
}

}  // namespace

std::vector<ThumbnailJob> ElementsWithoutThumbnail(const TBaseSortedList& list) {
    std::vector<ThumbnailJob> jobs;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        TBaseElement& element = list[i];
        if (element.ThumbnailIndex() > 0 || element.Record().Size == kUnknownSize) continue;
        ThumbnailJob& job = jobs.emplace_back(ThumbnailJob{&element, element.Record()});
        job.record.Name = nullptr;
    }
    return jobs;
}

TThumbnailsThread::TThumbnailsThread(std::vector<ThumbnailJob> jobs, std::uint64_t generation)
    : jobs_(std::move(jobs)), generation_(generation) {}

TThumbnailsThread::~TThumbnailsThread() {
    requestInterruption();
    wait();
}

void TThumbnailsThread::run() {
    for (ThumbnailJob& job : jobs_) {
        if (isInterruptionRequested()) break;
        emit ThumbnailMade(generation_, job.element, TakeThumbnailImage(engine().FileGetThumbnail(&job.record)));
    }
}

TThumbnailsThread* ThumbnailsThread() { return Running(); }

TThumbnailsThread* StartThumbnails(std::vector<ThumbnailJob> jobs, std::uint64_t generation,
                                   const std::function<void(TThumbnailsThread&)>& connect) {
    StopThumbnails();
    auto* worker = new TThumbnailsThread(std::move(jobs), generation);
    connect(*worker);
    QObject::connect(worker, &QThread::finished, worker, [worker] {
        if (Running() == worker) Running() = nullptr;
        worker->deleteLater();
    });
    Running() = worker;
    worker->start(QThread::LowPriority);
    return worker;
}

void StopThumbnails() {
    const QPointer<TThumbnailsThread> worker = Running();
    if (!worker) return;
    worker->requestInterruption();
    {
        // Taken when free; a long action that holds it already is our caller's.
        const BusyScope busy;
        QTimer step;
        step.start(kStopStep);
        while (worker && !worker->isFinished()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
    }
    // Its last results and its end are queued already: handled now, so that a new
    // snapshot leaves out what it made and the list may be cleared after we return.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    if (!worker) return;
    if (Running() == worker) Running() = nullptr;
    delete worker.data();
}
