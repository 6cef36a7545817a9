#include "imaging/Tuning.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <thread>

// One pass for all eight values, in float, rounded once at the end. Per pixel that is a clamped
// line per channel (brightness, contrast and balance composed) and about forty operations of
// hue, saturation and lightness, so the compiler runs many pixels per instruction where the CPU
// allows (GCC/Clang vector types, with AVX2 and AVX-512 clones chosen at run time on x86-64);
// elsewhere the same code runs per pixel.

namespace sc::imaging {

namespace {

// A channel's brightness, contrast and balance steps compose into one clamped line,
// v' = min(max(a·v + b, lo), hi), since each step is a monotone clamped line itself; contrast 100
// is a step instead: v' = v ≥ at ? high : low.
struct Curve {
    float a = 1, b = 0, lo = 0, hi = 255;
    bool step = false;
    float at = 0, low = 0, high = 255;

    // Follows this curve by v → clamp(v·gain + add) (gain ≥ 0).
    void then(float gain, float add) {
        auto clamp = [](float v) { return std::clamp(v, 0.0f, 255.0f); };
        a *= gain, b = b * gain + add;
        lo = clamp(lo * gain + add), hi = clamp(hi * gain + add);
        low = clamp(low * gain + add), high = clamp(high * gain + add);
    }
};

struct Constants {
    Curve curve[3]; // red, green, blue
    bool step = false;
    // Hue: per channel, the offset of its place on the colour circle, in twelfths, from the
    // turned hue (see tunePixels). Saturation: chroma = c·keep + room·grow.
    float place[3] = {};
    float keep = 1, grow = 0;
    // Lightness and the final rounding folded in: channel = mid − half·curve, where
    // mid = (max + min)·midScale + midAdd and half = chroma·halfScale.
    float midScale = 0.5f, midAdd = 0.5f, halfScale = 0.5f;
};

Constants constantsOf(const TuningPlan& p) {
    Constants k;
    if (p.brightnessContrast) {
        const int b = std::clamp(p.brightness, -100, 100), c = std::clamp(p.contrast, -100, 100);
        const float lift = 255.0f * float(b) / 100.0f;
        for (Curve& curve : k.curve) {
            curve.then(1.0f, lift);
            if (c == 100) { // hard threshold at 128: levels from 128 − lift up are white
                k.step = curve.step = true;
                curve.at = 128.0f - lift, curve.low = 0.0f, curve.high = 255.0f;
            } else {
                const float gain = c > 0 ? 100.0f / float(100 - c) : float(100 + c) / 100.0f;
                curve.then(gain, 128.0f - 128.0f * gain);
            }
        }
    }
    if (p.balance) {
        const int add[3] = {p.red, p.green, p.blue};
        for (int i = 0; i < 3; ++i)
            k.curve[i].then(1.0f, 255.0f * float(std::clamp(add[i], -100, 100)) / 100.0f);
    }
    if (p.hsl) {
        // A channel's curve position is h + 2·turn + its own offset (0 red, 8 green, 4 blue)
        // less 6, kept within −12 … 12 for every hue h of −2 … 10 (see tunePixels).
        const int turn = ((p.hue % 360) + 360) % 360; // degrees; twelfths = turn / 30
        const int offsets[3] = {0, 8, 4};
        for (int i = 0; i < 3; ++i) {
            float t = std::fmod(float(turn) / 30.0f + float(offsets[i]), 12.0f);
            if (t >= 8.0f)
                t -= 12.0f;
            k.place[i] = t - 6.0f;
        }
        const int s = std::clamp(p.saturation, -100, 100);
        k.keep = s <= 0 ? float(100 + s) / 100.0f : 1.0f;
        k.grow = s > 0 ? float(s) / 100.0f : 0.0f;
        k.keep -= k.grow;
        const int l = std::clamp(p.lightness, -100, 100);
        const float dark = l <= 0 ? float(100 + l) / 100.0f : float(100 - l) / 100.0f;
        const float bright = l > 0 ? float(l) / 100.0f * 255.0f : 0.0f;
        k.midScale = 0.5f * dark, k.halfScale = 0.5f * dark;
        k.midAdd = bright + 0.5f;
    } else {
        for (Curve& curve : k.curve) // the rounding, folded into the curve
            curve.b += 0.5f, curve.lo += 0.5f, curve.hi += 0.5f, curve.low += 0.5f,
                curve.high += 0.5f;
    }
    return k;
}

#if defined(__GNUC__) && !defined(_MSC_VER) && !defined(SC_SCALAR_TUNING)
#define SC_VECTOR_TUNING 1
// Everything the row loop calls is inlined into it, so each clone of the loop (AVX2 or
// baseline) runs its own copy and no vector crosses a call between clones.
#define SC_INLINE inline __attribute__((always_inline))
constexpr int kLanes = 16;
typedef float VF __attribute__((vector_size(kLanes * 4)));
typedef std::int32_t VI __attribute__((vector_size(kLanes * 4)));
typedef std::uint32_t VU __attribute__((vector_size(kLanes * 4)));

SC_INLINE VF vmin(VF a, VF b) {
    return a < b ? a : b;
}
SC_INLINE VF vmax(VF a, VF b) {
    return a > b ? a : b;
}
SC_INLINE VF vsel(VI mask, VF a, VF b) {
    return mask ? a : b;
}
// Through signed lanes: x86 converts those in one instruction, and levels fit either way.
SC_INLINE VF toF(VU v) {
    return __builtin_convertvector((VI)v, VF);
}
SC_INLINE VU toU(VF v) {
    return (VU) __builtin_convertvector(v, VI);
}
SC_INLINE VF splat(float v) {
    return VF{} + v;
}
SC_INLINE VF vabs(VF v) {
    return (VF)((VI)v & 0x7fffffff);
}
#else
#define SC_INLINE inline
constexpr int kLanes = 1;
using VF = float;
using VI = bool;
using VU = std::uint32_t;
SC_INLINE VF vmin(VF a, VF b) {
    return a < b ? a : b;
}
SC_INLINE VF vmax(VF a, VF b) {
    return a > b ? a : b;
}
SC_INLINE VF vsel(VI mask, VF a, VF b) {
    return mask ? a : b;
}
SC_INLINE VF toF(VU v) {
    return float(v);
}
SC_INLINE VU toU(VF v) {
    return VU(v);
}
SC_INLINE VF splat(float v) {
    return v;
}
SC_INLINE VF vabs(VF v) {
    return std::fabs(v);
}
#endif

// A channel's level is mid − half·place(y), y being the hue's distance in twelfths (−12 … 12)
// from the colour opposite the channel's: −1 (the channel at its highest) within two twelfths
// of the channel's own colour, 1 within two of the opposite one, a straight line between.
SC_INLINE VF circlePlace(VF y) {
    const VF e = vabs(vabs(y) - 6.0f) - 3.0f;
    return vmax(vmin(e, splat(1.0f)), splat(-1.0f));
}

SC_INLINE VF curved(VF v, const Curve& f, bool step) {
    return step ? vsel(v >= f.at, splat(f.high), splat(f.low))
                : vmin(vmax(v * f.a + f.b, splat(f.lo)), splat(f.hi));
}

template <bool CURVES, bool HSL> SC_INLINE VU tunePixels(VU p, const Constants& k) {
    VF r = toF((p >> 16) & 0xffu), g = toF((p >> 8) & 0xffu), b = toF(p & 0xffu);
    if constexpr (CURVES) {
        r = curved(r, k.curve[0], k.step);
        g = curved(g, k.curve[1], k.step);
        b = curved(b, k.curve[2], k.step);
    }
    if constexpr (HSL) {
        const VF mx = vmax(r, vmax(g, b)), mn = vmin(r, vmin(g, b));
        const VF chroma = mx - mn, sum = mx + mn;
        const VI coloured = chroma > 0.0f;
        const VF twice = 2.0f / vsel(coloured, chroma, splat(1.0f));
        // Hue in twelfths of the circle: 0 red, 4 green, 8 blue; −2 … 10.
        const VI redTop = mx == r, greenTop = mx == g;
        const VF hue = vsel(redTop, g - b, vsel(greenTop, b - r, r - g)) * twice +
                       vsel(redTop, splat(0.0f), vsel(greenTop, splat(4.0f), splat(8.0f)));
        const VF room = vmin(sum, 510.0f - sum);
        const VF newChroma = vsel(coloured, chroma * k.keep + room * k.grow, splat(0.0f));
        // Stays within 0 … 255 by itself.
        const VF half = newChroma * k.halfScale, mid = sum * k.midScale + k.midAdd;
        r = mid - half * circlePlace(hue + k.place[0]);
        g = mid - half * circlePlace(hue + k.place[1]);
        b = mid - half * circlePlace(hue + k.place[2]);
    }
    return (VU{} + 0xff000000u) | toU(r) << 16 | toU(g) << 8 | toU(b);
}

template <bool CURVES, bool HSL>
#if defined(SC_VECTOR_TUNING) && defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx512f", "avx2", "default")))
#endif
void tuneRows(const uchar* source, qsizetype sourceStride, uchar* target,
              qsizetype targetStride, int w, const Constants& constants, int from, int to) {
    const Constants k = constants; // a copy the stores to pixels cannot alias
    for (int y = from; y < to; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(source + y * sourceStride);
        auto* out = reinterpret_cast<std::uint32_t*>(target + y * targetStride);
        int x = 0;
        for (; x + kLanes <= w; x += kLanes) {
            VU p;
            std::memcpy(&p, in + x, sizeof p);
            const VU q = tunePixels<CURVES, HSL>(p, k);
            std::memcpy(out + x, &q, sizeof q);
        }
        if (x < w) { // the row's tail, through a padded block
            std::uint32_t block[kLanes] = {};
            std::copy(in + x, in + w, block);
            VU p;
            std::memcpy(&p, block, sizeof p);
            const VU q = tunePixels<CURVES, HSL>(p, k);
            std::memcpy(block, &q, sizeof q);
            std::copy(block, block + (w - x), out + x);
        }
    }
}

} // namespace

void applyTuning(const QImage& source, QImage& target, const TuningPlan& plan) {
    const Constants k = constantsOf(plan);
    using Fn =
        void (*)(const uchar*, qsizetype, uchar*, qsizetype, int, const Constants&, int, int);
    static const Fn table[4] = {tuneRows<false, false>, tuneRows<false, true>,
                                tuneRows<true, false>, tuneRows<true, true>};
    const int index = (plan.brightnessContrast || plan.balance ? 2 : 0) | (plan.hsl ? 1 : 0);
    const Fn run = table[index];
    uchar* out = target.bits(); // detaches once, before rows are shared out
    const uchar* in = &source == &target ? out : source.constBits();
    const qsizetype inStride = source.bytesPerLine(), outStride = target.bytesPerLine();
    const int w = source.width(), rows = source.height();
    // Large pictures: the lower half on a second thread when the machine has one.
    if (qint64(w) * rows >= 2'000'000 && std::thread::hardware_concurrency() > 1) {
        std::thread lower(run, in, inStride, out, outStride, w, std::cref(k), rows / 2, rows);
        run(in, inStride, out, outStride, w, k, 0, rows / 2);
        lower.join();
    } else {
        run(in, inStride, out, outStride, w, k, 0, rows);
    }
}

} // namespace sc::imaging
