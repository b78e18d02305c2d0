// Shared by the adapter and scroll-bar tests: the test skin with its scroll
// sections in the default manager, a recording window class, and pixels read
// back from window DCs.
#pragma once

#include <gtest/gtest.h>

#include "Forms.h"
#include "PixelTestSupport.h"
#include "TestHost.h"
#include "TestInput.h"
#include "TestSkin.h"
#include "acSBUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace adaptertest {

using testsupport::Ch;

using testsupport::TestSkinOptions;
inline TestSkinOptions SkinOptions() {
    return testsupport::OptionsWith({&TestSkinOptions::ScrollBars, &TestSkinOptions::Headers});
}
// The default manager of the executable (the first one made).
inline TsSkinManager* Manager() { return testsupport::TestSkinManager(SkinOptions()); }
// A second manager with the same skin (the caller frees it).
inline TsSkinManager* LoadTestSkin() { return testsupport::NewTestSkinManager(SkinOptions()); }
inline const testsupport::TestSkinColors& C() { return testsupport::TestSkinPalette(); }
inline void Pump(int ms = 30) { testsupport::PumpMessages(ms); }

// What the recording window's own procedure saw (mouse moves and hit tests left out).
inline std::vector<std::pair<UINT, WPARAM>> gSeen;
inline int CountOf(UINT Msg, WPARAM WParam = WPARAM(-1)) {
    int n = 0;
    for (const auto& s : gSeen) n += s.first == Msg && (WParam == WPARAM(-1) || s.second == WParam);
    return n;
}
// At WM_DESTROY: the adapter's property still there / the window's own procedure in place.
inline bool gPropAtDestroy = true, gOwnProcAtDestroy = false;

// The recording window's vertical and horizontal range: wParam MAKEWPARAM(min,
// max), lParam MAKELPARAM(page, pos); with SIF_DISABLENOSCROLL when wParam is 0.
constexpr UINT RW_SETRANGE = WM_USER + 1;

inline void ScrollTo(HWND h, int Bar, int Pos) {
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, Pos, 0};
    SetScrollInfo(h, Bar, &si, TRUE);
}

// Scrolls itself as a simple control does: lines, pages and the thumb's position.
inline LRESULT CALLBACK RecProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m != WM_NCHITTEST && m != WM_SETCURSOR && m != WM_MOUSEMOVE && m != WM_NCMOUSEMOVE) gSeen.push_back({m, w});
    if (m == WM_DESTROY) {
        gPropAtDestroy = GetPropA(h, acAdapterProp) != nullptr;
        gOwnProcAtDestroy = GetWindowProcA(h) == &RecProc;
    } else if (m == RW_SETRANGE) {
        const UINT mask = SIF_ALL | (w ? 0 : SIF_DISABLENOSCROLL);
        SCROLLINFO si{sizeof si, mask, short(LOWORD(w)), short(HIWORD(w)), LOWORD(l), short(HIWORD(l)), 0};
        if (!w) si.nMax = 9;  // nothing to scroll with a page of 10
        SetScrollInfo(h, SB_VERT, &si, TRUE);
        SetScrollInfo(h, SB_HORZ, &si, TRUE);
        return 0;
    } else if (m == WM_VSCROLL || m == WM_HSCROLL) {
        const int bar = m == WM_VSCROLL ? SB_VERT : SB_HORZ;
        SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(h, bar, &si);
        const int page = int(si.nPage);
        const int moves[] = {-1, 1, -page, page, 0, 0};
        const WORD code = LOWORD(w);
        if (code <= SB_PAGEDOWN) ScrollTo(h, bar, si.nPos + moves[code]);
        if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) ScrollTo(h, bar, short(HIWORD(w)));
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

// The class of the recording windows.
inline const bool gRecWndRegistered = testsupport::RegisterTestClass("RecWnd", RecProc);
using testsupport::MakeHost;
inline HWND MakeChild(HWND Host, const char* Class, DWORD Style, int X, int Y, int W, int H) {
    return CreateWindowExA(0, Class, "", WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Host, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

using testinput::Click;
using testinput::Drag;
using testinput::LeftButton;
using testinput::MouseTo;

// --- Pixels and places -----------------------------------------------------
using testsupport::Near;
using testsupport::WindowPixel;
// A bar's rectangle relative to the window's top-left corner.
inline RECT LocalBarRect(TacScrollWnd* A, int Kind) {
    TRect r;
    ScrollBarRect(A, Kind, A->CtrlHandle, r);
    RECT w{};
    GetWindowRect(A->CtrlHandle, &w);
    OffsetRect(&r, -w.left, -w.top);
    return r;
}
inline POINT ScreenOf(HWND h, POINT WindowPoint) {
    RECT w{};
    GetWindowRect(h, &w);
    return POINT{w.left + WindowPoint.x, w.top + WindowPoint.y};
}

}  // namespace adaptertest
