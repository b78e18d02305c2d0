// Containers and painted controls: the bevelled panel that holds and aligns
// other controls, and the paint box.
#pragma once

#include "Controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
CLASSLIB_ENUM_NAMES(TBevelCut, "bvNone", "bvLowered", "bvRaised", "bvSpace")
using TPanelBevel = TBevelCut;

// Draws Width rings of a 3-D frame just inside Rect (top and left in
// TopColor, bottom and right in BottomColor) and shrinks Rect by Width.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// A window that draws, from its edge inwards, an outer bevel, a band of
// BorderWidth pixels in Color, an inner bevel, then its face with a one-line
// caption. Children aligned with Align share what is left inside all three.
//
// BorderWidth here belongs to the panel's own drawing (inside its client
// area); it hides the non-client border of TWinControl, which stays 0.
class TCustomPanel : public TCustomControl {
    CLASSLIB_DECLARE_CLASS(TCustomPanel)
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FPanelBorderWidth; }
    void SetBorderWidth(int Value);
    // bsSingle adds a window border (a client edge with Ctl3D).
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // The face shows what the parent paints behind the panel instead of Color.
    bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
    void SetParentBackground(bool Value);
    // Repaint the whole panel on every size change; otherwise only the
    // frame is repainted (unless there is a caption to re-centre).
    bool FullRepaint = true;

    // The width of bevels and border together, on each side.
    int FrameWidth() const;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;

    TAlignment FAlignment = taCenter;
    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FPanelBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
};

class TPanel : public TCustomPanel {
    CLASSLIB_DECLARE_CLASS(TPanel)
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---------------------------------------------------------------------------

// A windowless area whose picture OnPaint draws on Canvas.
class TPaintBox : public TGraphicControl {
    CLASSLIB_DECLARE_CLASS(TPaintBox)
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};
