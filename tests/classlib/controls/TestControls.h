// Controls that write down every message their WndProc sees, a superclassed
// system button, and a host form, shared by the control tests.
#pragma once

#include <gtest/gtest.h>

#include "Controls.h"
#include "FormTestSupport.h"
#include "Forms.h"
#include "PixelTestSupport.h"
#include "TestSupport.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace ctltest {

struct MsgLog {
    std::vector<TMessage> Items;
    void Add(const TMessage& M) { Items.push_back(M); }
    void Clear() { Items.clear(); }
    int Count(UINT Msg) const {
        return static_cast<int>(
            std::count_if(Items.begin(), Items.end(), [&](const TMessage& m) { return m.Msg == Msg; }));
    }
    // Index of the first Msg at or after From, -1 when none.
    int IndexOf(UINT Msg, int From = 0) const {
        for (size_t i = static_cast<size_t>(std::max(0, From)); i < Items.size(); ++i)
            if (Items[i].Msg == Msg) return static_cast<int>(i);
        return -1;
    }
    const TMessage* Find(UINT Msg) const {
        int i = IndexOf(Msg);
        return i < 0 ? nullptr : &Items[static_cast<size_t>(i)];
    }
    // The CM_* messages only, in order.
    std::vector<UINT> ComponentMessages() const {
        std::vector<UINT> r;
        for (const TMessage& m : Items)
            if (m.Msg >= CM_BASE && m.Msg <= CM_MOUSEWHEEL) r.push_back(m.Msg);
        return r;
    }
};

// A painted windowed control of a class of its own.
class TLogWin : public TCustomControl {
    CLASSLIB_DECLARE_CLASS(TLogWin)
public:
    explicit TLogWin(TComponent* AOwner) : TCustomControl(AOwner) {
        FControlStyle.Include(csAcceptsControls);
        SetBounds(0, 0, 60, 40);
    }
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_NCCREATE) HandleAtNCCreate = HandleAllocated() ? Handle() : nullptr;
        Log.Add(M);
        TCustomControl::WndProc(M);
    }
    MsgLog Log;
    HWND HandleAtNCCreate = nullptr;
    TColor PaintColor = clNone;
    int PaintCount = 0;
    using TCustomControl::CreateParams;

protected:
    void Paint() override {
        ++PaintCount;
        if (PaintColor == clNone) return;
        Canvas()->Brush()->SetColor(PaintColor);
        Canvas()->FillRect(ClientRect());
    }
};

// A windowless control that paints itself in one colour.
class TLogGraphic : public TGraphicControl {
    CLASSLIB_DECLARE_CLASS(TLogGraphic)
public:
    explicit TLogGraphic(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 30, 20); }
    void WndProc(TMessage& M) override {
        Log.Add(M);
        TGraphicControl::WndProc(M);
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        Downs.push_back(TPoint{X, Y});
        TGraphicControl::MouseDown(Button, Shift, X, Y);
    }
    MsgLog Log;
    std::vector<TPoint> Downs;
    TColor PaintColor = clRed;
    // Paints far beyond the control: the parent's clipping must keep it inside.
    bool Overpaint = false;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(PaintColor);
        TRect r = Overpaint ? TRect{-500, -500, 2000, 2000} : ClientRect();
        Canvas()->FillRect(r);
    }
};

// A real system "BUTTON", superclassed.
class TTestButton : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TTestButton)
public:
    explicit TTestButton(TComponent* AOwner) : TWinControl(AOwner) {
        FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
        SetBounds(0, 0, 80, 24);
        SetTabStop(true);
    }
    void WndProc(TMessage& M) override {
        Log.Add(M);
        TWinControl::WndProc(M);
    }
    MsgLog Log;
    bool OwnerDraw = false;

protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, "BUTTON");
        Params.Style |= OwnerDraw ? BS_OWNERDRAW : BS_PUSHBUTTON;
    }
};

using formtest::FormDeleter;
using formtest::FormPtr;
using formtest::MakeForm;
using formtest::Pump;

// The screen colour of a point of a window's client area (0x00RRGGBB).
inline std::uint32_t ClientPixel(HWND Wnd, int X, int Y) {
    testsupport::Picture pic = testsupport::CaptureClient(Wnd);
    return pic.Pixel(X, Y);
}

using testsupport::RGBOfColor;

}  // namespace ctltest
