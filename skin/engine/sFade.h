// Fades between two pictures of a skinned control (TsFadeTimer), glows of
// windowless controls (TsAnimTimer), and the snapshot window that a control
// fades in from after a page change.
//
// A fade or glow ends with command 16 to its owner, whose handler frees the
// ticking timer (StopFade / ReleaseSkinTimer): a timer freed during its own
// tick is only disabled and marked, and deletes itself when the tick returns.
#pragma once

#include <windows.h>

#include "Controls.h"
#include "Timers.h"
#include "sCommonData.h"
#include "sGlobals.h"

// The common part of the two timers: free them only through
// ReleaseSkinTimer (or StopFade), never with delete.
class TacSkinTimer : public TTimer {
    CLASSLIB_DECLARE_CLASS(TacSkinTimer)
public:
    explicit TacSkinTimer(TComponent* AOwner);
    ~TacSkinTimer() override;
    TsCommonData* SkinData = nullptr;
    int Iterations = 0;  // step count
    TBitmap* OldBmp;     // the picture faded from (a copy); owned
    TBitmap* FrameBmp;   // the frame being shown; owned
    // True while one of its steps runs (a glow step started meanwhile does nothing).
    bool Busy() const { return FDepth > 0; }
    // Set when it was released during a step: freed when the step ends.
    bool Released() const { return FReleased; }
    // Bracket a step; EndStep frees a timer released meanwhile, so nothing of
    // it may be touched after EndStep.
    void BeginStep() { ++FDepth; }
    void EndStep();
    void BeforeDestruction() override;

protected:
    void Timer() override;
    virtual void Step() = 0;

private:
    friend void ReleaseSkinTimer(TacSkinTimer* Timer);
    int FDepth = 0;
    bool FReleased = false;
    // Its own free has begun (an owner going marks it csDestroying well before).
    bool FFreeing = false;
};

// Disables and frees the timer, after its tick when it is ticking.
void ReleaseSkinTimer(TacSkinTimer* Timer);

// The variable that holds a fade (StartFade's) is cleared when the timer is
// freed by anyone (its owner going frees it before the owner's destructor
// runs), so that the owner's later StopFade finds nothing to stop.
class TsFadeTimer : public TacSkinTimer {
    CLASSLIB_DECLARE_CLASS(TsFadeTimer)
public:
    explicit TsFadeTimer(TComponent* AOwner) : TacSkinTimer(AOwner) {}
    ~TsFadeTimer() override { LeaveHolder(); }
    void BeforeDestruction() override;
    int FadeKind = 0;
    int StepIndex = 0;  // the step shown next, 1 .. Iterations

protected:
    void Step() override;

private:
    friend void StartFade(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Half, int Kind);
    friend void StopFade(TsFadeTimer*& Timer);
    void LeaveHolder();
    TsFadeTimer** FHolder = nullptr;
};

class TsAnimTimer : public TacSkinTimer {
    CLASSLIB_DECLARE_CLASS(TsAnimTimer)
public:
    explicit TsAnimTimer(TComponent* AOwner) : TacSkinTimer(AOwner) {}
    int Position = 0;

protected:
    void Step() override;
};

// True when Event is in Events, or aeGlobalDef is and Event is in acDefaultAnimEvents.
bool AnimEventEnabled(TacAnimatEvent Event, TacAnimatEvents Events);
// Starts a fade when Animate and the skin allows; otherwise BGChanged, a
// running fade stopped and the owner repainted.
void FadeOrRepaint(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Half, bool Animate, int Kind);
// Copies the owner's cache as the old picture, asks the owner for the new one
// (command 23) and starts blending (10 ms, FadingIterations steps, halved when Half).
void StartFade(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Half, int Kind);
// Stops and frees a fade timer and clears the variable.
void StopFade(TsFadeTimer*& Timer);
// One fade frame: sent as command 24, drawn on the owner's DC when not taken.
void FadeStep(TsFadeTimer* Timer);
// Glows: interval 10 ms, FadingIterations steps.
void AnimSetup(TsAnimTimer* Timer, TsCommonData* SkinData);
void AnimStep(TsAnimTimer* Timer);
inline void StopAnim(TsAnimTimer*& Timer) {
    TsAnimTimer* t = Timer;
    Timer = nullptr;
    ReleaseSkinTimer(t);
}

// A frame := Old blended with New: Alpha 255 keeps Old, 0 gives New. Frame
// takes New's size; pixels outside Old come from New.
void BlendFadeFrame(TBitmap* Frame, TBitmap* Old, TBitmap* New, int Alpha);

// A top-level window without activation that shows a bitmap over the screen.
class TOutputWindow : public TCustomControl {
    CLASSLIB_DECLARE_CLASS(TOutputWindow)
public:
    explicit TOutputWindow(TComponent* AOwner);
    // Shown, not owned.
    TBitmap* Picture = nullptr;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    bool IsTopLevel() const override { return true; }
    void Paint() override;
};

// Takes a snapshot of the screen under the control (once: a snapshot already
// shown is kept) and shows it in the snapshot window above the control.
void PrepareOutputWindow(TControl* Control);
// Fades from the snapshot to the control's new picture, Time shr 3 steps 8 ms
// apart, then frees the snapshot window.
void FadeInControl(TControl* Control, int Time);
// Frees the snapshot window and picture.
void FreeOutputWindow();
