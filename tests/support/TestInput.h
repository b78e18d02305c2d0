// Real mouse input for the tests: the cursor moved and the left button pressed
// and let go through SendInput, as a user's hand would, then the messages
// pumped through the application's loop.
#pragma once

#include <windows.h>

#include "FormTestSupport.h"

#include <initializer_list>

namespace testinput {

// An absolute move that lands on exactly (X, Y): Wine maps dx to
// (dx * screen width) >> 16, so dx is rounded up.
inline void MouseTo(POINT P) {
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (P.x * 65536 + w - 1) / w;
    in.mi.dy = (P.y * 65536 + h - 1) / h;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    formtest::Pump(20);
}

inline void LeftButton(bool Down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    formtest::Pump(20);
}

// Press at From, move through the points of Path, let go at the last one.
inline void Drag(POINT From, std::initializer_list<POINT> Path) {
    MouseTo(From);
    LeftButton(true);
    POINT last = From;
    for (POINT p : Path) MouseTo(last = p);
    LeftButton(false);
    formtest::Pump(30);
}

inline void Click(POINT At) {
    MouseTo(At);
    LeftButton(true);
    LeftButton(false);
    formtest::Pump(30);
}

}  // namespace testinput
