#include "sEdit.h"

#include "Scopes.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinText.h"

// clang-format off
CLASSLIB_DEFINE_CLASS(TsEdit, TEdit,
    ObjProp<TsEdit, TsCommonData>("SkinData", &TsEdit::SkinData),
    ObjProp<TsEdit, TsBoundLabel>("BoundLabel", &TsEdit::BoundLabel),
    OrdProp<TsEdit, TsDisabledKind, TsDisabledKind>("DisabledKind", TTypeKind::tkSet, &TsEdit::DisabledKind,
                                                   &TsEdit::SetDisabledKind, TsDisabledKind{dkBlended}.ToBits()))
// clang-format on

TsEdit::TsEdit(TComponent* AOwner)
    : TsSkinned(AOwner, acCtSingleLineEdit), FBoundLabel(std::make_unique<TsBoundLabel>(this, SkinData())) {}

TsEdit::~TsEdit() {
    // The window went in BeforeDestruction, while label and skin data lived;
    // the label goes before the skin data it was made with.
    FBoundLabel.reset();
}

int TsEdit::BorderWidth() const { return FBorderStyle == bsNone ? 0 : (Ctl3D() ? 2 : 1); }

void TsEdit::WndProc(TMessage& M) {
    // The edit's own background counts as plain, skinned or not.
    if (M.Msg == SM_ALPHACMD && M.WParamHi() == AC_BGNOTPLAIN) {
        M.LParam = 0;
        M.Result = 0;
        return;
    }
    const std::shared_ptr<const bool> alive = Alive();
    TsSkinned::WndProc(M);
    if (*alive && FBoundLabel) FBoundLabel->FollowControl(M.Msg);
}

bool TsEdit::SkinnedMessage(TMessage& M) {
    TsCommonData* d = SkinData();
    if (M.Msg == SM_ALPHACMD) {
        if (M.WParamHi() != AC_PARENTCHANGED || !IsUpdating(d)) return false;
        d->Updating = false;
        Repaint();
        RepaintFrame();
        return true;
    }
    switch (M.Msg) {
        case WM_PAINT:
            d->Updating = IsUpdating(d);
            if (d->Updating) {
                const TPaintScope validate(Handle(), nullptr);
                return true;
            }
            SetPaintColors();
            InheritedWndProc(M);
            return true;
        case WM_ERASEBKGND:
        case CN_DRAWITEM:
            d->Updating = IsUpdating(d);
            if (!d->Updating) InheritedWndProc(M);
            return true;
        case WM_NCPAINT: PaintBorder(); return true;
        case WM_PRINT: Print(M); return true;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: FocusChange(M); return true;
        // The system edit greys itself; the skin shows it on CM_ENABLEDCHANGED.
        case WM_ENABLE: InheritedWndProc(M); return true;
        case CM_COLORCHANGED:
            if (d->CustomColor()) d->BGChanged = true;
            return false;
        default: return false;
    }
}

void TsEdit::AfterInherited(TMessage& M) {
    if (IsSkinCommand(M, AC_SETFLAG9) && SkinData()->Command9Flag) PrepareCache();
    switch (M.Msg) {
        case WM_SIZE: RepaintFrame(); break;
        case WM_SETTEXT:
        case WM_SETFONT:
        case CM_VISIBLECHANGED:
        case CM_ENABLEDCHANGED:
            if (ComponentState().Contains(csLoading)) break;
            InvalidateOwner(SkinData());
            RepaintFrame();
            break;
        default: break;
    }
}

void TsEdit::AfterSkinCommand(WORD Code) {
    // The frame is not part of Repaint: the system's edge comes back on
    // removal, the skin's on refresh.
    if (Code == AC_REMOVESKIN || Code == AC_REFRESH) RepaintFrame();
}

void TsEdit::AnimateChange(TacAnimatEvent, bool) { ShowNewLook(); }

void TsEdit::FocusChange(TMessage& M) {
    CommonMessage(M, SkinData());
    const std::shared_ptr<const bool> alive = Alive();
    InheritedWndProc(M);
    if (!*alive) return;
    if (M.Msg == WM_KILLFOCUS) {
        SkinData()->Focused = false;
        SkinData()->MouseAbove = false;
    }
    if (Visible()) ShowNewLook();
}

void TsEdit::ShowNewLook() {
    SkinData()->BGChanged = true;
    if (HandleAllocated() && Visible())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

void TsEdit::RepaintFrame() {
    if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

void TsEdit::SetPaintColors() {
    TsCommonData* d = SkinData();
    const TsGeneralData* s = d->Section();
    if (!s) return;
    const bool hot = ControlStateIndex(d);
    const TColor color = TColor(hot ? s->HotColor : s->Color);
    const TColor font = TColor(hot ? s->HotFontColor[0] : s->FontColor[0]);
    if (!d->CustomColor() && Color() != color) SetColor(color);
    if (!d->CustomFont() && Font()->Color() != font) Font()->SetColor(font);
}

void TsEdit::RebuildCache(TsPaintState) {
    TsCommonData* d = SkinData();
    PrepareCacheBmp(d);
    const int state = ControlStateIndex(d) ? 1 : 0;
    const TPoint offset{Left(), Top()};
    PaintDataItem(d, ParentCacheOf(d), true, d->CacheBmp, offset, TRect{0, 0, Width(), Height()}, state);
    PaintText();
    if (!Enabled()) ApplyDisabledLook(d->CacheBmp, DisabledKind(), Parent(), offset, ParentCacheOf(d));
    d->BGChanged = false;
}

void TsEdit::PaintText() {
    TsCommonData* d = SkinData();
    TCanvas* canvas = d->CacheBmp->Canvas();
    canvas->SetFont(Font());
    const int bw = BorderWidth();
    const TRect r{bw + 1, bw + 1, Width() - bw, Height() - bw};
    String text = Text();
    if (FPasswordChar) text.assign(text.size(), FPasswordChar);
    WriteSkinTextWeb(canvas, text, true, ControlStateIndex(d), d, DT_NOPREFIX | DT_SINGLELINE | DT_WORDBREAK, r);
}

void TsEdit::PaintBorder() {
    TsCommonData* d = SkinData();
    d->Updating = IsUpdating(d);
    if (d->Updating || !HandleAllocated()) return;
    const TWindowDC dc(Handle());
    const TSavedDC saved(dc.DC());
    if (d->BGChanged) PrepareCache();
    RepairAllCorners(d, 0);
    if (const int bw = BorderWidth())
        CopyBorderStrips(dc.DC(), 0, 0, bw, d->CacheBmp->Canvas()->Handle(), Width(), Height());
}

void TsEdit::PaintHandler(HDC DC) {
    // A paint into a given DC leaves the window's own update region alone.
    const TPaintScope paint(DC ? nullptr : Handle(), DC);
    const TWindowDC windowDC(Handle(), paint.DC());
    HDC target = windowDC.DC();
    TsCommonData* d = SkinData();
    d->Updating = IsUpdating(d);
    if (d->Updating || !target) return;
    TWinControl* parent = Parent();
    d->BGChanged = d->BGChanged || d->HalfVisible || (parent && QuerySkinCommand(parent, AC_GETHALFVISIBLE));
    if (parent) d->HalfVisible = !RectContainsRect(parent->ClientRect(), BoundsRect());
    if (d->BGChanged && !d->Command9Flag) PrepareCache();
    RepairAllCorners(d, 0);
    const TSavedDC saved(target);
    BitBlt(target, 0, 0, Width(), Height(), d->CacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsEdit::Print(TMessage& M) {
    HDC dc = reinterpret_cast<HDC>(M.WParam);
    TsCommonData* d = SkinData();
    const int bw = BorderWidth();
    try {
        d->Updating = false;
        PrepareCache();
        RepairAllCorners(d, 0);
        if (bw) CopyBorderStrips(dc, 0, 0, bw, d->CacheBmp->Canvas()->Handle(), Width(), Height());
        PaintHandler(dc);
    } catch (...) {
        // A failed picture still lets the system print the text below.
    }
    const TSavedDC saved(dc);
    POINT old{};
    OffsetViewportOrgEx(dc, bw, bw, &old);
    IntersectClipRect(dc, 0, 0, d->CacheBmp->Width() - 2 * bw, d->CacheBmp->Height() - 2 * bw);
    // The border is printed already: the system draws only the client.
    M.LParam &= ~static_cast<LPARAM>(PRF_NONCLIENT);
    if (CommonMessage(M, d)) return;
    InheritedWndProc(M);
}
