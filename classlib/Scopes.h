// Scope objects that undo on every way out of a block: a paint begun, a
// window's or client area's DC, a DC's saved state, a memory DC, a GDI object
// selected, a flag set for a while.
#pragma once

#include <windows.h>

#include <memory>

// BeginPaint/EndPaint on Wnd when DC is 0 (a real paint); otherwise the paint
// goes to the DC given and the window's pending update is left alone.
class TPaintScope {
public:
    TPaintScope(HWND Wnd, HDC DC) : FWnd(DC == nullptr ? Wnd : nullptr), FDC(DC) {
        if (FWnd) FDC = BeginPaint(FWnd, &FPs);
    }
    ~TPaintScope() {
        if (FWnd) EndPaint(FWnd, &FPs);
    }
    TPaintScope(const TPaintScope&) = delete;
    TPaintScope& operator=(const TPaintScope&) = delete;

    // Where to paint: the DC given, or BeginPaint's.
    HDC DC() const { return FDC; }
    // True when this scope called BeginPaint.
    bool Begun() const { return FWnd != nullptr; }

private:
    HWND FWnd;
    HDC FDC;
    PAINTSTRUCT FPs{};
};

// A DC of a window got for the scope's life and released at its end: the
// whole window's (GetWindowDC, frame included) or the client area's (GetDC).
// A nil window gets none. When a DC is given (a WM_PAINT's or WM_PRINT's
// wParam) that one is used and none is got or released.
template <HDC(WINAPI* Get)(HWND)>
class TWindowDCScope {
public:
    explicit TWindowDCScope(HWND Wnd, HDC Given = nullptr)
        : FWnd(Given || !Wnd ? nullptr : Wnd), FDC(Given ? Given : (Wnd ? Get(Wnd) : nullptr)) {}
    ~TWindowDCScope() {
        if (FWnd && FDC) ReleaseDC(FWnd, FDC);
    }
    TWindowDCScope(const TWindowDCScope&) = delete;
    TWindowDCScope& operator=(const TWindowDCScope&) = delete;

    HDC DC() const { return FDC; }
    operator HDC() const { return FDC; }
    // True when this scope got the DC (and will release it).
    bool Owned() const { return FWnd != nullptr; }

private:
    HWND FWnd;
    HDC FDC;
};

// GetWindowDC/ReleaseDC: frame and client of Wnd.
using TWindowDC = TWindowDCScope<&GetWindowDC>;
// GetDC/ReleaseDC: the client area of Wnd.
using TClientDC = TWindowDCScope<&GetDC>;

// The screen's DC for the scope's life.
class TScreenDC {
public:
    TScreenDC() : FDC(GetDC(nullptr)) {}
    ~TScreenDC() {
        if (FDC) ReleaseDC(nullptr, FDC);
    }
    TScreenDC(const TScreenDC&) = delete;
    TScreenDC& operator=(const TScreenDC&) = delete;
    HDC DC() const { return FDC; }
    operator HDC() const { return FDC; }

private:
    HDC FDC;
};

// SaveDC now, RestoreDC at the end of the scope.
class TSavedDC {
public:
    explicit TSavedDC(HDC DC) : FDC(DC), FSaved(DC ? SaveDC(DC) : 0) {}
    ~TSavedDC() {
        if (FSaved) RestoreDC(FDC, FSaved);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC FDC;
    int FSaved;
};

// A memory DC compatible with Like (0: the screen), deleted with the scope.
class TMemoryDC {
public:
    explicit TMemoryDC(HDC Like = nullptr) : FDC(CreateCompatibleDC(Like)) {}
    ~TMemoryDC() {
        if (FDC) DeleteDC(FDC);
    }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    HDC Handle() const { return FDC; }
    operator HDC() const { return FDC; }

private:
    HDC FDC;
};

// Selects Object into DC; the previous object comes back with the scope's end.
class TSelectedObject {
public:
    TSelectedObject(HDC DC, HGDIOBJ Object) : FDC(DC), FOld(DC && Object ? SelectObject(DC, Object) : nullptr) {}
    ~TSelectedObject() {
        if (FOld) SelectObject(FDC, FOld);
    }
    TSelectedObject(const TSelectedObject&) = delete;
    TSelectedObject& operator=(const TSelectedObject&) = delete;

private:
    HDC FDC;
    HGDIOBJ FOld;
};

// Includes Item in a flag set for the scope's life and excludes it after
// (only when it was not in the set before).
template <class Set, class Item>
class TFlagScope {
public:
    TFlagScope(Set& Flags, Item Value) : FFlags(Flags), FValue(Value), FWasIn(Flags.Contains(Value)) {
        FFlags.Include(FValue);
    }
    ~TFlagScope() {
        if (!FWasIn) FFlags.Exclude(FValue);
    }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    Set& FFlags;
    Item FValue;
    bool FWasIn;
};

// Sets a Boolean for the scope's life and puts the old value back after.
// A flag of an object that the scope's code may free (a control's, around
// its handlers) comes with the object's liveness (TControl::Alive()): a
// freed object's flag is left alone.
class TBoolScope {
public:
    TBoolScope(bool& Flag, bool Value, std::shared_ptr<const bool> OwnerAlive = nullptr)
        : FFlag(Flag), FOld(Flag), FOwnerAlive(std::move(OwnerAlive)) {
        FFlag = Value;
    }
    ~TBoolScope() {
        if (!FOwnerAlive || *FOwnerAlive) FFlag = FOld;
    }
    TBoolScope(const TBoolScope&) = delete;
    TBoolScope& operator=(const TBoolScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
    std::shared_ptr<const bool> FOwnerAlive;
};
