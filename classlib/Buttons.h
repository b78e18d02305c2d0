// The speed button: a windowless button with a glyph and a caption, drawn by
// itself on its parent, that can stay down and work in groups.
#pragma once

#include "Controls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
CLASSLIB_ENUM_NAMES(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom")

// Places a glyph of GlyphSize and a caption of TextSize in Client by Layout.
// Margin is the distance of the glyph from its edge (-1 centres glyph and
// caption together), Spacing the gap between them (-1 spreads margin and gap
// evenly, with Margin -1 too); the gap is 0 when either has no width. Each
// part is centred on its own across the layout's direction. GlyphPos is the
// glyph's top-left corner and TextRect the caption's rectangle, both with
// Client's corner added.
void CalcGlyphCaptionLayout(const TRect& Client, TSize GlyphSize, TSize TextSize, TButtonLayout Layout, int Margin,
                            int Spacing, TPoint& GlyphPos, TRect& TextRect);
// Also the index of the glyph picture for the state (see NumGlyphs).
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
using TNumGlyphs = int;

// Glyph holds NumGlyphs pictures side by side: up, disabled, down, and
// exclusive (held down); a missing picture falls back to the up one, and a
// missing disabled one is made from the up one in the engraved system colours.
// The glyph's bottom-left pixel is its transparent colour (unless the bitmap
// says otherwise).
//
// Groups: buttons of one parent with the same GroupIndex (not 0) keep at most
// one button Down; pressing one releases the others through CM_BUTTONPRESSED
// sent to the siblings. Without AllowAllUp, the down button of a group stays
// down when clicked again.
class TSpeedButton : public TGraphicControl {
    CLASSLIB_DECLARE_CLASS(TSpeedButton)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    // The button keeps its own bitmap; its OnChange belongs to the button
    // (a descendant that replaces it calls the former handler on).
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value);
    TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TNumGlyphs Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    // Pixels between glyph and caption; -1 centres the caption in the space left.
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // Pixels between the edge and the glyph; -1 centres glyph and caption together.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    // A flat button shows a frame only while the mouse is over it or it is down.
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    // A transparent flat button lets its parent show through.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }

    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void Dispatch(TMessage& Message) override;

    // Where Paint puts the glyph (top-left corner) and the caption inside
    // Client, pressed buttons moved by Offset.
    void CalcButtonLayout(const TRect& Client, const TPoint& Offset, TPoint& GlyphPos, TRect& TextBounds);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Draws picture Index of the glyph (the greyed up picture for a missing
    // disabled one) at (X, Y) of Canvas.
    void DrawGlyph(int X, int Y, TButtonState AState);
    void DrawCaption(TRect Bounds, TButtonState AState);

    TButtonState FState = bsUp;
    bool FMouseInControl = false;
    bool FDragging = false;

private:
    void GlyphChanged(TObject* Sender);
    // Tells the siblings of the group that this button went down.
    void UpdateExclusive();
    void ButtonPressed(TMessage& Message);

    TBitmap* FGlyph = nullptr;
    TNumGlyphs FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
    int FMargin = -1;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FTransparent = true;
};

// ---------------------------------------------------------------------------

#include "StdCtrls.h"

// A push button with a glyph beside its caption, placed as a speed button
// places them (Layout, Margin, Spacing). It draws itself (an owner-drawn
// "BUTTON" window); the glyph's pictures are up, disabled and down.
class TBitBtn : public TButton {
    CLASSLIB_DECLARE_CLASS(TBitBtn)
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;

    // The button keeps its own copy.
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value);
    TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TNumGlyphs Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void DrawItem(const DRAWITEMSTRUCT& Item);

private:
    TBitmap* FGlyph = nullptr;
    TNumGlyphs FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
};
