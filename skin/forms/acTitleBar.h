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

#include <functional>
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

// The row of title buttons, placed right to left from the frame's inner right
// edge. Space is the gap kept between two buttons and before the first: the
// form takes the skin's, a dialog keeps its buttons side by side (0).
class TacTitleRow {
public:
    TacTitleRow(int Right, int Space, int Caption, int Border);
    // Puts Button next (left of the last one) with Size.
    void Place(TsCaptionButton& Button, TSize Size);
    // The left edge of the row: of its last button, the inner right edge while it has none.
    int Left() const { return FLeft; }

private:
    int FRight, FLeft, FSpace, FCaption, FBorder;
};

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

// One button's glyph on the frame's cache: State picks the glyph's frame;
// Dimmed (an inactive frame, or a button that cannot act) draws it at half strength.
void PaintTitleButton(TBitmap* Cache, const TsCaptionButton& Button, int Mask, TsPaintState State, bool Dimmed,
                      TsSkinManager* Manager);

// How far the TITLEBAR strip reaches beyond the buttons it lies under.
enum class TacBarExtent {
    CornerEachSide,  // one corner of its mask beyond each end of the buttons
    ToRightEnd,      // from two corners left of the buttons to their span's right end
};

// How a caption too long for its place is shortened.
enum class TacCaptionCut {
    Ellipsis,  // the system's end ellipsis
    ToWidth,   // cut to the width first (the skin's own cutting)
};

// The title band of a frame, chosen once by the frame before each paint: its
// background, the strip behind the buttons and the caption.
struct TacTitleLook {
    bool Active = true;         // the active look (else the inactive one)
    TRect Band{0, 0, 0, 0};     // the title background (cache coordinates)
    int Section = -1;           // the skin section painted over Band (-1: none)
    int BarMask = -1;           // the TITLEBAR mask (-1: no strip)
    TRect BarSpan{0, 0, 0, 0};  // the buttons' columns and the strip's rows
    TacBarExtent BarExtent = TacBarExtent::CornerEachSide;
    // The caption: its text, place, font, alignment and cutting.
    String Text;
    TRect TextRect{0, 0, 0, 0};
    TFont* Font = nullptr;  // nil: the cache's canvas keeps its font
    bool Bold = false;
    int FontHeight = 0;  // the font's height in pixels (0: its own)
    UINT Alignment = 0;  // DT_ flags of the alignment
    TacCaptionCut Cut = TacCaptionCut::Ellipsis;
    bool Enabled = true;   // the enabled colours, else the disabled ones
    int TextSection = -1;  // the section whose text colours the caption takes
};

// The one painter of a title band on the frame's cache. The background first:
// Section over Band, then Icon (what the frame shows at the left), then the
// TITLEBAR strip. The frame paints its buttons over that, then the caption.
void PaintTitleBackground(TBitmap* Cache, TsSkinManager* Manager, const TacTitleLook& Look,
                          const std::function<void()>& Icon);
void PaintTitleCaption(TBitmap* Cache, TsSkinManager* Manager, const TacTitleLook& Look);

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

// The title elements of a frame and their state: the four system buttons
// (and whatever more the frame adds), the element under the mouse, whether
// it is held down, and the picture behind the buttons. The frame tells what
// differs: the element of a code beyond the four, the glyph an element shows,
// whether it is shown enabled and acts on a click, how it is painted alone.
class TacTitleElements {
public:
    TacTitleElements() = default;
    virtual ~TacTitleElements() = default;
    TacTitleElements(const TacTitleElements&) = delete;
    TacTitleElements& operator=(const TacTitleElements&) = delete;

    TsCaptionButton Min, Max, Close, Help;
    int Hot = 0;                 // the element under the mouse (0: none)
    bool Pressed = false;        // the hot element is held down
    bool TrackingLeave = false;  // the system reports the mouse leaving the frame
    // The title bar behind the buttons, for painting one of them alone.
    TacTitleStrip Strip;

    // The element of Code: one of the four system buttons, else nil.
    virtual TsCaptionButton* Element(int Code);
    virtual int Mask(int Code) const = 0;
    virtual bool Enabled(int Code) const = 0;
    // Acts on a click: the hit test answers its code and it may be pressed.
    virtual bool Hittable(int Code) const { return Enabled(Code); }
    // Paints one element again on the frame's cache and the screen.
    virtual void Repaint(int Code) = 0;
    // The frame's window (nil while it has none).
    virtual HWND Window() const = 0;

    TacTitleMasks Masks() const;
    void SetMasks(const TacTitleMasks& Masks);
    // Code turns hot (0: none), the one hot before normal; Paint shows both at once.
    void SetHot(int Code, bool Paint);
    // Code is pressed when it acts (it stays hot else); the one hot before turns normal.
    void Press(int Code);
    // The hit-test list of the buttons Codes.
    std::vector<TacTitleHit> Hits(const std::vector<int>& Codes);
};
