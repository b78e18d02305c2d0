// Adapters of controls with columns, headers or trees: list views with their
// header painted from the skin, tree views, and the grids and virtual trees
// of other libraries, reached through their published properties by name.
#include "acSBUtils.h"

#include "Lists.h"
#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sPartPainters.h"
#include "sSkinFile.h"
#include "sSkinText.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>

CLASSLIB_DEFINE_CLASS(TacListViewWnd, TacEditWnd)
CLASSLIB_DEFINE_CLASS(TacTreeViewWnd, TacEditWnd)
CLASSLIB_DEFINE_CLASS(TacGridWnd, TacEditWnd)
CLASSLIB_DEFINE_CLASS(TacGridEhWnd, TacGridWnd)
CLASSLIB_DEFINE_CLASS(TacVirtualTreeViewWnd, TacEditWnd)

namespace {

// The sort direction of a virtual tree's header that puts the smallest first.
constexpr std::int64_t acSortAscending = 0;

bool OwnCommand(const TacMainWnd* A, const TMessage& M) {
    return OwnManager(A->SkinData, M.LParam) || reinterpret_cast<TsSkinManager*>(M.LParam) == A->SkinManager;
}

// --- Published properties of foreign controls --------------------------
TColor ColorProp(const TObject* O, const char* Name) {
    return O && HasPublishedProperty(O, Name) ? TColor(GetOrdProp(O, Name)) : clNone;
}
void SetColorProp(TObject* O, const char* Name, TColor C) {
    if (O && C != clNone && HasPublishedProperty(O, Name)) SetOrdProp(O, Name, C);
}
TFont* FontProp(const TObject* O, const char* Name) {
    return O ? dynamic_cast<TFont*>(GetObjectPropByName(O, Name)) : nullptr;
}
TColor FontColorProp(const TObject* O, const char* Name) {
    const TFont* f = FontProp(O, Name);
    return f ? f->Color() : clNone;
}
void SetFontColorProp(const TObject* O, const char* Name, TColor C) {
    if (TFont* f = FontProp(O, Name); f && C != clNone) f->SetColor(C);
}

// Each item of the grid's "Columns" collection.
template <typename F>
void ForEachColumn(TObject* Grid, F Fn) {
    if (auto* columns = dynamic_cast<TCollection*>(GetObjectPropByName(Grid, "Columns")))
        for (int i = 0; i < columns->Count(); ++i) Fn(columns->Items(i));
}

bool IsAdvGrid(const TObject* Grid) { return Grid && Grid->ClassName() == "TDBAdvGrid"; }

}  // namespace

// ---------------------------------------------------------------------------
// TacListViewWnd

TacListViewWnd::TacListViewWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
                               const String& SectionName, bool Repaint)
    : TacEditWnd(TDeferAttach{}, Handle, SkinData, SkinManager, SectionName) {
    HookHeader(FindWindowExA(Handle, nullptr, WC_HEADERA, nullptr));
    Attach(Repaint);
}

TacListViewWnd::~TacListViewWnd() {
    ReleaseInDestructor();
    UnhookHeader();
}

bool TacListViewWnd::ReportView() const {
    return (GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT;
}

void TacListViewWnd::HookHeader(HWND Header) {
    UnhookHeader();
    if (!Header) return;
    HeaderWnd = Header;
    PressedSection = HotSection = -1;
    HeaderHook.Attach(Header, TWndMethod(this, &TacListViewWnd::HeaderProc));
}

void TacListViewWnd::UnhookHeader() {
    HeaderHook.Release();
    HeaderWnd = nullptr;
    PressedSection = HotSection = -1;
}

void TacListViewWnd::SaveOriginalLook() {
    TacEditWnd::SaveOriginalLook();
    OrigColor = TColor(SendMessageA(CtrlHandle, LVM_GETBKCOLOR, 0, 0));
    OrigFontColor = TColor(SendMessageA(CtrlHandle, LVM_GETTEXTCOLOR, 0, 0));
}

void TacListViewWnd::ApplySkinLook() {
    TacEditWnd::ApplySkinLook();
    COLORREF back = ColorToRGB(clWindow), text = ColorToRGB(clWindowText);
    if (const TsGeneralData* s = SectionData()) {
        back = ColorToRGB(TColor(s->Color));
        if (s->FontColor[0] != acSkinNoColor) text = ColorToRGB(TColor(s->FontColor[0]));
    }
    SendMessageA(CtrlHandle, LVM_SETBKCOLOR, 0, LPARAM(back));
    SendMessageA(CtrlHandle, LVM_SETTEXTBKCOLOR, 0, LPARAM(back));
    SendMessageA(CtrlHandle, LVM_SETTEXTCOLOR, 0, LPARAM(text));
}

void TacListViewWnd::RestoreOriginalLook() {
    UnhookHeader();
    if (IsWindow(CtrlHandle)) {
        // Background too, not only the text: the list view is the system's again.
        SendMessageA(CtrlHandle, LVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(clWindowText)));
        if (OrigColor != clNone) {
            SendMessageA(CtrlHandle, LVM_SETBKCOLOR, 0, LPARAM(OrigColor));
            SendMessageA(CtrlHandle, LVM_SETTEXTBKCOLOR, 0, LPARAM(OrigColor));
        }
        InvalidateRect(CtrlHandle, nullptr, TRUE);
    }
    TacEditWnd::RestoreOriginalLook();
}

void TacListViewWnd::ThumbTrack(TMessage& M) {
    M.Result = 0;
    const int bar = M.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
    const int pos = ThumbRequestPosition(CtrlHandle, M.WParam);
    const int real = FRealPos[bar];
    if (pos == real) return;
    // The list view takes its place from its own scroll bar, which the drag
    // has moved already: put back where the list stands, so that the scroll
    // below moves it once, by the difference.
    SetScrollPos(CtrlHandle, bar, real, FALSE);
    int line = 1;
    if (bar == SB_VERT && ReportView()) {
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        if (SendMessageA(CtrlHandle, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)))
            line = std::max(1, int(r.bottom - r.top));
    }
    Painting = true;
    SendMessageA(CtrlHandle, LVM_SCROLL, bar == SB_HORZ ? pos - real : 0, bar == SB_VERT ? line * (pos - real) : 0);
    Painting = false;
    FRealPos[bar] = pos;
}

void TacListViewWnd::ListCommand(TMessage& M) {
    switch (M.WParamHi()) {
        case AC_REFRESH:
            if (!OwnCommand(this, M)) break;
            TacEditWnd::WndProc(M);
            if (HeaderWnd) RedrawWindow(HeaderWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            return;
        case AC_GETDISABLEDKIND: M.Result = SkinData->SkinIndex + 1; return;
        case AC_BEGINSCROLL:
            // Where the list stands before a request moves its bar.
            FRealPos[SB_HORZ] = GetScrollPos(CtrlHandle, SB_HORZ);
            FRealPos[SB_VERT] =
                ReportView() ? int(SendMessageA(CtrlHandle, LVM_GETTOPINDEX, 0, 0)) : GetScrollPos(CtrlHandle, SB_VERT);
            break;
        default: break;
    }
    TacEditWnd::WndProc(M);
}

void TacListViewWnd::Scroll(TMessage& M) {
    if (LOWORD(M.WParam) == SB_THUMBTRACK) return ThumbTrack(M);
    // The list view scrolls itself vertically; the bars follow its paint.
    if (M.Msg == WM_VSCROLL) {
        CallPrevWndProc(M);
        return;
    }
    TacEditWnd::WndProc(M);
}

void TacListViewWnd::PrintHeader(TMessage& M) {
    if (!M.WParam || !ReportView() || !HeaderWnd) return;
    const HDC dc = reinterpret_cast<HDC>(M.WParam);
    TSavedDC saved(dc);
    ToClientArea(dc);
    PaintHeader(dc);
}

void TacListViewWnd::ChildCreatedOrDestroyed(TMessage& M) {
    const HWND child = reinterpret_cast<HWND>(M.LParam);
    char name[96] = {};
    if (LOWORD(M.WParam) != WM_CREATE && LOWORD(M.WParam) != WM_DESTROY) return;
    if (!GetClassNameA(child, name, sizeof name) || lstrcmpiA(name, WC_HEADERA) != 0) return;
    if (LOWORD(M.WParam) == WM_CREATE) HookHeader(child);
    else if (child == HeaderWnd) UnhookHeader();
}

void TacListViewWnd::AfterPassedOn(TMessage& M) {
    switch (M.Msg) {
        case LVM_INSERTITEMA:
        case LVM_ARRANGE:
        case WM_STYLECHANGED: RefreshScrollBars(this, true); break;
        case WM_LBUTTONUP: ReleaseCapture(); break;
        case WM_PRINT: PrintHeader(M); break;
        case WM_PARENTNOTIFY: ChildCreatedOrDestroyed(M); break;
        default: break;
    }
}

void TacListViewWnd::WndProc(TMessage& M) {
    if (Destroyed || !SkinData || !HasSkin(SkinData)) return TacEditWnd::WndProc(M);
    if (M.Msg == SM_ALPHACMD) return ListCommand(M);
    switch (M.Msg) {
        case WM_PAINT: ApplySkinLook(); break;
        case WM_HSCROLL:
        case WM_VSCROLL: return Scroll(M);
        default: break;
    }
    const TacLiveness live(this);
    TacEditWnd::WndProc(M);
    if (!live.Gone()) AfterPassedOn(M);
}

bool TacListViewWnd::HeaderButtons() const { return (GetWindowLongPtrA(HeaderWnd, GWL_STYLE) & HDS_BUTTONS) != 0; }

void TacListViewWnd::RedrawHeader() {
    if (HeaderWnd) RedrawWindow(HeaderWnd, nullptr, nullptr, RDW_INVALIDATE);
}

void TacListViewWnd::HeaderReleased(TMessage& M) {
    HeaderHook.CallPrevious(M);
    HeaderHook.Release();
    HeaderWnd = nullptr;
}

void TacListViewWnd::HeaderPaint(TMessage& M) {
    const TPaintScope paint(HeaderWnd, reinterpret_cast<HDC>(M.WParam));
    PaintHeader(paint.DC());
    M.Result = 0;
}

void TacListViewWnd::HeaderButtonDown(TMessage& M) {
    const bool buttons = HeaderButtons();
    HeaderHook.CallPrevious(M);
    if (!buttons || !HeaderWnd) return;
    HeaderPressed = true;
    HDHITTESTINFO hit{};
    hit.pt = POINT{M.XPos(), M.YPos()};
    SendMessageA(HeaderWnd, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    // A press on a divider resizes: no section looks pressed.
    PressedSection = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : hit.iItem;
    RedrawHeader();
}

void TacListViewWnd::HeaderButtonUp(TMessage& M) {
    if (HeaderButtons()) {
        PressedSection = -1;
        HeaderPressed = false;
    }
    HeaderHook.CallPrevious(M);
    RedrawHeader();
}

void TacListViewWnd::HeaderMouseMove(TMessage& M) {
    HeaderHook.CallPrevious(M);
    if (!HeaderWnd) return;
    HDHITTESTINFO hit{};
    hit.pt = POINT{M.XPos(), M.YPos()};
    SendMessageA(HeaderWnd, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    const int hot = (hit.flags & (HHT_ONHEADER | HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? hit.iItem : -1;
    if (hot == HotSection) return;
    HotSection = hot;
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, HeaderWnd, 0};
    TrackMouseEvent(&tme);
    RedrawHeader();
}

void TacListViewWnd::HeaderMouseLeave(TMessage& M) {
    HeaderHook.CallPrevious(M);
    HotSection = -1;
    RedrawHeader();
}

void TacListViewWnd::HeaderMoving(TMessage& M) {
    // The list view's frame is drawn again under the header's new place.
    if (IsWindowVisible(CtrlHandle)) SendMessageA(CtrlHandle, WM_NCPAINT, 1, 0);
    HeaderHook.CallPrevious(M);
}

void TacListViewWnd::HeaderProc(TMessage& M) {
    if (M.Msg == WM_NCDESTROY) return HeaderReleased(M);
    if (Destroyed || !HeaderWnd || !HasSkin(SkinData) || !ReportView()) return HeaderHook.CallPrevious(M);
    switch (M.Msg) {
        case WM_PAINT: return HeaderPaint(M);
        case WM_ERASEBKGND: M.Result = 1; return;
        case WM_WINDOWPOSCHANGING: return HeaderMoving(M);
        case WM_LBUTTONDOWN: return HeaderButtonDown(M);
        case WM_LBUTTONUP: return HeaderButtonUp(M);
        case WM_MOUSEMOVE: return HeaderMouseMove(M);
        case WM_MOUSELEAVE: return HeaderMouseLeave(M);
        default: return HeaderHook.CallPrevious(M);
    }
}

void TacListViewWnd::PaintHeader(HDC DC) {
    if (!HeaderWnd) return;
    const TClientDC dc(HeaderWnd, DC);
    DC = dc;
    RECT client{};
    GetClientRect(HeaderWnd, &client);
    const int count = int(SendMessageA(HeaderWnd, HDM_GETITEMCOUNT, 0, 0));
    // The order array is right without drag and drop too (the index order then).
    std::vector<int> order(std::size_t(std::max(count, 0)));
    if (count > 0 && !SendMessageA(HeaderWnd, HDM_GETORDERARRAY, WPARAM(count), reinterpret_cast<LPARAM>(order.data())))
        for (int i = 0; i < count; ++i) order[std::size_t(i)] = i;
    int right = 0;
    for (int index : order) {
        RECT r{};
        if (!SendMessageA(HeaderWnd, HDM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r))) continue;
        right = std::max(right, int(r.right));
        if (IsRectEmpty(&r)) continue;
        PaintSection(DC, index, r, false);
        HeaderHeight = r.bottom - r.top;
    }
    if (count <= 0) {
        // No item to measure: the height the header lays itself out with.
        RECT area{};
        GetClientRect(CtrlHandle, &area);
        WINDOWPOS wp{};
        HDLAYOUT layout{&area, &wp};
        HeaderHeight = SendMessageA(HeaderWnd, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout)) ? wp.cy : 0;
    }
    if (right < client.right) PaintSection(DC, -1, TRect{right, 0, client.right, client.bottom}, true);
}

namespace {

// A header section's text, format and image into Item. The header tells no
// length: the buffer grows until the text leaves room in it.
String HeaderItemText(HWND Header, int Index, HDITEMA& Item) {
    String text(128, '\0');
    for (;;) {
        Item = HDITEMA{};
        Item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
        std::fill(text.begin(), text.end(), '\0');
        Item.pszText = &text[0];
        Item.cchTextMax = int(text.size());
        if (!SendMessageA(Header, HDM_GETITEMA, WPARAM(Index), reinterpret_cast<LPARAM>(&Item))) return String();
        const std::size_t n = std::strlen(text.c_str());
        if (n + 1 < text.size() || text.size() >= 0x100000) {
            text.resize(n);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

}  // namespace

void TacListViewWnd::PaintSection(HDC DC, int Index, const TRect& R, bool Empty) {
    TsHeaderSection section;
    section.Column = !Empty;
    section.State = Empty                     ? TsPaintState::Normal
                    : Index == PressedSection ? TsPaintState::Pressed
                    : Index == HotSection     ? TsPaintState::Active
                                              : TsPaintState::Normal;
    // See-through parts of the section show the list view's colour.
    TControl* owner = SkinData->OwnerControl;
    section.BackColor = owner ? owner->Color() : TColor(SendMessageA(CtrlHandle, LVM_GETBKCOLOR, 0, 0));
    if (!Empty) {
        HDITEMA item{};
        section.Caption = HeaderItemText(HeaderWnd, Index, item);
        section.Alignment = (item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT    ? taRightJustify
                            : (item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? taCenter
                                                                         : taLeftJustify;
        section.Sort = (item.fmt & HDF_SORTUP)     ? TsSortMark::Ascending
                       : (item.fmt & HDF_SORTDOWN) ? TsSortMark::Descending
                                                   : TsSortMark::None;
        section.Enabled = IsWindowEnabled(CtrlHandle) != FALSE;
        section.Font = reinterpret_cast<HFONT>(SendMessageA(CtrlHandle, WM_GETFONT, 0, 0));
        if (item.fmt & (HDF_IMAGE | HDF_OWNERDRAW)) {
            section.Images = reinterpret_cast<HIMAGELIST>(SendMessageA(HeaderWnd, HDM_GETIMAGELIST, 0, 0));
            section.ImageIndex = item.iImage;
        }
    }
    DrawHeaderSection(DC, R, section, SkinData->GetSkinManager());
}

// ---------------------------------------------------------------------------
// TacTreeViewWnd

TacTreeViewWnd::TacTreeViewWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
                               const String& SectionName, bool Repaint)
    : TacEditWnd(TDeferAttach{}, Handle, SkinData, SkinManager, SectionName) {
    Attach(Repaint);
}

TColor TacTreeViewWnd::TreeColor() const {
    // A colour the program gave the control stays under the skin.
    if (TControl* owner = SkinData ? SkinData->OwnerControl : nullptr; owner && SkinData->CustomColor())
        return owner->Color();
    const TsGeneralData* s = SectionData();
    return s ? TColor(s->HotColor) : clWindow;
}

void TacTreeViewWnd::ApplySkinLook() {
    ParamsApplied = true;
    const TsGeneralData* s = SectionData();
    const TColor back = TreeColor();
    if (TControl* owner = SkinData->OwnerControl) {
        if (s && !DlgMode && !SkinData->CustomFont() && s->HotFontColor[0] != acSkinNoColor &&
            owner->Font()->Color() != TColor(s->HotFontColor[0]))
            owner->Font()->SetColor(TColor(s->HotFontColor[0]));
        if (DlgMode || back != owner->Color()) SendMessageA(CtrlHandle, TVM_SETBKCOLOR, 0, LPARAM(ColorToRGB(back)));
        FAppliedColor = owner->Color();
        FAppliedFontColor = owner->Font()->Color();
    } else {
        SendMessageA(CtrlHandle, TVM_SETBKCOLOR, 0, LPARAM(ColorToRGB(back)));
        // A plain tree's text would keep the system's colour on any background;
        // one in a dialog is told too, as it never asks its dialog.
        if (s && s->FontColor[0] != acSkinNoColor)
            SendMessageA(CtrlHandle, TVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(TColor(s->FontColor[0]))));
    }
}

void TacTreeViewWnd::RestoreOriginalLook() {
    TacEditWnd::RestoreOriginalLook();
    if (!IsWindow(CtrlHandle)) return;
    // A control's own colour, which may be one of the program's; else -1,
    // the system's colours again.
    TControl* owner = SkinData ? SkinData->OwnerControl : nullptr;
    if (owner && owner->ComponentState().Contains(csDestroying)) return;
    SendMessageA(CtrlHandle, TVM_SETBKCOLOR, 0, owner ? LPARAM(ColorToRGB(owner->Color())) : LPARAM(-1));
    if (!owner) SendMessageA(CtrlHandle, TVM_SETTEXTCOLOR, 0, LPARAM(-1));
    InvalidateRect(CtrlHandle, nullptr, TRUE);
}

void TacTreeViewWnd::WndProc(TMessage& M) {
    if (Destroyed || !SkinData || !HasSkin(SkinData)) return TacEditWnd::WndProc(M);
    switch (M.Msg) {
        case WM_ERASEBKGND: {
            SetUpdating(SkinData, IsUpdating(SkinData));
            M.Result = 1;
            if (SkinData->Updating) return;
            if (SkinData->BGChanged) UpdateAdapterCache(SkinData, CtrlHandle, DlgMode);
            FillDC(TClientDC(CtrlHandle, reinterpret_cast<HDC>(M.WParam)), TRect{0, 0, WndSize.x, WndSize.y},
                   TreeColor());
            return;
        }
        case WM_LBUTTONUP:
            TacEditWnd::WndProc(M);
            ReleaseCapture();
            return;
        case WM_PAINT:
            // The tree sets its scroll information again while it paints, and the
            // system draws its own bar then, changed or not.
            TacEditWnd::WndProc(M);
            if (!Destroyed && !Painting) RefreshScrollBars(this, true);
            return;
        default: break;
    }
    TacEditWnd::WndProc(M);
}

// ---------------------------------------------------------------------------
// TacGridWnd

TacGridWnd::TacGridWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                       bool Repaint)
    : TacEditWnd(TDeferAttach{}, Handle, SkinData, SkinManager, SectionName) {
    Attach(Repaint);
}

TacGridEhWnd::TacGridEhWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                           bool Repaint)
    : TacGridWnd(TDeferAttach{}, Handle, SkinData, SkinManager, SectionName) {
    Attach(Repaint);
}

void TacGridWnd::SaveOriginalLook() {
    TacEditWnd::SaveOriginalLook();
    TObject* g = SkinData ? SkinData->OwnerControl : nullptr;
    if (!g) return;
    OrigFixedColor = ColorProp(g, "FixedColor");
    OrigTitleFontColor = IsAdvGrid(g) ? FontColorProp(g, "FixedFont") : FontColorProp(g, "TitleFont");
    OrigFooterColor = ColorProp(g, "FooterColor");
    OrigFooterCellColor = ColorProp(g, "FooterCellColor");
    OrigTitleColor = ColorProp(g, "TitleColor");
    OrigIndicatorIconColor = ColorProp(g, "IndicatorIconColor");
}

void TacGridWnd::ApplySkinLook() {
    TacEditWnd::ApplySkinLook();
    TObject* g = SkinData->OwnerControl;
    TsSkinManager* m = SkinData->GetSkinManager();
    const TsGeneralData* s = SectionData();
    if (!g || !m) return;
    SetColorProp(g, "FixedColor", GlobalSkinColor(m));
    const TColor titleFont = GlobalFontColor(m) == acNoColor ? clNone : GlobalFontColor(m);
    SetFontColorProp(g, "TitleFont", titleFont);
    if (IsAdvGrid(g)) {
        SetFontColorProp(g, "FixedFont", titleFont);
        ForEachColumn(g, [&](TObject* column) {
            SetFontColorProp(column, "HeaderFont", titleFont);
            if (s && s->HotFontColor[0] != acSkinNoColor) SetFontColorProp(column, "Font", TColor(s->HotFontColor[0]));
            if (s) SetColorProp(column, "Color", TColor(s->Color));
        });
    }
    const TColor global = GlobalSkinColor(m);
    for (const char* name : {"FooterColor", "FooterCellColor", "TitleColor"}) SetColorProp(g, name, global);
    if (s && s->FontColor[0] != acSkinNoColor) SetColorProp(g, "IndicatorIconColor", TColor(s->FontColor[0]));
}

void TacGridWnd::RestoreOriginalLook() {
    TacEditWnd::RestoreOriginalLook();
    TControl* g = SkinData ? SkinData->OwnerControl : nullptr;
    if (!g || g->ComponentState().Contains(csDestroying)) return;
    SetColorProp(g, "FixedColor", OrigFixedColor);
    SetFontColorProp(g, "TitleFont", OrigTitleFontColor);
    if (IsAdvGrid(g)) {
        SetFontColorProp(g, "FixedFont", OrigTitleFontColor);
        ForEachColumn(g, [&](TObject* column) {
            SetFontColorProp(column, "HeaderFont", OrigTitleFontColor);
            SetFontColorProp(column, "Font", OrigFontColor);
            SetColorProp(column, "Color", OrigColor);
        });
    }
    SetColorProp(g, "FooterColor", OrigFooterColor);
    SetColorProp(g, "FooterCellColor", OrigFooterCellColor);
    SetColorProp(g, "TitleColor", OrigTitleColor);
    SetColorProp(g, "IndicatorIconColor", OrigIndicatorIconColor);
}

void TacGridWnd::WndProc(TMessage& M) {
    TControl* grid = SkinData ? SkinData->OwnerControl : nullptr;
    if (!Destroyed && IsSkinCommand(M, AC_REMOVESKIN) && OwnCommand(this, M)) {
        TacEditWnd::WndProc(M);
        // A class-library grid lays its window out again without the skin.
        if (auto* w = dynamic_cast<TWinControl*>(grid); w && w->InheritsFrom("TCustomGrid") && w->HandleAllocated())
            w->RecreateWnd();
        return;
    }
    if (Destroyed || !SkinData || !HasSkin(SkinData)) return TacEditWnd::WndProc(M);
    switch (M.Msg) {
        case WM_ERASEBKGND: M.Result = 0; return;
        case WM_NCPAINT:
            if (IsWindowVisible(CtrlHandle)) SetUpdating(SkinData, false);
            break;
        case WM_VSCROLL:
            if (grid && HasPublishedProperty(grid, "DataSource") &&
                (LOWORD(M.WParam) == SB_THUMBPOSITION || LOWORD(M.WParam) == SB_THUMBTRACK)) {
                // A data grid reads the record to show from the bar's position.
                SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
                GetScrollInfo(CtrlHandle, SB_VERT, &si);
                si.nTrackPos = ThumbRequestPosition(CtrlHandle, M.WParam);
                si.nPos = si.nTrackPos + (LOWORD(M.WParam) == SB_THUMBPOSITION ? 1 : 0);
                si.fMask = SIF_POS;
                SetScrollInfo(CtrlHandle, SB_VERT, &si, FALSE);
            }
            break;
        case WM_PRINT: {
            TacEditWnd::WndProc(M);
            if (!M.WParam) return;
            const HDC dc = reinterpret_cast<HDC>(M.WParam);
            TSavedDC saved(dc);
            ToClientArea(dc);
            SendMessageA(CtrlHandle, WM_PAINT, M.WParam, 0);
            return;
        }
        default: break;
    }
    const TacLiveness live(this);
    TacEditWnd::WndProc(M);
    if (live.Gone()) return;
    if (M.Msg == WM_PAINT) RefreshScrollBars(this, true);
    else if (M.Msg == WM_WINDOWPOSCHANGED && IsWindowVisible(CtrlHandle)) SendMessageA(CtrlHandle, WM_NCPAINT, 1, 0);
}

// ---------------------------------------------------------------------------
// TacVirtualTreeViewWnd

TacVirtualTreeViewWnd::TacVirtualTreeViewWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
                                             const String& SectionName, bool Repaint)
    : TacEditWnd(TDeferAttach{}, Handle, SkinData, SkinManager, SectionName) {
    Attach(Repaint);
}

void TacVirtualTreeViewWnd::SaveOriginalLook() {
    TacEditWnd::SaveOriginalLook();
    TObject* tree = SkinData ? SkinData->OwnerControl : nullptr;
    if (!tree) return;
    if (TObject* colors = GetObjectPropByName(tree, "VETColors")) {
        OrigCompressedTextColor = ColorProp(colors, "CompressedTextColor");
        OrigFileTextColor = ColorProp(colors, "FileTextColor");
        OrigFolderTextColor = ColorProp(colors, "FolderTextColor");
    }
    OrigOwnerDraw = SetPropContains(GetObjectPropByName(tree, "Header"), "Options", "hoOwnerDraw");
}

void TacVirtualTreeViewWnd::ApplySkinLook() {
    TacEditWnd::ApplySkinLook();
    TObject* tree = SkinData->OwnerControl;
    const TsGeneralData* s = SectionData();
    if (!tree) return;
    if (TObject* colors = GetObjectPropByName(tree, "VETColors"); colors && s && s->HotFontColor[0] != acSkinNoColor)
        for (const char* name : {"CompressedTextColor", "FileTextColor", "FolderTextColor"})
            SetColorProp(colors, name, TColor(s->HotFontColor[0]));
    // Only events the application left empty take the adapter's handlers.
    const std::any draw = GetMethodProp(tree, "OnAdvancedHeaderDraw");
    if (const auto* e = std::any_cast<TacAdvancedHeaderPaintEvent>(&draw); e && !*e)
        SetMethodProp(tree, "OnAdvancedHeaderDraw", DrawHandler());
    const std::any query = GetMethodProp(tree, "OnHeaderDrawQueryElements");
    if (const auto* e = std::any_cast<TacHeaderPaintQueryElementsEvent>(&query)) {
        if (!*e) SetMethodProp(tree, "OnHeaderDrawQueryElements", QueryHandler());
        SetSetPropElement(GetObjectPropByName(tree, "Header"), "Options", "hoOwnerDraw", true);
    }
}

void TacVirtualTreeViewWnd::RestoreOriginalLook() {
    TacEditWnd::RestoreOriginalLook();
    TControl* tree = SkinData ? SkinData->OwnerControl : nullptr;
    if (!tree || tree->ComponentState().Contains(csDestroying)) return;
    if (TObject* colors = GetObjectPropByName(tree, "VETColors")) {
        SetColorProp(colors, "CompressedTextColor", OrigCompressedTextColor);
        SetColorProp(colors, "FileTextColor", OrigFileTextColor);
        SetColorProp(colors, "FolderTextColor", OrigFolderTextColor);
    }
    // Cleared only where the adapter's own handler still sits: an
    // application's handler outlives the skin.
    const std::any draw = GetMethodProp(tree, "OnAdvancedHeaderDraw");
    if (const auto* e = std::any_cast<TacAdvancedHeaderPaintEvent>(&draw); e && *e == DrawHandler())
        SetMethodProp(tree, "OnAdvancedHeaderDraw", TacAdvancedHeaderPaintEvent());
    const std::any query = GetMethodProp(tree, "OnHeaderDrawQueryElements");
    if (const auto* e = std::any_cast<TacHeaderPaintQueryElementsEvent>(&query); e && *e == QueryHandler())
        SetMethodProp(tree, "OnHeaderDrawQueryElements", TacHeaderPaintQueryElementsEvent());
    SetSetPropElement(GetObjectPropByName(tree, "Header"), "Options", "hoOwnerDraw", OrigOwnerDraw);
}

void TacVirtualTreeViewWnd::HeaderDrawQueryElements(TObject*, TacHeaderPaintInfo&, int& Elements) {
    Elements = hpeBackground | hpeDropMark | hpeSortGlyph | hpeText;
}

void TacVirtualTreeViewWnd::AdvancedHeaderDraw(TObject* Sender, TacHeaderPaintInfo& Info, int Elements) {
    if (Painting || Destroyed || !HasSkin(SkinData) || !Info.DC) return;
    TsHeaderSection section;
    section.Column = Info.Column >= 0;
    section.State = !section.Column ? TsPaintState::Normal
                    : Info.IsDown   ? TsPaintState::Pressed
                    : Info.IsHot    ? TsPaintState::Active
                                    : TsPaintState::Normal;
    section.Background = (Elements & hpeBackground) != 0;
    if (Elements & hpeText) section.Caption = Info.Text;
    TObject* header = Sender ? GetObjectPropByName(Sender, "Header") : nullptr;
    if ((Elements & hpeSortGlyph) && header && section.Column && GetOrdPropByName(header, "SortColumn") == Info.Column)
        section.Sort = GetOrdPropByName(header, "SortDirection") == acSortAscending ? TsSortMark::Ascending
                                                                                    : TsSortMark::Descending;
    DrawHeaderSection(Info.DC, Info.PaintRectangle, section, SkinData->GetSkinManager());
}

void TacVirtualTreeViewWnd::TreePrint(TMessage& M) {
    const HDC dc = reinterpret_cast<HDC>(M.WParam);
    M.Result = 0;
    if (!dc) return;
    SetUpdating(SkinData, false);
    AdapterGeometry(this);
    int top = InsetLeft;
    TObject* header = SkinData->OwnerControl ? GetObjectPropByName(SkinData->OwnerControl, "Header") : nullptr;
    if (header && SetPropContains(header, "Options", "hoVisible")) top += int(GetOrdPropByName(header, "Height"));
    {
        TSavedDC saved(dc);
        OffsetViewportOrgEx(dc, InsetLeft, top, nullptr);
        SendMessageA(CtrlHandle, WM_PRINTCLIENT, M.WParam, PRF_CLIENT);
    }
    // The tree prints what it draws outside its client area itself (its header).
    CallPrevWndProc(M);
    TSavedDC saved(dc);
    PaintFrame(dc, InsetLeft);
    M.Result = 0;
}

void TacVirtualTreeViewWnd::TreeNCPaint(TMessage& M) {
    EditNCPaint(M);
    if (Destroyed || SkinData->Updating) return;
    // Asked to print with no flags, the tree paints its own non-client parts
    // (the header) over the frame.
    const TWindowDC dc(CtrlHandle);
    LPARAM none = 0;
    CallPrevWndProc(WM_PRINT, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), none);
}

void TacVirtualTreeViewWnd::WndProc(TMessage& M) {
    if (Destroyed || !SkinData || !HasSkin(SkinData)) return TacEditWnd::WndProc(M);
    switch (M.Msg) {
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (LOWORD(M.WParam) == SB_THUMBTRACK) {
                // The tree reads where to go from the bar.
                SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, ThumbRequestPosition(CtrlHandle, M.WParam), 0};
                SetScrollInfo(CtrlHandle, M.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &si, FALSE);
            }
            break;
        case WM_ERASEBKGND: M.Result = 1; return;
        case WM_PRINT: return TreePrint(M);
        case WM_NCPAINT:
            if (IsWindowVisible(CtrlHandle)) return TreeNCPaint(M);
            break;
        default: break;
    }
    TacEditWnd::WndProc(M);
}
