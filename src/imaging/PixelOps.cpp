#include "imaging/PixelOps.h"

#include "imaging/GKitImage.h"
#include "imaging/RowHalves.h"

#include <algorithm>
#include <cmath>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace sc::imaging {

namespace {

// What one target cell covers along an axis, measured in units where a source cell is `dst`
// wide and a target cell `src` wide: whole source cells [full, fullEnd), each of weight `dst`,
// and at most one partly covered cell on each side.
struct Cover {
    int left = -1, leftWeight = 0;
    int full = 0, fullEnd = 0;
    int right = -1, rightWeight = 0;
};

std::vector<Cover> covers(int src, int dst) {
    std::vector<Cover> out(static_cast<size_t>(dst));
    for (int t = 0; t < dst; ++t) {
        Cover& c = out[size_t(t)];
        const std::int64_t start = std::int64_t(t) * src, end = start + src;
        c.full = int(start / dst);
        if (start % dst) {
            c.left = c.full;
            c.leftWeight = int(std::int64_t(c.full + 1) * dst - start);
            ++c.full;
        }
        c.fullEnd = int(end / dst);
        if (end % dst) {
            c.right = c.fullEnd;
            c.rightWeight = int(end - std::int64_t(c.fullEnd) * dst);
        }
    }
    return out;
}

// A source row's channels, each times `weight`, added to the running column sums.
void addRow(const quint32* px, int count, std::uint32_t weight, std::uint32_t* r, std::uint32_t* g,
            std::uint32_t* b) {
    for (int x = 0; x < count; ++x) { // contiguous and branch-free: the compiler vectorises it
        r[x] += ((px[x] >> 16) & 0xff) * weight;
        g[x] += ((px[x] >> 8) & 0xff) * weight;
        b[x] += (px[x] & 0xff) * weight;
    }
}

// Whole rows are summed byte by byte into 16-bit sums (blue, green, red, unused per pixel), the
// cheapest sum a vector unit makes; 257 rows of 255 still fit before they must be emptied.
constexpr int kRowsPerByteSum = 257;

void addBytes(const uchar* row, int count, std::uint16_t* sums) {
    int i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= count; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        auto* low = reinterpret_cast<__m128i*>(sums + i);
        auto* high = reinterpret_cast<__m128i*>(sums + i + 8);
        _mm_storeu_si128(low, _mm_add_epi16(_mm_loadu_si128(low), _mm_unpacklo_epi8(bytes, zero)));
        _mm_storeu_si128(high,
                         _mm_add_epi16(_mm_loadu_si128(high), _mm_unpackhi_epi8(bytes, zero)));
    }
#endif
    for (; i < count; ++i)
        sums[i] = std::uint16_t(sums[i] + row[i]);
}

// Empties the byte sums into the running column sums.
void emptyByteSums(std::vector<std::uint16_t>& bytes, std::uint32_t* r, std::uint32_t* g,
                   std::uint32_t* b) {
    const int count = int(bytes.size() / 4);
    for (int x = 0; x < count; ++x) {
        b[x] += bytes[size_t(4 * x)];
        g[x] += bytes[size_t(4 * x + 1)];
        r[x] += bytes[size_t(4 * x + 2)];
    }
    std::fill(bytes.begin(), bytes.end(), 0);
}

// One channel's column sums across the columns a target cell covers, weighted as they are.
std::uint64_t across(const std::uint32_t* sums, const Cover& c, int dst) {
    std::uint64_t full = 0;
    for (int i = c.full; i < c.fullEnd; ++i)
        full += sums[i];
    std::uint64_t sum = full * std::uint64_t(dst);
    if (c.left >= 0)
        sum += std::uint64_t(sums[c.left]) * std::uint64_t(c.leftWeight);
    if (c.right >= 0)
        sum += std::uint64_t(sums[c.right]) * std::uint64_t(c.rightWeight);
    return sum;
}

// Target rows [from, to): each the exact mean of the source area it covers. The rows a target
// row covers are summed down each column first (one vectorised pass over the source), then
// across: the same integer sums as across-then-down, at a fraction of the cost. Whole rows
// weigh the same, so they are added as they are and the sum weighed once.
void averageRows(const QImage& picture, QImage& out, const std::vector<Cover>& xs,
                 const std::vector<Cover>& ys, int from, int to) {
    const int width = out.width(), height = out.height(), sourceWidth = picture.width();
    std::vector<std::uint32_t> r(static_cast<size_t>(sourceWidth)), g = r, b = r;
    std::vector<std::uint16_t> bytes(size_t(sourceWidth) * 4);
    const std::uint64_t total = std::uint64_t(picture.width()) * std::uint64_t(picture.height());
    auto add = [&](int sy, int weight) {
        addRow(reinterpret_cast<const quint32*>(picture.constScanLine(sy)), sourceWidth,
               std::uint32_t(weight), r.data(), g.data(), b.data());
    };
    for (int ty = from; ty < to; ++ty) {
        const Cover& c = ys[size_t(ty)];
        for (auto* sums : {&r, &g, &b})
            std::fill(sums->begin(), sums->end(), 0);
        for (int sy = c.full; sy < c.fullEnd; ++sy) {
            addBytes(picture.constScanLine(sy), sourceWidth * 4, bytes.data());
            if ((sy - c.full + 1) % kRowsPerByteSum == 0 || sy + 1 == c.fullEnd)
                emptyByteSums(bytes, r.data(), g.data(), b.data());
        }
        for (auto* sums : {&r, &g, &b})
            for (std::uint32_t& sum : *sums)
                sum *= std::uint32_t(height);
        if (c.left >= 0)
            add(c.left, c.leftWeight);
        if (c.right >= 0)
            add(c.right, c.rightWeight);
        auto* o = reinterpret_cast<quint32*>(out.scanLine(ty));
        for (int x = 0; x < width; ++x) {
            const Cover& cx = xs[size_t(x)];
            const auto mean = [&](const std::vector<std::uint32_t>& sums) {
                return quint32((across(sums.data(), cx, width) + total / 2) / total);
            };
            o[x] = 0xff000000u | mean(r) << 16 | mean(g) << 8 | mean(b);
        }
    }
}

QImage areaAverage(const QImage& picture, int width, int height) {
    const auto xs = covers(picture.width(), width);
    const auto ys = covers(picture.height(), height);
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull())
        return out;
    (void)out.bits(); // detached before the rows are shared out
    forRowHalves(height, qint64(picture.width()) * picture.height(),
                 [&](int first, int last) { averageRows(picture, out, xs, ys, first, last); });
    return out;
}

} // namespace

QImage resized(const QImage& picture, int width, int height) {
    if (width == picture.width() && height == picture.height())
        return picture;
    // Column sums must fit 32 bits: 255 × source height.
    if (width <= picture.width() && height <= picture.height() && 255.0 * picture.height() < 4.0e9)
        return areaAverage(picture, width, height);
    return picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

namespace {

int luma(quint32 p) {
    return (int((p >> 16) & 0xff) * 299 + int((p >> 8) & 0xff) * 587 + int(p & 0xff) * 114 + 500) /
           1000;
}

template <typename Fn> void eachPixel(QImage& picture, Fn fn) {
    for (int y = 0; y < picture.height(); ++y) {
        auto* px = reinterpret_cast<quint32*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            px[x] = 0xff000000u | fn(px[x]);
    }
}

quint32 nearest(quint32 p, const std::vector<quint32>& palette) {
    const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
    quint32 best = palette.front();
    int bestDistance = 1 << 30;
    for (quint32 c : palette) {
        const int dr = r - int((c >> 16) & 0xff), dg = g - int((c >> 8) & 0xff),
                  db = b - int(c & 0xff);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance)
            bestDistance = d, best = c;
    }
    return best;
}

} // namespace

void reduceColours(QImage& picture, int depth) {
    switch (depth) {
    case GKitImage::kDepthGray:
        eachPixel(picture, [](quint32 p) {
            const quint32 v = quint32(luma(p));
            return v << 16 | v << 8 | v;
        });
        break;
    case GKitImage::kDepthMono:
        eachPixel(picture, [](quint32 p) { return luma(p) >= 128 ? 0xffffffu : 0u; });
        break;
    case GKitImage::kDepthPalette16: {
        static const std::vector<quint32> vga = {
            0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xc0c0c0,
            0x808080, 0xff0000, 0x00ff00, 0xffff00, 0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};
        eachPixel(picture, [](quint32 p) { return nearest(p, vga) & 0xffffffu; });
        break;
    }
    case GKitImage::kDepthPalette256: {
        // 6 × 7 × 6 levels: the eye tells greens apart best.
        auto level = [](int v, int steps) {
            const int i = (v * (steps - 1) + 127) / 255;
            return quint32(i * 255 / (steps - 1));
        };
        eachPixel(picture, [&](quint32 p) {
            return level(int((p >> 16) & 0xff), 6) << 16 | level(int((p >> 8) & 0xff), 7) << 8 |
                   level(int(p & 0xff), 6);
        });
        break;
    }
    default:
        break;
    }
}

} // namespace sc::imaging
