// How the library finds the control of a window (its own map; the window
// property stays for code outside), and the inner windows of system controls
// (the edit and list of a combo box, the header of a list view) hooked as
// soon as they exist, beneath whatever subclasses them later.
#include "TestControls.h"

#include <commctrl.h>

using namespace ctltest;

namespace {

// A system control whose inner windows the test control hooks, writing down
// each message they see and which inner windows were announced as they were
// made.
class TInnerHost : public TWinControl {
public:
    TInnerHost(TComponent* AOwner, const char* SystemClass, DWORD Style)
        : TWinControl(AOwner), FSystemClass(SystemClass), FStyle(Style) {
        SetBounds(0, 0, 160, 120);
    }
    std::vector<HWND> Inner() const {
        std::vector<HWND> r;
        if (FSystemClass == WC_COMBOBOXA) {
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            GetComboBoxInfo(FHandle, &info);
            r = {info.hwndItem, info.hwndList};
        } else {
            r = {ListView_GetHeader(FHandle)};
        }
        return r;
    }
    std::vector<std::pair<HWND, UINT>> Seen;
    std::vector<HWND> Announced;

protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, FSystemClass.c_str());
        Params.Style |= FStyle;
        Params.WinClassName = "TInnerHost" + FSystemClass;
    }
    void HookInnerWindows(HWND NewChild) override {
        if (NewChild) {
            Announced.push_back(NewChild);
            HookInnerWindow(NewChild);
            return;
        }
        for (HWND h : Inner()) HookInnerWindow(h);
    }
    void InnerWndProc(HWND Inner, TMessage& Message) override {
        Seen.emplace_back(Inner, Message.Msg);
        TWinControl::InnerWndProc(Inner, Message);
    }

private:
    String FSystemClass;
    DWORD FStyle;
};

// An adapter's subclass of an inner window, taken off again only where the
// slot still holds its own procedure.
struct TOutsider {
    static inline WNDPROC Previous = nullptr;
    static inline int Chars = 0;
    static LRESULT CALLBACK Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
        if (Msg == WM_CHAR) ++Chars;
        return CallWindowProcA(Previous, Wnd, Msg, WParam, LParam);
    }
    static void Attach(HWND Wnd) {
        Previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    static void Detach(HWND Wnd) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)) == &Proc)
            SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Previous));
    }
};

int CountSeen(const TInnerHost* Host, HWND Inner, UINT Msg) {
    return static_cast<int>(std::count(Host->Seen.begin(), Host->Seen.end(), std::make_pair(Inner, Msg)));
}

TEST(WindowLinks, TheControlOfAWindowComesFromTheMapAndThePropertyStaysForOutsiders) {
    FormPtr form = MakeForm();
    auto* win = TObject::Create<TLogWin>(form.get());
    win->SetParent(form.get());
    HWND h = win->Handle();
    EXPECT_EQ(FindControl(h), win);
    EXPECT_EQ(GetPropA(h, "ClassLibControl"), win);
    EXPECT_EQ(FindControl(form->Handle()), form.get());

    // Gone with the window, whoever destroys it.
    win->DestroyHandle();
    EXPECT_EQ(FindControl(h), nullptr);
    h = win->Handle();
    DestroyWindow(h);
    EXPECT_FALSE(win->HandleAllocated());
    EXPECT_EQ(FindControl(h), nullptr);

    // Windows the library did not make are nobody's.
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, form->Handle(), nullptr, nullptr, nullptr);
    EXPECT_EQ(FindControl(plain), nullptr);
    EXPECT_EQ(FindControl(GetDesktopWindow()), nullptr);
    DestroyWindow(plain);
}

TEST(WindowLinks, InnerWindowsAreHookedAsSoonAsTheyExistAndGoWithThem) {
    struct Row {
        const char* SystemClass;
        DWORD Style;
    };
    const Row rows[] = {{WC_COMBOBOXA, CBS_DROPDOWN | WS_VSCROLL}, {WC_LISTVIEWA, LVS_REPORT}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.SystemClass);
        FormPtr form = MakeForm();
        auto* host = TObject::Create<TInnerHost>(form.get(), row.SystemClass, row.Style);
        host->SetParent(form.get());
        host->HandleNeeded();
        std::vector<HWND> inner = host->Inner();
        for (HWND h : inner) {
            ASSERT_TRUE(IsWindow(h));
            EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)), ClassLibInnerWindowProc());
            EXPECT_EQ(FindInnerWindowOwner(h), host);
            SendMessageA(h, WM_NULL, 0, 0);
            EXPECT_EQ(CountSeen(host, h, WM_NULL), 1);
        }
        // Windows announced while the system control was made (hooked before
        // their CreateWindowEx returned) are its inner windows.
        for (HWND h : host->Announced) EXPECT_NE(std::find(inner.begin(), inner.end(), h), inner.end());

        host->Free();
        for (HWND h : inner) {
            EXPECT_FALSE(IsWindow(h));
            EXPECT_EQ(FindInnerWindowOwner(h), nullptr);
        }
    }
}

TEST(WindowLinks, TypingReachesAnInnerWindowThroughALaterSubclassAndAfterItLeaves) {
    FormPtr form = MakeForm();
    auto* combo = TObject::Create<TInnerHost>(form.get(), WC_COMBOBOXA, CBS_DROPDOWN | WS_VSCROLL);
    combo->SetParent(form.get());
    combo->SetBounds(10, 10, 160, 120);
    form->Show();
    Pump();
    HWND edit = combo->Inner()[0];
    TOutsider::Chars = 0;
    TOutsider::Attach(edit);

    auto type = [&](WORD Key) {
        SetForegroundWindow(form->Handle());
        SetFocus(edit);
        Pump();
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = Key;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
        int before = CountSeen(combo, edit, WM_CHAR);
        testsupport::PumpUntil([&] { return CountSeen(combo, edit, WM_CHAR) > before; }, 3000);
        Pump();
    };
    type('A');
    EXPECT_EQ(TOutsider::Chars, 1);
    EXPECT_EQ(CountSeen(combo, edit, WM_CHAR), 1);

    // The adapter leaves first: our hook stays under the edit's procedure chain.
    TOutsider::Detach(edit);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_WNDPROC)), ClassLibInnerWindowProc());
    type('B');
    EXPECT_EQ(TOutsider::Chars, 1);
    EXPECT_EQ(CountSeen(combo, edit, WM_CHAR), 2);
    char text[16] = {};
    GetWindowTextA(combo->Handle(), text, sizeof text);
    EXPECT_STRCASEEQ(text, "ab");
}

}  // namespace
