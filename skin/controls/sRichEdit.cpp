#include "sRichEdit.h"

#include "Scopes.h"
#include "acSBUtils.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <richedit.h>

// clang-format off
CLASSLIB_DEFINE_CLASS(TsRichEdit, TRichEdit,
    ObjProp<TsRichEdit, TsCommonData>("SkinData", &TsRichEdit::SkinData),
    ObjProp<TsRichEdit, TsBoundLabel>("BoundLabel", &TsRichEdit::BoundLabel),
    StrProp<TsRichEdit>("Text", &TsRichEdit::Text, &TsRichEdit::SetText),
    OrdProp<TsRichEdit, TsDisabledKind, TsDisabledKind>("DisabledKind", TTypeKind::tkSet, &TsRichEdit::DisabledKind,
                                                   &TsRichEdit::SetDisabledKind, TsDisabledKind{dkBlended}.ToBits()))
// clang-format on

namespace {
constexpr int kRichTextLimit = 0x7FFFFFF0;
}

TsRichEdit::TsRichEdit(TComponent* AOwner)
    : TsSkinned(AOwner, acCtRichEdit), FBoundLabel(std::make_unique<TsBoundLabel>(this, SkinData())) {
    if (SkinData()->SkinSection().empty()) SkinData()->SetSkinSection("EDIT");
    SetTextLimit(kRichTextLimit);
}

TsRichEdit::~TsRichEdit() {
    // The window went in BeforeDestruction with adapter and label alive;
    // what is left is freed before the skin data both were made with.
    FreeAdapter();
    FBoundLabel.reset();
}

void TsRichEdit::AfterConstruction() {
    // Only the section: the colours come with the first skin command or Loaded.
    TRichEdit::AfterConstruction();
    AssignDefaultSection(SkinData());
}

void TsRichEdit::SetDisabledKind(TsDisabledKind Value) {
    if (DisabledKind() == Value) return;
    TsSkinned::SetDisabledKind(Value);
    if (HandleAllocated() && !Enabled()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TsRichEdit::FreeAdapter() {
    FRetiredAdapters.clear();
    if (FScrollAdapter) UnsubclassAdapterWindow(FScrollAdapter->CtrlHandle, true, false, FScrollAdapter);
}

void TsRichEdit::RetireAdapter() {
    // The skin's removal, and the window's end, reach us through the
    // adapter's own procedure, which still runs when we return: it is
    // released now and freed at a later update.
    if (!FScrollAdapter) return;
    if (!FScrollAdapter->Destroyed) UnsubclassAdapterWindow(FScrollAdapter->CtrlHandle, false, false, FScrollAdapter);
    FRetiredAdapters.emplace_back(FScrollAdapter);
    FScrollAdapter = nullptr;
}

void TsRichEdit::UpdateAdapter() {
    // Those retired by earlier messages have left every call by now.
    FRetiredAdapters.clear();
    if (FScrollAdapter && (FScrollAdapter->Destroyed || !HandleAllocated() || FScrollAdapter->CtrlHandle != Handle()))
        RetireAdapter();
    UpdateEditScrollAdapter(SkinData(), FScrollAdapter);
}

void TsRichEdit::CreateWnd() {
    TsSkinned::CreateWnd();
    // A window made again (a new border, say) is skinned as the old one was.
    if (Visible() && HasSkin(SkinData(), true)) ShowSkinned();
}

void TsRichEdit::ShowSkinned() {
    // Colours too: a rich edit made in code, not loaded, hears of the skin
    // only when it changes.
    if (HasSkin(SkinData(), true)) SetEnabledColors();
    UpdateAdapter();
}

void TsRichEdit::WndProc(TMessage& M) {
    const std::shared_ptr<const bool> alive = Alive();
    TsSkinned::WndProc(M);
    if (*alive && FBoundLabel) FBoundLabel->FollowControl(M.Msg);
}

bool TsRichEdit::NewSkin(TMessage& M, bool Own) {
    if (!Own) return false;
    SetBorderStyle(bsSingle);
    SetCtl3D(true);
    CommonMessage(M, SkinData());
    return true;
}

bool TsRichEdit::RemoveSkin(TMessage& M, bool Own) {
    if (!Own || DestroyingOwner()) return false;
    FRetiredAdapters.clear();
    RetireAdapter();
    CommonMessage(M, SkinData());
    if (!SkinData()->CustomFont()) SetDefAttributesColor(Font()->Color());
    RecreateWnd();
    return true;
}

bool TsRichEdit::RefreshSkin(TMessage& M, bool Own) {
    if (!Own || !Visible()) return false;
    TsCommonData* d = SkinData();
    CommonMessage(M, d);
    if (HasSkin(d, false) && !d->CustomFont())
        if (const TsGeneralData* s = d->Section()) SetDefAttributesColor(TColor(s->FontColor[0]));
    UpdateAdapter();
    if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 0, 0);
    return true;
}

bool TsRichEdit::SkinnedMessage(TMessage& M) {
    TsCommonData* d = SkinData();
    if (IsSkinCommand(M, AC_PARENTCHANGED) && IsUpdating(d)) {
        d->Updating = false;
        Perform(WM_NCPAINT, 0, 0);
        return true;
    }
    switch (M.Msg) {
        // The system paints the window; enabling is shown on CM_ENABLEDCHANGED.
        case WM_ENABLE: return true;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            if (!FireMouseEvent(M)) return true;
            break;
        default: break;
    }
    // Everything else as the system and the class library have it, with the
    // frame repainted where the text or size changed.
    if (CommonMessage(M, d)) return true;
    const std::shared_ptr<const bool> alive = Alive();
    InheritedWndProc(M);
    if (!*alive) return true;
    switch (M.Msg) {
        case WM_SIZE:
        case EM_STREAMIN: SendMessageA(Handle(), WM_NCPAINT, 0, 0); break;
        case WM_NCPAINT: PaintBorder(); break;
        case WM_PAINT:
            // The rich edit redraws the system's bars as it paints, with
            // nothing changed that the adapter would notice.
            if (auto* a = dynamic_cast<TacScrollWnd*>(FScrollAdapter); a && !a->Destroyed) RefreshScrollBars(a, true);
            break;
        case WM_PRINT: {
            const TFlagScope<TControlState, TControlStateItem> copying(FControlState, csPaintCopy);
            SendMessageA(Handle(), WM_PAINT, M.WParam, 0);
            break;
        }
        case CM_SHOWINGCHANGED: ShowSkinned(); break;
        case CM_ENABLEDCHANGED: SetEnabledColors(); break;
        default: break;
    }
    return true;
}

void TsRichEdit::PaintBorder() {
    // The scroll adapter paints the bars after this; the border round them
    // comes from the section, over the system's edge.
    const HWND h = Handle();
    const LONG_PTR ex = GetWindowLongPtrA(h, GWL_EXSTYLE);
    const int bw = (ex & WS_EX_CLIENTEDGE) ? 2 : (GetWindowLongPtrA(h, GWL_STYLE) & WS_BORDER) ? 1 : 0;
    TsCommonData* d = SkinData();
    if (!bw || IsUpdating(d) || !IsWindowVisible(h)) return;
    UpdateAdapterCache(d, h, false);
    if (!d->CacheBmp || d->CacheBmp->Empty()) return;
    CopyBorderStrips(TWindowDC(h), 0, 0, bw, d->CacheBmp->Canvas()->Handle(), d->CacheBmp->Width(),
                     d->CacheBmp->Height());
}

void TsRichEdit::SetEnabledColors() {
    TsCommonData* d = SkinData();
    const TsGeneralData* s = d->Section();
    if (!s) return;
    if (!d->CustomColor()) SetColor(TColor(s->Color));
    if (d->CustomFont()) return;
    const TColor font = Enabled() ? TColor(s->FontColor[0]) : MixColorsHalf(TColor(s->FontColor[0]), Color());
    Font()->SetColor(font);
    SetDefAttributesColor(font);
}
