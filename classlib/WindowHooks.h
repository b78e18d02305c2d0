// Hooks that put a handler in front of a window's procedure (GWLP_WNDPROC) or
// of a control's WindowProc, and take it out again without breaking a chain
// that others joined after them; plus the ANSI window-procedure calls.
#pragma once

#include <windows.h>

#include "Controls.h"
#include "Messages.h"

#include <memory>

// The ANSI forms of the window-procedure slot and its call, pointer-sized.
WNDPROC GetWindowProcA(HWND Wnd);
WNDPROC SetWindowProcA(HWND Wnd, WNDPROC Proc);
// Message handed to Proc; its Result is set and returned.
LRESULT CallWindowProcMessageA(WNDPROC Proc, HWND Wnd, TMessage& Message);

// Replaces a window's GWLP_WNDPROC with a procedure of its own that hands
// every message to Method. Release puts the replaced procedure back only
// while the slot still holds ours; when someone subclassed after us, our
// procedure stays in their chain and passes everything straight on, and it is
// dropped when the chain unwinds past it or the window is destroyed. So any
// number of these, mixed with foreign subclasses, release in any order.
class TWindowProcSubclass {
public:
    TWindowProcSubclass() = default;
    ~TWindowProcSubclass() { Release(); }
    TWindowProcSubclass(const TWindowProcSubclass&) = delete;
    TWindowProcSubclass& operator=(const TWindowProcSubclass&) = delete;

    // False when Wnd is no window, this object is attached already or the
    // window carries too many of these hooks.
    bool Attach(HWND Wnd, TWndMethod Method);
    void Release();
    bool Attached() const { return FState != nullptr; }
    HWND Handle() const;
    // The procedure that was replaced.
    WNDPROC Previous() const;
    // Hands Message to the replaced procedure (Result 0 when none).
    void CallPrevious(TMessage& Message) const;

    struct TState;

private:
    std::shared_ptr<TState> FState;
};

// The same for a control's WindowProc slot: Release restores the old method
// only while the slot still holds ours; otherwise ours turns into a plain
// pass-on to what it replaced, which the later hook keeps calling.
class TWindowProcHook {
public:
    TWindowProcHook() = default;
    ~TWindowProcHook() { Release(); }
    TWindowProcHook(const TWindowProcHook&) = delete;
    TWindowProcHook& operator=(const TWindowProcHook&) = delete;

    bool Attach(TControl* Control, TWndMethod Method);
    void Release();
    bool Attached() const { return FState != nullptr; }
    TControl* Control() const;
    void CallPrevious(TMessage& Message) const;

    struct TState;

private:
    std::shared_ptr<TState> FState;
};
