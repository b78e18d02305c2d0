// Owner-drawn menu items measured and drawn through the dispatch functions
// with real MEASUREITEMSTRUCT / DRAWITEMSTRUCT records, the drawing read back
// from a DIB.
#include <gtest/gtest.h>

#include "Menus.h"
#include "TestSupport.h"

using testsupport::Picture;
using testsupport::RGBOf;

namespace {

// A 24-bit DIB section selected into a memory DC, painted grey at first.
struct DibSurface {
    HDC DC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
    int Width, Height;
    DibSurface(int w, int h) : Width(w), Height(h) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        DC = CreateCompatibleDC(nullptr);
        Bitmap = CreateDIBSection(DC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        Old = SelectObject(DC, Bitmap);
        RECT r{0, 0, w, h};
        HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
        FillRect(DC, &r, grey);
        DeleteObject(grey);
    }
    ~DibSurface() {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    Picture Read() const { return testsupport::CaptureDC(DC, 0, 0, Width, Height); }
};

DRAWITEMSTRUCT DrawRecord(TMenuItem* item, HDC dc, RECT rect, UINT state) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = item->Command();
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = reinterpret_cast<HWND>(item->Parent() ? item->Parent()->Handle() : nullptr);
    dis.hDC = dc;
    dis.rcItem = rect;
    dis.itemData = reinterpret_cast<ULONG_PTR>(item);
    return dis;
}

MEASUREITEMSTRUCT MeasureRecord(TMenuItem* item) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = item->Command();
    mis.itemData = reinterpret_cast<ULONG_PTR>(item);
    return mis;
}

TMenuItem* AddItem(TMenuItem* parent, const char* caption) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

TEST(OwnerDraw, MeasuresThroughTheHandlerWithTheMenuFont) {
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    TMenuItem* item = AddItem(menu.Items(), "Measured");
    TMenuItem* plain = AddItem(menu.Items(), "A rather longer caption");
    TMenuItem* line = AddItem(menu.Items(), "-");
    LOGFONTA seen{};
    int givenWidth = -1;
    item->OnMeasureItem = [&](TObject* sender, TCanvas* canvas, int& w, int& h) {
        EXPECT_EQ(sender, item);
        ASSERT_NE(canvas->Handle(), nullptr);
        GetObjectA(GetCurrentObject(canvas->Handle(), OBJ_FONT), sizeof(seen), &seen);
        givenWidth = w;
        w = 77;
        h = 23;
    };
    MEASUREITEMSTRUCT mis = MeasureRecord(item);
    ASSERT_TRUE(DispatchMenuMeasureItem(&mis));
    EXPECT_EQ(mis.itemWidth, 77u);
    EXPECT_EQ(mis.itemHeight, 23u);
    EXPECT_GT(givenWidth, 0);  // the handler is offered the default size first
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    EXPECT_STREQ(seen.lfFaceName, ncm.lfMenuFont.lfFaceName);
    EXPECT_EQ(seen.lfHeight, ncm.lfMenuFont.lfHeight);

    // Without a handler: a size that holds the caption; separators are thin.
    MEASUREITEMSTRUCT a = MeasureRecord(plain);
    MEASUREITEMSTRUCT b = MeasureRecord(line);
    ASSERT_TRUE(DispatchMenuMeasureItem(&a));
    ASSERT_TRUE(DispatchMenuMeasureItem(&b));
    EXPECT_GT(a.itemWidth, 100u);
    EXPECT_GT(a.itemHeight, 10u);
    EXPECT_LT(b.itemHeight, a.itemHeight);

    // Records that are not ours are left alone.
    MEASUREITEMSTRUCT foreign = MeasureRecord(item);
    foreign.CtlType = ODT_LISTBOX;
    EXPECT_FALSE(DispatchMenuMeasureItem(&foreign));
    int local = 0;
    foreign = MeasureRecord(item);
    foreign.itemData = reinterpret_cast<ULONG_PTR>(&local);
    EXPECT_FALSE(DispatchMenuMeasureItem(&foreign));
    MEASUREITEMSTRUCT stale = MeasureRecord(plain);
    plain->Free();
    EXPECT_FALSE(DispatchMenuMeasureItem(&stale));
}

TEST(OwnerDraw, DrawsThroughTheAdvancedHandlerWithTheState) {
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    TMenuItem* item = AddItem(menu.Items(), "Drawn");
    item->SetChecked(true);
    TOwnerDrawState seen;
    RECT seenRect{};
    int calls = 0;
    item->OnAdvancedDrawItem = [&](TObject* sender, TCanvas* canvas, TRect r, TOwnerDrawState state) {
        EXPECT_EQ(sender, item);
        ++calls;
        seen = state;
        seenRect = r;
        canvas->Brush()->SetColor(state.Contains(odSelected) ? clRed : clBlue);
        canvas->FillRect(r);
    };
    int simpleCalls = 0;
    item->OnDrawItem = [&](TObject*, TCanvas*, TRect, bool) { ++simpleCalls; };
    DibSurface surface(60, 40);
    DRAWITEMSTRUCT dis = DrawRecord(item, surface.DC, RECT{10, 5, 50, 25}, ODS_SELECTED);
    ASSERT_TRUE(DispatchMenuDrawItem(&dis));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(simpleCalls, 0);  // the advanced handler wins
    EXPECT_TRUE(seen.Contains(odSelected));
    EXPECT_TRUE(seen.Contains(odChecked));  // from the item, whatever the record says
    EXPECT_FALSE(seen.Contains(odDisabled));
    EXPECT_EQ(seenRect.left, 10);
    EXPECT_EQ(seenRect.bottom, 25);
    Picture pic = surface.Read();
    EXPECT_EQ(pic.Pixel(10, 5), 0xFF0000u);
    EXPECT_EQ(pic.Pixel(49, 24), 0xFF0000u);
    EXPECT_EQ(pic.Pixel(50, 24), 0x808080u);  // nothing outside the rectangle
    EXPECT_EQ(pic.Pixel(9, 5), 0x808080u);

    item->SetEnabled(false);
    dis = DrawRecord(item, surface.DC, RECT{10, 5, 50, 25}, 0);
    ASSERT_TRUE(DispatchMenuDrawItem(&dis));
    EXPECT_TRUE(seen.Contains(odDisabled));
    EXPECT_EQ(surface.Read().Pixel(30, 15), 0x0000FFu);

    // Without the advanced handler the plain one is called with Selected.
    item->OnAdvancedDrawItem = nullptr;
    bool selected = false;
    item->OnDrawItem = [&](TObject*, TCanvas*, TRect, bool s) {
        ++simpleCalls;
        selected = s;
    };
    dis = DrawRecord(item, surface.DC, RECT{10, 5, 50, 25}, ODS_SELECTED);
    ASSERT_TRUE(DispatchMenuDrawItem(&dis));
    EXPECT_EQ(simpleCalls, 1);
    EXPECT_TRUE(selected);

    // The handlers are comparable slots: a painter can recognise its own.
    struct TPainter {
        void Draw(TObject*, TCanvas*, TRect, TOwnerDrawState) {}
    } painter, other;
    item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent(&painter, &TPainter::Draw);
    EXPECT_TRUE(item->OnAdvancedDrawItem == TAdvancedMenuDrawItemEvent(&painter, &TPainter::Draw));
    EXPECT_FALSE(item->OnAdvancedDrawItem == TAdvancedMenuDrawItemEvent(&other, &TPainter::Draw));
}

TEST(OwnerDraw, DefaultLookShowsHighlightTextCheckAndLines) {
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    TMenuItem* item = AddItem(menu.Items(), "&Wide caption");
    item->SetShortCut(ShortCut('W', {ssCtrl}));
    TMenuItem* line = AddItem(menu.Items(), "-");
    const int w = 200, h = 24;
    DibSurface surface(w, 3 * h);

    DRAWITEMSTRUCT dis = DrawRecord(item, surface.DC, RECT{0, 0, w, h}, ODS_SELECTED);
    ASSERT_TRUE(DispatchMenuDrawItem(&dis));
    item->SetChecked(true);
    dis = DrawRecord(item, surface.DC, RECT{0, h, w, 2 * h}, 0);
    ASSERT_TRUE(DispatchMenuDrawItem(&dis));
    dis = DrawRecord(line, surface.DC, RECT{0, 2 * h, w, 3 * h}, 0);
    ASSERT_TRUE(DispatchMenuDrawItem(&dis));
    Picture pic = surface.Read();

    const unsigned highlight = RGBOf(GetSysColor(COLOR_HIGHLIGHT));
    const unsigned menuColour = RGBOf(GetSysColor(COLOR_MENU));
    // The selected row is filled with the highlight colour and carries text
    // in the highlight-text colour; the caption sits right of the glyph
    // column and the shortcut at the right end.
    EXPECT_EQ(pic.Pixel(1, 1), highlight);
    EXPECT_EQ(pic.Pixel(w - 2, h - 2), highlight);
    auto countColour = [&](int x0, int x1, int y0, int y1, unsigned colour) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += pic.Pixel(x, y) == colour;
        return n;
    };
    const unsigned highlightText = RGBOf(GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_GT(countColour(20, 120, 0, h, highlightText), 20);    // caption
    EXPECT_GT(countColour(w - 60, w, 0, h, highlightText), 10);  // "Ctrl+W"
    EXPECT_EQ(countColour(0, 18, 0, h, highlightText), 0);       // no check mark yet

    // The unselected, checked row: menu colour, a check mark in the glyph
    // column in the menu-text colour.
    const unsigned text = RGBOf(GetSysColor(COLOR_MENUTEXT));
    EXPECT_EQ(pic.Pixel(w - 2, h + 1), menuColour);
    EXPECT_GT(countColour(0, 22, h, 2 * h, text), 8);

    // The separator: a shadow line across the middle, menu colour around it.
    int mid = 2 * h + h / 2 - 1;
    EXPECT_EQ(pic.Pixel(w / 2, mid), RGBOf(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(pic.Pixel(w / 2, 2 * h + 2), menuColour);
}

TEST(OwnerDraw, HotkeysOfOwnerDrawnEntries) {
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    AddItem(menu.Items(), "&Open");
    TMenuItem* hidden = AddItem(menu.Items(), "&Hidden");
    hidden->SetVisible(false);
    AddItem(menu.Items(), "&Other");
    AddItem(menu.Items(), "E&xit");
    AddItem(menu.Items(), "&Help");
    HMENU h = menu.Handle();
    LRESULT r = 0;
    ASSERT_TRUE(DispatchMenuChar(MAKEWPARAM('x', MF_POPUP), reinterpret_cast<LPARAM>(h), r));
    EXPECT_EQ(LOWORD(r), 2);  // positions count visible entries only
    EXPECT_EQ(HIWORD(r), MNC_EXECUTE);
    ASSERT_TRUE(DispatchMenuChar(MAKEWPARAM('H', MF_POPUP), reinterpret_cast<LPARAM>(h), r));
    EXPECT_EQ(LOWORD(r), 3);
    ASSERT_TRUE(DispatchMenuChar(MAKEWPARAM('o', MF_POPUP), reinterpret_cast<LPARAM>(h), r));
    EXPECT_EQ(HIWORD(r), MNC_SELECT);  // two entries share it
    EXPECT_EQ(LOWORD(r), 0);
    EXPECT_FALSE(DispatchMenuChar(MAKEWPARAM('q', MF_POPUP), reinterpret_cast<LPARAM>(h), r));
}

}  // namespace
