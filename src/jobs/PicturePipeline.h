#pragma once

#include <functional>
#include <future>
#include <map>

namespace sc::jobs {

// How a job spreads its picture work over the machine. Two threads is what the program runs;
// one thread (every picture prepared on the window thread when it is taken) is there for tests
// and benchmarks to compare with.
enum class PictureThreads { One, Two };

// Prepares a job's pictures (the work that needs no window: reading, tuning, encoding into
// memory) on worker threads while the window thread takes them in list order and does all a
// user can see: writing files, status texts, questions. Picture k + 1 is prepared while the
// window thread waits for picture k and writes it, so two pictures are in memory at most. A
// picture prepared ahead of a failure is dropped, never handed out.
template <typename Prepared> class PicturePipeline {
public:
    using Prepare = std::function<Prepared(int index)>;
    // True for a picture whose source an earlier picture's output may replace: it is prepared
    // only once every earlier picture has been taken (and so written).
    using WaitsForEarlier = std::function<bool(int index)>;

    PicturePipeline(int count, PictureThreads threads, Prepare prepare,
                    WaitsForEarlier waitsForEarlier = {})
        : count_(count), threads_(threads), prepare_(std::move(prepare)),
          waitsForEarlier_(std::move(waitsForEarlier)) {}

    PicturePipeline(const PicturePipeline&) = delete;
    PicturePipeline& operator=(const PicturePipeline&) = delete;

    // Waits for the work of a picture still being prepared; its result is dropped.
    ~PicturePipeline() {
        for (auto& [index, work] : running_)
            work.wait();
    }

    // The prepared picture `index`; indexes are taken in order from 0. Rethrows what preparing
    // it raised. Starts preparing the next picture before it waits.
    Prepared take(int index) {
        if (threads_ == PictureThreads::One)
            return prepare_(index);
        start(index);
        if (index + 1 < count_ && !(waitsForEarlier_ && waitsForEarlier_(index + 1)))
            start(index + 1);
        auto work = running_.extract(index);
        return work.mapped().get();
    }

private:
    void start(int index) {
        if (!running_.contains(index))
            running_.emplace(index, std::async(std::launch::async, prepare_, index));
    }

    int count_;
    PictureThreads threads_;
    Prepare prepare_;
    WaitsForEarlier waitsForEarlier_;
    std::map<int, std::future<Prepared>> running_;
};

} // namespace sc::jobs
