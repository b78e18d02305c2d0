// The application and the screen: the hidden application window and its
// hooks, the message loop ending with the main form, hints shown after a
// pause, exceptions from window procedures, screen metrics and cursors.
#include "TestControls.h"

#include "Timers.h"

using namespace ctltest;

namespace {

constexpr UINT WM_TEST_HOOK = WM_APP + 7;

struct HookTarget {
    int Seen = 0;
    bool Hook(TMessage& M) {
        if (M.Msg != WM_TEST_HOOK) return false;
        ++Seen;
        M.Result = 55;
        return true;
    }
};

TEST(Application, TheApplicationWindowPassesItsMessagesToTheHooks) {
    HWND wnd = Application->Handle();
    ASSERT_TRUE(IsWindow(wnd));
    char cls[32] = {};
    GetClassNameA(wnd, cls, sizeof(cls));
    EXPECT_STREQ(cls, "TApplication");
    EXPECT_FALSE(IsWindowVisible(wnd));

    HookTarget target;
    Application->HookMainWindow(TWindowHook(&target, &HookTarget::Hook));
    std::vector<UINT> seenByLambda;
    TWindowHook lambda = [&](TMessage& M) {
        seenByLambda.push_back(M.Msg);
        return false;
    };
    Application->HookMainWindow(lambda);
    EXPECT_EQ(SendMessageA(wnd, WM_TEST_HOOK, 0, 0), 55);
    EXPECT_EQ(target.Seen, 1);
    // Hooks run in the order they were added: the first one answered.
    EXPECT_TRUE(seenByLambda.empty());
    // A hook is removed by an equal slot: same object and method, or a copy.
    Application->UnhookMainWindow(TWindowHook(&target, &HookTarget::Hook));
    EXPECT_EQ(SendMessageA(wnd, WM_TEST_HOOK, 0, 0), 0);
    EXPECT_EQ(target.Seen, 1);
    EXPECT_EQ(seenByLambda.size(), 1u);
    Application->UnhookMainWindow(lambda);
    SendMessageA(wnd, WM_TEST_HOOK, 0, 0);
    EXPECT_EQ(seenByLambda.size(), 1u);
}

TEST(Application, AHintShowsAfterThePauseOverAControlWithShowHint) {
    FormPtr form = MakeForm(100, 100, 300, 200);
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(form.get());
    c->SetBounds(20, 20, 100, 60);
    c->SetHint("Short|Long text");
    c->SetShowHint(true);
    auto* quiet = TObject::Create<TLogWin>(form.get());
    quiet->SetParent(form.get());
    quiet->SetBounds(150, 20, 100, 60);
    quiet->SetHint("never");
    form->Show();
    Pump();
    Application->HintPause = 20;
    Application->HintHidePause = 5000;

    auto pumpUntil = [](const std::function<bool()>& done) {
        for (int i = 0; i < 100 && !done(); ++i) {
            Pump(10);
            Application->Idle();
        }
        return done();
    };
    auto showing = [] { return Application->HintWindow() && Application->HintWindow()->IsHintShowing(); };

    TPoint over = c->ClientToScreen(TPoint{30, 30});
    SetCursorPos(over.x, over.y);
    ASSERT_TRUE(pumpUntil(showing));
    THintWindow* hint = Application->HintWindow();
    EXPECT_EQ(hint->Caption(), "Short");
    EXPECT_TRUE(GetWindowLongA(hint->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongA(hint->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    RECT r;
    GetWindowRect(hint->Handle(), &r);
    EXPECT_GE(r.top, over.y);
    // The hint window never takes the mouse: the control under it stays hot.
    EXPECT_EQ(MouseControl(), c);

    // Over a control without ShowHint the hint goes.
    TPoint elsewhere = quiet->ClientToScreen(TPoint{30, 30});
    SetCursorPos(elsewhere.x, elsewhere.y);
    EXPECT_TRUE(pumpUntil([&] { return !showing() && MouseControl() == quiet; }));
    Pump(60);
    EXPECT_FALSE(showing());

    // CM_HINTSHOW may change the text, or refuse the hint.
    c->WindowProc = [c](TMessage& M) {
        if (M.Msg == CM_HINTSHOW) reinterpret_cast<THintInfo*>(M.LParam)->HintStr = "Changed";
        c->WndProc(M);
    };
    SetCursorPos(over.x, over.y);
    ASSERT_TRUE(pumpUntil(showing));
    EXPECT_EQ(Application->HintWindow()->Caption(), "Changed");
    Application->CancelHint();
    EXPECT_FALSE(showing());
    c->WindowProc = TWndMethod(static_cast<TControl*>(c), &TControl::WndProc);
    SetCursorPos(900, 900);
    Pump();
    Application->Idle();
}

class TThrowing : public TLogWin {
public:
    using TLogWin::TLogWin;
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_APP + 9) throw EClassLibError("thrown in a handler");
        TLogWin::WndProc(M);
    }
};

TEST(Application, ExceptionsInWindowProceduresGoToOnException) {
    FormPtr form = MakeForm();
    auto* c = TObject::Create<TThrowing>(form.get());
    c->SetParent(form.get());
    std::string caught;
    TObject* sender = nullptr;
    Application->OnException = [&](TObject* Sender, const std::exception& E) {
        sender = Sender;
        caught = E.what();
    };
    SendMessageA(c->Handle(), WM_APP + 9, 0, 0);
    Application->OnException = nullptr;
    EXPECT_EQ(caught, "thrown in a handler");
    EXPECT_EQ(sender, c);
}

TEST(Screen, MetricsCursorsAndActiveForm) {
    EXPECT_EQ(Screen->Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(Screen->Height(), GetSystemMetrics(SM_CYSCREEN));
    TRect area = Screen->WorkAreaRect();
    EXPECT_GT(RectWidth(area), 0);
    EXPECT_GT(RectHeight(area), 0);
    EXPECT_EQ(Screen->Cursors(crHandPoint), LoadCursorA(nullptr, IDC_HAND));
    EXPECT_EQ(Screen->Cursors(crDefault), LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_GT(Screen->PixelsPerInch(), 0);
    EXPECT_FALSE(Screen->MenuFont()->Name().empty());

    FormPtr form = MakeForm();
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(form.get());
    c->SetBounds(10, 10, 100, 80);
    c->SetCursor(crHandPoint);
    form->Show();
    Pump();
    EXPECT_EQ(Screen->ActiveForm(), form.get());
    // The control's cursor is set when the mouse is over it.
    TPoint p = c->ClientToScreen(TPoint{20, 20});
    SetCursorPos(p.x, p.y);
    Pump();
    SendMessageA(c->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(c->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    Screen->SetCursor(crDefault);
    SetCursorPos(900, 900);
    Pump();
}

}  // namespace
