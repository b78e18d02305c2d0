// Skinned scroll bars on real windows (a plain window with both bars, a
// multi-line EDIT and a LISTBOX): pixels per state against the test skin,
// hit testing, real mouse input that scrolls the content, and the tracking
// state after a lost capture.
#include "AdapterTestSupport.h"

#include <memory>

namespace {

using namespace adaptertest;

class ScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Manager();
        host = MakeHost();
        Record().clear();
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
        Skin(h);
        return h;
    }
    HWND ListBox(int Lines) {
        HWND h = MakeChild(host, "LISTBOX", WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT, 10, 10, 200, 150);
        for (int i = 0; i < Lines; ++i) SendMessageA(h, LB_ADDSTRING, 0, LPARAM(("line " + std::to_string(i)).c_str()));
        Skin(h);
        return h;
    }
    void Skin(HWND h) {
        adapter = std::make_unique<TacScrollWnd>(h, nullptr, Manager(), "EDIT");
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
        Pump(30);
    }
    TacScrollBar* V() { return adapter->VertBar; }
    int Arrow() { return ScrollBarMetric(V(), 0, false); }
    // A point on the vertical bar, Along pixels from its top (negative: from its bottom).
    POINT OnVert(int Along) {
        const RECT r = LocalBarRect(adapter.get(), SB_VERT);
        return POINT{(r.left + r.right) / 2, Along >= 0 ? r.top + Along : r.bottom + Along};
    }
    POINT ThumbCentre() {
        TRect r;
        ScrollBarRect(adapter.get(), SB_VERT, adapter->CtrlHandle, r);
        V()->ReadInfo();
        int size = 0, pos = 0;
        CalcThumb(V(), r, size, pos);
        return POINT{(r.left + r.right) / 2, pos + size / 2};
    }
    // The left border column of the part at Along: the brd3 colour of its state.
    std::uint32_t EdgeAt(int Along) {
        const RECT r = LocalBarRect(adapter.get(), SB_VERT);
        return WindowPixel(adapter->CtrlHandle, r.left + 1, Along >= 0 ? r.top + Along : r.bottom + Along);
    }
    std::uint32_t CentreAt(POINT P) { return WindowPixel(adapter->CtrlHandle, P.x, P.y); }
    int VPos(HWND h) {
        SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
        GetScrollInfo(h, SB_VERT, &si);
        return si.nPos;
    }

    HWND host = nullptr;
    std::unique_ptr<TacScrollWnd> adapter;
};

TEST_F(ScrollBarTest, BarsTakeTheirRoomAndPaintTheSkinSections) {
    HWND h = Plain(0, 99, 10, 50);
    RECT client{};
    GetClientRect(h, &client);
    const int t = ScrollBarMetric(V(), 1, false);
    EXPECT_EQ(client.right, 420 - t);
    EXPECT_EQ(client.bottom, 320 - t);
    EXPECT_TRUE(V()->Visible);
    EXPECT_TRUE(adapter->HorzBar->Visible);
    const int a = Arrow();
    EXPECT_EQ(EdgeAt(a / 2), C().Border[0]) << Hex(EdgeAt(a / 2));
    EXPECT_EQ(EdgeAt(-a / 2), C().Border[0]);
    const POINT thumb = ThumbCentre();
    RECT w{};
    GetWindowRect(h, &w);
    const POINT local{thumb.x - w.left, thumb.y - w.top};
    EXPECT_EQ(WindowPixel(h, LocalBarRect(adapter.get(), SB_VERT).left + 1, local.y), C().Border[0]);
    EXPECT_EQ(CentreAt(OnVert(a + 4)), C().ScrollTrack[0]) << Hex(CentreAt(OnVert(a + 4)));
    EXPECT_EQ(CentreAt(OnVert(-a - 4)), C().ScrollTrack[1]);
    // The horizontal bar, and the corner between them.
    const RECT hr = LocalBarRect(adapter.get(), SB_HORZ);
    EXPECT_EQ(WindowPixel(h, hr.left + a / 2, hr.top + 1), C().Border[0]);
    EXPECT_EQ(WindowPixel(h, hr.right - a - 4, (hr.top + hr.bottom) / 2), C().ScrollTrack[1]);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(w.right - 2, w.bottom - 2)), HTBOTTOMRIGHT);
}

TEST_F(ScrollBarTest, HitTestingGivesEveryPart) {
    HWND h = Plain(0, 99, 10, 50);
    RECT w{};
    GetWindowRect(h, &w);
    TRect r;
    ScrollBarRect(adapter.get(), SB_VERT, h, r);
    const POINT thumb = ThumbCentre();
    const int a = Arrow(), x = (r.left + r.right) / 2;
    struct Case {
        int Y;
        int Part;
    };
    for (const Case& c : {Case{r.top, spLineUp}, Case{r.top + a - 1, spLineUp}, Case{r.top + a, spPageUp},
                          Case{thumb.y, spThumb}, Case{r.bottom - a - 1, spPageDown}, Case{r.bottom - 1, spLineDown},
                          Case{r.bottom, spNone}}) {
        EXPECT_EQ(ScrollBarHitPart(V(), r, TPoint{x, c.Y}), c.Part) << "y " << c.Y - r.top;
    }
    EXPECT_EQ(ScrollBarHitPart(V(), r, TPoint{r.left - 1, thumb.y}), spNone);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(x, thumb.y)), HTVSCROLL);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(r.left - 30, r.bottom + 2)), HTHSCROLL);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(w.left + 30, w.top + 30)), HTCLIENT);

    // Too short for a thumb: two half arrows over a split track.
    const TRect tiny{r.left, r.top, r.right, r.top + a + 1};
    EXPECT_EQ(ScrollBarHitPart(V(), tiny, TPoint{x, tiny.top + a / 2 - 1}), spLineUp);
    EXPECT_EQ(ScrollBarHitPart(V(), tiny, TPoint{x, tiny.bottom - 1}), spLineDown);
}

TEST_F(ScrollBarTest, ThumbGeometryCountsFromMinAndClamps) {
    Plain();
    TacScrollBar& b = *V();
    const TRect r{0, 0, 16, 216};  // a track of 216 - 2 * arrow
    const int a = Arrow(), track = 216 - 2 * a;
    struct Case {
        int Min, Max, Page, Pos;
        int Size, Offset;
    };
    for (const Case& c : {Case{0, 99, 10, 0, track / 10, 0}, Case{10, 109, 10, 10, track / 10, 0},
                          Case{10, 109, 10, 100, track / 10, track - track / 10},
                          Case{10, 109, 10, 500, track / 10, track - track / 10},  // beyond the end: clamped
                          Case{0, 99, 0, 0, a, 0},                                   // no page: an arrow long
                          Case{0, 9999, 1, 0, 10, 0}}) {                             // the minimum thumb
        b.ScrollInfo = SCROLLINFO{sizeof(SCROLLINFO), SIF_ALL, c.Min, c.Max, UINT(c.Page), c.Pos, 0};
        int size = 0, pos = 0;
        CalcThumb(&b, r, size, pos);
        EXPECT_EQ(size, c.Size) << c.Min << ".." << c.Max << " page " << c.Page;
        EXPECT_EQ(pos - a, c.Offset) << c.Min << ".." << c.Max << " pos " << c.Pos;
    }
}

TEST_F(ScrollBarTest, HoverPressAndDisabledLooks) {
    HWND h = Plain(0, 99, 10, 50);
    const int a = Arrow();
    const POINT down = ScreenOf(h, OnVert(-a / 2));
    MoveMouse(ScreenOf(h, POINT{100, 100}));
    MoveMouse(down);
    Pump(80);  // the hover timer finds the part
    EXPECT_EQ(EdgeAt(-a / 2), C().Border[1]) << "hot " << Hex(EdgeAt(-a / 2));
    EXPECT_EQ(EdgeAt(a / 2), C().Border[0]);
    LeftButton(true);
    EXPECT_EQ(EdgeAt(-a / 2), C().Border[2]) << "pressed " << Hex(EdgeAt(-a / 2));
    LeftButton(false);
    MoveMouse(ScreenOf(h, POINT{100, 100}));
    Pump(80);
    EXPECT_EQ(EdgeAt(-a / 2), C().Border[0]) << "left " << Hex(EdgeAt(-a / 2));
    // A pressed track piece.
    const POINT page = ScreenOf(h, OnVert(-a - 4));
    MoveMouse(page);
    LeftButton(true);
    EXPECT_EQ(CentreAt(OnVert(-a - 4)), C().ScrollTrackHot[1]) << Hex(CentreAt(OnVert(-a - 4)));
    LeftButton(false);

    SendMessageA(h, RW_DISABLE, 0, 0);
    Pump(30);
    const std::uint32_t track = CentreAt(OnVert(a + 4));
    auto mix = [](std::uint32_t bar, std::uint32_t back) {
        std::uint32_t r = 0;
        for (int i = 0; i < 3; ++i) {
            const int b = int((bar >> (8 * i)) & 0xFF), p = int((back >> (8 * i)) & 0xFF);
            r |= std::uint32_t(p + (b - p) * 0.4 + 0.5) << (8 * i);
        }
        return r;
    };
    EXPECT_TRUE(Near(track, mix(C().ScrollTrack[0], C().Edit))) << Hex(track);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(down.x, down.y)), HTNOWHERE);
    Record().clear();
    Click(down);
    EXPECT_EQ(CountOf(WM_VSCROLL), 0);
}

TEST_F(ScrollBarTest, ArrowClickHoldAndPageScrollAListBox) {
    HWND lb = ListBox(200);
    const int a = Arrow();
    const int visible = 150 / int(SendMessageA(lb, LB_GETITEMHEIGHT, 0, 0));
    Click(ScreenOf(lb, OnVert(-a / 2)));
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), 1);
    EXPECT_EQ(VPos(lb), 1);

    // Held: one at once, none for 300 ms, then one every 55 ms.
    MoveMouse(ScreenOf(lb, OnVert(-a / 2)));
    LeftButton(true);
    Pump(200);
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), 2);
    Pump(500);
    LeftButton(false);
    const LRESULT held = SendMessageA(lb, LB_GETTOPINDEX, 0, 0);
    EXPECT_GE(held, 5);
    EXPECT_LE(held, 12);
    // Ours over whatever the list drew meanwhile: hot under the mouse.
    EXPECT_EQ(EdgeAt(-a / 2), C().Border[1]);

    const POINT page = ScreenOf(lb, OnVert(-a - 2));
    Click(page);
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), held + visible - 0) << "visible " << visible;
}

TEST_F(ScrollBarTest, ThumbDragScrollsToTheEndAndToTheMiddle) {
    HWND lb = ListBox(200);
    const int a = Arrow();
    const POINT from = ThumbCentre();
    RECT w{};
    GetWindowRect(lb, &w);
    Drag(from, POINT{from.x, w.bottom + 40});
    const int visible = 150 / int(SendMessageA(lb, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), 200 - visible);
    EXPECT_FALSE(adapter->ThumbDragging);
    EXPECT_EQ(EdgeAt(-a - 3), C().Border[0]);  // the thumb is painted at the end

    // nMin 10: the drag to the middle lands in the middle of 10 .. 100.
    adapter.reset();
    DestroyWindow(lb);
    HWND h = Plain(10, 109, 10, 10);
    TRect r;
    ScrollBarRect(adapter.get(), SB_VERT, h, r);
    const POINT start = ThumbCentre();
    int size = 0, pos = 0;
    CalcThumb(V(), r, size, pos);
    const int room = r.bottom - r.top - 2 * a - size;
    Record().clear();
    Drag(start, POINT{start.x, start.y + room / 2});
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
    const int a = Arrow();
    Click(ScreenOf(ed, OnVert(-a / 2)));
    EXPECT_EQ(SendMessageA(ed, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
    // Messages the edit answers by redrawing its system bar: ours go back on top.
    MoveMouse(ScreenOf(ed, POINT{20, 20}));
    Pump(80);
    SendMessageA(ed, EM_LINESCROLL, 0, 20);
    SendMessageA(ed, WM_CHAR, 'x', 0);
    Pump(30);
    EXPECT_EQ(EdgeAt(-a / 2), C().Border[0]) << Hex(EdgeAt(-a / 2));
    EXPECT_EQ(EdgeAt(a / 2), C().Border[0]);
}

TEST_F(ScrollBarTest, LostCaptureMidDragLeavesNoState) {
    HWND h = Plain(0, 99, 10, 0);
    const POINT thumb = ThumbCentre();
    MoveMouse(thumb);
    LeftButton(true);
    MoveMouse(POINT{thumb.x, thumb.y + 30});
    ASSERT_TRUE(adapter->ThumbDragging);
    const int dragged = VPos(h);
    EXPECT_GT(dragged, 0);
    // A frame repaint mid-drag shows the pressed thumb where the mouse holds it.
    RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RECT w{};
    GetWindowRect(h, &w);
    EXPECT_EQ(WindowPixel(h, LocalBarRect(adapter.get(), SB_VERT).left + 1, thumb.y + 30 - w.top), C().Border[2]);
    SetCapture(host);
    EXPECT_FALSE(adapter->ThumbDragging);
    EXPECT_EQ(acScrollTracking.PressedPart, -1);
    EXPECT_EQ(acScrollTracking.TrackWindow, nullptr);
    EXPECT_EQ(CountOf(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, dragged)), 1);
    ReleaseCapture();
    // Moves after the lost press reach the window again.
    Record().clear();
    LeftButton(false);
    EXPECT_EQ(VPos(h), dragged);
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(CountOf(WM_LBUTTONUP), 1);
}

TEST_F(ScrollBarTest, ForeignTimersAndOwnCommandsReachTheWindowOnce) {
    HWND h = Plain();
    SetTimer(h, 7, 10, nullptr);
    Pump(40);
    KillTimer(h, 7);
    Pump(20);
    const int sevens = CountOf(WM_TIMER, 7);
    EXPECT_GE(sevens, 1);
    Record().clear();
    SendMessageA(h, WM_TIMER, 7, 0);
    SendMessageA(h, WM_TIMER, acRepeatTimer, 0);
    SendMessageA(h, WM_SYSCOMMAND, SC_VSCROLL | HTVSCROLL, 0);
    SendMessageA(h, WM_NCRBUTTONDOWN, HTVSCROLL, 0);
    EXPECT_EQ(CountOf(WM_TIMER), 1);
    EXPECT_EQ(CountOf(WM_SYSCOMMAND), 0);
    EXPECT_EQ(CountOf(WM_NCRBUTTONDOWN), 0);
    // The style change made while the frame is computed never reaches it.
    RedrawAdapterFrame(h, true);
    EXPECT_EQ(CountOf(WM_STYLECHANGED), 0);
    EXPECT_GE(CountOf(WM_NCCALCSIZE), 1);
}

}  // namespace
