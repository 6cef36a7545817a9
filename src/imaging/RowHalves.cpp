#include "imaging/RowHalves.h"

#include <thread>

namespace sc::imaging {

namespace {
thread_local bool keepsRows = false;
// Below this a second thread costs more than it saves.
constexpr qint64 kLargePicture = 2'000'000;
} // namespace

void keepRowsOnThisThread() {
    keepsRows = true;
}

void forRowHalves(int count, qint64 pixels, const std::function<void(int first, int last)>& rows) {
    if (pixels >= kLargePicture && count >= 2 && !keepsRows &&
        std::thread::hardware_concurrency() > 1) {
        std::thread lower(std::cref(rows), count / 2, count);
        rows(0, count / 2);
        lower.join();
    } else {
        rows(0, count);
    }
}

} // namespace sc::imaging
