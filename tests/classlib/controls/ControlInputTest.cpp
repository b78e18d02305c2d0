// Input reaching controls: mouse messages routed to windowless children with
// capture, CM_MOUSEENTER / CM_MOUSELEAVE from real cursor moves, CM_ENTER /
// CM_EXIT on focus moves, key messages previewed as CN_* and dialog keys.
#include "TestControls.h"

using namespace ctltest;

namespace {

LPARAM Pos(int x, int y) { return MAKELPARAM(x, y); }

// The (control, lParam) pairs of the enter and leave messages of some controls.
struct HotLog {
    struct Entry {
        TControl* Receiver;
        UINT Msg;
        TControl* Subject;
    };
    std::vector<Entry> Items;
    void Watch(TControl* c) {
        TWndMethod old = c->WindowProc;
        c->WindowProc = [this, c, old](TMessage& M) {
            if (M.Msg == CM_MOUSEENTER || M.Msg == CM_MOUSELEAVE)
                Items.push_back(Entry{c, M.Msg, reinterpret_cast<TControl*>(M.LParam)});
            old(M);
        };
    }
    int Count(TControl* Receiver, UINT Msg, TControl* Subject) const {
        int n = 0;
        for (const Entry& e : Items)
            if (e.Receiver == Receiver && e.Msg == Msg && e.Subject == Subject) ++n;
        return n;
    }
};

// Moves the real cursor and lets the library see it (mouse moves and idle).
void MoveCursor(const TPoint& screen) {
    SetCursorPos(screen.x, screen.y);
    Pump(40);
    Application->Idle();
    Pump(10);
}

TEST(ControlMouse, WindowlessChildrenGetTheirMouseMessagesFromTheParent) {
    FormPtr form = MakeForm();
    auto* panel = TObject::Create<TLogWin>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 200, 150);
    auto* g = TObject::Create<TLogGraphic>(form.get());
    g->SetParent(panel);
    g->SetBounds(40, 30, 50, 40);
    int clicks = 0;
    g->OnClick = [&](TObject* s) {
        EXPECT_EQ(s, g);
        ++clicks;
    };
    form->Show();
    HWND wnd = panel->Handle();

    panel->Log.Clear();
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, Pos(45, 37));
    ASSERT_EQ(g->Downs.size(), 1u);
    EXPECT_EQ(g->Downs[0].x, 5);
    EXPECT_EQ(g->Downs[0].y, 7);
    EXPECT_EQ(panel->Log.Count(WM_LBUTTONDOWN), 1);  // seen by the parent, passed on
    EXPECT_TRUE(g->ControlState().Contains(csLButtonDown));
    // The child holds the mouse through its parent's window.
    EXPECT_EQ(GetCapture(), wnd);
    EXPECT_EQ(GetCaptureControl(), g);
    EXPECT_TRUE(g->MouseCapture());
    g->Log.Clear();
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, Pos(150, 120));
    const TMessage* move = g->Log.Find(WM_MOUSEMOVE);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->XPos(), 110);
    EXPECT_EQ(move->YPos(), 90);
    // Released outside: no click.
    SendMessageA(wnd, WM_LBUTTONUP, 0, Pos(150, 120));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(g->ControlState().Contains(csLButtonDown));
    // Pressed and released inside: a click.
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, Pos(60, 50));
    SendMessageA(wnd, WM_LBUTTONUP, 0, Pos(61, 51));
    EXPECT_EQ(clicks, 1);
    // Outside the child the parent keeps the message.
    g->Log.Clear();
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, Pos(5, 5));
    SendMessageA(wnd, WM_LBUTTONUP, 0, Pos(5, 5));
    EXPECT_EQ(g->Log.Count(WM_LBUTTONDOWN), 0);
    // A disabled child lets the parent have them.
    g->SetEnabled(false);
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, Pos(60, 50));
    SendMessageA(wnd, WM_LBUTTONUP, 0, Pos(60, 50));
    EXPECT_EQ(g->Log.Count(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(clicks, 1);
    // Without csDoubleClicks a double click counts as a press.
    g->SetEnabled(true);
    g->SetControlStyle(g->ControlStyle() - TControlStyle{csDoubleClicks});
    int doubles = 0;
    g->OnDblClick = [&](TObject*) { ++doubles; };
    size_t downs = g->Downs.size();
    SendMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, Pos(60, 50));
    SendMessageA(wnd, WM_LBUTTONUP, 0, Pos(60, 50));
    EXPECT_EQ(g->Downs.size(), downs + 1);
    EXPECT_EQ(doubles, 0);
    EXPECT_EQ(clicks, 2);
    // With it, the double click is one.
    g->SetControlStyle(g->ControlStyle() + TControlStyle{csDoubleClicks});
    SendMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, Pos(60, 50));
    SendMessageA(wnd, WM_LBUTTONUP, 0, Pos(60, 50));
    EXPECT_EQ(doubles, 1);
}

TEST(ControlMouse, EnterAndLeaveFollowTheCursorOverWindowedAndWindowlessControls) {
    FormPtr form = MakeForm(100, 100, 400, 300);
    auto* a = TObject::Create<TLogWin>(form.get());
    a->SetParent(form.get());
    a->SetBounds(10, 10, 100, 80);
    auto* panel = TObject::Create<TLogWin>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(150, 10, 200, 150);
    auto* g = TObject::Create<TLogGraphic>(form.get());
    g->SetParent(panel);
    g->SetBounds(20, 20, 60, 50);
    int enterEvents = 0, leaveEvents = 0;
    g->OnMouseEnter = [&](TObject*) { ++enterEvents; };
    g->OnMouseLeave = [&](TObject*) { ++leaveEvents; };
    form->Show();
    Pump();
    HotLog log;
    for (TControl* c : std::vector<TControl*>{form.get(), a, panel, g}) log.Watch(c);

    MoveCursor(a->ClientToScreen(TPoint{50, 40}));
    EXPECT_EQ(MouseControl(), a);
    EXPECT_EQ(log.Count(a, CM_MOUSEENTER, a), 1);
    EXPECT_EQ(log.Count(form.get(), CM_MOUSEENTER, a), 1);  // passed on to the parent

    // A second look at the same place sends nothing more.
    Application->Idle();
    MoveCursor(a->ClientToScreen(TPoint{52, 41}));
    EXPECT_EQ(log.Count(a, CM_MOUSEENTER, a), 1);

    MoveCursor(g->ClientToScreen(TPoint{10, 10}));
    EXPECT_EQ(MouseControl(), g);
    EXPECT_EQ(log.Count(a, CM_MOUSELEAVE, a), 1);
    EXPECT_EQ(log.Count(form.get(), CM_MOUSELEAVE, a), 1);
    EXPECT_EQ(log.Count(g, CM_MOUSEENTER, g), 1);
    EXPECT_EQ(log.Count(panel, CM_MOUSEENTER, g), 1);
    EXPECT_EQ(log.Count(form.get(), CM_MOUSEENTER, g), 1);
    EXPECT_EQ(enterEvents, 1);

    // Over the panel beside the windowless child: leave the child, enter the panel.
    MoveCursor(panel->ClientToScreen(TPoint{150, 120}));
    EXPECT_EQ(MouseControl(), panel);
    EXPECT_EQ(log.Count(g, CM_MOUSELEAVE, g), 1);
    EXPECT_EQ(log.Count(panel, CM_MOUSELEAVE, g), 1);
    EXPECT_EQ(log.Count(panel, CM_MOUSEENTER, panel), 1);
    EXPECT_EQ(leaveEvents, 1);

    // Off every window of the program: the last one is left.
    MoveCursor(TPoint{900, 900});
    EXPECT_EQ(MouseControl(), nullptr);
    EXPECT_EQ(log.Count(panel, CM_MOUSELEAVE, panel), 1);
    EXPECT_EQ(log.Count(form.get(), CM_MOUSELEAVE, panel), 1);
    // Every enter had its leave.
    int enters = 0, leaves = 0;
    for (const auto& e : log.Items) {
        if (e.Receiver != e.Subject) continue;
        if (e.Msg == CM_MOUSEENTER) ++enters;
        else ++leaves;
    }
    EXPECT_EQ(enters, leaves);
    for (TControl* c : std::vector<TControl*>{form.get(), a, panel, g})
        c->WindowProc = TWndMethod(c, &TControl::WndProc);
}

TEST(ControlMouse, AFreedHotControlIsForgotten) {
    FormPtr form = MakeForm(100, 100, 400, 300);
    auto* a = TObject::Create<TLogWin>(form.get());
    a->SetParent(form.get());
    a->SetBounds(10, 10, 100, 80);
    form->Show();
    Pump();
    MoveCursor(a->ClientToScreen(TPoint{20, 20}));
    EXPECT_EQ(MouseControl(), a);
    a->Free();
    EXPECT_EQ(MouseControl(), nullptr);
    MoveCursor(TPoint{900, 900});
}

TEST(ControlMouse, LeavingTheWindowIsCaughtWithoutIdleWork) {
    FormPtr form = MakeForm(100, 100, 400, 300);
    auto* a = TObject::Create<TLogWin>(form.get());
    a->SetParent(form.get());
    a->SetBounds(10, 10, 100, 80);
    form->Show();
    Pump();
    HotLog log;
    log.Watch(a);
    // Only real mouse messages from here on: no idle tracking.
    TPoint in = a->ClientToScreen(TPoint{30, 30});
    SetCursorPos(in.x, in.y);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return MouseControl() == a; }, 3000));
    EXPECT_EQ(log.Count(a, CM_MOUSEENTER, a), 1);
    SetCursorPos(900, 900);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return MouseControl() == nullptr; }, 3000));
    EXPECT_EQ(log.Count(a, CM_MOUSELEAVE, a), 1);
    a->WindowProc = TWndMethod(static_cast<TControl*>(a), &TControl::WndProc);
}

TEST(ControlFocus, FocusMovesSendExitAndEnterUpToTheCommonParent) {
    FormPtr form = MakeForm(100, 100, 400, 300);
    auto* panel = TObject::Create<TLogWin>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, 200, 150);
    auto* inner = TObject::Create<TLogWin>(form.get());
    inner->SetParent(panel);
    inner->SetTabStop(true);
    auto* other = TObject::Create<TLogWin>(form.get());
    other->SetParent(form.get());
    other->SetBounds(250, 10, 60, 30);
    other->SetTabStop(true);
    std::vector<std::string> events;
    inner->OnEnter = [&](TObject*) { events.push_back("enter inner"); };
    inner->OnExit = [&](TObject*) { events.push_back("exit inner"); };
    panel->OnEnter = [&](TObject*) { events.push_back("enter panel"); };
    panel->OnExit = [&](TObject*) { events.push_back("exit panel"); };
    other->OnEnter = [&](TObject*) { events.push_back("enter other"); };
    other->OnExit = [&](TObject*) { events.push_back("exit other"); };
    // Shown, the form gives the focus to its first tab stop.
    form->Show();
    Pump();
    EXPECT_TRUE(form->Active());
    EXPECT_TRUE(inner->Focused());
    EXPECT_EQ(form->ActiveControl(), inner);
    EXPECT_EQ(Screen->ActiveControl(), inner);
    EXPECT_EQ(Screen->ActiveForm(), form.get());
    EXPECT_EQ(events, (std::vector<std::string>{"enter panel", "enter inner"}));
    int enterMsg = inner->Log.IndexOf(CM_ENTER);
    EXPECT_GE(enterMsg, 0);

    events.clear();
    other->SetFocus();
    Pump();
    EXPECT_EQ(events, (std::vector<std::string>{"exit inner", "exit panel", "enter other"}));
    EXPECT_EQ(form->ActiveControl(), other);

    // Focus within the same parent: only the two controls hear of it.
    auto* sibling = TObject::Create<TLogWin>(form.get());
    sibling->SetParent(form.get());
    sibling->SetBounds(250, 60, 60, 30);
    events.clear();
    panel->Log.Clear();
    sibling->SetFocus();
    Pump();
    EXPECT_EQ(events, (std::vector<std::string>{"exit other"}));
    EXPECT_EQ(panel->Log.Count(CM_ENTER) + panel->Log.Count(CM_EXIT), 0);

    // Tab goes through the tab stops in tab order, Shift+Tab back.
    inner->SetFocus();
    Pump();
    events.clear();
    EXPECT_EQ(form->Perform(CM_DIALOGKEY, VK_TAB, 0), 1);
    Pump();
    EXPECT_EQ(form->ActiveControl(), other);
    form->Perform(CM_DIALOGKEY, VK_TAB, 0);
    Pump();
    EXPECT_EQ(form->ActiveControl(), inner);

    // Hiding the focused control takes the focus away from it.
    inner->SetVisible(false);
    Pump();
    EXPECT_NE(form->ActiveControl(), inner);
    EXPECT_FALSE(inner->Focused());
}

TEST(ControlKeys, KeyMessagesArePreviewedAsNotificationsThenDelivered) {
    FormPtr form = MakeForm(100, 100, 400, 300);
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(form.get());
    c->SetTabStop(true);
    std::vector<WORD> keys;
    c->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { keys.push_back(Key); };
    form->Show();
    c->SetFocus();
    Pump();
    c->Log.Clear();
    PostMessageA(c->Handle(), WM_KEYDOWN, 'A', 1);
    Pump();
    int cn = c->Log.IndexOf(CN_KEYDOWN);
    int wm = c->Log.IndexOf(WM_KEYDOWN);
    ASSERT_GE(cn, 0);
    EXPECT_GT(wm, cn);
    EXPECT_EQ(keys, std::vector<WORD>{'A'});

    // A handler that eats the key keeps it from the window's own procedure.
    c->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { Key = 0; };
    c->Log.Clear();
    TMessage m{WM_KEYDOWN, 'B', 1, 0};
    c->Perform(m);
    EXPECT_EQ(m.WParam, 0u);

    // Tab is a dialog key for a control that does not want it.
    auto* next = TObject::Create<TLogWin>(form.get());
    next->SetParent(form.get());
    next->SetTabStop(true);
    next->SetLeft(100);
    PostMessageA(c->Handle(), WM_KEYDOWN, VK_TAB, 1);
    Pump();
    EXPECT_TRUE(next->Focused());
    // A form with KeyPreview sees the key first.
    form->KeyPreview = true;
    std::vector<WORD> formKeys;
    form->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { formKeys.push_back(Key); };
    next->Perform(WM_KEYDOWN, 'C', 1);
    EXPECT_EQ(formKeys, std::vector<WORD>{'C'});
}

TEST(ControlKeys, DialogCharsReachTheChildrenUntilOneAnswers) {
    FormPtr form = MakeForm();
    auto* a = TObject::Create<TLogWin>(form.get());
    a->SetParent(form.get());
    auto* b = TObject::Create<TLogGraphic>(form.get());
    b->SetParent(form.get());
    int asked = 0;
    b->WindowProc = [&, b](TMessage& M) {
        if (M.Msg == CM_DIALOGCHAR) {
            ++asked;
            M.Result = IsAccel(static_cast<WORD>(M.WParam), "&Go") ? 1 : 0;
            return;
        }
        b->WndProc(M);
    };
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'g', 0), 1);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    EXPECT_EQ(asked, 2);
    // Windowless children are asked first; the answer of one ends the round.
    EXPECT_EQ(a->Log.Count(CM_DIALOGCHAR), 1);
}

}  // namespace
