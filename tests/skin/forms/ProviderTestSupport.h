// What the provider tests share: the test skin with forms and scroll bars, a
// shown form with a provider, and real mouse input from a second thread.
#pragma once

#include "FormTestSupport.h"
#include "PixelTestSupport.h"
#include "TestInput.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace providertest {

using testsupport::Picture;

using testsupport::TestSkinOptions;
inline TestSkinOptions Options() {
    return testsupport::OptionsWith({&TestSkinOptions::Forms, &TestSkinOptions::ScrollBars});
}
inline TsSkinManager* Manager() { return testsupport::TestSkinManager(Options()); }
inline const testsupport::TestSkinColors& C() { return testsupport::TestSkinPalette(); }

inline void Pump(int ms = 60) { formtest::Pump(ms); }

// A shown form with a provider.
struct Skinned {
    formtest::FormPtr Form;
    TsSkinProvider* Provider;
    explicit Skinned(TFormBorderStyle Style = bsSizeable, int Left = 100, int Top = 80, int W = 320, int H = 220) {
        Manager();
        Form = formtest::MakeForm(Left, Top, W, H);
        Form->SetBorderStyle(Style);
        Form->SetCaption("Provider");
        Provider = TObject::Create<TsSkinProvider>(Form.get());
        Form->Show();
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

// Real mouse input from a second thread (the system's move and size loops are modal).
namespace hand = testinput::hand;
using testinput::ByHand;

// The window as it is on the screen, frame included.
inline Picture Shot(HWND H) { return testsupport::CaptureWindow(H); }

inline POINT Mid(const TRect& R) { return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }

// Half of each of two colours (a glyph at half strength over its background).
inline std::uint32_t Half(std::uint32_t A, std::uint32_t B) {
    std::uint32_t c = 0;
    for (int shift : {0, 8, 16}) c |= ((((A >> shift) & 0xFF) + ((B >> shift) & 0xFF)) / 2) << shift;
    return c;
}
using testsupport::Near;

}  // namespace providertest
