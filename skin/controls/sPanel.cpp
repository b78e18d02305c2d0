#include "sPanel.h"

#include "Forms.h"

#include <windowsx.h>
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinText.h"

CLASSLIB_DEFINE_CLASS(TsPanel, TPanel, ObjProp<TsPanel, TsCommonData>("SkinData", &TsPanel::SkinData))
CLASSLIB_DEFINE_CLASS(TsDragBar, TsPanel,
    ObjProp<TsDragBar, TControl>("DraggedControl", &TsDragBar::DraggedControl, &TsDragBar::SetDraggedControl))

namespace {

// Puts back the DC state saved on construction and, for a paint begun with
// BeginPaint, ends it: whichever way the painting in between ends (OnPaint
// is the program's code and may throw).
class TPaintScope {
public:
    TPaintScope(HDC DC, HWND Wnd = nullptr, const PAINTSTRUCT* Ps = nullptr)
        : FDC(DC), FWnd(Wnd), FPs(Ps), FSaved(SaveDC(DC)) {}
    ~TPaintScope() {
        RestoreDC(FDC, FSaved);
        if (FPs) EndPaint(FWnd, FPs);
    }
    TPaintScope(const TPaintScope&) = delete;
    TPaintScope& operator=(const TPaintScope&) = delete;

private:
    HDC FDC;
    HWND FWnd;
    const PAINTSTRUCT* FPs;
    int FSaved;
};

}  // namespace

// ---------------------------------------------------------------------------
// TsPanel

TsPanel::TsPanel(TComponent* AOwner) : TPanel(AOwner) { FFrame = new TsCommonFrame(this, this, 51); }

TsPanel::~TsPanel() {
    *FAlive = false;
    delete FFrame;
    FFrame = nullptr;
}

void TsPanel::AfterConstruction() {
    TPanel::AfterConstruction();
    FFrame->ApplyColors();
}

void TsPanel::Loaded() {
    TPanel::Loaded();
    FFrame->ApplyColors();
}

bool TsPanel::SkinnedNow() const { return FFrame && IsControlLive(this) && HasSkin(FFrame->SkinData, false); }

void TsPanel::PaintWindow(HDC DC) {
    TPanel::PaintWindow(DC);
    PaintAll(DC, true);
}

void TsPanel::Paint() {
    if (!SkinnedNow() && OnPaint) {
        if (!(FComponentState.Contains(csLoading) && FVisible)) OnPaint(this, Canvas());
        return;
    }
    TPanel::Paint();
}

void TsPanel::FireMouseEvent(const TMessage& M) {
    if (!OwnMouseMessage(M, this)) return;
    if (M.Msg == CM_MOUSEENTER && OnMouseEnter) OnMouseEnter(this);
    else if (M.Msg == CM_MOUSELEAVE && OnMouseLeave) OnMouseLeave(this);
}

void TsPanel::PrepareCache() {
    TsCommonData* d = SkinData();
    PrepareCacheBmp(d);
    TCacheInfo ci = ParentCacheOf(d);
    PaintDataItem(d, ci, PaintsBorderCentre(), d->CacheBmp, TPoint{FLeft, FTop}, TRect{0, 0, FWidth, FHeight}, 0);
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
    WriteSkinTextWeb(canvas, Caption(), Enabled(), false, d, flags, R);
}

void TsPanel::PaintAll(HDC DC, bool SendUpdated) {
    TsCommonData* d = SkinData();
    if (!Showing() || !d || !HasSkin(d, false)) return;
    d->Updating = IsUpdating(d);
    if (d->Updating) return;
    const bool changed = d->HalfVisible || d->BGChanged || !d->CacheBmp || d->CacheBmp->Width() != FWidth ||
                         d->CacheBmp->Height() != FHeight;
    if (!DC) DC = Canvas()->Handle();
    d->HalfVisible = false;
    if (NeedsParentBackground(d)) {
        RECT clip{0, 0, 0, 0};
        GetClipBox(DC, &clip);
        d->HalfVisible = clip.right - clip.left != FWidth || clip.bottom - clip.top != FHeight;
    }
    if (changed && !d->Command9Flag) PrepareCache();
    PaintChildControlsInto(this, d, TPoint{0, 0}, 0, 0, true, DC, TRect{0, 0, FWidth, FHeight});
    PaintGraphicChildren(DC, this);
    if (SendUpdated) RefreshChildControls(this);
}

void TsPanel::WndProc(TMessage& M) {
    if (!FFrame) {
        TPanel::WndProc(M);
        return;
    }
    TsCommonData* d = FFrame->SkinData;
    // The panel's own handling may run code that frees it (a drag bar's loop,
    // the mouse events): afterwards it is touched only while it lives.
    const std::shared_ptr<bool> alive = FAlive;
    // Stage 1: the skin commands that hold in any state.
    if (AnswerSkinnedIdentity(M)) return;
    if (M.Msg == SM_ALPHACMD) {
        switch (M.WParamHi()) {
            case AC_NEWSKIN:
                FControlStyle.Exclude(csOpaque);
                BroadcastToChildren(this, M);
                if (OwnManager(d, M.LParam)) CommonMessage(M, d);
                return;
            case AC_REMOVESKIN:
                FControlStyle.Exclude(csOpaque);
                if (OwnManager(d, M.LParam)) {
                    CommonMessage(M, d);
                    Invalidate();
                }
                BroadcastToChildren(this, M);
                return;
            case AC_REFRESH:
                if (OwnManager(d, M.LParam)) {
                    CommonMessage(M, d);
                    BroadcastToChildren(this, M);
                    Repaint();
                } else {
                    BroadcastToChildren(this, M);
                }
                return;
            default:
                break;
        }
    }
    // Stage 2: unskinned, the class library's panel.
    if (!SkinnedNow()) {
        if (M.Msg == WM_ERASEBKGND && OnPaint) {
            M.Result = 1;
        } else if (M.Msg == WM_PRINT && OnPaint) {
            // The handler draws straight into the DC asked for: the panel's
            // own window DC may show nothing (hidden or covered windows).
            if (HDC dc = reinterpret_cast<HDC>(M.WParam)) {
                const TPaintScope scope(dc);
                auto* canvas = static_cast<TControlCanvas*>(Canvas());
                canvas->WithHandle(dc, [&] { OnPaint(this, canvas); });
            }
        } else {
            TPanel::WndProc(M);
        }
        if (*alive) FireMouseEvent(M);
        return;
    }
    // Stage 3: skinned.
    if (M.Msg == SM_ALPHACMD) {
        switch (M.WParamHi()) {
            case AC_PARENTCHANGED:
                if (IsUpdating(d)) {
                    d->Updating = false;
                    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, 0x585);
                }
                return;
            case AC_SETFLAG9:
                CommonMessage(M, d);
                if (d->Command9Flag) PrepareCache();
                return;
            case AC_GETBGCHANGED:
                M.LParam = M.Result = (d->BGChanged || IsUpdating(d)) ? 1 : 0;
                return;
            case AC_PARENTBGCHANGED:
                if (M.WParamLo() == 1) d->BGChanged = true;
                return;
            case AC_GETCACHE:
                // A child may ask before the panel has painted: its picture
                // must be the panel's current one, not none.
                if ((d->BGChanged || !d->CacheBmp || d->CacheBmp->Width() != FWidth ||
                     d->CacheBmp->Height() != FHeight) && !IsUpdating(d) && !d->Command9Flag)
                    PrepareCache();
                CommonAlphaCommand(M, d);
                return;
            default:
                CommonAlphaCommand(M, d);
                return;
        }
    }
    switch (M.Msg) {
        case WM_PAINT: {
            if (!FVisible && !FComponentState.Contains(csDesigning)) {
                TPanel::WndProc(M);
                return;
            }
            FControlState.Include(csCustomPaint);
            try {
                PAINTSTRUCT ps;
                HDC dc = reinterpret_cast<HDC>(M.WParam);
                const bool own = dc == nullptr;
                if (own) dc = BeginPaint(Handle(), &ps);
                const TPaintScope scope(dc, Handle(), own ? &ps : nullptr);
                auto* canvas = static_cast<TControlCanvas*>(Canvas());
                canvas->WithHandle(dc, [&] {
                    canvas->UpdateTextFlags();
                    PaintAll(dc, true);
                });
            } catch (...) {
                FControlState.Exclude(csCustomPaint);
                throw;
            }
            FControlState.Exclude(csCustomPaint);
            return;
        }
        case WM_PRINT:
            d->Updating = false;
            if (IsControlLive(this)) {
                if (d->BGChanged) PrepareCache();
                RepairAllCorners(d, 0);
                PaintAll(reinterpret_cast<HDC>(M.WParam), false);
            }
            return;
        case WM_ERASEBKGND:
            M.Result = 1;
            return;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            TPanel::WndProc(M);
            return;
        case CM_VISIBLECHANGED:
            d->BGChanged = true;
            d->Updating = false;
            TPanel::WndProc(M);
            return;
        case CM_COLORCHANGED:
            if (d->CustomColor()) d->BGChanged = true;
            break;
        case CM_TEXTCHANGED:
            if (FParent) InvalidateOwner(d);
            return;
        case WM_WINDOWPOSCHANGED:
            // A see-through panel shows another part of its parent once moved.
            if (NeedsParentBackground(d)) {
                d->BGChanged = true;
                Invalidate();
            }
            break;
        default:
            break;
    }
    CommonMessage(M, d);
    TPanel::WndProc(M);
    if (!*alive) return;
    if (M.Msg == WM_SETFONT && !Caption().empty()) {
        d->BGChanged = true;
        Repaint();
    } else if (M.Msg == CM_ENABLEDCHANGED) {
        InvalidateOwner(d);
    }
    FireMouseEvent(M);
}

// ---------------------------------------------------------------------------
// TsDragBar

TsDragBar::TsDragBar(TComponent* AOwner) : TsPanel(AOwner) {
    FFrame->SkinData->ControlTypeCode = 56;
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
    // A drag under way holds the same registration for its target.
    if (FDraggedControl && FDraggedControl != FDragTarget) FDraggedControl->RemoveFreeNotification(this);
    FDraggedControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TsDragBar::Notification(TComponent* AComponent, TOperation Operation) {
    TsPanel::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FDraggedControl) FDraggedControl = nullptr;
    if (AComponent == FDragTarget) FDragTarget = nullptr;
}

void TsDragBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const std::shared_ptr<bool> alive = FAlive;
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
    const std::shared_ptr<bool> alive = FAlive;
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
                case WM_NCMOUSEMOVE:
                    follow(msg.pt);
                    break;
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
    if (notified && FDragTarget && FDragTarget != FDraggedControl) FDragTarget->RemoveFreeNotification(this);
    FDragTarget = nullptr;
    FInLoop = false;
}

void TsDragBar::WndProc(TMessage& M) {
    // The caption text follows the application's activation (the bar itself
    // keeps its colour); only a top-level window is told of it.
    if (M.Msg == WM_ACTIVATEAPP) FFont->SetColor(M.WParam ? clCaptionText : clInactiveCaptionText);
    TsPanel::WndProc(M);
}
