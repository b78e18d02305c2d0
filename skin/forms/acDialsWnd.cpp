// The dialog frame adapter: a standard dialog's or message box's frame,
// title, title buttons and region painted from the skin, its non-client mouse
// answered, and the window menu that stands in for the system's.
#include "acDials.h"

#include "Scopes.h"
#include "acSBUtilsSimple.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinMenus.h"
#include "sSkinProvider.h"
#include "sSkinText.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

CLASSLIB_DEFINE_CLASS(TacSystemMenu, TacWindowMenu)
CLASSLIB_DEFINE_CLASS(TacDialogWnd, TacScrollWnd)

namespace {

const char* const kGlobalInfo = "GLOBALINFO";
// Set while a region is applied: the nested WM_NCPAINT that follows must not
// build it again.
bool gRegionSetting = false;

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

// R of DC read into a picture of its own (24 bits, rows readable at once).
std::unique_ptr<TBitmap> ReadPixels(HDC DC, const RECT& R) {
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (w <= 0 || h <= 0) return nullptr;
    std::unique_ptr<TBitmap> b = NewBitmap24(w, h);
    BitBlt(b->Canvas()->Handle(), 0, 0, w, h, DC, R.left, R.top, SRCCOPY);
    GdiFlush();
    return b;
}

void WritePixels(HDC DC, const RECT& R, TBitmap* B) {
    BitBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, B->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// Channel C (0 blue, 1 green, 2 red) of a COLORREF, in a 24-bit row's order.
int Channel(COLORREF Colour, int C) { return int((Colour >> (8 * (2 - C))) & 0xFF); }

// What the system drew in R with its colours From (background) and FromText
// (text, its smoothed edges included) moves to the same place between Back
// and Text; the other pixels (an icon's colours) stay.
void Recolour(HDC DC, const RECT& R, COLORREF From, COLORREF FromText, COLORREF Back, COLORREF Text) {
    int k = 0;
    for (int c = 1; c < 3; ++c)
        if (std::abs(Channel(FromText, c) - Channel(From, c)) > std::abs(Channel(FromText, k) - Channel(From, k)))
            k = c;
    const int span = Channel(FromText, k) - Channel(From, k);
    std::unique_ptr<TBitmap> b = ReadPixels(DC, R);
    if (!b || span == 0) return;
    for (int y = 0; y < b->Height(); ++y) {
        auto* row = static_cast<std::uint8_t*>(b->ScanLine(y));
        for (int x = 0; x < b->Width(); ++x) {
            std::uint8_t* p = row + 3 * x;
            const double a = double(p[k] - Channel(From, k)) / span;
            bool between = a >= 0 && a <= 1;
            for (int c = 0; c < 3 && between; ++c)
                between = std::abs(Channel(From, c) + a * (Channel(FromText, c) - Channel(From, c)) - p[c]) <= 2;
            if (!between) continue;
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(Channel(Back, c) + a * (Channel(Text, c) - Channel(Back, c)) + 0.5);
        }
    }
    WritePixels(DC, R, b.get());
}

// The share of white (above zero) or black (below) a system 3D edge colour
// mixes into the dialog's picture: the sunken swatches keep their relief in
// the skin's tones. 0 for any other colour.
class TEdgeShades {
public:
    TEdgeShades() {
        for (int i = 0; i < 4; ++i) FColours[i] = GetSysColor(kIndexes[i]);
    }
    double Of(COLORREF Pixel) const {
        for (int i = 0; i < 4; ++i)
            if (FColours[i] == Pixel) return kShades[i];
        return 0;
    }

private:
    static constexpr int kIndexes[4] = {COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT, COLOR_BTNSHADOW, COLOR_3DDKSHADOW};
    static constexpr double kShades[4] = {0.3, 0.15, -0.3, -0.55};
    COLORREF FColours[4] = {};
};

// A panel the dialog paints itself (B; at Dx, Dy in the dialog's picture
// Under): its ground, the system's face colour, shows the dialog's picture,
// and the 2-pixel sunken edges round its swatches (edge colours at most two
// pixels from the ground or the panel's side) are shaded from that picture.
// A swatch's own colour stays, a white or grey one too: its inside lies
// farther from the ground.
void RecolourPanelPixels(TBitmap* B, TBitmap* Under, int Dx, int Dy) {
    const int w = B->Width(), h = B->Height();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const auto pixel = [&](int x, int y) -> std::uint8_t* {
        return static_cast<std::uint8_t*>(B->ScanLine(y)) + 3 * x;
    };
    const auto colour = [&](int x, int y) {
        const std::uint8_t* p = pixel(x, y);
        return COLORREF(RGB(p[2], p[1], p[0]));
    };
    std::vector<char> ground(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ground[std::size_t(y) * w + x] = colour(x, y) == face;
    const auto nearGround = [&](int x, int y) {
        for (int d = 1; d <= 2; ++d)
            for (const POINT s : {POINT{-d, 0}, POINT{d, 0}, POINT{0, -d}, POINT{0, d}}) {
                const int nx = x + s.x, ny = y + s.y;
                if (nx < 0 || ny < 0 || nx >= w || ny >= h || ground[std::size_t(ny) * w + nx]) return true;
            }
        return false;
    };
    const TEdgeShades shades;
    for (int y = 0; y < h; ++y) {
        const auto* under = static_cast<const std::uint8_t*>(Under->ScanLine(y + Dy)) + 3 * Dx;
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = pixel(x, y);
            const std::uint8_t* u = under + 3 * x;
            if (ground[std::size_t(y) * w + x]) {
                std::copy(u, u + 3, p);
                continue;
            }
            const double shade = shades.Of(colour(x, y));
            if (shade == 0 || !nearGround(x, y)) continue;
            for (int c = 0; c < 3; ++c)
                p[c] = std::uint8_t(shade > 0 ? u[c] + shade * (255 - u[c]) + 0.5 : u[c] * (1 + shade) + 0.5);
        }
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// TacSystemMenu

void TacSystemMenu::ItemCommand(WPARAM Command) {
    if (!DialogWnd) return;
    // Posted: a command that closes a modeless dialog frees this menu,
    // which must not happen while its click is still on the stack.
    PostMessageA(DialogWnd->CtrlHandle, WM_SYSCOMMAND, Command, 0);
    if (Command == SC_RESTORE || Command == SC_MAXIMIZE) UpdateItems();
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
    if (TitleIcon) DestroyIcon(TitleIcon);
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
    // The title icon at small-icon size, drawn with its own transparency
    // over the title band (a copy on a key colour kept the blended edge
    // pixels of the key colour).
    IconHandle = reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_SMALL, 0));
    if (!IconHandle) IconHandle = reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_BIG, 0));
    IconSize = TSize{acSystemMetric(SM_CXSMICON), acSystemMetric(SM_CYSMICON)};
    if (IconHandle)
        TitleIcon =
            static_cast<HICON>(CopyImage(IconHandle, IMAGE_ICON, IconSize.cx, IconSize.cy, LR_COPYFROMRESOURCE));
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = 340;
    CaptionFont = new TFont();
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) CaptionFont->SetLogFont(ncm.lfCaptionFont);
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
    if (!m || !IsValidSectionIndex(m, SectionIndexOf(m, kGlobalInfo))) return;
    const bool small = FrameKind != fkFixed && FrameKind != fkSizeable;
    const TacTitleMasks masks = LoadTitleMasks(m, SkinData->SkinIndex, SkinData->SkinSection(), small);
    Title.SetMasks(masks);
}

// ---------------------------------------------------------------------------
// Geometry and abilities

int TacDialogWnd::FrameWidth() const {
    switch (FrameKind) {
        case fkNoCaption: return 0;
        case fkSizeable:
        case fkSmallSizeable: return acSystemMetric(SM_CXFRAME);
        default: return acSystemMetric(SM_CXDLGFRAME);
    }
}

int TacDialogWnd::FrameHeight() const {
    switch (FrameKind) {
        case fkNoCaption: return 0;
        case fkSizeable:
        case fkSmallSizeable: return acSystemMetric(SM_CYFRAME);
        default: return acSystemMetric(SM_CYDLGFRAME);
    }
}

int TacDialogWnd::TitleHeight() const {
    if (FrameKind == fkNoCaption || !Has(StyleValue, WS_CAPTION)) return 0;
    return FrameKind >= fkSmallFixed ? acSystemMetric(SM_CYSMCAPTION) : acSystemMetric(SM_CYCAPTION);
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

// ---------------------------------------------------------------------------
// The title elements

int TacDialogTitle::Mask(int Code) const {
    const TsCommonData* d = FDialog->SkinData;
    const HWND h = FDialog->CtrlHandle;
    return TitleButtonMask(d->GetSkinManager(), d->SkinIndex, d->SkinSection(), Masks(), Code, IsIconic(h) != FALSE,
                           IsZoomed(h) != FALSE);
}

bool TacDialogTitle::Enabled(int Code) const {
    const HWND h = FDialog->CtrlHandle;
    switch (Code) {
        case HTCLOSE: return FDialog->CanClose();
        case HTMAXBUTTON: return IsZoomed(h) ? FDialog->CanRestore() : FDialog->CanMaximize();
        case HTMINBUTTON: return IsIconic(h) ? FDialog->CanRestore() : FDialog->CanMinimize();
        default: return true;
    }
}

bool TacDialogTitle::Hittable(int Code) const {
    switch (Code) {
        case HTMAXBUTTON: return FDialog->CanMaximize() || FDialog->CanRestore();
        case HTMINBUTTON: return FDialog->CanMinimize() || IsIconic(FDialog->CtrlHandle);
        default: return true;
    }
}

void TacDialogTitle::Repaint(int Code) {
    TsCaptionButton* b = Element(Code);
    TBitmap* cache = FDialog->SkinData ? FDialog->SkinData->CacheBmp : nullptr;
    const int mask = Mask(Code);
    if (!b || !cache || b->Rect.right <= b->Rect.left || mask < 0 || !FDialog->SkinnedNow()) return;
    Strip.Restore(cache, b->Rect);
    PaintTitleButton(cache, *b, mask, b->State, !(FDialog->Active && Enabled(Code)),
                     FDialog->SkinData->GetSkinManager());
    const TWindowDC dc(FDialog->CtrlHandle);
    FDialog->CopyToWindow(dc.DC(), b->Rect);
}

HWND TacDialogTitle::Window() const { return FDialog->CtrlHandle; }

// Places the present buttons from the right, centred in the title bar and
// side by side (a dialog keeps no gap between them); the row's left edge.
int TacDialogWnd::PlaceButtons() {
    TsSkinManager* m = SkinData->GetSkinManager();
    TacTitleRow row(Width - FrameWidth(), 0, TitleHeight(), FrameHeight());
    auto place = [&](TsCaptionButton& b, bool present, int code) {
        if (present) row.Place(b, TitleButtonSize(m, Title.Mask(code)));
        else b.Rect = TRect{0, 0, 0, 0};
    };
    place(Title.Close, Has(StyleValue, WS_SYSMENU), HTCLOSE);
    place(Title.Max, Has(StyleValue, WS_MAXIMIZEBOX), HTMAXBUTTON);
    place(Title.Min, Has(StyleValue, WS_MINIMIZEBOX), HTMINBUTTON);
    place(Title.Help, Has(ExStyleValue, WS_EX_CONTEXTHELP), HTHELP);
    return row.Left();
}

// ---------------------------------------------------------------------------
// Painting

// A dialog's title: FORMTITLE under its own section's strip, the caption in
// the system's caption font, cut to its place.
TacTitleLook TacDialogWnd::TitleLook(int ButtonsLeft) const {
    TsSkinManager* m = SkinData->GetSkinManager();
    const int title = TitleHeight(), fw = FrameWidth(), fh = FrameHeight();
    TacTitleLook look;
    look.Active = Active;
    look.Band = TRect{0, 0, Width, IsIconic(CtrlHandle) ? Height : title + fh};
    look.Section = SectionIndexOf(m, "FORMTITLE");
    if (Has(StyleValue, WS_SYSMENU))
        look.BarMask = MaskIndexOf(m, SkinData->SkinIndex, SkinData->SkinSection(), "TITLEBAR");
    look.BarSpan = TRect{ButtonsLeft, 0, Width - fw, title + fh};
    look.BarExtent = TacBarExtent::CornerEachSide;
    look.Text = Caption;
    look.TextRect = TRect{fw + IconSize.cx + 4, fh, ButtonsLeft - 4, fh + title};
    look.Font = CaptionFont;
    look.Cut = TacCaptionCut::ToWidth;
    look.TextSection = look.Section >= 0 ? look.Section : SkinData->SkinIndex;
    return look;
}

bool TacDialogWnd::KeepsTitleBackground() const {
    const TsGeneralData* s = SkinData ? SkinData->Section() : nullptr;
    return s && s->ReservedBoolean && TitleHeight() > 0;
}

void TacDialogWnd::PaintFrame(bool TitleOnly) {
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m) return;
    if (!SkinData->CacheBmp) SkinData->CacheBmp = new TBitmap();
    TBitmap* cache = SkinData->CacheBmp;
    const int title = TitleHeight(), fw = FrameWidth(), fh = FrameHeight();
    const bool fast =
        TitleOnly && TitleBgBmp && TitleBgBmp->Width() == Width && cache->Width() == Width && cache->Height() == Height;
    if (fast) {
        // Only the title changed: its band starts again from the frame's picture under it.
        BitBlt(cache->Canvas()->Handle(), 0, 0, Width, title + fh, TitleBgBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    } else {
        cache->SetPixelFormat(pf24bit);
        cache->SetSize(Width, Height);
        const TRect all{0, 0, Width, Height};
        if (IsValidSectionIndex(m, SkinData->SkinIndex))
            PaintDataItem(SkinData, TCacheInfo(), true, cache, TPoint{0, 0}, all, Active ? 1 : 0);
        if (HasGrip()) PaintFrameGrip(cache, m, fw, fh);
        if (KeepsTitleBackground()) {
            if (!TitleBgBmp || TitleBgBmp->Width() != Width) {
                if (!TitleBgBmp) TitleBgBmp = std::make_unique<TBitmap>();
                TitleBgBmp->SetPixelFormat(pf24bit);
                TitleBgBmp->SetSize(Width, title + fh);
            }
            BitBlt(TitleBgBmp->Canvas()->Handle(), 0, 0, Width, title + fh, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
    }
    if (title > 0) {
        const int left = PlaceButtons();
        const TacTitleLook look = TitleLook(left);
        PaintTitleBackground(cache, m, look, [&] {
            DrawIconEx(cache->Canvas()->Handle(), fw, fh + (title - IconSize.cy) / 2,
                       TitleIcon ? TitleIcon : LoadIcon(nullptr, IDI_APPLICATION), IconSize.cx, IconSize.cy, 0, nullptr,
                       DI_NORMAL);
        });
        // The strip behind the buttons, for repainting one of them alone.
        Title.Strip.Save(cache, left, title + fh);
        for (int code : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP}) {
            TsCaptionButton* b = Title.Element(code);
            if (b->Rect.right > b->Rect.left)
                PaintTitleButton(cache, *b, Title.Mask(code), b->State, !(Active && Title.Enabled(code)), m);
        }
        PaintTitleCaption(cache, m, look);
    }
    SkinData->BGChanged = false;
    ClientFillKnown = false;
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

void TacDialogWnd::CopyFrameToWindow(bool Thin) {
    const TWindowDC dc(CtrlHandle);
    if (Thin) {
        const int b = 3;
        for (const TRect& r : {TRect{0, 0, Width, b}, TRect{0, 0, b, Height}, TRect{0, Height - b, Width, Height},
                               TRect{Width - b, 0, Width, Height}})
            CopyToWindow(dc, r);
        return;
    }
    // Everything around the client area.
    POINT o{0, 0};
    ClientToScreen(CtrlHandle, &o);
    RECT cr{};
    GetClientRect(CtrlHandle, &cr);
    const int cl = o.x - WndRect.left, ct = o.y - WndRect.top;
    ExcludeClipRect(dc, cl, ct, cl + cr.right, ct + cr.bottom);
    CopyToWindow(dc, TRect{0, 0, Width, Height});
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
    CopyFrameToWindow(thin);
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
    const TClientDC dc(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
    SkinData->Updating = false;
    if (SkinData->BGChanged || !SkinData->CacheBmp || SkinData->CacheBmp->Width() != Width) PaintFrame();
    POINT o{0, 0};
    ClientToScreen(CtrlHandle, &o);
    RECT cr{};
    GetClientRect(CtrlHandle, &cr);
    const TPoint origin{o.x - WndRect.left, o.y - WndRect.top};
    if (!ClientFillKnown) {
        ClientFillKnown = true;
        ClientFill =
            PlainAreaIn(SkinData->CacheBmp, TRect{origin.x, origin.y, origin.x + cr.right, origin.y + cr.bottom});
    }
    CopyOrFill(dc, TRect(cr), SkinData->CacheBmp, origin, ClientFill);
    // A system dialog holds no controls of the class library: only adapted
    // windows below it hear the command.
    if (SkinData->OwnerControl) RefreshChildWindows(CtrlHandle);
    else RefreshAdaptedDescendants(CtrlHandle);
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
    const TSize closeSize = TitleButtonSize(SkinData->GetSkinManager(), Title.Close.ImageIndex);
    int code = HTNOWHERE;
    if (title > 0) {
        PlaceButtons();
        code =
            TitleBarHitTest(p, TitleButtonTop(title, fh, closeSize.cy), closeSize.cy, fw,
                            fw + acSystemMetric(SM_CXSMICON), Title.Hits({HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP}));
        if (Title.Element(code)) Title.SetHot(code, true);
    }
    if (code == HTNOWHERE && HasGrip()) {
        TsSkinManager* m = SkinData->GetSkinManager();
        const int grip = FrameGripMask(m);
        const TPoint g = FrameGripPlace(m, grip, Width, Height, fw, fh);
        if (MaskSize(m, grip).cx > 0 && p.x >= g.x && p.y >= g.y) code = HTBOTTOMRIGHT;
    }
    if (IsZoomed(CtrlHandle) && (p.x < 2 || p.y < 2 || p.x >= Width - 2 || p.y >= Height - 2)) {
        // A zoomed dialog may not be sized from its edges: 2 pixels on every side.
        Title.SetHot(0, true);
        M.Result = HTERROR;
        return;
    }
    if (code == HTNOWHERE || code == HTCAPTION) {
        Title.SetHot(0, true);
        code = int(CallPrevWndProc(M));
    }
    M.Result = code;
}

void TacDialogWnd::ShowSystemMenu(int X, int Y) {
    Title.SetHot(0, true);
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
            ShowSystemMenu(WndRect.left + FrameWidth(), WndRect.top + FrameHeight() + acSystemMetric(SM_CYSMICON));
            return;
        case HTMINBUTTON:
        case HTMAXBUTTON:
        case HTCLOSE:
        case HTHELP:
        case teMDIClose:
        case teMDIMax:
        case teMDIMin: Title.Press(int(M.WParam)); return;
        default:
            if (IsIconic(CtrlHandle)) return Command(SC_MOVE | HTCAPTION);
            Title.SetHot(0, true);
            if (IsZoomed(CtrlHandle) && M.WParam == HTCAPTION) {
                if (GetActiveWindow() != CtrlHandle) SetFocus(CtrlHandle);
                return;
            }
            CallPrevWndProc(M);
    }
}

void TacDialogWnd::NCButtonUp(TMessage& M) {
    // A command the dialog's procedure answers may close, and free, the dialog.
    const TacLiveness live(this);
    const bool pressed = Title.Pressed;
    const int code = int(M.WParam);
    TsCaptionButton* b = Title.Element(code);
    POINT p{short(LOWORD(M.LParam)), short(HIWORD(M.LParam))};
    if (M.Msg == WM_LBUTTONUP) ClientToScreen(CtrlHandle, &p);
    const bool inside = b && p.x - WndRect.left >= b->Rect.left && p.x - WndRect.left < b->Rect.right;
    switch (code) {
        case HTMINBUTTON:
            if (pressed && !inside) return (void)CallPrevWndProc(M);
            Title.SetHot(0, true);
            if (pressed) Command(IsIconic(CtrlHandle) ? SC_RESTORE : SC_MINIMIZE);
            return;
        case HTMAXBUTTON:
            if (IsIconic(CtrlHandle) && !CanMaximize()) return;
            Title.SetHot(0, true);
            if (!pressed) return;
            Command(IsZoomed(CtrlHandle) ? SC_RESTORE : SC_MAXIMIZE);
            if (!live.Gone()) SystemMenu->UpdateItems();
            return;
        case HTCLOSE:
            if (!pressed) return;
            Title.Close.State = TsPaintState::Normal;
            Title.Pressed = false;
            // The command may free this adapter: it is the last thing done.
            return Command(SC_CLOSE);
        case HTHELP:
            Title.SetHot(0, true);
            if (!pressed) return;
            Command(SC_CONTEXTHELP);
            if (live.Gone()) return;
            SystemMenu->UpdateItems();
            SendMessageA(CtrlHandle, WM_NCPAINT, 1, 0);
            return;
        default: CallPrevWndProc(M);
    }
}

void TacDialogWnd::NCDoubleClick(TMessage& M) {
    if (M.WParam == HTCAPTION) {
        if (!CanMaximize() && !CanRestore()) return;
        const TacLiveness live(this);
        Command(IsZoomed(CtrlHandle) || IsIconic(CtrlHandle) ? SC_RESTORE : SC_MAXIMIZE);
        if (!live.Gone()) SystemMenu->UpdateItems();
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
    if (M.Msg == WM_NCDESTROY) return NCDestroy(M);
    if (M.Msg == WM_DESTROY) return (void)CallPrevWndProc(M);
    if (M.Msg == WM_SETTINGCHANGE) acForgetSystemMetrics();
    if (Destroyed || !SkinnedNow() || !HasSkin(SkinData)) return TacScrollWnd::WndProc(M);
    if (M.Msg == SM_ALPHACMD) return DialogAlphaCommand(M);
    SkinnedStage(M);
}

void TacDialogWnd::SkinnedStage(TMessage& M) {
    switch (M.Msg) {
        case WM_NCPAINT: return NCPaint(M);
        case WM_ERASEBKGND: return EraseBackground(M);
        case WM_NCHITTEST: return HitTest(M);
        case WM_NCLBUTTONDOWN: return NCButtonDown(M);
        case WM_NCLBUTTONUP: return NCButtonUp(M);
        case WM_LBUTTONUP: return ButtonUp(M);
        case WM_NCLBUTTONDBLCLK: return NCDoubleClick(M);
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONUP: return NCRightButton(M);
        case WM_GETDLGCODE: M.Result = 0; return;
        case WM_SIZE:
        case WM_WINDOWPOSCHANGED: return Resized(M);
        case WM_ENABLE:
        case WM_SETTEXT:
        case WM_NCACTIVATE: return TitleChanged(M);
        case WM_PAINT: return Paint(M);
        case WM_CTLCOLORDLG: M.Result = reinterpret_cast<LRESULT>(DialogBrush()); return;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC: return ChildColors(M);
        case WM_DRAWITEM: return DrawItem(M);
        case WM_MOUSEMOVE: return MouseMove(M);
        case WM_NCMOUSELEAVE:
        case WM_MOUSELEAVE: return MouseLeft(M);
        case acNewChildrenMessage: return NewChildren(M);
        case WM_SYSCOMMAND: return SysCommand(M);
        default: return TacScrollWnd::WndProc(M);
    }
}

void TacDialogWnd::NCDestroy(TMessage& M) {
    // Children are gone by now: the dialog's provider (and this adapter
    // with it) is freed as the very last thing.
    TacProvider* provider = Provider;
    DestroyMessage(M);
    delete provider;
}

// A press on a title button released over the client area still ends it.
void TacDialogWnd::ButtonUp(TMessage& M) {
    if (!Title.Pressed || !Title.Hot) return TacScrollWnd::WndProc(M);
    M.WParam = WPARAM(Title.Hot);
    NCButtonUp(M);
}

// The right button on the caption or the icon opens the window menu at its release.
void TacDialogWnd::NCRightButton(TMessage& M) {
    const bool title = M.WParam == HTCAPTION || M.WParam == HTSYSMENU;
    if (M.Msg == WM_NCRBUTTONDOWN) {
        if (!title) TacScrollWnd::WndProc(M);
        return;
    }
    if (!title) return;
    POINT p;
    GetCursorPos(&p);
    ShowSystemMenu(p.x, p.y);
}

void TacDialogWnd::Resized(TMessage& M) {
    SkinData->BGChanged = true;
    FrameChanged = true;
    if (CallPrevStays(M) && M.Msg == WM_SIZE)
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

// Enabling, a new caption or activation: the title is painted anew (unless
// the dialog's procedure closed the dialog, a pop-up that goes on deactivation).
void TacDialogWnd::TitleChanged(TMessage& M) {
    if (!CallPrevStays(M) || !IsWindowVisible(CtrlHandle)) return;
    if (M.Msg == WM_NCACTIVATE) Active = M.WParam != 0;
    if (M.Msg == WM_SETTEXT && !SkinData->BGChanged && KeepsTitleBackground() && TitleBgBmp) {
        // A new caption alone: the title band is painted again over the
        // frame's kept picture, the rest of the frame comes from the cache
        // (the system may have drawn its own caption over it meanwhile).
        Caption = ReadWindowText(CtrlHandle);
        PaintFrame(true);
        CopyFrameToWindow(false);
        return;
    }
    SkinData->BGChanged = true;
    SendMessageA(CtrlHandle, WM_NCPAINT, 1, 0);
    if (M.Msg == WM_NCACTIVATE) M.Result = 1;
}

void TacDialogWnd::DrawItem(TMessage& M) {
    const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(M.LParam);
    if (d && d->CtlType == ODT_STATIC) SetBkMode(d->hDC, TRANSPARENT);
    const TacLiveness live(this);
    TacScrollWnd::WndProc(M);
    if (!live.Gone() && d && (d->CtlType == ODT_COMBOBOX || d->CtlType == ODT_LISTBOX)) ItemInSectionColours(*d);
}

// An item the dialog drew in the system's window colours (the open-file
// dialog's folder list) takes its control's section colours; a selected one
// keeps the system's highlight.
void TacDialogWnd::ItemInSectionColours(const DRAWITEMSTRUCT& Item) {
    auto* a = dynamic_cast<TacEditWnd*>(AdapterOfWindow(Item.hwndItem));
    TColor back = clNone, text = clNone;
    if ((Item.itemState & ODS_SELECTED) || !a || !a->SkinnedNow() || !a->SectionLook(back, text)) return;
    Recolour(Item.hDC, Item.rcItem, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), ColorToRGB(back),
             ColorToRGB(text));
}

void TacDialogWnd::Paint(TMessage& M) {
    if (CallPrevStays(M)) RecolourPanels();
}

// Panels the dialog paints on itself (a text-less static left alone, as the
// colour dialog's swatches) are filled with the system's face colour around
// what is drawn there, and their swatches sunk by the system's edges: both
// move onto the dialog's picture.
void TacDialogWnd::RecolourPanels() {
    TBitmap* cache = SkinData->CacheBmp;
    if (!cache) return;
    // The adapters' list, not the dialog's children: no round trips to the
    // window server at each paint for the children that are no such panels.
    for (const TacMainWnd* a : ForeignChildAdapters(CtrlHandle)) {
        const auto* s = dynamic_cast<const TacStaticWnd*>(a);
        const HWND c = a->CtrlHandle;
        if (!s || !s->LeftAlone() || !IsWindowVisible(c) || GetWindowTextLengthA(c) > 0) continue;
        RECT r{};
        GetClientRect(c, &r);
        POINT o{0, 0};
        ClientToScreen(c, &o);
        const int dx = o.x - WndRect.left, dy = o.y - WndRect.top;
        const TClientDC dc(c);
        std::unique_ptr<TBitmap> b = ReadPixels(dc, r);
        if (!b || dx < 0 || dy < 0 || dx + b->Width() > cache->Width() || dy + b->Height() > cache->Height()) continue;
        RecolourPanelPixels(b.get(), cache, dx, dy);
        WritePixels(dc, r, b.get());
    }
}

// A child adapted with a section of its own (an edit, a list box, a combo box
// or the edit inside one, which asks through its combo box) takes the
// section's colours; the others ask the dialog's own procedure.
void TacDialogWnd::ChildColors(TMessage& M) {
    const HWND child = reinterpret_cast<HWND>(M.LParam);
    auto* a = dynamic_cast<TacEditWnd*>(AdapterOfWindow(child));
    if (const HWND parent = GetParent(child); !a && parent != CtrlHandle)
        a = dynamic_cast<TacEditWnd*>(AdapterOfWindow(parent));
    HBRUSH b = a && !a->Destroyed && a->SkinnedNow() ? a->SectionColors(reinterpret_cast<HDC>(M.WParam)) : nullptr;
    if (b) M.Result = reinterpret_cast<LRESULT>(b);
    else TacScrollWnd::WndProc(M);
}

void TacDialogWnd::MouseMove(TMessage& M) {
    if (IsWindowEnabled(CtrlHandle)) SetActiveControl(SkinData->GetSkinManager(), nullptr);
    TacScrollWnd::WndProc(M);
}

void TacDialogWnd::MouseLeft(TMessage& M) {
    if (M.Msg == WM_NCMOUSELEAVE) Title.TrackingLeave = false;
    Title.SetHot(0, true);
    TacScrollWnd::WndProc(M);
}

void TacDialogWnd::NewChildren(TMessage& M) {
    if (!CallPrevStays(M)) return;
    AdaptNewChildren();
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TacDialogWnd::SysCommand(TMessage& M) {
    const TacLiveness live(this);
    TacScrollWnd::WndProc(M);
    if (!live.Gone() && (M.WParam == SC_MAXIMIZE || M.WParam == SC_RESTORE)) Title.SetHot(0, true);
}
