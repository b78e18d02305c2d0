#include "sSplitter.h"

#include "sSkinnedProps.h"

CLASSLIB_DEFINE_CLASS(TsSplitter, TSplitter, acSkinDataProp<TsSplitter>())

TsSplitter::TsSplitter(TComponent* AOwner)
    : TsSkinned(AOwner, acCtSplitter, TsFrameOptions{/*UsesRegion=*/false, /*CreateCache=*/false}) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks};
    FWidth = 6;
}

TsPaintState TsSplitter::CurrentState() {
    if (FDragging && ResizeStyle() == rsUpdate) return TsPaintState::Pressed;
    return TsSkinned::CurrentState();
}

void TsSplitter::SnapCollapsedNeighbours() {
    if (!FParent) return;
    for (int i = 0; i < FParent->ControlCount(); ++i) {
        TControl* c = FParent->Controls(i);
        if (c == this) continue;
        if (FAlign == alTop && c->Height() == 0) c->SetTop(FTop);
        if (FAlign == alLeft && c->Width() == 0) c->SetLeft(FLeft);
    }
}

void TsSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) HideHintsForOwnPress();
    if (AutoSnap()) SnapCollapsedNeighbours();
    const std::shared_ptr<const bool> alive = Alive();
    TSplitter::MouseDown(Button, Shift, X, Y);
    if (!*alive || Button != mbLeft) return;
    FDragging = true;
    if (ResizeStyle() == rsUpdate) InvalidateOwner(SkinData());
}

void TsSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const std::shared_ptr<const bool> alive = Alive();
    TSplitter::MouseUp(Button, Shift, X, Y);
    if (!*alive || Button != mbLeft) return;
    EndDrag();
    // The drag may have taken the hot look while the bar lagged behind the
    // mouse; the bar under the mouse now is hot again without another move.
    TrackMouseControl(Mouse->CursorPos());
}

void TsSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    // The release went elsewhere (the mouse was taken away meanwhile).
    if (FDragging && !Shift.Contains(ssLeft)) EndDrag();
    TSplitter::MouseMove(Shift, X, Y);
}

void TsSplitter::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_CANCELMODE) EndDrag();
    TsSkinned::Dispatch(Message);
}

void TsSplitter::EndDrag() {
    RestoreHintsAfterOwnPress();
    if (!FDragging) return;
    FDragging = false;
    if (ResizeStyle() == rsUpdate) InvalidateOwner(SkinData());
}

void TsSplitter::PaintSkinnedWithEvent(TMessage& Message) {
    // The splitter moves with every resize and keeps no picture between paints.
    SkinData()->BGChanged = true;
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PaintSkinned(dc);
    if (OnPaint && dc) FCanvas->WithHandle(dc, [this] { OnPaint(this); });
}

bool TsSplitter::SkinnedMessage(TMessage& Message) {
    switch (Message.Msg) {
        case WM_PAINT: PaintSkinnedWithEvent(Message); return true;
        case WM_PRINT: SkinData()->BGChanged = true; return false;
        case WM_NCPAINT: Message.Result = 1; return true;
        default: return false;
    }
}
