#include "imaging/Buffers.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <mutex>
#include <vector>

namespace sc::imaging {

namespace {

constexpr qsizetype kWorthKeeping = 4 * 1024 * 1024;
constexpr qsizetype kLargestSpare = 32'000'000LL * 4;
constexpr size_t kMaxSpares = 2;

std::mutex& guard() {
    static std::mutex m;
    return m;
}

std::vector<QImage>& spares() {
    static std::vector<QImage> s;
    return s;
}

} // namespace

QImage takeBuffer(int width, int height) {
    {
        std::lock_guard lock(guard());
        auto& s = spares();
        for (auto it = s.begin(); it != s.end(); ++it) {
            if (it->width() == width && it->height() == height) {
                QImage found = std::move(*it);
                s.erase(it);
                return found;
            }
        }
    }
    return QImage(width, height, QImage::Format_RGB32);
}

void recycle(QImage& picture) {
    QImage image = std::move(picture);
    picture = QImage();
    if (image.isNull() || !image.isDetached() || image.format() != QImage::Format_RGB32 ||
        image.sizeInBytes() < kWorthKeeping || image.sizeInBytes() > kLargestSpare)
        return;
    std::lock_guard lock(guard());
    auto& s = spares();
    if (s.size() >= kMaxSpares)
        s.erase(s.begin());
    s.push_back(std::move(image));
}

void giveMemoryBack() {
    {
        std::lock_guard lock(guard());
        spares().clear();
    }
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void keepHeapForPictures() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

} // namespace sc::imaging
