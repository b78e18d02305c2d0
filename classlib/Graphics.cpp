#include "Graphics.h"

#include "Scopes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const SInvalidBitmapSize = "Invalid bitmap size";
const char* const SOutOfResources = "Out of system resources";
const char* const SNoCanvasHandle = "Canvas does not allow drawing";
const char* const SScanLineRange = "Scan line index out of range";
const char* const SUnsupportedPixelFormat = "Unsupported pixel format";
const char* const SInvalidBitmap = "Bitmap image is not valid";
const char* const SInvalidFontHandle = "Invalid font handle";
const char* const SCannotWriteBitmap = "Cannot write bitmap file";
const char* const SEmptyBitmapSave = "Cannot save an empty bitmap";
const char* const SIconSize = "Cannot change the size of an icon";
const char* const SInvalidIcon = "Icon image is not valid";
const char* const SIconSave = "Saving icons is not supported";

constexpr int MaxBitmapSide = 32767;

// What GDI gets: clNone and clDefault must not reach it as palette indexes.
COLORREF GdiColor(TColor Color) { return ColorToRGB(Color) & 0xFFFFFF; }

int ScreenPixelsPerInch() {
    static const int ppi = [] {
        const TScreenDC dc;
        int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
        return v > 0 ? v : 96;
    }();
    return ppi;
}

// The font Windows itself uses for message boxes and dialogs.
const LOGFONTA& DefaultLogFont() {
    static const LOGFONTA lf = [] {
        NONCLIENTMETRICSA ncm{};
        ncm.cbSize = sizeof(ncm);
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0) && ncm.lfMessageFont.lfFaceName[0])
            return ncm.lfMessageFont;
        LOGFONTA l{};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(l), &l);
        return l;
    }();
    return lf;
}

const int PenModes[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
                        R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                        R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};

BITMAPINFO DibInfo(int Width, int Height, int BitCount) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = Width;
    bi.bmiHeader.biHeight = -Height;  // top-down: row 0 is the top row
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = static_cast<WORD>(BitCount);
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

}  // namespace

COLORREF ColorToRGB(TColor Color) {
    if (Color < 0) return GetSysColor(Color & 0xFF);
    return static_cast<COLORREF>(Color);
}

// ---------------------------------------------------------------------------

CLASSLIB_DEFINE_CLASS(TGraphicsObject, TPersistent)

void TGraphicsObject::DoChange(bool HandleAffected) {
    if (FSelectedBy) FSelectedBy->ObjectChanging(this);
    if (HandleAffected) DestroyHandle();
    Changed();
}

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TFont, TGraphicsObject,
    OrdProp<TFont>("Charset", TTypeKind::tkInteger, &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET),
    OrdProp<TFont>("Color", TTypeKind::tkInteger, &TFont::Color, &TFont::SetColor, clWindowText),
    OrdProp<TFont>("Height", TTypeKind::tkInteger, &TFont::Height, &TFont::SetHeight, 0, false),
    StrProp<TFont>("Name", &TFont::Name, &TFont::SetName),
    OrdProp<TFont>("Orientation", TTypeKind::tkInteger, &TFont::Orientation, &TFont::SetOrientation, 0),
    OrdProp<TFont>("Pitch", TTypeKind::tkEnumeration, &TFont::Pitch, &TFont::SetPitch, fpDefault),
    OrdProp<TFont>("Quality", TTypeKind::tkEnumeration, &TFont::Quality, &TFont::SetQuality, fqDefault),
    OrdProp<TFont>("Size", TTypeKind::tkInteger, &TFont::Size, &TFont::SetSize, 0, false),
    OrdProp<TFont>("Style", TTypeKind::tkSet, &TFont::Style, &TFont::SetStyle, 0))
// clang-format on

TFont::TFont() : FPixelsPerInch(ScreenPixelsPerInch()) {
    const LOGFONTA& lf = DefaultLogFont();
    FName = lf.lfFaceName;
    FHeight = lf.lfHeight ? lf.lfHeight : -MulDiv(8, FPixelsPerInch, 72);
    if (lf.lfWeight >= FW_BOLD) FStyle.Include(fsBold);
    if (lf.lfItalic) FStyle.Include(fsItalic);
    FCharset = lf.lfCharSet;
}

TFont::~TFont() { DestroyHandle(); }

void TFont::DestroyHandle() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

void TFont::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TFont*>(Source)) {
        if (src == this) return;
        // Copying an equal font keeps the HFONT: canvases take a control's
        // font on every paint.
        LOGFONTA a = LogFont(), b = src->LogFont();
        bool same = std::memcmp(&a, &b, sizeof(a)) == 0;
        FName = src->FName;
        FHeight = src->FHeight;
        FStyle = src->FStyle;
        FColor = src->FColor;
        FCharset = src->FCharset;
        FPitch = src->FPitch;
        FOrientation = src->FOrientation;
        FQuality = src->FQuality;
        FPixelsPerInch = src->FPixelsPerInch;
        FontChanged(!same);
        return;
    }
    TGraphicsObject::Assign(Source);
}

HFONT TFont::Handle() const {
    if (!FHandle) {
        LOGFONTA lf = LogFont();
        FHandle = CreateFontIndirectA(&lf);
        if (!FHandle) throw EClassLibError(SOutOfResources);
    }
    return FHandle;
}

LOGFONTA TFont::LogFont() const {
    LOGFONTA lf{};
    lf.lfHeight = FHeight;
    lf.lfEscapement = FOrientation;
    lf.lfOrientation = FOrientation;
    lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(fsItalic);
    lf.lfUnderline = FStyle.Contains(fsUnderline);
    lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
    lf.lfCharSet = FCharset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = static_cast<BYTE>(FQuality);  // fq* follow the *_QUALITY values
    lf.lfPitchAndFamily = static_cast<BYTE>(FPitch == fpFixed      ? FIXED_PITCH
                                            : FPitch == fpVariable ? VARIABLE_PITCH
                                                                   : DEFAULT_PITCH);
    std::strncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
    return lf;
}

void TFont::SetLogFont(const LOGFONTA& Value) {
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, Value.lfFaceName, LF_FACESIZE);
    FName = face;
    FHeight = Value.lfHeight;
    FStyle = TFontStyles();
    if (Value.lfWeight >= FW_BOLD) FStyle.Include(fsBold);
    if (Value.lfItalic) FStyle.Include(fsItalic);
    if (Value.lfUnderline) FStyle.Include(fsUnderline);
    if (Value.lfStrikeOut) FStyle.Include(fsStrikeOut);
    FCharset = Value.lfCharSet;
    switch (Value.lfPitchAndFamily & 3) {
        case FIXED_PITCH: FPitch = fpFixed; break;
        case VARIABLE_PITCH: FPitch = fpVariable; break;
        default: FPitch = fpDefault; break;
    }
    FOrientation = Value.lfEscapement;
    FQuality = static_cast<TFontQuality>(std::min<int>(Value.lfQuality, fqClearTypeNatural));
    FontChanged(true);
}

void TFont::SetHandle(HFONT Value) {
    LOGFONTA lf{};
    // A null font is what WM_GETFONT answers for the system font.
    if (!Value) {
        lf = DefaultLogFont();
    } else if (GetObjectA(Value, sizeof(lf), &lf) != sizeof(lf)) {
        throw EClassLibError(SInvalidFontHandle);
    }
    SetLogFont(lf);
}

void TFont::SetName(const String& Value) {
    if (Value.empty() || Value == FName) return;
    FName = Value;
    FontChanged(true);
}

void TFont::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    FontChanged(true);
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    FontChanged(true);
}

void TFont::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    FontChanged(false);
}

void TFont::SetCharset(TFontCharset Value) {
    if (Value == FCharset) return;
    FCharset = Value;
    FontChanged(true);
}

void TFont::SetPitch(TFontPitch Value) {
    if (Value == FPitch) return;
    FPitch = Value;
    FontChanged(true);
}

void TFont::SetOrientation(int Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    FontChanged(true);
}

void TFont::SetQuality(TFontQuality Value) {
    if (Value == FQuality) return;
    FQuality = Value;
    FontChanged(true);
}

void TFont::SetPixelsPerInch(int Value) {
    if (Value > 0) FPixelsPerInch = Value;
}

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TBrush, TGraphicsObject,
    OrdProp<TBrush>("Color", TTypeKind::tkInteger, &TBrush::Color, &TBrush::SetColor, clWhite),
    OrdProp<TBrush>("Style", TTypeKind::tkEnumeration, &TBrush::Style, &TBrush::SetStyle, bsSolid))
// clang-format on

TBrush::~TBrush() { DestroyHandle(); }

void TBrush::DestroyHandle() {
    if (FHandle && FHandle != GetStockObject(NULL_BRUSH)) DeleteObject(FHandle);
    FHandle = nullptr;
}

void TBrush::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TBrush*>(Source)) {
        if (src == this) return;
        bool same = FColor == src->FColor && FStyle == src->FStyle;
        FColor = src->FColor;
        FStyle = src->FStyle;
        DoChange(!same);
        return;
    }
    TGraphicsObject::Assign(Source);
}

HBRUSH TBrush::Handle() const {
    if (!FHandle) {
        if (FStyle == bsClear) FHandle = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        else if (FStyle == bsSolid) FHandle = CreateSolidBrush(GdiColor(FColor));
        else  // bsHorizontal.. follow HS_HORIZONTAL..
            FHandle = CreateHatchBrush(FStyle - bsHorizontal + HS_HORIZONTAL, GdiColor(FColor));
        if (!FHandle) throw EClassLibError(SOutOfResources);
    }
    return FHandle;
}

void TBrush::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    DoChange(true);
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    DoChange(true);
}

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TPen, TGraphicsObject,
    OrdProp<TPen>("Color", TTypeKind::tkInteger, &TPen::Color, &TPen::SetColor, clBlack),
    OrdProp<TPen>("Mode", TTypeKind::tkEnumeration, &TPen::Mode, &TPen::SetMode, pmCopy),
    OrdProp<TPen>("Style", TTypeKind::tkEnumeration, &TPen::Style, &TPen::SetStyle, psSolid),
    OrdProp<TPen>("Width", TTypeKind::tkInteger, &TPen::Width, &TPen::SetWidth, 1))
// clang-format on

TPen::~TPen() { DestroyHandle(); }

void TPen::DestroyHandle() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

void TPen::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TPen*>(Source)) {
        if (src == this) return;
        bool same = FColor == src->FColor && FWidth == src->FWidth && FStyle == src->FStyle;
        FColor = src->FColor;
        FWidth = src->FWidth;
        FStyle = src->FStyle;
        FMode = src->FMode;
        DoChange(!same);
        return;
    }
    TGraphicsObject::Assign(Source);
}

HPEN TPen::Handle() const {
    if (!FHandle) {
        // ps* follow PS_SOLID..PS_INSIDEFRAME, psClear being PS_NULL.
        FHandle = CreatePen(static_cast<int>(FStyle), FWidth, GdiColor(FColor));
        if (!FHandle) throw EClassLibError(SOutOfResources);
    }
    return FHandle;
}

void TPen::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    DoChange(true);
}

void TPen::SetWidth(int Value) {
    if (Value < 0) Value = 0;
    if (Value == FWidth) return;
    FWidth = Value;
    DoChange(true);
}

void TPen::SetStyle(TPenStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    DoChange(true);
}

void TPen::SetMode(TPenMode Value) {
    if (Value == FMode) return;
    FMode = Value;
    DoChange(false);
}

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TCanvas, TPersistent,
    ObjProp<TCanvas, TFont>("Font", &TCanvas::Font),
    ObjProp<TCanvas, TBrush>("Brush", &TCanvas::Brush),
    ObjProp<TCanvas, TPen>("Pen", &TCanvas::Pen))
// clang-format on

TCanvas::TCanvas() : FFont(new TFont), FBrush(new TBrush), FPen(new TPen) {
    InitializeCriticalSection(&FLock);
    FFont->FSelectedBy = this;
    FBrush->FSelectedBy = this;
    FPen->FSelectedBy = this;
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
    delete FFont;
    delete FBrush;
    delete FPen;
    DeleteCriticalSection(&FLock);
}

HDC TCanvas::Handle() {
    RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
    return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
    if (FHandle == Value) return;
    if (FHandle) {
        DeselectHandles();
        GetCurrentPositionEx(FHandle, &FPenPos);
        FHandle = nullptr;
        FState.Exclude(csHandleValid);
    }
    if (Value) {
        FHandle = Value;
        FState.Include(csHandleValid);
        MoveToEx(FHandle, FPenPos.x, FPenPos.y, nullptr);
    }
}

void TCanvas::RequiredState(TCanvasState ReqState) {
    TCanvasState needed = ReqState - FState;
    if (needed.Empty()) return;
    if (needed.Contains(csHandleValid)) {
        CreateHandle();
        if (!FHandle) throw EClassLibError(SNoCanvasHandle);
    }
    if (needed.Contains(csFontValid)) RealizeFont();
    if (needed.Contains(csPenValid)) RealizePen();
    if (needed.Contains(csBrushValid)) RealizeBrush();
}

void TCanvas::RealizeFont() {
    HGDIOBJ old = SelectObject(FHandle, FFont->Handle());
    if (!FOldFont) FOldFont = old;
    SetTextColor(FHandle, GdiColor(FFont->Color()));
    FState.Include(csFontValid);
}

void TCanvas::RealizePen() {
    HGDIOBJ old = SelectObject(FHandle, FPen->Handle());
    if (!FOldPen) FOldPen = old;
    SetROP2(FHandle, PenModes[FPen->Mode()]);
    FState.Include(csPenValid);
}

void TCanvas::RealizeBrush() {
    HBRUSH brush = FBrush->Handle();
    UnrealizeObject(brush);
    HGDIOBJ old = SelectObject(FHandle, brush);
    if (!FOldBrush) FOldBrush = old;
    // The brush colour is also the text background of an opaque brush.
    SetBkColor(FHandle, GdiColor(FBrush->Color()));
    SetBkMode(FHandle, FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT);
    FState.Include(csBrushValid);
}

void TCanvas::DeselectHandles() {
    if (FHandle) {
        if (FOldFont) SelectObject(FHandle, FOldFont);
        if (FOldPen) SelectObject(FHandle, FOldPen);
        if (FOldBrush) SelectObject(FHandle, FOldBrush);
    }
    FOldFont = FOldPen = FOldBrush = nullptr;
    FState -= TCanvasState{csFontValid, csPenValid, csBrushValid};
}

// One of our objects is about to change (and maybe to delete its handle):
// put the DC's own object back first.
void TCanvas::ObjectChanging(TGraphicsObject* Object) {
    if (!FHandle) return;
    if (Object == FFont && FState.Contains(csFontValid)) {
        SelectObject(FHandle, FOldFont);
        FOldFont = nullptr;
        FState.Exclude(csFontValid);
    } else if (Object == FPen && FState.Contains(csPenValid)) {
        SelectObject(FHandle, FOldPen);
        FOldPen = nullptr;
        FState.Exclude(csPenValid);
    } else if (Object == FBrush && FState.Contains(csBrushValid)) {
        SelectObject(FHandle, FOldBrush);
        FOldBrush = nullptr;
        FState.Exclude(csBrushValid);
    }
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Lock() {
    EnterCriticalSection(&FLock);
    ++FLockCount;
}

void TCanvas::Unlock() {
    --FLockCount;
    LeaveCriticalSection(&FLock);
}

bool TCanvas::TryLock() {
    if (!TryEnterCriticalSection(&FLock)) return false;
    ++FLockCount;
    return true;
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
    if (FHandle) GetCurrentPositionEx(FHandle, &FPenPos);
    return FPenPos;
}

void TCanvas::MoveTo(int X, int Y) {
    RequiredState({csHandleValid});
    MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::LineTo(FHandle, X, Y);
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::FillRect(const TRect& R) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::FillRect(FHandle, &R, FBrush->Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& R) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::FrameRect(FHandle, &R, FBrush->Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& R) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::DrawFocusRect(FHandle, &R);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Ellipse(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
    if (Points.empty()) return;
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Polygon(FHandle, Points.data(), static_cast<int>(Points.size()));
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
    if (Points.empty()) return;
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Polyline(FHandle, Points.data(), static_cast<int>(Points.size()));
    Changed();
}

void TCanvas::TextOut(int X, int Y, const String& Text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    ExtTextOutA(FHandle, X, Y, static_cast<UINT>(TextFlags), nullptr, Text.data(), static_cast<UINT>(Text.size()),
                nullptr);
    MoveToEx(FHandle, X + TextWidth(Text), Y, nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const String& Text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    UINT options = static_cast<UINT>(TextFlags) | ETO_CLIPPED;
    if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
    ExtTextOutA(FHandle, X, Y, options, &Rect, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    Changed();
}

int TCanvas::TextRect(TRect& Rect, const String& Text, UINT Flags) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    int height = DrawTextA(FHandle, Text.data(), static_cast<int>(Text.size()), &Rect, Flags);
    Changed();
    return height;
}

TSize TCanvas::TextExtent(const String& Text) {
    RequiredState({csHandleValid, csFontValid});
    TSize size{0, 0};
    GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), &size);
    return size;
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    Changing();
    RequiredState({csHandleValid});
    Graphic->Draw(this, Rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    if (!Canvas) return;
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    Canvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
    StretchBlt(FHandle, Dest.left, Dest.top, RectWidth(Dest), RectHeight(Dest), Canvas->FHandle, Source.left,
               Source.top, RectWidth(Source), RectHeight(Source), CopyMode);
    Changed();
}

TColor TCanvas::Pixels(int X, int Y) {
    RequiredState({csHandleValid});
    COLORREF c = GetPixel(FHandle, X, Y);
    return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
    Changing();
    RequiredState({csHandleValid, csPenValid});
    SetPixel(FHandle, X, Y, GdiColor(Value));
    Changed();
}

TRect TCanvas::ClipRect() {
    RequiredState({csHandleValid});
    TRect r{0, 0, 0, 0};
    GetClipBox(FHandle, &r);
    return r;
}

// ---------------------------------------------------------------------------

CLASSLIB_DEFINE_CLASS(TGraphic, TPersistent)

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    Changed();
}

void TGraphic::Changed() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------

// The canvas of a bitmap: a memory DC holding the bitmap's current DIB, made
// on first use and let go by Dormant.
class TBitmapCanvas : public TCanvas {
    CLASSLIB_DECLARE_CLASS(TBitmapCanvas)
public:
    explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
    ~TBitmapCanvas() override { FreeHandle(); }
    void FreeHandle() override;
    // The bitmap has a new DIB (or none): the DC keeps working on it, so a
    // DC taken before a resize stays valid.
    void SwapBitmap(HBITMAP NewBitmap);

protected:
    void CreateHandle() override;

private:
    TBitmap* FBitmap;
    HGDIOBJ FOldBitmap = nullptr;
};

CLASSLIB_DEFINE_CLASS(TBitmapCanvas, TCanvas)

void TBitmapCanvas::CreateHandle() {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) throw EClassLibError(SOutOfResources);
    // An empty bitmap leaves the DC's own 1 x 1 bitmap in place: drawing then
    // goes nowhere instead of failing.
    if (FBitmap->FHandle) FOldBitmap = SelectObject(dc, FBitmap->FHandle);
    SetHandle(dc);
}

void TBitmapCanvas::SwapBitmap(HBITMAP NewBitmap) {
    HDC dc = CurrentHandle();
    if (!dc) return;
    if (NewBitmap) {
        HGDIOBJ old = SelectObject(dc, NewBitmap);
        if (!FOldBitmap) FOldBitmap = old;
    } else if (FOldBitmap) {
        SelectObject(dc, FOldBitmap);
        FOldBitmap = nullptr;
    }
}

void TBitmapCanvas::FreeHandle() {
    HDC dc = CurrentHandle();
    if (!dc) return;
    SetHandle(nullptr);
    if (FOldBitmap) SelectObject(dc, FOldBitmap);
    FOldBitmap = nullptr;
    DeleteDC(dc);
}

CLASSLIB_DEFINE_CLASS(TBitmap, TGraphic)

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat) {
    SetPixelFormat(APixelFormat);
    NewImage(AWidth, AHeight, FPixelFormat, false);
}

TBitmap::~TBitmap() {
    delete FCanvas;
    if (FHandle) DeleteObject(FHandle);
}

void TBitmap::NewImage(int AWidth, int AHeight, TPixelFormat APixelFormat, bool KeepPixels) {
    if (AWidth < 0 || AHeight < 0 || AWidth > MaxBitmapSide || AHeight > MaxBitmapSide)
        throw EClassLibError(SInvalidBitmapSize);
    HBITMAP handle = nullptr;
    std::uint8_t* bits = nullptr;
    int stride = 0;
    if (AWidth > 0 && AHeight > 0) {
        int bpp = APixelFormat == pf32bit ? 32 : 24;
        stride = ((AWidth * bpp + 31) / 32) * 4;
        if (static_cast<std::int64_t>(stride) * AHeight > 0x7FFFFFFF) throw EClassLibError(SOutOfResources);
        BITMAPINFO bi = DibInfo(AWidth, AHeight, bpp);
        void* p = nullptr;
        handle = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        if (!handle || !p) {
            if (handle) DeleteObject(handle);
            throw EClassLibError(SOutOfResources);
        }
        bits = static_cast<std::uint8_t*>(p);
        std::memset(bits, 0, static_cast<size_t>(stride) * AHeight);
        if (KeepPixels && FBits) {
            GdiFlush();
            int rows = std::min(AHeight, FHeight), cols = std::min(AWidth, FWidth);
            int from = FPixelFormat == pf32bit ? 4 : 3, to = bpp / 8;
            for (int y = 0; y < rows; ++y) {
                const std::uint8_t* s = FBits + static_cast<size_t>(y) * FStride;
                std::uint8_t* d = bits + static_cast<size_t>(y) * stride;
                if (from == to) {
                    std::memcpy(d, s, static_cast<size_t>(cols) * to);
                } else {
                    for (int x = 0; x < cols; ++x, s += from, d += to) {
                        d[0] = s[0];
                        d[1] = s[1];
                        d[2] = s[2];
                    }
                }
            }
        }
    }
    if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas)->SwapBitmap(handle);
    if (FHandle) DeleteObject(FHandle);
    FHandle = handle;
    FBits = bits;
    FWidth = AWidth;
    FHeight = AHeight;
    FStride = stride;
    FPixelFormat = APixelFormat == pf32bit ? pf32bit : pf24bit;
}

void TBitmap::SetSize(int AWidth, int AHeight) {
    if (AWidth == FWidth && AHeight == FHeight) return;
    NewImage(AWidth, AHeight, FPixelFormat, true);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == pfDevice) Value = pf24bit;
    if (Value != pf24bit && Value != pf32bit) throw EClassLibError(SUnsupportedPixelFormat);
    if (Value == FPixelFormat) return;
    NewImage(FWidth, FHeight, Value, true);
    Changed();
}

void* TBitmap::ScanLine(int Row) {
    if (!FBits || Row < 0 || Row >= FHeight) throw EClassLibError(SScanLineRange);
    GdiFlush();
    return FBits + static_cast<size_t>(Row) * FStride;
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = new TBitmapCanvas(this);
        FCanvas->OnChange = [this](TObject*) { Changed(); };
    }
    return FCanvas;
}

void TBitmap::Dormant() {
    if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas)->FreeHandle();
}

void TBitmap::Assign(TPersistent* Source) {
    if (!Source) {
        NewImage(0, 0, FPixelFormat, false);
        Changed();
        return;
    }
    if (auto* src = dynamic_cast<TBitmap*>(Source)) {
        if (src == this) return;
        NewImage(src->FWidth, src->FHeight, src->FPixelFormat, false);
        if (FBits) {
            GdiFlush();
            std::memcpy(FBits, src->FBits, static_cast<size_t>(FStride) * FHeight);
        }
        FTransparent = src->FTransparent;
        FTransparentColor = src->FTransparentColor;
        FTransparentMode = src->FTransparentMode;
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::CopyFromHandle(HBITMAP Source) {
    BITMAP bm{};
    if (GetObjectA(Source, sizeof(bm), &bm) == 0) throw EClassLibError(SInvalidBitmap);
    NewImage(bm.bmWidth, std::abs(bm.bmHeight), bm.bmBitsPixel == 32 ? pf32bit : pf24bit, false);
    if (!FBits) return;
    BITMAPINFO bi = DibInfo(FWidth, FHeight, FPixelFormat == pf32bit ? 32 : 24);
    int rows = GetDIBits(TScreenDC(), Source, 0, static_cast<UINT>(FHeight), FBits, &bi, DIB_RGB_COLORS);
    if (rows == 0) throw EClassLibError(SInvalidBitmap);
}

void TBitmap::SetHandle(HBITMAP Value) {
    if (Value == FHandle) return;
    if (!Value) {
        NewImage(0, 0, FPixelFormat, false);
    } else {
        try {
            CopyFromHandle(Value);
        } catch (...) {
            DeleteObject(Value);
            throw;
        }
        DeleteObject(Value);
    }
    Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
    if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas)->SwapBitmap(nullptr);
    HBITMAP h = FHandle;
    FHandle = nullptr;
    FBits = nullptr;
    FWidth = FHeight = FStride = 0;
    return h;
}

TColor TBitmap::TransparentColor() {
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (!FBits) return clDefault;
    const auto* p = static_cast<const std::uint8_t*>(ScanLine(FHeight - 1));
    return static_cast<TColor>(p[2] | (p[1] << 8) | (p[0] << 16));
}

void TBitmap::SetTransparentColor(TColor Value) {
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value == FTransparentMode) return;
    if (Value == tmAuto) SetTransparentColor(clDefault);
    else SetTransparentColor(TransparentColor());
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (Empty() || !ACanvas) return;
    HDC src = Canvas()->Handle();
    HDC dst = ACanvas->Handle();
    if (FTransparent) {
        TransparentBlt(dst, Rect.left, Rect.top, RectWidth(Rect), RectHeight(Rect), src, 0, 0, FWidth, FHeight,
                       GdiColor(TransparentColor()));
    } else {
        int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
        StretchBlt(dst, Rect.left, Rect.top, RectWidth(Rect), RectHeight(Rect), src, 0, 0, FWidth, FHeight,
                   ACanvas->CopyMode);
        SetStretchBltMode(dst, oldMode);
    }
}

void TBitmap::LoadFromFile(const String& FileName) {
    HANDLE h = LoadImageA(nullptr, FileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!h) throw EClassLibError(SInvalidBitmap);
    SetHandle(static_cast<HBITMAP>(h));
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const String& ResName) {
    HANDLE h = LoadImageA(Instance, ResName.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!h) throw EClassLibError(SInvalidBitmap);
    SetHandle(static_cast<HBITMAP>(h));
}

void TBitmap::SaveToFile(const String& FileName) {
    if (Empty()) throw EClassLibError(SEmptyBitmapSave);
    GdiFlush();
    const DWORD imageSize = static_cast<DWORD>(FStride) * static_cast<DWORD>(FHeight);
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + imageSize;
    ih.biSize = sizeof(ih);
    ih.biWidth = FWidth;
    ih.biHeight = FHeight;  // files are commonly bottom-up
    ih.biPlanes = 1;
    ih.biBitCount = static_cast<WORD>(FPixelFormat == pf32bit ? 32 : 24);
    ih.biCompression = BI_RGB;
    ih.biSizeImage = imageSize;
    std::FILE* f = std::fopen(FileName.c_str(), "wb");
    if (!f) throw EClassLibError(SCannotWriteBitmap);
    bool ok = std::fwrite(&fh, sizeof(fh), 1, f) == 1 && std::fwrite(&ih, sizeof(ih), 1, f) == 1;
    for (int y = FHeight - 1; ok && y >= 0; --y)
        ok = std::fwrite(FBits + static_cast<size_t>(y) * FStride, static_cast<size_t>(FStride), 1, f) == 1;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) throw EClassLibError(SCannotWriteBitmap);
}

// ---------------------------------------------------------------------------

CLASSLIB_DEFINE_CLASS(TIcon, TGraphic)

TIcon::TIcon() { FTransparent = true; }

TIcon::~TIcon() {
    if (FHandle) DestroyIcon(FHandle);
}

void TIcon::Assign(TPersistent* Source) {
    if (!Source) {
        SetHandle(nullptr);
        return;
    }
    if (auto* src = dynamic_cast<TIcon*>(Source)) {
        if (src == this) return;
        SetHandle(src->FHandle ? CopyIcon(src->FHandle) : nullptr);
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::SetWidth(int Value) {
    if (Value == FWidth) return;
    if (FHandle) throw EClassLibError(SIconSize);
    FWidth = std::max(Value, 0);
}

void TIcon::SetHeight(int Value) {
    if (Value == FHeight) return;
    if (FHandle) throw EClassLibError(SIconSize);
    FHeight = std::max(Value, 0);
}

void TIcon::SetHandle(HICON Value) {
    if (Value == FHandle) return;
    if (FHandle) DestroyIcon(FHandle);
    FHandle = Value;
    FWidth = FHeight = 0;
    ICONINFO ii{};
    if (FHandle && GetIconInfo(FHandle, &ii)) {
        // GetIconInfo hands out copies of the icon's bitmaps.
        BITMAP bm{};
        if (ii.hbmColor && GetObjectA(ii.hbmColor, sizeof(bm), &bm)) {
            FWidth = bm.bmWidth;
            FHeight = bm.bmHeight;
        } else if (ii.hbmMask && GetObjectA(ii.hbmMask, sizeof(bm), &bm)) {
            FWidth = bm.bmWidth;
            FHeight = bm.bmHeight / 2;  // AND and XOR masks stacked
        }
        if (ii.hbmColor) DeleteObject(ii.hbmColor);
        if (ii.hbmMask) DeleteObject(ii.hbmMask);
    }
    Changed();
}

HICON TIcon::ReleaseHandle() {
    HICON h = FHandle;
    FHandle = nullptr;
    FWidth = FHeight = 0;
    return h;
}

namespace {
// System icons come shared from the system; the copy is ours to destroy.
HICON LoadIconResource(HINSTANCE Instance, LPCSTR Name, int Width, int Height) {
    if (!Instance) {
        HANDLE shared = LoadImageA(nullptr, Name, IMAGE_ICON, Width, Height, LR_SHARED);
        return shared ? CopyIcon(static_cast<HICON>(shared)) : nullptr;
    }
    return static_cast<HICON>(LoadImageA(Instance, Name, IMAGE_ICON, Width, Height, 0));
}
}  // namespace

void TIcon::LoadFromResourceName(HINSTANCE Instance, const String& ResName) {
    HICON h = LoadIconResource(Instance, ResName.c_str(), FWidth, FHeight);
    if (!h) throw EClassLibError(SInvalidIcon);
    SetHandle(h);
}

void TIcon::LoadFromResourceID(HINSTANCE Instance, int ResID) {
    HICON h = LoadIconResource(Instance, MAKEINTRESOURCEA(ResID), FWidth, FHeight);
    if (!h) throw EClassLibError(SInvalidIcon);
    SetHandle(h);
}

void TIcon::LoadFromFile(const String& FileName) {
    HANDLE h = LoadImageA(nullptr, FileName.c_str(), IMAGE_ICON, FWidth, FHeight, LR_LOADFROMFILE);
    if (!h) throw EClassLibError(SInvalidIcon);
    SetHandle(static_cast<HICON>(h));
}

void TIcon::SaveToFile(const String&) { throw EClassLibError(SIconSave); }

void TIcon::Draw(TCanvas* Canvas, const TRect& Rect) {
    if (!FHandle || !Canvas) return;
    DrawIconEx(Canvas->Handle(), Rect.left, Rect.top, FHandle, RectWidth(Rect), RectHeight(Rect), 0, nullptr,
               DI_NORMAL);
}
