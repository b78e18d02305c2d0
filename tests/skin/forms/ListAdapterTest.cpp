// The adapters of combo boxes, list views, trees, edits, list boxes, the MDI
// client, grids and virtual trees on real windows: real input, pixels of the
// test skin, and the system look given back when the skin goes.
#include "AdapterTestSupport.h"

#include "FormTestSupport.h"
#include "Lists.h"
#include "Scopes.h"
#include "ScrollBarPlaces.h"
#include "sAlphaGraph.h"
#include "sComboBox.h"
#include "sListView.h"

#include <commctrl.h>

#include <memory>

// Small stand-ins of other libraries' controls, with the published
// properties the adapters look for by name.
enum THeaderOption { hoVisible, hoOwnerDraw };
CLASSLIB_ENUM_NAMES(THeaderOption, "hoVisible", "hoOwnerDraw")

class TVTHeader : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TVTHeader)
public:
    TSet<THeaderOption> Options{hoVisible};
    int Height = 20;
    int SortColumn = -1;
    int SortDirection = 0;  // 0: ascending
};
// clang-format off
CLASSLIB_DEFINE_CLASS(TVTHeader, TPersistent, OrdField<TVTHeader>("Options", TTypeKind::tkSet, &TVTHeader::Options),
                      OrdField<TVTHeader>("Height", TTypeKind::tkInteger, &TVTHeader::Height),
                      OrdField<TVTHeader>("SortColumn", TTypeKind::tkInteger, &TVTHeader::SortColumn),
                      OrdField<TVTHeader>("SortDirection", TTypeKind::tkInteger, &TVTHeader::SortDirection))
// clang-format on

class TVirtualStringTree : public TCustomControl {
    CLASSLIB_DECLARE_CLASS(TVirtualStringTree)
public:
    using TCustomControl::TCustomControl;
    TVTHeader* Header() const { return FHeader.get(); }
    TacAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
    TacHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
    // The flags of each WM_PRINT that reached the tree itself (a real one
    // paints its header, outside its client area, on those).
    std::vector<LPARAM> Prints;

protected:
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_PRINT) Prints.push_back(M.LParam);
        TCustomControl::WndProc(M);
    }

private:
    std::unique_ptr<TVTHeader> FHeader = std::make_unique<TVTHeader>();
};
// clang-format off
CLASSLIB_DEFINE_CLASS(TVirtualStringTree, TCustomControl, ObjProp<TVirtualStringTree>("Header", &TVirtualStringTree::Header),
                      MethodField<TVirtualStringTree>("OnAdvancedHeaderDraw", &TVirtualStringTree::OnAdvancedHeaderDraw),
                      MethodField<TVirtualStringTree>("OnHeaderDrawQueryElements",
                                                      &TVirtualStringTree::OnHeaderDrawQueryElements))
// clang-format on

// A grid with the fixed colour, title font and data source only.
class TDBGrid : public TCustomControl {
    CLASSLIB_DECLARE_CLASS(TDBGrid)
public:
    using TCustomControl::TCustomControl;
    TColor FixedColor = clBtnFace;
    int DataSource = 0;
    TFont* TitleFont() const { return FTitleFont.get(); }

private:
    std::unique_ptr<TFont> FTitleFont = std::make_unique<TFont>();
};
// clang-format off
CLASSLIB_DEFINE_CLASS(TDBGrid, TCustomControl, OrdField<TDBGrid>("FixedColor", TTypeKind::tkInteger, &TDBGrid::FixedColor),
                      ObjProp<TDBGrid>("TitleFont", &TDBGrid::TitleFont),
                      OrdField<TDBGrid>("DataSource", TTypeKind::tkInteger, &TDBGrid::DataSource))
// clang-format on

// A skinned list view of owner data: as many rows as its count says.
class TOwnerDataListView : public TsListView {
public:
    using TsListView::TsListView;

protected:
    void CreateParams(TCreateParams& Params) override {
        TsListView::CreateParams(Params);
        Params.Style |= LVS_OWNERDATA;
    }
};

namespace {

using namespace adaptertest;

class ListAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Manager();
        host = MakeHost(460, 400);
        hostHook.Attach(host, [this](TMessage& M) {
            if (M.Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(M.LParam)->code == LVN_COLUMNCLICK)
                clicked = reinterpret_cast<NMLISTVIEW*>(M.LParam)->iSubItem;
            hostHook.CallPrevious(M);
        });
    }
    void TearDown() override {
        LeftButton(false);
        adapters.clear();
        hostHook.Release();
        DestroyWindow(host);
        Pump(20);
    }
    template <typename T>
    T* Adapt(HWND h, const char* Section = "EDIT", TsSkinManager* M = nullptr) {
        adapters.push_back(std::make_unique<T>(h, nullptr, M ? M : Manager(), Section));
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(40);
        return static_cast<T*>(adapters.back().get());
    }
    HWND ListView(int Rows) {
        HWND lv = MakeChild(host, WC_LISTVIEWA, LVS_REPORT | WS_BORDER, 10, 10, 300, 200);
        for (int i = 0; i < 3; ++i) {
            char text[] = "Column";
            LVCOLUMNA col{};
            col.mask = LVCF_TEXT | LVCF_WIDTH;
            col.cx = 90;
            col.pszText = text;
            SendMessageA(lv, LVM_INSERTCOLUMNA, WPARAM(i), reinterpret_cast<LPARAM>(&col));
        }
        for (int i = 0; i < Rows; ++i) {
            std::string t = "Row " + std::to_string(i);
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = &t[0];
            SendMessageA(lv, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        return lv;
    }
    // An adapted system list view on Parent with one column "Column", 90 wide, in Font.
    TacListViewWnd* OneColumnList(HWND Parent, HFONT Font) {
        HWND lv = MakeChild(Parent, WC_LISTVIEWA, LVS_REPORT, 10, 150, 300, 120);
        SendMessageA(lv, WM_SETFONT, WPARAM(Font), TRUE);
        char caption[] = "Column";
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = 90;
        col.pszText = caption;
        SendMessageA(lv, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
        return Adapt<TacListViewWnd>(lv);
    }
    POINT Thumb(TacScrollWnd* A) { return testsupport::VertThumbCentre(A); }
    POINT DownArrow(TacScrollWnd* A) {
        TRect r;
        ScrollBarRect(A, SB_VERT, A->CtrlHandle, r);
        return POINT{(r.left + r.right) / 2, r.bottom - 4};
    }

    HWND host = nullptr;
    TWindowProcSubclass hostHook;
    int clicked = -1;
    std::vector<std::unique_ptr<TacMainWnd>> adapters;
};

TEST_F(ListAdapterTest, DroppedComboListIsSkinnedAndItsBarsAutoRepeat) {
    HWND combo = MakeChild(host, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 160, 200);
    for (int i = 0; i < 40; ++i) SendMessageA(combo, CB_ADDSTRING, 0, LPARAM(("Item " + std::to_string(i)).c_str()));
    auto* a = Adapt<TacComboBoxWnd>(combo, "COMBOBOX");
    TRect button;
    a->GetButtonRect(button);
    Click(ScreenOf(combo, POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2}));
    Pump(100);
    ASSERT_TRUE(a->ListHandle && IsWindowVisible(a->ListHandle));
    ASSERT_NE(a->ListAdapter, nullptr);
    EXPECT_EQ(AdapterOfWindow(a->ListHandle), a->ListAdapter);
    HWND list = a->ListHandle;
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump(40);
    // The frame: the list's section's own border, 2 pixels outside the
    // lines, round its colour, and skinned bar tracks.
    RECT w{};
    GetWindowRect(list, &w);
    EXPECT_EQ(WindowPixel(list, 0, 20), C().Border[0]);
    EXPECT_TRUE(Near(WindowPixel(list, 2, 20), C().Edit));
    const RECT bar = LocalBarRect(a->ListAdapter, SB_VERT);
    EXPECT_TRUE(Near(WindowPixel(list, (bar.left + bar.right) / 2, bar.bottom - 20), C().ScrollTrack[1]));
    // The drop-down button shows its pressed glyph while the list is open.
    const int gx = button.left + (button.right - button.left - testsupport::kTestGlyphWidth) / 2 + 6;
    RECT cw{};
    GetWindowRect(combo, &cw);
    EXPECT_TRUE(
        Near(WindowPixel(combo, gx, (cw.bottom - cw.top - testsupport::kTestGlyphHeight) / 2 + 1), C().Glyph[2]));
    // Every colour question about the list gets the one brush of the adapter.
    HDC ldc = GetDC(list);
    const auto brush = SendMessageA(combo, WM_CTLCOLORLISTBOX, WPARAM(ldc), LPARAM(list));
    EXPECT_EQ(SendMessageA(combo, WM_CTLCOLORLISTBOX, WPARAM(ldc), LPARAM(list)), brush);
    ReleaseDC(list, ldc);

    // Held on the down arrow: the first step at once, then repeats.
    MouseTo(DownArrow(a->ListAdapter));
    LeftButton(true);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 1);
    Pump(800);
    LeftButton(false);
    EXPECT_GE(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 5);
    EXPECT_TRUE(IsWindowVisible(list)) << "a press on the bar closed the list";
    EXPECT_EQ(acScrollTracking.PressedPart, -1);
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    adapters.clear();
    EXPECT_EQ(GetObjectType(HGDIOBJ(brush)), 0u);  // freed with the adapter
}

TEST_F(ListAdapterTest, HeaderSectionsPaintFromTheSkinAndAClickStillNotifies) {
    HWND lv = ListView(20);
    auto* a = Adapt<TacListViewWnd>(lv);
    ASSERT_NE(a->HeaderWnd, nullptr);
    HWND header = a->HeaderWnd;
    RECT s1{};
    SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&s1));
    const int midY = (s1.top + s1.bottom) / 2;
    auto section = [&](int Left) {
        HDC dc = GetDC(header);
        const std::uint32_t edge = testsupport::RGBOf(GetPixel(dc, Left + 1, midY));
        const std::uint32_t inside = testsupport::RGBOf(GetPixel(dc, Left + 85, midY));
        ReleaseDC(header, dc);
        return std::make_pair(edge, inside);
    };
    EXPECT_EQ(section(s1.left), std::make_pair(C().Border[0], C().Header[0]));
    EXPECT_EQ(a->HeaderHeight, s1.bottom - s1.top);

    POINT on1{s1.left + 40, midY};
    ClientToScreen(header, &on1);
    MouseTo(on1);
    Pump(60);
    EXPECT_EQ(section(s1.left), std::make_pair(C().Border[1], C().Header[1]));
    LeftButton(true);
    Pump(60);
    EXPECT_EQ(section(s1.left), std::make_pair(C().Border[2], C().Header[1]));
    LeftButton(false);
    Pump(60);
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(section(s1.left).first, C().Border[1]);

    // Pressed on a divider: no section looks pressed.
    POINT divider{s1.right, midY};
    ClientToScreen(header, &divider);
    MouseTo(divider);
    LeftButton(true);
    EXPECT_EQ(a->PressedSection, -1);
    LeftButton(false);
}

// Section 0 of a header as it shows on the screen, in the state the real
// mouse gives it: away (normal), over it (hot) or pressed on it.
testsupport::Picture HeaderSectionIn(HWND Header, TsPaintState State) {
    RECT s{};
    SendMessageA(Header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&s));
    POINT over{(s.left + s.right) / 2, (s.top + s.bottom) / 2};
    ClientToScreen(Header, &over);
    MouseTo(State == TsPaintState::Normal ? POINT{5, 5} : over);
    if (State == TsPaintState::Pressed) LeftButton(true);
    Pump(60);
    UpdateWindow(Header);
    const TClientDC dc(Header);
    testsupport::Picture p = testsupport::CaptureDC(dc, s.left, s.top, s.right - s.left, s.bottom - s.top);
    if (State == TsPaintState::Pressed) LeftButton(false);
    MouseTo(POINT{5, 5});
    Pump(40);
    return p;
}

bool Shows(const testsupport::Picture& P, std::uint32_t Colour) {
    for (int y = 0; y < P.Height; ++y)
        for (int x = 0; x < P.Width; ++x)
            if (P.Pixel(x, y) == Colour) return true;
    return false;
}

// Pictures of one size: how many pixels differ.
int DifferingPixels(const testsupport::Picture& A, const testsupport::Picture& B) {
    int n = 0;
    for (int y = 0; y < A.Height; ++y)
        for (int x = 0; x < A.Width; ++x) n += A.Pixel(x, y) != B.Pixel(x, y);
    return n;
}

// Section 0 of Header sorted as Format says (HDF_SORTUP, HDF_SORTDOWN or 0).
void SetSortFormat(HWND Header, int Format) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    SendMessageA(Header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.fmt = (item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN)) | Format;
    SendMessageA(Header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// A skinned list view and a system list view skinned by its adapter show a
// column's header section alike, pixel for pixel, in every state and sort
// order: one painter draws both, the sort mark from the skin's arrow glyph.
TEST_F(ListAdapterTest, SkinnedAndAdaptedListViewHeadersShowTheSameSection) {
    formtest::FormPtr form = formtest::MakeForm(560, 80, 420, 320);
    form->Show();
    auto* skinned = formtest::Make<TsListView>(form.get(), 10, 10, 300, 120);
    skinned->SetViewStyle(vsReport);
    TListColumn* column = skinned->Columns()->Add();
    column->SetCaption("Column");
    column->SetWidth(90);
    auto* a = OneColumnList(form->Handle(), skinned->Font()->Handle());
    ASSERT_TRUE(a->HeaderWnd && skinned->HeaderHandle());

    const struct {
        TSortArrow Arrow;
        int Format;
    } orders[] = {{saNone, 0}, {saUp, HDF_SORTUP}, {saDown, HDF_SORTDOWN}};
    for (const TsPaintState state : {TsPaintState::Normal, TsPaintState::Active, TsPaintState::Pressed}) {
        for (const auto& order : orders) {
            SCOPED_TRACE(testing::Message() << "state " << acStateIndex(state) << ", sort " << order.Format);
            column->SetSortArrow(order.Arrow);
            SetSortFormat(a->HeaderWnd, order.Format);
            const testsupport::Picture mine = HeaderSectionIn(skinned->HeaderHandle(), state);
            const testsupport::Picture adapted = HeaderSectionIn(a->HeaderWnd, state);
            ASSERT_FALSE(mine.Empty());
            ASSERT_EQ(mine.Width, adapted.Width);
            ASSERT_EQ(mine.Height, adapted.Height);
            EXPECT_EQ(DifferingPixels(mine, adapted), 0);
            // The state's border, and the arrow glyph in the state's colour only when sorted.
            EXPECT_EQ(mine.Pixel(1, mine.Height / 2), C().Border[acStateIndex(state)]);
            EXPECT_EQ(Shows(mine, C().Glyph[acStateIndex(state)]), order.Format != 0);
        }
    }
}

// A virtual tree's owner-drawn header, sorted ascending, shows its column as
// the adapted list view shows a column sorted up: the same section, pixel for pixel.
TEST_F(ListAdapterTest, VirtualTreeHeaderShowsTheListViewsSection) {
    formtest::FormPtr form = formtest::MakeForm(560, 80, 420, 320);
    form->Show();
    TFont font;
    auto* a = OneColumnList(form->Handle(), font.Handle());
    ASSERT_NE(a->HeaderWnd, nullptr);
    SetSortFormat(a->HeaderWnd, HDF_SORTUP);
    const testsupport::Picture listed = HeaderSectionIn(a->HeaderWnd, TsPaintState::Normal);
    ASSERT_FALSE(listed.Empty());

    auto* vt = formtest::Make<TVirtualStringTree>(form.get(), 320, 10, 90, 100);
    TsCommonData vtData(vt, true);
    TacVirtualTreeViewWnd tree(vt->Handle(), &vtData, Manager(), "EDIT");
    Pump(40);
    ASSERT_TRUE(vt->OnAdvancedHeaderDraw);
    auto drawn = [&](int SortColumn) {
        vt->Header()->SortColumn = SortColumn;
        TBitmap bmp(listed.Width, listed.Height);
        TacHeaderPaintInfo info;
        info.DC = bmp.Canvas()->Handle();
        info.PaintRectangle = TRect{0, 0, listed.Width, listed.Height};
        info.Column = 0;
        info.Text = "Column";
        vt->OnAdvancedHeaderDraw(vt, info, hpeBackground | hpeSortGlyph | hpeText);
        return testsupport::CaptureDC(info.DC, 0, 0, listed.Width, listed.Height);
    };
    const testsupport::Picture sorted = drawn(0);
    EXPECT_EQ(DifferingPixels(listed, sorted), 0);
    EXPECT_TRUE(Shows(sorted, C().Glyph[0]));
    // Another column sorted: no mark on this one.
    EXPECT_FALSE(Shows(drawn(1), C().Glyph[0]));
    TacMainWnd* released = &tree;
    UninitScrollAdapter(vt->Handle(), false, false, released);
}

// "COLHEADER" paints the sections; a skin without it paints them as buttons.
TEST_F(ListAdapterTest, HeaderSectionsFallBackToButtonsWithoutAColumnHeaderSection) {
    static const testsupport::TestSkinFolder noHeaders([] {
        testsupport::TestSkinOptions options;
        options.ColHeader = false;
        return options;
    }());
    std::unique_ptr<TsSkinManager, void (*)(TsSkinManager*)> buttonsOnly(TObject::Create<TsSkinManager>(nullptr),
                                                                         [](TsSkinManager* m) { m->Free(); });
    String error;
    ASSERT_TRUE(noHeaders.Ok && buttonsOnly->LoadSkin(noHeaders.Skin, error)) << error;
    const struct {
        const char* Name;
        TsSkinManager* Skin;
        std::uint32_t Face;
    } cases[] = {{"COLHEADER", Manager(), C().Header[0]}, {"BUTTON", buttonsOnly.get(), C().Button}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND lv = ListView(3);
        auto* a = Adapt<TacListViewWnd>(lv, "EDIT", c.Skin);
        ASSERT_NE(a->HeaderWnd, nullptr);
        const testsupport::Picture section = HeaderSectionIn(a->HeaderWnd, TsPaintState::Normal);
        EXPECT_EQ(section.Pixel(1, section.Height / 2), C().Border[0]);
        EXPECT_EQ(section.Pixel(section.Width - 8, section.Height / 2), c.Face);
        adapters.clear();
        DestroyWindow(lv);
    }
}

TEST_F(ListAdapterTest, ThumbDragAndArrowsScrollToTheRightPlace) {
    HWND lv = ListView(200);
    HWND tree = MakeChild(host, WC_TREEVIEWA, WS_BORDER | WS_VSCROLL, 10, 10, 300, 200);
    std::vector<HTREEITEM> items;
    for (int i = 0; i < 100; ++i) {
        std::string t = "Node " + std::to_string(i);
        TVINSERTSTRUCTA ins{};
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        ins.item.pszText = &t[0];
        items.push_back(
            reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins))));
    }
    HWND edit = MakeChild(host, "EDIT", ES_MULTILINE | WS_VSCROLL | WS_BORDER, 10, 10, 300, 200);
    std::string text;
    for (int i = 0; i < 100; ++i) text += "Line " + std::to_string(i) + "\r\n";
    SetWindowTextA(edit, text.c_str());
    HWND lb = MakeChild(host, "LISTBOX", WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT, 10, 10, 300, 200);
    for (int i = 0; i < 100; ++i) SendMessageA(lb, LB_ADDSTRING, 0, LPARAM(("Item " + std::to_string(i)).c_str()));

    struct Case {
        const char* Name;
        HWND Window;
        std::function<int()> Top;  // the first line the control shows
    };
    const Case cases[] = {
        {"list view", lv, [&] { return int(SendMessageA(lv, LVM_GETTOPINDEX, 0, 0)); }},
        {"tree view", tree,
         [&] {
             const auto first = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
             return int(std::find(items.begin(), items.end(), first) - items.begin());
         }},
        {"edit", edit, [&] { return int(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0)); }},
        {"list box", lb, [&] { return int(SendMessageA(lb, LB_GETTOPINDEX, 0, 0)); }},
    };
    for (const Case& c : cases) {
        for (const Case& other : cases) ShowWindow(other.Window, other.Window == c.Window ? SW_SHOW : SW_HIDE);
        TacScrollWnd* a = c.Window == lv     ? static_cast<TacScrollWnd*>(Adapt<TacListViewWnd>(lv))
                          : c.Window == tree ? static_cast<TacScrollWnd*>(Adapt<TacTreeViewWnd>(tree))
                                             : static_cast<TacScrollWnd*>(Adapt<TacEditWnd>(c.Window));
        Click(DownArrow(a));
        EXPECT_EQ(c.Top(), 1) << c.Name;
        const POINT from = Thumb(a);
        Drag(from, POINT{from.x, from.y + 50});
        Pump(60);
        const int pos = GetScrollPos(c.Window, SB_VERT);
        EXPECT_GT(pos, 10) << c.Name;
        EXPECT_EQ(c.Top(), pos) << c.Name;
        // Moved once, by the thumb: it stays under the pointer ...
        EXPECT_NEAR(Thumb(a).y, from.y + 50, 4) << c.Name;
        // ... and what shows is what a full repaint shows.
        const testsupport::Picture dragged = testsupport::CaptureClient(c.Window);
        RedrawWindow(c.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Pump(30);
        EXPECT_TRUE(dragged.Bits == testsupport::CaptureClient(c.Window).Bits) << c.Name;
    }
}

// A thumb dragged past place 65,535 lands there in every adapter that reads
// the place (the request itself carries only its low 16 bits).
TEST_F(ListAdapterTest, ThumbDraggedPastSixteenBitsLandsThere) {
    constexpr int rows = 100000;
    ShowWindow(host, SW_HIDE);  // the form takes its place
    formtest::FormPtr form = formtest::MakeForm(40, 40, 660, 260);
    form->Show();
    HWND lv = MakeChild(form->Handle(), WC_LISTVIEWA, LVS_REPORT | LVS_OWNERDATA | WS_BORDER, 10, 10, 150, 200);
    auto* skinned = formtest::Make<TOwnerDataListView>(form.get(), 170, 10, 150, 200);
    skinned->SetViewStyle(vsReport);
    auto* vt = formtest::Make<TVirtualStringTree>(form.get(), 330, 10, 150, 200);
    auto* grid = formtest::Make<TDBGrid>(form.get(), 490, 10, 150, 200);
    LVCOLUMNA col{};
    col.mask = LVCF_WIDTH;
    col.cx = 90;
    SendMessageA(lv, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    SendMessageA(lv, LVM_SETITEMCOUNT, rows, 0);
    skinned->Columns()->Add()->SetWidth(90);
    skinned->Perform(LVM_SETITEMCOUNT, rows, 0);
    for (HWND h : {vt->Handle(), grid->Handle()}) {
        const SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE, 0, rows - 1, 10, 0, 0};
        SetScrollInfo(h, SB_VERT, &si, TRUE);
    }
    TsCommonData vtData(vt, true), gridData(grid, true);
    Adapt<TacListViewWnd>(lv);
    adapters.push_back(std::make_unique<TacVirtualTreeViewWnd>(vt->Handle(), &vtData, Manager(), "EDIT"));
    adapters.push_back(std::make_unique<TacGridWnd>(grid->Handle(), &gridData, Manager(), "EDIT"));
    Pump(60);
    const struct {
        const char* Name;
        TacScrollWnd* Adapter;
        bool ShowsRows;  // the first row shown is the bar's place
    } cases[] = {
        {"adapted list view", static_cast<TacScrollWnd*>(adapters[0].get()), true},
        {"skinned list view", dynamic_cast<TacScrollWnd*>(skinned->ScrollAdapter()), true},
        {"virtual tree", static_cast<TacScrollWnd*>(adapters[1].get()), false},
        {"data grid", static_cast<TacScrollWnd*>(adapters[2].get()), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(c.Adapter);
        const HWND h = c.Adapter->CtrlHandle;
        TRect r;
        ASSERT_TRUE(ScrollBarRect(c.Adapter, SB_VERT, h, r));
        const POINT from = Thumb(c.Adapter), to{from.x, r.top + (r.bottom - r.top) * 3 / 4};
        Drag(from, to);
        Pump(60);
        const int pos = GetScrollPos(h, SB_VERT);
        EXPECT_GT(pos, 65535);
        if (c.ShowsRows) {
            EXPECT_EQ(int(SendMessageA(h, LVM_GETTOPINDEX, 0, 0)), pos);
        }
        EXPECT_NEAR(Thumb(c.Adapter).y, to.y, 4);
    }
    adapters.clear();  // before the skin data they hold
}

TEST_F(ListAdapterTest, MDIClientShowsTheFramePicture) {
    CLIENTCREATESTRUCT ccs{nullptr, 1};
    HWND client =
        CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 20, 20,
                        300, 200, host, nullptr, GetModuleHandleA(nullptr), &ccs);
    ASSERT_NE(client, nullptr);
    TsCommonData frame(nullptr, true);
    frame.CacheBmp->SetPixelFormat(pf24bit);
    frame.CacheBmp->SetSize(460, 400);
    FillDC(frame.CacheBmp->Canvas()->Handle(), TRect{0, 0, 460, 400}, TColor(0x00123456));
    auto* a = Adapt<TacMDIWnd>(client);
    a->FormSkinData = &frame;
    RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    Pump(40);
    EXPECT_EQ(WindowPixel(client, 1, 100), 0x563412u);  // the frame strips
    HDC dc = GetDC(client);
    EXPECT_EQ(testsupport::RGBOf(GetPixel(dc, 100, 60)), 0x563412u);
    ReleaseDC(client, dc);
    a->FormSkinData = nullptr;
}

TEST_F(ListAdapterTest, SkinRemovalGivesEveryWindowItsSystemLook) {
    TsSkinManager* second = LoadTestSkin();
    HWND lv = ListView(5);
    HWND tree = MakeChild(host, WC_TREEVIEWA, WS_BORDER, 320, 10, 120, 100);
    HWND edit = MakeChild(host, "EDIT", ES_MULTILINE | WS_VSCROLL | WS_BORDER, 320, 120, 120, 80);
    HWND combo = MakeChild(host, "COMBOBOX", CBS_DROPDOWNLIST, 320, 220, 120, 200);
    HWND header = FindWindowExA(lv, nullptr, WC_HEADERA, nullptr);
    const COLORREF lvBack = COLORREF(SendMessageA(lv, LVM_GETBKCOLOR, 0, 0));
    std::vector<std::pair<HWND, WNDPROC>> procs;
    for (HWND h : {lv, tree, edit, combo, header}) procs.emplace_back(h, GetWindowProcA(h));
    Adapt<TacListViewWnd>(lv, "EDIT", second);
    Adapt<TacTreeViewWnd>(tree, "EDIT", second);
    Adapt<TacEditWnd>(edit, "EDIT", second);
    Adapt<TacComboBoxWnd>(combo, "COMBOBOX", second);
    EXPECT_NE(GetWindowProcA(header), procs.back().second);
    EXPECT_EQ(testsupport::RGBOf(COLORREF(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0))), C().Edit);

    second->SetActive(false);
    Pump(40);
    for (const auto& p : procs) {
        EXPECT_EQ(GetPropA(p.first, acAdapterProp), nullptr);
        EXPECT_EQ(GetWindowProcA(p.first), p.second);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetWindowRgn(p.first, rgn), ERROR);
        DeleteObject(rgn);
    }
    EXPECT_EQ(COLORREF(SendMessageA(lv, LVM_GETBKCOLOR, 0, 0)), lvBack);
    EXPECT_EQ(COLORREF(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0)), COLORREF(-1));
    adapters.clear();
    second->Free();
}

TEST_F(ListAdapterTest, ForeignControlsKeepTheirOwnHandlersAndColours) {
    formtest::FormPtr form = formtest::MakeForm(100, 100, 300, 200);
    form->Show();
    auto* vt = formtest::Make<TVirtualStringTree>(form.get(), 10, 10, 120, 100);
    auto* grid = formtest::Make<TDBGrid>(form.get(), 140, 10, 120, 100);
    int appCalls = 0;
    const TacAdvancedHeaderPaintEvent appDraw = [&](TObject*, TacHeaderPaintInfo&, int) { ++appCalls; };
    vt->OnAdvancedHeaderDraw = appDraw;
    TsCommonData vtData(vt, true), gridData(grid, true);
    {
        TacVirtualTreeViewWnd a(vt->Handle(), &vtData, Manager(), "EDIT");
        TacGridWnd g(grid->Handle(), &gridData, Manager(), "EDIT");
        Pump(60);
        EXPECT_TRUE(vt->OnAdvancedHeaderDraw == appDraw);
        ASSERT_TRUE(vt->OnHeaderDrawQueryElements);
        int elements = 0;
        TacHeaderPaintInfo info;
        vt->OnHeaderDrawQueryElements(vt, info, elements);
        EXPECT_EQ(elements, 27);
        EXPECT_TRUE(vt->Header()->Options.Contains(hoOwnerDraw));
        EXPECT_EQ(grid->FixedColor, GlobalSkinColor(Manager()));
        // The tree draws its own non-client parts when the frame is painted,
        // and when it is printed after its client area.
        vt->Prints.clear();
        SendMessageA(vt->Handle(), WM_NCPAINT, 1, 0);
        EXPECT_EQ(vt->Prints, std::vector<LPARAM>{0});
        TBitmap printed(vt->Width(), vt->Height());
        vt->Prints.clear();
        SendMessageA(vt->Handle(), WM_PRINT, WPARAM(printed.Canvas()->Handle()), PRF_NONCLIENT | PRF_CLIENT);
        EXPECT_EQ(vt->Prints, std::vector<LPARAM>{PRF_NONCLIENT | PRF_CLIENT});
        // Released as on a skin removal.
        TacMainWnd* pa = &a;
        UninitScrollAdapter(vt->Handle(), false, false, pa);
        TacMainWnd* pg = &g;
        UninitScrollAdapter(grid->Handle(), false, false, pg);
    }
    EXPECT_TRUE(vt->OnAdvancedHeaderDraw == appDraw);
    EXPECT_FALSE(vt->OnHeaderDrawQueryElements);
    EXPECT_FALSE(vt->Header()->Options.Contains(hoOwnerDraw));
    EXPECT_EQ(grid->FixedColor, clBtnFace);
}

// A section's caption is read whole, however long: its end shows where the
// section is wide enough for it.
TEST_F(ListAdapterTest, LongHeaderCaptionShowsItsEnd) {
    MouseTo(POINT{5, 5});
    HWND wide = MakeHost(1100, 160);
    HWND lv = MakeChild(wide, WC_LISTVIEWA, LVS_REPORT, 0, 0, 1080, 120);
    std::string caption = std::string(128, 'x') + std::string(20, 'W');
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 1060;
    col.pszText = &caption[0];
    SendMessageA(lv, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    auto* a = Adapt<TacListViewWnd>(lv);
    ASSERT_NE(a->HeaderWnd, nullptr);
    RECT s{};
    SendMessageA(a->HeaderWnd, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&s));
    SIZE head{};
    {
        const TClientDC dc(a->HeaderWnd);
        const TSelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(lv, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32A(dc, caption.c_str(), 128, &head);
    }
    ASSERT_LT(s.left + head.cx + 40, s.right);
    RedrawWindow(a->HeaderWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const TClientDC dc(a->HeaderWnd);
    const testsupport::Picture p = testsupport::CaptureDC(dc, 0, 0, s.right, s.bottom);
    int end = 0;  // text pixels right of the first 128 characters
    for (int y = s.top; y < s.bottom; ++y)
        for (int x = s.left + head.cx + 20; x < s.right - 4; ++x) end += p.Pixel(x, y) == C().Header[2];
    EXPECT_GT(end, 20);
    DestroyWindow(wide);
}

// A window made again (sorting does it) has a new list: that one gets the
// skinned bars too, the old list's adapter let go with its window.
TEST_F(ListAdapterTest, ComboMadeAgainSkinsItsNewList) {
    formtest::FormPtr form = formtest::MakeForm(100, 100, 300, 200);
    auto* combo = formtest::Make<TsComboBox>(form.get(), 10, 10, 160, 24);
    for (int i = 0; i < 40; ++i) combo->Items()->Add("item " + std::to_string(40 - i));
    form->Show();
    Pump(40);
    for (const bool sorted : {false, true}) {
        SCOPED_TRACE(sorted ? "made again" : "first window");
        combo->SetSorted(sorted);
        combo->SetDroppedDown(true);
        Pump(60);
        const HWND list = combo->ListHandle();
        ASSERT_TRUE(list && IsWindowVisible(list));
        ASSERT_NE(combo->ListAdapter(), nullptr);
        EXPECT_EQ(AdapterOfWindow(list), combo->ListAdapter());
        EXPECT_FALSE(combo->ListAdapter()->Destroyed);
        combo->SetDroppedDown(false);
        Pump(40);
    }
}

TEST_F(ListAdapterTest, ScrollAdapterOfASkinnedControlFollowsItsSkin) {
    formtest::FormPtr form = formtest::MakeForm(100, 100, 300, 200);
    form->Show();
    auto* grid = formtest::Make<TDBGrid>(form.get(), 10, 10, 120, 100);
    const WNDPROC own = GetWindowProcA(grid->Handle());
    TsSkinManager* second = LoadTestSkin();
    TsCommonData data(grid, true);
    data.SetSkinManager(second);
    data.SetSkinSection("EDIT");
    TacMainWnd* adapter = nullptr;
    UpdateTreeScrollAdapter(&data, adapter);
    ASSERT_NE(dynamic_cast<TacTreeViewWnd*>(adapter), nullptr);
    EXPECT_EQ(AdapterOfWindow(grid->Handle()), adapter);
    TacMainWnd* const first = adapter;
    UpdateTreeScrollAdapter(&data, adapter);  // on a refresh: the same one
    EXPECT_EQ(adapter, first);
    second->SetActive(false);
    UpdateTreeScrollAdapter(&data, adapter);
    EXPECT_EQ(adapter, nullptr);
    EXPECT_EQ(AdapterOfWindow(grid->Handle()), nullptr);
    EXPECT_EQ(GetWindowProcA(grid->Handle()), own);
    second->Free();
}

}  // namespace
