#include "sGraphUtils.h"

#include "ExtCtrls.h"
#include "sAlphaGraph.h"
#include "sCommonData.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

TsSkinManager* ManagerOr(TsSkinManager* Manager) { return Manager ? Manager : DefaultManager; }

// A skin picture cut by a mask: its rows and the mask's record.
struct MaskView {
    const TsMaskData* M = nullptr;
    TacRows24 Img;
    bool Valid() const { return M && !Img.Empty(); }
    // Opacity rows lie one state height below the pictures.
    int OpacityDy() const { return M->MaskType ? M->StateHeight() : -1; }
};

MaskView ViewOf(const TsSkinManager* Manager, int MaskIndex) {
    MaskView v;
    if (!Manager || !IsValidMaskIndex(Manager, MaskIndex)) return v;
    const TacBmpImage* img = Manager->SkinData().MaskImage(MaskIndex);
    if (!img) return v;
    const TsMaskData& m = Manager->ma()[std::size_t(MaskIndex)];
    if (m.StateWidth() <= 0 || m.StateHeight() <= 0) return v;
    v.M = &m;
    v.Img = acRowsOf(*img);
    return v;
}

// Scratch rows reused by the painters (all painting runs on one thread).
std::vector<std::uint8_t>& Scratch(int which, std::size_t bytes) {
    static std::vector<std::uint8_t> buffers[4];
    std::vector<std::uint8_t>& b = buffers[which];
    if (b.size() < bytes) b.resize(bytes);
    return b;
}

// --- Slices -----------------------------------------------------------------

// Source rectangle (x, y, w, h) of a skin picture laid into a destination
// rectangle, each axis tiled or stretched (nearest pixel).
struct Slice {
    int SX, SY, SW, SH;  // in the picture
    int DX, DY, DW, DH;  // in the bitmap
    bool TileX, TileY;
};

void DrawSlice(const TacRows24& dst, const MaskView& v, const Slice& s) {
    if (s.SW <= 0 || s.SH <= 0 || s.DW <= 0 || s.DH <= 0) return;
    const int x0 = std::max(0, s.DX), x1 = std::min(dst.Width, s.DX + s.DW);
    const int y0 = std::max(0, s.DY), y1 = std::min(dst.Height, s.DY + s.DH);
    if (x0 >= x1 || y0 >= y1) return;
    const int n = x1 - x0;
    const int dy = v.OpacityDy();
    const bool direct = s.DW == s.SW;  // columns map one to one
    std::uint8_t* row = direct ? nullptr : Scratch(0, std::size_t(n) * 3).data();
    std::uint8_t* mrow = direct || dy < 0 ? nullptr : Scratch(1, std::size_t(n) * 3).data();
    for (int y = y0; y < y1; ++y) {
        const int k = y - s.DY;
        const int sy = s.SY + (s.TileY || s.DH == s.SH ? k % s.SH : int(std::int64_t(k) * s.SH / s.DH));
        const std::uint8_t* src;
        const std::uint8_t* msrc = nullptr;
        if (direct) {
            src = v.Img.At(s.SX + (x0 - s.DX), sy);
            if (dy >= 0) msrc = v.Img.At(s.SX + (x0 - s.DX), sy + dy);
        } else {
            for (int x = x0; x < x1; ++x) {
                const int c = x - s.DX;
                const int sx = s.SX + (s.TileX ? c % s.SW : int(std::int64_t(c) * s.SW / s.DW));
                std::memcpy(row + (x - x0) * 3, v.Img.At(sx, sy), 3);
                if (mrow) std::memcpy(mrow + (x - x0) * 3, v.Img.At(sx, sy + dy), 3);
            }
            src = row;
            msrc = mrow;
        }
        if (msrc) acMaskRow(dst.At(x0, y), src, msrc, n, acKeyColor);
        else acCopyRowKeyed(dst.At(x0, y), src, n, acKeyColor);
    }
}

// Where the nine parts of a border lie: corner sizes as drawn (cropped, never
// scaled, when the target is smaller than two corners).
struct NineGeometry {
    int L, T, R, B;  // corner sizes in the target
};

NineGeometry GeometryOf(const TsMaskData& m, int w, int h) {
    NineGeometry g{m.WL, m.WT, m.WR, m.WB};
    auto fit = [](int& a, int& b, int size) {
        if (a + b <= size) return;
        const int sum = a + b;
        a = sum > 0 ? int(std::int64_t(size) * a / sum) : 0;
        b = size - a;
    };
    fit(g.L, g.R, w);
    fit(g.T, g.B, h);
    return g;
}

// The corner slices of state State placed in R: 0 top left, 1 bottom left,
// 2 top right, 3 bottom right (the order of the corner bits).
Slice CornerSlice(const TacRect& st, const NineGeometry& g, const TRect& R, int corner) {
    const bool right = corner >= 2, bottom = corner == 1 || corner == 3;
    Slice s{};
    s.SW = s.DW = right ? g.R : g.L;
    s.SH = s.DH = bottom ? g.B : g.T;
    s.SX = right ? st.Right - g.R : st.Left;
    s.SY = bottom ? st.Bottom - g.B : st.Top;
    s.DX = right ? R.right - g.R : R.left;
    s.DY = bottom ? R.bottom - g.B : R.top;
    return s;
}

void DrawNineSlice(const TacRows24& dst, const MaskView& v, int state, const TRect& R, bool fillCentre) {
    const TsMaskData& m = *v.M;
    const TacRect st = m.StateRect(state);
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (w <= 0 || h <= 0) return;
    const NineGeometry g = GeometryOf(m, w, h);
    // Source middles: what lies between the full corners of the picture.
    const int smx = st.Left + m.WL, smw = st.Width() - m.WL - m.WR;
    const int smy = st.Top + m.WT, smh = st.Height() - m.WT - m.WB;
    const int dmx = R.left + g.L, dmw = w - g.L - g.R;
    const int dmy = R.top + g.T, dmh = h - g.T - g.B;
    for (int c = 0; c < 4; ++c) DrawSlice(dst, v, CornerSlice(st, g, R, c));
    const bool ts = m.TileSides, tc = m.TileCentre;
    DrawSlice(dst, v, Slice{smx, st.Top, smw, g.T, dmx, int(R.top), dmw, g.T, ts, false});                    // top
    DrawSlice(dst, v, Slice{smx, st.Bottom - g.B, smw, g.B, dmx, int(R.bottom) - g.B, dmw, g.B, ts, false});  // bottom
    DrawSlice(dst, v, Slice{st.Left, smy, g.L, smh, int(R.left), dmy, g.L, dmh, false, ts});                  // left
    DrawSlice(dst, v, Slice{st.Right - g.R, smy, g.R, smh, int(R.right) - g.R, dmy, g.R, dmh, false, ts});    // right
    if (fillCentre) DrawSlice(dst, v, Slice{smx, smy, smw, smh, dmx, dmy, dmw, dmh, tc, tc});
}

bool IsKeyPixel(const std::uint8_t* p) { return p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF; }

// Runs of key pixels of a slice (corners map one to one) as rectangles in
// the bitmap, clipped to W x H.
void KeyRuns(const MaskView& v, const Slice& s, int w, int h, std::vector<TRect>& out) {
    for (int k = 0; k < s.DH; ++k) {
        const int y = s.DY + k;
        if (y < 0 || y >= h) continue;
        const std::uint8_t* row = v.Img.At(s.SX, s.SY + k);
        int x = 0;
        while (x < s.DW) {
            while (x < s.DW && !IsKeyPixel(row + x * 3)) ++x;
            const int start = x;
            while (x < s.DW && IsKeyPixel(row + x * 3)) ++x;
            const int l = std::max(0, s.DX + start), r = std::min(w, s.DX + x);
            if (r > l) out.push_back(TRect{l, y, r, y + 1});
        }
    }
}

HRGN RegionOfRects(const std::vector<TRect>& rects) {
    if (rects.empty()) return nullptr;
    std::vector<std::uint8_t> buf(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buf.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = DWORD(rects.size());
    data->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
    TRect bound = rects.front();
    for (const TRect& r : rects) UnionRect(&bound, &bound, &r);
    data->rdh.rcBound = bound;
    std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, DWORD(buf.size()), data);
}

// --- Backgrounds -------------------------------------------------------------

// What shows through see-through parts: a rectangle of the parent's picture,
// gathered before painting (the parent may be the bitmap painted into).
struct ParentRows {
    std::vector<std::uint8_t> Pixels;
    int W = 0, H = 0;
    bool Any = false;                 // some pixel is known (from the picture or a colour)
    std::vector<std::uint8_t> Known;  // per pixel: 1 when known
    const std::uint8_t* Row(int y) const { return Pixels.data() + std::size_t(y) * W * 3; }
    const std::uint8_t* KnownRow(int y) const { return Known.data() + std::size_t(y) * W; }
};

std::uint32_t KnownParentColor() {
    if (acParentColor != acNoColor) return PixelColor(acParentColor);
    if (acParentColor2 != acNoColor) return PixelColor(acParentColor2);
    return acNoKey;
}

// The parent colour to stand in for a picture that is not ready: the colours
// a caller has set first, then the parent control's own Color.
std::uint32_t FallbackParentColor(bool CacheReady, const TControl* Parent) {
    if (acParentColor != acNoColor) return PixelColor(acParentColor);
    if (!CacheReady && Parent) return PixelColor(TColor(ColorToRGB(Parent->Color())));
    return KnownParentColor();
}

// The parent's pixels under a W x H rectangle whose top-left corner lies at
// (X, Y) of the parent's picture; Fallback (a pixel colour, or acNoKey for
// none) stands in where the picture does not reach.
ParentRows GatherParent(const TCacheInfo& ci, int x, int y, int w, int h, std::uint32_t color) {
    ParentRows p;
    p.W = w;
    p.H = h;
    p.Pixels.assign(std::size_t(w) * h * 3, 0);
    p.Known.assign(std::size_t(w) * h, 0);
    if (color != acNoKey) {
        TacRows24 all{p.Pixels.data(), w, h, std::ptrdiff_t(w) * 3};
        acFillRect(all, 0, 0, w, h, color);
        std::fill(p.Known.begin(), p.Known.end(), 1);
        p.Any = true;
    }
    if (ci.Ready && ci.Bmp) {
        const TacRows24 src = RowsOf(ci.Bmp);
        if (!src.Empty()) {
            const TacSpan s = acClipSpan(TacSpan{0, 0, ci.X + x, ci.Y + y, w, h}, w, h, src.Width, src.Height);
            for (int r = 0; r < s.H; ++r) {
                std::memcpy(p.Pixels.data() + (std::size_t(s.DstY + r) * w + s.DstX) * 3, src.At(s.SrcX, s.SrcY + r),
                            std::size_t(s.W) * 3);
                std::memset(p.Known.data() + std::size_t(s.DstY + r) * w + s.DstX, 1, std::size_t(s.W));
            }
            if (!s.Empty()) p.Any = true;
        }
    }
    return p;
}

// Blends a row toward the known parent pixels by Weight.
void BlendTowardParent(std::uint8_t* dst, const std::uint8_t* parent, const std::uint8_t* known, int n, int weight) {
    int x = 0;
    while (x < n) {
        while (x < n && !known[x]) ++x;
        const int start = x;
        while (x < n && known[x]) ++x;
        if (x > start) acBlendBytes(dst + start * 3, parent + start * 3, std::size_t(x - start) * 3, weight);
    }
}

struct Background {
    std::uint32_t Color = 0;  // pixel colour
    const TacGradient* Gradient = nullptr;
    int GradientPercent = 0;
    MaskView Texture;
    int ImagePercent = 0;
    int Transparency = 0;
};

void PaintBackground(const TacRows24& dst, const TRect& R, const Background& b, const TCacheInfo& ci,
                     TPoint parentPoint) {
    const int w = R.right - R.left, h = R.bottom - R.top;
    const std::size_t bytes = std::size_t(w) * 3;
    ParentRows parent;
    if (b.Transparency > 0) parent = GatherParent(ci, parentPoint.x, parentPoint.y, w, h, KnownParentColor());

    // Colour and gradient.
    const bool gradient = b.Gradient && !b.Gradient->Empty() && b.GradientPercent > 0;
    const int gw = acWeightOfTransparencyPercent(100 - b.GradientPercent);
    auto mixed = [&](std::uint32_t g) {
        std::uint8_t px[3];
        acFillRow(px, 1, b.Color);
        std::uint8_t gp[3];
        acFillRow(gp, 1, PixelColor(TColor(g)));
        acBlendBytes(px, gp, 3, gw);
        return std::uint32_t(px[2]) | (std::uint32_t(px[1]) << 8) | (std::uint32_t(px[0]) << 16);
    };
    if (gradient && b.Gradient->Direction == gdHorizontal) {
        std::uint8_t* line = Scratch(2, bytes).data();
        for (int x = 0; x < w; ++x) acFillRow(line + x * 3, 1, mixed(b.Gradient->ColorAt(x, w)));
        for (int y = 0; y < h; ++y) std::memcpy(dst.At(R.left, R.top + y), line, bytes);
    } else {
        for (int y = 0; y < h; ++y)
            acFillRow(dst.At(R.left, R.top + y), w, gradient ? mixed(b.Gradient->ColorAt(y, h)) : b.Color);
    }

    // Texture, tiled from the rectangle's corner (or stretched when the mask says so).
    if (b.Texture.Valid() && b.ImagePercent > 0) {
        const int weight = acWeightOfTransparencyPercent(100 - b.ImagePercent);
        const TacRect st = b.Texture.M->StateRect(0);
        const bool tile = b.Texture.M->TileCentre;
        // One laid-out row per texture row: a tiled texture repeats them.
        const int rows = tile ? std::min(h, st.Height()) : h;
        std::uint8_t* lines = Scratch(2, bytes * std::size_t(rows)).data();
        for (int k = 0; k < rows; ++k) {
            const int sy = st.Top + (tile ? k : int(std::int64_t(k) * st.Height() / h));
            std::uint8_t* line = lines + bytes * std::size_t(k);
            const std::uint8_t* src = b.Texture.Img.At(st.Left, sy);
            if (tile) {
                // The texture's row once, then doubled copies of what is done.
                const std::size_t once = std::min<std::size_t>(bytes, std::size_t(st.Width()) * 3);
                std::memcpy(line, src, once);
                for (std::size_t done = once; done < bytes;) {
                    const std::size_t n = std::min(done, bytes - done);
                    std::memcpy(line + done, line, n);
                    done += n;
                }
            } else {
                acStretchRow(line, w, src, st.Width());
            }
        }
        for (int y = 0; y < h; ++y)
            acBlendRowKeyed(dst.At(R.left, R.top + y), lines + bytes * std::size_t(tile ? y % rows : y), w, weight,
                            acKeyColor, false);
    }

    // The parent's picture through the see-through share.
    if (b.Transparency > 0 && parent.Any) {
        const int weight = acWeightOfTransparencyPercent(100 - b.Transparency);
        for (int y = 0; y < h; ++y)
            BlendTowardParent(dst.At(R.left, R.top + y), parent.Row(y), parent.KnownRow(y), w, weight);
    }
}

int TextureFor(const TsSkinManager* m, int skinIndex, const String& section, int given, const char* name) {
    if (given == acOwnTexture) return MaskIndexOf(m, skinIndex, section, name);
    return IsValidMaskIndex(m, given) ? given : -1;
}

Background BackgroundOf(const TsSkinManager* m, const TsGeneralData& gd, int state, int texture, int hotTexture) {
    const bool hot = state > 0;
    Background b;
    b.Color = PixelColor(TColor(hot ? gd.HotColor : gd.Color));
    b.Gradient = hot ? &gd.HotGradient : &gd.Gradient;
    b.GradientPercent = gd.GradientPercent;
    const int tex = hot && IsValidMaskIndex(m, hotTexture) ? hotTexture : texture;
    b.Texture = ViewOf(m, tex);
    b.ImagePercent = hot ? gd.HotImagePercent : gd.ImagePercent;
    b.Transparency = hot ? gd.HotTransparency : gd.Transparency;
    return b;
}

void PaintCornerImages(const TacRows24& dst, const TsSkinManager* m, int skinIndex, const String& section,
                       const TRect& R) {
    static const char* const names[4] = {"IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT"};
    for (int i = 0; i < 4; ++i) {
        const MaskView v = ViewOf(m, MaskIndexOf(m, skinIndex, section, names[i]));
        if (!v.Valid()) continue;
        const TacRect st = v.M->StateRect(0);
        const int w = std::min(st.Width(), int(R.right - R.left)), h = std::min(st.Height(), int(R.bottom - R.top));
        const bool right = i == 1 || i == 3, bottom = i >= 2;
        Slice s{right ? st.Right - w : st.Left,
                bottom ? st.Bottom - h : st.Top,
                w,
                h,
                right ? int(R.right) - w : int(R.left),
                bottom ? int(R.bottom) - h : int(R.top),
                w,
                h,
                false,
                false};
        DrawSlice(dst, v, s);
    }
}

struct ItemArgs {
    TsSkinManager* Manager = nullptr;
    int SkinIndex = -1;
    String Section;
    int Border = -1, Texture = -1, HotTexture = -1;
    bool FillCentre = false;
    bool UseCustomColor = false;
    TColor CustomColor = 0;
    bool BorderAndCorners = true;
};

void PaintItem(const ItemArgs& a, const TCacheInfo& ci, int state, const TRect& R, TPoint parentPoint,
               TBitmap* bitmap) {
    TsSkinManager* m = a.Manager;
    if (!m || !IsValidSectionIndex(m, a.SkinIndex) || !RectFitsBitmap(R, bitmap)) return;
    const TacRows24 dst = RowsOf(bitmap);
    if (dst.Empty()) return;
    const TsGeneralData& gd = m->gd()[std::size_t(a.SkinIndex)];
    Background b = BackgroundOf(m, gd, state, a.Texture, a.HotTexture);
    if (a.UseCustomColor) b.Color = PixelColor(a.CustomColor);
    PaintBackground(dst, R, b, ci, parentPoint);
    if (!a.BorderAndCorners) return;
    const MaskView border = ViewOf(m, a.Border);
    if (border.Valid() && !(state == 0 && border.M->SkipNormal))
        DrawNineSlice(dst, border, state, R, a.FillCentre && border.M->DrawCentre);
    PaintCornerImages(dst, m, a.SkinIndex, a.Section.empty() ? gd.Name : a.Section, R);
}

// The parent colours take the owner's parent's Color while a data item is
// painted, unless a caller has set them; they are put back afterwards.
class ParentColorScope {
public:
    explicit ParentColorScope(const TsCommonData* data) : FOld1(acParentColor), FOld2(acParentColor2) {
        TControl* owner = data ? data->OwnerControl : nullptr;
        if (owner && owner->Parent()) {
            const TColor c = TColor(ColorToRGB(owner->Parent()->Color()));
            if (acParentColor == acNoColor) acParentColor = c;
            if (acParentColor2 == acNoColor) acParentColor2 = c;
        }
    }
    ~ParentColorScope() {
        acParentColor = FOld1;
        acParentColor2 = FOld2;
    }
    ParentColorScope(const ParentColorScope&) = delete;
    ParentColorScope& operator=(const ParentColorScope&) = delete;

private:
    TColor FOld1, FOld2;
};

ItemArgs DataArgs(TsCommonData* data) {
    ItemArgs a;
    a.Manager = data->GetSkinManager();
    a.SkinIndex = data->SkinIndex;
    a.Border = data->BorderIndex;
    a.Texture = IsValidMaskIndex(a.Manager, data->Texture) ? data->Texture : -1;
    a.HotTexture = IsValidMaskIndex(a.Manager, data->HotTexture) ? data->HotTexture : -1;
    if (data->CustomColor() && data->OwnerControl) {
        a.UseCustomColor = true;
        a.CustomColor = data->OwnerControl->Color();
    }
    return a;
}

}  // namespace

bool RectFitsBitmap(const TRect& R, const TBitmap* Bitmap) {
    return Bitmap && !Bitmap->Empty() && R.right > R.left && R.bottom > R.top && R.left >= 0 && R.top >= 0 &&
           R.right <= Bitmap->Width() && R.bottom <= Bitmap->Height();
}

// --- Skin items ---------------------------------------------------------------

void PaintSkinItem(int SkinIndex, const String& Section, const TCacheInfo& ParentCache, bool BorderFlag, int State,
                   const TRect& R, TPoint ParentPoint, TBitmap* Bitmap, TsSkinManager* Manager, int TextureIndex,
                   int HotTextureIndex) {
    TsSkinManager* m = ManagerOr(Manager);
    if (!m || !IsValidSectionIndex(m, SkinIndex)) return;
    ItemArgs a;
    a.Manager = m;
    a.SkinIndex = SkinIndex;
    a.Section = Section.empty() ? m->gd()[std::size_t(SkinIndex)].Name : Section;
    a.Border = MaskIndexOf(m, SkinIndex, a.Section, "BORDERSMASK");
    a.Texture = TextureFor(m, SkinIndex, a.Section, TextureIndex, "PATTERN");
    a.HotTexture = TextureFor(m, SkinIndex, a.Section, HotTextureIndex, "HOTPATTERN");
    a.FillCentre = BorderFlag;
    // ParentPoint places the bitmap: the rectangle lies R's corner further on.
    const TPoint at{ParentPoint.x + R.left, ParentPoint.y + R.top};
    PaintItem(a, ParentCache, State, R, at, Bitmap);
}

void PaintSkinItemFast(int SectionIndex, int MaskIndex, int TextureIndex, TsSkinManager* Manager, TBitmap* Bitmap,
                       TPoint CachePoint, const TRect& R, int State, bool Flag, const TCacheInfo& CacheInfo,
                       const String& SectionName, int HotTextureIndex) {
    TsSkinManager* m = ManagerOr(Manager);
    if (!m || !IsValidSectionIndex(m, SectionIndex)) return;
    ItemArgs a;
    a.Manager = m;
    a.SkinIndex = SectionIndex;
    a.Section = SectionName;
    a.Border = MaskIndex;
    a.Texture = IsValidMaskIndex(m, TextureIndex) ? TextureIndex : -1;
    a.HotTexture = IsValidMaskIndex(m, HotTextureIndex) ? HotTextureIndex : -1;
    a.FillCentre = Flag;
    PaintItem(a, CacheInfo, State, R, CachePoint, Bitmap);
}

void PaintDataItem(TsCommonData* SkinData, const TCacheInfo& ParentCache, bool Flag, TBitmap* Bitmap, TPoint Offset,
                   const TRect& R, int State) {
    if (!SkinData) return;
    ItemArgs a = DataArgs(SkinData);
    a.FillCentre = Flag;
    ParentColorScope colors(SkinData);
    PaintItem(a, ParentCache, State, R, Offset, Bitmap);
}

void PaintDataItemBackground(TsCommonData* SkinData, const TCacheInfo& ParentCache, int State, TBitmap* Bitmap,
                             TPoint Offset, const TRect& R) {
    if (!SkinData) return;
    ItemArgs a = DataArgs(SkinData);
    a.BorderAndCorners = false;
    PaintItem(a, ParentCache, State, R, Offset, Bitmap);
}

void PaintItemToDC(int SectionIndex, const String& SectionName, const TCacheInfo& ParentCache, TsSkinManager* Manager,
                   HDC DC, TPoint Offset, const TRect& R, int State) {
    TsSkinManager* m = ManagerOr(Manager);
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (!DC || !m || !IsValidSectionIndex(m, SectionIndex) || w <= 0 || h <= 0) return;
    std::unique_ptr<TBitmap> bmp = NewBitmap24(w, h);
    PaintSkinItem(SectionIndex, SectionName, ParentCache, true, State, TRect{0, 0, w, h}, Offset, bmp.get(), m);
    BitBlt(DC, R.left, R.top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// --- Masks ----------------------------------------------------------------------

void PaintBorderWithRegion(TBitmap* Bitmap, HRGN Region, bool UpdateRegion, int State, int Mask,
                           TsSkinManager* Manager) {
    const TsSkinManager* m = ManagerOr(Manager);
    const MaskView v = ViewOf(m, Mask);
    const TacRows24 dst = RowsOf(Bitmap);
    if (!v.Valid() || dst.Empty() || State < 0) return;
    if (State == 0 && v.M->SkipNormal) return;
    const TRect all{0, 0, dst.Width, dst.Height};
    DrawNineSlice(dst, v, State, all, v.M->DrawCentre);
    if (!UpdateRegion || !Region) return;
    // The key pixels of the corners are outside the shape: cut them all in one go.
    const TacRect st = v.M->StateRect(State);
    const NineGeometry g = GeometryOf(*v.M, dst.Width, dst.Height);
    std::vector<TRect> rects;
    for (int c = 0; c < 4; ++c) KeyRuns(v, CornerSlice(st, g, all, c), dst.Width, dst.Height, rects);
    if (HRGN cut = RegionOfRects(rects)) {
        CombineRgn(Region, Region, cut, RGN_DIFF);
        DeleteObject(cut);
    }
}

void BorderMaskRegionRects(std::vector<TRect>& Rects, int Mask, int Width, int Edge, int Y, TsSkinManager* Manager,
                           int State) {
    const MaskView v = ViewOf(ManagerOr(Manager), Mask);
    if (!v.Valid() || Width <= 0 || (Edge != 0 && Edge != 1)) return;
    const TsMaskData& m = *v.M;
    const TacRect st = m.StateRect(State);
    const int rows = Edge == 0 ? m.WT : m.WB;
    const int sy0 = Edge == 0 ? st.Top : st.Bottom - m.WB;
    NineGeometry g = GeometryOf(m, Width, st.Height());
    const int smx = st.Left + m.WL, smw = st.Width() - m.WL - m.WR;
    for (int k = 0; k < rows; ++k) {
        const std::uint8_t* src = v.Img.Row(sy0 + k);
        // One row of the window's edge: left corner, side, right corner.
        auto keyAt = [&](int x) -> bool {
            int sx;
            if (x < g.L) sx = st.Left + x;
            else if (x >= Width - g.R) sx = st.Right - (Width - x);
            else if (smw > 0)
                sx = smx + (m.TileSides ? (x - g.L) % smw
                                        : int(std::int64_t(x - g.L) * smw / std::max(1, Width - g.L - g.R)));
            else return false;
            return IsKeyPixel(src + sx * 3);
        };
        int x = 0;
        while (x < Width) {
            while (x < Width && !keyAt(x)) ++x;
            const int start = x;
            while (x < Width && keyAt(x)) ++x;
            if (x > start) Rects.push_back(TRect{start, Y + k, x, Y + k + 1});
        }
    }
}

HRGN RegionWithoutRects(int Width, int Height, const std::vector<TRect>& Rects) {
    HRGN rgn = CreateRectRgn(0, 0, std::max(0, Width), std::max(0, Height));
    if (HRGN cut = RegionOfRects(Rects)) {
        CombineRgn(rgn, rgn, cut, RGN_DIFF);
        DeleteObject(cut);
    }
    return rgn;
}

void PaintNineSliceTemplate(TBitmap* Bitmap, bool FillCentre, int State, int Mask, const TRect& R,
                            TsSkinManager* Manager) {
    const MaskView v = ViewOf(ManagerOr(Manager), Mask);
    const TacRows24 dst = RowsOf(Bitmap);
    if (!v.Valid() || dst.Empty() || State < 0 || !RectFitsBitmap(R, Bitmap)) return;
    DrawNineSlice(dst, v, State, R, FillCentre);
}

void PaintImageState(TBitmap* Bitmap, TPoint P, int State, int Mask, int, TsSkinManager* Manager) {
    const MaskView v = ViewOf(ManagerOr(Manager), Mask);
    const TacRows24 dst = RowsOf(Bitmap);
    if (!v.Valid() || dst.Empty() || State < 0) return;
    const TacRect st = v.M->StateRect(State);
    DrawSlice(
        dst, v,
        Slice{st.Left, st.Top, st.Width(), st.Height(), int(P.x), int(P.y), st.Width(), st.Height(), false, false});
}

// --- Corners and disabled looks ----------------------------------------------------

void RepairCorners(TsCommonData* SkinData, int State, int CornerMask) {
    if (!SkinData || (CornerMask & 15) == 0) return;
    TsSkinManager* m = SkinData->GetSkinManager();
    TControl* owner = SkinData->OwnerControl;
    const MaskView v = ViewOf(m, SkinData->BorderIndex);
    const TacRows24 dst = RowsOf(SkinData->CacheBmp);
    if (!v.Valid() || dst.Empty() || !owner || owner->Width() < 2 || owner->Height() < 2 || State < 0) return;
    const TacRect st = v.M->StateRect(State);
    const TRect all{0, 0, dst.Width, dst.Height};
    const NineGeometry g = GeometryOf(*v.M, dst.Width, dst.Height);
    std::vector<TRect> keys;
    static const int bits[4] = {1, 2, 4, 8};
    for (int c = 0; c < 4; ++c)
        if (CornerMask & bits[c]) KeyRuns(v, CornerSlice(st, g, all, c), dst.Width, dst.Height, keys);
    if (keys.empty()) return;
    const TColor old1 = acParentColor, old2 = acParentColor2;
    const TCacheInfo ci = ParentCacheOf(SkinData);
    const std::uint32_t fallback = FallbackParentColor(ci.Ready, owner->Parent());
    // Asking for the picture may let the parent repaint, which leaves its own
    // parent colours behind: the caller's stay.
    acParentColor = old1;
    acParentColor2 = old2;
    // Only the rectangle around the key pixels is gathered.
    TRect box = keys.front();
    for (const TRect& r : keys) UnionRect(&box, &box, &r);
    const int bw = box.right - box.left;
    const ParentRows parent =
        GatherParent(ci, owner->Left() + box.left, owner->Top() + box.top, bw, box.bottom - box.top, fallback);
    for (const TRect& r : keys) {
        const std::uint8_t* known = parent.KnownRow(r.top - box.top);
        const std::uint8_t* row = parent.Row(r.top - box.top);
        for (int x = r.left; x < r.right; ++x)
            if (known[x - box.left]) std::memcpy(dst.At(x, r.top), row + (x - box.left) * 3, 3);
    }
}

void RepairAllCorners(TsCommonData* SkinData, int State) { RepairCorners(SkinData, State, 15); }

void ApplyDisabledLook(TBitmap* Bitmap, TsDisabledKind DisabledKind, TControl* Parent, TPoint Offset,
                       const TCacheInfo& ParentCache) {
    const TacRows24 dst = RowsOf(Bitmap);
    if (dst.Empty()) return;
    if (DisabledKind.Contains(dkGrayed))
        for (int y = 0; y < dst.Height; ++y) acGrayRow(dst.Row(y), dst.Width);
    if (!DisabledKind.Contains(dkBlended)) return;
    const ParentRows parent = GatherParent(ParentCache, Offset.x, Offset.y, dst.Width, dst.Height,
                                           FallbackParentColor(ParentCache.Ready, Parent));
    if (!parent.Any) return;
    for (int y = 0; y < dst.Height; ++y)
        BlendTowardParent(dst.Row(y), parent.Row(y), parent.KnownRow(y), dst.Width, 128);
}

// --- Children over a cache -------------------------------------------------------

namespace {

// A splitter, skinned or not, shows its container's picture through it.
bool IsSplitter(const TControl* c) { return dynamic_cast<const TSplitter*>(c) != nullptr; }

bool Designing(const TControl* c) { return c->ComponentState().Contains(csDesigning); }

// The container's picture as it answers command 5.
TCacheInfo CacheOfContainer(TWinControl* Container) {
    ParentCacheInfo.Ready = false;
    SendSkinCommand(Container, AC_GETCACHE, 0);
    TCacheInfo ci = ParentCacheInfo;
    if (!ci.Ready || !ci.Bmp || RowsOf(ci.Bmp).Empty()) ci.Ready = false;
    return ci;
}

}  // namespace

TacPlainArea PlainAreaIn(TBitmap* Bmp, const TRect& R) {
    // Wider edges than a frame's inner lines are not worth the strips.
    constexpr int kMaxEdge = 8;
    TacPlainMiddle m;
    if (!Bmp || !acPlainMiddle(RowsOf(Bmp), R.left, R.top, R.right - R.left, R.bottom - R.top, kMaxEdge, m)) return {};
    return TacPlainArea{TColor(m.Color), m.Left, m.Top, m.Right, m.Bottom};
}

void CopyOrFill(HDC DC, const TRect& Dest, TBitmap* Src, TPoint SrcOrigin, const TacPlainArea& Plain) {
    if (!Src) return;
    HDC src = Src->Canvas()->Handle();
    auto copy = [&](int x, int y, int w, int h) {
        if (w > 0 && h > 0)
            BitBlt(DC, Dest.left + x, Dest.top + y, w, h, src, SrcOrigin.x + x, SrcOrigin.y + y, SRCCOPY);
    };
    const int w = Dest.right - Dest.left, h = Dest.bottom - Dest.top;
    if (Plain.Color == clNone) return copy(0, 0, w, h);
    const RECT middle{Dest.left + Plain.Left, Dest.top + Plain.Top, Dest.right - Plain.Right,
                      Dest.bottom - Plain.Bottom};
    // The DC's own brush: no brush object made and freed at every paint.
    const COLORREF before = SetDCBrushColor(DC, ColorToRGB(Plain.Color));
    FillRect(DC, &middle, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(DC, before);
    copy(0, 0, w, Plain.Top);
    copy(0, h - Plain.Bottom, w, Plain.Bottom);
    copy(0, Plain.Top, Plain.Left, h - Plain.Top - Plain.Bottom);
    copy(w - Plain.Right, Plain.Top, Plain.Right, h - Plain.Top - Plain.Bottom);
}

void PaintChildControlsInto(TWinControl* Control, TsCommonData* SkinData, TPoint SourceOrigin, int OffsetY, int OffsetX,
                            bool CornerRepair, HDC DC, const TRect& DestRect, const TacPlainArea& Plain) {
    if (!Control || !SkinData || !DC || DestRect.right <= DestRect.left || DestRect.bottom <= DestRect.top) return;
    TBitmap* cache = SkinData->CacheBmp;
    if (!cache || cache->Empty()) return;
    if (CornerRepair) RepairAllCorners(SkinData, 0);
    const int saved = SaveDC(DC);
    IntersectClipRect(DC, DestRect.left, DestRect.top, DestRect.right, DestRect.bottom);
    // The control's own DC of a window that clips its children leaves them
    // out already, window regions and all: asking each child for its region
    // would cost two round trips to the window server per child and paint.
    const bool childrenClipped = Control->HandleAllocated() && WindowFromDC(DC) == Control->Handle() &&
                                 (GetWindowLongPtrA(Control->Handle(), GWL_STYLE) & WS_CLIPCHILDREN);
    for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* c = Control->Controls(i);
        if (!c || IsSplitter(c) || c->Width() <= 0 || c->Height() <= 0) continue;
        if (!c->Visible() && !Designing(c)) continue;
        if (childrenClipped && dynamic_cast<TWinControl*>(c) && static_cast<TWinControl*>(c)->HandleAllocated())
            continue;
        // Windowed children paint themselves; graphic ones are painted over
        // the cache afterwards (PaintGraphicChildren); opaque and designed
        // ones cover their place anyway.
        const TRect r = c->BoundsRect();
        // A child cut by a window region (a skinned button's rounded
        // corners) leaves the corners outside it to the container: keep the
        // cache there, or they stay unpainted.
        auto* wc = dynamic_cast<TWinControl*>(c);
        // GetWindowRgnBox makes nothing: a region object is made only for a
        // window that has a region.
        RECT box;
        HRGN shape = wc && wc->HandleAllocated() && GetWindowRgnBox(wc->Handle(), &box) != ERROR
                         ? CreateRectRgn(0, 0, 0, 0)
                         : nullptr;
        if (shape && GetWindowRgn(wc->Handle(), shape) != ERROR) {
            POINT at{r.left + OffsetX, r.top + OffsetY};
            LPtoDP(DC, &at, 1);  // ExtSelectClipRgn works in device units
            OffsetRgn(shape, at.x, at.y);
            ExtSelectClipRgn(DC, shape, RGN_DIFF);
        } else {
            ExcludeClipRect(DC, r.left + OffsetX, r.top + OffsetY, r.right + OffsetX, r.bottom + OffsetY);
        }
        if (shape) DeleteObject(shape);
    }
    CopyOrFill(DC, DestRect, cache, SourceOrigin, Plain);
    RestoreDC(DC, saved);
}

void PaintGraphicChildren(HDC DC, TWinControl* Container, bool Repaint, TControl* Except, TPoint Offset) {
    if (!DC || !Container) return;
    std::vector<TControl*> children;
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* c = Container->Controls(i);
        if (c && c != Except && !dynamic_cast<TWinControl*>(c) && (c->Visible() || Designing(c)) && c->Width() > 0 &&
            c->Height() > 0)
            children.push_back(c);
    }
    if (children.empty()) return;
    const TCacheInfo ci = CacheOfContainer(Container);
    // One scratch picture for all children, as large as the largest; each
    // child sees only its own corner of it, cleared as a new bitmap would be.
    int maxW = 0, maxH = 0;
    for (TControl* c : children) {
        maxW = std::max(maxW, c->Width());
        maxH = std::max(maxH, c->Height());
    }
    std::unique_ptr<TBitmap> bmp;
    for (TControl* c : children) {
        TRect r = c->BoundsRect();
        OffsetRect(&r, Offset.x, Offset.y);
        if (!RectVisible(DC, &r)) continue;
        const int w = c->Width(), h = c->Height();
        if (!bmp) bmp = NewBitmap24(maxW, maxH);
        else acFillRect(RowsOf(bmp.get()), 0, 0, w, h, 0);
        HDC mem = bmp->Canvas()->Handle();
        if (ci.Ready) {
            const TacRows24 dst = RowsOf(bmp.get());
            acCopyRect(dst, RowsOf(ci.Bmp), TacSpan{0, 0, ci.X + c->Left(), ci.Y + c->Top(), w, h});
        } else {
            BitBlt(mem, 0, 0, w, h, DC, r.left, r.top, SRCCOPY);
        }
        if (Repaint) SendSkinCommand(c, AC_SETBGCHANGED, 0);
        const int saved = SaveDC(mem);
        IntersectClipRect(mem, 0, 0, w, h);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
        RestoreDC(mem, saved);
        BitBlt(DC, r.left, r.top, w, h, mem, 0, 0, SRCCOPY);
    }
}

void PaintChildWindowsInto(HWND Window, TsCommonData* Data, HDC DC, const TRect& R) {
    if (!Window || !Data || !DC || !Data->CacheBmp || Data->CacheBmp->Empty()) return;
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (w <= 0 || h <= 0) return;
    std::vector<HWND> kids;
    for (HWND c = GetWindow(Window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetWindowLongPtrA(c, GWL_STYLE) & WS_VISIBLE) kids.push_back(c);  // the container may be off screen
    // Nothing to lay over the cache (a group box in a dialog frames its
    // siblings): no working copy of it either.
    if (kids.empty()) {
        BitBlt(DC, R.left, R.top, w, h, Data->CacheBmp->Canvas()->Handle(), R.left, R.top, SRCCOPY);
        return;
    }
    TBitmap work;
    work.Assign(Data->CacheBmp);
    HDC mem = work.Canvas()->Handle();
    // Bottom of the z order first, so that windows on top end on top. Each
    // prints into a bitmap of its own at the origin (system controls do not
    // all print into a DC whose origin was moved), laid over the cache's
    // pixels under it for the parts it leaves.
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
        RECT cr;
        GetWindowRect(*it, &cr);
        MapWindowPoints(nullptr, Window, reinterpret_cast<POINT*>(&cr), 2);
        const int cw = cr.right - cr.left, ch = cr.bottom - cr.top;
        if (cw <= 0 || ch <= 0) continue;
        std::unique_ptr<TBitmap> pic = NewBitmap24(cw, ch);
        HDC pdc = pic->Canvas()->Handle();
        BitBlt(pdc, 0, 0, cw, ch, mem, cr.left, cr.top, SRCCOPY);
        SendMessageA(*it, WM_PRINT, reinterpret_cast<WPARAM>(pdc),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
        BitBlt(mem, cr.left, cr.top, cw, ch, pdc, 0, 0, SRCCOPY);
    }
    BitBlt(DC, R.left, R.top, w, h, mem, R.left, R.top, SRCCOPY);
}

void CopyBorderStrips(HDC DestDC, int X, int Y, int StripWidth, HDC SourceDC, int Width, int Height) {
    if (!DestDC || !SourceDC || StripWidth <= 0 || Width <= 0 || Height <= 0) return;
    const int s = std::min({StripWidth, Width, Height});
    const int middle = std::max(0, Height - 2 * s);
    BitBlt(DestDC, X, Y, Width, s, SourceDC, 0, 0, SRCCOPY);
    BitBlt(DestDC, X, Y + Height - s, Width, s, SourceDC, 0, Height - s, SRCCOPY);
    if (middle > 0) {
        BitBlt(DestDC, X, Y + s, s, middle, SourceDC, 0, s, SRCCOPY);
        BitBlt(DestDC, X + Width - s, Y + s, s, middle, SourceDC, Width - s, s, SRCCOPY);
    }
}

// --- Glyphs ---------------------------------------------------------------------

int ImageCountOf(TCustomImageList* ImageList) { return ImageList ? ImageList->Count() : 0; }

namespace {

// Image Index of the list on the key colour, in a bitmap of the list's size.
std::unique_ptr<TBitmap> ImageOnKey(TCustomImageList* Images, int Index) {
    if (!Images || Index < 0 || Index >= Images->Count() || Images->Width() <= 0 || Images->Height() <= 0)
        return nullptr;
    std::unique_ptr<TBitmap> bmp = NewBitmap24(Images->Width(), Images->Height());
    const TacRows24 rows = RowsOf(bmp.get());
    acFillRect(rows, 0, 0, rows.Width, rows.Height, acKeyColor);
    Images->Draw(bmp->Canvas(), 0, 0, Index, true);
    bmp->SetTransparentColor(clFuchsia);
    return bmp;
}

bool HasAnyAlpha(TBitmap* Glyph) {
    const int w = Glyph->Width();
    for (int y = 0; y < Glyph->Height(); ++y) {
        const auto* p = static_cast<const std::uint8_t*>(Glyph->ScanLine(y));
        for (int x = 0; x < w; ++x)
            if (p[x * 4 + 3]) return true;
    }
    return false;
}

}  // namespace

int DrawImageListGlyph(TCustomImageList* ImageList, int Index, TBitmap* Glyph, TsDisabledKind DisabledKind) {
    if (!Glyph) return 0;
    std::unique_ptr<TBitmap> img = ImageOnKey(ImageList, Index);
    if (!img) return 0;
    const int w = img->Width(), h = img->Height();
    const int count = DisabledKind.Contains(dkGrayed) ? 2 : 1;
    Glyph->SetPixelFormat(pf24bit);
    Glyph->SetSize(w * count, h);
    const TacRows24 dst = RowsOf(Glyph), src = RowsOf(img.get());
    acCopyRect(dst, src, TacSpan{0, 0, 0, 0, w, h});
    if (count == 2) {
        acCopyRect(dst, src, TacSpan{w, 0, 0, 0, w, h});
        for (int y = 0; y < h; ++y) {
            std::uint8_t* p = dst.At(w, y);
            for (int x = 0; x < w; ++x, p += 3)
                if (!IsKeyPixel(p)) acGrayRow(p, 1);
        }
    }
    Glyph->SetTransparentColor(clFuchsia);
    return count;
}

void DrawGlyphInto(TBitmap* Dst, const TRect& GlyphRect, TBitmap* Glyph, int NumGlyphs, int Picture,
                   const TacGlyphLook& Look) {
    if (!Dst || !Glyph || Glyph->Empty() || Dst->Empty() || Dst->PixelFormat() != pf24bit) return;
    const int count = std::max(1, NumGlyphs);
    const int pw = Glyph->Width() / count, ph = Glyph->Height();
    if (pw <= 0 || ph <= 0) return;
    Picture = std::clamp(Picture, 0, count - 1);
    const bool wide = Glyph->PixelFormat() == pf32bit;
    // A 32-bit glyph with no alpha at all was made without one (most 32-bit
    // BMP files): it is opaque with its key colour, as the class library draws it.
    const bool alpha = wide && HasAnyAlpha(Glyph);
    const std::uint32_t key = alpha ? acNoKey : PixelColor(Glyph->TransparentColor());
    const bool grey = Look.Grayed || (!Look.Enabled && Look.DisabledKind.Contains(dkGrayed));
    int weight = acWeightOfTransparencyPercent(Look.Blend);
    if (!Look.Enabled && Look.DisabledKind.Contains(dkBlended)) weight /= 2;
    const int w = std::min(pw, int(GlyphRect.right - GlyphRect.left)),
              h = std::min(ph, int(GlyphRect.bottom - GlyphRect.top));
    const int bpp = wide ? 4 : 3;
    const TacSpan s = acClipSpan(TacSpan{GlyphRect.left, GlyphRect.top, Picture * pw, 0, w, h}, Dst->Width(),
                                 Dst->Height(), Glyph->Width(), Glyph->Height());
    if (s.Empty()) return;
    const TacRows24 dst = RowsOf(Dst);
    for (int y = 0; y < s.H; ++y) {
        const auto* src = static_cast<const std::uint8_t*>(Glyph->ScanLine(s.SrcY + y)) + std::size_t(s.SrcX) * bpp;
        std::uint8_t* d = dst.At(s.DstX, s.DstY + y);
        for (int x = 0; x < s.W; ++x, src += bpp, d += 3) {
            std::uint8_t px[3] = {src[0], src[1], src[2]};
            int pw8 = weight;
            if (alpha) pw8 = pw8 * acWeightOfOpacity(src[3]) / 256;
            else if (key != acNoKey && px[2] == (key & 0xFF) && px[1] == ((key >> 8) & 0xFF) &&
                     px[0] == ((key >> 16) & 0xFF))
                continue;
            if (grey) acGrayRow(px, 1);
            acBlendBytes(d, px, 3, pw8);
        }
    }
}

void DrawImageListGlyphInto(TBitmap* Dst, const TRect& GlyphRect, TCustomImageList* Images, int Index,
                            const TacGlyphLook& Look) {
    std::unique_ptr<TBitmap> img = ImageOnKey(Images, Index);
    if (img) DrawGlyphInto(Dst, GlyphRect, img.get(), 1, 0, Look);
}

void DrawSpeedButtonGlyph(TBitmap* Dst, const TRect& GlyphRect, const TacButtonGlyph& Glyph) {
    if (Glyph.Glyph && !Glyph.Glyph->Empty())
        DrawGlyphInto(Dst, GlyphRect, Glyph.Glyph, Glyph.NumGlyphs, Glyph.Picture, Glyph.Look);
    else DrawImageListGlyphInto(Dst, GlyphRect, Glyph.Images, Glyph.ImageIndex, Glyph.Look);
}
