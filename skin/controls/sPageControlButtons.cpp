// The page control's companions: close buttons on the tabs (drawn by the
// control while skinned, real small buttons otherwise), the skinned arrows
// that scroll a single row of tabs, and the pages.
#include "sPageControl.h"

#include "Forms.h"
#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sUpDown.h"

#include <windowsx.h>

#include <algorithm>

// clang-format off
CLASSLIB_DEFINE_CLASS(TsTabSkinData, TPersistent,
    OrdProp<TsTabSkinData>("CustomColor", TTypeKind::tkBool, &TsTabSkinData::CustomColor,
                           &TsTabSkinData::SetCustomColor, 0),
    OrdProp<TsTabSkinData>("CustomFont", TTypeKind::tkBool, &TsTabSkinData::CustomFont, &TsTabSkinData::SetCustomFont,
                           0),
    StrProp<TsTabSkinData>("SkinSection", &TsTabSkinData::SkinSection, &TsTabSkinData::SetSkinSection))
// clang-format on
CLASSLIB_DEFINE_CLASS(TsTabBtn, TsSpeedButton)
// clang-format off
CLASSLIB_DEFINE_CLASS(TsTabSheet, TTabSheet,
    StrProp<TsTabSheet>("TabSkin", &TsTabSheet::TabSkin, &TsTabSheet::SetTabSkin),
    StrProp<TsTabSheet>("ButtonSkin", &TsTabSheet::ButtonSkin, &TsTabSheet::SetButtonSkin),
    OrdProp<TsTabSheet>("UseCloseBtn", TTypeKind::tkBool, &TsTabSheet::UseCloseBtn, &TsTabSheet::SetUseCloseBtn, 1),
    ObjProp<TsTabSheet, TsTabSkinData>("SkinData", &TsTabSheet::SkinData))
// clang-format on

bool acCloseBtnPressed = false;

namespace {

// Frees the close buttons whose page went, after the click that closed it.
constexpr UINT kFreeOrphanButtons = WM_APP + 0x3A1;
// The page a skinned close button was pressed on (with acCloseBtnPressed).
const TsTabSheet* PressedPage = nullptr;

}  // namespace

// ---------------------------------------------------------------------------
// TsTabBtn

TsTabBtn::TsTabBtn(TComponent* AOwner) : TsSpeedButton(AOwner) {
    SetFlat(true);
    SetCaption("X");
    Font()->SetStyle(TFontStyles{fsBold});
    Font()->SetColor(TColor(0x0000FF));
}

// ---------------------------------------------------------------------------
// Skinned close buttons

void TsPageControl::UpdateCloseBtnSkin() {
    TsSkinManager* m = SkinData()->GetSkinManager();
    FCloseIndex = -1;
    FCloseWidth = FCloseHeight = 0;
    if (!m || !m->Active()) return;
    if (!FCloseBtnSkin.empty()) {
        FCloseIndex = SectionIndexOf(m, FCloseBtnSkin);
        if (FCloseIndex >= 0) FCloseWidth = FCloseHeight = 15;
        return;
    }
    const int g = m->StdIndexes().GlobalInfo;
    FCloseIndex = MaskIndexOf(m, g, "GLOBALINFO", "SICONCLOSE");
    if (FCloseIndex < 0) FCloseIndex = MaskIndexOf(m, g, "GLOBALINFO", "BICONCLOSE");
    if (FCloseIndex < 0) return;
    const TsMaskData& mask = m->ma()[FCloseIndex];
    FCloseWidth = mask.StateWidth();
    FCloseHeight = mask.StateHeight();
}

TRect TsPageControl::CloseBtnRectOf(const TRect& T) const {
    return TRect{T.right - FCloseWidth - 1, T.top + 1, T.right - 1, T.top + FCloseHeight + 1};
}

TRect TsPageControl::CloseBtnRect(TsTabSheet* Page) const {
    if (!Skinned() || !Page || Page->TabIndex() < 0) return TRect{0, 0, 0, 0};
    return CloseBtnRectOf(SkinTabRect(Page->TabIndex(), Page == FActivePage));
}

void TsPageControl::DrawCloseBtn(HDC DC, const TRect& R, int State, HDC SourceDC) {
    if (FCloseIndex < 0 || FCloseWidth <= 0 || FCloseHeight <= 0) return;
    TsCommonData* d = SkinData();
    TsSkinManager* m = d->GetSkinManager();
    const TRect b = CloseBtnRectOf(R);
    auto t = NewBitmap24(FCloseWidth, FCloseHeight);
    HDC tdc = t->Canvas()->Handle();
    if (SourceDC)
        BitBlt(tdc, 0, 0, FCloseWidth, FCloseHeight, SourceDC, R.right - R.left - FCloseWidth - 1, 1, SRCCOPY);
    else if (d->CacheBmp)
        BitBlt(tdc, 0, 0, FCloseWidth, FCloseHeight, d->CacheBmp->Canvas()->Handle(), b.left, b.top, SRCCOPY);
    if (FCloseBtnSkin.empty()) {
        PaintImageState(t.get(), TPoint{0, 0}, State, FCloseIndex, 1, m);
    } else {
        PaintSkinItem(FCloseIndex, FCloseBtnSkin, MakeCacheInfo(t.get(), 0, 0), true, State,
                      TRect{0, 0, FCloseWidth, FCloseHeight}, TPoint{0, 0}, t.get(), m);
        TCanvas* c = t->Canvas();
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetStyle(TFontStyles{fsBold});
        c->Font()->SetColor(TColor(0x0000FF));
        const int shift = State == 2 ? 1 : 0;
        c->TextOut((15 - c->TextWidth("X")) / 2 + shift, (15 - c->TextHeight("X")) / 2 + shift, "X");
    }
    BitBlt(DC, b.left, b.top, FCloseWidth, FCloseHeight, t->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsPageControl::DrawCloseBtns(HDC DC) {
    if (!FShowCloseBtns) return;
    for (int i = 0; i < PageCount(); ++i) {
        TsTabSheet* p = SkinnedPage(i);
        if (!p || p->TabIndex() < 0 || !p->UseCloseBtn()) continue;
        const bool active = p == FActivePage;
        DrawCloseBtn(DC, SkinTabRect(p->TabIndex(), active), active ? 2 : 0, nullptr);
    }
}

void TsPageControl::RepaintCloseBtn(int PageIndex, int ButtonState, int TabState) {
    TsTabSheet* page = SkinnedPage(PageIndex);
    if (!page || !FShowCloseBtns || !page->UseCloseBtn() || page->TabIndex() < 0 || !FHandle) return;
    const TRect r = SkinTabRect(page->TabIndex(), page == FActivePage);
    if (r.right - r.left <= 0 || r.bottom - r.top <= 0) return;
    auto t = NewBitmap24(r.right - r.left, r.bottom - r.top);
    PaintTab(PageIndex, TabState, TPoint{-r.left, -r.top}, t.get());
    // The part of an inactive tab over the page frame is the frame's.
    if (TabState != 2 && SkinData()->CacheBmp)
        BitBlt(t->Canvas()->Handle(), 0, t->Height() - 5, t->Width(), 5, SkinData()->CacheBmp->Canvas()->Handle(),
               r.left, r.bottom - 5, SRCCOPY);
    DrawCloseBtn(TClientDC(FHandle), r, ButtonState, t->Canvas()->Handle());
}

int TsPageControl::CloseBtnPageAt(TPoint P) const {
    // Nothing to hit while no button can be drawn: an invisible button must
    // never close a page.
    if (FCloseIndex < 0) return -1;
    for (int i = 0; i < PageCount(); ++i) {
        TsTabSheet* p = SkinnedPage(i);
        if (!p || p->TabIndex() < 0) continue;
        const TRect t = SkinTabRect(p->TabIndex(), p == FActivePage);
        const TRect b = CloseBtnRectOf(t);
        if (PtInRect(&t, P) && p->UseCloseBtn() && PtInRect(&b, P)) return i;
    }
    return -1;
}

bool TsPageControl::CloseBtnPress(TMessage& M) {
    const TPoint p{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    const TRect strip = TabStripRect();
    const int i = PtInRect(&strip, p) ? CloseBtnPageAt(p) : -1;
    if (i < 0) {
        // Every press or release away from a close button ends a press (one
        // whose release went elsewhere, the mouse not held, included).
        acCloseBtnPressed = false;
        PressedPage = nullptr;
        return false;
    }
    TsTabSheet* page = SkinnedPage(i);
    const int tabState = page == FActivePage ? 2 : FHotTrack ? 1 : 0;
    const bool down = M.Msg != WM_LBUTTONUP;
    RepaintCloseBtn(i, down ? 2 : 1, tabState);
    M.Result = 0;
    // A quick second click on the same button comes as a double click.
    if (down) {
        // The tab control never sees this press: the tab is not selected.
        acCloseBtnPressed = true;
        PressedPage = page;
        return true;
    }
    const bool pressedHere = acCloseBtnPressed && PressedPage == page;
    acCloseBtnPressed = false;
    PressedPage = nullptr;
    if (pressedHere) ClosePage(page, i);
    return true;
}

void TsPageControl::ClosePage(TsTabSheet* Page, int Index) {
    bool canClose = true;
    TacCloseAction action = acaFree;
    const std::shared_ptr<const bool> alive = Alive();
    if (OnCloseBtnClick) OnCloseBtnClick(this, Index, canClose, action);
    if (!*alive || !canClose || std::find(FPages.begin(), FPages.end(), Page) == FPages.end()) return;
    Perform(WM_SETREDRAW, 0, 0);
    FHotPage = -1;
    if (action == acaFree) Page->Free();
    else Page->SetTabVisible(false);
    Perform(WM_SETREDRAW, 1, 0);
    SkinData()->BGChanged = true;
    if (FHandle) RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---------------------------------------------------------------------------
// Unskinned close buttons

void TsPageControl::FreeCloseButtons() {
    // Freeing a button changes the control list, which asks for the buttons
    // again: the list is let go before the first one is freed.
    std::vector<TsTabBtn*> buttons;
    buttons.swap(FCloseBtns);
    for (TsTabBtn* b : buttons) {
        if (b->FPage) b->FPage->FCloseBtn = nullptr;
        b->Free();
    }
}

void TsPageControl::UpdateCloseButtons() {
    if (FComponentState.Contains(csDestroying)) return;
    if (!FShowCloseBtns || Skinned()) {
        FreeCloseButtons();
        return;
    }
    if (!FHandle) return;
    for (int i = 0; i < PageCount(); ++i) {
        TsTabSheet* p = SkinnedPage(i);
        if (!p) continue;
        const bool wanted = p->TabVisible() && p->UseCloseBtn();
        if (p->FCloseBtn) p->FCloseBtn->SetVisible(wanted);
        if (!wanted) continue;
        const TRect r = TabRect(p->TabIndex());
        TsTabBtn* b = p->FCloseBtn;
        if (!b) {
            b = TObject::Create<TsTabBtn>(this);
            b->OnClick = [this](TObject* Sender) { CloseBtnClick(Sender); };
            b->FPage = p;
            b->SetVisible(false);
            b->SetBounds(0, 0, 15, 15);
            b->SetParent(this);
            p->FCloseBtn = b;
            FCloseBtns.push_back(b);
        }
        const int left = FTabPosition == tpLeft ? r.left + 1 : r.right - b->Width() - 1;
        b->SetBounds(left, r.top + 1, b->Width(), b->Height());
        b->SetVisible(true);
    }
}

void TsPageControl::CloseBtnClick(TObject* Sender) {
    auto* b = dynamic_cast<TsTabBtn*>(Sender);
    if (!b || !b->FPage) return;
    TsTabSheet* page = b->FPage;
    bool canClose = true;
    TacCloseAction action = acaFree;
    const std::shared_ptr<const bool> alive = Alive();
    if (OnCloseBtnClick) OnCloseBtnClick(this, page->PageIndex(), canClose, action);
    if (!*alive || !canClose || b->FPage != page) return;
    b->SetVisible(false);
    // The button is in the middle of its own click: it goes a moment later.
    if (action == acaFree) page->Free();
    else page->SetTabVisible(false);
    UpdateCloseButtons();
    if (FHandle) {
        RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PostMessageA(FHandle, kFreeOrphanButtons, 0, 0);
    }
}

void TsPageControl::SetShowCloseBtns(bool Value) {
    if (FShowCloseBtns == Value) return;
    FShowCloseBtns = Value;
    if (Skinned() && Value) UpdateCloseBtnSkin();
    UpdateCloseButtons();
    if (Skinned()) InvalidateOwner(SkinData());
}

void TsPageControl::SetCloseBtnSkin(const String& Value) {
    if (FCloseBtnSkin == Value) return;
    FCloseBtnSkin = Value;
    InvalidateOwner(SkinData());
}

// ---------------------------------------------------------------------------
// Tab scroll arrows

// The tab control gives the tabs scrolled off the row's left end an empty
// rectangle; before its first layout every tab has one.
int TsPageControl::FirstShownTab() const {
    for (int k = 0; k < TabCount(); ++k)
        if (const TRect r = TabRect(k); r.left != r.right) return k;
    return -1;
}

int TsPageControl::HiddenTabCount() const {
    if (!Skinned() || !FHandle) return 0;
    const int first = FirstShownTab();
    if (first < 0) return 0;
    int free = FWidth - 3;
    if (FUpDown) free -= FUpDown->Width();
    int n = first;
    for (int k = first; k < TabCount(); ++k) {
        const TRect r = TabRect(k);
        if (r.right > free || r.right <= 4) ++n;
    }
    return n;
}

void TsPageControl::FreeUpDown() {
    if (!FUpDown) return;
    TsUpDown* u = FUpDown;
    FUpDown = nullptr;
    u->Free();
}

void TsPageControl::UpdateScrollArrows() {
    if (Loading() || FControlState.Contains(csCreating) || FComponentState.Contains(csDestroying)) return;
    if (!Skinned() || !FHandle) {
        FreeUpDown();
        return;
    }
    // The tab control's own arrows would paint unskinned over the strip.
    for (HWND own = FindWindowExA(FHandle, nullptr, UPDOWN_CLASSA, nullptr); own;) {
        HWND next = FindWindowExA(FHandle, own, UPDOWN_CLASSA, nullptr);
        if (!FUpDown || !FUpDown->HandleAllocated() || own != FUpDown->Handle()) {
            DestroyWindow(own);
            FSystemArrowsGone = true;
        }
        own = next;
    }
    int n = HiddenTabCount();
    if (FTabPosition == tpLeft || FTabPosition == tpRight) n = 0;
    if (n < 1 || MultiLine()) FreeUpDown();
    else if (!FUpDown) CreateUpDown();
    else PlaceUpDown();
}

void TsPageControl::CreateUpDown() {
    TComponent* owner = Designing() ? static_cast<TComponent*>(Application) : this;
    FUpDown = TObject::Create<TsUpDown>(owner);
    FUpDown->SetVisible(false);
    FUpDown->SetOrientation(udHorizontal);
    FUpDown->SetBounds(0, 0, (GetSystemMetrics(SM_CXHSCROLL) + 1) * 2, GetSystemMetrics(SM_CYHSCROLL) + 1);
    // The arrows are part of the strip: the page control's skin, not the default one.
    FUpDown->SkinData()->SetSkinManager(SkinData()->SkinManager());
    TsSkinManager* m = SkinData()->GetSkinManager();
    FUpDown->SetButtonSkin(SectionIndexOf(m, "UPDOWNBTN") >= 0 ? "UPDOWNBTN" : "BUTTON");
    FUpDown->SetParent(this);
    FUpDown->SetMin(0);
    FUpDown->SetMax(HiddenTabCount());
    FUpDown->SetIncrement(1);
    FUpDown->SetShowInaccessibility(false);
    PlaceUpDown();
    FUpDown->OnClick = [this](TObject*, TUDBtnType) { UpDownClick(); };
    FUpDown->SetVisible(true);
}

void TsPageControl::PlaceUpDown() {
    if (!FUpDown) return;
    if (FUpDown->SkinData()->SkinManager() != SkinData()->SkinManager()) {
        FUpDown->SkinData()->SetSkinManager(SkinData()->SkinManager());
        InvalidateOwner(FUpDown->SkinData());
    }
    FUpDown->SetBounds(FWidth - FUpDown->Width(), FTabPosition == tpTop ? 0 : FHeight - FUpDown->Height(),
                       FUpDown->Width(), FUpDown->Height());
    FUpDown->SetMax(HiddenTabCount());
    FUpDown->SetPosition(std::max(0, FirstShownTab()));
}

void TsPageControl::UpDownClick() {
    SendMessageA(FHandle, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, FUpDown->Position()), 0);
    UpdateActivePage();
}

// ---------------------------------------------------------------------------
// TsTabSheet

TsTabSheet::TsTabSheet(TComponent* AOwner) : TTabSheet(AOwner), FSkinData(new TsTabSkinData()) {}

TsTabSheet::~TsTabSheet() {
    // The close button on this tab has nothing left to close: it goes too
    // (once its own click, which may be what freed us, is over).
    if (FCloseBtn) {
        FCloseBtn->FPage = nullptr;
        FCloseBtn->SetVisible(false);
        if (TsPageControl* pc = SkinnedPageControl(); pc && pc->HandleAllocated())
            PostMessageA(pc->Handle(), kFreeOrphanButtons, 0, 0);
    }
    if (PressedPage == this) {
        PressedPage = nullptr;
        acCloseBtnPressed = false;
    }
    delete FSkinData;
}

TsPageControl* TsTabSheet::SkinnedPageControl() const { return dynamic_cast<TsPageControl*>(PageControl()); }

void TsTabSheet::SettingChanged() {
    if (TsPageControl* pc = SkinnedPageControl()) InvalidateOwner(pc->SkinData());
}

void TsTabSheet::SetTabSkin(const String& Value) {
    if (FTabSkin == Value) return;
    FTabSkin = Value;
    SettingChanged();
}

void TsTabSheet::SetButtonSkin(const String& Value) {
    if (FButtonSkin == Value) return;
    FButtonSkin = Value;
    SettingChanged();
}

void TsTabSheet::SetUseCloseBtn(bool Value) {
    if (FUseCloseBtn == Value) return;
    FUseCloseBtn = Value;
    SettingChanged();
    // A button whose tab no longer wants one is hidden, not left behind.
    if (TsPageControl* pc = SkinnedPageControl()) pc->UpdateCloseButtons();
}

void TsTabSheet::CreateParams(TCreateParams& Params) {
    TTabSheet::CreateParams(Params);
    // Resizing repaints only what is new: the picture never flickers.
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

bool TsTabSheet::PageControlSkinned() const {
    TsPageControl* pc = SkinnedPageControl();
    return pc && HasSkin(pc->SkinData(), false);
}

bool TsTabSheet::SkinCommand(TMessage& M) {
    TsPageControl* pc = SkinnedPageControl();
    TsCommonData* d = pc->SkinData();
    const bool skinned = HasSkin(d, false);
    const bool own = OwnManager(d, M.LParam);
    switch (M.WParamHi()) {
        case AC_NEWSKIN: BroadcastToChildren(this, M); return false;
        case AC_REMOVESKIN:
            if (own) Invalidate();
            BroadcastToChildren(this, M);
            return false;
        case AC_REFRESH:
            if (own && Visible()) Invalidate();
            // A hidden sheet's children hear it all the same.
            BroadcastToChildren(this, M);
            return false;
        case AC_GETCACHE:
            if (!skinned) return false;
            SendSkinCommand(pc, AC_GETCACHE, 0);
            ParentCacheInfo.X = Left();
            ParentCacheInfo.Y = Top();
            M.Result = 1;
            return true;
        case AC_SKINNEDQUERY:
            M.LParam = 1;
            M.Result = 1;
            return true;
        case AC_GETBGCHANGED:
            if (!skinned) return false;
            M.LParam = QuerySkinCommand(pc, AC_GETBGCHANGED) ? 1 : 0;
            M.Result = M.LParam;
            return true;
        case AC_BGNOTPLAIN: {
            if (!skinned) return false;
            const TsGeneralData* s = d->Section();
            const bool notPlain = (s && s->GradientPercent + s->ImagePercent > 0) || NeedsParentBackground(d);
            M.LParam = M.Result = notPlain ? 1 : 0;
            return true;
        }
        case AC_GETBGCOLOR:
            // The page control's colour while skinned; the class library's step follows in any case.
            if (skinned && pc->HandleAllocated()) SendSkinCommandToWindow(pc->Handle(), AC_GETBGCOLOR, 0);
            return false;
        case AC_GETAPPLICATION:
            M.Result = reinterpret_cast<LRESULT>(static_cast<TApplication*>(Application));
            return true;
        default: return false;
    }
}

bool TsTabSheet::PaintSheet(HDC DC) {
    TsPageControl* pc = SkinnedPageControl();
    TsCommonData* d = pc->SkinData();
    const TPaintScope paint(FHandle, DC);
    d->Updating = IsUpdating(d);
    if (d->Updating || !d->CacheBmp || d->CacheBmp->Empty()) return true;
    {
        // The children's surroundings may lie outside the update region: a
        // paint draws on the client DC.
        const TClientDC dc(FHandle, DC);
        const TSavedDC saved(dc);
        PaintChildControlsInto(this, d, TPoint{Left(), Top()}, 0, 0, false, dc, TRect{0, 0, Width(), Height()});
        PaintGraphicChildren(dc, this);
    }
    RefreshChildControls(this);
    return true;
}

void TsTabSheet::WndProc(TMessage& M) {
    if (!PageControl() || FComponentState.Contains(csDestroying)) {
        TTabSheet::WndProc(M);
        return;
    }
    if (M.Msg == SM_ALPHACMD) {
        if (SkinCommand(M)) return;
        TTabSheet::WndProc(M);
        return;
    }
    if (PageControlSkinned()) {
        switch (M.Msg) {
            case WM_ERASEBKGND: M.Result = 1; return;
            case WM_PAINT:
                if (Showing() && PaintSheet(reinterpret_cast<HDC>(M.WParam))) return;
                break;
            case WM_PRINTCLIENT:
                if (PaintSheet(reinterpret_cast<HDC>(M.WParam))) return;
                break;
            case WM_MOUSEMOVE:
                if (!FComponentState.Contains(csDesigning) && DefaultManager &&
                    !DefaultManager->ComponentState().Contains(csDesigning))
                    SetActiveControl(DefaultManager, nullptr);
                break;
            case WM_PARENTNOTIFY:
                TTabSheet::WndProc(M);
                if (LOWORD(M.WParam) == WM_CREATE) NotifyFormControlLoaded(this);
                return;
            default: break;
        }
    }
    TTabSheet::WndProc(M);
}
