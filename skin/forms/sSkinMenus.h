// Skinned menus: the painter that makes every menu of the program owner-drawn
// while a skin is active, and the skinned background and region of open popups.
#pragma once

#include <windows.h>

#include "Menus.h"
#include "sSkinManager.h"

#include <functional>
#include <memory>
#include <vector>

// What OnDrawItem is told it painted.
enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

using TsMenuManagerDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, TsMenuItemType ItemType)>;

// The picture a form's menu line is painted on, and where the line starts in
// it. A form skin provider answers with its menu-line bitmap; without one the
// painter makes the line itself from "MENULINE".
struct TacMenuLinePicture {
    TBitmap* Bmp = nullptr;
    TPoint Origin{0, 0};
};
using TacMenuLineSource = std::function<TacMenuLinePicture(TCustomForm* Form)>;

class TsSkinableMenus : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TsSkinableMenus)
public:
    explicit TsSkinableMenus(TsSkinManager* AManager);
    ~TsSkinableMenus() override;

    // --- Published options ----------------------------------------------
    int Margin = 3;                        // left of the check, above and below the text
    TAlignment Alignment = taLeftJustify;  // of captions
    int BevelWidth = 0;                    // kept for forms that set it; not painted
    int BorderWidth = 3;                   // popup frame repainted from the background
    int Spacing = 6;                       // between the glyph column and the caption
    TFont* CaptionFont() const { return FCaptionFont; }
    void SetCaptionFont(TFont* Value) { FCaptionFont->Assign(Value); }
    // Border width of "MAINMENU"'s "BORDERSMASK": worked out on first use
    // after SetSkinBorderWidth(-1), which the manager does for every new skin.
    int SkinBorderWidth();
    void SetSkinBorderWidth(int Value) { FSkinBorderWidth = Value; }
    TsMenuManagerDrawItemEvent OnDrawItem;

    // --- State -----------------------------------------------------------
    bool Active() const { return FActive; }
    // A change re-initialises every menu of the program.
    void SetActive(bool Value);
    TsSkinManager* Manager() const { return FManager; }
    // Menus are as the manager wants them: main menus owner-drawn while its
    // skin is active, popups while also SkinnedPopups.
    bool UpToDate() const;
    // Key-coloured rectangles of the menu border mask, for the popup region.
    std::vector<TRect> RegionRects;
    bool InRegion = false;

    // --- Turning menus owner-drawn ----------------------------------------
    // Every menu among the components of the application and of every form
    // (and theirs).
    void InitMenus(bool Value);
    // The menus among Owner's components (and theirs).
    void InitOwnedMenus(TComponent* Owner, bool Value);
    // A menu bar: its line items and their popups.
    void InitMenuBar(TMainMenu* Menu, bool Value);
    void InitMainMenu(TMainMenu* Menu, bool Value);
    void InitPopupMenu(TPopupMenu* Menu, bool Value);
    void InitItems(TMenuItem* Item, bool Value);
    void InitItem(TMenuItem* Item, bool Value);
    // Gives Item the handlers Draw and Measure where it has none (Value), or
    // takes them away where they are these (not Value).
    static void TakeHandlers(TMenuItem* Item, bool Value, const TAdvancedMenuDrawItemEvent& Draw,
                             const TMenuMeasureItemEvent& Measure);
    // A popup menu about to open is taken while the painter is active.
    void PrepareOpeningMenu(TPopupMenu* Menu);

    // --- Handlers ----------------------------------------------------------
    void MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void DrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State);
    void MeasureMainItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void DrawMainItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State);

    // --- Sizes ---------------------------------------------------------------
    int ItemHeight(TCanvas* ACanvas, TMenuItem* Item);
    // Client size of the popup that holds Item's sub-items.
    int PopupHeight(TCanvas* ACanvas, TMenuItem* Item);
    int PopupWidth(TCanvas* ACanvas, TMenuItem* Item);
    // ExtraLineWidth while the extra line is used and shown, else 0.
    int ActiveExtraLineWidth() const;

    // Paints the cached picture of the popup that holds Item (W x H, frame
    // included); a new popup is recognised by its first item. Window (may be
    // 0) is then subclassed and given its region.
    void PaintPopupBackground(TMenuItem* Item, int Width, int Height, HWND Window);

private:
    struct TItemLook;
    // The steps of DrawItem: the popup's background and frame, the item's
    // look chosen once, then its face, check, glyph, text and arrow.
    bool PreparePopup(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TItemLook& Look);
    void ChooseItemLook(TMenuItem* Item, const TRect& ARect, TOwnerDrawState State, TItemLook& Look);
    void DrawNormalItem(TMenuItem* Item, HDC DC, const TRect& ARect, TOwnerDrawState State, const TItemLook& Look);
    void DrawCheckMark(TBitmap* Bmp, TMenuItem* Item, const TItemLook& Look);
    TSize DrawItemGlyph(TBitmap* Bmp, TMenuItem* Item, const TItemLook& Look);
    void DrawItemText(TCanvas* C, TMenuItem* Item, TOwnerDrawState State, TSize Glyph, const TItemLook& Look);
    void DrawSubMenuArrow(TCanvas* C, const TItemLook& Look);
    void SetCanvasFont(TCanvas* ACanvas, TMenuItem* Item, bool Bold);
    void PaintExtraLine(TBitmap* Background, int Section, int Border, int Height);
    // The picture a menu-line item is painted on, and where the item lies in
    // it: the provider's menu line when it has one, else one painted into Own.
    TacMenuLinePicture MenuLineUnder(TMenuItem* Item, const TRect& ARect, std::unique_ptr<TBitmap>& Own,
                                     TPoint& ItemInLine);
    void DrawDivider(TCanvas* ACanvas, const TRect& ARect, TPoint Frame);
    void DrawCaptionDivider(TCanvas* ACanvas, const TRect& ARect, TMenuItem* Item, TPoint Frame);
    void RepaintFrame(HWND Window, TMenuItem* Item, const TRect& ARect, int Factor, TPoint Frame);

    TsSkinManager* FManager;
    TFont* FCaptionFont;
    int FSkinBorderWidth = -1;
    bool FActive = false;
    bool FPopupsActive = false;
};

// --- Unit state (popup menus are open one at a time) ------------------------
extern TsMenuItemType CurrentItemType;
extern TBitmap* PopupBackground;
extern TMenuItem* PopupFirstItem;
extern String ExtraLineSection;
extern String ExtraLineCaption;
extern TBitmap* ExtraLineGlyph;
extern bool ExtraLineVisible;
extern bool ExtraLineFetched;
extern bool ExtraLineFetching;
extern int GlyphColumnWidth;
extern int DividerLeft;
// Set by a form skin provider: the picture its menu line is painted on.
extern TacMenuLineSource acMenuLineSource;

// Subclasses a popup menu window (once) and, unless a popup adapter skins it,
// gives it the region of Background less the painter's RegionRects.
void SkinPopupMenuWindow(TsSkinableMenus* Painter, HWND Window, TBitmap* Background);
void FreePopupBackground();
// Forgets the open popup: its first item, background and extra-line data.
void ResetMenuGlobals();
// The popup-menu route of the manager's application hook: 48307 (wParam the
// HMENU, lParam the position of an item in it) and 48308 (lParam the popup
// window). True when handled.
bool PopupMenuMessage(TsSkinManager* Manager, TMessage& Message);
constexpr UINT acPopupItemMessage = 48307;
constexpr UINT acPopupWindowMessage = 48308;

// The item's kind by its caption: "-" a divider, "-text-" a caption divider.
TsMenuItemType MenuItemTypeOf(const TMenuItem* Item);
