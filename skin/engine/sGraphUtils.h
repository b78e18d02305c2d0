// Painting of skin sections into 24-bit bitmaps: backgrounds over the parent's
// picture, borders by nine-slice with the window region they leave, state
// images, disabled looks, child controls over a cache, and glyphs.
#pragma once

#include <windows.h>

#include "Controls.h"
#include "Graphics.h"
#include "ImgList.h"
#include "sGlobals.h"

#include <vector>

class TsCommonData;
class TsSkinManager;

// How a disabled control's picture is made.
enum TsDisabledKindItem { dkBlended, dkGrayed };
CLASSLIB_ENUM_NAMES(TsDisabledKindItem, "dkBlended", "dkGrayed")
using TsDisabledKind = TSet<TsDisabledKindItem>;

// Texture arguments of PaintSkinItem: the section's own "PATTERN" /
// "HOTPATTERN", or none at all.
constexpr int acOwnTexture = -1;
constexpr int acNoTexture = -2;

// Rectangles of a bitmap that a painter accepts: not empty and wholly inside.
bool RectFitsBitmap(const TRect& R, const TBitmap* Bitmap);

// --- Skin items -----------------------------------------------------------
// Paints section SkinIndex into R of Bitmap in State (0 normal, 1 hot, 2
// pressed): the background (colour, gradient, texture; see-through parts from
// ParentCache), the border "BORDERSMASK" and the corner images "IMGTOPLEFT",
// "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT".
//
// ParentPoint is where the bitmap's top-left corner lies in the parent: the
// bitmap's pixel (x, y) of R lies over the parent picture's pixel
// (ParentCache.X + ParentPoint.x + x, ParentCache.Y + ParentPoint.y + y), so a
// rectangle inside the bitmap takes the parent's picture under its own place
// (PaintSkinItemFast and PaintDataItem take R's corner instead). A parent cache that
// is not Ready gives way to the parent colours (acParentColor, then
// acParentColor2), and without one the section is painted opaque.
//
// BorderFlag lets the border's centre be painted where the mask asks for it
// (DRAWCENTRE). Manager nil: the default manager. Nothing is painted for a nil
// or 32-bit bitmap, an R that is empty or not inside the bitmap, no manager or
// an invalid section.
void PaintSkinItem(int SkinIndex, const String& Section, const TCacheInfo& ParentCache, bool BorderFlag, int State,
                   const TRect& R, TPoint ParentPoint, TBitmap* Bitmap, TsSkinManager* Manager = nullptr,
                   int TextureIndex = acOwnTexture, int HotTextureIndex = acOwnTexture);
// The same with the indexes resolved by the caller (-1 for none): border
// MaskIndex, TextureIndex for state 0 and HotTextureIndex for the others.
// Flag lets the border centre be painted; SectionName finds the corner images.
void PaintSkinItemFast(int SectionIndex, int MaskIndex, int TextureIndex, TsSkinManager* Manager, TBitmap* Bitmap,
                       TPoint CachePoint, const TRect& R, int State, bool Flag, const TCacheInfo& CacheInfo,
                       const String& SectionName, int HotTextureIndex);
// The skin data's section into R of Bitmap (background, corner images and
// border; in state 0 the border is left out when the mask says SKIPNORMAL),
// with the see-through parts from ParentCache at Offset (where R's top-left
// lies in the parent). Flag lets the border centre be painted. While it runs
// the parent colours default to the owner's parent's Color.
void PaintDataItem(TsCommonData* SkinData, const TCacheInfo& ParentCache, bool Flag, TBitmap* Bitmap, TPoint Offset,
                   const TRect& R, int State);
// Only the background of the skin data's section; with CustomColor the
// owner's Color stands for the section colour.
void PaintDataItemBackground(TsCommonData* SkinData, const TCacheInfo& ParentCache, int State, TBitmap* Bitmap,
                             TPoint Offset, const TRect& R);
// PaintSkinItem into a bitmap of R's size, copied to R of DC.
void PaintItemToDC(int SectionIndex, const String& SectionName, const TCacheInfo& ParentCache, TsSkinManager* Manager,
                   HDC DC, TPoint Offset, const TRect& R, int State);

// --- Masks ----------------------------------------------------------------
// Draws state State of border mask Mask over the whole bitmap by nine-slice;
// key-colour pixels leave the bitmap as it was. With UpdateRegion, the key
// pixels of the four corners are cut out of Region (in bitmap coordinates).
void PaintBorderWithRegion(TBitmap* Bitmap, HRGN Region, bool UpdateRegion, int State, int Mask,
                           TsSkinManager* Manager = nullptr);
// Appends the rectangles of the key pixels of the mask's top (Edge 0) or
// bottom (Edge 1) border rows, laid over a window Width wide at row Y.
void BorderMaskRegionRects(std::vector<TRect>& Rects, int Mask, int Width, int Edge, int Y,
                           TsSkinManager* Manager = nullptr, int State = 0);
// A region of the rectangle (0, 0, Width, Height) without Rects (caller frees).
HRGN RegionWithoutRects(int Width, int Height, const std::vector<TRect>& Rects);
// One state of a mask into R by corners (never scaled), sides and centre; sides
// and centre are tiled or stretched as the mask says (TILESIDES, TILECENTRE);
// the centre only with FillCentre. Key and transparent pixels leave the bitmap.
void PaintNineSliceTemplate(TBitmap* Bitmap, bool FillCentre, int State, int Mask, const TRect& R,
                            TsSkinManager* Manager = nullptr);
// State picture State of a mask with its top-left corner at P; key pixels and
// the mask's opacity rows let the bitmap show through. A state beyond the
// mask's last is drawn as the last one.
void PaintImageState(TBitmap* Bitmap, TPoint P, int State, int Mask, int Flag = 0, TsSkinManager* Manager = nullptr);

// --- Corners and disabled looks -------------------------------------------
// Where the skin data's border mask (state State) has key pixels in its
// corners, the cache bitmap takes the parent's picture (or colour) back.
void RepairAllCorners(TsCommonData* SkinData, int State);
// The same for the corners in CornerMask: 1 top left, 2 bottom left, 4 top
// right, 8 bottom right.
void RepairCorners(TsCommonData* SkinData, int State, int CornerMask);
// dkGrayed: every pixel grey (R = G = B); dkBlended: half way to the parent's
// picture at Offset in ParentCache (or, without one, the parent colour).
void ApplyDisabledLook(TBitmap* Bitmap, TsDisabledKind DisabledKind, TControl* Parent, TPoint Offset,
                       const TCacheInfo& ParentCache);

// --- Plain backgrounds -----------------------------------------------------
// A background of one colour but for a few rows and columns along its edges
// (a frame's inner line). Color clNone: a picture, to be copied whole.
struct TacPlainArea {
    TColor Color = clNone;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
// What R of Bmp is (Color clNone when it is more than one colour, or leaves
// the picture).
TacPlainArea PlainAreaIn(TBitmap* Bmp, const TRect& R);
// Dest of DC from Src at SrcOrigin; a plain area is filled, but for its edges:
// a fill sends no pixels through the window server, a copy sends them all.
void CopyOrFill(HDC DC, const TRect& Dest, TBitmap* Src, TPoint SrcOrigin, const TacPlainArea& Plain);

// --- Children over a cache ------------------------------------------------
// Copies SkinData's cache to DestRect of DC, taken from SourceOrigin, clipped
// to DestRect and leaving out the rectangles (moved by OffsetX, OffsetY) of
// Control's visible windowed children and of its graphic, opaque or designed
// ones (never splitters). CornerRepair runs RepairAllCorners(SkinData, 0) first.
// Plain tells what the cache holds there, when it is known (CopyOrFill).
void PaintChildControlsInto(TWinControl* Control, TsCommonData* SkinData, TPoint SourceOrigin, int OffsetY, int OffsetX,
                            bool CornerRepair, HDC DC, const TRect& DestRect,
                            const TacPlainArea& Plain = TacPlainArea());
// Paints the visible windowless children of Container into DC, each through
// a bitmap of its own that starts as the container's picture under it;
// positions moved by Offset. With Repaint the children are told their
// background changed; Except is left out.
void PaintGraphicChildren(HDC DC, TWinControl* Container, bool Repaint = false, TControl* Except = nullptr,
                          TPoint Offset = TPoint{0, 0});
// Data's cache with Window's visible child windows printed over it, copied to R of DC.
void PaintChildWindowsInto(HWND Window, TsCommonData* Data, HDC DC, const TRect& R);
// The four strips StripWidth wide round (0, 0, Width, Height) of SourceDC,
// copied to DestDC at (X, Y).
void CopyBorderStrips(HDC DestDC, int X, int Y, int StripWidth, HDC SourceDC, int Width, int Height);

// --- Glyphs ---------------------------------------------------------------
int ImageCountOf(TCustomImageList* ImageList);
// Glyph := image Index of the list (key colour 0xFF00FF round it), followed
// by its grey picture when DisabledKind holds dkGrayed. Returns the number of
// pictures (0 for no list or an invalid index, Glyph then untouched).
int DrawImageListGlyph(TCustomImageList* ImageList, int Index, TBitmap* Glyph, TsDisabledKind DisabledKind);
// How a glyph is put on a button's picture.
struct TacGlyphLook {
    int Blend = 0;        // percent of the background showing through the glyph
    bool Grayed = false;  // grey (as speed buttons show glyphs until hot)
    bool Enabled = true;  // disabled: DisabledKind applies
    TsDisabledKind DisabledKind{dkBlended};
};
// Picture Picture (of NumGlyphs side by side) of Glyph drawn into GlyphRect
// of Dst (top-left corner, not scaled, clipped): its transparent colour (the
// bottom-left pixel unless the bitmap says otherwise) or, for a 32-bit glyph,
// its alpha lets Dst show through.
void DrawGlyphInto(TBitmap* Dst, const TRect& GlyphRect, TBitmap* Glyph, int NumGlyphs, int Picture,
                   const TacGlyphLook& Look);
// Image Index of the list drawn the same way.
void DrawImageListGlyphInto(TBitmap* Dst, const TRect& GlyphRect, TCustomImageList* Images, int Index,
                            const TacGlyphLook& Look);
// What a speed button shows as its glyph: picture Picture of its Glyph bitmap
// (NumGlyphs side by side) or, with no Glyph, image ImageIndex of Images.
struct TacButtonGlyph {
    TBitmap* Glyph = nullptr;
    int NumGlyphs = 1;
    int Picture = 0;
    TCustomImageList* Images = nullptr;
    int ImageIndex = -1;
    TacGlyphLook Look;
};
// The button's glyph into GlyphRect of its cache bitmap Dst.
void DrawSpeedButtonGlyph(TBitmap* Dst, const TRect& GlyphRect, const TacButtonGlyph& Glyph);
