// Bitmap and colour primitives of the skin engine: blending and copying of
// 24-bit bitmaps, colour mixing, the fade frame and small DC helpers.
#pragma once

#include "Graphics.h"
#include "acPixelRows.h"

#include <memory>

// The rows of a 24-bit bitmap; empty for nil, empty or 32-bit bitmaps, which
// every routine here leaves untouched.
TacRows24 RowsOf(TBitmap* Bmp);
// A colour as the pixel value rows hold (0x00BBGGRR, system colours resolved).
std::uint32_t PixelColor(TColor Color);

// Per channel Color2 + (Color1 - Color2) x Factor, rounded to the nearest integer.
TColor MixColors(TColor Color1, TColor Color2, double Factor);
// Per channel (Color1 x 127 + Color2 x 129) / 256, rounded down.
TColor MixColorsHalf(TColor Color1, TColor Color2);

// A new Width x Height bitmap of 24 bits per pixel.
std::unique_ptr<TBitmap> NewBitmap24(int Width, int Height);

// Mixes Bitmap, from (X, Y) on, with the area R of Source: each channel moves
// toward Source by Factor, Bitmap + (Source - Bitmap) x Factor (0 keeps Bitmap,
// 1 takes Source). Pixels of Bitmap in KeyColour (clNone: none) are left as they are.
void BlendBitmapRect(TBitmap* Bitmap, int X, int Y, TColor KeyColour, double Factor, const TRect& R, TBitmap* Source);
// Blends the area R of Source onto Bitmap at P; Transparency 0 copies, 255 leaves Bitmap.
void BlendBitmapAt(TBitmap* Bitmap, TBitmap* Source, int Transparency, TPoint P, const TRect& R);
// One fade frame: Dst := Old x Alpha / 256 + New x (256 - Alpha) / 256 over
// the area the three bitmaps share (Alpha 0..256; Dst may be Old or New).
void BlendBitmaps(TBitmap* Dst, TBitmap* Old, TBitmap* New, int Alpha);
// Copies Src into Dst at (X, Y), leaving out pixels of TransparentColor (clNone: none).
void CopyBitmapRows(TBitmap* Dst, TBitmap* Src, int X, int Y, TColor TransparentColor);
// Copies SrcRect of Src onto Dest at P, leaving out pixels of TransparentColor;
// with a Back bitmap those pixels take Back's pixel at their place in Dest
// moved by BackOffset instead.
void CopyTransparentRect(TBitmap* Dest, TBitmap* Src, TPoint P, const TRect& SrcRect, TColor TransparentColor,
                         TBitmap* Back = nullptr, TPoint BackOffset = TPoint{0, 0});
// Copies SourceRect of the upper half of a glyph bitmap onto Dest at DestRect's
// top-left corner, each channel mixed as old + (image - old) x mask / 256 by
// the same place one half-height lower in Source. Clipped to both bitmaps.
void BlendRectThroughMask(const TRect& DestRect, const TRect& SourceRect, TBitmap* Dest, TBitmap* Source, int Flag = 1);
// Paints Color into R of Bitmap through a rounded rectangle of Radius whose
// edge fades out over FadeWidth pixels; Transparency is the percentage of
// Bitmap that shows through the colour.
void PaintFadingRoundRect(TBitmap* Bitmap, const TRect& R, int Transparency, int Radius, int FadeWidth, TColor Color);

// Fills R of the DC with ColorToRGB(Color).
void FillDC(HDC DC, const TRect& R, TColor Color);
// A 3-D frame Width pixels wide inside R: top and left in TopLeftColour,
// bottom and right in BottomRightColour; R is left inset by Width.
void Frame3DOnDC(HDC DC, TRect& R, TColor TopLeftColour, int Width, TColor BottomRightColour);
// A dotted frame along the edge of R: of every three pixels one dark (0)
// followed by a light one (0xFFFFFF), the third left as it was.
void DrawDottedFrame(TCanvas* Canvas, const TRect& R);
void DrawDottedFrame(HDC DC, const TRect& R);
