#include "engine/disk/query_batch.h"

#include "engine/log.h"
#include "engine/exports.h"

QueryBatch::QueryBatch(Query query) : query_(std::move(query)) {}

QueryBatch::~QueryBatch() {
    for (auto& job : jobs_)
        if (job->thread.joinable()) job->thread.join();
}

std::size_t QueryBatch::start(std::unique_ptr<CDrive> twin) {
    auto job = std::make_unique<Job>();
    job->twin = std::move(twin);
    Job* raw = job.get();
    std::lock_guard guard(lock_);
    jobs_.push_back(std::move(job));
    ++running_;
    raw->thread = std::thread([this, raw] {
        try {
            query_(*raw->twin);
        } catch (...) {
            Log(kLogError, "CStorageArray.QueryThread.except");
        }
        std::lock_guard done(lock_);
        raw->done = true;
        --running_;
        changed_.notify_all();
    });
    return jobs_.size() - 1;
}

void QueryBatch::waitUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock guard(lock_);
    changed_.wait_until(guard, deadline, [this] { return running_ == 0; });
}

const CDrive* QueryBatch::finished(std::size_t job) const {
    std::lock_guard guard(lock_);
    if (job >= jobs_.size() || !jobs_[job]->done) return nullptr;
    return jobs_[job]->twin.get();
}

bool QueryBatch::allFinished() const {
    std::lock_guard guard(lock_);
    return running_ == 0;
}
