// The skinned track bar on screen with the test skin: channel, thumb and
// ticks where the system window's geometry puts them, for both orientations
// and every tick row; the hot and pressed thumb under real input, a real drag
// and its events; ticks drawn as lines without pictures; the system look
// back when the skin goes.
#include "RangeTest.h"

#include "sTrackBar.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

using namespace rangetest;

namespace {

struct TickCase {
    TTrackBarOrientation Orientation;
    TTickMark Marks;
    TTickStyle Style;
    int Min, Max;
};

class TrackBarLook : public RangeTest, public ::testing::WithParamInterface<TickCase> {};

TEST_P(TrackBarLook, ChannelThumbAndTicksInTheirPixels) {
    const TickCase c = GetParam();
    const bool vert = c.Orientation == trVertical;
    auto* bar = TObject::Create<TsTrackBar>(Form);
    bar->SetOrientation(c.Orientation);
    bar->SetRange(c.Min, c.Max);
    bar->SetTickMarks(c.Marks);
    bar->SetTickStyle(c.Style);
    bar->SetTick(c.Min + 4);
    bar->SetTick(c.Max - 3);
    bar->SetPosition(c.Min + (c.Max - c.Min) * 3 / 10);
    bar->SetParent(Form);
    bar->SetBounds(10, 10, vert ? 45 : 220, vert ? 220 : 45);
    const Picture p = Shot(bar);
    const HWND h = bar->Handle();
    const TRect thumb = acTrackThumbRect(h), chan = acTrackChannelRect(h, vert);
    ASSERT_GT(RectWidth(thumb) * RectHeight(thumb), 0);
    // A vertical channel runs along the height, whatever the system reports.
    EXPECT_EQ(vert, RectHeight(chan) > RectWidth(chan));

    // The test pictures are Wine's 11 x 21: they fill the thumb, or the top
    // 21 rows of Windows' 11 x 23 one.
    const int thick = std::min(21, int(vert ? RectWidth(thumb) : RectHeight(thumb)));
    EXPECT_EQ(Count(p, thumb, C().Slider[0]), (vert ? RectHeight(thumb) : RectWidth(thumb)) * thick);
    EXPECT_EQ(p.Pixel(1, 1), C().Global);
    // The channel picture at the middle of the bar, its edge at the start.
    const int midAlong = vert ? (chan.top + chan.bottom) / 2 : (chan.left + chan.right) / 2;
    const int midAcross = vert ? (chan.left + chan.right) / 2 : (chan.top + chan.bottom) / 2;
    EXPECT_EQ(vert ? p.Pixel(midAcross, midAlong) : p.Pixel(midAlong, midAcross), C().Channel);
    // The one channel picture serves both: its side columns edge a vertical channel.
    if (vert) EXPECT_EQ(Count(p, RECT{chan.left - 4, midAlong, chan.right + 4, midAlong + 1}, C().ChannelEdge), 6);
    else EXPECT_EQ(p.Pixel(chan.left + 1, midAcross), C().ChannelEdge);

    // Tick rows clear of the thumb by two pixels; each tick at its value.
    std::vector<int> values;
    if (c.Style == tsAuto)
        for (int v = c.Min; v <= c.Max; ++v) values.push_back(v);
    if (c.Style == tsManual) values = {c.Min, c.Min + 4, c.Max - 3, c.Max};
    const int thumbExt = vert ? RectHeight(thumb) : RectWidth(thumb);
    const int start = vert ? chan.top : chan.left, len = vert ? RectHeight(chan) : RectWidth(chan);
    const int d = vert ? (RectWidth(thumb) - RectWidth(chan)) / 2 + 2 : (RectHeight(thumb) - RectHeight(chan)) / 2 + 2;
    std::vector<int> rows;
    if (c.Marks != tmBottomRight) rows.push_back((vert ? chan.left : chan.top) - d - 4);
    if (c.Marks != tmTopLeft) rows.push_back((vert ? chan.right : chan.bottom) + d);
    for (int v : values) {
        const int along = start + thumbExt / 2 +
                          static_cast<int>(std::lround(double(len - thumbExt) * (v - c.Min) / (c.Max - c.Min)));
        for (int row : rows)
            EXPECT_EQ(vert ? p.Pixel(row + 1, along) : p.Pixel(along, row + 1), C().Tick[0]) << "tick " << v;
    }
    EXPECT_EQ(Count(p, C().Tick[0]), int(values.size() * rows.size()) * 4);
}

INSTANTIATE_TEST_SUITE_P(RowsAndOrientations, TrackBarLook,
                         ::testing::Values(TickCase{trHorizontal, tmBottomRight, tsAuto, 0, 10},
                                           TickCase{trHorizontal, tmTopLeft, tsAuto, 0, 10},
                                           TickCase{trHorizontal, tmBoth, tsManual, 5, 25},
                                           TickCase{trHorizontal, tmBoth, tsNone, 0, 10},
                                           TickCase{trVertical, tmBottomRight, tsAuto, 0, 10},
                                           TickCase{trVertical, tmBoth, tsManual, -10, 30}));

class TrackBar : public RangeTest {};

TEST_F(TrackBar, HotAndPressedThumbAndARealDrag) {
    auto* bar = Make<TsTrackBar>(10, 10, 220, 45);
    bar->SetRange(0, 10);
    int userChanges = 0;
    bar->OnUserChange = [&](TObject*) { ++userChanges; };
    Application->SetShowHint(true);
    Pump(30);
    const TRect thumb = acTrackThumbRect(bar->Handle());
    const TRect chan = acTrackChannelRect(bar->Handle(), false);
    const int y = (thumb.top + thumb.bottom) / 2;
    auto thumbColour = [&] {
        const Picture p = Shot(bar);
        const TRect t = acTrackThumbRect(bar->Handle());
        return p.Pixel((t.left + t.right) / 2, (t.top + t.bottom) / 2);
    };

    testinput::MouseTo(At(bar, (thumb.left + thumb.right) / 2, y));
    EXPECT_EQ(thumbColour(), C().Slider[1]);
    EXPECT_EQ(Shot(bar).Pixel(1, 1), C().GlobalHot);
    testinput::LeftButton(true);
    EXPECT_TRUE(bar->ThumbPressed());
    EXPECT_EQ(thumbColour(), C().Slider[2]);
    EXPECT_FALSE(Application->ShowHint());
    testinput::MouseTo(At(bar, chan.right - 2, y));
    EXPECT_EQ(bar->Position(), 10);
    EXPECT_GT(userChanges, 0);
    EXPECT_EQ(thumbColour(), C().Slider[2]);
    testinput::LeftButton(false);
    EXPECT_FALSE(bar->ThumbPressed());
    EXPECT_EQ(thumbColour(), C().Slider[1]);
    EXPECT_TRUE(Application->ShowHint());

    // A press on the channel pages; the thumb never shows pressed.
    userChanges = 0;
    testinput::MouseTo(At(bar, chan.left + 8, y));
    testinput::LeftButton(true);
    EXPECT_EQ(Count(Shot(bar), C().Slider[2]), 0);
    testinput::LeftButton(false);
    EXPECT_LT(bar->Position(), 10);
    EXPECT_GT(userChanges, 0);

    // A release with no press of this bar leaves the program's hints alone.
    Application->SetShowHint(false);
    SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(Application->ShowHint());
    Application->SetShowHint(true);
}

TEST_F(TrackBar, WithoutPicturesTicksAreLinesAndWithoutASkinTheSystemDraws) {
    auto* bar = Make<TsTrackBar>(10, 10, 220, 45);
    bar->SetRange(0, 4);
    bar->SkinData()->SetSkinSection("CHECKBOX");  // colours only
    Picture p = Shot(bar);
    const TRect thumb = acTrackThumbRect(bar->Handle()), chan = acTrackChannelRect(bar->Handle(), false);
    const int row = chan.bottom + (RectHeight(thumb) - RectHeight(chan)) / 2 + 2;
    // Value 2 of 0..4: half way, a half rounded up.
    const int along = chan.left + RectWidth(thumb) / 2 + int(std::lround((RectWidth(chan) - RectWidth(thumb)) / 2.0));
    EXPECT_EQ(p.Pixel(along - 1, row + 1), testsupport::RGBOf(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(p.Pixel(along, row + 1), 0xFFFFFFu);

    // A thumb of another size takes its picture stretched, cut at the control's edge.
    bar->SkinData()->SetSkinSection("TRACKBAR");
    bar->SetThumbLength(60);
    const TRect big = acTrackThumbRect(bar->Handle());
    const TRect client{0, 0, bar->Width(), bar->Height()};
    TRect seen;
    IntersectRect(&seen, &big, &client);
    EXPECT_EQ(Count(Shot(bar), seen, C().Slider[0]), RectWidth(seen) * RectHeight(seen));
    Manager->SetActive(false);
    Pump(50);
    p = Shot(bar);
    for (std::uint32_t skin : {C().Slider[0], C().Channel, C().ChannelEdge, C().Tick[0]}) EXPECT_EQ(Count(p, skin), 0);
}

TEST_F(TrackBar, TicksOfARangeAsWideAsAnIntStayInPlace) {
    auto* bar = Make<TsTrackBar>(10, 10, 220, 45);
    bar->SetTickStyle(tsManual);
    bar->SetRange(INT_MIN, INT_MAX);
    bar->SetTick(0);
    Picture p = Shot(bar);
    const TRect thumb = acTrackThumbRect(bar->Handle()), chan = acTrackChannelRect(bar->Handle(), false);
    const int row = chan.bottom + (RectHeight(thumb) - RectHeight(chan)) / 2 + 2;
    // 0 lies a half and 2^-33 of the way: the half rounded up.
    const int along = chan.left + RectWidth(thumb) / 2 + int(std::lround((RectWidth(chan) - RectWidth(thumb)) / 2.0));
    EXPECT_EQ(p.Pixel(along, row + 1), C().Tick[0]);
    EXPECT_EQ(Count(p, C().Tick[0]), 3 * 4) << "both ends and the middle";
}

namespace countedmessages {
HWND Target = nullptr;
int Count = 0;
LRESULT CALLBACK Hook(int Code, WPARAM W, LPARAM L) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(L);
    if (Code == HC_ACTION && m->hwnd == Target) ++Count;
    return CallNextHookEx(nullptr, Code, W, L);
}
}  // namespace countedmessages

// A tick at every one of many positions: the paint asks the window a
// bounded number of questions, not one per tick, and every tick pixel shows.
TEST_F(TrackBar, ATickAtEachOfManyPositionsCostsAPixelsWorth) {
    auto* bar = Make<TsTrackBar>(10, 10, 220, 45);
    bar->SetRange(0, 5000);
    bar->SetFrequency(1);
    Pump(30);
    countedmessages::Target = bar->Handle();
    countedmessages::Count = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, &countedmessages::Hook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const Picture p = Shot(bar);
    UnhookWindowsHookEx(hook);
    EXPECT_LT(countedmessages::Count, 200) << "messages to the track bar for one paint";
    const TRect thumb = acTrackThumbRect(bar->Handle()), chan = acTrackChannelRect(bar->Handle(), false);
    const int row = chan.bottom + (RectHeight(thumb) - RectHeight(chan)) / 2 + 2;
    for (int v : {0, 1, 2500, 4999, 5000}) {
        const int along = acTickPixel(v, 0, 5000, chan.left, chan.right, RectWidth(thumb));
        EXPECT_EQ(p.Pixel(along, row + 1), C().Tick[0]) << v;
    }
}

// A thumb picture cut from the skin's master picture (GLOBALINFO's boxes:
// the checked box's 8 rows over the grayed box's), whole or stretched: read
// from its own rectangle, and upside down with the ticks above the bar.
TEST_F(TrackBar, AThumbCutFromTheMasterPictureShowsItsOwnRowsEitherWayUp) {
    testsupport::TestSkinOptions o;
    o.Extra = "\n[CUTTHUMB]\nCOLOR=0x808080\n[CUTTHUMB.SLIDERMASK]\nIMAGECOUNT=3\nMASKTYPE=0\nRECT=0,8,21,13\n";
    TsSkinManager* cut = testsupport::TestSkinManager(o);
    const std::uint32_t upper = C().Box[1][0], lower = C().Box[2][0];
    const struct {
        int Length;  // 13: a 7 x 13 thumb, the picture's own size
        TTickMark Marks;
        bool UpperOnTop;
    } cases[] = {{13, tmBottomRight, true}, {13, tmTopLeft, false}, {40, tmBottomRight, true}, {40, tmTopLeft, false}};
    for (const auto& c : cases) {
        auto* bar = Make<TsTrackBar>(10, 10, 220, 60);
        bar->SkinData()->SetSkinManager(cut);
        bar->SkinData()->SetSkinSection("CUTTHUMB");
        bar->SetTickMarks(c.Marks);
        bar->SetThumbLength(c.Length);
        const Picture p = Shot(bar);
        const TRect t = acTrackThumbRect(bar->Handle());
        if (c.Length == 13) {
            ASSERT_EQ(RectWidth(t) * 100 + RectHeight(t), 7 * 100 + 13) << "the picture fits";
        }
        const int x = (t.left + t.right) / 2;
        const std::uint32_t top = p.Pixel(x, t.top), bottom = p.Pixel(x, t.bottom - 1);
        EXPECT_EQ(top, c.UpperOnTop ? upper : lower) << c.Length << " " << c.Marks;
        EXPECT_EQ(bottom, c.UpperOnTop ? lower : upper) << c.Length << " " << c.Marks;
        const int upperRows = Count(p, RECT{x, t.top, x + 1, t.bottom}, upper);
        EXPECT_NEAR(upperRows, RectHeight(t) * 8.0 / 13, 1.0) << c.Length << " " << c.Marks;
        bar->Free();
    }
}

}  // namespace
