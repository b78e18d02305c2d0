// Skinned menus with real menus and the test skin (with menu sections of its
// own): menus turned owner-drawn and back, item sizes, popups opened with
// TrackPopupMenu and driven with real keys and clicks, their pixels, border
// and region read back, and the application hook's popup route. A timer ends
// any menu left open, so that no test can hang.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "ImgList.h"
#include "Menus.h"
#include "TestInput.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "Timers.h"
#include "sGlobals.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sSkinProvider.h"
#include "sSpeedButton.h"

#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>

using testsupport::Picture;

namespace {

// 0xRRGGBB colours of the menu sections added to the test skin.
constexpr std::uint32_t kPopupBg = 0x305070, kItem = 0xE0D0A0, kItemHot = 0x802040, kItemFont = 0x000080,
                        kItemHotFont = 0xFFFFFF, kLine = 0x70A030, kExtra = 0x004400;

std::string Hex(std::uint32_t c) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%06X", unsigned(c));
    return b;
}

// The test skin with "MAINMENU" (framed by brd3.bmp), "MENUITEM", "MENULINE"
// and "EXTRALINE"; without Border the popup frame has no mask.
std::string WriteMenuSkin(bool Border) {
    testsupport::TestSkinOptions options;
    options.Extra = "\n[MAINMENU]\nCOLOR=" + Hex(kPopupBg) + "\nHOTCOLOR=" + Hex(kPopupBg) + "\n";
    options.Extra += "[MENUITEM]\nCOLOR=" + Hex(kItem) + "\nHOTCOLOR=" + Hex(kItemHot) +
                     "\nFONTCOLOR=" + Hex(kItemFont) + "\nHOTFONTCOLOR=" + Hex(kItemHotFont) + "\n";
    options.Extra += "[MENULINE]\nCOLOR=" + Hex(kLine) + "\nHOTCOLOR=" + Hex(kLine) + "\n";
    options.Extra += "[EXTRALINE]\nCOLOR=" + Hex(kExtra) + "\nHOTCOLOR=" + Hex(kExtra) + "\nFONTCOLOR=0xFFFFFF\n";
    if (Border) options.BorderMasks = {"MAINMENU"};
    return testsupport::TestSkinPath(options);
}

const std::string& MenuSkin() {
    static const std::string folder = WriteMenuSkin(true);
    return folder;
}

TsSkinManager* Manager() {
    static TsSkinManager* m = TObject::Create<TsSkinManager>(nullptr);
    return m;
}

// Actual is within 3 per channel of Over x Share + Under x (1 - Share).
bool NearMix(std::uint32_t actual, std::uint32_t over, std::uint32_t under, double share) {
    for (int s : {0, 8, 16}) {
        const double want = ((under >> s) & 0xFF) + (int((over >> s) & 0xFF) - int((under >> s) & 0xFF)) * share;
        if (std::abs(int((actual >> s) & 0xFF) - want) > 3) return false;
    }
    return true;
}

HWND OpenPopupWindow() {
    HWND m = FindWindowA("#32768", nullptr);
    return m && IsWindowVisible(m) ? m : nullptr;
}

using testinput::SendKey;

void MouseTo(POINT p, DWORD extra = 0) { testinput::Send({testinput::Move(p, extra)}); }

// The item's rectangle in its popup window's coordinates.
RECT ItemRect(HWND popup, TMenuItem* item) {
    RECT r{}, w{};
    GetMenuItemRect(nullptr, item->Parent()->Handle(), UINT(item->MenuIndex()), &r);
    GetWindowRect(popup, &w);
    OffsetRect(&r, -w.left, -w.top);
    return r;
}

// Runs Step on a timer while the menu is open: each call gets the popup
// window (once it shows) and returns true when the menu may be closed. A
// second timer ends the menu after a few seconds whatever happens.
bool RunPopup(TPopupMenu& menu, const std::function<bool(HWND)>& Step) {
    bool timedOut = false;
    TTimer driver(nullptr), watchdog(nullptr);
    driver.SetInterval(60);
    driver.OnTimer = [&](TObject*) {
        if (HWND popup = OpenPopupWindow())
            if (Step(popup)) EndMenu();
    };
    watchdog.SetInterval(8000);
    watchdog.OnTimer = [&](TObject*) {
        timedOut = true;
        EndMenu();
    };
    menu.Popup(120, 80);
    driver.SetEnabled(false);
    watchdog.SetEnabled(false);
    return !timedOut;
}

class SkinnedMenus : public ::testing::Test {
protected:
    void SetUp() override {
        form = TObject::Create<TForm>(Application.Get());
        form->SetBounds(40, 40, 400, 300);
        // Its provider prepares the menus the form gets after the skin came.
        TObject::Create<TsSkinProvider>(form);
        form->Show();
        SetForegroundWindow(form->Handle());
        popup = TObject::Create<TPopupMenu>(form);
        normal = Add(popup->Items(), "Normal");
        Add(popup->Items(), "-");
        disabled = Add(popup->Items(), "Disabled");
        disabled->SetEnabled(false);
        checked = Add(popup->Items(), "Checked");
        checked->SetChecked(true);
        radio = Add(popup->Items(), "Radio");
        radio->SetRadioItem(true);
        radio->SetChecked(true);
        sub = Add(popup->Items(), "Sub");
        Add(sub, "Inner");
        shortcut = Add(popup->Items(), "Save");
        shortcut->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
        // A skin loaded after the menus were made takes them all.
        String error;
        ASSERT_TRUE(Manager()->LoadSkin(MenuSkin(), error)) << error;
        ASSERT_TRUE(Manager()->SkinableMenus);
        painter = Manager()->SkinableMenus;
    }
    void TearDown() override {
        // The cursor is left where no later test's window lies.
        MouseTo(POINT{GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1});
        form->Free();
        Manager()->MenuSupport()->UseExtraLine = false;
    }
    static TMenuItem* Add(TMenuItem* parent, const char* caption) {
        auto* item = TObject::Create<TMenuItem>(nullptr);
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    }
    TForm* form = nullptr;
    TPopupMenu* popup = nullptr;
    TMenuItem *normal = nullptr, *disabled = nullptr, *checked = nullptr, *radio = nullptr, *sub = nullptr,
              *shortcut = nullptr;
    TsSkinableMenus* painter = nullptr;
};

using testsupport::OwnerDrawnEntry;

TEST_F(SkinnedMenus, EveryMenuTurnsOwnerDrawnWithTheSkinAndBackWithoutIt) {
    auto* bar = TObject::Create<TMainMenu>(form);
    TMenuItem* file = Add(bar->Items(), "&File");
    Add(file, "Open");
    int own = 0;
    normal->OnAdvancedDrawItem = [&](TObject*, TCanvas*, TRect, TOwnerDrawState) { ++own; };
    const TAdvancedMenuDrawItemEvent ownHandler = normal->OnAdvancedDrawItem;
    form->SetMenu(bar);  // a menu made after the skin takes it when its form shows it
    EXPECT_TRUE(OwnerDrawnEntry(bar->Handle(), 0));
    EXPECT_TRUE(OwnerDrawnEntry(file->Handle(), 0));
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(OwnerDrawnEntry(popup->Handle(), i)) << i;
    EXPECT_TRUE(OwnerDrawnEntry(sub->Handle(), 0));
    EXPECT_TRUE(popup->MenuAnimation.Contains(maNone));
    EXPECT_TRUE(normal->OnAdvancedDrawItem == ownHandler);  // the program's own handler stays
    EXPECT_TRUE(file->OnAdvancedDrawItem == TAdvancedMenuDrawItemEvent(painter, &TsSkinableMenus::DrawMainItem));
    EXPECT_TRUE(checked->OnMeasureItem == TMenuMeasureItemEvent(painter, &TsSkinableMenus::MeasureItem));

    // Without skinned popups the main menu stays skinned.
    Manager()->SetSkinnedPopups(false);
    EXPECT_TRUE(OwnerDrawnEntry(bar->Handle(), 0));
    EXPECT_FALSE(OwnerDrawnEntry(popup->Handle(), 0));
    EXPECT_FALSE(checked->OnAdvancedDrawItem);
    Manager()->SetSkinnedPopups(true);
    EXPECT_TRUE(OwnerDrawnEntry(popup->Handle(), 0));

    Manager()->SetActive(false);
    EXPECT_FALSE(painter->Active());
    for (HMENU m : {bar->Handle(), file->Handle(), popup->Handle(), sub->Handle()})
        for (int i = 0; i < GetMenuItemCount(m); ++i) EXPECT_FALSE(OwnerDrawnEntry(m, i));
    EXPECT_FALSE(popup->MenuAnimation.Contains(maNone));
    EXPECT_TRUE(normal->OnAdvancedDrawItem == ownHandler);
    EXPECT_FALSE(checked->OnAdvancedDrawItem);
    EXPECT_FALSE(file->OnMeasureItem);
    form->SetMenu(nullptr);
}

// A main menu's top-level item with handlers of the program's own keeps them
// through any number of skin on/off cycles, and the line calls them; an item
// without handlers of its own gets the painter's while skinned and none after.
TEST_F(SkinnedMenus, TheProgramsOwnHandlersOnTheMenuLineSurviveSkinCycles) {
    auto* bar = TObject::Create<TMainMenu>(form);
    TMenuItem* own = Add(bar->Items(), "Own");
    TMenuItem* plain = Add(bar->Items(), "Plain");
    Add(own, "Open");
    int draws = 0, measures = 0;
    own->OnAdvancedDrawItem = [&](TObject*, TCanvas*, TRect, TOwnerDrawState) { ++draws; };
    own->OnMeasureItem = [&](TObject*, TCanvas*, int& Width, int& Height) { ++measures, Width = 40, Height = 18; };
    const TAdvancedMenuDrawItemEvent ownDraw = own->OnAdvancedDrawItem;
    const TMenuMeasureItemEvent ownMeasure = own->OnMeasureItem;
    const TAdvancedMenuDrawItemEvent ours(painter, &TsSkinableMenus::DrawMainItem);
    const TMenuMeasureItemEvent oursMeasure(painter, &TsSkinableMenus::MeasureMainItem);
    form->SetMenu(bar);  // the bar is made after the skin, which it takes now
    for (int cycle = 0; cycle < 3; ++cycle) {
        EXPECT_TRUE(OwnerDrawnEntry(bar->Handle(), 0)) << cycle;
        EXPECT_TRUE(own->OnAdvancedDrawItem == ownDraw) << cycle;
        EXPECT_TRUE(own->OnMeasureItem == ownMeasure) << cycle;
        EXPECT_TRUE(plain->OnAdvancedDrawItem == ours) << cycle;
        EXPECT_TRUE(plain->OnMeasureItem == oursMeasure) << cycle;
        // The program's handlers are the ones the skinned line calls.
        draws = measures = 0;
        form->SetMenu(nullptr);
        form->SetMenu(bar);
        DrawMenuBar(form->Handle());
        formtest::Pump(100);
        EXPECT_GT(draws, 0) << cycle;
        EXPECT_GT(measures, 0) << cycle;
        Manager()->SetActive(false);
        EXPECT_TRUE(own->OnAdvancedDrawItem == ownDraw) << cycle;
        EXPECT_TRUE(own->OnMeasureItem == ownMeasure) << cycle;
        EXPECT_FALSE(plain->OnAdvancedDrawItem) << cycle;
        EXPECT_FALSE(plain->OnMeasureItem) << cycle;
        Manager()->SetActive(true);
    }
    // One item taken and given back on its own goes the same way.
    painter->InitItem(own, true);
    painter->InitItem(plain, true);
    EXPECT_TRUE(own->OnAdvancedDrawItem == ownDraw);
    EXPECT_TRUE(plain->OnAdvancedDrawItem == ours);
    painter->InitItem(own, false);
    painter->InitItem(plain, false);
    EXPECT_TRUE(own->OnAdvancedDrawItem == ownDraw);
    EXPECT_TRUE(own->OnMeasureItem == ownMeasure);
    EXPECT_FALSE(plain->OnAdvancedDrawItem);
    EXPECT_FALSE(plain->OnMeasureItem);
    form->SetMenu(nullptr);
}

// A manager freed while its skin is on takes its painter's handlers off the
// menus: an item left with one would call into the freed painter.
TEST_F(SkinnedMenus, AManagerFreedWhileSkinnedLeavesNoHandlerOfItsPainter) {
    auto* bar = TObject::Create<TMainMenu>(form);
    TMenuItem* top = Add(bar->Items(), "Top");
    TMenuItem* inner = Add(top, "Inner");
    form->SetMenu(bar);
    Manager()->SetActive(false);
    ASSERT_FALSE(top->OnAdvancedDrawItem);
    TsSkinManager* second = testsupport::NewTestSkinManager();
    ASSERT_TRUE(second && second->SkinableMenus);
    second->SkinableMenus->InitMenus(true);
    ASSERT_TRUE(top->OnAdvancedDrawItem ==
                TAdvancedMenuDrawItemEvent(second->SkinableMenus, &TsSkinableMenus::DrawMainItem));
    second->Free();
    EXPECT_FALSE(top->OnAdvancedDrawItem);
    EXPECT_FALSE(top->OnMeasureItem);
    EXPECT_FALSE(inner->OnAdvancedDrawItem);
    EXPECT_FALSE(inner->OnMeasureItem);
    EXPECT_FALSE(normal->OnAdvancedDrawItem);
    Manager()->SetActive(true);
    form->SetMenu(nullptr);
}

TEST_F(SkinnedMenus, ItemSizes) {
    TCanvas canvas;
    HDC dc = GetDC(nullptr);
    canvas.SetHandle(dc);
    canvas.Font()->Assign(Screen->MenuFont());
    const int h = int(std::lrint(canvas.TextHeight("W") * 1.25)) + 2 * painter->Margin;
    Manager()->MenuSupport()->UseExtraLine = true;
    auto* second = Add(popup->Items(), "Next column");
    second->SetBreak(mbBreak);
    struct Case {
        TMenuItem* Item;
        int Height;
        int ExtraWidth;
    } cases[] = {{popup->Items()->Items(1), 2, 32}, {normal, h, 32}, {second, h, 0}};
    ResetMenuGlobals();
    for (const Case& c : cases) {
        int w = 0, ht = 0;
        painter->MeasureItem(c.Item, &canvas, w, ht);
        EXPECT_EQ(ht, c.Height) << c.Item->Caption();
        if (c.Item->IsLine()) continue;
        const int text = canvas.TextWidth(c.Item->Caption());
        EXPECT_EQ(w, 2 * 16 + text + 3 * painter->Margin + painter->Spacing + c.ExtraWidth) << c.Item->Caption();
    }
    normal->SetCaption("-Title-");
    EXPECT_EQ(MenuItemTypeOf(normal), smCaption);
    canvas.SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    ResetMenuGlobals();
}

TEST_F(SkinnedMenus, SkinBorderWidthComesFromThePopupMask) {
    EXPECT_EQ(painter->SkinBorderWidth(), 3);
    String error;
    ASSERT_TRUE(Manager()->LoadSkin(WriteMenuSkin(false), error)) << error;
    EXPECT_EQ(painter->SkinBorderWidth(), 0);
}

TEST_F(SkinnedMenus, APopupIsPaintedFromTheSkinAndDrivenByRealInput) {
    const auto& c = testsupport::TestSkinPalette();
    int clicks = 0;
    shortcut->OnClick = [&](TObject*) { ++clicks; };
    Picture shot;
    std::map<TMenuItem*, RECT> at;
    TMenuItem* line = popup->Items()->Items(1);
    int step = 0;
    const bool closed = RunPopup(*popup, [&](HWND window) {
        switch (step++) {
            case 0: SendKey(VK_DOWN); return false;  // the first item is selected
            case 1: return false;
            case 2:
                shot = testsupport::CaptureWindow(window);
                for (TMenuItem* i : {normal, line, disabled, checked, radio, sub, shortcut})
                    at[i] = ItemRect(window, i);
                EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, 0, 0), 1);
                {
                    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
                    EXPECT_NE(GetWindowRgn(window, rgn), ERROR);
                    EXPECT_FALSE(PtInRegion(rgn, 0, 0));  // the mask's key-coloured corner
                    EXPECT_TRUE(PtInRegion(rgn, 10, 10));
                    DeleteObject(rgn);
                }
                {
                    // A real click on "Save" chooses it.
                    RECT s = at[shortcut], w;
                    GetWindowRect(window, &w);
                    const POINT p{w.left + (s.left + s.right) / 2, w.top + (s.top + s.bottom) / 2};
                    for (DWORD button : {DWORD(0), DWORD(MOUSEEVENTF_LEFTDOWN), DWORD(MOUSEEVENTF_LEFTUP)}) {
                        MouseTo(p, button);
                        Sleep(50);
                    }
                }
                return false;
            default: return step > 30;
        }
    });
    EXPECT_TRUE(closed);
    ASSERT_FALSE(shot.Empty());
    EXPECT_EQ(clicks, 1);
    formtest::Pump(100);
    EXPECT_EQ(clicks, 1);
    const RECT rNormal = at[normal], rLine = at[line], rDisabled = at[disabled], rChecked = at[checked],
               rRadio = at[radio], rSub = at[sub], rSave = at[shortcut];

    const int midY = shot.Height / 2;
    EXPECT_EQ(shot.Pixel(1, midY), c.Border[0]) << "the popup frame is the mask's";
    auto px = [&](const RECT& r, int dx) { return shot.Pixel(r.left + dx, (r.top + r.bottom) / 2); };
    EXPECT_EQ(px(rNormal, 2), kItemHot) << "selected by the Down key";
    EXPECT_EQ(px(rSub, 2), kItem);
    const std::uint32_t channel = px(rLine, (rLine.right - rLine.left) / 2);
    EXPECT_TRUE(channel == c.Channel || channel == c.ChannelEdge) << std::hex << channel;
    EXPECT_TRUE(NearMix(px(rDisabled, 2), kItem, kPopupBg, 0.4)) << std::hex << px(rDisabled, 2);
    EXPECT_EQ(px(rChecked, painter->Margin + 4), c.Box[1][0]) << "the check mark (BOXCHECKED: the skin has no CHECK)";
    EXPECT_EQ(px(rRadio, painter->Margin + 4), c.Box[4][0]) << "the radio mark";
    // Ours, in the item's font colour; the system's own (on a white ground) is painted over.
    bool arrow = false, systemArrow = false;
    for (int y = rSub.top; y < rSub.bottom; ++y)
        for (int x = rSub.right - 24; x < rSub.right; ++x) {
            arrow = arrow || shot.Pixel(x, y) == kItemFont;
            systemArrow = systemArrow || shot.Pixel(x, y) == 0xFFFFFF;
        }
    EXPECT_TRUE(arrow);
    EXPECT_FALSE(systemArrow);
    // The shortcut ends 8 pixels before the item's right edge.
    int rightmost = 0;
    for (int y = rSave.top; y < rSave.bottom; ++y)
        for (int x = rSave.left; x < rSave.right; ++x)
            if (shot.Pixel(x, y) == kItemFont) rightmost = std::max(rightmost, x);
    EXPECT_GE(rightmost, rSave.right - 8 - 3);
    EXPECT_LT(rightmost, rSave.right - 8);
}

TEST_F(SkinnedMenus, TheExtraLineShowsUnlessThePopupIsTheSkinList) {
    Manager()->MenuSupport()->UseExtraLine = true;
    for (const char* firstName : {"", "SkinSelectItem"}) {
        normal->SetName(firstName);
        int widthSeen = -1;
        std::uint32_t strip = 0;
        const bool closed = RunPopup(*popup, [&](HWND window) {
            widthSeen = painter->ActiveExtraLineWidth();
            Picture p = testsupport::CaptureWindow(window);
            strip = p.Pixel(3 + 4, p.Height - 8);
            return true;
        });
        EXPECT_TRUE(closed);
        const bool shown = *firstName == 0;
        EXPECT_EQ(widthSeen, shown ? 32 : 0) << firstName;
        EXPECT_EQ(strip == kExtra, shown) << firstName;
        if (shown) {
            EXPECT_EQ(ExtraLineCaption, "Don`t forget OnGetExtraLineData event...");
        }
    }
}

TEST_F(SkinnedMenus, PostedPopupMessagesAreCheckedWhenTheyArrive) {
    // Without the window from the DC the painter posts the item's place; the
    // application hook finds the popup from it and subclasses it.
    const bool wasNT = IsNT;
    IsNT = false;
    int step = 0;
    bool painted = false;
    RunPopup(*popup, [&](HWND) {
        painted = painted || PopupBackground;
        return ++step > 6;
    });
    IsNT = wasNT;
    EXPECT_TRUE(painted);
    // Only the subclass, put there from the posted place, saw the window go.
    EXPECT_EQ(PopupBackground, nullptr);

    // Posts about menus rebuilt or freed since, or about other windows, do nothing.
    TPopupMenu* freed = TObject::Create<TPopupMenu>(nullptr);
    Add(freed->Items(), "Gone");
    HMENU gone = freed->Handle();
    freed->Free();
    PopupBackground = new TBitmap(20, 20);
    HWND app = Application->Handle();
    const LONG_PTR formProc = GetWindowLongPtrA(form->Handle(), GWLP_WNDPROC);
    PostMessageA(app, acPopupItemMessage, reinterpret_cast<WPARAM>(gone), 0);
    PostMessageA(app, acPopupItemMessage, reinterpret_cast<WPARAM>(popup->Handle()), 99);
    PostMessageA(app, acPopupWindowMessage, 0, reinterpret_cast<LPARAM>(form->Handle()));
    formtest::Pump(100);
    EXPECT_EQ(GetWindowLongPtrA(form->Handle(), GWLP_WNDPROC), formProc);
    ResetMenuGlobals();
}

// A subclass of the popup window made outside the library after ours. On
// the window's last message it notes which procedure the slot holds once the
// procedures beneath it have run.
WNDPROC gForeignNext = nullptr;
int gForeignSeen = 0;
bool gForeignSawTheEnd = false;
LONG_PTR gSlotAtTheEnd = 0;
LRESULT CALLBACK ForeignProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    ++gForeignSeen;
    const LRESULT result = CallWindowProcA(gForeignNext, Wnd, Msg, WParam, LParam);
    if (Msg == WM_NCDESTROY) {
        gForeignSawTheEnd = true;
        gSlotAtTheEnd = GetWindowLongPtrA(Wnd, GWLP_WNDPROC);
    }
    return result;
}

TEST_F(SkinnedMenus, ThePopupWindowSubclassSurvivesAForeignOneLeavingInEitherOrder) {
    for (const bool foreignLeavesFirst : {true, false}) {
        SCOPED_TRACE(foreignLeavesFirst ? "the foreign subclass leaves first" : "the window goes first");
        gForeignSeen = 0;
        gForeignSawTheEnd = false;
        gSlotAtTheEnd = 0;
        int step = 0;
        const bool closed = RunPopup(*popup, [&](HWND window) {
            if (step++ < 2) return false;  // painted and subclassed first
            gForeignNext = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, LONG_PTR(&ForeignProc)));
            // Ours answers beneath the foreign one...
            EXPECT_EQ(SendMessageA(window, WM_NCPAINT, 1, 0), 1);
            EXPECT_GT(gForeignSeen, 0);
            if (foreignLeavesFirst) {
                SetWindowLongPtrA(window, GWLP_WNDPROC, LONG_PTR(gForeignNext));
                // ...and still once it left.
                const int seen = gForeignSeen;
                EXPECT_EQ(SendMessageA(window, WM_NCPAINT, 1, 0), 1);
                EXPECT_EQ(gForeignSeen, seen);
            }
            return true;
        });
        EXPECT_TRUE(closed);
        formtest::Pump(50);
        // The window's going reached ours in either order...
        EXPECT_EQ(PopupBackground, nullptr);
        // ...and ours, released there, put no procedure of its own over the foreign one.
        if (!foreignLeavesFirst) {
            EXPECT_TRUE(gForeignSawTheEnd);
            EXPECT_EQ(gSlotAtTheEnd, LONG_PTR(&ForeignProc));
        }
    }
}

TEST_F(SkinnedMenus, APopupOf500ItemsMadeAfterTheSkinAndOwnedByNothingOpensSkinned) {
    TPopupMenu late(nullptr);
    for (int i = 0; i < 500; ++i) Add(late.Items(), ("Item " + std::to_string(i)).c_str());
    bool ownerDrawn = false;
    int drawn = 0;
    std::set<TBitmap*> backgrounds;  // one per popup: painted once, not per item
    painter->OnDrawItem = [&](TObject*, TCanvas*, TRect, TOwnerDrawState, TsMenuItemType) {
        ++drawn;
        backgrounds.insert(PopupBackground);
    };
    EXPECT_TRUE(RunPopup(late, [&](HWND) {
        ownerDrawn = OwnerDrawnEntry(late.Handle(), 0);
        return drawn > 0;
    }));
    painter->OnDrawItem = nullptr;
    EXPECT_TRUE(ownerDrawn);  // taken when it opened
    EXPECT_GT(drawn, 1);
    EXPECT_EQ(backgrounds.size(), 1u);
}

TEST_F(SkinnedMenus, MainMenuItemsArePaintedOnTheMenuLine) {
    auto* bar = TObject::Create<TMainMenu>(form);
    TMenuItem* file = Add(bar->Items(), "File");
    Add(file, "Open");
    TMenuItem* off = Add(bar->Items(), "Off");
    off->SetEnabled(false);
    auto* images = TObject::Create<TImageList>(form);
    TBitmap red(16, 16);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(TRect{0, 0, 16, 16});
    images->AddMasked(&red, clFuchsia);
    bar->SetImages(images);
    file->SetImageIndex(0);
    form->SetMenu(bar);
    form->Show();
    formtest::Pump(200);
    DrawMenuBar(form->Handle());
    formtest::Pump(200);
    const Picture shot = testsupport::CaptureWindow(form->Handle());
    RECT w, a, b;
    GetWindowRect(form->Handle(), &w);
    ASSERT_TRUE(GetMenuItemRect(form->Handle(), bar->Handle(), 0, &a));
    ASSERT_TRUE(GetMenuItemRect(form->Handle(), bar->Handle(), 1, &b));
    EXPECT_EQ(shot.Pixel(a.left - w.left + 1, a.top - w.top + 1), kItem);
    EXPECT_EQ(shot.Pixel(a.left - w.left + 3 + 8, (a.top + a.bottom) / 2 - w.top), 0xFF0000u) << "the item's image";
    EXPECT_TRUE(NearMix(shot.Pixel(b.left - w.left + 1, b.top - w.top + 1), kItem, kLine, 102 / 255.0))
        << std::hex << shot.Pixel(b.left - w.left + 1, b.top - w.top + 1);
}

// A skinned drop-down button hides the hints for its press; they come back as
// soon as the painter draws its menu, and the button no longer owns it.
TEST_F(SkinnedMenus, ADropDownButtonsMenuGivesTheHintsBackWhenItIsDrawn) {
    Application->SetShowHint(true);
    auto* b = TObject::Create<TsSpeedButton>(form);
    b->SetParent(form);
    b->SetBounds(20, 20, 76, 30);
    b->SetDropdownMenu(popup);
    b->SetButtonStyle(tbsDropDown);
    formtest::Pump(100);
    bool hintsWhileOpen = false;
    TsSpeedButton* ownerWhileOpen = b;
    TTimer probe(nullptr), watchdog(nullptr);
    probe.SetInterval(150);
    probe.OnTimer = [&](TObject*) {
        if (!OpenPopupWindow()) return;
        hintsWhileOpen = Application->ShowHint();
        ownerWhileOpen = acDropDownButton;
        EndMenu();
    };
    watchdog.SetInterval(6000);
    watchdog.OnTimer = [&](TObject*) { EndMenu(); };
    POINT arrow{20 + 76 - 8, 20 + 15};
    ClientToScreen(form->Handle(), &arrow);
    testinput::Click(arrow);
    probe.SetEnabled(false);
    watchdog.SetEnabled(false);
    EXPECT_TRUE(hintsWhileOpen);
    EXPECT_EQ(ownerWhileOpen, nullptr);
    EXPECT_TRUE(Application->ShowHint());
    b->SetDropdownMenu(nullptr);
}

}  // namespace
