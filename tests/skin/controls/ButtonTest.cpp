// The skinned push button on real windows with the test skin: the command
// message by stage, the pixels of each state on screen and through WM_PRINT,
// the window region, fades, the owner-draw style across skin changes, clicks
// and the application's hints.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "Forms.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "sButton.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string>

using testsupport::Picture;

namespace {

const testsupport::TestSkinColors& C = testsupport::TestSkinPalette();

using formtest::Pump;
using SkinFolder = testsupport::TestSkinFolder;

// Counts what reaches the class library's message handlers.
class TSpyButton : public TsButton {
public:
    explicit TSpyButton(TComponent* AOwner) : TsButton(AOwner) {}
    void Dispatch(TMessage& M) override {
        if (M.Msg == WM_ENABLE) ++EnableSeen;
        TsButton::Dispatch(M);
    }
    int EnableSeen = 0;
    // What a button keeps for itself, read by the tests through a subclass.
    using TsButton::Pressed;
    HRGN HeldRegion() { return Region().Held(); }
};

// Freed memory of this button is overwritten, so that a use after the free
// reads garbage pointers and crashes the test instead of passing unseen.
class TPoisonedButton : public TsButton {
public:
    using TsButton::TsButton;
    static void operator delete(void* p, std::size_t n) {
        std::memset(p, 0xDD, n);
        ::operator delete(p);
    }
};

// Counts BM_GETSTATE on its way to the button's window procedure.
class StateQueries {
public:
    explicit StateQueries(HWND h) : FWnd(h) {
        Count = 0;
        FOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
        Old = FOld;
    }
    ~StateQueries() { SetWindowLongPtrA(FWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOld)); }
    static int Count;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == BM_GETSTATE) ++Count;
        return CallWindowProcA(Old, h, m, w, l);
    }
    static WNDPROC Old;
    HWND FWnd;
    WNDPROC FOld;
};
int StateQueries::Count = 0;
WNDPROC StateQueries::Old = nullptr;

LONG ButtonType(HWND h) { return GetWindowLongA(h, GWL_STYLE) & 0xF; }

// Each channel strictly between those of a and b.
bool StrictlyBetween(std::uint32_t v, std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16}) {
        const int x = (v >> shift) & 0xFF, p = (a >> shift) & 0xFF, q = (b >> shift) & 0xFF;
        if (p == q ? x != p : !(x > std::min(p, q) && x < std::max(p, q))) return false;
    }
    return true;
}

class SkinnedButton : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Plain = new SkinFolder();
        Fading = new SkinFolder({true});
    }
    static void TearDownTestSuite() {
        delete Plain;
        delete Fading;
    }
    void SetUp() override { Start(false); }
    void Start(bool fading, bool loadFirst = true) {
        ASSERT_TRUE(Plain->Ok && Fading->Ok);
        Manager = TObject::Create<TsSkinManager>(nullptr);
        if (loadFirst) {
            ASSERT_TRUE(Manager->LoadSkin(fading ? Fading->Skin : Plain->Skin));
        }
        Form = TObject::Create<TForm>(nullptr);
        Form->SetTag(-98);  // no provider from the window-creation hook: the yellow must show
        Form->SetBounds(60, 60, 260, 160);
        Form->SetColor(TColor(0x00FFFF));  // yellow, unlike every skin colour
        Button = TObject::Create<TSpyButton>(Form);
        Button->SetParent(Form);
        Button->SetBounds(20, 20, 80, 30);
        Other = TObject::Create<TsButton>(Form);
        Other->SetParent(Form);
        Other->SetBounds(120, 20, 80, 30);
        Other->SetCaption("Other");
        // The focus rests on an edit, so that no button starts focused.
        Edit = TObject::Create<TEdit>(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(20, 80, 80, 22);
        Form->Show();
        Edit->SetFocus();
        Pump(60);
        MoveMouseAway();
    }
    void TearDown() override {
        // A set-up stopped by a failed assertion leaves these unmade.
        if (Form) Form->Free();
        if (Manager) Manager->Free();
        Pump(10);
    }
    static void MoveMouseAway() { SetCursorPos(1200, 1000); }
    HWND H() const { return Button->Handle(); }
    LRESULT Cmd(TControl* c, WORD code, LPARAM data = 0) {
        return SendMessageA(static_cast<TWinControl*>(c)->Handle(), SM_ALPHACMD, acCommandWParam(code), data);
    }
    Picture Screen() {
        Button->Repaint();
        return testsupport::CaptureClient(H());
    }
    Picture Printed() { return testsupport::PrintWindowClient(H(), PRF_CLIENT); }
    // Border pixel at (1, 1), background at (4, 4) of both pictures.
    void ExpectState(int state, const char* what) {
        const std::uint32_t back = state == 0 ? C.Button : C.ButtonHot;
        for (const Picture& p : {Screen(), Printed()}) {
            ASSERT_FALSE(p.Empty()) << what;
            EXPECT_EQ(p.Pixel(1, 1), C.Border[state]) << what;
            EXPECT_EQ(p.Pixel(4, 4), back) << what;
        }
    }

    static SkinFolder* Plain;
    static SkinFolder* Fading;
    TsSkinManager* Manager = nullptr;
    TForm* Form = nullptr;
    TSpyButton* Button = nullptr;
    TsButton* Other = nullptr;
    TEdit* Edit = nullptr;
};
SkinFolder* SkinnedButton::Plain = nullptr;
SkinFolder* SkinnedButton::Fading = nullptr;

// --- Defaults -----------------------------------------------------------------

TEST_F(SkinnedButton, PublishedDefaultsAndStyle) {
    EXPECT_EQ(Button->SkinData()->ControlTypeCode, 93);
    EXPECT_EQ(Button->SkinData()->SkinSection(), "BUTTON");
    EXPECT_EQ(GetObjectProp(Button, "SkinData"), Button->SkinData());
    struct {
        const char* Name;
        std::int64_t Value;
    } expected[] = {{"WordWrap", 1},
                    {"FocusMargin", 1},
                    {"Down", 0},
                    {"AnimatEvents", std::int64_t(TacAnimatEvents{aeGlobalDef}.ToBits())},
                    {"DisabledKind", std::int64_t(TsDisabledKind{dkBlended}.ToBits())}};
    for (const auto& e : expected) {
        const TPropInfo* p = GetPropInfo(Button, e.Name);
        ASSERT_NE(p, nullptr) << e.Name;
        EXPECT_TRUE(p->HasDefault) << e.Name;
        EXPECT_EQ(p->Default, e.Value) << e.Name;
        EXPECT_EQ(p->GetOrd(Button), e.Value) << e.Name;
    }
    EXPECT_FALSE(Button->ControlStyle().Contains(csOpaque));
    EXPECT_FALSE(Button->ControlStyle().Contains(csDoubleClicks));
    // Made while the skin is active: owner-drawn.
    EXPECT_EQ(ButtonType(H()), BS_OWNERDRAW);
}

// --- The command message by stage --------------------------------------------

TEST_F(SkinnedButton, CommandMessageAnswersByStage) {
    TMessage q{SM_ALPHACMD, acCommandWParam(AC_SKINNEDQUERY), 0, 0};
    Button->Perform(q);
    EXPECT_EQ(q.LParam, 1);
    EXPECT_EQ(Cmd(Button, AC_SKINNEDQUERY), 1);
    EXPECT_EQ(Cmd(Button, AC_GETAPPLICATION), reinterpret_cast<LRESULT>(static_cast<TApplication*>(Application)));

    // Without an active skin the query is answered all the same.
    Manager->SetActive(false);
    Pump();
    TMessage q2{SM_ALPHACMD, acCommandWParam(AC_SKINNEDQUERY), 0, 0};
    Button->Perform(q2);
    EXPECT_EQ(q2.LParam, 1);
    EXPECT_EQ(Cmd(Button, AC_GETAPPLICATION), reinterpret_cast<LRESULT>(static_cast<TApplication*>(Application)));
}

TEST_F(SkinnedButton, SkinCommandsNamingAnotherManagerAreIgnored) {
    TsSkinManager* other = TObject::Create<TsSkinManager>(nullptr);
    const LPARAM o = reinterpret_cast<LPARAM>(other);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(H(), rgn), ERROR);

    Cmd(Button, AC_REMOVESKIN, o);
    Cmd(Button, AC_NEWSKIN, o);
    Cmd(Button, AC_REFRESH, o);
    Pump();
    EXPECT_EQ(ButtonType(H()), BS_OWNERDRAW);
    EXPECT_NE(GetWindowRgn(H(), rgn), ERROR);
    EXPECT_GE(Button->SkinData()->SkinIndex, 0);
    EXPECT_FALSE(Button->SkinData()->Updating);
    ExpectState(0, "after foreign commands");

    // The own manager's removal gives back a plain system button without region.
    Cmd(Button, AC_REMOVESKIN, reinterpret_cast<LPARAM>(static_cast<TsSkinManager*>(Manager)));
    Pump();
    EXPECT_NE(ButtonType(H()), BS_OWNERDRAW);
    EXPECT_EQ(GetWindowRgn(H(), rgn), ERROR);
    EXPECT_EQ(Button->HeldRegion(), nullptr);
    const Picture p = testsupport::CaptureClient(H());
    EXPECT_NE(p.Pixel(4, 4), C.Button);
    EXPECT_NE(p.Pixel(1, 1), C.Border[0]);
    DeleteObject(rgn);
    other->Free();
}

// --- Pixels of each state ------------------------------------------------------

TEST_F(SkinnedButton, EachStatePaintsItsPicture) {
    ExpectState(0, "normal");
    Button->Perform(CM_MOUSEENTER, 0, 0);
    ExpectState(1, "hot");
    SendMessageA(H(), BM_SETSTATE, TRUE, 0);
    ExpectState(2, "pushed while hot");
    SendMessageA(H(), BM_SETSTATE, FALSE, 0);
    Button->Perform(CM_MOUSELEAVE, 0, 0);
    ExpectState(0, "left");
    Button->SetDown(true);
    ExpectState(2, "down");
    Button->SetDown(false);
    Button->SetButtonStyle(true);
    ExpectState(1, "default look");
    Button->SetButtonStyle(false);
    ExpectState(0, "no default look");
    Button->SetFocus();
    Pump();
    ExpectState(1, "focused");
    Edit->SetFocus();
    Pump();
    ExpectState(0, "focus gone");

    // Disabled: blended half way to the parent's colour.
    Button->SetEnabled(false);
    Pump();
    const Picture p = Screen();
    EXPECT_TRUE(StrictlyBetween(p.Pixel(4, 4), C.Button, 0xFFFF00)) << std::hex << p.Pixel(4, 4);
    EXPECT_EQ(Printed().Pixel(4, 4), p.Pixel(4, 4));
}

TEST_F(SkinnedButton, CornersAreCutAtTheKeyPixels) {
    Pump();
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(H(), rgn), ERROR);
    const int w = Button->Width() - 1, h = Button->Height() - 1;
    // The key pixels of each corner: the corner and its two neighbours.
    const POINT cut[] = {{0, 0}, {1, 0}, {0, 1},     {w, 0}, {w - 1, 0}, {w, 1},
                         {0, h}, {1, h}, {0, h - 1}, {w, h}, {w - 1, h}, {w, h - 1}};
    for (POINT p : cut) EXPECT_FALSE(PtInRegion(rgn, p.x, p.y)) << p.x << "," << p.y;
    const POINT kept[] = {{2, 0}, {1, 1}, {0, 2}, {w - 2, 0}, {w - 1, 1}, {1, h - 1}, {w - 1, h - 1}, {w / 2, h / 2}};
    for (POINT p : kept) EXPECT_TRUE(PtInRegion(rgn, p.x, p.y)) << p.x << "," << p.y;
    DeleteObject(rgn);
    // Outside the region the screen shows the form.
    const Picture form = testsupport::CaptureClient(Form->Handle());
    EXPECT_EQ(form.Pixel(Button->Left(), Button->Top()), 0xFFFF00u);
}

TEST_F(SkinnedButton, PrintLeavesAPendingPaintAlone) {
    InvalidateRect(H(), nullptr, FALSE);
    (void)Printed();
    RECT r{};
    EXPECT_TRUE(GetUpdateRect(H(), &r, FALSE)) << "WM_PRINT validated the window";
    Pump();
    EXPECT_FALSE(GetUpdateRect(H(), &r, FALSE));
}

TEST_F(SkinnedButton, EraseAndEnableStayWithTheSkin) {
    EXPECT_EQ(SendMessageA(H(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(GetDC(nullptr)), 0), 1);
    EnableWindow(H(), FALSE);
    EnableWindow(H(), TRUE);
    EXPECT_EQ(Button->EnableSeen, 0);
    // Unskinned, the class library gets it.
    Manager->SetActive(false);
    Pump();
    EnableWindow(H(), FALSE);
    EXPECT_GE(Button->EnableSeen, 1);
}

TEST_F(SkinnedButton, FadeRebuildRegionIsDropped) {
    Cmd(Button, AC_PREPARECACHE);
    HRGN held = Button->HeldRegion();
    ASSERT_NE(held, nullptr);
    Cmd(Button, AC_FADEFRAME, 1);
    EXPECT_EQ(Button->HeldRegion(), nullptr);
    EXPECT_EQ(GetObjectType(held), 0u);
    // The window's own region stays.
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(H(), rgn), ERROR);
    DeleteObject(rgn);
}

TEST_F(SkinnedButton, DrawItemIsAnsweredWithoutPainting) {
    DRAWITEMSTRUCT di{};
    TMessage m{CN_DRAWITEM, 5, reinterpret_cast<LPARAM>(&di), 0};
    Button->Perform(m);
    EXPECT_EQ(m.Result, 1);
    EXPECT_EQ(m.WParam, 0u);
    EXPECT_EQ(m.LParam, 0);
}

// --- Mouse enter, clicks and hints --------------------------------------------

TEST_F(SkinnedButton, SecondMouseEnterDoesNothing) {
    int enters = 0, leaves = 0;
    Button->OnMouseEnter = [&](TObject*) { ++enters; };
    Button->OnMouseLeave = [&](TObject*) { ++leaves; };
    Button->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(Button->SkinData()->MouseAbove);
    Button->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(enters, 1);
    Button->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(leaves, 1);
    EXPECT_FALSE(Button->SkinData()->MouseAbove);
}

TEST_F(SkinnedButton, OneClickOneOnClickAndHintsComeBack) {
    int clicks = 0;
    Button->OnClick = [&](TObject*) { ++clicks; };
    Application->SetShowHint(true);
    const LPARAM at = MAKELPARAM(10, 10);
    SendMessageA(H(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_TRUE(Button->Pressed());
    EXPECT_FALSE(Application->ShowHint()) << "hints stay off while the button is held";
    Pump();
    SendMessageA(H(), WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(Button->Pressed());
    EXPECT_TRUE(Application->ShowHint());
    // The system button took the focus with the press.
    ExpectState(1, "after the click, focused");
}

TEST_F(SkinnedButton, ReleaseWithoutOwnPressLeavesHintsAlone) {
    int ups = 0;
    Button->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    // The program switched hints off itself: a stray release must not turn them on.
    Application->SetShowHint(false);
    SendMessageA(H(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(Application->ShowHint());
    EXPECT_EQ(ups, 0);

    // Another button's press hid them: only its own release brings them back.
    Application->SetShowHint(true);
    SendMessageA(Other->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(Application->ShowHint());
    SendMessageA(H(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(Application->ShowHint());
    SendMessageA(Other->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(Application->ShowHint());

    // A right press leaves hints alone but its release is passed on.
    SendMessageA(H(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(Application->ShowHint());
    int rups = 0;
    Button->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { rups += b == mbRight; };
    SendMessageA(H(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(rups, 1);
    Pump();
}

TEST_F(SkinnedButton, OnePaintAsksTheSystemStateOnce) {
    Button->SetCaption("State");
    Pump();
    const StateQueries queries(H());
    for (bool hot : {false, true}) {
        Button->Perform(hot ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
        Pump();
        StateQueries::Count = 0;
        InvalidateRect(H(), nullptr, FALSE);
        UpdateWindow(H());
        EXPECT_EQ(StateQueries::Count, 1) << (hot ? "hot" : "normal");
    }
}

// The caption reads and state questions one paint brings to the button (its
// own Perform calls included).
struct PaintTraffic {
    int GetTextLength = 0, GetText = 0, GetState = 0;
};

PaintTraffic CountOnePaint(TsButton* B, bool Dirty) {
    PaintTraffic t;
    const TWndMethod saved = B->WindowProc;
    B->WindowProc = [&](TMessage& M) {
        t.GetTextLength += M.Msg == WM_GETTEXTLENGTH;
        t.GetText += M.Msg == WM_GETTEXT;
        t.GetState += M.Msg == BM_GETSTATE;
        saved(M);
    };
    if (Dirty) B->SkinData()->BGChanged = true;
    RedrawWindow(B->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    B->WindowProc = saved;
    return t;
}

int CountColour(const Picture& P, std::uint32_t Rgb) {
    int n = 0;
    for (int y = 0; y < P.Height; ++y)
        for (int x = 0; x < P.Width; ++x) n += P.Pixel(x, y) == Rgb;
    return n;
}

TEST_F(SkinnedButton, OneRebuildReadsTheCaptionOnce) {
    Button->SetCaption("WWW");
    Button->Font()->SetQuality(fqNonAntialiased);
    Button->SetFocus();
    Pump();
    for (bool dirty : {true, false}) {
        const PaintTraffic t = CountOnePaint(Button, dirty);
        const char* what = dirty ? "rebuild" : "clean cache";
        EXPECT_LE(t.GetText, 1) << what;
        EXPECT_LE(t.GetTextLength, 1) << what;
        EXPECT_EQ(t.GetState, 1) << what;
    }
    // The caption read once is the one the painters wrote (focused: the hot font).
    EXPECT_GT(CountColour(testsupport::CaptureClient(H()), C.ButtonHotFont), 10);
}

TEST_F(SkinnedButton, FocusLostWhileDisabledOrHiddenIsForgotten) {
    const struct {
        const char* Name;
        std::function<void(TsButton*, bool)> Take;
    } ways[] = {{"disabled", [](TsButton* b, bool away) { b->SetEnabled(!away); }},
                {"hidden", [](TsButton* b, bool away) { b->SetVisible(!away); }}};
    for (const auto& way : ways) {
        Button->SetFocus();
        Pump();
        ExpectState(1, way.Name);
        way.Take(Button, true);
        Pump();
        Edit->SetFocus();
        Pump();
        way.Take(Button, false);
        Pump();
        EXPECT_FALSE(Button->SkinData()->Focused) << way.Name;
        ExpectState(0, way.Name);
    }
}

TEST_F(SkinnedButton, HintsComeBackWhenOnClickDisablesOrUnskins) {
    const struct {
        const char* Name;
        std::function<void()> Click;
    } clicks[] = {{"disables", [this] { Button->SetEnabled(false); }},
                  {"removes the skin", [this] { Manager->SetActive(false); }}};
    for (const auto& c : clicks) {
        Button->SetEnabled(true);
        Manager->SetActive(true);
        Pump();
        Application->SetShowHint(true);
        Button->OnClick = [&](TObject*) { c.Click(); };
        SendMessageA(H(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        ASSERT_FALSE(Application->ShowHint()) << c.Name;
        SendMessageA(H(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        Pump();
        EXPECT_TRUE(Application->ShowHint()) << c.Name;
    }
}

// A press whose release comes while the button is disabled or unskinned is
// over all the same: a later stray release is no release of a press.
TEST_F(SkinnedButton, ReleaseWhileDisabledOrUnskinnedEndsThePress) {
    const struct {
        const char* Name;
        std::function<void()> Between, Back;
    } cases[] = {{"disabled", [this] { Button->SetEnabled(false); }, [this] { Button->SetEnabled(true); }},
                 {"unskinned", [this] { Manager->SetActive(false); }, [this] { Manager->SetActive(true); }}};
    for (const auto& c : cases) {
        int ups = 0;
        Button->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
        SendMessageA(H(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        ASSERT_TRUE(Button->Pressed()) << c.Name;
        c.Between();
        SendMessageA(H(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        EXPECT_FALSE(Button->Pressed()) << c.Name;
        c.Back();
        Pump();
        ups = 0;
        SendMessageA(H(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        EXPECT_EQ(ups, 0) << c.Name << ": a stray release";
        Pump();
    }
}

TEST_F(SkinnedButton, FreedByItsOwnEnterOrLeaveHandler) {
    for (UINT msg : {CM_MOUSEENTER, CM_MOUSELEAVE}) {
        auto* b = TObject::Create<TPoisonedButton>(Form);
        b->SetParent(Form);
        b->SetBounds(20, 110, 80, 30);
        Pump();
        if (msg == CM_MOUSELEAVE) b->Perform(CM_MOUSEENTER, 0, 0);
        (msg == CM_MOUSEENTER ? b->OnMouseEnter : b->OnMouseLeave) = [b](TObject*) { b->Free(); };
        b->Perform(msg, 0, 0);
        Pump();
    }
    ExpectState(0, "the other buttons still paint");
}

TEST_F(SkinnedButton, ParentRepaintsCornersWhenTheSkinComesBack) {
    Manager->SetActive(false);
    Pump(60);
    Manager->SetActive(true);
    Pump(60);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(H(), rgn), ERROR);
    DeleteObject(rgn);
    // No system button corner left behind: the form shows there.
    const Picture form = testsupport::CaptureClient(Form->Handle());
    const int r = Button->Left() + Button->Width() - 1, b = Button->Top() + Button->Height() - 1;
    for (POINT p :
         {POINT{Button->Left(), Button->Top()}, POINT{r, Button->Top()}, POINT{Button->Left(), b}, POINT{r, b}})
        EXPECT_EQ(form.Pixel(p.x, p.y), 0xFFFF00u) << p.x << "," << p.y;
}

// --- The cache follows what shapes it ------------------------------------------

// The window's pixels and region now, and again after a forced rebuild.
struct Look {
    Picture Pixels;
    HRGN Region = nullptr;
};

TEST_F(SkinnedButton, PictureAndRegionFollowEachChangeThatShapesThem) {
    const struct {
        const char* Name;
        std::function<void()> Change;
    } changes[] = {
        {"state", [this] { Button->Perform(CM_MOUSEENTER, 0, 0); }},
        {"focus", [this] { Button->SetFocus(); }},
        {"enabled", [this] { Button->SetEnabled(false); }},
        {"size", [this] { Button->SetBounds(20, 20, 96, 36); }},
        {"caption", [this] { Button->SetCaption("Changed"); }},
        {"font", [this] { Button->Font()->SetHeight(-20); }},
        {"skin", [this] { Button->SkinData()->SetSkinSection("SPEEDBUTTON"); }},
        {"parent background", [this] { Form->SetColor(TColor(0xFF00FF)); }},
    };
    auto look = [this] {
        Pump();
        Look l{Screen(), CreateRectRgn(0, 0, 0, 0)};
        GetWindowRgn(H(), l.Region);
        return l;
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.Name);
        Button->SetCaption("Shape");
        Pump();
        const Look before = look();
        c.Change();
        const Look after = look();
        Button->SkinData()->BGChanged = true;
        const Look forced = look();
        EXPECT_TRUE(after.Pixels.Bits == forced.Pixels.Bits) << "pixels lag behind";
        EXPECT_TRUE(EqualRgn(after.Region, forced.Region)) << "region lags behind";
        EXPECT_FALSE(before.Pixels.Bits == after.Pixels.Bits && EqualRgn(before.Region, after.Region))
            << "the change shows nowhere";
        for (const Look* l : {&before, &after, &forced}) DeleteObject(l->Region);
        // Back to the start for the next row.
        Button->Perform(CM_MOUSELEAVE, 0, 0);
        Button->SetEnabled(true);
        Button->SetBounds(20, 20, 80, 30);
        Button->Font()->SetHeight(Other->Font()->Height());
        Button->SkinData()->SetSkinSection("");
        Form->SetColor(TColor(0x00FFFF));
        Edit->SetFocus();
    }
}

// --- Skin arriving later, skin removed -----------------------------------------

class SkinArrivesLater : public SkinnedButton {
protected:
    void SetUp() override { Start(false, false); }
};

TEST_F(SkinArrivesLater, OwnerDrawStyleComesWithTheSkin) {
    EXPECT_NE(ButtonType(H()), BS_OWNERDRAW);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(H(), rgn), ERROR);
    ASSERT_TRUE(Manager->LoadSkin(Plain->Skin));
    Pump(60);
    EXPECT_EQ(ButtonType(H()), BS_OWNERDRAW);
    ExpectState(0, "skin arrived");
    EXPECT_NE(GetWindowRgn(H(), rgn), ERROR);

    // And goes again with the skin.
    Manager->SetActive(false);
    Pump(60);
    EXPECT_NE(ButtonType(H()), BS_OWNERDRAW);
    EXPECT_EQ(GetWindowRgn(H(), rgn), ERROR);
    DeleteObject(rgn);
}

// --- Fades ---------------------------------------------------------------------

class FadingButton : public SkinnedButton {
protected:
    void SetUp() override { Start(true); }
};

TEST_F(FadingButton, PaintWaitsWhileTheFadeDrawsItsFrames) {
    ExpectState(0, "before");
    HDC dc = GetDC(H());
    Button->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_NE(Button->FadeTimer(), nullptr);
    ASSERT_TRUE(Button->FadeTimer()->Enabled());
    // A marker that only the fade may overwrite.
    RECT all{0, 0, Button->Width(), Button->Height()};
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    FillRect(dc, &all, black);
    DeleteObject(black);
    InvalidateRect(H(), nullptr, FALSE);
    SendMessageA(H(), WM_PAINT, 0, 0);
    EXPECT_EQ(testsupport::RGBOf(GetPixel(dc, 4, 4)), 0u) << "painted during the fade";
    // The frames reach the screen, passing through mixed colours.
    bool mixed = false;
    ASSERT_TRUE(testsupport::PumpUntil(
        [&] {
            const std::uint32_t v = testsupport::RGBOf(GetPixel(dc, 4, 4));
            mixed = mixed || (v != 0 && StrictlyBetween(v, C.Button, C.ButtonHot));
            return Button->FadeTimer() == nullptr;
        },
        3000));
    EXPECT_EQ(testsupport::RGBOf(GetPixel(dc, 4, 4)), C.ButtonHot);
    EXPECT_EQ(testsupport::RGBOf(GetPixel(dc, 1, 1)), C.Border[1]);
    EXPECT_TRUE(mixed);
    ReleaseDC(H(), dc);
}

// Told when the fade timer it watches is freed: what the button then holds
// as its fade, and how often.
class TFadeWatch : public TComponent {
public:
    explicit TFadeWatch(TsButton* AButton) : TComponent(nullptr), Button(AButton) {}
    TsButton* Button;
    int Freed = 0;
    TsFadeTimer* HeldWhenFreed = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != TOperation::opRemove || !AComponent) return;
        ++Freed;
        // The button is going: its memory is whole, its fade must be let go.
        HeldWhenFreed = Button->FadeTimer();
    }
};

TEST_F(FadingButton, DestroyedOrStoppedMidFade) {
    Button->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_NE(Button->FadeTimer(), nullptr);
    Cmd(Button, AC_STOPFADE);
    EXPECT_EQ(Button->FadeTimer(), nullptr);
    for (bool plainDelete : {false, true}) {
        SCOPED_TRACE(plainDelete ? "deleted" : "freed");
        Button->Perform(plainDelete ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
        ASSERT_NE(Button->FadeTimer(), nullptr);
        TFadeWatch watch(Button);
        watch.FreeNotification(Button->FadeTimer());
        if (plainDelete) delete Button;
        else Button->Free();
        EXPECT_EQ(watch.Freed, 1);
        // A button still holding its freed fade would stop it again in its destructor.
        EXPECT_EQ(watch.HeldWhenFreed, nullptr);
        Pump(60);
        Button = TObject::Create<TSpyButton>(Form);
        Button->SetParent(Form);
        Button->SetBounds(20, 20, 80, 30);
        Pump(60);
    }
}

}  // namespace
