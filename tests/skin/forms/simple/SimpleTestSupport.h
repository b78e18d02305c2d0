// Shared by the simple-adapter and control-adapter tests: the test skin (with
// a GROUPBOX section) in the default manager, a host window that records the
// notifications its children send, and pixels read from window DCs.
#pragma once

#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "PixelTestSupport.h"
#include "TestInput.h"
#include "TestSkin.h"
#include "sSkinManager.h"

#include <cstdlib>
#include <vector>

namespace simpletest {

inline testsupport::TestSkinFolder& Folder() {
    static testsupport::TestSkinFolder folder([] {
        testsupport::TestSkinOptions options;
        options.GroupBox = true;
        return options;
    }());
    return folder;
}
inline TsSkinManager* Manager() {
    static TsSkinManager* m = [] {
        TsSkinManager* manager = TObject::Create<TsSkinManager>(nullptr);
        String error;
        if (!Folder().Ok || !manager->LoadSkin(Folder().Skin, error)) ADD_FAILURE() << "test skin: " << error;
        return manager;
    }();
    return m;
}
inline const testsupport::TestSkinColors& C() { return testsupport::TestSkinPalette(); }
inline void Pump(int ms = 40) { formtest::Pump(ms); }

// The BN_* codes the host's children sent, in order.
inline std::vector<WORD> gNotified;

inline LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COMMAND && l) gNotified.push_back(HIWORD(w));
    return DefWindowProcA(h, m, w, l);
}
inline HWND MakeHost(int Width = 400, int Height = 300) {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
        wc.lpfnWndProc = HostProc;
        wc.lpszClassName = "SimpleHost";
        return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    HWND h = CreateWindowExA(WS_EX_TOPMOST, "SimpleHost", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 60, 60,
                             Width, Height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(h);
    return h;
}
inline HWND MakeChild(HWND Host, const char* Class, const char* Text, DWORD Style, RECT R) {
    return CreateWindowExA(0, Class, Text, WS_CHILD | WS_VISIBLE | Style, R.left, R.top, R.right - R.left,
                           R.bottom - R.top, Host, nullptr, GetModuleHandleA(nullptr), nullptr);
}

inline std::uint32_t WindowPixel(HWND h, int X, int Y) {
    HDC dc = GetWindowDC(h);
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(h, dc);
    return testsupport::RGBOf(c);
}
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
