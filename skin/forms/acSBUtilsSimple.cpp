// Adapters of statics, push and bitmap buttons, check boxes and radio
// buttons, group boxes, size grips, nested dialog panes and spin buttons.
#include "acSBUtilsSimple.h"

#include "Buttons.h"
#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sButtonFace.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinFile.h"
#include "sSkinText.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>

CLASSLIB_DEFINE_CLASS(TacStaticWnd, TacMainWnd)
CLASSLIB_DEFINE_CLASS(TacIconWnd, TacStaticWnd)
CLASSLIB_DEFINE_CLASS(TacLinkWnd, TacStaticWnd)
CLASSLIB_DEFINE_CLASS(TacBtnWnd, TacMainWnd)
CLASSLIB_DEFINE_CLASS(TacBitBtnWnd, TacBtnWnd)
CLASSLIB_DEFINE_CLASS(TacCheckBoxWnd, TacMainWnd)
CLASSLIB_DEFINE_CLASS(TacGroupBoxWnd, TacMainWnd)
CLASSLIB_DEFINE_CLASS(TacSizerWnd, TacMainWnd)
CLASSLIB_DEFINE_CLASS(TacTransPanelWnd, TacMainWnd)
CLASSLIB_DEFINE_CLASS(TacSpinWnd, TacMainWnd)

namespace {

// Named redraw flags of the places that ask the window to paint again.
constexpr UINT kRedrawAfterMove = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME;  // 0x105
constexpr double kDisabledBlend = 0.4;

void CopyCacheTo(TacMainWnd* A, HDC DC, int FromX = 0) {
    TBitmap* cache = A->SkinData ? A->SkinData->CacheBmp : nullptr;
    if (!cache) return;
    const TClientDC dc(A->CtrlHandle, DC);
    BitBlt(dc, FromX, 0, cache->Width() - FromX, cache->Height(), cache->Canvas()->Handle(), FromX, 0, SRCCOPY);
}

// The section over the parent's picture (refreshed geometry, command 23).
void RebuildCache(TacMainWnd* A) {
    AdapterGeometry(A);
    A->SkinData->BGChanged = true;
    SendSkinCommandToWindow(A->CtrlHandle, AC_PREPARECACHE, 0);
    SizeCacheBmp(A->SkinData, A->WndSize.x, A->WndSize.y);
}

void UseFont(TBitmap* Cache, HFONT Font) {
    if (Cache && Font) Cache->Canvas()->Font()->SetHandle(Font);
}

HFONT WindowFont(HWND H) { return reinterpret_cast<HFONT>(SendMessageA(H, WM_GETFONT, 0, 0)); }

// A disabled control shows its face mixed with what lies behind it.
void BlendWithParent(TacMainWnd* A, TBitmap* Cache) {
    const TCacheInfo pc = ParentCacheOfHandle(A->CtrlHandle);
    if (!pc.Ready || !pc.Bmp) return;
    const TRect r = Bounds(pc.X + A->WndPos.x, pc.Y + A->WndPos.y, Cache->Width(), Cache->Height());
    BlendBitmapRect(Cache, 0, 0, clNone, kDisabledBlend, r, pc.Bmp);
}

bool IsHotWindow(const TacMainWnd* A) {
    return (A->SkinManager && A->SkinManager->HotWindow == A->CtrlHandle) ||
           (DefaultManager && DefaultManager->HotWindow == A->CtrlHandle);
}

// The manager's hot window becomes this one; a leave notice hands it back.
// Not asked for inside WM_NCHITTEST: the system's tracking hit-tests the
// window again, which would come straight back here.
void TakeHotWindow(TacMainWnd* A, bool TrackLeave = true) {
    if (!DefaultManager || DefaultManager->ComponentState().Contains(csDesigning) || !IsWindowEnabled(A->CtrlHandle))
        return;
    if (DefaultManager->HotWindow != A->CtrlHandle) SetActiveControl(DefaultManager, A->CtrlHandle);
    if (!TrackLeave) return;
    TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, A->CtrlHandle, 0};
    TrackMouseEvent(&t);
}

void DropHotWindow(TacMainWnd* A) {
    if (DefaultManager && DefaultManager->HotWindow == A->CtrlHandle) SetActiveControl(DefaultManager, nullptr);
}

bool CursorInside(HWND H) {
    POINT p{};
    RECT r{};
    GetCursorPos(&p);
    GetWindowRect(H, &r);
    return PtInRect(&r, p) != FALSE;
}

void RepaintNow(HWND H) {
    InvalidateRect(H, nullptr, FALSE);
    UpdateWindow(H);
}

}  // namespace

HFONT CreateMessageFont() {
    // The size without the padded border field, which every system accepts.
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = 500;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 500, &ncm, 0)) return nullptr;
    return CreateFontIndirectW(&ncm.lfMessageFont);
}

void AdapterRedrawAround(TacMainWnd* A, TMessage& M) {
    const HWND h = A->CtrlHandle;
    SendMessageA(h, WM_SETREDRAW, FALSE, 0);
    const TacLiveness live(A);
    A->CallPrevWndProc(M);
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    if (live.Gone()) return;
    if (M.Msg == WM_SETTEXT) A->Caption = ReadWindowText(h);
    A->SkinData->BGChanged = true;
    RepaintNow(h);
}

// ---------------------------------------------------------------------------
// Statics

bool TacStaticWnd::LeftAlone() const {
    return (GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & WS_TABSTOP) ||
           (GetWindowLongPtrA(CtrlHandle, GWL_EXSTYLE) & WS_EX_STATICEDGE);
}

void TacStaticWnd::PaintContent(TBitmap* Cache) {
    Cache->Canvas()->Brush()->SetStyle(bsClear);
    HFONT font = CreateMessageFont();
    UseFont(Cache, font ? font : WindowFont(CtrlHandle));
    if (font) DeleteObject(font);
    // The static's own alignment: a right-aligned label that overhangs its
    // dialog's edge (the colour dialog's short form) shows no letter inside.
    const LONG_PTR type = GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & SS_TYPEMASK;
    const UINT align = type == SS_RIGHT ? DT_RIGHT : type == SS_CENTER ? DT_CENTER : DT_LEFT;
    TRect r{0, 0, WndSize.x + (align == DT_LEFT ? 4 : 0), WndSize.y};
    WriteSkinText(Cache->Canvas(), ReadWindowText(CtrlHandle), IsWindowEnabled(CtrlHandle) != FALSE, r,
                  DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP | align, SkinData->SkinIndex, false, SkinManager);
}

void TacStaticWnd::PaintStatic(HDC DC) {
    if (IsUpdating(SkinData)) return;
    RebuildCache(this);
    PaintContent(SkinData->CacheBmp);
    CopyCacheTo(this, DC);
}

void TacStaticWnd::WndProc(TMessage& M) {
    // A skin without the section leaves the window its own look.
    if (OwnLook(M) || LeftAlone()) return TacMainWnd::WndProc(M);
    switch (MessageKind(M)) {
        case WM_ERASEBKGND:
            if (!IsWindowVisible(CtrlHandle)) break;
            PaintStatic(reinterpret_cast<HDC>(M.WParam));
            M.Result = 1;
            return;
        case WM_MOVE:
            SkinData->BGChanged = true;
            CallPrevWndProc(M);
            RedrawWindow(CtrlHandle, nullptr, nullptr, kRedrawAfterMove);
            return;
        case WM_SETTEXT:
        case WM_ENABLE:
            // The system's static draws itself at once on these, over the skin.
            SkinData->BGChanged = true;
            CallPrevWndProc(M);
            Caption = ReadWindowText(CtrlHandle);
            if (IsWindowVisible(CtrlHandle)) PaintStatic(nullptr);
            return;
        case WM_PAINT: {
            // Painted here as well: an update without erasing sends no WM_ERASEBKGND.
            const TPaintScope ps(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
            PaintStatic(ps.DC());
            M.Result = 0;
            return;
        }
        case WM_NCPAINT: CallPrevWndProc(M); return;
        default: break;
    }
    TacMainWnd::WndProc(M);
}

void TacIconWnd::PaintContent(TBitmap* Cache) {
    const HICON icon = reinterpret_cast<HICON>(SendMessageA(CtrlHandle, STM_GETICON, 0, 0));
    if (icon) DrawIconEx(Cache->Canvas()->Handle(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

void TacLinkWnd::PaintContent(TBitmap* Cache) { Cache->Canvas()->Brush()->SetStyle(bsClear); }

void TacLinkWnd::PaintLink(HDC DC) {
    // Opaque, the link fills itself with its parent's static brush: it is
    // transparent while it writes over the skin's background.
    PaintStatic(DC);
    const LONG_PTR style = GetWindowLongPtrA(CtrlHandle, GWL_STYLE);
    const bool own = (style & LWS_TRANSPARENT) != 0;
    if (!own) SetWindowLongPtrA(CtrlHandle, GWL_STYLE, style | LWS_TRANSPARENT);
    LPARAM none = 0;
    CallPrevWndProc(WM_PAINT, WPARAM(DC), none);
    if (!own) SetWindowLongPtrA(CtrlHandle, GWL_STYLE, style);
}

void TacLinkWnd::WndProc(TMessage& M) {
    if (M.Msg == WM_PAINT && SkinnedNow() && HasSkin(SkinData) && IsWindowVisible(CtrlHandle)) {
        const TPaintScope ps(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
        PaintLink(ps.DC());
        M.Result = 0;
        return;
    }
    TacStaticWnd::WndProc(M);
}

// ---------------------------------------------------------------------------
// Push buttons

// The button knows its own focus (BST_FOCUS): asking the system whose the
// focus is would cost a round trip to the window server at every paint.
TsPaintState TacBtnWnd::FaceState() {
    const LRESULT state = SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0);
    if (state & BST_PUSHED) return TsPaintState::Pressed;
    if (!IsWindowEnabled(CtrlHandle)) return TsPaintState::Normal;
    const bool isDefault = (GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    return (state & BST_FOCUS) || IsHotWindow(this) || isDefault ? TsPaintState::Active : TsPaintState::Normal;
}

TSize TacBtnWnd::GlyphSize() { return TSize{0, 0}; }

int TacBtnWnd::AvailableTextWidth() {
    const TSize g = GlyphSize();
    return WndSize.x - 2 - (g.cx > 0 ? g.cx + 2 : 0);
}

TRect TacBtnWnd::CaptionRect(TSize TextSize, TPoint& GlyphPos) {
    // Centred in the width the glyph leaves, as wide as the text: the focus
    // frame then hugs the caption instead of running over the border.
    const TSize g = GlyphSize();
    const int glyphPart = g.cx > 0 ? g.cx + 2 : 0;
    GlyphPos = TPoint{WndSize.x - 2 - g.cx, (WndSize.y - g.cy) / 2};
    const int top = (WndSize.y - TextSize.cy) / 2;
    const int left = 1 + std::max<int>((WndSize.x - 2 - glyphPart - TextSize.cx) / 2, 0);
    return TRect{left, top, left + TextSize.cx, top + TextSize.cy};
}

void TacBtnWnd::DrawGlyph(TBitmap*, TPoint, bool) {}

HFONT TacBtnWnd::CaptionFont() {
    if (TControl* c = SkinData->OwnerControl) return c->Font()->Handle();
    return WindowFont(CtrlHandle);
}

void TacBtnWnd::DrawCaption(TBitmap* Cache, TsPaintState Face) {
    TsButtonFace face;
    face.State = Face;
    face.Caption = ReadWindowText(CtrlHandle);
    face.Enabled = IsWindowEnabled(CtrlHandle) != FALSE;
    face.Focused = face.Enabled && !face.Caption.empty() && (SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS);
    // Measured and written with the same prefix handling, so that "&Yes" is
    // centred on what shows.
    const UINT layout = ButtonCaptionLayout((GetWindowLongPtrA(CtrlHandle, GWL_STYLE) & BS_MULTILINE) != 0);
    UseFont(Cache, CaptionFont());
    const TSize text = MeasureButtonCaption(Cache->Canvas(), face.Caption, std::max(AvailableTextWidth(), 1), layout);
    TPoint glyphPos{};
    TRect r = CaptionRect(text, glyphPos);
    DrawGlyph(Cache, glyphPos, face.State == TsPaintState::Pressed);
    PaintButtonCaption(Cache->Canvas(), face, r, layout, /*FocusMargin=*/1, SkinData);
}

void TacBtnWnd::PaintButton(HDC DC) {
    if (IsUpdating(SkinData)) return;
    AdapterGeometry(this);
    TBitmap* cache = SizeCacheBmp(SkinData, WndSize.x, WndSize.y);
    if (!cache) return;
    const TsPaintState face = FaceState();
    if (NeedsParentBackground(SkinData)) SendSkinCommandToWindow(ParentWnd, AC_GETBGCOLOR, 0);
    const TCacheInfo pc = ParentCacheOfHandle(CtrlHandle);
    PaintDataItem(SkinData, pc, false, cache, WndPos, TRect{0, 0, WndSize.x, WndSize.y}, acStateIndex(face));
    PaintAdapterBorder(this, acStateIndex(face));
    DrawCaption(cache, face);
    if (!IsWindowEnabled(CtrlHandle)) BlendWithParent(this, cache);
    acParentColor = acNoColor;
    acParentColor2 = acNoColor;
    SkinData->BGChanged = false;
    CopyCacheTo(this, DC);
}

void TacBtnWnd::RedrawAround(TMessage& M) { AdapterRedrawAround(this, M); }

void TacBtnWnd::HotTracking() {
    if (CursorInside(CtrlHandle)) TakeHotWindow(this);
    else DropHotWindow(this);
}

bool TacBtnWnd::ShowsItsBackground() {
    const TsGeneralData* s = SkinData->Section();
    return s && (s->Transparency > 0 || (s->HotTransparency > 0 && FaceState() != TsPaintState::Normal));
}

void TacBtnWnd::WndProc(TMessage& M) {
    if (OwnLook(M)) return TacMainWnd::WndProc(M);
    const bool visible = IsWindowVisible(CtrlHandle) != FALSE;
    switch (MessageKind(M)) {
        case kSkinCommand:
            if (M.WParamHi() == AC_MOUSEENTER || M.WParamHi() == AC_MOUSELEAVE) {
                SkinData->MouseAbove = M.WParamHi() == AC_MOUSEENTER;
                SkinData->BGChanged = true;
                if (visible) RepaintNow(CtrlHandle);
            }
            break;
        case WM_PAINT: {
            if (!ParamsApplied) ApplySkinLook();
            const TPaintScope ps(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
            PaintButton(ps.DC());
            M.Result = 0;
            return;
        }
        case WM_ERASEBKGND:
        case WM_NCPAINT:
        case WM_UPDATEUISTATE: M.Result = 1; return;
        case WM_PRINT: PaintButton(reinterpret_cast<HDC>(M.WParam)); return;
        case BM_SETSTATE:
            if (!visible) break;
            return RedrawAround(M);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (!IsWindowEnabled(CtrlHandle)) break;
            SkinData->Focused = M.Msg == WM_SETFOCUS;
            return RedrawAround(M);
        case WM_ENABLE:
        case WM_SETTEXT:
            if (!visible) break;
            return RedrawAround(M);
        case WM_MOVE:
            // A button that shows what is behind it shows it at its new place.
            if (visible && ShowsItsBackground()) {
                SkinData->BGChanged = true;
                RepaintNow(CtrlHandle);
            }
            break;
        case WM_MOUSELEAVE: DropHotWindow(this); break;
        case WM_MOUSEMOVE: {
            const TacLiveness live(this);
            CallPrevWndProc(M);
            if (!live.Gone()) HotTracking();
            return;
        }
        default: break;
    }
    TacMainWnd::WndProc(M);
}

// ---------------------------------------------------------------------------
// Bitmap buttons

namespace {

// What a bitmap button shows: the class-library button's glyph, or the
// bitmap of a plain window.
struct TBitBtnLook {
    TBitBtn* Control = nullptr;
    HBITMAP Plain = nullptr;
    TSize Size{0, 0};
};

TBitBtnLook LookOf(TacMainWnd* A) {
    TBitBtnLook l;
    l.Control = dynamic_cast<TBitBtn*>(A->SkinData->OwnerControl);
    if (l.Control) {
        TBitmap* g = l.Control->Glyph();
        if (g && !g->Empty()) l.Size = TSize{g->Width() / std::max(l.Control->NumGlyphs(), 1), g->Height()};
        return l;
    }
    l.Plain = reinterpret_cast<HBITMAP>(SendMessageA(A->CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP bm{};
    // The bitmap's own size: a dimension set by SetBitmapDimensionEx is rarely there.
    if (l.Plain && GetObjectA(l.Plain, sizeof bm, &bm)) l.Size = TSize{bm.bmWidth, bm.bmHeight};
    return l;
}

}  // namespace

TSize TacBitBtnWnd::GlyphSize() { return LookOf(this).Size; }

int TacBitBtnWnd::AvailableTextWidth() {
    const TBitBtnLook l = LookOf(this);
    if (!l.Control) return TacBtnWnd::AvailableTextWidth();
    int w = l.Control->Width() - 2 * std::max(l.Control->Margin(), 0);
    if (l.Size.cx > 0 && (l.Control->Layout() == blGlyphLeft || l.Control->Layout() == blGlyphRight))
        w -= l.Size.cx + std::max(l.Control->Spacing(), 0);
    return w;
}

TRect TacBitBtnWnd::CaptionRect(TSize TextSize, TPoint& GlyphPos) {
    const TBitBtnLook l = LookOf(this);
    if (!l.Control) return TacBtnWnd::CaptionRect(TextSize, GlyphPos);
    TRect text{};
    CalcGlyphTextLayout(TRect{0, 0, WndSize.x, WndSize.y}, l.Size, TextSize, l.Control->Layout(), l.Control->Margin(),
                        l.Control->Spacing(), GlyphPos, text);
    return text;
}

void TacBitBtnWnd::DrawGlyph(TBitmap* Cache, TPoint GlyphPos, bool Pushed) {
    const TBitBtnLook l = LookOf(this);
    if (l.Size.cx <= 0 || l.Size.cy <= 0) return;
    if (Pushed) GlyphPos = TPoint{GlyphPos.x + 1, GlyphPos.y + 1};
    if (l.Control) {
        const int n = std::max(l.Control->NumGlyphs(), 1);
        int picture = 0;
        if (!IsWindowEnabled(CtrlHandle) && n > 1) picture = 1;
        else if (Pushed && n > 2) picture = 2;
        TacGlyphLook look;
        look.Enabled = true;  // the second picture is the disabled one
        DrawGlyphInto(Cache, Bounds(GlyphPos.x, GlyphPos.y, l.Size.cx, l.Size.cy), l.Control->Glyph(), n, picture,
                      look);
        return;
    }
    const TMemoryDC mem;
    const TSelectedObject sel(mem, l.Plain);
    BitBlt(Cache->Canvas()->Handle(), GlyphPos.x, GlyphPos.y, l.Size.cx, l.Size.cy, mem, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------
// Check boxes and radio buttons

bool TacCheckBoxWnd::IsRadioStyle(LONG_PTR Style) {
    const LONG_PTR type = Style & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

void TacCheckBoxWnd::PaintCheckBox(HDC DC) {
    AdapterGeometry(this);
    if (IsUpdating(SkinData)) return;
    if (!IsWindowVisible(CtrlHandle) && !DC) return;
    TBitmap* cache = SizeCacheBmp(SkinData, WndSize.x, WndSize.y);
    TsSkinManager* m = SkinManager;
    if (!cache || !m) return;
    const LONG_PTR style = GetWindowLongPtrA(CtrlHandle, GWL_STYLE);
    const LRESULT state = SendMessageA(CtrlHandle, BM_GETSTATE, 0, 0);
    const bool enabled = IsWindowEnabled(CtrlHandle) != FALSE;
    const bool hot = enabled && (IsHotWindow(this) || SkinData->MouseAbove || (state & BST_FOCUS));
    UseFont(cache, WindowFont(CtrlHandle));
    const TCacheInfo pc = ParentCacheOfHandle(CtrlHandle);
    PaintDataItem(SkinData, pc, false, cache, WndPos, TRect{0, 0, WndSize.x, WndSize.y}, hot ? 1 : 0);

    // The glyph of the check state and kind.
    const bool radio = IsRadioStyle(style);
    const int check = (state & BST_INDETERMINATE) ? 2 : (state & BST_CHECKED) ? 1 : 0;
    static const char* const kRadio[] = {"RADIOUNCHECKED", "RADIOCHECKED", "BOXGRAYED"};
    static const char* const kBox[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"};
    const int gi = m->StdIndexes().GlobalInfo;
    const int mask = MaskIndexOf(m, gi, "GLOBALINFO", radio ? kRadio[check] : kBox[check]);
    const int checkedMask = MaskIndexOf(m, gi, "GLOBALINFO", radio ? kRadio[1] : kBox[1]);
    TSize g = IsValidMaskIndex(m, checkedMask) ? MaskSize(m, checkedMask) : TSize{16, 16};
    if (g.cx <= 0 || g.cy <= 0) g = TSize{16, 16};
    const bool leftText = (style & BS_LEFTTEXT) != 0;
    const TPoint gp{leftText ? WndSize.x - g.cx : 0, (WndSize.y - g.cy) / 2};
    if (IsValidMaskIndex(m, mask)) PaintImageState(cache, gp, (state & BST_PUSHED) ? 2 : hot ? 1 : 0, mask, 0, m);

    // The caption beside it.
    const String text = ReadWindowText(CtrlHandle);
    if (!text.empty()) {
        const bool multi = (style & BS_MULTILINE) != 0;
        if (TControl* c = SkinData->OwnerControl) UseFont(cache, c->Font()->Handle());
        TCanvas* canvas = cache->Canvas();
        TRect r{0, 0, std::max<int>(WndSize.x - g.cx - 2, 1), 0};
        DrawTextA(canvas->Handle(), text.c_str(), int(text.size()), &r,
                  DT_CALCRECT | (multi ? DT_WORDBREAK : DT_SINGLELINE));
        const int top = std::max<int>((WndSize.y - RectHeight(r)) / 2, 0);
        OffsetRect(&r, leftText ? 2 : g.cx + 4, top);
        TRect out = r;
        WriteSkinText(canvas, text, enabled, out, multi ? DT_CENTER | DT_WORDBREAK : DT_SINGLELINE, SkinData->SkinIndex,
                      hot, m);
        if (state & BST_FOCUS) DrawDottedFrame(canvas, r);
    }
    if (!enabled) BlendWithParent(this, cache);
    CopyCacheTo(this, DC);
}

void TacCheckBoxWnd::WndProc(TMessage& M) {
    if (OwnLook(M)) return TacMainWnd::WndProc(M);
    switch (MessageKind(M)) {
        case kSkinCommand:
            if (M.WParamHi() == AC_MOUSEENTER || M.WParamHi() == AC_MOUSELEAVE) {
                SkinData->MouseAbove = M.WParamHi() == AC_MOUSEENTER;
                SkinData->BGChanged = true;
                RepaintNow(CtrlHandle);
            }
            break;
        case WM_NCPAINT:
        case WM_ERASEBKGND: M.Result = 1; return;
        case WM_PAINT: {
            const TPaintScope ps(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
            PaintCheckBox(ps.DC());
            return;
        }
        case WM_ENABLE:
        case BM_SETCHECK:
        case BM_SETSTATE:
            if (!IsWindowVisible(CtrlHandle)) break;
            return AdapterRedrawAround(this, M);
        case WM_MOUSELEAVE: DropHotWindow(this); break;
        default: break;
    }
    const TacLiveness live(this);
    TacMainWnd::WndProc(M);
    if (live.Gone()) return;
    if ((M.Msg == WM_KEYDOWN && M.WParam == VK_SPACE) || M.Msg == WM_SETFOCUS || M.Msg == WM_KILLFOCUS) {
        RepaintNow(CtrlHandle);
    } else if (M.Msg == WM_NCHITTEST) {
        TakeHotWindow(this, false);
    } else if (M.Msg == WM_MOUSEMOVE) {
        TakeHotWindow(this);
    } else if (M.Msg == WM_SETTEXT && IsWindowVisible(CtrlHandle)) {
        RepaintNow(CtrlHandle);
    }
}

// ---------------------------------------------------------------------------
// Group boxes

TRect TacGroupBoxWnd::CaptionRect() {
    const String text = ReadWindowText(CtrlHandle);
    TSize s{0, 0};
    HFONT font = SkinData->OwnerControl ? SkinData->OwnerControl->Font()->Handle() : WindowFont(CtrlHandle);
    if (!text.empty()) TextSizeOnScreen(font, text, s);
    RECT w{};
    GetWindowRect(CtrlHandle, &w);
    const int width = w.right - w.left;
    return TRect{6, 0, std::min<int>(s.cx + 14, width - 1), std::max<int>(4, s.cy) + 2};
}

void TacGroupBoxWnd::PaintGroupBox(HDC DC) {
    if (IsUpdating(SkinData)) return;
    AdapterGeometry(this);
    TBitmap* cache = SizeCacheBmp(SkinData, WndSize.x, WndSize.y);
    if (!cache) return;
    const TRect cr = CaptionRect();
    UseFont(cache, SkinData->OwnerControl ? SkinData->OwnerControl->Font()->Handle() : WindowFont(CtrlHandle));
    const TCacheInfo pc = ParentCacheOfHandle(CtrlHandle);
    HDC cdc = cache->Canvas()->Handle();
    TColor back = clBtnFace;
    if (!pc.Ready) {
        if (SkinData->OwnerControl) back = QueryParentColor(SkinData->OwnerControl);
        else {
            acParentColor = acNoColor;
            SendSkinCommandToWindow(ParentWnd, AC_GETBGCOLOR, 0);
            if (acParentColor != acNoColor) back = acParentColor;
        }
    }
    // Clears R of the cache to what lies behind the box.
    auto clear = [&](const TRect& R) {
        if (pc.Ready && pc.Bmp) {
            BitBlt(cdc, R.left, R.top, RectWidth(R), RectHeight(R), pc.Bmp->Canvas()->Handle(),
                   pc.X + WndPos.x + R.left, pc.Y + WndPos.y + R.top, SRCCOPY);
        } else {
            HBRUSH b = CreateSolidBrush(ColorToRGB(back));
            FillRect(cdc, &R, b);
            DeleteObject(b);
        }
    };
    clear(TRect{0, 0, WndSize.x, WndSize.y});
    const int half = RectHeight(cr) / 2;
    PaintDataItem(SkinData, pc, false, cache, TPoint{WndPos.x, WndPos.y + half}, TRect{0, half, WndSize.x, WndSize.y},
                  0);
    const String text = ReadWindowText(CtrlHandle);
    if (!text.empty()) {
        clear(cr);
        UseFont(cache, WindowFont(CtrlHandle) ? WindowFont(CtrlHandle) : nullptr);
        TRect r = cr;
        WriteSkinText(cache->Canvas(), text, IsWindowEnabled(CtrlHandle) != FALSE, r,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE, SkinData->SkinIndex, false, SkinManager);
    }
    SkinData->BGChanged = false;
    const TClientDC dc(CtrlHandle, DC);
    const TSavedDC saved(dc);
    if (DlgMode) {
        // Only the frame: the controls inside are siblings painted by themselves.
        int wl = 0, wr = 0, wb = 0;
        if (SkinManager && IsValidMaskIndex(SkinManager, SkinData->BorderIndex)) {
            const TsMaskData& md = SkinManager->ma()[std::size_t(SkinData->BorderIndex)];
            wl = md.WL, wr = md.WR, wb = md.WB;
        }
        ExcludeClipRect(dc, wl, cr.bottom, WndSize.x - wr, WndSize.y - wb);
    }
    PaintChildWindowsInto(CtrlHandle, SkinData, dc, TRect{0, 0, WndSize.x, WndSize.y});
    if (auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl)) PaintGraphicChildren(dc, owner);
    RefreshChildWindows(CtrlHandle);
}

TacGroupBoxWnd::~TacGroupBoxWnd() { ReleaseFromDestructor(false); }

void TacGroupBoxWnd::RestoreOriginalLook() {
    // Given back, the group box paints only its frame and caption again.
    TControl* owner = SkinData ? SkinData->OwnerControl : nullptr;
    if (!owner || owner->ComponentState().Contains(csDestroying)) return;
    TControlStyle style = owner->ControlStyle();
    style.Exclude(csOpaque);
    owner->SetControlStyle(style);
}

bool TacGroupBoxWnd::GroupCommand(TMessage& M) {
    if (M.WParamHi() != AC_CAPTIONHEIGHT) return false;
    M.Result = RectHeight(CaptionRect());
    return true;
}

void TacGroupBoxWnd::EraseGroup(TMessage& M) {
    PaintGroupBox(reinterpret_cast<HDC>(M.WParam));
    M.Result = 1;
}

void TacGroupBoxWnd::PaintGroup(TMessage& M) {
    const TPaintScope ps(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
    PaintGroupBox(ps.DC());
}

void TacGroupBoxWnd::PrintGroup(TMessage& M) {
    SkinData->BGChanged = true;
    PaintGroupBox(reinterpret_cast<HDC>(M.WParam));
    TacMainWnd::WndProc(M);
}

void TacGroupBoxWnd::ChildNotify(TMessage& M) {
    TacMainWnd::WndProc(M);
    if (LOWORD(M.WParam) == WM_CREATE && SkinData->OwnerControl) NotifyFormControlLoaded(SkinData->OwnerControl);
}

void TacGroupBoxWnd::WndProc(TMessage& M) {
    if (OwnLook(M)) return TacMainWnd::WndProc(M);
    // In a dialog the group box is a frame round its siblings: only its
    // non-client paint is the skin's.
    switch (MessageKind(M)) {
        case kSkinCommand:
            if (GroupCommand(M)) return;
            break;
        case WM_ERASEBKGND:
            if (!DlgMode) return EraseGroup(M);
            break;
        case WM_PAINT:
            if (!DlgMode) return PaintGroup(M);
            break;
        case WM_NCPAINT:
            if (DlgMode) return PaintGroupBox(nullptr);
            break;
        case WM_PRINT:
            if (!DlgMode) return PrintGroup(M);
            break;
        case WM_MOVE:
        case WM_SIZE: SkinData->BGChanged = true; break;
        case WM_SETTEXT:
            if (IsWindowVisible(CtrlHandle)) return AdapterRedrawAround(this, M);
            break;
        case WM_PARENTNOTIFY: return ChildNotify(M);
        default: break;
    }
    TacMainWnd::WndProc(M);
}

// ---------------------------------------------------------------------------
// Size grips and nested dialog panes

void TacSizerWnd::WndProc(TMessage& M) {
    if (OwnLook(M)) return TacMainWnd::WndProc(M);
    switch (MessageKind(M)) {
        case WM_PAINT: {
            const TPaintScope ps(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
            RebuildCache(this);
            CopyCacheTo(this, ps.DC());
            return;
        }
        case WM_ERASEBKGND:
        case WM_NCPAINT: M.Result = 1; return;
        default: break;
    }
    TacMainWnd::WndProc(M);
    if (M.Msg == WM_NCHITTEST) {
        M.Result = HTBOTTOMRIGHT;
        if (IsWindowEnabled(CtrlHandle)) DropHotWindow(this);
    }
}

void TacTransPanelWnd::WndProc(TMessage& M) {
    if (OwnLook(M)) return TacMainWnd::WndProc(M);
    switch (MessageKind(M)) {
        case WM_ERASEBKGND: {
            RebuildCache(this);
            const TClientDC dc(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
            PaintChildWindowsInto(CtrlHandle, SkinData, dc, TRect{0, 0, WndSize.x, WndSize.y});
            M.Result = 1;
            return;
        }
        case WM_NCPAINT: return;
        default: break;
    }
    TacMainWnd::WndProc(M);
}

// ---------------------------------------------------------------------------
// Spin buttons

TacSpinWnd::TacSpinWnd(HWND Handle, TsCommonData* Data, TsSkinManager* Manager, const String& SectionName, bool)
    : TacMainWnd(TDeferAttach{}, Handle, Data, Manager, SectionName) {
    SubclassAdapterWindow(this, Handle);
}

void TacSpinWnd::PaintSpin(HDC DC) {
    AdapterGeometry(this);
    // The cursor's half decides which arrow shows hot or pressed.
    POINT p{};
    GetCursorPos(&p);
    const bool inside = PtInRect(&WndRect, p) != FALSE;
    const bool upper = p.y < WndRect.top + WndSize.y / 2;
    UpState = inside && upper ? int(Pressed) + 1 : 0;
    DownState = inside && !upper ? int(Pressed) + 1 : 0;
    if (IsUpdating(SkinData)) return;
    TBitmap* cache = SizeCacheBmp(SkinData, WndSize.x, WndSize.y);
    TsSkinManager* m = SkinManager;
    if (!cache || !m) return;
    const TCacheInfo pc = ParentCacheOfHandle(CtrlHandle);
    const TacStandardIndexes& std = m->StdIndexes();
    const struct {
        TRect R;
        int State;
        int Glyph;
    } parts[2] = {{TRect{ButtonOffset, 0, WndSize.x, (WndSize.y + 1) / 2}, UpState, std.ScrollBtnTop.Glyph},
                  {TRect{ButtonOffset, WndSize.y / 2, WndSize.x, WndSize.y}, DownState, std.ScrollBtnBottom.Glyph}};
    for (const auto& part : parts) {
        PaintSkinItem(SkinData->SkinIndex, SkinData->SkinSection(), pc, true, part.State, part.R,
                      TPoint{WndPos.x + part.R.left, WndPos.y + part.R.top}, cache, m);
        if (!IsValidMaskIndex(m, part.Glyph)) continue;
        const TSize g = MaskSize(m, part.Glyph);
        PaintImageState(
            cache, TPoint{part.R.left + (RectWidth(part.R) - g.cx) / 2, part.R.top + (RectHeight(part.R) - g.cy) / 2},
            part.State, part.Glyph, 0, m);
    }
    CopyCacheTo(this, DC, ButtonOffset);
}

void TacSpinWnd::WndProc(TMessage& M) {
    if (OwnLook(M)) return TacMainWnd::WndProc(M);
    switch (MessageKind(M)) {
        case WM_NCPAINT:
        case WM_ERASEBKGND: M.Result = 1; return;
        case WM_PAINT: {
            const TPaintScope ps(CtrlHandle, reinterpret_cast<HDC>(M.WParam));
            PaintSpin(ps.DC());
            return;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            Pressed = M.Msg == WM_LBUTTONDOWN;
            {
                // The press changes the buddy: its handler may close the dialog.
                const TacLiveness live(this);
                TacMainWnd::WndProc(M);
                if (!live.Gone()) RepaintNow(CtrlHandle);
            }
            return;
        case WM_MOUSELEAVE:
            DropHotWindow(this);
            RepaintNow(CtrlHandle);
            break;
        default: break;
    }
    const bool wasHot = IsHotWindow(this);
    const TacLiveness live(this);
    TacMainWnd::WndProc(M);
    if (M.Msg == WM_MOUSEMOVE && !live.Gone()) {
        TakeHotWindow(this);
        if (wasHot) RepaintNow(CtrlHandle);
    }
}

// ---------------------------------------------------------------------------
// The choice by class and style

namespace {

TacMainWnd* ButtonAdapter(HWND H, LONG_PTR Style, TsSkinManager* M) {
    switch (Style & BS_TYPEMASK) {
        case BS_OWNERDRAW:  // its owner draws it
            return nullptr;
        case BS_GROUPBOX: return new TacGroupBoxWnd(H, nullptr, M, "GROUPBOX");
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return new TacCheckBoxWnd(H, nullptr, M, "CHECKBOX");
        default:  // push buttons, push boxes, split buttons and command links
            if (Style & BS_BITMAP) return new TacBitBtnWnd(H, nullptr, M, "BUTTON");
            return new TacBtnWnd(H, nullptr, M, "BUTTON");
    }
}

TacMainWnd* StaticAdapter(HWND H, LONG_PTR Style, TsSkinManager* M) {
    switch (Style & SS_TYPEMASK) {
        case SS_ETCHEDHORZ:
        case SS_ETCHEDVERT:
        case SS_ETCHEDFRAME:  // their lines stay
        case SS_GRAYRECT:     // as do the rectangles the program chose
        case SS_WHITERECT:
        case SS_OWNERDRAW: return nullptr;
        case SS_ICON:
        case SS_BITMAP: return new TacIconWnd(H, nullptr, M, "CHECKBOX");
        default:  // SS_SIMPLE too: its text must show
            return new TacStaticWnd(H, nullptr, M, "CHECKBOX");
    }
}

}  // namespace

TacMainWnd* CreateSimpleAdapter(HWND Handle, TsSkinManager* Manager) {
    if (!IsWindow(Handle) || AdapterOfWindow(Handle)) return nullptr;
    char buf[64] = {};
    GetClassNameA(Handle, buf, sizeof buf);
    String cls = buf;
    for (char& c : cls) c = char(std::tolower(static_cast<unsigned char>(c)));
    const LONG_PTR style = GetWindowLongPtrA(Handle, GWL_STYLE);
    if (cls == "button") return ButtonAdapter(Handle, style, Manager);
    if (cls == "static") return StaticAdapter(Handle, style, Manager);
    if (cls == "syslink" || cls == "link window") return new TacLinkWnd(Handle, nullptr, Manager, "CHECKBOX");
    if (cls == "toolbarwindow32") return new TacToolBarWnd(Handle, nullptr, Manager, "CHECKBOX");
    if (cls == "scrollbar" && (style & SBS_SIZEGRIP)) return new TacSizerWnd(Handle, nullptr, Manager, "CHECKBOX");
    if (cls == "#32770" || cls == "shbrowseforfolder")
        return new TacTransPanelWnd(Handle, nullptr, Manager, "CHECKBOX");
    if (cls == "tpanel" || cls == "tsilentpaintpanel") return new TacDlgPanelWnd(Handle, nullptr, Manager, "");
    if (cls == "#32768") return new TacMnuWnd(Handle, nullptr, Manager, "MAINMENU");
    if (cls == "msctls_updown32") {
        auto* spin = new TacSpinWnd(Handle, nullptr, Manager, "SPEEDBUTTON_SMALL");
        spin->ButtonOffset = 2;
        return spin;
    }
    return nullptr;
}
