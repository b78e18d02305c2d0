// The skinned panel: its picture under its children at their own offsets, its
// window painted round its children, the skin commands passed on, OnPaint
// without a skin; the drag bar moved by a real drag.
#include "SkinnedControlTest.h"
#include "TestInput.h"

#include "FormReader.h"
#include "sLabel.h"
#include "Timers.h"
#include "sPanel.h"
#include "sRegisterClasses.h"

#include <functional>
#include <stdexcept>
#include <vector>

using namespace skinnedtest;

namespace {

// A windowless child that records the skin commands it is sent.
class TCommandSpy : public TGraphicControl {
public:
    explicit TCommandSpy(TComponent* AOwner) : TGraphicControl(AOwner) {}
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD) Codes.push_back(M.WParamHi());
        TGraphicControl::WndProc(M);
    }
    std::vector<int> Codes;
};

std::uint32_t Mix(std::uint32_t front, std::uint32_t back, double share) {
    std::uint32_t out = 0;
    for (int i = 0; i < 3; ++i)
        out |= std::uint32_t(Ch(back, i) + (Ch(front, i) - Ch(back, i)) * share + 0.5) << (8 * i);
    return out;
}
bool Near(std::uint32_t a, std::uint32_t b, int tol) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(Ch(a, i) - Ch(b, i)) > tol) return false;
    return true;
}

// Presses the left button on Bar and, from a timer, runs Action once the drag
// loop runs, with a mouse move queued behind it (a loop still running would
// take it and move what it holds). True when the loop ended while the button
// was still held, so because of what Action did. The button is let go in any
// case, by a deadline inside the loop if need be.
bool DragWhile(TsDragBar* Bar, HWND Spare, const std::function<void()>& Action) {
    const TPoint p = Bar->ClientToScreen(TPoint{Bar->Width() / 2, 10});
    SetCursorPos(p.x, p.y);
    Pump(50);
    if (WindowFromPoint(p) != Bar->Handle()) {
        ADD_FAILURE() << "the bar is not under the cursor";
        return false;
    }
    bool acted = false;
    int ticks = 0;
    TTimer timer(nullptr);
    timer.SetInterval(50);
    timer.OnTimer = [&](TObject*) {
        if (!acted && Bar->Dragging()) {
            acted = true;
            Action();
            PostMessageA(Spare, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        } else if (++ticks == 60) {
            testinput::Send({testinput::Button(false)});
        }
    };
    testinput::Send({testinput::Button(true)});
    testsupport::PumpUntil([&] { return acted; }, 4000);
    const bool held = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    timer.SetEnabled(false);
    testinput::Send({testinput::Button(false)});
    Pump(50);
    return acted && held;
}

class Panels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Skin::Get().Manager()->Active());
        form = MakeForm(60, 60, 400, 300);
    }
    const testsupport::TestSkinColors& C() { return Skin::Get().C(); }
    FormPtr form;
};

}  // namespace

TEST_F(Panels, ChildShowsThePanelPictureAtItsOwnOffset) {
    // The panel stands off the form's corner, so that an offset taken from
    // the form instead of the panel shows.
    auto* panel = Make<TsPanel>(form.get(), 37, 23, 200, 150);
    panel->SetCaption("");
    auto* child = Make<TsPanel>(panel, 20, 30, 60, 50);
    child->SetCaption("");
    child->SkinData()->SetSkinSection("TRANSPANEL");
    form->Show();
    Pump();
    UpdateWindow(panel->Handle());
    UpdateWindow(child->Handle());
    TBitmap* parentCache = panel->SkinData()->CacheBmp;
    TBitmap* childCache = child->SkinData()->CacheBmp;
    ASSERT_EQ(parentCache->Width(), 200);
    ASSERT_EQ(childCache->Width(), 60);
    // TRANSPANEL is 50 % transparent: every pixel is half its colour and
    // half the panel's picture under it (the panel's gradient changes by row).
    int bad = 0;
    for (int y = 0; y < 50; y += 3)
        for (int x = 0; x < 60; x += 7)
            if (!Near(Px(*childCache, x, y), Mix(C().TransPanel, Px(*parentCache, 20 + x, 30 + y), 0.5), 2)) ++bad;
    EXPECT_EQ(bad, 0);
    // Moved, the child takes the picture of its new place.
    child->SetBounds(25, 70, 60, 50);
    Pump();
    UpdateWindow(child->Handle());
    EXPECT_TRUE(Near(Px(*childCache, 10, 10), Mix(C().TransPanel, Px(*parentCache, 35, 80), 0.5), 2));
    // And that is what the screen shows.
    testsupport::Picture screen = testsupport::CaptureClient(child->Handle());
    EXPECT_EQ(screen.Pixel(10, 10), Px(*childCache, 10, 10));
}

TEST_F(Panels, WindowIsPaintedRoundItsChildren) {
    auto* panel = Make<TsPanel>(form.get(), 10, 10, 200, 150);
    panel->SetCaption("");
    auto* plain = Make<TPanel>(panel, 100, 20, 60, 40);
    plain->SetBevelOuter(bvNone);
    plain->SetColor(clLime);
    auto* label = Make<TsLabel>(panel, 10, 100, 10, 10);
    SharpFont(label->Font());
    label->SetAutoSize(true);
    label->SetCaption("Lab");
    form->Show();
    Pump();
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // the panel alone
    testsupport::Picture screen = testsupport::CaptureClient(panel->Handle());
    TBitmap* cache = panel->SkinData()->CacheBmp;
    EXPECT_EQ(screen.Pixel(130, 40), 0x00FF00u);          // the child window kept its picture
    EXPECT_EQ(screen.Pixel(50, 40), Px(*cache, 50, 40));  // the panel's picture round it
    EXPECT_EQ(screen.Pixel(1, 75), Px(*cache, 1, 75));    // its border
    EXPECT_EQ(Px(*cache, 1, 75), C().Border[0]);
    bool ink = false;  // the label is drawn over the panel, in the skin's font colour
    for (int y = 100; y < 100 + label->Height(); ++y)
        for (int x = 10; x < 10 + label->Width(); ++x)
            if (screen.Pixel(x, y) == C().GlobalFont) ink = true;
    EXPECT_TRUE(ink);
}

TEST_F(Panels, SkinCommandsReachTheChildren) {
    auto* panel = Make<TsPanel>(form.get(), 10, 10, 200, 150);
    auto* spy = Make<TCommandSpy>(panel, 5, 5, 10, 10);
    panel->HandleNeeded();
    const LPARAM own = reinterpret_cast<LPARAM>(Skin::Get().Manager());
    const LPARAM other = reinterpret_cast<LPARAM>(&*form);
    for (WORD code : {AC_NEWSKIN, AC_REMOVESKIN, AC_REFRESH}) {
        spy->Codes.clear();
        SendMessageA(panel->Handle(), SM_ALPHACMD, acCommandWParam(code), other);
        EXPECT_EQ(spy->Codes, std::vector<int>{code}) << "code " << code << " for another manager";
    }
    // Another manager's commands leave the panel's own section alone.
    EXPECT_GE(panel->SkinData()->SkinIndex, 0);
    SendMessageA(panel->Handle(), SM_ALPHACMD, acCommandWParam(AC_REMOVESKIN), own);
    EXPECT_EQ(panel->SkinData()->SkinIndex, -1);
    spy->Codes.clear();
    SendMessageA(panel->Handle(), SM_ALPHACMD, acCommandWParam(AC_NEWSKIN), own);
    SendMessageA(panel->Handle(), SM_ALPHACMD, acCommandWParam(AC_REFRESH), own);
    EXPECT_EQ(spy->Codes, (std::vector<int>{AC_NEWSKIN, AC_REFRESH}));
    EXPECT_GE(panel->SkinData()->SkinIndex, 0);
    EXPECT_EQ(SendMessageA(panel->Handle(), SM_ALPHACMD, acCommandWParam(AC_SKINNEDQUERY), 0), 1);
}

TEST_F(Panels, CaptionCentredInsideBevelsAndBorder) {
    auto* panel = Make<TsPanel>(form.get(), 10, 10, 200, 80);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    SharpFont(panel->Font());
    panel->SetAlignment(taLeftJustify);
    panel->SetCaption("I");
    form->Show();
    Pump();
    UpdateWindow(panel->Handle());
    TBitmap* cache = panel->SkinData()->CacheBmp;
    TRect ink = FindColor(*cache, TRect{0, 0, 200, 80}, C().GlobalFont);
    ASSERT_GT(RectWidth(ink), 0);
    EXPECT_GE(ink.left, 7);  // shrunk by 2 + 3 + 2
    EXPECT_LE(ink.left, 7 + 4);
    TRect text{0, 0, 0, 0};
    HDC dc = cache->Canvas()->Handle();
    cache->Canvas()->SetFont(panel->Font());
    const int h = cache->Canvas()->TextHeight("W");
    (void)dc;
    (void)text;
    const int top = (7 + 73 - h) / 2;
    EXPECT_GE(ink.top, top);
    EXPECT_LE(ink.bottom, top + h);
}

TEST_F(Panels, UnskinnedPanelPrintsWhatOnPaintDraws) {
    auto* panel = Make<TsPanel>(form.get(), 10, 10, 60, 40);
    panel->SkinData()->SetSkinSection("NO_SUCH_SECTION");
    int calls = 0;
    panel->OnPaint = [&](TObject*, TCanvas* canvas) {
        ++calls;
        canvas->Brush()->SetColor(clRed);
        canvas->FillRect(TRect{0, 0, 60, 40});
    };
    panel->HandleNeeded();
    TBitmap bmp(60, 40);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(TRect{0, 0, 60, 40});
    SendMessageA(panel->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(bmp.Canvas()->Handle()), PRF_CLIENT);
    GdiFlush();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Px(bmp, 30, 20), 0xFF0000u);
}

TEST_F(Panels, DragBarMovesItsFormByARealDragAndLetsGo) {
    form->SetBounds(100, 100, 300, 200);
    auto* bar = TObject::Create<TsDragBar>(form.get());
    bar->SetParent(form.get());
    EXPECT_EQ(bar->Align(), alTop);
    EXPECT_EQ(bar->Height(), 20);
    form->Show();
    Pump(100);
    SetForegroundWindow(form->Handle());
    Pump(50);
    int downs = 0;
    bar->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    const TPoint p = bar->ClientToScreen(TPoint{bar->Width() / 2, 10});
    const int left0 = form->Left(), top0 = form->Top();
    SetCursorPos(p.x, p.y);
    Pump(50);
    ASSERT_EQ(WindowFromPoint(p), bar->Handle());
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof in);
    SetCursorPos(p.x + 15, p.y + 5);
    SetCursorPos(p.x + 30, p.y + 20);
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    // The test never waits on the move: the press is taken, the loop runs
    // and ends inside this pump, bounded.
    EXPECT_TRUE(testsupport::PumpUntil([&] { return form->Left() != left0 && !bar->Dragging(); }, 3000));
    Pump(50);
    EXPECT_EQ(downs, 1);
    POINT cur;
    GetCursorPos(&cur);
    EXPECT_EQ(cur.x, p.x + 30);
    EXPECT_EQ(form->Left(), left0 + 30);
    EXPECT_EQ(form->Top(), top0 + 20);
    EXPECT_FALSE(bar->Dragging());
    EXPECT_NE(GetCapture(), bar->Handle());
    RECT wr;
    GetWindowRect(form->Handle(), &wr);
    EXPECT_EQ(wr.left, left0 + 30);
}

// Read from a description without DraggedControl, a bar moves the form that
// holds it; its caption text follows that form's activation, which only the
// form is told of.
TEST_F(Panels, DragBarTakesItsFormWhenLoadedAndFollowsItsActivation) {
    RegisterSkinnedClasses();
    ReadComponentFromText(form.get(), "object Loaded: TForm object Drag: TsDragBar end end");
    auto* bar = dynamic_cast<TsDragBar*>(form->FindComponent("Drag"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->DraggedControl(), form.get());
    FormPtr other = MakeForm(420, 60, 200, 120);
    for (TForm* f : {form.get(), other.get()}) f->Show();
    const struct {
        TForm* Active;
        TColor Caption;
    } steps[] = {{form.get(), clCaptionText}, {other.get(), clInactiveCaptionText}, {form.get(), clCaptionText}};
    for (const auto& step : steps) {
        SetForegroundWindow(step.Active->Handle());
        SetActiveWindow(step.Active->Handle());
        Pump(60);
        EXPECT_EQ(bar->Font()->Color(), step.Caption) << (step.Active == form.get() ? "own form" : "other form");
    }
    // The bar freed before its form leaves the form's messages working.
    bar->Free();
    SetForegroundWindow(other->Handle());
    SetForegroundWindow(form->Handle());
    Pump(60);
    EXPECT_TRUE(form->Active());
}

TEST_F(Panels, DragLoopEndsWhenTheButtonIsAlreadyUp) {
    auto* bar = TObject::Create<TsDragBar>(form.get());
    bar->SetParent(form.get());
    form->Show();
    Pump();
    // No button is held: the loop must see that and end at once.
    const DWORD t0 = GetTickCount();
    bar->DragLoop(form.get());
    EXPECT_LT(GetTickCount() - t0, 1000u);
    EXPECT_FALSE(bar->Dragging());
}

TEST_F(Panels, DragLoopEndsWhenATimerFreesWhatItMoves) {
    form->SetBounds(100, 100, 300, 200);
    auto* bar = TObject::Create<TsDragBar>(form.get());
    bar->SetParent(form.get());
    auto* moved = Make<TsPanel>(form.get(), 10, 60, 50, 50);
    bar->SetDraggedControl(moved);
    FormPtr spare = MakeForm(500, 100, 100, 100);
    spare->HandleNeeded();
    form->Show();
    Pump(100);
    SetForegroundWindow(form->Handle());
    Pump(50);
    // The dragged control goes: the bar stays and is done with the drag.
    EXPECT_TRUE(DragWhile(bar, spare->Handle(), [&] { moved->Free(); }));
    EXPECT_EQ(bar->DraggedControl(), nullptr);
    EXPECT_FALSE(bar->Dragging());
    EXPECT_NE(GetCapture(), bar->Handle());
    EXPECT_EQ(form->ControlCount(), 1);
    // The form that holds the bar (and the bar with it) goes.
    bar->SetDraggedControl(nullptr);
    EXPECT_TRUE(DragWhile(bar, spare->Handle(), [&] { form.reset(); }));
    EXPECT_EQ(form, nullptr);
    Pump(50);
    // The spare form took the queued move unharmed.
    EXPECT_EQ(spare->Left(), 500);
}

TEST_F(Panels, OnPaintThatThrowsLeavesNothingLockedOrSaved) {
    CountExceptions errors;
    // Unskinned, printed: the DC's saved states and the canvas come back.
    auto* plain = Make<TsPanel>(form.get(), 10, 10, 60, 40);
    plain->SkinData()->SetSkinSection("NO_SUCH_SECTION");
    int calls = 0;
    auto paint = [&](TObject*, TCanvas* canvas) {
        if (++calls == 1) throw std::runtime_error("OnPaint failed");
        canvas->Brush()->SetColor(clRed);
        canvas->FillRect(TRect{0, 0, 60, 40});
    };
    plain->OnPaint = paint;
    plain->HandleNeeded();
    TBitmap bmp(60, 40);
    HDC dc = bmp.Canvas()->Handle();
    const int level = SaveDC(dc);
    RestoreDC(dc, level);
    SendMessageA(plain->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(errors.Count, 1);
    EXPECT_EQ(plain->Canvas()->LockCount(), 0);
    const int after = SaveDC(dc);
    RestoreDC(dc, after);
    EXPECT_EQ(after, level);
    SendMessageA(plain->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(Px(bmp, 30, 20), 0xFF0000u);
    EXPECT_EQ(plain->Canvas()->LockCount(), 0);

    // Skinned, on the screen: the paint ends and the next one shows OnPaint's work.
    auto* skinned = Make<TsPanel>(form.get(), 100, 10, 80, 60);
    calls = 0;
    skinned->OnPaint = [&](TObject*, TCanvas* canvas) {
        if (++calls == 1) throw std::runtime_error("OnPaint failed");
        canvas->Brush()->SetStyle(bsSolid);  // the caption left it clear
        canvas->Brush()->SetColor(ToColor(0x123456));
        canvas->FillRect(TRect{30, 20, 50, 40});
    };
    form->Show();
    Pump();
    EXPECT_GE(errors.Count, 2);
    EXPECT_EQ(skinned->Canvas()->LockCount(), 0);
    EXPECT_FALSE(GetUpdateRect(skinned->Handle(), nullptr, FALSE));
    InvalidateRect(skinned->Handle(), nullptr, FALSE);
    UpdateWindow(skinned->Handle());
    EXPECT_EQ(skinned->Canvas()->LockCount(), 0);
    EXPECT_GE(calls, 2);
    const testsupport::Picture pic = testsupport::CaptureClient(skinned->Handle());
    EXPECT_EQ(pic.Pixel(40, 30), 0x123456u);
}
