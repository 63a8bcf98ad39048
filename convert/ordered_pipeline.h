#pragma once
// An ordered pipeline: jobs handed over one after another are done on worker threads and
// written in the order they were handed over, each as soon as every job before it is
// written. Output flows while input still arrives, and memory holds only the jobs in
// flight. It knows nothing of what a job holds: the stage given to it does the work and
// the writing.
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <vector>

#include "convert/owned_thread.h"

// Where the worker threads come from. Tests swap it for one that fails; a thread that
// cannot start (std::system_error, or no memory for it) means one worker fewer.
using ThreadStarter = OwnedThread (*)(std::function<void()> work);
extern ThreadStarter gStartThread;

// What the pipeline does with a job. Do may run on any thread, several at once on
// different jobs; Write and Flush run on one thread at a time, in job order.
template <typename Job>
class PipelineStage {
public:
    virtual ~PipelineStage() = default;
    // Empties a job for reuse; must not throw.
    virtual void Reset(Job& job) noexcept = 0;
    // Does the job's work; must not throw. False when it ran out of memory: the job says
    // so itself, the worker that ran it stops (unless it is the last), and Write may do
    // the job again once the jobs before it are written and their memory is free.
    virtual bool Do(Job& job) noexcept = 0;
    // Writes a done job; false when the run ends there (its message is written). May
    // throw std::bad_alloc.
    virtual bool Write(Job& job) = 0;
    // Pushes out what Write wrote: 0, or the errno of the failure.
    virtual int Flush() noexcept = 0;
    virtual void ReportFlushFailed(int reason) noexcept = 0;
    // Reports that memory ran out while writing, after pushing out what was written.
    virtual void ReportOutOfMemory() noexcept = 0;
};

template <typename Job>
class OrderedPipeline {
public:
    // `threads` threads do the work: the handing thread itself when it is 1, else that
    // many workers (fewer when threads cannot start; with none, the handing thread does
    // it). Throws std::bad_alloc before any thread starts, never after.
    OrderedPipeline(unsigned threads, PipelineStage<Job>& stage) : stage_(stage)
    {
        const unsigned workers = threads > 1 ? threads : 0;
        // Two jobs a worker (one being done, one waiting) and the one being filled.
        const std::size_t capacity = 2 * std::max(workers, 1u) + 2;
        for (std::size_t i = 0; i < capacity; ++i) ring_.push_back(std::make_unique<Job>());
        done_.assign(capacity, false);
        workers_.reserve(workers);
        // From here on nothing allocates outside a try: every thread that started is
        // owned by workers_ and joined by the destructor.
        for (unsigned t = 0; t < workers; ++t) {
            try {
                workers_.push_back(gStartThread([this] { Work(); }));
            } catch (const std::system_error&) {
                break;  // the threads that started are enough
            } catch (const std::bad_alloc&) {
                break;
            }
        }
        active_ = static_cast<unsigned>(workers_.size());
    }
    // Stops and joins the workers; jobs not written yet are dropped.
    ~OrderedPipeline()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            shutdown_ = true;
            stopped_ = true;
        }
        work_.notify_all();
        space_.notify_all();
        for (OwnedThread& worker : workers_) worker.Join();
    }
    OrderedPipeline(const OrderedPipeline&) = delete;
    OrderedPipeline& operator=(const OrderedPipeline&) = delete;

    unsigned Workers() const { return static_cast<unsigned>(workers_.size()); }
    // The workers still taking jobs: one that ran out of memory stops, the last one never.
    unsigned ActiveWorkers()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return active_;
    }

    // An emptied job to fill, or nullptr once the run has stopped. Waits while the jobs
    // in flight are at their limit.
    Job* Acquire()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        // Two jobs a worker still taking jobs, and the one being filled.
        space_.wait(lock, [this] {
            return stopped_ || tail_ - head_ < std::min<std::size_t>(ring_.size(), 2 * std::max(active_, 1u) + 2);
        });
        if (stopped_) return nullptr;
        Job* job = ring_[tail_ % ring_.size()].get();
        stage_.Reset(*job);
        acquired_ = true;
        return job;
    }

    // Hands the job acquired last to the workers (or does it here).
    void Publish()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!acquired_) return;
        acquired_ = false;
        const std::size_t index = tail_++;
        if (workers_.empty()) {
            claim_ = tail_;
            DoAndWrite(lock, index);
            return;
        }
        work_.notify_one();
    }

    // Waits until every job handed over is written. 0, or 1 when the run stopped (a
    // problem was reported, or a write failed).
    int Finish()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        space_.wait(lock, [this] { return !flushing_ && (stopped_ || head_ == tail_); });
        return stopped_ ? 1 : 0;
    }

    bool Stopped()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return stopped_;
    }

private:
    void Work() noexcept
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            work_.wait(lock, [this] { return shutdown_ || claim_ < tail_; });
            if (shutdown_) return;
            if (!DoAndWrite(lock, claim_++)) return;
        }
    }

    // Does the claimed job `index` (unless the run has stopped), then writes what is ready.
    // False when the calling worker is to stop: its job ran out of memory, and one worker
    // fewer holds less in flight (the last one never stops; the writer tries the job again).
    bool DoAndWrite(std::unique_lock<std::mutex>& lock, std::size_t index) noexcept
    {
        Job& job = *ring_[index % ring_.size()];
        const bool skip = stopped_;
        lock.unlock();
        const bool done = skip || stage_.Do(job);
        lock.lock();
        done_[index % ring_.size()] = true;
        const bool retire = !done && active_ > 1;
        if (retire) --active_;
        Flush(lock);
        return !retire;
    }

    // Writes every done job at the head, in order. One thread writes at a time; a job
    // done meanwhile is seen when the writing thread looks again.
    void Flush(std::unique_lock<std::mutex>& lock) noexcept
    {
        if (flushing_) return;
        flushing_ = true;
        bool wrote = false;
        while (head_ < tail_ && head_ < claim_ && done_[head_ % ring_.size()]) {
            Job& job = *ring_[head_ % ring_.size()];
            const bool skip = stopped_;
            lock.unlock();
            bool ok = true;
            if (!skip) {
                try {
                    ok = stage_.Write(job);
                } catch (...) {
                    stage_.ReportOutOfMemory();
                    ok = false;
                }
                wrote = true;
            }
            lock.lock();
            done_[head_ % ring_.size()] = false;
            ++head_;
            if (!ok) stopped_ = true;
            space_.notify_all();
        }
        flushing_ = false;
        space_.notify_all();
        if (wrote && !stopped_) {
            // Lines go out as their jobs are done, not when a buffer fills.
            lock.unlock();
            const int failure = stage_.Flush();
            lock.lock();
            if (failure != 0 && !stopped_) {
                stage_.ReportFlushFailed(failure);
                stopped_ = true;
                space_.notify_all();
            }
        }
    }

    PipelineStage<Job>& stage_;
    std::vector<std::unique_ptr<Job>> ring_;
    std::vector<bool> done_;
    std::size_t head_ = 0;   // the next job to write
    std::size_t claim_ = 0;  // the next job to do
    std::size_t tail_ = 0;   // the next job to hand over
    bool acquired_ = false;
    bool flushing_ = false;
    bool stopped_ = false;
    bool shutdown_ = false;
    unsigned active_ = 0;
    std::mutex mutex_;
    std::condition_variable work_;   // a job was handed over, or shutdown
    std::condition_variable space_;  // a job was written, or the run stopped
    std::vector<OwnedThread> workers_;
};
