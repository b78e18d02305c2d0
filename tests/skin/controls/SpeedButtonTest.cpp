// The skinned speed button: glyph and caption places in every layout, the
// drop-down part and its menu, groups, the repaint through the parent between
// two commands 15, the hints around a press, and the glow's timer.
#include "SkinnedControlTest.h"

#include "Timers.h"
#include "sButton.h"
#include "sPanel.h"
#include "sSpeedButton.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace skinnedtest;

namespace {

class Buttons : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Skin::Get().Manager()->Active());
        form = MakeForm(60, 60, 400, 300);
        Application->SetShowHint(true);
    }
    const testsupport::TestSkinColors& C() { return Skin::Get().C(); }
    FormPtr form;
};

constexpr std::uint32_t kGlyph = 0x00FF00;

TsSpeedButton* MakeButton(TWinControl* parent, int left, int top, int w, int h, const char* caption) {
    auto* b = Make<TsSpeedButton>(parent, left, top, w, h);
    SharpFont(b->Font(), -16);
    b->SetCaption(caption);
    TBitmap g(16, 16);
    g.Canvas()->Brush()->SetColor(ToColor(kGlyph));
    g.Canvas()->FillRect(TRect{0, 0, 16, 16});
    g.SetTransparentColor(clFuchsia);
    b->SetGlyph(&g);
    b->Glyph()->SetTransparentColor(clFuchsia);
    return b;
}

// A drop-down button at (20, 20), Width wide with its arrow part beyond,
// whose menu holds one item.
TsSpeedButton* MakeDropDown(TWinControl* Parent, int Width, TPopupMenu& Menu) {
    auto* b = MakeButton(Parent, 20, 20, Width, 30, "Drop");
    auto* item = new TMenuItem(nullptr);
    item->SetCaption("Item");
    Menu.Items()->Add(item);
    b->SetDropdownMenu(&Menu);
    b->SetButtonStyle(tbsDropDown);
    return b;
}

TSize Measure(TFont* font, const char* text) {
    TBitmap b(4, 4);
    b.Canvas()->SetFont(font);
    TRect r{0, 0, 1000, 0};
    b.Canvas()->TextRect(r, text, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    return TSize{r.right, r.bottom};
}

void Click(HWND parent, int x, int y) {
    PostMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(parent, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump();
}

BOOL CALLBACK FindOpenMenu(HWND wnd, LPARAM found) {
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof(cls));
    if (std::string(cls) == "#32768" && IsWindowVisible(wnd)) {
        *reinterpret_cast<HWND*>(found) = wnd;
        return FALSE;
    }
    return TRUE;
}

// Chooses the first item of whatever menu opens, with the keys a user would
// press; a menu still open after three seconds is ended without a choice.
class MenuChooser {
public:
    MenuChooser() {
        FTimer.SetInterval(50);
        FTimer.OnTimer = [this](TObject*) {
            if (++FTicks > 60) {
                EndMenu();
                return;
            }
            HWND menu = nullptr;
            EnumWindows(FindOpenMenu, reinterpret_cast<LPARAM>(&menu));
            if (menu) PostMessageA(menu, WM_KEYDOWN, FStep++ == 0 ? VK_DOWN : VK_RETURN, 0);
        };
    }
    ~MenuChooser() { FTimer.SetEnabled(false); }

private:
    TTimer FTimer{nullptr};
    int FTicks = 0, FStep = 0;
};

}  // namespace

TEST_F(Buttons, GlyphAndCaptionPlacesForEachLayout) {
    const int W = 120, H = 50, S = 4;
    auto* b = MakeButton(form.get(), 10, 10, W, H, "Ab");
    const TSize t = Measure(b->Font(), "Ab");
    const std::uint32_t ink = C().ButtonFont;
    struct Case {
        TButtonLayout layout;
        int gx, gy;  // where the glyph must be
    };
    const int d = (W - 16 - S - t.cx) / 2, e = (H - 16 - S - t.cy) / 2;
    const Case cases[] = {
        {blGlyphLeft, d, (H - 16) / 2},
        {blGlyphRight, (W - 16 + S + t.cx) / 2, (H - 16) / 2},
        {blGlyphTop, (W - 16) / 2 + 1, e},
        {blGlyphBottom, (W - 16) / 2 + 1, H - e - 16},
    };
    for (const Case& c : cases) {
        b->SetLayout(c.layout);
        auto bmp = PaintGraphic(b);
        TRect glyph = FindColor(*bmp, All(*bmp), kGlyph);
        TRect text = FindColor(*bmp, All(*bmp), ink);
        SCOPED_TRACE(int(c.layout));
        EXPECT_EQ(glyph.left, c.gx);
        EXPECT_EQ(glyph.top, c.gy);
        EXPECT_EQ(RectWidth(glyph), 16);
        ASSERT_GT(RectWidth(text), 0);
        TRect overlap;
        EXPECT_FALSE(IntersectRect(&overlap, &glyph, &text));
        switch (c.layout) {
            case blGlyphLeft:
                EXPECT_GE(text.left, glyph.right + S - 1);
                EXPECT_LE(text.right, W - d + 1);
                break;
            case blGlyphRight:
                EXPECT_GE(text.left, d - 1);
                EXPECT_LE(text.right, glyph.left - S + 2);
                break;
            case blGlyphTop:
                EXPECT_GE(text.top, glyph.bottom + S);
                EXPECT_LE(text.bottom, H - e);
                break;
            case blGlyphBottom:
                EXPECT_GE(text.top, e);
                EXPECT_LE(text.bottom, glyph.top - S);
                break;
        }
        // The text is centred across the layout's direction.
        if (c.layout == blGlyphTop || c.layout == blGlyphBottom) {
            EXPECT_GE(text.left, (W - t.cx) / 2 - 1);
            EXPECT_LE(text.right, (W - t.cx) / 2 + t.cx + 2);
        } else {
            EXPECT_GE(text.top, (H - t.cy) / 2);
            EXPECT_LE(text.bottom, (H - t.cy) / 2 + t.cy);
        }
    }
    // Held down (a group's down button), glyph and caption move by (1, 1).
    b->SetLayout(blGlyphLeft);
    auto up = PaintGraphic(b);
    TRect g0 = FindColor(*up, All(*up), kGlyph), t0 = FindColor(*up, All(*up), ink);
    b->SetGroupIndex(1);
    b->SetDown(true);
    auto down = PaintGraphic(b);
    TRect g1 = FindColor(*down, All(*down), kGlyph), t1 = FindColor(*down, All(*down), ink);
    EXPECT_EQ(g1.left, g0.left + 1);
    EXPECT_EQ(g1.top, g0.top + 1);
    EXPECT_EQ(t1.left, t0.left + 1);
    EXPECT_EQ(t1.top, t0.top + 1);
}

TEST_F(Buttons, PropertiesThatReshapeTheButton) {
    auto* b = MakeButton(form.get(), 10, 10, 60, 30, "Cap");
    b->SetBlend(150);
    EXPECT_EQ(b->Blend(), 100);
    b->SetBlend(-5);
    EXPECT_EQ(b->Blend(), 0);
    b->SetShowCaption(false);
    EXPECT_EQ(b->Caption(), "");
    b->SetShowCaption(true);
    EXPECT_EQ(b->Caption(), "Cap");
    b->SetButtonStyle(tbsDropDown);
    EXPECT_EQ(b->Width(), 76);
    b->SetButtonStyle(tbsButton);
    EXPECT_EQ(b->Width(), 60);
    // A separator shows the parent's colour, nothing of its own.
    form->SetColor(ToColor(0x336699));
    b->SetButtonStyle(tbsSeparator);
    auto bmp = PaintGraphic(b, 0xFFFFFF);
    EXPECT_EQ(Px(*bmp, 30, 15), 0x336699u);
}

// A windowless button hears of no WM_SIZE: after a new size or font at run
// time it paints the picture a new button of that size and font paints.
TEST_F(Buttons, ResizedOrRefontedButtonPaintsAPictureOfItsNewShape) {
    auto* b = MakeButton(form.get(), 10, 10, 60, 30, "Cap");
    PaintGraphic(b);
    const struct {
        const char* What;
        std::function<void(TsSpeedButton*)> Do;
    } changes[] = {
        {"size", [](TsSpeedButton* x) { x->SetBounds(x->Left(), x->Top(), 90, 40); }},
        {"font", [](TsSpeedButton* x) { SharpFont(x->Font(), -22); }},
    };
    for (const auto& c : changes) {
        c.Do(b);
        auto* fresh = MakeButton(form.get(), 200, 10, b->Width(), b->Height(), "Cap");
        c.Do(fresh);
        const auto seen = PaintGraphic(b), want = PaintGraphic(fresh);
        int wrong = 0;
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x) wrong += Px(*seen, x, y) != Px(*want, x, y);
        EXPECT_EQ(wrong, 0) << c.What;
        fresh->Free();
    }
}

// Unskinned, a glyph from the image list gets a grey disabled picture only
// when DisabledGlyphKind asks for grey.
TEST_F(Buttons, ImageListGlyphHasAGreyPictureOnlyWhenAskedFor) {
    TBitmap picture(16, 16);
    picture.Canvas()->Brush()->SetColor(ToColor(0xE03010));
    picture.Canvas()->FillRect(TRect{0, 0, 16, 16});
    TCustomImageList images(nullptr, 16, 16);
    images.Add(&picture, nullptr);
    for (const bool grey : {false, true}) {
        auto* b = Make<TsSpeedButton>(form.get(), 10, 10, 60, 30);
        b->SkinData()->SetSkinSection("NO SUCH SECTION");
        b->SetDisabledGlyphKind(grey ? TsDisabledGlyphKind{dgGrayed} : TsDisabledGlyphKind{dgBlended});
        b->SetImages(&images);
        b->SetImageIndex(0);
        PaintGraphic(b);
        EXPECT_EQ(b->NumGlyphs(), grey ? 2 : 1) << grey;
        if (grey) {
            const std::uint32_t g = Px(*b->Glyph(), 16 + 8, 8);
            EXPECT_TRUE(Ch(g, 0) == Ch(g, 1) && Ch(g, 1) == Ch(g, 2)) << std::hex << g;
        }
        b->Free();
    }
}

TEST_F(Buttons, ArrowOpensTheMenuAndTheBodyDoesNot) {
    TPopupMenu menu(nullptr);
    auto* b = MakeDropDown(form.get(), 60, menu);
    int clicks = 0, popups = 0;
    bool shownWhileOpen = false, hintsWhileOpen = true;
    b->OnClick = [&](TObject*) { ++clicks; };
    menu.OnPopup = [&](TObject*) {
        ++popups;
        shownWhileOpen = b->MenuShown() && acDropDownButton == b;
        hintsWhileOpen = Application->ShowHint();
    };
    form->Show();
    Pump();
    // The menu is closed from a timer; a watchdog ends it whatever happens.
    TTimer closer(nullptr);
    closer.SetInterval(100);
    closer.OnTimer = [&](TObject*) { EndMenu(); };

    Click(form->Handle(), 20 + 10, 20 + 15);  // the body
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(popups, 0);

    Click(form->Handle(), 20 + 76 - 8, 20 + 15);  // the arrow part
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(shownWhileOpen);
    EXPECT_FALSE(hintsWhileOpen);
    // The menu took the mouse-up: the hints come back when it returns.
    EXPECT_TRUE(Application->ShowHint());
    EXPECT_FALSE(b->MenuShown());
    EXPECT_EQ(acDropDownButton, nullptr);
    EXPECT_FALSE(acDropDownMenuOpen);
    closer.SetEnabled(false);
    b->SetDropdownMenu(nullptr);
}

// Without OnClick the whole button opens the menu; while it is open the arrow
// part looks pressed, and the main part only when the press was on it (its
// glyph then moves by (1, 1)).
TEST_F(Buttons, OpenMenuPressesThePartThatWasPressed) {
    TPopupMenu menu(nullptr);
    auto* b = MakeDropDown(form.get(), 100, menu);
    form->Show();
    Pump();
    const auto up = PaintGraphic(b);
    const TRect g0 = FindColor(*up, All(*up), kGlyph);
    std::unique_ptr<TBitmap> open;
    menu.OnPopup = [&](TObject*) { open = PaintGraphic(b); };
    TTimer closer(nullptr);
    closer.SetInterval(100);
    closer.OnTimer = [&](TObject*) { EndMenu(); };
    const struct {
        const char* Where;
        int X;
        bool BodyPressed;
    } cases[] = {{"arrow", 100 + 8, false}, {"body", 10, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Where);
        open.reset();
        Click(form->Handle(), 20 + c.X, 20 + 15);
        ASSERT_TRUE(open);
        const TRect g = FindColor(*open, All(*open), kGlyph);
        EXPECT_EQ(g.left - g0.left, c.BodyPressed ? 1 : 0);
        EXPECT_EQ(g.top - g0.top, c.BodyPressed ? 1 : 0);
        int arrowChanged = 0;
        for (int y = 0; y < 30; ++y) arrowChanged += Px(*open, 100 + 1, y) != Px(*up, 100 + 1, y);
        EXPECT_GT(arrowChanged, 0) << "the arrow part looks pressed";
    }
    closer.SetEnabled(false);
    b->SetDropdownMenu(nullptr);
}

TEST_F(Buttons, MenuItemThatFreesItsButtonLeavesNothingBehind) {
    auto* b = MakeButton(form.get(), 20, 20, 60, 30, "Drop");
    auto* other = MakeButton(form.get(), 20, 80, 60, 30, "Other");
    TPopupMenu menu(nullptr);
    auto* item = new TMenuItem(nullptr);
    item->SetCaption("Free the button");
    menu.Items()->Add(item);
    for (TsSpeedButton* x : {b, other}) {
        x->SetDropdownMenu(&menu);
        x->SetButtonStyle(tbsDropDown);
    }
    int freed = 0;
    item->OnClick = [&](TObject*) {
        if (menu.PopupComponent() == b) b->Free();
        ++freed;
    };
    form->Show();
    Pump();
    {
        MenuChooser chooser;
        Click(form->Handle(), 20 + 76 - 8, 20 + 15);  // b's arrow
    }
    ASSERT_EQ(freed, 1);
    menu.SetPopupComponent(nullptr);
    Pump(100);
    EXPECT_EQ(form->ControlCount(), 1);
    EXPECT_EQ(acDropDownButton, nullptr);
    EXPECT_FALSE(acDropDownMenuOpen);
    EXPECT_TRUE(Application->ShowHint());
    // The other drop-down button still opens the menu.
    {
        MenuChooser chooser;
        Click(form->Handle(), 20 + 76 - 8, 80 + 15);
    }
    EXPECT_EQ(freed, 2);
    EXPECT_FALSE(other->MenuShown());
    EXPECT_EQ(acDropDownButton, nullptr);
    EXPECT_FALSE(acDropDownMenuOpen);
    other->SetDropdownMenu(nullptr);
}

TEST_F(Buttons, ExceptionsInTheDropDownMenuLeaveTheButtonsWorking) {
    TPopupMenu menu(nullptr);
    auto* b = MakeDropDown(form.get(), 60, menu);
    TMenuItem* item = menu.Items()->Items(0);
    form->Show();
    Pump();
    CountExceptions errors;
    auto expectClosed = [&](const char* when) {
        SCOPED_TRACE(when);
        EXPECT_FALSE(acDropDownMenuOpen);
        EXPECT_EQ(acDropDownButton, nullptr);
        EXPECT_FALSE(b->MenuShown());
        EXPECT_EQ(b->State(), bsUp);
        EXPECT_TRUE(Application->ShowHint());
    };
    // OnPopup throws before the menu shows.
    menu.OnPopup = [](TObject*) { throw std::runtime_error("OnPopup failed"); };
    Click(form->Handle(), 20 + 76 - 8, 20 + 15);
    EXPECT_EQ(errors.Count, 1);
    expectClosed("OnPopup");
    // The chosen item's OnClick throws.
    menu.OnPopup = nullptr;
    int clicks = 0;
    item->OnClick = [&](TObject*) {
        ++clicks;
        throw std::runtime_error("OnClick failed");
    };
    {
        MenuChooser chooser;
        Click(form->Handle(), 20 + 76 - 8, 20 + 15);
    }
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(errors.Count, 2);
    expectClosed("OnClick");
    // And the menu opens and works again.
    item->OnClick = [&](TObject*) { ++clicks; };
    {
        MenuChooser chooser;
        Click(form->Handle(), 20 + 76 - 8, 20 + 15);
    }
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(errors.Count, 2);
    expectClosed("after");
    b->SetDropdownMenu(nullptr);
}

TEST_F(Buttons, MouseUpRestoresHintsOnlyAfterItsOwnPress) {
    auto* b = MakeButton(form.get(), 20, 20, 60, 30, "Hint");
    form->Show();
    Pump();
    Application->SetShowHint(false);  // switched off by the program
    PostMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
    Pump();
    EXPECT_FALSE(Application->ShowHint());
    Application->SetShowHint(true);
    PostMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    Pump();
    EXPECT_FALSE(Application->ShowHint());
    PostMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
    Pump();
    EXPECT_TRUE(Application->ShowHint());
    (void)b;
}

// A kind of speed button of the program's own.
class TToolButton : public TsSpeedButton {
public:
    using TsSpeedButton::TsSpeedButton;
};

// Entering a control of a skinned container takes the hot look from the
// speed buttons among its siblings (kinds derived from it too), and from no
// other skinned control.
TEST_F(Buttons, EnteringASiblingTakesTheHotLookOnlyFromSpeedButtons) {
    auto* panel = Make<TsPanel>(form.get(), 10, 10, 360, 60);
    auto* entered = MakeButton(panel, 250, 10, 100, 40, "E");
    const struct {
        const char* What;
        TControl* Sibling;
        bool KeepsHot;
    } cases[] = {
        {"speed button", MakeButton(panel, 10, 10, 70, 40, "S"), false},
        {"derived speed button", Make<TToolButton>(panel, 90, 10, 70, 40), false},
        {"push button", Make<TsButton>(panel, 170, 10, 70, 40), true},
    };
    Pump();
    // Each sibling shows hot (entering one in turn would take it from the others).
    for (const auto& c : cases) dynamic_cast<TsSkinnedFrame*>(c.Sibling)->SkinData()->MouseAbove = true;
    // The class library tells the control entered, then each of its parents.
    entered->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(entered->SkinData()->MouseAbove);
    for (const auto& c : cases)
        EXPECT_EQ(dynamic_cast<TsSkinnedFrame*>(c.Sibling)->SkinData()->MouseAbove, c.KeepsHot) << c.What;
    // Only speed buttons say they share the hot look.
    for (const auto& c : cases) EXPECT_EQ(Command(c.Sibling, AC_SHAREDHOT) != 0, !c.KeepsHot) << c.What;
    EXPECT_EQ(Command(panel, AC_SHAREDHOT), 0);
}

TEST_F(Buttons, GroupKeepsExactlyOneButtonDown) {
    std::vector<TsSpeedButton*> group;
    for (int i = 0; i < 3; ++i) {
        auto* b = MakeButton(form.get(), 10 + 40 * i, 10, 36, 30, "");
        b->SetGroupIndex(7);
        group.push_back(b);
    }
    group[0]->SetDown(true);
    form->Show();
    Pump();
    auto downs = [&] {
        int n = 0;
        for (auto* b : group) n += b->Down() ? 1 : 0;
        return n;
    };
    for (int i : {1, 2, 2, 0}) {
        Click(form->Handle(), 10 + 40 * i + 18, 25);
        EXPECT_TRUE(group[size_t(i)]->Down()) << i;
        EXPECT_EQ(downs(), 1) << i;
    }
    // The pictures follow: the down button paints pressed, the others not.
    auto up = PaintGraphic(group[1]);
    auto down = PaintGraphic(group[0]);
    EXPECT_EQ(Px(*down, 5, 1), C().Border[2]);
    EXPECT_EQ(Px(*up, 5, 1), C().Border[0]);
}

namespace {
// A skinned panel that logs commands 15 and paints.
class TLogPanel : public TsPanel {
public:
    explicit TLogPanel(TComponent* AOwner) : TsPanel(AOwner) {}
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD && M.WParamHi() == AC_SETPAINTINGCHILD) Log.push_back(M.LParam ? "15+" : "15-");
        if (M.Msg == WM_PAINT) Log.push_back("paint");
        TsPanel::WndProc(M);
    }
    std::vector<std::string> Log;
};
}  // namespace

TEST_F(Buttons, RepaintedThroughItsParentBetweenTwoCommands15) {
    auto* panel = Make<TLogPanel>(form.get(), 10, 10, 200, 100);
    auto* b = MakeButton(panel, 20, 20, 60, 30, "Re");
    form->Show();
    Pump();
    UpdateWindow(panel->Handle());
    panel->Log.clear();
    b->SetBlend(40);
    ASSERT_GE(panel->Log.size(), 3u);
    EXPECT_EQ(panel->Log.front(), "15+");
    EXPECT_EQ(panel->Log.back(), "15-");
    EXPECT_NE(std::find(panel->Log.begin(), panel->Log.end(), "paint"), panel->Log.end());
    // And the screen shows the button's picture at its place on the panel.
    testsupport::Picture screen = testsupport::CaptureClient(panel->Handle());
    EXPECT_EQ(screen.Pixel(20 + 5, 20 + 1), C().Border[0]);
    EXPECT_EQ(screen.Pixel(20 + 30, 20 + 1), Px(*b->SkinData()->CacheBmp, 30, 1));
}

TEST_F(Buttons, GlowEndsAndNeverOutlivesItsButton) {
    static TsSkinManager* fading = [] {
        const std::string folder = testsupport::MakeTempFolder("skinned-fade") + "\\Fade";
        testsupport::TestSkinOptions o;
        o.Fading = true;
        testsupport::WriteTestSkin(folder, o);
        auto* m = TObject::Create<TsSkinManager>(nullptr);
        m->LoadSkin(folder);
        return m;
    }();
    ASSERT_TRUE(fading->Active());
    auto* panel = Make<TsPanel>(form.get(), 10, 10, 200, 100);
    auto* b = MakeButton(panel, 20, 20, 60, 30, "Glow");
    b->SkinData()->SetSkinManager(fading);
    form->Show();
    Pump();
    UpdateWindow(panel->Handle());
    b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(b)));
    ASSERT_NE(b->GlowTimer(), nullptr);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return b->GlowTimer() == nullptr; }, 3000));
    EXPECT_EQ(b->CurrentState(), TsPaintState::Active);
    // A glow running when the button goes is freed with it and never ticks again.
    b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(b)));
    ASSERT_NE(b->GlowTimer(), nullptr);
    b->Free();
    Pump(200);
    SUCCEED();
}
