// Push buttons and edits on real system windows: the superclassed window
// classes, clicks by mouse, keyboard and BM_CLICK, the default and cancel
// buttons answering Enter and Escape, modal results, actions; the edit's text,
// limits, read-only state and change events.
#include "StdTest.h"

#include "ActnList.h"
#include "StdCtrls.h"

#include <string>
#include <vector>

using namespace stdtest;

namespace {

// A button that writes down what its window procedure sees and every call of
// the default-look switch (as a skinned button overriding it would get them).
class TSpyButton : public TButton {
public:
    using TButton::TButton;
    void WndProc(TMessage& M) override {
        Msgs.push_back(M.Msg);
        TButton::WndProc(M);
    }
    void SetButtonStyle(bool ADefault) override {
        Styles.push_back(ADefault);
        TButton::SetButtonStyle(ADefault);
    }
    std::vector<UINT> Msgs;
    std::vector<bool> Styles;
};

LONG ButtonType(TWinControl* B) { return GetWindowLongA(B->Handle(), GWL_STYLE) & BS_TYPEMASK; }

String WindowText(HWND Wnd) {
    char buf[256] = {};
    GetWindowTextA(Wnd, buf, sizeof(buf));
    return buf;
}

int IndexOf(const std::vector<UINT>& List, UINT Msg) {
    for (size_t i = 0; i < List.size(); ++i)
        if (List[i] == Msg) return static_cast<int>(i);
    return -1;
}

TEST(Button, WindowIsASuperclassedSystemButton) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* b = Make<TSpyButton>(form.get(), 10, 10, 80, 26);
    b->SetCaption("OK");
    HWND h = b->Handle();

    char cls[64] = {};
    GetClassNameA(h, cls, sizeof(cls));
    EXPECT_STREQ(cls, "TButton");
    WNDCLASSA sys{}, ours{};
    ASSERT_TRUE(GetClassInfoA(nullptr, "BUTTON", &sys));
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "TButton", &ours));
    // Our procedure in front, the system's behind it, and room for the
    // system's per-window data.
    EXPECT_NE(ours.lpfnWndProc, sys.lpfnWndProc);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)), ours.lpfnWndProc);
    EXPECT_EQ(b->DefWndProc(), sys.lpfnWndProc);
    EXPECT_EQ(ours.cbWndExtra, sys.cbWndExtra);
    EXPECT_EQ(ours.style & (CS_PARENTDC | CS_OWNDC | CS_CLASSDC | CS_GLOBALCLASS), 0u);

    // Seen from the window's first message on.
    int nc = IndexOf(b->Msgs, WM_NCCREATE), create = IndexOf(b->Msgs, WM_CREATE);
    ASSERT_GE(nc, 0);
    EXPECT_LT(nc, create);

    // The system button does its own work: text, dialog code, style.
    EXPECT_EQ(WindowText(h), "OK");
    EXPECT_EQ(b->Caption(), "OK");
    LRESULT code = SendMessageA(h, WM_GETDLGCODE, 0, 0);
    EXPECT_TRUE(code & DLGC_BUTTON);
    EXPECT_EQ(ButtonType(b), BS_PUSHBUTTON);
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP);

    // A default button is made with the default style.
    auto* d = Make<TButton>(form.get(), 100, 10, 80, 26);
    d->SetDefault(true);
    EXPECT_EQ(ButtonType(d), BS_DEFPUSHBUTTON);
    EXPECT_TRUE(d->Active());
}

TEST(Button, EachClickGivesExactlyOneOnClick) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* b = Make<TButton>(form.get(), 20, 20, 90, 30);
    b->SetCaption("Press");
    int clicks = 0;
    b->OnClick = [&](TObject* s) {
        EXPECT_EQ(s, b);
        ++clicks;
    };
    form->Show();
    Pump();
    HWND h = b->Handle();

    SendMessageA(h, BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(clicks, 1);

    // A real click of the mouse at the button's centre.
    TPoint p = b->ClientToScreen(TPoint{45, 15});
    SetCursorPos(p.x, p.y);
    Pump(20);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
    testsupport::PumpUntil([&] { return clicks >= 2; }, 3000);
    Pump(100);
    EXPECT_EQ(clicks, 2);

    // The space bar on the focused button.
    b->SetFocus();
    Pump();
    SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageA(h, WM_KEYUP, VK_SPACE, 0xC0390001);
    Pump();
    EXPECT_EQ(clicks, 3);

    // Its accelerator, as the form hands out characters.
    b->SetCaption("&Go");
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'g', 0), 1);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    EXPECT_EQ(clicks, 4);

    // A disabled button takes neither the mouse nor its accelerator.
    b->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(h));
    ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'g', 0), 0);
    Pump(200);
    EXPECT_EQ(clicks, 4);
}

// A window of another kind on the form says whether it wants a key: a system
// combo box with its list open takes Escape and Enter to close the list.
TEST(Button, AForeignComboBoxsOpenListTakesEscapeBeforeTheCancelButton) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* cancel = Make<TButton>(form.get(), 100, 50, 80, 26);
    cancel->SetCancel(true);
    int cancelClicks = 0;
    cancel->OnClick = [&](TObject*) { ++cancelClicks; };
    form->Show();
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 10, 10, 120,
                                 120, form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    for (const char* item : {"one", "two"}) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SetFocus(combo);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    auto escape = [&] {
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(GetFocus(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
        Pump();
    };
    escape();
    EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) << "the list is closed";
    EXPECT_EQ(cancelClicks, 0);
    escape();  // with the list closed, Escape is the form's again
    EXPECT_EQ(cancelClicks, 1);
}

TEST(Button, DefaultAndCancelFollowTheFocusAndAnswerEnterAndEscape) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* edit = Make<TEdit>(form.get(), 10, 10, 120, 22);
    auto* ok = Make<TSpyButton>(form.get(), 10, 50, 80, 26);
    auto* cancel = Make<TButton>(form.get(), 100, 50, 80, 26);
    auto* other = Make<TSpyButton>(form.get(), 190, 50, 80, 26);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    int okClicks = 0, cancelClicks = 0, otherClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };
    cancel->OnClick = [&](TObject*) { ++cancelClicks; };
    other->OnClick = [&](TObject*) { ++otherClicks; };
    form->Show();
    edit->SetFocus();
    Pump();
    ASSERT_EQ(GetFocus(), edit->Handle());

    auto key = [&](HWND target, WPARAM vk) {
        PostMessageA(target, WM_KEYDOWN, vk, 1);
        PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
        Pump();
    };

    // The focus on an edit: the default button has the look and takes Enter.
    EXPECT_EQ(ButtonType(ok), BS_DEFPUSHBUTTON);
    EXPECT_EQ(ButtonType(other), BS_PUSHBUTTON);
    key(edit->Handle(), VK_RETURN);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(otherClicks + cancelClicks, 0);
    key(edit->Handle(), VK_ESCAPE);
    EXPECT_EQ(cancelClicks, 1);
    EXPECT_EQ(okClicks, 1);

    // A focused button takes the look and Enter from the default one...
    ok->Styles.clear();
    other->SetFocus();
    Pump();
    EXPECT_EQ(ButtonType(other), BS_DEFPUSHBUTTON);
    EXPECT_EQ(ButtonType(ok), BS_PUSHBUTTON);
    EXPECT_TRUE(other->Active());
    EXPECT_FALSE(ok->Active());
    ASSERT_FALSE(ok->Styles.empty());
    EXPECT_FALSE(ok->Styles.back());
    EXPECT_TRUE(other->Styles.back());
    key(other->Handle(), VK_RETURN);
    EXPECT_EQ(otherClicks, 1);
    EXPECT_EQ(okClicks, 1);
    // ...and Escape still reaches the cancel button.
    key(other->Handle(), VK_ESCAPE);
    EXPECT_EQ(cancelClicks, 2);

    // Back on the edit, the default button has it again.
    edit->SetFocus();
    Pump();
    EXPECT_EQ(ButtonType(ok), BS_DEFPUSHBUTTON);
    EXPECT_EQ(ButtonType(other), BS_PUSHBUTTON);
    EXPECT_TRUE(ok->Styles.back());

    // Moving Default to another button moves the look at once.
    ok->SetDefault(false);
    other->SetDefault(true);
    EXPECT_EQ(ButtonType(ok), BS_PUSHBUTTON);
    EXPECT_EQ(ButtonType(other), BS_DEFPUSHBUTTON);
    key(edit->Handle(), VK_RETURN);
    EXPECT_EQ(otherClicks, 2);
    EXPECT_EQ(okClicks, 1);

    // No cancel button: Escape clicks nothing.
    cancel->SetCancel(false);
    key(edit->Handle(), VK_ESCAPE);
    EXPECT_EQ(cancelClicks, 2);
}

TEST(Button, SetButtonStyleSwitchesOnlyPushButtons) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* b = Make<TButton>(form.get(), 10, 10, 80, 26);
    b->HandleNeeded();
    b->SetButtonStyle(true);
    EXPECT_EQ(ButtonType(b), BS_DEFPUSHBUTTON);
    b->SetButtonStyle(false);
    EXPECT_EQ(ButtonType(b), BS_PUSHBUTTON);
    // An owner-drawn button (as a skin makes it) keeps its type.
    SendMessageA(b->Handle(), BM_SETSTYLE, BS_OWNERDRAW, FALSE);
    ASSERT_EQ(ButtonType(b), BS_OWNERDRAW);
    b->SetButtonStyle(true);
    EXPECT_EQ(ButtonType(b), BS_OWNERDRAW);
}

TEST(Button, WordWrapMakesAMultiLineWindow) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* b = Make<TButton>(form.get(), 10, 10, 60, 40);
    b->SetCaption("Two words");
    HWND before = b->Handle();
    EXPECT_FALSE(GetWindowLongA(before, GWL_STYLE) & BS_MULTILINE);
    b->SetWordWrap(true);
    EXPECT_TRUE(GetWindowLongA(b->Handle(), GWL_STYLE) & BS_MULTILINE);
    EXPECT_EQ(WindowText(b->Handle()), "Two words");
    EXPECT_EQ(GetOrdProp(b, "WordWrap"), 1);
}

TCustomForm* gWatchdogForm = nullptr;
VOID CALLBACK ModalWatchdog(HWND, UINT, UINT_PTR, DWORD) {
    if (gWatchdogForm) gWatchdogForm->SetModalResult(mrAbort);
}

TEST(Button, ModalResultEndsShowModal) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* ok = Make<TButton>(form.get(), 10, 10, 80, 26);
    ok->SetModalResult(mrOk);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };
    // The click arrives inside the modal loop; a timer ends the loop anyway.
    PostMessageA(ok->Handle(), BM_CLICK, 0, 0);
    gWatchdogForm = form.get();
    UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, ModalWatchdog);
    int result = form->ShowModal();
    KillTimer(nullptr, watchdog);
    gWatchdogForm = nullptr;
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST(Button, TakesCaptionAndEnabledFromItsAction) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* b = Make<TButton>(form.get(), 10, 10, 80, 26);
    auto* action = TObject::Create<TAction>(form.get());
    int runs = 0;
    action->OnExecute = [&](TObject*) { ++runs; };
    action->SetCaption("Run");
    action->SetEnabled(false);
    b->SetAction(action);
    HWND h = b->Handle();
    EXPECT_EQ(WindowText(h), "Run");
    EXPECT_FALSE(IsWindowEnabled(h));
    action->SetEnabled(true);
    action->SetCaption("Go on");
    EXPECT_TRUE(IsWindowEnabled(h));
    EXPECT_EQ(WindowText(h), "Go on");
    // Without OnClick, a click runs the action.
    SendMessageA(h, BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(runs, 1);
}

TEST(Edit, IsASuperclassedEditWithItsLimitsAndChangeEvent) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* edit = Make<TEdit>(form.get(), 10, 10, 150, 22);
    int changes = 0;
    edit->OnChange = [&](TObject* s) {
        EXPECT_EQ(s, edit);
        ++changes;
    };
    edit->SetText("abc");
    HWND h = edit->Handle();
    WNDCLASSA sys{};
    ASSERT_TRUE(GetClassInfoA(nullptr, "EDIT", &sys));
    EXPECT_EQ(edit->DefWndProc(), sys.lpfnWndProc);
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof(cls));
    EXPECT_STREQ(cls, "TEdit");
    EXPECT_EQ(WindowText(h), "abc");
    EXPECT_EQ(changes, 0);  // the text the window was made with is no change
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    // Typing goes through the system edit and comes back as OnChange.
    edit->SetSelStart(3);
    SendMessageA(h, WM_CHAR, 'd', 1);
    EXPECT_EQ(edit->Text(), "abcd");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(edit->Modified());
    edit->SelectAll();
    EXPECT_EQ(edit->SelLength(), 4);
    EXPECT_EQ(edit->SelText(), "abcd");

    // MaxLength is the window's limit.
    edit->SetMaxLength(5);
    EXPECT_EQ(SendMessageA(h, EM_GETLIMITTEXT, 0, 0), 5);
    edit->SetSelStart(4);
    SendMessageA(h, WM_CHAR, 'e', 1);
    SendMessageA(h, WM_CHAR, 'f', 1);
    EXPECT_EQ(edit->Text(), "abcde");
    EXPECT_EQ(GetOrdProp(edit, "MaxLength"), 5);

    // Read-only refuses typing.
    edit->SetReadOnly(true);
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & ES_READONLY);
    int before = changes;
    SendMessageA(h, WM_CHAR, 'x', 1);
    EXPECT_EQ(edit->Text(), "abcde");
    EXPECT_EQ(changes, before);

    // Without a border the window is made again, text and limit kept.
    edit->SetBorderStyle(bsNone);
    HWND h2 = edit->Handle();
    EXPECT_FALSE(GetWindowLongA(h2, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(GetWindowLongA(h2, GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(WindowText(h2), "abcde");
    EXPECT_EQ(SendMessageA(h2, EM_GETLIMITTEXT, 0, 0), 5);
    EXPECT_TRUE(GetWindowLongA(h2, GWL_STYLE) & ES_READONLY);
}

}  // namespace
