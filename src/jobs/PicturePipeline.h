#pragma once

#include "imaging/RowHalves.h"

#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace sc::jobs {

// How a job spreads its picture work over the machine. Two threads is what the program runs;
// one thread (every picture prepared on the window thread when it is taken) is there for tests
// and benchmarks to compare with.
enum class PictureThreads { One, Two };

// Prepares a job's pictures (the work that needs no window: reading, tuning, encoding into
// memory) on two worker threads while the window thread takes them in list order and does all a
// user can see: writing files, status texts, questions. The workers prepare pictures in list
// order, each starting the next as soon as it is free, up to `picturesAhead` pictures beyond
// the one the window thread waits for or holds; so both cores stay busy while the window thread
// writes, and memory holds at most that many prepared pictures. A picture prepared ahead of a
// failure is dropped, never handed out.
template <typename Prepared> class PicturePipeline {
public:
    using Prepare = std::function<Prepared(int index)>;
    // True for a picture whose source an earlier picture's output may replace: it is prepared
    // only once every earlier picture has been taken and written (when it is itself taken).
    using WaitsForEarlier = std::function<bool(int index)>;

    // One picture ahead suits a job whose prepared picture is large (it holds the picture at
    // full size); a job whose prepared picture is small goes further ahead, so that the workers
    // need not wait while the window thread writes.
    PicturePipeline(int count, PictureThreads threads, Prepare prepare,
                    WaitsForEarlier waitsForEarlier = {}, int picturesAhead = 1)
        : count_(count), prepare_(std::move(prepare)), waitsForEarlier_(std::move(waitsForEarlier)),
          picturesAhead_(picturesAhead) {
        if (threads == PictureThreads::One || count <= 0)
            return;
        results_.resize(size_t(count));
        for (auto& result : results_)
            futures_.push_back(result.get_future());
        for (int i = 0; i < kWorkers; ++i)
            workers_.emplace_back([this] { work(); });
    }

    PicturePipeline(const PicturePipeline&) = delete;
    PicturePipeline& operator=(const PicturePipeline&) = delete;

    // Lets the workers finish the pictures they are on; those results are dropped.
    ~PicturePipeline() {
        {
            std::lock_guard lock(guard_);
            stopping_ = true;
        }
        changed_.notify_all();
        for (std::thread& worker : workers_)
            worker.join();
    }

    // The prepared picture `index`; indexes are taken in order from 0, each once every earlier
    // picture has been written. Rethrows what preparing it raised.
    Prepared take(int index) {
        if (workers_.empty())
            return prepare_(index);
        {
            std::lock_guard lock(guard_);
            taking_ = index;
        }
        changed_.notify_all();
        return futures_[size_t(index)].get();
    }

private:
    static constexpr int kWorkers = 2;

    void work() {
        imaging::keepRowsOnThisThread(); // the two workers already keep both cores busy
        for (int index = claimNext(); index >= 0; index = claimNext()) {
            try {
                results_[size_t(index)].set_value(prepare_(index));
            } catch (...) {
                results_[size_t(index)].set_exception(std::current_exception());
            }
        }
    }

    // The next picture to prepare once it may start, or -1 when there is none or the job ends.
    int claimNext() {
        std::unique_lock lock(guard_);
        changed_.wait(lock, [this] { return stopping_ || next_ >= count_ || mayStart(next_); });
        if (stopping_ || next_ >= count_)
            return -1;
        return next_++;
    }

    bool mayStart(int index) const {
        if (index > taking_ + picturesAhead_)
            return false;
        return index <= taking_ || !(waitsForEarlier_ && waitsForEarlier_(index));
    }

    const int count_;
    const Prepare prepare_;
    const WaitsForEarlier waitsForEarlier_;
    const int picturesAhead_;

    std::vector<std::promise<Prepared>> results_;
    std::vector<std::future<Prepared>> futures_;
    std::mutex guard_;
    std::condition_variable changed_;
    int next_ = 0;   // the next picture a worker starts
    int taking_ = 0; // the picture the window thread waits for or holds
    bool stopping_ = false;
    std::vector<std::thread> workers_; // last: they start once everything above is ready
};

} // namespace sc::jobs
