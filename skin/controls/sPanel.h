// The skinned panel, a container whose skinned background its children paint
// over, and the drag bar, a caption strip with which the user moves a form.
#pragma once

#include <windows.h>

#include "ExtCtrls.h"
#include "WindowHooks.h"
#include "sSkinnedContainer.h"

#include <functional>

// Sender and the canvas to paint on.
using TPaintEvent = std::function<void(TObject* Sender, TCanvas* Canvas)>;

// Paints its section, border and caption into its cache (kept between
// paints), copies it round its windowed children and paints its windowless
// ones over it; answers command 5 with that cache and passes commands 1, 2
// and 3 on to its children. Never hot.
class TsPanel : public TsSkinnedContainer<TPanel> {
    CLASSLIB_DECLARE_CLASS(TsPanel)
public:
    explicit TsPanel(TComponent* AOwner);

    // Skinned: called at the end of each cache rebuild with the cache's
    // canvas. Unskinned: replaces the panel's own drawing.
    TPaintEvent OnPaint;

    // Copies the cache (rebuilt when out of date) to DC (0: the panel's
    // canvas) round the windowed children, then paints the windowless ones;
    // with SendUpdated the windowed children are told to repaint (command 6).
    virtual void PaintAll(HDC DC, bool SendUpdated);
    // The caption the cache rebuild read, one line centred vertically in R, into the cache.
    virtual void WriteCaption(TRect R);

protected:
    void PaintWindow(HDC DC) override;
    void Paint() override;
    // The border's centre is painted only for the drag bar.
    virtual bool PaintsBorderCentre() const { return false; }

    // Where the panel differs from the frame.
    TsPaintState CurrentState() override { return TsPaintState::Normal; }
    void RebuildCache(TsPaintState State) override;
    bool NewSkin(TMessage& Message, bool Own) override;
    bool RemoveSkin(TMessage& Message, bool Own) override;
    void OwnSkinCommand(TMessage& Message, WORD Code) override;
    void ChildrenToldSkin(WORD Code, bool Own) override;
    void UnskinnedMessage(TMessage& Message) override;
    bool SkinnedMessage(TMessage& Message) override;

private:
    bool PrintUnskinned(HDC DC);
    bool ParentChangedPanel();
    bool ParentBGChanged(const TMessage& M);
    bool PaintPanel(HDC DC);
    bool PrintPanel(HDC DC);
    bool PassToBase(TMessage& M);
    bool VisibleChangedPanel(TMessage& M);
    bool ColorChanged();
    bool CaptionChangedPanel();
    bool PositionChanged();
    bool FontSetPanel(TMessage& M);
};

// A panel at the top of its form with which the user drags the form (or
// DraggedControl). The move runs its own loop with the mouse captured, which
// ends on the left button's release wherever it is seen (a button-up message
// to any window, or the button found up), on Escape (the control goes back)
// and when the capture is lost; it never waits for a window manager.
class TsDragBar : public TsPanel {
    CLASSLIB_DECLARE_CLASS(TsDragBar)
public:
    explicit TsDragBar(TComponent* AOwner);
    // The control moved; nil: the form that holds the bar.
    TControl* DraggedControl() const { return FDraggedControl; }
    void SetDraggedControl(TControl* Value);
    // Moves Control with the mouse until the left button is released; the
    // cursor's position now is the starting point.
    void DragLoop(TControl* Control);
    // True while DragLoop runs.
    bool Dragging() const { return FInLoop; }
    // The form followed is always one the bar is on: that form frees the bar
    // before it goes.
    void SetParent(TWinControl* AParent) override;

protected:
    // Read from a description without DraggedControl, the bar moves its form.
    void Loaded() override;
    void CreateWnd() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool PaintsBorderCentre() const override { return true; }

private:
    // The caption text follows its form's activation, which only the form is
    // told of: the bar listens in on the form's messages.
    void FollowFormActivation();
    void StopFollowingForm();
    void FormMessage(TMessage& M);
    // Drops our free notification from C unless we still hold C another way.
    void Unwatch(TComponent* C);

    TWindowProcHook FFormHook;
    TControl* FDraggedControl = nullptr;
    // What DragLoop moves: cleared by the free notification when it goes.
    TControl* FDragTarget = nullptr;
    bool FInLoop = false;
};
