// Adapters of containers and bars: class-library panels, panels of dialogs,
// tool bars and popup menu windows.
#include "acSBUtilsSimple.h"

#include "ExtCtrls.h"
#include "Forms.h"
#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinFile.h"
#include "sSkinMenus.h"
#include "sSkinText.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <memory>

CLASSLIB_DEFINE_CLASS(TacToolBarWnd, TacMainWnd)
CLASSLIB_DEFINE_CLASS(TacPanelFrameWnd, TacMainWnd)
CLASSLIB_DEFINE_CLASS(TacPanelWnd, TacPanelFrameWnd)
CLASSLIB_DEFINE_CLASS(TacDlgPanelWnd, TacPanelFrameWnd)
CLASSLIB_DEFINE_CLASS(TacMnuWnd, TacScrollWnd)

namespace {

constexpr int kDlgPanelMargin = 6;
constexpr int kMenuBorder = 3;
constexpr UINT kRedrawAfterUpdate = RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;  // 0x581

// Half the difference of the window's and the client's width: the border.
int BorderOf(HWND H) {
    RECT w{}, c{};
    GetWindowRect(H, &w);
    GetClientRect(H, &c);
    return ((w.right - w.left) - c.right) / 2;
}

bool SameText(String A, String B) {
    auto up = [](String& s) {
        for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    };
    up(A), up(B);
    return A == B;
}

}  // namespace

// ---------------------------------------------------------------------------
// Class-library panels

String TacPanelWnd::SectionOfPanel(TControl* Panel) {
    auto* p = dynamic_cast<TCustomPanel*>(Panel);
    if (!p) return "PANEL";
    switch (p->BevelOuter()) {
        case bvLowered: return p->BevelInner() == bvRaised ? "GROUPBOX" : "PANEL_LOW";
        case bvRaised: return p->BevelInner() == bvLowered ? "GROUPBOX" : "PANEL";
        default: return p->BorderStyle() == bsSingle ? "PANEL_LOW" : "CHECKBOX";
    }
}

// The answers both panel adapters share.
void TacPanelFrameWnd::ChildNotify(TMessage& M) {
    TControl* panel = PanelControl();
    TacMainWnd::WndProc(M);
    if (LOWORD(M.WParam) == WM_CREATE && panel) NotifyFormControlLoaded(panel);
}

void TacPanelFrameWnd::PrintPanel(TMessage& M) {
    PaintFrame(reinterpret_cast<HDC>(M.WParam));
    PaintClient(reinterpret_cast<HDC>(M.WParam));
}

void TacPanelFrameWnd::PaintBorder(TMessage& M) {
    PaintFrame(nullptr);
    M.Result = 1;
}

TacPanelWnd::TacPanelWnd(HWND Handle, TsCommonData* Data, TsSkinManager* Manager, const String& SectionName, bool)
    : TacPanelFrameWnd(TDeferAttach{}, Handle, Data, Manager, SectionName) {
    if (SkinData->OwnerControl) SkinData->SetSkinSection(SectionOfPanel(SkinData->OwnerControl));
    SubclassAdapterWindow(this, Handle);
}

void TacPanelWnd::PaintClient(HDC DC) {
    auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl);
    if (!owner || owner->ComponentState().Contains(csDestroying) || IsUpdating(SkinData)) return;
    if (owner->Parent() && owner->Parent()->ControlState().Contains(csCreating)) return;
    AdapterGeometry(this);
    // Rebuilt at every paint: what lies behind may have changed without a word.
    TBitmap* cache = SizeCacheBmp(SkinData, WndSize.x, WndSize.y);
    const TCacheInfo pc = ParentCacheOf(SkinData);
    PaintDataItem(SkinData, pc, false, cache, TPoint{owner->Left(), owner->Top()}, TRect{0, 0, WndSize.x, WndSize.y},
                  0);
    // The caption stays readable on the skin (the panel's own paint is replaced).
    const String text = owner->Caption();
    if (!text.empty()) {
        cache->Canvas()->Font()->Assign(owner->Font());
        auto* panel = dynamic_cast<TCustomPanel*>(owner);
        const int frame = panel ? panel->FrameWidth() : 0;
        TRect r{frame, frame, WndSize.x - frame, WndSize.y - frame};
        const UINT align = TextFlagsForAlignment(owner, panel ? panel->Alignment() : taCenter);
        WriteSkinText(cache->Canvas(), text, owner->Enabled(), r, align | DT_SINGLELINE, SkinData->SkinIndex, false,
                      SkinManager);
    }
    SkinData->BGChanged = false;
    const int inset = BorderOf(CtrlHandle);
    RECT c{};
    GetClientRect(CtrlHandle, &c);
    const TClientDC dc(CtrlHandle, DC);
    PaintChildControlsInto(owner, SkinData, TPoint{inset, inset}, 0, 0, false, dc, c);
    PaintGraphicChildren(dc, owner);
    RefreshChildControls(owner);
}

void TacPanelWnd::PaintFrame(HDC DC) {
    const int inset = BorderOf(CtrlHandle);
    if (inset < 1) return;
    AdapterGeometry(this);
    SkinData->BGChanged = true;
    SendSkinCommandToWindow(CtrlHandle, AC_PREPARECACHE, 0);
    if (!SkinData->CacheBmp) return;
    CopyBorderStrips(TWindowDC(CtrlHandle, DC), 0, 0, inset, SkinData->CacheBmp->Canvas()->Handle(), WndSize.x,
                     WndSize.y);
}

void TacPanelWnd::PaintPanel(TMessage& M) {
    const TPaintScope ps(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
    PaintClient(ps.DC());
}

void TacPanelWnd::PanelCommand(TMessage& M) {
    switch (M.WParamHi()) {
        case AC_NEWSKIN: {
            TMessage copy = M;
            BroadcastToChildren(SkinData->OwnerControl, copy);
            break;
        }
        case AC_REMOVESKIN: SkinData->SkinIndex = -1; break;
        default: break;
    }
}

void TacPanelWnd::WndProc(TMessage& M) {
    TControl* owner = SkinData ? SkinData->OwnerControl : nullptr;
    if (!SkinnedNow() || !owner || !owner->ControlStyle().Contains(csAcceptsControls) || M.Msg == WM_DESTROY ||
        M.Msg == WM_NCDESTROY)
        return TacMainWnd::WndProc(M);
    const bool skinned = HasSkin(SkinData);
    switch (MessageKind(M)) {
        case WM_UPDATEUISTATE: M.Result = 1; return;
        case WM_PARENTNOTIFY: return ChildNotify(M);
        case WM_PRINT: return PrintPanel(M);
        case WM_NCPAINT:
            if (skinned) return PaintBorder(M);
            break;
        case WM_ERASEBKGND:
            if (!skinned) break;
            M.Result = 1;
            return;
        case WM_PAINT:
            if (skinned) return PaintPanel(M);
            break;
        case WM_SETTEXT:
            if (IsWindowVisible(CtrlHandle)) return AdapterRedrawAround(this, M);
            break;
        case kSkinCommand: PanelCommand(M); break;
        default: break;
    }
    // The panel's own resize handlers run meanwhile and may free it.
    const TacLiveness live(this);
    TacMainWnd::WndProc(M);
    if (M.Msg == WM_WINDOWPOSCHANGING && !live.Gone()) SendMessageA(CtrlHandle, WM_NCPAINT, 1, 0);
}

// ---------------------------------------------------------------------------
// Panels of dialogs

TacDlgPanelWnd::TacDlgPanelWnd(HWND Handle, TsCommonData* Data, TsSkinManager* Manager, const String& SectionName, bool)
    : TacPanelFrameWnd(TDeferAttach{}, Handle, Data, Manager, SectionName) {
    Panel = FindControlByHandle(Handle, Application);
    String className;
    if (Panel) {
        Panel->SetColor(GlobalSkinColor(SkinManager));
        className = Panel->ClassName();
    } else {
        // No control of ours: the window's class name says which panel it is.
        char buf[64] = {};
        GetClassNameA(Handle, buf, sizeof buf);
        className = buf;
    }
    SkinData->SetSkinSection(SameText(className, "TPanel") ? "CHECKBOX" : "GROUPBOX");
    SubclassAdapterWindow(this, Handle);
}

void TacDlgPanelWnd::PrepareDlgPanelCache() {
    AdapterGeometry(this);
    TBitmap* cache = SizeCacheBmp(SkinData, WndSize.x, WndSize.y);
    const TCacheInfo pc = ParentCacheOfHandle(CtrlHandle);
    PaintDataItem(SkinData, pc, false, cache, WndPos, TRect{0, 0, WndSize.x, WndSize.y}, 0);
    SkinData->BGChanged = false;
}

void TacDlgPanelWnd::PaintFrame(HDC DC) {
    const int border = BorderOf(CtrlHandle);
    if (border < 1) return;
    PrepareDlgPanelCache();
    CopyBorderStrips(TWindowDC(CtrlHandle, DC), 0, 0, border + kDlgPanelMargin, SkinData->CacheBmp->Canvas()->Handle(),
                     WndSize.x, WndSize.y);
}

void TacDlgPanelWnd::PaintClient(HDC DC) {
    if (!HasSkin(SkinData) || IsUpdating(SkinData) || !DC) return;
    PrepareDlgPanelCache();
    const int border = BorderOf(CtrlHandle);
    RECT c{};
    GetClientRect(CtrlHandle, &c);
    BitBlt(DC, 0, 0, c.right, c.bottom, SkinData->CacheBmp->Canvas()->Handle(), border, border, SRCCOPY);
}

void TacDlgPanelWnd::EraseWithContent(TMessage& M) {
    // The panel draws its own content inside a margin of the skin.
    HDC dc = reinterpret_cast<HDC>(M.WParam);
    PaintClient(dc);
    const TSavedDC saved(dc);
    IntersectClipRect(dc, kDlgPanelMargin, kDlgPanelMargin, WndSize.x - kDlgPanelMargin, WndSize.y - kDlgPanelMargin);
    CallPrevWndProc(WM_PAINT, M.WParam, M.LParam);
    M.Result = 1;
}

void TacDlgPanelWnd::PanelCommand(TMessage& M) {
    if (M.WParamHi() == AC_NEWSKIN && Panel) {
        TMessage copy = M;
        BroadcastToChildren(Panel, copy);
    }
    TacMainWnd::WndProc(M);
}

void TacDlgPanelWnd::WndProc(TMessage& M) {
    if (OwnLook(M)) return TacMainWnd::WndProc(M);
    switch (MessageKind(M)) {
        case WM_UPDATEUISTATE: M.Result = 1; return;
        case WM_PARENTNOTIFY: return ChildNotify(M);
        case WM_PRINT: return PrintPanel(M);
        case WM_NCPAINT: return PaintBorder(M);
        case WM_PAINT: {
            // Validated only: the content is drawn with the background.
            const TPaintScope ps(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
            return;
        }
        case WM_ERASEBKGND: return EraseWithContent(M);
        case WM_SETTEXT:
            if (IsWindowVisible(CtrlHandle)) SkinData->BGChanged = true;
            break;
        case kSkinCommand: return PanelCommand(M);
        default: break;
    }
    TacMainWnd::WndProc(M);
}

// ---------------------------------------------------------------------------
// Tool bars

void TacToolBarWnd::PrepareToolBarCache() {
    AdapterGeometry(this);
    RECT c{};
    GetClientRect(CtrlHandle, &c);
    ClientRect = c;
    BorderInset = (WndSize.y - c.bottom) / 2;
    if (!SkinData->BGChanged) return;
    UpdateAdapterCache(SkinData, CtrlHandle, false);
    PaintAdapterBorder(this);
}

void TacToolBarWnd::PaintToolBar(HDC DC) {
    if (IsUpdating(SkinData) || !DC) return;
    if (ParentWnd && QueryWindowSkinCommand(ParentWnd, AC_GETBGCHANGED)) return;
    PrepareToolBarCache();
    TBitmap* cache = SkinData->CacheBmp;
    TsSkinManager* m = SkinManager;
    if (!cache || cache->Empty() || !m) return;
    TBitmap bmp(cache->Width(), cache->Height());
    BitBlt(bmp.Canvas()->Handle(), 0, 0, bmp.Width(), bmp.Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    const int section = SectionIndexOf(m, "TOOLBUTTON");
    const TCacheInfo behind = MakeCacheInfo(cache);
    const HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(CtrlHandle, TB_GETIMAGELIST, 0, 0));
    const int hot = int(SendMessageA(CtrlHandle, TB_GETHOTITEM, 0, 0));
    bmp.Canvas()->Font()->SetHandle(reinterpret_cast<HFONT>(SendMessageA(CtrlHandle, WM_GETFONT, 0, 0)));
    const int count = int(SendMessageA(CtrlHandle, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        RECT r{};
        if (!SendMessageA(CtrlHandle, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&b)) ||
            (b.fsStyle & BTNS_SEP) ||
            !SendMessageA(CtrlHandle, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)))
            continue;
        OffsetRect(&r, BorderInset, BorderInset);
        const bool enabled = (b.fsState & TBSTATE_ENABLED) != 0;
        const int state = !enabled ? 0 : (b.fsState & (TBSTATE_PRESSED | TBSTATE_CHECKED)) ? 2 : hot == i ? 1 : 0;
        if (section >= 0) PaintSkinItem(section, "TOOLBUTTON", behind, true, state, r, TPoint{r.left, r.top}, &bmp, m);
        int textTop = r.top;
        if (images && b.iBitmap >= 0) {
            int iw = 0, ih = 0;
            ImageList_GetIconSize(images, &iw, &ih);
            const int x = r.left + (RectWidth(r) - iw) / 2, y = r.top + 3;
            ImageList_Draw(images, b.iBitmap, bmp.Canvas()->Handle(), x, y, ILD_TRANSPARENT);
            textTop = y + ih;
        }
        if (b.fsStyle & BTNS_DROPDOWN) {
            const int arrow = m->StdIndexes().ScrollBtnBottom.Glyph;
            if (IsValidMaskIndex(m, arrow)) {
                const TSize g = MaskSize(m, arrow);
                PaintImageState(&bmp, TPoint{r.right - g.cx - 2, r.top + (RectHeight(r) - g.cy) / 2}, state, arrow, 0,
                                m);
            }
        }
        const String text = ButtonText(b.idCommand);
        if (!text.empty()) {
            TRect tr{r.left, textTop, r.right, r.bottom};
            WriteSkinText(bmp.Canvas(), text, enabled, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                          section >= 0 ? section : SkinData->SkinIndex, state > 0, m);
        }
    }
    BitBlt(DC, 0, 0, ClientRect.right, ClientRect.bottom, bmp.Canvas()->Handle(), BorderInset, BorderInset, SRCCOPY);
}

String TacToolBarWnd::ButtonText(int Command) const {
    // Asked for its length first: a label may be of any length.
    const LRESULT n = SendMessageA(CtrlHandle, TB_GETBUTTONTEXTA, WPARAM(Command), 0);
    if (n <= 0) return String();
    String text(std::size_t(n) + 1, '\0');
    const LRESULT got =
        SendMessageA(CtrlHandle, TB_GETBUTTONTEXTA, WPARAM(Command), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(std::size_t(std::clamp<LRESULT>(got, 0, n)));
    return text;
}

void TacToolBarWnd::PaintToolBarBorder() {
    if (!(GetWindowLongPtrA(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) return;
    PrepareToolBarCache();
    if (!SkinData->CacheBmp || BorderInset < 1) return;
    CopyBorderStrips(TWindowDC(CtrlHandle), 0, 0, BorderInset, SkinData->CacheBmp->Canvas()->Handle(), WndSize.x,
                     WndSize.y);
}

void TacToolBarWnd::WndProc(TMessage& M) {
    if (OwnLook(M)) return TacMainWnd::WndProc(M);
    switch (MessageKind(M)) {
        case WM_ERASEBKGND: M.Result = 1; return;
        case WM_SIZE:
        case WM_WINDOWPOSCHANGED:
            SkinData->BGChanged = true;
            {
                const TacLiveness live(this);
                TacMainWnd::WndProc(M);
                if (!live.Gone()) SendMessageA(CtrlHandle, WM_NCPAINT, 1, 0);
            }
            return;
        case WM_PAINT: {
            const TPaintScope ps(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
            PaintToolBar(ps.DC());
            return;
        }
        case WM_NCPAINT: PaintToolBarBorder(); return;
        case kSkinCommand:
            if (M.WParamHi() == AC_PARENTCHANGED && IsUpdating(SkinData)) {
                SetUpdating(SkinData, false);
                RedrawWindow(CtrlHandle, nullptr, nullptr, kRedrawAfterUpdate);
                return;
            }
            break;
        default: break;
    }
    TacMainWnd::WndProc(M);
}

// ---------------------------------------------------------------------------
// Popup menu windows

TacMnuWnd::TacMnuWnd(HWND Handle, TsCommonData* Data, TsSkinManager* Manager, const String& SectionName, bool Repaint)
    : TacScrollWnd(Handle, Data, Manager, SectionName, Repaint) {
    MenuSkinned = 0;
}

void TacMnuWnd::MenuDestroyed(TMessage& M) {
    MenuSkinned = 0;
    DestroyMessage(M);
    ResetMenuGlobals();
    acSystemPopup = false;
}

void TacMnuWnd::MenuCommand(TMessage& M) {
    switch (M.WParamHi()) {
        case AC_SKINNEDQUERY:
        case AC_GETAPPLICATION: AlphaCommand(M); break;
        case AC_SETUPDATING:  // asked: is the open menu painted by the skin?
            M.LParam = MenuSkinned;
            break;
        case AC_POPUPQUERY:
            if (IsWindowVisible(CtrlHandle)) MenuSkinned = 1;
            break;
        default: break;
    }
}

void TacMnuWnd::PrepareMenuCache() {
    AdapterGeometry(this);
    if (!SkinData->BGChanged) return;
    TBitmap* cache = SizeCacheBmp(SkinData, WndSize.x, WndSize.y);
    PaintSkinItem(SkinData->SkinIndex, SkinData->SkinSection(), TCacheInfo{}, true, 1,
                  TRect{0, 0, WndSize.x, WndSize.y}, WndPos, cache, SkinManager);
    PaintAdapterBorder(this, 1);
    SkinData->BGChanged = false;
}

void TacMnuWnd::EraseMenu(TMessage& M) {
    PrepareMenuCache();
    BitBlt(TWindowDC(CtrlHandle, reinterpret_cast<HDC>(M.WParam)), 0, 0, WndSize.x - 2 * kMenuBorder,
           WndSize.y - 2 * kMenuBorder, SkinData->CacheBmp->Canvas()->Handle(), kMenuBorder, kMenuBorder, SRCCOPY);
    MenuSkinned = 0;
    M.Result = 1;
}

// The system may draw the whole popup, ground included, when it paints (Wine
// does): its picture goes over the skin's with the system's menu colour
// left out, so that the items and the selection stay the system's.
void TacMnuWnd::PaintOverSystem(TMessage& M) {
    const TPaintScope ps(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
    PrepareMenuCache();
    RECT c{};
    GetClientRect(CtrlHandle, &c);
    POINT origin{0, 0};
    MapWindowPoints(CtrlHandle, nullptr, &origin, 1);
    const std::unique_ptr<TBitmap> system = NewBitmap24(c.right, c.bottom), shown = NewBitmap24(c.right, c.bottom);
    if (!system || !shown || !ps.DC()) return;
    const COLORREF ground = GetSysColor(COLOR_MENU);
    HDC sys = system->Canvas()->Handle();
    FillDC(sys, TRect{0, 0, c.right, c.bottom}, TColor(ground));
    LPARAM flags = PRF_CLIENT;
    CallPrevWndProc(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(sys), flags);
    HDC out = shown->Canvas()->Handle();
    BitBlt(out, 0, 0, c.right, c.bottom, SkinData->CacheBmp->Canvas()->Handle(), origin.x - WndRect.left,
           origin.y - WndRect.top, SRCCOPY);
    TransparentBlt(out, 0, 0, c.right, c.bottom, sys, 0, 0, c.right, c.bottom, ground);
    BitBlt(ps.DC(), 0, 0, c.right, c.bottom, out, 0, 0, SRCCOPY);
}

bool TacMnuWnd::PaintMenuFrame() {
    if (!IsNT || !PopupBackground) return false;
    RECT w{};
    GetWindowRect(CtrlHandle, &w);
    // The picture of the whole open menu: its frame strips are the border.
    if (PopupBackground->Width() != w.right - w.left || PopupBackground->Height() != w.bottom - w.top) return false;
    CopyBorderStrips(TWindowDC(CtrlHandle), 0, 0, kMenuBorder, PopupBackground->Canvas()->Handle(),
                     PopupBackground->Width(), PopupBackground->Height());
    return true;
}

void TacMnuWnd::WndProc(TMessage& M) {
    switch (MessageKind(M)) {
        case WM_DESTROY:
        case WM_NCDESTROY: return MenuDestroyed(M);
        case kSkinCommand: return MenuCommand(M);
        default: break;
    }
    if (!acSystemPopup || OwnLook(M)) return TacScrollWnd::WndProc(M);
    switch (M.Msg) {
        case WM_ERASEBKGND: return EraseMenu(M);
        case WM_PAINT: return PaintOverSystem(M);
        case WM_NCPAINT:
            if (PaintMenuFrame()) return;
            break;
        default: break;
    }
    TacScrollWnd::WndProc(M);
}
