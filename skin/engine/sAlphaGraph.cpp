#include "sAlphaGraph.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

int Channel(std::uint32_t c, int i) { return int((c >> (8 * i)) & 0xFF); }

// Nearest integer, a half rounded up. Mixing by factors such as 0.9 gives
// exact halves often, and as 0.9 is not exact in binary the computed value
// may miss the half by its last bits: values within 2^-21 of a multiple of
// 2^-20 are taken as that multiple first, so that every build rounds a half
// the same way.
long RoundHalfUp(double v) { return long(std::floor(std::nearbyint(v * 1048576.0) / 1048576.0 + 0.5)); }

// The weight of the painted picture for a share (0..1) of it.
int WeightOfShare(double share) {
    if (!(share > 0)) return 0;
    if (share >= 1) return 256;
    return int(std::lround(share * 256.0));
}

}  // namespace

TacRows24 RowsOf(TBitmap* Bmp) {
    TacRows24 r;
    if (!Bmp || Bmp->Empty() || Bmp->PixelFormat() != pf24bit || Bmp->Width() <= 0 || Bmp->Height() <= 0) return r;
    // ScanLine flushes pending GDI drawing, so the rows seen here are current.
    r.Bits = static_cast<std::uint8_t*>(Bmp->ScanLine(0));
    r.Width = Bmp->Width();
    r.Height = Bmp->Height();
    r.Stride = Bmp->BytesPerScanLine();
    return r;
}

std::uint32_t PixelColor(TColor Color) { return std::uint32_t(ColorToRGB(Color)) & 0xFFFFFF; }

TColor MixColors(TColor Color1, TColor Color2, double Factor) {
    const std::uint32_t a = ColorToRGB(Color1), b = ColorToRGB(Color2);
    std::uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
        const double v = Channel(b, i) + (Channel(a, i) - Channel(b, i)) * Factor;
        const long c = RoundHalfUp(v);
        out |= std::uint32_t(std::clamp<long>(c, 0, 255)) << (8 * i);
    }
    return TColor(out);
}

TColor MixColorsHalf(TColor Color1, TColor Color2) {
    const std::uint32_t a = ColorToRGB(Color1), b = ColorToRGB(Color2);
    std::uint32_t out = 0;
    for (int i = 0; i < 3; ++i) out |= std::uint32_t((Channel(a, i) * 127 + Channel(b, i) * 129) >> 8) << (8 * i);
    return TColor(out);
}

std::unique_ptr<TBitmap> NewBitmap24(int Width, int Height) {
    return std::make_unique<TBitmap>(std::max(0, Width), std::max(0, Height), pf24bit);
}

void BlendBitmapRect(TBitmap* Bitmap, int X, int Y, TColor KeyColour, double Factor, const TRect& R, TBitmap* Source) {
    const TacRows24 dst = RowsOf(Bitmap), src = RowsOf(Source);
    if (dst.Empty() || src.Empty() || R.right <= R.left || R.bottom <= R.top) return;
    const TacSpan s = acClipSpan(TacSpan{X, Y, R.left, R.top, R.right - R.left, R.bottom - R.top}, dst.Width,
                                 dst.Height, src.Width, src.Height);
    const std::uint32_t key = KeyColour == clNone ? acNoKey : PixelColor(KeyColour);
    const int weight = WeightOfShare(Factor);
    for (int y = 0; y < s.H; ++y)
        acBlendRowKeyed(dst.At(s.DstX, s.DstY + y), src.At(s.SrcX, s.SrcY + y), s.W, weight, key, true);
}

void BlendBitmapAt(TBitmap* Bitmap, TBitmap* Source, int Transparency, TPoint P, const TRect& R) {
    const TacRows24 dst = RowsOf(Bitmap), src = RowsOf(Source);
    if (dst.Empty() || src.Empty() || R.right <= R.left || R.bottom <= R.top) return;
    acBlendRect(dst, src, TacSpan{P.x, P.y, R.left, R.top, R.right - R.left, R.bottom - R.top},
                acWeightOfTransparency255(Transparency));
}

void BlendBitmaps(TBitmap* Dst, TBitmap* Old, TBitmap* New, int Alpha) {
    const TacRows24 d = RowsOf(Dst), a = RowsOf(Old), b = RowsOf(New);
    if (d.Empty() || a.Empty() || b.Empty()) return;
    const int w = std::min({d.Width, a.Width, b.Width}), h = std::min({d.Height, a.Height, b.Height});
    const std::size_t bytes = std::size_t(w) * 3;
    for (int y = 0; y < h; ++y) acMixBytes(d.Row(y), a.Row(y), b.Row(y), bytes, Alpha);
}

void CopyBitmapRows(TBitmap* Dst, TBitmap* Src, int X, int Y, TColor TransparentColor) {
    const TacRows24 d = RowsOf(Dst), s = RowsOf(Src);
    if (d.Empty() || s.Empty()) return;
    acCopyRect(d, s, TacSpan{X, Y, 0, 0, s.Width, s.Height},
               TransparentColor == clNone ? acNoKey : PixelColor(TransparentColor));
}

void CopyTransparentRect(TBitmap* Dest, TBitmap* Src, TPoint P, const TRect& SrcRect, TColor TransparentColor,
                         TBitmap* Back, TPoint BackOffset) {
    const TacRows24 d = RowsOf(Dest), s = RowsOf(Src);
    if (d.Empty() || s.Empty() || SrcRect.right <= SrcRect.left || SrcRect.bottom <= SrcRect.top) return;
    const std::uint32_t key = TransparentColor == clNone ? acNoKey : PixelColor(TransparentColor);
    TacSpan span = acClipSpan(
        TacSpan{P.x, P.y, SrcRect.left, SrcRect.top, SrcRect.right - SrcRect.left, SrcRect.bottom - SrcRect.top},
        d.Width, d.Height, s.Width, s.Height);
    if (span.Empty()) return;
    const TacRows24 b = Back && Back != Dest ? RowsOf(Back) : TacRows24{};
    for (int y = 0; y < span.H; ++y) {
        const int dy = span.DstY + y;
        std::uint8_t* dst = d.At(span.DstX, dy);
        const std::uint8_t* src = s.At(span.SrcX, span.SrcY + y);
        if (key == acNoKey || b.Empty()) {
            acCopyRowKeyed(dst, src, span.W, key);
            continue;
        }
        // The part of the row that the background covers takes its pixels
        // for the key; outside it key pixels are left out as without one.
        const int by = dy + BackOffset.y;
        int from = 0, to = 0;
        if (by >= 0 && by < b.Height) {
            const int bx0 = span.DstX + BackOffset.x;
            from = std::clamp(-bx0, 0, span.W);
            to = std::clamp(b.Width - bx0, from, span.W);
        }
        acCopyRowKeyed(dst, src, from, key);
        if (to > from)
            acCopyRowKeyedBack(dst + from * 3, src + from * 3, b.At(span.DstX + BackOffset.x + from, by), to - from,
                               key);
        acCopyRowKeyed(dst + to * 3, src + to * 3, span.W - to, key);
    }
}

void BlendRectThroughMask(const TRect& DestRect, const TRect& SourceRect, TBitmap* Dest, TBitmap* Source, int) {
    const TacRows24 d = RowsOf(Dest), s = RowsOf(Source);
    if (d.Empty() || s.Empty() || Dest == Source) return;
    const int half = s.Height / 2;
    if (half <= 0) return;
    const int w = std::min(DestRect.right - DestRect.left, SourceRect.right - SourceRect.left);
    const int h = std::min(DestRect.bottom - DestRect.top, SourceRect.bottom - SourceRect.top);
    // The picture is the upper half only: its mask must lie in the lower one.
    const TacSpan span = acClipSpan(TacSpan{DestRect.left, DestRect.top, SourceRect.left, SourceRect.top, w, h},
                                    d.Width, d.Height, s.Width, half);
    for (int y = 0; y < span.H; ++y)
        acMaskRow256(d.At(span.DstX, span.DstY + y), s.At(span.SrcX, span.SrcY + y),
                     s.At(span.SrcX, span.SrcY + y + half), span.W);
}

void PaintFadingRoundRect(TBitmap* Bitmap, const TRect& Rc, int Transparency, int Radius, int FadeWidth, TColor Color) {
    const TacRows24 d = RowsOf(Bitmap);
    if (d.Empty() || Rc.right <= Rc.left || Rc.bottom <= Rc.top) return;
    struct {
        int left, top, right, bottom;
    } R{int(Rc.left), int(Rc.top), int(Rc.right), int(Rc.bottom)};
    const int full = acWeightOfTransparencyPercent(Transparency);
    if (full == 0) return;
    const std::uint32_t color = PixelColor(Color);
    Radius = std::clamp(Radius, 0, std::min(R.right - R.left, R.bottom - R.top) / 2);
    FadeWidth = std::max(0, FadeWidth);
    if (Radius == 0 && FadeWidth == 0) {
        acFillRect(d, R.left, R.top, R.right - R.left, R.bottom - R.top, color, full);
        return;
    }
    // Pixels further than Band from every edge get the full weight; only the
    // band round the edge is weighed pixel by pixel.
    const int band = std::max(Radius, FadeWidth);
    const int x0 = std::max(0, R.left), x1 = std::min(d.Width, R.right);
    const int y0 = std::max(0, R.top), y1 = std::min(d.Height, R.bottom);
    auto weightAt = [&](int x, int y) {
        const int dx = std::min(x - R.left, R.right - 1 - x), dy = std::min(y - R.top, R.bottom - 1 - y);
        if (dx >= Radius || dy >= Radius) {
            // Along a straight edge the depth is whole: weighed in integers.
            const int inside = std::min(dx, dy) + 1;
            return FadeWidth == 0 || inside >= FadeWidth ? full : full * inside / FadeWidth;
        }
        // In a corner: how deep the pixel lies inside the arc, >0 inside.
        const double cx = Radius - dx - 0.5, cy = Radius - dy - 0.5;
        const double inside = Radius - std::sqrt(cx * cx + cy * cy) + 0.5;
        if (inside <= 0) return 0;
        if (FadeWidth == 0 || inside >= FadeWidth) return inside >= 1 ? full : int(full * inside);
        return int(full * inside / FadeWidth);
    };
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* row = d.Row(y);
        const bool edgeRow = y - R.top < band || R.bottom - 1 - y < band;
        for (int x = x0; x < x1;) {
            if (!edgeRow && x - R.left >= band && R.right - 1 - x >= band) {
                const int end = std::min(x1, R.right - band);
                acBlendColorRow(row + x * 3, end - x, color, full);
                x = end;
                continue;
            }
            acBlendColorRow(row + x * 3, 1, color, weightAt(x, y));
            ++x;
        }
    }
}

void FillDC(HDC DC, const TRect& R, TColor Color) {
    if (!DC || R.right <= R.left || R.bottom <= R.top) return;
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    if (!brush) return;
    FillRect(DC, &R, brush);
    DeleteObject(brush);
}

void Frame3DOnDC(HDC DC, TRect& R, TColor TopLeftColour, int Width, TColor BottomRightColour) {
    if (!DC || Width <= 0) return;
    HBRUSH tl = CreateSolidBrush(ColorToRGB(TopLeftColour));
    HBRUSH br = CreateSolidBrush(ColorToRGB(BottomRightColour));
    for (int i = 0; i < Width && R.right > R.left && R.bottom > R.top; ++i) {
        const TRect top{R.left, R.top, R.right - 1, R.top + 1}, left{R.left, R.top, R.left + 1, R.bottom - 1};
        const TRect right{R.right - 1, R.top, R.right, R.bottom}, bottom{R.left, R.bottom - 1, R.right, R.bottom};
        FillRect(DC, &top, tl);
        FillRect(DC, &left, tl);
        FillRect(DC, &right, br);
        FillRect(DC, &bottom, br);
        InflateRect(&R, -1, -1);
    }
    DeleteObject(tl);
    DeleteObject(br);
}

namespace {

// The frame's pixels in order round the edge, each once.
std::vector<POINT> FramePoints(const TRect& R) {
    std::vector<POINT> pts;
    const int l = R.left, t = R.top, r = R.right - 1, b = R.bottom - 1;
    if (r < l || b < t) return pts;
    for (int x = l; x <= r; ++x) pts.push_back({x, t});
    for (int y = t + 1; y <= b; ++y) pts.push_back({r, y});
    if (b > t)
        for (int x = r - 1; x >= l; --x) pts.push_back({x, b});
    if (r > l)
        for (int y = b - 1; y > t; --y) pts.push_back({l, y});
    return pts;
}

// The 24-bit DIB section selected into a DC that draws in plain device
// pixels, or nothing when GDI has to do the drawing.
bool DirectRows(HDC DC, TacRows24& rows, POINT& origin) {
    if (GetMapMode(DC) != MM_TEXT || GetGraphicsMode(DC) != GM_COMPATIBLE) return false;
    HGDIOBJ bmp = GetCurrentObject(DC, OBJ_BITMAP);
    DIBSECTION ds{};
    if (!bmp || GetObjectA(bmp, sizeof ds, &ds) != int(sizeof ds) || ds.dsBm.bmBitsPixel != 24 || !ds.dsBm.bmBits)
        return false;
    POINT vp{}, wo{};
    GetViewportOrgEx(DC, &vp);
    GetWindowOrgEx(DC, &wo);
    origin = POINT{vp.x - wo.x, vp.y - wo.y};
    rows.Width = ds.dsBm.bmWidth;
    rows.Height = std::abs(ds.dsBm.bmHeight);
    rows.Stride = ds.dsBm.bmWidthBytes;
    rows.Bits = static_cast<std::uint8_t*>(ds.dsBm.bmBits);
    if (rows.Width <= 0 || rows.Height <= 0) return false;
    if (rows.Height == 1) return true;
    // Which way the rows run is not reported reliably (Wine gives a positive
    // height for top-down sections too): one pixel set through GDI at the
    // device's top-left corner tells, and is put back at once.
    GdiFlush();
    std::uint8_t* first = rows.Bits;
    std::uint8_t* last = rows.Bits + std::ptrdiff_t(rows.Height - 1) * rows.Stride;
    std::uint8_t keepFirst[3], keepLast[3];
    std::memcpy(keepFirst, first, 3);
    std::memcpy(keepLast, last, 3);
    std::uint8_t probe[3] = {0x5A, 0xA5, 0x3C};
    while (std::memcmp(probe, first, 3) == 0 || std::memcmp(probe, last, 3) == 0) ++probe[0];
    SetPixelV(DC, -origin.x, -origin.y, RGB(probe[2], probe[1], probe[0]));
    GdiFlush();
    const bool topDown = std::memcmp(first, probe, 3) == 0, bottomUp = std::memcmp(last, probe, 3) == 0;
    std::memcpy(first, keepFirst, 3);
    std::memcpy(last, keepLast, 3);
    if (topDown == bottomUp) return false;  // clipped away: let GDI draw
    if (bottomUp) {
        rows.Bits = last;
        rows.Stride = -rows.Stride;
    }
    return true;
}

}  // namespace

void DrawDottedFrame(HDC DC, const TRect& R) {
    if (!DC) return;
    const std::vector<POINT> pts = FramePoints(R);
    if (pts.empty()) return;
    TacRows24 rows;
    POINT origin{};
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    const bool clipped = clip && GetClipRgn(DC, clip) == 1;
    if (DirectRows(DC, rows, origin)) {
        GdiFlush();
        for (std::size_t i = 0; i < pts.size(); ++i) {
            if (i % 3 == 2) continue;
            const int x = pts[i].x + origin.x, y = pts[i].y + origin.y;
            if (x < 0 || y < 0 || x >= rows.Width || y >= rows.Height) continue;
            if (clipped && !PtInRegion(clip, x, y)) continue;
            acFillRow(rows.At(x, y), 1, i % 3 == 0 ? 0x000000 : 0xFFFFFF);
        }
    } else {
        HBRUSH dark = CreateSolidBrush(0x000000), light = CreateSolidBrush(0xFFFFFF);
        for (std::size_t i = 0; i < pts.size(); ++i) {
            if (i % 3 == 2) continue;
            const TRect px{pts[i].x, pts[i].y, pts[i].x + 1, pts[i].y + 1};
            FillRect(DC, &px, i % 3 == 0 ? dark : light);
        }
        DeleteObject(dark);
        DeleteObject(light);
    }
    if (clip) DeleteObject(clip);
}

void DrawDottedFrame(TCanvas* Canvas, const TRect& R) {
    if (!Canvas) return;
    DrawDottedFrame(Canvas->Handle(), R);
}
