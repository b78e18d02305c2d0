// Colour arithmetic and the bitmap primitives: exact values, clipping at
// every edge, and rows outside the painted area left as they were.
#include "PaintTestSupport.h"

#include "sSkinText.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <random>

using namespace painttest;

namespace {

// Per byte (src x w + dst x (256 - w)) / 256, the rule of the row blender.
std::uint8_t RefBlend(std::uint8_t dst, std::uint8_t src, int w) {
    return std::uint8_t((src * w + dst * (256 - w)) >> 8);
}

}  // namespace

TEST(ColorArithmetic, MixColorsRoundsEachChannelToNearest) {
    // Channels: 10 + (200 - 10) x 0.4 = 86; 0 + 255 x 0.4 = 102; 255 + (0 - 255) x 0.4 = 153.
    EXPECT_EQ(MixColors(TColor(0x00FFC8), TColor(0xFF000A), 0.4), TColor(0x996656));
    // 1 + (2 - 1) x 0.5 = 1.5 rounds to 2; 3 + (0 - 3) x 0.5 = 1.5 rounds to 2.
    EXPECT_EQ(MixColors(TColor(0x000002), TColor(0x000001), 0.5) & 0xFF, 2);
    EXPECT_EQ(MixColors(TColor(0x000000), TColor(0x000003), 0.5) & 0xFF, 2);
    EXPECT_EQ(MixColors(TColor(0x123456), TColor(0xABCDEF), 1.0), TColor(0x123456));
    EXPECT_EQ(MixColors(TColor(0x123456), TColor(0xABCDEF), 0.0), TColor(0xABCDEF));
    // System colours are resolved first.
    EXPECT_EQ(MixColors(clBtnFace, clBtnFace, 0.3), TColor(ColorToRGB(clBtnFace)));
}

TEST(ColorArithmetic, MixColorsRoundsHalvesUpOnEveryBuild) {
    // The factors are not exact in binary, yet each mix is an exact half:
    // 5 + (0 - 5) x 0.9 = 0.5, 0 + 5 x 0.9 = 4.5, 15 - 15 x 0.1 = 13.5,
    // 15 x 0.1 = 1.5, 5 - 5 x 0.7 = 1.5, 200 + 55 x 0.3 = 216.5.
    EXPECT_EQ(MixColors(TColor(0x000000), TColor(0x000005), 0.9), TColor(0x000001));
    EXPECT_EQ(MixColors(TColor(0x000005), TColor(0x000000), 0.9), TColor(0x000005));
    EXPECT_EQ(MixColors(TColor(0x000000), TColor(0x00000F), 0.1), TColor(0x00000E));
    EXPECT_EQ(MixColors(TColor(0x00000F), TColor(0x000000), 0.1), TColor(0x000002));
    EXPECT_EQ(MixColors(TColor(0x000000), TColor(0x000005), 0.7), TColor(0x000002));
    EXPECT_EQ(MixColors(TColor(0xFF0000), TColor(0xC80000), 0.3), TColor(0xD90000));
    // Each channel on its own: 0.5, 1.5 and 2.5 all go up.
    EXPECT_EQ(MixColors(TColor(0x050301), TColor(0x000000), 0.5), TColor(0x030201));
}

TEST(ColorArithmetic, MixColorsHalfWeighsTheFirstColour127Of256) {
    // (255 x 127 + 0 x 129) / 256 = 126; (0 x 127 + 255 x 129) / 256 = 128; (100 x 127 + 50 x 129) / 256 = 74.
    EXPECT_EQ(MixColorsHalf(TColor(0x6400FF), TColor(0x32FF00)), TColor(0x4A807E));
    EXPECT_EQ(MixColorsHalf(TColor(0xFFFFFF), TColor(0xFFFFFF)), TColor(0xFFFFFF));
    EXPECT_EQ(MixColorsHalf(TColor(0x000001), TColor(0x000000)), TColor(0x000000));
}

TEST(ColorArithmetic, TextFlagsForAlignment) {
    EXPECT_EQ(TextFlagsForAlignment(nullptr, taLeftJustify), 0x44u);
    EXPECT_EQ(TextFlagsForAlignment(nullptr, taRightJustify), 0x46u);
    EXPECT_EQ(TextFlagsForAlignment(nullptr, taCenter), 0x45u);
}

TEST(ColorArithmetic, RowBlendingMatchesTheByteRuleForEveryLengthAndWeight) {
    std::mt19937 rng(7);
    for (int len : {0, 1, 3, 7, 8, 9, 15, 16, 17, 33, 301}) {
        for (int w : {0, 1, 64, 127, 128, 129, 255, 256}) {
            std::vector<std::uint8_t> a(len), b(len), out(len);
            for (auto& v : a) v = std::uint8_t(rng());
            for (auto& v : b) v = std::uint8_t(rng());
            std::vector<std::uint8_t> dst = b;
            acBlendBytes(dst.data(), a.data(), dst.size(), w);
            acMixBytes(out.data(), a.data(), b.data(), out.size(), w);
            for (int i = 0; i < len; ++i) {
                ASSERT_EQ(dst[i], RefBlend(b[i], a[i], w)) << "len " << len << " w " << w << " i " << i;
                ASSERT_EQ(out[i], RefBlend(b[i], a[i], w)) << "len " << len << " w " << w << " i " << i;
            }
        }
    }
}

TEST(ColorArithmetic, EveryMixKernelGivesTheSameBytesInAnyPlaceAndLength) {
    std::mt19937 rng(11);
    std::vector<TacMixKernel> kernels;
    for (TacMixKernel k : {mkSse2, mkAvx2})
        if (acMixKernelAvailable(k)) kernels.push_back(k);
    if (!acMixKernelAvailable(mkAvx2)) std::printf("note: this CPU has no AVX2; its kernel is not compared\n");
    // Rows of random bytes at every start within a vector register, odd
    // lengths, weights at the ends; written apart, and in place over A and B.
    std::vector<std::uint8_t> a(4200), b(4200), want(4200), got(4200);
    for (int len : {1, 15, 31, 32, 33, 63, 95, 97, 301, 2401, 4099}) {
        for (int offset = 0; offset<33; offset += len> 500 ? 11 : 1) {
            for (int w : {1, 77, 128, 255}) {
                for (auto& v : a) v = std::uint8_t(rng());
                for (auto& v : b) v = std::uint8_t(rng());
                acMixBytesWith(mkPortable, want.data() + offset, a.data() + offset, b.data() + offset, len, w);
                for (TacMixKernel k : kernels) {
                    SCOPED_TRACE(testing::Message()
                                 << "kernel " << k << " len " << len << " at " << offset << " w " << w);
                    acMixBytesWith(k, got.data() + offset, a.data() + offset, b.data() + offset, len, w);
                    ASSERT_TRUE(std::equal(want.begin() + offset, want.begin() + offset + len, got.begin() + offset));
                    for (std::vector<std::uint8_t>* into : {&a, &b}) {
                        std::vector<std::uint8_t> x = a, y = b;
                        std::uint8_t* d = (into == &a ? x : y).data() + offset;
                        acMixBytesWith(k, d, x.data() + offset, y.data() + offset, len, w);
                        ASSERT_TRUE(std::equal(want.begin() + offset, want.begin() + offset + len, d)) << "in place";
                    }
                }
            }
        }
    }
}

TEST(ColorArithmetic, SpansAreClippedToBothPictures) {
    TacSpan s = acClipSpan(TacSpan{-2, 5, 0, -1, 10, 10}, 6, 8, 20, 20);
    EXPECT_EQ(s.DstX, 0);
    EXPECT_EQ(s.SrcX, 2);
    EXPECT_EQ(s.DstY, 6);
    EXPECT_EQ(s.SrcY, 0);
    EXPECT_EQ(s.W, 6);
    EXPECT_EQ(s.H, 2);
    EXPECT_TRUE(acClipSpan(TacSpan{6, 0, 0, 0, 3, 3}, 6, 8, 20, 20).Empty());
    EXPECT_TRUE(acClipSpan(TacSpan{0, 0, 19, 0, 3, 3}, 6, 8, 19, 20).Empty());
}

TEST(ColorArithmetic, SpansAtTheEndsOfTheIntRangeStayInside) {
    constexpr int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    // {DstX, SrcX, W} on one axis (the other is plain) and the expected cut.
    struct Case {
        int Dst, Src, W;
        int WantDst, WantSrc, WantW;
    };
    const Case cases[] = {
        {200, -(hi - 50), hi, 0, 0, 0},  // the corner moved past INT_MAX: nothing
        {lo, 0, hi, 0, 0, 0},            // -INT_MIN
        {0, lo, hi, 0, 0, 0},
        {lo + 5, 0, hi, 0, 0, 0},
        {-3, lo + 10, hi, 0, 0, 0},
        {-(hi - 10), 0, hi, 0, hi - 10, 0},  // the source ends far before its own edge: nothing
        {hi, 0, hi, 0, 0, 0},
        {-5, 2, hi, 0, 7, 13},  // an ordinary cut for comparison
    };
    for (const Case& c : cases) {
        for (const bool vertical : {false, true}) {
            const TacSpan in = vertical ? TacSpan{0, c.Dst, 0, c.Src, 4, c.W} : TacSpan{c.Dst, 0, c.Src, 0, c.W, 4};
            const TacSpan s = acClipSpan(in, 100, 100, 20, 20);
            const int d = vertical ? s.DstY : s.DstX, src = vertical ? s.SrcY : s.SrcX, w = vertical ? s.H : s.W;
            if (c.WantW == 0) {
                EXPECT_TRUE(s.Empty()) << c.Dst << " " << c.Src << " " << c.W << ": " << d << " " << src << " " << w;
                continue;
            }
            EXPECT_EQ(d, c.WantDst);
            EXPECT_EQ(src, c.WantSrc);
            EXPECT_EQ(w, c.WantW);
        }
    }
}

TEST(ColorArithmetic, GlyphAndTextLayout) {
    TPoint g;
    TRect t;
    const TRect r{10, 20, 110, 60};  // 100 x 40
    // Centred: margin (100 - (16 + 4 + 30) + 1) / 2 = 25.
    CalcGlyphTextLayout(r, TSize{16, 16}, TSize{30, 10}, glGlyphLeft, -1, 4, g, t);
    EXPECT_EQ(g.x, 10 + 25);
    EXPECT_EQ(g.y, 20 + 12);
    EXPECT_EQ(t.left, 10 + 25 + 16 + 4);
    EXPECT_EQ(t.top, 20 + 15);
    EXPECT_EQ(t.right - t.left, 30);
    CalcGlyphTextLayout(r, TSize{16, 16}, TSize{30, 10}, glGlyphRight, 3, 2, g, t);
    EXPECT_EQ(g.x, 10 + 100 - 3 - 16);
    EXPECT_EQ(t.right, g.x - 2);
    CalcGlyphTextLayout(r, TSize{16, 16}, TSize{30, 10}, glGlyphTop, -1, -1, g, t);
    // Spread evenly: (40 - 16 - 10) / 3 = 4 above, between and below.
    EXPECT_EQ(g.y, 20 + 4);
    EXPECT_EQ(t.top, 20 + 4 + 16 + 4);
    EXPECT_EQ(g.x, 10 + 42);
    CalcGlyphTextLayout(r, TSize{16, 16}, TSize{30, 10}, glGlyphBottom, 0, 1, g, t);
    EXPECT_EQ(g.y, 60 - 16);
    EXPECT_EQ(t.bottom, 60 - 16 - 1);
    // Right to left swaps the sides; no text centres the glyph.
    CalcGlyphTextLayout(r, TSize{16, 16}, TSize{30, 10}, glGlyphLeft, 0, 0, g, t, true);
    EXPECT_EQ(g.x, 110 - 16);
    CalcGlyphTextLayout(r, TSize{16, 16}, TSize{0, 0}, glGlyphLeft, -1, 4, g, t);
    EXPECT_EQ(g.x, 10 + 42);
}

TEST(Primitives, BlendRectThroughMaskMixesByTheMaskBelowAndStaysInside) {
    // Glyph 4 x 4: the picture's upper half 4 x 2 is one colour; the mask
    // rows below hold 0, 128, 255 and 64 by column.
    auto glyph = Filled(4, 4, 0xC86432);
    const int masks[4] = {0, 128, 255, 64};
    for (int x = 0; x < 4; ++x)
        for (int y = 2; y < 4; ++y) SetPx(glyph.get(), x, y, std::uint32_t(masks[x]) * 0x010101u);
    const std::uint32_t back = 0x1E28F0;
    auto dst = Filled(6, 5, back);
    BlendRectThroughMask(TRect{1, 1, 5, 3}, TRect{0, 0, 4, 2}, dst.get(), glyph.get());
    for (int x = 0; x < 4; ++x) {
        std::uint32_t want = 0;
        for (int i = 0; i < 3; ++i) {
            const int v = Ch(back, i) + (Ch(0xC86432, i) - Ch(back, i)) * masks[x] / 256;
            want |= std::uint32_t(v) << (8 * i);
        }
        EXPECT_EQ(Px(dst.get(), 1 + x, 1), want) << x;
        EXPECT_EQ(Px(dst.get(), 1 + x, 2), want) << x;
    }
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            if (!(y >= 1 && y <= 2 && x >= 1 && x <= 4)) {
                EXPECT_EQ(Px(dst.get(), x, y), back) << x << "," << y;
            }

    // Rectangles hanging over every edge: only the overlap changes, and no
    // write wraps into the next row or past the last one.
    for (const TRect& r : {TRect{4, 3, 8, 5}, TRect{-2, -1, 2, 1}, TRect{5, 0, 9, 2}, TRect{0, 4, 4, 6}}) {
        auto big = Filled(6, 5, back);
        BlendRectThroughMask(r, TRect{0, 0, 4, 2}, big.get(), glyph.get());
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                if (!inside) {
                    EXPECT_EQ(Px(big.get(), x, y), back) << r.left << "," << r.top << " at " << x << "," << y;
                }
            }
    }
    // A source rectangle reaching into the mask rows is cut to the picture half.
    auto cut = Filled(6, 5, back);
    BlendRectThroughMask(TRect{0, 0, 4, 4}, TRect{0, 0, 4, 4}, cut.get(), glyph.get());
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(Px(cut.get(), x, 2), back);
    }
}

TEST(Primitives, NothingIsWrittenForNilEmptyOr32BitBitmaps) {
    auto dst = Filled(8, 8, 0x102030);
    const auto before = Bytes(dst.get());
    TBitmap empty;
    TBitmap wide(8, 8, pf32bit);
    BlendRectThroughMask(TRect{0, 0, 4, 2}, TRect{0, 0, 4, 2}, dst.get(), nullptr);
    BlendRectThroughMask(TRect{0, 0, 4, 2}, TRect{0, 0, 4, 2}, dst.get(), &empty);
    BlendRectThroughMask(TRect{0, 0, 4, 2}, TRect{0, 0, 4, 2}, dst.get(), &wide);
    BlendBitmapAt(dst.get(), &wide, 0, TPoint{0, 0}, TRect{0, 0, 8, 8});
    CopyBitmapRows(dst.get(), &empty, 0, 0, clNone);
    PaintFadingRoundRect(dst.get(), TRect{3, 3, 3, 9}, 0, 0, 0, clRed);
    PaintFadingRoundRect(nullptr, TRect{0, 0, 3, 3}, 0, 0, 0, clRed);
    BlendBitmapRect(dst.get(), 0, 0, clNone, 0.5, TRect{2, 2, 2, 2}, &wide);
    EXPECT_EQ(Bytes(dst.get()), before);
}

TEST(Primitives, CopiesLeaveTransparentPixelsOrTakeTheBackground) {
    auto src = Filled(3, 2, 0x00FF00);
    SetPx(src.get(), 1, 0, 0xFF00FF);
    auto dst = Filled(5, 4, 0x000080);
    CopyBitmapRows(dst.get(), src.get(), 3, 3, clFuchsia);  // hangs over the right and bottom
    EXPECT_EQ(Px(dst.get(), 3, 3), 0x00FF00u);
    EXPECT_EQ(Px(dst.get(), 4, 3), 0x000080u);  // the key pixel
    EXPECT_EQ(Px(dst.get(), 2, 3), 0x000080u);
    EXPECT_EQ(Px(dst.get(), 3, 2), 0x000080u);

    auto back = Patterned(20, 20);
    auto d2 = Filled(5, 4, 0x000080);
    CopyTransparentRect(d2.get(), src.get(), TPoint{1, 1}, TRect{0, 0, 3, 2}, clFuchsia, back.get(), TPoint{7, 9});
    EXPECT_EQ(Px(d2.get(), 1, 1), 0x00FF00u);
    EXPECT_EQ(Px(d2.get(), 2, 1), PatternAt(2 + 7, 1 + 9));  // key pixel: the background's
    EXPECT_EQ(Px(d2.get(), 3, 2), 0x00FF00u);
    EXPECT_EQ(Px(d2.get(), 0, 0), 0x000080u);
    // A background that does not reach leaves key pixels out.
    auto d3 = Filled(5, 4, 0x000080);
    CopyTransparentRect(d3.get(), src.get(), TPoint{1, 1}, TRect{0, 0, 3, 2}, clFuchsia, back.get(), TPoint{-10, 0});
    EXPECT_EQ(Px(d3.get(), 2, 1), 0x000080u);
}

TEST(Primitives, BlendsOfBitmaps) {
    // Each channel moves toward the source by Factor; key pixels stay.
    for (const auto& [factor, want] :
         {std::pair{0.4, 0x990066u}, std::pair{0.0, 0xFF0000u}, std::pair{1.0, 0x0000FFu}}) {
        auto a = Filled(4, 4, 0xFF0000), b = Filled(4, 4, 0x0000FF);
        SetPx(a.get(), 0, 0, 0xFF00FF);
        BlendBitmapRect(a.get(), 1, 1, clFuchsia, factor, TRect{0, 0, 2, 2}, b.get());
        EXPECT_TRUE(Near(Px(a.get(), 1, 1), want, 1)) << factor << ": " << std::hex << Px(a.get(), 1, 1);
        EXPECT_EQ(Px(a.get(), 0, 0), 0xFF00FFu);
        EXPECT_EQ(Px(a.get(), 3, 3), 0xFF0000u);
    }

    auto c = Filled(4, 4, 0x000000), white = Filled(2, 2, 0xFFFFFF);
    BlendBitmapAt(c.get(), white.get(), 0, TPoint{0, 0}, TRect{0, 0, 2, 2});
    BlendBitmapAt(c.get(), white.get(), 255, TPoint{2, 2}, TRect{0, 0, 2, 2});
    EXPECT_EQ(Px(c.get(), 1, 1), 0xFFFFFFu);
    EXPECT_EQ(Px(c.get(), 3, 3), 0x000000u);

    // A fade frame: alpha is the old picture's weight in 256ths.
    auto oldPic = Filled(800, 2, 0xFFFFFF), newPic = Filled(800, 2, 0x000000), frame = Filled(800, 2, 0x123456);
    BlendBitmaps(frame.get(), oldPic.get(), newPic.get(), 64);
    EXPECT_EQ(Px(frame.get(), 0, 0), 0x3F3F3Fu);
    EXPECT_EQ(Px(frame.get(), 799, 1), 0x3F3F3Fu);
}

TEST(Primitives, FadingRoundRect) {
    auto flat = Filled(10, 10, 0x000000);
    PaintFadingRoundRect(flat.get(), TRect{2, 2, 8, 8}, 50, 0, 0, ToColor(0xC8C8C8));
    EXPECT_TRUE(Near(Px(flat.get(), 2, 2), 0x646464, 1));
    EXPECT_TRUE(Near(Px(flat.get(), 7, 7), 0x646464, 1));
    EXPECT_EQ(Px(flat.get(), 1, 1), 0u);
    EXPECT_EQ(Px(flat.get(), 8, 8), 0u);

    auto round = Filled(40, 40, 0x000000);
    PaintFadingRoundRect(round.get(), TRect{0, 0, 40, 40}, 0, 10, 4, ToColor(0xFFFFFF));
    EXPECT_EQ(Px(round.get(), 0, 0), 0u);               // outside the rounded corner
    EXPECT_EQ(Px(round.get(), 20, 20), 0xFFFFFFu);      // deep inside
    const std::uint32_t edge = Px(round.get(), 20, 0);  // on the fading edge
    EXPECT_GT(Ch(edge, 0), 0);
    EXPECT_LT(Ch(edge, 0), 255);
    EXPECT_LE(Ch(Px(round.get(), 20, 0), 0), Ch(Px(round.get(), 20, 2), 0));
}

TEST(Primitives, DottedFrameDarkLightThenUntouched) {
    auto b = Filled(12, 10, 0x808080);
    DrawDottedFrame(b->Canvas(), TRect{1, 1, 11, 9});
    // Round the edge from the top-left corner: dark, light, untouched, ...
    std::vector<std::uint32_t> seq;
    for (int x = 1; x <= 10; ++x) seq.push_back(Px(b.get(), x, 1));
    for (int y = 2; y <= 8; ++y) seq.push_back(Px(b.get(), 10, y));
    for (int x = 9; x >= 1; --x) seq.push_back(Px(b.get(), x, 8));
    for (int y = 7; y >= 2; --y) seq.push_back(Px(b.get(), 1, y));
    for (std::size_t i = 0; i < seq.size(); ++i) {
        const std::uint32_t want = i % 3 == 0 ? 0x000000u : i % 3 == 1 ? 0xFFFFFFu : 0x808080u;
        EXPECT_EQ(seq[i], want) << i;
    }
    EXPECT_EQ(Px(b.get(), 0, 0), 0x808080u);
    EXPECT_EQ(Px(b.get(), 5, 5), 0x808080u);
    // A clip region on the DC is honoured.
    auto c = Filled(12, 10, 0x808080);
    HDC dc = c->Canvas()->Handle();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, 0, 4, 10);
    DrawDottedFrame(dc, TRect{1, 1, 11, 9});
    RestoreDC(dc, saved);
    EXPECT_EQ(Px(c.get(), 1, 1), 0u);
    EXPECT_EQ(Px(c.get(), 4, 1), 0x808080u);  // would be dark
}

TEST(Primitives, Frame3DAndFill) {
    auto b = Filled(6, 5, 0x000000);
    HDC dc = b->Canvas()->Handle();
    TRect r{1, 1, 3, 5};
    Frame3DOnDC(dc, r, ToColor(0x808080), 1, clWhite);
    // A 2-pixel line: left column shadow, right column white, bottom row white.
    EXPECT_EQ(Px(b.get(), 1, 1), 0x808080u);
    EXPECT_EQ(Px(b.get(), 1, 3), 0x808080u);
    EXPECT_EQ(Px(b.get(), 2, 1), 0xFFFFFFu);
    EXPECT_EQ(Px(b.get(), 1, 4), 0xFFFFFFu);
    EXPECT_EQ(Px(b.get(), 0, 1), 0u);
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.bottom, 4);
    FillDC(dc, TRect{4, 0, 6, 2}, ToColor(0x204060));
    EXPECT_EQ(Px(b.get(), 5, 1), 0x204060u);
    EXPECT_EQ(Px(b.get(), 5, 2), 0u);
}

// A plain background reaches a window as a fill, its edges as copies: what
// lands there must be what a copy of the whole picture would give, and only
// a background that is plain enough may take the fill.
TEST(Primitives, PlainAreaIsFilledExactlyAsACopyWouldPaintIt) {
    constexpr int kW = 40, kH = 30;
    const TRect area{3, 4, 37, 28};  // the client area inside a 40 x 30 cache
    const struct {
        const char* Name;
        void (*Make)(TBitmap*);
        bool Plain;
    } cases[] = {
        {"one colour", [](TBitmap*) {}, true},
        {"a frame line along the left and right edge",
         [](TBitmap* b) {
             for (int y = 0; y < kH; ++y) SetPx(b, 3, y, 0x102030), SetPx(b, 36, y, 0x405060);
         },
         true},
        {"two rows at the bottom and one at the top",
         [](TBitmap* b) {
             for (int x = 0; x < kW; ++x)
                 SetPx(b, x, 26, 0x111111), SetPx(b, x, 27, 0x222222), SetPx(b, x, 4, 0x333333);
         },
         true},
        {"one odd pixel in the middle", [](TBitmap* b) { SetPx(b, 20, 15, 0xABCDEF); }, false},
        {"one odd pixel in the last row's middle", [](TBitmap* b) { SetPx(b, 20, 27, 0xABCDEF); }, true},
        {"an odd pixel just inside the edges",
         [](TBitmap* b) {
             for (int y = 0; y < kH; ++y) SetPx(b, 3, y, 0x102030);
             SetPx(b, 4, 10, 0xABCDEF);
         },
         false},
        {"an edge wider than a frame's lines",
         [](TBitmap* b) {
             for (int x = 3; x < 3 + 9; ++x)
                 for (int y = 0; y < kH; ++y) SetPx(b, x, y, 0x102030);
         },
         false},
        {"a picture",
         [](TBitmap* b) {
             for (int y = 0; y < kH; ++y)
                 for (int x = 0; x < kW; ++x) SetPx(b, x, y, PatternAt(x, y));
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        auto cache = Filled(kW, kH, 0xE0D0C0);
        c.Make(cache.get());
        const TacPlainArea plain = PlainAreaIn(cache.get(), area);
        EXPECT_EQ(plain.Color != clNone, c.Plain);
        // Into a window-sized target full of another colour, at another place.
        auto filled = Filled(50, 40, 0x000000), copied = Filled(50, 40, 0x000000);
        const TRect dest{5, 6, 5 + area.right - area.left, 6 + area.bottom - area.top};
        CopyOrFill(filled->Canvas()->Handle(), dest, cache.get(), TPoint{area.left, area.top}, plain);
        CopyOrFill(copied->Canvas()->Handle(), dest, cache.get(), TPoint{area.left, area.top}, TacPlainArea());
        GdiFlush();
        EXPECT_EQ(Bytes(filled.get()), Bytes(copied.get()));
    }
    // An area that leaves the picture is never plain.
    auto cache = Filled(kW, kH, 0xE0D0C0);
    EXPECT_EQ(PlainAreaIn(cache.get(), TRect{30, 0, 41, 10}).Color, clNone);
    EXPECT_EQ(PlainAreaIn(nullptr, area).Color, clNone);
}
