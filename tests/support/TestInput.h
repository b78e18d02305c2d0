// Real input for the tests: the cursor moved, the left button pressed and let
// go and keys struck through SendInput, as a user's hand would. The plain
// helpers pump the messages through the application's loop after each step;
// the Send* ones do not, for a modal loop that is running or a second thread.
#pragma once

#include <windows.h>

#include "FormTestSupport.h"

#include <atomic>
#include <functional>
#include <initializer_list>
#include <thread>
#include <vector>

namespace testinput {

// An absolute move that lands on exactly (X, Y): Wine maps dx to
// (dx * screen width) >> 16, so dx is rounded up. Extra adds button flags.
inline INPUT Move(POINT P, DWORD Extra = 0) {
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (P.x * 65536 + w - 1) / w;
    in.mi.dy = (P.y * 65536 + h - 1) / h;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | Extra;
    return in;
}

inline INPUT Button(bool Down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    return in;
}

inline void Send(std::initializer_list<INPUT> Inputs) {
    std::vector<INPUT> in(Inputs);
    SendInput(UINT(in.size()), in.data(), sizeof(INPUT));
}

// A click at P, not pumped.
inline void SendClick(POINT P) { Send({Move(P), Button(true), Button(false)}); }

inline INPUT KeyInput(WORD Key, bool Up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = Key;
    in.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// A key struck (down and up), not pumped.
inline void SendKey(WORD Key) { Send({KeyInput(Key, false), KeyInput(Key, true)}); }

inline void MouseTo(POINT P) {
    Send({Move(P)});
    formtest::Pump(20);
}

inline void LeftButton(bool Down) {
    Send({Button(Down)});
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

// Press at From, move to To in Steps even steps, let go there.
inline void Drag(POINT From, POINT To, int Steps = 6) {
    MouseTo(From);
    LeftButton(true);
    for (int i = 1; i <= Steps; ++i)
        MouseTo(POINT{From.x + (To.x - From.x) * i / Steps, From.y + (To.y - From.y) * i / Steps});
    LeftButton(false);
    formtest::Pump(30);
}

inline void Click(POINT At) {
    MouseTo(At);
    LeftButton(true);
    LeftButton(false);
    formtest::Pump(30);
}

// Real mouse input from a second thread: the system's move, size and menu
// loops are modal, so the test thread keeps pumping while a hand moves the mouse.
namespace hand {
inline void To(POINT P) {
    Send({Move(P)});
    Sleep(40);
}
inline void Button(bool Down) {
    Send({testinput::Button(Down)});
    Sleep(60);
}
inline void Click(POINT P) {
    To(P);
    Button(true);
    Button(false);
}
inline void Drag(POINT From, POINT To_) {
    To(From);
    Button(true);
    To(POINT{(From.x + To_.x) / 2, (From.y + To_.y) / 2});
    To(To_);
    Button(false);
}
}  // namespace hand

// Input runs on a second thread while this one pumps; the cursor is left in
// a corner afterwards.
inline void ByHand(const std::function<void()>& Input) {
    std::atomic<bool> done{false};
    std::thread t([&] {
        Input();
        done = true;
    });
    while (!done) formtest::Pump(10);
    t.join();
    formtest::Pump(150);
    hand::To(POINT{5, GetSystemMetrics(SM_CYSCREEN) - 5});
    formtest::Pump(100);
}

}  // namespace testinput
