// The provider's frame and client paints on real forms: repaints pending
// across a caption change, the form's own drawing on every paint and print.
#include <gtest/gtest.h>

#include "ProviderTestSupport.h"
#include "Scopes.h"
#include "WindowHooks.h"
#include "acTitleBar.h"
#include "sGlobals.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "sPanel.h"
#include "acSBUtils.h"
#include "sMessages.h"
#include "sSkinProviderAdapter.h"

#include <atomic>
#include <functional>

namespace {

using namespace providertest;

// A caption or icon change keeps the repaints already pending on the form and
// on its child windows: what was invalidated before the change is painted.
TEST(ProviderFrame, CaptionAndIconChangesKeepPendingRepaints) {
    Skinned s;
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 20, 20, 60, 40, s.H(), nullptr,
                                 nullptr, nullptr);
    Pump();
    const std::uint32_t childLook = testsupport::CaptureClient(child).Pixel(30, 20);
    const std::uint32_t formLook = testsupport::CaptureClient(s.H()).Pixel(200, 120);
    struct Row {
        const char* What;
        std::function<void()> Change;
    };
    const Row rows[] = {
        {"caption", [&] { SetWindowTextA(s.H(), "A new caption"); }},
        {"icon",
         [&] {
             SendMessageA(s.H(), WM_SETICON, ICON_SMALL,
                          reinterpret_cast<LPARAM>(LoadIconA(nullptr, MAKEINTRESOURCEA(32516))));
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.What);
        // Stale pixels on the screen, both windows told to paint again, the change before they do.
        PatBlt(TClientDC(child), 0, 0, 60, 40, WHITENESS);
        PatBlt(TClientDC(s.H()), 150, 100, 100, 60, WHITENESS);
        InvalidateRect(child, nullptr, TRUE);
        InvalidateRect(s.H(), nullptr, FALSE);
        r.Change();
        Pump();
        EXPECT_EQ(testsupport::CaptureClient(child).Pixel(30, 20), childLook);
        EXPECT_EQ(testsupport::CaptureClient(s.H()).Pixel(200, 120), formLook);
    }
    DestroyWindow(child);
}

// The form's OnPaint draws over the skin's background at every paint (an
// Invalidate shows what it draws now) and, printed, into the print's DC only.
TEST(ProviderFrame, OnPaintDrawsOnEveryPaintAndIntoAPrint) {
    Skinned s;
    TColor colour = clRed;
    s.Form->OnPaint = [&](TObject*) {
        TCanvas* c = s.Form->Canvas();
        c->Brush()->SetColor(colour);
        c->FillRect(TRect{10, 10, 60, 40});
    };
    s.Form->Invalidate();
    Pump();
    EXPECT_EQ(testsupport::CaptureClient(s.H()).Pixel(30, 20), 0xFF0000u);
    colour = clBlue;
    s.Form->Invalidate();
    Pump();
    EXPECT_EQ(testsupport::CaptureClient(s.H()).Pixel(30, 20), 0x0000FFu);
    // Outside the drawing the skin's background stays.
    EXPECT_NE(testsupport::CaptureClient(s.H()).Pixel(100, 100), 0x0000FFu);

    colour = clLime;
    const Picture printed = testsupport::PrintWindowClient(s.H(), PRF_CLIENT);
    EXPECT_EQ(printed.Pixel(s.Provider->ClientOffsetX() + 30, s.Provider->ClientOffsetY() + 20), 0x00FF00u);
    EXPECT_EQ(testsupport::CaptureClient(s.H()).Pixel(30, 20), 0x0000FFu) << "the print drew on the window";
}

// The shared manager with a built-in skin for one test; the test skin again afterwards.
struct BuiltinSkin {
    explicit BuiltinSkin(const char* Name) { EXPECT_TRUE(Manager()->LoadSkin(Name)); }
    ~BuiltinSkin() {
        String error;
        EXPECT_TRUE(Manager()->LoadSkin(testsupport::TestSkinPath(Options()), error)) << error;
        Pump();
    }
};

int DifferentPixels(const Picture& A, const Picture& B, int W, int H) {
    int n = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) n += A.Pixel(x, y) != B.Pixel(x, y);
    return n;
}

// The built-in skins keep their frame image: a caption change repaints only
// the title over it, and every pixel equals a full repaint's, active and
// inactive, with a hot title button. The kept image goes when the system's
// metrics change and while the form is minimized.
TEST(ProviderFrame, FastTitleRepaintEqualsAFullOne) {
    for (const char* skin : {"Light", "Dark"}) {
        const BuiltinSkin builtin(skin);
        for (const bool active : {true, false}) {
            SCOPED_TRACE(testing::Message() << skin << (active ? " active" : " inactive"));
            Skinned s;
            TsSkinProvider* p = s.Provider;
            Skinned other(bsSizeable, 500, 400, 200, 150);
            if (active) SetForegroundWindow(s.H());
            Pump();
            ASSERT_EQ(p->FormActive, active);
            s.Hit(s.Centre(p->Title.Close.Rect));
            ASSERT_EQ(p->Title.Hot, teClose);
            ASSERT_NE(p->FrameBmp, nullptr);
            const RECT w = s.Rect();
            const int W = w.right - w.left, H = w.bottom - w.top;
            SetWindowTextA(s.H(), "Another caption, of another length");
            Pump();
            const Picture fast = Shot(s.H());
            p->RefreshFormFrame();
            Pump();
            EXPECT_EQ(DifferentPixels(fast, Shot(s.H()), W, H), 0);
            // A mark in the cache below the title: the title's repaint leaves it, a full one paints over it.
            SetPixel(p->SkinData()->CacheBmp->Canvas()->Handle(), 1, H / 2, RGB(1, 2, 3));
            SetWindowTextA(s.H(), "A caption");
            Pump();
            EXPECT_EQ(Shot(s.H()).Pixel(1, H / 2), 0x010203u) << "the whole frame was painted again";
        }
    }
    struct Row {
        const char* What;
        std::function<void(HWND)> Send;
    };
    const Row rows[] = {
        {"settings change", [](HWND h) { SendMessageA(h, WM_SETTINGCHANGE, 0, 0); }},
        {"minimize", [](HWND h) { SendMessageA(h, WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
    };
    const BuiltinSkin builtin("Light");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.What);
        Skinned f;
        ASSERT_NE(f.Provider->FrameBmp, nullptr);
        r.Send(f.H());
        EXPECT_EQ(f.Provider->FrameBmp, nullptr);
    }
}

// A glyph of one colour with the key colour in its bottom-left pixel.
void FlatGlyph(TBitmap* Glyph, TColor Colour) {
    Glyph->SetSize(10, 10);
    Glyph->Canvas()->Brush()->SetColor(Colour);
    Glyph->Canvas()->FillRect(TRect{0, 0, 10, 10});
    SetPixel(Glyph->Canvas()->Handle(), 0, 9, RGB(255, 0, 255));
}

// A title button that cannot act is drawn at half strength and takes no
// click; on an inactive frame every button is, hot or not.
TEST(ProviderFrame, DisabledAndInactiveTitleButtonsByMouse) {
    Skinned s;
    TsSkinProvider* p = s.Provider;
    int downs = 0;
    TsTitleButton* on = p->TitleButtons()->Add();
    TsTitleButton* off = p->TitleButtons()->Add();
    for (TsTitleButton* b : {on, off}) {
        FlatGlyph(b->Glyph(), clRed);
        b->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    }
    off->Enabled = false;
    p->RefreshFormFrame();
    Pump();
    const POINT onAt = Mid(on->BtnData.Rect), offAt = Mid(off->BtnData.Rect);
    const Picture pic = Shot(s.H());
    EXPECT_EQ(pic.Pixel(onAt.x, onAt.y), 0xFF0000u);
    EXPECT_TRUE(Near(pic.Pixel(offAt.x, offAt.y), Half(0xFF0000, C().Title[1])))
        << std::hex << pic.Pixel(offAt.x, offAt.y);
    ByHand([&] { hand::Click(s.Centre(off->BtnData.Rect)); });
    EXPECT_EQ(downs, 0);
    ByHand([&] { hand::Click(s.Centre(on->BtnData.Rect)); });
    EXPECT_EQ(downs, 1);

    Skinned other(bsSizeable, 500, 400, 200, 150);
    Pump();
    ASSERT_FALSE(p->FormActive);
    s.Hit(s.Centre(p->Title.Close.Rect));
    ASSERT_EQ(p->Title.Hot, teClose);
    const POINT close = Mid(p->Title.Close.Rect);
    const Picture inactive = Shot(s.H());
    EXPECT_TRUE(Near(inactive.Pixel(close.x, close.y), Half(C().TitleGlyph[0][1], C().Title[0])));
    EXPECT_TRUE(Near(inactive.Pixel(onAt.x, onAt.y), Half(0xFF0000, C().Title[0])));
}

// The help button by a real click asks the form for context help; the mouse
// leaving the frame over a hot button leaves every button normal.
TEST(ProviderFrame, HelpButtonAndTheMouseLeavingTheFrame) {
    Manager();
    formtest::FormPtr form = formtest::MakeForm(120, 100, 300, 180);
    form->SetBorderStyle(bsDialog);
    form->SetBorderIcons(TBorderIcons{biSystemMenu, biHelp});
    int helps = 0;
    TWindowProcHook spy;
    spy.Attach(form.get(), [&](TMessage& m) {
        if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_CONTEXTHELP) ++helps;
        else spy.CallPrevious(m);
    });
    TsSkinProvider* p = TObject::Create<TsSkinProvider>(form.get());
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump(120);
    RECT w{};
    GetWindowRect(form->Handle(), &w);
    auto screen = [&](const TRect& r) { return POINT{w.left + Mid(r).x, w.top + Mid(r).y}; };
    ByHand([&] { hand::Click(screen(p->Title.Help.Rect)); });
    EXPECT_EQ(helps, 1);

    const POINT close = Mid(p->Title.Close.Rect);
    std::atomic<int> hot{-1};
    ByHand([&] {
        hand::To(screen(p->Title.Close.Rect));
        Sleep(150);
        hot = p->Title.Hot;
        hand::To(POINT{w.right + 150, w.bottom + 100});
        Sleep(150);
    });
    EXPECT_EQ(hot, teClose);
    EXPECT_EQ(p->Title.Hot, teNone);
    EXPECT_EQ(Shot(form->Handle()).Pixel(close.x, close.y), C().TitleGlyph[0][0]);
    p->Free();
    spy.Release();
}

// A built-in skin's global glyph sets: the small one on a tool window, the
// big one elsewhere; its TITLEBAR strip lies under the buttons only.
TEST(ProviderFrame, GlobalGlyphSetsAndTheTitleBarStrip) {
    const BuiltinSkin builtin("Light");
    TsSkinManager* m = Manager();
    const int gi = SectionIndexOf(m, "GLOBALINFO");
    struct Row {
        TFormBorderStyle Style;
        const char* Close;
    };
    for (const Row& r : {Row{bsSizeable, "BICONCLOSE"}, Row{bsToolWindow, "SICONCLOSE"}}) {
        SCOPED_TRACE(r.Close);
        Skinned s(r.Style);
        const int mask = MaskIndexOf(m, gi, "GLOBALINFO", r.Close);
        ASSERT_GE(mask, 0);
        EXPECT_EQ(s.Provider->Title.Close.ImageIndex, mask);
        const TRect& c = s.Provider->Title.Close.Rect;
        EXPECT_EQ(c.right - c.left, TitleButtonSize(m, mask).cx);
    }
    // The strip: the same title with and without the window menu's buttons.
    Skinned with;
    Skinned without(bsSizeable, 100, 340);
    without.Form->SetBorderIcons(TBorderIcons{});
    without.Provider->RefreshFormFrame();
    Pump();
    const int x = with.Provider->Title.Min.Rect.left - 2, y = with.Provider->Title.Min.Rect.top;
    const int plain = x - with.Provider->Title.ButtonsWidth();
    const Picture strip = Shot(with.H()), none = Shot(without.H());
    EXPECT_NE(strip.Pixel(x, y), strip.Pixel(plain, y));
    EXPECT_EQ(none.Pixel(x, y), none.Pixel(plain, y));
}

// Title buttons given as a whole collection take the places the frame gives
// them; the buttons' and the icon's pictures and events, the provider's
// buttons and item event are published.
TEST(ProviderFrame, TitleButtonsSetterAndPublishedTables) {
    Skinned s;
    Skinned source(bsSizeable, 460, 300, 200, 150);
    int ups = 0;
    TsTitleButton* b = source.Provider->TitleButtons()->Add();
    FlatGlyph(b->Glyph(), clRed);
    b->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    source.Provider->TitleButtons()->Add()->Enabled = false;
    s.Provider->SetTitleButtons(source.Provider->TitleButtons());
    SetForegroundWindow(s.H());
    Pump();
    TsTitleButtons* own = s.Provider->TitleButtons();
    ASSERT_EQ(own->Count(), 2);
    EXPECT_FALSE(own->Items(1)->Enabled);
    const POINT at = Mid(own->Items(0)->BtnData.Rect);
    EXPECT_EQ(Shot(s.H()).Pixel(at.x, at.y), 0xFF0000u);
    ByHand([&] { hand::Click(s.Centre(own->Items(0)->BtnData.Rect)); });
    EXPECT_EQ(ups, 1);

    struct Row {
        const TObject* Object;
        const char* Name;
        TTypeKind Kind;
    };
    const Row rows[] = {
        {own->Items(0), "Glyph", TTypeKind::tkClass},        {own->Items(0), "OnMouseUp", TTypeKind::tkMethod},
        {own->Items(0), "OnMouseDown", TTypeKind::tkMethod}, {s.Provider->TitleIcon(), "Glyph", TTypeKind::tkClass},
        {s.Provider, "OnSkinItem", TTypeKind::tkMethod},     {s.Provider, "TitleButtons", TTypeKind::tkClass},
    };
    for (const Row& r : rows) {
        const TPropInfo* info = GetPropInfo(r.Object, r.Name);
        ASSERT_NE(info, nullptr) << r.Name;
        EXPECT_EQ(info->Kind, r.Kind) << r.Name;
    }
}

// The item event set after the form's adapter was made decides for the
// controls that come later; a form activated without an adapter makes one.
TEST(ProviderFrame, ItemEventSetLaterAndTheAdapterOnActivation) {
    Skinned s;
    ASSERT_NE(s.Provider->Adapter, nullptr);
    int asked = 0;
    s.Provider->OnSkinItem = [&](TComponent*, bool& CanBeAdded, String&) {
        ++asked;
        CanBeAdded = false;
    };
    auto* later = formtest::Make<TButton>(s.Form.get(), 10, 50, 90, 28);
    Pump();
    EXPECT_GT(asked, 0);
    EXPECT_LT(s.Provider->Adapter->IndexOf(later), 0);
    s.Provider->OnSkinItem = nullptr;

    s.Provider->RemoveAdapter();
    Skinned other(bsSizeable, 500, 400, 200, 150);
    SetForegroundWindow(s.H());
    Pump();
    ASSERT_NE(s.Provider->Adapter, nullptr);
    EXPECT_GE(s.Provider->Adapter->IndexOf(later), 0);
}

// Real drags size the form from its grips: the corner between its skinned
// scroll bars (their adapter answers for it before the provider), and the
// skin's grip where the provider shows one. The bars are made again when the
// form floats.
TEST(ProviderFrame, GripsSizeTheFormByMouse) {
    auto drag = [](const Skinned& s, POINT From) {
        const RECT before = s.Rect();
        EXPECT_EQ(s.Hit(From), HTBOTTOMRIGHT);
        ByHand([&] { hand::Drag(From, POINT{From.x + 30, From.y + 20}); });
        const RECT after = s.Rect();
        EXPECT_EQ(after.right - after.left, before.right - before.left + 30);
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 20);
    };
    {
        SCOPED_TRACE("between the bars");
        Skinned s;
        const HWND h = s.H();
        SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) | WS_VSCROLL | WS_HSCROLL);
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
        SetScrollInfo(h, SB_VERT, &si, FALSE);
        SetScrollInfo(h, SB_HORZ, &si, FALSE);
        SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        SendSkinCommandToWindow(h, AC_REFRESH, reinterpret_cast<LPARAM>(Manager()));
        Pump();
        ASSERT_NE(s.Provider->ScrollAdapter, nullptr);
        ASSERT_TRUE(s.Provider->ScrollAdapter->VertBar->Visible && s.Provider->ScrollAdapter->HorzBar->Visible);
        RECT c{};
        GetClientRect(h, &c);
        const int bar = ScrollBarMetric(s.Provider->ScrollAdapter->VertBar, 1, false);
        const POINT corner =
            s.At(s.Provider->ClientOffsetX() + c.right + bar / 2, s.Provider->ClientOffsetY() + c.bottom + bar / 2);
        drag(s, corner);
        s.Form->Perform(CM_FLOATING, 0, 0);
        Pump();
        ASSERT_NE(s.Provider->ScrollAdapter, nullptr);
        EXPECT_FALSE(s.Provider->ScrollAdapter->Destroyed);
        EXPECT_TRUE(s.Provider->ScrollAdapter->VertBar->Visible);
    }
    {
        SCOPED_TRACE("the skin's grip");
        const BuiltinSkin builtin("Light");
        Skinned s;
        s.Provider->GripMode = gmRightBottom;
        s.Provider->RefreshFormFrame();
        Pump();
        const RECT r = s.Rect();
        drag(s, POINT{r.right - s.Provider->SysBorderWidth() - 3, r.bottom - s.Provider->SysBorderHeight() - 3});
    }
}

// A form whose section has a gradient tells its children when a new size
// stretches it: a see-through panel shows the gradient as it is under it now.
TEST(ProviderFrame, StretchedGradientReachesASeeThroughChild) {
    Skinned s;
    s.Provider->SkinData()->SetSkinSection("PANEL");  // a vertical gradient
    s.Provider->RefreshFormFrame();
    auto* panel = formtest::Make<TsPanel>(s.Form.get(), 10, 120, 100, 40);
    panel->SkinData()->SetSkinSection("TRANSPANEL");
    s.Form->Invalidate();
    Pump();
    const std::uint32_t before = testsupport::CaptureClient(panel->Handle()).Pixel(50, 20);
    SetWindowPos(s.H(), nullptr, 0, 0, 320, 460, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    const std::uint32_t after = testsupport::CaptureClient(panel->Handle()).Pixel(50, 20);
    panel->SkinData()->BGChanged = true;
    panel->Invalidate();
    Pump();
    const std::uint32_t fresh = testsupport::CaptureClient(panel->Handle()).Pixel(50, 20);
    EXPECT_NE(fresh, before);
    EXPECT_EQ(after, fresh);
}

}  // namespace

namespace {

// The frame's edge line stays whole round the title buttons' strip and beside
// the menu line, and the menu line reaches down to the client area.
TEST(ProviderFrame, EdgesStayWholeRoundTheButtonStripAndTheMenuLine) {
    for (const char* skin : {"Light", "Dark"}) {
        SCOPED_TRACE(skin);
        const BuiltinSkin builtin(skin);
        Skinned s;
        auto* menu = TObject::Create<TMainMenu>(s.Form.get());
        auto* file = TObject::Create<TMenuItem>(menu);
        file->SetCaption("File");
        menu->Items()->Add(file);
        s.Form->SetMenu(menu);
        s.Provider->RefreshFormFrame();
        Pump(60);
        const RECT w = s.Rect();
        const int W = w.right - w.left, H = w.bottom - w.top;
        POINT client{0, 0};
        ClientToScreen(s.H(), &client);
        const int clientTop = client.y - w.top;
        const Picture p = Shot(s.H());
        const TRect close = s.Provider->Title.Close.Rect;
        const int underStrip = (close.left + close.right) / 2, middle = W / 2;
        EXPECT_EQ(p.Pixel(underStrip, 0), p.Pixel(middle, 0)) << "top edge under the strip";
        EXPECT_EQ(p.Pixel(W - 1, (close.top + close.bottom) / 2), p.Pixel(W - 1, H / 2)) << "right edge beside it";
        const int menuRow = clientTop - s.Provider->MenuRowHeight() / 2;
        EXPECT_EQ(p.Pixel(0, menuRow), p.Pixel(0, H / 2)) << "left edge beside the menu line";
        EXPECT_EQ(p.Pixel(W - 1, menuRow), p.Pixel(W - 1, H / 2)) << "right edge beside the menu line";
        EXPECT_TRUE(testsupport::Near(p.Pixel(middle, clientTop - 1), p.Pixel(middle, clientTop - 3), 8))
            << "the row under the menu items is the menu line's";
    }
}

}  // namespace
