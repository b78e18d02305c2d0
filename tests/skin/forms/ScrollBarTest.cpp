// Skinned scroll bars on real windows (a plain window with both bars, a
// multi-line EDIT and a LISTBOX): pixels per state against the test skin,
// hit testing, real mouse input that scrolls the content, and the tracking
// state after a lost capture.
#include "AdapterTestSupport.h"

#include <algorithm>
#include <climits>
#include <memory>

namespace {

using namespace adaptertest;

// The shortest thumb: the system's own, or the whole slider picture (its
// two 3-pixel ends, the 4-pixel grip glyph and a pixel on either side).
int MinThumb() {
    return std::max(GetSystemMetrics(SM_CYVTHUMB),
                    2 * testsupport::kTestBorderWidth + testsupport::kTestGlyphHeight + 2);
}

class ScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Manager();
        host = MakeHost(420, 320);
        gSeen.clear();
    }
    void TearDown() override {
        LeftButton(false);
        adapter.reset();
        DestroyWindow(host);
        Pump(20);
    }
    // The plain window fills the host's client area (so its corner is a grip place).
    HWND Plain(int Min = 0, int Max = 99, int Page = 10, int Pos = 0) {
        HWND h = MakeChild(host, "RecWnd", WS_VSCROLL | WS_HSCROLL, 0, 0, 420, 320);
        SendMessageA(h, RW_SETRANGE, MAKEWPARAM(Min, Max), MAKELPARAM(Page, Pos));
        return Skin(h);
    }
    HWND ListBox(int Lines) {
        HWND h = MakeChild(host, "LISTBOX", WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT, 10, 10, 200, 150);
        for (int i = 0; i < Lines; ++i) SendMessageA(h, LB_ADDSTRING, 0, LPARAM(("line " + std::to_string(i)).c_str()));
        visible = 150 / int(SendMessageA(h, LB_GETITEMHEIGHT, 0, 0));
        return Skin(h);
    }
    HWND Skin(HWND h) {
        adapter = std::make_unique<TacScrollWnd>(h, nullptr, Manager(), "EDIT");
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
        Pump(30);
        arrow = ScrollBarMetric(adapter->VertBar, 0, false);
        return h;
    }
    // A point of the vertical bar (window coordinates), Along pixels from its
    // top, or from its bottom when negative; Edge: on its left border column.
    POINT OnVert(int Along, bool Edge = false) {
        const RECT r = LocalBarRect(adapter.get(), SB_VERT);
        return POINT{Edge ? r.left + 1 : (r.left + r.right) / 2, Along >= 0 ? r.top + Along : r.bottom + Along};
    }
    std::uint32_t PixelAt(POINT P) { return WindowPixel(adapter->CtrlHandle, P.x, P.y); }
    // The brd3 border colour of the part at Along tells its state.
    std::uint32_t EdgeAt(int Along) { return PixelAt(OnVert(Along, true)); }
    POINT Screen(POINT P) { return ScreenOf(adapter->CtrlHandle, P); }
    // Screen rectangle of the vertical bar, thumb length and start.
    TRect VertBar(int& Size, int& Pos) {
        TRect r;
        ScrollBarRect(adapter.get(), SB_VERT, adapter->CtrlHandle, r);
        adapter->VertBar->ReadInfo();
        CalcThumb(adapter->VertBar, r, Size, Pos);
        return r;
    }
    POINT ThumbCentre() {
        int size = 0, pos = 0;
        const TRect r = VertBar(size, pos);
        return POINT{(r.left + r.right) / 2, pos + size / 2};
    }
    int VPos(HWND h) { return GetScrollPos(h, SB_VERT); }
    LRESULT Top(HWND lb) { return SendMessageA(lb, LB_GETTOPINDEX, 0, 0); }

    HWND host = nullptr;
    std::unique_ptr<TacScrollWnd> adapter;
    int arrow = 0, visible = 0;
};

TEST_F(ScrollBarTest, BarsTakeTheirRoomAndPaintTheSkinSections) {
    HWND h = Plain(0, 99, 10, 50);
    RECT client{}, w{};
    GetClientRect(h, &client);
    GetWindowRect(h, &w);
    const int t = ScrollBarMetric(adapter->VertBar, 1, false);
    EXPECT_EQ(client.right, 420 - t);
    EXPECT_EQ(client.bottom, 320 - t);
    EXPECT_EQ(EdgeAt(arrow / 2), C().Border[0]);
    EXPECT_EQ(EdgeAt(-arrow / 2), C().Border[0]);
    EXPECT_EQ(EdgeAt(ThumbCentre().y - w.top - LocalBarRect(adapter.get(), SB_VERT).top), C().Border[0]);
    EXPECT_EQ(PixelAt(OnVert(arrow + 4)), C().ScrollTrack[0]);
    EXPECT_EQ(PixelAt(OnVert(-arrow - 4)), C().ScrollTrack[1]);
    const RECT hr = LocalBarRect(adapter.get(), SB_HORZ);
    EXPECT_EQ(WindowPixel(h, hr.left + arrow / 2, hr.top + 1), C().Border[0]);
    EXPECT_EQ(WindowPixel(h, hr.right - arrow - 4, (hr.top + hr.bottom) / 2), C().ScrollTrack[1]);
    // The square between the bars is theirs, not the window's.
    const RECT vr = LocalBarRect(adapter.get(), SB_VERT);
    EXPECT_EQ(WindowPixel(h, vr.left + 1, hr.top + 1), C().ScrollTrack[0]);
}

// With WS_EX_LEFTSCROLLBAR the vertical bar and its room are on the left,
// and the horizontal bar starts beside it.
TEST_F(ScrollBarTest, LeftBarIsPaintedOnTheLeft) {
    HWND h = MakeChild(host, "RecWnd", WS_VSCROLL | WS_HSCROLL, 0, 0, 420, 320);
    SetWindowLongPtrA(h, GWL_EXSTYLE, WS_EX_LEFTSCROLLBAR);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    SendMessageA(h, RW_SETRANGE, MAKEWPARAM(0, 99), MAKELPARAM(10, 50));
    Skin(h);
    const int t = ScrollBarMetric(adapter->VertBar, 1, false);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    EXPECT_EQ(ScreenOf(h, POINT{t, 0}).x, origin.x);
    const RECT vr = LocalBarRect(adapter.get(), SB_VERT), hr = LocalBarRect(adapter.get(), SB_HORZ);
    EXPECT_EQ(vr.left, 0);
    EXPECT_EQ(hr.left, t);
    EXPECT_EQ(EdgeAt(arrow / 2), C().Border[0]);
    EXPECT_EQ(PixelAt(OnVert(arrow + 4)), C().ScrollTrack[0]);
    EXPECT_EQ(WindowPixel(h, hr.left + arrow / 2, hr.top + 1), C().Border[0]);
    EXPECT_EQ(WindowPixel(h, hr.right - arrow - 4, (hr.top + hr.bottom) / 2), C().ScrollTrack[1]);
    EXPECT_EQ(WindowPixel(h, 410, 100), testsupport::RGBOf(GetSysColor(COLOR_WINDOW)));  // the client area
    // A real click on the lower arrow, now on the left, scrolls.
    Click(Screen(OnVert(-arrow / 2)));
    EXPECT_EQ(VPos(h), 51);
}

TEST_F(ScrollBarTest, ShortThumbKeepsItsWholePicture) {
    // A page of 1 in 10,000 lines: proportionally under a pixel long.
    Plain(0, 9999, 1, 0);
    int size = 0, pos = 0;
    VertBar(size, pos);
    EXPECT_EQ(size, MinThumb());
    adapter->VertBar->MinThumbSize = 40;  // a window may ask for more
    VertBar(size, pos);
    EXPECT_EQ(size, 40);
    adapter->VertBar->MinThumbSize = DefaultMinThumbSize();
    // Both 3-pixel ends and the glyph between them are painted.
    RECT w{};
    GetWindowRect(adapter->CtrlHandle, &w);
    const int top = pos - w.top - LocalBarRect(adapter.get(), SB_VERT).top;  // along the bar
    EXPECT_EQ(EdgeAt(top + 1), C().Border[0]);
    EXPECT_EQ(EdgeAt(top + MinThumb() - 2), C().Border[0]);
    EXPECT_NE(PixelAt(OnVert(top + 3)), C().ScrollTrack[0]);
}

TEST_F(ScrollBarTest, HitTestingGivesEveryPart) {
    HWND h = Plain(0, 99, 10, 50);
    int size = 0, pos = 0;
    const TRect r = VertBar(size, pos);
    const int x = (r.left + r.right) / 2, a = arrow;
    const std::pair<int, int> cases[] = {
        {r.top, spLineUp},         {r.top + a - 1, spLineUp},      {r.top + a, spPageUp},
        {pos + size / 2, spThumb}, {r.bottom - a - 1, spPageDown}, {r.bottom - 1, spLineDown},
        {r.bottom, spNone}};
    for (const auto& [y, part] : cases)
        EXPECT_EQ(ScrollBarHitPart(adapter->VertBar, r, TPoint{x, y}), part) << "y " << y - r.top;
    EXPECT_EQ(ScrollBarHitPart(adapter->VertBar, r, TPoint{r.left - 1, pos}), spNone);
    // Too short for a thumb: each half goes to its arrow.
    const TRect tiny{r.left, r.top, r.right, r.top + a + 1};
    EXPECT_EQ(ScrollBarHitPart(adapter->VertBar, tiny, TPoint{x, tiny.top + a / 2 - 1}), spLineUp);
    EXPECT_EQ(ScrollBarHitPart(adapter->VertBar, tiny, TPoint{x, tiny.bottom - 1}), spLineDown);

    RECT w{};
    GetWindowRect(h, &w);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(x, pos)), HTVSCROLL);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(r.left - 30, r.bottom + 2)), HTHSCROLL);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(w.left + 30, w.top + 30)), HTCLIENT);
}

// The square between the bars is a size grip only where the top-level window
// can be sized: a press and drag there leaves a child of a fixed form alone.
TEST_F(ScrollBarTest, GripOnlyWhereTheFormCanBeSized) {
    HWND h = Plain();
    RECT w{};
    GetWindowRect(h, &w);
    const POINT corner{w.right - 3, w.bottom - 3};
    EXPECT_NE(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);
    Drag(corner, POINT{corner.x - 40, corner.y - 30});
    Pump(50);
    RECT after{};
    GetWindowRect(h, &after);
    EXPECT_EQ(after.right - after.left, w.right - w.left) << "the child sized itself";
    EXPECT_EQ(after.bottom - after.top, w.bottom - w.top);
    // A sizeable form: its child's corner is the form's grip.
    SetWindowLongPtrA(host, GWL_STYLE, GetWindowLongPtrA(host, GWL_STYLE) | WS_THICKFRAME);
    SetWindowPos(host, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RECT c{};
    GetClientRect(host, &c);
    MoveWindow(h, 0, 0, c.right, c.bottom, TRUE);
    GetWindowRect(h, &w);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(w.right - 2, w.bottom - 2)), HTBOTTOMRIGHT);
}

TEST_F(ScrollBarTest, ThumbGeometryCountsFromMinAndClamps) {
    Plain();
    TacScrollBar& b = *adapter->VertBar;
    const int a = arrow, track = 216 - 2 * a;
    struct Case {
        int Min, Max, Page, Pos, Size, Offset;
    } cases[] = {{0, 99, 10, 0, track / 10, 0},
                 {10, 109, 10, 10, track / 10, 0},
                 {10, 109, 10, 100, track / 10, track - track / 10},
                 {10, 109, 10, 500, track / 10, track - track / 10},  // beyond the end: clamped
                 {0, 99, 0, 0, a, 0},                                 // no page: an arrow long
                 {0, 9999, 1, 0, MinThumb(), 0},                      // the minimum thumb
                 // Ranges as wide as an int allows: counted without overflow.
                 {0, INT_MAX, 0, 1 << 30, a, (track - a + 1) / 2},
                 {INT_MIN, INT_MAX, 0, 0, a, (track - a + 1) / 2},
                 {0, INT_MAX, 1 << 30, INT_MAX, track / 2, track - track / 2}};
    for (const Case& c : cases) {
        b.ScrollInfo = SCROLLINFO{sizeof(SCROLLINFO), SIF_ALL, c.Min, c.Max, UINT(c.Page), c.Pos, 0};
        int size = 0, pos = 0;
        CalcThumb(&b, TRect{0, 0, 16, 216}, size, pos);
        EXPECT_EQ(size, c.Size) << c.Min << ".." << c.Max << " page " << c.Page;
        EXPECT_EQ(pos - a, c.Offset) << c.Min << ".." << c.Max << " pos " << c.Pos;
    }
}

TEST_F(ScrollBarTest, HoverPressAndDisabledLooks) {
    HWND h = Plain(0, 99, 10, 50);
    const int a = arrow;
    const POINT away = Screen(POINT{100, 100}), down = Screen(OnVert(-a / 2));
    MouseTo(away);
    MouseTo(down);
    Pump(80);  // the hover timer finds the part
    EXPECT_EQ(EdgeAt(-a / 2), C().Border[1]) << "hot";
    EXPECT_EQ(EdgeAt(a / 2), C().Border[0]);
    LeftButton(true);
    EXPECT_EQ(EdgeAt(-a / 2), C().Border[2]) << "pressed";
    LeftButton(false);
    MouseTo(away);
    Pump(80);
    EXPECT_EQ(EdgeAt(-a / 2), C().Border[0]) << "left";
    MouseTo(Screen(OnVert(-a - 4)));
    LeftButton(true);
    EXPECT_EQ(PixelAt(OnVert(-a - 4)), C().ScrollTrackHot[1]) << "pressed track";
    LeftButton(false);

    // Nothing to scroll: the bar stays, blended 40 % over the window's picture.
    SendMessageA(h, RW_SETRANGE, 0, MAKELPARAM(10, 0));
    Pump(30);
    std::uint32_t mix = 0;
    for (int i = 0; i < 3; ++i)
        mix |= std::uint32_t(Ch(C().Edit, i) + (Ch(C().ScrollTrack[0], i) - Ch(C().Edit, i)) * 0.4 + 0.5) << (8 * i);
    EXPECT_TRUE(Near(PixelAt(OnVert(a + 4)), mix));
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(down.x, down.y)), HTNOWHERE);
    gSeen.clear();
    Click(down);
    EXPECT_EQ(CountOf(WM_VSCROLL), 0);
}

// A bar or an arrow the program disabled neither scrolls nor looks hot or
// pressed: it shows the disabled look (a single arrow as it shows on a bar
// disabled whole), and what stays enabled works as ever.
TEST_F(ScrollBarTest, BarsAndArrowsDisabledByTheProgramDoNotScroll) {
    struct Look {
        std::uint32_t Edge, Middle;
        bool operator==(const Look& O) const { return Edge == O.Edge && Middle == O.Middle; }
    };
    Look off[2]{};  // each arrow's look on a bar disabled whole
    const struct {
        const char* Name;
        UINT Flags;
        bool Off[2];  // up, down
    } cases[] = {{"both", ESB_DISABLE_BOTH, {true, true}},
                 {"up", ESB_DISABLE_UP, {true, false}},
                 {"down", ESB_DISABLE_DOWN, {false, true}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        adapter.reset();
        DestroyWindow(GetWindow(host, GW_CHILD));
        HWND h = Plain(0, 99, 10, 50);
        ASSERT_TRUE(EnableScrollBar(h, SB_VERT, c.Flags));
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        Pump(60);
        const bool whole = c.Off[0] && c.Off[1];
        for (int i = 0; i < 2; ++i) {
            const int along = i == 0 ? arrow / 2 : -arrow / 2;
            const POINT p = Screen(OnVert(along));
            auto look = [&] { return Look{EdgeAt(along), PixelAt(OnVert(along))}; };
            if (whole) off[i] = look();
            MouseTo(p);
            Pump(80);
            if (c.Off[i]) EXPECT_TRUE(look() == off[i]) << i << " hovered";
            else EXPECT_EQ(look().Edge, C().Border[1]) << i << " hovered";
            EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), whole ? HTNOWHERE : HTVSCROLL);
            gSeen.clear();
            LeftButton(true);
            if (c.Off[i]) EXPECT_TRUE(look() == off[i]) << i << " pressed";
            else EXPECT_EQ(look().Edge, C().Border[2]) << i << " pressed";
            LeftButton(false);
            EXPECT_EQ(CountOf(WM_VSCROLL), c.Off[i] ? 0 : 2) << i;
            EXPECT_EQ(VPos(h), c.Off[i] ? 50 : 50 + (i == 0 ? -1 : 1)) << i;
            MouseTo(Screen(POINT{100, 100}));
            Pump(80);
            if (c.Off[i]) EXPECT_TRUE(look() == off[i]) << i;
            else EXPECT_EQ(look().Edge, C().Border[0]) << i;
            if (!c.Off[i]) SendMessageA(h, WM_VSCROLL, i == 0 ? SB_LINEDOWN : SB_LINEUP, 0);  // back to 50
        }
        // The track pages unless the whole bar is disabled.
        gSeen.clear();
        Click(Screen(OnVert(-arrow - 4)));
        EXPECT_EQ(VPos(h), whole ? 50 : 60);
    }
    EXPECT_NE(off[0].Edge, C().Border[0]) << "the disabled look is not the enabled one";
    // Enabled again: the arrow scrolls.
    EnableScrollBar(adapter->CtrlHandle, SB_VERT, ESB_ENABLE_BOTH);
    Click(Screen(OnVert(-arrow / 2)));
    EXPECT_EQ(VPos(adapter->CtrlHandle), 61);
}

TEST_F(ScrollBarTest, ArrowClickHoldAndPageScrollAListBox) {
    HWND lb = ListBox(200);
    const POINT down = Screen(OnVert(-arrow / 2));
    Click(down);
    EXPECT_EQ(Top(lb), 1);
    EXPECT_EQ(VPos(lb), 1);
    // Held: one at once, none for 300 ms, then one every 55 ms.
    MouseTo(down);
    LeftButton(true);
    Pump(200);
    EXPECT_EQ(Top(lb), 2);
    Pump(500);
    LeftButton(false);
    const LRESULT held = Top(lb);
    EXPECT_GE(held, 5);
    EXPECT_LE(held, 12);
    EXPECT_EQ(EdgeAt(-arrow / 2), C().Border[1]);  // ours, hot, over what the list drew meanwhile
    Click(Screen(OnVert(-arrow - 2)));
    EXPECT_EQ(Top(lb), held + visible);
}

TEST_F(ScrollBarTest, ThumbDragScrollsToTheEndAndToTheMiddle) {
    HWND lb = ListBox(200);
    const POINT from = ThumbCentre();
    RECT w{};
    GetWindowRect(lb, &w);
    Drag(from, POINT{from.x, w.bottom + 40});
    EXPECT_EQ(Top(lb), 200 - visible);
    EXPECT_FALSE(adapter->ThumbDragging);
    EXPECT_EQ(EdgeAt(-arrow - 3), C().Border[0]);  // the thumb is painted at the end

    // nMin 10: the drag to the middle lands in the middle of 10 .. 100.
    adapter.reset();
    DestroyWindow(lb);
    HWND h = Plain(10, 109, 10, 10);
    int size = 0, pos = 0;
    const TRect r = VertBar(size, pos);
    const POINT start = ThumbCentre();
    gSeen.clear();
    Drag(start, POINT{start.x, start.y + (r.bottom - r.top - 2 * arrow - size) / 2});
    EXPECT_NEAR(VPos(h), 10 + 90 / 2, 1);
    EXPECT_EQ(CountOf(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, VPos(h))), 1);
    EXPECT_EQ(CountOf(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, VPos(h))), 1);
    Drag(ThumbCentre(), POINT{start.x, r.bottom + 50});
    EXPECT_EQ(VPos(h), 100);
}

TEST_F(ScrollBarTest, EditScrollsByArrowAndBarsSurviveItsOwnRedraws) {
    HWND ed = MakeChild(host, "EDIT", ES_MULTILINE | WS_VSCROLL | WS_BORDER | ES_AUTOVSCROLL, 10, 10, 200, 120);
    std::string text;
    for (int i = 0; i < 60; ++i) text += "line " + std::to_string(i) + "\r\n";
    SetWindowTextA(ed, text.c_str());
    Skin(ed);
    Click(Screen(OnVert(-arrow / 2)));
    EXPECT_EQ(SendMessageA(ed, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
    // Messages the edit answers by redrawing its system bar: ours go back on top.
    MouseTo(Screen(POINT{20, 20}));
    Pump(80);
    SendMessageA(ed, EM_LINESCROLL, 0, 20);
    SendMessageA(ed, WM_CHAR, 'x', 0);
    Pump(30);
    EXPECT_EQ(EdgeAt(-arrow / 2), C().Border[0]);
    EXPECT_EQ(EdgeAt(arrow / 2), C().Border[0]);
}

TEST_F(ScrollBarTest, LostCaptureMidDragLeavesNoState) {
    HWND h = Plain(0, 99, 10, 0);
    const POINT thumb = ThumbCentre();
    MouseTo(thumb);
    LeftButton(true);
    MouseTo(POINT{thumb.x, thumb.y + 30});
    ASSERT_TRUE(adapter->ThumbDragging);
    const int dragged = VPos(h);
    EXPECT_GT(dragged, 0);
    // A frame repaint mid-drag shows the pressed thumb where the mouse holds it.
    RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RECT w{};
    GetWindowRect(h, &w);
    EXPECT_EQ(EdgeAt(thumb.y + 30 - w.top - LocalBarRect(adapter.get(), SB_VERT).top), C().Border[2]);
    SetCapture(host);
    EXPECT_FALSE(adapter->ThumbDragging);
    EXPECT_EQ(acScrollTracking.PressedPart, -1);
    EXPECT_EQ(acScrollTracking.TrackWindow, nullptr);
    EXPECT_EQ(CountOf(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, dragged)), 1);
    ReleaseCapture();
    // Later mouse messages reach the window again.
    gSeen.clear();
    LeftButton(false);
    EXPECT_EQ(VPos(h), dragged);
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(CountOf(WM_LBUTTONUP), 1);
}

TEST_F(ScrollBarTest, ForeignTimersAndSwallowedMessages) {
    HWND h = Plain();
    SendMessageA(h, WM_TIMER, 7, 0);
    SendMessageA(h, WM_TIMER, acRepeatTimer, 0);
    SendMessageA(h, WM_SYSCOMMAND, SC_VSCROLL | HTVSCROLL, 0);
    SendMessageA(h, WM_NCRBUTTONDOWN, HTVSCROLL, 0);
    EXPECT_EQ(CountOf(WM_TIMER, 7), 1);
    EXPECT_EQ(CountOf(WM_TIMER), 1);
    EXPECT_EQ(CountOf(WM_SYSCOMMAND) + CountOf(WM_NCRBUTTONDOWN), 0);
    // The style change made while the frame is computed never reaches it.
    gSeen.clear();
    RedrawAdapterFrame(h, true);
    EXPECT_EQ(CountOf(WM_STYLECHANGED), 0);
    EXPECT_GE(CountOf(WM_NCCALCSIZE), 1);
}

}  // namespace
