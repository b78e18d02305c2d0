// The skinned labels: colours from the skin, the section under the text, the
// disabled mix, and the shadow label's shadow, reach and text colour.
#include "SkinnedControlTest.h"

#include "sLabel.h"
#include "sPanel.h"

using namespace skinnedtest;

namespace {

class Labels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Skin::Get().Manager()->Active());
        ASSERT_EQ(DefaultManager, Skin::Get().Manager());
        form = MakeForm(60, 60, 400, 300);
        form->SetColor(ToColor(0x204060));
    }
    const testsupport::TestSkinColors& C() { return Skin::Get().C(); }
    FormPtr form;
};

template <typename T>
T* MakeLabel(TWinControl* parent, const char* text, int left = 10, int top = 10) {
    T* l = Make<T>(parent, left, top, 10, 10);
    SharpFont(l->Font());
    l->SetAutoSize(true);
    l->SetCaption(text);
    return l;
}

}  // namespace

TEST_F(Labels, FontColourFollowsTheSkinUnlessToldNotTo) {
    auto* label = MakeLabel<TsLabel>(form.get(), "Skin");
    label->Font()->SetColor(clRed);
    auto bmp = PaintGraphic(label);
    EXPECT_EQ(ToRgb(label->Font()->Color()), C().GlobalFont);
    EXPECT_GT(RectWidth(FindColor(*bmp, All(*bmp), C().GlobalFont)), 0);

    auto* own = MakeLabel<TsLabel>(form.get(), "Own", 10, 60);
    own->SetUseSkinColor(false);
    own->Font()->SetColor(clRed);
    bmp = PaintGraphic(own);
    EXPECT_EQ(own->Font()->Color(), clRed);
    EXPECT_GT(RectWidth(FindColor(*bmp, All(*bmp), 0xFF0000)), 0);

    // Skin removed (command 2 of the default manager): only the label that
    // follows the skin goes back to the window-text colour; another manager
    // changes nothing.
    Command(label, AC_REMOVESKIN, reinterpret_cast<LPARAM>(&*form));
    EXPECT_NE(label->Font()->Color(), clWindowText);
    Command(label, AC_REMOVESKIN, reinterpret_cast<LPARAM>(DefaultManager));
    Command(own, AC_REMOVESKIN, reinterpret_cast<LPARAM>(DefaultManager));
    EXPECT_EQ(label->Font()->Color(), clWindowText);
    EXPECT_EQ(own->Font()->Color(), clRed);
}

TEST_F(Labels, SectionUnderTheTextAndItsFontColour) {
    auto* label = MakeLabel<TsLabel>(form.get(), "Sec");
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 80, 40);
    label->SetSkinSection("EDIT");
    auto bmp = PaintGraphic(label, 0x00FF00);
    EXPECT_EQ(Px(*bmp, 78, 38), C().Edit);  // the section's colour behind the text
    EXPECT_EQ(ToRgb(label->Font()->Color()), C().EditFont);
    EXPECT_GT(RectWidth(FindColor(*bmp, All(*bmp), C().EditFont)), 0);
    // The section at index 0 ("GLOBALINFO") counts as none.
    label->SetSkinSection("GLOBALINFO");
    bmp = PaintGraphic(label, 0x00FF00);
    EXPECT_EQ(Px(*bmp, 78, 38), 0x00FF00u);
}

TEST_F(Labels, DisabledTextIsFortyPercentFontOverTheParentColour) {
    auto* label = MakeLabel<TsCustomLabel>(form.get(), "Off");
    label->SetEnabled(false);
    auto bmp = PaintGraphic(label, 0xFFFFFF);
    // The font took the global colour; the text is 40 % of it over the form.
    const std::uint32_t font = C().GlobalFont, back = 0x204060;
    std::uint32_t mix = 0;
    for (int i = 0; i < 3; ++i) {
        double v = Ch(back, i) + (Ch(font, i) - Ch(back, i)) * 0.4;
        mix |= std::uint32_t(int(v + 0.5)) << (8 * i);
    }
    EXPECT_GT(RectWidth(FindColor(*bmp, All(*bmp), mix)), 0);
    EXPECT_EQ(RectWidth(FindColor(*bmp, All(*bmp), font)), 0);
    EXPECT_EQ(RectWidth(FindPixels(*bmp, All(*bmp), [&](std::uint32_t p) { return p != mix && p != 0xFFFFFF; })), 0);
}

// On a skinned panel the background the text mixes toward is the panel's
// section colour (its answer to the colour query), not its own Color.
TEST_F(Labels, DisabledTextOnASkinnedPanelMixesTowardTheSectionColour) {
    auto* panel = Make<TsPanel>(form.get(), 10, 10, 200, 100);
    panel->SkinData()->SetSkinSection("EDIT");
    panel->SetColor(ToColor(0x808080));
    auto* label = MakeLabel<TsCustomLabel>(panel, "Off");
    label->SetEnabled(false);
    form->Show();
    Pump();
    auto bmp = PaintGraphic(label, 0xFFFFFF);
    const std::uint32_t font = ToRgb(label->Font()->Color()), back = C().Edit;
    std::uint32_t mix = 0;
    for (int i = 0; i < 3; ++i)
        mix |= std::uint32_t(int(Ch(back, i) + (Ch(font, i) - Ch(back, i)) * 0.4 + 0.5)) << (8 * i);
    EXPECT_GT(RectWidth(FindColor(*bmp, All(*bmp), mix)), 0) << std::hex << mix;
    EXPECT_EQ(acParentColor, acNoColor);
}

TEST_F(Labels, DisabledLabelLeavesNoParentColourForTheNextControl) {
    auto* label = MakeLabel<TsCustomLabel>(form.get(), "Off");
    label->SetEnabled(false);
    (void)PaintGraphic(label);
    // The colour it asked its parent for stays with the label.
    EXPECT_EQ(acParentColor, acNoColor);
}

TEST_F(Labels, MouseEventsFireOncePerEnterAndLeave) {
    auto* label = MakeLabel<TsLabel>(form.get(), "Hover");
    int enters = 0, leaves = 0;
    label->OnMouseEnter = [&](TObject*) { ++enters; };
    label->OnMouseLeave = [&](TObject*) { ++leaves; };
    label->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(label)));
    label->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(label)));
    // Messages of another control passing by are not the label's.
    label->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(form.get())));
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 1);
}

TEST_F(Labels, ShadowReachGrowsTheMeasuredSize) {
    auto* plain = MakeLabel<TsLabel>(form.get(), "Reach");
    auto* fx = MakeLabel<TsLabelFX>(form.get(), "Reach", 10, 80);
    fx->Shadow()->SetMode(smCustom);
    fx->SetCaption("Reach ");  // measured again with the mode set
    fx->SetCaption("Reach");
    // Distance 1, 4 passes: lead -3, trail 5, 8 pixels more each way.
    EXPECT_EQ(fx->Width(), plain->Width() + 8);
    EXPECT_EQ(fx->Height(), plain->Height() + 8);
    EXPECT_EQ(fx->ShadowLead(), -3);
    EXPECT_EQ(fx->ShadowTrail(), 5);
    // No passes: no shadow, no reach.
    fx->Shadow()->SetBlurCount(0);
    fx->SetCaption("Reach ");
    fx->SetCaption("Reach");
    EXPECT_EQ(fx->Width(), plain->Width());
    // The skin's own shadow (SHADOW1OFFSET 2, SHADOW1BLUR 1): trail 3, lead 0.
    fx->Shadow()->SetMode(smSkin1);
    fx->SetCaption("Reach ");
    fx->SetCaption("Reach");
    EXPECT_EQ(fx->Width(), plain->Width() + 3);
    EXPECT_EQ(fx->ShadowLead(), 0);
}

TEST_F(Labels, ShadowIsOffsetAndBlurredAndTheTextTakesTheKindColour) {
    auto* fx = MakeLabel<TsLabelFX>(form.get(), "I");
    SharpFont(fx->Font(), -40);
    fx->Shadow()->SetMode(smCustom);
    fx->Shadow()->SetColor(clRed);
    fx->Shadow()->SetDistance(3);
    fx->Shadow()->SetBlurCount(2);
    fx->Kind()->SetKindType(ktCustom);
    fx->Kind()->SetColor(clBlue);
    fx->SetCaption("I ");
    fx->SetCaption("I");
    ASSERT_EQ(fx->ShadowLead(), 0);
    ASSERT_EQ(fx->ShadowTrail(), 5);
    auto bmp = PaintGraphic(fx, 0xFFFFFF);
    TRect text = FindColor(*bmp, All(*bmp), 0x0000FF);
    ASSERT_GT(RectWidth(text), 0);
    auto reddish = [](std::uint32_t p) { return Ch(p, 2) > Ch(p, 0) + 40 && Ch(p, 1) < 200; };
    TRect shadow = FindPixels(*bmp, All(*bmp), reddish);
    ASSERT_GT(RectWidth(shadow), 0);
    // The shadow's strong core lies 3 pixels right of and below the text; the
    // blur spreads it by at most 2 pixels beyond that.
    EXPECT_GE(shadow.right, text.right + 3);
    EXPECT_LE(shadow.right, text.right + 3 + 2);
    EXPECT_GE(shadow.bottom, text.bottom + 3);
    EXPECT_LE(shadow.bottom, text.bottom + 3 + 2);
    EXPECT_GE(shadow.left, text.left + 3 - 2);
    // Blurred: shades between red and white, not one solid red.
    bool shade = false;
    for (int x = shadow.left; x < shadow.right; ++x) {
        std::uint32_t p = Px(*bmp, x, (shadow.top + shadow.bottom) / 2);
        if (reddish(p) && p != 0xFF0000 && Ch(p, 1) > 0) shade = true;
    }
    EXPECT_TRUE(shade);
    // Beyond the shadow's reach the blend has no shadow to lay on: the pixels
    // keep their exact colour, whatever lies behind the label or, when it is
    // opaque, its own Color.
    const int right = fx->Width() - 1, bottom = fx->Height() - 1;
    EXPECT_EQ(Px(*bmp, right, bottom), 0xFFFFFFu);
    EXPECT_EQ(Px(*bmp, 0, 0), 0xFFFFFFu);
    bmp = PaintGraphic(fx, 0x3C8AD5);
    EXPECT_EQ(Px(*bmp, right, bottom), 0x3C8AD5u);
    EXPECT_EQ(Px(*bmp, 0, 0), 0x3C8AD5u);
    fx->SetTransparent(false);
    fx->SetColor(ToColor(0x7F4011));
    bmp = PaintGraphic(fx, 0xFFFFFF);
    EXPECT_EQ(Px(*bmp, right, bottom), 0x7F4011u);
    EXPECT_EQ(Px(*bmp, 0, 0), 0x7F4011u);
    fx->SetTransparent(true);

    // ktStandard: the control colour, not the font's.
    fx->Kind()->SetKindType(ktStandard);
    fx->SetColor(clLime);
    bmp = PaintGraphic(fx, 0xFFFFFF);
    EXPECT_GT(RectWidth(FindColor(*bmp, All(*bmp), 0x00FF00)), 0);
    // ktSkin: the test skin's GLOBALINFO has no TCLEFT, so Kind.Color.
    fx->Kind()->SetKindType(ktSkin);
    fx->Kind()->SetColor(ToColor(0x123456));
    bmp = PaintGraphic(fx, 0xFFFFFF);
    EXPECT_GT(RectWidth(FindColor(*bmp, All(*bmp), 0x123456)), 0);
}

TEST_F(Labels, DisabledShadowLabelIsEngravedWithoutShadow) {
    auto* fx = MakeLabel<TsLabelFX>(form.get(), "Dis");
    fx->Shadow()->SetMode(smCustom);
    fx->Shadow()->SetColor(clRed);
    fx->SetCaption("Dis ");
    fx->SetCaption("Dis");
    const int w = fx->Width();
    fx->SetEnabled(false);
    auto bmp = PaintGraphic(fx, 0x00FF00);
    EXPECT_GT(RectWidth(FindColor(*bmp, All(*bmp), ToRgb(clBtnShadow))), 0);
    EXPECT_EQ(RectWidth(FindPixels(*bmp, All(*bmp), [](std::uint32_t p) { return Ch(p, 2) > 200 && Ch(p, 1) < 100; })),
              0);
    fx->SetCaption("Dis ");
    fx->SetCaption("Dis");
    EXPECT_EQ(fx->Width(), w);  // measured with its reach all the same
}
