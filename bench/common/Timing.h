#pragma once

// Timing pieces every benchmark shares, with no dependency beyond Qt Core.

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace sc::bench {

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
