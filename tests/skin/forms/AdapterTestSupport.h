// Shared by the adapter and scroll-bar tests: the test skin in the default
// manager, a recording window class, a host window, real mouse input and
// pixels read back from window DCs.
#pragma once

#include <gtest/gtest.h>

#include "Forms.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "acSBUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace adaptertest {

inline TsSkinManager* LoadTestSkin() {
    static const std::string folder = [] {
        const std::string f = testsupport::MakeTempFolder("adapters") + "\\Test";
        testsupport::TestSkinOptions options;
        options.ScrollBars = true;
        testsupport::WriteTestSkin(f, options);
        return f;
    }();
    TsSkinManager* m = TObject::Create<TsSkinManager>(nullptr);
    String error;
    if (!m->LoadSkin(folder, error)) ADD_FAILURE() << "test skin not loaded: " << error;
    return m;
}

// The default manager of the executable (the first one made).
inline TsSkinManager* Manager() {
    static TsSkinManager* m = LoadTestSkin();
    return m;
}
inline const testsupport::TestSkinColors& C() { return testsupport::TestSkinPalette(); }

// What the recording window's own procedure saw.
struct Seen {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};
inline std::vector<Seen>& Record() {
    static std::vector<Seen> r;
    return r;
}
inline int CountOf(UINT Msg, WPARAM WParam = WPARAM(-1)) {
    int n = 0;
    for (const Seen& s : Record()) n += s.Msg == Msg && (WParam == WPARAM(-1) || s.WParam == WParam);
    return n;
}
// Filled while the recording window handles WM_DESTROY.
struct DestroyView {
    bool PropLeft = true;
    bool OwnProc = false;
};
inline DestroyView& AtDestroy() {
    static DestroyView v;
    return v;
}

// Private messages of the recording window: set its vertical range (wParam
// MAKEWPARAM(min, max), lParam MAKELPARAM(page, pos)), and give both bars a
// range with nothing to scroll, kept on show disabled.
constexpr UINT RW_SETRANGE = WM_USER + 1;
constexpr UINT RW_DISABLE = WM_USER + 2;

LRESULT CALLBACK RecProc(HWND h, UINT m, WPARAM w, LPARAM l);

inline void ScrollTo(HWND h, int Bar, int Pos) {
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, Pos, 0};
    SetScrollInfo(h, Bar, &si, TRUE);
}

inline LRESULT CALLBACK RecProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m != WM_NCHITTEST && m != WM_SETCURSOR && m != WM_MOUSEMOVE && m != WM_NCMOUSEMOVE) Record().push_back({m, w, l});
    switch (m) {
    case WM_DESTROY:
        AtDestroy().PropLeft = GetPropA(h, acAdapterProp) != nullptr;
        AtDestroy().OwnProc = GetWindowProcA(h) == &RecProc;
        break;
    case RW_SETRANGE: {
        SCROLLINFO si{sizeof si, SIF_ALL, short(LOWORD(w)), short(HIWORD(w)), LOWORD(l), short(HIWORD(l)), 0};
        SetScrollInfo(h, SB_VERT, &si, TRUE);
        SetScrollInfo(h, SB_HORZ, &si, TRUE);
        return 0;
    }
    case RW_DISABLE:
    {
        SCROLLINFO si{sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, 0, 9, 10, 0, 0};
        SetScrollInfo(h, SB_VERT, &si, TRUE);
        SetScrollInfo(h, SB_HORZ, &si, TRUE);
        return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
        const int bar = m == WM_VSCROLL ? SB_VERT : SB_HORZ;
        SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(h, bar, &si);
        switch (LOWORD(w)) {
        case SB_LINEUP: ScrollTo(h, bar, si.nPos - 1); break;
        case SB_LINEDOWN: ScrollTo(h, bar, si.nPos + 1); break;
        case SB_PAGEUP: ScrollTo(h, bar, si.nPos - int(si.nPage)); break;
        case SB_PAGEDOWN: ScrollTo(h, bar, si.nPos + int(si.nPage)); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: ScrollTo(h, bar, short(HIWORD(w))); break;
        default: break;
        }
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcA(h, m, w, l);
}

inline void RegisterClasses() {
    static const bool done = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
        wc.lpszClassName = "RecWnd";
        RegisterClassA(&wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "AdapterHost";
        RegisterClassA(&wc);
        return true;
    }();
    (void)done;
}

// A visible top-level window at a fixed place of the screen.
inline HWND MakeHost(int Width = 420, int Height = 320) {
    RegisterClasses();
    HWND h = CreateWindowExA(0, "AdapterHost", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 80, 80, Width, Height,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(h);
    return h;
}

inline HWND MakeChild(HWND Host, const char* Class, DWORD Style, int X, int Y, int W, int H, DWORD ExStyle = 0) {
    RegisterClasses();
    return CreateWindowExA(ExStyle, Class, "", WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Host, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

inline void Pump(int ms = 30) { testsupport::PumpMessages(ms); }

// --- Real input ------------------------------------------------------------
inline void MoveMouse(POINT P) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(P.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(P.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    Pump(20);
    POINT c{};
    GetCursorPos(&c);
    if (c.x != P.x || c.y != P.y) SetCursorPos(P.x, P.y);  // rounding of the absolute scale
    Pump(20);
}
inline void LeftButton(bool Down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    Pump(30);
}
inline void Click(POINT P) {
    MoveMouse(P);
    LeftButton(true);
    LeftButton(false);
    Pump(30);
}
// Presses at From, moves in steps to To and lets go there.
inline void Drag(POINT From, POINT To, int Steps = 6) {
    MoveMouse(From);
    LeftButton(true);
    for (int i = 1; i <= Steps; ++i)
        MoveMouse(POINT{From.x + (To.x - From.x) * i / Steps, From.y + (To.y - From.y) * i / Steps});
    LeftButton(false);
    Pump(30);
}

// --- Pixels ----------------------------------------------------------------
inline std::uint32_t WindowPixel(HWND h, int X, int Y) {
    HDC dc = GetWindowDC(h);
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(h, dc);
    return testsupport::RGBOf(c);
}
inline bool Near(std::uint32_t A, std::uint32_t B, int Tol = 2) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(int((A >> (8 * i)) & 0xFF) - int((B >> (8 * i)) & 0xFF)) > Tol) return false;
    return true;
}
inline std::string Hex(std::uint32_t C) {
    char b[16];
    std::snprintf(b, sizeof b, "%06X", unsigned(C));
    return b;
}
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
