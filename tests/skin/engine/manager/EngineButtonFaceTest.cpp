// The push button's face painter shared by the skinned button and the
// push-button adapter: the caption's colours by state, the pressed offset,
// the focus frame's conditions and margin, and the caption's measure.
#include "EngineTestSupport.h"
#include "sButtonFace.h"

using namespace enginetest;
using testsupport::TestSkinPalette;

namespace {

constexpr std::uint32_t kBack = 0x00FFFF;  // yellow, unlike every skin colour
constexpr int kW = 120, kH = 40;

// What one call painted on a yellow bitmap: the box of the font colour's
// pixels, how many there are, and whether the focus frame's dark dots show.
struct Painted {
    TRect Text{kW, kH, 0, 0};
    int FontPixels = 0;
    bool Frame = false;
    TRect R;
};

Painted Paint(TsCommonData* Data, const TsButtonFace& Face, std::uint32_t FontRgb, int Margin) {
    TBitmap bmp(kW, kH, pf24bit);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(testsupport::ToColor(kBack));
    c->FillRect(TRect{0, 0, kW, kH});
    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-16);
    c->Font()->SetQuality(fqNonAntialiased);
    c->Brush()->SetStyle(bsClear);
    Painted p;
    p.R = TRect{20, 8, 100, 32};
    PaintButtonCaption(c, Face, p.R, ButtonCaptionLayout(false) | DT_VCENTER, Margin, Data);
    GdiFlush();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (testsupport::Px(bmp, x, y) != FontRgb) continue;
            ++p.FontPixels;
            p.Text = TRect{std::min<int>(p.Text.left, x), std::min<int>(p.Text.top, y),
                           std::max<int>(p.Text.right, x + 1), std::max<int>(p.Text.bottom, y + 1)};
        }
    // The frame's left edge, one dot in three dark, Margin outside the caption.
    const int fx = p.R.left - Margin;
    for (int y = p.R.top - Margin; y < p.R.bottom + Margin; ++y)
        if (fx >= 0 && testsupport::Px(bmp, fx, y) == 0) p.Frame = true;
    return p;
}

}  // namespace

TEST(EngineButtonFace, CaptionColoursPressedOffsetAndFocusFrame) {
    TestSkinFolder folder;
    ManagerPtr m;
    ASSERT_TRUE(m->LoadSkin(folder.Skin));
    TsCommonData data(nullptr, true);
    data.SetSkinManager(m);
    data.SetSkinSection("BUTTON");
    ASSERT_NE(data.Section(), nullptr);
    ASSERT_TRUE(data.Section()->ShowFocus);
    const auto& C = TestSkinPalette();

    TsButtonFace normal;
    normal.Caption = "WWW";
    const Painted base = Paint(&data, normal, C.ButtonFont, 1);
    ASSERT_GT(base.FontPixels, 20);
    EXPECT_FALSE(base.Frame);

    const struct {
        const char* What;
        TsPaintState State;
        bool Focused, Enabled;
        std::uint32_t Font;
        int Shift;
        bool Frame;
    } cases[] = {
        {"hot", TsPaintState::Active, false, true, C.ButtonHotFont, 0, false},
        {"pressed", TsPaintState::Pressed, false, true, C.ButtonHotFont, 1, false},
        {"focused", TsPaintState::Active, true, true, C.ButtonHotFont, 0, true},
        {"focused and pressed", TsPaintState::Pressed, true, true, C.ButtonHotFont, 1, true},
        {"focused but disabled", TsPaintState::Normal, true, false, 0xFFFFFFFF, 0, false},
    };
    for (const auto& c : cases) {
        TsButtonFace face = normal;
        face.State = c.State;
        face.Focused = c.Focused;
        face.Enabled = c.Enabled;
        const Painted p = Paint(&data, face, c.Font, 2);
        EXPECT_EQ(p.Frame, c.Frame) << c.What;
        EXPECT_EQ(p.R.left, base.R.left + c.Shift) << c.What;
        EXPECT_EQ(p.R.top, base.R.top + c.Shift) << c.What;
        if (c.Font == 0xFFFFFFFF) continue;
        ASSERT_GT(p.FontPixels, 20) << c.What;
        EXPECT_EQ(p.Text.left, base.Text.left + c.Shift) << c.What;
        EXPECT_EQ(p.Text.top, base.Text.top + c.Shift) << c.What;
    }
    // No caption, no frame round nothing.
    TsButtonFace empty;
    empty.Focused = true;
    EXPECT_FALSE(Paint(&data, empty, C.ButtonFont, 1).Frame);

    // Measured at most as wide as asked, one line or wrapped.
    TBitmap b(4, 4);
    b.Canvas()->Font()->SetHeight(-16);
    const TSize one = MeasureButtonCaption(b.Canvas(), "word word word", 1000, ButtonCaptionLayout(false));
    const TSize wrapped = MeasureButtonCaption(b.Canvas(), "word word word", one.cx / 2, ButtonCaptionLayout(true));
    EXPECT_GT(one.cx, 0);
    EXPECT_LE(wrapped.cx, one.cx / 2);
    EXPECT_GE(wrapped.cy, 2 * one.cy);
    EXPECT_EQ(MeasureButtonCaption(b.Canvas(), "", 50, ButtonCaptionLayout(false)).cx, 50);
}
