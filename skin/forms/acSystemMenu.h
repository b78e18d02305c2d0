// The window-command items of a skinned system menu, built alike for the form
// provider's menu and the dialog adapter's: each owner keeps the items and
// decides what a chosen command does and which items its window allows.
#pragma once

#include <windows.h>

#include "Menus.h"

#include <functional>

// Texts of the window commands: the program's string table when it has them,
// else the English words.
constexpr UINT acStrClose = 58976, acStrMaximize = 58977, acStrMinimize = 58978, acStrSize = 58979, acStrMove = 58980,
               acStrRestore = 58981, acStrAvailSkins = 58964;
String acResourceString(UINT Id);

struct TacSystemMenuItems {
    TMenuItem* Restore;
    TMenuItem* Move;
    TMenuItem* Size;
    TMenuItem* Minimize;
    TMenuItem* Maximize;
    TMenuItem* Close;
};

// Adds Restore, Move, Size, Minimize, Maximize, a separator and Close (Alt+F4)
// to Menu, owned by it and named "Item" + the command; a click calls OnCommand
// with the item's SC_ code.
TacSystemMenuItems BuildSystemMenuItems(TPopupMenu* Menu, std::function<void(WPARAM)> OnCommand);

// A window menu holding the six items; the form provider's and the dialog
// adapter's menus derive from it.
class TacWindowMenu : public TPopupMenu {
    CLASSLIB_DECLARE_CLASS(TacWindowMenu)
public:
    explicit TacWindowMenu(TComponent* AOwner);
    TMenuItem* ItemRestore;
    TMenuItem* ItemMove;
    TMenuItem* ItemSize;
    TMenuItem* ItemMinimize;
    TMenuItem* ItemMaximize;
    TMenuItem* ItemClose;
    // Visible and Enabled of the items from the owner's window.
    virtual void UpdateItems() = 0;

protected:
    // What a chosen item does (Code: its SC_ command).
    virtual void ItemCommand(WPARAM Code) = 0;
};
