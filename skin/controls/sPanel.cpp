#include "sPanel.h"

#include "Forms.h"

#include <windowsx.h>
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinText.h"
#include "Scopes.h"

CLASSLIB_DEFINE_CLASS(TsPanel, TPanel, ObjProp<TsPanel, TsCommonData>("SkinData", &TsPanel::SkinData))
// clang-format off
CLASSLIB_DEFINE_CLASS(TsDragBar, TsPanel,
    ObjProp<TsDragBar, TControl>("DraggedControl", &TsDragBar::DraggedControl, &TsDragBar::SetDraggedControl))
// clang-format on

namespace {

// The whole panel with its frame and children, erased and painted at once.
constexpr UINT kRedrawAllNow = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;

}  // namespace

// ---------------------------------------------------------------------------
// TsPanel

TsPanel::TsPanel(TComponent* AOwner) : TsSkinnedContainer(AOwner, acCtPanel) {}

void TsPanel::PaintWindow(HDC DC) {
    TPanel::PaintWindow(DC);
    PaintAll(DC, /*SendUpdated=*/true);
}

void TsPanel::Paint() {
    if (!(IsControlLive(this) && HasSkin(SkinData(), /*CheckActive=*/false)) && OnPaint) {
        if (!(FComponentState.Contains(csLoading) && FVisible)) OnPaint(this, Canvas());
        return;
    }
    TPanel::Paint();
}

void TsPanel::RebuildCache(TsPaintState State) {
    TsCommonData* d = SkinData();
    PrepareCacheBmp(d);
    TCacheInfo ci = ParentCacheOf(d);
    PaintDataItem(d, ci, PaintsBorderCentre(), d->CacheBmp, TPoint{FLeft, FTop}, TRect{0, 0, FWidth, FHeight},
                  acStateIndex(State));
    int b = FPanelBorderWidth;
    if (FBevelOuter != bvNone) b += FBevelWidth;
    if (FBevelInner != bvNone) b += FBevelWidth;
    TRect r = ClientRect();
    InflateRect(&r, -b, -b);
    WriteCaption(r);
    if (OnPaint) OnPaint(this, d->CacheBmp->Canvas());
    d->BGChanged = false;
}

void TsPanel::WriteCaption(TRect R) {
    TsCommonData* d = SkinData();
    TCanvas* canvas = d->CacheBmp->Canvas();
    canvas->SetFont(FFont);
    canvas->Brush()->SetStyle(bsClear);
    const int h = canvas->TextHeight("W");
    R.top = (R.top + R.bottom - h) / 2;
    R.bottom = R.top + h;
    UINT flags = TextFlagsForAlignment(this, FAlignment) | DT_NOPREFIX;
    WriteSkinTextWeb(canvas, Painting().Caption, Enabled(), /*Hot=*/false, d, flags, R);
}

void TsPanel::PaintAll(HDC DC, bool SendUpdated) {
    TsCommonData* d = SkinData();
    if (!Showing() || !d || !HasSkin(d, /*CheckActive=*/false)) return;
    d->Updating = IsUpdating(d);
    if (d->Updating) return;
    const bool changed = d->HalfVisible || CacheOutOfDate();
    if (!DC) DC = Canvas()->Handle();
    d->HalfVisible = false;
    if (NeedsParentBackground(d)) {
        RECT clip{0, 0, 0, 0};
        GetClipBox(DC, &clip);
        d->HalfVisible = clip.right - clip.left != FWidth || clip.bottom - clip.top != FHeight;
    }
    if (changed && !d->Command9Flag) PrepareCache();
    PaintChildControlsInto(this, d, TPoint{0, 0}, 0, 0, /*CornerRepair=*/true, DC, TRect{0, 0, FWidth, FHeight});
    PaintGraphicChildren(DC, this);
    if (SendUpdated) RefreshChildControls(this);
}

// --- Skin commands: the panel passes them on to its children ------------------

bool TsPanel::NewSkin(TMessage& M, bool Own) {
    FControlStyle.Exclude(csOpaque);
    return TsSkinnedContainer::NewSkin(M, Own);
}

bool TsPanel::RemoveSkin(TMessage& M, bool Own) {
    FControlStyle.Exclude(csOpaque);
    return TsSkinnedContainer::RemoveSkin(M, Own);
}

void TsPanel::OwnSkinCommand(TMessage& M, WORD Code) {
    CommonMessage(M, SkinData());
    if (Code == AC_REMOVESKIN) Invalidate();
}

void TsPanel::ChildrenToldSkin(WORD Code, bool Own) {
    if (Own && Code == AC_REFRESH) Repaint();
}

// --- Unskinned route: OnPaint replaces the panel's drawing ---------------------

void TsPanel::UnskinnedMessage(TMessage& M) {
    if (OnPaint) {
        switch (M.Msg) {
            case WM_ERASEBKGND: M.Result = 1; return;
            case WM_PRINT: PrintUnskinned(reinterpret_cast<HDC>(M.WParam)); return;
            default: break;
        }
    }
    TsSkinned::UnskinnedMessage(M);
}

bool TsPanel::PrintUnskinned(HDC DC) {
    // The handler draws straight into the DC asked for: the panel's own
    // window DC may show nothing (hidden or covered windows).
    if (!DC) return true;
    const TSavedDC saved(DC);
    auto* canvas = static_cast<TControlCanvas*>(Canvas());
    canvas->WithHandle(DC, [&] { OnPaint(this, canvas); });
    return true;
}

// --- Skinned route: where the panel differs from the frame ---------------------

bool TsPanel::SkinnedMessage(TMessage& M) {
    if (AnswerChildren(M)) return true;
    if (M.Msg == SM_ALPHACMD) {
        switch (M.WParamHi()) {
            case AC_PARENTCHANGED: return ParentChangedPanel();
            case AC_SETFLAG9: return HoldCache(M);
            case AC_PARENTBGCHANGED: return ParentBGChanged(M);
            default: CommonAlphaCommand(M, SkinData()); return true;
        }
    }
    switch (M.Msg) {
        case WM_PAINT: return PaintPanel(reinterpret_cast<HDC>(M.WParam)) || PassToBase(M);
        case WM_PRINT: return PrintPanel(reinterpret_cast<HDC>(M.WParam));
        case WM_SETFOCUS:
        case WM_KILLFOCUS: return PassToBase(M);
        case CM_VISIBLECHANGED: return VisibleChangedPanel(M);
        case CM_COLORCHANGED: return ColorChanged();
        case CM_TEXTCHANGED: return CaptionChangedPanel();
        case WM_WINDOWPOSCHANGED: return PositionChanged();
        case WM_SETFONT: return FontSetPanel(M);
        default: return false;
    }
}

bool TsPanel::PassToBase(TMessage& M) {
    TPanel::WndProc(M);
    return true;
}

bool TsPanel::ParentChangedPanel() {
    TsCommonData* d = SkinData();
    if (!IsUpdating(d)) return true;
    d->Updating = false;
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, kRedrawAllNow);
    return true;
}

bool TsPanel::ParentBGChanged(const TMessage& M) {
    if (M.WParamLo() == 1) SkinData()->BGChanged = true;
    return true;
}

// False: hidden, the class library's panel takes the message.
bool TsPanel::PaintPanel(HDC DC) {
    if (!FVisible && !FComponentState.Contains(csDesigning)) return false;
    const TFlagScope<TControlState, TControlStateItem> custom(FControlState, csCustomPaint);
    const TPaintScope paint(Handle(), DC);
    const TSavedDC saved(paint.DC());
    auto* canvas = static_cast<TControlCanvas*>(Canvas());
    canvas->WithHandle(paint.DC(), [&] {
        canvas->UpdateTextFlags();
        PaintAll(paint.DC(), /*SendUpdated=*/true);
    });
    return true;
}

bool TsPanel::PrintPanel(HDC DC) {
    TsCommonData* d = SkinData();
    d->Updating = false;
    if (!IsControlLive(this)) return true;
    if (d->BGChanged) PrepareCache();
    RepairAllCorners(d, acStateIndex(TsPaintState::Normal));
    PaintAll(DC, /*SendUpdated=*/false);
    return true;
}

bool TsPanel::VisibleChangedPanel(TMessage& M) {
    SkinData()->BGChanged = true;
    SkinData()->Updating = false;
    return PassToBase(M);
}

bool TsPanel::ColorChanged() {
    if (SkinData()->CustomColor()) SkinData()->BGChanged = true;
    return false;
}

bool TsPanel::CaptionChangedPanel() {
    if (FParent) InvalidateOwner(SkinData());
    return true;
}

bool TsPanel::PositionChanged() {
    // A see-through panel shows another part of its parent once moved.
    if (NeedsParentBackground(SkinData())) {
        SkinData()->BGChanged = true;
        Invalidate();
    }
    return false;
}

bool TsPanel::FontSetPanel(TMessage& M) {
    CommonMessage(M, SkinData());
    const std::shared_ptr<const bool> alive = Alive();
    TPanel::WndProc(M);
    if (*alive && !Caption().empty()) {
        SkinData()->BGChanged = true;
        Repaint();
    }
    return true;
}

// ---------------------------------------------------------------------------
// TsDragBar

TsDragBar::TsDragBar(TComponent* AOwner) : TsPanel(AOwner) {
    SkinData()->ControlTypeCode = acCtDragBar;
    SetCaption(" ");
    SetAlign(alTop);
    SetHeight(20);
    FFont->SetColor(clCaptionText);
    FFont->SetStyle(TFontStyles{fsBold});
    SetColor(clActiveCaption);
    SetCursor(crHandPoint);
}

void TsDragBar::SetDraggedControl(TControl* Value) {
    if (FDraggedControl == Value) return;
    TControl* old = FDraggedControl;
    FDraggedControl = Value;
    Unwatch(old);
    if (Value) Value->FreeNotification(this);
}

void TsDragBar::Unwatch(TComponent* C) {
    // A drag under way, the dragged control and the followed form each hold the same registration.
    if (C && C != FDraggedControl && C != FDragTarget && C != FFormHook.Control()) C->RemoveFreeNotification(this);
}

void TsDragBar::Loaded() {
    TsPanel::Loaded();
    if (!FDraggedControl) SetDraggedControl(GetParentForm());
}

void TsDragBar::SetParent(TWinControl* AParent) {
    TsPanel::SetParent(AParent);
    if (!ComponentState().Contains(csDestroying)) FollowFormActivation();
}

void TsDragBar::CreateWnd() {
    TsPanel::CreateWnd();
    FollowFormActivation();
}

void TsDragBar::FollowFormActivation() {
    TCustomForm* form = GetParentForm();
    if (FFormHook.Control() == form) return;
    StopFollowingForm();
    if (!form) return;
    form->FreeNotification(this);
    FFormHook.Attach(form, [this](TMessage& M) { FormMessage(M); });
}

void TsDragBar::StopFollowingForm() {
    TControl* form = FFormHook.Control();
    FFormHook.Release();
    Unwatch(form);
}

void TsDragBar::FormMessage(TMessage& M) {
    const std::shared_ptr<const bool> alive = Alive();
    FFormHook.CallPrevious(M);
    if (!*alive) return;
    if (M.Msg == CM_ACTIVATE) FFont->SetColor(clCaptionText);
    else if (M.Msg == CM_DEACTIVATE) FFont->SetColor(clInactiveCaptionText);
}

void TsDragBar::Notification(TComponent* AComponent, TOperation Operation) {
    TsPanel::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FFormHook.Control()) FFormHook.Release();
    if (AComponent == FDraggedControl) FDraggedControl = nullptr;
    if (AComponent == FDragTarget) FDragTarget = nullptr;
}

void TsDragBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const std::shared_ptr<const bool> alive = Alive();
    TsPanel::MouseDown(Button, Shift, X, Y);
    if (!*alive || Button != mbLeft) return;
    TControl* target = FDraggedControl ? FDraggedControl : GetParentForm();
    if (target && !FInLoop) DragLoop(target);
}

void TsDragBar::DragLoop(TControl* Control) {
    if (!Control || !HandleAllocated() || FInLoop) return;
    // The loop hands other messages on, and their handlers (a timer, another
    // window) may free the moved control, the form or this bar. So the
    // target is read afresh at each step from a member that the free
    // notification clears, and the loop stops once the target, the bar or
    // its window is gone, touching nothing of a freed bar afterwards.
    const std::shared_ptr<const bool> alive = Alive();
    FInLoop = true;
    FDragTarget = Control;
    const bool notified = Control != FDraggedControl;
    if (notified) Control->FreeNotification(this);
    HWND own = Handle();
    // What the class library's own press handling captured is ours now.
    SetCaptureControl(nullptr);
    SetCapture(own);
    // Where the press was, not where the cursor is by now.
    const DWORD pressAt = GetMessagePos();
    const POINT start{GET_X_LPARAM(pressAt), GET_Y_LPARAM(pressAt)};
    const int left0 = Control->Left(), top0 = Control->Top();
    auto live = [&] { return *alive && FDragTarget && IsWindow(own); };
    auto moveTo = [&](int x, int y) {
        TControl* c = FDragTarget;
        if (x != c->Left() || y != c->Top()) c->SetBounds(x, y, c->Width(), c->Height());
    };
    auto follow = [&](POINT p) { moveTo(left0 + p.x - start.x, top0 + p.y - start.y); };
    bool done = false;
    while (!done && live()) {
        MSG msg;
        bool any = false;
        while (!done && live() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            switch (msg.message) {
                case WM_MOUSEMOVE:
                case WM_NCMOUSEMOVE: follow(msg.pt); break;
                case WM_LBUTTONUP:
                case WM_NCLBUTTONUP:
                    follow(msg.pt);
                    done = true;
                    break;
                case WM_KEYDOWN:
                    if (msg.wParam == VK_ESCAPE) {
                        moveTo(left0, top0);
                        done = true;
                    }
                    break;
                case WM_QUIT:
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    done = true;
                    break;
                default:
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                    break;
            }
        }
        if (done || !live()) break;
        // Nothing queued: the button let go where no message of ours saw it,
        // or someone else took the mouse.
        if (!any && ((GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0 || GetCapture() != own)) break;
        if (!any) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    if (GetCapture() == own) ReleaseCapture();
    if (!*alive) return;
    TControl* target = FDragTarget;
    FDragTarget = nullptr;
    if (notified) Unwatch(target);
    FInLoop = false;
}
