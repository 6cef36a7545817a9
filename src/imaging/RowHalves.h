#pragma once

#include <QtGlobal>

#include <functional>

namespace sc::imaging {

// Runs `rows(first, last)` over the rows [0, count). Work over a large picture (`pixels`) on a
// machine of several cores runs its lower half on a second thread, unless the calling thread
// is one that keeps a core busy by itself (a job's picture worker: the workers already use
// every core).
void forRowHalves(int count, qint64 pixels, const std::function<void(int first, int last)>& rows);

// For the rest of the calling thread's life, forRowHalves keeps its work on it.
void keepRowsOnThisThread();

} // namespace sc::imaging
