#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace sc::test {

// Ends the test binary, naming the test, when one test runs past its time limit. A fault that
// makes code loop for ever (a chain of offsets followed round and round, a wait for an event
// that never comes) then fails in seconds instead of stalling the binary until ctest's limit,
// which names no test. A hung test cannot be unwound, so the binary exits at once, and the
// child of a death test goes with it (see endDeathTestChildrenWithTheirParent).
class TestDeadline : public ::testing::EmptyTestEventListener {
public:
    using Clock = std::chrono::steady_clock;

    // The message goes to the error output the binary started with: while a death test runs,
    // gtest points descriptor 2 at a file that only the child's end would show.
    explicit TestDeadline(std::chrono::seconds limit)
        : limit_(limit), errors_(::fcntl(2, F_DUPFD_CLOEXEC, 3)) {
        watcher_ = std::thread([this] { watch(); });
    }
    ~TestDeadline() override {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        watcher_.join();
    }

    // The running test's limit, from now: shorter for a test whose fault would be a loop.
    static void limitCurrentTest(std::chrono::seconds limit) {
        if (instance_)
            instance_->arm(limit);
    }

    void OnTestStart(const ::testing::TestInfo& info) override {
        {
            const std::lock_guard lock(mutex_);
            name_ = std::string(info.test_suite_name()) + "." + info.name();
        }
        instance_ = this;
        arm(limit_);
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        const std::lock_guard lock(mutex_);
        armed_ = false;
        changed_.notify_all();
    }

private:
    void arm(std::chrono::seconds limit) {
        const std::lock_guard lock(mutex_);
        armed_ = true;
        seconds_ = limit.count();
        deadline_ = Clock::now() + limit;
        changed_.notify_all();
    }
    void watch() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (!armed_) {
                changed_.wait(lock);
            } else if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ &&
                       Clock::now() >= deadline_) {
                ::dprintf(errors_ >= 0 ? errors_ : 2,
                          "\n%s did not end within %lld s: stopped as a failure\n", name_.c_str(),
                          static_cast<long long>(seconds_));
                std::_Exit(3);
            }
        }
    }

    inline static TestDeadline* instance_ = nullptr;
    const std::chrono::seconds limit_;
    const int errors_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread watcher_;
    std::string name_;
    bool armed_ = false, stopping_ = false;
    long long seconds_ = 0;
    Clock::time_point deadline_;
};

// A death test runs its statement in a child: this binary started again ("threadsafe" style) or
// a fork of it ("fast" style). Its parent's time limit ends the parent; the child is killed
// with it instead of hanging on until ctest's limit for the whole binary. Called first in main.
inline void endDeathTestChildrenWithTheirParent(int argc, char** argv) {
    const auto dieWithParent = [] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); };
    ::pthread_atfork(nullptr, nullptr, dieWithParent);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--gtest_internal_run_death_test", 31) == 0) {
            dieWithParent();
            if (::getppid() == 1) // the parent ended before the line above
                std::_Exit(3);
        }
    }
}

} // namespace sc::test
