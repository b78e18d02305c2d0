// The form skin provider on real forms: frame geometry, the painted frame's
// pixels, hit-test answers of every title element, moving, sizing and the
// title buttons by real mouse input, the system menu, the window region, and
// the system frame given back when the skin goes.
#include <gtest/gtest.h>

#include "Menus.h"
#include "StdCtrls.h"
#include "ProviderTestSupport.h"
#include "acSBUtils.h"
#include "sGlobals.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"
#include "sSkinProviderAdapter.h"

#include <commctrl.h>

#include <functional>

namespace {

using namespace providertest;

// Frame geometry against the real window and client rectangles, over border
// styles, normal and iconic.
TEST(Provider, GeometryMatchesTheWindow) {
    struct Row {
        TFormBorderStyle Style;
        bool Iconic;
        int CaptionMetric;  // 0: no caption
    };
    const Row rows[] = {{bsSingle, false, SM_CYCAPTION},        {bsSizeable, false, SM_CYCAPTION},
                        {bsDialog, false, SM_CYCAPTION},        {bsToolWindow, false, SM_CYSMCAPTION},
                        {bsSizeToolWin, false, SM_CYSMCAPTION}, {bsNone, false, 0},
                        {bsSizeable, true, SM_CYCAPTION}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "style " << int(r.Style) << (r.Iconic ? " iconic" : ""));
        Skinned s(r.Style);
        if (r.Iconic) {
            ShowWindow(s.H(), SW_MINIMIZE);
            Pump();
        }
        TsSkinProvider* p = s.Provider;
        EXPECT_EQ(p->CaptionHeight(), r.CaptionMetric ? GetSystemMetrics(r.CaptionMetric) : 0);
        const RECT w = s.Rect();
        EXPECT_EQ(p->FormWidth(), w.right - w.left);
        if (r.Style == bsNone) {
            EXPECT_EQ(p->SysBorderWidth() + p->SysBorderHeight(), 0);
        }
        if (r.Iconic) continue;
        POINT client{0, 0};
        ClientToScreen(s.H(), &client);
        EXPECT_EQ(p->ClientOffsetX(), client.x - w.left);
        EXPECT_EQ(p->ClientOffsetY(), client.y - w.top);
        EXPECT_EQ(p->HeaderHeight(), client.y - w.top);
        EXPECT_EQ(LOWORD(s.Form->Perform(SM_ALPHACMD, acCommandWParam(AC_GETCHILDOFFSET), 0)), p->ClientOffsetX());
    }
    EXPECT_EQ(TitleIconSize(8), 0);
    EXPECT_EQ(TitleIconSize(16), 8);
    EXPECT_EQ(TitleIconSize(18), 16);
    EXPECT_EQ(TitleIconSize(28), 32);
}

// The frame's sizes are kept between paints, but never past a change of the
// system's settings: a bigger caption reaches the frame at once, and so does
// the size given back.
TEST(Provider, GeometryFollowsASettingsChange) {
    Skinned s;
    NONCLIENTMETRICSA old{};
    old.cbSize = sizeof old;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof old, &old, 0));
    // Wine tells the windows only of changes it also writes to the registry,
    // which would outlive the test: the notice goes out as the system's would.
    auto set = [](NONCLIENTMETRICSA m) {
        SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof m, &m, 0);
        SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0, SMTO_ABORTIFHUNG, 2000,
                            nullptr);
        Pump();
    };
    const int before = s.Provider->CaptionHeight();
    NONCLIENTMETRICSA bigger = old;
    bigger.iCaptionHeight += 8;
    set(bigger);
    const int grown = GetSystemMetrics(SM_CYCAPTION), seen = s.Provider->CaptionHeight();
    set(old);
    EXPECT_NE(grown, before);
    EXPECT_EQ(seen, grown);
    EXPECT_EQ(s.Provider->CaptionHeight(), before);
}

// A maximized window's border lies off the screen; its title icon is centred
// in the caption that shows, whole: a glyph with a red top row and a blue
// bottom row shows both on the screen.
TEST(Provider, MaximizedTitleIconShowsWhole) {
    Skinned s;
    TBitmap* glyph = s.Provider->TitleIcon()->Glyph();
    glyph->SetPixelFormat(pf24bit);
    glyph->SetSize(16, 16);
    TCanvas* c = glyph->Canvas();
    c->Brush()->SetColor(TColor(0x00FF00));
    c->FillRect(TRect{0, 0, 16, 16});
    c->Brush()->SetColor(TColor(0x0000FF));
    c->FillRect(TRect{0, 0, 16, 1});
    c->Brush()->SetColor(TColor(0xFF0000));
    c->FillRect(TRect{0, 15, 16, 16});
    ShowWindow(s.H(), SW_MAXIMIZE);
    Pump();
    RECT w{};
    GetWindowRect(s.H(), &w);
    ASSERT_LT(w.top, 0) << "the maximized frame's border is expected off the screen";
    HDC screen = GetDC(nullptr);
    const Picture top = testsupport::CaptureDC(screen, 0, 0, 40, 40);
    ReleaseDC(nullptr, screen);
    const TRect red = testsupport::FindColor(top, {}, 0xFF0000), blue = testsupport::FindColor(top, {}, 0x0000FF);
    EXPECT_GT(red.right, red.left) << "the icon's top row is off the screen";
    EXPECT_EQ(blue.top - red.top, 15);
}

// The painted frame: title colour, border states and glyphs, active and
// inactive; a caption or icon change never lets the system caption through.
TEST(Provider, FramePixelsActiveAndInactive) {
    Skinned s;
    TsSkinProvider* p = s.Provider;
    const RECT w = s.Rect();
    const int W = w.right - w.left, H = w.bottom - w.top;
    const int titleX = W - p->Title.ButtonsWidth() - 12;
    auto check = [&](int state, const char* what) {
        SCOPED_TRACE(what);
        const Picture pic = Shot(s.H());
        EXPECT_EQ(pic.Pixel(titleX, 1), C().Title[state]);
        EXPECT_EQ(pic.Pixel(1, H / 2), C().Border[state]);
        EXPECT_EQ(pic.Pixel(W - 2, H / 2), C().Border[state]);
        EXPECT_EQ(pic.Pixel(W / 2, H - 2), C().Border[state]);
        // Close, maximize and minimize glyphs, right to left, in their normal state:
        // at half strength over the title on an inactive frame.
        const TRect* rects[3] = {&p->Title.Close.Rect, &p->Title.Max.Rect, &p->Title.Min.Rect};
        for (int i = 0; i < 3; ++i) {
            const std::uint32_t glyph = C().TitleGlyph[i][0];
            const std::uint32_t seen = pic.Pixel(Mid(*rects[i]).x, Mid(*rects[i]).y);
            EXPECT_TRUE(Near(seen, state ? glyph : Half(glyph, C().Title[0]))) << i << ": " << std::hex << seen;
        }
        EXPECT_LT(p->Title.Min.Rect.right, p->Title.Max.Rect.left);
        EXPECT_LT(p->Title.Max.Rect.right, p->Title.Close.Rect.left);
    };
    check(1, "active");
    SetWindowTextA(s.H(), "A new caption");
    Pump();
    check(1, "after a caption change");
    SendMessageA(s.H(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconA(nullptr, MAKEINTRESOURCEA(32516))));
    Pump();
    check(1, "after an icon change");
    {
        Skinned other(bsSizeable, 500, 400, 200, 150);
        Pump();
        EXPECT_FALSE(p->FormActive);
        check(0, "inactive");
    }
    SetForegroundWindow(s.H());
    Pump();
    check(1, "active again");
}

// Every title element answers its own code, exactly where it is painted.
TEST(Provider, HitTestOfEveryElement) {
    Skinned s;
    TsSkinProvider* p = s.Provider;
    TsTitleButton* user = p->TitleButtons()->Add();
    TsTitleButton* disabled = p->TitleButtons()->Add();
    disabled->Enabled = false;
    p->RefreshFormFrame();
    Pump();
    const RECT w = s.Rect();
    const int W = w.right - w.left, H = w.bottom - w.top;
    struct Row {
        const char* What;
        POINT At;
        LRESULT Code;
    };
    const Row rows[] = {
        {"icon", s.Centre(p->IconRect()), HTSYSMENU},
        {"close", s.Centre(p->Title.Close.Rect), HTCLOSE},
        {"maximize", s.Centre(p->Title.Max.Rect), HTMAXBUTTON},
        {"minimize", s.Centre(p->Title.Min.Rect), HTMINBUTTON},
        {"user button", s.Centre(user->BtnData.Rect), teUserFirst},
        {"disabled user button", s.Centre(disabled->BtnData.Rect), HTCAPTION},
        {"caption", s.At(W / 2 - 20, p->CaptionHeight() / 2 + 2), HTCAPTION},
        {"left border", s.At(1, H / 2), HTLEFT},
        {"bottom-right corner", s.At(W - 1, H - 1), HTBOTTOMRIGHT},
        {"client", s.At(W / 2, H / 2), HTCLIENT},
    };
    for (const Row& r : rows) EXPECT_EQ(s.Hit(r.At), r.Code) << r.What;
    // A hot button shows its hot state; leaving it, the normal one.
    s.Hit(s.Centre(p->Title.Close.Rect));
    EXPECT_EQ(p->Title.Hot, teClose);
    EXPECT_EQ(Shot(s.H()).Pixel(Mid(p->Title.Close.Rect).x, Mid(p->Title.Close.Rect).y), C().TitleGlyph[0][1]);
    s.Hit(s.At(W / 2, H / 2));
    EXPECT_EQ(p->Title.Hot, teNone);
    EXPECT_EQ(Shot(s.H()).Pixel(Mid(p->Title.Close.Rect).x, Mid(p->Title.Close.Rect).y), C().TitleGlyph[0][0]);

    // A dialog frame: close and help, no maximize or minimize.
    Skinned d(bsDialog, 450, 300, 260, 160);
    d.Form->SetBorderIcons(TBorderIcons{biSystemMenu, biHelp});
    d.Provider->RefreshFormFrame();
    Pump();
    EXPECT_EQ(d.Hit(d.Centre(d.Provider->Title.Close.Rect)), HTCLOSE);
    EXPECT_EQ(d.Hit(d.Centre(d.Provider->Title.Help.Rect)), HTHELP);
    EXPECT_FALSE(d.Provider->SystemMenu->VisibleMax());
}

// Real mouse input: the caption moves the form, a border sizes it.
TEST(Provider, DraggingCaptionMovesAndBorderSizes) {
    Skinned s;
    const RECT before = s.Rect();
    const POINT grab = s.At((before.right - before.left) / 2 - 30, s.Provider->CaptionHeight() / 2 + 2);
    ByHand([&] { hand::Drag(grab, POINT{grab.x + 40, grab.y + 30}); });
    const RECT moved = s.Rect();
    EXPECT_EQ(moved.left - before.left, 40);
    EXPECT_EQ(moved.top - before.top, 30);
    EXPECT_EQ(moved.right - moved.left, before.right - before.left);

    const POINT edge{moved.right - 2, (moved.top + moved.bottom) / 2};
    ByHand([&] { hand::Drag(edge, POINT{edge.x + 50, edge.y}); });
    const RECT sized = s.Rect();
    EXPECT_EQ(sized.right - sized.left, moved.right - moved.left + 50);
    EXPECT_EQ(sized.left, moved.left);
    // The frame follows the new size.
    EXPECT_EQ(Shot(s.H()).Pixel(sized.right - sized.left - 2, (sized.bottom - sized.top) / 2), C().Border[1]);
}

// Real clicks on the painted buttons: minimize, maximize and restore, a user
// button's events once each, a double-click on the caption, then close.
TEST(Provider, TitleButtonsWorkByMouse) {
    Skinned s;
    TsSkinProvider* p = s.Provider;
    int downs = 0, ups = 0;
    TsTitleButton* user = p->TitleButtons()->Add();
    user->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) { downs += b == mbLeft; };
    user->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { ups += b == mbLeft; };
    p->RefreshFormFrame();
    Pump();

    ByHand([&] { hand::Click(s.Centre(user->BtnData.Rect)); });
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);

    ByHand([&] { hand::Click(s.Centre(p->Title.Max.Rect)); });
    EXPECT_TRUE(IsZoomed(s.H()));
    // The restore glyph stands where maximize was; it restores.
    EXPECT_EQ(s.Hit(s.Centre(p->Title.Max.Rect)), HTMAXBUTTON);
    ByHand([&] { hand::Click(s.Centre(p->Title.Max.Rect)); });
    EXPECT_FALSE(IsZoomed(s.H()));

    const POINT caption = s.At(60, p->CaptionHeight() / 2 + 2);
    ByHand([&] {
        hand::Click(caption);
        hand::Click(caption);
    });
    EXPECT_TRUE(IsZoomed(s.H()));
    ShowWindow(s.H(), SW_RESTORE);
    Pump();

    ByHand([&] { hand::Click(s.Centre(p->Title.Min.Rect)); });
    EXPECT_TRUE(IsIconic(s.H()));
    ShowWindow(s.H(), SW_RESTORE);
    SetForegroundWindow(s.H());
    Pump(150);

    int closed = 0;
    s.Form->OnClose = [&](TObject*, TCloseAction& a) {
        ++closed;
        a = caHide;
    };
    ByHand([&] { hand::Click(s.Centre(p->Title.Close.Rect)); });
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(IsWindowVisible(s.H()));
}

// The system menu: its items follow the frame, its commands act, it opens
// from the icon, and its skin list never piles up separators.
TEST(Provider, SystemMenu) {
    Skinned s;
    TsSystemMenu* menu = s.Provider->SystemMenu;
    ASSERT_NE(menu, nullptr);
    menu->ItemMaximize->Click();
    Pump();
    EXPECT_TRUE(IsZoomed(s.H()));
    menu->UpdateItems();
    EXPECT_TRUE(menu->ItemRestore->Enabled());
    EXPECT_FALSE(menu->ItemMove->Enabled());
    EXPECT_FALSE(menu->ItemMaximize->Enabled());
    menu->ItemRestore->Click();
    Pump();
    EXPECT_FALSE(IsZoomed(s.H()));

    std::atomic<bool> opened{false};
    ByHand([&] {
        hand::Click(s.Centre(s.Provider->IconRect()));
        for (int i = 0; i < 50 && !opened; ++i) {
            HWND popup = FindWindowA("#32768", nullptr);
            opened = popup && IsWindowVisible(popup);
            Sleep(40);
        }
        INPUT key[2]{};
        key[0].type = key[1].type = INPUT_KEYBOARD;
        key[0].ki.wVk = key[1].ki.wVk = VK_ESCAPE;
        key[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, key, sizeof(INPUT));
        Sleep(100);
    });
    EXPECT_TRUE(opened);

    const int count = menu->Items()->Count();
    for (int i = 0; i < 3; ++i) {
        menu->RemoveSkinItems();
        menu->MakeSkinItems();
    }
    menu->RemoveSkinItems();
    EXPECT_EQ(menu->Items()->Count(), count);

    Skinned d(bsDialog, 450, 300, 260, 160);
    TsSystemMenu* dm = d.Provider->SystemMenu;
    dm->UpdateItems();
    EXPECT_TRUE(dm->ItemMove->Visible());
    EXPECT_TRUE(dm->ItemClose->Visible());
    EXPECT_FALSE(dm->ItemRestore->Visible() || dm->ItemSize->Visible() || dm->ItemMinimize->Visible() ||
                 dm->ItemMaximize->Visible());
}

// The window region follows the border mask's key-coloured corners.
TEST(Provider, RegionFollowsTheSkinCorners) {
    Skinned s;
    const RECT w = s.Rect();
    const int W = w.right - w.left, H = w.bottom - w.top;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(s.H(), rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, W - 1, 0));
    EXPECT_FALSE(PtInRegion(rgn, 0, H - 1));
    EXPECT_TRUE(PtInRegion(rgn, 2, 0));
    EXPECT_TRUE(PtInRegion(rgn, W / 2, H / 2));
    // A new size gives a region of the new size.
    SetWindowPos(s.H(), nullptr, 0, 0, W + 30, H, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    ASSERT_NE(GetWindowRgn(s.H(), rgn), ERROR);
    EXPECT_TRUE(PtInRegion(rgn, W + 20, H / 2));
    EXPECT_FALSE(PtInRegion(rgn, W + 29, 0));
    DeleteObject(rgn);
}

// A second provider does nothing; freeing the first gives the form its
// system frame, style, procedure and shape back; so does removing the skin.
TEST(Provider, SkinRemovalGivesTheSystemFrameBack) {
    Manager();
    formtest::FormPtr form = formtest::MakeForm(120, 90, 300, 200);
    const TWndMethod own = form->WindowProc;
    auto* first = TObject::Create<TsSkinProvider>(form.get());
    auto* second = TObject::Create<TsSkinProvider>(form.get());
    EXPECT_EQ(second->Form, nullptr);
    form->Show();
    Pump(120);
    EXPECT_EQ(ProviderOf(form.get()), first);
    second->Free();
    EXPECT_EQ(ProviderOf(form.get()), first);
    EXPECT_EQ(GetWindowLongPtrA(form->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(form->Handle(), rgn), ERROR);

    Manager()->SetActive(false);
    Pump();
    EXPECT_NE(GetWindowLongPtrA(form->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_EQ(GetWindowRgn(form->Handle(), rgn), ERROR);
    // The system paints its own frame: the skin's border colour is gone.
    const Picture plain = Shot(form->Handle());
    EXPECT_NE(plain.Pixel(1, 100), C().Border[1]);
    Manager()->SetActive(true);
    Pump(120);
    EXPECT_EQ(Shot(form->Handle()).Pixel(1, 100), C().Border[1]);

    first->Free();
    Pump();
    EXPECT_TRUE(form->WindowProc == own);
    EXPECT_NE(GetWindowLongPtrA(form->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_EQ(GetWindowRgn(form->Handle(), rgn), ERROR);
    DeleteObject(rgn);
}

// On a system before major version 6 a caption change happens under a
// borderless cover over the title bar that takes no activation and is gone
// afterwards; the frame stays the skin's.
TEST(Provider, CaptionCoverOnOlderSystems) {
    const auto version = TsSkinProvider::SystemMajorVersion;
    TsSkinProvider::SystemMajorVersion = [] { return 5; };
    Manager();
    formtest::FormPtr form = formtest::MakeForm(100, 80, 320, 220);
    RECT cover{};
    HWND coverWnd = nullptr;
    // The form's own procedure, behind the provider's: what is on the screen while it changes the text.
    TWindowProcHook spy;
    spy.Attach(form.get(), [&](TMessage& m) {
        if (m.Msg == WM_SETTEXT)
            for (int i = 0; i < Screen->FormCount(); ++i)
                if (Screen->Forms(i)->Tag() == -98 && IsWindowVisible(Screen->Forms(i)->Handle())) {
                    coverWnd = Screen->Forms(i)->Handle();
                    GetWindowRect(coverWnd, &cover);
                }
        spy.CallPrevious(m);
    });
    TsSkinProvider* p = TObject::Create<TsSkinProvider>(form.get());
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump(120);
    const HWND foreground = GetForegroundWindow();
    SetWindowTextA(form->Handle(), "Covered");
    Pump();
    TsSkinProvider::SystemMajorVersion = version;
    ASSERT_NE(coverWnd, nullptr);
    RECT w{};
    GetWindowRect(form->Handle(), &w);
    EXPECT_EQ(cover.left, w.left);
    EXPECT_EQ(cover.top, w.top);
    EXPECT_EQ(cover.right - cover.left, w.right - w.left);
    EXPECT_EQ(cover.bottom - cover.top, p->HeaderHeight());
    EXPECT_EQ(GetForegroundWindow(), foreground);
    EXPECT_FALSE(IsWindow(coverWnd));
    EXPECT_EQ(Shot(form->Handle()).Pixel(w.right - w.left - p->Title.ButtonsWidth() - 12, 1), C().Title[1]);
    p->Free();
    spy.Release();
}

// Screen snapping: near a work-area edge the form lands flush on it.
TEST(Provider, ScreenSnapToWorkAreaEdges) {
    Skinned s;
    s.Provider->ScreenSnap = true;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT r = s.Rect();
    const int W = r.right - r.left;
    SetWindowPos(s.H(), nullptr, work.right - W - 9, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(s.Rect().left, work.right - W);
    SetWindowPos(s.H(), nullptr, work.right - W - 10, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(s.Rect().left, work.right - W - 10);
    SetWindowPos(s.H(), nullptr, work.left + 5, work.top + 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(s.Rect().left, work.left);
    EXPECT_EQ(s.Rect().top, work.top);
}

}  // namespace

namespace {

// An MDI frame shows its maximized child's restore, minimize and close
// buttons on its own menu line; the restore button restores the child.
TEST(Provider, MaximizedMDIChildButtonsOnTheFrameMenuLine) {
    Manager();
    formtest::FormPtr frame = formtest::MakeForm(60, 40, 520, 380);
    frame->SetFormStyle(fsMDIForm);
    auto* menu = TObject::Create<TMainMenu>(frame.get());
    auto* file = TObject::Create<TMenuItem>(menu);
    file->SetCaption("File");
    menu->Items()->Add(file);
    frame->SetMenu(menu);
    TsSkinProvider* fp = TObject::Create<TsSkinProvider>(frame.get());
    frame->Show();
    Pump(120);
    EXPECT_EQ(MDISkinProvider, fp);
    auto* child = TObject::Create<TForm>(nullptr);
    child->SetBounds(10, 10, 220, 160);
    child->SetFormStyle(fsMDIChild);
    TObject::Create<TsSkinProvider>(child);
    Pump(120);
    SendMessageA(frame->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
    Pump(200);
    ASSERT_TRUE(IsZoomed(child->Handle()));
    fp->RefreshFormFrame();
    Pump(120);
    const TRect restore = fp->Title.MDIMax.Rect;
    ASSERT_GT(restore.right, restore.left);
    EXPECT_GE(restore.top, fp->CaptionHeight() + fp->SysBorderHeight());
    RECT w{};
    GetWindowRect(frame->Handle(), &w);
    const POINT at{w.left + (restore.left + restore.right) / 2, w.top + (restore.top + restore.bottom) / 2};
    EXPECT_EQ(SendMessageA(frame->Handle(), WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)), teMDIMax);
    EXPECT_EQ(Shot(frame->Handle()).Pixel(Mid(fp->Title.MDIClose.Rect).x, Mid(fp->Title.MDIClose.Rect).y),
              C().TitleGlyph[0][0]);
    // During a menu loop a cover hides what the system draws at the menu line's right end.
    auto cover = [] {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (Screen->Forms(i)->Name() == "acMDIIcons" && IsWindowVisible(Screen->Forms(i)->Handle())) return true;
        return false;
    };
    SendMessageA(frame->Handle(), WM_ENTERMENULOOP, FALSE, 0);
    EXPECT_TRUE(cover());
    SendMessageA(frame->Handle(), WM_EXITMENULOOP, FALSE, 0);
    EXPECT_FALSE(cover());
    ByHand([&] { hand::Click(at); });
    EXPECT_FALSE(IsZoomed(child->Handle()));
    child->Free();
    Pump();
}

// A window of the system's own class, skinned by its handle on a form with a
// provider: a paint it leaves for later while the form's picture is being
// made is done when the form has painted, not left as what the screen held.
TEST(Provider, HandleSkinnedListViewPaintsAfterTheForm) {
    Manager();
    formtest::FormPtr form = formtest::MakeForm(140, 100, 360, 260);
    TObject::Create<TsSkinProvider>(form.get());
    HWND lv = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 300, 180,
                              form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    TacListViewWnd adapter(lv, nullptr, Manager(), "EDIT");
    form->Show();
    Pump(200);
    ASSERT_EQ(testsupport::CaptureClient(lv).Pixel(150, 150), C().Edit);

    // A stale screen under the list, which paints while the form is updating.
    HDC dc = GetWindowDC(lv);
    PatBlt(dc, 0, 0, 300, 180, BLACKNESS);
    ReleaseDC(lv, dc);
    SendSkinCommandToWindow(form->Handle(), AC_SETUPDATING, 0, 1);
    RedrawWindow(lv, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    SendSkinCommandToWindow(form->Handle(), AC_SETUPDATING, 0, 0);
    InvalidateRect(form->Handle(), nullptr, FALSE);
    Pump(200);
    EXPECT_EQ(testsupport::CaptureClient(lv).Pixel(150, 150), C().Edit);
    EXPECT_NE(Shot(lv).Pixel(0, 90), 0u);
    DestroyWindow(lv);
}

}  // namespace

namespace {
// The older systems' paths, for one test.
struct OlderSystem {
    std::function<int()> Saved = TsSkinProvider::SystemMajorVersion;
    OlderSystem() {
        TsSkinProvider::SystemMajorVersion = [] { return 5; };
    }
    ~OlderSystem() { TsSkinProvider::SystemMajorVersion = Saved; }
};
}  // namespace

// rmBorder on an older system: caption and border drags move and size the form
// once, at the release; a press on the border without a move changes nothing.
TEST(Provider, OutlineDragMovesAndSizesOnRelease) {
    OlderSystem older;
    Skinned s;
    s.Provider->ResizeMode = rmBorder;
    const RECT before = s.Rect();
    const POINT grab = s.At((before.right - before.left) / 2 - 30, s.Provider->CaptionHeight() / 2 + 2);
    RECT during{};
    ByHand([&] {
        hand::To(grab);
        hand::Button(true);
        hand::To(POINT{grab.x + 20, grab.y + 15});
        hand::To(POINT{grab.x + 40, grab.y + 30});
        GetWindowRect(s.H(), &during);
        hand::Button(false);
    });
    EXPECT_EQ(during.left, before.left) << "the form moved before the release";
    const RECT moved = s.Rect();
    EXPECT_EQ(moved.left - before.left, 40);
    EXPECT_EQ(moved.top - before.top, 30);
    EXPECT_EQ(moved.right - moved.left, before.right - before.left);
    EXPECT_FALSE(TsSkinProvider::OutlineDragging());

    const POINT corner{moved.right - 2, moved.bottom - 2};
    ByHand([&] { hand::Drag(corner, POINT{corner.x + 30, corner.y + 20}); });
    const RECT sized = s.Rect();
    EXPECT_EQ(sized.right - sized.left, moved.right - moved.left + 30);
    EXPECT_EQ(sized.bottom - sized.top, moved.bottom - moved.top + 20);
    EXPECT_EQ(sized.left, moved.left);

    ByHand([&] { hand::Click(POINT{sized.right - 2, (sized.top + sized.bottom) / 2}); });
    const RECT same = s.Rect();
    EXPECT_TRUE(EqualRect(&same, &sized));
}

// The form's own scroll bars are the skin's, the client offset leaves them
// out, and they are released when the skin goes and made again when it comes.
TEST(Provider, FormScrollBarsTakeTheSkin) {
    Manager();
    formtest::FormPtr form = formtest::MakeForm(100, 80, 320, 220);
    auto* p = TObject::Create<TsSkinProvider>(form.get());
    const HWND h = form->Handle();
    SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) | WS_VSCROLL);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
    SetScrollInfo(h, SB_VERT, &si, FALSE);
    form->Show();
    Pump(120);
    ASSERT_NE(p->ScrollAdapter, nullptr);
    ASSERT_TRUE(p->ScrollAdapter->VertBar->Visible);
    const int bar = ScrollBarMetric(p->ScrollAdapter->VertBar, 1, false);
    RECT w{}, c{};
    GetWindowRect(h, &w);
    GetClientRect(h, &c);
    EXPECT_EQ(p->ClientOffsetX(), (w.right - w.left - c.right - bar) / 2);
    const int barX = p->ClientOffsetX() + c.right + bar / 2;
    EXPECT_EQ(Shot(h).Pixel(barX, p->ClientOffsetY() + c.bottom - bar - 6), C().ScrollTrack[1]);

    Manager()->SetActive(false);
    Pump();
    EXPECT_TRUE(p->ScrollAdapter->Destroyed);
    EXPECT_EQ(p->ClientOffsetX(), (w.right - w.left - c.right) / 2);
    Manager()->SetActive(true);
    Pump(120);
    SendSkinCommandToWindow(h, AC_REFRESH, reinterpret_cast<LPARAM>(Manager()));
    Pump();
    ASSERT_NE(p->ScrollAdapter, nullptr);
    EXPECT_FALSE(p->ScrollAdapter->Destroyed);
    p->Free();
}

// Printing the form prints its child windows over the skin's background.
TEST(Provider, PrintIncludesChildWindows) {
    Skinned s;
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 20, 20, 60, 40, s.H(), nullptr,
                                 nullptr, nullptr);
    Pump();
    // The client printed at the client's place in the frame's picture.
    const int x = s.Provider->ClientOffsetX() + 50, y = s.Provider->ClientOffsetY() + 40;
    const Picture with = testsupport::PrintWindowClient(s.H(), PRF_CLIENT | PRF_CHILDREN);
    const Picture without = testsupport::PrintWindowClient(s.H(), PRF_CLIENT);
    EXPECT_EQ(with.Pixel(x, y), testsupport::PrintWindowClient(child).Pixel(30, 20));
    EXPECT_NE(without.Pixel(x, y), with.Pixel(x, y));
    EXPECT_EQ(with.Pixel(x + 60, y), Shot(s.H()).Pixel(x + 60, y));
    DestroyWindow(child);
}

// On an older system the form fades in from the screen under it: the snapshot
// window is gone afterwards, the children draw again and the frame is the skin's.
TEST(Provider, FadeInOnShowOnOlderSystems) {
    OlderSystem older;
    Manager()->AnimEffects()->FormShow.Time = 40;
    formtest::FormPtr form = formtest::MakeForm(100, 80, 320, 220);
    auto* p = TObject::Create<TsSkinProvider>(form.get());
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 20, 20, 60, 40, form->Handle(),
                                 nullptr, nullptr, nullptr);
    form->Show();
    Pump(120);
    Manager()->AnimEffects()->FormShow.Time = 0;
    EXPECT_FALSE(p->ShowAnimating);
    EXPECT_EQ(acOutputWindow, nullptr);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_EQ(Shot(form->Handle()).Pixel(1, 100), C().Border[1]);
    p->Free();
}

// The provider's control adapter takes the form's plain controls, also one
// made later; it lets them go with the skin and takes them again when it comes.
TEST(Provider, ControlAdapterFollowsTheSkin) {
    Skinned s;
    auto* before = formtest::Make<TButton>(s.Form.get(), 10, 10, 90, 28);
    Pump();
    ASSERT_NE(s.Provider->Adapter, nullptr);
    EXPECT_GE(s.Provider->Adapter->IndexOf(before), 0);
    auto* later = formtest::Make<TButton>(s.Form.get(), 10, 50, 90, 28);
    Pump();
    EXPECT_GE(s.Provider->Adapter->IndexOf(later), 0);
    EXPECT_EQ(SendMessageA(later->Handle(), SM_ALPHACMD, MAKEWPARAM(0, AC_SKINNEDQUERY), 0), 1);

    Manager()->SetActive(false);
    Pump();
    EXPECT_EQ(s.Provider->Adapter, nullptr);
    EXPECT_NE(SendMessageA(later->Handle(), SM_ALPHACMD, MAKEWPARAM(0, AC_SKINNEDQUERY), 0), 1);
    Manager()->SetActive(true);
    Pump(120);
    ASSERT_NE(s.Provider->Adapter, nullptr);
    EXPECT_GE(s.Provider->Adapter->IndexOf(later), 0);
}
