#pragma once

#include <QSize>
#include <QString>

namespace sc::jobs {

// How much picture memory a job may hold at once: the pictures being prepared ahead, those
// prepared and waiting, and the one being written. Each picture counts with the estimate read
// from its header (GKitImage::claimOf) from the moment it is started until the next picture is
// taken. A picture that does not fit beside those in flight waits until they are written; one
// that does not fit even alone is prepared alone, never refused for its size.
class MemoryBudget {
public:
    explicit constexpr MemoryBudget(qint64 bytes) : bytes_(bytes) {}

    // An eighth of the machine's memory, between 512 MB and 2 GB: camera pictures are
    // prepared ahead of the one being written, two 100-megapixel pictures may overlap, and a
    // picture near the largest accepted (200 megapixels) is prepared alone.
    static MemoryBudget forThisMachine();

    qint64 bytes() const { return bytes_; }

    // Whether a picture of `cost` bytes may start beside `inFlight` bytes of others.
    bool admits(qint64 cost, qint64 inFlight) const {
        return inFlight == 0 || inFlight + cost <= bytes_;
    }

private:
    qint64 bytes_;
};

// A picture's estimate: what a job's work on the picture in `source` takes at most, read from
// its header (loaded with `loadSizeHint`); 0 for a file whose load fails before allocating.
qint64 workingBytesOf(const QString& source, QSize loadSizeHint = {});

} // namespace sc::jobs
