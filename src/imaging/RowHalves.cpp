#include "imaging/RowHalves.h"

#include <thread>

namespace sc::imaging {

namespace {
thread_local bool keepsRows = false;
}

void keepRowsOnThisThread() {
    keepsRows = true;
}

void forRowHalves(int count, bool large, const std::function<void(int first, int last)>& rows) {
    if (large && count >= 2 && !keepsRows && std::thread::hardware_concurrency() > 1) {
        std::thread lower(std::cref(rows), count / 2, count);
        rows(0, count / 2);
        lower.join();
    } else {
        rows(0, count);
    }
}

} // namespace sc::imaging
