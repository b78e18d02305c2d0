#include "sCommonFrame.h"

#include "ActnList.h"
#include "Forms.h"
#include "sMessages.h"
#include "sSkinManager.h"

namespace {

bool IsRealRegion(HRGN R) { return R != nullptr && R != acRegionNeverPainted(); }

TCustomAction* CustomActionOf(const TControl* C) { return dynamic_cast<TCustomAction*>(C->Action()); }

}  // namespace

TsCommonFrame::TsCommonFrame(TControl* Control, TsFrameClient* Client, int ControlTypeCode, TsCommonFrameOptions Options,
                             bool CreateCache)
    : FControl(Control), FWin(dynamic_cast<TWinControl*>(Control)), FClient(Client), FOptions(Options) {
    SkinData = new TsCommonData(Control, CreateCache);
    SkinData->ControlTypeCode = ControlTypeCode;
}

TsCommonFrame::~TsCommonFrame() {
    StopFade();
    DeleteHeldRegion();
    delete SkinData;
    SkinData = nullptr;
}

bool TsCommonFrame::Designing() const { return FControl->ComponentState().Contains(csDesigning); }
bool TsCommonFrame::DestroyingOwner() const { return FControl->ComponentState().Contains(csDestroying); }
HWND TsCommonFrame::Window() const { return FWin && FWin->HandleAllocated() ? FWin->Handle() : nullptr; }

void TsCommonFrame::DeleteHeldRegion() {
    if (IsRealRegion(Region)) {
        DeleteObject(Region);
        Region = nullptr;
    }
}

void TsCommonFrame::StopFade() { ::StopFade(FadeTimer); }

void TsCommonFrame::ApplyColors() { ApplySectionColors(SkinData); }

void TsCommonFrame::RemoveRegion() {
    DeleteHeldRegion();
    Region = nullptr;
    if (HWND w = Window()) SetWindowRgn(w, nullptr, FALSE);
}

bool TsCommonFrame::Skinned() const { return IsControlLive(FControl) && HasSkin(SkinData, true); }

void TsCommonFrame::FadeOrRepaint(TacAnimatEvent Event, bool Half) {
    ::FadeOrRepaint(FadeTimer, SkinData, Half, AnimEventEnabled(Event, AnimatEvents), 1);
}

// ---------------------------------------------------------------------------
// The window procedure

void TsCommonFrame::WndProc(TMessage& M) {
    if (StageOne(M)) return;
    if (!Skinned()) {
        if (M.Msg == CM_MOUSEENTER || M.Msg == CM_MOUSELEAVE) {
            // The control's MouseEnter/MouseLeave are silenced: the frame
            // fires the events, so that each is fired once.
            const bool own = M.LParam == 0 || M.LParam == reinterpret_cast<LPARAM>(FControl);
            if (own && FControl->Enabled() && !Designing()) {
                const TNotifyEvent& ev = M.Msg == CM_MOUSEENTER ? FControl->OnMouseEnter : FControl->OnMouseLeave;
                if (ev) ev(FControl);
            }
        }
        FClient->InheritedWndProc(M);
        return;
    }
    if (FClient->SkinnedMessage(M)) return;
    if (SkinnedStage(M)) return;
    DefaultStage(M);
}

bool TsCommonFrame::StageOne(TMessage& M) {
    if (M.Msg == WM_KILLFOCUS && DestroyingOwner()) return true;
    if (M.Msg != SM_ALPHACMD) return false;
    if (AnswerSkinnedIdentity(M)) return true;
    const WORD code = M.WParamHi();
    const bool own = OwnManager(SkinData, M.LParam);
    switch (code) {
        case AC_NEWSKIN:
            if (!own) return false;
            StopFade();
            CommonMessage(M, SkinData);
            FClient->SkinCommandDone(code);
            return true;
        case AC_REMOVESKIN:
            if (!own || DestroyingOwner()) return false;
            StopFade();
            CommonMessage(M, SkinData);
            if (FOptions.UsesRegion) RemoveRegion();
            FClient->SkinCommandDone(code);
            FControl->Repaint();
            return true;
        case AC_REFRESH:
            if (!own) return false;
            StopFade();
            CommonMessage(M, SkinData);
            FClient->SkinCommandDone(code);
            if (!acSharedPaintDC) FControl->Repaint();
            return true;
        case AC_STOPFADE:
            StopFade();
            return true;
        case AC_PREPARECACHE:
            PrepareCache();
            return false;
        case AC_FADEFRAME:
            // The rebuild made for the fade built a region nobody will use.
            if (FOptions.UsesRegion) DeleteHeldRegion();
            return false;
        default:
            return false;
    }
}

bool TsCommonFrame::SkinnedStage(TMessage& M) {
    const bool own = M.LParam == 0 || M.LParam == reinterpret_cast<LPARAM>(FControl);
    if (M.Msg == SM_ALPHACMD) {
        switch (M.WParamHi()) {
            case AC_PARENTCHANGED:
                if (!IsUpdating(SkinData)) return false;
                SkinData->Updating = false;
                FControl->Repaint();
                return true;
            case AC_SETFLAG9:
                if (SkinData->Command9Flag) PrepareCache();
                CommonMessage(M, SkinData);
                return true;
            default:
                return false;
        }
    }
    switch (M.Msg) {
        case WM_MOVE: {
            const TsGeneralData* s = SkinData->Section();
            if (s && (s->Transparency > 0 || (s->HotTransparency > 0 && ControlStateIndex(SkinData)))) {
                SkinData->BGChanged = true;
                FControl->Repaint();
            }
            return false;
        }
        case WM_WINDOWPOSCHANGED:
            SkinData->BGChanged = true;
            return false;
        case WM_SETFOCUS:
        case CM_ENTER:
            if (Designing() || !FControl->Visible()) return false;
            if (!FControl->Enabled() || DestroyingOwner()) return true;
            FClient->InheritedWndProc(M);
            if (FadeTimer) FadeStep(FadeTimer);
            else InvalidateOwner(SkinData);
            return true;
        case WM_KILLFOCUS:
        case CM_EXIT:
            if (Designing() || !FControl->Visible()) return false;
            if (!FControl->Enabled() || DestroyingOwner()) return true;
            if (FadeTimer) StopFade();
            FClient->InheritedWndProc(M);
            if (HasSkin(SkinData, false)) {
                SkinData->Focused = false;
                InvalidateOwner(SkinData);
            }
            return true;
        case WM_ENABLE:
            // Enabling is shown on CM_ENABLEDCHANGED; the system button would
            // paint over the skin here.
            return true;
        case WM_PAINT:
            if (!FControl->Parent()) return true;
            PaintHandler(reinterpret_cast<HDC>(M.WParam));
            return true;
        case WM_ERASEBKGND:
        case WM_UPDATEUISTATE:
            M.Result = 1;
            return true;
        case WM_PRINT:
            PaintHandler(reinterpret_cast<HDC>(M.WParam));
            return true;
        case CM_TEXTCHANGED:
            if (DestroyingOwner()) return false;
            InvalidateOwner(SkinData);
            return true;
        case CM_MOUSEENTER:
            if (own && FControl->Enabled() && !Designing() && !SkinData->MouseAbove) {
                if (FControl->OnMouseEnter) FControl->OnMouseEnter(FControl);
                SkinData->MouseAbove = true;
                SkinData->BGChanged = false;
                FadeOrRepaint(aeMouseEnter, false);
            }
            return false;
        case CM_MOUSELEAVE:
            if (own && FControl->Enabled() && !Designing()) {
                if (FControl->OnMouseLeave) FControl->OnMouseLeave(FControl);
                SkinData->MouseAbove = false;
                SkinData->BGChanged = false;
                FadeOrRepaint(aeMouseLeave, false);
            }
            return false;
        case CM_UIACTIVATE:
            SkinData->Updating = false;
            return false;
        default:
            return false;
    }
}

void TsCommonFrame::DefaultStage(TMessage& M) {
    // What the shared handler answered (a command with a reply) must not be
    // overwritten by the system's default procedure.
    if (CommonMessage(M, SkinData)) return;
    FClient->InheritedWndProc(M);
    switch (M.Msg) {
        case WM_SETFONT:
            if (FControl->Visible()) {
                SkinData->Updating = false;
                InvalidateOwner(SkinData);
            }
            break;
        case CM_VISIBLECHANGED:
            if (DestroyingOwner()) break;
            SkinData->BGChanged = true;
            SkinData->Updating = false;
            if (FControl->Visible()) FControl->Repaint();
            break;
        case CM_ENABLEDCHANGED:
            if (FControl->Visible() && !DestroyingOwner()) {
                SkinData->Updating = false;
                InvalidateOwner(SkinData);
            }
            break;
        case CM_ACTIONUPDATE:
            if (TCustomAction* a = CustomActionOf(FControl)) FControl->SetEnabled(a->Enabled());
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------
// Painting

void TsCommonFrame::PaintHandler(HDC DC) {
    HWND wnd = Window();
    PAINTSTRUCT ps{};
    // Only a real paint may validate the window: a paint into a given DC
    // (WM_PRINT, a parent painting us) must leave a pending update alone.
    const bool begun = DC == nullptr && wnd != nullptr;
    if (begun) BeginPaint(wnd, &ps);
    [&] {
        SkinData->Updating = IsUpdating(SkinData);
        if (SkinData->Updating) return;
        if (FadeTimer && FadeTimer->Enabled()) return;
        TWinControl* parent = FControl->Parent();
        SkinData->BGChanged = SkinData->BGChanged || SkinData->HalfVisible ||
                              (parent && QuerySkinCommand(parent, AC_GETHALFVISIBLE));
        if (parent) SkinData->HalfVisible = !RectContainsRect(parent->ClientRect(), FControl->BoundsRect());
        const bool redraw = Region == acRegionNeverPainted() || acSkinChanging;
        DeleteHeldRegion();
        Region = nullptr;
        if (FOptions.RebuildAtEachPaint) SkinData->BGChanged = true;
        if (SkinData->BGChanged) PrepareCache();
        if (FOptions.UsesRegion) {
            RepairAllCorners(SkinData, FClient->CurrentState());
            const bool intoShared = DC != nullptr && DC == acSharedPaintDC;
            const bool alignPending = FControl->ControlState().Contains(csAlignmentNeeded) ||
                                      (parent && parent->ControlState().Contains(csAlignmentNeeded));
            if (wnd && IsRealRegion(Region) && !Designing() && !alignPending && !intoShared) {
                SetWindowRgn(wnd, Region, redraw ? TRUE : FALSE);
                Region = nullptr;
            }
        }
        TBitmap* cache = SkinData->CacheBmp;
        if (!cache || cache->Empty()) return;
        HDC target = DC;
        HWND released = nullptr;
        if (!target) {
            if (wnd) {
                target = GetDC(wnd);
                released = wnd;
            } else {
                target = FControl->GetDeviceContext(released);
            }
        }
        if (!target) return;
        const int saved = SaveDC(target);
        BitBlt(target, 0, 0, FControl->Width(), FControl->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
        RestoreDC(target, saved);
        if (!DC) ReleaseDC(released, target);
    }();
    if (begun) EndPaint(wnd, &ps);
}

void TsCommonFrame::PrepareCache() {
    TsCommonData* d = SkinData;
    TWinControl* parent = FControl->Parent();
    TCacheInfo ci = ParentCacheOf(d);
    PrepareCacheBmp(d);
    const int state = FClient->CurrentState();
    acParentColor = acNoColor;
    if (!ci.Ready && parent) {
        acParentColor = acParentColor2 = ColorToRGB(parent->Color());
    } else if (ci.Ready && parent && !NeedsParentBackground(d) && acParentColor == acNoColor) {
        QueryParentColor(parent);
    }
    const int w = FControl->Width(), h = FControl->Height();
    const TPoint offset{FControl->Left(), FControl->Top()};
    PaintDataItemBackground(d, ci, state, d->CacheBmp, offset, TRect{0, 0, w, h});
    if (FOptions.UsesRegion) {
        // A region of an earlier rebuild that never reached the window would leak.
        DeleteHeldRegion();
        Region = CreateRectRgn(0, 0, w, h);
    }
    TsSkinManager* m = d->GetSkinManager();
    if (IsValidMaskIndex(m, d->BorderIndex)) {
        const bool withRegion = FOptions.UsesRegion && IsRealRegion(Region);
        PaintBorderWithRegion(d->CacheBmp, withRegion ? Region : nullptr, withRegion, state, d->BorderIndex, m);
    }
    FClient->PaintContent();
    TCustomAction* action = CustomActionOf(FControl);
    if (!FControl->Enabled() || (action && !action->Enabled())) {
        ci = ParentCacheOf(d);
        acParentColor = acNoColor;
        ApplyDisabledLook(d->CacheBmp, DisabledKind, parent, offset, ci);
    }
    acParentColor = acParentColor2 = acNoColor;
    d->BGChanged = false;
}
