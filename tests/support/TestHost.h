// A plain Win32 window to put the windows under test on: a visible, topmost
// popup in front, that writes down the notifications its children send.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace testsupport {

// The notification codes (HIWORD of WM_COMMAND from a child: BN_CLICKED, ...)
// the hosts received, in order.
inline std::vector<WORD> gHostNotified;

inline LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COMMAND && l) gHostNotified.push_back(HIWORD(w));
    return DefWindowProcA(h, m, w, l);
}

// A window class of the program: the arrow cursor, the window colour behind.
inline bool RegisterTestClass(const char* Name, WNDPROC Proc) {
    WNDCLASSA wc{};
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = Name;
    return RegisterClassA(&wc) != 0;
}

// The caller destroys it.
inline HWND MakeHost(int Width = 400, int Height = 300) {
    static const bool registered = RegisterTestClass("TestHost", HostProc);
    EXPECT_TRUE(registered);
    HWND h = CreateWindowExA(WS_EX_TOPMOST, "TestHost", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 60, 60, Width,
                             Height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(h);
    return h;
}

}  // namespace testsupport
