// Skinned non-client scroll bars: metrics, layout, thumb geometry, hit
// testing and painting from the skin's scroll sections.
#include "acSBUtils.h"

#include "Scopes.h"

#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sMessages.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

bool Horizontal(const TacScrollBar* Bar) { return Bar->BarKind == SB_HORZ; }

TsSkinManager* ManagerOf(const TacScrollBar* Bar) { return Bar && Bar->Owner ? Bar->Owner->SkinManager : nullptr; }

int Thickness(const TacScrollBar* Bar) { return Bar && Bar->Visible ? ScrollBarMetric(Bar, 1, false) : 0; }

// The skin items of one bar direction.
struct TBarItems {
    TacItemIndexes First, Second, Thumb, Track1, Track2;
    const char *FirstName, *SecondName, *ThumbName, *Track1Name, *Track2Name;
};

TBarItems ItemsOf(const TsSkinManager* M, bool Horz) {
    const TacStandardIndexes& s = M->StdIndexes();
    if (Horz)
        return {s.ScrollBtnLeft, s.ScrollBtnRight, s.ScrollSliderH, s.ScrollBar1H, s.ScrollBar2H,
                "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLSLIDERH", "SCROLLBAR1H", "SCROLLBAR2H"};
    return {s.ScrollBtnTop, s.ScrollBtnBottom, s.ScrollSliderV, s.ScrollBar1V, s.ScrollBar2V,
            "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLSLIDERV", "SCROLLBAR1V", "SCROLLBAR2V"};
}

// Where a glyph sits inside a part.
enum TGlyphPlace { gpCentre, gpStart, gpEnd };

// One part (arrow, thumb or track piece) painted into R of the bar bitmap,
// over the bar bitmap's own pixels there.
void PaintPart(TBitmap* BarBmp, TsSkinManager* M, const TacItemIndexes& Item, const char* Name, const TRect& R,
               int State, bool Horz, TGlyphPlace Place) {
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (w <= 0 || h <= 0 || !IsValidSectionIndex(M, Item.Section)) return;
    std::unique_ptr<TBitmap> part = NewBitmap24(w, h);
    BitBlt(part->Canvas()->Handle(), 0, 0, w, h, BarBmp->Canvas()->Handle(), R.left, R.top, SRCCOPY);
    const TCacheInfo ci{BarBmp, 0, 0, true};
    PaintSkinItemFast(Item.Section, Item.Border, Item.Texture, M, part.get(), TPoint{R.left, R.top}, TRect{0, 0, w, h},
                      State, false, ci, Name, Item.HotTexture);
    if (IsValidMaskIndex(M, Item.Glyph)) {
        const TSize g = MaskSize(M, Item.Glyph);
        TRect sub{0, 0, w, h};
        if (Place == gpStart) (Horz ? sub.right : sub.bottom) = std::min(Horz ? w : h, ScrollWidth);
        if (Place == gpEnd) (Horz ? sub.left : sub.top) = std::max(0, (Horz ? w : h) - ScrollWidth);
        const TPoint p{sub.left + (sub.right - sub.left - g.cx) / 2, sub.top + (sub.bottom - sub.top - g.cy) / 2};
        PaintImageState(part.get(), p, State, Item.Glyph, 0, M);
    }
    BitBlt(BarBmp->Canvas()->Handle(), R.left, R.top, w, h, part->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// A span [From, To) along the bar as a rectangle of the bar bitmap.
TRect Span(bool Horz, int From, int To, int Across) {
    return Horz ? TRect{From, 0, To, Across} : TRect{0, From, Across, To};
}

TCacheInfo WindowCache(HWND Handle) {
    ParentCacheInfo.Ready = false;
    SendSkinCommandToWindow(Handle, AC_GETCACHE, 0);
    TCacheInfo ci = ParentCacheInfo;
    ci.X = ci.Y = 0;
    return ci;
}

// The hit part, told along the bar (Pos) between Start and End.
int HitAlong(const TacScrollBar* Bar, int Start, int End, int Pos, int ThumbSize, int ThumbPos) {
    const int plain = ScrollBarMetric(Bar, 0, false);
    const int length = End - Start;
    int a = plain;
    if (length <= 2 * a) a = length / 2;
    if (Pos >= Start && Pos < Start + a) return spLineUp;
    if (Pos >= End - a && Pos < End) return spLineDown;
    if (ThumbSize >= length - 2 * plain) return spNone;
    if (Pos >= ThumbPos && Pos < ThumbPos + ThumbSize) return spThumb;
    if (Pos >= Start + a && Pos < ThumbPos) return spPageUp;
    if (Pos >= ThumbPos + ThumbSize && Pos < End - a) return spPageDown;
    return spNone;
}

}  // namespace

void TacScrollBar::ReadInfo() {
    ScrollInfo = SCROLLINFO{};
    ScrollInfo.cbSize = sizeof(SCROLLINFO);
    ScrollInfo.fMask = SIF_ALL;
    if (Owner && !GetScrollInfo(Owner->CtrlHandle, BarKind, &ScrollInfo)) {
        ScrollInfo.nMin = ScrollInfo.nMax = ScrollInfo.nPos = ScrollInfo.nTrackPos = 0;
        ScrollInfo.nPage = 0;
    }
}

int ScrollBarMetric(const TacScrollBar* Bar, int Which, bool UseSkin) {
    if (!Bar || (Bar->BarKind != SB_HORZ && Bar->BarKind != SB_VERT)) return 0;
    const bool horz = Horizontal(Bar);
    if (Which == 1) {
        if (Bar->ArrowWidth >= 0) return Bar->ArrowWidth;
        return -Bar->ArrowWidth * acSystemMetric(horz ? SM_CYHSCROLL : SM_CXVSCROLL);
    }
    if (Bar->ArrowLength >= 0) return Bar->ArrowLength;
    int l = ScrollWidth;
    TsSkinManager* m = ManagerOf(Bar);
    if (UseSkin && m && m->Active()) {
        const int left = SectionIndexOf(m, "SCROLLBTNLEFT");
        const int mask = horz ? m->StdIndexes().ScrollBtnLeft.Border : m->StdIndexes().ScrollBtnTop.Border;
        if (left >= 0 && m->gd()[std::size_t(left)].ReservedBoolean && IsValidMaskIndex(m, mask)) {
            const TsMaskData& md = m->ma()[std::size_t(mask)];
            l = std::max(l, horz ? md.StateWidth() : md.StateHeight());
        }
    }
    return -Bar->ArrowLength * l;
}

TRect HorzScrollBarRect(const TacScrollWnd* A, HWND Handle) {
    RECT w{};
    GetWindowRect(Handle, &w);
    const int vt = Thickness(A->VertBar), ht = Thickness(A->HorzBar);
    TRect r;
    r.left = w.left + A->InsetLeft + (A->LeftScrollBar ? vt : 0);
    r.right = w.right - A->InsetRight - (A->LeftScrollBar ? 0 : vt);
    r.bottom = w.bottom - A->InsetBottom;
    r.top = r.bottom - ht;
    return r;
}

TRect VertScrollBarRect(const TacScrollWnd* A, HWND Handle) {
    RECT w{};
    GetWindowRect(Handle, &w);
    const int vt = Thickness(A->VertBar), ht = Thickness(A->HorzBar);
    TRect r;
    r.top = w.top + A->InsetTop;
    r.bottom = w.bottom - ht - A->InsetBottom;
    if (A->LeftScrollBar) {
        r.left = w.left + A->InsetLeft;
        r.right = r.left + vt;
    } else {
        r.right = w.right - A->InsetRight;
        r.left = r.right - vt;
    }
    return r;
}

bool ScrollBarRect(const TacScrollWnd* A, int BarKind, HWND Handle, TRect& R) {
    if (!A || (BarKind != SB_HORZ && BarKind != SB_VERT)) return false;
    R = BarKind == SB_HORZ ? HorzScrollBarRect(A, Handle) : VertScrollBarRect(A, Handle);
    return true;
}

long long ScrollMulDiv(long long A, long long B, long long C) {
    if (C == 0) return -1;
    const long long p = A * B;
    const bool negative = (p < 0) != (C < 0);
    const long long q = (std::llabs(p) + std::llabs(C) / 2) / std::llabs(C);
    return negative ? -q : q;
}

namespace {

// The shortest thumb that still shows its picture whole: both ends, the
// grip glyph and a little body between them, and never shorter than the
// system's own thumb or the least the window asked for.
int ThumbMinimum(const TacScrollBar* Bar, bool Horz) {
    int least = std::max(Bar->MinThumbSize, acSystemMetric(Horz ? SM_CXHTHUMB : SM_CYVTHUMB));
    const TsSkinManager* m = ManagerOf(Bar);
    if (!m || !m->Active()) return least;
    const TacItemIndexes& thumb = ItemsOf(m, Horz).Thumb;
    int picture = 0;
    if (IsValidMaskIndex(m, thumb.Border)) {
        const TsMaskData& k = m->ma()[std::size_t(thumb.Border)];
        picture = Horz ? k.WL + k.WR : k.WT + k.WB;
    }
    if (IsValidMaskIndex(m, thumb.Glyph)) {
        const TSize g = MaskSize(m, thumb.Glyph);
        picture += (Horz ? g.cx : g.cy) + 2;
    }
    return std::max(least, picture);
}

}  // namespace

void CalcThumb(const TacScrollBar* Bar, const TRect& R, int& ThumbSize, int& ThumbPos) {
    const bool horz = Horizontal(Bar);
    const int a = ScrollBarMetric(Bar, 0, false);
    const int start = horz ? R.left : R.top, end = horz ? R.right : R.bottom;
    const int track = end - start - 2 * a;
    const SCROLLINFO& si = Bar->ScrollInfo;
    // In 64 bits: nMin .. nMax may hold more values than an int counts.
    const long long range = static_cast<long long>(si.nMax) - si.nMin + 1;
    const long long page = si.nPage;
    int size = 0;
    if (page == 0) {
        size = a;
    } else if (range > 0) {
        // A page far beyond the range gives a thumb longer than any bar, kept
        // within an int that the hit test can still add a place to.
        size = int(std::clamp<long long>(ScrollMulDiv(page, track, range), ThumbMinimum(Bar, horz), INT_MAX / 2));
    }
    int offset = 0;
    if (range > 0) {
        // Counted from nMin, the position clamped to where the system keeps it.
        const long long maxPos = si.nMax - std::max(page - 1, 0LL);
        const long long pos = std::clamp<long long>(si.nPos, si.nMin, std::max<long long>(si.nMin, maxPos));
        const long long along = ScrollMulDiv(pos - si.nMin, track - size, range - std::max(page, 1LL));
        offset = int(std::clamp<long long>(along, 0, std::max(0, track - size)));
    }
    ThumbSize = size;
    ThumbPos = start + a + offset;
}

int ScrollBarHitPart(const TacScrollBar* Bar, const TRect& R, TPoint P) {
    if (!Bar || (Bar->BarKind != SB_HORZ && Bar->BarKind != SB_VERT)) return spNone;
    const bool horz = Horizontal(Bar);
    const int across = horz ? P.y : P.x;
    if (across < (horz ? R.top : R.left) || across > (horz ? R.bottom : R.right) - 1) return spNone;
    int size = 0, pos = 0;
    CalcThumb(Bar, R, size, pos);
    return horz ? HitAlong(Bar, R.left, R.right, P.x, size, pos) : HitAlong(Bar, R.top, R.bottom, P.y, size, pos);
}

namespace {

bool ReadBarStates(const TacScrollBar* Bar, SCROLLBARINFO& Info) {
    if (!Bar || !Bar->Owner) return false;
    Info = SCROLLBARINFO{};
    Info.cbSize = sizeof Info;
    const LONG object = Bar->BarKind == SB_HORZ   ? OBJID_HSCROLL
                        : Bar->BarKind == SB_VERT ? OBJID_VSCROLL
                                                  : OBJID_CLIENT;
    return GetScrollBarInfo(Bar->Owner->CtrlHandle, object, &Info) != FALSE;
}

constexpr DWORD Unavailable = STATE_SYSTEM_UNAVAILABLE;

}  // namespace

bool IsScrollBarEnabled(const TacScrollBar* Bar) {
    SCROLLBARINFO info;
    if (!ReadBarStates(Bar, info)) return false;
    // A bar the program disabled (ESB_DISABLE_BOTH) may show it only in its
    // arrows' states (rgstate 1 and 5), the whole bar's left as it was.
    return !(info.rgstate[0] & Unavailable) && !((info.rgstate[1] & Unavailable) && (info.rgstate[5] & Unavailable));
}

bool IsScrollPartEnabled(const TacScrollBar* Bar, int Part) {
    if (Part != spLineUp && Part != spLineDown) return IsScrollBarEnabled(Bar);
    SCROLLBARINFO info;
    if (!ReadBarStates(Bar, info)) return false;
    // One arrow may be disabled alone (ESB_DISABLE_LTUP, ESB_DISABLE_RTDN).
    return !(info.rgstate[0] & Unavailable) && !(info.rgstate[Part == spLineUp ? 1 : 5] & Unavailable);
}

namespace {

// A disabled bar, or Part of it (a disabled arrow; in the bar bitmap's
// coordinates), keeps 40 % of its look over the window's picture, or fades to
// the track's colour where the window has none.
void ShowDisabled(TBitmap* Bmp, TsSkinManager* M, const TBarItems& Items, HWND Handle, const TRect& R,
                  const TRect& Part) {
    const TCacheInfo ci = WindowCache(Handle);
    if (ci.Ready && ci.Bmp) {
        const TRect under{R.left + Part.left, R.top + Part.top, R.left + Part.right, R.top + Part.bottom};
        BlendBitmapRect(Bmp, Part.left, Part.top, clNone, 1 - 0.4, under, ci.Bmp);
    } else {
        const TColor c = TColor(M->gd()[std::size_t(Items.Track1.Section)].Color);
        PaintFadingRoundRect(Bmp, Part, 60, 0, 0, c);
    }
}

}  // namespace

// The bar painter; a thumb drag paints through it with Dragging set.
bool PaintScrollBarImpl(TacScrollBar* Bar, HWND Handle, HDC DC, int ThumbPos, int PressedPart, const TRect& R,
                        bool Dragging) {
    TacScrollWnd* a = Bar ? Bar->Owner : nullptr;
    TsSkinManager* m = ManagerOf(Bar);
    if (!a || (a->ThumbDragging && !Dragging) || !m || !m->Active() || !Bar->Visible) return false;
    const bool horz = Horizontal(Bar);
    const TBarItems items = ItemsOf(m, horz);
    if (!IsValidSectionIndex(m, items.Track1.Section)) return false;
    const int w = R.right - R.left, h = R.bottom - R.top;
    if ((horz ? w : h) < 2 || (!horz && a->Painting && !Dragging)) return false;
    Bar->ReadInfo();
    const int length = horz ? w : h, across = horz ? h : w;
    if (length <= 0 || across <= 0) return false;
    const int arrow = ScrollBarMetric(Bar, 0, true);
    const int plain = ScrollBarMetric(Bar, 0, false);
    bool enabled = IsScrollBarEnabled(Bar);
    if (TControl* owner = a->SkinData ? a->SkinData->OwnerControl : nullptr) enabled = enabled && owner->Enabled();

    // Choose the look of each part first.
    const TacScrollTracking& t = acScrollTracking;
    const bool hotWindow = t.HotWindow == Handle;
    if (!hotWindow && !Dragging) PressedPart = spNone;
    const bool hotBar = hotWindow && t.HotBarKind == Bar->BarKind && enabled;
    // An arrow the program disabled alone is never hot or pressed.
    const bool arrowOn[2] = {enabled && IsScrollPartEnabled(Bar, spLineUp),
                             enabled && IsScrollPartEnabled(Bar, spLineDown)};
    auto partState = [&](int part) {
        const bool off = (part == spLineUp && !arrowOn[0]) || (part == spLineDown && !arrowOn[1]);
        const TsPaintState state = off                           ? TsPaintState::Normal
                                   : PressedPart == part         ? TsPaintState::Pressed
                                   : hotBar && t.HotPart == part ? TsPaintState::Active
                                                                 : TsPaintState::Normal;
        return acStateIndex(state);
    };
    const int firstState = partState(spLineUp), secondState = partState(spLineDown);
    const int thumbState = partState(spThumb);
    // A track part shows pressed while it repeats its page request, never hot.
    auto trackState = [&](int part) {
        return acStateIndex(PressedPart == part ? TsPaintState::Pressed : TsPaintState::Normal);
    };

    std::unique_ptr<TBitmap> bmp = NewBitmap24(w, h);
    const TCacheInfo ci = WindowCache(Handle);
    auto track = [&](const TacItemIndexes& item, const char* name, int from, int to, int state) {
        if (to <= from || !IsValidSectionIndex(m, item.Section)) return;
        const TRect piece = Span(horz, from, to, across);
        PaintSkinItemFast(item.Section, item.Border, item.Texture, m, bmp.get(),
                          TPoint{R.left + piece.left, R.top + piece.top}, piece, state, false, ci, name,
                          item.HotTexture);
    };
    // Too short for a thumb: each arrow takes half.
    const bool halves = 2 * arrow >= length;
    const TRect first = Span(horz, 0, halves ? length / 2 : arrow, across);
    const TRect second = Span(horz, halves ? length / 2 : length - arrow, length, across);
    int size = 0, pos = 0;
    if (!halves) {
        CalcThumb(Bar, R, size, pos);
        if (ThumbPos != -1) pos = ThumbPos;
        pos -= horz ? R.left : R.top;
    }
    const int centre = halves ? length / 2 : std::clamp(pos + size / 2, 0, length);
    const TsPaintState normal = TsPaintState::Normal;
    track(items.Track1, items.Track1Name, 0, centre, halves ? acStateIndex(normal) : trackState(spPageUp));
    track(items.Track2, items.Track2Name, centre, length, halves ? acStateIndex(normal) : trackState(spPageDown));
    PaintPart(bmp.get(), m, items.First, items.FirstName, first, firstState, horz, gpStart);
    PaintPart(bmp.get(), m, items.Second, items.SecondName, second, secondState, horz, gpEnd);
    // Shown exactly where the hit test finds a thumb.
    if (!halves && enabled && size >= 1 && size < length - 2 * plain)
        PaintPart(bmp.get(), m, items.Thumb, items.ThumbName, Span(horz, pos, pos + size, across), thumbState, horz,
                  gpCentre);
    if (!enabled) ShowDisabled(bmp.get(), m, items, Handle, R, TRect{0, 0, w, h});
    for (int i : {0, 1})
        if (enabled && !arrowOn[i]) ShowDisabled(bmp.get(), m, items, Handle, R, i == 0 ? first : second);
    BitBlt(DC, R.left, R.top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    return true;
}

bool PaintScrollBar(TacScrollBar* Bar, HWND Handle, HDC DC, int ThumbPos, int PressedPart, const TRect& R) {
    return PaintScrollBarImpl(Bar, Handle, DC, ThumbPos, PressedPart, R, false);
}

bool IsSizeGripPlace(const TacScrollWnd* A, HWND Handle) {
    // A grip sizes the top-level window: none where that cannot be sized.
    const HWND root = GetAncestor(Handle, GA_ROOT);
    if (root && (!(GetWindowLongPtrA(root, GWL_STYLE) & WS_THICKFRAME) || IsZoomed(root))) return false;
    if (!(GetWindowLongPtrA(Handle, GWL_STYLE) & WS_CHILD)) return true;
    const HWND parent = GetParent(Handle);
    if (!parent) return true;
    if (GetWindowLongPtrA(parent, GWL_STYLE) & WS_CHILD) return false;
    RECT w{}, pc{};
    GetWindowRect(Handle, &w);
    GetClientRect(parent, &pc);
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&pc), 2);
    if (w.bottom != pc.bottom) return false;
    return A->LeftScrollBar ? w.left == pc.left : w.right == pc.right;
}

LRESULT PaintScrollBars(TacScrollWnd* A, HWND Handle, HDC DC, int ThumbPos) {
    if (!A || !A->SkinData || !A->HorzBar || !A->VertBar || !IsWindow(Handle)) return 0;
    TsCommonData* d = A->SkinData;
    SetUpdating(d, IsUpdating(d));
    if (d->Updating) return 0;
    if (TControl* owner = d->OwnerControl) {
        auto* win = dynamic_cast<TWinControl*>(owner);
        if (owner->ControlState().Contains(csCreating) || (win && !win->Showing())) return 0;
    }
    if (d->BGChanged) SendSkinCommandToWindow(Handle, AC_PREPARECACHE, 0);
    const TWindowDC dc(Handle, DC);
    RECT w{};
    GetWindowRect(Handle, &w);
    auto local = [&](TRect r) {
        OffsetRect(&r, -w.left, -w.top);
        return r;
    };
    const TacScrollTracking& t = acScrollTracking;
    const bool tracking = t.TrackWindow == Handle;
    const TRect hr = local(HorzScrollBarRect(A, Handle)), vr = local(VertScrollBarRect(A, Handle));
    if (A->HorzBar->Visible)
        PaintScrollBar(A->HorzBar, Handle, dc, ThumbPos,
                       tracking && t.TrackBarKind == SB_HORZ ? t.ShownPressedPart : -1, hr);
    if (A->VertBar->Visible)
        PaintScrollBar(A->VertBar, Handle, dc, ThumbPos,
                       tracking && t.TrackBarKind == SB_VERT ? t.ShownPressedPart : -1, vr);
    TsSkinManager* m = A->SkinManager;
    if (A->HorzBar->Visible && A->VertBar->Visible && m && m->Active()) {
        const TRect corner{vr.left, hr.top, vr.right, hr.bottom};
        const int cw = corner.right - corner.left, ch = corner.bottom - corner.top;
        if (cw > 0 && ch > 0) {
            std::unique_ptr<TBitmap> cb = NewBitmap24(cw, ch);
            const TCacheInfo ci = WindowCache(Handle);
            // The square belongs to the bars beside it: it takes their
            // track's colour, not the window's (white on a light edit).
            const int track = ItemsOf(m, false).Track1.Section;
            if (IsValidSectionIndex(m, track)) {
                FillDC(cb->Canvas()->Handle(), TRect{0, 0, cw, ch}, TColor(m->gd()[std::size_t(track)].Color));
            } else if (ci.Ready && ci.Bmp) {
                BitBlt(cb->Canvas()->Handle(), 0, 0, cw, ch, ci.Bmp->Canvas()->Handle(), corner.left, corner.top,
                       SRCCOPY);
            } else {
                const RECT all{0, 0, cw, ch};
                HBRUSH b = CreateSolidBrush(ColorToRGB(GlobalHotColor(m)));
                FillRect(cb->Canvas()->Handle(), &all, b);
                DeleteObject(b);
            }
            const int grip = MaskIndexOf(m, m->StdIndexes().GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
            if (IsSizeGripPlace(A, Handle) && IsValidMaskIndex(m, grip)) {
                const TSize g = MaskSize(m, grip);
                PaintImageState(cb.get(), TPoint{cw - g.cx, ch - g.cy}, 0, grip, 0, m);
            }
            BitBlt(dc, corner.left, corner.top, cw, ch, cb->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
    }
    return 0;
}

void RefreshScrollBars(TacScrollWnd* A, bool Repaint) {
    if (!A || !A->HorzBar || !A->VertBar) return;
    A->HorzBar->ReadInfo();
    A->VertBar->ReadInfo();
    if (Repaint && !A->RedrawOff) PaintScrollBars(A, A->CtrlHandle, nullptr, -1);
}
