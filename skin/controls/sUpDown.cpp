#include "sUpDown.h"

#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinnedProps.h"

#include <windowsx.h>

// clang-format off
CLASSLIB_DEFINE_CLASS(TsUpDown, TCustomUpDown, acSkinDataProp<TsUpDown>(), acDisabledKindProp<TsUpDown>(),
    OrdProp<TsUpDown>("ShowInaccessibility", TTypeKind::tkBool, &TsUpDown::ShowInaccessibility,
                      &TsUpDown::SetShowInaccessibility, 1),
    StrProp<TsUpDown>("ButtonSkin", &TsUpDown::ButtonSkin, &TsUpDown::SetButtonSkin))
// clang-format on

namespace {

// The scroll-button section of each half: first / second, vertical / horizontal.
const TacItemIndexes& ScrollButton(TsSkinManager* M, bool Vertical, int Half) {
    const TacStandardIndexes& s = M->StdIndexes();
    if (Vertical) return Half == 0 ? s.ScrollBtnTop : s.ScrollBtnBottom;
    return Half == 0 ? s.ScrollBtnLeft : s.ScrollBtnRight;
}

}  // namespace

TsUpDown::TsUpDown(TComponent* AOwner) : TsSkinned(AOwner, acCtUnknown) {
    FControlStyle.Exclude(csDoubleClicks);
    ChooseSection();
}

TsUpDown::~TsUpDown() {
    if (HandleAllocated()) DestroyHandle();
}

void TsUpDown::ChooseSection() {
    TsSkinManager* m = SkinData()->GetSkinManager();
    if (!FButtonSkin.empty() && SectionIndexOf(m, FButtonSkin) >= 0) SkinData()->SetSkinSection(FButtonSkin);
    else SkinData()->SetSkinSection(Vertical() ? "SCROLLBTNTOP" : "SCROLLBTNLEFT");
}

void TsUpDown::CreateWnd() {
    // A new window may come with a new orientation.
    ChooseSection();
    TsSkinned::CreateWnd();
}

void TsUpDown::AfterSkinCommand(WORD Code) {
    if (Code == AC_NEWSKIN) ChooseSection();
}

void TsUpDown::SetShowInaccessibility(bool Value) {
    if (FShowInaccessibility == Value) return;
    FShowInaccessibility = Value;
    InvalidateOwner(SkinData());
}

void TsUpDown::SetButtonSkin(const String& Value) {
    if (FButtonSkin == Value) return;
    FButtonSkin = Value;
    ChooseSection();
    InvalidateOwner(SkinData());
}

void TsUpDown::SetPartState(TacUpDownPart Value) {
    if (FPart == Value) return;
    FPart = Value;
    InvalidateOwner(SkinData());
}

TRect TsUpDown::FirstHalfRect() const {
    return Vertical() ? TRect{0, 0, Width(), Height() / 2} : TRect{0, 0, Width() / 2, Height()};
}

TRect TsUpDown::SecondHalfRect() const {
    const TRect first = FirstHalfRect();
    return Vertical() ? TRect{0, first.bottom, Width(), Height()} : TRect{first.right, 0, Width(), Height()};
}

bool TsUpDown::AtLimit(int Half) const {
    const bool towardsMax = Vertical() == (Half == 0);
    return Position() == (towardsMax ? FMax : FMin);
}

// --- Painting -------------------------------------------------------------------

void TsUpDown::PaintContent(TsPaintState) {
    const TCacheInfo parent = ParentCacheOf(SkinData());
    PaintHalf(0, parent);
    PaintHalf(1, parent);
}

void TsUpDown::PaintHalf(int Half, const TCacheInfo& ParentCache) {
    TsSkinManager* m = SkinData()->GetSkinManager();
    const TacItemIndexes& button = ScrollButton(m, Vertical(), Half);
    const int section = FButtonSkin.empty() ? -1 : SectionIndexOf(m, FButtonSkin);
    const int index = section >= 0 ? section : button.Section;
    if (!IsValidSectionIndex(m, index)) return;
    const TRect r = Half == 0 ? FirstHalfRect() : SecondHalfRect();
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    int state = 0;
    if (FPart == (Half == 0 ? TacUpDownPart::FirstHot : TacUpDownPart::SecondHot)) state = 1;
    if (FPart == (Half == 0 ? TacUpDownPart::FirstPressed : TacUpDownPart::SecondPressed)) state = 2;
    TBitmap half(w, h);
    const TPoint offset{Left() + r.left, Top() + r.top};
    PaintSkinItem(index, m->gd()[index].Name, ParentCache, false, state, TRect{0, 0, w, h}, offset, &half, m);
    if (IsValidMaskIndex(m, button.Glyph)) {
        const TSize g = MaskSize(m, button.Glyph);
        const TPoint p{(w - g.cx) / 2, (h - g.cy) / 2};
        if (p.x >= 0 && p.y >= 0) PaintImageState(&half, p, state, button.Glyph, 0, m);
    }
    // A disabled control is greyed whole by the frame.
    if (Enabled() && FShowInaccessibility && AtLimit(Half))
        ApplyDisabledLook(&half, DisabledKind(), Parent(), offset, ParentCache);
    BitBlt(SkinData()->CacheBmp->Canvas()->Handle(), r.left, r.top, w, h, half.Canvas()->Handle(), 0, 0, SRCCOPY);
}

// --- Mouse ----------------------------------------------------------------------

void TsUpDown::HitTest(TMessage& Message) {
    InheritedWndProc(Message);
    if (Designing()) return;
    POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    ::ScreenToClient(Handle(), &p);
    const TRect first = FirstHalfRect(), second = SecondHalfRect();
    const int half = PtInRect(&first, p) ? 0 : PtInRect(&second, p) ? 1 : -1;
    if (half < 0) return;
    const TacUpDownPart hot = half == 0 ? TacUpDownPart::FirstHot : TacUpDownPart::SecondHot;
    if (FShowInaccessibility && AtLimit(half)) SetPartState(TacUpDownPart::None);
    else if (!FPressed) SetPartState(hot);
}

void TsUpDown::Pressed() {
    FPressed = true;
    if (FPart == TacUpDownPart::FirstHot && !AtLimit(0)) SetPartState(TacUpDownPart::FirstPressed);
    else if (FPart == TacUpDownPart::SecondHot && !AtLimit(1)) SetPartState(TacUpDownPart::SecondPressed);
}

void TsUpDown::Released() {
    if (!FPressed) return;
    FPressed = false;
    // Only a pressed half turns back to hot; a press that showed nothing
    // leaves the halves as they are.
    const bool inaccessible0 = FShowInaccessibility && AtLimit(0), inaccessible1 = FShowInaccessibility && AtLimit(1);
    if (FPart == TacUpDownPart::FirstPressed)
        SetPartState(inaccessible0 ? TacUpDownPart::None : TacUpDownPart::FirstHot);
    else if (FPart == TacUpDownPart::SecondPressed)
        SetPartState(inaccessible1 ? TacUpDownPart::None : TacUpDownPart::SecondHot);
}

bool TsUpDown::SkinnedMessage(TMessage& Message) {
    switch (Message.Msg) {
        // The system window invalidates itself on every change of position and press.
        case WM_PAINT:
        case WM_PRINT: SkinData()->BGChanged = true; return false;
        case WM_NCPAINT: return true;
        case WM_NCHITTEST: HitTest(Message); return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_NCLBUTTONDBLCLK:
            InheritedWndProc(Message);
            if (!Designing()) Pressed();
            if (Message.Msg == WM_LBUTTONDOWN) Message.Result = 1;
            return true;
        case WM_LBUTTONUP:
            InheritedWndProc(Message);
            if (!Designing()) Released();
            return true;
        case CM_MOUSELEAVE:
            FPressed = false;
            SetPartState(TacUpDownPart::None);
            return false;
        default: return false;
    }
}
