#include "acPixelRows.h"

#include <algorithm>
#include <cstring>

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <immintrin.h>
#endif

namespace {

// Two bytes in each 16-bit lane of a word are worked on at once: a lane holds
// one byte value (<= 255) times a weight (<= 256), which never carries into the
// next lane. Eight bytes per step on any CPU, without vector instructions.
constexpr std::uint64_t kLanes = 0x00FF00FF00FF00FFull;

inline std::uint64_t Load8(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}
inline void Store8(std::uint8_t* p, std::uint64_t v) { std::memcpy(p, &v, 8); }

inline std::uint64_t Mix8(std::uint64_t a, std::uint64_t b, std::uint32_t wa, std::uint32_t wb) {
    const std::uint64_t lo = (((a & kLanes) * wa + (b & kLanes) * wb) >> 8) & kLanes;
    const std::uint64_t hi = ((((a >> 8) & kLanes) * wa + ((b >> 8) & kLanes) * wb)) & ~kLanes;
    return lo | hi;
}

inline bool IsKey(const std::uint8_t* p, std::uint32_t key) {
    return p[2] == (key & 0xFF) && p[1] == ((key >> 8) & 0xFF) && p[0] == ((key >> 16) & 0xFF);
}

inline int ClampWeight(int w) { return w < 0 ? 0 : w > 256 ? 256 : w; }

// Dst := (A x Wa + B x (256 - Wa)) / 256 per byte, the one kernel every
// blend of rows comes down to.
void MixPortable(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, std::size_t bytes, std::uint32_t wa) {
    const std::uint32_t wb = 256 - wa;
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) Store8(dst + i, Mix8(Load8(a + i), Load8(b + i), wa, wb));
    for (; i < bytes; ++i) dst[i] = std::uint8_t((a[i] * wa + b[i] * wb) >> 8);
}

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#define AC_HAVE_SSE2_KERNEL 1
// Sixteen bytes per step with SSE2, which every x86-64 CPU and every x86 CPU
// of this century has; the 32-bit build checks for it once.
__attribute__((target("sse2"))) void MixSse2(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b,
                                             std::size_t bytes, std::uint32_t wa) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i wA = _mm_set1_epi16(short(wa)), wB = _mm_set1_epi16(short(256 - wa));
    std::size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(va, zero), wA),
                                                        _mm_mullo_epi16(_mm_unpacklo_epi8(vb, zero), wB)),
                                          8);
        const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(va, zero), wA),
                                                        _mm_mullo_epi16(_mm_unpackhi_epi8(vb, zero), wB)),
                                          8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
    }
    if (i < bytes) MixPortable(dst + i, a + i, b + i, bytes - i, wa);
}

bool HaveSse2() {
#if defined(__x86_64__) || defined(__SSE2__)
    return true;
#else
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse2") != 0;
    }();
    return have;
#endif
}
#endif

#ifdef AC_HAVE_SSE2_KERNEL
// Thirty-two bytes per step where the CPU has AVX2, by the same arithmetic as
// the SSE2 kernel (the 256-bit unpack and pack work within 128-bit halves, so
// bytes come back in their order). Everything stays in registers: nothing
// 256 bits wide is put on the stack, whose 32-byte alignment Windows does not promise.
__attribute__((target("avx2"))) void MixAvx2(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b,
                                             std::size_t bytes, std::uint32_t wa) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i wA = _mm256_set1_epi16(short(wa)), wB = _mm256_set1_epi16(short(256 - wa));
    std::size_t i = 0;
    for (; i + 32 <= bytes; i += 32) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        const __m256i lo = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(va, zero), wA),
                                                              _mm256_mullo_epi16(_mm256_unpacklo_epi8(vb, zero), wB)),
                                             8);
        const __m256i hi = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(va, zero), wA),
                                                              _mm256_mullo_epi16(_mm256_unpackhi_epi8(vb, zero), wB)),
                                             8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(lo, hi));
    }
    _mm256_zeroupper();
    if (i < bytes) MixSse2(dst + i, a + i, b + i, bytes - i, wa);
}

bool HaveAvx2() {
    // Asked once: the answer includes whether the system saves the wide registers.
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return have;
}
#endif

void MixWith(TacMixKernel kernel, std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, std::size_t bytes,
             std::uint32_t wa) {
    switch (kernel) {
#ifdef AC_HAVE_SSE2_KERNEL
        case mkAvx2: MixAvx2(dst, a, b, bytes, wa); return;
        case mkSse2: MixSse2(dst, a, b, bytes, wa); return;
#endif
        default: MixPortable(dst, a, b, bytes, wa);
    }
}

TacMixKernel BestKernel() {
    static const TacMixKernel best = [] {
        for (TacMixKernel k : {mkAvx2, mkSse2})
            if (acMixKernelAvailable(k)) return k;
        return mkPortable;
    }();
    return best;
}

void Mix(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, std::size_t bytes, std::uint32_t wa) {
    // Short runs (single pixels of keyed rows) are not worth a wide kernel.
    MixWith(bytes >= 16 ? BestKernel() : mkPortable, dst, a, b, bytes, wa);
}

}  // namespace

bool acMixKernelAvailable(TacMixKernel Kernel) {
    switch (Kernel) {
        case mkPortable: return true;
#ifdef AC_HAVE_SSE2_KERNEL
        case mkSse2: return HaveSse2();
        case mkAvx2: return HaveSse2() && HaveAvx2();
#endif
        default: return false;
    }
}

void acMixBytesWith(TacMixKernel Kernel, std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b,
                    std::size_t bytes, int weightA) {
    if (!acMixKernelAvailable(Kernel)) Kernel = mkPortable;
    MixWith(Kernel, dst, a, b, bytes, std::uint32_t(ClampWeight(weightA)));
}

TacRows24 acRowsOf(TacBmpImage& image) {
    TacRows24 r;
    if (image.Empty()) return r;
    r.Bits = image.Pixels.data();
    r.Width = image.Width;
    r.Height = image.Height;
    r.Stride = std::ptrdiff_t(image.Width) * 3;
    return r;
}

TacRows24 acRowsOf(const TacBmpImage& image) { return acRowsOf(const_cast<TacBmpImage&>(image)); }

namespace {
// One axis of a span cut to [0, dstSize) and [0, srcSize), worked in 64 bits:
// coordinates anywhere in the int range (negating INT_MIN, or moving a corner
// near INT_MAX on) would overflow in int.
bool ClipAxis(int& dst, int& src, int& len, int dstSize, int srcSize) {
    std::int64_t d = dst, s = src, n = len;
    const std::int64_t cut = std::max<std::int64_t>({0, -d, -s});
    d += cut, s += cut, n -= cut;
    n = std::min<std::int64_t>({n, std::int64_t(dstSize) - d, std::int64_t(srcSize) - s});
    if (n <= 0) return false;
    dst = int(d), src = int(s), len = int(n);  // all inside the pictures now
    return true;
}
}  // namespace

TacSpan acClipSpan(TacSpan s, int dstW, int dstH, int srcW, int srcH) {
    if (s.W <= 0 || s.H <= 0) return TacSpan{};
    if (!ClipAxis(s.DstX, s.SrcX, s.W, dstW, srcW) || !ClipAxis(s.DstY, s.SrcY, s.H, dstH, srcH)) return TacSpan{};
    return s;
}

void acBlendBytes(std::uint8_t* dst, const std::uint8_t* src, std::size_t bytes, int weight) {
    weight = ClampWeight(weight);
    if (weight == 0) return;
    if (weight == 256) {
        std::memmove(dst, src, bytes);
        return;
    }
    Mix(dst, src, dst, bytes, std::uint32_t(weight));
}

void acMixBytes(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, std::size_t bytes, int weightA) {
    weightA = ClampWeight(weightA);
    if (weightA == 256) {
        if (dst != a) std::memmove(dst, a, bytes);
        return;
    }
    if (weightA == 0) {
        if (dst != b) std::memmove(dst, b, bytes);
        return;
    }
    Mix(dst, a, b, bytes, std::uint32_t(weightA));
}

void acBlendColorRow(std::uint8_t* dst, int pixels, std::uint32_t color, int weight) {
    weight = ClampWeight(weight);
    if (weight == 0 || pixels <= 0) return;
    if (weight == 256) {
        acFillRow(dst, pixels, color);
        return;
    }
    const std::uint32_t w = std::uint32_t(weight), wd = 256 - w;
    const std::uint32_t cb = ((color >> 16) & 0xFF) * w, cg = ((color >> 8) & 0xFF) * w, cr = (color & 0xFF) * w;
    for (int x = 0; x < pixels; ++x, dst += 3) {
        dst[0] = std::uint8_t((cb + dst[0] * wd) >> 8);
        dst[1] = std::uint8_t((cg + dst[1] * wd) >> 8);
        dst[2] = std::uint8_t((cr + dst[2] * wd) >> 8);
    }
}

bool acPlainMiddle(const TacRows24& Rows, int X, int Y, int W, int H, int MaxEdge, TacPlainMiddle& Middle) {
    if (Rows.Empty() || W <= 0 || H <= 0 || X < 0 || Y < 0 || X + W > Rows.Width || Y + H > Rows.Height) return false;
    // The colour of the middle, and how far in from each side along the
    // middle row and column it starts.
    const int cx = X + W / 2, cy = Y + H / 2;
    const std::uint32_t color = Rows.ColorAt(cx, cy);
    TacPlainMiddle m{color};
    while (m.Left < MaxEdge && m.Left < W / 2 && Rows.ColorAt(X + m.Left, cy) != color) ++m.Left;
    while (m.Right < MaxEdge && m.Right < W / 2 && Rows.ColorAt(X + W - 1 - m.Right, cy) != color) ++m.Right;
    while (m.Top < MaxEdge && m.Top < H / 2 && Rows.ColorAt(cx, Y + m.Top) != color) ++m.Top;
    while (m.Bottom < MaxEdge && m.Bottom < H / 2 && Rows.ColorAt(cx, Y + H - 1 - m.Bottom) != color) ++m.Bottom;
    // Then all of what lies inside: its first row pixel by pixel, every other
    // row against it (most pictures differ within the first few pixels; a
    // plain one costs one pass of memcmp).
    const int x0 = X + m.Left, y0 = Y + m.Top, w = W - m.Left - m.Right, h = H - m.Top - m.Bottom;
    if (w <= 0 || h <= 0) return false;
    const std::uint8_t* first = Rows.At(x0, y0);
    for (int x = 0; x < w; ++x)
        if (Rows.ColorAt(x0 + x, y0) != color) return false;
    const std::size_t bytes = std::size_t(w) * 3;
    for (int y = y0 + 1; y < y0 + h; ++y)
        if (std::memcmp(first, Rows.At(x0, y), bytes) != 0) return false;
    Middle = m;
    return true;
}

void acFillRow(std::uint8_t* dst, int pixels, std::uint32_t color) {
    if (pixels <= 0) return;
    const std::uint8_t px[3] = {std::uint8_t(color >> 16), std::uint8_t(color >> 8), std::uint8_t(color)};
    // One pixel, then doubling copies: a few memcpy calls fill the row.
    std::memcpy(dst, px, 3);
    std::size_t done = 3;
    const std::size_t total = std::size_t(pixels) * 3;
    while (done < total) {
        const std::size_t n = std::min(done, total - done);
        std::memcpy(dst + done, dst, n);
        done += n;
    }
}

void acCopyRowKeyed(std::uint8_t* dst, const std::uint8_t* src, int pixels, std::uint32_t key) {
    if (key == acNoKey) {
        if (pixels > 0) std::memmove(dst, src, std::size_t(pixels) * 3);
        return;
    }
    // Runs of plain pixels go in one copy.
    int x = 0;
    while (x < pixels) {
        while (x < pixels && IsKey(src + x * 3, key)) ++x;
        const int start = x;
        while (x < pixels && !IsKey(src + x * 3, key)) ++x;
        if (x > start) std::memmove(dst + start * 3, src + start * 3, std::size_t(x - start) * 3);
    }
}

void acCopyRowKeyedBack(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* back, int pixels,
                        std::uint32_t key) {
    for (int x = 0; x < pixels; ++x, dst += 3, src += 3, back += 3) {
        const std::uint8_t* from = IsKey(src, key) ? back : src;
        dst[0] = from[0];
        dst[1] = from[1];
        dst[2] = from[2];
    }
}

void acBlendRowKeyed(std::uint8_t* dst, const std::uint8_t* src, int pixels, int weight, std::uint32_t key,
                     bool keyInDst) {
    weight = ClampWeight(weight);
    if (weight == 0 || pixels <= 0) return;
    if (key == acNoKey) {
        acBlendBytes(dst, src, std::size_t(pixels) * 3, weight);
        return;
    }
    int x = 0;
    while (x < pixels) {
        auto keyed = [&](int i) { return IsKey((keyInDst ? dst : src) + i * 3, key); };
        while (x < pixels && keyed(x)) ++x;
        const int start = x;
        while (x < pixels && !keyed(x)) ++x;
        if (x > start) acBlendBytes(dst + start * 3, src + start * 3, std::size_t(x - start) * 3, weight);
    }
}

void acMaskRow(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* mask, int pixels, std::uint32_t key) {
    for (int x = 0; x < pixels; ++x, dst += 3, src += 3, mask += 3) {
        if (key != acNoKey && IsKey(src, key)) continue;
        for (int c = 0; c < 3; ++c) {
            const int w = acWeightOfOpacity(mask[c]);
            dst[c] = std::uint8_t(dst[c] + (((int(src[c]) - int(dst[c])) * w) >> 8));
        }
    }
}

void acMaskRow256(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* mask, int pixels) {
    for (int i = 0, n = pixels * 3; i < n; ++i) {
        const int v = int(dst[i]) + (int(src[i]) - int(dst[i])) * int(mask[i]) / 256;
        dst[i] = std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
    }
}

void acGrayRow(std::uint8_t* dst, int pixels) {
    for (int x = 0; x < pixels; ++x, dst += 3) {
        // ITU-R 601 weights in 1/256.
        const std::uint8_t g = std::uint8_t((dst[0] * 29 + dst[1] * 150 + dst[2] * 77) >> 8);
        dst[0] = dst[1] = dst[2] = g;
    }
}

void acStretchRow(std::uint8_t* dst, int dstPixels, const std::uint8_t* src, int srcPixels) {
    if (dstPixels <= 0 || srcPixels <= 0) return;
    if (dstPixels == srcPixels) {
        std::memmove(dst, src, std::size_t(dstPixels) * 3);
        return;
    }
    for (int x = 0; x < dstPixels; ++x, dst += 3) {
        const std::uint8_t* p = src + (std::int64_t(x) * srcPixels / dstPixels) * 3;
        dst[0] = p[0];
        dst[1] = p[1];
        dst[2] = p[2];
    }
}

void acCopyRect(const TacRows24& dst, const TacRows24& src, TacSpan span, std::uint32_t key) {
    if (dst.Empty() || src.Empty()) return;
    span = acClipSpan(span, dst.Width, dst.Height, src.Width, src.Height);
    for (int y = 0; y < span.H; ++y)
        acCopyRowKeyed(dst.At(span.DstX, span.DstY + y), src.At(span.SrcX, span.SrcY + y), span.W, key);
}

void acBlendRect(const TacRows24& dst, const TacRows24& src, TacSpan span, int weight, std::uint32_t key) {
    if (dst.Empty() || src.Empty()) return;
    span = acClipSpan(span, dst.Width, dst.Height, src.Width, src.Height);
    for (int y = 0; y < span.H; ++y)
        acBlendRowKeyed(dst.At(span.DstX, span.DstY + y), src.At(span.SrcX, span.SrcY + y), span.W, weight, key, false);
}

void acFillRect(const TacRows24& dst, int x, int y, int w, int h, std::uint32_t color, int weight) {
    if (dst.Empty()) return;
    TacSpan s = acClipSpan(TacSpan{x, y, x, y, w, h}, dst.Width, dst.Height, dst.Width, dst.Height);
    for (int row = 0; row < s.H; ++row) acBlendColorRow(dst.At(s.DstX, s.DstY + row), s.W, color, weight);
}
