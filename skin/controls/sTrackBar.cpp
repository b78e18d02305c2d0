#include "sTrackBar.h"

#include "Forms.h"
#include "sAlphaGraph.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinnedProps.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// clang-format off
CLASSLIB_DEFINE_CLASS(TsTrackBar, TTrackBar,
    acSkinDataProp<TsTrackBar>(), acDisabledKindProp<TsTrackBar>(), acAnimatEventsProp<TsTrackBar>(),
    OrdProp<TsTrackBar>("ShowFocus", TTypeKind::tkBool, &TsTrackBar::ShowFocus, &TsTrackBar::SetShowFocus, 0),
    OrdProp<TTrackBar>("ThumbLength", TTypeKind::tkInteger, &TTrackBar::ThumbLength, &TTrackBar::SetThumbLength, 23))
// clang-format on

// --- Geometry -------------------------------------------------------------------

TRect acTrackChannelRect(HWND Wnd, bool Vertical) {
    TRect r{0, 0, 0, 0};
    SendMessageA(Wnd, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&r));
    if (Vertical && r.right - r.left > r.bottom - r.top) r = TRect{r.top, r.left, r.bottom, r.right};
    return r;
}

TRect acTrackThumbRect(HWND Wnd) {
    TRect r{0, 0, 0, 0};
    SendMessageA(Wnd, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

int acTickPixel(int Value, int Min, int Max, int ChannelStart, int ChannelEnd, int ThumbExtent) {
    const int first = ChannelStart + ThumbExtent / 2;
    if (Max <= Min) return first;
    const double span = ChannelEnd - ChannelStart - ThumbExtent;
    // The differences in double: Max - Min overflows an int for a range as wide as INT_MIN .. INT_MAX.
    return first + static_cast<int>(std::lround(span * (double(Value) - Min) / (double(Max) - Min)));
}

std::vector<int> acTrackTickValues(HWND Wnd, int Min, int Max) {
    // TBM_GETNUMTICS counts both ends; the ones between come as one array
    // (TBM_GETPTICS), not a message each: a range may hold a million ticks.
    const int count = static_cast<int>(SendMessageA(Wnd, TBM_GETNUMTICS, 0, 0));
    std::vector<int> values;
    if (count <= 0) return values;
    values.reserve(static_cast<size_t>(count));
    values.push_back(Min);
    const auto* between = reinterpret_cast<const DWORD*>(SendMessageA(Wnd, TBM_GETPTICS, 0, 0));
    for (int i = 0; between && i < count - 2; ++i) {
        const int v = static_cast<int>(between[i]);
        if (v > Min && v < Max) values.push_back(v);
    }
    if (Max > Min) values.push_back(Max);
    return values;
}

namespace {

// Turns the rows (or, with Columns, the columns) of a 24-bit bitmap round.
void Mirror(TBitmap& Bmp, bool Columns) {
    const int w = Bmp.Width(), h = Bmp.Height();
    if (Columns) {
        for (int y = 0; y < h; ++y) {
            auto* row = static_cast<std::uint8_t*>(Bmp.ScanLine(y));
            for (int a = 0, b = w - 1; a < b; ++a, --b)
                for (int k = 0; k < 3; ++k) std::swap(row[3 * a + k], row[3 * b + k]);
        }
        return;
    }
    std::vector<std::uint8_t> tmp(static_cast<size_t>(w) * 3);
    for (int a = 0, b = h - 1; a < b; ++a, --b) {
        auto* ra = static_cast<std::uint8_t*>(Bmp.ScanLine(a));
        auto* rb = static_cast<std::uint8_t*>(Bmp.ScanLine(b));
        std::memcpy(tmp.data(), ra, tmp.size());
        std::memcpy(ra, rb, tmp.size());
        std::memcpy(rb, tmp.data(), tmp.size());
    }
}

}  // namespace

// --- TsTrackBar -------------------------------------------------------------------

TsTrackBar::TsTrackBar(TComponent* AOwner) : TsSkinned(AOwner, acCtTrackBar) {
    FControlStyle.Exclude(csOpaque);
    FThumbLength = 23;
}

TsTrackBar::~TsTrackBar() {
    // The window goes while the frame still exists: its last messages reach it.
    if (HandleAllocated()) DestroyHandle();
}

void TsTrackBar::PaintContent(TsPaintState State) {
    TBitmap* cache = SkinData()->CacheBmp;
    if (FShowFocus && (Focused() || FThumbPressed)) {
        TRect r = ClientRect();
        InflateRect(&r, -1, -1);
        DrawDottedFrame(cache->Canvas(), r);
    }
    PaintChannel(State);
    if (FTickStyle != tsNone) PaintTicks(State);
    PaintThumb(State);
}

void TsTrackBar::PaintChannel(TsPaintState State) {
    TsCommonData* d = SkinData();
    TsSkinManager* m = d->GetSkinManager();
    const int mask = MaskIndexOf(m, d->SkinIndex, d->SkinSection(), "SLIDERCHANNEL");
    if (!IsValidMaskIndex(m, mask)) return;
    // The picture, one pixel thinner than it is, centred on the system's channel.
    TRect r = acTrackChannelRect(Handle(), Vertical());
    const TSize size = MaskSize(m, mask);
    if (Vertical()) {
        r.left += (RectWidth(r) - (size.cx - 1)) / 2;
        r.right = r.left + size.cx - 1;
    } else {
        r.top += (RectHeight(r) - (size.cy - 1)) / 2;
        r.bottom = r.top + size.cy - 1;
    }
    const int state = std::min(acStateIndex(State), m->ma()[mask].ImageCount - 1);
    PaintNineSliceTemplate(d->CacheBmp, true, state, mask, r, m);
}

void TsTrackBar::PaintTicks(TsPaintState State) {
    TsCommonData* d = SkinData();
    TsSkinManager* m = d->GetSkinManager();
    const TRect channel = acTrackChannelRect(Handle(), Vertical());
    const TRect thumb = acTrackThumbRect(Handle());
    const int tickMask = MaskIndexOf(m, d->SkinIndex, d->SkinSection(), Vertical() ? "TICKVERT" : "TICKHORZ");
    // Clear of the thumb by two pixels on each side of the channel.
    const int d2 = Vertical() ? (RectWidth(thumb) - RectWidth(channel)) / 2 + 2
                              : (RectHeight(thumb) - RectHeight(channel)) / 2 + 2;
    const int before = (Vertical() ? channel.left : channel.top) - d2 - FTickLength;
    const int after = (Vertical() ? channel.right : channel.bottom) + d2;
    const int start = Vertical() ? channel.top : channel.left, end = Vertical() ? channel.bottom : channel.right;
    const int extent = Vertical() ? RectHeight(thumb) : RectWidth(thumb);
    // Ticks closer than a pixel are one tick on the screen: each pixel is painted once.
    std::vector<int> pixels;
    for (int v : acTrackTickValues(Handle(), FMin, FMax))
        pixels.push_back(acTickPixel(v, FMin, FMax, start, end, extent));
    std::sort(pixels.begin(), pixels.end());
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    for (int along : pixels) {
        if (FTickMarks != tmBottomRight) PaintTick(along, before, State, tickMask);
        if (FTickMarks != tmTopLeft) PaintTick(along, after, State, tickMask);
    }
}

void TsTrackBar::PaintTick(int Along, int Across, TsPaintState State, int TickMask) {
    TsSkinManager* m = SkinData()->GetSkinManager();
    TBitmap* cache = SkinData()->CacheBmp;
    const int state = FThumbPressed ? 2 : acStateIndex(State);
    if (IsValidMaskIndex(m, TickMask)) {
        const TSize s = MaskSize(m, TickMask);
        const TPoint p = Vertical() ? TPoint{Across, Along - s.cy / 2} : TPoint{Along - s.cx / 2, Across};
        PaintImageState(cache, p, state, TickMask, 0, m);
        return;
    }
    TRect r = Vertical() ? TRect{Across, Along - 1, Across + FTickLength, Along + 1}
                         : TRect{Along - 1, Across, Along + 1, Across + FTickLength};
    Frame3DOnDC(cache->Canvas()->Handle(), r, clBtnShadow, 1, clWhite);
}

void TsTrackBar::PaintThumb(TsPaintState State) {
    TsCommonData* d = SkinData();
    TsSkinManager* m = d->GetSkinManager();
    const int mask = MaskIndexOf(m, d->SkinIndex, d->SkinSection(), Vertical() ? "SLIDERVMASK" : "SLIDERMASK");
    if (!IsValidMaskIndex(m, mask)) return;
    const TRect thumb = acTrackThumbRect(Handle());
    if (RectWidth(thumb) <= 0 || RectHeight(thumb) <= 0) return;
    const int state = FThumbPressed ? 2 : acStateIndex(State);
    const TSize pic = MaskSize(m, mask);
    // Windows' thumb of length 23 is 11 x 23; a picture made for Wine's 11 x 21 fits it too.
    const bool fits =
        (pic.cx == RectWidth(thumb) && pic.cy == RectHeight(thumb)) ||
        (!Vertical() && RectWidth(thumb) == 11 && RectHeight(thumb) == 23 && pic.cx == 11 && pic.cy == 21) ||
        (Vertical() && RectWidth(thumb) == 23 && RectHeight(thumb) == 11 && pic.cx == 21 && pic.cy == 11);
    if (fits) PaintThumbImage(thumb, state, mask);
    else StretchThumb(thumb, state, mask);
}

void TsTrackBar::PaintThumbImage(const TRect& Thumb, int State, int Mask) {
    TsSkinManager* m = SkinData()->GetSkinManager();
    TBitmap* cache = SkinData()->CacheBmp;
    if (FTickMarks != tmTopLeft) {
        PaintImageState(cache, TPoint{Thumb.left, Thumb.top}, State, Mask, 0, m);
        return;
    }
    // Ticks above (left of) the bar: the thumb points the other way.
    TBitmap under(RectWidth(Thumb), RectHeight(Thumb));
    BitBlt(under.Canvas()->Handle(), 0, 0, RectWidth(Thumb), RectHeight(Thumb), cache->Canvas()->Handle(), Thumb.left,
           Thumb.top, SRCCOPY);
    GdiFlush();
    Mirror(under, Vertical());
    PaintImageState(&under, TPoint{0, 0}, State, Mask, 0, m);
    Mirror(under, Vertical());
    BitBlt(cache->Canvas()->Handle(), Thumb.left, Thumb.top, RectWidth(Thumb), RectHeight(Thumb),
           under.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsTrackBar::StretchThumb(const TRect& Thumb, int State, int Mask) {
    TsSkinManager* m = SkinData()->GetSkinManager();
    TBitmap* source = m->MaskBitmap(Mask);
    if (!source) return;
    const TsMaskData& md = m->ma()[Mask];
    // The state's own rectangle: a mask may be cut from a picture it shares.
    const TacRect from = md.StateRect(State);
    TBitmap pic(RectWidth(Thumb), RectHeight(Thumb));
    SetStretchBltMode(pic.Canvas()->Handle(), COLORONCOLOR);
    StretchBlt(pic.Canvas()->Handle(), 0, 0, RectWidth(Thumb), RectHeight(Thumb), source->Canvas()->Handle(), from.Left,
               from.Top, from.Width(), from.Height(), SRCCOPY);
    GdiFlush();
    // Ticks above (left of) the bar: it points the other way, as a thumb that fits does.
    if (FTickMarks == tmTopLeft) Mirror(pic, Vertical());
    // Key-coloured pixels keep what lies under the thumb; a thumb reaching
    // past the control is cut at its edges.
    TBitmap* cache = SkinData()->CacheBmp;
    TRect inside{0, 0, cache->Width(), cache->Height()};
    TRect part;
    if (!IntersectRect(&part, &Thumb, &inside)) return;
    for (int y = part.top; y < part.bottom; ++y) {
        const auto* src = static_cast<const std::uint8_t*>(pic.ScanLine(y - Thumb.top));
        auto* dst = static_cast<std::uint8_t*>(cache->ScanLine(y));
        for (int x = part.left; x < part.right; ++x) {
            const std::uint8_t* p = src + 3 * (x - Thumb.left);
            if (p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF) continue;
            std::memcpy(dst + 3 * x, p, 3);
        }
    }
}

bool TsTrackBar::PressAt(TMessage& Message) {
    HideHintsForOwnPress();
    const TRect thumb = acTrackThumbRect(Handle());
    const POINT p{Message.XPos(), Message.YPos()};
    if (PtInRect(&thumb, p)) {
        FThumbPressed = true;
        SkinData()->BGChanged = false;
        FadeOrRepaint(aeMouseDown, true);
    } else {
        StopFade();
    }
    return false;
}

void TsTrackBar::Release() {
    RestoreHintsAfterOwnPress();
    if (!FThumbPressed) {
        StopFade();
        return;
    }
    FThumbPressed = false;
    SkinData()->BGChanged = false;
    FadeOrRepaint(aeMouseUp, true);
}

void TsTrackBar::Scrolled(TMessage& Message) {
    StopFade();
    const auto alive = Alive();
    InheritedWndProc(Message);
    if (!*alive) return;
    InvalidateOwner(SkinData());
    Update();
    FireEvent(OnUserChange, this);
}

bool TsTrackBar::SkinnedMessage(TMessage& Message) {
    switch (Message.Msg) {
        // The system window paints when its picture changed (position, range,
        // ticks, focus): the cache follows every such paint.
        case WM_PAINT:
        case WM_PRINT: SkinData()->BGChanged = true; return false;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return Enabled() && !Designing() && PressAt(Message);
        case WM_LBUTTONUP:
            if (Enabled() && !Designing()) Release();
            return false;
        case WM_CAPTURECHANGED:
            if (FThumbPressed) Release();
            return false;
        case CN_HSCROLL:
        case CN_VSCROLL: Scrolled(Message); return true;
        default: return false;
    }
}

void TsTrackBar::UnskinnedMessage(TMessage& Message) {
    const auto alive = Alive();
    TsSkinnedFrame::UnskinnedMessage(Message);
    if (*alive && (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) && OnUserChange) OnUserChange(this);
}
