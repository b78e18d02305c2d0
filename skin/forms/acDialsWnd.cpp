// The dialog frame adapter: a standard dialog's or message box's frame,
// title, title buttons and region painted from the skin, its non-client mouse
// answered, and the window menu that stands in for the system's.
#include "acDials.h"

#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinMenus.h"
#include "sSkinProvider.h"
#include "sSkinText.h"

CLASSLIB_DEFINE_CLASS(TacSystemMenu, TPopupMenu)
CLASSLIB_DEFINE_CLASS(TacDialogWnd, TacScrollWnd)

namespace {

const char* const kGlobalInfo = "GLOBALINFO";
// Set while a region is applied: the nested WM_NCPAINT that follows must not
// build it again.
bool gRegionSetting = false;
// A title button was pressed and is held.
bool gButtonPressed = false;

bool Has(LONG_PTR Style, LONG_PTR Bits) { return (Style & Bits) == Bits; }

// Flat scroll bars would draw over the skinned ones. The import library has
// no entry for them, so they are looked up in comctl32 itself.
void FlatScrollBars(HWND Window, bool On) {
    using TFlatProc = BOOL(WINAPI*)(HWND);
    HMODULE lib = GetModuleHandleA("comctl32.dll");
    if (!lib) return;
    auto proc = reinterpret_cast<TFlatProc>(
        reinterpret_cast<void*>(GetProcAddress(lib, On ? "InitializeFlatSB" : "UninitializeFlatSB")));
    if (proc) proc(Window);
}

}  // namespace

// ---------------------------------------------------------------------------
// TacSystemMenu

TacSystemMenu::TacSystemMenu(TComponent* AOwner) : TPopupMenu(AOwner) {
    ItemRestore = MakeItem(acStrRestore, "miRestore", SC_RESTORE, true);
    ItemMove = MakeItem(acStrMove, "miMove", SC_MOVE, false);
    ItemSize = MakeItem(acStrSize, "miSize", SC_SIZE, false);
    ItemMinimize = MakeItem(acStrMinimize, "miMinimize", SC_MINIMIZE, false);
    ItemMaximize = MakeItem(acStrMaximize, "miMaximize", SC_MAXIMIZE, true);
    ItemClose = MakeItem(acStrClose, "miClose", SC_CLOSE, false);
    ItemClose->SetShortCut(scAlt | VK_F4);
    Items()->Add({ItemRestore, ItemMove, ItemSize, ItemMinimize, ItemMaximize});
    auto* line = TObject::Create<TMenuItem>(this);
    line->SetCaption("-");
    Items()->Add(line);
    Items()->Add(ItemClose);
}

TMenuItem* TacSystemMenu::MakeItem(UINT TextId, const char* Name, WPARAM Command, bool Update) {
    auto* item = TObject::Create<TMenuItem>(this);
    item->SetCaption(acResourceString(TextId));
    item->SetName(Name);
    item->OnClick = [this, Command, Update](TObject*) {
        if (!DialogWnd) return;
        // Posted: a command that closes a modeless dialog frees this menu,
        // which must not happen while its click is still on the stack.
        PostMessageA(DialogWnd->CtrlHandle, WM_SYSCOMMAND, Command, 0);
        if (Update) UpdateItems();
    };
    return item;
}

void TacSystemMenu::UpdateItems() {
    if (!DialogWnd) return;
    const HWND h = DialogWnd->CtrlHandle;
    const LONG_PTR s = DialogWnd->StyleValue;
    const int kind = DialogWnd->FrameKind;
    const bool iconic = IsIconic(h) != FALSE, zoomed = IsZoomed(h) != FALSE;
    const bool sizeable = kind == fkFixed || kind == fkSizeable || kind == fkSmallSizeable;
    ItemRestore->SetVisible((kind == fkFixed || kind == fkSizeable) && Has(s, WS_SYSMENU));
    ItemRestore->SetEnabled(Has(s, WS_MAXIMIZEBOX) && (iconic || zoomed));
    ItemMove->SetEnabled(!zoomed);
    ItemSize->SetVisible(sizeable);
    ItemSize->SetEnabled(kind != fkFixed && !iconic);
    ItemMinimize->SetVisible(Has(s, WS_MINIMIZEBOX));
    ItemMinimize->SetEnabled(Has(s, WS_MINIMIZEBOX) && !iconic);
    ItemMaximize->SetVisible(Has(s, WS_MAXIMIZEBOX));
    ItemMaximize->SetEnabled(Has(s, WS_MAXIMIZEBOX) && !zoomed && sizeable);
    ItemClose->SetVisible(Has(s, WS_SYSMENU));
}

// ---------------------------------------------------------------------------
// TacDialogWnd: construction and set-up

TacDialogWnd::TacDialogWnd(HWND Handle, TsCommonData* Data, TsSkinManager* Manager, const String& SectionName,
                           bool Repaint)
    : TacScrollWnd(Handle, Data, Manager, SectionName, Repaint) {
    TitleStrip = new TBitmap();
    TitleStrip->SetPixelFormat(pf24bit);
    SystemMenu = TObject::Create<TacSystemMenu>(nullptr);
    SystemMenu->DialogWnd = this;
    StyleValue = GetWindowLongPtrA(Handle, GWL_STYLE);
    ExStyleValue = GetWindowLongPtrA(Handle, GWL_EXSTYLE);
    SystemMenu->UpdateItems();
    if (SkinData) SkinData->Updating = true;
    TsSkinManager* m = SkinManager;
    if (m && m->SkinnedPopups() && m->SkinableMenus) m->SkinableMenus->InitPopupMenu(SystemMenu, true);
}

TacDialogWnd::~TacDialogWnd() {
    // Released here, where the dialog's own restoring still runs.
    if (!Destroyed && IsWindow(CtrlHandle)) ReleaseAdapter(this, false, false);
    delete IconBmp;
    delete TitleStrip;
    delete CaptionFont;
    delete SystemMenu;
    if (FBrush) {
        DeleteObject(FBrush);
        --FBrushCount;
    }
}

void TacDialogWnd::RestoreOriginalLook() {
    const HWND h = CtrlHandle;
    if (!IsWindow(h) || !(FSysMenuRemoved || FRegionSet)) return;
    if (FSysMenuRemoved && (StyleValue & WS_SYSMENU))
        SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) | WS_SYSMENU);
    FSysMenuRemoved = false;
    if (FRegionSet) SetWindowRgn(h, nullptr, FALSE);
    FRegionSet = false;
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void InitDialogAdapter(HWND Window, TacDialogWnd*& Adapter) {
    TsSkinManager* m = DefaultManager;
    if (m && m->Active()) {
        FlatScrollBars(Window, false);
        if (Adapter && Adapter->Destroyed) {
            delete Adapter;
            Adapter = nullptr;
        }
        if (!Adapter) {
            Adapter = new TacDialogWnd(Window, nullptr, m, "DIALOG", false);
            Adapter->CtrlHandle = Window;
        }
    } else {
        delete Adapter;
        Adapter = nullptr;
        FlatScrollBars(Window, true);
    }
}

void TacDialogWnd::PrepareDialog() {
    const HWND h = CtrlHandle;
    StyleValue = GetWindowLongPtrA(h, GWL_STYLE);
    ExStyleValue = GetWindowLongPtrA(h, GWL_EXSTYLE);
    if (Has(StyleValue, WS_POPUP) && !Has(StyleValue, WS_CAPTION)) FrameKind = fkNoCaption;
    else if (StyleValue & WS_THICKFRAME) FrameKind = fkSizeable;
    else if (StyleValue & DS_MODALFRAME) FrameKind = fkModal;
    else FrameKind = fkSizeable;
    // The title icon, drawn once at small-icon size on the key colour.
    IconHandle = reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_SMALL, 0));
    if (!IconHandle) IconHandle = reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_BIG, 0));
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    HICON copy =
        IconHandle ? static_cast<HICON>(CopyImage(IconHandle, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE)) : nullptr;
    IconBmp = new TBitmap();
    IconBmp->SetPixelFormat(pf24bit);
    IconBmp->SetSize(cx, cy);
    IconBmp->Canvas()->Brush()->SetColor(TColor(0xFF00FF));
    IconBmp->Canvas()->FillRect(TRect{0, 0, cx, cy});
    DrawIconEx(IconBmp->Canvas()->Handle(), 0, 0, copy ? copy : LoadIcon(nullptr, IDI_APPLICATION), cx, cy, 0, nullptr,
               DI_NORMAL);
    if (copy) DestroyIcon(copy);
    IconBmp->SetTransparentMode(tmFixed);
    IconBmp->SetTransparentColor(TColor(0xFF00FF));
    IconBmp->SetTransparent(true);
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = 340;
    CaptionFont = new TFont();
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0))
        CaptionFont->SetHandle(CreateFontIndirectA(&ncm.lfCaptionFont));
    // The system must draw no buttons and no menu of its own.
    if (StyleValue & WS_SYSMENU) {
        SetWindowLongPtrA(h, GWL_STYLE, StyleValue & ~LONG_PTR(WS_SYSMENU));
        FSysMenuRemoved = true;
    }
    SystemMenu->UpdateItems();
    LoadTitleButtonMasks();
}

void TacDialogWnd::LoadTitleButtonMasks() {
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m) return;
    const int gi = SectionIndexOf(m, kGlobalInfo);
    auto global = [&](const char* name) { return MaskIndexOfNoParent(m, kGlobalInfo, name); };
    auto own = [&](const char* name) { return MaskIndexOf(m, SkinData->SkinIndex, SkinData->SkinSection(), name); };
    if (!IsValidSectionIndex(m, gi)) return;
    BtnClose.MaskIndex = global("BICONCLOSE");
    if (BtnClose.MaskIndex < 0) {
        // Skins that keep the buttons with the form's section.
        BtnMin.MaskIndex = own("BICONMIN");
        BtnMax.MaskIndex = own("BICONMAX");
        BtnClose.MaskIndex = own("BICONCLOSE");
        BtnHelp.MaskIndex = own("BICONHELP");
        return;
    }
    const bool big = FrameKind == fkFixed || FrameKind == fkSizeable;
    BtnMin.MaskIndex = global(big ? "BICONMIN" : "SICONMIN");
    BtnMax.MaskIndex = global(big ? "BICONMAX" : "SICONMAX");
    BtnClose.MaskIndex = global(big ? "BICONCLOSE" : "SICONCLOSE");
    BtnHelp.MaskIndex = big || global("SICONHELP") < 0 ? global("BICONHELP") : global("SICONHELP");
    if (BtnClose.MaskIndex < 0) {
        BtnMin.MaskIndex = global("BICONMIN");
        BtnMax.MaskIndex = global("BICONMAX");
        BtnClose.MaskIndex = global("BICONCLOSE");
        BtnHelp.MaskIndex = global("BICONHELP");
    }
}

// ---------------------------------------------------------------------------
// Geometry and abilities

int TacDialogWnd::FrameWidth() const {
    switch (FrameKind) {
        case fkNoCaption: return 0;
        case fkSizeable:
        case fkSmallSizeable: return GetSystemMetrics(SM_CXFRAME);
        default: return GetSystemMetrics(SM_CXDLGFRAME);
    }
}

int TacDialogWnd::FrameHeight() const {
    switch (FrameKind) {
        case fkNoCaption: return 0;
        case fkSizeable:
        case fkSmallSizeable: return GetSystemMetrics(SM_CYFRAME);
        default: return GetSystemMetrics(SM_CYDLGFRAME);
    }
}

int TacDialogWnd::TitleHeight() const {
    if (FrameKind == fkNoCaption || !Has(StyleValue, WS_CAPTION)) return 0;
    return FrameKind >= fkSmallFixed ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
}

bool TacDialogWnd::CanMaximize() const {
    return Has(StyleValue, WS_MAXIMIZEBOX) && !IsZoomed(CtrlHandle) &&
           (FrameKind == fkFixed || FrameKind == fkSizeable || FrameKind == fkSmallSizeable);
}
bool TacDialogWnd::CanRestore() const {
    return Has(StyleValue, WS_MAXIMIZEBOX) && (IsIconic(CtrlHandle) || IsZoomed(CtrlHandle));
}
bool TacDialogWnd::CanMinimize() const { return Has(StyleValue, WS_MINIMIZEBOX) && !IsIconic(CtrlHandle); }
bool TacDialogWnd::CanClose() const { return !(GetClassLongPtrA(CtrlHandle, GCL_STYLE) & CS_NOCLOSE); }
bool TacDialogWnd::HasGrip() const { return FrameKind == fkSizeable || FrameKind == fkSmallSizeable; }

void TacDialogWnd::Geometry() {
    RECT r{};
    GetWindowRect(CtrlHandle, &r);
    WndRect = r;
    Width = r.right - r.left;
    Height = r.bottom - r.top;
    Caption = ReadWindowText(CtrlHandle);
}

TacTitleButton* TacDialogWnd::ButtonOf(int Code) {
    switch (Code) {
        case HTMINBUTTON: return &BtnMin;
        case HTMAXBUTTON: return &BtnMax;
        case HTCLOSE: return &BtnClose;
        case HTHELP: return &BtnHelp;
        default: return nullptr;
    }
}

int TacDialogWnd::ButtonMask(int Code) const {
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    auto normal = [&] {
        const int g = MaskIndexOfNoParent(m, kGlobalInfo, "BICONNORM");
        return g >= 0 ? g : MaskIndexOf(m, SkinData->SkinIndex, SkinData->SkinSection(), "BICONNORM");
    };
    switch (Code) {
        case HTMAXBUTTON:
            if (IsIconic(CtrlHandle)) return MaskIndexOfNoParent(m, kGlobalInfo, "BICONMAX");
            return IsZoomed(CtrlHandle) ? normal() : BtnMax.MaskIndex;
        case HTMINBUTTON: return IsIconic(CtrlHandle) ? normal() : BtnMin.MaskIndex;
        case HTCLOSE: return BtnClose.MaskIndex;
        case HTHELP: return BtnHelp.MaskIndex;
        default: return -1;
    }
}

bool TacDialogWnd::ButtonCanAct(int Code) const {
    switch (Code) {
        case HTCLOSE: return CanClose();
        case HTMAXBUTTON: return IsZoomed(CtrlHandle) ? CanRestore() : CanMaximize();
        case HTMINBUTTON: return IsIconic(CtrlHandle) ? CanRestore() : CanMinimize();
        default: return true;
    }
}

// Places the present buttons from the right, centred in the title bar.
void TacDialogWnd::PlaceButtons() {
    TsSkinManager* m = SkinData->GetSkinManager();
    int x = Width - FrameWidth();
    const int title = TitleHeight(), fh = FrameHeight();
    auto place = [&](TacTitleButton& b, bool present, int code) {
        if (!present) {
            b.Rect = TRect{0, 0, 0, 0};
            return;
        }
        TSize size = MaskSize(m, ButtonMask(code));
        if (size.cx <= 0 || size.cy <= 0) size = TSize{21, 21};
        int top = (title - size.cy + fh) / 2;
        if (size.cy < 16) top += 2;
        b.Rect = TRect{x - size.cx, top, x, top + size.cy};
        x -= size.cx;
    };
    place(BtnClose, Has(StyleValue, WS_SYSMENU), HTCLOSE);
    place(BtnMax, Has(StyleValue, WS_MAXIMIZEBOX), HTMAXBUTTON);
    place(BtnMin, Has(StyleValue, WS_MINIMIZEBOX), HTMINBUTTON);
    place(BtnHelp, Has(ExStyleValue, WS_EX_CONTEXTHELP), HTHELP);
}

// ---------------------------------------------------------------------------
// Painting

void TacDialogWnd::PaintFrame() {
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m) return;
    if (!SkinData->CacheBmp) SkinData->CacheBmp = new TBitmap();
    TBitmap* cache = SkinData->CacheBmp;
    cache->SetPixelFormat(pf24bit);
    cache->SetSize(Width, Height);
    const TRect all{0, 0, Width, Height};
    const int state = Active ? 1 : 0;
    if (IsValidSectionIndex(m, SkinData->SkinIndex))
        PaintDataItem(SkinData, TCacheInfo(), true, cache, TPoint{0, 0}, all, state);
    if (HasGrip()) {
        const int grip = MaskIndexOfNoParent(m, kGlobalInfo, "GRIPIMAGE");
        const TSize gs = MaskSize(m, grip);
        if (grip >= 0)
            PaintImageState(cache, TPoint{Width - FrameWidth() - gs.cx, Height - FrameHeight() - gs.cy}, 0, grip, 0, m);
    }
    const int title = TitleHeight(), fw = FrameWidth(), fh = FrameHeight();
    if (title > 0) {
        const TRect band{0, 0, Width, IsIconic(CtrlHandle) ? Height : title + fh};
        const int ft = SectionIndexOf(m, "FORMTITLE");
        if (ft >= 0) PaintSkinItem(ft, "FORMTITLE", MakeCacheInfo(cache), true, state, band, TPoint{0, 0}, cache, m);
        const int iconTop = fh + (title - (IconBmp ? IconBmp->Height() : 0)) / 2;
        if (IconBmp) cache->Canvas()->Draw(fw, iconTop, IconBmp);
        PlaceButtons();
        int left = Width - fw;
        for (TacTitleButton* b : {&BtnClose, &BtnMax, &BtnMin, &BtnHelp})
            if (b->Rect.right > b->Rect.left) left = std::min(left, int(b->Rect.left));
        const int bar = MaskIndexOf(m, SkinData->SkinIndex, SkinData->SkinSection(), "TITLEBAR");
        if (Has(StyleValue, WS_SYSMENU) && bar >= 0) {
            const int corner = MaskSize(m, bar).cx / 3;
            PaintNineSliceTemplate(cache, true, state, bar, TRect{left - corner, 0, Width - fw + corner, title + fh},
                                   m);
        }
        // The strip behind the buttons, for repainting one of them alone.
        TitleStrip->SetSize(std::max(Width - left, 1), title + fh);
        BitBlt(TitleStrip->Canvas()->Handle(), 0, 0, TitleStrip->Width(), TitleStrip->Height(),
               cache->Canvas()->Handle(), left, 0, SRCCOPY);
        for (int code : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP}) {
            TacTitleButton* b = ButtonOf(code);
            const int mask = ButtonMask(code);
            if (b->Rect.right > b->Rect.left && mask >= 0)
                PaintImageState(cache, TPoint{b->Rect.left, b->Rect.top}, b->State, mask,
                                Active && ButtonCanAct(code) ? 1 : 2, m);
        }
        TCanvas* canvas = cache->Canvas();
        if (CaptionFont) canvas->Font()->Assign(CaptionFont);
        const int textLeft = fw + (IconBmp ? IconBmp->Width() : 0) + 4;
        TRect r{textLeft, fh, left - 4, fh + title};
        if (r.right > r.left && !Caption.empty())
            WriteSkinText(canvas, CutTextToWidth(canvas, Caption, r.right - r.left), true, r,
                          DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, ft >= 0 ? ft : SkinData->SkinIndex, Active, m);
    }
    SkinData->BGChanged = false;
}

void TacDialogWnd::CopyToWindow(HDC DC, const TRect& R) {
    BitBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, SkinData->CacheBmp->Canvas()->Handle(), R.left, R.top,
           SRCCOPY);
}

void TacDialogWnd::UpdateDialogRegion(bool Redraw) {
    const HWND h = CtrlHandle;
    if (FrameKind == fkNoCaption) return;
    if (SendMessageA(h, acRegionQuery, acOwnRegionAnswer, 0) == LRESULT(acOwnRegionAnswer)) return;
    gRegionSetting = true;
    SetWindowRgn(h, RegionWithoutRects(Width, Height, RegionRects), Redraw);
    FRegionSet = true;
}

void TacDialogWnd::NCPaint(TMessage& M) {
    M.Result = 0;
    if (!IsWindowVisible(CtrlHandle)) return;
    AdaptNewChildren();
    Geometry();
    TsSkinManager* m = SkinData->GetSkinManager();
    const bool thin = FrameKind == fkNoCaption && !(StyleValue & WS_THICKFRAME);
    if (!gRegionSetting && FrameChanged && !thin) {
        RegionRects.clear();
        if (SkinData->BorderIndex >= 0) {
            const int wb = m->ma()[std::size_t(SkinData->BorderIndex)].WB;
            BorderMaskRegionRects(RegionRects, SkinData->BorderIndex, Width, 0, 0, m, 0);
            BorderMaskRegionRects(RegionRects, SkinData->BorderIndex, Width, 1, Height - wb, m, 1);
        }
        const int titleMask = MaskIndexOfNoParent(m, "FORMTITLE", "BORDERSMASK");
        if (titleMask >= 0) BorderMaskRegionRects(RegionRects, titleMask, Width, 0, 0, m, 0);
        FrameChanged = false;
        UpdateDialogRegion(true);
    }
    if (SkinData->BGChanged || !SkinData->CacheBmp || SkinData->CacheBmp->Width() != Width ||
        SkinData->CacheBmp->Height() != Height)
        PaintFrame();
    HDC dc = GetWindowDC(CtrlHandle);
    if (thin) {
        const int b = 3;
        for (const TRect& r : {TRect{0, 0, Width, b}, TRect{0, 0, b, Height}, TRect{0, Height - b, Width, Height},
                               TRect{Width - b, 0, Width, Height}})
            CopyToWindow(dc, r);
    } else {
        // Everything around the client area.
        POINT o{0, 0};
        ClientToScreen(CtrlHandle, &o);
        RECT cr{};
        GetClientRect(CtrlHandle, &cr);
        const int cl = o.x - WndRect.left, ct = o.y - WndRect.top;
        ExcludeClipRect(dc, cl, ct, cl + cr.right, ct + cr.bottom);
        CopyToWindow(dc, TRect{0, 0, Width, Height});
    }
    ReleaseDC(CtrlHandle, dc);
    if (acRefreshTarget) SendSkinCommand(acRefreshTarget, AC_REFRESH, 0);
    SkinData->Updating = false;
    gRegionSetting = false;
    M.Result = 1;
}

void TacDialogWnd::EraseBackground(TMessage& M) {
    Geometry();
    if (!ChildrenCreated) {
        ChildrenCreated = true;
        AdaptNewChildren();
    }
    HDC dc = M.WParam ? reinterpret_cast<HDC>(M.WParam) : GetDC(CtrlHandle);
    SkinData->Updating = false;
    if (SkinData->BGChanged || !SkinData->CacheBmp || SkinData->CacheBmp->Width() != Width) PaintFrame();
    POINT o{0, 0};
    ClientToScreen(CtrlHandle, &o);
    RECT cr{};
    GetClientRect(CtrlHandle, &cr);
    BitBlt(dc, 0, 0, cr.right, cr.bottom, SkinData->CacheBmp->Canvas()->Handle(), o.x - WndRect.left, o.y - WndRect.top,
           SRCCOPY);
    if (!M.WParam) ReleaseDC(CtrlHandle, dc);
    RefreshChildWindows(CtrlHandle);
    M.Result = 1;
}

void TacDialogWnd::AdaptNewChildren() {
    if (Provider) CreateChildAdapters(Provider, CtrlHandle);
}

HBRUSH TacDialogWnd::DialogBrush() {
    const TColor c = ColorToRGB(GlobalSkinColor(SkinData ? SkinData->GetSkinManager() : nullptr));
    if (FBrush && c == FBrushColor) return FBrush;
    if (FBrush) {
        DeleteObject(FBrush);
        --FBrushCount;
    }
    FBrush = CreateSolidBrush(COLORREF(c));
    FBrushColor = c;
    ++FBrushCount;
    return FBrush;
}

// ---------------------------------------------------------------------------
// Hit test and title buttons

void TacDialogWnd::HitTest(TMessage& M) {
    Geometry();
    const POINT p{short(LOWORD(M.LParam)) - WndRect.left, short(HIWORD(M.LParam)) - WndRect.top};
    const int title = TitleHeight(), fw = FrameWidth(), fh = FrameHeight();
    TSize closeSize = MaskSize(SkinData->GetSkinManager(), BtnClose.MaskIndex);
    if (closeSize.cy <= 0) closeSize.cy = 21;
    const int top = (title - closeSize.cy + fh) / 2;
    int code = 0;
    if (title > 0 && p.y >= top && p.y < top + closeSize.cy) {
        if (p.x >= fw && p.x < fw + GetSystemMetrics(SM_CXSMICON)) {
            code = HTSYSMENU;
        } else {
            PlaceButtons();
            code = HTCAPTION;
            for (int c : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP}) {
                const TRect& r = ButtonOf(c)->Rect;
                if (r.right > r.left && p.x >= r.left && p.x < r.right) code = c;
            }
            if (code == HTMAXBUTTON && !CanMaximize() && !CanRestore()) code = HTCAPTION;
            if (code == HTMINBUTTON && !CanMinimize() && !IsIconic(CtrlHandle)) code = HTCAPTION;
            if (code != HTCAPTION) SetHotButton(code, true);
        }
    } else if (HasGrip()) {
        TsSkinManager* m = SkinData->GetSkinManager();
        const TSize gs = MaskSize(m, MaskIndexOfNoParent(m, kGlobalInfo, "GRIPIMAGE"));
        if (gs.cx > 0 && p.x >= Width - fw - gs.cx && p.y >= Height - fh - gs.cy) code = HTBOTTOMRIGHT;
    }
    if (IsZoomed(CtrlHandle) && (p.x < 2 || p.y < 2 || p.x >= Width - 2 || p.y >= Height - 2)) {
        // A zoomed dialog may not be sized from its edges: 2 pixels on every side.
        SetHotButton(0, true);
        M.Result = HTERROR;
        return;
    }
    if (code == 0 || code == HTCAPTION) {
        SetHotButton(0, true);
        code = int(CallPrevWndProc(M));
    }
    M.Result = code;
}

void TacDialogWnd::SetHotButton(int Code, bool Repaint) {
    if (Code == HotButton) return;
    const int old = HotButton;
    HotButton = Code;
    if (TacTitleButton* b = ButtonOf(old)) {
        b->State = 0;
        if (Repaint) RepaintButton(old);
    }
    if (TacTitleButton* b = ButtonOf(Code)) {
        b->State = 1;
        if (Repaint) RepaintButton(Code);
    }
    gButtonPressed = false;
    if (Code) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE | TME_NONCLIENT, CtrlHandle, 0};
        TrackMouseEvent(&t);
    }
}

void TacDialogWnd::PressButton(int Code) {
    SetHotButton(Code, false);
    if (Code == HTMAXBUTTON && !CanMaximize() && !CanRestore()) return;
    if (TacTitleButton* b = ButtonOf(Code)) b->State = 2;
    gButtonPressed = true;
    RepaintButton(Code);
}

void TacDialogWnd::RepaintButton(int Code) {
    TacTitleButton* b = ButtonOf(Code);
    TBitmap* cache = SkinData ? SkinData->CacheBmp : nullptr;
    const int mask = ButtonMask(Code);
    if (!b || !cache || b->Rect.right <= b->Rect.left || mask < 0 || !SkinnedNow()) return;
    const int left = Width - TitleStrip->Width();
    BitBlt(cache->Canvas()->Handle(), b->Rect.left, b->Rect.top, b->Rect.right - b->Rect.left,
           b->Rect.bottom - b->Rect.top, TitleStrip->Canvas()->Handle(), b->Rect.left - left, b->Rect.top, SRCCOPY);
    PaintImageState(cache, TPoint{b->Rect.left, b->Rect.top}, b->State, mask, Active && ButtonCanAct(Code) ? 1 : 2,
                    SkinData->GetSkinManager());
    HDC dc = GetWindowDC(CtrlHandle);
    CopyToWindow(dc, b->Rect);
    ReleaseDC(CtrlHandle, dc);
}

void TacDialogWnd::ShowSystemMenu(int X, int Y) {
    SetHotButton(0, true);
    SystemMenu->UpdateItems();
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (m && m->SkinnedPopups() && m->SkinableMenus) m->SkinableMenus->InitPopupMenu(SystemMenu, true);
    // The class library's popup-list window owns the menu: it measures and
    // draws the owner-drawn items and turns the choice into the item's click.
    SystemMenu->SetWindowHandle(nullptr);
    SystemMenu->Popup(X, Y);
}

void TacDialogWnd::Command(WPARAM Code) { SendMessageA(CtrlHandle, WM_SYSCOMMAND, Code, 0); }

void TacDialogWnd::NCButtonDown(TMessage& M) {
    switch (M.WParam) {
        case HTSYSMENU:
            ShowSystemMenu(WndRect.left + FrameWidth(), WndRect.top + FrameHeight() + GetSystemMetrics(SM_CYSMICON));
            return;
        case HTMINBUTTON:
        case HTMAXBUTTON:
        case HTCLOSE:
        case HTHELP:
        case teMDIClose:
        case teMDIMax:
        case teMDIMin: PressButton(int(M.WParam)); return;
        default:
            if (IsIconic(CtrlHandle)) return Command(SC_MOVE | HTCAPTION);
            SetHotButton(0, true);
            if (IsZoomed(CtrlHandle) && M.WParam == HTCAPTION) {
                if (GetActiveWindow() != CtrlHandle) SetFocus(CtrlHandle);
                return;
            }
            CallPrevWndProc(M);
    }
}

void TacDialogWnd::NCButtonUp(TMessage& M) {
    const bool pressed = gButtonPressed;
    const int code = int(M.WParam);
    TacTitleButton* b = ButtonOf(code);
    POINT p{short(LOWORD(M.LParam)), short(HIWORD(M.LParam))};
    if (M.Msg == WM_LBUTTONUP) ClientToScreen(CtrlHandle, &p);
    const bool inside = b && p.x - WndRect.left >= b->Rect.left && p.x - WndRect.left < b->Rect.right;
    switch (code) {
        case HTMINBUTTON:
            if (pressed && !inside) return (void)CallPrevWndProc(M);
            SetHotButton(0, true);
            if (pressed) Command(IsIconic(CtrlHandle) ? SC_RESTORE : SC_MINIMIZE);
            return;
        case HTMAXBUTTON:
            if (IsIconic(CtrlHandle) && !CanMaximize()) return;
            SetHotButton(0, true);
            if (!pressed) return;
            Command(IsZoomed(CtrlHandle) ? SC_RESTORE : SC_MAXIMIZE);
            SystemMenu->UpdateItems();
            return;
        case HTCLOSE:
            if (!pressed) return;
            BtnClose.State = 0;
            gButtonPressed = false;
            // The command may free this adapter: it is the last thing done.
            return Command(SC_CLOSE);
        case HTHELP:
            SetHotButton(0, true);
            if (!pressed) return;
            Command(SC_CONTEXTHELP);
            SystemMenu->UpdateItems();
            SendMessageA(CtrlHandle, WM_NCPAINT, 1, 0);
            return;
        default: CallPrevWndProc(M);
    }
}

void TacDialogWnd::NCDoubleClick(TMessage& M) {
    if (M.WParam == HTCAPTION) {
        if (!CanMaximize() && !CanRestore()) return;
        Command(IsZoomed(CtrlHandle) || IsIconic(CtrlHandle) ? SC_RESTORE : SC_MAXIMIZE);
        SystemMenu->UpdateItems();
    } else if (M.WParam == HTSYSMENU) {
        Command(SC_CLOSE);
    }
}

// ---------------------------------------------------------------------------
// The window procedure

void TacDialogWnd::DialogAlphaCommand(TMessage& M) {
    switch (M.WParamHi()) {
        case AC_NEWSKIN:
            if (OwnManager(SkinData, M.LParam)) {
                UpdateSkinIndexes(SkinData);
                LoadTitleButtonMasks();
                SkinData->BGChanged = true;
            }
            return;
        case AC_REFRESH:
            UpdateSkinIndexes(SkinData);
            LoadTitleButtonMasks();
            SkinData->BGChanged = true;
            FrameChanged = true;
            InvalidateOwner(SkinData);
            RedrawWindow(CtrlHandle, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            return;
        case AC_GETCACHE: ParentCacheInfo = TCacheInfo{SkinData->CacheBmp, 0, 0, true}; return;
        case AC_SETUPDATING:
            SkinData->Updating = M.WParamLo() == 1;
            if (SkinData->Updating) SkinData->BGChanged = true;
            break;
        case AC_GETBGCHANGED: M.Result = IsUpdating(SkinData) ? 1 : 0; return;
        case AC_BGNOTPLAIN: {
            TsSkinManager* m = SkinData->GetSkinManager();
            const auto& g = m->gd()[std::size_t(SkinData->SkinIndex)];
            M.Result = g.Transparency + g.GradientPercent > 0 ? 1 : 0;
            return;
        }
        case AC_GETBGCOLOR:
            acParentColor = SkinData->GetSkinManager()->gd()[std::size_t(SkinData->SkinIndex)].Color;
            return;
        case AC_ADAPTNEWCHILDREN: AdaptNewChildren(); break;
        default: break;
    }
    TacScrollWnd::WndProc(M);
}

void TacDialogWnd::WndProc(TMessage& M) {
    if (M.Msg == WM_NCDESTROY) {
        // Children are gone by now: the dialog's provider (and this adapter
        // with it) is freed as the very last thing.
        TacProvider* provider = Provider;
        DestroyMessage(M);
        delete provider;
        return;
    }
    if (M.Msg == WM_DESTROY) return (void)CallPrevWndProc(M);
    if (Destroyed || !SkinnedNow() || !HasSkin(SkinData)) return TacScrollWnd::WndProc(M);
    if (M.Msg == SM_ALPHACMD) return DialogAlphaCommand(M);
    switch (M.Msg) {
        case WM_NCPAINT: return NCPaint(M);
        case WM_ERASEBKGND: return EraseBackground(M);
        case WM_NCHITTEST: return HitTest(M);
        case WM_NCLBUTTONDOWN: return NCButtonDown(M);
        case WM_NCLBUTTONUP: return NCButtonUp(M);
        case WM_LBUTTONUP:
            if (gButtonPressed && HotButton) {
                M.WParam = WPARAM(HotButton);
                return NCButtonUp(M);
            }
            break;
        case WM_NCLBUTTONDBLCLK: return NCDoubleClick(M);
        case WM_NCRBUTTONDOWN:
            if (M.WParam == HTCAPTION || M.WParam == HTSYSMENU) return;
            break;
        case WM_NCRBUTTONUP:
            if (M.WParam == HTCAPTION || M.WParam == HTSYSMENU) {
                POINT p;
                GetCursorPos(&p);
                ShowSystemMenu(p.x, p.y);
            }
            return;
        case WM_GETDLGCODE: M.Result = 0; return;
        case WM_SIZE:
            SkinData->BGChanged = true;
            FrameChanged = true;
            CallPrevWndProc(M);
            RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            return;
        case WM_WINDOWPOSCHANGED:
            SkinData->BGChanged = true;
            FrameChanged = true;
            CallPrevWndProc(M);
            return;
        case WM_ENABLE:
        case WM_SETTEXT:
            CallPrevWndProc(M);
            if (!IsWindowVisible(CtrlHandle)) return;
            SkinData->BGChanged = true;
            SendMessageA(CtrlHandle, WM_NCPAINT, 1, 0);
            return;
        case WM_PAINT: CallPrevWndProc(M); return;
        case WM_NCACTIVATE:
            CallPrevWndProc(M);
            if (!IsWindowVisible(CtrlHandle)) return;
            Active = M.WParam != 0;
            SkinData->BGChanged = true;
            SendMessageA(CtrlHandle, WM_NCPAINT, 1, 0);
            M.Result = 1;
            return;
        case WM_CTLCOLORDLG: M.Result = reinterpret_cast<LRESULT>(DialogBrush()); return;
        case WM_DRAWITEM:
            if (auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam); d && d->CtlType == ODT_STATIC)
                SetBkMode(d->hDC, TRANSPARENT);
            break;
        case WM_MOUSEMOVE:
            if (IsWindowEnabled(CtrlHandle)) SetActiveControl(SkinData->GetSkinManager(), nullptr);
            break;
        case WM_NCMOUSELEAVE:
        case WM_MOUSELEAVE: SetHotButton(0, true); break;
        case acNewChildrenMessage:
            CallPrevWndProc(M);
            AdaptNewChildren();
            RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            return;
        case WM_SYSCOMMAND:
            TacScrollWnd::WndProc(M);
            if (M.WParam == SC_MAXIMIZE || M.WParam == SC_RESTORE) SetHotButton(0, true);
            return;
        default: break;
    }
    TacScrollWnd::WndProc(M);
}
