#include "sSkinnedControl.h"

#include "ActnList.h"
#include "Forms.h"
#include "Scopes.h"
#include "sMessages.h"
#include "sSkinManager.h"

bool acHintsHidden = false;
bool acSavedShowHint = true;
bool acForcePressed = false;

bool HideHintsForPress() {
    if (acHintsHidden || !Application) return false;
    acSavedShowHint = Application->ShowHint();
    Application->SetShowHint(false);
    acHintsHidden = true;
    return true;
}

void RestoreHintsAfterPress(bool& HidThem) {
    // A release whose press did not hide the hints must not switch them back
    // on (or off) for the whole program.
    if (!HidThem) return;
    HidThem = false;
    if (!acHintsHidden) return;
    acHintsHidden = false;
    if (Application) Application->SetShowHint(acSavedShowHint);
}

bool AnswerSkinnedIdentity(TMessage& M) {
    if (M.Msg != SM_ALPHACMD) return false;
    switch (M.WParamHi()) {
        case AC_SKINNEDQUERY:
            M.LParam = 1;
            M.Result = 1;
            return true;
        case AC_GETAPPLICATION:
            M.Result = reinterpret_cast<LRESULT>(static_cast<TApplication*>(Application));
            return true;
        default: return false;
    }
}

namespace {

TCustomAction* CustomActionOf(const TControl* C) { return dynamic_cast<TCustomAction*>(C->Action()); }

bool OwnMouse(const TMessage& M, const TControl* C) { return M.LParam == 0 || M.LParam == reinterpret_cast<LPARAM>(C); }

}  // namespace

// ---------------------------------------------------------------------------
// TsCacheShape

bool TsCacheShape::operator==(const TsCacheShape& O) const {
    return State == O.State && Focused == O.Focused && Enabled == O.Enabled && EqualRect(&Bounds, &O.Bounds) &&
           Caption == O.Caption && std::memcmp(&Font, &O.Font, sizeof Font) == 0 && FontColor == O.FontColor &&
           ParentColor == O.ParentColor;
}

// ---------------------------------------------------------------------------
// TsRegionHolder

TsRegionHolder::~TsRegionHolder() {
    DropHeld();
    if (FGiven) DeleteObject(FGiven);
}

HRGN TsRegionHolder::Start(int Width, int Height) {
    // A region of an earlier rebuild that never reached the window would leak.
    DropHeld();
    FHeld = CreateRectRgn(0, 0, Width, Height);
    return FHeld;
}

void TsRegionHolder::DropHeld() {
    if (FHeld) DeleteObject(FHeld);
    FHeld = nullptr;
}

bool TsRegionHolder::HandOver(HWND Wnd, bool Redraw) {
    if (!FHeld) return false;
    if (FGivenTo != Wnd && FGiven) {
        DeleteObject(FGiven);
        FGiven = nullptr;
    }
    if (FGiven && !Redraw && EqualRgn(FGiven, FHeld)) {
        DropHeld();
        return false;
    }
    RECT box{};
    GetWindowRect(Wnd, &box);
    // What the window covered before: its last region, or all of it.
    HRGN uncovered = FGiven ? FGiven : CreateRectRgn(0, 0, box.right - box.left, box.bottom - box.top);
    FGiven = nullptr;
    const bool someUncovered = CombineRgn(uncovered, uncovered, FHeld, RGN_DIFF) > NULLREGION;
    FGiven = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(FGiven, FHeld, nullptr, RGN_COPY);
    FGivenTo = Wnd;
    SetWindowRgn(Wnd, FHeld, Redraw ? TRUE : FALSE);
    FHeld = nullptr;
    // The parent shows itself where the window no longer is (no system
    // button corners left behind when a skin comes back).
    HWND parent = GetParent(Wnd);
    if (someUncovered && parent) {
        POINT origin{box.left, box.top};
        ScreenToClient(parent, &origin);
        OffsetRgn(uncovered, origin.x, origin.y);
        InvalidateRgn(parent, uncovered, TRUE);
    }
    DeleteObject(uncovered);
    return true;
}

void TsRegionHolder::Remove(HWND Wnd) {
    DropHeld();
    if (FGiven) DeleteObject(FGiven);
    FGiven = nullptr;
    FGivenTo = nullptr;
    if (Wnd) SetWindowRgn(Wnd, nullptr, FALSE);
}

// ---------------------------------------------------------------------------
// TsSkinnedFrame: life and state

TsSkinnedFrame::TsSkinnedFrame(TControl* Control, TWinControl* Window, TsControlType Type, TsFrameOptions Options)
    : FControl(Control),
      FWin(Window),
      FOptions(Options),
      FSkinData(std::make_unique<TsCommonData>(Control, Options.CreateCache)) {
    FSkinData->ControlTypeCode = Type;
}

TsSkinnedFrame::~TsSkinnedFrame() {
    *FAlive = false;
    // A plain delete skipped FrameGoing.
    FrameGoing();
}

void TsSkinnedFrame::FrameGoing() {
    ::StopFade(FFadeTimer);
    RestoreHintsAfterPress(FHidHints);
}

bool TsSkinnedFrame::Designing() const { return FControl->ComponentState().Contains(csDesigning); }
bool TsSkinnedFrame::DestroyingOwner() const { return FControl->ComponentState().Contains(csDestroying); }
bool TsSkinnedFrame::HoldsMouse() const {
    TWinControl* w = FWin ? FWin : FControl->Parent();
    return w && w->HandleAllocated() && GetCapture() == w->Handle() && (FWin || GetCaptureControl() == FControl);
}

HWND TsSkinnedFrame::OwnWindow() const { return FWin && FWin->HandleAllocated() ? FWin->Handle() : nullptr; }

void TsSkinnedFrame::SetDisabledKind(TsDisabledKind Value) {
    if (FDisabledKind == Value) return;
    FDisabledKind = Value;
    FSkinData->BGChanged = true;
    if (!FControl->ComponentState().Contains(csLoading)) InvalidateOwner(SkinData());
}

void TsSkinnedFrame::StopFade() { ::StopFade(FFadeTimer); }

void TsSkinnedFrame::PrepareCache() {
    const TsPaintState state = CurrentState();
    FPainting = ShapeNow(state);
    RebuildCache(state);
}

void TsSkinnedFrame::ApplyColors() { ApplySectionColors(SkinData()); }

void TsSkinnedFrame::RemoveRegion() { FRegion.Remove(OwnWindow()); }

bool TsSkinnedFrame::SkinnedNow() const { return IsControlLive(FControl) && HasSkin(SkinData(), /*CheckActive=*/true); }

TsPaintState TsSkinnedFrame::CurrentState() { return ActiveLook() ? TsPaintState::Active : TsPaintState::Normal; }

void TsSkinnedFrame::FadeOrRepaint(TacAnimatEvent Event, bool Half) {
    ::FadeOrRepaint(FFadeTimer, SkinData(), Half, AnimEventEnabled(Event, FAnimatEvents), 1);
}

void TsSkinnedFrame::HideHintsForOwnPress() {
    if (HideHintsForPress()) FHidHints = true;
}

void TsSkinnedFrame::RestoreHintsAfterOwnPress() { RestoreHintsAfterPress(FHidHints); }

bool TsSkinnedFrame::FireMouseEvent(const TMessage& M) {
    if (M.Msg != CM_MOUSEENTER && M.Msg != CM_MOUSELEAVE) return true;
    if (!OwnMouse(M, FControl) || !FControl->Enabled() || Designing()) return true;
    const TNotifyEvent& event = M.Msg == CM_MOUSEENTER ? FControl->OnMouseEnter : FControl->OnMouseLeave;
    if (!event) return true;
    const std::shared_ptr<bool> alive = FAlive;
    FireEvent(event, FControl);
    return *alive;
}

// ---------------------------------------------------------------------------
// The window procedure

void TsSkinnedFrame::FrameWndProc(TMessage& M) {
    TrackFocus(M);
    TrackPress(M);
    if (AnswerSkinCommand(M)) return;
    if (!SkinnedNow()) {
        UnskinnedMessage(M);
        return;
    }
    if (SkinnedMessage(M)) return;
    if (SkinnedStage(M)) return;
    DefaultStage(M);
}

void TsSkinnedFrame::TrackFocus(const TMessage& M) {
    // Whatever the route and whatever happens to the message next, the
    // skin data knows where the focus is: a control disabled or hidden while
    // focused must not look focused later, and a paint need not ask the system.
    if (!FWin) return;
    if (M.Msg == WM_SETFOCUS) SkinData()->Focused = true;
    else if (M.Msg == WM_KILLFOCUS) SkinData()->Focused = false;
}

void TsSkinnedFrame::TrackPress(const TMessage& M) {
    switch (M.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // No hint pops up over a skinned control held down.
            if (FControl->Enabled() && !Designing() && SkinnedNow()) HideHintsForOwnPress();
            break;
        case WM_LBUTTONUP:
        case WM_CANCELMODE:
        case WM_CAPTURECHANGED:
            // Every end of this control's own press brings them back, whatever
            // its handlers do to the control (disable it, unskin it): the
            // release, a cancel, the mouse taken by another window.
            RestoreHintsAfterOwnPress();
            break;
        case CM_MOUSELEAVE:
            // Left without holding the mouse: the release goes elsewhere.
            if (FHidHints && !HoldsMouse()) RestoreHintsAfterOwnPress();
            break;
        case WM_MOUSEMOVE:
            // The button is up: its release went elsewhere.
            if (FHidHints && !(M.WParam & MK_LBUTTON)) RestoreHintsAfterOwnPress();
            break;
        default: break;
    }
}

bool TsSkinnedFrame::ActiveLook() const {
    const TsCommonData* d = SkinData();
    const TComponentState st = FControl->ComponentState();
    if (st.Contains(csDestroying) || st.Contains(csDesigning) || !FControl->Enabled()) return false;
    return d->Focused || (d->MouseAbove && !IsNoHoverCode(d->ControlTypeCode));
}

void TsSkinnedFrame::UnskinnedMessage(TMessage& M) {
    if (!FireMouseEvent(M)) return;
    InheritedWndProc(M);
}

bool TsSkinnedFrame::NewSkin(TMessage& M, bool Own) {
    if (!Own) return false;
    StopFade();
    CommonMessage(M, SkinData());
    AfterSkinCommand(AC_NEWSKIN);
    return true;
}

bool TsSkinnedFrame::RemoveSkin(TMessage& M, bool Own) {
    if (!Own || DestroyingOwner()) return false;
    StopFade();
    CommonMessage(M, SkinData());
    if (FOptions.UsesRegion) RemoveRegion();
    AfterSkinCommand(AC_REMOVESKIN);
    FControl->Repaint();
    return true;
}

bool TsSkinnedFrame::RefreshSkin(TMessage& M, bool Own) {
    if (!Own) return false;
    StopFade();
    CommonMessage(M, SkinData());
    AfterSkinCommand(AC_REFRESH);
    if (!acSharedPaintDC) FControl->Repaint();
    return true;
}

bool TsSkinnedFrame::AnswerSkinCommand(TMessage& M) {
    if (M.Msg == WM_KILLFOCUS && DestroyingOwner()) return true;
    if (M.Msg != SM_ALPHACMD) return false;
    if (AnswerSkinnedIdentity(M)) return true;
    switch (M.WParamHi()) {
        case AC_NEWSKIN: return NewSkin(M, OwnManager(SkinData(), M.LParam));
        case AC_REMOVESKIN: return RemoveSkin(M, OwnManager(SkinData(), M.LParam));
        case AC_REFRESH: return RefreshSkin(M, OwnManager(SkinData(), M.LParam));
        case AC_STOPFADE: StopFade(); return true;
        case AC_SHAREDHOT: M.LParam = M.Result = SharesHotWithSiblings() ? 1 : 0; return true;
        case AC_PREPARECACHE: PrepareCache(); return false;
        // The rebuild made for the fade built a region nobody will use.
        case AC_FADEFRAME: FRegion.DropHeld(); return false;
        default: return false;
    }
}

bool TsSkinnedFrame::SkinnedStage(TMessage& M) {
    if (M.Msg == SM_ALPHACMD) {
        switch (M.WParamHi()) {
            case AC_PARENTCHANGED: return ParentChanged();
            case AC_SETFLAG9: return SetFlag9(M);
            default: return false;
        }
    }
    switch (M.Msg) {
        case WM_MOVE: return Moved();
        case WM_WINDOWPOSCHANGED: SkinData()->BGChanged = true; return false;
        case WM_SETFOCUS:
        case CM_ENTER: return FocusGained(M);
        case WM_KILLFOCUS:
        case CM_EXIT: return FocusLost(M);
        // Enabling is shown on CM_ENABLEDCHANGED; the system would paint over the skin here.
        case WM_ENABLE: return true;
        case WM_PAINT: return PaintRequested(M);
        case WM_ERASEBKGND:
        case WM_UPDATEUISTATE: M.Result = 1; return true;
        case WM_PRINT: PaintSkinned(reinterpret_cast<HDC>(M.WParam)); return true;
        case CM_TEXTCHANGED: return CaptionChanged();
        case CM_MOUSEENTER: return MouseEntered(M);
        case CM_MOUSELEAVE: return MouseLeft(M);
        case CM_UIACTIVATE: SkinData()->Updating = false; return false;
        default: return false;
    }
}

void TsSkinnedFrame::DefaultStage(TMessage& M) {
    // What the shared handler answered (a command with a reply) must not be
    // overwritten by the system's default procedure.
    if (CommonMessage(M, SkinData())) return;
    const std::shared_ptr<bool> alive = FAlive;
    InheritedWndProc(M);
    if (!*alive) return;
    switch (M.Msg) {
        case WM_SETFONT: FontSet(); break;
        case CM_VISIBLECHANGED: VisibilityChanged(); break;
        case CM_ENABLEDCHANGED: EnabledChanged(); break;
        case CM_ACTIONUPDATE: ActionUpdate(); break;
        default: break;
    }
    if (*alive) AfterInherited(M);
}

// --- Handlers of the skinned route --------------------------------------------

bool TsSkinnedFrame::ParentChanged() {
    if (!IsUpdating(SkinData())) return false;
    SkinData()->Updating = false;
    FControl->Repaint();
    return true;
}

bool TsSkinnedFrame::SetFlag9(TMessage& M) {
    if (SkinData()->Command9Flag) PrepareCache();
    CommonMessage(M, SkinData());
    return true;
}

bool TsSkinnedFrame::Moved() {
    const TsGeneralData* s = SkinData()->Section();
    if (s && (s->Transparency > 0 || (s->HotTransparency > 0 && ControlStateIndex(SkinData())))) {
        SkinData()->BGChanged = true;
        FControl->Repaint();
    }
    return false;
}

bool TsSkinnedFrame::FocusGained(TMessage& M) {
    if (Designing() || !FControl->Visible()) return false;
    if (!FControl->Enabled() || DestroyingOwner()) return true;
    // OnEnter may free the control.
    const std::shared_ptr<bool> alive = FAlive;
    InheritedWndProc(M);
    if (!*alive) return true;
    if (FFadeTimer) FadeStep(FFadeTimer);
    else InvalidateOwner(SkinData());
    return true;
}

bool TsSkinnedFrame::FocusLost(TMessage& M) {
    if (Designing() || !FControl->Visible()) return false;
    if (!FControl->Enabled() || DestroyingOwner()) return true;
    if (FFadeTimer) StopFade();
    // OnExit may free the control.
    const std::shared_ptr<bool> alive = FAlive;
    InheritedWndProc(M);
    if (!*alive) return true;
    if (HasSkin(SkinData(), /*CheckActive=*/false)) {
        SkinData()->Focused = false;
        InvalidateOwner(SkinData());
    }
    return true;
}

bool TsSkinnedFrame::PaintRequested(TMessage& M) {
    // A windowless control paints in its Paint, on the canvas its parent gives.
    if (!FWin) return false;
    if (!FControl->Parent()) return true;
    PaintSkinned(reinterpret_cast<HDC>(M.WParam));
    return true;
}

bool TsSkinnedFrame::CaptionChanged() {
    if (DestroyingOwner()) return false;
    InvalidateOwner(SkinData());
    return true;
}

bool TsSkinnedFrame::MouseEntered(const TMessage& M) {
    if (!OwnMouse(M, FControl) || !FControl->Enabled() || Designing() || SkinData()->MouseAbove) return false;
    // The handler may free the control: nothing of it is touched afterwards.
    if (!FireMouseEvent(M)) return true;
    SkinData()->MouseAbove = true;
    ShowHoverChange(aeMouseEnter);
    return false;
}

bool TsSkinnedFrame::MouseLeft(const TMessage& M) {
    if (!OwnMouse(M, FControl) || !FControl->Enabled() || Designing()) return false;
    if (!FireMouseEvent(M)) return true;
    SkinData()->MouseAbove = false;
    ShowHoverChange(aeMouseLeave);
    return false;
}

void TsSkinnedFrame::ShowHoverChange(TacAnimatEvent Event) {
    // A control that never looks hot (a panel) has nothing to show.
    if (IsNoHoverCode(SkinData()->ControlTypeCode)) return;
    SkinData()->BGChanged = false;
    AnimateChange(Event, /*Half=*/false);
}

void TsSkinnedFrame::FontSet() {
    if (!FControl->Visible()) return;
    SkinData()->Updating = false;
    InvalidateOwner(SkinData());
}

void TsSkinnedFrame::VisibilityChanged() {
    if (DestroyingOwner()) return;
    SkinData()->BGChanged = true;
    SkinData()->Updating = false;
    if (FControl->Visible()) FControl->Repaint();
}

void TsSkinnedFrame::EnabledChanged() {
    if (!FControl->Visible() || DestroyingOwner()) return;
    SkinData()->Updating = false;
    InvalidateOwner(SkinData());
}

void TsSkinnedFrame::ActionUpdate() {
    if (TCustomAction* a = CustomActionOf(FControl)) FControl->SetEnabled(a->Enabled());
}

// ---------------------------------------------------------------------------
// Painting

void TsSkinnedFrame::PaintSkinned(HDC DC) {
    HWND wnd = OwnWindow();
    // Only a real paint may validate the window: a paint into a given DC
    // (WM_PRINT, a parent painting us) must leave a pending update alone.
    const TPaintScope paint(wnd, DC);
    TsCommonData* d = SkinData();
    d->Updating = IsUpdating(d);
    if (d->Updating) return;
    // A running fade paints its own frames.
    if (FFadeTimer && FFadeTimer->Enabled()) return;
    TWinControl* parent = FControl->Parent();
    d->BGChanged = d->BGChanged || d->HalfVisible || (parent && QuerySkinCommand(parent, AC_GETHALFVISIBLE));
    if (parent) d->HalfVisible = !RectContainsRect(parent->ClientRect(), FControl->BoundsRect());
    const bool redraw = FRegion.TakeFirstPaint() || acSkinChanging;
    FRegion.DropHeld();
    const TsPaintState state = CurrentState();
    TsCacheShape shape = ShapeNow(state);
    const bool rebuild = d->BGChanged || !FShape || *FShape != shape || !d->CacheBmp || d->CacheBmp->Empty();
    if (rebuild) {
        FPainting = shape;
        RebuildCache(state);
        FShape = std::move(shape);
    }
    // The region and corners follow a rebuild; an unchanged picture keeps them.
    if (FOptions.UsesRegion && rebuild) {
        RepairAllCorners(d, acStateIndex(state));
        const bool intoShared = DC != nullptr && DC == acSharedPaintDC;
        const bool alignPending = FControl->ControlState().Contains(csAlignmentNeeded) ||
                                  (parent && parent->ControlState().Contains(csAlignmentNeeded));
        if (wnd && !Designing() && !alignPending && !intoShared) FRegion.HandOver(wnd, redraw);
    }
    if (paint.DC()) {
        ShowCache(paint.DC());
    } else if (!wnd) {
        const TControlDC target(FControl);
        if (target.DC()) CopyCacheTo(target);
    }
}

TsCacheShape TsSkinnedFrame::ShapeNow(TsPaintState State) const {
    TsCacheShape s;
    s.State = State;
    s.Focused = SkinData()->Focused;
    TCustomAction* action = CustomActionOf(FControl);
    s.Enabled = FControl->Enabled() && !(action && !action->Enabled());
    s.Bounds = FControl->BoundsRect();
    s.Caption = FControl->Caption();
    if (TFont* f = FControl->Font()) {
        s.Font = f->LogFont();
        s.FontColor = f->Color();
    }
    if (TWinControl* parent = FControl->Parent()) s.ParentColor = parent->Color();
    return s;
}

void TsSkinnedFrame::CopyCacheTo(HDC Target) {
    TBitmap* cache = SkinData()->CacheBmp;
    if (!cache || cache->Empty()) return;
    const TSavedDC saved(Target);
    BitBlt(Target, 0, 0, FControl->Width(), FControl->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSkinnedFrame::RebuildCache(TsPaintState State) {
    TsCommonData* d = SkinData();
    TWinControl* parent = FControl->Parent();
    TCacheInfo ci = ParentCacheOf(d);
    PrepareCacheBmp(d);
    const int state = acStateIndex(State);
    acParentColor = acNoColor;
    if (!ci.Ready && parent) {
        acParentColor = acParentColor2 = ColorToRGB(parent->Color());
    } else if (ci.Ready && parent && !NeedsParentBackground(d) && acParentColor == acNoColor) {
        QueryParentColor(parent);
    }
    const int w = FControl->Width(), h = FControl->Height();
    const TPoint offset{FControl->Left(), FControl->Top()};
    PaintDataItemBackground(d, ci, state, d->CacheBmp, offset, TRect{0, 0, w, h});
    HRGN region = FOptions.UsesRegion ? FRegion.Start(w, h) : nullptr;
    TsSkinManager* m = d->GetSkinManager();
    if (IsValidMaskIndex(m, d->BorderIndex))
        PaintBorderWithRegion(d->CacheBmp, region, region != nullptr, state, d->BorderIndex, m);
    PaintContent(State);
    TCustomAction* action = CustomActionOf(FControl);
    if (!FControl->Enabled() || (action && !action->Enabled())) {
        ci = ParentCacheOf(d);
        acParentColor = acNoColor;
        ApplyDisabledLook(d->CacheBmp, FDisabledKind, parent, offset, ci);
    }
    acParentColor = acParentColor2 = acNoColor;
    d->BGChanged = false;
}
