#include "imaging/PixelOps.h"

#include "imaging/GKitImage.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sc::imaging {

namespace {

// Coverage of target cells by source cells along one axis, in units where a source cell is
// `dst` wide and a target cell `src` wide: each source index adds to at most two targets.
struct Span {
    int first;   // target index of the source cell's left part
    int weightA; // its share
    int weightB; // share of target first + 1 (0 when the cell lies in one target)
};

std::vector<Span> spans(int src, int dst) {
    std::vector<Span> out(static_cast<size_t>(src));
    for (int i = 0; i < src; ++i) {
        const std::int64_t start = std::int64_t(i) * dst, end = start + dst;
        const int t = int(start / src);
        const std::int64_t boundary = std::int64_t(t + 1) * src;
        if (end <= boundary)
            out[size_t(i)] = {t, dst, 0};
        else
            out[size_t(i)] = {t, int(boundary - start), int(end - boundary)};
    }
    return out;
}

QImage areaAverage(const QImage& picture, int width, int height) {
    const int sw = picture.width(), sh = picture.height();
    const auto xs = spans(sw, width);
    const auto ys = spans(sh, height);
    // Per target row: three channel sums; a row of source pixels adds with its vertical
    // weight. 64-bit sums: 255 × full weights exceeds 32 bits on large pictures.
    std::vector<std::uint64_t> acc(size_t(width) * 3 * 2, 0); // two target rows in flight
    std::vector<std::uint32_t> row(size_t(width) * 3);
    QImage out(width, height, QImage::Format_RGB32);
    const std::uint64_t total = std::uint64_t(sw) * std::uint64_t(sh);
    int current = 0; // target row held in acc[0 … width·3)
    auto flushRow = [&](int ty) {
        auto* o = reinterpret_cast<quint32*>(out.scanLine(ty));
        for (int x = 0; x < width; ++x) {
            const std::uint64_t* a = &acc[size_t(x) * 3];
            const quint32 r = quint32((a[0] + total / 2) / total);
            const quint32 g = quint32((a[1] + total / 2) / total);
            const quint32 b = quint32((a[2] + total / 2) / total);
            o[x] = 0xff000000u | r << 16 | g << 8 | b;
        }
    };
    for (int sy = 0; sy < sh; ++sy) {
        std::fill(row.begin(), row.end(), 0);
        const auto* px = reinterpret_cast<const quint32*>(picture.constScanLine(sy));
        for (int sx = 0; sx < sw; ++sx) {
            const quint32 p = px[sx];
            const quint32 r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
            const Span& s = xs[size_t(sx)];
            std::uint32_t* a = &row[size_t(s.first) * 3];
            a[0] += r * quint32(s.weightA);
            a[1] += g * quint32(s.weightA);
            a[2] += b * quint32(s.weightA);
            if (s.weightB) {
                a[3] += r * quint32(s.weightB);
                a[4] += g * quint32(s.weightB);
                a[5] += b * quint32(s.weightB);
            }
        }
        const Span& v = ys[size_t(sy)];
        if (v.first != current) {
            flushRow(current);
            std::copy(acc.begin() + width * 3, acc.end(), acc.begin());
            std::fill(acc.begin() + width * 3, acc.end(), 0);
            current = v.first;
        }
        for (size_t i = 0; i < row.size(); ++i) {
            acc[i] += std::uint64_t(row[i]) * std::uint64_t(v.weightA);
            if (v.weightB)
                acc[i + row.size()] += std::uint64_t(row[i]) * std::uint64_t(v.weightB);
        }
    }
    flushRow(current);
    return out;
}

} // namespace

QImage resized(const QImage& picture, int width, int height) {
    if (width == picture.width() && height == picture.height())
        return picture;
    // Horizontal row sums must fit 32 bits: 255 × source width.
    if (width <= picture.width() && height <= picture.height() && 255.0 * picture.width() < 4.0e9)
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
