// Popup menus for real: TrackPopupMenu through Popup, closed from a timer or
// chosen with keys sent to the open menu, and the popup-list window passing
// menu messages to the items. A watchdog thread closes any menu left open so
// that no test can hang.
#include <gtest/gtest.h>

#include "ImgList.h"
#include "Menus.h"
#include "TestSupport.h"
#include "Timers.h"

#include <atomic>
#include <thread>

using testsupport::PumpUntil;

namespace {

BOOL CALLBACK CancelMenus(HWND wnd, LPARAM) {
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof(cls));
    if (std::string(cls) == "#32768" && IsWindowVisible(wnd)) {
        PostMessageA(wnd, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(wnd, WM_CANCELMODE, 0, 0);
    }
    return TRUE;
}

// After a grace period, keeps cancelling every open menu until stopped.
struct MenuWatchdog {
    std::atomic<bool> Done{false};
    std::atomic<bool> Fired{false};
    std::thread Thread;
    MenuWatchdog() {
        Thread = std::thread([this] {
            for (int i = 0; i < 100 && !Done; ++i) Sleep(50);
            while (!Done) {
                Fired = true;
                EnumWindows(CancelMenus, 0);
                Sleep(100);
            }
        });
    }
    ~MenuWatchdog() {
        Done = true;
        Thread.join();
    }
};

BOOL CALLBACK FindOpenMenu(HWND wnd, LPARAM out) {
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof(cls));
    if (std::string(cls) == "#32768" && IsWindowVisible(wnd)) {
        *reinterpret_cast<HWND*>(out) = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND OpenMenuWindow() {
    HWND found = nullptr;
    EnumWindows(FindOpenMenu, reinterpret_cast<LPARAM>(&found));
    return found;
}

TMenuItem* AddItem(TMenuItem* parent, const char* caption) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

TEST(TPopupMenu, OpensOwnerDrawnAndClosesFromATimer) {
    MenuWatchdog watchdog;
    TPopupMenu menu(nullptr);
    menu.SetOwnerDraw(true);
    menu.MenuAnimation = TMenuAnimation({maNone});
    TMenuItem* first = AddItem(menu.Items(), "First");
    AddItem(menu.Items(), "-");
    TMenuItem* second = AddItem(menu.Items(), "Second");
    int popups = 0, measured = 0, drawn = 0, clicks = 0, closes = 0;
    menu.OnPopup = [&](TObject* sender) {
        EXPECT_EQ(sender, &menu);
        ++popups;
        second->SetCaption("Second (updated)");  // the menu may be changed before it shows
    };
    menu.OnClose = [&](TObject*) { ++closes; };
    for (TMenuItem* item : {first, second}) {
        item->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) {
            ++measured;
            w = 120;
            h = 20;
        };
        item->OnAdvancedDrawItem = [&](TObject*, TCanvas* c, TRect r, TOwnerDrawState) {
            ++drawn;
            c->Brush()->SetColor(clLime);
            c->FillRect(r);
        };
        item->OnClick = [&](TObject*) { ++clicks; };
    }
    int ticks = 0;
    bool sawWindow = false;
    TTimer closer(nullptr);
    closer.SetInterval(50);
    closer.OnTimer = [&](TObject*) {
        ++ticks;
        HWND popup = OpenMenuWindow();
        if (popup) sawWindow = true;
        if ((popup && drawn >= 2) || ticks > 40) EndMenu();
    };
    menu.Popup(100, 100);
    closer.SetEnabled(false);
    EXPECT_FALSE(watchdog.Fired);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(sawWindow);
    EXPECT_GE(measured, 2);  // WM_MEASUREITEM reached the items through the popup-list window
    EXPECT_GE(drawn, 2);
    EXPECT_EQ(clicks, 0);  // closed without a choice
}

TEST(TPopupMenu, AChoiceMadeWithKeysClicksTheItemOnce) {
    MenuWatchdog watchdog;
    TPopupMenu menu(nullptr);
    TMenuItem* first = AddItem(menu.Items(), "First");
    TMenuItem* second = AddItem(menu.Items(), "Second");
    int firstClicks = 0, secondClicks = 0;
    first->OnClick = [&](TObject*) { ++firstClicks; };
    second->OnClick = [&](TObject*) { ++secondClicks; };
    int step = 0;
    TTimer driver(nullptr);
    driver.SetInterval(50);
    driver.OnTimer = [&](TObject*) {
        HWND popup = OpenMenuWindow();
        if (!popup) return;
        // Down twice selects the second entry, Return chooses it.
        if (step < 2) PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
        else if (step == 2) PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
        ++step;
    };
    menu.Popup(120, 120);
    driver.SetEnabled(false);
    EXPECT_FALSE(watchdog.Fired);
    EXPECT_EQ(firstClicks, 0);
    EXPECT_EQ(secondClicks, 1);
    // Nothing more arrives later: the choice was returned, not posted.
    testsupport::PumpMessages(100);
    EXPECT_EQ(secondClicks, 1);
}

TEST(PopupList, PassesMenuMessagesToTheItems) {
    HWND list = PopupList.Window();
    ASSERT_TRUE(IsWindow(list));
    EXPECT_EQ(PopupList.Window(), list);
    EXPECT_FALSE(IsWindowVisible(list));

    TPopupMenu menu(nullptr);
    TMenuItem* item = AddItem(menu.Items(), "Posted");
    TMenuItem* sub = AddItem(menu.Items(), "Sub");
    TMenuItem* leaf = AddItem(sub, "Leaf");
    int clicks = 0, opened = 0;
    item->OnClick = [&](TObject*) { ++clicks; };
    sub->OnClick = [&](TObject*) { ++opened; };
    PostMessageA(list, WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
    EXPECT_TRUE(PumpUntil([&] { return clicks > 0; }, 2000));
    testsupport::PumpMessages(50);
    EXPECT_EQ(clicks, 1);
    // An accelerator notification (high word 1) or a control's is not a menu command.
    SendMessageA(list, WM_COMMAND, MAKEWPARAM(item->Command(), 1), 0);
    EXPECT_EQ(clicks, 1);

    // Opening a sub-menu clicks its item, so that OnClick can fill it.
    menu.Handle();
    SendMessageA(list, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub->Handle()), 1);
    EXPECT_EQ(opened, 1);

    TMenuItem* selected = nullptr;
    bool selectCalled = false;
    PopupList.OnMenuSelect = [&](TMenuItem* i) {
        selectCalled = true;
        selected = i;
    };
    SendMessageA(list, WM_MENUSELECT, MAKEWPARAM(leaf->Command(), MF_HILITE), reinterpret_cast<LPARAM>(sub->Handle()));
    EXPECT_EQ(selected, leaf);
    SendMessageA(list, WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP | MF_HILITE), reinterpret_cast<LPARAM>(menu.Handle()));
    EXPECT_EQ(selected, sub);
    SendMessageA(list, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_TRUE(selectCalled);
    EXPECT_EQ(selected, nullptr);
    PopupList.OnMenuSelect = nullptr;

    // Owner-draw messages sent to the window reach the item.
    menu.SetOwnerDraw(true);
    int measured = 0;
    item->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) {
        ++measured;
        w = 33;
        h = 11;
    };
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = item->Command();
    mis.itemData = reinterpret_cast<ULONG_PTR>(item);
    EXPECT_EQ(SendMessageA(list, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);
    EXPECT_EQ(measured, 1);
    EXPECT_EQ(mis.itemWidth, 33u);
}

TEST(TPopupMenu, AClickMayFreeTheMenu) {
    MenuWatchdog watchdog;
    auto* menu = new TPopupMenu(nullptr);
    TMenuItem* item = AddItem(menu->Items(), "Free the menu");
    bool freed = false;
    item->OnClick = [&](TObject*) {
        menu->Free();
        freed = true;
    };
    TTimer driver(nullptr);
    driver.SetInterval(50);
    int step = 0;
    driver.OnTimer = [&](TObject*) {
        if (HWND popup = OpenMenuWindow()) PostMessageA(popup, WM_KEYDOWN, step++ == 0 ? VK_DOWN : VK_RETURN, 0);
    };
    menu->Popup(50, 50);
    driver.SetEnabled(false);
    EXPECT_TRUE(freed);
}

}  // namespace

TEST(TPopupMenu, ForgetsAFreedPopupComponentButKeepsOtherLinks) {
    TComponent* owner = TObject::Create<TComponent>(nullptr);
    auto* menu = TObject::Create<TPopupMenu>(owner);
    auto* images = TObject::Create<TImageList>(owner);
    menu->SetImages(images);
    TComponent* asker = TObject::Create<TComponent>(nullptr);
    menu->SetPopupComponent(asker);
    EXPECT_EQ(menu->PopupComponent(), asker);
    asker->Free();
    EXPECT_EQ(menu->PopupComponent(), nullptr);
    // A second asker replaces the first without cutting the image list's link.
    TComponent* second = TObject::Create<TComponent>(nullptr);
    menu->SetPopupComponent(images);
    menu->SetPopupComponent(second);
    images->Free();
    EXPECT_EQ(menu->Images(), nullptr);
    second->Free();
    EXPECT_EQ(menu->PopupComponent(), nullptr);
    owner->Free();
}
