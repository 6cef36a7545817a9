#include "imaging/Buffers.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <mutex>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

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

// A fresh picture buffer comes from the system page by page on first touch: for a 12-megapixel
// picture that is twelve thousand page faults, a few per cent of a job's time. Large pages
// cut them to two dozen. Only a wish: a system without them gives small pages as before.
void preferLargePages(QImage& image) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr quintptr kLarge = 2 << 20;
    if (image.sizeInBytes() < qsizetype(kWorthKeeping))
        return;
    const auto start = reinterpret_cast<quintptr>(image.constBits());
    const quintptr first = (start + kLarge - 1) & ~(kLarge - 1);
    const quintptr end = (start + quintptr(image.sizeInBytes())) & ~(kLarge - 1);
    if (end > first)
        (void)::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
    (void)image;
#endif
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
    QImage fresh(width, height, QImage::Format_RGB32);
    preferLargePages(fresh);
    return fresh;
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
