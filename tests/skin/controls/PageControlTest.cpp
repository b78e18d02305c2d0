// The skinned page control on a shown form with the test skin's page-control
// sections: tab pictures by position and state, hot tracking and close
// buttons under real mouse input, the page change, sheets over the control's
// picture, the scroll arrows, and the system look back without a skin.
#include "SkinnedControlTest.h"
#include "TestInput.h"
#include "sPageControl.h"
#include "sPanel.h"
#include "sUpDown.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <tuple>

#include <commctrl.h>

namespace skinnedtest {
namespace {

using testsupport::CaptureClient;
using testsupport::Picture;

auto Edges(const RECT& R) { return std::make_tuple(R.left, R.top, R.right, R.bottom); }

const testsupport::TestSkinColors& C() { return testsupport::TestSkinPalette(); }

// The test skin with its page-control sections, in its own default manager.
TsSkinManager* PageSkin() {
    static TsSkinManager* m = [] {
        testsupport::TestSkinOptions o;
        o.PageControl = true;
        TsSkinManager* s = testsupport::TestSkinManager(o);
        s->AnimEffects()->PageChange.Active = false;
        return s;
    }();
    if (!m->Active()) m->SetActive(true);
    return m;
}

class PageControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(PageSkin()->Active()) << PageSkin()->LastError();
        Form = MakeForm(40, 40, 420, 300);
        Form->SetColor(clWhite);
        Pc = Make<TsPageControl>(Form.get(), 10, 10, 380, 240);
        for (const char* name : {"One", "Two", "Three"}) {
            auto* s = TObject::Create<TsTabSheet>(Form.get());
            s->SetCaption(name);
            s->SetPageControl(Pc);
            Sheets.push_back(s);
        }
        Form->Show();
        Pump(60);
    }
    void TearDown() override {
        PageSkin()->SetActive(true);
        Form.reset();
        Pump();
    }
    Picture Shot() {
        RedrawWindow(Pc->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump(30);
        return CaptureClient(Pc->Handle());
    }
    POINT Screen(TPoint P) const {
        const TPoint s = Pc->ClientToScreen(P);
        return POINT{s.x, s.y};
    }
    static TPoint Centre(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
    // A point on the tab's outer border, the edge that neither the page nor a
    // neighbouring tab overlaps.
    TPoint OnBorder(const TRect& R) const {
        const TPoint c = Centre(R);
        switch (Pc->TabPosition()) {
            case tpTop: return TPoint{c.x, R.top + 1};
            case tpBottom: return TPoint{c.x, R.bottom - 2};
            case tpLeft: return TPoint{R.left + 1, c.y};
            default: return TPoint{R.right - 2, c.y};
        }
    }
    // Twelve more tabs on a narrower control: a single row that scrolls.
    void AddTabsThatDontFit() {
        for (int i = 0; i < 12; ++i) {
            auto* s = TObject::Create<TsTabSheet>(Form.get());
            s->SetCaption("Page " + std::to_string(i));
            s->SetPageControl(Pc);
        }
        Pc->SetWidth(200);
        Pump();
    }
    TRect Tab(int Page) const { return Pc->SkinTabRect(Sheets[Page]->TabIndex(), Sheets[Page] == Pc->ActivePage()); }

    FormPtr Form;
    TsPageControl* Pc = nullptr;
    std::vector<TsTabSheet*> Sheets;
};

// --- Tabs by position and state ------------------------------------------------

TEST_F(PageControlTest, TabsInEveryPositionAndStateShowTheirSections) {
    static const int kOffsets[4][2][4] = {{{0, 0, -1, 4}, {-2, -2, 2, 2}},
                                          {{0, -2, -1, 0}, {-2, -3, 2, 1}},
                                          {{0, -1, 3, 0}, {-1, -2, 3, 1}},
                                          {{-2, -1, -1, 0}, {-3, -2, 1, 2}}};
    Pc->SetHotTrack(true);
    for (TTabPosition pos : {tpTop, tpBottom, tpLeft, tpRight}) {
        SCOPED_TRACE(int(pos));
        Pc->SetTabPosition(pos);
        Pc->SetActivePage(Sheets[0]);
        Pump(30);
        for (int active = 0; active < 2; ++active) {
            const RECT r = Pc->TabRect(1);
            const TRect s = Pc->SkinTabRect(1, active == 1);
            const int* o = kOffsets[pos][active];
            EXPECT_EQ(Edges(s), Edges(TRect{r.left + o[0], r.top + o[1], r.right + o[2], r.bottom + o[3]}));
        }
        const TRect strip = Pc->TabStripRect(), area = Pc->PageAreaRect();
        const int meet[] = {strip.bottom - area.top, area.bottom - strip.top, strip.right - area.left,
                            area.right - strip.left};
        EXPECT_EQ(meet[pos], 0);
        EXPECT_EQ(Edges(Pc->SkinTabRect(3, false)), Edges(TRect{0, 0, 0, 0}));

        Picture p = Shot();
        const TPoint in1 = OnBorder(Tab(1)), in0 = OnBorder(Tab(0));
        EXPECT_EQ(p.Pixel(in1.x, in1.y), C().Border[0]) << "inactive tab";
        EXPECT_EQ(p.Pixel(in0.x, in0.y), C().Border[2]) << "active tab";
        const TPoint inside{Tab(1).left + 4, Tab(1).top + 4};
        EXPECT_EQ(p.Pixel(inside.x, inside.y), C().Tab[pos]);
        const TRect page = Sheets[0]->BoundsRect();
        EXPECT_EQ(p.Pixel(page.left + 5, page.top + 5), C().PageFrame) << "sheet shows the frame";

        Pc->RepaintTab(1, 1, nullptr);
        Pump(10);
        p = CaptureClient(Pc->Handle());
        EXPECT_EQ(p.Pixel(in1.x, in1.y), C().Border[1]) << "hot tab";
        EXPECT_EQ(p.Pixel(inside.x, inside.y), C().TabHot);
    }
    // Side captions of a disabled control are grey.
    Pc->SetEnabled(false);
    Picture p = Shot();
    const TRect t = Tab(1);
    bool grey = false;
    for (int y = t.top + 3; y < t.bottom - 3; ++y)
        for (int x = t.left + 3; x < t.right - 3; ++x) grey = grey || p.Pixel(x, y) == 0x808080;
    EXPECT_TRUE(grey);
}

TEST_F(PageControlTest, CaptionsSitInWhatShowsOfTheirTabsAndTheFocusFrameClearsThem) {
    for (TTabPosition pos : {tpTop, tpBottom}) {
        SCOPED_TRACE(int(pos));
        Pc->SetTabPosition(pos);
        Pc->SetActivePage(Sheets[0]);
        Pump(30);
        const Picture p = Shot();
        // An inactive tab reaches under the page frame: its caption is
        // centred in the part above (or below) it.
        const TRect t = Tab(1), area = Pc->PageAreaRect();
        const int top = pos == tpTop ? t.top : std::max<int>(t.top, area.bottom);
        const int bottom = pos == tpTop ? std::min<int>(t.bottom, area.top) : t.bottom;
        const TRect text = FindColor(p, t, C().ButtonFont);
        ASSERT_LT(text.top, text.bottom);
        EXPECT_GE(text.top, top);
        EXPECT_LE(text.bottom, bottom);
        EXPECT_LE(std::abs((text.top + text.bottom) - (top + bottom)), 3);
    }
    Pc->SetTabPosition(tpTop);
    Sheets[0]->SetCaption("Gauges");  // letters above and below the line
    SetForegroundWindow(Form->Handle());
    Pc->SetFocus();
    const Picture p = Shot();
    const TRect t = Tab(0);
    const TRect text = FindColor(p, t, C().ButtonHotFont), frame = FindColor(p, t, 0x000000);
    ASSERT_LT(text.top, text.bottom);
    ASSERT_LT(frame.top, frame.bottom) << "no focus frame";
    EXPECT_LT(frame.left, text.left - 1);
    EXPECT_LT(frame.top, text.top - 1);
    EXPECT_GT(frame.right, text.right + 1);
    EXPECT_GT(frame.bottom, text.bottom + 1);
}

TEST_F(PageControlTest, TabPageAtSkipsHiddenTabsAndButtonStylesKeepTheirRectangles) {
    const TRect old = Tab(1);
    Sheets[1]->SetTabVisible(false);
    Pump();
    EXPECT_NE(Pc->TabPageAt(Centre(old)), 1);
    EXPECT_EQ(Pc->TabPageAt(TPoint{Tab(2).right, Centre(Tab(2)).y}), -1) << "right edge excluded";
    Sheets[1]->SetTabVisible(true);
    // The strip beside the tabs follows the parent's colour.
    Form->SetColor(ToColor(0xFFFF00));
    EXPECT_EQ(Shot().Pixel(Pc->Width() - 3, 3), 0xFFFF00u);
    Pc->SetStyle(tsFlatButtons);
    Pump();
    EXPECT_EQ(Edges(Pc->SkinTabRect(1, false)), Edges(Pc->TabRect(1)));
    const Picture p = Shot();
    EXPECT_EQ(p.Pixel(Tab(1).left + 4, Tab(1).top + 4), C().ToolButton);
}

// --- Mouse ---------------------------------------------------------------------

TEST_F(PageControlTest, HotTabFollowsTheRealMouse) {
    Pc->SetHotTrack(true);
    Pump();
    testinput::MouseTo(Screen(Centre(Tab(1))));
    EXPECT_EQ(Pc->HotPage(), 1);
    Picture p = CaptureClient(Pc->Handle());
    EXPECT_EQ(p.Pixel(OnBorder(Tab(1)).x, OnBorder(Tab(1)).y), C().Border[1]);
    testinput::MouseTo(Screen(Centre(Tab(2))));
    EXPECT_EQ(Pc->HotPage(), 2);
    p = CaptureClient(Pc->Handle());
    EXPECT_EQ(p.Pixel(OnBorder(Tab(1)).x, OnBorder(Tab(1)).y), C().Border[0]) << "the old hot tab went back";
    EXPECT_EQ(p.Pixel(OnBorder(Tab(2)).x, OnBorder(Tab(2)).y), C().Border[1]);
    testinput::MouseTo(Screen(TPoint{100, 150}));
    EXPECT_EQ(Pc->HotPage(), -1);
}

TEST_F(PageControlTest, ClickingATabAnimatesToTheNewPage) {
    PageSkin()->AnimEffects()->PageChange.Active = true;
    auto* panel = Make<TPanel>(Sheets[2], 20, 20, 40, 30);
    panel->SetColor(TColor(0x0000FF));
    panel->SetBevelOuter(bvNone);
    testinput::Click(Screen(Centre(Tab(2))));
    EXPECT_TRUE(testsupport::PumpUntil([] { return acOutputWindow == nullptr; }, 3000));
    PageSkin()->AnimEffects()->PageChange.Active = false;
    Pump(60);
    EXPECT_EQ(Pc->ActivePage(), Sheets[2]);
    const Picture p = CaptureClient(Pc->Handle());
    const TPoint q{Sheets[2]->Left() + 30, Sheets[2]->Top() + 30};
    EXPECT_EQ(p.Pixel(q.x, q.y), 0xFF0000u) << "the new page's child is on screen";
    EXPECT_EQ(p.Pixel(OnBorder(Tab(2)).x, OnBorder(Tab(2)).y), C().Border[2]);
    EXPECT_EQ(p.Pixel(OnBorder(Tab(0)).x, OnBorder(Tab(0)).y), C().Border[0]);
}

TEST_F(PageControlTest, EachTabShowsItsPagesHint) {
    Pc->SetShowHint(true);
    Sheets[1]->SetHint("second");
    Sheets[2]->SetHint("third");
    Application->HintPause = 20;
    Application->HintShortPause = 20;
    auto hintIs = [](const char* Text) {
        return testsupport::PumpUntil(
            [&] {
                Application->Idle();
                THintWindow* h = Application->HintWindow();
                return h && h->IsHintShowing() && h->Caption() == Text;
            },
            3000);
    };
    testinput::MouseTo(Screen(Centre(Tab(1))));
    EXPECT_TRUE(hintIs("second")) << "the control has no hint of its own";
    testinput::MouseTo(Screen(Centre(Tab(2))));
    EXPECT_TRUE(hintIs("third")) << "the next tab's hint replaces it";
    Application->CancelHint();
}

// --- Sheets --------------------------------------------------------------------

TEST_F(PageControlTest, SheetsShowThePageControlsPictureAndAnswerForIt) {
    TsTabSheet* s = Sheets[0];
    const Picture p = CaptureClient(s->Handle());
    TBitmap* cache = Pc->SkinData()->CacheBmp;
    for (TPoint q : {TPoint{3, 3}, TPoint{s->Width() / 2, s->Height() - 4}})
        EXPECT_EQ(p.Pixel(q.x, q.y), Px(*cache, s->Left() + q.x, s->Top() + q.y));
    auto* child = Make<TsPanel>(s, 5, 5, 20, 20);
    ParentCacheInfo = TCacheInfo{};
    Command(s, AC_GETCACHE);
    EXPECT_TRUE(ParentCacheInfo.Ready);
    EXPECT_EQ(ParentCacheInfo.Bmp, cache);
    EXPECT_EQ(ParentCacheInfo.X, s->Left());
    EXPECT_EQ(ParentCacheInfo.Y, s->Top());
    (void)child;
    // A new tab size holds every paint until the control is placed again.
    SendMessageA(Pc->Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(60, 24));
    TMessage m{SM_ALPHACMD, acCommandWParam(AC_GETBGCHANGED), 0, 0};
    s->Perform(m);
    EXPECT_EQ(m.LParam, 1);
    Pc->SetBounds(10, 10, 381, 240);
    Pump();
    m.LParam = 0;
    s->Perform(m);
    EXPECT_EQ(m.LParam, 0);
}

// A sheet passes the background-colour command to its page control while
// that is skinned; its class's own handling follows, skinned or not (here it
// answers when nobody did before it).
class ColourAnsweringSheet : public TsTabSheet {
public:
    using TsTabSheet::TsTabSheet;
    void Dispatch(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD && M.WParamHi() == AC_GETBGCOLOR) {
            ++Asked;
            if (acParentColor == acNoColor) acParentColor = TColor(0x00112233);
        }
        TsTabSheet::Dispatch(M);
    }
    int Asked = 0;
};

TEST_F(PageControlTest, SheetLetsItsClassAnswerTheBackgroundColour) {
    auto* s = TObject::Create<ColourAnsweringSheet>(Form.get());
    s->SetPageControl(Pc);
    s->SetColor(TColor(0x00305070));
    Pump();
    for (bool skinned : {true, false}) {
        SCOPED_TRACE(skinned);
        PageSkin()->SetActive(skinned);
        Pump();
        // Skinned, the page control answers with its frame's colour first;
        // the sheet's own class is asked either way.
        const TColor expected = skinned ? testsupport::ToColor(C().PageFrame) : TColor(0x00112233);
        EXPECT_EQ(ColorToRGB(QueryParentColor(s)), ColorToRGB(expected));
        acParentColor = acNoColor;
    }
    EXPECT_EQ(s->Asked, 2);
}

// --- Close buttons -------------------------------------------------------------

struct CloseCase {
    bool CanClose;
    TacCloseAction Action;
    int PagesLeft;
    bool TabVisible;
};

TEST_F(PageControlTest, CloseButtonsCloseTheClickedPageOnly) {
    Pc->SetShowCloseBtns(true);
    Pump();
    const TRect b = Pc->CloseBtnRect(Sheets[1]);
    ASSERT_EQ(b.right - b.left, testsupport::kTestCloseSize);
    Picture p = Shot();
    EXPECT_EQ(p.Pixel(b.left + 4, b.top + 4), C().Close[0]);

    // A press released on another tab's close button closes nothing.
    testinput::MouseTo(Screen(Centre(Pc->CloseBtnRect(Sheets[2]))));
    testinput::LeftButton(true);
    testinput::MouseTo(Screen(Centre(Pc->CloseBtnRect(Sheets[1]))));
    testinput::LeftButton(false);
    EXPECT_EQ(Pc->PageCount(), 3);
    EXPECT_EQ(Pc->ActivePage(), Sheets[0]) << "a press on a close button selects nothing";

    const CloseCase cases[] = {{false, acaFree, 3, true}, {true, acaHideTab, 3, false}, {true, acaFree, 2, false}};
    for (const CloseCase& c : cases) {
        int asked = -1;
        Pc->OnCloseBtnClick = [&](TComponent*, int Index, bool& CanClose, TacCloseAction& Action) {
            asked = Index;
            CanClose = c.CanClose;
            Action = c.Action;
        };
        testinput::Click(Screen(Centre(Pc->CloseBtnRect(Sheets[1]))));
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(Pc->PageCount(), c.PagesLeft);
        if (c.PagesLeft == 3) {
            EXPECT_EQ(Sheets[1]->TabVisible(), c.TabVisible);
            Sheets[1]->SetTabVisible(true);
            Pump();
        }
    }
    EXPECT_EQ(Pc->Pages(1), Sheets[2]) << "the clicked page went, not its neighbour";
    testinput::MouseTo(Screen(Centre(Tab(2))));
    EXPECT_EQ(Pc->HotPage(), Sheets[2]->PageIndex()) << "the hot index follows the pages that are left";
}

// AnimatEvents and OnCloseBtnClick are published: set by name, the event
// answers a real click on a close button.
TEST_F(PageControlTest, AnimatEventsAndTheCloseEventArePublished) {
    const TacAnimatEvents events{aeMouseEnter, aeMouseUp};
    SetOrdProp(Pc, "AnimatEvents", static_cast<std::int64_t>(events.ToBits()));
    EXPECT_EQ(Pc->AnimatEvents(), events);
    EXPECT_EQ(GetOrdProp(Pc, "AnimatEvents"), static_cast<std::int64_t>(events.ToBits()));
    int asked = -1;
    const TacCloseBtnClick handler = [&](TComponent*, int Index, bool& CanClose, TacCloseAction&) {
        asked = Index;
        CanClose = false;
    };
    ASSERT_TRUE(SetMethodProp(Pc, "OnCloseBtnClick", handler));
    Pc->SetShowCloseBtns(true);
    Pump();
    testinput::Click(Screen(Centre(Pc->CloseBtnRect(Sheets[2]))));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(Pc->PageCount(), 3);
}

TEST_F(PageControlTest, WithoutACloseImageNoInvisibleButtonCloses) {
    Pc->SetShowCloseBtns(true);
    Pc->SetCloseBtnSkin("NOSUCHSECTION");
    Command(Pc, AC_NEWSKIN, reinterpret_cast<LPARAM>(PageSkin()));
    const TRect t = Tab(1);
    testinput::Click(Screen(TPoint{t.right - 5, t.top + 5}));
    EXPECT_EQ(Pc->PageCount(), 3);
}

// --- Scroll arrows -------------------------------------------------------------

TEST_F(PageControlTest, SingleRowTabsScrollWithTheSkinnedArrows) {
    AddTabsThatDontFit();
    TsUpDown* arrows = Pc->ScrollArrows();
    ASSERT_NE(arrows, nullptr);
    EXPECT_EQ(FindWindowExA(Pc->Handle(), nullptr, UPDOWN_CLASSA, nullptr), nullptr) << "the system's arrows went";
    EXPECT_EQ(arrows->Width(), (GetSystemMetrics(SM_CXHSCROLL) + 1) * 2);
    EXPECT_EQ(arrows->Left(), Pc->Width() - arrows->Width());
    EXPECT_EQ(arrows->Top(), 0);
    EXPECT_EQ(arrows->Max(), Pc->HiddenTabCount());
    const int before = Pc->TabRect(0).left;
    testinput::Click(Screen(TPoint{arrows->Left() + arrows->Width() * 3 / 4, arrows->Top() + arrows->Height() / 2}));
    Pump(60);
    EXPECT_LT(Pc->TabRect(0).left, before) << "the row scrolled";
    EXPECT_EQ(arrows->Position(), 1);
    Pc->SetMultiLine(true);
    Pump();
    EXPECT_EQ(Pc->ScrollArrows(), nullptr);
}

// Whatever leaves a single row's tabs not fitting (a resize, a page closed
// and a resize, the selection moved, the skin switched), the
// skinned arrows show then, and their position is the row's first tab shown.
TEST_F(PageControlTest, ScrollArrowsShowWheneverTabsDontFitAndFollowTheRow) {
    Pc->SetShowCloseBtns(true);
    Sheets[0]->SetCaption("Buttons");
    Sheets[1]->SetCaption("Gauges");
    Sheets[2]->SetCaption("Closable     ");
    Pc->SetActivePage(Sheets[1]);
    Pump();
    auto key = [&](WORD Vk) {
        SetFocus(Pc->Handle());
        testinput::SendKey(Vk);
        Pump(60);
    };
    const struct {
        const char* What;
        std::function<void()> Do;
    } steps[] = {
        {"narrowed", [&] { Pc->SetWidth(100); }},
        {"last tab chosen by keys", [&] { key(VK_RIGHT); }},
        {"first tab chosen by keys",
         [&] {
             key(VK_LEFT);
             key(VK_LEFT);
         }},
        {"last page chosen by the program", [&] { Pc->SetActivePage(Sheets[2]); }},
        {"widened", [&] { Pc->SetWidth(380); }},
        {"narrowed, a page closed",
         [&] {
             Pc->SetActivePage(Sheets[1]);
             Pc->SetWidth(100);
             Pump(60);
             Pc->SetWidth(380);
             Pump(60);
             testinput::Click(Screen(Centre(Pc->CloseBtnRect(Sheets[2]))));
             Pump(60);
             Pc->SetWidth(110);
         }},
        {"skin switched",
         [&] {
             PageSkin()->SetActive(false);
             Pump(60);
             PageSkin()->SetActive(true);
         }},
    };
    for (const auto& c : steps) {
        SCOPED_TRACE(c.What);
        c.Do();
        Pump(60);
        bool hidden = false;
        int first = -1;
        std::string rects;
        for (int k = 0; k < Pc->TabCount(); ++k) {
            const TRect r = Pc->TabRect(k);
            rects += " " + std::to_string(r.left) + ".." + std::to_string(r.right);
            // Scrolled off the row's left end: an empty rectangle.
            hidden = hidden || r.left == r.right || r.right > Pc->Width();
            if (first < 0 && r.left != r.right) first = k;
        }
        TsUpDown* arrows = Pc->ScrollArrows();
        ASSERT_EQ(arrows && arrows->Visible(), hidden) << rects << " in " << Pc->Width();
        if (arrows) {
            EXPECT_EQ(arrows->Position(), first);
        }
    }
}

// A page control of another skin than the default one scrolls its tabs with
// arrows of that skin.
TEST_F(PageControlTest, ScrollArrowsTakeThePageControlsSkin) {
    testsupport::TestSkinOptions o;
    o.PageControl = true;
    o.Second = true;
    TsSkinManager* second = testsupport::TestSkinManager(o);
    ASSERT_NE(second, PageSkin());
    auto* pc = TObject::Create<TsPageControl>(Form.get());
    pc->SkinData()->SetSkinManager(second);
    pc->SetParent(Form.get());
    pc->SetBounds(10, 10, 200, 240);
    for (int i = 0; i < 15; ++i) {
        auto* sheet = TObject::Create<TsTabSheet>(Form.get());
        sheet->SetCaption("Page " + std::to_string(i));
        sheet->SetPageControl(pc);
    }
    Pump();
    TsUpDown* arrows = pc->ScrollArrows();
    ASSERT_NE(arrows, nullptr);
    EXPECT_EQ(arrows->SkinData()->GetSkinManager(), second);
    RedrawWindow(arrows->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const Picture p = CaptureClient(arrows->Handle());
    // The left half's left border, in the second skin's colour.
    EXPECT_EQ(p.Pixel(1, p.Height / 2), testsupport::TestSkinPalette(true).Border[0]);
    EXPECT_NE(testsupport::TestSkinPalette(true).Border[0], C().Border[0]);
}

// Ours go with the skin; the tab control's own arrows come back in their
// place, and a click on them reaches the hidden tabs.
TEST_F(PageControlTest, TabsThatDontFitKeepTheirArrowsWhenTheSkinGoes) {
    AddTabsThatDontFit();
    ASSERT_NE(Pc->ScrollArrows(), nullptr);
    PageSkin()->SetActive(false);
    Pump(60);
    EXPECT_EQ(Pc->ScrollArrows(), nullptr);
    const HWND arrows = FindWindowExA(Pc->Handle(), nullptr, UPDOWN_CLASSA, nullptr);
    ASSERT_NE(arrows, nullptr) << "the system's arrows";
    EXPECT_TRUE(IsWindowVisible(arrows));
    EXPECT_EQ(Pc->PageCount(), 15);
    RECT r{};
    GetWindowRect(arrows, &r);
    const int before = Pc->TabRect(0).left;
    testinput::Click(POINT{r.left + (r.right - r.left) * 3 / 4, (r.top + r.bottom) / 2});
    Pump(60);
    EXPECT_LT(Pc->TabRect(0).left, before) << "the row scrolled";
}

// --- Without a skin ------------------------------------------------------------

TEST_F(PageControlTest, SkinRemovalGivesTheSystemTabControlBack) {
    auto* plain = Make<TPageControl>(Form.get(), 10, 10, 380, 240);
    for (const char* name : {"One", "Two", "Three"}) {
        auto* s = TObject::Create<TTabSheet>(Form.get());
        s->SetCaption(name);
        s->SetPageControl(plain);
    }
    Pc->SetShowCloseBtns(true);
    PageSkin()->SetActive(false);
    Pump(60);
    plain->SetVisible(false);
    Pump();
    const Picture skinless = Shot();
    plain->SetVisible(true);
    Pc->SetVisible(false);
    Pump();
    RedrawWindow(plain->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    const Picture system = CaptureClient(plain->Handle());
    plain->Free();
    Pc->SetVisible(true);
    Pump();
    int differ = 0;
    for (int y = 0; y < system.Height; ++y)
        for (int x = 0; x < system.Width; ++x) {
            const RECT tab = Pc->TabRect(0);
            const bool button = y <= tab.bottom && x > 0;  // the close buttons sit on the tabs
            differ += !button && system.Pixel(x, y) != skinless.Pixel(x, y);
        }
    EXPECT_EQ(differ, 0);
    // The close buttons are real small buttons now, one per tab.
    for (int k = 0; k < 3; ++k) {
        const RECT r = Pc->TabRect(k);
        TControl* b = Pc->ControlAtPos(TPoint{r.right - 8, r.top + 8}, true, true);
        ASSERT_NE(dynamic_cast<TsTabBtn*>(b), nullptr) << k;
        EXPECT_EQ(Edges(b->BoundsRect()), Edges(TRect{r.right - 16, r.top + 1, r.right - 1, r.top + 16}));
    }
    // A click on one closes its page, and the button goes with it.
    const RECT r1 = Pc->TabRect(1);
    testinput::Click(Screen(TPoint{r1.right - 8, r1.top + 8}));
    Pump(60);
    EXPECT_EQ(Pc->PageCount(), 2);
    int buttons = 0;
    for (int i = 0; i < Pc->ControlCount(); ++i) buttons += dynamic_cast<TsTabBtn*>(Pc->Controls(i)) != nullptr;
    EXPECT_EQ(buttons, 2);
    PageSkin()->SetActive(true);
    Pump();
    buttons = 0;
    for (int i = 0; i < Pc->ControlCount(); ++i) buttons += dynamic_cast<TsTabBtn*>(Pc->Controls(i)) != nullptr;
    EXPECT_EQ(buttons, 0) << "the skin draws them again";
}

}  // namespace
}  // namespace skinnedtest
