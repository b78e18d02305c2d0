// Pixels of class-library bitmaps that tests paint controls into, read back as
// 0x00RRGGBB and searched for colours; colours between the two orders.
#pragma once

#include "Graphics.h"
#include "Scopes.h"
#include "TestSupport.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>

namespace testsupport {

// 0x00BBGGRR (TColor) from 0xRRGGBB.
inline TColor ToColor(std::uint32_t rgb) {
    return TColor(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}
// 0xRRGGBB of a colour, system colours resolved.
inline std::uint32_t RGBOfColor(TColor c) { return RGBOf(ColorToRGB(c)); }
// Channel i of 0xRRGGBB: 0 blue, 1 green, 2 red.
inline int Ch(std::uint32_t rgb, int i) { return int((rgb >> (8 * i)) & 0xFF); }
// Every channel of A within Tol of B's.
inline bool Near(std::uint32_t A, std::uint32_t B, int Tol = 2) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(Ch(A, i) - Ch(B, i)) > Tol) return false;
    return true;
}

// 0x00RRGGBB of a pixel of a 24- or 32-bit bitmap, read from its rows.
inline std::uint32_t Px(TBitmap& Bmp, int X, int Y) {
    const auto* row = static_cast<const std::uint8_t*>(Bmp.ScanLine(Y));
    const std::uint8_t* p = row + X * (Bmp.PixelFormat() == pf32bit ? 4 : 3);
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

// 0x00RRGGBB of a pixel of a window, frame included, as it is on the screen.
inline std::uint32_t WindowPixel(HWND H, int X, int Y) { return RGBOf(GetPixel(TWindowDC(H), X, Y)); }

// The smallest rectangle holding every pixel of Area for which Match is
// true; empty (0, 0, 0, 0) when there is none. At reads a pixel.
inline TRect FindPixelsBy(const TRect& Area, const std::function<std::uint32_t(int, int)>& At,
                          const std::function<bool(std::uint32_t)>& Match) {
    TRect box{Area.right, Area.bottom, Area.left, Area.top};
    for (int y = Area.top; y < Area.bottom; ++y)
        for (int x = Area.left; x < Area.right; ++x)
            if (Match(At(x, y))) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    if (box.right <= box.left) return TRect{0, 0, 0, 0};
    return box;
}
inline TRect FindPixels(TBitmap& Bmp, const TRect& Area, const std::function<bool(std::uint32_t)>& Match) {
    return FindPixelsBy(
        Area, [&Bmp](int X, int Y) { return Px(Bmp, X, Y); }, Match);
}

inline TRect FindColor(TBitmap& Bmp, const TRect& Area, std::uint32_t Rgb) {
    return FindPixels(Bmp, Area, [Rgb](std::uint32_t p) { return p == Rgb; });
}
// The same in a picture read back from the screen; the whole picture when
// Area is empty.
inline TRect FindColor(const Picture& P, TRect Area, std::uint32_t Rgb) {
    if (Area.right <= Area.left) Area = TRect{0, 0, P.Width, P.Height};
    return FindPixelsBy(
        Area, [&P](int X, int Y) { return P.Pixel(X, Y); }, [Rgb](std::uint32_t p) { return p == Rgb; });
}

// How many pixels of Area (the whole picture when empty) Match.
inline int CountPixels(const Picture& P, TRect Area, const std::function<bool(std::uint32_t)>& Match) {
    if (Area.right <= Area.left) Area = TRect{0, 0, P.Width, P.Height};
    int n = 0;
    for (int y = Area.top; y < Area.bottom; ++y)
        for (int x = Area.left; x < Area.right; ++x) n += Match(P.Pixel(x, y));
    return n;
}

}  // namespace testsupport
