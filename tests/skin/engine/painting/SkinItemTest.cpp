// Skin items painted into 24-bit bitmaps and checked pixel by pixel against
// the test skin: state colours, see-through over a shifted parent picture,
// gradients, textures, borders by state with the region they leave, nine-slice
// corners, opacity masks, corner images and what must leave a bitmap alone.
#include "PaintTestSupport.h"

using namespace painttest;

namespace {

constexpr int S = testsupport::kTestBorderState;  // 12
constexpr int B = testsupport::kTestBorderWidth;  // 3

// Key pixels of brd3.bmp: in each corner the corner pixel and its two neighbours.
bool BorderKeyAt(int x, int y, int w, int h) {
    const int cx = x < w / 2 ? x : w - 1 - x, cy = y < h / 2 ? y : h - 1 - y;
    return cx + cy <= 1;
}

}  // namespace

using SkinItem = PaintTest;

TEST_F(SkinItem, StateColoursAndBorderColumns) {
    const int button = Section("BUTTON");
    ASSERT_GE(button, 0);
    for (int state = 0; state < 3; ++state) {
        auto b = Filled(30, 20, 0x000000);
        PaintSkinItem(button, "BUTTON", TCacheInfo{}, false, state, TRect{0, 0, 30, 20}, TPoint{0, 0}, b.get(), M());
        const std::uint32_t back = state == 0 ? C().Button : C().ButtonHot;
        EXPECT_EQ(Px(b.get(), 15, 10), back) << state;              // the key centre shows the background
        EXPECT_EQ(Px(b.get(), 15, 0), C().Border[state]) << state;  // top side
        EXPECT_EQ(Px(b.get(), 0, 10), C().Border[state]) << state;  // left side
        EXPECT_EQ(Px(b.get(), 29, 19), back) << state;              // key corner: never magenta
        EXPECT_EQ(Px(b.get(), 2, 0), C().Border[state]) << state;
        EXPECT_EQ(Px(b.get(), 1, 1), C().Border[state]) << state;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) {
                ASSERT_NE(Px(b.get(), x, y), 0xFF00FFu) << x << "," << y;
            }
    }
}

TEST_F(SkinItem, TransparencyOverAShiftedParentCache) {
    const int trans = Section("TRANSPANEL");
    ASSERT_GE(trans, 0);
    auto parent = Patterned(100, 80);
    // The parent's picture holds its client area at (5, 7); the item's
    // rectangle lies at (11, 13) of that client area.
    const TCacheInfo ci = MakeCacheInfo(parent.get(), 5, 7);
    for (int state = 0; state < 2; ++state) {
        auto b = Filled(20, 15, 0x000000);
        PaintSkinItem(trans, "TRANSPANEL", ci, false, state, TRect{0, 0, 20, 15}, TPoint{11, 13}, b.get(), M());
        const double own = state == 0 ? 0.5 : 0.75;  // TRANSPARENCY 50, HOTTRANSPARENCY 25
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 20; ++x)
                ASSERT_TRUE(Near(Px(b.get(), x, y), Mix(C().TransPanel, PatternAt(5 + 11 + x, 7 + 13 + y), own), 1))
                    << "state " << state << " at " << x << "," << y;
    }
    // A rectangle inside the bitmap: the bitmap's corner stands at
    // ParentPoint, the rectangle's at ParentPoint plus its position.
    auto b = Filled(20, 15, 0x010203);
    PaintSkinItem(trans, "TRANSPANEL", ci, false, 0, TRect{4, 3, 14, 10}, TPoint{11, 13}, b.get(), M());
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x) {
            if (x >= 4 && x < 14 && y >= 3 && y < 10)
                ASSERT_TRUE(Near(Px(b.get(), x, y), Mix(C().TransPanel, PatternAt(16 + x, 20 + y), 0.5), 1))
                    << x << "," << y;
            else ASSERT_EQ(Px(b.get(), x, y), 0x010203u) << x << "," << y;
        }
    // Past the parent's picture the parent colour stands in; with neither the
    // item is opaque.
    acParentColor = ToColor(0xFFFFFF);
    auto c = Filled(20, 15, 0);
    PaintSkinItem(trans, "TRANSPANEL", ci, false, 0, TRect{0, 0, 20, 15}, TPoint{90, 0}, c.get(), M());
    EXPECT_TRUE(Near(Px(c.get(), 0, 0), Mix(C().TransPanel, PatternAt(95, 7), 0.5), 1));
    EXPECT_TRUE(Near(Px(c.get(), 19, 0), Mix(C().TransPanel, 0xFFFFFF, 0.5), 1));
    acParentColor = acNoColor;
    auto d = Filled(20, 15, 0);
    PaintSkinItem(trans, "TRANSPANEL", TCacheInfo{}, false, 0, TRect{0, 0, 20, 15}, TPoint{0, 0}, d.get(), M());
    EXPECT_EQ(Px(d.get(), 10, 7), C().TransPanel);
}

TEST_F(SkinItem, GradientTextureAndCornerImages) {
    // PANEL: colour with a vertical black-to-white gradient at 50 %, border and corner images.
    const int panel = Section("PANEL");
    const int w = 40, h = 30;
    auto b = Filled(w, h, 0);
    PaintSkinItem(panel, "PANEL", TCacheInfo{}, false, 0, TRect{0, 0, w, h}, TPoint{0, 0}, b.get(), M());
    auto grad = [&](int y) {
        const std::uint32_t v = std::uint32_t(0xFE * y / double(h - 1) + 0.5);
        return Mix(v * 0x010101u, C().Panel, 0.5);
    };
    for (int y = B; y < h - B; ++y) {
        EXPECT_TRUE(Near(Px(b.get(), w / 2, y), grad(y), 1)) << y;
    }
    EXPECT_EQ(Px(b.get(), 1, 1), C().Corner);          // top-left image
    EXPECT_TRUE(Near(Px(b.get(), 0, 0), grad(0), 1));  // its key pixel over the border's key corner
    EXPECT_EQ(Px(b.get(), w - 1, 1), C().Corner);      // top-right image at (w - 4, 0)
    EXPECT_EQ(Px(b.get(), w - 4, 0), C().Border[0]);   // its key pixel over the top border
    EXPECT_EQ(Px(b.get(), w - 1, h - 1), C().Corner);
    EXPECT_EQ(Px(b.get(), 3, h - 1), C().Corner);

    // SPEEDBUTTON: an 8 x 8 checker at 50 % over the colour, tiled from the
    // rectangle's corner; the hot state takes the hot texture and colour.
    const int speed = Section("SPEEDBUTTON");
    for (int state = 0; state < 2; ++state) {
        auto s = Filled(40, 30, 0);
        const TRect r{5, 2, 35, 28};
        PaintSkinItem(speed, "SPEEDBUTTON", TCacheInfo{}, false, state, r, TPoint{0, 0}, s.get(), M());
        const std::uint32_t* pat = state == 0 ? C().Pattern : C().HotPattern;
        const std::uint32_t col = state == 0 ? C().Button : C().ButtonHot;
        for (int y = r.top + B; y < r.bottom - B; ++y)
            for (int x = r.left + B; x < r.right - B; ++x)
                ASSERT_TRUE(Near(Px(s.get(), x, y), Mix(pat[(x - r.left + y - r.top) % 2], col, 0.5), 1))
                    << state << ": " << x << "," << y;
    }
    // Without textures (acNoTexture) only the colour shows.
    auto n = Filled(40, 30, 0);
    PaintSkinItem(speed, "SPEEDBUTTON", TCacheInfo{}, false, 0, TRect{0, 0, 40, 30}, TPoint{0, 0}, n.get(), M(),
                  acNoTexture, acNoTexture);
    EXPECT_EQ(Px(n.get(), 20, 15), C().Button);
}

TEST_F(SkinItem, BorderCutsExactlyTheKeyCornersFromTheRegion) {
    const int mask = Mask("BUTTON", "BORDERSMASK");
    ASSERT_GE(mask, 0);
    const int w = 31, h = 21;
    for (int state = 0; state < 3; ++state) {
        auto b = Filled(w, h, 0x123456);
        HRGN rgn = CreateRectRgn(0, 0, w, h);
        PaintBorderWithRegion(b.get(), rgn, true, state, mask, M());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool edge = x < B || y < B || x >= w - B || y >= h - B;
                const bool key = BorderKeyAt(x, y, w, h) && (x < B || x >= w - B) && (y < B || y >= h - B);
                ASSERT_EQ(PtInRegion(rgn, x, y) != 0, !key) << state << ": " << x << "," << y;
                const std::uint32_t want = key || !edge ? 0x123456u : C().Border[state];
                ASSERT_EQ(Px(b.get(), x, y), want) << state << ": " << x << "," << y;
            }
        DeleteObject(rgn);
    }
    // Without UpdateRegion the region stays whole; SKIPNORMAL masks draw nothing in state 0.
    HRGN whole = CreateRectRgn(0, 0, w, h);
    auto b = Filled(w, h, 0x123456);
    PaintBorderWithRegion(b.get(), whole, false, 0, mask, M());
    EXPECT_TRUE(PtInRegion(whole, 0, 0));
    DeleteObject(whole);
    auto low = Filled(w, h, 0x123456);
    const auto before = Bytes(low.get());
    PaintBorderWithRegion(low.get(), nullptr, true, 0, Mask("PANEL_LOW", "BORDERSMASK"), M());
    EXPECT_EQ(Bytes(low.get()), before);
    PaintBorderWithRegion(low.get(), nullptr, true, 1, Mask("PANEL_LOW", "BORDERSMASK"), M());
    EXPECT_EQ(Px(low.get(), 10, 0), C().Border[1]);
}

TEST_F(SkinItem, BorderRegionRectsOfTheTopAndBottomRows) {
    const int mask = Mask("BUTTON", "BORDERSMASK");
    std::vector<TRect> rects;
    BorderMaskRegionRects(rects, mask, 50, 0, 0, M());
    BorderMaskRegionRects(rects, mask, 50, 1, 40 - B, M());
    HRGN rgn = RegionWithoutRects(50, 40, rects);
    for (const TPoint p : {TPoint{0, 0}, TPoint{1, 0}, TPoint{0, 1}, TPoint{49, 0}, TPoint{48, 0}, TPoint{49, 1},
                           TPoint{0, 39}, TPoint{1, 39}, TPoint{0, 38}, TPoint{49, 39}, TPoint{48, 39}, TPoint{49, 38}})
        EXPECT_FALSE(PtInRegion(rgn, p.x, p.y)) << p.x << "," << p.y;
    for (const TPoint p : {TPoint{2, 0}, TPoint{1, 1}, TPoint{25, 0}, TPoint{47, 0}, TPoint{25, 20}, TPoint{2, 39}})
        EXPECT_TRUE(PtInRegion(rgn, p.x, p.y)) << p.x << "," << p.y;
    DeleteObject(rgn);
}

TEST_F(SkinItem, NineSliceCornersStayUnscaledOnALargeTarget) {
    const int mask = Mask("DRAGBAR", "BORDERSMASK");  // brd3c: the centre filled
    ASSERT_GE(mask, 0);
    const std::uint32_t fill = 0x0A0B0C;
    auto b = Filled(64, 64, fill);
    const TRect r{2, 2, 2 + 5 * S, 2 + 5 * S};
    PaintNineSliceTemplate(b.get(), true, 1, mask, r, M());
    const int w = 5 * S;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int lx = x - 2, ly = y - 2;
            std::uint32_t want = fill;
            if (lx >= 0 && ly >= 0 && lx < w && ly < w) {
                const bool edge = lx < B || ly < B || lx >= w - B || ly >= w - B;
                if (!edge) want = C().BorderCentre;
                else if (!((lx < B || lx >= w - B) && (ly < B || ly >= w - B) && BorderKeyAt(lx, ly, w, w)))
                    want = C().Border[1];
            }
            ASSERT_EQ(Px(b.get(), x, y), want) << x << "," << y;
        }
    // Without FillCentre the centre is left; a target smaller than two corners crops them.
    auto c = Filled(64, 64, fill);
    PaintNineSliceTemplate(c.get(), false, 0, mask, r, M());
    EXPECT_EQ(Px(c.get(), 30, 30), fill);
    auto small = Filled(4, 4, fill);
    PaintNineSliceTemplate(small.get(), true, 0, mask, TRect{0, 0, 4, 4}, M());
    // Two columns of each corner: (2, 0) is the right corner's key neighbour.
    EXPECT_EQ(Px(small.get(), 0, 0), fill);
    EXPECT_EQ(Px(small.get(), 1, 1), C().Border[0]);
    EXPECT_EQ(Px(small.get(), 2, 0), fill);
    EXPECT_EQ(Px(small.get(), 2, 2), C().Border[0]);
    EXPECT_EQ(Px(small.get(), 3, 3), fill);
}

TEST_F(SkinItem, ImageStatesThroughTheirOpacityRows) {
    const int mask = Mask("SCROLLBTNTOP", "GLYPHMASK");
    ASSERT_GE(mask, 0);
    const int gw = testsupport::kTestGlyphWidth, gh = testsupport::kTestGlyphHeight;
    for (int state : {0, 1, 2, 7}) {
        const std::uint32_t col = C().Glyph[std::min(state, 2)];
        auto b = Filled(12, 10, 0x000000);
        PaintImageState(b.get(), TPoint{2, 3}, state, mask, 0, M());
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 12; ++x) {
                const int gx = x - 2, gy = y - 3;
                const std::uint32_t got = Px(b.get(), x, y);
                if (gx < 0 || gy < 0 || gx >= gw || gy >= gh || gx < 2) {
                    ASSERT_EQ(got, 0u) << x << "," << y;
                } else if (gx < 5) {
                    ASSERT_TRUE(Near(got, Mix(col, 0, 128 / 255.0), 1)) << x << "," << y;
                } else {
                    ASSERT_EQ(got, col) << x << "," << y;
                }
            }
    }
    // Half outside the bitmap: the part inside is drawn, nothing wraps.
    auto edge = Filled(5, 3, 0x000000);
    PaintImageState(edge.get(), TPoint{-3, 1}, 0, mask, 0, M());
    EXPECT_EQ(Px(edge.get(), 2, 1), C().Glyph[0]);  // glyph column 5
    EXPECT_EQ(Px(edge.get(), 4, 1), 0u);
    EXPECT_EQ(Px(edge.get(), 0, 0), 0u);
}

TEST_F(SkinItem, DisabledLooks) {
    const int button = Section("BUTTON");
    auto b = Filled(30, 20, 0);
    PaintSkinItem(button, "BUTTON", TCacheInfo{}, false, 0, TRect{0, 0, 30, 20}, TPoint{0, 0}, b.get(), M());
    auto grey = std::make_unique<TBitmap>();
    grey->Assign(b.get());
    ApplyDisabledLook(grey.get(), TsDisabledKind{dkGrayed}, nullptr, TPoint{0, 0}, TCacheInfo{});
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const std::uint32_t p = Px(grey.get(), x, y);
            ASSERT_EQ(Ch(p, 0), Ch(p, 1));
            ASSERT_EQ(Ch(p, 1), Ch(p, 2));
        }
    EXPECT_NE(Px(grey.get(), 15, 10), Px(grey.get(), 15, 0));

    // Blended toward the parent's picture at the offset: strictly between the two.
    auto parent = Filled(80, 60, 0xF0F0F0);
    auto blended = std::make_unique<TBitmap>();
    blended->Assign(b.get());
    ApplyDisabledLook(blended.get(), TsDisabledKind{dkBlended}, nullptr, TPoint{10, 10}, MakeCacheInfo(parent.get()));
    const std::uint32_t own = Px(b.get(), 15, 10), got = Px(blended.get(), 15, 10);
    for (int i = 0; i < 3; ++i) {
        EXPECT_GT(Ch(got, i), std::min(Ch(own, i), 0xF0)) << i;
        EXPECT_LT(Ch(got, i), std::max(Ch(own, i), 0xF0)) << i;
    }
    // Without a picture the parent control's colour is used.
    auto form = TObject::Create<TForm>(nullptr);
    form->SetColor(ToColor(0x000000));
    auto byColor = std::make_unique<TBitmap>();
    byColor->Assign(b.get());
    ApplyDisabledLook(byColor.get(), TsDisabledKind{dkBlended}, form, TPoint{0, 0}, TCacheInfo{});
    EXPECT_TRUE(Near(Px(byColor.get(), 15, 10), Mix(own, 0, 0.5), 1));
    form->Free();
}

TEST_F(SkinItem, OutOfRangeRequestsLeaveTheBitmapByteIdentical) {
    const int button = Section("BUTTON"), mask = Mask("BUTTON", "BORDERSMASK");
    auto b = Patterned(20, 20);
    const auto before = Bytes(b.get());
    const TCacheInfo none{};
    for (const TRect& r :
         {TRect{0, 0, 21, 10}, TRect{-1, 0, 5, 5}, TRect{0, 0, 10, 21}, TRect{5, 5, 5, 10}, TRect{8, 8, 4, 12}})
        PaintSkinItem(button, "BUTTON", none, true, 1, r, TPoint{0, 0}, b.get(), M());
    for (int index : {-1, 9999})
        PaintSkinItem(index, "BUTTON", none, true, 0, TRect{0, 0, 5, 5}, TPoint{0, 0}, b.get(), M());
    PaintSkinItem(button, "BUTTON", none, true, 0, TRect{0, 0, 5, 5}, TPoint{0, 0}, nullptr, M());
    PaintSkinItemFast(button, mask, -1, M(), b.get(), TPoint{0, 0}, TRect{0, 0, 30, 5}, 0, true, none, "BUTTON", -1);
    PaintNineSliceTemplate(b.get(), true, 0, mask, TRect{0, 0, 25, 5}, M());
    PaintNineSliceTemplate(b.get(), true, 0, 12345, TRect{0, 0, 5, 5}, M());
    PaintImageState(b.get(), TPoint{0, 0}, 0, -1, 0, M());
    PaintImageState(b.get(), TPoint{0, 0}, -1, Mask("SCROLLBTNTOP", "GLYPHMASK"), 0, M());
    PaintImageState(b.get(), TPoint{20, 0}, 0, Mask("SCROLLBTNTOP", "GLYPHMASK"), 0, M());
    HRGN rgn = CreateRectRgn(0, 0, 20, 20);
    PaintBorderWithRegion(b.get(), rgn, true, 0, -1, M());
    EXPECT_TRUE(PtInRegion(rgn, 0, 0));
    DeleteObject(rgn);
    PaintDataItem(nullptr, none, true, b.get(), TPoint{0, 0}, TRect{0, 0, 5, 5}, 0);
    PaintDataItemBackground(nullptr, none, 0, b.get(), TPoint{0, 0}, TRect{0, 0, 5, 5});
    // No manager at all.
    TsSkinManager* saved = DefaultManager;
    DefaultManager = nullptr;
    PaintSkinItem(button, "BUTTON", none, true, 0, TRect{0, 0, 5, 5}, TPoint{0, 0}, b.get());
    PaintImageState(b.get(), TPoint{0, 0}, 0, Mask("SCROLLBTNTOP", "GLYPHMASK"));
    DefaultManager = saved;
    EXPECT_EQ(Bytes(b.get()), before);
    // A 32-bit bitmap is not the skin's working format: left alone.
    TBitmap wide(10, 10, pf32bit);
    const auto* p = static_cast<const std::uint8_t*>(wide.ScanLine(0));
    const std::vector<std::uint8_t> w0(p, p + 400);
    PaintSkinItem(button, "BUTTON", none, true, 0, TRect{0, 0, 5, 5}, TPoint{0, 0}, &wide, M());
    p = static_cast<const std::uint8_t*>(wide.ScanLine(0));
    EXPECT_EQ(std::vector<std::uint8_t>(p, p + 400), w0);
}
