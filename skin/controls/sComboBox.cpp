#include "sComboBox.h"

#include "Scopes.h"
#include "acSBUtils.h"
#include "sAlphaGraph.h"
#include "sListControls.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinText.h"
#include "sSkinnedProps.h"

// clang-format off
CLASSLIB_DEFINE_CLASS(TsCustomComboBox, TCustomComboBox,
    acSkinDataProp<TsCustomComboBox>(), acDisabledKindProp<TsCustomComboBox>(),
    OrdProp<TsCustomComboBox>("Alignment", TTypeKind::tkEnumeration, &TsCustomComboBox::Alignment,
                              &TsCustomComboBox::SetAlignment, taLeftJustify),
    OrdProp<TsCustomComboBox>("ReadOnly", TTypeKind::tkBool, &TsCustomComboBox::ReadOnly,
                              &TsCustomComboBox::SetReadOnly, 0),
    ObjProp<TsCustomComboBox, TsBoundLabel>("BoundLabel", &TsCustomComboBox::BoundLabel),
    OrdProp<TCustomComboBox>("DropDownCount", TTypeKind::tkInteger, &TCustomComboBox::DropDownCount,
                             &TCustomComboBox::SetDropDownCount, 16))
// clang-format on
CLASSLIB_DEFINE_CLASS(TsComboBox, TsCustomComboBox)

namespace {

constexpr int kFrame = 3;  // the section's border strip the text keeps off

// Keys that move the choice or open the list: space, page, end, home and
// arrows, the letters, and F4.
bool ChoiceKey(WORD Key) {
    return (Key >= VK_SPACE && Key <= VK_DOWN) || Key == 0x39 || (Key >= 'A' && Key <= 'Z') || Key == VK_F4;
}

}  // namespace

TsCustomComboBox::TsCustomComboBox(TComponent* AOwner) : TsWithBoundLabel(AOwner, acCtComboBox) {
    FDropDownCount = 16;
    if (SkinData()->SkinSection().empty()) SkinData()->SetSkinSection("COMBOBOX");
}

TsCustomComboBox::~TsCustomComboBox() {
    FreeListAdapter();
    // The window goes while the frame still exists: its last messages reach it.
    if (HandleAllocated()) DestroyHandle();
}

void TsCustomComboBox::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    InvalidateOwner(SkinData());
}

void TsCustomComboBox::Invalidate() {
    if (Focused()) SkinData()->Focused = true;
    TsSkinned::Invalidate();
}

void TsCustomComboBox::FreeListAdapter() {
    if (!FListAdapter) return;
    // The list window outlives the adapter: it gets its plain frame back.
    if (FListWindow && IsWindow(FListWindow)) {
        const LONG_PTR style = GetWindowLongPtrA(FListWindow, GWL_STYLE);
        SetWindowLongPtrA(FListWindow, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_THICKFRAME)) | WS_BORDER);
    }
    acFreeScrollAdapter(FListAdapter, FListWindow);
    FListWindow = nullptr;
}

void TsCustomComboBox::Refresh() {
    SkinData()->BGChanged = true;
    Repaint();
}

TRect TsCustomComboBox::ButtonRect() const {
    const int w = (FStyle != csSimple && FShowButton) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int left = UseRightToLeftAlignment() ? 2 : Width() - w - 2;
    return TRect{left, 2, left + w, Height() - 2};
}

int TsCustomComboBox::GlyphHeight() const {
    TsSkinManager* m = SkinData()->GetSkinManager();
    if (!HasSkin(SkinData())) return 16;
    const int mask = MaskIndexOf(m, SkinData()->SkinIndex, SkinData()->SkinSection(), "GLYPHMASK");
    return IsValidMaskIndex(m, mask) ? m->ma()[mask].StateHeight() : 16;
}

TsPaintState TsCustomComboBox::CurrentState() {
    // An open list presses the button only (PaintButton): the frame keeps the focused look.
    return TsSkinned::CurrentState();
}

void TsCustomComboBox::PaintContent(TsPaintState State) {
    if (FStyle == csSimple) return;
    if (FShowButton) PaintButton();
    if (UserDrawn()) return;
    const TRect b = ButtonRect();
    const TRect r = UseRightToLeftAlignment() ? TRect{RectWidth(b) + 4, kFrame, Width() - 2, Height() - kFrame}
                                              : TRect{kFrame, kFrame, b.left - 1, Height() - kFrame};
    (void)State;
    PaintText(r, (Focused() || SkinData()->Focused) && FStyle == csDropDownList && Enabled());
}

void TsCustomComboBox::RebuildCache(TsPaintState State) {
    if (FStyle != csSimple) {
        TsSkinned::RebuildCache(State);
        return;
    }
    // Only the edit line is framed; the list below it is a live window.
    TsCommonData* d = SkinData();
    PrepareCacheBmp(d);
    d->CacheBmp->SetHeight(ItemHeight() + 8);
    const TRect r{0, 0, Width(), d->CacheBmp->Height()};
    PaintDataItem(d, ParentCacheOf(d), true, d->CacheBmp, TPoint{Left(), Top()}, r, ControlStateIndex(d) ? 1 : 0);
    if (!Enabled()) ApplyDisabledLook(d->CacheBmp, DisabledKind(), Parent(), TPoint{Left(), Top()}, ParentCacheOf(d));
    d->BGChanged = false;
}

void TsCustomComboBox::ShowCache(HDC Target) {
    TBitmap* cache = SkinData()->CacheBmp;
    if (!cache || cache->Empty()) return;
    HDC src = cache->Canvas()->Handle();
    const int h = cache->Height();
    const bool focused = Focused() || SkinData()->Focused;
    // While typing goes on (a focused drop-down), the edit window paints the
    // inside; the simple style's edit and list always do.
    const bool frameOnly = Enabled() && (FStyle == csSimple || (FStyle == csDropDown && focused) || OwnerDrawn());
    if (!frameOnly) {
        BitBlt(Target, 0, 0, Width(), h, src, 0, 0, SRCCOPY);
        // The cache of an owner-drawn combo holds no item: it is drawn over it.
        if (UserDrawn()) DrawEditItem(Target);
        return;
    }
    CopyBorderStrips(Target, 0, 0, kFrame, src, Width(), h);
    if (FStyle == csSimple) return PaintStripBelowList(Target);
    const TRect b = ButtonRect();
    BitBlt(Target, b.left, b.top, RectWidth(b), RectHeight(b), src, b.left, b.top, SRCCOPY);
    if (OwnerDrawn()) DrawEditItem(Target);
}

TRect TsCustomComboBox::StripBelowList() const {
    if (FStyle != csSimple || !FHandle || !FListHandle || !IsWindowVisible(FListHandle)) return TRect{};
    RECT list{}, client{};
    GetWindowRect(FListHandle, &list);
    MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&list), 2);
    GetClientRect(FHandle, &client);
    return list.bottom < client.bottom ? TRect{0, list.bottom, client.right, client.bottom} : TRect{};
}

void TsCustomComboBox::PaintStripBelowList(HDC Target) {
    const TRect r = StripBelowList();
    if (IsRectEmpty(&r) || !Target) return;
    if (SkinnedNow()) {
        const TCacheInfo parent = ParentCacheOf(SkinData());
        if (parent.Ready && parent.Bmp) {
            BitBlt(Target, r.left, r.top, RectWidth(r), RectHeight(r), parent.Bmp->Canvas()->Handle(),
                   parent.X + Left() + r.left, parent.Y + Top() + r.top, SRCCOPY);
            return;
        }
    }
    const TColor back = Parent() ? QueryParentColor(Parent()) : Color();
    acParentColor = acNoColor;
    FillDC(Target, r, back);
}

void TsCustomComboBox::DrawEditItem(HDC Target) {
    const TRect b = ButtonRect();
    const TRect r{kFrame, kFrame, b.left, SkinData()->CacheBmp->Height() - kFrame};
    TOwnerDrawState state{odComboBoxEdit};
    if (Focused() || SkinData()->Focused) state = state + TOwnerDrawState{odSelected, odFocused};
    auto* canvas = static_cast<TControlCanvas*>(Canvas());
    canvas->WithHandle(Target, [&] { DrawItem(ItemIndex(), r, state); });
}

void TsCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    TBitmap* cache = SkinData()->CacheBmp;
    if (!SkinnedNow() || !State.Contains(odComboBoxEdit) || !cache || cache->Empty()) {
        TsSkinned::DrawItem(Index, Rect, State);
        return;
    }
    // The edit area: the skinned picture first, then the item over it.
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    BitBlt(c->Handle(), 0, 0, Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    if (!Enabled() && !UserDrawn()) return;
    const bool highlight = Enabled() && !FReadOnly;
    const bool focusLook =
        highlight && (State.Contains(odFocused) || State.Contains(odSelected) || Focused() || SkinData()->Focused);
    auto drawText = [&] {
        if (Index < 0 || Index >= FItems->GetCount() || Text().empty()) return;
        const int d = FStyle == csDropDown ? 0 : 1;
        c->TextRect(Rect, Rect.left + d, Rect.top + d, FItems->Get(Index));
    };
    if (highlight && DroppedDown()) {
        c->Font()->SetColor(Font()->Color());
        c->Brush()->SetStyle(bsClear);
        if (OnDrawItem) OnDrawItem(this, Index, Rect, State);
        else drawText();
        if (State.Contains(odFocused)) DrawFocusRect(c->Handle(), &Rect);
    } else if (UserDrawn()) {
        // A read-only or disabled owner-drawn combo still shows its item, plainly.
        const bool lit = highlight && State.Contains(odFocused);
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(lit ? clHighlight : Color());
        c->Font()->SetColor(lit ? clHighlightText : Enabled() ? Font()->Color() : clGrayText);
        if (Index > -1) OnDrawItem(this, Index, Rect, highlight ? State : TOwnerDrawState{odComboBoxEdit});
    } else if (focusLook) {
        c->Font()->SetColor(clHighlightText);
        c->Brush()->SetColor(clHighlight);
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(Rect);
        drawText();
    }
    c->Brush()->SetStyle(bsSolid);
}

bool TsCustomComboBox::CopyEditItemFromCache(TMessage& M) {
    // The system draws the closed, unfocused edit area: the cache holds it already.
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
    TBitmap* cache = SkinData()->CacheBmp;
    if (!(dis->itemState & ODS_COMBOBOXEDIT) || (dis->itemState & ODS_FOCUS) || DroppedDown() || !cache ||
        cache->Empty())
        return false;
    BitBlt(dis->hDC, 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    M.Result = 1;
    return true;
}

void TsCustomComboBox::PaintButton() {
    TsCommonData* d = SkinData();
    TsSkinManager* m = d->GetSkinManager();
    const int state = FDropped ? 2 : ControlStateIndex(d) ? 1 : 0;
    const TRect r = ButtonRect();
    const int button = SectionIndexOf(m, "COMBOBTN");
    if (IsValidSectionIndex(m, button)) {
        // The button's see-through parts show the combo's own picture.
        TBitmap copy(d->CacheBmp->Width(), d->CacheBmp->Height());
        BitBlt(copy.Canvas()->Handle(), 0, 0, copy.Width(), copy.Height(), d->CacheBmp->Canvas()->Handle(), 0, 0,
               SRCCOPY);
        PaintSkinItem(button, "COMBOBTN", MakeCacheInfo(&copy), true, state, r, TPoint{r.left, r.top}, d->CacheBmp, m);
    }
    const int glyph = MaskIndexOf(m, d->SkinIndex, d->SkinSection(), "GLYPHMASK");
    if (!IsValidMaskIndex(m, glyph)) return;
    const int gw = m->ma()[glyph].StateWidth();
    const TPoint p{r.left + (RectWidth(r) - gw) / 2, (Height() - GlyphHeight()) / 2};
    PaintImageState(d->CacheBmp, p, state, glyph, 0, m);
}

void TsCustomComboBox::PaintText(const TRect& R, bool Highlighted) {
    TCanvas* c = SkinData()->CacheBmp->Canvas();
    c->Font()->Assign(Font());
    if (Highlighted) {
        c->Font()->SetColor(clHighlightText);
        c->Brush()->SetColor(clHighlight);
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(R);
    } else {
        c->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
        c->Brush()->SetStyle(bsClear);
    }
    const String text = Text();
    if (!text.empty()) {
        TRect t = R;
        if (FStyle == csDropDown) --t.bottom;
        else OffsetRect(&t, 1, 0);
        const UINT flags = TextFlagsForAlignment(this, FAlignment) | DT_SINGLELINE | DT_NOPREFIX;
        DrawTextOnDC(c->Handle(), text, t, flags);
    }
    if (Highlighted) DrawFocusRect(c->Handle(), &R);
    c->Brush()->SetStyle(bsSolid);
}

// --- Messages ---------------------------------------------------------------------

bool TsCustomComboBox::ReadOnlyFilter(TMessage& M) {
    if (!FReadOnly) return false;
    switch (M.Msg) {
        case WM_CHAR:
        case WM_MOUSEWHEEL:
        case CM_MOUSEWHEEL: return true;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_SYSCHAR:
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN:
        case CN_SYSCHAR: return ChoiceKey(M.WParamLo());
        case WM_LBUTTONDOWN:
            // A click only focuses.
            if (CanFocus()) SetFocus();
            return true;
        case WM_LBUTTONDBLCLK: {
            // OnEnter may free the combo.
            const std::shared_ptr<const bool> alive = Alive();
            if (CanFocus()) SetFocus();
            if (*alive) FireEvent(OnDblClick, this);
            return true;
        }
        case WM_COMMAND:
            // A command whose whole word is the drop-down code (no control id).
            return M.WParam == CBN_DROPDOWN;
        case CN_COMMAND:
            if (M.WParam == CBN_DROPDOWN) return true;
            if (M.WParamHi() == CBN_DROPDOWN) {
                // A list opened by any other route closes again at once.
                PostMessageA(Handle(), CB_SHOWDROPDOWN, FALSE, 0);
                return true;
            }
            return false;
        default: return false;
    }
}

bool TsCustomComboBox::ChildReadOnlyFilter(const TMessage& M) const {
    if (!FReadOnly) return false;
    switch (M.Msg) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
        case WM_MOUSEWHEEL:
        case WM_CUT:
        case WM_PASTE:
        case WM_CLEAR:
        case WM_UNDO:
        case CN_KEYDOWN:
        case CN_CHAR:
        case CN_SYSKEYDOWN:
        case CN_SYSCHAR: return true;
        default: return false;
    }
}

bool TsCustomComboBox::ListPress(UINT Msg) {
    return Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK || Msg == WM_LBUTTONUP;
}

void TsCustomComboBox::UnskinnedMessage(TMessage& M) {
    if (ReadOnlyFilter(M)) return;
    const std::shared_ptr<const bool> alive = Alive();
    TsSkinned::UnskinnedMessage(M);
    if (*alive && M.Msg == WM_PAINT) PaintStripBelowList(TClientDC(FHandle, reinterpret_cast<HDC>(M.WParam)));
}

bool TsCustomComboBox::SkinnedMessage(TMessage& M) {
    if (ReadOnlyFilter(M)) return true;
    switch (M.Msg) {
        case WM_NCPAINT: return true;
        case WM_KILLFOCUS:
        case CM_EXIT:
            if (FDropped) SetDroppedDown(false);
            return false;
        case CN_COMMAND: DropNotification(M); return false;
        case CN_DRAWITEM: return CopyEditItemFromCache(M);
        case WM_CTLCOLORLISTBOX:
            // The list asks for its colours before it shows (where the system sends them here).
            AttachListAdapter(reinterpret_cast<HWND>(M.LParam));
            return false;
        default:
            if (IsSkinCommand(M, AC_POPUPQUERY)) {
                M.Result = FDropped ? 1 : 0;
                return true;
            }
            return false;
    }
}

void TsCustomComboBox::DropNotification(TMessage& M) {
    switch (M.WParamHi()) {
        case CBN_DROPDOWN:
            FDropped = true;
            AttachListAdapter(FListHandle);
            Refresh();
            break;
        case CBN_CLOSEUP:
            FDropped = false;
            Refresh();
            break;
        default: break;
    }
}

void TsCustomComboBox::AttachListAdapter(HWND List) {
    // A list made again with the combo's window: the old one's adapter let go.
    if (FListAdapter && (FListAdapter->Destroyed || List != FListWindow)) FreeListAdapter();
    // A list longer than the drop-down shows gets the skinned scroll bar.
    if (FListAdapter || !List || List == Handle() || ComponentState().Contains(csLoading) ||
        FItems->GetCount() <= FDropDownCount)
        return;
    FListWindow = List;
    auto* adapter = new TacComboListWnd(FListWindow, nullptr, SkinData()->GetSkinManager(), "EDIT", true);
    adapter->SimpleList = FStyle == csSimple;
    FListAdapter = adapter;
}

bool TsCustomComboBox::NewSkin(TMessage& M, bool Own) {
    if (!TsSkinned::NewSkin(M, Own)) return false;
    // The list's adapter takes the new skin with its combo.
    if (FListAdapter) FListAdapter->WndProc(M);
    return true;
}

void TsCustomComboBox::AfterInherited(TMessage& M) {
    switch (M.Msg) {
        case CB_SETCURSEL:
        case CM_TEXTCHANGED:
        case WM_SETFONT:
        case CM_FONTCHANGED: Refresh(); break;
        default: break;
    }
}

void TsCustomComboBox::Loaded() {
    TsWithBoundLabel::Loaded();
    acTakeSectionColors(SkinData(), HasSkin(SkinData()));
}

void TsCustomComboBox::CreateWnd() {
    TsWithBoundLabel::CreateWnd();
    // A window made while the skin is on shows the section's colours at once,
    // not only after the next change of skin.
    if (HasSkin(SkinData())) acTakeSectionColors(SkinData(), true);
}

void TsCustomComboBox::AfterSkinCommand(WORD Code) {
    if (Code == AC_REMOVESKIN) {
        FreeListAdapter();
        acTakeSectionColors(SkinData(), false);
    } else if (Code == AC_REFRESH && HasSkin(SkinData())) {
        acTakeSectionColors(SkinData(), true);
    }
}

void TsCustomComboBox::ComboWndProc(TMessage& M, HWND ComboWnd) {
    if (ChildReadOnlyFilter(M)) return;
    if (FReadOnly && ComboWnd == FListHandle && ListPress(M.Msg)) {
        // A simple combo's list is always there: a click on it only focuses.
        if (CanFocus()) SetFocus();
        return;
    }
    if (SkinnedNow() && FStyle != csSimple) {
        // While nobody types into it, the edit shows the cache's picture.
        const bool live = (Focused() || SkinData()->Focused) && Enabled() && !FReadOnly;
        switch (M.Msg) {
            case WM_PAINT:
                if (!live && ComboWnd == FEditHandle) {
                    // Validated, not painted: the cache shows through.
                    const TPaintScope validated(ComboWnd, nullptr);
                    return;
                }
                break;
            case WM_ERASEBKGND:
            case WM_NCPAINT:
                if (!live && ComboWnd == FEditHandle) {
                    M.Result = 1;
                    return;
                }
                break;
            default: break;
        }
    }
    TsSkinned::ComboWndProc(M, ComboWnd);
}
