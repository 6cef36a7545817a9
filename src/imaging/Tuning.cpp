#include "imaging/Tuning.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <thread>

// One pass for all eight values. Every step is a little float arithmetic with clamps, so the
// compiler runs eight pixels per instruction where the CPU allows (GCC/Clang vector types,
// with an AVX2 clone chosen at run time on x86-64); elsewhere the same code runs per pixel.

namespace sc::imaging {

namespace {

struct Constants {
    // brightness and contrast
    float lift = 0, gain = 1, pivot = 0; // pivot = 128 − 128·gain
    bool threshold = false;
    // balance
    float addR = 0, addG = 0, addB = 0;
    // hue turn in sixths of the circle, saturation (chroma = c·keep + (room − c)·grow)
    float turn = 0, keep = 1, grow = 0;
    // lightness: v·dark + bright·(255 − v)
    float dark = 1, bright = 0;
};

Constants constantsOf(const TuningPlan& p) {
    Constants k;
    const int b = std::clamp(p.brightness, -100, 100), c = std::clamp(p.contrast, -100, 100);
    k.lift = 255.0f * float(b) / 100.0f;
    k.threshold = c == 100;
    k.gain = c > 0 ? (c == 100 ? 1.0f : 100.0f / float(100 - c)) : float(100 + c) / 100.0f;
    k.pivot = 128.0f - 128.0f * k.gain;
    k.addR = 255.0f * float(std::clamp(p.red, -100, 100)) / 100.0f;
    k.addG = 255.0f * float(std::clamp(p.green, -100, 100)) / 100.0f;
    k.addB = 255.0f * float(std::clamp(p.blue, -100, 100)) / 100.0f;
    const int hue = ((p.hue % 360) + 360) % 360;
    k.turn = float(hue) / 60.0f;
    const int s = std::clamp(p.saturation, -100, 100);
    k.keep = s <= 0 ? float(100 + s) / 100.0f : 1.0f;
    k.grow = s > 0 ? float(s) / 100.0f : 0.0f;
    const int l = std::clamp(p.lightness, -100, 100);
    k.dark = l <= 0 ? float(100 + l) / 100.0f : float(100 - l) / 100.0f;
    k.bright = l > 0 ? float(l) / 100.0f * 255.0f : 0.0f;
    return k;
}

#if defined(__GNUC__) && !defined(_MSC_VER) && !defined(SC_SCALAR_TUNING)
#define SC_VECTOR_TUNING 1
// Everything the row loop calls is inlined into it, so each clone of the loop (AVX2 or
// baseline) runs its own copy and no vector crosses a call between clones.
#define SC_INLINE inline __attribute__((always_inline))
#define SC_LAMBDA_INLINE __attribute__((always_inline))
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
#else
#define SC_INLINE inline
#define SC_LAMBDA_INLINE
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
#endif

SC_INLINE VF clamp255(VF v) {
    return vmin(vmax(v, splat(0.0f)), splat(255.0f));
}

// Position on the channel curve of HSL → RGB: the channel is lightness − chroma/2 · t;
// k runs in twelfths of the circle and may be up to one turn too far.
SC_INLINE VF hslCurve(VF k) {
    k = vsel(k >= 12.0f, k - 12.0f, k);
    return vmax(vmin(vmin(k - 3.0f, 9.0f - k), splat(1.0f)), splat(-1.0f));
}

template <bool BC, bool BAL, bool HSL> SC_INLINE VU tunePixels(VU p, const Constants& k) {
    VF r = toF((p >> 16) & 0xffu), g = toF((p >> 8) & 0xffu), b = toF(p & 0xffu);
    if constexpr (BC) {
        auto bc = [&](VF v) SC_LAMBDA_INLINE {
            v = clamp255(v + k.lift);
            if (k.threshold)
                return vsel(v >= 128.0f, splat(255.0f), splat(0.0f));
            return clamp255(v * k.gain + k.pivot);
        };
        r = bc(r), g = bc(g), b = bc(b);
    }
    if constexpr (BAL) {
        r = clamp255(r + k.addR), g = clamp255(g + k.addG), b = clamp255(b + k.addB);
    }
    if constexpr (HSL) {
        const VF mx = vmax(r, vmax(g, b)), mn = vmin(r, vmin(g, b));
        const VF chroma = mx - mn, sum = mx + mn;
        const VI coloured = chroma > 0.0f;
        const VF inverse = 1.0f / vsel(coloured, chroma, splat(1.0f));
        // Hue in sixths of the circle: 0 red, 2 green, 4 blue; turned, then kept in [0, 6).
        VF h = vsel(mx == r, (g - b) * inverse,
                    vsel(mx == g, (b - r) * inverse + 2.0f, (r - g) * inverse + 4.0f));
        h = vsel(h < 0.0f, h + 6.0f, h) + k.turn;
        h = vsel(h >= 6.0f, h - 6.0f, h);
        const VF room = vmin(sum, 510.0f - sum);
        const VF newChroma =
            vsel(coloured, chroma * k.keep + (room - chroma) * k.grow, splat(0.0f));
        // Lightness folded in: (mid − half·t)·dark + bright. Stays within 0 … 255 by itself.
        const VF half = newChroma * (0.5f * k.dark), mid = sum * (0.5f * k.dark) + k.bright;
        const VF h2 = h * 2.0f;
        r = mid - half * hslCurve(h2);
        g = mid - half * hslCurve(h2 + 8.0f);
        b = mid - half * hslCurve(h2 + 4.0f);
    }
    // Rounded to whole levels once, at the end.
    return (VU{} + 0xff000000u) | toU(r + 0.5f) << 16 | toU(g + 0.5f) << 8 | toU(b + 0.5f);
}

template <bool BC, bool BAL, bool HSL>
#if defined(SC_VECTOR_TUNING) && defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx512f", "avx2", "default")))
#endif
void tuneRows(const uchar* source, qsizetype sourceStride, uchar* target,
              qsizetype targetStride, int w, const Constants& k, int from, int to) {
    for (int y = from; y < to; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(source + y * sourceStride);
        auto* out = reinterpret_cast<std::uint32_t*>(target + y * targetStride);
        int x = 0;
        for (; x + kLanes <= w; x += kLanes) {
            VU p;
            std::memcpy(&p, in + x, sizeof p);
            const VU q = tunePixels<BC, BAL, HSL>(p, k);
            std::memcpy(out + x, &q, sizeof q);
        }
        if (x < w) { // the row's tail, through a padded block
            std::uint32_t block[kLanes] = {};
            std::copy(in + x, in + w, block);
            VU p;
            std::memcpy(&p, block, sizeof p);
            const VU q = tunePixels<BC, BAL, HSL>(p, k);
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
    static const Fn table[8] = {tuneRows<false, false, false>, tuneRows<false, false, true>,
                                tuneRows<false, true, false>,  tuneRows<false, true, true>,
                                tuneRows<true, false, false>,  tuneRows<true, false, true>,
                                tuneRows<true, true, false>,   tuneRows<true, true, true>};
    const int index =
        (plan.brightnessContrast ? 4 : 0) | (plan.balance ? 2 : 0) | (plan.hsl ? 1 : 0);
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
