// Speed buttons: groups kept by CM_BUTTONPRESSED among siblings, the mouse
// (press, drag off, release, hot tracking), and their pictures read back:
// glyph and caption placed for each layout, the glyph's pictures per state,
// its transparent colour, the greyed disabled glyph and the flat frame.
#include "StdTest.h"

#include "ActnList.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "ImgList.h"

#include <vector>

using namespace stdtest;

namespace {

constexpr std::uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, Yellow = 0xFFFF00, White = 0xFFFFFF,
                        Magenta = 0xFF00FF;

// Clicks a windowless control with mouse messages sent to its parent's window.
void ClickAt(TControl* C, int X, int Y, bool Release = true) {
    HWND parent = C->Parent()->Handle();
    SendMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(C->Left() + X, C->Top() + Y));
    if (Release) SendMessageA(parent, WM_LBUTTONUP, 0, MAKELPARAM(C->Left() + X, C->Top() + Y));
}
void Click(TControl* C) { ClickAt(C, C->Width() / 2, C->Height() / 2); }

// Text is drawn in pure blue: "blue enough" finds its ink, smoothing or not.
bool IsInk(std::uint32_t c) { return (c & 0xFF) > 0x80 && ((c >> 16) & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60; }

// A flat, opaque white button whose pictures are easy to find.
TSpeedButton* MakePlainButton(TWinControl* Parent, int W, int H) {
    auto* b = Make<TSpeedButton>(Parent, 10, 10, W, H);
    b->SetFlat(true);
    b->SetTransparent(false);
    b->SetColor(clWhite);
    b->Font()->SetColor(clBlue);
    return b;
}

void FillRectColor(TBitmap& B, const TRect& R, TColor C) {
    B.Canvas()->Brush()->SetColor(C);
    B.Canvas()->FillRect(R);
}

TEST(SpeedButton, GroupKeepsOneButtonDownThroughItsSiblings) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* panel = Make<TPanel>(form.get(), 0, 0, 200, 60);
    std::vector<TSpeedButton*> b;
    std::vector<int> clicks(4, 0);
    for (int i = 0; i < 4; ++i) {
        b.push_back(Make<TSpeedButton>(panel, 10 + 30 * i, 10, 25, 25));
        b[i]->SetGroupIndex(i < 3 ? 1 : 2);
        b[i]->OnClick = [&clicks, i](TObject*) { ++clicks[i]; };
    }
    // The siblings hear of a press as a message naming the group and the button.
    std::vector<std::pair<WPARAM, LPARAM>> heard;
    TWndMethod old = b[1]->WindowProc;
    b[1]->WindowProc = [&heard, old](TMessage& M) {
        if (M.Msg == CM_BUTTONPRESSED) heard.emplace_back(M.WParam, M.LParam);
        old(M);
    };
    b[3]->SetDown(true);
    form->Show();
    Pump();

    Click(b[0]);
    EXPECT_TRUE(b[0]->Down());
    EXPECT_EQ(b[0]->State(), bsExclusive);
    EXPECT_EQ(clicks[0], 1);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back().first, 1u);
    EXPECT_EQ(heard.back().second, reinterpret_cast<LPARAM>(static_cast<TControl*>(b[0])));

    Click(b[1]);
    EXPECT_TRUE(b[1]->Down());
    EXPECT_FALSE(b[0]->Down());
    EXPECT_EQ(b[0]->State(), bsUp);
    EXPECT_FALSE(b[2]->Down());
    EXPECT_TRUE(b[3]->Down());  // another group
    EXPECT_EQ(clicks[1], 1);

    // Without AllowAllUp the down button stays down when clicked again.
    Click(b[1]);
    EXPECT_TRUE(b[1]->Down());
    EXPECT_EQ(clicks[1], 2);
    b[1]->SetDown(false);
    EXPECT_TRUE(b[1]->Down());

    // AllowAllUp spreads to the group; then the group may be all up.
    b[0]->SetAllowAllUp(true);
    EXPECT_TRUE(b[1]->AllowAllUp());
    EXPECT_TRUE(b[2]->AllowAllUp());
    EXPECT_FALSE(b[3]->AllowAllUp());
    Click(b[1]);
    EXPECT_FALSE(b[1]->Down());
    EXPECT_EQ(b[1]->State(), bsUp);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(b[i]->Down()) << i;

    // Setting Down in code works the same way.
    b[2]->SetDown(true);
    b[0]->SetDown(true);
    EXPECT_FALSE(b[2]->Down());
    EXPECT_TRUE(b[0]->Down());
    EXPECT_TRUE(b[3]->Down());

    // Outside any group a button never stays down.
    auto* single = Make<TSpeedButton>(panel, 150, 10, 25, 25);
    single->SetDown(true);
    EXPECT_FALSE(single->Down());
    Click(single);
    EXPECT_FALSE(single->Down());
    EXPECT_EQ(single->State(), bsUp);
}

TEST(SpeedButton, PressDragOffAndReleaseOutsideGivesNoClick) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* b = Make<TSpeedButton>(form.get(), 20, 20, 40, 30);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Pump();
    HWND wnd = form->Handle();

    ClickAt(b, 10, 10, false);
    EXPECT_EQ(b->State(), bsDown);
    EXPECT_EQ(GetCaptureControl(), b);
    // Off the button it looks released, back on pressed again.
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 150));
    EXPECT_EQ(b->State(), bsUp);
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 30));
    EXPECT_EQ(b->State(), bsDown);
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 150));
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(200, 150));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b->State(), bsUp);
    EXPECT_EQ(GetCapture(), nullptr);

    // Released on it: one click, and it is up again.
    Click(b);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->State(), bsUp);
    // The right button does not press it.
    SendMessageA(wnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 30));
    EXPECT_EQ(b->State(), bsUp);
    SendMessageA(wnd, WM_RBUTTONUP, 0, MAKELPARAM(30, 30));
    EXPECT_EQ(clicks, 1);
}

TEST(SpeedButton, MouseInControlFollowsTheCursor) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* b = MakePlainButton(form.get(), 40, 30);
    form->Show();
    Pump();
    TPoint inside = b->ClientToScreen(TPoint{20, 15});
    TPoint outside = b->ClientToScreen(TPoint{150, 150});
    SetCursorPos(outside.x, outside.y);
    Pump(40);
    Application->Idle();
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(Px(*PaintControl(b), 0, 0), White);

    SetCursorPos(inside.x, inside.y);
    Pump(40);
    Application->Idle();
    Pump();
    EXPECT_TRUE(b->MouseInControl());
    // A flat button shows its raised frame while hot.
    auto hot = PaintControl(b);
    EXPECT_EQ(Px(*hot, 0, 0), RGBOfColor(clBtnHighlight));
    EXPECT_EQ(Px(*hot, 39, 29), RGBOfColor(clBtnShadow));

    SetCursorPos(outside.x, outside.y);
    Pump(40);
    Application->Idle();
    Pump();
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(Px(*PaintControl(b), 0, 0), White);
}

// Glyph 16 x 16 solid red (transparent colour set elsewhere), caption "Go",
// Margin 4, Spacing 4, on a flat 120 x 60 button (1 pixel of frame).
TEST(SpeedButton, GlyphAndCaptionPlacedForEachLayout) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* b = MakePlainButton(form.get(), 120, 60);
    TBitmap glyph(16, 16);
    FillRectColor(glyph, Rect(0, 0, 16, 16), clRed);
    glyph.SetTransparentColor(clLime);
    b->SetGlyph(&glyph);
    EXPECT_EQ(b->NumGlyphs(), 1);
    b->SetCaption("Go");
    b->SetMargin(4);
    TSize text = MeasureText(b->Font(), "Go");
    const TRect all = Rect(0, 0, 120, 60);

    struct Case {
        TButtonLayout Layout;
        TPoint Glyph;
        TPoint Text;
    };
    const int cx = 1 + (118 - 16 + 1) / 2, cy = 1 + (58 - 16 + 1) / 2;
    const int tcx = 1 + (118 - text.cx + 1) / 2, tcy = 1 + (58 - text.cy + 1) / 2;
    const Case cases[] = {
        {blGlyphLeft, {5, cy}, {5 + 16 + 4, tcy}},
        {blGlyphRight, {119 - 4 - 16, cy}, {119 - 4 - 16 - 4 - text.cx, tcy}},
        {blGlyphTop, {cx, 5}, {tcx, 5 + 16 + 4}},
        {blGlyphBottom, {cx, 59 - 4 - 16}, {tcx, 59 - 4 - 16 - 4 - text.cy}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Layout));
        b->SetLayout(c.Layout);
        auto up = PaintControl(b);
        TRect g = FindColor(*up, all, Red);
        EXPECT_TRUE(SameRect(g, Bounds(c.Glyph.x, c.Glyph.y, 16, 16))) << g;
        TRect expectText = Bounds(c.Text.x, c.Text.y, text.cx, text.cy);
        TRect ink = FindPixels(*up, all, IsInk);
        ASSERT_GT(RectWidth(ink), 0);
        TRect both;
        UnionRect(&both, &ink, &expectText);
        EXPECT_TRUE(SameRect(both, expectText)) << "ink " << ink << " outside " << expectText;
        TPoint glyphPos;
        TRect textBounds;
        b->CalcButtonLayout(Rect(1, 1, 119, 59), TPoint{0, 0}, glyphPos, textBounds);
        EXPECT_EQ(glyphPos.x, c.Glyph.x);
        EXPECT_EQ(glyphPos.y, c.Glyph.y);
        EXPECT_TRUE(SameRect(textBounds, expectText)) << textBounds;

        // Held down, both move by one pixel right and down.
        b->SetGroupIndex(1);
        b->SetDown(true);
        auto down = PaintControl(b);
        TRect g2 = FindColor(*down, all, Red);
        EXPECT_TRUE(SameRect(g2, Bounds(c.Glyph.x + 1, c.Glyph.y + 1, 16, 16))) << g2;
        TRect ink2 = FindPixels(*down, all, IsInk);
        EXPECT_EQ(ink2.left, ink.left + 1);
        EXPECT_EQ(ink2.top, ink.top + 1);
        b->SetAllowAllUp(true);
        b->SetDown(false);
        b->SetGroupIndex(0);
    }

    // Margin -1 centres glyph, spacing and caption together.
    b->SetMargin(-1);
    b->SetLayout(blGlyphLeft);
    auto centred = PaintControl(b);
    TRect g = FindColor(*centred, all, Red);
    int group = 16 + 4 + text.cx;
    EXPECT_EQ(g.left, 1 + (118 - group + 1) / 2);
    b->SetLayout(blGlyphTop);
    centred = PaintControl(b);
    g = FindColor(*centred, all, Red);
    EXPECT_EQ(g.top, 1 + (58 - (16 + 4 + text.cy) + 1) / 2);
    EXPECT_EQ(g.left, cx);
}

// Four pictures side by side on a magenta ground: red, green, blue, yellow
// squares of 12 x 12 at (2, 2) of each 16 x 16 cell.
TEST(SpeedButton, EachStateShowsItsGlyphPictureWithoutTheTransparentColour) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* b = MakePlainButton(form.get(), 40, 40);
    TBitmap strip(64, 16);
    FillRectColor(strip, Rect(0, 0, 64, 16), clFuchsia);
    const TColor colors[] = {clRed, clLime, clBlue, clYellow};
    for (int i = 0; i < 4; ++i) FillRectColor(strip, Rect(16 * i + 2, 2, 16 * i + 14, 14), colors[i]);
    b->SetGlyph(&strip);
    EXPECT_EQ(b->NumGlyphs(), 4);
    form->Show();
    Pump();
    const TRect all = Rect(0, 0, 40, 40);
    // No caption: the glyph is centred; the square sits 2 pixels in.
    const TRect square = Bounds(1 + (38 - 16 + 1) / 2 + 2, 1 + (38 - 16 + 1) / 2 + 2, 12, 12);

    auto up = PaintControl(b);
    EXPECT_TRUE(SameRect(FindColor(*up, all, Red), square));
    EXPECT_EQ(RectWidth(FindColor(*up, all, Magenta)), 0);

    b->SetEnabled(false);
    auto disabled = PaintControl(b);
    EXPECT_EQ(b->State(), bsDisabled);
    EXPECT_TRUE(SameRect(FindColor(*disabled, all, Green), square));
    EXPECT_EQ(RectWidth(FindColor(*disabled, all, Red)), 0);
    b->SetEnabled(true);

    ClickAt(b, 20, 20, false);
    auto pressed = PaintControl(b);
    TRect shifted = square;
    OffsetRect(&shifted, 1, 1);
    EXPECT_TRUE(SameRect(FindColor(*pressed, all, Blue), shifted));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(30, 30));

    b->SetGroupIndex(3);
    b->SetDown(true);
    auto exclusive = PaintControl(b);
    EXPECT_TRUE(SameRect(FindColor(*exclusive, all, Yellow), shifted));

    // With two pictures, pressed falls back to the up one.
    TBitmap pair(32, 16);
    pair.Canvas()->CopyRect(Rect(0, 0, 32, 16), strip.Canvas(), Rect(0, 0, 32, 16));
    b->SetGlyph(&pair);
    EXPECT_EQ(b->NumGlyphs(), 2);
    auto fallback = PaintControl(b);
    EXPECT_TRUE(SameRect(FindColor(*fallback, all, Red), shifted));

    // The bottom-left pixel names the transparent colour, whatever it is.
    TBitmap framed(16, 16);
    FillRectColor(framed, Rect(0, 0, 16, 16), clAqua);
    FillRectColor(framed, Rect(2, 2, 14, 14), clRed);
    b->SetGlyph(&framed);
    b->SetAllowAllUp(true);
    b->SetDown(false);
    b->SetGroupIndex(0);
    auto keyed = PaintControl(b);
    EXPECT_EQ(RectWidth(FindColor(*keyed, all, 0x00FFFF)), 0);
    EXPECT_TRUE(SameRect(FindColor(*keyed, all, Red), square));
}

TEST(SpeedButton, DisabledSingleGlyphAndCaptionAreEngraved) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* b = MakePlainButton(form.get(), 40, 40);
    TBitmap glyph(16, 16);
    FillRectColor(glyph, Rect(0, 0, 16, 16), clFuchsia);
    FillRectColor(glyph, Rect(2, 2, 14, 14), clRed);
    b->SetGlyph(&glyph);
    b->SetEnabled(false);
    auto bmp = PaintControl(b);
    const int x = 1 + (38 - 16 + 1) / 2, y = x;
    const TRect all = Rect(0, 0, 40, 40);
    EXPECT_EQ(RectWidth(FindColor(*bmp, all, Red)), 0);
    // The shape in the shadow colour, with a highlight one pixel below right.
    std::uint32_t shadow = RGBOfColor(clBtnShadow), light = RGBOfColor(clBtnHighlight);
    EXPECT_EQ(Px(*bmp, x + 2, y + 2), shadow);
    EXPECT_EQ(Px(*bmp, x + 13, y + 13), shadow);
    EXPECT_EQ(Px(*bmp, x + 14, y + 14), light);
    EXPECT_EQ(Px(*bmp, x + 14, y + 8), light);
    EXPECT_EQ(Px(*bmp, x + 1, y + 8), White);

    // A caption is engraved the same way: no ink of the font colour remains.
    b->SetGlyph(nullptr);
    EXPECT_TRUE(b->Glyph()->Empty());
    b->SetCaption("Off");
    auto text = PaintControl(b);
    EXPECT_EQ(RectWidth(FindPixels(*text, all, IsInk)), 0);
    EXPECT_GT(RectWidth(FindColor(*text, all, shadow)), 0);
    b->SetEnabled(true);
    text = PaintControl(b);
    EXPECT_GT(RectWidth(FindPixels(*text, all, IsInk)), 0);
}

TEST(SpeedButton, TransparentFlatButtonLetsTheParentShow) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* panel = Make<TPanel>(form.get(), 0, 0, 200, 80);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clTeal);
    auto* b = Make<TSpeedButton>(panel, 20, 20, 40, 30);
    b->SetFlat(true);
    EXPECT_TRUE(b->Transparent());
    EXPECT_FALSE(b->ControlStyle().Contains(csOpaque));
    auto whole = PaintControl(panel);
    EXPECT_EQ(Px(*whole, 40, 35), RGBOfColor(clTeal));
    b->SetTransparent(false);
    b->SetColor(clWhite);
    EXPECT_TRUE(b->ControlStyle().Contains(csOpaque));
    whole = PaintControl(panel);
    EXPECT_EQ(Px(*whole, 40, 35), White);
    EXPECT_EQ(Px(*whole, 19, 35), RGBOfColor(clTeal));
}

TEST(SpeedButton, ActionGivesGlyphAndDownState) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* images = TObject::Create<TImageList>(form.get());
    TBitmap picture(16, 16);
    FillRectColor(picture, Rect(0, 0, 16, 16), clFuchsia);
    FillRectColor(picture, Rect(4, 4, 12, 12), clRed);
    ASSERT_EQ(images->AddMasked(&picture, clFuchsia), 0);
    auto* list = TObject::Create<TActionList>(form.get());
    list->SetImages(images);
    auto* action = TObject::Create<TAction>(form.get());
    action->SetActionList(list);
    action->SetImageIndex(0);
    action->SetGroupIndex(5);
    action->SetChecked(true);
    action->SetCaption("");
    auto* b = MakePlainButton(form.get(), 40, 40);
    b->SetAction(action);
    EXPECT_EQ(b->Glyph()->Width(), 16);
    EXPECT_EQ(b->GroupIndex(), 5);
    EXPECT_TRUE(b->Down());
    b->SetDown(false);  // not allowed all up: it stays
    auto bmp = PaintControl(b);
    TRect red = FindColor(*bmp, Rect(0, 0, 40, 40), Red);
    EXPECT_EQ(RectWidth(red), 8);
    EXPECT_EQ(RectWidth(FindColor(*bmp, Rect(0, 0, 40, 40), Magenta)), 0);
}

}  // namespace
