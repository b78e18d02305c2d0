#include "sFade.h"

#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <algorithm>

namespace {

// Keeps a timer alive while one of its steps runs; a timer released meanwhile
// is freed when the outermost step ends.
class TStepGuard {
public:
    explicit TStepGuard(TacSkinTimer* t) : T(t) { T->BeginStep(); }
    ~TStepGuard() { T->EndStep(); }

private:
    TacSkinTimer* T;
};

int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

bool OwnerAlive(const TsCommonData* d) {
    if (!d) return false;
    if (TControl* c = d->OwnerControl) {
        if (c->ComponentState().Contains(csDestroying)) return false;
        auto* w = dynamic_cast<TWinControl*>(c);
        return w ? w->HandleAllocated() : c->Parent() != nullptr;
    }
    return d->OwnerHandle && IsWindow(d->OwnerHandle);
}

bool OwnerEnabled(const TsCommonData* d) {
    if (d->OwnerControl) return d->OwnerControl->Enabled();
    return IsWindowEnabled(d->OwnerHandle) != FALSE;
}

LRESULT SendToOwner(TsCommonData* d, WORD Code, LPARAM Data, WORD Argument = 0) {
    if (d->OwnerControl) return SendSkinCommand(d->OwnerControl, Code, Data, Argument);
    return SendSkinCommandToWindow(d->OwnerHandle, Code, Data, Argument);
}

void CopyFrameTo(HDC DC, TBitmap* Frame) {
    if (!DC) return;
    const TSavedDC saved(DC);
    BitBlt(DC, 0, 0, Frame->Width(), Frame->Height(), Frame->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// Puts a frame on the owner's window DC (the parent's, clipped, for a
// windowless owner). The cache holds the whole window, borders included, so
// a client DC would shift the frame by the border and cut its right and
// bottom edges.
void CopyToOwner(TsCommonData* d, TBitmap* Frame) {
    TControl* c = d->OwnerControl;
    if (!c) return CopyFrameTo(TWindowDC(d->OwnerHandle), Frame);
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (w->HandleAllocated()) CopyFrameTo(TWindowDC(w->Handle()), Frame);
        return;
    }
    if (!c->Parent() || !c->Parent()->HandleAllocated()) return;
    // The class library gives a windowless control its parent's DC, clipped.
    CopyFrameTo(TControlDC(c), Frame);
}

void TellRefreshTarget(TsCommonData* d) {
    if (acRefreshTarget && acRefreshTarget != d->OwnerControl)
        SendSkinCommand(acRefreshTarget, AC_REFRESH, reinterpret_cast<LPARAM>(d->GetSkinManager()));
}

}  // namespace

// ---------------------------------------------------------------------------

CLASSLIB_DEFINE_CLASS(TacSkinTimer, TTimer)
CLASSLIB_DEFINE_CLASS(TsFadeTimer, TacSkinTimer)
CLASSLIB_DEFINE_CLASS(TsAnimTimer, TacSkinTimer)

TacSkinTimer::TacSkinTimer(TComponent* AOwner) : TTimer(AOwner), OldBmp(new TBitmap()), FrameBmp(new TBitmap()) {
    SetEnabled(false);
    SetInterval(10);
}

TacSkinTimer::~TacSkinTimer() {
    SetEnabled(false);
    delete OldBmp;
    delete FrameBmp;
}

void TacSkinTimer::BeforeDestruction() {
    FFreeing = true;
    TTimer::BeforeDestruction();
}

void TacSkinTimer::EndStep() {
    if (--FDepth == 0 && FReleased) Free();
}

void TacSkinTimer::Timer() {
    // Nothing of the timer may be touched after the step: it may be gone.
    Step();
}

void ReleaseSkinTimer(TacSkinTimer* Timer) {
    // An owner that is going marks the timer csDestroying before it frees it:
    // released first, a ticking timer still outlives its step.
    if (!Timer || Timer->FReleased || Timer->FFreeing) return;
    Timer->SetEnabled(false);
    if (Timer->FDepth > 0) {
        // Its step is still running: the step frees it when it ends, and its
        // owner must not free it first.
        Timer->FReleased = true;
        if (Timer->Owner()) Timer->Owner()->RemoveComponent(Timer);
        return;
    }
    Timer->Free();
}

void TsFadeTimer::BeforeDestruction() {
    LeaveHolder();
    TacSkinTimer::BeforeDestruction();
}

void TsFadeTimer::LeaveHolder() {
    if (FHolder && *FHolder == this) *FHolder = nullptr;
    FHolder = nullptr;
}

void TsFadeTimer::Step() { FadeStep(this); }
void TsAnimTimer::Step() { AnimStep(this); }

// ---------------------------------------------------------------------------

void BlendFadeFrame(TBitmap* Frame, TBitmap* Old, TBitmap* New, int Alpha) {
    if (!Frame || !New || New->Empty()) return;
    const int w = New->Width(), h = New->Height();
    if (New->PixelFormat() != pf24bit) New->SetPixelFormat(pf24bit);
    if (Frame->PixelFormat() != pf24bit) Frame->SetPixelFormat(pf24bit);
    if (Frame->Width() != w || Frame->Height() != h) Frame->SetSize(w, h);
    const int a = Clamp255(Alpha);
    if (!Old || Old->Empty() || a == 0) {
        CopyBitmapRows(Frame, New, 0, 0, clNone);
        return;
    }
    if (Old->PixelFormat() != pf24bit) Old->SetPixelFormat(pf24bit);
    // Where the old picture is smaller the new one shows as it is.
    if (Old->Width() < w || Old->Height() < h) CopyBitmapRows(Frame, New, 0, 0, clNone);
    BlendBitmaps(Frame, Old, New, (a * 256 + 127) / 255);
}

bool AnimEventEnabled(TacAnimatEvent Event, TacAnimatEvents Events) {
    return Events.Contains(Event) || (Events.Contains(aeGlobalDef) && acDefaultAnimEvents.Contains(Event));
}

void FadeOrRepaint(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Half, bool Animate, int Kind) {
    if (!HasSkin(SkinData)) return;
    const TsGeneralData* s = SkinData->Section();
    if (Animate && !acSkinChanging && s->FadingEnabled && !acNoAnimation && SkinData->CacheBmp &&
        !SkinData->CacheBmp->Empty() && !SkinData->BGChanged) {
        SkinData->BGChanged = true;
        StartFade(Timer, SkinData, Half, Kind);
        return;
    }
    SkinData->BGChanged = true;
    StopFade(Timer);
    if (SkinData->OwnerControl) SkinData->OwnerControl->Repaint();
    else if (SkinData->OwnerHandle)
        RedrawWindow(SkinData->OwnerHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void StartFade(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Half, int Kind) {
    if (!HasSkin(SkinData) || !SkinData->CacheBmp) return;
    const TsGeneralData* s = SkinData->Section();
    if (!s->FadingEnabled) return;
    if (!Timer) Timer = new TsFadeTimer(SkinData->OwnerControl);
    TsFadeTimer* t = Timer;
    t->FHolder = &Timer;
    t->SetEnabled(false);
    t->SkinData = SkinData;
    // A copy: the owner is about to rebuild its cache into the new picture.
    t->OldBmp->Assign(SkinData->CacheBmp);
    t->SetInterval(10);
    t->Iterations = std::max(1, Half ? s->FadingIterations / 2 : s->FadingIterations);
    if (t->StepIndex < 1 || t->StepIndex > t->Iterations) t->StepIndex = 1;
    SendToOwner(SkinData, AC_PREPARECACHE, 0);
    // The owner may have stopped the fade meanwhile.
    if (Timer != t) return;
    t->FadeKind = Kind;
    t->SetEnabled(true);
}

void StopFade(TsFadeTimer*& Timer) {
    TsFadeTimer* t = Timer;
    if (!t) return;
    Timer = nullptr;
    t->FHolder = nullptr;
    ReleaseSkinTimer(t);
}

void FadeStep(TsFadeTimer* Timer) {
    if (!Timer || Timer->Released()) return;
    TStepGuard guard(Timer);
    TsCommonData* d = Timer->SkinData;
    if (!OwnerAlive(d) || !d->CacheBmp) {
        Timer->SetEnabled(false);
        return;
    }
    if (OwnerEnabled(d)) {
        const int alpha = Clamp255(255 - Timer->StepIndex * 256 / std::max(1, Timer->Iterations));
        BlendFadeFrame(Timer->FrameBmp, Timer->OldBmp, d->CacheBmp, alpha);
        if (SendToOwner(d, AC_FADEFRAME, reinterpret_cast<LPARAM>(Timer->FrameBmp)) == 0 && !Timer->Released() &&
            OwnerAlive(d))
            CopyToOwner(d, Timer->FrameBmp);
        if (Timer->Released()) return;
        TellRefreshTarget(d);
        ++Timer->StepIndex;
    } else {
        // A disabled owner shows its disabled look at once.
        Timer->SetEnabled(false);
        Timer->Iterations = 0;
        InvalidateOwner(d);
    }
    if (Timer->StepIndex > Timer->Iterations && !Timer->Released()) {
        SendToOwner(d, AC_STOPFADE, 0);
        // An owner that does not answer command 16 must not get it again.
        if (!Timer->Released()) Timer->SetEnabled(false);
    }
}

void AnimSetup(TsAnimTimer* Timer, TsCommonData* SkinData) {
    if (!Timer) return;
    Timer->SkinData = SkinData;
    Timer->SetInterval(10);
    const TsGeneralData* s = SkinData ? SkinData->Section() : nullptr;
    Timer->Iterations = s ? s->FadingIterations : 0;
}

void AnimStep(TsAnimTimer* Timer) {
    if (!Timer || Timer->Released() || Timer->Busy()) return;
    TStepGuard guard(Timer);
    TsCommonData* d = Timer->SkinData;
    if (!OwnerAlive(d) || Timer->Iterations == 0 || !d->CacheBmp) {
        Timer->SetEnabled(false);
        return;
    }
    const int alpha = Clamp255(255 - Timer->Position * 256 / Timer->Iterations);
    BlendFadeFrame(Timer->FrameBmp, Timer->OldBmp, d->CacheBmp, alpha);
    if (TControl* c = d->OwnerControl) {
        TWinControl* parent = c->Parent();
        const LPARAM self = reinterpret_cast<LPARAM>(c);
        if (parent) SendSkinCommand(parent, AC_SETPAINTINGCHILD, self);
        SendSkinCommand(c, AC_SETUPDATING, 0, 0);
        c->Repaint();
        if (parent && !parent->ComponentState().Contains(csDestroying)) SendSkinCommand(parent, AC_SETPAINTINGCHILD, 0);
    }
    if (Timer->Released()) return;
    TellRefreshTarget(d);
    ++Timer->Position;
    if (Timer->Position > Timer->Iterations) {
        SendToOwner(d, AC_STOPFADE, 0);
        if (!Timer->Released()) Timer->SetEnabled(false);
    }
}

// ---------------------------------------------------------------------------
// The snapshot window

CLASSLIB_DEFINE_CLASS(TOutputWindow, TCustomControl)

TOutputWindow::TOutputWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FVisible = false;
    FControlStyle = TControlStyle{csOpaque};
}

void TOutputWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
}

void TOutputWindow::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_NCHITTEST: Message.Result = HTTRANSPARENT; return;
        case WM_ERASEBKGND: Message.Result = 1; return;
        default: TCustomControl::Dispatch(Message);
    }
}

void TOutputWindow::Paint() {
    if (Picture && !Picture->Empty())
        BitBlt(Canvas()->Handle(), 0, 0, Picture->Width(), Picture->Height(), Picture->Canvas()->Handle(), 0, 0,
               SRCCOPY);
}

void FreeOutputWindow() {
    TOutputWindow* w = acOutputWindow;
    acOutputWindow = nullptr;
    acAnimationWindow = nullptr;
    if (w) w->Free();
    delete acSnapshotBitmap;
    acSnapshotBitmap = nullptr;
}

void PrepareOutputWindow(TControl* Control) {
    if (!Control || acOutputWindow) return;
    const int w = Control->Width(), h = Control->Height();
    if (w <= 0 || h <= 0) return;
    const TPoint origin = Control->Parent() ? Control->Parent()->ClientToScreen(TPoint{Control->Left(), Control->Top()})
                                            : TPoint{Control->Left(), Control->Top()};
    acSnapshotBitmap = new TBitmap(w, h, pf24bit);
    BitBlt(acSnapshotBitmap->Canvas()->Handle(), 0, 0, w, h, TScreenDC(), origin.x, origin.y, SRCCOPY);
    acOutputWindow = new TOutputWindow(nullptr);
    acOutputWindow->Picture = acSnapshotBitmap;
    acOutputWindow->SetBounds(origin.x, origin.y, w, h);
    HWND h2 = acOutputWindow->Handle();
    acAnimationWindow = h2;
    SetWindowPos(h2, HWND_TOPMOST, origin.x, origin.y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    RedrawWindow(h2, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void FadeInControl(TControl* Control, int Time) {
    if (!acOutputWindow || !acSnapshotBitmap) return;
    auto* w = dynamic_cast<TWinControl*>(Control);
    const int steps = Time >> 3;
    if (w && w->HandleAllocated() && steps > 0 && !w->ComponentState().Contains(csDestroying)) {
        // The control's new picture, painted while it is still hidden under the snapshot.
        TBitmap target(acSnapshotBitmap->Width(), acSnapshotBitmap->Height(), pf24bit);
        HDC tdc = target.Canvas()->Handle();
        SendMessageA(w->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(tdc),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
        TBitmap frame;
        HWND out = acOutputWindow->Handle();
        for (int i = 1; i <= steps; ++i) {
            const DWORD due = GetTickCount() + 8;
            BlendFadeFrame(&frame, acSnapshotBitmap, &target, 255 - i * 256 / steps);
            BitBlt(TClientDC(out), 0, 0, frame.Width(), frame.Height(), frame.Canvas()->Handle(), 0, 0, SRCCOPY);
            GdiFlush();
            const DWORD now = GetTickCount();
            if (i<steps&& static_cast<int>(due - now)> 0) Sleep(due - now);
        }
    }
    FreeOutputWindow();
}
