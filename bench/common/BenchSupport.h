#pragma once

// Pieces the job benchmarks share: a silent status line, dialogs that answer without asking,
// photograph-like test pictures, timed command loops and the peak memory of the process.

#include "Timing.h"
#include "imaging/GKitImage.h"
#include "jobs/JobRunner.h"
#include "jobs/JpegJob.h"
#include "jobs/PicturePipeline.h"
#include "jobs/StatusLine.h"
#include "platform/UserDialogs.h"
#include "sources/SourceList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace sc::bench {

class SilentStatus : public jobs::StatusLine {
public:
    void show(const QString&) override {}
    void showIdlePrompt() override {}
    void repaintWindow() override {}
};

// Answers No to every question and `folder` to every folder dialog, cancels printing;
// messages go to stderr.
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
    bool choosePrinter(QPrinter&) override { return false; }

private:
    QString folder_;
};

// Seconds of one JPEG job over `pictures` with the settings `s`; `setUp` may set the job's
// threads or memory budget first. A failed job is said on stderr.
inline double timedJpegJob(const QStringList& pictures, const jobs::JpegJobSettings& s,
                           const std::function<void(jobs::JpegJob&)>& setUp = {}) {
    sources::TSourceList sources;
    sources.addAll(pictures);
    GKitImage image;
    SilentStatus status;
    NoDialogs dialogs;
    jobs::JpegJob job(image, sources, status, dialogs, [] {});
    if (setUp)
        setUp(job);
    settleDisk();
    QElapsedTimer timer;
    timer.start();
    if (!jobs::runGuarded(dialogs, [&] { job.run(s); }))
        std::fprintf(stderr, "the job failed\n");
    return timer.nsecsElapsed() / 1e9;
}

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

// `count` test pictures p00.<suffix> ... in `folder` ("bmp" or "jpg", the JPEGs at quality
// 90), kept from an earlier run when present.
inline QStringList makePictures(const QString& folder, int count, const char* suffix) {
    QStringList paths;
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QString path = QStringLiteral("%1/p%2.%3")
                                 .arg(folder)
                                 .arg(i, 2, 10, QChar(u'0'))
                                 .arg(QLatin1String(suffix));
        if (!QFileInfo::exists(path))
            testPicture(i).save(path, suffix, 90);
        paths << path;
    }
    return paths;
}

// Runs each command in turn; the seconds they took, or -1 when one failed.
inline double runCommands(const QList<QStringList>& commands) {
    settleDisk();
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

// The run with each worker count from one up to the machine's cores (best of three turns each),
// against the run on the window thread alone (`alone` seconds): how the job scales.
inline void printScaling(const std::function<double(int workers)>& run, double alone) {
    std::printf("\n%-10s %8s  %s\n", "workers", "seconds", "speed-up over the window thread alone");
    for (int workers = 1; workers <= jobs::pictureWorkersOfThisMachine(); ++workers) {
        double best = 1e9;
        for (int turn = 0; turn < 3; ++turn)
            best = std::min(best, run(workers));
        std::printf("%-10d %8.2f  %.2f x\n", workers, best, alone / best);
    }
}

// Peak resident memory of this process. Linux keeps ru_maxrss across fork and exec, so a
// child started by a large parent would report the parent's peak; VmHWM starts afresh.
inline long peakKilobytes() {
    if (const long kilobytes = statusKilobytes("VmHWM:"); kilobytes >= 0)
        return kilobytes;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Peak memory is measured in child runs of the benchmark, "--peak <folder> <n>", each running
// the job once over the first n pictures (`pattern`) of the folder and printing its peak. A
// job that may see a picture twice (`cycle`) takes the folder's pictures over again to reach
// n. Returns true when this process is such a child, after the run.
inline bool runAsPeakChild(const QStringList& args, const QString& pattern,
                           const std::function<void(const QStringList&)>& job, bool cycle = false) {
    if (args.size() != 4 || args[1] != u"--peak")
        return false;
    const QStringList all = QDir(args[2]).entryList({pattern}, QDir::Files, QDir::Name);
    const int n = cycle || args[3].toInt() < all.size() ? args[3].toInt() : int(all.size());
    QStringList pictures;
    for (int i = 0; i < n && !all.isEmpty(); ++i)
        pictures << args[2] + u'/' + all[i % all.size()];
    job(pictures);
    std::printf("%ld\n", peakKilobytes());
    return true;
}

// The peak memory of a child run (runAsPeakChild) over n pictures of `folder`.
inline long childPeakKilobytes(const QString& program, const QString& folder, int n) {
    QProcess child;
    child.start(program, {QStringLiteral("--peak"), folder, QString::number(n)});
    child.waitForFinished(-1);
    return child.readAllStandardOutput().trimmed().toLong();
}

// Prints the peak memory of child runs over 5 pictures of `folder` (enough to fill every
// worker and the picture being written) and over `count`: flat in the number of pictures, and
// within three 12-megapixel pictures a worker.
inline void printPeakMemory(const QString& program, const QString& folder, int count) {
    const int few = std::min(count, 5);
    const long fewPeak = childPeakKilobytes(program, folder, few),
               manyPeak = childPeakKilobytes(program, folder, count);
    constexpr int kPictureMb = 46; // 4000 x 3000 at 32 bits
    const int workers = jobs::pictureWorkersOfThisMachine();
    std::printf("\npeak memory, %d pictures  %6ld MB\npeak memory, %d pictures %6ld MB  (target "
                "<= 3 x %d MB a worker = %d MB, and flat)\n",
                few, fewPeak / 1024, count, manyPeak / 1024, kPictureMb, 3 * kPictureMb * workers);
}

} // namespace sc::bench
