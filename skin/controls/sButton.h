// The skinned push button: a class-library TButton that, while a skin is
// active, is owner-drawn and paints itself from its skin section ("BUTTON").
#pragma once

#include "StdCtrls.h"
#include "sCommonFrame.h"

class TsButton : public TButton, public TsFrameClient {
    CLASSLIB_DECLARE_CLASS(TsButton)
public:
    explicit TsButton(TComponent* AOwner);
    ~TsButton() override;
    void AfterConstruction() override;

    TsCommonData* SkinData() const { return FFrame.SkinData; }
    TacAnimatEvents AnimatEvents() const { return FFrame.AnimatEvents; }
    void SetAnimatEvents(TacAnimatEvents Value) { FFrame.AnimatEvents = Value; }
    TsDisabledKind DisabledKind() const { return FFrame.DisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    // Draws the button pressed for as long as it is set.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    // Distance of the focus frame outside the caption rectangle (negative: inside).
    int FocusMargin() const { return FFocusMargin; }
    void SetFocusMargin(int Value) { FFocusMargin = Value; }
    // Wraps the caption at word breaks (True by default); no new window.
    void SetWordWrap(bool Value) override;

    // Keeps the default look to paint it; the system style is left to the base.
    void SetButtonStyle(bool ADefault) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

    // 0 normal, 1 active (default, focused or hot), 2 pressed.
    int CurrentState() override;
    // The caption's rectangle, centred, moved by (1, 1) when pressed.
    virtual void CaptionRect(TRect& R);
    virtual void DrawCaption(TRect& R, UINT Flags);
    // Caption and focus frame on the cache bitmap.
    virtual void PaintCaption();
    int MaxCaptionWidth() const;
    TSize TextRectSize();

    void PrepareCache() { FFrame.PrepareCache(); }
    void PaintHandler(HDC DC) { FFrame.PaintHandler(DC); }
    TsCommonFrame& Frame() { return FFrame; }
    // The region kept for the window by the last paint (see TsCommonFrame::Region).
    HRGN HeldRegion() const { return FFrame.Region; }
    // A mouse press accepted by the skinned button and not yet released.
    bool Pressed() const { return FPressed; }
    // The look that SetButtonStyle asked for.
    bool DefaultLook() const { return FDefaultLook; }

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Loaded() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The frame fires OnMouseEnter / OnMouseLeave itself (once per change).
    void MouseEnter() override {}
    void MouseLeave() override {}

    void InheritedWndProc(TMessage& Message) override { TButton::WndProc(Message); }
    void PaintContent() override { PaintCaption(); }
    bool SkinnedMessage(TMessage& Message) override;
    void SkinCommandDone(WORD Code) override;

private:
    bool Loading() const { return ComponentState().Contains(csLoading); }
    // Switches the window to or from BS_OWNERDRAW.
    void SetOwnerDraw(bool Value);

    TsCommonFrame FFrame;
    bool FPressed = false;
    bool FDown = false;
    int FFocusMargin = 1;
    bool FDefaultLook = false;
    // This button's press switched the application's hints off.
    bool FHidHints = false;
};
