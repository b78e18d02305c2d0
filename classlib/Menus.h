// Menus on real HMENUs: menu items and their sub-menus, menu bars and popup
// menus, owner-drawn through the item events when the menu asks for it.
#pragma once

#include "ActnList.h"
#include "Classes.h"
#include "Controls.h"  // TShiftState, TBiDiMode
#include "Graphics.h"
#include "ImgList.h"
#include "Messages.h"  // TMethod

#include <windows.h>

#include <vector>

// ---------------------------------------------------------------------------
// Shortcuts: the virtual-key code in the low byte, modifiers above it.

using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

// Key | scShift/scCtrl/scAlt as Shift says; 0 for a key above 0xFF.
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut AShortCut, WORD& Key, TShiftState& Shift);
// "Shift+", "Ctrl+", "Alt+" followed by the key's name ("A", "F4", "Del",
// "Enter"...); empty for 0 or a key without a name.
String ShortCutToText(TShortCut AShortCut);
// The reverse of ShortCutToText, case-insensitive; 0 when not understood.
TShortCut TextToShortCut(const String& Text);
// The caption as shown: "&&" becomes "&", a single "&" goes.
String StripHotkey(const String& Text);

// ---------------------------------------------------------------------------

// Ordinals are the bit numbers of the ODS_* flags, so that a DRAWITEMSTRUCT's
// itemState converts with TOwnerDrawState::FromBits.
enum TOwnerDrawStateItem {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
CLASSLIB_ENUM_NAMES(TMenuBreak, "mbNone", "mbBreak", "mbBarBreak")
enum TPopupAlignment { paLeft, paRight, paCenter };
enum TTrackButton { tbRightButton, tbLeftButton };
enum TMenuAnimations { maLeftToRight, maRightToLeft, maTopToBottom, maBottomToTop, maNone };
using TMenuAnimation = TSet<TMenuAnimations>;
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

class TMenu;
class TMenuItem;

// Comparable slots: a menu painter that installs its own handlers can later
// clear exactly those (see TMethod).
using TMenuMeasureItemEvent = TMethod<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = TMethod<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent = TMethod<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuChangeEvent = std::function<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

// ---------------------------------------------------------------------------

// One entry of a menu. An item with sub-items owns the HMENU of its sub-menu
// (Handle); the HMENU of its parent holds an entry for it while it is
// Visible, with the item as dwItemData and Command as the identifier. Every
// change of a property or of the sub-items is written to the HMENUs at once.
//
// The sub-items belong to the item: freeing it frees them. Delete and Remove
// only take a sub-item out.
class TMenuItem : public TComponent {
    CLASSLIB_DECLARE_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // "-" makes a separator line.
    String Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool Checked() const { return FChecked; }
    // Checking a RadioItem unchecks the radio items of the same GroupIndex
    // among its siblings.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value);
    // Created empty on first use and owned by the item.
    TBitmap* Bitmap() const;
    // Copies Value (nullptr empties the bitmap).
    void SetBitmap(TBitmap* Value);
    bool HasBitmap() const;
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    String Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    bool IsLine() const { return FCaption == "-"; }

    // The item follows the action's caption, check, enabled, hint, image,
    // shortcut and visibility, and Click runs the action when there is no
    // OnClick.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);

    // Sub-items.
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    void Add(TMenuItem* Item);
    void Add(const std::vector<TMenuItem*>& AItems);
    void Insert(int Index, TMenuItem* Item);
    // Takes the sub-item out without freeing it.
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    // Frees every sub-item.
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // The sub-item whose caption without hotkey marks equals ACaption
    // (case-insensitive).
    TMenuItem* Find(const String& ACaption) const;
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    void SetMenuIndex(int Value);
    // The menu whose item tree holds this item; nullptr for a loose item.
    TMenu* GetParentMenu() const;

    // Unique among the live items; given at construction.
    WORD Command() const { return FCommand; }
    // The HMENU of the sub-menu: the menu's own for the root item; for any
    // other item made when it has sub-items, else nullptr.
    HMENU Handle() const;

    // OnClick (after AutoCheck), else the action; nothing when disabled.
    virtual void Click();

    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

    // Owner drawing: the default size is worked out first, then OnMeasureItem
    // may change it. Drawing goes to OnAdvancedDrawItem, else OnDrawItem,
    // else the default look (background, glyph or check, caption, shortcut,
    // separator line). TopLevel: an item of a menu bar.
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    virtual void AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);
    void DefaultDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);
    // True when the item sits on a menu bar.
    bool IsTopLevel() const;

protected:
    // A property changed: the parent's HMENU entry is rewritten and the menu
    // told.
    virtual void MenuChanged(bool Rebuild);

private:
    friend class TMenu;
    friend class TMainMenu;
    friend struct MenuRegistry;
    void ItemsChanged();
    void RefreshEntries() const;
    void FillEntry(MENUITEMINFOA& Info, String& Text) const;
    void DestroyOwnHandle() const;
    void DetachEntries() const;
    // On a menu bar: takes out the entries of items only; returns the place
    // where the items' entries begin.
    UINT DetachOwnEntries() const;
    void TurnSiblingsOff();
    void ActionChanged(TObject* Sender);
    bool IsOwnerDrawn() const;

    String FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FDefault = false;
    bool FRadioItem = false;
    bool FVisible = true;
    bool FAutoCheck = false;
    int FGroupIndex = 0;
    TMenuBreak FBreak = mbNone;
    TBitmap* FBitmap = nullptr;
    int FImageIndex = -1;
    TShortCut FShortCut = 0;
    String FHint;
    WORD FCommand = 0;
    mutable HMENU FHandle = nullptr;
    mutable HBITMAP FMenuBitmap = nullptr;  // the copy an unowner-drawn entry shows
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on the root item of a menu
    TBasicActionLink* FActionLink = nullptr;
    bool FDestroying = false;
};

// A menu: the root item whose sub-items are the menu's entries.
class TMenu : public TComponent {
    CLASSLIB_DECLARE_CLASS(TMenu)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    TMenuItem* Items() const { return FItems; }
    HMENU Handle() const { return FItems->Handle(); }
    // Every entry is owner-drawn (MFT_OWNERDRAW) while set; changing it
    // rewrites all entries in place (the HMENUs stay the same).
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // Read by painters; right-to-left menus draw their glyphs on the right.
    TBiDiMode BiDiMode = bdLeftToRight;
    bool IsRightToLeft() const { return BiDiMode != bdLeftToRight; }

    // Every entry written again, so that the system measures owner-drawn ones anew.
    void Rebuild();
    // The top-level items the menu shows, in order: its own, and on a menu
    // bar the items of a menu merged into it.
    virtual std::vector<TMenuItem*> ShownItems() const;

    // Searches this menu's items only.
    TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind) const;
    // Clicks the item with that command; false when the menu has none.
    bool DispatchCommand(WORD ACommand);
    // The sub-menu with that handle is opening: its item is clicked (so that
    // OnClick can fill it); false when the menu has no such sub-menu.
    bool DispatchPopup(HMENU AMenuHandle);
    // Clicks the visible, enabled item (with visible, enabled parents) whose
    // ShortCut is Key with Shift; false when there is none.
    bool IsShortCut(WORD Key, TShiftState Shift);

    TMenuChangeEvent OnChange;

protected:
    friend class TMenuItem;
    virtual bool IsMenuBar() const { return false; }
    virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);
    // The menu's HMENU when it has been made, without making it.
    HMENU HandleIfMade() const { return FItems->FHandle; }
    // Rewrites every entry of every HMENU of the menu in place.
    void RewriteEntries();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMenuItem* FItems;
    bool FOwnerDraw = false;
    TCustomImageList* FImages = nullptr;
};

// A menu bar (CreateMenu). The form that shows it sets WindowHandle; after a
// change the menu bar is redrawn and the window is sent CM_MENUCHANGED.
class TMainMenu : public TMenu {
    CLASSLIB_DECLARE_CLASS(TMainMenu)
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
    // Takes the menu off its window first when the window still shows it.
    ~TMainMenu() override;

    HWND WindowHandle() const { return FWindowHandle; }
    void SetWindowHandle(HWND Value) { FWindowHandle = Value; }

    // Menu's top-level items join this bar (an MDI child's menu in its
    // frame's) by GroupIndex: each of its groups takes the place of this
    // menu's items of the same group, other groups go in ascending order.
    // One menu at a time; nullptr, or Unmerge, takes it out again.
    void Merge(TMainMenu* Menu);
    void Unmerge(TMainMenu* Menu);
    TMainMenu* Merged() const { return FMerged; }
    TMainMenu* MergedInto() const { return FMergedInto; }
    // The top-level items of the merged menu among ShownItems.
    bool IsMergedItem(const TMenuItem* Item) const;
    std::vector<TMenuItem*> ShownItems() const override;

protected:
    bool IsMenuBar() const override { return true; }
    void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;

private:
    HWND FWindowHandle = nullptr;
    TMainMenu* FMerged = nullptr;      // merged into this one
    TMainMenu* FMergedInto = nullptr;  // the bar this one is merged into
};

// A context menu (CreatePopupMenu), shown with Popup.
class TPopupMenu : public TMenu {
    CLASSLIB_DECLARE_CLASS(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
    ~TPopupMenu() override;

    // Raises OnPopup, shows the menu at the screen point (X, Y) with
    // TrackPopupMenu and returns once it is closed, after the chosen item (if
    // any) has been clicked. The menu's messages go to WindowHandle, or to the
    // popup-list window when that is not set. The click comes last, so a
    // handler may free the menu.
    virtual void Popup(int X, int Y);

    // The component that asked for the menu (set by the caller, usually just
    // before Popup); cleared when that component is freed. The link is never
    // dropped on a change: it may be shared with a control that holds this
    // menu, and an extra notification costs nothing.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);
    TPopupAlignment Alignment = paLeft;
    bool AutoPopup = true;
    TTrackButton TrackButton = tbRightButton;
    TMenuAnimation MenuAnimation;
    HWND WindowHandle() const { return FWindowHandle; }
    void SetWindowHandle(HWND Value) { FWindowHandle = Value; }

    TNotifyEvent OnPopup;
    TNotifyEvent OnClose;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void DoPopup(TObject* Sender);
    // The TPM_* flags Popup passes to TrackPopupMenu.
    UINT TrackFlags() const;

private:
    HWND FWindowHandle = nullptr;
    TComponent* FPopupComponent = nullptr;
};

// ---------------------------------------------------------------------------
// The popup-list window: a hidden window of the library that owns the open
// popup menus and passes their messages (WM_COMMAND, WM_INITMENUPOPUP,
// WM_MENUSELECT, WM_MEASUREITEM, WM_DRAWITEM, WM_MENUCHAR, WM_ENTERIDLE) to
// the items.

class TPopupList {
public:
    TPopupList() = default;
    TPopupList(const TPopupList&) = delete;
    TPopupList& operator=(const TPopupList&) = delete;
    ~TPopupList();

    // Made on first use.
    HWND Window();

    // The highlighted item changed (nullptr: the menu closed) — for hints.
    std::function<void(TMenuItem* Item)> OnMenuSelect;
    // A popup menu waits for input (WM_ENTERIDLE).
    TNotifyEvent OnEnterIdle;

private:
    static LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    HWND FWindow = nullptr;
};

extern TPopupList PopupList;

// Told of every popup menu that Popup is about to show, after its OnPopup: a
// painter that draws menus takes the ones made since it started.
extern std::function<void(TPopupMenu* Menu)> PopupMenuOpening;

// ---------------------------------------------------------------------------
// Menu messages for windows that show menus (forms, the popup-list window).

// WM_COMMAND from a menu: clicks the live item with that command; true when
// one was found.
bool DispatchMenuCommand(WORD commandId);
// WM_MEASUREITEM / WM_DRAWITEM with CtlType ODT_MENU whose itemData is a live
// item: measured / drawn through the item (events or default look) with a
// canvas in the menu font; true when handled.
bool DispatchMenuMeasureItem(MEASUREITEMSTRUCT* mis);
bool DispatchMenuDrawItem(DRAWITEMSTRUCT* dis);
// WM_INITMENUPOPUP: the item whose sub-menu opens is clicked; true when found.
bool DispatchMenuPopup(HMENU menu);
// WM_MENUCHAR for owner-drawn items: finds the entry whose caption has the
// hotkey; true (with Result to return) when one matched.
bool DispatchMenuChar(WPARAM wParam, LPARAM lParam, LRESULT& Result);
// The item a WM_MENUSELECT speaks of, or nullptr.
TMenuItem* FindMenuItemBySelect(WPARAM wParam, LPARAM lParam);

TMenuItem* FindMenuItemByCommand(WORD commandId);
// The item whose sub-menu (or, for a menu's root item, whose menu) is menu.
TMenuItem* FindMenuItemByHandle(HMENU menu);
// True while Item is a constructed, not yet destroyed menu item.
bool IsLiveMenuItem(const void* Item);

// Builders for code that makes menus.
TMenuItem* NewItem(const String& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled, TNotifyEvent AOnClick,
                   const String& AName = String());
TMenuItem* NewLine();
TMenuItem* NewSubMenu(const String& ACaption, const std::vector<TMenuItem*>& AItems, const String& AName = String());
