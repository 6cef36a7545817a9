#include "imaging/BitmapRows.h"

#include <algorithm>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define SC_X86_SHUFFLE 1
#endif

namespace sc::imaging {

namespace {

void widenPortable(const uchar* in, quint32* out, int width) {
    for (int x = 0; x < width; ++x, in += 3)
        out[x] = 0xff000000u | quint32(in[2]) << 16 | quint32(in[1]) << 8 | in[0];
}

#ifdef SC_X86_SHUFFLE
// Eight pixels a step: each 128-bit half takes four pixels (12 bytes) and gains the alpha byte.
// A half loads 16 bytes, so the loop stops while 4 bytes beyond the last pixel it takes are
// still inside the row. Streaming stores need 32-byte aligned targets: the pixels up to that
// boundary go the portable way.
__attribute__((target("avx2"))) void widenAvx2(const uchar* in, quint32* out, int width) {
    const __m256i order = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,
                                           0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m256i alpha = _mm256_set1_epi32(int(0xff000000u));
    int x = std::min(width, int((32 - (reinterpret_cast<quintptr>(out) & 31)) & 31) / 4);
    widenPortable(in, out, x);
    for (; x + 10 <= width; x += 8) {
        const uchar* p = in + 3 * x;
        const __m256i pixels = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(p + 12),
                                                   reinterpret_cast<const __m128i*>(p));
        _mm256_stream_si256(reinterpret_cast<__m256i*>(out + x),
                            _mm256_or_si256(_mm256_shuffle_epi8(pixels, order), alpha));
    }
    _mm_sfence(); // the streamed pixels are in place before anyone reads the row
    widenPortable(in + 3 * x, out + x, width - x);
}
#endif

using WidenFn = void (*)(const uchar*, quint32*, int);

WidenFn widest() {
#ifdef SC_X86_SHUFFLE
    if (__builtin_cpu_supports("avx2"))
        return widenAvx2;
#endif
    return widenPortable;
}

} // namespace

void widenBgrRow(const uchar* in, quint32* out, int width) {
    static const WidenFn widen = widest();
    widen(in, out, width);
}

} // namespace sc::imaging
