// Shared by the simple-adapter and control-adapter tests: the test skin (with
// a GROUPBOX section) in the default manager, the host's notifications, and
// pixels read from window DCs.
#pragma once

#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "PixelTestSupport.h"
#include "TestHost.h"
#include "TestInput.h"
#include "TestSkin.h"
#include "sSkinManager.h"

#include <cstdlib>
#include <vector>

namespace simpletest {

inline TsSkinManager* Manager() {
    return testsupport::TestSkinManager(testsupport::OptionsWith({&testsupport::TestSkinOptions::GroupBox}));
}
inline const testsupport::TestSkinColors& C() { return testsupport::TestSkinPalette(); }
inline void Pump(int ms = 40) { formtest::Pump(ms); }

using testsupport::gHostNotified;
using testsupport::MakeHost;
inline HWND MakeChild(HWND Host, const char* Class, const char* Text, DWORD Style, RECT R) {
    return CreateWindowExA(0, Class, Text, WS_CHILD | WS_VISIBLE | Style, R.left, R.top, R.right - R.left,
                           R.bottom - R.top, Host, nullptr, GetModuleHandleA(nullptr), nullptr);
}

using testsupport::WindowPixel;
// Pixels of the window's rectangle R (window coordinates) in colour Rgb.
inline int CountPixels(HWND h, RECT R, std::uint32_t Rgb) {
    const testsupport::Picture p = testsupport::CaptureWindow(h);
    int n = 0;
    for (int y = R.top; y < R.bottom && y < p.Height; ++y)
        for (int x = R.left; x < R.right && x < p.Width; ++x) n += p.Pixel(x, y) == Rgb;
    return n;
}
inline POINT ScreenPoint(HWND h, int X, int Y) {
    RECT w{};
    GetWindowRect(h, &w);
    return POINT{w.left + X, w.top + Y};
}
inline void MouseAway() { testinput::MouseTo(POINT{2, 2}); }

}  // namespace simpletest
