// One fade frame: two 24-bit 800 x 600 pictures blended into a third, by the
// engine's row blender and by the fade routine, against memcpy of the same
// bytes and GDI's AlphaBlend on the same bitmaps.
#include "BenchTimer.h"
#include "sAlphaGraph.h"
#include "sFade.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr int kW = 800, kH = 600;

std::unique_ptr<TBitmap> Picture(int seed) {
    auto b = std::make_unique<TBitmap>(kW, kH, pf24bit);
    auto* p = static_cast<std::uint8_t*>(b->ScanLine(0));
    const std::size_t n = std::size_t(b->BytesPerScanLine()) * kH;
    std::uint32_t v = 2463534242u + std::uint32_t(seed);
    for (std::size_t i = 0; i < n; ++i) {
        v ^= v << 13, v ^= v >> 17, v ^= v << 5;
        p[i] = std::uint8_t(v);
    }
    return b;
}

}  // namespace

int main() {
    auto oldPic = Picture(1), newPic = Picture(2), frame = Picture(3);
    const std::size_t bytes = std::size_t(frame->BytesPerScanLine()) * kH;
    auto* dst = static_cast<std::uint8_t*>(frame->ScanLine(0));
    const auto* src = static_cast<const std::uint8_t*>(newPic->ScanLine(0));
    const int runs = 60;

    const double copy = BestMicroseconds(runs, [&] { std::memcpy(dst, src, bytes); });
    const double blend = BestMicroseconds(runs, [&] { BlendBitmaps(frame.get(), oldPic.get(), newPic.get(), 100); });
    const double fade = BestMicroseconds(runs, [&] { BlendFadeFrame(frame.get(), oldPic.get(), newPic.get(), 100); });
    HDC frameDC = frame->Canvas()->Handle();
    HDC oldDC = oldPic->Canvas()->Handle();
    const BLENDFUNCTION bf{AC_SRC_OVER, 0, 100, 0};
    const double gdi = BestMicroseconds(runs, [&] {
        AlphaBlend(frameDC, 0, 0, kW, kH, oldDC, 0, 0, kW, kH, bf);
        GdiFlush();
    });

    std::printf("One fade frame, 800 x 600 x 24 bits (%u bytes), best of %d runs:\n", unsigned(bytes), runs);
    std::printf("  memcpy of the bytes          %9.1f us   1.00\n", copy);
    std::printf("  BlendBitmaps (row blender)   %9.1f us  %5.2f x memcpy\n", blend, blend / copy);
    std::printf("  BlendFadeFrame (fade timer)  %9.1f us  %5.2f x memcpy\n", fade, fade / copy);
    std::printf("  GDI AlphaBlend, in place     %9.1f us  %5.2f x memcpy\n", gdi, gdi / copy);
    std::printf("  BlendBitmaps / AlphaBlend    %9.2f\n", blend / gdi);
    ReportRatio("fade.frame", fade, copy, 2.0);
    // Each kernel of the row blender alone over the same bytes (the fade uses the widest the CPU runs).
    const auto* a = static_cast<const std::uint8_t*>(oldPic->ScanLine(0));
    const struct {
        TacMixKernel Kernel;
        const char* Name;
    } kernels[] = {{mkPortable, "portable"}, {mkSse2, "SSE2"}, {mkAvx2, "AVX2"}};
    for (const auto& k : kernels) {
        if (!acMixKernelAvailable(k.Kernel)) {
            std::printf("  mix kernel %-8s           (not on this CPU)\n", k.Name);
            continue;
        }
        const double t = BestMicroseconds(runs, [&] { acMixBytesWith(k.Kernel, dst, a, src, bytes, 100); });
        std::printf("  mix kernel %-8s          %9.1f us  %5.2f x memcpy\n", k.Name, t, t / copy);
    }
    return 0;
}
