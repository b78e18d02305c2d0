// Platform-free arithmetic on 24-bit pixel rows (B, G, R bytes): blending,
// keyed copies, grey and mask mixing, with clipping of rectangles to pictures.
#pragma once

#include "acBmpFile.h"

#include <cstddef>
#include <cstdint>

// A view on rows of 24-bit BGR pixels owned by someone else (a DIB section,
// a decoded skin picture). Stride is the distance between rows in bytes.
struct TacRows24 {
    std::uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t Stride = 0;

    bool Empty() const { return !Bits || Width <= 0 || Height <= 0; }
    std::uint8_t* Row(int y) const { return Bits + std::ptrdiff_t(y) * Stride; }
    std::uint8_t* At(int x, int y) const { return Row(y) + std::ptrdiff_t(x) * 3; }
    // 0x00BBGGRR (a COLORREF) of a pixel inside the view.
    std::uint32_t ColorAt(int x, int y) const {
        const std::uint8_t* p = At(x, y);
        return std::uint32_t(p[2]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[0]) << 16);
    }
};

// A view on a decoded picture. The const form is for reading only.
TacRows24 acRowsOf(TacBmpImage& image);
TacRows24 acRowsOf(const TacBmpImage& image);

// A rectangle of WxH pixels to move from (SrcX, SrcY) of one picture to
// (DstX, DstY) of another.
struct TacSpan {
    int DstX = 0, DstY = 0, SrcX = 0, SrcY = 0, W = 0, H = 0;
    bool Empty() const { return W <= 0 || H <= 0; }
};
// Cuts a span to the parts that lie inside both pictures (DstW x DstH and
// SrcW x SrcH); the result may be empty.
TacSpan acClipSpan(TacSpan s, int dstW, int dstH, int srcW, int srcH);

// The colour key of the skins, and "no key".
constexpr std::uint32_t acKeyColor = 0xFF00FF;
constexpr std::uint32_t acNoKey = 0xFFFFFFFF;

// Weights are 0..256: 0 keeps the destination, 256 takes the other value.
// Percentages of see-through (0..100) and transparency values (0..255) turn
// into the weight of the painted picture.
inline int acWeightOfTransparencyPercent(int percent) {
    percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    return ((100 - percent) * 256 + 50) / 100;
}
inline int acWeightOfTransparency255(int transparency) {
    transparency = transparency < 0 ? 0 : transparency > 255 ? 255 : transparency;
    const int a = 255 - transparency;
    return a + (a >> 7);
}
// An opacity byte (0 transparent, 255 opaque) as a weight, so that 255 is exact.
inline int acWeightOfOpacity(int opacity) { return opacity + (opacity >> 7); }

// Dst bytes := Dst + (Src - Dst) x Weight / 256, rounded down; Bytes of each.
void acBlendBytes(std::uint8_t* dst, const std::uint8_t* src, std::size_t bytes, int weight);
// Dst bytes := (A x WeightA + B x (256 - WeightA)) / 256, rounded down.
// Dst may be A or B. The widest kernel the CPU runs does the work.
void acMixBytes(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, std::size_t bytes, int weightA);
// The kernels behind it, which give the same bytes: for comparing them.
enum TacMixKernel { mkPortable, mkSse2, mkAvx2 };
bool acMixKernelAvailable(TacMixKernel Kernel);
// acMixBytes by one kernel (the portable one where Kernel is not available).
void acMixBytesWith(TacMixKernel Kernel, std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b,
                    std::size_t bytes, int weightA);
// Every pixel moved toward one colour (0x00BBGGRR) by Weight.
void acBlendColorRow(std::uint8_t* dst, int pixels, std::uint32_t color, int weight);
// Every pixel set to one colour (0x00BBGGRR).
void acFillRow(std::uint8_t* dst, int pixels, std::uint32_t color);
// A block of one colour (0x00BBGGRR) in a picture, and how many rows and
// columns of the block that was asked about lie outside it on each side.
struct TacPlainMiddle {
    std::uint32_t Color = 0;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
// True when the W x H block at (X, Y), which lies wholly inside Rows, is of
// one colour but for at most MaxEdge rows or columns along each of its sides
// (a frame's inner line showing there); Middle tells the colour and the edges.
bool acPlainMiddle(const TacRows24& Rows, int X, int Y, int W, int H, int MaxEdge, TacPlainMiddle& Middle);
// Pixels copied except those of the key colour (0x00BBGGRR) in Src.
void acCopyRowKeyed(std::uint8_t* dst, const std::uint8_t* src, int pixels, std::uint32_t key);
// Like acCopyRowKeyed, but a key pixel takes the pixel of Back instead.
void acCopyRowKeyedBack(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* back, int pixels,
                        std::uint32_t key);
// Blend by Weight, leaving out the pixels where Skip (Dst or Src) holds the key.
void acBlendRowKeyed(std::uint8_t* dst, const std::uint8_t* src, int pixels, int weight, std::uint32_t key,
                     bool keyInDst);
// Dst moved toward Src by an opacity per pixel and channel read from Mask
// (0 keeps Dst, 255 takes Src); key pixels of Src are left out.
void acMaskRow(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* mask, int pixels, std::uint32_t key);
// The literal mix "old + (image - old) x mask / 256", truncated toward zero
// and clamped, each channel by the same channel of Mask.
void acMaskRow256(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* mask, int pixels);
// Each pixel made grey (R = G = B) by its luminance.
void acGrayRow(std::uint8_t* dst, int pixels);
// Dst := Src stretched (nearest pixel) from SrcPixels to DstPixels.
void acStretchRow(std::uint8_t* dst, int dstPixels, const std::uint8_t* src, int srcPixels);

// Rectangles of views. Each clips itself; nothing is written outside Dst.
// Copies Src's span onto Dst, leaving out Key pixels (acNoKey: none).
void acCopyRect(const TacRows24& dst, const TacRows24& src, TacSpan span, std::uint32_t key = acNoKey);
// Blends Src's span onto Dst by Weight, leaving out Key pixels of Src.
void acBlendRect(const TacRows24& dst, const TacRows24& src, TacSpan span, int weight, std::uint32_t key = acNoKey);
// Fills a rectangle of Dst with a colour, blended by Weight (256: plain fill).
void acFillRect(const TacRows24& dst, int x, int y, int w, int h, std::uint32_t color, int weight = 256);
