// MDI frames and children with skin providers, on real windows driven by
// real clicks: the children's frames and their minimize, restore, maximize
// and close buttons, a child's main menu merged into its frame's skinned menu
// line and opened there, and menus of forms made after the skin.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "PixelTestSupport.h"
#include "TestInput.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "sGlobals.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sPanel.h"
#include "sSkinProvider.h"
#include "sSplitter.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using testsupport::Picture;
namespace hand = testinput::hand;
using testinput::ByHand;

// 0xRRGGBB colours of the menu sections added to the test skin.
constexpr std::uint32_t kItem = 0xE0D0A0, kLine = 0x70A030;

TsSkinManager* Manager() {
    testsupport::TestSkinOptions options;
    options.Forms = true;
    options.Extra =
        "\n[MAINMENU]\nCOLOR=0x305070\nHOTCOLOR=0x305070\n"
        "[MENUITEM]\nCOLOR=0xE0D0A0\nHOTCOLOR=0x802040\nFONTCOLOR=0x000080\nHOTFONTCOLOR=0xFFFFFF\n"
        "[MENULINE]\nCOLOR=0x70A030\nHOTCOLOR=0x70A030\n"
        "[MDIAREA]\nCOLOR=0x4060C0\nHOTCOLOR=0x4060C0\n";
    return testsupport::TestSkinManager(options);
}
const testsupport::TestSkinColors& C() { return testsupport::TestSkinPalette(); }

void Pump(int ms = 60) { formtest::Pump(ms); }

TMenuItem* Add(TMenuItem* Parent, const char* Caption, int Group = 0) {
    auto* item = TObject::Create<TMenuItem>(nullptr);
    item->SetCaption(Caption);
    item->SetGroupIndex(Group);
    Parent->Add(item);
    return item;
}

// The texts of a window's menu bar, the system's own entries left out.
std::vector<std::string> Bar(HWND Wnd) {
    std::vector<std::string> texts;
    HMENU m = GetMenu(Wnd);
    for (int i = 0, n = m ? GetMenuItemCount(m) : 0; i < n; ++i) {
        char text[64] = {};
        GetMenuStringA(m, UINT(i), text, sizeof text, MF_BYPOSITION);
        if (text[0]) texts.push_back(text);
    }
    return texts;
}

// The place of the entry with that text on the bar, -1 when none.
int BarPos(HWND Wnd, const std::string& Text) {
    HMENU m = GetMenu(Wnd);
    for (int i = 0, n = m ? GetMenuItemCount(m) : 0; i < n; ++i) {
        char text[64] = {};
        GetMenuStringA(m, UINT(i), text, sizeof text, MF_BYPOSITION);
        if (Text == text) return i;
    }
    return -1;
}

using testsupport::OwnerDrawnEntry;

POINT Centre(const RECT& R) { return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }

// A skinned MDI frame with the menu File (group 0) and Window (group 9).
struct Frame {
    formtest::FormPtr Form;
    TsSkinProvider* Provider;
    TMainMenu* Menu;
    Frame() {
        Manager();
        Form = formtest::MakeForm(60, 40, 560, 420);
        Form->SetFormStyle(fsMDIForm);
        Form->SetCaption("Frame");
        Menu = TObject::Create<TMainMenu>(Form.get());
        Add(Add(Menu->Items(), "File"), "Open");
        Add(Add(Menu->Items(), "Window", 9), "Cascade");
        Form->SetMenu(Menu);
        Provider = TObject::Create<TsSkinProvider>(Form.get());
        Form->Show();
        SetForegroundWindow(Form->Handle());
        Pump(120);
    }
    HWND H() const { return Form->Handle(); }
    // A skinned child, freed when it is closed.
    TForm* Child(const char* Caption, int Left, int Top) const {
        auto* c = TObject::Create<TForm>(nullptr);
        c->SetBounds(Left, Top, 240, 170);
        c->SetCaption(Caption);
        c->SetFormStyle(fsMDIChild);
        c->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
        TObject::Create<TsSkinProvider>(c);
        Pump(150);
        return c;
    }
};

// A title element of a child as a screen point.
POINT ElementAt(TForm* Child, int Code) {
    RECT w{};
    GetWindowRect(Child->Handle(), &w);
    TsSkinProvider* p = ProviderOf(Child);
    const TRect r = p->Title.Element(Code)->Rect;
    return POINT{w.left + (r.left + r.right) / 2, w.top + (r.top + r.bottom) / 2};
}

// A form made after the skin was loaded takes it for the menu set on it
// later, for the items added to that menu afterwards, and for its popups.
TEST(MDI, AFormMadeAfterTheSkinTakesItsMenus) {
    Manager();
    formtest::FormPtr form = formtest::MakeForm(80, 60, 320, 200);
    TObject::Create<TsSkinProvider>(form.get());
    form->Show();
    Pump(120);
    auto* bar = TObject::Create<TMainMenu>(form.get());
    TMenuItem* file = Add(bar->Items(), "File");
    TMenuItem* open = Add(file, "Open");
    form->SetMenu(bar);
    Pump();
    TsSkinableMenus* painter = Manager()->SkinableMenus;
    EXPECT_TRUE(OwnerDrawnEntry(bar->Handle(), 0));
    EXPECT_TRUE(file->OnAdvancedDrawItem == TAdvancedMenuDrawItemEvent(painter, &TsSkinableMenus::DrawMainItem));
    EXPECT_TRUE(open->OnMeasureItem == TMenuMeasureItemEvent(painter, &TsSkinableMenus::MeasureItem));
    TMenuItem* later = Add(bar->Items(), "Later");
    Pump();
    EXPECT_TRUE(OwnerDrawnEntry(bar->Handle(), 1));
    EXPECT_TRUE(later->OnMeasureItem == TMenuMeasureItemEvent(painter, &TsSkinableMenus::MeasureMainItem));
    // The line shows the skin's menu items.
    RECT w{}, r{};
    GetWindowRect(form->Handle(), &w);
    ASSERT_TRUE(GetMenuItemRect(form->Handle(), bar->Handle(), 0, &r));
    EXPECT_EQ(testsupport::CaptureWindow(form->Handle()).Pixel(r.left - w.left + 1, r.top - w.top + 1), kItem);
}

// An MDI child's menu joins the frame's line while the child is active (its
// groups in order among the frame's), is painted there by the skin, opens by
// a click and runs its item; it leaves the line with the child.
TEST(MDI, AChildsMenuIsMergedDrawnOpenedByAClickAndUnmerged) {
    Frame f;
    EXPECT_EQ(Bar(f.H()), (std::vector<std::string>{"File", "Window"}));
    auto* child = TObject::Create<TForm>(nullptr);
    auto* menu = TObject::Create<TMainMenu>(child);
    TMenuItem* edit = Add(menu->Items(), "Edit", 1);
    TMenuItem* cut = Add(edit, "Cut");
    int cuts = 0;
    cut->OnClick = [&](TObject*) { ++cuts; };
    child->SetMenu(menu);
    child->SetBounds(20, 20, 240, 170);
    child->SetFormStyle(fsMDIChild);
    TObject::Create<TsSkinProvider>(child);
    Pump(200);
    EXPECT_EQ(Bar(f.H()), (std::vector<std::string>{"File", "Edit", "Window"}));
    EXPECT_EQ(f.Menu->Merged(), menu);
    f.Provider->RefreshFormFrame();
    Pump(100);
    const int pos = BarPos(f.H(), "Edit");
    RECT w{}, r{};
    GetWindowRect(f.H(), &w);
    ASSERT_TRUE(GetMenuItemRect(f.H(), GetMenu(f.H()), UINT(pos), &r));
    const Picture shot = testsupport::CaptureWindow(f.H());
    EXPECT_EQ(shot.Pixel(r.left - w.left + 1, r.top - w.top + 1), kItem);
    EXPECT_EQ(shot.Pixel(w.right - w.left - 12, r.top - w.top + 2), kLine) << "the line beyond the items";
    ByHand([&] {
        hand::Click(Centre(r));
        Sleep(300);
        RECT item{};
        if (GetMenuItemRect(nullptr, edit->Handle(), 0, &item)) hand::Click(Centre(item));
        else testinput::SendKey(VK_ESCAPE);
    });
    EXPECT_EQ(cuts, 1);
    // With the frame's own items hidden the line stays for the child's.
    for (int i = 0; i < f.Menu->Items()->Count(); ++i) f.Menu->Items()->Items(i)->SetVisible(false);
    EXPECT_TRUE(f.Provider->MenuPresent());
    EXPECT_EQ(f.Provider->MenuRows(), 1);
    child->Free();
    Pump(150);
    EXPECT_FALSE(f.Provider->MenuPresent());
    for (int i = 0; i < f.Menu->Items()->Count(); ++i) f.Menu->Items()->Items(i)->SetVisible(true);
    EXPECT_EQ(Bar(f.H()), (std::vector<std::string>{"File", "Window"}));
    EXPECT_EQ(f.Menu->Merged(), nullptr);
}

// Two children: each paints its own skinned frame, the inactive one in the
// inactive look; one is minimized and restored, the other maximized (its
// buttons then on the frame's line), restored from there and closed, all by
// clicks.
TEST(MDI, ChildFramesMinimizeRestoreMaximizeAndCloseByClicks) {
    Frame f;
    TForm* a = f.Child("A", 10, 10);
    TForm* b = f.Child("B", 200, 120);
    ASSERT_EQ(f.Form->ActiveMDIChild(), b);
    const int title = 1;
    EXPECT_EQ(testsupport::CaptureWindow(b->Handle()).Pixel(60, title), C().Title[1]);
    EXPECT_EQ(testsupport::CaptureWindow(a->Handle()).Pixel(60, title), C().Title[0]);

    ByHand([&] { hand::Click(ElementAt(a, teMin)); });
    EXPECT_TRUE(IsIconic(a->Handle()));
    ByHand([&] { hand::Click(ElementAt(a, teMin)); });
    EXPECT_FALSE(IsIconic(a->Handle()));

    ByHand([&] { hand::Click(ElementAt(b, teMax)); });
    ASSERT_TRUE(IsZoomed(b->Handle()));
    Pump(100);
    const TRect restore = f.Provider->Title.MDIMax.Rect;
    ASSERT_GT(restore.right, restore.left);
    RECT w{};
    GetWindowRect(f.H(), &w);
    ByHand([&] {
        hand::Click(POINT{w.left + (restore.left + restore.right) / 2, w.top + (restore.top + restore.bottom) / 2});
    });
    EXPECT_FALSE(IsZoomed(b->Handle()));
    EXPECT_EQ(f.Provider->Title.MDIMax.Rect.right, 0) << "no child buttons left on the line";

    const HWND bh = b->Handle();
    ByHand([&] { hand::Click(ElementAt(b, teClose)); });
    Pump(150);
    EXPECT_FALSE(IsWindow(bh));
    EXPECT_EQ(f.Form->MDIChildCount(), 1);
    a->Free();
    Pump();
}

// The frame's client around the MDI client shows the skin: a splitter beside
// the client (no section of its own in the test skin: the frame's colour) and
// the MDI area with the frame's windowless controls drawn into it, with no
// child, a normal one and a maximized one.
// Alt+Space opens the window menu under the title, on an MDI frame as on a
// plain form: a skinned frame has no system-menu style, so the system would
// open none.
TEST(MDI, AltSpaceOpensTheWindowMenuOfAFrameAndAForm) {
    for (const bool mdi : {true, false}) {
        SCOPED_TRACE(mdi ? "MDI frame" : "form");
        Frame f;
        if (!mdi) {
            f.Form->SetFormStyle(fsNormal);
            Pump(120);
        }
        SetForegroundWindow(f.H());
        Pump();
        std::atomic<bool> opened{false};
        ByHand([&] {
            testinput::Send({testinput::KeyInput(VK_MENU, false), testinput::KeyInput(VK_SPACE, false),
                             testinput::KeyInput(VK_SPACE, true), testinput::KeyInput(VK_MENU, true)});
            for (int i = 0; i < 50 && !opened; ++i) {
                HWND popup = FindWindowA("#32768", nullptr);
                opened = popup && IsWindowVisible(popup);
                Sleep(40);
            }
            testinput::SendKey(VK_ESCAPE);
            Sleep(100);
        });
        EXPECT_TRUE(opened);
    }
}

TEST(MDI, TheClientAreaShowsTheFramesControlsAndSplitterOnTheSkin) {
    constexpr std::uint32_t kArea = 0x4060C0, kBox = 0x123456;
    Frame f;
    auto* panel = TObject::Create<TsPanel>(f.Form.get());
    panel->SetParent(f.Form.get());
    panel->SetWidth(100);
    panel->SetAlign(alLeft);
    auto* splitter = TObject::Create<TsSplitter>(f.Form.get());
    splitter->SetParent(f.Form.get());
    splitter->SetLeft(200);
    splitter->SetAlign(alLeft);
    auto* box = TObject::Create<TPaintBox>(f.Form.get());
    box->SetBounds(130, 250, 40, 30);
    box->OnPaint = [box](TObject*) {
        box->Canvas()->Brush()->SetColor(TColor(0x563412));
        box->Canvas()->FillRect(TRect{0, 0, box->Width(), box->Height()});
    };
    box->SetParent(f.Form.get());
    RECT w{};
    POINT o{0, 0};
    GetWindowRect(f.H(), &w);
    ClientToScreen(f.H(), &o);
    const int x = o.x - w.left, y = o.y - w.top, s = splitter->Left();
    for (int child = 0; child < 3; ++child) {
        SCOPED_TRACE(child);
        TForm* c = child ? f.Child("Doc", 200, 10) : nullptr;
        if (child == 2) c->SetWindowState(wsMaximized);
        RedrawWindow(f.H(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        Pump(150);
        const Picture shot = testsupport::CaptureWindow(f.H());
        for (int at : {s, s + splitter->Width() / 2})
            EXPECT_EQ(shot.Pixel(x + at, y + 100), C().Global) << "the splitter at " << at;
        if (child < 2) {
            EXPECT_EQ(shot.Pixel(x + 300, y + 300), kArea);
            EXPECT_EQ(shot.Pixel(x + 150, y + 265), kBox) << "the windowless control over the MDI area";
            // The client window's edge is the frame's picture (the active
            // form's colour), not the system's sunken edge.
            RECT cw{};
            GetWindowRect(f.Form->ClientHandle(), &cw);
            for (int across : {0, 1})
                EXPECT_EQ(shot.Pixel(cw.left - w.left + across, (cw.top + cw.bottom) / 2 - w.top), C().Form[1])
                    << "client edge column " << across;
        }
        if (c) c->Free();
    }
}

// The skinned system menu takes its captions from the program's string table
// (this program's is German), the skin list's caption too.
TEST(SystemMenu, CaptionsComeFromTheProgramsStringTable) {
    Manager();
    formtest::FormPtr form = formtest::MakeForm(80, 60, 320, 200);
    TsSkinProvider* p = TObject::Create<TsSkinProvider>(form.get());
    form->Show();
    Pump();
    ASSERT_TRUE(p->SystemMenu);
    std::vector<std::string> captions;
    for (TMenuItem* i : {p->SystemMenu->ItemRestore, p->SystemMenu->ItemMove, p->SystemMenu->ItemSize,
                         p->SystemMenu->ItemMinimize, p->SystemMenu->ItemMaximize, p->SystemMenu->ItemClose})
        captions.push_back(i->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"&Wiederherstellen", "&Verschieben", "&Groesse", "Mi&nimieren",
                                                  "Ma&ximieren", "&Schliessen"}));
    p->SystemMenu->MakeSkinItems();
    ASSERT_GT(p->SystemMenu->Items()->Count(), 0);
    EXPECT_EQ(p->SystemMenu->Items()->Items(0)->Caption(), "Vorhandene Skins");
}

// The window menu the program opens itself is the system's, drawn by the
// system: the skin's popup ground shows behind its captions.
TEST(SystemMenu, TheWindowMenuOpenedByTheProgramShowsTheSkinsGround) {
    Manager();
    formtest::FormPtr form = formtest::MakeForm(80, 60, 320, 200);
    TObject::Create<TsSkinProvider>(form.get());
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
    Picture shot;
    std::thread reader([&] {
        for (int i = 0; i < 50 && shot.Empty(); ++i) {
            Sleep(80);
            HWND popup = FindWindowA("#32768", nullptr);
            if (popup && IsWindowVisible(popup)) shot = testsupport::CaptureWindow(popup);
        }
        testinput::SendKey(VK_ESCAPE);
    });
    TrackPopupMenu(GetSystemMenu(form->Handle(), FALSE), TPM_LEFTALIGN, 120, 80, 0, form->Handle(), nullptr);
    reader.join();
    ASSERT_FALSE(shot.Empty()) << "the menu did not open";
    int ground = 0, captions = 0;
    for (int y = 0; y < shot.Height; ++y)
        for (int x = 0; x < shot.Width; ++x) {
            ground += shot.Pixel(x, y) == 0x305070;
            captions += shot.Pixel(x, y) == testsupport::RGBOf(GetSysColor(COLOR_MENUTEXT));
        }
    EXPECT_GT(ground, shot.Width * shot.Height / 2);
    EXPECT_GT(captions, 100);
    Pump();
    EXPECT_FALSE(acSystemPopup) << "the flag outlives its menu";
}

}  // namespace
