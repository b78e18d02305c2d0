// The frame that every skinned control shares: the command-message stage, the
// skinned/unskinned route, the paint handler, the cache rebuild and the fades.
#pragma once

#include <windows.h>

#include "Controls.h"
#include "Graphics.h"
#include "sCommonData.h"
#include "sFade.h"
#include "sGlobals.h"
#include "sGraphUtils.h"
#include "sSkinnedControl.h"

// What a control tells the frame. A skinned control derives from it (next to
// its class-library base) and owns one TsCommonFrame built on itself; its
// WndProc override calls only the frame's, and its MouseEnter/MouseLeave
// overrides do nothing, since the frame fires OnMouseEnter/OnMouseLeave (once
// per change, only while enabled).
class TsFrameClient {
public:
    virtual ~TsFrameClient() = default;
    // The paint state: 0 normal, 1 hot or active, 2 pressed.
    virtual int CurrentState() = 0;
    // The class library's window procedure of the control (its base's WndProc).
    virtual void InheritedWndProc(TMessage& Message) = 0;
    // Cache rebuild, step 7: the control's content over background and border.
    virtual void PaintContent() {}
    // Skinned route, before the frame's own handlers: true leaves the message.
    virtual bool SkinnedMessage(TMessage& /*Message*/) { return false; }
    // After the frame handled command 1, 2 or 3 naming the control's manager
    // (for 2 before the repaint).
    virtual void SkinCommandDone(WORD /*Code*/) {}
};

// Behaviour a control chooses when it builds its frame.
struct TsCommonFrameOptions {
    // Rebuild the cache at every paint (the state also shapes the region).
    bool RebuildAtEachPaint = false;
    // Cut a window region from the border mask and keep the corners of the
    // parent's picture (RepairAllCorners) at each paint.
    bool UsesRegion = false;
};

// The region field of a control that has never been painted.
inline HRGN acRegionNeverPainted() { return reinterpret_cast<HRGN>(1); }

class TsCommonFrame {
public:
    // Creates the skin data (with a cache bitmap when CreateCache) for
    // Control and sets its control-type code. Client is the same object as
    // Control, seen through TsFrameClient.
    TsCommonFrame(TControl* Control, TsFrameClient* Client, int ControlTypeCode, TsCommonFrameOptions Options = {},
                  bool CreateCache = true);
    // Stops the fade and frees the skin data and a region still held.
    ~TsCommonFrame();
    TsCommonFrame(const TsCommonFrame&) = delete;
    TsCommonFrame& operator=(const TsCommonFrame&) = delete;

    TsCommonData* SkinData = nullptr;
    TsFadeTimer* FadeTimer = nullptr;
    TacAnimatEvents AnimatEvents{aeGlobalDef};
    TsDisabledKind DisabledKind{dkBlended};
    // The region built by the last rebuild and not yet given to the window;
    // acRegionNeverPainted() before the first paint, 0 once the window owns it.
    HRGN Region = acRegionNeverPainted();

    // The whole window procedure: the control's WndProc override calls only this.
    void WndProc(TMessage& Message);
    // The route: the control is live and its skin data has an active skin.
    bool Skinned() const;
    // WM_PAINT / WM_PRINT; DC 0 paints the window itself inside BeginPaint/EndPaint.
    void PaintHandler(HDC DC);
    // Rebuilds the cache bitmap (background, border with region, content,
    // disabled look).
    void PrepareCache();
    // A state change: fade when Event is animated and the skin allows, else repaint.
    void FadeOrRepaint(TacAnimatEvent Event, bool Half);
    void StopFade();
    // After construction and Loaded: the section resolved and its colours taken.
    void ApplyColors();
    // Drops the region held or owned by the window (the skin went away).
    void RemoveRegion();

    TControl* Control() const { return FControl; }
    TWinControl* WinControl() const { return FWin; }

private:
    bool StageOne(TMessage& M);
    bool SkinnedStage(TMessage& M);
    void DefaultStage(TMessage& M);
    void DeleteHeldRegion();
    bool Designing() const;
    bool DestroyingOwner() const;
    HWND Window() const;

    TControl* FControl;
    TWinControl* FWin;
    TsFrameClient* FClient;
    TsCommonFrameOptions FOptions;
};

