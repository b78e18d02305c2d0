// The provider's frame and client paints on real forms: repaints pending
// across a caption change, the form's own drawing on every paint and print.
#include <gtest/gtest.h>

#include "ProviderTestSupport.h"
#include "Scopes.h"
#include "sMessages.h"

#include <functional>

namespace {

using namespace providertest;

// A caption or icon change keeps the repaints already pending on the form and
// on its child windows: what was invalidated before the change is painted.
TEST(ProviderFrame, CaptionAndIconChangesKeepPendingRepaints) {
    Skinned s;
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 20, 20, 60, 40, s.H(), nullptr,
                                 nullptr, nullptr);
    Pump();
    const std::uint32_t childLook = testsupport::CaptureClient(child).Pixel(30, 20);
    const std::uint32_t formLook = testsupport::CaptureClient(s.H()).Pixel(200, 120);
    struct Row {
        const char* What;
        std::function<void()> Change;
    };
    const Row rows[] = {
        {"caption", [&] { SetWindowTextA(s.H(), "A new caption"); }},
        {"icon",
         [&] {
             SendMessageA(s.H(), WM_SETICON, ICON_SMALL,
                          reinterpret_cast<LPARAM>(LoadIconA(nullptr, MAKEINTRESOURCEA(32516))));
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.What);
        // Stale pixels on the screen, both windows told to paint again, the change before they do.
        PatBlt(TClientDC(child), 0, 0, 60, 40, WHITENESS);
        PatBlt(TClientDC(s.H()), 150, 100, 100, 60, WHITENESS);
        InvalidateRect(child, nullptr, TRUE);
        InvalidateRect(s.H(), nullptr, FALSE);
        r.Change();
        Pump();
        EXPECT_EQ(testsupport::CaptureClient(child).Pixel(30, 20), childLook);
        EXPECT_EQ(testsupport::CaptureClient(s.H()).Pixel(200, 120), formLook);
    }
    DestroyWindow(child);
}

// The form's OnPaint draws over the skin's background at every paint (an
// Invalidate shows what it draws now) and, printed, into the print's DC only.
TEST(ProviderFrame, OnPaintDrawsOnEveryPaintAndIntoAPrint) {
    Skinned s;
    TColor colour = clRed;
    s.Form->OnPaint = [&](TObject*) {
        TCanvas* c = s.Form->Canvas();
        c->Brush()->SetColor(colour);
        c->FillRect(TRect{10, 10, 60, 40});
    };
    s.Form->Invalidate();
    Pump();
    EXPECT_EQ(testsupport::CaptureClient(s.H()).Pixel(30, 20), 0xFF0000u);
    colour = clBlue;
    s.Form->Invalidate();
    Pump();
    EXPECT_EQ(testsupport::CaptureClient(s.H()).Pixel(30, 20), 0x0000FFu);
    // Outside the drawing the skin's background stays.
    EXPECT_NE(testsupport::CaptureClient(s.H()).Pixel(100, 100), 0x0000FFu);

    colour = clLime;
    const Picture printed = testsupport::PrintWindowClient(s.H(), PRF_CLIENT);
    EXPECT_EQ(printed.Pixel(s.Provider->ClientOffsetX() + 30, s.Provider->ClientOffsetY() + 20), 0x00FF00u);
    EXPECT_EQ(testsupport::CaptureClient(s.H()).Pixel(30, 20), 0x0000FFu) << "the print drew on the window";
}

// The shared manager with a built-in skin for one test; the test skin again afterwards.
struct BuiltinSkin {
    explicit BuiltinSkin(const char* Name) { EXPECT_TRUE(Manager()->LoadSkin(Name)); }
    ~BuiltinSkin() {
        String error;
        EXPECT_TRUE(Manager()->LoadSkin(testsupport::TestSkinPath(Options()), error)) << error;
        Pump();
    }
};

int DifferentPixels(const Picture& A, const Picture& B, int W, int H) {
    int n = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) n += A.Pixel(x, y) != B.Pixel(x, y);
    return n;
}

// The built-in skins keep their frame image: a caption change repaints only
// the title over it, and every pixel equals a full repaint's, active and
// inactive, with a hot title button. The kept image goes when the system's
// metrics change and while the form is minimized.
TEST(ProviderFrame, FastTitleRepaintEqualsAFullOne) {
    for (const char* skin : {"Light", "Dark"}) {
        const BuiltinSkin builtin(skin);
        for (const bool active : {true, false}) {
            SCOPED_TRACE(testing::Message() << skin << (active ? " active" : " inactive"));
            Skinned s;
            TsSkinProvider* p = s.Provider;
            Skinned other(bsSizeable, 500, 400, 200, 150);
            if (active) SetForegroundWindow(s.H());
            Pump();
            ASSERT_EQ(p->FormActive, active);
            s.Hit(s.Centre(p->Title.Close.Rect));
            ASSERT_EQ(p->Title.Hot, teClose);
            ASSERT_NE(p->FrameBmp, nullptr);
            const RECT w = s.Rect();
            const int W = w.right - w.left, H = w.bottom - w.top;
            SetWindowTextA(s.H(), "Another caption, of another length");
            Pump();
            const Picture fast = Shot(s.H());
            p->RefreshFormFrame();
            Pump();
            EXPECT_EQ(DifferentPixels(fast, Shot(s.H()), W, H), 0);
            // A mark in the cache below the title: the title's repaint leaves it, a full one paints over it.
            SetPixel(p->SkinData()->CacheBmp->Canvas()->Handle(), 1, H / 2, RGB(1, 2, 3));
            SetWindowTextA(s.H(), "A caption");
            Pump();
            EXPECT_EQ(Shot(s.H()).Pixel(1, H / 2), 0x010203u) << "the whole frame was painted again";
        }
    }
    struct Row {
        const char* What;
        std::function<void(HWND)> Send;
    };
    const Row rows[] = {
        {"settings change", [](HWND h) { SendMessageA(h, WM_SETTINGCHANGE, 0, 0); }},
        {"minimize", [](HWND h) { SendMessageA(h, WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
    };
    const BuiltinSkin builtin("Light");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.What);
        Skinned f;
        ASSERT_NE(f.Provider->FrameBmp, nullptr);
        r.Send(f.H());
        EXPECT_EQ(f.Provider->FrameBmp, nullptr);
    }
}

}  // namespace
