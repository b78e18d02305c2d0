// Menu items on real HMENUs: what the system reads back from the menus after
// building and after every kind of change, commands, handles, shortcuts.
#include <gtest/gtest.h>

#include "Menus.h"
#include "TestSupport.h"

#include <set>
#include <string>

namespace {

struct Entry {
    std::string Text;
    UINT Type = 0;
    UINT State = 0;
    UINT ID = 0;
    HMENU SubMenu = nullptr;
    ULONG_PTR Data = 0;
    HBITMAP Bitmap = nullptr;
};

Entry ReadEntry(HMENU menu, int pos) {
    char text[256] = {};
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING | MIIM_BITMAP;
    mii.dwTypeData = text;
    mii.cch = sizeof(text);
    Entry e;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(pos), TRUE, &mii)) {
        e.Text = "(unreadable)";
        return e;
    }
    e.Text = (mii.fType & MFT_SEPARATOR) ? "" : text;
    e.Type = mii.fType;
    e.State = mii.fState;
    e.ID = mii.wID;
    e.SubMenu = mii.hSubMenu;
    e.Data = mii.dwItemData;
    e.Bitmap = mii.hbmpItem;
    return e;
}

TMenuItem* AddItem(TMenuItem* parent, const char* caption) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

TEST(TMenuItem, BuildsARealMenuWithEveryKindOfEntry) {
    TPopupMenu menu(nullptr);
    TMenuItem* root = menu.Items();
    TMenuItem* open = AddItem(root, "&Open");
    open->SetShortCut(ShortCut('O', {ssCtrl}));
    TMenuItem* line = AddItem(root, "-");
    TMenuItem* checked = AddItem(root, "Checked");
    checked->SetChecked(true);
    TMenuItem* radio = AddItem(root, "Radio");
    radio->SetRadioItem(true);
    radio->SetChecked(true);
    TMenuItem* disabled = AddItem(root, "Disabled");
    disabled->SetEnabled(false);
    TMenuItem* def = AddItem(root, "Default");
    def->SetDefault(true);
    TMenuItem* hidden = AddItem(root, "Hidden");
    hidden->SetVisible(false);
    TMenuItem* column = AddItem(root, "Column");
    column->SetBreak(mbBreak);
    TMenuItem* barColumn = AddItem(root, "BarColumn");
    barColumn->SetBreak(mbBarBreak);
    TMenuItem* sub = AddItem(root, "Sub");
    TMenuItem* leaf1 = AddItem(sub, "Leaf 1");
    AddItem(sub, "Leaf 2");

    HMENU h = menu.Handle();
    ASSERT_TRUE(IsMenu(h));
    ASSERT_EQ(GetMenuItemCount(h), 9);  // the hidden item has no entry

    Entry e = ReadEntry(h, 0);
    EXPECT_EQ(e.Text, "&Open\tCtrl+O");
    EXPECT_EQ(e.ID, open->Command());
    EXPECT_EQ(e.Data, reinterpret_cast<ULONG_PTR>(open));
    EXPECT_EQ(e.Type & (MFT_OWNERDRAW | MFT_SEPARATOR | MFT_RADIOCHECK), 0u);
    EXPECT_EQ(e.State & (MFS_CHECKED | MFS_GRAYED | MFS_DEFAULT), 0u);
    EXPECT_EQ(e.SubMenu, nullptr);

    EXPECT_TRUE(ReadEntry(h, 1).Type & MFT_SEPARATOR);
    EXPECT_EQ(ReadEntry(h, 1).Data, reinterpret_cast<ULONG_PTR>(line));
    EXPECT_TRUE(ReadEntry(h, 2).State & MFS_CHECKED);
    e = ReadEntry(h, 3);
    EXPECT_TRUE(e.Type & MFT_RADIOCHECK);
    EXPECT_TRUE(e.State & MFS_CHECKED);
    EXPECT_EQ(ReadEntry(h, 4).State & MFS_GRAYED, static_cast<UINT>(MFS_GRAYED));
    EXPECT_TRUE(ReadEntry(h, 5).State & MFS_DEFAULT);
    e = ReadEntry(h, 6);
    EXPECT_EQ(e.Text, "Column");
    EXPECT_TRUE(e.Type & MFT_MENUBREAK);
    EXPECT_FALSE(e.Type & MFT_MENUBARBREAK);
    EXPECT_TRUE(ReadEntry(h, 7).Type & MFT_MENUBARBREAK);
    e = ReadEntry(h, 8);
    EXPECT_EQ(e.Text, "Sub");
    ASSERT_NE(e.SubMenu, nullptr);
    EXPECT_EQ(e.SubMenu, sub->Handle());
    EXPECT_EQ(e.ID, sub->Command());
    EXPECT_EQ(GetMenuItemCount(e.SubMenu), 2);
    EXPECT_EQ(ReadEntry(e.SubMenu, 0).Data, reinterpret_cast<ULONG_PTR>(leaf1));
    EXPECT_EQ(leaf1->Handle(), nullptr);  // no sub-items, no sub-menu

    EXPECT_EQ(FindMenuItemByHandle(h), root);
    EXPECT_EQ(FindMenuItemByHandle(sub->Handle()), sub);
    EXPECT_EQ(menu.FindItem(leaf1->Command(), fkCommand), leaf1);
    EXPECT_EQ(menu.FindItem(reinterpret_cast<UINT_PTR>(sub->Handle()), fkHandle), sub);
    EXPECT_EQ(menu.FindItem(open->ShortCut(), fkShortCut), open);
    EXPECT_EQ(leaf1->GetParentMenu(), &menu);
    EXPECT_EQ(sub->MenuIndex(), 9);
    EXPECT_EQ(hidden->MenuIndex(), 6);
}

TEST(TMenuItem, EveryChangeIsWrittenToTheMenu) {
    TMainMenu menu(nullptr);
    int changes = 0;
    menu.OnChange = [&](TObject* sender, TMenuItem*, bool) {
        EXPECT_EQ(sender, &menu);
        ++changes;
    };
    TMenuItem* file = AddItem(menu.Items(), "&File");
    TMenuItem* edit = AddItem(menu.Items(), "&Edit");
    TMenuItem* open = AddItem(file, "Open");
    HMENU bar = menu.Handle();
    HMENU fileMenu = file->Handle();
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(ReadEntry(bar, 0).SubMenu, fileMenu);
    changes = 0;

    open->SetCaption("Open...");
    EXPECT_EQ(ReadEntry(fileMenu, 0).Text, "Open...");
    open->SetEnabled(false);
    EXPECT_TRUE(ReadEntry(fileMenu, 0).State & MFS_GRAYED);
    open->SetChecked(true);
    EXPECT_TRUE(ReadEntry(fileMenu, 0).State & MFS_CHECKED);
    EXPECT_EQ(changes, 3);

    // A leaf that gains sub-items gets a sub-menu; losing them takes it away.
    TMenuItem* copy = AddItem(edit, "Copy");
    HMENU editMenu = edit->Handle();
    ASSERT_NE(editMenu, nullptr);
    EXPECT_EQ(ReadEntry(bar, 1).SubMenu, editMenu);
    edit->Remove(copy);
    EXPECT_EQ(edit->Handle(), nullptr);
    EXPECT_FALSE(IsMenu(editMenu));
    EXPECT_EQ(ReadEntry(bar, 1).SubMenu, nullptr);
    edit->Insert(0, copy);
    EXPECT_EQ(GetMenuItemCount(edit->Handle()), 1);

    // Hiding removes the entry, showing puts it back in its place.
    file->SetVisible(false);
    ASSERT_EQ(GetMenuItemCount(bar), 1);
    EXPECT_EQ(ReadEntry(bar, 0).Text, "&Edit");
    file->SetVisible(true);
    EXPECT_EQ(ReadEntry(bar, 0).Text, "&File");
    EXPECT_EQ(ReadEntry(bar, 0).SubMenu, fileMenu);  // the sub-menu survived

    edit->SetMenuIndex(0);
    EXPECT_EQ(ReadEntry(bar, 0).Text, "&Edit");
    EXPECT_EQ(file->MenuIndex(), 1);

    // Owner drawing is switched on every entry in place, nested ones too.
    menu.SetOwnerDraw(true);
    EXPECT_EQ(menu.Handle(), bar);
    EXPECT_EQ(file->Handle(), fileMenu);
    EXPECT_TRUE(ReadEntry(bar, 0).Type & MFT_OWNERDRAW);
    EXPECT_TRUE(ReadEntry(fileMenu, 0).Type & MFT_OWNERDRAW);
    EXPECT_EQ(ReadEntry(fileMenu, 0).Text, "Open...");  // text kept for the system
    menu.SetOwnerDraw(false);
    EXPECT_FALSE(ReadEntry(fileMenu, 0).Type & MFT_OWNERDRAW);

    // Freeing an item takes its entry away; Clear frees them all.
    open->Free();
    EXPECT_EQ(file->Handle(), nullptr);
    EXPECT_FALSE(IsMenu(fileMenu));
    EXPECT_EQ(ReadEntry(bar, 1).SubMenu, nullptr);
    HMENU editMenuNow = edit->Handle();
    menu.Items()->Clear();
    EXPECT_EQ(GetMenuItemCount(bar), 0);
    EXPECT_FALSE(IsMenu(editMenuNow));
}

TEST(TMenuItem, RadioGroupsDefaultsAndMisuse) {
    TPopupMenu menu(nullptr);
    TMenuItem* a = AddItem(menu.Items(), "A");
    TMenuItem* b = AddItem(menu.Items(), "B");
    TMenuItem* c = AddItem(menu.Items(), "C");
    for (TMenuItem* i : {a, b, c}) i->SetRadioItem(true);
    c->SetGroupIndex(2);
    a->SetChecked(true);
    c->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(c->Checked());  // another group
    HMENU h = menu.Handle();
    EXPECT_FALSE(ReadEntry(h, 0).State & MFS_CHECKED);
    EXPECT_TRUE(ReadEntry(h, 1).State & MFS_CHECKED);

    a->SetDefault(true);
    b->SetDefault(true);
    EXPECT_FALSE(a->Default());
    EXPECT_FALSE(ReadEntry(h, 0).State & MFS_DEFAULT);
    EXPECT_TRUE(ReadEntry(h, 1).State & MFS_DEFAULT);

    auto text = [](auto f) {
        try {
            f();
        } catch (const EClassLibError& e) {
            return std::string(e.what());
        }
        return std::string("(no exception)");
    };
    EXPECT_EQ(text([&] { menu.Items()->Add(a); }), "Menu inserted twice");
    EXPECT_EQ(text([&] { a->Add(menu.Items()); }), "A menu's own item list cannot be a sub-item");
    TMenuItem* loose = new TMenuItem(nullptr);
    TMenuItem* child = new TMenuItem(nullptr);
    EXPECT_EQ(text([&] { loose->Insert(0, loose); }), "Cannot insert a menu item into itself");
    EXPECT_EQ(text([&] { a->Insert(3, loose); }), "Menu index out of range");
    EXPECT_EQ(text([&] { a->Items(0); }), "Menu index out of range");
    EXPECT_EQ(text([&] { a->Remove(loose); }), "Sub-menu is not in menu");
    loose->Add(child);
    EXPECT_EQ(text([&] { child->Add(loose); }), "Cannot insert a menu item into itself");
    a->Add(loose);  // the loose tree now belongs to the menu and goes with it

    EXPECT_EQ(GetStrProp(b, "Caption"), "B");
    SetOrdProp(b, "Break", mbBarBreak);
    EXPECT_TRUE(ReadEntry(h, 1).Type & MFT_MENUBARBREAK);
}

TEST(TMenuItem, CommandsAreUniqueAndDieWithTheirItems) {
    std::set<WORD> commands;
    std::vector<TMenuItem*> items;
    for (int i = 0; i < 300; ++i) {
        items.push_back(new TMenuItem(nullptr));
        commands.insert(items.back()->Command());
        EXPECT_NE(items.back()->Command(), 0);
    }
    EXPECT_EQ(commands.size(), 300u);
    WORD gone = items[10]->Command();
    items[10]->Free();
    EXPECT_EQ(FindMenuItemByCommand(gone), nullptr);
    EXPECT_FALSE(DispatchMenuCommand(gone));
    // A new item does not take the number of one just freed.
    auto* fresh = new TMenuItem(nullptr);
    EXPECT_NE(fresh->Command(), gone);
    EXPECT_EQ(commands.count(fresh->Command()), 0u);
    fresh->Free();
    for (size_t i = 0; i < items.size(); ++i)
        if (i != 10) items[i]->Free();

    TPopupMenu menu(nullptr);
    TMenuItem* sub = AddItem(menu.Items(), "Sub");
    AddItem(sub, "Leaf");
    HMENU subMenu = sub->Handle();
    EXPECT_EQ(FindMenuItemByHandle(subMenu), sub);
    sub->Free();
    EXPECT_EQ(FindMenuItemByHandle(subMenu), nullptr);
    EXPECT_FALSE(IsMenu(subMenu));
    EXPECT_EQ(GetMenuItemCount(menu.Handle()), 0);
}

TEST(TMenuItem, ClicksThroughCommandsExactlyOnce) {
    TPopupMenu menu(nullptr);
    TMenuItem* item = AddItem(menu.Items(), "Go");
    int clicks = 0;
    item->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, item);
        ++clicks;
    };
    EXPECT_TRUE(DispatchMenuCommand(item->Command()));
    EXPECT_EQ(clicks, 1);
    item->SetEnabled(false);
    EXPECT_TRUE(DispatchMenuCommand(item->Command()));  // found, but a disabled item does nothing
    EXPECT_EQ(clicks, 1);
    item->SetEnabled(true);
    item->SetAutoCheck(true);
    EXPECT_TRUE(menu.DispatchCommand(item->Command()));
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(item->Checked());
    EXPECT_TRUE(ReadEntry(menu.Handle(), 0).State & MFS_CHECKED);

    // A handler may free its own item.
    TMenuItem* once = AddItem(menu.Items(), "Once");
    WORD onceCommand = once->Command();
    once->OnClick = [&](TObject* sender) {
        ++clicks;
        sender->Free();
    };
    EXPECT_TRUE(DispatchMenuCommand(onceCommand));
    EXPECT_EQ(clicks, 3);
    EXPECT_FALSE(DispatchMenuCommand(onceCommand));
    EXPECT_EQ(menu.Items()->Count(), 1);

    // Shortcuts click the item only while it and its parents can be used.
    TMenuItem* sub = AddItem(menu.Items(), "Sub");
    TMenuItem* save = AddItem(sub, "Save");
    save->SetShortCut(TextToShortCut("Ctrl+S"));
    int saves = 0;
    save->OnClick = [&](TObject*) { ++saves; };
    EXPECT_TRUE(menu.IsShortCut('S', {ssCtrl}));
    EXPECT_FALSE(menu.IsShortCut('S', {ssAlt}));
    sub->SetEnabled(false);
    EXPECT_FALSE(menu.IsShortCut('S', {ssCtrl}));
    EXPECT_EQ(saves, 1);
}

TEST(ShortCuts, TextAndKeys) {
    EXPECT_EQ(ShortCut('O', {ssCtrl}), 0x404F);
    EXPECT_EQ(ShortCutToText(0x8073), "Alt+F4");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {ssShift, ssCtrl})), "Shift+Ctrl+Del");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_RETURN, {})), "Enter");
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(TextToShortCut("alt+f4"), 0x8073);
    EXPECT_EQ(TextToShortCut("Shift+Ctrl+Del"), ShortCut(VK_DELETE, {ssShift, ssCtrl}));
    EXPECT_EQ(TextToShortCut("Hyper+Q"), 0);
    WORD key = 0;
    TShiftState shift;
    ShortCutToKey(0x8073, key, shift);
    EXPECT_EQ(key, VK_F4);
    EXPECT_TRUE(shift == TShiftState({ssAlt}));
    EXPECT_EQ(StripHotkey("&Save && E&xit"), "Save & Exit");
}

TEST(TMenuItem, ShowsItsBitmapAndFollowsItsAction) {
    TPopupMenu menu(nullptr);
    TMenuItem* item = AddItem(menu.Items(), "Picture");
    TBitmap bmp;
    bmp.SetSize(12, 10);
    bmp.Canvas()->Brush()->SetColor(RGB(10, 200, 30));
    bmp.Canvas()->FillRect(Rect(0, 0, 12, 10));
    item->SetBitmap(&bmp);
    Entry e = ReadEntry(menu.Handle(), 0);
    ASSERT_NE(e.Bitmap, nullptr);
    BITMAP info{};
    GetObjectA(e.Bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 12);
    EXPECT_EQ(info.bmHeight, 10);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, e.Bitmap);
    EXPECT_EQ(testsupport::RGBOf(GetPixel(dc, 5, 5)), 0x0AC81Eu);
    SelectObject(dc, old);
    DeleteDC(dc);
    menu.SetOwnerDraw(true);  // owner-drawn entries draw their pictures themselves
    EXPECT_EQ(ReadEntry(menu.Handle(), 0).Bitmap, nullptr);

    auto* action = new TAction(nullptr);
    action->SetCaption("From action");
    int runs = 0;
    action->OnExecute = [&](TObject*) { ++runs; };
    item->SetAction(action);
    EXPECT_EQ(ReadEntry(menu.Handle(), 0).Text, "From action");
    action->SetEnabled(false);
    EXPECT_FALSE(item->Enabled());
    action->SetEnabled(true);
    DispatchMenuCommand(item->Command());
    EXPECT_EQ(runs, 1);
    action->Free();
    EXPECT_EQ(item->Action(), nullptr);
    DispatchMenuCommand(item->Command());
    EXPECT_EQ(runs, 1);
}

LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == CM_MENUCHANGED) {
        auto* count = reinterpret_cast<int*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (count) ++*count;
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

TEST(TMainMenu, TellsItsWindowAndLeavesItCleanly) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MenusTestFrame";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, "MenusTestFrame", "menus", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr,
                               wc.hInstance, nullptr);
    ASSERT_NE(wnd, nullptr);
    int notices = 0;
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&notices));
    auto* menu = new TMainMenu(nullptr);
    TMenuItem* file = AddItem(menu->Items(), "&File");
    SetMenu(wnd, menu->Handle());
    menu->SetWindowHandle(wnd);
    file->SetCaption("&Document");
    EXPECT_EQ(notices, 1);
    char text[64] = {};
    GetMenuStringA(GetMenu(wnd), 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&Document");
    menu->SetOwnerDraw(true);
    EXPECT_EQ(GetMenu(wnd), menu->Handle());
    EXPECT_EQ(notices, 2);
    HMENU bar = menu->Handle();
    menu->Free();
    EXPECT_EQ(GetMenu(wnd), nullptr);
    EXPECT_FALSE(IsMenu(bar));
    DestroyWindow(wnd);
}

}  // namespace
