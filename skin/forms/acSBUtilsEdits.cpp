// Adapters of windows that scroll text or items: edits and list boxes, combo
// boxes with their drop-down lists, and the client window of an MDI frame.
#include "acSBUtils.h"

#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinFile.h"

#include <algorithm>

CLASSLIB_DEFINE_CLASS(TacBaseWnd, TacScrollWnd)
CLASSLIB_DEFINE_CLASS(TacEditWnd, TacBaseWnd)
CLASSLIB_DEFINE_CLASS(TacComboListWnd, TacEditWnd)
CLASSLIB_DEFINE_CLASS(TacComboBoxWnd, TacEditWnd)
CLASSLIB_DEFINE_CLASS(TacWWComboBoxWnd, TacComboBoxWnd)
CLASSLIB_DEFINE_CLASS(TacMDIWnd, TacBaseWnd)

namespace {

// The class library's reflected-control base, which no adapter lets through.
constexpr UINT acReflectedBase = 0x2100;
// Sent by the MDI client to itself when its children moved (the scroll range is recomputed).
constexpr UINT acMDICalcScroll = 0x3F;
// A list box of a combo box starts and ends its own mouse tracking.
constexpr UINT acListTrackBegin = 0x1AE;
constexpr UINT acListTrackEnd = 0x1AF;
// The skin's frame round an open drop-down list, in pixels.
constexpr int acComboListFrame = 2;
// Redraw of the whole window, frame and children included, at once.
constexpr UINT acRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;

bool OwnCommand(const TacMainWnd* A, const TMessage& M) {
    return OwnManager(A->SkinData, M.LParam) || reinterpret_cast<TsSkinManager*>(M.LParam) == A->SkinManager;
}

void RepaintFrameOf(HWND Handle) {
    if (IsWindowVisible(Handle)) SendMessageA(Handle, WM_NCPAINT, 1, 0);
}

bool IsBarTimer(WPARAM Id) { return Id == acHoverTimer || Id == acFirstRepeatTimer || Id == acRepeatTimer; }

void FillBitmap(TBitmap* B, const TRect& R, TColor C) { FillDC(B->Canvas()->Handle(), R, C); }

}  // namespace

// ---------------------------------------------------------------------------
// TacBaseWnd

void TacBaseWnd::WndProc(TMessage& M) {
    if (Destroyed || !SkinData || !HasSkin(SkinData)) return TacScrollWnd::WndProc(M);
    if (M.Msg == SM_ALPHACMD) {
        if (M.WParamHi() == AC_REFRESH && OwnCommand(this, M)) {
            const TacLiveness live(this);
            TacScrollWnd::WndProc(M);
            if (!live.Gone()) RepaintFrameOf(CtrlHandle);
            return;
        }
        if (M.WParamHi() == AC_PREPARECACHE) UpdateAdapterCache(SkinData, CtrlHandle, false);
        return TacScrollWnd::WndProc(M);
    }
    switch (M.Msg) {
        case WM_SIZE: SkinData->BGChanged = true; break;
        case WM_SETCURSOR: CallPrevWndProc(M); return;
        case acReflectedBase: return;
        default: break;
    }
    const TacLiveness live(this);
    TacScrollWnd::WndProc(M);
    if (live.Gone()) return;
    switch (M.Msg) {
        case WM_SIZE:
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (!Painting) RefreshScrollBars(this, true);
            break;
        case WM_ENABLE:
        case CM_ENABLEDCHANGED: RepaintFrameOf(CtrlHandle); break;
        default: break;
    }
}

// ---------------------------------------------------------------------------
// TacEditWnd

TacEditWnd::TacEditWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                       bool Repaint)
    : TacBaseWnd(TDeferAttach{}, Handle, SkinData, SkinManager, SectionName) {
    Attach(Repaint);
}

TacEditWnd::~TacEditWnd() {
    ReleaseInDestructor();
    if (FBrush) DeleteObject(FBrush);
}

void TacEditWnd::ReleaseInDestructor() {
    if (!Destroyed) ThumbDragging = false;
    ReleaseFromDestructor(true);
}

void TacEditWnd::Attach(bool Repaint) {
    DlgMode = acCreatingChildAdapters;
    SaveOriginalLook();
    ParamsApplied = false;
    InitScrollAdapter(this, CtrlHandle, Repaint);
}

const TsGeneralData* TacEditWnd::SectionData() const { return SkinData ? SkinData->Section() : nullptr; }

HBRUSH TacEditWnd::ColorBrush(TColor Colour) {
    if (!FBrush || FBrushColor != Colour) {
        if (FBrush) DeleteObject(FBrush);
        FBrush = CreateSolidBrush(ColorToRGB(Colour));
        FBrushColor = Colour;
    }
    return FBrush;
}

void TacEditWnd::SaveOriginalLook() {
    if (TControl* owner = SkinData ? SkinData->OwnerControl : nullptr) {
        OrigColor = owner->Color();
        OrigFontColor = owner->Font()->Color();
    }
}

void TacEditWnd::RestoreOriginalLook() {
    if (IsWindow(CtrlHandle))
        SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    TControl* owner = SkinData ? SkinData->OwnerControl : nullptr;
    if (owner && !owner->ComponentState().Contains(csDestroying)) {
        if (OrigColor != clNone && owner->Color() == FAppliedColor) owner->SetColor(OrigColor);
        if (OrigColor != clNone && owner->Font()->Color() == FAppliedFontColor) owner->Font()->SetColor(OrigFontColor);
    }
    FAppliedColor = FAppliedFontColor = clNone;
}

void TacEditWnd::ApplySkinLook() {
    // Colour changes restyle the window; those notices are not ours to act on.
    TBoolScope inCalc(InNCCalcSize, true);
    ParamsApplied = true;
    const TsGeneralData* s = SectionData();
    if (TControl* owner = SkinData->OwnerControl) {
        if (s && !SkinData->CustomColor()) {
            TColor c = TColor(s->Color);
            if (s->Transparency) {
                TControl* parent = owner->Parent();
                acParentColor = acNoColor;
                if (auto* p = dynamic_cast<TWinControl*>(parent); p && p->HandleAllocated())
                    SendSkinCommandToWindow(p->Handle(), AC_GETBGCOLOR, 0);
                c = acParentColor != acNoColor ? acParentColor : parent ? TColor(ColorToRGB(parent->Color())) : c;
                acParentColor = acNoColor;
            }
            if (owner->Color() != c) owner->SetColor(c);
        }
        if (s && !SkinData->CustomFont() && s->HotFontColor[0] != acSkinNoColor &&
            owner->Font()->Color() != TColor(s->HotFontColor[0]))
            owner->Font()->SetColor(TColor(s->HotFontColor[0]));
        FAppliedColor = owner->Color();
        FAppliedFontColor = owner->Font()->Color();
    } else {
        BgColor = s ? TColor(s->Color) : clWindow;
        FrameColor = 0;
    }
    SkinData->BGChanged = true;
}

void TacEditWnd::PaintFrame(HDC DC, int StripWidth) {
    if (SkinData->BGChanged) {
        if (!ParamsApplied) ApplySkinLook();
        UpdateAdapterCache(SkinData, CtrlHandle, DlgMode);
        PaintAdapterBorder(this);
    }
    TBitmap* cache = SkinData->CacheBmp;
    if (cache && StripWidth > 0 && cache->Width() == WndSize.x && cache->Height() == WndSize.y)
        CopyBorderStrips(DC, 0, 0, StripWidth, cache->Canvas()->Handle(), WndSize.x, WndSize.y);
    PaintScrollBars(this, CtrlHandle, DC, -1);
}

void TacEditWnd::EditNCPaint(TMessage& M) {
    AdapterGeometry(this);
    SetUpdating(SkinData, IsUpdating(SkinData));
    M.Result = 0;
    if (SkinData->Updating) return;
    const TWindowDC dc(CtrlHandle);
    TSavedDC saved(dc);
    PaintFrame(dc, InsetLeft);
}

void TacEditWnd::ToClientArea(HDC DC) const {
    RECT client{};
    GetClientRect(CtrlHandle, &client);
    OffsetViewportOrgEx(DC, InsetLeft, InsetLeft, nullptr);
    IntersectClipRect(DC, 0, 0, client.right, client.bottom);
}

void TacEditWnd::EditPrint(TMessage& M) {
    const HDC dc = reinterpret_cast<HDC>(M.WParam);
    M.Result = 0;
    if (!dc) return;
    SetUpdating(SkinData, false);
    SkinData->BGChanged = true;
    if (!ParamsApplied) ApplySkinLook();
    AdapterGeometry(this);
    {
        TSavedDC saved(dc);
        PaintFrame(dc, InsetLeft);
    }
    // The content under the frame, as the control draws it for printing.
    TSavedDC saved(dc);
    ToClientArea(dc);
    SendMessageA(CtrlHandle, WM_ERASEBKGND, M.WParam, 0);
    SendMessageA(CtrlHandle, WM_PRINTCLIENT, M.WParam, PRF_CLIENT | PRF_OWNED);
}

void TacEditWnd::EditCommand(TMessage& M) {
    switch (M.WParamHi()) {
        case AC_SKINNEDQUERY:
            M.LParam = 1;
            M.Result = 1;
            return;
        case AC_GETDISABLEDKIND: M.Result = SkinData->SkinIndex + 1; return;
        case AC_GETAPPLICATION: M.Result = reinterpret_cast<LRESULT>(static_cast<TApplication*>(Application)); return;
        case AC_REFRESH:
            if (!OwnCommand(this, M)) break;
            {
                const TacLiveness live(this);
                TacBaseWnd::WndProc(M);
                if (!live.Gone()) ApplySkinLook();
            }
            return;
        case AC_PREPARECACHE:
            UpdateAdapterCache(SkinData, CtrlHandle, DlgMode);
            PaintAdapterBorder(this);
            return;
        case AC_PARENTCHANGED:
            if (SkinData->Updating) {
                SetUpdating(SkinData, false);
                RedrawWindow(CtrlHandle, nullptr, nullptr, acRedrawAll);
            }
            break;
        default: break;
    }
    EditPassOn(M);
}

void TacEditWnd::EditPaint(TMessage& M) {
    if (IsWindowVisible(CtrlHandle)) {
        SetUpdating(SkinData, IsUpdating(SkinData));
        if (SkinData->Updating) {
            // Validated, nothing drawn: the whole window is drawn when the update ends.
            const TPaintScope validated(CtrlHandle, nullptr);
            return;
        }
        PaintScrollBars(this, CtrlHandle, nullptr, -1);
        if (!ParamsApplied) ApplySkinLook();
    }
    EditPassOn(M);
}

void TacEditWnd::EditErase(TMessage& M) {
    if (IsWindowVisible(CtrlHandle)) {
        SetUpdating(SkinData, IsUpdating(SkinData));
        if (SkinData->Updating) return;
        if (!ParamsApplied) ApplySkinLook();
    }
    EditPassOn(M);
}

void TacEditWnd::WndProc(TMessage& M) {
    if (Destroyed || !SkinData || !HasSkin(SkinData)) return TacBaseWnd::WndProc(M);
    if (M.Msg == SM_ALPHACMD) return EditCommand(M);
    switch (M.Msg) {
        case WM_PAINT: return EditPaint(M);
        case WM_ERASEBKGND: return EditErase(M);
        case WM_NCPAINT:
            if (IsWindowVisible(CtrlHandle)) return EditNCPaint(M);
            return EditPassOn(M);
        case WM_PRINT: return EditPrint(M);
        case CN_CTLCOLOREDIT:
        case CN_CTLCOLORLISTBOX:
        case CN_CTLCOLORSTATIC: return ForeignColors(M);
        default: return EditPassOn(M);
    }
}

void TacEditWnd::ForeignColors(TMessage& M) {
    // A window of our own takes its colours from its control; a foreign one
    // asks its parent, which hands the question to us.
    if (HBRUSH b = SectionColors(reinterpret_cast<HDC>(M.WParam))) M.Result = reinterpret_cast<LRESULT>(b);
    else EditPassOn(M);
}

bool TacEditWnd::SectionLook(TColor& Back, TColor& Text) {
    const TsGeneralData* s = SectionData();
    if (SkinData->OwnerControl || !s) return false;
    if (!ParamsApplied) ApplySkinLook();
    Back = BgColor;
    Text = s->FontColor[0] != acSkinNoColor ? TColor(s->FontColor[0]) : clWindowText;
    if (!IsWindowEnabled(CtrlHandle)) Text = MixColorsHalf(TColor(ColorToRGB(Text)), TColor(ColorToRGB(Back)));
    return true;
}

HBRUSH TacEditWnd::SectionColors(HDC DC) {
    TColor back = clNone, text = clNone;
    if (!SectionLook(back, text)) return nullptr;
    SetTextColor(DC, ColorToRGB(text));
    SetBkColor(DC, ColorToRGB(back));
    return ColorBrush(back);
}

void TacEditWnd::EditPassOn(TMessage& M) {
    const TacLiveness live(this);
    TacBaseWnd::WndProc(M);
    if (live.Gone()) return;
    switch (M.Msg) {
        case LB_SETCURSEL:
        case LB_SETTOPINDEX:
        case EM_REPLACESEL:
        case LB_ADDSTRING:
        case LB_INSERTSTRING: RefreshScrollBars(this, true); break;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_LBUTTONDOWN:
        case CN_KEYDOWN:
        case CN_KEYUP:
            if (!Painting) RefreshScrollBars(this, true);
            break;
        case WM_SIZE: RepaintFrameOf(CtrlHandle); break;
        case WM_MOUSEMOVE: MouseOver(); break;
        default: break;
    }
}

// ---------------------------------------------------------------------------
// TacComboListWnd

TacComboListWnd::TacComboListWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
                                 const String& SectionName, bool Repaint)
    : TacEditWnd(TDeferAttach{!Repaint}, Handle, SkinData, SkinManager, SectionName) {
    RECT was{};
    GetWindowRect(Handle, &was);
    Attach(Repaint);
    // A list adapted while open (a system combo's, in its first paint) was
    // sized for the system's border: it takes the skin's frame in height too.
    const int extra = ListFrameExtra();
    if (extra > 0 && IsWindowVisible(Handle))
        SetWindowPos(Handle, nullptr, 0, 0, was.right - was.left, was.bottom - was.top + 2 * extra,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TacComboListWnd::PrepareFrame() {
    if (SimpleList) {
        SkinData->BGChanged = true;
        UpdateAdapterCache(SkinData, CtrlHandle, DlgMode);
        return;
    }
    UpdateSkinIndexes(SkinData);
    ApplySkinLook();
    if (!SkinData->OwnerControl && !SkinData->OwnerHandle) SkinData->OwnerHandle = CtrlHandle;
    PrepareCacheBmp(SkinData);
    TBitmap* cache = SkinData->CacheBmp;
    const TRect all{0, 0, cache->Width(), cache->Height()};
    FillBitmap(cache, all, BgColor);
    TsSkinManager* m = SkinData->GetSkinManager();
    if (!DlgMode && IsValidMaskIndex(m, SkinData->BorderIndex)) {
        // The open list takes its section's own frame, like the windows it
        // drops from; a line of a fixed colour is left for a section without one.
        PaintDataItem(SkinData, TCacheInfo(), true, cache, TPoint{0, 0}, all, 0);
    } else {
        HBRUSH frame = CreateSolidBrush(ColorToRGB(FrameColor));
        FrameRect(cache->Canvas()->Handle(), &all, frame);
        DeleteObject(frame);
    }
    SkinData->BGChanged = false;
}

int TacComboListWnd::ListFrameWidth() const {
    // A simple combo's list is its child and keeps the system's frame; a
    // drop-down list stands on the desktop.
    if (SimpleList || DlgMode || !SkinData || GetParent(CtrlHandle) != GetDesktopWindow()) return 0;
    return IsValidMaskIndex(SkinData->GetSkinManager(), SkinData->BorderIndex) ? acComboListFrame : 0;
}

void TacComboListWnd::ListNCPaint(TMessage& M) {
    M.Result = 0;
    AdapterGeometry(this);
    PrepareFrame();
    if (!DlgMode) PaintAdapterBorder(this);
    const TWindowDC dc(CtrlHandle);
    TBitmap* cache = SkinData->CacheBmp;
    if (cache && cache->Width() == WndSize.x && cache->Height() == WndSize.y)
        CopyBorderStrips(dc, 0, 0, acComboListFrame, cache->Canvas()->Handle(), WndSize.x, WndSize.y);
    PaintScrollBars(this, CtrlHandle, dc, -1);
    if (SimpleList) FillBelowSimpleList();
}

void TacComboListWnd::FillBelowSimpleList() {
    // A simple combo box is taller than its edit line and list together when
    // the list holds whole items only: the rest shows its parent's picture.
    const HWND combo = GetParent(CtrlHandle);
    RECT list{}, box{};
    if (!combo || !GetWindowRect(CtrlHandle, &list) || !GetWindowRect(combo, &box) || list.bottom >= box.bottom) return;
    const TCacheInfo ci = ParentCacheOfHandle(combo);
    if (!ci.Ready || !ci.Bmp) return;
    const HWND parent = GetParent(combo);
    RECT pr{};
    if (!parent || !GetWindowRect(parent, &pr)) return;
    const int x = box.left - pr.left + ci.X, y = list.bottom - pr.top + ci.Y;
    const TWindowDC dc(combo);
    BitBlt(dc, 0, list.bottom - box.top, box.right - box.left, box.bottom - list.bottom, ci.Bmp->Canvas()->Handle(), x,
           y, SRCCOPY);
}

void TacComboListWnd::ListNCCalcSize(TMessage& M) {
    LeastInset = ListFrameWidth();
    NCCalcSize(M);
}

void TacComboListWnd::ListPlacing(TMessage& M) {
    // The combo box sizes the list it opens for the system's border: the
    // skin's wider frame is added, or it would cut the last line.
    auto* wp = reinterpret_cast<WINDOWPOS*>(M.LParam);
    if (!wp || (wp->flags & SWP_NOSIZE)) return;
    if (!(wp->flags & SWP_SHOWWINDOW) && IsWindowVisible(CtrlHandle)) return;
    wp->cy += 2 * ListFrameExtra();
}

int TacComboListWnd::ListFrameExtra() const {
    const int own = (GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & WS_BORDER) ? GetSystemMetrics(SM_CYBORDER) : 0;
    return std::max(0, ListFrameWidth() - own);
}

void TacComboListWnd::ListNCButtonDown(TMessage& M) {
    TMessage hit{WM_NCHITTEST, 0, M.LParam, 0};
    NCHitTest(hit);
    M.WParam = WPARAM(hit.Result);
    if (M.WParam == HTHSCROLL || M.WParam == HTVSCROLL) return NCButtonDown(M);
    M.Result = 0;
}

bool TacComboListWnd::ListPrint(TMessage& M) {
    const HDC dc = reinterpret_cast<HDC>(M.WParam);
    if (!dc || !IsWindowVisible(CtrlHandle)) return false;
    AdapterGeometry(this);
    PrepareFrame();
    CallPrevWndProc(M);
    if (M.Msg == WM_PRINT && SendMessageA(CtrlHandle, LB_GETCOUNT, 0, 0) > 0) {
        TBitmap* cache = SkinData->CacheBmp;
        if (acScrollTracking.PressedPart == spNone && !ListTracking && cache)
            CopyBorderStrips(dc, 0, 0, 3, cache->Canvas()->Handle(), WndSize.x, WndSize.y);
        PaintScrollBars(this, CtrlHandle, dc, -1);
    }
    M.Result = 0;
    return true;
}

bool TacComboListWnd::ListButtonUp(TMessage& M) {
    const TacScrollTracking& t = acScrollTracking;
    if (t.TrackWindow != CtrlHandle || t.PressedPart == spNone) return false;
    // The press on a bar ends here; a drop-down list keeps the capture, which
    // its combo box holds while the list is open.
    M.Result = 0;
    const bool simple = SimpleList;
    EndPress(true);
    if (simple) ReleaseCapture();
    return true;
}

void TacComboListWnd::WndProc(TMessage& M) {
    if (Destroyed || !SkinData || !HasSkin(SkinData)) return TacEditWnd::WndProc(M);
    switch (M.Msg) {
        case WM_TIMER:
            // The list's own timers stop here; the bars' go to their tracking.
            if (IsBarTimer(M.WParam)) Timer(M);
            return;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK: return ListNCButtonDown(M);
        case WM_NCPAINT:
            if (Painting) break;
            return ListNCPaint(M);
        case WM_ERASEBKGND:
        case WM_HSCROLL:
        case WM_VSCROLL: CallPrevWndProc(M); return;
        case WM_NCCALCSIZE: return ListNCCalcSize(M);
        case WM_WINDOWPOSCHANGING: ListPlacing(M); break;
        case acListTrackBegin: ListTracking = true; break;
        case acListTrackEnd:
            ListTracking = false;
            SkinData->BGChanged = true;
            break;
        case WM_PRINT:
        case WM_PRINTCLIENT:
            if (ListPrint(M)) return;
            break;
        case WM_LBUTTONUP:
            if (ListButtonUp(M)) return;
            break;
        default: break;
    }
    const TacLiveness live(this);
    TacEditWnd::WndProc(M);
    if (M.Msg == WM_WINDOWPOSCHANGED && !live.Gone()) RefreshScrollBars(this, IsWindowVisible(CtrlHandle) != FALSE);
}

// ---------------------------------------------------------------------------
// TacComboBoxWnd

TacComboBoxWnd::TacComboBoxWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
                               const String& SectionName, bool Repaint)
    : TacComboBoxWnd(TDeferAttach{}, Handle, SkinData, SkinManager, SectionName) {
    Attach(Repaint);
}

TacComboBoxWnd::TacComboBoxWnd(TDeferAttach Defer, HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
                               const String& SectionName)
    : TacEditWnd(Defer, Handle, SkinData, SkinManager, SectionName) {}

TacComboBoxWnd::~TacComboBoxWnd() {
    ReleaseInDestructor();
    delete ListAdapter;
    ListAdapter = nullptr;
}

bool TacComboBoxWnd::Simple() const { return (GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & 3) == CBS_SIMPLE; }

void TacComboBoxWnd::GetButtonRect(TRect& R) {
    RECT w{};
    GetWindowRect(CtrlHandle, &w);
    const int width = w.right - w.left, height = w.bottom - w.top;
    const int bw = (GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & CBS_DROPDOWN) ? acSystemMetric(SM_CXVSCROLL) : 0;
    R.left = (GetWindowLongPtrA(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? 2 : width - bw - 2;
    R.top = 2;
    R.right = R.left + bw;
    R.bottom = height - 2;
}

void TacComboBoxWnd::PaintComboButton(HDC DC) {
    TsSkinManager* m = SkinData->GetSkinManager();
    TBitmap* cache = SkinData->CacheBmp;
    TRect r;
    GetButtonRect(r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (!m || !cache || w <= 0 || h <= 0 || r.right > cache->Width() || r.bottom > cache->Height()) return;
    const TsPaintState look = ListHandle && IsWindowVisible(ListHandle)                   ? TsPaintState::Pressed
                              : ControlStateIndex(SkinData) || m->HotWindow == CtrlHandle ? TsPaintState::Active
                                                                                          : TsPaintState::Normal;
    const int state = acStateIndex(look);
    std::unique_ptr<TBitmap> bmp = NewBitmap24(cache->Width(), cache->Height());
    BitBlt(bmp->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    const TacItemIndexes& btn = m->StdIndexes().ComboBtn;
    if (IsValidSectionIndex(m, btn.Section))
        PaintSkinItemFast(btn.Section, btn.Border, btn.Texture, m, bmp.get(), TPoint{r.left, r.top}, r, state, true,
                          TCacheInfo{cache, 0, 0, true}, "COMBOBTN", btn.HotTexture);
    const int glyph = m->StdIndexes().ComboBoxGlyph;
    if (IsValidMaskIndex(m, glyph)) {
        const TSize g = MaskSize(m, glyph);
        PaintImageState(bmp.get(), TPoint{r.left + (w - g.cx) / 2, (cache->Height() - g.cy) / 2}, state, glyph, 0, m);
    }
    BitBlt(DC, r.left, r.top, w, h, bmp->Canvas()->Handle(), r.left, r.top, SRCCOPY);
}

void TacComboBoxWnd::PrepareComboCache() {
    const int h = int(SendMessageA(CtrlHandle, CB_GETITEMHEIGHT, WPARAM(-1), 0)) + 8;
    TBitmap* cache = SkinData->CacheBmp;
    if (!cache || WndSize.x <= 0 || h <= 8) return;
    cache->SetSize(WndSize.x, h);
    const TRect all{0, 0, WndSize.x, h};
    TsSkinManager* m = SkinData->GetSkinManager();
    if (DlgMode && m && m->SkinFrameColor != acNoColor) {
        FillBitmap(cache, all, clWindow);
        HBRUSH frame = CreateSolidBrush(ColorToRGB(m->SkinFrameColor));
        FrameRect(cache->Canvas()->Handle(), &all, frame);
        DeleteObject(frame);
    } else {
        PaintDataItem(SkinData, ParentCacheOfHandle(CtrlHandle), false, cache, WndPos, all,
                      ControlStateIndex(SkinData) ? 1 : 0);
    }
    SkinData->BGChanged = false;
}

void TacComboBoxWnd::ComboPaint(TMessage& M) {
    AdapterGeometry(this);
    const TacLiveness live(this);
    CallPrevWndProc(M);
    if (live.Gone()) return;
    SetUpdating(SkinData, IsUpdating(SkinData));
    if (SkinData->Updating) return;
    const TWindowDC dc(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
    if (Simple()) {
        PrepareComboCache();
    } else {
        SkinData->BGChanged = true;
        SendSkinCommandToWindow(CtrlHandle, AC_PREPARECACHE, 0);
    }
    if (TBitmap* cache = SkinData->CacheBmp; cache && cache->Width() == WndSize.x)
        CopyBorderStrips(dc, 0, 0, 3, cache->Canvas()->Handle(), cache->Width(), cache->Height());
    if (!Simple()) PaintComboButton(dc);
}

void TacComboBoxWnd::DrawSelectionText(TBitmap* Cache) {
    TCanvas* c = Cache->Canvas();
    if (TControl* owner = SkinData->OwnerControl) c->SetFont(owner->Font());
    else if (auto f = reinterpret_cast<HFONT>(SendMessageA(CtrlHandle, WM_GETFONT, 0, 0))) c->Font()->SetHandle(f);
    String text;
    const LRESULT sel = SendMessageA(CtrlHandle, CB_GETCURSEL, 0, 0);
    if (sel >= 0) {
        const LRESULT n = SendMessageA(CtrlHandle, CB_GETLBTEXTLEN, WPARAM(sel), 0);
        if (n > 0) {
            text.assign(std::size_t(n) + 1, '\0');
            SendMessageA(CtrlHandle, CB_GETLBTEXT, WPARAM(sel), reinterpret_cast<LPARAM>(&text[0]));
            text.resize(std::size_t(n));
        }
    } else {
        text = ReadWindowText(CtrlHandle);
    }
    TRect btn;
    GetButtonRect(btn);
    TRect r{3, 3, btn.left, WndSize.y - 3};
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    const bool list = (GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
    if (list && GetFocus() == CtrlHandle) {
        FillBitmap(Cache, r, clHighlight);
        c->Font()->SetColor(clHighlightText);
        c->Brush()->SetStyle(bsClear);
        TRect t{r.left + 1, r.top, r.right, r.bottom};
        c->TextRect(t, text, flags);
        c->DrawFocusRect(r);
    } else {
        if (const TsGeneralData* s = SectionData(); s && !SkinData->OwnerControl && s->FontColor[0] != acSkinNoColor)
            c->Font()->SetColor(TColor(s->FontColor[0]));
        c->Brush()->SetStyle(bsClear);
        TRect t{r.left + 1, r.top, r.right, r.bottom};
        c->TextRect(t, text, flags);
    }
}

void TacComboBoxWnd::ComboPrint(TMessage& M) {
    const HDC dc = reinterpret_cast<HDC>(M.WParam);
    M.Result = 0;
    if (!dc) return;
    AdapterGeometry(this);
    SetUpdating(SkinData, false);
    SkinData->BGChanged = true;
    if (!ParamsApplied) ApplySkinLook();
    if (Simple()) PrepareComboCache();
    else SendSkinCommandToWindow(CtrlHandle, AC_PREPARECACHE, 0);
    TBitmap* cache = SkinData->CacheBmp;
    if (!cache || cache->Width() <= 0) return;
    DrawSelectionText(cache);
    PaintAdapterBorder(this);
    BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    if (!Simple()) PaintComboButton(dc);
}

void TacComboBoxWnd::CtlColorListBox(TMessage& M) {
    const TacLiveness live(this);
    TacEditWnd::WndProc(M);
    if (live.Gone()) return;
    const HWND list = reinterpret_cast<HWND>(M.LParam);
    if (!ListHandle && list) {
        ListHandle = list;
        // A simple combo's list is a child of the dialog: its walk may have adapted it already.
        if (!ListAdapter && !AdapterOfWindow(ListHandle)) {
            // Made here, inside the list's first paint: the list has no other
            // moment at which its combo box learns of it.
            TBoolScope creating(acCreatingChildAdapters, SkinData->OwnerControl ? acCreatingChildAdapters : DlgMode);
            const bool items = SendMessageA(CtrlHandle, CB_GETCOUNT, 0, 0) > 0;
            ListAdapter = new TacComboListWnd(ListHandle, nullptr, SkinData->GetSkinManager(), "EDIT", items);
            ListAdapter->SimpleList = Simple();
        }
    }
    if (list != ListHandle) return;
    const LRESULT index = SendSkinCommandToWindow(ListHandle, AC_GETDISABLEDKIND, 0);
    TsSkinManager* m = SkinData->GetSkinManager();
    if (index <= 0 || !m || !IsValidSectionIndex(m, int(index) - 1)) return;
    const TsGeneralData& s = m->gd()[std::size_t(index - 1)];
    const HDC dc = reinterpret_cast<HDC>(M.WParam);
    if (s.FontColor[0] != acSkinNoColor) SetTextColor(dc, ColorToRGB(TColor(s.FontColor[0])));
    SetBkColor(dc, ColorToRGB(TColor(s.Color)));
    // Every time, not only the first: the list paints again with each scroll.
    M.Result = reinterpret_cast<LRESULT>(ColorBrush(TColor(s.Color)));
}

// The edit inside the combo box asks the combo box: an edit adapted on its own
// answers with its section's colours, any other with the combo box's. The
// question goes no further (an extended combo box would answer it with the
// system's colours).
void TacComboBoxWnd::CtlColorEdit(TMessage& M) {
    const HWND edit = reinterpret_cast<HWND>(M.LParam);
    auto* a = dynamic_cast<TacEditWnd*>(AdapterOfWindow(edit));
    if (!a || a->Destroyed || !a->SkinnedNow()) a = this;
    HBRUSH b = GetParent(edit) == CtrlHandle ? a->SectionColors(reinterpret_cast<HDC>(M.WParam)) : nullptr;
    if (b) M.Result = reinterpret_cast<LRESULT>(b);
    else TacEditWnd::WndProc(M);
}

void TacComboBoxWnd::WndProc(TMessage& M) {
    if (Destroyed || !SkinData || !HasSkin(SkinData)) return TacEditWnd::WndProc(M);
    const bool hotChange = IsSkinCommand(M, AC_MOUSEENTER) || IsSkinCommand(M, AC_MOUSELEAVE);
    if (hotChange || M.Msg == WM_SETFOCUS || M.Msg == WM_KILLFOCUS || M.Msg == WM_LBUTTONUP) {
        TacEditWnd::WndProc(M);
        if (Destroyed || !IsWindowVisible(CtrlHandle)) return;
        PaintComboButton(TWindowDC(CtrlHandle));
        return;
    }
    switch (M.Msg) {
        case WM_NCPAINT:
        case WM_ERASEBKGND: M.Result = 1; return;
        case WM_NCCALCSIZE:
            TacEditWnd::WndProc(M);
            InsetLeft = 3;
            return;
        case WM_PAINT: return ComboPaint(M);
        case WM_CTLCOLORLISTBOX: return CtlColorListBox(M);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: return CtlColorEdit(M);
        case WM_PRINT: return ComboPrint(M);
        default: break;
    }
    TacEditWnd::WndProc(M);
}

// ---------------------------------------------------------------------------
// TacWWComboBoxWnd

TacWWComboBoxWnd::TacWWComboBoxWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
                                   const String& SectionName, bool Repaint)
    : TacComboBoxWnd(TDeferAttach{}, Handle, SkinData, SkinManager, SectionName) {
    // A class-library combo box shows its button only in the drop-down styles.
    if (TControl* owner = SkinData ? SkinData->OwnerControl : nullptr; owner && owner->ClassName() == "TComboBox")
        ShowButton = (GetWindowLongPtrA(Handle, GWL_STYLE) & CBS_DROPDOWN) != 0;
    Attach(Repaint);
}

void TacWWComboBoxWnd::GetButtonRect(TRect& R) {
    TacComboBoxWnd::GetButtonRect(R);
    if (ShowButton) return;
    if (GetWindowLongPtrA(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) R.right = R.left;
    else R.left = R.right;
}

// ---------------------------------------------------------------------------
// TacMDIWnd

TacMDIWnd::~TacMDIWnd() {
    Form = nullptr;
    FormSkinData = nullptr;
    Provider = nullptr;
}

bool TacMDIWnd::ChildMaximized() const {
    BOOL maximized = FALSE;
    const HWND active =
        reinterpret_cast<HWND>(SendMessageA(CtrlHandle, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    return active && maximized;
}

TRect MDIAreaRect(HWND Client, HWND Frame) {
    RECT client{}, frame{};
    GetClientRect(Client, &client);
    GetWindowRect(Frame, &frame);
    POINT origin{0, 0};
    ClientToScreen(Client, &origin);
    const int x = origin.x - frame.left, y = origin.y - frame.top;
    return TRect{x, y, x + client.right, y + client.bottom};
}

bool PaintMDIArea(HWND Client, TWinControl* Frame, TBitmap* FrameCache, HDC DC) {
    const HWND top = Frame && Frame->HandleAllocated() ? Frame->Handle() : GetAncestor(Client, GA_ROOT);
    const TRect r = MDIAreaRect(Client, top);
    if (!FrameCache || FrameCache->Width() < r.right || FrameCache->Height() < r.bottom) return false;
    BitBlt(DC, 0, 0, r.right - r.left, r.bottom - r.top, FrameCache->Canvas()->Handle(), r.left, r.top, SRCCOPY);
    if (Frame) {
        // A windowless control of the frame under the client window would be
        // hidden by it: it shows on the area instead, as on any skinned surface.
        POINT at{0, 0};
        MapWindowPoints(top, Client, &at, 1);
        PaintGraphicChildren(DC, Frame, false, nullptr, TPoint{at.x, at.y});
    }
    return true;
}

void TacMDIWnd::PaintArea(HDC DC) {
    TBitmap* frame = FormSkinData ? FormSkinData->CacheBmp : nullptr;
    if (PaintMDIArea(CtrlHandle, dynamic_cast<TWinControl*>(Form), frame, DC)) return;
    RECT client{};
    GetClientRect(CtrlHandle, &client);
    FillDC(DC, TRect{0, 0, client.right, client.bottom}, GlobalSkinColor(SkinData->GetSkinManager()));
}

void TacMDIWnd::AnswerCache(TMessage& M) {
    if (Form) M.Result = SendSkinCommand(Form, AC_GETCACHE, M.LParam);
    else if (FormSkinData) ParentCacheInfo = TCacheInfo{FormSkinData->CacheBmp, 0, 0, true};
}

bool TacMDIWnd::PaintClient() {
    if (ChildMaximized()) {
        // The maximized child covers the area: only the frame form's graphic
        // controls are shown again, and the system paints the rest.
        if (auto* form = dynamic_cast<TWinControl*>(Form))
            for (int i = 0; i < form->ControlCount(); ++i)
                if (!dynamic_cast<TWinControl*>(form->Controls(i))) form->Controls(i)->Repaint();
        return false;
    }
    const TPaintScope paint(CtrlHandle, nullptr);
    PaintArea(paint.DC());
    return true;
}

bool TacMDIWnd::EraseBackground(TMessage& M) {
    if (!M.WParam) return false;
    if (!ChildMaximized()) PaintArea(reinterpret_cast<HDC>(M.WParam));
    M.Result = 1;
    return true;
}

void TacMDIWnd::PaintBorder(TMessage& M) {
    M.Result = 0;
    if (ChildMaximized()) return;
    AdapterGeometry(this);
    const TWindowDC dc(CtrlHandle);
    TBitmap* frame = FormSkinData ? FormSkinData->CacheBmp : nullptr;
    RECT w{}, formRect{};
    GetWindowRect(CtrlHandle, &w);
    GetWindowRect(GetAncestor(CtrlHandle, GA_ROOT), &formRect);
    if (frame && WndSize.x > 0 && WndSize.y > 0) {
        std::unique_ptr<TBitmap> strip = NewBitmap24(WndSize.x, WndSize.y);
        BitBlt(strip->Canvas()->Handle(), 0, 0, WndSize.x, WndSize.y, frame->Canvas()->Handle(), w.left - formRect.left,
               w.top - formRect.top, SRCCOPY);
        CopyBorderStrips(dc, 0, 0, 2, strip->Canvas()->Handle(), WndSize.x, WndSize.y);
    }
    PaintScrollBars(this, CtrlHandle, dc, -1);
}

void TacMDIWnd::PrintArea(TMessage& M) {
    M.Result = 0;
    if (!M.WParam || ChildMaximized()) return;
    PaintScrollBars(this, CtrlHandle, reinterpret_cast<HDC>(M.WParam), -1);
    PaintArea(reinterpret_cast<HDC>(M.WParam));
}

void TacMDIWnd::AfterPassedOn(TMessage& M) {
    if (IsSkinCommand(M, AC_BEGINSCROLL)) {
        SendMessageA(CtrlHandle, WM_SETREDRAW, 0, 0);
    } else if (IsSkinCommand(M, AC_ENDSCROLL)) {
        SendMessageA(CtrlHandle, WM_SETREDRAW, 1, 0);
        if (LOWORD(M.LParam) != SB_THUMBTRACK) {
            RedrawWindow(CtrlHandle, nullptr, nullptr, acRedrawAll);
            RefreshScrollBars(this, true);
            ReleaseCapture();
        }
    } else if (M.Msg == acMDICalcScroll || M.Msg == WM_PARENTNOTIFY) {
        const LONG_PTR style = GetWindowLongPtrA(CtrlHandle, GWL_STYLE);
        VertBar->Visible = (style & WS_VSCROLL) != 0;
        HorzBar->Visible = (style & WS_HSCROLL) != 0;
        RefreshScrollBars(this, true);
    } else if (M.Msg == WM_MDIREFRESHMENU && Form && Form->HandleAllocated()) {
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    }
}

void TacMDIWnd::WndProc(TMessage& M) {
    if (Destroyed || !SkinData || !HasSkin(SkinData)) return TacBaseWnd::WndProc(M);
    if (IsSkinCommand(M, AC_GETCACHE)) return AnswerCache(M);
    switch (M.Msg) {
        case WM_PAINT:
            if (PaintClient()) return;
            break;
        case WM_ERASEBKGND:
            if (EraseBackground(M)) return;
            break;
        case WM_NCPAINT: return PaintBorder(M);
        case WM_PRINT: return PrintArea(M);
        default: break;
    }
    const TacLiveness live(this);
    TacBaseWnd::WndProc(M);
    if (!live.Gone()) AfterPassedOn(M);
}

// ---------------------------------------------------------------------------
// The scrolling adapters of skinned class-library controls

namespace {

template <typename TAdapter>
void UpdateScrollAdapter(TsCommonData* SkinData, TacMainWnd*& Adapter) {
    auto* control = SkinData ? dynamic_cast<TWinControl*>(SkinData->OwnerControl) : nullptr;
    if (control && HasSkin(SkinData)) {
        // An adapter left on a window that is gone or was made again goes first.
        const HWND wnd = control->HandleAllocated() ? control->Handle() : nullptr;
        if (Adapter && (Adapter->Destroyed || Adapter->CtrlHandle != wnd))
            UnsubclassAdapterWindow(Adapter->CtrlHandle, true, false, Adapter);
        if (!Adapter && wnd) Adapter = new TAdapter(wnd, SkinData, SkinData->GetSkinManager(), "EDIT", true);
    } else if (Adapter) {
        delete Adapter;
        Adapter = nullptr;
    }
}

}  // namespace

void UpdateEditScrollAdapter(TsCommonData* SkinData, TacMainWnd*& Adapter) {
    UpdateScrollAdapter<TacEditWnd>(SkinData, Adapter);
}

void UpdateTreeScrollAdapter(TsCommonData* SkinData, TacMainWnd*& Adapter) {
    UpdateScrollAdapter<TacTreeViewWnd>(SkinData, Adapter);
}
