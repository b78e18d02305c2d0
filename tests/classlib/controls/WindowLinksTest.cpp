// The control of a window (the library's map; the property stays for code
// outside), and the inner windows of system controls hooked as they appear.
#include "TestControls.h"

#include <commctrl.h>

using namespace ctltest;

namespace {

TEST(WindowLinks, TheControlOfAWindowIsFoundUntilTheWindowGoes) {
    FormPtr form = MakeForm();
    auto* win = TObject::Create<TLogWin>(form.get());
    win->SetParent(form.get());
    HWND h = win->Handle();
    EXPECT_EQ(FindControl(h), win);
    EXPECT_EQ(GetPropA(h, "ClassLibControl"), win);
    DestroyWindow(h);  // from outside the library
    EXPECT_EQ(FindControl(h), nullptr);
    EXPECT_EQ(FindControl(GetDesktopWindow()), nullptr);
}

// A system control whose inner windows (the edit and list of a combo box, the
// header of a list view) it hooks, writing down the messages they see.
class TInnerHost : public TWinControl {
public:
    TInnerHost(TComponent* AOwner, const char* SystemClass, DWORD Style)
        : TWinControl(AOwner), FClass(SystemClass), FStyle(Style) {}
    std::vector<HWND> Inner() const {
        if (FClass != WC_COMBOBOXA) return {ListView_GetHeader(FHandle)};
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(FHandle, &info);
        return {info.hwndItem, info.hwndList};
    }
    int Count(HWND Inner, UINT Msg) const {
        return int(std::count(Seen.begin(), Seen.end(), std::make_pair(Inner, Msg)));
    }
    std::vector<std::pair<HWND, UINT>> Seen;

protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, FClass.c_str());
        Params.Style |= FStyle;
        Params.WinClassName = "TInnerHost" + FClass;
    }
    void HookInnerWindows(HWND NewChild) override {
        for (HWND h : NewChild ? std::vector<HWND>{NewChild} : Inner()) HookInnerWindow(h);
    }
    void InnerWndProc(HWND Inner, TMessage& Message) override {
        Seen.emplace_back(Inner, Message.Msg);
        TWinControl::InnerWndProc(Inner, Message);
    }
    String FClass;
    DWORD FStyle;
};

// An adapter's subclass, taken off only while the slot still holds its own.
WNDPROC gOutsiderNext = nullptr;
int gOutsiderChars = 0;
LRESULT CALLBACK OutsiderProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    gOutsiderChars += Msg == WM_CHAR;
    return CallWindowProcA(gOutsiderNext, Wnd, Msg, WParam, LParam);
}

TEST(WindowLinks, InnerWindowsAreHookedFromTheStartBeneathLaterSubclassesAndGoWithThem) {
    const std::pair<const char*, DWORD> kinds[] = {{WC_COMBOBOXA, CBS_DROPDOWN}, {WC_LISTVIEWA, LVS_REPORT}};
    for (auto [systemClass, style] : kinds) {
        SCOPED_TRACE(systemClass);
        FormPtr form = MakeForm();
        auto* host = TObject::Create<TInnerHost>(form.get(), systemClass, style);
        host->SetParent(form.get());
        host->HandleNeeded();
        std::vector<HWND> inner = host->Inner();
        for (HWND h : inner) {
            EXPECT_EQ(FindInnerWindowOwner(h), host);
            SendMessageA(h, WM_NULL, 0, 0);
            EXPECT_EQ(host->Count(h, WM_NULL), 1);
        }
        host->Free();
        for (HWND h : inner) EXPECT_EQ(FindInnerWindowOwner(h), nullptr);
    }

    // Keys typed into a combo box's edit, under an adapter's subclass and after it left.
    FormPtr form = MakeForm();
    auto* combo = TObject::Create<TInnerHost>(form.get(), WC_COMBOBOXA, CBS_DROPDOWN);
    combo->SetParent(form.get());
    combo->SetBounds(10, 10, 160, 120);
    form->Show();
    HWND edit = combo->Inner()[0];
    gOutsiderNext = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, LONG_PTR(&OutsiderProc)));
    for (WORD key : {'A', 'B'}) {
        SetForegroundWindow(form->Handle());
        SetFocus(edit);
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = key;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
        testsupport::PumpUntil([&] { return combo->Count(edit, WM_CHAR) == key - 'A' + 1; }, 3000);
        if (key == 'A') SetWindowLongPtrA(edit, GWLP_WNDPROC, LONG_PTR(gOutsiderNext));  // the adapter leaves
    }
    EXPECT_EQ(gOutsiderChars, 1);
    EXPECT_EQ(combo->Count(edit, WM_CHAR), 2);
    EXPECT_STRCASEEQ(combo->Text().c_str(), "ab");
}

}  // namespace
