// The title bar of a skinned frame, as the form provider and the dialog
// adapter both show it: the glyph masks of the title buttons, their places
// (right to left, centred in the title band), the hit test of a point, the
// picture kept behind the buttons and the paint of one button on the frame's
// cache. Each caller keeps what differs (which buttons a window shows, its
// frame metrics) and chooses a button's look once before handing it over.
#pragma once

#include <windows.h>

#include "Graphics.h"
#include "sControlTypes.h"
#include "sSkinManager.h"

#include <memory>
#include <vector>

// A painted title element: its look, its glyph mask and its place in window
// coordinates (set at each paint).
struct TsCaptionButton {
    TsPaintState State = TsPaintState::Normal;
    int ImageIndex = -1;
    TRect Rect{0, 0, 0, 0};
};

// The glyph masks of the four system buttons (-1: the skin has none).
struct TacTitleMasks {
    int Min = -1, Max = -1, Close = -1, Help = -1;
};

// The masks of a frame whose own section is Section (at SkinIndex): the skin's
// global ones when it has them (the small set for a Small frame, where the skin
// has it), else those kept with the frame's section.
TacTitleMasks LoadTitleMasks(TsSkinManager* Manager, int SkinIndex, const String& Section, bool Small);

// The mask a system button (HTMINBUTTON, HTMAXBUTTON, HTCLOSE, HTHELP) shows
// now: the restore glyph on the maximize button of a zoomed window and on the
// minimize button of an iconic one; -1 for other codes.
int TitleButtonMask(TsSkinManager* Manager, int SkinIndex, const String& Section, const TacTitleMasks& Masks, int Code,
                    bool Iconic, bool Zoomed);

// A button's size: its mask's, 21 by 21 where the skin has none.
TSize TitleButtonSize(TsSkinManager* Manager, int Mask);
// The skin's gap between title buttons.
int TitleButtonSpace(TsSkinManager* Manager);
// The side of the title icon in a caption Caption high (0: too low for one).
int TitleIconSize(int Caption);
// Asks the system for WM_NCMOUSELEAVE when the mouse leaves Wnd's frame,
// where a hot button must turn normal; true when it will come.
bool TrackTitleLeave(HWND Wnd);

// The top of a button Height high in a title band of Caption below a border
// Border high: centred, and a small glyph two pixels lower.
int TitleButtonTop(int Caption, int Border, int Height);

// Puts Button at the right end Right (window coordinates) with Size, centred
// in the band, and moves Right to its left edge less Space.
void PlaceTitleButton(TsCaptionButton& Button, int& Right, TSize Size, int Space, int Caption, int Border);

// The size grip of a sizeable frame: the skin's mask (-1: none), the top-left
// corner of its picture in a frame Width x Height inside borders BorderX and
// BorderY, and its paint there on the frame's cache.
int FrameGripMask(TsSkinManager* Manager);
TPoint FrameGripPlace(TsSkinManager* Manager, int Mask, int Width, int Height, int BorderX, int BorderY);
void PaintFrameGrip(TBitmap* Cache, TsSkinManager* Manager, int BorderX, int BorderY);

// A button as the hit test sees it: its answer, place and whether it acts.
struct TacTitleHit {
    int Code;
    TRect Rect;
    bool Enabled;
};

// The title bar's answer at P (window coordinates) when its buttons sit in the
// rows [BandTop, BandTop + BandHeight): HTSYSMENU over the icon's columns
// [IconLeft, IconRight), a button's code over an enabled button, HTCAPTION
// elsewhere in those rows; HTNOWHERE outside them.
int TitleBarHitTest(POINT P, int BandTop, int BandHeight, int IconLeft, int IconRight,
                    const std::vector<TacTitleHit>& Buttons);

// One button's glyph on the frame's cache: State picks the glyph's frame,
// Dimmed the row of an inactive frame or a button that cannot act.
void PaintTitleButton(TBitmap* Cache, const TsCaptionButton& Button, int Mask, TsPaintState State, bool Dimmed,
                      TsSkinManager* Manager);

// The title bar's picture from a column to the right edge, kept at each frame
// paint so that one button can be painted again alone on what was under it.
class TacTitleStrip {
public:
    TacTitleStrip();
    ~TacTitleStrip();
    TacTitleStrip(const TacTitleStrip&) = delete;
    TacTitleStrip& operator=(const TacTitleStrip&) = delete;
    // Keeps the cache's rows [0, Height) from column Left on.
    void Save(TBitmap* Cache, int Left, int Height);
    // Puts back what was under R (cache coordinates), or the whole strip.
    void Restore(TBitmap* Cache, const TRect& R) const;
    void RestoreAll(TBitmap* Cache) const;
    bool Empty() const;
    int Width() const;

private:
    std::unique_ptr<TBitmap> FBmp;
};
