// System controls wrapped by the library: an owner-drawn list box asks its
// control for item heights while it is being made, a pressed push button
// clicks through the reflected BN_CLICKED, menu shortcuts and double
// buffering.
#include "TestControls.h"

#include "Menus.h"
#include "WindowHooks.h"

using namespace ctltest;

namespace {

class TTestList : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TTestList)
public:
    explicit TTestList(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 100, 120); }
    void WndProc(TMessage& M) override {
        if (M.Msg == CN_MEASUREITEM) {
            ++Measured;
            CreatingWhenMeasured = ControlState().Contains(csCreating);
            reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam)->itemHeight = 23;
            M.Result = TRUE;
            return;
        }
        TWinControl::WndProc(M);
    }
    int Measured = 0;
    bool CreatingWhenMeasured = false;

protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, "LISTBOX");
        Params.Style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_VSCROLL;
    }
};
CLASSLIB_DEFINE_CLASS(TTestList, TWinControl)

TEST(ControlSystem, AnOwnerDrawnListAsksItsControlWhileItIsMade) {
    FormPtr form = MakeForm();
    auto* list = TObject::Create<TTestList>(form.get());
    list->SetParent(form.get());
    HWND wnd = list->Handle();
    EXPECT_GE(list->Measured, 1);
    EXPECT_TRUE(list->CreatingWhenMeasured);
    EXPECT_EQ(SendMessageA(wnd, LB_GETITEMHEIGHT, 0, 0), 23);
}

TEST(ControlSystem, APressedPushButtonClicksThroughItsParent) {
    FormPtr form = MakeForm();
    auto* button = TObject::Create<TTestButton>(form.get());
    button->SetParent(form.get());
    // Even with csCaptureMouse the system button keeps its own press.
    button->SetControlStyle(button->ControlStyle() + TControlStyle{csCaptureMouse, csClickEvents});
    form->Show();
    Pump();
    HWND wnd = button->Handle();
    std::vector<TMouseButton> downs;
    button->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) { downs.push_back(b); };
    button->Log.Clear();
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(GetCapture(), wnd);
    EXPECT_TRUE(SendMessageA(wnd, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(downs, std::vector<TMouseButton>{mbLeft});
    const TMessage* command = button->Log.Find(CN_COMMAND);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(HIWORD(command->WParam), BN_CLICKED);
}

TEST(ControlSystem, MenuShortcutsArePreviewedFromTheFocusedControl) {
    FormPtr form = MakeForm();
    auto* menu = TObject::Create<TMainMenu>(form.get());
    int clicks = 0;
    TMenuItem* item = NewItem("&Refresh", VK_F5, false, true, [&](TObject*) { ++clicks; });
    menu->Items()->Add(NewSubMenu("&View", {item}));
    form->SetMenu(menu);
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(form.get());
    c->SetTabStop(true);
    form->Show();
    c->SetFocus();
    Pump();
    c->Log.Clear();
    PostMessageA(c->Handle(), WM_KEYDOWN, VK_F5, 1);
    Pump();
    EXPECT_EQ(clicks, 1);
    // Taken by the menu: the control's own key handling never saw it.
    EXPECT_EQ(c->Log.Count(WM_KEYDOWN), 0);
}

TEST(ControlSystem, ADoubleBufferedParentPaintsTheSame) {
    FormPtr form = MakeForm(50, 50, 320, 240);
    auto* panel = TObject::Create<TLogWin>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, 200, 150);
    panel->PaintColor = clBlue;
    panel->SetDoubleBuffered(true);
    auto* g = TObject::Create<TLogGraphic>(form.get());
    g->SetParent(panel);
    g->SetBounds(20, 30, 40, 25);
    g->PaintColor = clLime;
    form->Show();
    Pump();
    panel->Repaint();
    testsupport::Picture pic = testsupport::CaptureClient(panel->Handle());
    EXPECT_EQ(pic.Pixel(25, 35), RGBOfColor(clLime));
    EXPECT_EQ(pic.Pixel(100, 100), RGBOfColor(clBlue));
}

TEST(ControlSystem, AForeignWindowCanBeSubclassedThroughAMethod) {
    FormPtr form = MakeForm();
    HWND edit = CreateWindowExA(0, "EDIT", "abc", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, form->Handle(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(IsWindow(edit));
    auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_WNDPROC));
    std::vector<UINT> seen;
    // Freed, a subclass puts the window's procedure back.
    auto sub = std::make_unique<TWindowProcSubclass>();
    ASSERT_TRUE(sub->Attach(edit, TWndMethod()));
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_WNDPROC)), original);
    sub.reset();
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_WNDPROC)), original);
    sub = std::make_unique<TWindowProcSubclass>();
    TWindowProcSubclass* self = sub.get();
    ASSERT_TRUE(sub->Attach(edit, [&](TMessage& M) {
        seen.push_back(M.Msg);
        if (M.Msg == WM_GETTEXTLENGTH) {
            M.Result = 99;
            return;
        }
        self->CallPrevious(M);
    }));
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 99);
    char text[16] = {};
    SendMessageA(edit, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "abc");  // passed on to the edit's own procedure
    EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_GETTEXT)), seen.end());
    EXPECT_FALSE(sub->Attach(edit, TWndMethod()));  // attached already
    // The window going lets the subclass go.
    DestroyWindow(edit);
    EXPECT_EQ(sub->Handle(), nullptr);
}

TEST(ControlSystem, AlignmentWaitsForTheEndOfLoading) {
    FormPtr form = MakeForm();
    auto* panel = TObject::Create<TLogWin>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 200, 100);
    form->BeginLoading();
    auto* c = TObject::Create<TLogWin>(form.get());
    c->SetParent(panel);
    c->SetAlign(alClient);
    EXPECT_EQ(c->Width(), 60);  // not yet
    EXPECT_TRUE(panel->ControlState().Contains(csAlignmentNeeded));
    form->EndLoading();
    EXPECT_EQ(c->Width(), 200);
    EXPECT_EQ(c->Height(), 100);
}

}  // namespace
