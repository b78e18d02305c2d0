// Scope objects that undo on every way out of a block: a paint begun, a DC's
// saved state, a memory DC, a GDI object selected, a flag set for a while.
#pragma once

#include <windows.h>

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
class TBoolScope {
public:
    TBoolScope(bool& Flag, bool Value) : FFlag(Flag), FOld(Flag) { FFlag = Value; }
    ~TBoolScope() { FFlag = FOld; }
    TBoolScope(const TBoolScope&) = delete;
    TBoolScope& operator=(const TBoolScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};
