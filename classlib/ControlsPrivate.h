// Shared by the two source files of the Controls unit: the window <-> control
// link and the state of window creation and mouse capture. Not for other units.
#pragma once

#include "Controls.h"

namespace controls_detail {
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
};
