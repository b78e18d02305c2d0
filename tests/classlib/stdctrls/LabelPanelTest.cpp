// Labels and panels read back as pixels: the label's measured size, its text
// placed by alignment and layout, transparency over a coloured panel, its
// accelerator; the panel's bevels, border band and face, its caption, the
// children aligned inside its frame, its parent background. Last, the
// published properties of every control against a freshly made one.
#include "StdTest.h"

#include "Buttons.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"

#include <cstdlib>
#include <set>

using namespace stdtest;

namespace {

bool IsInk(std::uint32_t c) { return (c & 0xFF) > 0x80 && ((c >> 16) & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60; }

TEST(Label, AutoSizeTakesTheSizeDrawTextMeasures) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* label = Make<TLabel>(form.get(), 20, 30, 5, 5);
    EXPECT_TRUE(label->AutoSize());
    label->SetCaption("Hello, world");
    TSize s = MeasureText(label->Font(), "Hello, world");
    EXPECT_EQ(label->Width(), s.cx);
    EXPECT_EQ(label->Height(), s.cy);
    EXPECT_EQ(label->Left(), 20);
    EXPECT_EQ(label->Top(), 30);

    // A bigger font measures again.
    label->Font()->SetHeight(-24);
    TSize big = MeasureText(label->Font(), "Hello, world");
    EXPECT_GT(big.cx, s.cx);
    EXPECT_EQ(label->Width(), big.cx);
    EXPECT_EQ(label->Height(), big.cy);

    // An empty caption keeps one line of height.
    label->SetCaption("");
    EXPECT_EQ(label->Height(), big.cy);

    // The accelerator mark takes no room unless it is shown as it is.
    label->SetCaption("&File");
    EXPECT_EQ(label->Width(), MeasureText(label->Font(), "File").cx);
    label->SetShowAccelChar(false);
    label->SetCaption("&Files");
    EXPECT_GT(label->Width(), MeasureText(label->Font(), "Files").cx);

    // Right-justified, the right edge stays where it is.
    label->SetShowAccelChar(true);
    label->SetAlignment(taRightJustify);
    label->SetCaption("Wide wide text");
    int right = label->Left() + label->Width();
    label->SetCaption("Hi");
    EXPECT_EQ(label->Left() + label->Width(), right);
    EXPECT_EQ(label->Width(), MeasureText(label->Font(), "Hi").cx);

    // Word wrap keeps the width it is given and grows down.
    label->SetAlignment(taLeftJustify);
    label->SetAutoSize(false);
    label->SetBounds(20, 30, 60, 10);
    label->SetWordWrap(true);
    label->SetCaption("one two three four five");
    EXPECT_EQ(label->Height(), 10);  // not auto-sized
    label->SetAutoSize(true);
    TSize wrapped = MeasureText(label->Font(), "one two three four five", 60);
    EXPECT_EQ(label->Height(), wrapped.cy);
    EXPECT_EQ(label->Width(), wrapped.cx);
    EXPECT_GT(label->Height(), big.cy);
}

TEST(Label, TextPlacedByAlignmentAndLayout) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* label = Make<TLabel>(form.get(), 10, 10, 5, 5);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 120, 60);
    label->SetTransparent(false);
    label->SetColor(clWhite);
    label->Font()->SetColor(clBlue);
    label->SetCaption("Xy");
    TSize t = MeasureText(label->Font(), "Xy");
    const TRect all = Rect(0, 0, 120, 60);
    auto inkIn = [&](const TRect& expected) {
        auto bmp = PaintControl(label);
        TRect ink = FindPixels(*bmp, all, IsInk);
        TRect both;
        UnionRect(&both, &ink, &expected);
        return RectWidth(ink) > 0 && SameRect(both, expected);
    };
    EXPECT_TRUE(inkIn(Bounds(0, 0, t.cx, t.cy)));
    label->SetLayout(tlCenter);
    EXPECT_TRUE(inkIn(Bounds(0, (60 - t.cy) / 2, t.cx, t.cy)));
    label->SetLayout(tlBottom);
    EXPECT_TRUE(inkIn(Bounds(0, 60 - t.cy, t.cx, t.cy)));
    label->SetAlignment(taRightJustify);
    EXPECT_TRUE(inkIn(Bounds(120 - t.cx, 60 - t.cy, t.cx, t.cy)));
    label->SetAlignment(taCenter);
    label->SetLayout(tlTop);
    int left = (120 - t.cx) / 2;
    EXPECT_TRUE(inkIn(Rect(left, 0, left + t.cx + 1, t.cy)));
    // The face is filled with Color; a disabled label has no ink of its own.
    auto bmp = PaintControl(label);
    EXPECT_EQ(Px(*bmp, 2, 50), 0xFFFFFFu);
    label->SetEnabled(false);
    bmp = PaintControl(label);
    EXPECT_EQ(RectWidth(FindPixels(*bmp, all, IsInk)), 0);
    EXPECT_GT(RectWidth(FindColor(*bmp, all, RGBOfColor(clBtnShadow))), 0);
}

TEST(Label, TransparentLabelShowsThePanelBetweenItsGlyphs) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* panel = Make<TPanel>(form.get(), 10, 10, 200, 80);
    panel->SetBevelOuter(bvNone);
    const TColor back = 0xA00000;  // dark blue
    panel->SetColor(back);
    auto* label = Make<TLabel>(panel, 20, 20, 5, 5);
    label->Font()->SetColor(clYellow);
    label->Font()->SetHeight(-20);
    label->SetCaption("W W");
    EXPECT_EQ(label->Color(), back);  // the parent's colour, as ParentColor says
    label->SetTransparent(true);
    EXPECT_FALSE(label->ControlStyle().Contains(csOpaque));
    // The middle of the space between the two letters.
    int gapX = 20 + MeasureText(label->Font(), "W").cx + MeasureText(label->Font(), " ").cx / 2;
    int midY = 20 + label->Height() / 2;

    form->Show();
    Pump();
    UpdateWindow(panel->Handle());
    testsupport::Picture screen = testsupport::CaptureClient(panel->Handle());
    EXPECT_EQ(screen.Pixel(gapX, midY), RGBOfColor(back));
    EXPECT_EQ(screen.Pixel(5, 5), RGBOfColor(back));

    auto bmp = PaintControl(panel);
    TRect area = label->BoundsRect();
    TRect yellow = FindColor(*bmp, area, 0xFFFF00);
    EXPECT_GT(RectWidth(yellow), 0);
    // Every pixel of the label is ink or the panel.
    // (Smoothed edges mix yellow into the dark blue: red and green alike,
    // no more blue than the panel.)
    TRect other = FindPixels(*bmp, area, [&](std::uint32_t c) {
        int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        bool blend = std::abs(r - g) <= 8 && b <= 0xA8;
        return c != RGBOfColor(back) && !blend;
    });
    EXPECT_EQ(RectWidth(other), 0) << other;
    EXPECT_EQ(Px(*bmp, gapX, midY), RGBOfColor(back));

    // Opaque, the label paints its own colour there.
    label->SetTransparent(false);
    label->SetColor(clWhite);
    bmp = PaintControl(panel);
    EXPECT_EQ(Px(*bmp, gapX, midY), 0xFFFFFFu);
    Pump();
    UpdateWindow(panel->Handle());
    screen = testsupport::CaptureClient(panel->Handle());
    EXPECT_EQ(screen.Pixel(gapX, midY), 0xFFFFFFu);
}

TEST(Label, AcceleratorFocusesItsFocusControl) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* label = Make<TLabel>(form.get(), 10, 10, 5, 5);
    label->SetCaption("&Name");
    auto* other = Make<TEdit>(form.get(), 10, 60, 100, 22);
    auto* edit = Make<TEdit>(form.get(), 10, 30, 100, 22);
    label->SetFocusControl(edit);
    form->Show();
    other->SetFocus();
    Pump();
    ASSERT_EQ(GetFocus(), other->Handle());
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'q', 0), 0);
    EXPECT_EQ(GetFocus(), other->Handle());
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'n', 0), 1);
    EXPECT_EQ(GetFocus(), edit->Handle());
    // Freed, the focus control is forgotten.
    edit->Free();
    EXPECT_EQ(label->FocusControl(), nullptr);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'n', 0), 0);
}

// Raised outer and lowered inner bevels of 2, a border band of 3, on a
// 100 x 60 green panel: rings at insets 0-1, band 2-4, rings 5-6, face from 7.
void CheckPanelPixels(const std::function<std::uint32_t(int, int)>& pixel) {
    const std::uint32_t hi = RGBOfColor(clBtnHighlight), sh = RGBOfColor(clBtnShadow), face = 0x008000;
    for (int ring = 0; ring < 2; ++ring) {
        SCOPED_TRACE(ring);
        EXPECT_EQ(pixel(ring, 30), hi);
        EXPECT_EQ(pixel(50, ring), hi);
        EXPECT_EQ(pixel(ring, ring), hi);
        EXPECT_EQ(pixel(99 - ring, 30), sh);
        EXPECT_EQ(pixel(50, 59 - ring), sh);
        // Top-right and bottom-left corners go with the dark side.
        EXPECT_EQ(pixel(99 - ring, ring), sh);
        EXPECT_EQ(pixel(ring, 59 - ring), sh);
    }
    for (int band = 2; band < 5; ++band) {
        EXPECT_EQ(pixel(band, 30), face);
        EXPECT_EQ(pixel(99 - band, 30), face);
        EXPECT_EQ(pixel(50, band), face);
        EXPECT_EQ(pixel(50, 59 - band), face);
    }
    for (int ring = 5; ring < 7; ++ring) {
        SCOPED_TRACE(ring);
        EXPECT_EQ(pixel(ring, 30), sh);
        EXPECT_EQ(pixel(50, ring), sh);
        EXPECT_EQ(pixel(99 - ring, 30), hi);
        EXPECT_EQ(pixel(50, 59 - ring), hi);
    }
    EXPECT_EQ(pixel(7, 7), face);
    EXPECT_EQ(pixel(50, 30), face);
    EXPECT_EQ(pixel(92, 52), face);
}

TEST(Panel, BevelsBorderBandAndFaceReadBack) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* panel = Make<TPanel>(form.get(), 10, 10, 100, 60);
    panel->SetColor(clGreen);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    EXPECT_EQ(panel->FrameWidth(), 7);
    auto bmp = PaintControl(panel);
    CheckPanelPixels([&](int x, int y) { return Px(*bmp, x, y); });

    // The same on the screen, painted by the system's WM_PAINT.
    form->Show();
    Pump();
    UpdateWindow(panel->Handle());
    // The border belongs to the client area, not to a window frame.
    RECT client;
    GetClientRect(panel->Handle(), &client);
    EXPECT_EQ(client.right, 100);
    EXPECT_EQ(client.bottom, 60);
    testsupport::Picture screen = testsupport::CaptureClient(panel->Handle());
    CheckPanelPixels([&](int x, int y) { return screen.Pixel(x, y); });

    // Without bevels, only the face.
    panel->SetBevelOuter(bvNone);
    panel->SetBevelInner(bvNone);
    panel->SetBorderWidth(0);
    bmp = PaintControl(panel);
    EXPECT_EQ(Px(*bmp, 0, 0), 0x008000u);
    EXPECT_EQ(Px(*bmp, 99, 59), 0x008000u);
}

TEST(Panel, ChildrenAlignInsideTheFrame) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* panel = Make<TPanel>(form.get(), 10, 10, 100, 60);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    auto* top = Make<TPanel>(panel, 0, 0, 30, 10);
    top->SetAlign(alTop);
    auto* client = Make<TButton>(panel, 0, 0, 10, 10);
    client->SetAlign(alClient);
    EXPECT_TRUE(SameRect(top->BoundsRect(), Rect(7, 7, 93, 17))) << top->BoundsRect();
    EXPECT_TRUE(SameRect(client->BoundsRect(), Rect(7, 17, 93, 53))) << client->BoundsRect();
    // The windows are where the controls say.
    RECT r;
    GetWindowRect(client->Handle(), &r);
    MapWindowPoints(nullptr, panel->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(SameRect(r, Rect(7, 17, 93, 53))) << r;

    // Changing the frame aligns them again.
    panel->SetBorderWidth(0);
    EXPECT_TRUE(SameRect(client->BoundsRect(), Rect(4, 14, 96, 56))) << client->BoundsRect();
    panel->SetBevelInner(bvNone);
    panel->SetBevelOuter(bvNone);
    EXPECT_TRUE(SameRect(top->BoundsRect(), Rect(0, 0, 100, 10))) << top->BoundsRect();
    EXPECT_TRUE(SameRect(client->BoundsRect(), Rect(0, 10, 100, 60))) << client->BoundsRect();
    panel->SetBounds(10, 10, 150, 90);
    EXPECT_TRUE(SameRect(client->BoundsRect(), Rect(0, 10, 150, 90))) << client->BoundsRect();
}

TEST(Panel, CaptionIsOneLineCentredInsideTheFrame) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* panel = Make<TPanel>(form.get(), 10, 10, 160, 60);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    panel->Font()->SetColor(clBlue);
    panel->SetCaption("Mid");
    TSize t = MeasureText(panel->Font(), "Mid");
    const TRect all = Rect(0, 0, 160, 60);
    const int top = (7 + 53 - t.cy) / 2;
    auto ink = [&] { return FindPixels(*PaintControl(panel), all, IsInk); };
    TRect r = ink();
    ASSERT_GT(RectWidth(r), 0);
    EXPECT_GE(r.top, top);
    EXPECT_LE(r.bottom, top + t.cy);
    EXPECT_LE(std::abs((r.left + r.right) / 2 - 80), 2);
    panel->SetAlignment(taLeftJustify);
    r = ink();
    EXPECT_GE(r.left, 7);
    EXPECT_LE(r.left, 9);
    panel->SetAlignment(taRightJustify);
    r = ink();
    EXPECT_LE(r.right, 153);
    EXPECT_GE(r.right, 150);
}

TEST(Panel, ParentBackgroundShowsWhatThePanelCovers) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* outer = Make<TPanel>(form.get(), 10, 10, 200, 100);
    outer->SetBevelOuter(bvNone);
    outer->SetColor(clRed);
    auto* inner = Make<TPanel>(outer, 20, 20, 80, 50);
    inner->SetColor(clGreen);
    form->Show();
    Pump();
    UpdateWindow(inner->Handle());
    EXPECT_EQ(testsupport::CaptureClient(inner->Handle()).Pixel(40, 25), 0x008000u);
    inner->SetParentBackground(true);
    EXPECT_TRUE(inner->ControlStyle().Contains(csParentBackground));
    UpdateWindow(inner->Handle());
    testsupport::Picture pic = testsupport::CaptureClient(inner->Handle());
    EXPECT_EQ(pic.Pixel(40, 25), 0xFF0000u);
    // The bevel is still drawn over it.
    EXPECT_EQ(pic.Pixel(0, 25), RGBOfColor(clBtnHighlight));
}

TEST(PaintBox, OnPaintDrawsOnItsCanvas) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* box = Make<TPaintBox>(form.get(), 10, 10, 30, 20);
    int paints = 0;
    box->OnPaint = [&](TObject* s) {
        ++paints;
        auto* b = static_cast<TPaintBox*>(s);
        b->Canvas()->Brush()->SetColor(clRed);
        b->Canvas()->FillRect(Rect(0, 0, 10, 10));
    };
    auto bmp = PaintControl(box);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(Px(*bmp, 5, 5), 0xFF0000u);
    EXPECT_EQ(Px(*bmp, 15, 15), 0xFF00FFu);
}

// Every published property with a default holds it on a new control.
template <typename T>
void CheckDefaults(std::set<String>& Seen) {
    T* c = TObject::Create<T>(nullptr);
    SCOPED_TRACE(c->ClassName());
    for (const TClassInfo* info = c->ClassInfo(); info; info = info->Parent)
        for (const TPropInfo& p : info->Props) {
            const TPropInfo* used = GetPropInfo(c, p.Name);
            if (used != &p || !p.HasDefault || !p.GetOrd) continue;
            Seen.insert(p.Name);
            EXPECT_EQ(p.GetOrd(c), p.Default) << p.Name;
        }
    c->Free();
}

TEST(Published, NewControlsHoldTheirPublishedDefaults) {
    std::set<String> seen;
    CheckDefaults<TButton>(seen);
    CheckDefaults<TEdit>(seen);
    CheckDefaults<TLabel>(seen);
    CheckDefaults<TSpeedButton>(seen);
    CheckDefaults<TPanel>(seen);
    for (const char* name : {"Default",    "Cancel",      "ModalResult", "WordWrap",    "ReadOnly",
                             "MaxLength",  "BorderStyle", "AutoSize",    "Transparent", "ShowAccelChar",
                             "Layout",     "Alignment",   "Spacing",     "Margin",      "NumGlyphs",
                             "GroupIndex", "AllowAllUp",  "Flat",        "Down",        "BevelOuter",
                             "BevelInner", "BevelWidth",  "BorderWidth", "FullRepaint", "ParentBackground"})
        EXPECT_TRUE(seen.count(name)) << name;

    // And they are set by name through the same table.
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* panel = Make<TPanel>(form.get(), 0, 0, 100, 60);
    SetOrdProp(panel, "BevelOuter", bvLowered);
    SetOrdProp(panel, "BorderWidth", 4);
    EXPECT_EQ(panel->BevelOuter(), bvLowered);
    EXPECT_EQ(panel->BorderWidth(), 4);
    auto* sb = Make<TSpeedButton>(form.get(), 0, 0, 20, 20);
    SetOrdProp(sb, "Spacing", 7);
    SetOrdProp(sb, "Layout", blGlyphBottom);
    EXPECT_EQ(sb->Spacing(), 7);
    EXPECT_EQ(sb->Layout(), blGlyphBottom);
    EXPECT_EQ(GetObjectProp(sb, "Glyph"), sb->Glyph());
}

}  // namespace
