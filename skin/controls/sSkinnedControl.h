// The frame every skinned control shares: the command message first, then the
// skinned or unskinned route, enter/leave, hints, fades, paint and cache.
//
// Writing a skinned control
// -------------------------
//   // sFoo.h
//   class TsFoo : public TsSkinned<TFoo> {       // TFoo: the class-library base
//       CLASSLIB_DECLARE_CLASS(TsFoo)            // own class name = own window class
//   public:
//       explicit TsFoo(TComponent* AOwner) : TsSkinned(AOwner, acCtFoo) {}  // code in sControlTypes.h
//   protected:
//       TsPaintState CurrentState() override;            // the look; default: Active when focused/hot
//       void PaintContent(TsPaintState State) override;  // caption, glyph, focus frame on SkinData()->CacheBmp
//   };
//   // sFoo.cpp
//   CLASSLIB_DEFINE_CLASS(TsFoo, TFoo, ObjProp<TsFoo, TsCommonData>("SkinData", &TsFoo::SkinData))
//
// That is a complete control: the frame answers the command message, picks
// the route, fires OnMouseEnter/OnMouseLeave once per change (so MouseEnter,
// MouseLeave and WndProc are not overridden), tracks focus and hover, fades,
// hides hints during a left press, paints WM_PAINT/WM_PRINT from the cache and
// rebuilds it (background, border, PaintContent, disabled look) only when
// what shapes it changed. Override further only where the control differs:
//   SkinnedMessage(M)       own messages on the skinned route, before the frame (true: handled);
//                           one line per message calling a named handler
//   UnskinnedMessage(M)     the unskinned route (default: enter/leave events, then the base)
//   AfterInherited(M)       default stage, after the class library saw the message
//   NewSkin/RemoveSkin/RefreshSkin(M, Own)   answers to commands 1, 2, 3 (e.g. pass them to children)
//   AfterSkinCommand(Code)  after the frame's answer to 1, 2 or 3 for its own manager
//   RebuildCache(State)     a picture made otherwise than background + border + content
//   AnimateChange(Ev, Half) a change of look shown otherwise than by the fade (a glow)
//   StopFade()              stop that other animation too
// Painters take the caption, state, focus and enabled look from Painting(),
// read once when the rebuild starts, not from the window again. Containers
// (children painting over their picture) use TsSkinnedContainer<Base> of
// sSkinnedContainer.h instead of TsSkinned<Base>.
// Options: TsFrameOptions{UsesRegion} cuts a window region from the border
// mask (push-button shapes). State lives in the frame: SkinData(),
// AnimatEvents(), DisabledKind(), FadeTimer(), Region(), HidHints(); code that
// may free the control (events, menus, modal loops) keeps a copy of Alive()
// and checks it afterwards. A windowless base (TGraphicControl) gets the same
// frame with the window-only steps (region, BeginPaint, focus) compiled out;
// it paints in its Paint() by calling PrepareCache and copying the cache.
#pragma once

#include <windows.h>

#include "Controls.h"
#include "Graphics.h"
#include "sCommonData.h"
#include "sControlTypes.h"
#include "sFade.h"
#include "sGlobals.h"
#include "sGraphUtils.h"

#include <cstring>
#include <memory>
#include <optional>
#include <type_traits>

// Behaviour a control chooses when it builds its frame.
struct TsFrameOptions {
    // Cut a window region from the border mask and keep the corners of the
    // parent's picture at each paint (the state also shapes the region).
    bool UsesRegion = false;
    // The skin data gets a cache bitmap now (otherwise on its first paint).
    bool CreateCache = true;
};

// The window region built by a cache rebuild: held until the paint hands it
// to the window, and handed over only when its shape differs from what the
// window has (SetWindowRgn is a dozen server round trips under Wine).
class TsRegionHolder {
public:
    TsRegionHolder() = default;
    ~TsRegionHolder();
    TsRegionHolder(const TsRegionHolder&) = delete;
    TsRegionHolder& operator=(const TsRegionHolder&) = delete;

    // True at the first paint only (the first region is handed over with redraw).
    bool TakeFirstPaint() {
        const bool first = FNeverPainted;
        FNeverPainted = false;
        return first;
    }
    HRGN Held() const { return FHeld; }
    // Starts a rectangle that the border then cuts.
    HRGN Start(int Width, int Height);
    void DropHeld();
    // Gives the held region to Wnd unless the window has that shape already;
    // Redraw as SetWindowRgn's. What the new shape uncovers is given to the
    // parent to repaint. True when the window got a new region.
    bool HandOver(HWND Wnd, bool Redraw);
    // The skin went: the window loses its region.
    void Remove(HWND Wnd);

private:
    HRGN FHeld = nullptr;
    // A copy of what the window was given last (the window owns the original).
    HRGN FGiven = nullptr;
    // The window FGiven went to (a new window starts without region).
    HWND FGivenTo = nullptr;
    bool FNeverPainted = true;
};

// What shapes a control's picture besides what its skin data reports through
// BGChanged (skin, section, parent commands): compared at each paint, so that
// the cache is rebuilt only when one of these changed.
struct TsCacheShape {
    TsPaintState State = TsPaintState::Normal;
    bool Focused = false;
    bool Enabled = true;
    TRect Bounds{};
    String Caption;
    LOGFONTA Font{};
    TColor FontColor = 0;
    TColor ParentColor = 0;
    bool operator==(const TsCacheShape& O) const;
    bool operator!=(const TsCacheShape& O) const { return !(*this == O); }
};

// Everything a skinned control keeps besides its class-library fields, in one
// place, and the stages that use it. The template below joins it to the
// class-library base; this part is compiled once for every control.
class TsSkinnedFrame {
public:
    TsSkinnedFrame(const TsSkinnedFrame&) = delete;
    TsSkinnedFrame& operator=(const TsSkinnedFrame&) = delete;

    TsCommonData* SkinData() const { return FSkinData.get(); }
    TacAnimatEvents AnimatEvents() const { return FAnimatEvents; }
    void SetAnimatEvents(TacAnimatEvents Value) { FAnimatEvents = Value; }
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    // The fade running now, or nil (the control owns it).
    TsFadeTimer* FadeTimer() const { return FFadeTimer; }

    // The route of this message: live, and the skin data has an active skin.
    bool SkinnedNow() const;
    // The look of this paint; the frame asks once per paint or rebuild.
    virtual TsPaintState CurrentState();
    // WM_PAINT / WM_PRINT; DC 0 paints the window itself inside BeginPaint/EndPaint.
    void PaintSkinned(HDC DC);
    // Rebuilds the cache bitmap for the control's state now (what shapes the
    // picture read once, for the painters: Painting()).
    void PrepareCache();
    // Stops the animation between two looks (the fade; a control's own too).
    virtual void StopFade();

protected:
    // Window: the control itself when it owns a window, else nil.
    TsSkinnedFrame(TControl* Control, TWinControl* Window, TsControlType Type, TsFrameOptions Options);
    virtual ~TsSkinnedFrame();

    // --- Overrideables --------------------------------------------------------
    // The content over background and border (caption, glyph, focus frame).
    virtual void PaintContent(TsPaintState /*State*/) {}
    // The whole cache rebuild: background, border (and region), content,
    // disabled look. A control whose picture is made otherwise replaces it.
    virtual void RebuildCache(TsPaintState State);
    // The cache shown in a paint's DC; a control that leaves part of itself
    // to a child window, or draws over the cache, shows less or more.
    virtual void ShowCache(HDC Target) { CopyCacheTo(Target); }
    // A change of look caused by Event: fade to it or repaint at once.
    virtual void AnimateChange(TacAnimatEvent Event, bool Half) { FadeOrRepaint(Event, Half); }
    // Default stage, after the class library saw the message and the frame's
    // own follow-ups ran (the control is alive).
    virtual void AfterInherited(TMessage& /*Message*/) {}
    // Skinned route, before the frame's own handlers: true leaves the message.
    virtual bool SkinnedMessage(TMessage& /*Message*/) { return false; }
    // After the frame answered command 1, 2 or 3 of the control's own manager
    // (for 2 and 3 before the repaint).
    virtual void AfterSkinCommand(WORD /*Code*/) {}
    // The frame's answers to commands 1, 2 and 3; Own: lParam names the
    // control's manager. True leaves the message.
    virtual bool NewSkin(TMessage& Message, bool Own);
    virtual bool RemoveSkin(TMessage& Message, bool Own);
    virtual bool RefreshSkin(TMessage& Message, bool Own);
    // The unskinned route: the enter/leave events, then the class library.
    virtual void UnskinnedMessage(TMessage& Message);
    // Only one control of this kind in a parent looks hot: entering a sibling
    // takes the hot look from this one (the speed buttons of a tool bar).
    virtual bool SharesHotWithSiblings() const { return false; }
    // The class library's window procedure of the control (its base's WndProc).
    virtual void InheritedWndProc(TMessage& Message) = 0;

    // --- For the control ------------------------------------------------------
    // The whole window procedure: the template's WndProc calls only this.
    void FrameWndProc(TMessage& Message);
    // The control starts going, before its owned components are freed: a fade
    // ticking now outlives its step, never the control's own destructor.
    void FrameGoing();
    // A state change: fade when Event is animated and the skin allows, else repaint.
    void FadeOrRepaint(TacAnimatEvent Event, bool Half);
    // After construction and Loaded: the section resolved and its colours taken.
    void ApplyColors();
    // Drops the region held or owned by the window (the skin went away).
    void RemoveRegion();
    // False once the control is freed: copy it before calling code that may free it.
    std::shared_ptr<const bool> Alive() const { return FAlive; }
    // Hints hidden by this control's left press, restored on its release.
    void HideHintsForOwnPress();
    void RestoreHintsAfterOwnPress();
    bool HidHints() const { return FHidHints; }
    // Fires OnMouseEnter/OnMouseLeave for the control's own message; false
    // when the handler freed the control.
    bool FireMouseEvent(const TMessage& Message);
    bool Designing() const;
    bool DestroyingOwner() const;
    // Enabled, live and focused (as the skin data tracks it) or hot.
    bool ActiveLook() const;
    TsRegionHolder& Region() { return FRegion; }
    // What the cache rebuild running now paints (state, focus, enabled,
    // caption), read once at its start: painters take the caption from here
    // instead of asking the window again.
    const TsCacheShape& Painting() const { return FPainting; }

private:
    void TrackFocus(const TMessage& M);
    void TrackPress(const TMessage& M);
    // The four stages, each a function of its own.
    bool AnswerSkinCommand(TMessage& M);
    bool SkinnedStage(TMessage& M);
    void DefaultStage(TMessage& M);

    // One handler per message of the skinned route.
    bool ParentChanged();
    bool SetFlag9(TMessage& M);
    bool Moved();
    bool FocusGained(TMessage& M);
    bool FocusLost(TMessage& M);
    bool PaintRequested(TMessage& M);
    bool CaptionChanged();
    bool MouseEntered(const TMessage& M);
    bool MouseLeft(const TMessage& M);
    void ShowHoverChange(TacAnimatEvent Event);
    void FontSet();
    void VisibilityChanged();
    void EnabledChanged();
    void ActionUpdate();

    HWND OwnWindow() const;
    // The mouse is captured for this control (its window, or its parent's for it).
    bool HoldsMouse() const;
    void CopyCacheTo(HDC Target);
    TsCacheShape ShapeNow(TsPaintState State) const;

    TControl* FControl;
    TWinControl* FWin;
    TsFrameOptions FOptions;
    std::unique_ptr<TsCommonData> FSkinData;
    TsFadeTimer* FFadeTimer = nullptr;
    TacAnimatEvents FAnimatEvents{aeGlobalDef};
    TsDisabledKind FDisabledKind{dkBlended};
    TsRegionHolder FRegion;
    // The shape of the picture the last paint rebuilt (none before).
    std::optional<TsCacheShape> FShape;
    TsCacheShape FPainting;
    bool FHidHints = false;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The mixin: a class-library control (Base) with the skinned frame. The
// control's window procedure is the frame's; its own MouseEnter/MouseLeave
// are silenced because the frame fires the events.
template <class Base>
class TsSkinned : public Base, public TsSkinnedFrame {
public:
    static constexpr bool Windowed = std::is_base_of_v<TWinControl, Base>;

    TsSkinned(TComponent* AOwner, TsControlType Type, TsFrameOptions Options = {})
        : Base(AOwner), TsSkinnedFrame(this, WindowOf(this), Type, Options) {}
    ~TsSkinned() override {
        // A plain delete skipped BeforeDestruction: the window's last messages
        // come now, while the frame they go through still lives.
        if constexpr (Windowed)
            if (this->HandleAllocated()) this->DestroyHandle();
    }

    void AfterConstruction() override {
        Base::AfterConstruction();
        ApplyColors();
    }
    void BeforeDestruction() override {
        FrameGoing();
        Base::BeforeDestruction();
    }
    void WndProc(TMessage& Message) override { FrameWndProc(Message); }
    // The frame's: false from the moment the frame goes, before the base's.
    using TsSkinnedFrame::Alive;

protected:
    // The window-only steps of the frame are compiled out for windowless bases.
    static TWinControl* WindowOf([[maybe_unused]] TsSkinned* Self) {
        if constexpr (Windowed) return Self;
        else return nullptr;
    }
    void Loaded() override {
        Base::Loaded();
        ApplyColors();
    }
    void MouseEnter() override {}
    void MouseLeave() override {}
    void InheritedWndProc(TMessage& Message) override { Base::WndProc(Message); }
};

// The answers a skinned control gives in every state, whether the skin is on
// or not: that it is skinned, and the application it runs in. True when M was
// one of those questions (and is answered).
bool AnswerSkinnedIdentity(TMessage& M);

// --- Program-wide press state shared by the buttons, track bar and splitter -
// The application's hints are off while a skinned control is held down with
// the left mouse button; acSavedShowHint keeps the value to restore.
extern bool acHintsHidden;
extern bool acSavedShowHint;
// Set only around one synchronous redraw of a released button, so that it
// shows pressed once more.
extern bool acForcePressed;
// Hides the hints for a left press; true when this call hid them (so the
// control that pressed restores them, and only it).
bool HideHintsForPress();
// Restores the hints when HidThem is set, and clears it.
void RestoreHintsAfterPress(bool& HidThem);
