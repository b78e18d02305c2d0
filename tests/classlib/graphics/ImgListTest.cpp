// Image lists drawn onto bitmaps, and the GDI objects of the graphics classes
// not piling up over many create/draw/free cycles.
#include <gtest/gtest.h>

#include "Graphics.h"
#include "GraphicsTestHelpers.h"
#include "ImgList.h"
#include "TestSupport.h"

#include <vector>

using namespace graphicstest;

namespace {

void Fill(TBitmap& bmp, const TRect& r, TColor color) {
    bmp.Canvas()->Brush()->SetColor(color);
    bmp.Canvas()->FillRect(r);
}

// Two 8 x 8 images side by side on a fuchsia background: a red square at
// (2,2)-(6,6) and a full blue square.
void MakeStrip(TBitmap& strip) {
    strip.SetSize(16, 8);
    Fill(strip, Rect(0, 0, 16, 8), clFuchsia);
    Fill(strip, Rect(2, 2, 6, 6), clRed);
    Fill(strip, Rect(8, 0, 16, 8), clBlue);
}

}  // namespace

TEST(ImageList, AddMaskedAndDraw) {
    for (TColorDepth depth : {cd24Bit, cd32Bit}) {
        TImageList list(nullptr, 8, 8);
        list.SetColorDepth(depth);
        EXPECT_EQ(list.Width(), 8);
        EXPECT_EQ(list.Height(), 8);
        EXPECT_EQ(list.Count(), 0);
        ASSERT_NE(list.Handle(), nullptr);
        int changes = 0;
        list.OnChange = [&](TObject*) { ++changes; };

        TBitmap strip;
        MakeStrip(strip);
        EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
        EXPECT_EQ(list.Count(), 2);
        EXPECT_EQ(changes, 1);
        // The caller's bitmap is left alone.
        EXPECT_EQ(RowPixel(strip, 0, 0), 0xFF00FFu);

        TBitmap target(30, 10);
        Fill(target, Rect(0, 0, 30, 10), clWhite);
        list.Draw(target.Canvas(), 1, 1, 0);
        EXPECT_EQ(RowPixel(target, 1, 1), 0xFFFFFFu);  // masked out
        EXPECT_EQ(RowPixel(target, 4, 4), 0xFF0000u);
        EXPECT_EQ(RowPixel(target, 8, 8), 0xFFFFFFu);
        list.Draw(target.Canvas(), 12, 1, 1);
        EXPECT_EQ(RowPixel(target, 12, 1), 0x0000FFu);
        EXPECT_EQ(RowPixel(target, 19, 8), 0x0000FFu);
        EXPECT_EQ(RowPixel(target, 20, 8), 0xFFFFFFu);
        // Out of range: nothing, no error.
        list.Draw(target.Canvas(), 0, 0, 5);
        EXPECT_EQ(RowPixel(target, 0, 0), 0xFFFFFFu);
    }
}

TEST(ImageList, AddWithMaskBitmapAndGetBitmap) {
    TImageList list(nullptr, 8, 8);
    TBitmap image(8, 8), mask(8, 8);
    Fill(image, Rect(0, 0, 8, 8), clGreen);
    Fill(mask, Rect(0, 0, 8, 8), clWhite);  // white: transparent
    Fill(mask, Rect(0, 0, 4, 8), clBlack);  // left half shows
    EXPECT_EQ(list.Add(&image, &mask), 0);
    EXPECT_EQ(list.Add(&image, nullptr), 1);
    EXPECT_EQ(list.Count(), 2);

    TBitmap target(20, 8);
    Fill(target, Rect(0, 0, 20, 8), clYellow);
    list.Draw(target.Canvas(), 0, 0, 0);
    list.Draw(target.Canvas(), 10, 0, 1);
    EXPECT_EQ(RowPixel(target, 1, 3), 0x008000u);
    EXPECT_EQ(RowPixel(target, 6, 3), 0xFFFF00u);
    EXPECT_EQ(RowPixel(target, 17, 3), 0x008000u);

    TBitmap got;
    got.Canvas()->Brush()->SetColor(clAqua);
    list.GetBitmap(0, &got);
    EXPECT_EQ(got.Width(), 8);
    EXPECT_EQ(got.Height(), 8);
    EXPECT_EQ(RowPixel(got, 0, 0), 0x008000u);
    EXPECT_EQ(RowPixel(got, 7, 7), 0x00FFFFu);

    EXPECT_EQ(ErrorText([&] { list.Delete(2); }), "Invalid image list index");
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    TImageList copy(nullptr);
    copy.Assign(&list);
    EXPECT_EQ(copy.Count(), 1);
    EXPECT_EQ(copy.Width(), 8);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(copy.Count(), 1);
    // A new size empties the list.
    copy.SetSize(12, 12);
    EXPECT_EQ(copy.Count(), 0);
    EXPECT_EQ(GetOrdProp(&copy, "Width"), 12);
}

TEST(ImageList, DisabledDrawIsGreyInTheShapeOnly) {
    TImageList list(nullptr, 8, 8);
    TBitmap strip;
    MakeStrip(strip);
    list.AddMasked(&strip, clFuchsia);

    TBitmap target(10, 10);
    Fill(target, Rect(0, 0, 10, 10), clNavy);
    list.Draw(target.Canvas(), 1, 1, 0, false);
    EXPECT_EQ(RowPixel(target, 1, 1), 0x000080u);
    EXPECT_EQ(RowPixel(target, 8, 8), 0x000080u);
    for (int y = 3; y < 7; ++y)
        for (int x = 3; x < 7; ++x) {
            std::uint32_t c = RowPixel(target, x, y);
            std::uint32_t r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
            EXPECT_EQ(r, g);
            EXPECT_EQ(g, b);
            EXPECT_GE(r, 96u);
        }
}

// How many more GDI objects the process can make: a leak lowers it. Used
// where GetGuiResources does not count (Wine), found by filling the table.
int GdiObjectsLeft() {
    std::vector<HBRUSH> made;
    made.reserve(70000);
    for (int i = 0; i < 70000; ++i) {
        HBRUSH b = CreateSolidBrush(RGB(i & 0xFF, 1, 2));
        if (!b) break;
        made.push_back(b);
    }
    for (HBRUSH b : made) DeleteObject(b);
    return static_cast<int>(made.size());
}

TEST(Resources, GdiObjectsDoNotGrow) {
    HANDLE process = GetCurrentProcess();
    DWORD probeBefore = GetGuiResources(process, GR_GDIOBJECTS);
    HBRUSH probe[8];
    for (auto& b : probe) b = CreateSolidBrush(RGB(1, 2, 3));
    DWORD probeAfter = GetGuiResources(process, GR_GDIOBJECTS);
    for (auto b : probe) DeleteObject(b);
    const bool counted = probeAfter >= probeBefore + 8;
    auto inUse = [&]() -> long {
        return counted ? static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS)) : -GdiObjectsLeft();
    };
    if (!counted && GdiObjectsLeft() >= 70000) GTEST_SKIP() << "no way to count GDI objects here";

    auto cycle = [](int i) {
        TBitmap bmp(24, 24, (i & 1) ? pf32bit : pf24bit);
        TCanvas* c = bmp.Canvas();
        c->Brush()->SetColor(static_cast<TColor>(i * 1000));
        c->FillRect(Rect(0, 0, 24, 24));
        c->Font()->SetHeight(-10 - i % 7);
        c->Font()->SetStyle({fsBold});
        c->Pen()->SetWidth(1 + i % 3);
        c->Pen()->SetStyle(psDot);
        c->Rectangle(1, 1, 20, 20);
        c->TextOut(2, 2, "Ab");
        c->Brush()->SetStyle(bsCross);
        c->Ellipse(0, 0, 10, 10);
        TBitmap copy;
        copy.Assign(&bmp);
        copy.SetTransparent(true);
        TBitmap target(30, 30);
        target.Canvas()->Draw(3, 3, &copy);
        target.Canvas()->StretchDraw(Rect(0, 0, 30, 30), &bmp);
        TImageList list(nullptr, 12, 12);
        list.AddMasked(&bmp, clBlack);
        list.Add(&bmp, &copy);
        list.Draw(target.Canvas(), 0, 0, 0);
        list.Draw(target.Canvas(), 0, 0, 1, false);
        list.GetBitmap(1, &copy);
        TIcon icon;
        icon.LoadFromResourceID(nullptr, 32512);
        target.Canvas()->Draw(0, 0, &icon);
        TFont font;
        font.SetHandle(c->Font()->Handle());
        font.Handle();
        HBITMAP h = copy.ReleaseHandle();
        DeleteObject(h);
    };
    for (int i = 0; i < 20; ++i) cycle(i);  // caches warm up
    long before = inUse();
    for (int i = 0; i < 1000; ++i) cycle(i);
    long after = inUse();
    EXPECT_LE(after, before + 5) << "before " << before << " after " << after;
}
