#include "jobs/MemoryBudget.h"

#include "imaging/GKitImage.h"
#include "platform/Machine.h"

#include <algorithm>

namespace sc::jobs {

MemoryBudget MemoryBudget::forThisMachine() {
    constexpr qint64 kLeast = 512LL << 20, kMost = 2048LL << 20;
    return MemoryBudget(std::clamp(machine::physicalMemoryBytes() / 8, kLeast, kMost));
}

qint64 workingBytesOf(const QString& source, QSize loadSizeHint) {
    const auto claim = GKitImage::claimOf(source, loadSizeHint);
    return claim ? claim->workingBytes : 0;
}

} // namespace sc::jobs
