#include "sCheckBox.h"

#include "ActnList.h"
#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinText.h"

#include <algorithm>

TPropInfo acNamedSet(TPropInfo Prop, std::vector<String> Names) {
    Prop.ElementNames = std::move(Names);
    return Prop;
}

namespace {

bool IsSpace(const TMessage& M) { return M.WParam == VK_SPACE; }

// What a user does to change a check control's state.
bool IsUserToggle(const TMessage& M) {
    switch (M.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case CN_COMMAND: return true;
        case WM_KEYDOWN:
        case WM_KEYUP: return IsSpace(M);
        default: return false;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// TsCheckControl: glyph and caption

template <class Base>
int TsCheckControl<Base>::MaskIndex() {
    TsSkinManager* m = this->SkinData()->GetSkinManager();
    if (!m || !m->Active()) return -1;
    return MaskIndexOf(m, m->StdIndexes().GlobalInfo, "GLOBALINFO", MaskName());
}

template <class Base>
TSize TsCheckControl<Base>::GlyphSize() {
    switch (GlyphSource()) {
        case TacGlyphSource::ImageList: return ImageListGlyphSize();
        case TacGlyphSource::Custom: return TSize{GlyphChecked()->Width() / 3, GlyphChecked()->Height() / 2};
        default: break;
    }
    const int mask = MaskIndex();
    TsSkinManager* m = this->SkinData()->GetSkinManager();
    // Without a picture, room for one all the same.
    return IsValidMaskIndex(m, mask) ? MaskSize(m, mask) : TSize{16, 16};
}

template <class Base>
TRect TsCheckControl<Base>::CheckRect() {
    const TSize g = GlyphSize();
    if (GlyphSource() == TacGlyphSource::Skin && !IsValidMaskIndex(this->SkinData()->GetSkinManager(), MaskIndex()))
        return TRect{0, 0, 16, 16};
    const int top = (this->Height() - g.cy) / 2;
    if (this->GetControlsAlignment() == taRightJustify) return TRect{FMargin, top, FMargin + g.cx, top + g.cy};
    return TRect{this->Width() - g.cx - FMargin, top, this->Width() - FMargin, top + g.cy};
}

template <class Base>
void TsCheckControl<Base>::PaintCustomGlyph(TBitmap* Glyph, TsPaintState State) {
    TBitmap* cache = this->SkinData()->CacheBmp;
    if (!cache || cache->Width() == 0 || Glyph->Width() == 0) return;
    Glyph->SetPixelFormat(pf24bit);
    const TSize g = GlyphSize();
    const int x = acStateIndex(State) * g.cx;
    BlendRectThroughMask(CheckRect(), TRect{x, 0, x + g.cx, g.cy}, cache, Glyph);
}

template <class Base>
void TsCheckControl<Base>::PaintGlyph(TsPaintState State) {
    switch (GlyphSource()) {
        case TacGlyphSource::ImageList: PaintImageListGlyph(State); return;
        case TacGlyphSource::Custom:
            // A grayed box has no picture of its own here: the unchecked one.
            PaintCustomGlyph(this->Checked() ? GlyphChecked() : GlyphUnChecked(), State);
            return;
        case TacGlyphSource::Skin: break;
    }
    TBitmap* cache = this->SkinData()->CacheBmp;
    TsSkinManager* m = this->SkinData()->GetSkinManager();
    const int mask = MaskIndex();
    if (!cache || cache->Width() == 0 || !IsValidMaskIndex(m, mask)) return;
    acParentColor = acNoColor;
    const TRect r = CheckRect();
    PaintImageState(cache, TPoint{r.left, r.top}, acStateIndex(State), mask, 1, m);
}

template <class Base>
void TsCheckControl<Base>::PaintCaption(TsPaintState) {
    const String text = this->Caption();
    if (text.empty()) return;
    TCanvas* canvas = this->SkinData()->CacheBmp->Canvas();
    const bool wrap = this->FWordWrap;
    const TRect g = CheckRect();
    const int limit = this->Width() - (RectWidth(g) + FTextIndent + 2 * FMargin + 2);
    TRect r{0, 0, limit, 0};
    canvas->TextRect(r, text, UINT(DT_CALCRECT | (wrap ? DT_WORDBREAK : DT_SINGLELINE)));
    const int textWidth = RectWidth(r);
    const int top = std::max((this->Height() - RectHeight(r)) / 2, FMargin);
    const int bottom = this->Height() - top;
    if (this->GetControlsAlignment() == taRightJustify) {
        const int left = this->Width() - limit - FMargin + 2;
        r = TRect{left, top, CaptionToRightMargin() ? this->Width() - FMargin : left + RectWidth(r), bottom};
    } else {
        r = TRect{FMargin, top, FMargin + limit, bottom};
    }
    OffsetRect(&r, wrap ? -1 : 0, -1);
    WriteSkinTextWebShort(canvas, text, true, HotLook(), this->SkinData(),
                          UINT(wrap ? DT_WORDBREAK | DT_CENTER : DT_SINGLELINE), r);
    canvas->Pen()->SetStyle(psClear);
    canvas->Brush()->SetStyle(bsSolid);
    if (!this->SkinData()->Focused || !FShowFocus) return;
    // Around the caption itself, not the room it may take.
    const int shown = std::min(textWidth, RectWidth(r));
    if (wrap) r.left += (RectWidth(r) - shown) / 2;
    r.right = r.left + shown;
    r.bottom -= wrap ? 1 : 2;
    r.top += 1;
    InflateRect(&r, 1, 1);
    DrawDottedFrame(canvas, r);
}

template <class Base>
void TsCheckControl<Base>::RebuildCache(TsPaintState State) {
    TsCommonData* d = this->SkinData();
    PrepareCacheBmp(d);
    d->CacheBmp->Canvas()->SetFont(this->Font());
    TCacheInfo ci = ParentCacheOf(d);
    const TPoint offset{this->Left(), this->Top()};
    PaintDataItem(d, ci, true, d->CacheBmp, offset, TRect{0, 0, d->CacheBmp->Width(), this->Height()},
                  HotLook() ? 1 : 0);
    PaintCaption(State);
    PaintGlyph(State);
    if (!this->Enabled()) {
        ci = ParentCacheOf(d);
        acParentColor = acNoColor;
        ApplyDisabledLook(d->CacheBmp, this->DisabledKind(), this->Parent(), offset, ci);
    }
    RepairAllCorners(d, 0);
    acParentColor = acParentColor2 = acNoColor;
    d->BGChanged = false;
}

template <class Base>
bool TsCheckControl<Base>::CanAutoSize(int& NewWidth, int& NewHeight) {
    const String text = this->Caption();
    // Measured on either route: a box without a skin sizes to its text too.
    const TSize t = TextSizeOnScreen(this->Font(), text.empty() ? String("W") : text);
    const int cw = text.empty() ? 0 : t.cx, ch = t.cy;
    if (HasSkin(this->SkinData(), false)) {
        if (this->ComponentState().Contains(csLoading) || !this->FAutoSize) return false;
        const TRect g = CheckRect();
        NewWidth = RectWidth(g) + 2 * FMargin + (text.empty() ? 0 : cw + FTextIndent + 8);
        NewHeight = std::max(RectHeight(g), (text.empty() ? 0 : ch) + 2 * FMargin) + 2;
        return true;
    }
    if (!this->FAutoSize) return Frame::CanAutoSize(NewWidth, NewHeight);
    NewWidth = cw + 20;
    NewHeight = ch + 4;
    return true;
}

// ---------------------------------------------------------------------------
// TsCheckControl: messages

template <class Base>
void TsCheckControl<Base>::TakeFocus() {
    // OnEnter may free the control.
    const TBoolScope quiet(this->FClicksDisabled, true, this->Alive());
    ::SetFocus(this->Handle());
}

template <class Base>
bool TsCheckControl<Base>::Press(TMessage& M) {
    if (GetReadOnly()) return true;
    const std::shared_ptr<const bool> alive = this->Alive();
    FPressed = true;
    if (M.Msg == WM_KEYDOWN) {
        if (!this->Focused()) TakeFocus();
        if (!*alive) return true;
        this->Repaint();
        // Through the virtual: a radio group's item passes its keys to the group.
        WORD key = static_cast<WORD>(M.WParam);
        this->KeyDown(key, KeyDataToShiftState(M.LParam));
        return true;
    }
    // As the system's own button does: the release comes back wherever it happens.
    SetCapture(this->Handle());
    this->FadeOrRepaint(aeMouseDown, /*Half=*/true);
    if (!this->Focused()) TakeFocus();
    if (!*alive) return true;
    if (M.Msg == WM_LBUTTONDBLCLK) {
        FireEvent(this->OnDblClick, this);
    } else {
        FireEvent(this->OnMouseDown, this, mbLeft, KeysToShiftState(M.Keys()), M.XPos(), M.YPos());
    }
    return true;
}

template <class Base>
bool TsCheckControl<Base>::Release(TMessage& M) {
    if (GetReadOnly()) return true;
    const std::shared_ptr<const bool> alive = this->Alive();
    // A release away from the control (the mouse held) is no click.
    const TRect client = this->ClientRect();
    const bool pressed = FPressed && (M.Msg == WM_KEYUP || PtInRect(&client, POINT{M.XPos(), M.YPos()}));
    FPressed = false;
    if (M.Msg == WM_LBUTTONUP && GetCapture() == this->Handle()) ReleaseCapture();
    if (!*alive) return true;
    // The state change fires OnClick, whose handler may free the control.
    if (pressed) Released();
    if (!*alive) return true;
    this->Repaint();
    if (M.Msg == WM_KEYUP) {
        WORD key = static_cast<WORD>(M.WParam);
        this->KeyUp(key, KeyDataToShiftState(M.LParam));
    } else {
        FireEvent(this->OnMouseUp, this, mbLeft, KeysToShiftState(M.Keys()), M.XPos(), M.YPos());
    }
    return true;
}

template <class Base>
bool TsCheckControl<Base>::PressLost() {
    if (!FPressed) return false;
    FPressed = false;
    this->Repaint();
    return false;
}

template <class Base>
bool TsCheckControl<Base>::PressStarts(const TMessage& M) const {
    if (!this->Enabled() || this->Designing()) return false;
    switch (M.Msg) {
        case WM_KEYDOWN:
        case WM_KEYUP: return IsSpace(M);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return this->DragMode() == dmManual;
        case WM_LBUTTONUP: return true;
        default: return false;
    }
}

template <class Base>
bool TsCheckControl<Base>::PaintNow(HDC DC) {
    // Rebuilt at each paint: state, focus and caption all show in it.
    this->SkinData()->BGChanged = true;
    this->PaintSkinned(DC);
    return true;
}

template <class Base>
bool TsCheckControl<Base>::SkinnedMessage(TMessage& M) {
    switch (M.Msg) {
        case CM_MOUSELEAVE:
            // A press that leaves the control is no click.
            if (OwnMouseMessage(M, this) && this->Enabled() && !this->Designing()) FPressed = false;
            return false;
        case WM_NCPAINT: return true;
        case WM_PAINT:
            if (!this->Parent()) return true;
            return PaintNow(reinterpret_cast<HDC>(M.WParam));
        case WM_PRINT: this->SkinData()->Updating = false; return PaintNow(reinterpret_cast<HDC>(M.WParam));
        case WM_KEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return PressStarts(M) && Press(M);
        case WM_KEYUP:
        case WM_LBUTTONUP: return PressStarts(M) && Release(M);
        case WM_CANCELMODE:
        case WM_CAPTURECHANGED: return PressLost();
        case CN_COMMAND: return GetReadOnly();
        case CM_ENABLEDCHANGED: {
            const std::shared_ptr<const bool> alive = this->Alive();
            this->InheritedWndProc(M);
            if (*alive) this->Repaint();
            return true;
        }
        case CM_TEXTCHANGED:
            this->AdjustSize();
            this->Repaint();
            return true;
        default: return false;
    }
}

template <class Base>
void TsCheckControl<Base>::UnskinnedMessage(TMessage& M) {
    // The system button would toggle its look while the state stays.
    if (GetReadOnly() && IsUserToggle(M)) return;
    Frame::UnskinnedMessage(M);
}

template <class Base>
void TsCheckControl<Base>::AfterSkinCommand(WORD Code) {
    switch (Code) {
        case AC_REMOVESKIN:
            // The system button paints itself again: it must know the state.
            if (this->HandleAllocated()) {
                SendMessageA(this->Handle(), BM_SETCHECK, SystemCheck(), 0);
                if (!this->Designing()) acSetWindowThemeOn(this->Handle());
            }
            break;
        case AC_REFRESH: this->AdjustSize(); break;
        default: break;
    }
}

template class TsCheckControl<TCustomCheckBox>;
template class TsCheckControl<TRadioButton>;

// ---------------------------------------------------------------------------
// TsCheckBox

// clang-format off
CLASSLIB_DEFINE_CLASS(TsCheckBox, TCustomCheckBox, AC_CHECK_CONTROL_PROPS(TsCheckBox),
    ObjProp<TsCheckBox, TCustomImageList>("Images", &TsCheckBox::Images, &TsCheckBox::SetImages),
    OrdProp<TsCheckBox>("ImgChecked", TTypeKind::tkInteger, &TsCheckBox::ImgChecked, &TsCheckBox::SetImgChecked, 0),
    OrdProp<TsCheckBox>("ImgUnchecked", TTypeKind::tkInteger, &TsCheckBox::ImgUnchecked, &TsCheckBox::SetImgUnchecked,
                        0))
// clang-format on

TsCheckBox::TsCheckBox(TComponent* AOwner) : TsCheckControl(AOwner, acCtCheckBox) {}

TsCheckBox::~TsCheckBox() {
    // The window goes while the frame still exists: its last messages reach it.
    if (HandleAllocated()) DestroyHandle();
}

void TsCheckBox::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    AdjustSize();
    InvalidateOwner(SkinData());
}

void TsCheckBox::Notification(TComponent* AComponent, TOperation Operation) {
    TsCheckControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) FImages = nullptr;
}

void TsCheckBox::SetImgChecked(int Value) {
    if (FImgChecked == Value) return;
    FImgChecked = Value;
    AdjustSize();
    if (Checked()) InvalidateOwner(SkinData());
}

void TsCheckBox::SetImgUnchecked(int Value) {
    if (FImgUnchecked == Value) return;
    FImgUnchecked = Value;
    AdjustSize();
    if (!Checked()) InvalidateOwner(SkinData());
}

TacGlyphSource TsCheckBox::GlyphSource() {
    if (FImages && FImgChecked >= 0 && FImgUnchecked >= 0) return TacGlyphSource::ImageList;
    return TsCheckControl::GlyphSource();
}

TSize TsCheckBox::ImageListGlyphSize() { return TSize{FImages->Width() / 3, FImages->Height() / 2}; }

void TsCheckBox::PaintImageListGlyph(TsPaintState State) {
    TBitmap glyph;
    FImages->GetBitmap(Checked() ? FImgChecked : FImgUnchecked, &glyph);
    PaintCustomGlyph(&glyph, State);
}

const char* TsCheckBox::MaskName() {
    switch (State()) {
        case cbChecked: return "BOXCHECKED";
        case cbGrayed: return "BOXGRAYED";
        default: return "BOXUNCHECKED";
    }
}

void TsCheckBox::SetChecked(bool Value) {
    // A description's value is kept for the window and the first paint.
    if (ComponentState().Contains(csLoading)) return TsCheckControl::SetChecked(Value);
    if (Value != Checked()) SkinData()->BGChanged = true;
    TsCheckControl::SetChecked(Value);
    if (SkinData()->BGChanged) Repaint();
}

void TsCheckBox::ActionChange(TObject* Sender, bool CheckDefaults) {
    SkinData()->BGChanged = true;
    TsCheckControl::ActionChange(Sender, CheckDefaults);
    Repaint();
}

bool TsCheckBox::SkinnedMessage(TMessage& M) {
    switch (M.Msg) {
        case BM_SETCHECK: {
            // The system button never holds the state while skinned.
            TsFadeTimer* t = FadeTimer();
            if (t && t->StepIndex < t->Iterations) StopFade();
            return true;
        }
        case CM_CHANGED:
            if (Designing()) InvalidateOwner(SkinData());
            else FadeOrRepaint(aeMouseUp, /*Half=*/true);
            return false;
        default: return TsCheckControl::SkinnedMessage(M);
    }
}
