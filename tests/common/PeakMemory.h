#pragma once

#include "Timing.h" // bench/common

#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace sc::test {

// The benchmarks' reading of /proc/self/status ("VmRSS:", "VmHWM:").
using bench::statusKilobytes;

// Whether this process's peak resident memory can be measured from a starting point (Linux:
// writing 5 to clear_refs sets the peak back to what is resident now).
inline bool resetPeakMemory() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1 && clear.flush();
}

// Meant for the statement of EXPECT_EXIT with the "threadsafe" death-test style, which runs it
// in a fresh process (this test binary started again for this test): runs `work` there and
// ends that process with status 0 when the resident memory it added at its peak stayed at or
// under `limitBytes`, 1 when it did not, 2 when it cannot be measured, 3 when an expectation
// inside `work` failed. Prints what it found.
[[noreturn]] inline void exitWithPeakGrowthCheck(qint64 limitBytes,
                                                 const std::function<void()>& work) {
    if (!resetPeakMemory()) {
        std::fprintf(stderr, "peak memory cannot be measured here\n");
        std::_Exit(2);
    }
    const long before = statusKilobytes("VmRSS:");
    work();
    const long growth = statusKilobytes("VmHWM:") - before;
    std::fprintf(stderr, "peak growth %ld MB (limit %lld MB)\n", growth / 1024,
                 limitBytes / (1024 * 1024));
    // The fresh process's own failures would be lost with it: they fail the check too.
    if (::testing::Test::HasFailure())
        std::fprintf(stderr, "the work failed\n");
    std::fflush(stderr);
    std::_Exit(::testing::Test::HasFailure() ? 3 : growth * 1024 <= limitBytes ? 0 : 1);
}

} // namespace sc::test
