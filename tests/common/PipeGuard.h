#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sc::test {

// Makes a named pipe at a host path.
inline bool makePipe(const QString& hostPath) {
    return ::mkfifo(QFile::encodeName(hostPath).constData(), 0644) == 0;
}

// Keeps a test that opens a named pipe from hanging for good: once `patience` has passed, it
// keeps opening the pipe's writing end, so every reader that waits gets end-of-file and goes
// on. fired() then tells the test that something waited on the pipe.
class PipeGuard {
public:
    explicit PipeGuard(const QString& hostPath,
                       std::chrono::milliseconds patience = std::chrono::seconds(5))
        : path_(QFile::encodeName(hostPath)), thread_([this, patience] { watch(patience); }) {}
    ~PipeGuard() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    PipeGuard(const PipeGuard&) = delete;
    PipeGuard& operator=(const PipeGuard&) = delete;

    bool fired() const { return fired_; }

private:
    void watch(std::chrono::milliseconds patience) {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, patience, [this] { return stop_; }))
            return;
        fired_ = true;
        while (!wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stop_; })) {
            // Succeeds only while a reader holds the pipe open: closing it ends that reader.
            const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
        }
    }

    QByteArray path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::atomic<bool> fired_{false};
    std::thread thread_;
};

} // namespace sc::test
