// The simple adapters on plain system windows: each kind's look in its states
// read back from the screen, real clicks that still reach the owner, and the
// window's own look once the skin is gone.
#include "SimpleTestSupport.h"

#include "Buttons.h"
#include "acSBUtilsSimple.h"
#include "sMessages.h"
#include "FormCtrlAdapter.h"

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace simpletest;
using testsupport::RGBOf;

class SimpleAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Manager();
        host = MakeHost();
        gHostNotified.clear();
        MouseAway();
    }
    void TearDown() override { DestroyWindow(host); }
    HWND host = nullptr;
};

TEST_F(SimpleAdapterTest, PushButtonFacesFollowTheState) {
    enum Action { None, Hover, Press, Disable };
    struct Case {
        const char* Name;
        DWORD Style;
        Action Do;
        std::uint32_t Border, Face;
        bool NormalFont, HotFont;  // the caption's colour
    };
    const Case cases[] = {
        {"normal", BS_PUSHBUTTON, None, C().Border[0], C().Button, true, false},
        {"default", BS_DEFPUSHBUTTON, None, C().Border[1], C().ButtonHot, false, true},
        {"hot", BS_PUSHBUTTON, Hover, C().Border[1], C().ButtonHot, false, true},
        {"pressed", BS_PUSHBUTTON, Press, C().Border[2], C().ButtonHot, false, true},
        {"disabled", BS_PUSHBUTTON, Disable, C().Border[0], C().Button, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND b = MakeChild(host, "BUTTON", "OK", c.Style, RECT{20, 20, 140, 56});
        std::unique_ptr<TacBtnWnd> a(new TacBtnWnd(b, nullptr, Manager(), "BUTTON"));
        if (c.Do == Disable) EnableWindow(b, FALSE);
        if (c.Do == Hover || c.Do == Press) testinput::MouseTo(ScreenPoint(b, 10, 18));
        if (c.Do == Press) testinput::LeftButton(true);
        RedrawWindow(b, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
        EXPECT_EQ(WindowPixel(b, 1, 18), c.Border);
        EXPECT_EQ(WindowPixel(b, 6, 18), c.Face);
        EXPECT_EQ(CountPixels(b, RECT{53, 12, 67, 23}, C().ButtonFont) > 0, c.NormalFont);
        EXPECT_EQ(CountPixels(b, RECT{53, 12, 67, 23}, C().ButtonHotFont) > 0, c.HotFont);
        if (c.Do == Press) {
            testinput::LeftButton(false);
            EXPECT_EQ(gHostNotified, std::vector<WORD>{BN_CLICKED});  // the click still reaches the owner
            gHostNotified.clear();
        }
        MouseAway();
        a.reset();
        DestroyWindow(b);
    }
}

TEST_F(SimpleAdapterTest, CheckBoxAndRadioGlyphsByStyleAndCheckState) {
    struct Case {
        DWORD Style;
        WPARAM Check;
        int Box;  // BOXUNCHECKED, BOXCHECKED, BOXGRAYED, RADIOUNCHECKED, RADIOCHECKED
    };
    const Case cases[] = {
        {BS_AUTOCHECKBOX, BST_UNCHECKED, 0}, {BS_AUTOCHECKBOX, BST_CHECKED, 1}, {BS_AUTO3STATE, BST_INDETERMINATE, 2},
        {BS_RADIOBUTTON, BST_UNCHECKED, 3},  {BS_RADIOBUTTON, BST_CHECKED, 4},  {BS_AUTORADIOBUTTON, BST_CHECKED, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.Style << " check " << c.Check);
        HWND h = MakeChild(host, "BUTTON", "Check me", c.Style, RECT{20, 20, 160, 40});
        TacCheckBoxWnd a(h, nullptr, Manager(), "CHECKBOX");
        SendMessageA(h, BM_SETCHECK, c.Check, 0);
        Pump();
        EXPECT_EQ(WindowPixel(h, 3, 10), C().Box[c.Box][0]);
        EXPECT_EQ(WindowPixel(h, 130, 2), C().Global);  // the section behind
        EXPECT_GT(CountPixels(h, RECT{12, 0, 140, 20}, C().GlobalFont), 0);
        DestroyWindow(h);
    }
}

TEST_F(SimpleAdapterTest, RealClickTogglesAndNotifies) {
    HWND h = MakeChild(host, "BUTTON", "Check me", BS_AUTOCHECKBOX, RECT{20, 20, 160, 40});
    TacCheckBoxWnd a(h, nullptr, Manager(), "CHECKBOX");
    Pump();
    testinput::Click(ScreenPoint(h, 40, 10));
    MouseAway();
    EXPECT_EQ(SendMessageA(h, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(gHostNotified, std::vector<WORD>{BN_CLICKED});
    EXPECT_EQ(WindowPixel(h, 3, 10), C().Box[1][1]);  // checked, and focused by the click
}

TEST_F(SimpleAdapterTest, GroupBoxFrameStopsAtTheCaptionPlate) {
    HWND g = MakeChild(host, "BUTTON", "Group", BS_GROUPBOX, RECT{20, 20, 220, 140});
    TacGroupBoxWnd a(g, nullptr, Manager(), "GROUPBOX");
    RedrawWindow(g, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pump();
    const TRect cr = a.CaptionRect();
    const int line = RectHeight(cr) / 2 + 1;  // inside the frame's top border
    const std::uint32_t behind = WindowPixel(g, 2, 1);
    EXPECT_NE(behind, C().Border[0]);
    EXPECT_EQ(WindowPixel(g, cr.right + 8, line), C().Border[0]);
    EXPECT_EQ(WindowPixel(g, cr.left + 1, line), behind);
    EXPECT_GT(CountPixels(g, cr, C().GlobalFont), 0);
    EXPECT_EQ(WindowPixel(g, 100, 80), C().Global);
    EXPECT_EQ(SendMessageA(g, SM_ALPHACMD, acCommandWParam(AC_CAPTIONHEIGHT), 0), RectHeight(cr));
}

TEST_F(SimpleAdapterTest, StaticTextKeepsTheSkinAfterSetTextUnlessLeftAlone) {
    struct Case {
        DWORD Style, ExStyle;
        bool Skinned;
    };
    for (const Case& c : {Case{SS_LEFT, 0, true}, Case{SS_SIMPLE, 0, true}, Case{SS_LEFT | WS_TABSTOP, 0, false},
                          Case{SS_LEFT, WS_EX_STATICEDGE, false}}) {
        SCOPED_TRACE(testing::Message() << "style " << c.Style << " ex " << c.ExStyle);
        HWND s = MakeChild(host, "STATIC", "", c.Style, RECT{20, 20, 220, 50});
        SetWindowLongPtrA(s, GWL_EXSTYLE, GetWindowLongPtrA(s, GWL_EXSTYLE) | c.ExStyle);
        TacStaticWnd a(s, nullptr, Manager(), "CHECKBOX");
        Pump();
        SetWindowTextA(s, "Hello there");
        Pump();
        const int border = c.ExStyle ? 1 : 0;
        EXPECT_EQ(WindowPixel(s, 190, 25) == C().Global, c.Skinned);
        EXPECT_EQ(CountPixels(s, RECT{border, border, 120, 20}, C().GlobalFont) > 0, c.Skinned);
        EXPECT_EQ(CountPixels(s, RECT{0, 0, 200, 30}, RGBOf(GetSysColor(COLOR_BTNFACE))) == 0, c.Skinned);
        DestroyWindow(s);
    }
}

TEST_F(SimpleAdapterTest, SizeGripAnswersBottomRightEverywhere) {
    HWND s = MakeChild(host, "SCROLLBAR", "", SBS_SIZEGRIP, RECT{300, 200, 320, 220});
    TacSizerWnd a(s, nullptr, Manager(), "CHECKBOX");
    for (POINT p : {POINT{1, 1}, POINT{10, 10}, POINT{18, 2}}) {
        const POINT sp = ScreenPoint(s, p.x, p.y);
        EXPECT_EQ(SendMessageA(s, WM_NCHITTEST, 0, MAKELPARAM(sp.x, sp.y)), HTBOTTOMRIGHT);
    }
}

TEST_F(SimpleAdapterTest, SkinRemovalGivesEachWindowItsOwnLook) {
    HWND b = MakeChild(host, "BUTTON", "OK", BS_PUSHBUTTON, RECT{20, 20, 140, 56});
    HWND s = MakeChild(host, "STATIC", "Static", SS_LEFT, RECT{20, 80, 220, 110});
    TacBtnWnd ab(b, nullptr, Manager(), "BUTTON");
    TacStaticWnd as(s, nullptr, Manager(), "CHECKBOX");
    Pump();
    ASSERT_EQ(WindowPixel(b, 6, 18), C().Button);
    Manager()->SetActive(false);
    for (HWND h : {b, s}) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    EXPECT_EQ(WindowPixel(b, 6, 18), RGBOf(GetSysColor(COLOR_BTNFACE)));
    EXPECT_NE(WindowPixel(s, 190, 15), C().Global);
    testinput::Click(ScreenPoint(b, 30, 18));
    EXPECT_EQ(gHostNotified, std::vector<WORD>{BN_CLICKED});
    Manager()->SetActive(true);
    ASSERT_TRUE(Manager()->Active());
    RedrawWindow(b, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    EXPECT_EQ(WindowPixel(b, 6, 18), C().ButtonHot);  // focused by the click
}

}  // namespace

namespace {

using namespace simpletest;

TEST(SimpleAdapterKinds, SpinButtonHalvesFollowTheCursor) {
    Manager();
    HWND host = MakeHost();
    HWND s = MakeChild(host, UPDOWN_CLASSA, "", UDS_ARROWKEYS, RECT{20, 20, 40, 60});
    TacSpinWnd a(s, nullptr, Manager(), "SPEEDBUTTON_SMALL");
    struct Case {
        int Y;  // where the cursor is, window coordinates
        bool Press;
        std::uint32_t Up, Down;
    };
    for (const Case& c : {Case{5, false, C().Border[1], C().Border[0]}, Case{5, true, C().Border[2], C().Border[0]},
                          Case{35, true, C().Border[0], C().Border[2]}}) {
        SCOPED_TRACE(testing::Message() << "y " << c.Y << (c.Press ? " pressed" : ""));
        testinput::MouseTo(ScreenPoint(s, 10, c.Y));
        if (c.Press) testinput::LeftButton(true);
        RedrawWindow(s, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(WindowPixel(s, 1, 10), c.Up);
        EXPECT_EQ(WindowPixel(s, 1, 30), c.Down);
        if (c.Press) testinput::LeftButton(false);
    }
    MouseAway();
    DestroyWindow(host);
}

// Labels past any fixed buffer: the paint reads each whole, at its own length
// (one of 300 characters overran the 256 the adapter once read into, and
// the whole program died), and the skin's picture shows under the buttons.
TEST(SimpleAdapterKinds, ToolBarLabelsOfAnyLengthAreReadWholeAndPainted) {
    Manager();
    // Characters that make no address or count if they land on the stack.
    for (const std::string& label : {std::string("Go"), std::string(300, '\xff'), std::string(100000, 'm')}) {
        SCOPED_TRACE(label.size());
        HWND host = MakeHost();
        HWND bar =
            MakeChild(host, TOOLBARCLASSNAMEA, "", TBSTYLE_LIST | CCS_NORESIZE | CCS_NODIVIDER, RECT{0, 0, 400, 40});
        SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON b{};
        b.iBitmap = I_IMAGENONE;
        b.idCommand = 100;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON;
        b.iString = reinterpret_cast<INT_PTR>(label.c_str());
        SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
        ASSERT_EQ(SendMessageA(bar, TB_GETBUTTONTEXTA, 100, 0), LRESULT(label.size()));
        // The lengths of the labels the paint reads, seen under the adapter.
        std::vector<std::size_t> read;
        TWindowProcSubclass recorder;
        recorder.Attach(bar, [&](TMessage& M) {
            recorder.CallPrevious(M);
            if (M.Msg == TB_GETBUTTONTEXTA && M.LParam) read.push_back(std::strlen(reinterpret_cast<char*>(M.LParam)));
        });
        TacToolBarWnd a(bar, nullptr, Manager(), "EDIT");
        // Its parent is ready: the tool bar paints from now on (as a dialog's children do).
        SendSkinCommandToWindow(bar, AC_PARENTCHANGED, 0);
        ASSERT_FALSE(IsUpdating(a.SkinData));
        for (int i = 0; i < 3; ++i) {
            RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            Pump(10);
        }
        EXPECT_GE(read.size(), 3u);
        for (std::size_t n : read) EXPECT_EQ(n, label.size());
        RECT first{};
        SendMessageA(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
        EXPECT_GT(CountPixels(bar, first, C().Edit), 0);
        if (label.size() == 2) {  // the short label is written on the picture
            EXPECT_LT(CountPixels(bar, first, C().Edit), (first.right - first.left) * (first.bottom - first.top));
        }
        DestroyWindow(host);
    }
}

TEST(SimpleAdapterKinds, BitmapButtonShowsItsGlyphBesideTheCaption) {
    Manager();
    formtest::FormPtr form = formtest::MakeForm(60, 60, 300, 200);
    auto* b = formtest::Make<TBitBtn>(form.get(), 10, 10, 140, 40);
    b->SetCaption("Glyph");
    TBitmap glyph(16, 16);
    glyph.Canvas()->Brush()->SetColor(testsupport::ToColor(0x0080FF));
    glyph.Canvas()->FillRect(TRect{0, 0, 16, 16});
    SetPixel(glyph.Canvas()->Handle(), 0, 15, RGB(255, 0, 255));  // its transparent colour
    b->SetGlyph(&glyph);
    form->Show();
    Pump();
    auto* holder = TObject::Create<TacFormCtrlAdapter>(form.get());
    Pump();
    ASSERT_EQ(AdapterOfWindow(b->Handle())->ClassName(), "TacBitBtnWnd");
    const int glyphPixels = CountPixels(b->Handle(), RECT{3, 3, 137, 37}, 0x0080FF);
    EXPECT_GE(glyphPixels, 15 * 15);
    EXPECT_LT(glyphPixels, 16 * 16);  // the transparent corner shows the face
    // The form's only control has the focus: the hot face.
    EXPECT_EQ(WindowPixel(b->Handle(), 1, 20), C().Border[1]);
    EXPECT_GT(CountPixels(b->Handle(), RECT{3, 3, 137, 37}, C().ButtonHotFont), 0);
    holder->Free();
}

}  // namespace

namespace {

using namespace simpletest;

// A panel of no class-library control, of the class name the adapters know;
// it paints a colour of its own, which no skin has.
constexpr std::uint32_t kForeignPanelRgb = 0x123456;
LRESULT CALLBACK ForeignPanelProc(HWND H, UINT Msg, WPARAM W, LPARAM L) {
    if (Msg != WM_ERASEBKGND) return DefWindowProcA(H, Msg, W, L);
    RECT r{};
    GetClientRect(H, &r);
    HBRUSH b = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    FillRect(reinterpret_cast<HDC>(W), &r, b);
    DeleteObject(b);
    return 1;
}
// The class library registers its own class of that name for its panels.
void RegisterForeignPanelClass() {
    WNDCLASSA wc{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), "TPanel", &wc) && wc.lpfnWndProc == ForeignPanelProc) return;
    UnregisterClassA("TPanel", GetModuleHandleA(nullptr));
    ASSERT_TRUE(testsupport::RegisterTestClass("TPanel", ForeignPanelProc));
}

TEST(SimpleAdapterKinds, DialogChildrenGetTheAdapterOfTheirClassAndStyle) {
    Manager();
    HWND host = MakeHost();
    RegisterForeignPanelClass();
    struct Case {
        const char* Class;
        DWORD Style;
        const char* Adapter;  // "" for none
        const char* Section;
    };
    const Case cases[] = {
        {"BUTTON", BS_PUSHBUTTON, "TacBtnWnd", "BUTTON"},
        {"BUTTON", BS_PUSHBOX, "TacBtnWnd", "BUTTON"},
        {"BUTTON", BS_COMMANDLINK, "TacBtnWnd", "BUTTON"},
        {"BUTTON", BS_OWNERDRAW, "", ""},
        {"BUTTON", BS_AUTORADIOBUTTON, "TacCheckBoxWnd", "CHECKBOX"},
        {"BUTTON", BS_GROUPBOX, "TacGroupBoxWnd", "GROUPBOX"},
        {"STATIC", SS_SIMPLE, "TacStaticWnd", "CHECKBOX"},
        {"STATIC", SS_ICON, "TacIconWnd", "CHECKBOX"},
        {"STATIC", SS_ETCHEDHORZ, "", ""},
        {"SCROLLBAR", SBS_SIZEGRIP, "TacSizerWnd", "CHECKBOX"},
        {"SCROLLBAR", SBS_VERT, "", ""},
        {UPDOWN_CLASSA, 0, "TacSpinWnd", "SPEEDBUTTON_SMALL"},
        {"TPanel", 0, "TacDlgPanelWnd", "CHECKBOX"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Class << " style " << c.Style);
        HWND h = MakeChild(host, c.Class, "x", c.Style, RECT{10, 10, 110, 40});
        TacMainWnd* a = CreateSimpleAdapter(h, Manager());
        EXPECT_EQ(a ? a->ClassName() : String(), c.Adapter);
        if (a) {
            EXPECT_EQ(a->SkinData->SkinSection(), c.Section);
            EXPECT_EQ(AdapterOfWindow(h), a);
        }
        DestroyWindow(h);
        delete a;
    }
    DestroyWindow(host);
}

}  // namespace

namespace {

using namespace simpletest;

// A 16 x 16 icon: its left half opaque in Rgb, its right half transparent.
HICON HalfIcon(std::uint32_t Rgb) {
    BYTE andBits[16 * 2];
    DWORD xorBits[16 * 16];
    for (int y = 0; y < 16; ++y) {
        andBits[2 * y] = 0x00;
        andBits[2 * y + 1] = 0xFF;
        for (int x = 0; x < 16; ++x) xorBits[16 * y + x] = x < 8 ? Rgb : 0;
    }
    return CreateIcon(GetModuleHandleA(nullptr), 16, 16, 1, 32, andBits, reinterpret_cast<BYTE*>(xorBits));
}

// Windows the skin paints with its CHECKBOX section: what it fills behind
// them shows where they draw nothing of their own, and their own content
// (an icon, a link's text) stays on top.
TEST(SimpleAdapterKinds, IconLinkAndPaneWindowsShowTheSectionBehindTheirContent) {
    Manager();
    HWND host = MakeHost();
    RegisterForeignPanelClass();
    const std::uint32_t iconRgb = 0x20C040;
    HICON icon = HalfIcon(iconRgb);
    struct Case {
        const char* Class;
        const char* Text;
        DWORD Style;
        POINT Behind;           // a point the skin fills
        std::uint32_t Content;  // of the window's own content (an icon's; a link's text: any but the section's)
        RECT ContentAt;         // where it shows
    };
    const Case cases[] = {
        {"STATIC", "", SS_ICON, {12, 8}, iconRgb, RECT{0, 0, 8, 16}},
        {"SysLink", "Go <a>there</a>", 0, {190, 12}, 0, RECT{0, 0, 120, 20}},
        {"#32770", "", 0, {150, 60}, 0, RECT{}},
        {"TPanel", "", WS_BORDER, {150, 60}, 0, RECT{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Class);
        HWND h = MakeChild(host, c.Class, c.Text, c.Style, RECT{20, 20, 220, 120});
        ASSERT_TRUE(h);
        if (c.Style == SS_ICON) SendMessageA(h, STM_SETICON, WPARAM(icon), 0);
        std::unique_ptr<TacMainWnd> a(CreateSimpleAdapter(h, Manager()));
        ASSERT_TRUE(a);
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        Pump();
        EXPECT_EQ(WindowPixel(h, c.Behind.x, c.Behind.y), C().Global) << a->ClassName();
        const RECT& cr = c.ContentAt;
        if (!IsRectEmpty(&cr)) {
            EXPECT_GT(CountPixels(h, cr, c.Content ? c.Content : C().Global), 0);
            EXPECT_LT(CountPixels(h, cr, C().Global), (cr.right - cr.left) * (cr.bottom - cr.top));
        }
        a.reset();
        DestroyWindow(h);
    }
    DestroyIcon(icon);
    DestroyWindow(host);
}

// The tool bar's buttons in the TOOLBUTTON section: normal, hot under the
// cursor and pressed by a real press, each with its caption written on it.
TEST(SimpleAdapterKinds, ToolBarButtonFacesFollowTheCursor) {
    Manager();
    TsSkinManager* m =
        testsupport::TestSkinManager(testsupport::OptionsWith({&testsupport::TestSkinOptions::PageControl}));
    HWND host = MakeHost();
    HWND bar = MakeChild(host, TOOLBARCLASSNAMEA, "", TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE | CCS_NODIVIDER,
                         RECT{0, 0, 400, 40});
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON b{I_IMAGENONE, 100, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>("Go there")};
    SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
    TacToolBarWnd a(bar, nullptr, m, "CHECKBOX");
    SendSkinCommandToWindow(bar, AC_PARENTCHANGED, 0);
    RECT r{};
    SendMessageA(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    const int midY = (r.top + r.bottom) / 2;
    struct Case {
        const char* Name;
        bool Over, Press;
        std::uint32_t Edge, Face;
    };
    for (const Case& c : {Case{"normal", false, false, C().Border[0], C().ToolButton},
                          Case{"hot", true, false, C().Border[1], C().TabHot},
                          Case{"pressed", true, true, C().Border[2], C().TabHot}}) {
        SCOPED_TRACE(c.Name);
        if (c.Over) testinput::MouseTo(ScreenPoint(bar, r.left + 4, midY));
        if (c.Press) testinput::LeftButton(true);
        RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Pump();
        EXPECT_EQ(WindowPixel(bar, r.left + 1, midY), c.Edge);
        EXPECT_EQ(WindowPixel(bar, r.left + 4, r.top + 4), c.Face);
        EXPECT_GT(CountPixels(bar, r, C().ButtonFont), 0);
        if (c.Press) testinput::LeftButton(false);
    }
    MouseAway();
    DestroyWindow(host);
}

}  // namespace

namespace {

using namespace simpletest;

// A skin without the sections the adapters ask for: each window keeps its
// own look, pixel for pixel, and still answers a real click.
TEST(SimpleAdapterKinds, ASkinWithoutTheSectionLeavesTheWindowItsOwnLook) {
    Manager();
    testsupport::TestSkinOptions options;
    options.Without = {"BUTTON", "CHECKBOX", "GROUPBOX", "SPEEDBUTTON_SMALL"};
    TsSkinManager* m = testsupport::TestSkinManager(options);
    HWND host = MakeHost();
    RegisterForeignPanelClass();
    struct Case {
        const char* Class;
        DWORD Style;
        int Notices;  // of a click; -1: not clicked (a grip's press sizes the host)
    };
    const Case cases[] = {
        {"BUTTON", BS_PUSHBUTTON, 1},
        {"BUTTON", BS_AUTOCHECKBOX, 1},
        {"BUTTON", BS_GROUPBOX, 0},
        {"STATIC", SS_LEFT | SS_NOTIFY, 1},
        {"SCROLLBAR", SBS_SIZEGRIP, -1},
        {UPDOWN_CLASSA, UDS_HORZ, 0},
        {"#32770", WS_BORDER | DS_CONTROL, 0},
        {TOOLBARCLASSNAMEA, CCS_NORESIZE | CCS_NODIVIDER, 0},
        {"TPanel", 0, 0},  // a panel of the CHECKBOX section
    };
    const auto look = [](HWND h) {
        RECT r{};
        GetWindowRect(h, &r);
        PatBlt(TWindowDC(h), 0, 0, r.right - r.left, r.bottom - r.top, BLACKNESS);  // what is not drawn again shows
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
        return testsupport::CaptureWindow(h);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Class << " style " << c.Style);
        HWND h = MakeChild(host, c.Class, "Own", c.Style, RECT{20, 20, 220, 60});
        const testsupport::Picture own = look(h);
        if (std::strcmp(c.Class, "TPanel") == 0) {
            ASSERT_EQ(own.Pixel(5, 5), kForeignPanelRgb);
        }
        std::unique_ptr<TacMainWnd> a(CreateSimpleAdapter(h, m));
        ASSERT_TRUE(a);
        EXPECT_TRUE(own.Bits == look(h).Bits) << "the adapter changed the look";
        if (c.Notices >= 0) {
            gHostNotified.clear();
            testinput::Click(ScreenPoint(h, 30, 10));
            MouseAway();
            EXPECT_EQ(int(gHostNotified.size()), c.Notices);
        }
        a.reset();
        DestroyWindow(h);
    }
    DestroyWindow(host);
}

}  // namespace
