// The scrolling adapter: room for the skinned bars in the non-client area,
// its window procedure, and the mouse tracking of the bars (hover, arrow and
// page presses with auto-repeat, thumb dragging).
#include "acSBUtils.h"

#include "Scopes.h"

#include "sMessages.h"

#include <algorithm>
#include <utility>

CLASSLIB_DEFINE_CLASS(TacScrollWnd, TacMainWnd)

TacScrollTracking acScrollTracking;

namespace {

bool IsScrollHit(WPARAM Hit) { return Hit == HTHSCROLL || Hit == HTVSCROLL; }

int BarKindOfHit(WPARAM Hit) { return Hit == HTHSCROLL ? SB_HORZ : SB_VERT; }

TPoint MessagePoint() {
    const DWORD p = GetMessagePos();
    return TPoint{short(LOWORD(p)), short(HIWORD(p))};
}

int Along(int Kind, TPoint P) { return Kind == SB_HORZ ? P.x : P.y; }

void KillBarTimers(HWND Window) {
    KillTimer(Window, acHoverTimer);
    KillTimer(Window, acFirstRepeatTimer);
    KillTimer(Window, acRepeatTimer);
}

// The position a thumb place stands for, from nMin on, within the range the
// system keeps a position in.
int DragPosition(const SCROLLINFO& Si, int Offset, int Room) {
    const long long page = Si.nPage;
    const long long maxPos = std::max<long long>(Si.nMin, Si.nMax - std::max(page - 1, 0LL));
    if (Room <= 0) return Si.nMin;
    return int(std::clamp<long long>(Si.nMin + ScrollMulDiv(Offset, maxPos - Si.nMin, Room), Si.nMin, maxPos));
}

}  // namespace

void ResetScrollTracking(HWND Window) {
    TacScrollTracking& t = acScrollTracking;
    if (t.TrackWindow == Window) {
        t.PressedPart = t.ShownPressedPart = -1;
        t.TrackBarKind = -1;
        t.TrackScrollMsg = 0;
        t.RepeatTimerId = 0;
        t.LastTrackPos = -1;
        t.TrackWindow = nullptr;
        if (GetCapture() == Window) ReleaseCapture();
    }
    if (t.HotWindow == Window) {
        t.HotBarKind = t.HotPart = t.PrevHotPart = -1;
        t.HoverTimerId = 0;
        t.HotWindow = nullptr;
    }
    if (IsWindow(Window)) KillBarTimers(Window);
}

void SendScrollMessage(HWND Handle, UINT Msg, int Code, int Position) {
    SendSkinCommandToWindow(Handle, AC_BEGINSCROLL, 0);
    if (Code == SB_THUMBTRACK) SetScrollPos(Handle, Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, Position, FALSE);
    TacScrollTracking& t = acScrollTracking;
    const HWND outerWindow = std::exchange(t.ThumbRequestWindow, Handle);
    const int outerPos = std::exchange(t.ThumbRequestPos, Position);
    SendMessageA(Handle, Msg, MAKEWPARAM(Code, Position & 0xFFFF), 0);
    t.ThumbRequestWindow = outerWindow;
    t.ThumbRequestPos = outerPos;
    SendSkinCommandToWindow(Handle, AC_ENDSCROLL, MAKELONG(Code, Msg));
}

int ThumbRequestPosition(HWND Handle, WPARAM WParam) {
    const TacScrollTracking& t = acScrollTracking;
    const int low = HIWORD(WParam);
    // Any other sender's request stands for what it says.
    return t.ThumbRequestWindow == Handle && (t.ThumbRequestPos & 0xFFFF) == low ? t.ThumbRequestPos : low;
}

// ---------------------------------------------------------------------------
// Attaching

void InitScrollAdapter(TacScrollWnd* A, HWND Handle, bool Repaint) {
    if (!A || !IsWindow(Handle)) return;
    A->Painting = false;
    A->CtrlHandle = Handle;
    const LONG_PTR style = GetWindowLongPtrA(Handle, GWL_STYLE);
    A->LeftScrollBar = (GetWindowLongPtrA(Handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    for (int kind : {SB_HORZ, SB_VERT}) {
        TacScrollBar*& bar = kind == SB_HORZ ? A->HorzBar : A->VertBar;
        if (!bar) bar = new TacScrollBar();
        bar->Owner = A;
        bar->BarKind = kind;
        bar->ArrowLength = bar->ArrowWidth = -1;
        bar->ScrollFlags = (style & (kind == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) ? acScrollFlagWanted : 0;
        bar->ReadInfo();
    }
    A->InNCCalcSize = false;
    if (!SubclassAdapterWindow(A, Handle)) return;
    SetScrollBarMinThumb(Handle, 3, DefaultMinThumbSize());
    A->BarsChangedSince();
    if (Repaint) RedrawAdapterFrame(Handle, true);
}

void UninitScrollAdapter(HWND Handle, bool FreeIt, bool Repaint, TacMainWnd*& Adapter) {
    if (auto* a = dynamic_cast<TacScrollWnd*>(Adapter)) a->ThumbDragging = false;
    UnsubclassAdapterWindow(Handle, FreeIt, Repaint, Adapter);
}

// ---------------------------------------------------------------------------
// TacScrollWnd

TacScrollWnd::TacScrollWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                           bool Repaint)
    : TacMainWnd(TDeferAttach{}, Handle, SkinData, SkinManager, SectionName) {
    InitScrollAdapter(this, Handle, Repaint);
}

TacScrollWnd::~TacScrollWnd() {
    // Released here, while the scrolling procedure still exists, and with
    // the frame recomputed so that the system's bars come back.
    if (!Destroyed && !(acClearingAdapters && !acSkinRemoving) && IsWindow(CtrlHandle)) {
        ThumbDragging = false;
        ReleaseAdapter(this, true, true);
    }
    delete HorzBar;
    delete VertBar;
    HorzBar = VertBar = nullptr;
}

bool TacScrollWnd::BarsChangedSince() {
    bool changed = false;
    for (int kind : {SB_HORZ, SB_VERT}) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        if (!GetScrollInfo(CtrlHandle, kind, &si)) si = SCROLLINFO{};
        SCROLLINFO& seen = FSeenInfo[kind];
        if (si.nMin != seen.nMin || si.nMax != seen.nMax || si.nPage != seen.nPage || si.nPos != seen.nPos)
            changed = true;
        seen = si;
        const bool enabled = IsScrollBarEnabled(Bar(kind));
        if (enabled != FSeenEnabled[kind]) changed = true;
        FSeenEnabled[kind] = enabled;
    }
    const LONG_PTR style = GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL);
    if (style != FSeenStyle) changed = true;
    FSeenStyle = style;
    return changed;
}

void TacScrollWnd::PassOn(TMessage& M) {
    const TacLiveness live(this);
    CallPrevWndProc(M);
    if (live.Gone()) return;
    // Controls redraw their system bars on SetScrollInfo from many messages;
    // ours go back on top whenever what they show changed.
    if (!Painting && !ThumbDragging && IsWindow(CtrlHandle) && SkinnedNow() && BarsChangedSince())
        RefreshScrollBars(this, true);
}

void TacScrollWnd::WndProc(TMessage& M) {
    switch (M.Msg) {
        case WM_DESTROY:
        case WM_NCDESTROY: ThumbDragging = false; return DestroyMessage(M);
        case WM_UPDATEUISTATE: return;
        default: break;
    }
    // The removal comes when the manager is inactive already.
    if (!Destroyed && SkinData && IsSkinCommand(M, AC_REMOVESKIN)) return ScrollAlphaCommand(M);
    if (Destroyed || !SkinData || !HasSkin(SkinData)) {
        CallPrevWndProc(M);
        return;
    }
    if (M.Msg == SM_ALPHACMD) return ScrollAlphaCommand(M);
    switch (M.Msg) {
        case WM_NCCALCSIZE: return NCCalcSize(M);
        case WM_SETREDRAW: return SetRedraw(M);
        case WM_STYLECHANGING:
        case WM_STYLECHANGED: return StyleChange(M);
        case WM_NCHITTEST: return NCHitTest(M);
        case WM_NCPAINT: return NCPaint(M);
        case WM_NCMOUSEMOVE: return NCMouseMove(M);
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK: return NCButtonDown(M);
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONUP:
        case WM_NCMBUTTONDOWN:
        case WM_NCMBUTTONUP: return NCOtherButton(M);
        case WM_SYSCOMMAND: return SysCommand(M);
        case WM_TIMER: return Timer(M);
        case WM_MOUSEMOVE: return MouseMove(M);
        case WM_LBUTTONUP: return ButtonUp(M);
        case WM_CAPTURECHANGED: return CaptureChanged(M);
        case CM_UIACTIVATE: return UIActivate(M);
        case CM_FOCUSCHANGED:
        case CM_MOUSEWHEEL: return FocusOrWheel(M);
        default: return PassOn(M);
    }
}

// A list filled between BeginUpdate and EndUpdate draws nothing, and its
// bars neither: they would be painted again for every line added. They catch
// up once the window draws again.
void TacScrollWnd::SetRedraw(TMessage& M) {
    RedrawOff = M.WParam == 0;
    const TacLiveness live(this);
    PassOn(M);
    if (!live.Gone() && !RedrawOff) RefreshScrollBars(this, true);
}

void TacScrollWnd::StyleChange(TMessage& M) {
    if (InNCCalcSize) {
        M.Result = 0;
        return;
    }
    if (M.Msg == WM_STYLECHANGED && int(M.WParam) == GWL_EXSTYLE)
        LeftScrollBar = (reinterpret_cast<const STYLESTRUCT*>(M.LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
    PassOn(M);
}

void TacScrollWnd::NCOtherButton(TMessage& M) {
    // Other buttons on the skinned bars do nothing, as on the system's.
    if (IsScrollHit(M.WParam)) {
        M.Result = 0;
        return;
    }
    PassOn(M);
}

void TacScrollWnd::SysCommand(TMessage& M) {
    if (LOWORD(M.WParam) == (SC_VSCROLL | HTVSCROLL)) return;
    PassOn(M);
}

void TacScrollWnd::CaptureChanged(TMessage& M) {
    if (CaptureLost()) PassOn(M);
}

void TacScrollWnd::UIActivate(TMessage& M) {
    if (!WndSize.x) return PassOn(M);
    const TacLiveness live(this);
    CallPrevWndProc(M);
    if (live.Gone()) return;
    SetWindowPos(
        CtrlHandle, nullptr, 0, 0, WndSize.x, WndSize.y,
        SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
}

void TacScrollWnd::FocusOrWheel(TMessage& M) {
    const TacLiveness live(this);
    CallPrevWndProc(M);
    if (live.Gone()) return;
    if (M.Msg == CM_FOCUSCHANGED || !Painting) RefreshScrollBars(this, true);
}

void TacScrollWnd::ScrollAlphaCommand(TMessage& M) {
    const bool own = OwnManager(SkinData, M.LParam) || reinterpret_cast<TsSkinManager*>(M.LParam) == SkinManager;
    switch (M.WParamHi()) {
        case AC_NEWSKIN:
            if (own) UpdateSkinIndexes(SkinData);
            break;
        case AC_REMOVESKIN:
            if (own) {
                // The window is the system's again: procedure and property back,
                // the frame recomputed with its own bars.
                const TacLiveness live(this);
                CallPrevWndProc(M);
                if (live.Gone()) return;
                TacMainWnd* self = this;
                UninitScrollAdapter(CtrlHandle, false, true, self);
                return;
            }
            break;
        case AC_REFRESH:
            if (own) {
                UpdateSkinIndexes(SkinData);
                SkinData->BGChanged = true;
                const TacLiveness live(this);
                CallPrevWndProc(M);
                if (!live.Gone()) RedrawAdapterFrame(CtrlHandle, true);
                return;
            }
            break;
        case AC_GETCACHE: ParentCacheInfo = TCacheInfo{SkinData->CacheBmp, 0, 0, true}; break;
        case AC_PARENTCHANGED:
            if (IsUpdating(SkinData)) {
                SetUpdating(SkinData, false);
                RedrawWindow(CtrlHandle, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            }
            break;
        case AC_SKINNEDQUERY:
            M.LParam = 1;
            M.Result = 1;
            return;
        case AC_GETAPPLICATION: M.Result = reinterpret_cast<LRESULT>(static_cast<TApplication*>(Application)); return;
        case AC_PREPARECACHE: UpdateAdapterCache(SkinData, CtrlHandle, false); break;
        default: break;
    }
    CallPrevWndProc(M);
}

void TacScrollWnd::NCCalcSize(TMessage& M) {
    auto* r = reinterpret_cast<RECT*>(M.LParam);
    const RECT before = *r;
    const LONG_PTR style = GetWindowLongPtrA(CtrlHandle, GWL_STYLE);
    const LONG_PTR bars = WS_HSCROLL | WS_VSCROLL;
    // The system computes the frame as if the window had no bars; ours take
    // their room afterwards, so the system never lays out its own.
    if (style & bars) {
        InNCCalcSize = true;
        SetWindowLongPtrA(CtrlHandle, GWL_STYLE, style & ~bars);
        CallPrevWndProc(M);
        SetWindowLongPtrA(CtrlHandle, GWL_STYLE, style);
        InNCCalcSize = false;
    } else {
        CallPrevWndProc(M);
    }
    if (LeastInset > 0) {
        r->left = std::max(r->left, before.left + LeastInset);
        r->top = std::max(r->top, before.top + LeastInset);
        r->right = std::min(r->right, before.right - LeastInset);
        r->bottom = std::min(r->bottom, before.bottom - LeastInset);
    }
    InsetLeft = r->left - before.left;
    InsetRight = before.right - r->right;
    InsetTop = r->top - before.top;
    InsetBottom = before.bottom - r->bottom;
    HorzBar->ScrollFlags = (style & WS_HSCROLL) ? acScrollFlagWanted : 0;
    HorzBar->Visible = false;
    if (HorzBar->ScrollFlags) {
        const int t = ScrollBarMetric(HorzBar, 1, false);
        if (t <= r->bottom - r->top) {
            r->bottom -= t;
            HorzBar->Visible = true;
        }
    }
    VertBar->ScrollFlags = (style & WS_VSCROLL) ? acScrollFlagWanted : 0;
    VertBar->Visible = false;
    if (VertBar->ScrollFlags) {
        const int t = ScrollBarMetric(VertBar, 1, false);
        if (t <= r->right - r->left) {
            (LeftScrollBar ? r->left += t : r->right -= t);
            VertBar->Visible = true;
        }
    }
}

void TacScrollWnd::NCHitTest(TMessage& M) {
    const TPoint p{short(LOWORD(M.LParam)), short(HIWORD(M.LParam))};
    const TRect hr = HorzScrollBarRect(this, CtrlHandle), vr = VertScrollBarRect(this, CtrlHandle);
    if (HorzBar->Visible && PtInRect(&hr, p)) {
        M.Result = IsScrollBarEnabled(HorzBar) ? HTHSCROLL : HTNOWHERE;
        return;
    }
    if (VertBar->Visible && PtInRect(&vr, p)) {
        M.Result = IsScrollBarEnabled(VertBar) ? HTVSCROLL : HTNOWHERE;
        return;
    }
    if (HorzBar->Visible && VertBar->Visible && !LeftScrollBar) {
        const RECT grip{hr.right, hr.top, vr.right, hr.bottom};
        if (PtInRect(&grip, p) && IsSizeGripPlace(this, CtrlHandle)) {
            M.Result = HTBOTTOMRIGHT;
            return;
        }
    }
    PassOn(M);
}

void TacScrollWnd::NCPaint(TMessage& M) {
    // The system paints the frame first (and, under Wine, its own bars in
    // the room we took); ours go over them.
    const TacLiveness live(this);
    CallPrevWndProc(M);
    if (live.Gone() || !IsWindowVisible(CtrlHandle)) return;
    SetUpdating(SkinData, IsUpdating(SkinData));
    if (!SkinData->Updating && !Painting) {
        BarsChangedSince();
        PaintScrollBars(this, CtrlHandle, nullptr, -1);
        // The bar under a dragged thumb is painted by the drag alone.
        if (ThumbDragging) PaintOneBar(acScrollTracking.TrackBarKind, FDragThumb);
    }
}

void TacScrollWnd::PaintOneBar(int Kind, int ThumbPos) {
    TacScrollBar* bar = Bar(Kind);
    TRect r;
    if (!bar || !bar->Visible || !ScrollBarRect(this, Kind, CtrlHandle, r)) return;
    RECT w{};
    GetWindowRect(CtrlHandle, &w);
    OffsetRect(&r, -w.left, -w.top);
    const TacScrollTracking& t = acScrollTracking;
    const int pressed = t.TrackWindow == CtrlHandle && t.TrackBarKind == Kind ? t.ShownPressedPart : -1;
    if (ThumbPos != -1) ThumbPos -= Kind == SB_HORZ ? w.left : w.top;
    PaintScrollBarImpl(bar, CtrlHandle, TWindowDC(CtrlHandle), ThumbPos, pressed, r, ThumbDragging);
}

// --- Hover ----------------------------------------------------------------

void TacScrollWnd::NCMouseMove(TMessage& M) {
    TacScrollTracking& t = acScrollTracking;
    if (t.HotWindow != CtrlHandle && t.HotWindow && IsWindow(t.HotWindow)) {
        // The other window's bar is hot no more.
        const HWND old = t.HotWindow;
        KillTimer(old, acHoverTimer);
        t.HotBarKind = t.HotPart = t.PrevHotPart = -1;
        if (auto* a = dynamic_cast<TacScrollWnd*>(AdapterOfWindow(old))) PaintScrollBars(a, old, nullptr, -1);
    }
    t.HotWindow = CtrlHandle;
    if (!IsScrollHit(M.WParam)) return PassOn(M);
    const int kind = BarKindOfHit(M.WParam);
    if (t.HotBarKind != kind) {
        t.PrevHotPart = t.HotPart = -1;
        ScrollBarRect(this, kind, CtrlHandle, t.HotBarRect);
        t.HotBarKind = kind;
        t.HoverTimerId = SetTimer(CtrlHandle, acHoverTimer, 20, nullptr);
        PaintScrollBars(this, CtrlHandle, nullptr, -1);
    }
    // Not passed on: the system would start hot-tracking its own bars there.
    M.Result = 0;
}

void TacScrollWnd::HoverTick() {
    TacScrollTracking& t = acScrollTracking;
    if (ThumbDragging) return;
    if (t.HotWindow != CtrlHandle || t.HotBarKind == -1) {
        KillTimer(CtrlHandle, acHoverTimer);
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    if (PtInRect(&t.HotBarRect, p)) {
        t.HotPart = ScrollBarHitPart(Bar(t.HotBarKind), t.HotBarRect, p);
        if (t.HotPart != t.PrevHotPart) PaintOneBar(t.HotBarKind);
        t.PrevHotPart = t.HotPart;
        return;
    }
    KillTimer(CtrlHandle, acHoverTimer);
    t.HoverTimerId = 0;
    t.HotBarKind = t.PrevHotPart = t.HotPart = -1;
    PaintScrollBars(this, CtrlHandle, nullptr, -1);
}

// --- Presses --------------------------------------------------------------

void TacScrollWnd::NCButtonDown(TMessage& M) {
    const TPoint p{short(LOWORD(M.LParam)), short(HIWORD(M.LParam))};
    if (M.WParam == HTBOTTOMRIGHT && M.Msg == WM_NCLBUTTONDOWN) {
        // The grip of a child sizes the form it stands in, not the child.
        const HWND top = GetAncestor(CtrlHandle, GA_ROOT);
        if (top && top != CtrlHandle && (GetWindowLongPtrA(top, GWL_STYLE) & WS_THICKFRAME)) {
            SendMessageA(top, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, M.LParam);
            M.Result = 0;
            return;
        }
    }
    if (!IsScrollHit(M.WParam)) return PassOn(M);
    TacScrollTracking& t = acScrollTracking;
    if (t.TrackWindow && t.TrackWindow != CtrlHandle) ResetScrollTracking(t.TrackWindow);
    const int kind = BarKindOfHit(M.WParam);
    TacScrollBar* bar = Bar(kind);
    TRect r;
    ScrollBarRect(this, kind, CtrlHandle, r);
    bar->ReadInfo();
    const int part = ScrollBarHitPart(bar, r, p);
    if (part == spNone) return PassOn(M);
    M.Result = 0;
    if (!IsScrollPartEnabled(bar, part)) return;
    t.HotWindow = CtrlHandle;
    t.TrackWindow = CtrlHandle;
    t.TrackScrollMsg = kind == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
    t.TrackBarKind = kind;
    t.PressedPart = part;
    if (part == spThumb) {
        CalcThumb(bar, r, t.DragThumbSize, t.DragThumbPos);
        t.DragRect = r;
        const SCROLLINFO& si = bar->ScrollInfo;
        const int pos = std::clamp(si.nPos, si.nMin, std::max(si.nMin, si.nMax - std::max(int(si.nPage) - 1, 0)));
        bar->ScrollInfo.nTrackPos = pos;
        t.DragGrabOffset = Along(kind, p) - t.DragThumbPos;
        t.LastTrackPos = pos;
        t.ShownPressedPart = spThumb;
        ThumbDragging = true;
        FDragThumb = t.DragThumbPos;
        PaintOneBar(kind, t.DragThumbPos);
    } else {
        t.ShownPressedPart = part;
        PaintOneBar(kind);
        const TacLiveness live(this);
        SendScrollMessage(CtrlHandle, t.TrackScrollMsg, part, 0);
        if (live.Gone()) return;
        PaintOneBar(kind);
        t.RepeatTimerId = SetTimer(CtrlHandle, acFirstRepeatTimer, 300, nullptr);
    }
    SetCapture(CtrlHandle);
}

void TacScrollWnd::PressedPartMove(TPoint P) {
    TacScrollTracking& t = acScrollTracking;
    TacScrollBar* bar = Bar(t.TrackBarKind);
    TRect r;
    if (!bar || !ScrollBarRect(this, t.TrackBarKind, CtrlHandle, r)) return;
    bar->ReadInfo();
    const int shown = ScrollBarHitPart(bar, r, P) == t.PressedPart ? t.PressedPart : -1;
    if (shown != t.ShownPressedPart) {
        t.ShownPressedPart = shown;
        PaintOneBar(t.TrackBarKind);
    }
}

void TacScrollWnd::TrackThumb(TacScrollBar* B, TPoint P) {
    TacScrollTracking& t = acScrollTracking;
    const bool horz = B->BarKind == SB_HORZ;
    const int a = ScrollBarMetric(B, 0, false);
    const int lo = (horz ? t.DragRect.left : t.DragRect.top) + a;
    const int hi = (horz ? t.DragRect.right : t.DragRect.bottom) - a;
    const int x = std::max(std::min(Along(B->BarKind, P) - t.DragGrabOffset, hi - t.DragThumbSize), lo);
    B->ReadInfo();
    const int pos = DragPosition(B->ScrollInfo, x - lo, hi - lo - t.DragThumbSize);
    if (pos != t.LastTrackPos) {
        B->ScrollInfo.nTrackPos = pos;
        Painting = true;
        const TacLiveness live(this);
        SendScrollMessage(CtrlHandle, t.TrackScrollMsg, SB_THUMBTRACK, pos);
        if (live.Gone()) return;
        Painting = false;
    }
    t.LastTrackPos = pos;
    FDragThumb = x;
    // After the request: the window may have drawn its own bar meanwhile.
    PaintOneBar(B->BarKind, x);
}

void TacScrollWnd::MouseMove(TMessage& M) {
    const TacScrollTracking& t = acScrollTracking;
    if (t.TrackWindow != CtrlHandle || t.PressedPart == spNone) return PassOn(M);
    if (ThumbDragging) TrackThumb(Bar(t.TrackBarKind), MessagePoint());
    else PressedPartMove(MessagePoint());
    M.Result = 0;
}

void TacScrollWnd::RepeatTick() {
    TacScrollTracking& t = acScrollTracking;
    if (t.TrackWindow != CtrlHandle || t.PressedPart == spNone) {
        KillTimer(CtrlHandle, acRepeatTimer);
        return;
    }
    // Screen coordinates, as the bars are compared in them.
    POINT p{};
    GetCursorPos(&p);
    PressedPartMove(p);
    // A held arrow the program disabled meanwhile (at the end) stops there.
    if (t.ShownPressedPart != spNone && IsScrollPartEnabled(Bar(t.TrackBarKind), t.ShownPressedPart)) {
        Painting = true;
        const TacLiveness live(this);
        SendScrollMessage(CtrlHandle, t.TrackScrollMsg, t.ShownPressedPart, 0);
        if (live.Gone()) return;
        Painting = false;
        PaintOneBar(t.TrackBarKind);
    }
}

void TacScrollWnd::Timer(TMessage& M) {
    TacScrollTracking& t = acScrollTracking;
    switch (M.WParam) {
        case acHoverTimer: HoverTick(); break;
        case acFirstRepeatTimer:
            KillTimer(CtrlHandle, acFirstRepeatTimer);
            if (t.TrackWindow == CtrlHandle && t.PressedPart != spNone)
                t.RepeatTimerId = SetTimer(CtrlHandle, acRepeatTimer, 55, nullptr);
            break;
        case acRepeatTimer: RepeatTick(); break;
        default: return PassOn(M);
    }
    M.Result = 0;
}

bool TacScrollWnd::EndPress(bool Cancelled) {
    TacScrollTracking& t = acScrollTracking;
    const int part = t.PressedPart, kind = t.TrackBarKind;
    const UINT msg = t.TrackScrollMsg;
    KillTimer(CtrlHandle, acFirstRepeatTimer);
    KillTimer(CtrlHandle, acRepeatTimer);
    // The state goes first: a request's handler may take the capture away.
    t.PressedPart = t.ShownPressedPart = -1;
    t.RepeatTimerId = 0;
    t.TrackScrollMsg = 0;
    t.TrackBarKind = -1;
    t.TrackWindow = nullptr;
    const bool dragging = ThumbDragging;
    ThumbDragging = false;
    Painting = true;
    const HWND h = CtrlHandle;
    const TacLiveness live(this);
    if (part == spThumb) {
        if (dragging) SendScrollMessage(h, msg, SB_THUMBPOSITION, t.LastTrackPos);
        if (!live.Gone()) SendScrollMessage(h, msg, SB_ENDSCROLL, t.LastTrackPos);
    } else if (part != spNone) {
        SendScrollMessage(h, msg, SB_ENDSCROLL, 0);
    }
    t.LastTrackPos = -1;
    if (!Cancelled && GetCapture() == h) ReleaseCapture();
    if (live.Gone()) return false;
    Painting = false;
    if (kind != -1) PaintOneBar(kind);
    return true;
}

void TacScrollWnd::ButtonUp(TMessage& M) {
    const TacScrollTracking& t = acScrollTracking;
    if (t.TrackWindow == CtrlHandle && t.PressedPart != spNone && !EndPress(false)) return;
    PassOn(M);
}

bool TacScrollWnd::CaptureLost() {
    const TacScrollTracking& t = acScrollTracking;
    if (t.TrackWindow == CtrlHandle && t.PressedPart != spNone && HWND(GetCapture()) != CtrlHandle)
        return EndPress(true);
    return true;
}
