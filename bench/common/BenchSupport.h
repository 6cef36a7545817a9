#pragma once

// Pieces the job benchmarks share: a silent status line, dialogs that answer without asking,
// photograph-like test pictures, timed command loops and the peak memory of the process.

#include "jobs/StatusLine.h"
#include "platform/UserDialogs.h"

#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <cstdio>
#include <sys/resource.h>

namespace sc::bench {

class SilentStatus : public jobs::StatusLine {
public:
    void show(const QString&) override {}
    void showIdlePrompt() override {}
    void repaintWindow() override {}
};

// Answers No to every question and `folder` to every folder dialog; messages go to stderr.
class NoDialogs : public UserDialogs {
public:
    explicit NoDialogs(QString folder = QString()) : folder_(std::move(folder)) {}
    void beep() override {}
    void message(const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool askYesNo(const QString&) override { return false; }
    QString browseFolder(const QString&, const QString&) override { return folder_; }
    QString browseFolderFrom(const QString&, const QString&) override { return folder_; }
    void openWithShell(const QString&) override {}

private:
    QString folder_;
};

// 4000 x 3000, half smooth gradients, half noise: the two extremes an encoder meets in
// photographs.
inline QImage testPicture(int index) {
    QImage image(4000, 3000, QImage::Format_RGB888);
    QRandomGenerator rng(index);
    for (int y = 0; y < image.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const bool noisy = x > image.width() / 2;
            const int n = noisy ? int(rng.bounded(96)) : 0;
            row[3 * x + 0] = uchar(qMin(255, x * 255 / image.width() + n));
            row[3 * x + 1] = uchar(qMin(255, y * 255 / image.height() + n));
            row[3 * x + 2] = uchar(qMin(255, (x + y + index * 100) % 256 + n / 2));
        }
    }
    return image;
}

// Runs each command in turn; the seconds they took, or -1 when one failed.
inline double runCommands(const QList<QStringList>& commands) {
    QElapsedTimer timer;
    timer.start();
    for (const QStringList& c : commands) {
        if (QProcess::execute(c.first(), c.mid(1)) != 0) {
            std::fprintf(stderr, "%s failed\n", qPrintable(c.join(u' ')));
            return -1;
        }
    }
    return timer.nsecsElapsed() / 1e9;
}

inline long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The peak memory of a child run of this program with `arguments`, which prints it.
inline long childPeakKilobytes(const QString& program, const QStringList& arguments) {
    QProcess child;
    child.start(program, arguments);
    child.waitForFinished(-1);
    return child.readAllStandardOutput().trimmed().toLong();
}

} // namespace sc::bench
