// Counts of this process's GDI and USER objects, for the tests that look for
// leaks. Windows answers GetGuiResources; Wine 8 answers 0 there, so the
// objects are counted from their handles instead:
// - GDI: every live GDI object has an index below 0x10000 in the process's
//   handle table, and GetObjectType accepts the bare index (the high word,
//   the handle's generation, left 0) of a live entry. A walk over the 64K
//   candidate indices takes well under a millisecond.
// - USER: the windows of the process (top-level, every descendant and the
//   message-only ones) plus its menus, icons and cursors, found as the GDI
//   objects are: IsMenu and GetIconInfo on the bare index of every USER
//   handle slot (even values from 0x20).
#pragma once

#include <windows.h>

namespace testsupport {

struct GuiObjects {
    int Gdi = 0;
    int User = 0;
};

namespace guicount {

inline int WalkGdiTable() {
    int n = 0;
    for (UINT_PTR i = 1; i < 0x10000; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
    return n;
}

// Menus, icons and cursors (GetIconInfo's copies of the pictures are let go at once).
inline int WalkMenusAndIcons() {
    int n = 0;
    for (UINT_PTR i = 0x20; i < 0xFFF0; i += 2) {
        ICONINFO ii{};
        if (IsMenu(reinterpret_cast<HMENU>(i))) {
            ++n;
        } else if (GetIconInfo(reinterpret_cast<HICON>(i), &ii)) {
            ++n;
            if (ii.hbmMask) DeleteObject(ii.hbmMask);
            if (ii.hbmColor) DeleteObject(ii.hbmColor);
        }
    }
    return n;
}

inline BOOL CALLBACK CountChild(HWND, LPARAM Count) {
    ++*reinterpret_cast<int*>(Count);
    return TRUE;
}

inline BOOL CALLBACK CountOwnTopLevel(HWND H, LPARAM Count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(H, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<int*>(Count);
    EnumChildWindows(H, CountChild, Count);  // every descendant, not just the children
    return TRUE;
}

inline int CountWindows() {
    int n = 0;
    EnumWindows(CountOwnTopLevel, reinterpret_cast<LPARAM>(&n));
    for (HWND h = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); h;
         h = FindWindowExA(HWND_MESSAGE, h, nullptr, nullptr))
        CountOwnTopLevel(h, reinterpret_cast<LPARAM>(&n));
    return n;
}

}  // namespace guicount

inline GuiObjects CountGuiObjects() {
    GdiFlush();
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    GuiObjects c;
    c.Gdi = gdi ? int(gdi) : guicount::WalkGdiTable();
    c.User = user ? int(user) : guicount::CountWindows() + guicount::WalkMenusAndIcons();
    return c;
}

}  // namespace testsupport
