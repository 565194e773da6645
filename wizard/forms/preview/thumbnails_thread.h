#pragma once
// The thumbnail worker of the thumbnail view. The GUI thread hands it a snapshot: each
// element without a thumbnail with a copy of its record. The worker asks the engine for
// each picture and posts it back with the list's generation; it never reads the list, the
// elements, the formats or a widget, so a list may be sorted while it runs, and a result
// for a list cleared meanwhile is dropped by its model (TFoundFilesModel::ApplyThumbnail).
//
// The program runs one worker at a time for both lists. It is asked to stop between
// elements and is waited for, never killed.

#include <QImage>
#include <QThread>

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/records.h"
#include "wizard/model/found_files/base_element.h"
#include "wizard/model/found_files/base_sorted_list.h"

struct ThumbnailJob {
    TBaseElement* element;   // names the result; the worker never reads through it
    FoundFileRecord record;  // the element's record, without its name
};

// The elements that have no thumbnail yet, in list order. An element of unknown size is
// left out: the engine is never asked about it.
std::vector<ThumbnailJob> ElementsWithoutThumbnail(const TBaseSortedList& list);

class TThumbnailsThread final : public QThread {
    Q_OBJECT

public:
    TThumbnailsThread(std::vector<ThumbnailJob> jobs, std::uint64_t generation);
    // Waits for a worker that still runs (deleting it while it runs would abort).
    ~TThumbnailsThread() override;

signals:
    // From the worker's thread, once per element: the picture, or a null image when the
    // engine made none.
    void ThumbnailMade(std::uint64_t generation, TBaseElement* element, const QImage& picture);

protected:
    void run() override;

private:
    std::vector<ThumbnailJob> jobs_;
    std::uint64_t generation_;
};

// The running worker, or null. GUI thread.
TThumbnailsThread* ThumbnailsThread();
// Stops the running worker, if any, and starts one over `jobs`, after `connect` has
// connected to its signals; it deletes itself when it has finished.
TThumbnailsThread* StartThumbnails(std::vector<ThumbnailJob> jobs, std::uint64_t generation,
                                   const std::function<void(TThumbnailsThread&)>& connect);
// Asks the running worker to stop and waits until it has: it ends after the element it is
// working on. Events are handled in 10 ms steps meanwhile, under the busy gate, so that
// nothing that must not run inside a wait starts. Call it before a list the worker's
// elements belong to is cleared or freed.
void StopThumbnails();
