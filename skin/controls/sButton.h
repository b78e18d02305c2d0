// The skinned push button: a class-library TButton that, while a skin is
// active, is owner-drawn and paints itself from its skin section ("BUTTON").
#pragma once

#include "StdCtrls.h"
#include "sSkinnedControl.h"

class TsButton : public TsSkinned<TButton> {
    CLASSLIB_DECLARE_CLASS(TsButton)
public:
    explicit TsButton(TComponent* AOwner);
    ~TsButton() override;

    // Draws the button pressed for as long as it is set.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    // Distance of the focus frame outside the caption rectangle (negative: inside).
    int FocusMargin() const { return FFocusMargin; }
    void SetFocusMargin(int Value);
    // Wraps the caption at word breaks (True by default); no new window.
    void SetWordWrap(bool Value) override;

    // Keeps the default look to paint it; the system style is left to the base.
    void SetButtonStyle(bool ADefault) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

    // Pressed (pushed with the mouse above, held Down, or forced once after
    // a cut-short fade), Active (default, focused or hot) or Normal. Asks the
    // system button for its state once.
    TsPaintState CurrentState() override;
    // The caption's rectangle, centred (the face painter moves it when pressed).
    virtual void CaptionRect(TRect& R, TsPaintState State);
    // Caption and focus frame through the push buttons' face painter.
    virtual void DrawCaption(TRect& R, UINT Flags, TsPaintState State);
    // Caption and focus frame on the cache bitmap, of the caption the rebuild read.
    virtual void PaintCaption(TsPaintState State);
    int MaxCaptionWidth() const;
    TSize TextRectSize();

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    void PaintContent(TsPaintState State) override { PaintCaption(State); }
    bool SkinnedMessage(TMessage& Message) override;
    void AfterSkinCommand(WORD Code) override;
    // A mouse press accepted by the skinned button and not yet released.
    bool Pressed() const { return FPressed; }

private:
    bool Loading() const { return ComponentState().Contains(csLoading); }
    // A property that shapes the picture changed.
    void Reshaped();
    // Switches the window to or from BS_OWNERDRAW.
    void SetOwnerDraw(bool Value);
    bool DialogChar(const TMessage& Message);
    // The press's release: the click that cut a fade short shows pressed once.
    void ShowReleased();

    bool FPressed = false;
    bool FDown = false;
    int FFocusMargin = 1;
    bool FDefaultLook = false;
};
