// The window-procedure hooks: several of them, mixed with a foreign
// subclass, release in any order and leave exactly the original procedure.
#include <gtest/gtest.h>

#include "Controls.h"
#include "FormTestSupport.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WindowHooks.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> gTrace;
WNDPROC gForeignPrev = nullptr;

LRESULT CALLBACK OriginalProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER) gTrace.push_back("original");
    return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK ForeignProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER) gTrace.push_back("foreign");
    return CallWindowProcA(gForeignPrev, h, m, w, l);
}

HWND MakePlainWindow() {
    static const bool registered = [] {
        WNDCLASSA wc{0, OriginalProc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "HookRec"};
        return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    return CreateWindowA("HookRec", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A hook that records its name and passes on.
TWndMethod Recorder(TWindowProcSubclass& Hook, const char* Name) {
    return [&Hook, Name](TMessage& M) {
        if (M.Msg == WM_USER) gTrace.push_back(Name);
        Hook.CallPrevious(M);
    };
}

std::vector<std::string> Deliver(HWND h) {
    gTrace.clear();
    SendMessageA(h, WM_USER, 0, 0);
    return gTrace;
}

using Trace = std::vector<std::string>;

TEST(WindowProcSubclass, ReleasesInAnyOrderPastAForeignSubclass) {
    for (const bool firstReleasedFirst : {true, false}) {
        HWND h = MakePlainWindow();
        TWindowProcSubclass a, b;
        ASSERT_TRUE(a.Attach(h, Recorder(a, "a")));
        EXPECT_EQ(a.Previous(), &OriginalProc);
        gForeignPrev = SetWindowProcA(h, &ForeignProc);
        ASSERT_TRUE(b.Attach(h, Recorder(b, "b")));
        EXPECT_EQ(Deliver(h), (Trace{"b", "foreign", "a", "original"}));
        (firstReleasedFirst ? a : b).Release();
        EXPECT_EQ(Deliver(h),
                  firstReleasedFirst ? (Trace{"b", "foreign", "original"}) : (Trace{"foreign", "a", "original"}));
        (firstReleasedFirst ? b : a).Release();
        EXPECT_EQ(Deliver(h), (Trace{"foreign", "original"}));
        // The foreign subclass goes too; the next hook unwinds what is left of ours.
        SetWindowProcA(h, gForeignPrev);
        TWindowProcSubclass c;
        ASSERT_TRUE(c.Attach(h, Recorder(c, "c")));
        EXPECT_EQ(c.Previous(), &OriginalProc);
        c.Release();
        EXPECT_EQ(GetWindowProcA(h), &OriginalProc);
        EXPECT_EQ(Deliver(h), (Trace{"original"}));
        DestroyWindow(h);
    }
}

TEST(WindowProcSubclass, HandlerMayReleaseItselfAndTheWindowMayGoFirst) {
    HWND h = MakePlainWindow();
    TWindowProcSubclass a;
    int seen = 0;
    ASSERT_TRUE(a.Attach(h, [&](TMessage& M) {
        if (M.Msg == WM_USER) {
            ++seen;
            a.Release();  // frees our state while it runs
        }
        CallWindowProcMessageA(&OriginalProc, h, M);
    }));
    EXPECT_FALSE(a.Attach(h, nullptr));  // one window per hook object
    EXPECT_EQ(Deliver(h), (Trace{"original"}));
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(GetWindowProcA(h), &OriginalProc);

    TWindowProcSubclass b;
    ASSERT_TRUE(b.Attach(h, Recorder(b, "b")));
    DestroyWindow(h);
    b.Release();  // the window is gone: nothing to touch
    EXPECT_FALSE(b.Attached());
}

TEST(WindowProcHook, ControlSlotRestoredOnlyWhileItHoldsOurs) {
    formtest::FormPtr form = formtest::MakeForm(10, 10, 200, 100);
    TButton* button = formtest::Make<TButton>(form.get(), 5, 5, 60, 20);
    const TWndMethod original = button->WindowProc;
    TWindowProcHook a, b;
    auto recorder = [](TWindowProcHook& Hook, const char* Name) {
        return TWndMethod([&Hook, Name](TMessage& M) {
            if (M.Msg == WM_USER) gTrace.push_back(Name);
            Hook.CallPrevious(M);
        });
    };
    auto deliver = [&] {
        gTrace.clear();
        button->Perform(WM_USER, 0, 0);
        return gTrace;
    };
    ASSERT_TRUE(a.Attach(button, recorder(a, "a")));
    ASSERT_TRUE(b.Attach(button, recorder(b, "b")));
    EXPECT_EQ(deliver(), (Trace{"b", "a"}));
    a.Release();  // b holds the slot: a turns into a pass-on
    EXPECT_EQ(deliver(), (Trace{"b"}));
    b.Release();  // and a's pass-on is unwound with it
    EXPECT_TRUE(button->WindowProc == original);
    EXPECT_TRUE(deliver().empty());
}

}  // namespace
