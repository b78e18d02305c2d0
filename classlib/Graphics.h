// Drawing objects of the class library: colours, fonts, brushes, pens, the
// canvas on any DC, bitmaps kept as DIB sections with direct row access, icons.
#pragma once

#include <windows.h>

#include "Classes.h"

#include <cstdint>
#include <vector>

// ---------------------------------------------------------------------------
// Geometry: the Win32 structures themselves, so that they pass to GDI as is.

using TRect = RECT;
using TPoint = POINT;
using TSize = SIZE;

inline TRect Rect(int Left, int Top, int Right, int Bottom) { return TRect{Left, Top, Right, Bottom}; }
inline TRect Bounds(int Left, int Top, int Width, int Height) { return TRect{Left, Top, Left + Width, Top + Height}; }
inline TPoint Point(int X, int Y) { return TPoint{X, Y}; }
inline int RectWidth(const TRect& R) { return R.right - R.left; }
inline int RectHeight(const TRect& R) { return R.bottom - R.top; }

// ---------------------------------------------------------------------------
// Colours: 0x00BBGGRR like a COLORREF, or 0x80000000 | COLOR_xxx for a
// system colour that follows the user's settings.

using TColor = std::int32_t;

constexpr TColor SysColor(int Index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(Index)); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
constexpr TColor clHotLight = SysColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SysColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SysColor(COLOR_MENUBAR);

// The RGB value of a colour: system colours through GetSysColor, any other
// value unchanged (so clNone stays 0x1FFFFFFF and callers can still test it).
COLORREF ColorToRGB(TColor Color);

// ---------------------------------------------------------------------------

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
CLASSLIB_ENUM_NAMES(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut")
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural };
CLASSLIB_ENUM_NAMES(TFontPitch, "fpDefault", "fpVariable", "fpFixed")
CLASSLIB_ENUM_NAMES(TFontQuality, "fqDefault", "fqDraft", "fqProof", "fqNonAntialiased", "fqAntialiased", "fqClearType",
                    "fqClearTypeNatural")
using TFontCharset = std::uint8_t;

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
CLASSLIB_ENUM_NAMES(TBrushStyle, "bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
                    "bsCross", "bsDiagCross")
CLASSLIB_ENUM_NAMES(TPenStyle, "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame")
// Mapped onto the R2_* binary raster operations by the canvas.
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
CLASSLIB_ENUM_NAMES(TPenMode, "pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                    "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask",
                    "pmXor", "pmNotXor")

class TCanvas;

// Base of fonts, brushes and pens: tells its owner (OnChange) and the canvas
// that has its handle selected when a property changes.
class TGraphicsObject : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TGraphicsObject)
public:
    TNotifyEvent OnChange;
    // True while a GDI object made from the current properties exists.
    virtual bool HandleAllocated() const = 0;

protected:
    // A property changed: the canvas lets go of the handle first, then the
    // handle is dropped when it no longer fits (HandleAffected), then OnChange.
    void DoChange(bool HandleAffected);
    virtual void DestroyHandle() = 0;
    virtual void Changed();

private:
    friend class TCanvas;
    TCanvas* FSelectedBy = nullptr;
};

class TFont : public TGraphicsObject {
    CLASSLIB_DECLARE_CLASS(TFont)
public:
    // The system's message font in clWindowText.
    TFont();
    ~TFont() override;
    void Assign(TPersistent* Source) override;

    // Made on first use from the properties and kept until one changes.
    HFONT Handle() const;
    // Takes the properties of Value's LOGFONT; Value itself stays the caller's,
    // who deletes it when it made it. A font made only to be described here is
    // a leak: hand its LOGFONT to SetLogFont instead.
    void SetHandle(HFONT Value);
    bool HandleAllocated() const override { return FHandle != nullptr; }
    LOGFONTA LogFont() const;
    void SetLogFont(const LOGFONTA& Value);

    String Name() const { return FName; }
    void SetName(const String& Value);
    // Pixels; negative for a character height, positive for a cell height.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // Points, through PixelsPerInch.
    int Size() const;
    void SetSize(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    // Tenths of a degree, used for both escapement and orientation.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int Value);
    TFontQuality Quality() const { return FQuality; }
    void SetQuality(TFontQuality Value);
    // The screen's LOGPIXELSY unless set otherwise.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);

protected:
    void DestroyHandle() override;

private:
    void FontChanged(bool HandleAffected) { DoChange(HandleAffected); }
    mutable HFONT FHandle = nullptr;
    String FName;
    int FHeight = 0;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    int FOrientation = 0;
    TFontQuality FQuality = fqDefault;
    int FPixelsPerInch = 96;
};

class TBrush : public TGraphicsObject {
    CLASSLIB_DECLARE_CLASS(TBrush)
public:
    TBrush() = default;
    ~TBrush() override;
    void Assign(TPersistent* Source) override;

    // bsClear gives the stock null brush.
    HBRUSH Handle() const;
    bool HandleAllocated() const override { return FHandle != nullptr; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);

protected:
    void DestroyHandle() override;

private:
    mutable HBRUSH FHandle = nullptr;
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

class TPen : public TGraphicsObject {
    CLASSLIB_DECLARE_CLASS(TPen)
public:
    TPen() = default;
    ~TPen() override;
    void Assign(TPersistent* Source) override;

    HPEN Handle() const;
    bool HandleAllocated() const override { return FHandle != nullptr; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    // Applied by the canvas through SetROP2; not part of the pen handle.
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

protected:
    void DestroyHandle() override;

private:
    mutable HPEN FHandle = nullptr;
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

// ---------------------------------------------------------------------------

class TGraphic;

enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStates>;

// Drawing on a DC with a font, a brush and a pen. The three are selected into
// the DC when first needed and the DC's own objects are put back when the
// handle is let go (SetHandle), so the canvas never leaves one of its objects
// selected in a DC it no longer holds.
//
// A derived canvas that finds its DC by itself (a control's, a bitmap's)
// overrides CreateHandle to call SetHandle, and FreeHandle to let the DC go;
// its destructor must call its own FreeHandle.
class TCanvas : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TCanvas)
public:
    TCanvas();
    ~TCanvas() override;

    // Getting the handle makes it ready for drawing with Font, Brush and Pen.
    HDC Handle();
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TBrush* Brush() const { return FBrush; }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
    TPen* Pen() const { return FPen; }
    void SetPen(TPen* Value) { FPen->Assign(Value); }

    // For drawing from several threads; the canvas is usable within a lock.
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    TPoint PenPos();
    void SetPenPos(TPoint Value) { MoveTo(Value.x, Value.y); }
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.left, R.top, R.right, R.bottom); }
    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);
    void DrawFocusRect(const TRect& R);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.left, R.top, R.right, R.bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Polygon(const std::vector<TPoint>& Points);
    void Polyline(const std::vector<TPoint>& Points);

    // ExtTextOut with TextFlags; the pen moves to the end of the text.
    void TextOut(int X, int Y, const String& Text);
    // Text at (X, Y) clipped to Rect; the rectangle is filled unless the brush is clear.
    void TextRect(const TRect& Rect, int X, int Y, const String& Text);
    // DrawText with DT_* Flags; DT_CALCRECT updates Rect. Returns the text height.
    int TextRect(TRect& Rect, const String& Text, UINT Flags);
    TSize TextExtent(const String& Text);
    int TextWidth(const String& Text) { return TextExtent(Text).cx; }
    int TextHeight(const String& Text) { return TextExtent(Text).cy; }

    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    // StretchBlt from Canvas with CopyMode.
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);
    TRect ClipRect();

    // Puts the DC's own objects back; they are selected again on next use.
    void Refresh();

    int TextFlags = 0;         // ETO_* for TextOut and TextRect
    DWORD CopyMode = SRCCOPY;  // raster operation of CopyRect and Draw
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void CreateHandle() {}
    // Lets the DC go: here SetHandle(nullptr); derived canvases also release it.
    virtual void FreeHandle() { SetHandle(nullptr); }
    // Makes sure of the listed parts (the handle first, made by CreateHandle);
    // raises when there is no DC to draw on.
    void RequiredState(TCanvasState ReqState);
    TCanvasState State() const { return FState; }
    // The DC as it is, without making it ready.
    HDC CurrentHandle() const { return FHandle; }
    virtual void Changing();
    virtual void Changed();

private:
    friend class TGraphicsObject;
    void RealizeFont();
    void RealizePen();
    void RealizeBrush();
    void DeselectHandles();
    void ObjectChanging(TGraphicsObject* Object);

    HDC FHandle = nullptr;
    TCanvasState FState;
    TFont* FFont;
    TBrush* FBrush;
    TPen* FPen;
    TPoint FPenPos{0, 0};
    HGDIOBJ FOldFont = nullptr;
    HGDIOBJ FOldPen = nullptr;
    HGDIOBJ FOldBrush = nullptr;
    CRITICAL_SECTION FLock;
    int FLockCount = 0;
};

// ---------------------------------------------------------------------------

// A picture that can be drawn on a canvas.
class TGraphic : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TGraphic)
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual int Height() const = 0;
    virtual void SetHeight(int Value) = 0;
    virtual void SetSize(int AWidth, int AHeight) {
        SetWidth(AWidth);
        SetHeight(AHeight);
    }
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    // Draws the whole picture stretched into Rect of Canvas.
    virtual void Draw(TCanvas* Canvas, const TRect& Rect) = 0;
    virtual void LoadFromFile(const String& FileName) = 0;
    virtual void SaveToFile(const String& FileName) = 0;

    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    bool FTransparent = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

// A top-down DIB section of 24 or 32 bits per pixel (pfDevice counts as 24).
// Rows are reached directly through ScanLine; a canvas on a memory DC draws
// into the same pixels. A bitmap of 0 x 0 has no handle and is Empty.
class TBitmap : public TGraphic {
    CLASSLIB_DECLARE_CLASS(TBitmap)
public:
    TBitmap();
    TBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat = pf24bit);
    ~TBitmap() override;
    // Deep copy of another bitmap; a null source makes this one empty.
    void Assign(TPersistent* Source) override;

    bool Empty() const override { return FHandle == nullptr; }
    int Width() const override { return FWidth; }
    void SetWidth(int Value) override { SetSize(Value, FHeight); }
    int Height() const override { return FHeight; }
    void SetHeight(int Value) override { SetSize(FWidth, Value); }
    // Keeps the pixels that still fit; new pixels are black. Sides above
    // 32767 or below 0 raise "Invalid bitmap size".
    void SetSize(int AWidth, int AHeight) override;
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // pf24bit or pf32bit (pfDevice gives pf24bit); the pixels are converted.
    void SetPixelFormat(TPixelFormat Value);
    TBitmapHandleType HandleType() const { return bmDIB; }
    // Only DIBs are kept; asking for bmDDB leaves the bitmap as it is.
    void SetHandleType(TBitmapHandleType) {}

    // Row Row (0 = top) of BytesPerScanLine bytes, BGR or BGRA; pending GDI
    // drawing is flushed first.
    void* ScanLine(int Row);
    int BytesPerScanLine() const { return FStride; }

    TCanvas* Canvas();
    HBITMAP Handle() const { return FHandle; }
    // Takes ownership of Value, converting it into this bitmap's own DIB.
    void SetHandle(HBITMAP Value);
    // Gives the DIB section to the caller, who must delete it; the bitmap becomes empty.
    HBITMAP ReleaseHandle();
    // Lets the canvas's memory DC go so that the DIB is selected in no DC
    // (as GetDIBits and the image lists want); the canvas comes back on use.
    void Dormant();
    void FreeImage() {}

    // tmAuto: the bottom-left pixel; setting a colour switches to tmFixed.
    TColor TransparentColor();
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    // Any BMP Windows reads; 32-bit files give pf32bit, others pf24bit.
    void LoadFromFile(const String& FileName) override;
    void LoadFromResourceName(HINSTANCE Instance, const String& ResName);
    // An uncompressed BMP of the bitmap's own depth.
    void SaveToFile(const String& FileName) override;

private:
    friend class TBitmapCanvas;
    void NewImage(int AWidth, int AHeight, TPixelFormat APixelFormat, bool KeepPixels);
    void CopyFromHandle(HBITMAP Source);

    HBITMAP FHandle = nullptr;
    std::uint8_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    int FStride = 0;
    TPixelFormat FPixelFormat = pf24bit;
    TCanvas* FCanvas = nullptr;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
};

// An icon handle owned by the object (until ReleaseHandle).
class TIcon : public TGraphic {
    CLASSLIB_DECLARE_CLASS(TIcon)
public:
    TIcon();
    ~TIcon() override;
    // Copies the other icon's handle; a null source makes this one empty.
    void Assign(TPersistent* Source) override;

    bool Empty() const override { return FHandle == nullptr; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // The size to load at; an icon already loaded cannot change size.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;

    HICON Handle() const { return FHandle; }
    // Takes ownership of Value; use SetHandle(CopyIcon(h)) to keep h the caller's.
    void SetHandle(HICON Value);
    HICON ReleaseHandle();

    // From a module's resources; a null Instance loads a system icon by id.
    void LoadFromResourceName(HINSTANCE Instance, const String& ResName);
    void LoadFromResourceID(HINSTANCE Instance, int ResID);

    void Draw(TCanvas* Canvas, const TRect& Rect) override;
    void LoadFromFile(const String& FileName) override;
    void SaveToFile(const String& FileName) override;

private:
    HICON FHandle = nullptr;
    int FWidth = 0;
    int FHeight = 0;
};
