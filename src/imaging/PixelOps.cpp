#include "imaging/PixelOps.h"

#include "imaging/GKitImage.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sc::imaging {

namespace {

std::uint8_t clamp255(double v) {
    return std::uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

int clampInt(int v, int lo, int hi) {
    return std::clamp(v, lo, hi);
}

} // namespace

Lut identityLut() {
    Lut lut;
    for (int v = 0; v < 256; ++v)
        lut[v] = std::uint8_t(v);
    return lut;
}

Lut brightnessContrastLut(int brightness, int contrast) {
    brightness = clampInt(brightness, -100, 100);
    contrast = clampInt(contrast, -100, 100);
    Lut lut;
    for (int v = 0; v < 256; ++v) {
        const double lit = std::clamp(v + 255.0 * brightness / 100.0, 0.0, 255.0);
        double out;
        if (contrast == 100)
            out = lit >= 128.0 ? 255.0 : 0.0;
        else if (contrast > 0)
            out = 128.0 + (lit - 128.0) * 100.0 / (100.0 - contrast);
        else
            out = 128.0 + (lit - 128.0) * (100.0 + contrast) / 100.0;
        lut[v] = clamp255(out);
    }
    return lut;
}

Lut balanceLut(int value) {
    value = clampInt(value, -100, 100);
    Lut lut;
    for (int v = 0; v < 256; ++v)
        lut[v] = clamp255(v + 255.0 * value / 100.0);
    return lut;
}

Lut lightnessLut(int lightness) {
    lightness = clampInt(lightness, -100, 100);
    Lut lut;
    for (int v = 0; v < 256; ++v)
        lut[v] = clamp255(lightness <= 0 ? v * (100.0 + lightness) / 100.0
                                         : v + (255.0 - v) * lightness / 100.0);
    return lut;
}

void applyLuts(QImage& picture, const Lut& red, const Lut& green, const Lut& blue) {
    const int w = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        auto* px = reinterpret_cast<quint32*>(picture.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const quint32 p = px[x];
            px[x] = 0xff000000u | quint32(red[(p >> 16) & 0xff]) << 16 |
                    quint32(green[(p >> 8) & 0xff]) << 8 | blue[p & 0xff];
        }
    }
}

void applyHueSaturation(QImage& picture, int hue, int saturation, const Lut& light) {
    // The hue circle is six sectors; inside a sector the middle channel runs between the
    // smallest and the largest. Positions are kept as a fraction of the chroma in Q24, so the
    // turn needs no division per pixel (a reciprocal table serves instead).
    constexpr int kOne = 1 << 24;
    hue = ((hue % 360) + 360) % 360;
    const std::int64_t turn = std::int64_t(hue) * kOne * 6 / 360; // in sectors, Q24
    const int turnSectors = int(turn >> 24);
    const int turnFraction = int(turn & (kOne - 1));
    saturation = clampInt(saturation, -100, 100);
    const int satQ8 = saturation * 256 / 100;
    static const auto reciprocal = [] {
        std::array<std::uint32_t, 256> r{};
        for (int c = 1; c < 256; ++c)
            r[c] = (std::uint32_t(kOne) + c - 1) / c;
        return r;
    }();

    const int w = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        auto* px = reinterpret_cast<quint32*>(picture.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const quint32 p = px[x];
            const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
            const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
            const int chroma = mx - mn;
            if (chroma == 0) {
                const quint32 v = light[r];
                px[x] = 0xff000000u | v << 16 | v << 8 | v;
                continue;
            }
            // Sector and the middle channel's distance along it (rising or falling).
            int sector, along;
            if (mx == r) {
                if (mn == b) {
                    sector = 0, along = g - b;
                } else {
                    sector = 5, along = r - b;
                }
            } else if (mx == g) {
                if (mn == b) {
                    sector = 1, along = g - r;
                } else {
                    sector = 2, along = b - r;
                }
            } else {
                if (mn == r) {
                    sector = 3, along = b - g;
                } else {
                    sector = 4, along = r - g;
                }
            }
            int fraction = int(std::uint32_t(along) * reciprocal[chroma]) + turnFraction;
            if (fraction >= kOne) {
                fraction -= kOne;
                ++sector;
            }
            sector += turnSectors;
            if (sector >= 6)
                sector -= 6;
            if (fraction >= kOne)
                fraction = kOne - 1;

            const int sum = mx + mn; // twice the HSL lightness
            int chromaQ8;
            if (saturation <= 0) {
                chromaQ8 = chroma * (256 + satQ8);
            } else {
                const int room = std::min(sum, 510 - sum);
                chromaQ8 = chroma * 256 + (room - chroma) * satQ8;
            }
            const int hiQ8 = (sum * 256 + chromaQ8) >> 1;
            const int loQ8 = (sum * 256 - chromaQ8) >> 1;
            const int offQ8 = int((std::int64_t(fraction) * chromaQ8) >> 24);
            const int hi = (hiQ8 + 128) >> 8, lo = (loQ8 + 128) >> 8;
            const int rising = (loQ8 + offQ8 + 128) >> 8, falling = (hiQ8 - offQ8 + 128) >> 8;
            int nr, ng, nb;
            switch (sector) {
            case 0:
                nr = hi, ng = rising, nb = lo;
                break;
            case 1:
                nr = falling, ng = hi, nb = lo;
                break;
            case 2:
                nr = lo, ng = hi, nb = rising;
                break;
            case 3:
                nr = lo, ng = falling, nb = hi;
                break;
            case 4:
                nr = rising, ng = lo, nb = hi;
                break;
            default:
                nr = hi, ng = lo, nb = falling;
                break;
            }
            px[x] = 0xff000000u | quint32(light[clampInt(nr, 0, 255)]) << 16 |
                    quint32(light[clampInt(ng, 0, 255)]) << 8 | light[clampInt(nb, 0, 255)];
        }
    }
}

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
