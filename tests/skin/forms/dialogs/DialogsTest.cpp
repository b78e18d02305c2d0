// Windows skinned through the window-creation hook: real message boxes and a
// standard dialog opened with the hook installed (checked from inside their
// modal loops and closed by real input), popup menu windows, the child
// adapter table, nothing left behind after many boxes, and a dialog given
// back whole when the hook goes.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "PixelTestSupport.h"
#include "TestSkin.h"
#include "TestAccess.h"
#include "TestInput.h"
#include "TestSupport.h"
#include "acDials.h"
#include "acSystemMenu.h"
#include "acSBUtilsSimple.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

TsSkinManager* Manager() {
    testsupport::TestSkinOptions options;
    options.Forms = true;
    // A dialog section that keeps its frame's picture under the title.
    options.Extra = "\n[DIALOGKEPT]\nPARENTCLASS=DIALOG\nRESERVEDBOOLEAN=1\n";
    return testsupport::TestSkinManager(options);
}
const testsupport::TestSkinColors& C() { return testsupport::TestSkinPalette(); }

// Runs Inside once the modal loop of Open is running, and a watchdog that
// closes whatever is still open after 8 seconds, so that no fault hangs the suite.
std::function<void()> gInside;
UINT_PTR gInsideTimer = 0, gWatchdog = 0;
BOOL CALLBACK MatchVisible(HWND h, LPARAM p) {
    auto* s = reinterpret_cast<std::pair<const char*, HWND>*>(p);
    char cls[64] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) != s->first || !IsWindowVisible(h)) return TRUE;
    s->second = h;
    return FALSE;
}
// The thread's visible top-level window of Class.
HWND Visible(const char* Class) {
    std::pair<const char*, HWND> f(Class, nullptr);
    EnumThreadWindows(GetCurrentThreadId(), MatchVisible, reinterpret_cast<LPARAM>(&f));
    return f.second;
}
void CALLBACK InsideTick(HWND, UINT, UINT_PTR Id, DWORD) {
    if (!Visible("#32770") && !Visible("#32768")) return;  // not shown yet
    KillTimer(nullptr, Id);
    if (auto f = std::move(gInside)) f();
}
void CALLBACK WatchdogTick(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    if (HWND d = Visible("#32770")) PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    EndMenu();
}
template <class F>
auto RunModal(std::function<void()> Inside, F Open) {
    gInside = std::move(Inside);
    gInsideTimer = SetTimer(nullptr, 0, 50, InsideTick);
    gWatchdog = SetTimer(nullptr, 0, 8000, WatchdogTick);
    auto result = Open();
    KillTimer(nullptr, gInsideTimer);
    KillTimer(nullptr, gWatchdog);
    gInside = nullptr;
    return result;
}

// Real input without pumping: the modal loop that is running takes it.
using testinput::SendClick;
using testinput::SendKey;
POINT CentreOf(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
std::uint32_t WindowPixel(HWND h, int X, int Y) {
    HDC dc = GetWindowDC(h);
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(h, dc);
    return testsupport::RGBOf(c);
}
template <class T>
bool AdaptedAs(HWND h) {
    return dynamic_cast<T*>(AdapterOfWindow(h)) != nullptr;
}

class DialogHook : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Manager()->Active());
        ASSERT_TRUE(Manager()->HookInstalled());
    }
};

TEST_F(DialogHook, MessageBoxIsSkinnedAndAnswersTheRealClick) {
    bool checked = false;
    const int answer = RunModal(
        [&] {
            HWND box = Visible("#32770");
            TacProvider* p = ProviderOfWindow(box);
            ASSERT_TRUE(p && p->DialogWnd);
            EXPECT_EQ(p->DialogWnd->SkinData->SkinSection(), "DIALOG");
            EXPECT_EQ(p->DialogWnd->FrameKind, fkModal);
            EXPECT_EQ(GetWindowLongPtrA(box, GWL_STYLE) & WS_SYSMENU, 0) << "the system draws no buttons of its own";
            // Wine's template: the icon (1088), the text, the buttons.
            EXPECT_TRUE(AdaptedAs<TacIconWnd>(GetDlgItem(box, 1088)));
            EXPECT_TRUE(AdaptedAs<TacStaticWnd>(FindWindowExA(box, nullptr, "Static", "Skinned through the hook")));
            EXPECT_TRUE(AdaptedAs<TacBtnWnd>(GetDlgItem(box, IDOK)));
            EXPECT_TRUE(AdaptedAs<TacBtnWnd>(GetDlgItem(box, IDCANCEL)));
            EXPECT_NE(GetWindowRgn(box, CreateRectRgn(0, 0, 0, 0)), ERROR) << "the region follows the border mask";
            RedrawWindow(box, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            RECT r{};
            GetWindowRect(box, &r);
            const int w = r.right - r.left, fh = GetSystemMetrics(SM_CYDLGFRAME);
            // The title in the active FORMTITLE colour (left of the close
            // button, right of the caption), the client in DIALOG's.
            EXPECT_EQ(WindowPixel(box, w - 40, fh + 2), C().Title[1]);
            const TsCaptionButton& close = p->DialogWnd->Title.Close;
            ASSERT_GT(close.Rect.right, close.Rect.left);
            EXPECT_EQ(close.Rect.right - close.Rect.left, testsupport::kTestTitleButtonWidth) << "FORM's close glyph";
            POINT o{0, 0};
            ClientToScreen(box, &o);
            EXPECT_EQ(WindowPixel(box, o.x - r.left + 2, o.y - r.top + 2), C().Form[1]);
            // The title icon shows none of a key colour at its edges.
            const testsupport::Picture title = testsupport::CaptureWindow(box);
            int key = 0;
            for (int y = 0; y < o.y - r.top; ++y)
                for (int x = 0; x < 40; ++x) key += title.Pixel(x, y) == 0xFF00FF;
            EXPECT_EQ(key, 0);
            // The button's real click ends the box with its answer.
            SendClick(CentreOf(GetDlgItem(box, IDOK)));
            checked = true;
        },
        [] { return MessageBoxA(nullptr, "Skinned through the hook", "Hooked", MB_OKCANCEL | MB_ICONINFORMATION); });
    EXPECT_TRUE(checked);
    EXPECT_EQ(answer, IDOK) << "the watchdog would have answered IDCANCEL";
    formtest::Pump(50);
    EXPECT_TRUE(acProviderList.empty()) << "the box's provider goes with it";
}

TEST_F(DialogHook, StandardColourDialogIsSkinnedAndClosedByEscape) {
    bool checked = false;
    const BOOL chosen = RunModal(
        [&] {
            HWND dlg = Visible("#32770");
            TacProvider* p = ProviderOfWindow(dlg);
            ASSERT_TRUE(p && p->DialogWnd);
            EXPECT_TRUE(AdaptedAs<TacBtnWnd>(GetDlgItem(dlg, IDOK)));
            EXPECT_TRUE(AdaptedAs<TacEditWnd>(GetDlgItem(dlg, 0x2c2))) << "the red value's edit";
            EXPECT_GT(p->ChildAdapters.size(), 10u);
            RECT r{};
            GetWindowRect(dlg, &r);
            RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
            EXPECT_EQ(WindowPixel(dlg, r.right - r.left - 40, GetSystemMetrics(SM_CYDLGFRAME) + 2), C().Title[1]);
            SetForegroundWindow(dlg);
            SendKey(VK_ESCAPE);
            checked = true;
        },
        [] {
            static COLORREF custom[16] = {};
            CHOOSECOLORA cc{};
            cc.lStructSize = sizeof cc;
            cc.lpCustColors = custom;
            cc.Flags = CC_FULLOPEN;
            return ChooseColorA(&cc);
        });
    EXPECT_TRUE(checked);
    EXPECT_FALSE(chosen);
    formtest::Pump(50);
    EXPECT_TRUE(acProviderList.empty());
}

// A pixel of Child in its client coordinates (negative: from the far edge).
std::uint32_t ClientPixel(HWND Child, int X, int Y) {
    RECT c{};
    GetClientRect(Child, &c);
    POINT p{X < 0 ? c.right + X : X, Y < 0 ? c.bottom + Y : Y};
    HDC dc = GetDC(Child);
    const COLORREF v = GetPixel(dc, p.x, p.y);
    ReleaseDC(Child, dc);
    return testsupport::RGBOf(v);
}

// The open-file dialog's fields ask their dialog for colours, or are told
// them (the list view): each shows its section's colour, not the system's.
TEST_F(DialogHook, OpenFileDialogFieldsShowTheirSectionsColour) {
    bool checked = false;
    RunModal(
        [&] {
            HWND d = Visible("#32770");
            ASSERT_TRUE(ProviderOfWindow(d) && ProviderOfWindow(d)->DialogWnd);
            // The file name: an extended combo box's edit.
            const HWND name = reinterpret_cast<HWND>(SendMessageA(GetDlgItem(d, cmb13), CBEM_GETEDITCONTROL, 0, 0));
            const HWND list = FindWindowExA(FindWindowExA(d, nullptr, "SHELLDLL_DefView", nullptr), nullptr,
                                            "SysListView32", nullptr);
            RECT type{};
            GetClientRect(GetDlgItem(d, cmb1), &type);
            const struct {
                const char* Field;
                HWND Window;
                int X, Y;
            } rows[] = {
                {"file list", list, -8, -8},
                {"file name", name, -4, 4},
                {"files of type", GetDlgItem(d, cmb1), type.right / 2, type.bottom / 2},
                {"look in", GetDlgItem(d, cmb2), type.right / 2, type.bottom / 2},
            };
            RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            for (const auto& r : rows) {
                ASSERT_TRUE(r.Window) << r.Field;
                EXPECT_EQ(ClientPixel(r.Window, r.X, r.Y), C().Edit) << r.Field;
            }
            PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
            checked = true;
        },
        [] {
            char file[MAX_PATH] = {};
            OPENFILENAMEA of{};
            of.lStructSize = sizeof of;
            of.lpstrFile = file;
            of.nMaxFile = MAX_PATH;
            of.lpstrFilter = "All files\0*.*\0";
            of.Flags = OFN_EXPLORER;
            return GetOpenFileNameA(&of);
        });
    EXPECT_TRUE(checked);
}

// The colour dialog's swatch panels, which the dialog fills itself, show the
// dialog's colour between the swatches; nothing of the hidden half shows at
// the right edge of the short dialog.
TEST_F(DialogHook, ColourDialogPanelsAndEdgeShowTheDialogsColour) {
    bool checked = false;
    RunModal(
        [&] {
            HWND d = Visible("#32770");
            ASSERT_TRUE(ProviderOfWindow(d) && ProviderOfWindow(d)->DialogWnd);
            RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            formtest::Pump(30);
            const std::uint32_t back = ClientPixel(d, 2, 2);
            for (const bool clicked : {false, true}) {
                EXPECT_EQ(ClientPixel(GetDlgItem(d, 720), -1, -1), back) << "basic colours " << clicked;
                EXPECT_EQ(ClientPixel(GetDlgItem(d, 721), -1, -1), back) << "custom colours " << clicked;
                // The swatches' sunken edges show none of the system's edge
                // colours (its highlight is white, which a swatch has too).
                const testsupport::Picture basic = testsupport::CaptureClient(GetDlgItem(d, 720));
                EXPECT_EQ(
                    testsupport::CountPixels(basic, {},
                                             [](std::uint32_t p) {
                                                 for (const int i : {COLOR_3DLIGHT, COLOR_BTNSHADOW, COLOR_3DDKSHADOW})
                                                     if (p == testsupport::RGBOf(GetSysColor(i))) return true;
                                                 return false;
                                             }),
                    0)
                    << clicked;
                EXPECT_GT(testsupport::CountPixels(basic, {}, [](std::uint32_t p) { return p == 0xFFFFFF; }), 100)
                    << "the white swatch " << clicked;
                SendClick(CentreOf(GetDlgItem(d, 720)));  // a swatch chosen repaints the panels
                formtest::Pump(60);
            }
            // The right-aligned label of the hidden half overhangs the edge:
            // the columns of it inside the dialog hold no letter.
            const HWND label = GetDlgItem(d, 730);
            RECT l{}, c{};
            GetWindowRect(label, &l);
            GetClientRect(d, &c);
            MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&l), 2);
            ASSERT_TRUE(IsWindowVisible(label) && l.left < c.right && l.right > c.right);
            const testsupport::Picture shown = testsupport::CaptureClient(d);
            const std::uint32_t ground = shown.Pixel(l.left, l.top);
            EXPECT_EQ(testsupport::CountPixels(shown, TRect{l.left, l.top, c.right, l.bottom},
                                               [ground](std::uint32_t p) { return p != ground; }),
                      0);
            PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
            checked = true;
        },
        [] {
            static COLORREF custom[16] = {};
            CHOOSECOLORA cc{};
            cc.lStructSize = sizeof cc;
            cc.lpCustColors = custom;
            return ChooseColorA(&cc);
        });
    EXPECT_TRUE(checked);
}

TEST_F(DialogHook, PopupMenuWindowIsAdaptedOnCreation) {
    formtest::FormPtr owner = formtest::MakeForm(60, 60, 200, 120);
    owner->Show();
    formtest::Pump(60);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "One");
    AppendMenuA(menu, MF_STRING, 2, "Two");
    const std::size_t before = acMenuAdapters.size();
    bool checked = false;
    const BOOL cmd = RunModal(
        [&] {
            HWND popup = Visible("#32768");
            EXPECT_TRUE(AdaptedAs<TacMnuWnd>(popup));
            EXPECT_EQ(acMenuAdapters.size(), before + 1);
            SendKey(VK_ESCAPE);
            checked = true;
        },
        [&] { return TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, owner->Handle(), nullptr); });
    EXPECT_TRUE(checked);
    EXPECT_EQ(cmd, 0);
    DestroyMenu(menu);
}

TEST_F(DialogHook, TwoHundredMessageBoxesLeaveNothingBehind) {
    const int adapters = AttachedAdapterCount();
    for (int i = 0; i < 200; ++i) {
        const int r = RunModal([] { PostMessageA(Visible("#32770"), WM_COMMAND, IDOK, 0); },
                               [] { return MessageBoxA(nullptr, "again", "Many", MB_OKCANCEL); });
        ASSERT_EQ(r, IDOK) << "box " << i;
    }
    formtest::Pump(50);
    EXPECT_EQ(TacTestAccess::ProviderCount(), 0);
    EXPECT_TRUE(acProviderList.empty());
    EXPECT_EQ(AttachedAdapterCount(), adapters);
    EXPECT_EQ(TacTestAccess::DialogBrushCount(), 0);
}

// A modeless dialog of a message box's style with a push button and a check box.
INT_PTR CALLBACK RecordingDlgProc(HWND, UINT Msg, WPARAM W, LPARAM) {
    static std::vector<WPARAM>* seen = nullptr;
    if (Msg == WM_USER) seen = reinterpret_cast<std::vector<WPARAM>*>(W);
    if (Msg == WM_SYSCOMMAND && seen) seen->push_back(W & 0xFFF0);
    return Msg == WM_INITDIALOG;
}
HWND MakeDialog(DWORD Style) {
    struct alignas(4) {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } tpl{};
    tpl.t.style = Style;
    tpl.t.cx = 160;
    tpl.t.cy = 80;
    HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tpl.t, nullptr, RecordingDlgProc, 0);
    CreateWindowExA(0, "BUTTON", "Push", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 24, d, HMENU(IDOK), nullptr,
                    nullptr);
    CreateWindowExA(0, "BUTTON", "Box", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 40, 80, 20, d, HMENU(5), nullptr,
                    nullptr);
    SetWindowTextA(d, "Modeless");
    SetWindowPos(d, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(d, SW_SHOW);
    SetForegroundWindow(d);
    formtest::Pump(120);
    return d;
}

// A pop-up dialog without a caption: no title and no region, only the
// 3-pixel frame of its skin picture round the client area in DIALOG's colour.
TEST_F(DialogHook, CaptionlessPopupDialogGetsAThinSkinFrame) {
    HWND d = MakeDialog(WS_POPUP | DS_MODALFRAME);
    ASSERT_TRUE(ProviderOfWindow(d) && ProviderOfWindow(d)->DialogWnd);
    EXPECT_EQ(ProviderOfWindow(d)->DialogWnd->FrameKind, fkNoCaption);
    RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    formtest::Pump(60);
    RECT r{};
    GetWindowRect(d, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_EQ(GetWindowRgn(d, CreateRectRgn(0, 0, 0, 0)), ERROR);
    for (const POINT p : {POINT{1, h / 2}, POINT{w / 2, 1}, POINT{w - 2, h / 2}, POINT{w / 2, h - 2}})
        EXPECT_EQ(WindowPixel(d, p.x, p.y), C().Border[1]) << p.x << "," << p.y;
    POINT o{0, 0};
    ClientToScreen(d, &o);
    EXPECT_EQ(o.y - r.top, GetSystemMetrics(SM_CYDLGFRAME));
    EXPECT_EQ(WindowPixel(d, w - 10, o.y - r.top + 2), C().Form[1]);
    DestroyWindow(d);
}

TEST_F(DialogHook, WindowMenuOfTheIconSendsTheChosenCommand) {
    HWND d = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    std::vector<WPARAM> seen;
    SendMessageA(d, WM_USER, reinterpret_cast<WPARAM>(&seen), 0);
    TacProvider* p = ProviderOfWindow(d);
    ASSERT_TRUE(p && p->DialogWnd);
    TacSystemMenu* menu = p->DialogWnd->SystemMenu;
    // A message box's frame: Move and Close only, Close with its short cut.
    EXPECT_FALSE(menu->ItemRestore->Visible());
    EXPECT_FALSE(menu->ItemSize->Visible());
    EXPECT_TRUE(menu->ItemMove->Visible() && menu->ItemClose->Visible());
    EXPECT_EQ(ShortCutToText(menu->ItemClose->ShortCut()), "Alt+F4");
    RECT r{};
    GetWindowRect(d, &r);
    const POINT icon{r.left + GetSystemMetrics(SM_CXDLGFRAME) + 4,
                     r.top + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    EXPECT_EQ(SendMessageA(d, WM_NCHITTEST, 0, MAKELPARAM(icon.x, icon.y)), HTSYSMENU);
    // The menu opens on a real click of the icon; Up and Enter choose Close.
    RunModal(
        [] {
            SendKey(VK_UP);
            SendKey(VK_RETURN);
        },
        [&] {
            testinput::Click(icon);
            return 0;
        });
    formtest::Pump(80);
    EXPECT_EQ(seen, std::vector<WPARAM>{SC_CLOSE});
    DestroyWindow(d);
    formtest::Pump(30);
}

// The form provider and the dialog adapter share one title bar: a sizeable
// form and a sizeable dialog with the same buttons place them alike from the
// right edge (the form leaves the skin's gap between buttons, the dialog
// none), answer the same codes at the same title-bar points and show the same
// glyph pixels for the same state.
TEST_F(DialogHook, FormAndDialogShareOneTitleBar) {
    HWND d = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    TacDialogWnd* a = ProviderOfWindow(d)->DialogWnd;
    ASSERT_TRUE(a);
    formtest::FormPtr form = formtest::MakeForm(420, 120, 300, 180);
    form->SetBorderStyle(bsSizeable);
    form->SetCaption("Form");
    TsSkinProvider* p = TObject::Create<TsSkinProvider>(form.get());
    form->Show();
    formtest::Pump(120);
    ASSERT_EQ(ProviderOf(form.get()), p);
    struct Window {
        HWND H;
        const TsCaptionButton* Buttons[3];  // close, maximize, minimize
        int Space;                          // gap right of each button
    };
    const int space = Manager()->CommonSkinData().BISpace;
    const Window windows[2] = {{form->Handle(), {&p->Title.Close, &p->Title.Max, &p->Title.Min}, space},
                               {d, {&a->Title.Close, &a->Title.Max, &a->Title.Min}, 0}};
    auto width = [](HWND H) {
        RECT r{};
        GetWindowRect(H, &r);
        return int(r.right - r.left);
    };
    auto paint = [](HWND H) {
        SetForegroundWindow(H);
        formtest::Pump(60);
        RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    };
    for (const Window& w : windows) paint(w.H);
    // Placed alike: the same rectangles counted from the right edge.
    for (int i = 0; i < 3; ++i) {
        const TRect& f = windows[0].Buttons[i]->Rect;
        const TRect& g = windows[1].Buttons[i]->Rect;
        EXPECT_EQ(width(windows[0].H) - f.left, width(windows[1].H) - g.left + (i + 1) * space) << "button " << i;
        EXPECT_EQ(f.right - f.left, testsupport::kTestTitleButtonWidth) << "button " << i;
        EXPECT_EQ(f.top, g.top) << "button " << i;
        EXPECT_EQ(f.bottom, g.bottom) << "button " << i;
    }
    const TRect& close = windows[1].Buttons[0]->Rect;
    const int band = (close.top + close.bottom) / 2, frame = GetSystemMetrics(SM_CXFRAME);
    struct Row {
        const char* What;
        int FromRight;  // 0: FromLeft counts
        int Buttons;    // buttons right of the point: as many gaps to add
        int FromLeft;
        int Y;
        LRESULT Code;
    };
    const int bw = testsupport::kTestTitleButtonWidth;
    const Row rows[] = {
        {"close", frame + bw / 2, 1, 0, band, HTCLOSE},
        {"maximize", frame + bw + bw / 2, 2, 0, band, HTMAXBUTTON},
        {"minimize", frame + 2 * bw + bw / 2, 3, 0, band, HTMINBUTTON},
        {"icon", 0, 0, frame + 8, band, HTSYSMENU},
        {"caption", 0, 0, 120, band, HTCAPTION},
        {"above the buttons", frame + bw / 2, 1, 0, close.top - 1, HTCAPTION},
        {"left border", 0, 0, 1, 90, HTLEFT},
        {"client", 0, 0, 100, 100, HTCLIENT},
    };
    for (const Row& r : rows)
        for (const Window& w : windows) {
            RECT wr{};
            GetWindowRect(w.H, &wr);
            const int x = r.FromRight ? width(w.H) - r.FromRight - r.Buttons * w.Space : r.FromLeft;
            EXPECT_EQ(SendMessageA(w.H, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + r.Y)), r.Code)
                << r.What << (w.H == d ? " of the dialog" : " of the form");
        }
    // The glyphs: normal, hot under the mouse, pressed; each window active when read.
    const int codes[3] = {HTCLOSE, HTMAXBUTTON, HTMINBUTTON};
    for (const Window& w : windows)
        for (int i = 0; i < 3; ++i) {
            const char* who = w.H == d ? "dialog" : "form";
            paint(w.H);
            const TRect& b = w.Buttons[i]->Rect;
            const int x = (b.left + b.right) / 2, y = (b.top + b.bottom) / 2;
            RECT wr{};
            GetWindowRect(w.H, &wr);
            EXPECT_EQ(WindowPixel(w.H, x, y), C().TitleGlyph[i][0]) << who << " normal " << i;
            SendMessageA(w.H, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y));
            EXPECT_EQ(WindowPixel(w.H, x, y), C().TitleGlyph[i][1]) << who << " hot " << i;
            if (codes[i] != HTCLOSE) {
                SendMessageA(w.H, WM_NCLBUTTONDOWN, WPARAM(codes[i]), MAKELPARAM(wr.left + x, wr.top + y));
                EXPECT_EQ(WindowPixel(w.H, x, y), C().TitleGlyph[i][2]) << who << " pressed " << i;
            }
            // Away from the button: normal again, the press forgotten.
            SendMessageA(w.H, WM_NCHITTEST, 0, MAKELPARAM(wr.left + 100, wr.top + 100));
            EXPECT_EQ(WindowPixel(w.H, x, y), C().TitleGlyph[i][0]) << who << " left " << i;
        }
    form.reset();
    DestroyWindow(d);
    formtest::Pump(30);
}

// One builder makes the window menu of both owners: the same six items (and
// the separator) in the same order with the same texts, names and short cut;
// each owner enables them from its window's style and state.
TEST_F(DialogHook, SystemMenusOfFormAndDialogHoldTheSameItems) {
    TPopupMenu* built = TObject::Create<TPopupMenu>(nullptr);
    std::vector<WPARAM> chosen;
    const TacSystemMenuItems items = BuildSystemMenuItems(built, [&](WPARAM c) { chosen.push_back(c); });
    ASSERT_EQ(built->Items()->Count(), 7);
    EXPECT_TRUE(built->Items()->Items(5)->IsLine());
    for (TMenuItem* i : {items.Restore, items.Move, items.Size, items.Minimize, items.Maximize, items.Close})
        i->Click();
    EXPECT_EQ(chosen, (std::vector<WPARAM>{SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE}));
    EXPECT_EQ(items.Close->Caption(), "&Close");
    EXPECT_EQ(ShortCutToText(items.Close->ShortCut()), "Alt+F4");

    HWND d = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    TacSystemMenu* dm = ProviderOfWindow(d)->DialogWnd->SystemMenu;
    formtest::FormPtr form = formtest::MakeForm(420, 120, 300, 180);
    form->SetBorderStyle(bsSizeable);
    TsSkinProvider* p = TObject::Create<TsSkinProvider>(form.get());
    form->Show();
    formtest::Pump(120);
    ASSERT_TRUE(p->SystemMenu);
    TsSystemMenu* fm = p->SystemMenu;
    ASSERT_EQ(fm->Items()->Count(), built->Items()->Count());
    ASSERT_EQ(dm->Items()->Count(), built->Items()->Count());
    for (int i = 0; i < built->Items()->Count(); ++i) {
        TMenuItem* b = built->Items()->Items(i);
        for (TPopupMenu* m : {static_cast<TPopupMenu*>(fm), static_cast<TPopupMenu*>(dm)}) {
            EXPECT_EQ(m->Items()->Items(i)->Name(), b->Name()) << i;
            EXPECT_EQ(m->Items()->Items(i)->Caption(), b->Caption()) << i;
            EXPECT_EQ(m->Items()->Items(i)->ShortCut(), b->ShortCut()) << i;
        }
    }
    EXPECT_EQ(fm->ItemClose->Name(), "ItemClose");
    EXPECT_EQ(dm->ItemClose->Name(), "ItemClose");
    // Normal and zoomed: both owners enable the same items.
    struct State {
        const char* What;
        bool Restore, Move, Size, Minimize, Maximize;
    };
    const State states[] = {{"normal", false, true, true, true, true}, {"zoomed", true, false, true, true, false}};
    for (const State& s : states) {
        if (s.Restore) {
            form->SetWindowState(wsMaximized);
            ShowWindow(d, SW_MAXIMIZE);
            formtest::Pump(60);
        }
        fm->UpdateItems();
        dm->UpdateItems();
        for (TsSystemMenu* f : {fm}) {
            const TMenuItem* pairs[5][2] = {{f->ItemRestore, dm->ItemRestore},
                                            {f->ItemMove, dm->ItemMove},
                                            {f->ItemSize, dm->ItemSize},
                                            {f->ItemMinimize, dm->ItemMinimize},
                                            {f->ItemMaximize, dm->ItemMaximize}};
            const bool want[5] = {s.Restore, s.Move, s.Size, s.Minimize, s.Maximize};
            for (int i = 0; i < 5; ++i) {
                EXPECT_EQ(pairs[i][0]->Enabled(), want[i]) << s.What << " form item " << i;
                EXPECT_EQ(pairs[i][1]->Enabled(), want[i]) << s.What << " dialog item " << i;
                EXPECT_TRUE(pairs[i][0]->Visible() && pairs[i][1]->Visible()) << s.What << " item " << i;
            }
        }
    }
    form.reset();
    DestroyWindow(d);
    formtest::Pump(30);
    built->Free();
}

TEST_F(DialogHook, RemoveHookGivesAnOpenDialogBackWhole) {
    HWND d = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    HWND push = GetDlgItem(d, IDOK), box = GetDlgItem(d, 5);
    ASSERT_TRUE(ProviderOfWindow(d));
    ASSERT_TRUE(AdaptedAs<TacCheckBoxWnd>(box));
    EXPECT_NE(GetWindowRgn(d, CreateRectRgn(0, 0, 0, 0)), ERROR);
    Manager()->RemoveHook();
    formtest::Pump(60);
    EXPECT_TRUE(acProviderList.empty());
    EXPECT_TRUE(acMenuAdapters.empty());
    EXPECT_NE(GetWindowLongPtrA(d, GWL_STYLE) & WS_SYSMENU, 0) << "the system menu comes back";
    EXPECT_EQ(GetWindowRgn(d, CreateRectRgn(0, 0, 0, 0)), ERROR) << "no region left";
    for (HWND h : {d, push, box}) EXPECT_EQ(GetPropA(h, acAdapterProp), nullptr);
    EXPECT_EQ(GetWindowProcA(push),
              GetWindowProcA(CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 1, 1, d, nullptr, nullptr, nullptr)))
        << "the button's own procedure is back";
    Manager()->InstallHook();
    DestroyWindow(d);
    formtest::Pump(30);
    EXPECT_TRUE(Manager()->HookInstalled());
}

TEST_F(DialogHook, HitTestsOfTheTitleAndTheZoomedBand) {
    HWND d = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    TacDialogWnd* a = ProviderOfWindow(d)->DialogWnd;
    ASSERT_TRUE(a);
    EXPECT_EQ(a->FrameKind, fkSizeable);
    RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    RECT r{};
    GetWindowRect(d, &r);
    auto hit = [&](int X, int Y) { return SendMessageA(d, WM_NCHITTEST, 0, MAKELPARAM(r.left + X, r.top + Y)); };
    auto centre = [&](const TsCaptionButton& b) {
        return hit((b.Rect.left + b.Rect.right) / 2, (b.Rect.top + b.Rect.bottom) / 2);
    };
    // Close, maximize and minimize from the right, the caption between.
    EXPECT_LT(a->Title.Max.Rect.right, a->Title.Close.Rect.right);
    EXPECT_LT(a->Title.Min.Rect.right, a->Title.Max.Rect.right);
    EXPECT_EQ(centre(a->Title.Close), HTCLOSE);
    EXPECT_EQ(centre(a->Title.Max), HTMAXBUTTON);
    EXPECT_EQ(centre(a->Title.Min), HTMINBUTTON);
    EXPECT_EQ(hit((r.right - r.left) / 3, (a->Title.Close.Rect.top + a->Title.Close.Rect.bottom) / 2), HTCAPTION);
    EXPECT_EQ(TacTestAccess::DialogBrushCount(), 0);
    const LRESULT brush = SendMessageA(d, WM_CTLCOLORDLG, 0, 0);
    EXPECT_EQ(SendMessageA(d, WM_CTLCOLORDLG, 0, 0), brush) << "one brush, not one per message";
    LOGBRUSH lb{};
    GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, COLORREF(ColorToRGB(GlobalSkinColor(Manager()))));
    EXPECT_EQ(TacTestAccess::DialogBrushCount(), 1);
    // Zoomed, the outer 2 pixels of every side answer HTERROR.
    ShowWindow(d, SW_MAXIMIZE);
    formtest::Pump(60);
    GetWindowRect(d, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    for (POINT p : {POINT{1, h / 2}, POINT{w / 2, 1}, POINT{w - 2, h / 2}, POINT{w / 2, h - 2}})
        EXPECT_EQ(hit(p.x, p.y), HTERROR) << p.x << "," << p.y;
    EXPECT_NE(hit(w / 2, h - 3), HTERROR);
    DestroyWindow(d);
    formtest::Pump(30);
    EXPECT_EQ(TacTestAccess::DialogBrushCount(), 0) << "freed with its adapter";
}

TEST_F(DialogHook, RequestedPlaceEmptyProvidersAndFormsWithoutWindows) {
    // MessageBoxByType's place is where the box appears.
    POINT at{};
    RunModal(
        [&] {
            HWND box = Visible("#32770");
            RECT r{};
            GetWindowRect(box, &r);
            at = POINT{r.left, r.top};
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        },
        [] { return MessageBoxByType("Placed", "Placed", MB_OK, 50, 60); });
    EXPECT_EQ(at.x, 50);
    EXPECT_EQ(at.y, 60);
    // A foreign window that is no dialog gets an empty provider, freed with it.
    HWND plain = CreateWindowExA(0, "STATIC", "plain", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
    SetActiveWindow(plain);
    formtest::Pump(30);
    TacProvider* p = ProviderOfWindow(plain);
    ASSERT_TRUE(p);
    EXPECT_FALSE(p->DialogWnd || p->SkinProvider);
    DestroyWindow(plain);
    EXPECT_EQ(ProviderOfWindow(plain), nullptr);
    EXPECT_EQ(TacTestAccess::ProviderCount(), 0);
    // Looking for the form of a window never makes a form's window.
    formtest::FormPtr hidden = formtest::MakeForm(0, 0, 100, 100);
    EXPECT_EQ(FormOfWindow(GetDesktopWindow()), nullptr);
    EXPECT_FALSE(hidden->HandleAllocated());
}

TEST_F(DialogHook, FormsWithoutProviderGetOneUnlessTaggedMinus98) {
    for (const int tag : {0, -98}) {
        formtest::FormPtr form = formtest::MakeForm(120, 120, 240, 160);
        form->SetTag(tag);
        form->Show();
        SetForegroundWindow(form->Handle());
        formtest::Pump(60);
        TacProvider* p = ProviderOfWindow(form->Handle());
        EXPECT_EQ(p != nullptr, tag == 0) << "tag " << tag;
        EXPECT_EQ(ProviderOf(form.get()) != nullptr, tag == 0) << "tag " << tag;
        if (p) {
            EXPECT_EQ(p->SkinProvider, ProviderOf(form.get()));
        }
    }
    EXPECT_TRUE(acProviderList.empty()) << "a form's provider goes with its form";
}

// A section that keeps the frame's picture under the title repaints only the
// title band on a new caption, and it looks exactly as a whole repaint.
TEST_F(DialogHook, NewCaptionOverTheKeptTitleBackgroundEqualsAWholeRepaint) {
    HWND d = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    TacDialogWnd* a = ProviderOfWindow(d)->DialogWnd;
    ASSERT_TRUE(a);
    a->SkinData->SetSkinSection("DIALOGKEPT");
    UpdateSkinIndexes(a->SkinData);
    a->SkinData->BGChanged = true;
    RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    formtest::Pump(30);
    ASSERT_TRUE(a->TitleBgBmp) << "the band under the title is kept";
    int nonClientPaints = 0;
    TWindowProcSubclass count;
    count.Attach(d, [&](TMessage& M) {
        nonClientPaints += M.Msg == WM_NCPAINT;
        count.CallPrevious(M);
    });
    SetWindowTextA(d, "A longer caption");
    const testsupport::Picture fast = testsupport::CaptureWindow(d);
    EXPECT_EQ(nonClientPaints, 0) << "the title alone is painted";
    a->SkinData->BGChanged = true;
    RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    formtest::Pump(30);
    const testsupport::Picture whole = testsupport::CaptureWindow(d);
    count.Release();
    ASSERT_EQ(fast.Width, whole.Width);
    int differ = 0;
    for (int y = 0; y < whole.Height; ++y)
        for (int x = 0; x < whole.Width; ++x) differ += fast.Pixel(x, y) != whole.Pixel(x, y);
    EXPECT_EQ(differ, 0);
    DestroyWindow(d);
    formtest::Pump(30);
}

// The table of child adapters by class and style, on one modeless dialog.
TEST_F(DialogHook, ChildWindowsGetTheirAdapterByClassAndStyle) {
    struct Row {
        const char* Class;
        DWORD Style;
        const char* Adapter;  // class name of the adapter, "" for none
    };
    const Row rows[] = {
        {"STATIC", SS_LEFT, "TacStaticWnd"},
        {"STATIC", SS_ICON, "TacIconWnd"},
        {"STATIC", SS_ETCHEDFRAME, ""},
        {"STATIC", SS_GRAYRECT, ""},  // a filled rectangle of its own colour
        {"STATIC", SS_WHITERECT, ""},
        {"STATIC", SS_BLACKRECT, "TacStaticWnd"},
        {"STATIC", SS_OWNERDRAW, ""},
        {"BUTTON", BS_GROUPBOX, "TacGroupBoxWnd"},
        {"BUTTON", BS_AUTORADIOBUTTON, "TacCheckBoxWnd"},
        {"BUTTON", BS_DEFPUSHBUTTON, "TacBtnWnd"},
        {"BUTTON", BS_CHECKBOX, "TacCheckBoxWnd"},
        {"BUTTON", BS_OWNERDRAW, ""},
        {"ToolbarWindow32", TBSTYLE_WRAPABLE, "TacToolBarWnd"},
        {"EDIT", 0, "TacEditWnd"},
        {"LISTBOX", 0, "TacEditWnd"},
        {"COMBOBOX", CBS_DROPDOWNLIST, "TacComboBoxWnd"},
        {"msctls_updown32", 0, "TacSpinWnd"},
        {"SysListView32", LVS_REPORT, "TacListViewWnd"},
        {"SysTreeView32", 0, "TacTreeViewWnd"},
        {"SysTabControl32", 0, ""},
    };
    HWND d = MakeDialog(WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    std::vector<HWND> made;
    for (const Row& r : rows)
        made.push_back(CreateWindowExA(0, r.Class, "x", WS_CHILD | WS_VISIBLE | r.Style, 100, 10, 40, 20, d, nullptr,
                                       nullptr, nullptr));
    SendMessageA(d, SM_ALPHACMD, acCommandWParam(AC_ADAPTNEWCHILDREN), 0);
    for (std::size_t i = 0; i < made.size(); ++i) {
        TacMainWnd* a = AdapterOfWindow(made[i]);
        EXPECT_EQ(a ? a->ClassName() : String(), rows[i].Adapter) << rows[i].Class << " style " << rows[i].Style;
    }
    DestroyWindow(d);
    formtest::Pump(30);
    // A property sheet's tab of exactly 470 x 349 keeps the whole dialog unskinned.
    Manager()->RemoveHook();
    Manager()->InstallHook();
    HWND v = MakeDialog(WS_POPUP | WS_CAPTION | DS_MODALFRAME);  // skinned, then a veto on a new walk
    TacProvider* p = ProviderOfWindow(v);
    ASSERT_TRUE(p);
    HWND tab = CreateWindowExA(0, "SysTabControl32", "", WS_CHILD, 0, 0, 470, 349, v, nullptr, nullptr, nullptr);
    EXPECT_FALSE(CreateChildAdapters(p, v));
    SetWindowPos(tab, nullptr, 0, 0, 470, 350, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(CreateChildAdapters(p, v));
    DestroyWindow(v);
    formtest::Pump(30);
}

// A tree view in a hooked dialog, which never asks its parent for colours,
// is told its section's ground and text like the dialog's other fields.
TEST_F(DialogHook, TreeViewInADialogShowsItsSectionsColours) {
    HWND d = MakeDialog(WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    HWND tree =
        CreateWindowExA(0, "SysTreeView32", "", WS_CHILD | WS_VISIBLE, 100, 10, 120, 60, d, nullptr, nullptr, nullptr);
    TVINSERTSTRUCTA item{};
    item.hInsertAfter = TVI_LAST;
    item.item.mask = TVIF_TEXT;
    item.item.pszText = const_cast<char*>("Branch");
    SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageA(d, SM_ALPHACMD, acCommandWParam(AC_ADAPTNEWCHILDREN), 0);
    ASSERT_TRUE(AdaptedAs<TacTreeViewWnd>(tree));
    RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    formtest::Pump(30);
    EXPECT_EQ(ClientPixel(tree, -4, -4), C().Edit);
    const testsupport::Picture shown = testsupport::CaptureClient(tree);
    const TRect text = testsupport::FindColor(shown, TRect{0, 0, shown.Width, 20}, C().EditFont);
    EXPECT_GT(text.right, text.left);
    DestroyWindow(d);
    formtest::Pump(30);
}

// One painter draws the caption of a form and of a dialog, each from its own
// look: FORMTITLE's text colour on the band's active or inactive colour,
// between the end the caller gives after its icon and its buttons; the form's
// caption follows its alignment (right here), the dialog's stays at the left.
TEST_F(DialogHook, OnePainterDrawsTheCaptionsOfFormAndDialog) {
    HWND d = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    TacDialogWnd* a = ProviderOfWindow(d)->DialogWnd;
    ASSERT_TRUE(a && a->IconSize.cx > 0);
    SetWindowTextA(d, "Caption");
    formtest::FormPtr form = formtest::MakeForm(420, 120, 300, 180);
    form->SetBorderStyle(bsSizeable);
    form->SetCaption("Caption");
    TsSkinProvider* p = TObject::Create<TsSkinProvider>(form.get());
    p->SetCaptionAlignment(taRightJustify);
    form->Show();
    formtest::Pump(120);
    ASSERT_EQ(ProviderOf(form.get()), p);
    struct Window {
        const char* Who;
        HWND H, Other;
        bool RightAligned;
    };
    const Window windows[] = {{"form", form->Handle(), d, true}, {"dialog", d, form->Handle(), false}};
    // Each window's own text place: after its icon, before its buttons, in its title rows.
    auto textPlace = [&](const Window& w, int Width) {
        if (w.H == d) {
            const int fw = GetSystemMetrics(SM_CXFRAME), fh = GetSystemMetrics(SM_CYFRAME);
            return TRect{fw + a->IconSize.cx + 4, fh, a->Title.Min.Rect.left - 4, fh + GetSystemMetrics(SM_CYCAPTION)};
        }
        return TRect{p->SysBorderWidth() + p->IconWidth() + 4, p->SysBorderHeight() / 2,
                     Width - p->Title.ButtonsWidth() - 6, p->CaptionHeight() + p->SysBorderHeight()};
    };
    for (const Window& w : windows)
        for (const bool active : {true, false}) {
            SCOPED_TRACE(std::string(w.Who) + (active ? " active" : " inactive"));
            SetForegroundWindow(active ? w.H : w.Other);
            formtest::Pump(80);
            RedrawWindow(w.H, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
            const testsupport::Picture pic = testsupport::CaptureWindow(w.H);
            const TRect t = textPlace(w, pic.Width);
            ASSERT_GT(t.right - t.left, 60);
            // The caption's pixels between the icon and the buttons.
            int first = pic.Width, last = -1, top = pic.Height, bottom = -1;
            for (int y = 0; y < t.bottom + 2; ++y)
                for (int x = t.left - 4; x < t.right + 4; ++x)
                    if (pic.Pixel(x, y) == C().Title[2]) {
                        first = std::min(first, x), last = std::max(last, x);
                        top = std::min(top, y), bottom = std::max(bottom, y);
                    }
            ASSERT_GE(last, 0) << "no caption in the title's text colour";
            EXPECT_GE(first, t.left);
            EXPECT_LT(last, t.right);
            EXPECT_GE(top, t.top);
            EXPECT_LT(bottom, t.bottom);
            const int middle = (t.left + t.right) / 2;
            if (w.RightAligned) EXPECT_GT(first, middle) << "right-aligned caption";
            else EXPECT_LT(last, middle) << "left-aligned caption";
            // Beside the caption the band shows the state's colour.
            const int beside = w.RightAligned ? first - 3 : last + 3;
            EXPECT_EQ(pic.Pixel(beside, (top + bottom) / 2), C().Title[active ? 1 : 0]);
        }
    form.reset();
    DestroyWindow(d);
    formtest::Pump(30);
}

}  // namespace
