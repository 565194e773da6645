#pragma once
// The information queries of one rescan: one thread per drive, each filling a twin of its
// drive that the thread owns. The rescan waits up to a deadline and copies the records of
// the queries that finished; a query still running then completes into its own twin,
// which nobody reads, so a slow device never writes into a listed (or freed) drive.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/disk/drive.h"

class QueryBatch {
public:
    using Query = std::function<void(CDrive&)>;

    explicit QueryBatch(Query query);
    // Joins every thread: a late query delays only the unload or the rescan that reaps it.
    ~QueryBatch();
    QueryBatch(const QueryBatch&) = delete;
    QueryBatch& operator=(const QueryBatch&) = delete;

    // Starts the query of `twin` on a thread of its own; returns the job's index.
    std::size_t start(std::unique_ptr<CDrive> twin);
    // Waits until every query has finished or the deadline has passed.
    void waitUntil(std::chrono::steady_clock::time_point deadline);
    // The twin of a finished query; null while it runs.
    const CDrive* finished(std::size_t job) const;
    bool allFinished() const;

private:
    struct Job {
        std::unique_ptr<CDrive> twin;
        bool done = false;
        std::thread thread;
    };

    Query query_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::unique_ptr<Job>> jobs_;
    std::size_t running_ = 0;
};
