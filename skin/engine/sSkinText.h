// Text of skinned controls: captions in a section's font colours with their
// contours, text measuring and cutting, and the layout of a glyph beside text.
#pragma once

#include <windows.h>

#include "Buttons.h"
#include "Controls.h"
#include "Graphics.h"

class TsCommonData;
class TsSkinManager;

// Draws Text with DrawText and Flags, clipped to R, in the section's colours:
// unless CustomFont, first the four contour colours (left, top, right, bottom;
// each one pixel off in its direction, left out when "none"), then the font
// colour (the hot one when Hot); a disabled text takes the font colour half
// mixed with the section colour and no contours. Section "WEBBUTTON"
// underlines its hot text. Without a valid section the canvas font colour is used.
void WriteSkinTextWeb(TCanvas* Canvas, const String& Text, bool Enabled, bool Hot, TsCommonData* SkinData, UINT Flags,
                      const TRect& R);
inline void WriteSkinTextWebShort(TCanvas* Canvas, const String& Text, bool Enabled, bool Hot, TsCommonData* SkinData,
                                  UINT Flags, const TRect& R) {
    WriteSkinTextWeb(Canvas, Text, Enabled, Hot, SkinData, Flags, R);
}
// The same in the colours of section SectionIndex of Manager (nil: the default
// manager), with a clear brush. Nothing without a manager, with an invalid
// section or an empty text. With DT_CALCRECT only R is measured.
void WriteSkinText(TCanvas* Canvas, const String& Text, bool Enabled, TRect& R, UINT Flags, int SectionIndex, bool Hot,
                   TsSkinManager* Manager = nullptr);
// DrawText; returns the text height.
int DrawTextOnDC(HDC DC, const String& Text, TRect& R, UINT Flags);
// DT_EXPANDTABS | DT_VCENTER with the alignment's flag, as the control reads.
UINT TextFlagsForAlignment(const TControl* Control, TAlignment Alignment);

// Extent of Text in Font measured on the screen; (0, 0) when that fails.
void TextSizeOnScreen(HFONT Font, const String& Text, TSize& Size);
TSize TextSizeOnScreen(TFont* Font, const String& Text);
int CanvasTextSize(TCanvas* Canvas, const String& Text);
void CanvasTextExtentTo(TCanvas* Canvas, const String& Text, TSize& Size);
void CanvasTextRect(TCanvas* Canvas, const TRect& R, int X, int Y, const String& Text);
// Text itself when it fits Width in the canvas font; else its longest start
// followed by "..." that fits; "" when not even "..." fits.
String CutTextToWidth(TCanvas* Canvas, const String& Text, int Width);

// Where a button's glyph stands against its caption: the class library's
// speed-button layouts under the skin's names.
using TacGlyphLayout = TButtonLayout;
constexpr TacGlyphLayout glGlyphLeft = blGlyphLeft;
constexpr TacGlyphLayout glGlyphRight = blGlyphRight;
constexpr TacGlyphLayout glGlyphTop = blGlyphTop;
constexpr TacGlyphLayout glGlyphBottom = blGlyphBottom;
// Places a glyph and a caption in R: Margin is the distance of the first of
// them from its edge (-1 centres both), Spacing the gap between them (-1
// spreads them evenly). Right-to-left swaps left and right. GlyphPos is the
// glyph's top-left corner and TextRect the caption's rectangle, both in R's
// coordinates system (R's corner added).
void CalcGlyphTextLayout(const TRect& R, TSize GlyphSize, TSize TextSize, TacGlyphLayout Layout, int Margin,
                         int Spacing, TPoint& GlyphPos, TRect& TextRect, bool RightToLeft = false);
