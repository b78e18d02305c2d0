// A skinned dialog's children walked again and again (each non-client paint
// walks them for new ones) with a skin that lacks the edits' section: every
// child keeps one adapter, a combo box's list gets one, and a window that
// takes no more hooks gets none.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "TestAccess.h"
#include "TestSkin.h"
#include "acDials.h"
#include "acSBUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <array>
#include <memory>

namespace {

TsSkinManager* Manager() {
    testsupport::TestSkinOptions options;
    options.Forms = true;
    options.Without = {"EDIT"};  // edits and list boxes adapted with no section of theirs
    return testsupport::TestSkinManager(options);
}

INT_PTR CALLBACK PlainDlgProc(HWND, UINT Msg, WPARAM, LPARAM) { return Msg == WM_INITDIALOG; }

// A modeless dialog with the children Add makes, shown and activated (so the
// hook skins it and walks its children).
template <class F>
HWND ShownDialog(F Add) {
    struct alignas(4) {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } tpl{};
    tpl.t.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    tpl.t.cx = 200;
    tpl.t.cy = 140;
    HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tpl.t, nullptr, PlainDlgProc, 0);
    Add(d);
    SetWindowPos(d, nullptr, 220, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(d, SW_SHOW);
    SetForegroundWindow(d);
    formtest::Pump(120);
    return d;
}
HWND Child(HWND Dialog, const char* Class, DWORD Style, int Y, int H = 24) {
    return CreateWindowExA(0, Class, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | Style, 10, Y, 160, H, Dialog, nullptr,
                           nullptr, nullptr);
}

// Adapters of the provider (and of its combo boxes' lists) on Window that still hold it.
int AdaptersOn(TacProvider* P, HWND Window) {
    int n = 0;
    for (TacMainWnd* a : P->ChildAdapters) {
        n += a->CtrlHandle == Window && !a->Destroyed;
        if (auto* combo = dynamic_cast<TacComboBoxWnd*>(a); combo && combo->ListAdapter)
            n += combo->ListAdapter->CtrlHandle == Window && !combo->ListAdapter->Destroyed;
    }
    return n;
}

class DialogChildren : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Manager()->Active());
        ASSERT_TRUE(Manager()->HookInstalled());
        ASSERT_LT(SectionIndexOf(Manager(), "EDIT"), 0);
    }
};

TEST_F(DialogChildren, EachChildKeepsOneAdapterThroughRepaints) {
    HWND edit = nullptr, list = nullptr, combo = nullptr;
    HWND d = ShownDialog([&](HWND Dialog) {
        edit = Child(Dialog, "EDIT", ES_MULTILINE, 10, 40);
        list = Child(Dialog, "LISTBOX", 0, 60, 40);
        combo = Child(Dialog, "COMBOBOX", CBS_SIMPLE, 110, 80);
        for (int i = 0; i < 20; ++i) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("choice"));
    });
    TacProvider* p = ProviderOfWindow(d);
    ASSERT_TRUE(p && p->DialogWnd);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    const std::array<std::pair<const char*, HWND>, 4> windows{
        {{"edit", edit}, {"list box", list}, {"combo box", combo}, {"combo's list", info.hwndList}}};
    for (int round = 0; round <= 10; ++round) {
        for (const auto& w : windows)
            EXPECT_EQ(AdaptersOn(p, w.second), 1) << w.first << " after " << round << " repaints";
        RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        formtest::Pump(10);
    }
    // Nothing that let go of its window stays in the provider's list either.
    EXPECT_LE(p->ChildAdapters.size(), 10u);
    DestroyWindow(d);
    formtest::Pump(30);
}

TEST_F(DialogChildren, AWindowThatTakesNoMoreHooksGetsNoAdapter) {
    HWND d = ShownDialog([](HWND) {});
    TacProvider* p = ProviderOfWindow(d);
    ASSERT_TRUE(p);
    HWND text = CreateWindowExA(0, "STATIC", "full", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 100, 20, d, nullptr,
                                nullptr, nullptr);
    // Every hook place of the window taken by someone else.
    std::array<std::unique_ptr<TWindowProcSubclass>, 16> others;
    for (auto& o : others) {
        o = std::make_unique<TWindowProcSubclass>();
        TWindowProcSubclass* self = o.get();
        ASSERT_TRUE(o->Attach(text, [self](TMessage& M) { self->CallPrevious(M); }));
    }
    const std::size_t held = p->ChildAdapters.size();
    const int attached = AttachedAdapterCount();
    EXPECT_TRUE(AdapterForChildWindow(p, text));
    EXPECT_EQ(p->ChildAdapters.size(), held);
    EXPECT_EQ(AttachedAdapterCount(), attached);
    EXPECT_EQ(AdapterOfWindow(text), nullptr);
    // A place freed: the next walk adapts it.
    others.back().reset();
    EXPECT_TRUE(AdapterForChildWindow(p, text));
    EXPECT_NE(AdapterOfWindow(text), nullptr);
    others = {};
    DestroyWindow(d);
    formtest::Pump(30);
}

}  // namespace
