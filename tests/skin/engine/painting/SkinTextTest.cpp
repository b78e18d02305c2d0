// Skinned text: the contour colours round a thick glyph, each one pixel off in
// its direction, with every expectation taken from a plain rendering of the
// same text at run time (no font metrics are assumed).
#include "PaintTestSupport.h"

#include "sSkinText.h"

#include <set>

using namespace painttest;

namespace {

constexpr std::uint32_t kBack = 0x808080;
const TRect kRect{20, 10, 220, 130};
constexpr UINT kFlags = DT_SINGLELINE | DT_CENTER | DT_VCENTER;

void BigFont(TCanvas* c) {
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-72);
    c->Font()->SetStyle(TFontStyles{fsBold});
    c->Font()->SetQuality(fqNonAntialiased);
}

// The pixels the text covers, from a plain black rendering on the background.
struct Shape {
    std::set<std::pair<int, int>> Pixels;
    int MinX = 1 << 30, MaxX = -1, MinY = 1 << 30, MaxY = -1;
    bool Has(int x, int y) const { return Pixels.count({x, y}) != 0; }
};

Shape ShapeOf(const String& text, UINT flags, const TRect& r) {
    auto b = Filled(240, 140, kBack);
    TCanvas* c = b->Canvas();
    BigFont(c);
    HDC dc = c->Handle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0);
    TRect rr = r;
    DrawTextA(dc, text.c_str(), int(text.size()), &rr, flags);
    Shape s;
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x)
            if (Px(b.get(), x, y) == 0) {
                s.Pixels.insert({x, y});
                s.MinX = std::min(s.MinX, x);
                s.MaxX = std::max(s.MaxX, x);
                s.MinY = std::min(s.MinY, y);
                s.MaxY = std::max(s.MaxY, y);
            }
    return s;
}

std::unique_ptr<TBitmap> Canvas24() {
    auto b = Filled(240, 140, kBack);
    BigFont(b->Canvas());
    return b;
}

}  // namespace

using SkinText = PaintTest;

TEST_F(SkinText, ContoursLieOnePixelOffInTheirDirections) {
    const Shape g = ShapeOf("HI", kFlags, kRect);
    ASSERT_GT(g.Pixels.size(), 200u) << "the text drew nothing usable";
    ASSERT_GT(g.MinX, kRect.left + 1);
    ASSERT_GT(g.MinY, kRect.top + 1);

    TsCommonData data(nullptr, false);
    data.SetSkinSection("BUTTON");
    ASSERT_GE(data.SkinIndex, 0);
    auto b = Canvas24();
    WriteSkinTextWeb(b->Canvas(), "HI", true, false, &data, kFlags, kRect);

    const std::uint32_t* tc = C().ButtonContour;  // left, top, right, bottom
    int seen[5] = {0, 0, 0, 0, 0};
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x) {
            // The layers in drawing order; the last one that covers a pixel shows.
            std::uint32_t want = kBack;
            int layer = -1;
            if (g.Has(x + 1, y)) want = tc[0], layer = 0;
            if (g.Has(x, y + 1)) want = tc[1], layer = 1;
            if (g.Has(x - 1, y)) want = tc[2], layer = 2;
            if (g.Has(x, y - 1)) want = tc[3], layer = 3;
            if (g.Has(x, y)) want = C().ButtonFont, layer = 4;
            ASSERT_EQ(Px(b.get(), x, y), want) << x << "," << y;
            if (layer >= 0) ++seen[layer];
        }
    for (int i = 0; i < 5; ++i) {
        EXPECT_GT(seen[i], 0) << i;
    }
    // The left edge in particular: one pixel left of the glyph, the left colour.
    const int y = (g.MinY + g.MaxY) / 2;
    int x = g.MinX;
    while (!g.Has(x, y)) ++x;
    EXPECT_EQ(Px(b.get(), x - 1, y), tc[0]);
}

TEST_F(SkinText, NoneContoursCustomFontAndDisabledText) {
    const Shape g = ShapeOf("HI", kFlags, kRect);
    TsCommonData data(nullptr, false);
    data.SetSkinSection("BUTTON");
    auto only = [&](TBitmap* b, std::uint32_t color) {
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x)
                if (Px(b, x, y) != (g.Has(x, y) ? color : kBack)) return ::testing::AssertionFailure() << x << "," << y;
        return ::testing::AssertionSuccess();
    };
    // Hot: the hot font colour; the hot contours are "none" and left out.
    auto hot = Canvas24();
    WriteSkinTextWeb(hot->Canvas(), "HI", true, true, &data, kFlags, kRect);
    EXPECT_TRUE(only(hot.get(), C().ButtonHotFont));
    // CustomFont: the canvas's own colour and no contours.
    data.SetCustomFont(true);
    auto custom = Canvas24();
    custom->Canvas()->Font()->SetColor(ToColor(0x0000FF));
    WriteSkinTextWeb(custom->Canvas(), "HI", true, false, &data, kFlags, kRect);
    EXPECT_TRUE(only(custom.get(), 0x0000FF));
    data.SetCustomFont(false);
    // Disabled: the font colour half mixed with the section colour.
    auto off = Canvas24();
    WriteSkinTextWeb(off->Canvas(), "HI", false, false, &data, kFlags, kRect);
    EXPECT_TRUE(only(off.get(), ToRgb(MixColorsHalf(ToColor(C().ButtonFont), ToColor(C().Button)))));
    // Clipped to the rectangle: a rectangle cut through the glyph.
    const TRect cut{kRect.left, kRect.top, kRect.right, (g.MinY + g.MaxY) / 2};
    const Shape top = ShapeOf("HI", DT_SINGLELINE | DT_CENTER | DT_TOP, kRect);
    auto clipped = Canvas24();
    WriteSkinTextWeb(clipped->Canvas(), "HI", true, false, &data, DT_SINGLELINE | DT_CENTER | DT_TOP, cut);
    int inside = 0;
    for (int y = 0; y < clipped->Height(); ++y)
        for (int x = 0; x < clipped->Width(); ++x) {
            const bool in = x >= cut.left && x < cut.right && y >= cut.top && y < cut.bottom;
            if (!in) {
                ASSERT_EQ(Px(clipped.get(), x, y), kBack) << x << "," << y;
            } else inside += top.Has(x, y) && Px(clipped.get(), x, y) == C().ButtonFont;
        }
    EXPECT_GT(inside, 0);
}

TEST_F(SkinText, WebButtonUnderlinesItsHotText) {
    TsCommonData data(nullptr, false);
    data.SetSkinSection("WEBBUTTON");
    const Shape g = ShapeOf("HI", kFlags, kRect);
    auto normal = Canvas24(), hot = Canvas24();
    WriteSkinTextWeb(normal->Canvas(), "HI", true, false, &data, kFlags, kRect);
    WriteSkinTextWeb(hot->Canvas(), "HI", true, true, &data, kFlags, kRect);
    std::set<int> rows;
    int minX = 1 << 30, maxX = -1;
    for (int y = 0; y < hot->Height(); ++y)
        for (int x = 0; x < hot->Width(); ++x)
            if (Px(hot.get(), x, y) != Px(normal.get(), x, y)) {
                rows.insert(y);
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    ASSERT_FALSE(rows.empty());
    EXPECT_GT(*rows.begin(), g.MaxY);  // below the letters
    EXPECT_LE(rows.size(), 8u);
    EXPECT_GE(maxX - minX, (g.MaxX - g.MinX) * 8 / 10);
}

TEST_F(SkinText, WriteSkinTextBySectionIndex) {
    const Shape g = ShapeOf("HI", kFlags, kRect);
    auto b = Canvas24();
    TRect r = kRect;
    WriteSkinText(b->Canvas(), "HI", true, r, kFlags, Section("BUTTON"), true, M());
    int hits = 0;
    for (const auto& p : g.Pixels) hits += Px(b.get(), p.first, p.second) == C().ButtonHotFont;
    EXPECT_EQ(hits, int(g.Pixels.size()));

    // Measuring, an invalid section, an empty text: nothing drawn.
    auto c = Canvas24();
    const auto before = Bytes(c.get());
    TRect m{0, 0, 1000, 0};
    WriteSkinText(c->Canvas(), "HI", true, m, DT_SINGLELINE | DT_CALCRECT, Section("BUTTON"), false, M());
    EXPECT_GT(m.right, 0);
    EXPECT_LT(m.right, 1000);
    EXPECT_GT(m.bottom, 0);
    TRect r2 = kRect;
    WriteSkinText(c->Canvas(), "HI", true, r2, kFlags, 9999, false, M());
    WriteSkinText(c->Canvas(), "", true, r2, kFlags, Section("BUTTON"), false, M());
    WriteSkinTextWeb(c->Canvas(), "", true, false, nullptr, kFlags, kRect);
    EXPECT_EQ(Bytes(c.get()), before);
}

TEST_F(SkinText, MeasuringAndCutting) {
    auto b = Filled(10, 10, 0);
    TCanvas* c = b->Canvas();
    const String text = "The quick brown fox jumps over the lazy dog";
    const int full = c->TextWidth(text);
    ASSERT_GT(full, 50);
    EXPECT_EQ(CanvasTextSize(c, text), full);
    TSize s;
    CanvasTextExtentTo(c, text, s);
    EXPECT_EQ(s.cx, full);
    EXPECT_EQ(CutTextToWidth(c, text, full), text);
    for (int width : {full - 1, full / 2, c->TextWidth("T...") + 1}) {
        const String cut = CutTextToWidth(c, text, width);
        ASSERT_GE(cut.size(), 3u);
        EXPECT_EQ(cut.substr(cut.size() - 3), "...");
        EXPECT_LE(c->TextWidth(cut), width);
        const String start = cut.substr(0, cut.size() - 3);
        EXPECT_EQ(text.compare(0, start.size(), start), 0);
        EXPECT_GT(c->TextWidth(text.substr(0, start.size() + 1) + "..."), width);  // the longest that fits
    }
    EXPECT_EQ(CutTextToWidth(c, text, 1), "");

    // Measured on the screen in the given font.
    TFont font;
    font.SetHeight(-20);
    TSize onScreen;
    TextSizeOnScreen(font.Handle(), "Width", onScreen);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font.Handle());
    TSize want{};
    GetTextExtentPoint32A(screen, "Width", 5, &want);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(onScreen.cx, want.cx);
    EXPECT_EQ(onScreen.cy, want.cy);
    EXPECT_EQ(TextSizeOnScreen(&font, "Width").cx, want.cx);
}
