#include "acProgressBar.h"

#include "Scopes.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinnedProps.h"

#include <algorithm>
#include <cmath>

// clang-format off
CLASSLIB_DEFINE_CLASS(TsProgressBar, TProgressBar, acSkinDataProp<TsProgressBar>(),
    StrProp<TsProgressBar>("ProgressSkin", &TsProgressBar::ProgressSkin, &TsProgressBar::SetProgressSkin))
// clang-format on

double acProgressShare(int Min, int Max, int Position) {
    if (Max <= Min) return 0;
    return double(std::clamp(Position, Min, Max) - Min) / (double(Max) - Min);
}

TRect acProgressRect(int Width, int Height, int BorderWidth, bool Vertical, int Min, int Max, int Position) {
    const int b = BorderWidth + 1;
    const double share = acProgressShare(Min, Max, Position);
    if (Vertical) {
        const int top = Height - b - static_cast<int>(std::lround(share * (Height - 2 * b)));
        return top < Height - b ? TRect{b, top, Width - b, Height - b} : TRect{0, 0, 0, 0};
    }
    const int right = b + static_cast<int>(std::lround(share * (Width - 2 * b)));
    return right > b ? TRect{b, b, right, Height - b} : TRect{0, 0, 0, 0};
}

std::vector<TRect> acProgressPieces(int Width, int Height, int BorderWidth, bool Vertical, bool Smooth, int Min,
                                    int Max, int Position) {
    std::vector<TRect> pieces;
    const TRect fill = acProgressRect(Width, Height, BorderWidth, Vertical, Min, Max, Position);
    if (fill.right <= fill.left || fill.bottom <= fill.top) return pieces;
    if (Smooth) {
        pieces.push_back(fill);
        return pieces;
    }
    const int b = BorderWidth + 1;
    const TRect inside{b, b, Width - b, Height - b};
    const int thick = Vertical ? inside.right - inside.left : inside.bottom - inside.top;
    const int avail = Vertical ? inside.bottom - inside.top : inside.right - inside.left;
    const int len = static_cast<int>(std::lround(thick * 0.66)) - 2;
    if (thick < 2 || len < 2) return pieces;
    const int n = avail / (len + 2);
    if (n <= 1) return pieces;
    const int gap = (avail - n * len) / (n - 1);
    const int count = static_cast<int>(std::lround(acProgressShare(Min, Max, Position) * n));
    // Block i starts i steps from the start (the left, or up from the bottom).
    auto block = [&](int i, int length) {
        TRect r = Vertical ? TRect{inside.left, inside.bottom - i * (len + gap) - length, inside.right,
                                   inside.bottom - i * (len + gap)}
                           : TRect{inside.left + i * (len + gap), inside.top, inside.left + i * (len + gap) + length,
                                   inside.bottom};
        TRect clipped;
        if (IntersectRect(&clipped, &r, &inside)) pieces.push_back(clipped);
    };
    for (int i = 0; i < count; ++i) block(i, len);
    const int rest = avail - (count - 1) * (len + gap) - len;
    // The rest lies past the last block's gap: what of it is inside the frame.
    if (count > 0 && Position >= Max && rest > 3) block(count, rest);
    return pieces;
}

// --- TsProgressBar --------------------------------------------------------------

TsProgressBar::TsProgressBar(TComponent* AOwner)
    : TsSkinned(AOwner, acCtProgressBar, TsFrameOptions{/*UsesRegion=*/false, /*CreateCache=*/false}) {
    FControlStyle.Include(csOpaque);
}

TsProgressBar::~TsProgressBar() {
    if (HandleAllocated()) DestroyHandle();
}

void TsProgressBar::SetProgressSkin(const String& Value) {
    if (FProgressSkin == Value) return;
    FProgressSkin = Value;
    InvalidateOwner(SkinData());
}

void TsProgressBar::PaintContent(TsPaintState) {
    TsCommonData* d = SkinData();
    TsSkinManager* m = d->GetSkinManager();
    const String name = !FProgressSkin.empty() ? FProgressSkin : FOrientation == pbVertical ? "PROGRESSV" : "PROGRESSH";
    const int index = SectionIndexOf(m, name);
    if (index < 0) return;
    TBitmap* cache = d->CacheBmp;
    // The frame already in the cache shows through the pieces' see-through parts.
    const TCacheInfo self = MakeCacheInfo(cache, 0, 0);
    // The window's range: it may have been set by a message rather than a setter.
    PBRANGE range{FMin, FMax};
    if (HandleAllocated()) SendMessageA(Handle(), PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
    for (const TRect& r : acProgressPieces(Width(), Height(), BorderWidth(), FOrientation == pbVertical, FSmooth,
                                           range.iLow, range.iHigh, Position()))
        PaintSkinItem(index, name, self, false, 0, r, TPoint{r.left, r.top}, cache, m);
}

void TsProgressBar::ShowCache(HDC Target) {
    const int band = BorderWidth();
    TBitmap* cache = SkinData()->CacheBmp;
    if (band <= 0 || FPrinting) return TsSkinned::ShowCache(Target);
    if (!cache || cache->Empty()) return;
    BitBlt(Target, 0, 0, Width() - 2 * band, Height() - 2 * band, cache->Canvas()->Handle(), band, band, SRCCOPY);
    PaintBand();
}

void TsProgressBar::PaintBand() {
    const int band = BorderWidth();
    TBitmap* cache = SkinData()->CacheBmp;
    if (band <= 0 || !HandleAllocated() || !cache || cache->Width() != Width() || cache->Height() != Height()) return;
    const TWindowDC dc(Handle());
    ExcludeClipRect(dc, band, band, Width() - band, Height() - band);
    BitBlt(dc, 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

bool TsProgressBar::SkinnedMessage(TMessage& Message) {
    switch (Message.Msg) {
        // The system window invalidates itself on every change of its fill.
        case WM_PAINT: SkinData()->BGChanged = true; return false;
        case WM_PRINT: {
            // A printed picture starts at the window's corner, band and all.
            SkinData()->BGChanged = true;
            const TBoolScope printing(FPrinting, true);
            PaintSkinned(reinterpret_cast<HDC>(Message.WParam));
            return true;
        }
        case WM_NCPAINT: PaintBand(); return true;
        case PBM_SETPOS:
        case PBM_SETRANGE:
        case PBM_SETRANGE32:
        case PBM_DELTAPOS:
        case PBM_STEPIT:
            InheritedWndProc(Message);
            InvalidateOwner(SkinData());
            return true;
        default: return false;
    }
}
