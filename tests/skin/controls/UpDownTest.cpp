// The skinned up-down arrows on screen with the test skin: two halves from
// the scroll-button sections with their glyphs (the odd row to the second),
// hot and pressed halves under real input, a real click moving Position, a
// half at its limit greyed and never hot in both orientations, ButtonSkin, and
// the system arrows back when the skin goes.
#include "RangeTest.h"

#include "sUpDown.h"

#include <vector>

using namespace rangetest;

namespace {

class UpDown : public RangeTest {
protected:
    TsUpDown* MakeUpDown(TUDOrientation O, int Position) {
        auto* ud = TObject::Create<TsUpDown>(Form);
        ud->SetOrientation(O);
        ud->SetMin(0);
        ud->SetMax(5);
        ud->SetPosition(Position);
        ud->SetParent(Form);
        ud->SetBounds(60, 60, O == udVertical ? 17 : 35, O == udVertical ? 35 : 17);
        return ud;
    }
    // The border pixel near the top-left corner of a half.
    static std::uint32_t Border(const Picture& P, TsUpDown* U, int Half) {
        const TRect r = Half == 0 ? U->FirstHalfRect() : U->SecondHalfRect();
        return P.Pixel(r.left + 1, r.top + 1);
    }
    // An opaque pixel of the centred arrow of a half.
    static std::uint32_t Arrow(const Picture& P, TsUpDown* U, int Half) {
        const TRect r = Half == 0 ? U->FirstHalfRect() : U->SecondHalfRect();
        const int x = r.left + (RectWidth(r) - testsupport::kTestGlyphWidth) / 2 + 5;
        const int y = r.top + (RectHeight(r) - testsupport::kTestGlyphHeight) / 2 + 1;
        return P.Pixel(x, y);
    }
    static POINT Centre(TsUpDown* U, int Half) {
        const TRect r = Half == 0 ? U->FirstHalfRect() : U->SecondHalfRect();
        return At(U, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void ExpectLooks(TsUpDown* U, int First, int Second, const char* What) {
        const Picture p = Shot(U);
        EXPECT_EQ(Border(p, U, 0), C().Border[First]) << What;
        EXPECT_EQ(Arrow(p, U, 0), C().Glyph[First]) << What;
        EXPECT_EQ(Border(p, U, 1), C().Border[Second]) << What;
        EXPECT_EQ(Arrow(p, U, 1), C().Glyph[Second]) << What;
    }
};

bool Between(std::uint32_t V, std::uint32_t A, std::uint32_t B) {
    for (int s : {0, 8, 16}) {
        const int v = (V >> s) & 0xFF, a = (A >> s) & 0xFF, b = (B >> s) & 0xFF;
        if (a != b && (v <= std::min(a, b) || v >= std::max(a, b))) return false;
    }
    return V != A;
}

TEST_F(UpDown, HalvesHotPressedAndARealClick) {
    TsUpDown* ud = MakeUpDown(udVertical, 2);
    // The odd row goes to the second half.
    EXPECT_EQ(RectHeight(ud->FirstHalfRect()), 17);
    EXPECT_EQ(RectHeight(ud->SecondHalfRect()), 18);
    const Picture p = Shot(ud);
    EXPECT_EQ(p.Pixel(8, 16), C().Border[0]);  // first half's last row, its bottom border
    EXPECT_EQ(p.Pixel(8, 17), C().Border[0]);  // second half's first row, its top border
    ExpectLooks(ud, 0, 0, "normal");

    testinput::MouseTo(Centre(ud, 1));
    ExpectLooks(ud, 0, 1, "second half hot");
    testinput::LeftButton(true);
    EXPECT_EQ(ud->Position(), 1);
    ExpectLooks(ud, 0, 2, "second half pressed");
    testinput::LeftButton(false);
    ExpectLooks(ud, 0, 1, "second half hot again");
    testinput::MouseTo(Centre(ud, 0));
    ExpectLooks(ud, 1, 0, "first half hot");
    testinput::Click(Centre(ud, 0));
    EXPECT_EQ(ud->Position(), 2);

    testinput::MouseTo(At(ud, 200, 200));
    ExpectLooks(ud, 0, 0, "left");
}

struct LimitCase {
    TUDOrientation Orientation;
    int Position;
    int Greyed;  // the half at its limit
};

class UpDownLimits : public UpDown, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(UpDownLimits, AHalfAtItsLimitIsGreyedAndNeverHot) {
    const LimitCase c = GetParam();
    TsUpDown* ud = MakeUpDown(c.Orientation, c.Position);
    const int other = 1 - c.Greyed;
    Picture p = Shot(ud);
    const std::uint32_t yellow = 0xFFFF00;
    EXPECT_TRUE(Between(Border(p, ud, c.Greyed), C().Border[0], yellow)) << std::hex << Border(p, ud, c.Greyed);
    EXPECT_EQ(Border(p, ud, other), C().Border[0]);

    testinput::MouseTo(Centre(ud, c.Greyed));
    p = Shot(ud);
    EXPECT_EQ(ud->PartState(), TacUpDownPart::None);
    EXPECT_TRUE(Between(Border(p, ud, c.Greyed), C().Border[0], yellow));
    // A press there changes nothing, and its release lights no other half.
    testinput::LeftButton(true);
    testinput::LeftButton(false);
    EXPECT_EQ(ud->Position(), c.Position);
    EXPECT_EQ(Border(Shot(ud), ud, other), C().Border[0]);

    // Without ShowInaccessibility the half is plain and turns hot.
    ud->SetShowInaccessibility(false);
    testinput::MouseTo(Centre(ud, other));
    testinput::MouseTo(Centre(ud, c.Greyed));
    EXPECT_EQ(Border(Shot(ud), ud, c.Greyed), C().Border[1]);
}

INSTANTIATE_TEST_SUITE_P(Orientations, UpDownLimits,
                         ::testing::Values(LimitCase{udVertical, 5, 0}, LimitCase{udVertical, 0, 1},
                                           LimitCase{udHorizontal, 0, 0}, LimitCase{udHorizontal, 5, 1}));

TEST_F(UpDown, ButtonSkinAndSkinRemoval) {
    TsUpDown* ud = MakeUpDown(udHorizontal, 2);
    ExpectLooks(ud, 0, 0, "scroll buttons");
    // The right arrow raises Position and says so; OnChanging may refuse.
    std::vector<TUDBtnType> clicks;
    ud->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
    testinput::Click(Centre(ud, 1));
    ud->OnChanging = [](TObject*, bool& allow) { allow = false; };
    testinput::Click(Centre(ud, 0));
    EXPECT_EQ(ud->Position(), 3);
    EXPECT_EQ(clicks, std::vector<TUDBtnType>{btNext});
    testinput::MouseTo(At(ud, 200, 200));
    // PANEL_LOW shows no border in state 0: its colour, with the scroll buttons' arrows.
    ud->SetButtonSkin("PANEL_LOW");
    Picture p = Shot(ud);
    EXPECT_EQ(Border(p, ud, 0), C().Panel);
    EXPECT_EQ(Border(p, ud, 1), C().Panel);
    EXPECT_EQ(Arrow(p, ud, 1), C().Glyph[0]);

    Manager->SetActive(false);
    Pump(50);
    p = Shot(ud);
    for (std::uint32_t skin : {C().Panel, C().Border[0], C().Glyph[0]}) EXPECT_EQ(Count(p, skin), 0);
}

}  // namespace
