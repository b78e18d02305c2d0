// Colours, fonts, canvases, bitmaps and icons: what is drawn is read back from
// the DIB rows and, through BitBlt, from a second DIB.
#include <gtest/gtest.h>

#include "Graphics.h"
#include "GraphicsTestHelpers.h"
#include "TestSupport.h"

#include <cstring>
#include <memory>
#include <string>

using namespace graphicstest;
using namespace testsupport;

namespace {

void FillBitmap(TBitmap& bmp, TColor color) {
    bmp.Canvas()->Brush()->SetStyle(bsSolid);
    bmp.Canvas()->Brush()->SetColor(color);
    bmp.Canvas()->FillRect(Rect(0, 0, bmp.Width(), bmp.Height()));
}

}  // namespace

TEST(Colors, ConstantsAndColorToRGB) {
    EXPECT_EQ(static_cast<std::uint32_t>(clActiveCaption), 0x80000002u);
    EXPECT_EQ(static_cast<std::uint32_t>(clInactiveCaption), 0x80000003u);
    EXPECT_EQ(static_cast<std::uint32_t>(clWindow), 0x80000005u);
    EXPECT_EQ(static_cast<std::uint32_t>(clWindowText), 0x80000008u);
    EXPECT_EQ(static_cast<std::uint32_t>(clCaptionText), 0x80000009u);
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0x8000000Fu);
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnShadow), 0x80000010u);
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnHighlight), 0x80000014u);
    EXPECT_EQ(static_cast<std::uint32_t>(clMenuBar), 0x8000001Eu);
    EXPECT_EQ(clNone, 0x1FFFFFFF);
    EXPECT_EQ(clDefault, 0x20000000);
    EXPECT_EQ(clGray, 0x808080);

    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clWindowText), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(ColorToRGB(clHighlight), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
    // clNone survives so that callers can still recognise it.
    EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);
}

TEST(Bitmap, FillRectPenAndPixelsReadBackFromRows) {
    TBitmap bmp(20, 10);
    EXPECT_EQ(bmp.PixelFormat(), pf24bit);
    EXPECT_EQ(bmp.HandleType(), bmDIB);
    EXPECT_EQ(bmp.BytesPerScanLine(), 60);
    // A new bitmap is black.
    EXPECT_EQ(RowPixel(bmp, 19, 9), 0u);

    bmp.Canvas()->Brush()->SetColor(clRed);
    bmp.Canvas()->FillRect(Rect(2, 1, 6, 4));
    EXPECT_EQ(RowPixel(bmp, 2, 1), 0xFF0000u);
    EXPECT_EQ(RowPixel(bmp, 5, 3), 0xFF0000u);
    EXPECT_EQ(RowPixel(bmp, 6, 3), 0u);
    EXPECT_EQ(RowPixel(bmp, 5, 4), 0u);

    // Horizontal line from (0,7) up to but not including (15,7).
    bmp.Canvas()->Pen()->SetColor(clLime);
    bmp.Canvas()->MoveTo(0, 7);
    bmp.Canvas()->LineTo(15, 7);
    EXPECT_EQ(RowPixel(bmp, 0, 7), 0x00FF00u);
    EXPECT_EQ(RowPixel(bmp, 14, 7), 0x00FF00u);
    EXPECT_EQ(RowPixel(bmp, 15, 7), 0u);
    EXPECT_EQ(RowPixel(bmp, 7, 6), 0u);
    EXPECT_EQ(bmp.Canvas()->PenPos().x, 15);

    bmp.Canvas()->SetPixels(18, 0, clBlue);
    EXPECT_EQ(RowPixel(bmp, 18, 0), 0x0000FFu);
    EXPECT_EQ(bmp.Canvas()->Pixels(18, 0), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(3, 2), clRed);
    // Writes through the rows show on the canvas.
    auto* row = static_cast<std::uint8_t*>(bmp.ScanLine(9));
    row[0] = 0x11;
    row[1] = 0x22;
    row[2] = 0x33;
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 9), 0x112233);

    // The same picture through BitBlt into another DIB.
    Picture pic = CaptureDC(bmp.Canvas()->Handle(), 0, 0, 20, 10);
    ASSERT_FALSE(pic.Empty());
    EXPECT_EQ(pic.Pixel(3, 2), 0xFF0000u);
    EXPECT_EQ(pic.Pixel(10, 7), 0x00FF00u);
    EXPECT_EQ(pic.Pixel(18, 0), 0x0000FFu);
    EXPECT_EQ(pic.Pixel(0, 9), 0x332211u);
    EXPECT_EQ(pic.Pixel(10, 2), 0u);
}

TEST(Bitmap, RectangleEllipseAndPenModes) {
    TBitmap bmp(30, 30);
    FillBitmap(bmp, clWhite);
    TCanvas* c = bmp.Canvas();
    c->Pen()->SetColor(clBlue);
    c->Brush()->SetColor(clYellow);
    c->Rectangle(0, 0, 10, 10);
    EXPECT_EQ(RowPixel(bmp, 0, 5), 0x0000FFu);   // outline
    EXPECT_EQ(RowPixel(bmp, 5, 5), 0xFFFF00u);   // inside
    EXPECT_EQ(RowPixel(bmp, 10, 5), 0xFFFFFFu);  // right edge excluded

    c->Pen()->SetStyle(psClear);
    c->Brush()->SetColor(clRed);
    c->Ellipse(10, 10, 30, 30);
    EXPECT_EQ(RowPixel(bmp, 20, 20), 0xFF0000u);
    EXPECT_EQ(RowPixel(bmp, 11, 11), 0xFFFFFFu);  // outside the curve

    // Xor twice restores the picture.
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetColor(clWhite);
    c->Pen()->SetMode(pmXor);
    c->MoveTo(0, 15);
    c->LineTo(30, 15);
    EXPECT_EQ(RowPixel(bmp, 5, 15), 0x000000u);
    EXPECT_EQ(RowPixel(bmp, 20, 15), 0x00FFFFu);
    c->MoveTo(0, 15);
    c->LineTo(30, 15);
    EXPECT_EQ(RowPixel(bmp, 5, 15), 0xFFFFFFu);
    EXPECT_EQ(RowPixel(bmp, 20, 15), 0xFF0000u);

    c->Pen()->SetMode(pmCopy);
    c->Brush()->SetColor(clGreen);
    c->FrameRect(Rect(12, 0, 20, 8));
    EXPECT_EQ(RowPixel(bmp, 12, 4), 0x008000u);
    EXPECT_EQ(RowPixel(bmp, 15, 4), 0xFFFFFFu);
    c->Polygon({Point(22, 0), Point(29, 0), Point(29, 7), Point(22, 7)});
    EXPECT_EQ(RowPixel(bmp, 25, 3), 0x008000u);
}

TEST(Bitmap, TextIsDrawnWithinItsExtent) {
    TBitmap bmp(200, 40);
    FillBitmap(bmp, clWhite);
    TCanvas* c = bmp.Canvas();
    c->Font()->SetColor(clBlack);
    c->Font()->SetHeight(-16);
    c->Brush()->SetStyle(bsClear);
    const String text = "Hamburgefonts";
    TSize ext = c->TextExtent(text);
    ASSERT_GT(ext.cx, 20);
    ASSERT_GT(ext.cy, 10);
    EXPECT_EQ(c->TextWidth(text), ext.cx);
    EXPECT_EQ(c->TextHeight(text), ext.cy);
    c->TextOut(10, 5, text);
    EXPECT_EQ(c->PenPos().x, 10 + ext.cx);

    int inside = 0, outside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            bool in = x >= 10 && x < 10 + ext.cx && y >= 5 && y < 5 + ext.cy;
            if (RowPixel(bmp, x, y) != 0xFFFFFFu) (in ? inside : outside)++;
        }
    EXPECT_GT(inside, 30);
    EXPECT_EQ(outside, 0);

    // An opaque brush fills the text cell in the brush colour.
    TBitmap cell(100, 30);
    FillBitmap(cell, clWhite);
    cell.Canvas()->Brush()->SetColor(clAqua);
    cell.Canvas()->Font()->SetColor(clBlack);
    cell.Canvas()->TextOut(0, 0, "ii");
    EXPECT_EQ(RowPixel(cell, 0, 0), 0x00FFFFu);
    EXPECT_EQ(RowPixel(cell, 90, 0), 0xFFFFFFu);

    // TextRect clips to its rectangle and fills it unless the brush is clear.
    TBitmap clip(100, 30);
    FillBitmap(clip, clWhite);
    clip.Canvas()->Brush()->SetColor(clYellow);
    clip.Canvas()->TextRect(Rect(10, 0, 30, 20), 0, 0, "WWWWWWWWWW");
    EXPECT_EQ(RowPixel(clip, 5, 5), 0xFFFFFFu);
    EXPECT_EQ(RowPixel(clip, 50, 5), 0xFFFFFFu);
    int ink = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 10; x < 30; ++x)
            if (RowPixel(clip, x, y) != 0xFFFF00u) ++ink;
    EXPECT_GT(ink, 5);

    // DrawText flags: DT_CALCRECT measures.
    TRect r = Rect(0, 0, 0, 0);
    int h = clip.Canvas()->TextRect(r, "Wide text", DT_CALCRECT | DT_SINGLELINE);
    EXPECT_GT(h, 0);
    EXPECT_EQ(RectWidth(r), clip.Canvas()->TextWidth("Wide text"));
}

TEST(Bitmap, ThirtyTwoBitRowsAndFormatConversion) {
    TBitmap bmp(5, 3, pf32bit);
    EXPECT_EQ(bmp.PixelFormat(), pf32bit);
    EXPECT_EQ(bmp.BytesPerScanLine(), 20);
    FillBitmap(bmp, 0x102030);
    auto* row = static_cast<std::uint8_t*>(bmp.ScanLine(2));
    EXPECT_EQ(row[16], 0x10);  // blue, green, red
    EXPECT_EQ(row[17], 0x20);
    EXPECT_EQ(row[18], 0x30);
    // Rows follow one another top-down.
    EXPECT_EQ(static_cast<std::uint8_t*>(bmp.ScanLine(1)) + 20, row);

    bmp.SetPixelFormat(pf24bit);
    EXPECT_EQ(bmp.BytesPerScanLine(), 16);  // 15 bytes padded to 4
    EXPECT_EQ(RowPixel(bmp, 4, 2), 0x302010u);
    bmp.SetPixelFormat(pfDevice);
    EXPECT_EQ(bmp.PixelFormat(), pf24bit);
    bmp.SetPixelFormat(pf32bit);
    EXPECT_EQ(RowPixel(bmp, 0, 0), 0x302010u);
    EXPECT_EQ(ErrorText([&] { bmp.SetPixelFormat(pf8bit); }), "Unsupported pixel format");

    // Growing keeps the old pixels; new ones are black.
    bmp.SetSize(8, 6);
    EXPECT_EQ(RowPixel(bmp, 4, 2), 0x302010u);
    EXPECT_EQ(RowPixel(bmp, 7, 5), 0u);
    EXPECT_EQ(RowPixel(bmp, 5, 0), 0u);
}

TEST(Bitmap, AssignIsADeepCopy) {
    TBitmap src(7, 4, pf32bit);
    FillBitmap(src, clMaroon);
    src.SetTransparent(true);
    src.SetTransparentColor(clFuchsia);
    TBitmap dst;
    dst.Assign(&src);
    EXPECT_EQ(dst.Width(), 7);
    EXPECT_EQ(dst.Height(), 4);
    EXPECT_EQ(dst.PixelFormat(), pf32bit);
    EXPECT_TRUE(dst.Transparent());
    EXPECT_EQ(dst.TransparentColor(), clFuchsia);
    EXPECT_NE(dst.Handle(), src.Handle());
    EXPECT_EQ(RowPixel(dst, 6, 3), 0x800000u);

    FillBitmap(src, clNavy);
    EXPECT_EQ(RowPixel(dst, 6, 3), 0x800000u);
    dst.Canvas()->SetPixels(0, 0, clWhite);
    EXPECT_EQ(RowPixel(src, 0, 0), 0x000080u);

    TFont font;
    EXPECT_EQ(ErrorText([&] { dst.Assign(&font); }), "Cannot assign a TFont to a TBitmap");
    dst.Assign(nullptr);
    EXPECT_TRUE(dst.Empty());
}

TEST(Bitmap, EmptyBitmapIsUsable) {
    TBitmap bmp;
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(bmp.Width(), 0);
    EXPECT_EQ(bmp.Height(), 0);
    EXPECT_EQ(bmp.Handle(), nullptr);
    EXPECT_EQ(ErrorText([&] { bmp.ScanLine(0); }), "Scan line index out of range");
    // The canvas works on nothing without failing.
    bmp.Canvas()->FillRect(Rect(0, 0, 10, 10));
    bmp.Canvas()->TextOut(0, 0, "x");
    EXPECT_GT(bmp.Canvas()->TextWidth("xx"), 0);
    EXPECT_NE(bmp.Canvas()->Handle(), nullptr);

    TBitmap target(4, 4);
    FillBitmap(target, clWhite);
    target.Canvas()->Draw(0, 0, &bmp);
    EXPECT_EQ(RowPixel(target, 0, 0), 0xFFFFFFu);

    bmp.SetWidth(3);
    EXPECT_TRUE(bmp.Empty());
    bmp.SetHeight(2);
    EXPECT_FALSE(bmp.Empty());
    FillBitmap(bmp, clRed);
    EXPECT_EQ(RowPixel(bmp, 2, 1), 0xFF0000u);
    bmp.SetSize(0, 0);
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(ErrorText([&] { bmp.ScanLine(0); }), "Scan line index out of range");
    TBitmap other;
    other.Assign(&bmp);
    EXPECT_TRUE(other.Empty());
}

TEST(Bitmap, AbsurdSizesRaise) {
    TBitmap bmp(2, 2);
    EXPECT_EQ(ErrorText([&] { bmp.SetSize(32768, 10); }), "Invalid bitmap size");
    EXPECT_EQ(ErrorText([&] { bmp.SetSize(10, -1); }), "Invalid bitmap size");
    EXPECT_EQ(ErrorText([&] { TBitmap b(-5, 5); }), "Invalid bitmap size");
    // 4 GB of pixels cannot be had.
    EXPECT_EQ(ErrorText([&] { TBitmap b(32767, 32767, pf32bit); }), "Out of system resources");
    // The bitmap is left as it was.
    EXPECT_EQ(bmp.Width(), 2);
    EXPECT_FALSE(bmp.Empty());
    FillBitmap(bmp, clLime);
    EXPECT_EQ(RowPixel(bmp, 1, 1), 0x00FF00u);
}

TEST(Bitmap, DrawStretchTransparentAndCopyRect) {
    TBitmap sprite(4, 4);
    FillBitmap(sprite, clFuchsia);
    sprite.Canvas()->Brush()->SetColor(clBlue);
    sprite.Canvas()->FillRect(Rect(1, 1, 3, 3));

    TBitmap target(20, 20);
    FillBitmap(target, clWhite);
    target.Canvas()->Draw(0, 0, &sprite);
    EXPECT_EQ(RowPixel(target, 0, 0), 0xFF00FFu);
    EXPECT_EQ(RowPixel(target, 1, 1), 0x0000FFu);
    EXPECT_EQ(RowPixel(target, 4, 4), 0xFFFFFFu);

    // Transparent: the bottom-left colour is left out.
    sprite.SetTransparent(true);
    EXPECT_EQ(sprite.TransparentColor(), clFuchsia);
    target.Canvas()->Draw(10, 0, &sprite);
    EXPECT_EQ(RowPixel(target, 10, 0), 0xFFFFFFu);
    EXPECT_EQ(RowPixel(target, 11, 1), 0x0000FFu);

    // Doubled.
    sprite.SetTransparent(false);
    target.Canvas()->StretchDraw(Rect(0, 10, 8, 18), &sprite);
    EXPECT_EQ(RowPixel(target, 1, 11), 0xFF00FFu);
    EXPECT_EQ(RowPixel(target, 2, 12), 0x0000FFu);
    EXPECT_EQ(RowPixel(target, 5, 15), 0x0000FFu);
    EXPECT_EQ(RowPixel(target, 6, 16), 0xFF00FFu);

    TBitmap copy(4, 4);
    copy.Canvas()->CopyRect(Rect(0, 0, 4, 4), target.Canvas(), Rect(10, 0, 14, 4));
    EXPECT_EQ(RowPixel(copy, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(RowPixel(copy, 2, 2), 0x0000FFu);
}

TEST(Bitmap, OnChangeAndHandles) {
    TBitmap bmp(3, 3);
    int changes = 0;
    bmp.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &bmp);
        ++changes;
    };
    bmp.Canvas()->FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(changes, 1);
    // A DC taken before a resize draws into the new pixels.
    HDC held = bmp.Canvas()->Handle();
    bmp.SetSize(4, 4);
    EXPECT_EQ(changes, 2);
    bmp.SetSize(4, 4);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(bmp.Canvas()->Handle(), held);
    EXPECT_EQ(GetCurrentObject(held, OBJ_BITMAP), bmp.Handle());
    SetPixel(held, 3, 3, RGB(0, 0, 255));
    EXPECT_EQ(RowPixel(bmp, 3, 3), 0x0000FFu);

    // The canvas lets go of the DIB when the bitmap gives it away.
    HBITMAP h = bmp.ReleaseHandle();
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(GetObjectType(h), static_cast<DWORD>(OBJ_BITMAP));
    // Taking a handle copies it into a DIB of our own and deletes it.
    HBITMAP ddb = CreateBitmap(6, 5, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ddb);
    RECT r{0, 0, 6, 5};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &r, green);
    DeleteObject(green);
    SelectObject(dc, old);
    DeleteDC(dc);
    bmp.SetHandle(ddb);
    EXPECT_EQ(GetObjectType(ddb), 0u);
    EXPECT_EQ(bmp.Width(), 6);
    EXPECT_EQ(bmp.Height(), 5);
    EXPECT_EQ(RowPixel(bmp, 5, 4), 0x00FF00u);
    DeleteObject(h);
}

TEST(Bitmap, SaveAndLoadFiles) {
    std::string dir = MakeTempFolder("graphics");
    for (TPixelFormat pf : {pf24bit, pf32bit}) {
        TBitmap bmp(7, 3, pf);
        FillBitmap(bmp, clSilver);
        bmp.Canvas()->SetPixels(0, 0, clRed);
        bmp.Canvas()->SetPixels(6, 2, clBlue);
        std::string file = dir + "\\picture.bmp";
        bmp.SaveToFile(file);
        TBitmap back;
        back.LoadFromFile(file);
        EXPECT_EQ(back.Width(), 7);
        EXPECT_EQ(back.Height(), 3);
        EXPECT_EQ(back.PixelFormat(), pf);
        EXPECT_EQ(RowPixel(back, 0, 0), 0xFF0000u);
        EXPECT_EQ(RowPixel(back, 6, 2), 0x0000FFu);
        EXPECT_EQ(RowPixel(back, 3, 1), 0xC0C0C0u);
    }
    TBitmap bmp;
    EXPECT_EQ(ErrorText([&] { bmp.LoadFromFile(dir + "\\missing.bmp"); }), "Bitmap image is not valid");
    EXPECT_EQ(ErrorText([&] { bmp.SaveToFile(dir + "\\empty.bmp"); }), "Cannot save an empty bitmap");
    RemoveTree(dir);
}

TEST(Font, ChangeNotificationAndHandleRecreation) {
    TFont font;
    EXPECT_FALSE(font.Name().empty());
    EXPECT_NE(font.Height(), 0);
    EXPECT_EQ(font.Color(), clWindowText);
    int changes = 0;
    font.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &font);
        ++changes;
    };

    HFONT first = font.Handle();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(font.Handle(), first);  // cached
    font.SetColor(clRed);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(font.Handle(), first);  // colour is not part of the handle

    font.SetHeight(-30);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(GetObjectType(first), 0u);  // the old handle went away
    LOGFONTA lf{};
    ASSERT_EQ(GetObjectA(font.Handle(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, -30);
    font.SetHeight(-30);
    EXPECT_EQ(changes, 2);

    font.SetStyle({fsBold, fsItalic});
    ASSERT_EQ(GetObjectA(font.Handle(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_FALSE(lf.lfUnderline);
    EXPECT_EQ(changes, 3);

    font.SetPixelsPerInch(96);
    font.SetSize(12);
    EXPECT_EQ(font.Height(), -16);
    EXPECT_EQ(font.Size(), 12);

    // Taking another font's handle takes its description, not the handle.
    LOGFONTA arial{};
    arial.lfHeight = -21;
    arial.lfWeight = FW_NORMAL;
    arial.lfUnderline = TRUE;
    arial.lfEscapement = 900;
    std::strcpy(arial.lfFaceName, "Arial");
    HFONT foreign = CreateFontIndirectA(&arial);
    font.SetHandle(foreign);
    EXPECT_EQ(font.Name(), "Arial");
    EXPECT_EQ(font.Height(), -21);
    EXPECT_EQ(font.Style(), TFontStyles{fsUnderline});
    EXPECT_EQ(font.Orientation(), 900);
    EXPECT_NE(font.Handle(), foreign);
    EXPECT_EQ(GetObjectType(foreign), static_cast<DWORD>(OBJ_FONT));
    DeleteObject(foreign);

    TFont copy;
    int copyChanges = 0;
    copy.OnChange = [&](TObject*) { ++copyChanges; };
    copy.Assign(&font);
    EXPECT_EQ(copyChanges, 1);
    EXPECT_EQ(copy.Name(), "Arial");
    EXPECT_EQ(copy.Height(), -21);
    EXPECT_EQ(copy.Color(), clRed);
    EXPECT_EQ(copy.Style(), font.Style());
    // Published properties by name.
    EXPECT_EQ(GetOrdProp(&copy, "Height"), -21);
    SetOrdProp(&copy, "Style", TFontStyles{fsBold}.ToBits());
    EXPECT_EQ(copy.Style(), TFontStyles{fsBold});
    EXPECT_EQ(GetStrProp(&copy, "Name"), "Arial");
}

TEST(Canvas, FontChangeReachesTheDCAndTheDCGetsItsObjectsBack) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateBitmap(50, 50, 1, 32, nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, bm);
    HGDIOBJ ownFont = GetCurrentObject(dc, OBJ_FONT);
    HGDIOBJ ownPen = GetCurrentObject(dc, OBJ_PEN);
    HGDIOBJ ownBrush = GetCurrentObject(dc, OBJ_BRUSH);
    {
        TCanvas canvas;
        EXPECT_EQ(ErrorText([&] { canvas.FillRect(Rect(0, 0, 1, 1)); }), "Canvas does not allow drawing");
        canvas.SetHandle(dc);
        canvas.Font()->SetHeight(-10);
        int small = canvas.TextHeight("Hg");
        HGDIOBJ selected = GetCurrentObject(dc, OBJ_FONT);
        EXPECT_EQ(selected, canvas.Font()->Handle());
        canvas.Font()->SetHeight(-40);
        // The old font was put out of the DC before it was deleted.
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont);
        EXPECT_GT(canvas.TextHeight("Hg"), small + 20);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas.Font()->Handle());

        canvas.Rectangle(0, 0, 5, 5);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), canvas.Pen()->Handle());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), canvas.Brush()->Handle());
        canvas.Brush()->SetColor(clRed);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), ownBrush);
        EXPECT_EQ(GetBkMode(dc), OPAQUE);
        canvas.Brush()->SetStyle(bsClear);
        canvas.FillRect(Rect(0, 0, 1, 1));
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);

        TRect clip = canvas.ClipRect();
        EXPECT_EQ(clip.right, 50);
        EXPECT_EQ(clip.bottom, 50);

        canvas.Lock();
        EXPECT_EQ(canvas.LockCount(), 1);
        EXPECT_TRUE(canvas.TryLock());
        EXPECT_EQ(canvas.LockCount(), 2);
        canvas.Unlock();
        canvas.Unlock();
        EXPECT_EQ(canvas.LockCount(), 0);

        // Setting a font on the canvas copies it.
        TFont big;
        big.SetHeight(-25);
        canvas.SetFont(&big);
        EXPECT_EQ(canvas.Font()->Height(), -25);
        EXPECT_NE(canvas.Font(), &big);

        canvas.SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), ownPen);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), ownBrush);
        canvas.SetHandle(dc);
        canvas.TextOut(0, 0, "x");
    }
    // Freeing the canvas also gave the DC its objects back.
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), ownPen);
    SelectObject(dc, oldBitmap);
    DeleteObject(bm);
    DeleteDC(dc);
}

TEST(Canvas, ChangeEvents) {
    TBitmap bmp(4, 4);
    int changing = 0, changed = 0;
    bmp.Canvas()->OnChanging = [&](TObject*) { ++changing; };
    TNotifyEvent bitmapHook = bmp.Canvas()->OnChange;
    bmp.Canvas()->OnChange = [&](TObject* s) {
        ++changed;
        bitmapHook(s);
    };
    bmp.Canvas()->FillRect(Rect(0, 0, 2, 2));
    bmp.Canvas()->TextOut(0, 0, "a");
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    bmp.Canvas()->TextWidth("a");  // measuring changes nothing
    EXPECT_EQ(changed, 2);
}

TEST(Icon, LoadDrawAssign) {
    TIcon icon;
    EXPECT_TRUE(icon.Empty());
    icon.LoadFromResourceID(nullptr, 32512);  // IDI_APPLICATION
    ASSERT_FALSE(icon.Empty());
    EXPECT_GT(icon.Width(), 0);
    EXPECT_GT(icon.Height(), 0);
    EXPECT_EQ(ErrorText([&] { icon.SetWidth(icon.Width() + 1); }), "Cannot change the size of an icon");

    TBitmap bmp(icon.Width(), icon.Height());
    FillBitmap(bmp, clFuchsia);
    bmp.Canvas()->Draw(0, 0, &icon);
    int drawn = 0;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (RowPixel(bmp, x, y) != 0xFF00FFu) ++drawn;
    EXPECT_GT(drawn, 10);

    TIcon copy;
    copy.Assign(&icon);
    EXPECT_NE(copy.Handle(), icon.Handle());
    EXPECT_EQ(copy.Width(), icon.Width());
    HICON h = icon.ReleaseHandle();
    EXPECT_TRUE(icon.Empty());
    DestroyIcon(h);
    EXPECT_EQ(ErrorText([&] { icon.LoadFromResourceName(GetModuleHandleA(nullptr), "NO_SUCH_ICON"); }),
              "Icon image is not valid");
}

TEST(Canvas, DrawsOnAWindowDC) {
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 50, 50, 120, 60,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    PumpMessages(100);
    HDC dc = GetDC(wnd);
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.Brush()->SetColor(clTeal);
        canvas.FillRect(Rect(0, 0, 120, 60));
        TBitmap sprite(10, 10);
        FillBitmap(sprite, clYellow);
        canvas.Draw(100, 40, &sprite);
        canvas.Font()->SetColor(clWhite);
        canvas.Brush()->SetStyle(bsClear);
        canvas.TextOut(5, 5, "Skin");
        GdiFlush();
        Picture pic = CaptureClient(wnd);
        ASSERT_EQ(pic.Width, 120);
        EXPECT_EQ(pic.Pixel(60, 50), 0x008080u);
        EXPECT_EQ(pic.Pixel(105, 45), 0xFFFF00u);
        int white = 0;
        TSize ext = canvas.TextExtent("Skin");
        for (int y = 5; y < 5 + ext.cy; ++y)
            for (int x = 5; x < 5 + ext.cx; ++x)
                if (pic.Pixel(x, y) != 0x008080u) ++white;
        EXPECT_GT(white, 10);
        canvas.SetHandle(nullptr);
    }
    ReleaseDC(wnd, dc);
    DestroyWindow(wnd);
}
