#pragma once

// Timing pieces every benchmark shares, with no dependency beyond Qt Core.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace sc::bench {

// Seconds of processor time used by this process (every thread) or by its finished children:
// on a machine shared with other work these compare fairly where wall-clock times do not.
inline double cpuSeconds(int who = RUSAGE_SELF) {
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A kilobyte figure of /proc/self/status ("VmRSS:", "VmHWM:"), -1 when there is none.
inline long statusKilobytes(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Writes out what earlier runs left waiting for the disk: a job ends by flushing its file
// system, and must not be charged with the files a run before it wrote.
inline void settleDisk() {
    ::sync();
}

// Seconds of timed runs taken in rounds: every round runs each entry once, back to back.
// A shared machine's speed drifts over seconds, so a ratio is taken within each round, where
// both entries met the same machine, and the median over the rounds is reported.
struct Rounds {
    std::vector<std::vector<double>> seconds; // [round][entry]

    double best(size_t entry) const {
        double least = 1e18;
        for (const auto& round : seconds)
            least = std::min(least, round[entry]);
        return least;
    }
    double ratio(size_t entry, size_t against) const {
        std::vector<double> ratios;
        for (const auto& round : seconds)
            ratios.push_back(round[entry] / round[against]);
        std::sort(ratios.begin(), ratios.end());
        const size_t n = ratios.size();
        return n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
    }
};

inline Rounds inRounds(int rounds, const std::vector<std::function<double()>>& entries) {
    Rounds r;
    for (int i = 0; i < rounds; ++i) {
        r.seconds.emplace_back();
        for (const auto& run : entries)
            r.seconds.back().push_back(run());
    }
    return r;
}

// Best of `runs` timed runs of `work`, in milliseconds.
inline double bestOf(int runs, const std::function<void()>& work) {
    double best = 1e18;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

// Runs a tool to its end, its output discarded; a failing tool ends the benchmark.
inline void runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        std::exit(1);
    }
}

} // namespace sc::bench
