#pragma once

#include "imaging/RowHalves.h"
#include "jobs/MemoryBudget.h"

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace sc::jobs {

// How many worker threads prepare a job's pictures. The program runs one per core of the
// machine; kOnWindowThread (none: each picture is prepared on the window thread when it is
// taken) is there for tests and benchmarks to compare with. Any count gives the same files,
// texts and failures.
constexpr int kOnWindowThread = 0;
inline int pictureWorkersOfThisMachine() {
    return std::max(1, int(std::thread::hardware_concurrency()));
}

// What each picture's preparation holds, and how much may be held at once (MemoryBudget).
struct PictureMemory {
    MemoryBudget budget = MemoryBudget::forThisMachine();
    std::function<qint64(int index)> estimate; // none: pictures are counted as free
};

// Prepares a job's pictures (the work that needs no window: reading, tuning, encoding into
// memory) on worker threads while the window thread takes them in list order and does all a
// user can see: writing files, status texts, questions. The workers prepare pictures in list
// order, each starting the next as soon as it is free, up to `picturesAhead` pictures per
// worker beyond the one the window thread waits for or holds, and only while the memory budget
// admits it beside the pictures in flight; so every core stays busy while the window thread
// writes, and a large picture is prepared only once the ones before it are written. A picture
// prepared ahead of a failure is dropped, never handed out.
template <typename Prepared> class PicturePipeline {
public:
    using Prepare = std::function<Prepared(int index)>;
    // True for a picture whose source an earlier picture's output may replace: it is prepared
    // only once every earlier picture has been taken and written (when it is itself taken).
    using WaitsForEarlier = std::function<bool(int index)>;

    // One picture ahead per worker suits a job whose prepared picture is large (it holds the
    // picture at full size); a job whose prepared picture is small goes further ahead, so that
    // the workers need not wait while the window thread writes.
    PicturePipeline(int count, int workers, Prepare prepare, WaitsForEarlier waitsForEarlier = {},
                    int picturesAheadPerWorker = 1, PictureMemory memory = {})
        : count_(count), prepare_(std::move(prepare)), waitsForEarlier_(std::move(waitsForEarlier)),
          picturesAhead_(picturesAheadPerWorker * std::max(1, workers)),
          memory_(std::move(memory)) {
        if (workers <= kOnWindowThread || count <= 0)
            return;
        costs_.assign(size_t(count), kUnknown);
        results_.resize(size_t(count));
        for (auto& result : results_)
            futures_.push_back(result.get_future());
        for (int i = 0; i < std::min(workers, count); ++i)
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
            // The caller is done with every earlier picture: their memory is free again.
            for (; released_ < index; ++released_)
                inFlight_ -= costs_[size_t(released_)];
        }
        changed_.notify_all();
        return futures_[size_t(index)].get();
    }

private:
    static constexpr qint64 kUnknown = -1;

    void work() {
        imaging::keepRowsOnThisThread(); // the workers already keep every core busy
        for (int index = claimNext(); index >= 0; index = claimNext()) {
            try {
                results_[size_t(index)].set_value(prepare_(index));
            } catch (...) {
                results_[size_t(index)].set_exception(std::current_exception());
            }
        }
    }

    // The next picture to prepare once it may start, or -1 when there is none or the job ends.
    // Its estimate is read (from the file's header) by one worker, outside the lock.
    int claimNext() {
        std::unique_lock lock(guard_);
        for (;;) {
            if (stopping_ || next_ >= count_)
                return -1;
            const int index = next_;
            qint64& cost = costs_[size_t(index)];
            if (mayStart(index) && cost == kUnknown && !estimating_) {
                estimating_ = true;
                lock.unlock();
                const qint64 estimate = estimateOf(index);
                lock.lock();
                cost = estimate;
                estimating_ = false;
                changed_.notify_all();
                continue;
            }
            if (mayStart(index) && cost != kUnknown && memory_.budget.admits(cost, inFlight_)) {
                inFlight_ += cost;
                return next_++;
            }
            changed_.wait(lock);
        }
    }

    // A picture whose header cannot be read fails when it is prepared; until then it is free.
    qint64 estimateOf(int index) const {
        try {
            return memory_.estimate ? std::max<qint64>(0, memory_.estimate(index)) : 0;
        } catch (...) {
            return 0;
        }
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
    const PictureMemory memory_;

    std::vector<std::promise<Prepared>> results_;
    std::vector<std::future<Prepared>> futures_;
    std::mutex guard_;
    std::condition_variable changed_;
    int next_ = 0;              // the next picture a worker starts
    int taking_ = 0;            // the picture the window thread waits for or holds
    std::vector<qint64> costs_; // each picture's estimate, kUnknown until read
    qint64 inFlight_ = 0;       // estimates of the pictures started and not yet released
    int released_ = 0;          // pictures before this one are released
    bool estimating_ = false;   // a worker is reading the next picture's estimate
    bool stopping_ = false;
    std::vector<std::thread> workers_; // last: they start once everything above is ready
};

} // namespace sc::jobs
