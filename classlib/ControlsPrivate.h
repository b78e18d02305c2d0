// Shared by the two source files of the Controls unit: the window <-> control
// link and the state of window creation and mouse capture. Not for other units.
#pragma once

#include "Controls.h"

#include <unordered_map>

namespace controls_detail {
// Values kept per window in the process, shared by the threads that own windows.
template <typename V>
class TWindowMap {
public:
    bool Find(HWND Wnd, V& Value) {
        AcquireSRWLockShared(&FLock);
        auto it = FMap.find(Wnd);
        bool found = it != FMap.end();
        if (found) Value = it->second;
        ReleaseSRWLockShared(&FLock);
        return found;
    }
    void Set(HWND Wnd, const V& Value) {
        AcquireSRWLockExclusive(&FLock);
        FMap[Wnd] = Value;
        ReleaseSRWLockExclusive(&FLock);
    }
    void Erase(HWND Wnd) {
        AcquireSRWLockExclusive(&FLock);
        FMap.erase(Wnd);
        ReleaseSRWLockExclusive(&FLock);
    }
    // Calls Action(Wnd, Value&) for each entry, under the lock.
    template <typename F>
    void ForEach(F Action) {
        AcquireSRWLockExclusive(&FLock);
        for (auto& entry : FMap) Action(entry.first, entry.second);
        ReleaseSRWLockExclusive(&FLock);
    }

private:
    SRWLOCK FLock = SRWLOCK_INIT;
    std::unordered_map<HWND, V> FMap;
};

// Set just before CreateWindowEx; the library's window procedure takes it at
// the window's first message, so even WM_NCCREATE reaches the control.
extern thread_local TWinControl* CreationControl;
// The control whose window is being made, for as long as CreateWindowEx runs
// (a child may send its parent WM_MEASUREITEM before the call returns).
extern thread_local TWinControl* CreatingControl;
// The windowless control that holds the mouse through its parent's window.
extern TControl* CaptureControl;

ATOM ControlAtom();
HINSTANCE ModuleInstance();
WORD NextChildID();
String NoParentText(const TControl* Control);
}  // namespace controls_detail

// Reaches the protected parts of the controls from the window procedure.
struct ControlsImpl {
    static LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    static void Link(TWinControl* Control, HWND Wnd);
    static void Unlink(TWinControl* Control, HWND Wnd);
    // A message of one of Owner's hooked inner windows.
    static void InnerWndProc(TWinControl* Owner, HWND Inner, TMessage& Message) { Owner->InnerWndProc(Inner, Message); }
    // The control's window is gone: its inner windows' hooks no longer reach it.
    static void ReleaseInnerWindows(TWinControl* Control);
};
