#include "Menus.h"

#include "Scopes.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <exception>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace {
// Room left of and right of an item's parts in the default look.
constexpr int MenuMargin = 3;
constexpr int MenuGap = 4;
constexpr int MenuSeparatorHeight = 8;

[[noreturn]] void MenuIndexError() { throw EClassLibError("Menu index out of range"); }

bool SameTextNoCase(const String& a, const String& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
}  // namespace

// Every live item by its command and by its sub-menu handle. Owner-draw
// messages carry an item pointer in itemData and WM_COMMAND a command; both
// are trusted only when found here. Deliberately never destroyed: menus in
// static storage may be freed after every other static is gone.
struct MenuRegistry {
    std::unordered_map<WORD, TMenuItem*> ByCommand;
    std::unordered_map<HMENU, TMenuItem*> ByHandle;
    std::unordered_set<const void*> Live;
    WORD NextCommand = 1;

    static MenuRegistry& Get() {
        static MenuRegistry* instance = new MenuRegistry;
        return *instance;
    }

    // Commands roll forward rather than reuse the lowest free number, so that
    // a WM_COMMAND still queued for a freed item does not reach a new one.
    // They stay below 0xF000, where the system commands start.
    WORD Allocate(TMenuItem* Item) {
        for (int tries = 0; tries < 0xF000; ++tries) {
            WORD id = NextCommand++;
            if (NextCommand >= 0xF000) NextCommand = 1;
            if (ByCommand.find(id) == ByCommand.end()) {
                ByCommand[id] = Item;
                return id;
            }
        }
        throw EClassLibError("Too many menu items");
    }

    static TMenuItem* LiveItem(ULONG_PTR Data) {
        auto* item = reinterpret_cast<TMenuItem*>(Data);
        if (!item || Get().Live.find(item) == Get().Live.end()) return nullptr;
        return Usable(item);
    }
    // An item being destroyed no longer takes messages.
    static TMenuItem* Usable(TMenuItem* Item) { return Item->FDestroying ? nullptr : Item; }
};

// ---------------------------------------------------------------------------
// Shortcuts.

namespace {
String KeyName(WORD Key) {
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return String(1, static_cast<char>(Key));
    if (Key >= VK_F1 && Key <= VK_F24) return "F" + std::to_string(Key - VK_F1 + 1);
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) return "Num " + std::to_string(Key - VK_NUMPAD0);
    switch (Key) {
        case VK_BACK: return "BkSp";
        case VK_TAB: return "Tab";
        case VK_RETURN: return "Enter";
        case VK_ESCAPE: return "Esc";
        case VK_SPACE: return "Space";
        case VK_PRIOR: return "PgUp";
        case VK_NEXT: return "PgDn";
        case VK_END: return "End";
        case VK_HOME: return "Home";
        case VK_LEFT: return "Left";
        case VK_UP: return "Up";
        case VK_RIGHT: return "Right";
        case VK_DOWN: return "Down";
        case VK_INSERT: return "Ins";
        case VK_DELETE: return "Del";
        case VK_MULTIPLY: return "Num *";
        case VK_ADD: return "Num +";
        case VK_SUBTRACT: return "Num -";
        case VK_DECIMAL: return "Num Del";
        case VK_DIVIDE: return "Num /";
        case VK_OEM_PLUS: return "+";
        case VK_OEM_MINUS: return "-";
        case VK_OEM_COMMA: return ",";
        case VK_OEM_PERIOD: return ".";
        default: return String();
    }
}
}  // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if (Key > 0xFF) return 0;
    TShortCut r = Key;
    if (Shift.Contains(ssShift)) r |= scShift;
    if (Shift.Contains(ssCtrl)) r |= scCtrl;
    if (Shift.Contains(ssAlt)) r |= scAlt;
    return r;
}

void ShortCutToKey(TShortCut AShortCut, WORD& Key, TShiftState& Shift) {
    Key = AShortCut & 0xFF;
    Shift = TShiftState();
    if (AShortCut & scShift) Shift.Include(ssShift);
    if (AShortCut & scCtrl) Shift.Include(ssCtrl);
    if (AShortCut & scAlt) Shift.Include(ssAlt);
}

String ShortCutToText(TShortCut AShortCut) {
    String name = KeyName(AShortCut & 0xFF);
    if (name.empty()) return String();
    String r;
    if (AShortCut & scShift) r += "Shift+";
    if (AShortCut & scCtrl) r += "Ctrl+";
    if (AShortCut & scAlt) r += "Alt+";
    return r + name;
}

TShortCut TextToShortCut(const String& Text) {
    String rest = Text;
    TShortCut mods = 0;
    for (bool more = true; more;) {
        more = false;
        static const std::pair<const char*, TShortCut> prefixes[] = {
            {"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
        for (auto& p : prefixes) {
            size_t n = std::strlen(p.first);
            if (rest.size() > n && SameTextNoCase(rest.substr(0, n), p.first)) {
                mods |= p.second;
                rest = rest.substr(n);
                more = true;
            }
        }
    }
    for (WORD key = 1; key <= 0xFF; ++key) {
        String name = KeyName(key);
        if (!name.empty() && SameTextNoCase(name, rest)) return static_cast<TShortCut>(key | mods);
    }
    return 0;
}

String StripHotkey(const String& Text) {
    String r;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&') {
            if (i + 1 < Text.size() && Text[i + 1] == '&') {
                r += '&';
                ++i;
            }
            continue;
        }
        r += Text[i];
    }
    return r;
}

// ---------------------------------------------------------------------------
// TMenuItem.

// clang-format off
CLASSLIB_DEFINE_CLASS(TMenuItem, TComponent,
    StrProp<TMenuItem>("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption),
    OrdProp<TMenuItem>("Checked", TTypeKind::tkBool, &TMenuItem::Checked, &TMenuItem::SetChecked, 0),
    OrdProp<TMenuItem>("Enabled", TTypeKind::tkBool, &TMenuItem::Enabled, &TMenuItem::SetEnabled, 1),
    OrdProp<TMenuItem>("Default", TTypeKind::tkBool, &TMenuItem::Default, &TMenuItem::SetDefault, 0),
    OrdProp<TMenuItem>("RadioItem", TTypeKind::tkBool, &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, 0),
    OrdProp<TMenuItem>("Visible", TTypeKind::tkBool, &TMenuItem::Visible, &TMenuItem::SetVisible, 1),
    OrdProp<TMenuItem>("GroupIndex", TTypeKind::tkInteger, &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, 0),
    OrdProp<TMenuItem>("Break", TTypeKind::tkEnumeration, &TMenuItem::Break, &TMenuItem::SetBreak, mbNone),
    OrdProp<TMenuItem>("ImageIndex", TTypeKind::tkInteger, &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1),
    OrdProp<TMenuItem>("ShortCut", TTypeKind::tkInteger, &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0),
    OrdProp<TMenuItem>("AutoCheck", TTypeKind::tkBool, &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck, 0),
    StrProp<TMenuItem>("Hint", &TMenuItem::Hint, &TMenuItem::SetHint),
    ObjProp<TMenuItem, TBitmap>("Bitmap", &TMenuItem::Bitmap, &TMenuItem::SetBitmap))
// clang-format on

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
    MenuRegistry& r = MenuRegistry::Get();
    FCommand = r.Allocate(this);
    r.Live.insert(this);
}

TMenuItem::~TMenuItem() {
    FDestroying = true;
    delete FActionLink;
    FActionLink = nullptr;
    // Our HMENU lets go of the sub-menus before they are destroyed, so that
    // destroying it later cannot reach them again.
    if (FHandle) DetachEntries();
    std::vector<TMenuItem*> items;
    items.swap(FItems);
    for (TMenuItem* item : items) item->FParent = nullptr;
    for (TMenuItem* item : items) item->Free();
    if (FParent) {
        TMenuItem* parent = FParent;
        parent->FItems.erase(std::find(parent->FItems.begin(), parent->FItems.end(), this));
        FParent = nullptr;
        parent->ItemsChanged();
    }
    if (FHandle) DestroyOwnHandle();
    if (FMenuBitmap) DeleteObject(FMenuBitmap);
    FreeAndNil(FBitmap);
    MenuRegistry& r = MenuRegistry::Get();
    r.ByCommand.erase(FCommand);
    r.Live.erase(this);
}

void TMenuItem::SetCaption(const String& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    if (Value && FRadioItem) TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    MenuChanged(false);
}

void TMenuItem::SetDefault(bool Value) {
    if (FDefault == Value) return;
    // A menu has one default entry.
    if (Value && FParent)
        for (TMenuItem* sibling : FParent->FItems) sibling->FDefault = false;
    FDefault = Value;
    MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool Value) {
    if (FRadioItem == Value) return;
    FRadioItem = Value;
    if (FChecked && FRadioItem) TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    MenuChanged(true);
}

void TMenuItem::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    if (FChecked && FRadioItem) TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
    if (FBreak == Value) return;
    FBreak = Value;
    MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() const {
    if (!FBitmap) {
        auto* self = const_cast<TMenuItem*>(this);
        self->FBitmap = new TBitmap;
        self->FBitmap->OnChange = [self](TObject*) { self->MenuChanged(true); };
    }
    return FBitmap;
}

void TMenuItem::SetBitmap(TBitmap* Value) {
    TBitmap* bmp = Bitmap();
    if (Value) bmp->Assign(Value);
    else bmp->Assign(static_cast<TPersistent*>(nullptr));
    MenuChanged(true);
}

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

void TMenuItem::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (FShortCut == Value) return;
    FShortCut = Value;
    MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
    if (!FParent) return;
    for (TMenuItem* sibling : FParent->FItems)
        if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex) sibling->FChecked = false;
}

TBasicAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* Value) {
    if (!Value) {
        delete FActionLink;
        FActionLink = nullptr;
        return;
    }
    if (!FActionLink) {
        FActionLink = new TBasicActionLink(this);
        FActionLink->OnChange = [this](TObject* Sender) { ActionChanged(Sender); };
    }
    FActionLink->SetAction(Value);
    ActionChanged(Value);
}

void TMenuItem::ActionChanged(TObject* Sender) {
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a) return;
    FCaption = a->Caption();
    FChecked = a->Checked();
    FEnabled = a->Enabled();
    FHint = a->Hint();
    FImageIndex = a->ImageIndex();
    FShortCut = a->ShortCut();
    FVisible = a->Visible();
    MenuChanged(true);
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) MenuIndexError();
    return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Add(const std::vector<TMenuItem*>& AItems) {
    for (TMenuItem* item : AItems) Add(item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item) return;
    if (Item->FParent) throw EClassLibError("Menu inserted twice");
    if (Item->FMenu) throw EClassLibError("A menu's own item list cannot be a sub-item");
    for (const TMenuItem* p = this; p; p = p->FParent)
        if (p == Item) throw EClassLibError("Cannot insert a menu item into itself");
    if (Index < 0 || Index > Count()) MenuIndexError();
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    // The item may bring HMENUs made for another menu, with another owner-draw
    // setting.
    std::function<void(TMenuItem*)> refresh = [&](TMenuItem* i) {
        if (i->FHandle) i->RefreshEntries();
        for (TMenuItem* c : i->FItems) refresh(c);
    };
    refresh(Item);
    ItemsChanged();
}

void TMenuItem::Delete(int Index) {
    TMenuItem* item = Items(Index);
    FItems.erase(FItems.begin() + Index);
    item->FParent = nullptr;
    ItemsChanged();
}

void TMenuItem::Remove(TMenuItem* Item) {
    int i = IndexOf(Item);
    if (i < 0) throw EClassLibError("Sub-menu is not in menu");
    Delete(i);
}

void TMenuItem::Clear() {
    if (FItems.empty()) return;
    std::vector<TMenuItem*> items;
    items.swap(FItems);
    for (TMenuItem* item : items) item->FParent = nullptr;
    ItemsChanged();
    for (TMenuItem* item : items) item->Free();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const String& ACaption) const {
    String wanted = StripHotkey(ACaption);
    for (TMenuItem* item : FItems)
        if (SameTextNoCase(StripHotkey(item->FCaption), wanted)) return item;
    return nullptr;
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
    if (!FParent) return;
    TMenuItem* parent = FParent;
    int cur = parent->IndexOf(this);
    if (Value < 0) Value = 0;
    if (Value >= parent->Count()) Value = parent->Count() - 1;
    if (Value == cur) return;
    parent->FItems.erase(parent->FItems.begin() + cur);
    parent->FItems.insert(parent->FItems.begin() + Value, this);
    parent->ItemsChanged();
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* p = this;
    while (p->FParent) p = p->FParent;
    return p->FMenu;
}

bool TMenuItem::IsTopLevel() const { return FParent && FParent->FMenu && FParent->FMenu->IsMenuBar(); }

bool TMenuItem::IsOwnerDrawn() const {
    TMenu* menu = GetParentMenu();
    return menu && menu->OwnerDraw();
}

HMENU TMenuItem::Handle() const {
    if (FHandle || FDestroying) return FHandle;
    if (FMenu) FHandle = FMenu->IsMenuBar() ? CreateMenu() : CreatePopupMenu();
    else if (!FItems.empty()) FHandle = CreatePopupMenu();
    else return nullptr;
    if (!FHandle) throw EClassLibError("Cannot create a menu");
    MenuRegistry::Get().ByHandle[FHandle] = const_cast<TMenuItem*>(this);
    RefreshEntries();
    return FHandle;
}

void TMenuItem::DetachEntries() const {
    // RemoveMenu, unlike DeleteMenu, leaves the sub-menus alive: they belong
    // to the sub-items.
    while (GetMenuItemCount(FHandle) > 0)
        if (!RemoveMenu(FHandle, 0, MF_BYPOSITION)) break;
}

void TMenuItem::DestroyOwnHandle() const {
    if (!FHandle) return;
    DetachEntries();
    MenuRegistry::Get().ByHandle.erase(FHandle);
    DestroyMenu(FHandle);
    FHandle = nullptr;
}

namespace {
// A 24-bit copy of Bitmap for a menu entry, with transparent pixels in the
// menu colour: the TBitmap's own DIB may be selected in its canvas's DC,
// where the menu could not draw it from.
HBITMAP MenuBitmapOf(TBitmap* Bitmap) {
    int w = Bitmap->Width(), h = Bitmap->Height();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    const TScreenDC screen;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    const TMemoryDC mem(screen);
    if (!dib || !mem) {
        if (dib) DeleteObject(dib);
        return nullptr;
    }
    const TSelectedObject selected(mem, dib);
    HDC src = Bitmap->Canvas()->Handle();
    if (Bitmap->Transparent()) {
        RECT r{0, 0, w, h};
        FillRect(mem, &r, GetSysColorBrush(COLOR_MENU));
        TransparentBlt(mem, 0, 0, w, h, src, 0, 0, w, h, ColorToRGB(Bitmap->TransparentColor()) & 0xFFFFFF);
    } else {
        BitBlt(mem, 0, 0, w, h, src, 0, 0, SRCCOPY);
    }
    return dib;
}
}  // namespace

void TMenuItem::FillEntry(MENUITEMINFOA& Info, String& Text) const {
    std::memset(&Info, 0, sizeof(Info));
    Info.cbSize = sizeof(Info);
    Info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    bool ownerDraw = IsOwnerDrawn();
    if (FMenuBitmap) {
        DeleteObject(FMenuBitmap);
        FMenuBitmap = nullptr;
    }
    if (ownerDraw) Info.fType |= MFT_OWNERDRAW;
    if (IsLine()) {
        Info.fType |= MFT_SEPARATOR;
    } else {
        // Owner-drawn entries keep their text too: the system and the
        // accessibility tools read it.
        Text = FCaption;
        if (FShortCut && !IsTopLevel()) {
            String sc = ShortCutToText(FShortCut);
            if (!sc.empty()) Text += "\t" + sc;
        }
        Info.fMask |= MIIM_STRING;
        Info.dwTypeData = Text.data();
        Info.cch = static_cast<UINT>(Text.size());
        if (!ownerDraw && HasBitmap()) {
            FMenuBitmap = MenuBitmapOf(FBitmap);
            if (FMenuBitmap) {
                Info.fMask |= MIIM_BITMAP;
                Info.hbmpItem = FMenuBitmap;
            }
        }
    }
    if (FRadioItem) Info.fType |= MFT_RADIOCHECK;
    if (FBreak == mbBreak) Info.fType |= MFT_MENUBREAK;
    else if (FBreak == mbBarBreak) Info.fType |= MFT_MENUBARBREAK;
    if (FChecked) Info.fState |= MFS_CHECKED;
    if (!FEnabled) Info.fState |= MFS_GRAYED;
    if (FDefault) Info.fState |= MFS_DEFAULT;
    Info.wID = FCommand;
    Info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    if (!FItems.empty()) Info.hSubMenu = Handle();
    else if (FHandle) DestroyOwnHandle();  // already detached by the parent
}

UINT TMenuItem::DetachOwnEntries() const {
    // The system's own entries carry no item: a maximized MDI child's window
    // menu (first) and its buttons (last). They stay where they are.
    const int n = GetMenuItemCount(FHandle);
    std::vector<bool> own(std::size_t(std::max(n, 0)));
    bool firstHasSubMenu = false;
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(FHandle, UINT(i), TRUE, &info)) continue;
        own[std::size_t(i)] = info.dwItemData != 0;
        if (i == 0) firstHasSubMenu = info.hSubMenu != nullptr;
    }
    const auto first = std::find(own.begin(), own.end(), true);
    UINT lead = first != own.end() ? UINT(first - own.begin()) : (n > 0 && firstHasSubMenu ? 1 : 0);
    for (int i = n - 1; i >= 0; --i)
        if (own[std::size_t(i)]) RemoveMenu(FHandle, UINT(i), MF_BYPOSITION);
    return lead;
}

void TMenuItem::RefreshEntries() const {
    if (!FHandle) return;
    std::vector<TMenuItem*> shown;
    UINT pos = 0;
    if (FMenu) {
        shown = FMenu->ShownItems();
        if (FMenu->IsMenuBar()) pos = DetachOwnEntries();
        else DetachEntries();
    } else {
        DetachEntries();
        for (TMenuItem* item : FItems)
            if (item->FVisible) shown.push_back(item);
    }
    for (TMenuItem* item : shown) {
        MENUITEMINFOA info;
        String text;
        item->FillEntry(info, text);
        InsertMenuItemA(FHandle, pos++, TRUE, &info);
    }
}

void TMenuItem::ItemsChanged() {
    if (FDestroying) return;
    if (FHandle) {
        if (!FItems.empty() || FMenu) RefreshEntries();
        else if (!FParent || !FParent->FHandle) DestroyOwnHandle();  // attached nowhere
    }
    // Our entry in the parent may gain or lose its sub-menu.
    if (FParent) FParent->RefreshEntries();
    if (TMenu* menu = GetParentMenu()) menu->MenuChanged(menu, this, true);
}

void TMenuItem::MenuChanged(bool Rebuild) {
    if (FDestroying) return;
    if (FParent) FParent->RefreshEntries();
    if (TMenu* menu = GetParentMenu()) menu->MenuChanged(menu, this, Rebuild);
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck) SetChecked(!FChecked);
    // The handler may free the item (and its OnClick): call a copy and touch
    // nothing afterwards.
    if (OnClick) {
        TNotifyEvent handler = OnClick;
        handler(this);
    } else if (FActionLink && FActionLink->Action()) {
        FActionLink->Execute(this);
    }
}

// ---------------------------------------------------------------------------
// Owner drawing.

namespace {
LOGFONTA MenuLogFont() {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
        // Systems before Vista know the structure without its last field.
        ncm.cbSize = sizeof(ncm) - sizeof(ncm.iPaddedBorderWidth);
        if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0))
            GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTA), &ncm.lfMenuFont);
    }
    return ncm.lfMenuFont;
}

void PrepareMenuCanvas(TCanvas& Canvas, const TMenuItem* Item) {
    LOGFONTA lf = MenuLogFont();
    if (Item->Default()) lf.lfWeight = FW_BOLD;
    Canvas.Font()->SetLogFont(lf);
    Canvas.Font()->SetColor(clMenuText);
    Canvas.Brush()->SetColor(clMenu);
}

SIZE GlyphSize(const TMenuItem* Item, bool TopLevel) {
    if (Item->HasBitmap()) return SIZE{Item->Bitmap()->Width(), Item->Bitmap()->Height()};
    if (TopLevel) return SIZE{0, 0};
    TMenu* menu = Item->GetParentMenu();
    if (menu && menu->Images()) return SIZE{menu->Images()->Width(), menu->Images()->Height()};
    return SIZE{16, 16};
}

// Lets go of the canvas's hold on a DC it was lent, and gives the DC its
// state back, whatever happens.
struct LentCanvas {
    TCanvas Canvas;
    TSavedDC Saved;
    explicit LentCanvas(HDC dc) : Saved(dc) { Canvas.SetHandle(dc); }
    ~LentCanvas() { Canvas.SetHandle(nullptr); }
};
}  // namespace

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
    bool top = IsTopLevel();
    SIZE glyph = GlyphSize(this, top);
    if (IsLine()) {
        Width = MenuGap * 2;
        Height = MenuSeparatorHeight;
    } else if (top) {
        SIZE text = ACanvas->TextExtent(StripHotkey(FCaption));
        Width = text.cx + 2 * (MenuMargin + MenuGap) + (glyph.cx ? glyph.cx + MenuGap : 0);
        Height = std::max<int>(GetSystemMetrics(SM_CYMENU) - 1, std::max<int>(text.cy, glyph.cy) + 2 * MenuMargin);
    } else {
        SIZE text = ACanvas->TextExtent(StripHotkey(FCaption));
        int column = std::max<int>(glyph.cx, GetSystemMetrics(SM_CXMENUCHECK)) + 2 * MenuMargin;
        Width = column + MenuGap + text.cx + MenuGap * 2;
        String sc = ShortCutToText(FShortCut);
        if (!sc.empty()) Width += ACanvas->TextWidth(sc) + MenuGap * 4;
        Height = std::max<int>(text.cy + 2 * MenuMargin, glyph.cy + 2 * MenuMargin);
    }
    if (OnMeasureItem) {
        TMenuMeasureItemEvent handler = OnMeasureItem;
        handler(this, ACanvas, Width, Height);
    }
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel) {
    if (OnAdvancedDrawItem) {
        TAdvancedMenuDrawItemEvent handler = OnAdvancedDrawItem;
        handler(this, ACanvas, ARect, State);
    } else if (OnDrawItem) {
        TMenuDrawItemEvent handler = OnDrawItem;
        handler(this, ACanvas, ARect, State.Contains(odSelected));
    } else {
        DefaultDrawItem(ACanvas, ARect, State, TopLevel);
    }
}

void TMenuItem::DefaultDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel) {
    bool selected = State.Contains(odSelected) || (TopLevel && State.Contains(odHotLight));
    bool enabled = FEnabled && !State.Contains(odDisabled) && !State.Contains(odGrayed);
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Brush()->SetColor(selected && !IsLine() ? clHighlight : clMenu);
    ACanvas->FillRect(ARect);
    if (IsLine()) {
        int y = (ARect.top + ARect.bottom) / 2 - 1;
        ACanvas->Pen()->SetColor(clBtnShadow);
        ACanvas->MoveTo(ARect.left + MenuGap, y);
        ACanvas->LineTo(ARect.right - MenuGap, y);
        ACanvas->Pen()->SetColor(clBtnHighlight);
        ACanvas->MoveTo(ARect.left + MenuGap, y + 1);
        ACanvas->LineTo(ARect.right - MenuGap, y + 1);
        return;
    }
    TColor textColor = !enabled ? clGrayText : (selected ? clHighlightText : clMenuText);
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOCLIP;
    if (State.Contains(odNoAccel)) flags |= DT_HIDEPREFIX;

    SIZE glyph = GlyphSize(this, TopLevel);
    TMenu* menu = GetParentMenu();
    TCustomImageList* images = menu ? menu->Images() : nullptr;
    bool hasGlyph = HasBitmap() || (!TopLevel && images && FImageIndex >= 0 && FImageIndex < images->Count());
    int column = TopLevel ? 0 : std::max<int>(glyph.cx, GetSystemMetrics(SM_CXMENUCHECK)) + 2 * MenuMargin;
    int gx = ARect.left + (TopLevel ? MenuMargin + MenuGap : (column - glyph.cx) / 2);
    int gy = ARect.top + (ARect.bottom - ARect.top - glyph.cy) / 2;
    if (hasGlyph) {
        if (HasBitmap()) ACanvas->Draw(gx, gy, FBitmap);
        else images->Draw(ACanvas, gx, gy, FImageIndex, enabled);
        if (FChecked) {
            // A checked item with a picture shows it framed, as if pressed.
            RECT frame{gx - 2, gy - 2, gx + glyph.cx + 2, gy + glyph.cy + 2};
            DrawEdge(ACanvas->Handle(), &frame, BDR_SUNKENOUTER, BF_RECT);
        }
    } else if (FChecked && !TopLevel) {
        int cx = ARect.left + column / 2, cy = (ARect.top + ARect.bottom) / 2;
        ACanvas->Pen()->SetColor(textColor);
        ACanvas->Brush()->SetColor(textColor);
        if (FRadioItem) {
            ACanvas->Ellipse(cx - 3, cy - 3, cx + 4, cy + 4);
        } else {
            for (int d = 0; d < 3; ++d) {  // a check mark three pixels thick
                ACanvas->MoveTo(cx - 4, cy - 1 + d);
                ACanvas->LineTo(cx - 1, cy + 2 + d);
                ACanvas->LineTo(cx + 5, cy - 4 + d);
            }
        }
    }

    HDC dc = ACanvas->Handle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(textColor));
    RECT text = ARect;
    if (TopLevel) {
        if (glyph.cx) text.left = gx + glyph.cx;
        DrawTextA(dc, FCaption.c_str(), -1, &text, flags | DT_CENTER);
        return;
    }
    text.left = ARect.left + column + MenuGap;
    text.right = ARect.right - MenuGap;
    DrawTextA(dc, FCaption.c_str(), -1, &text, flags | DT_LEFT);
    String sc = ShortCutToText(FShortCut);
    if (!sc.empty()) {
        text.right = ARect.right - MenuGap * 2;
        DrawTextA(dc, sc.c_str(), -1, &text, (flags & ~DT_HIDEPREFIX) | DT_RIGHT | DT_NOPREFIX);
    }
}

// ---------------------------------------------------------------------------
// TMenu and its kinds.

// clang-format off
CLASSLIB_DEFINE_CLASS(TMenu, TComponent,
    OrdProp<TMenu>("OwnerDraw", TTypeKind::tkBool, &TMenu::OwnerDraw, &TMenu::SetOwnerDraw, 0),
    ObjProp<TMenu, TCustomImageList>("Images", &TMenu::Images, &TMenu::SetImages),
    OrdField<TMenu>("BiDiMode", TTypeKind::tkEnumeration, &TMenu::BiDiMode, bdLeftToRight))
// clang-format on
CLASSLIB_DEFINE_CLASS(TMainMenu, TMenu)
// clang-format off
CLASSLIB_DEFINE_CLASS(TPopupMenu, TMenu,
    OrdField<TPopupMenu>("Alignment", TTypeKind::tkEnumeration, &TPopupMenu::Alignment, paLeft),
    OrdField<TPopupMenu>("AutoPopup", TTypeKind::tkBool, &TPopupMenu::AutoPopup, 1),
    OrdField<TPopupMenu>("TrackButton", TTypeKind::tkEnumeration, &TPopupMenu::TrackButton, tbRightButton),
    OrdField<TPopupMenu>("MenuAnimation", TTypeKind::tkSet, &TPopupMenu::MenuAnimation, 0))
// clang-format on

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner) {
    // The root item belongs to the menu alone, not to its component list.
    FItems = new TMenuItem(nullptr);
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    OnChange = nullptr;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = nullptr;
    FItems->Free();
}

void TMenu::RewriteEntries() {
    std::function<void(TMenuItem*)> refresh = [&](TMenuItem* i) {
        i->RefreshEntries();
        for (TMenuItem* c : i->FItems) refresh(c);
    };
    refresh(FItems);
}

void TMenu::Rebuild() {
    RewriteEntries();
    MenuChanged(this, nullptr, true);
}

std::vector<TMenuItem*> TMenu::ShownItems() const {
    std::vector<TMenuItem*> shown;
    for (TMenuItem* item : FItems->FItems)
        if (item->FVisible) shown.push_back(item);
    return shown;
}

void TMenu::SetOwnerDraw(bool Value) {
    if (FOwnerDraw == Value) return;
    FOwnerDraw = Value;
    RewriteEntries();
    MenuChanged(this, nullptr, true);
}

void TMenu::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    // Owner-drawn entries are measured again only when they are rewritten.
    if (FOwnerDraw) RewriteEntries();
    MenuChanged(this, nullptr, true);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent && AComponent == FImages) {
        FImages = nullptr;
        MenuChanged(this, nullptr, true);
    }
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    FPopupComponent = Value;
    if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    if (ComponentState().Contains(csDestroying)) return;
    if (OnChange) {
        TMenuChangeEvent handler = OnChange;
        handler(Sender, Source, Rebuild);
    }
}

namespace {
TMenuItem* FindIn(TMenuItem* Item, const std::function<bool(TMenuItem*)>& Match) {
    if (Match(Item)) return Item;
    for (int i = 0; i < Item->Count(); ++i)
        if (TMenuItem* found = FindIn(Item->Items(i), Match)) return found;
    return nullptr;
}
}  // namespace

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) const {
    switch (Kind) {
        case fkCommand: return FindIn(FItems, [&](TMenuItem* i) { return i != FItems && i->Command() == Value; });
        case fkHandle:
            return FindIn(FItems,
                          [&](TMenuItem* i) { return i->FHandle && i->FHandle == reinterpret_cast<HMENU>(Value); });
        case fkShortCut:
            return FindIn(FItems, [&](TMenuItem* i) { return i != FItems && Value && i->ShortCut() == Value; });
    }
    return nullptr;
}

bool TMenu::DispatchCommand(WORD ACommand) {
    TMenuItem* item = FindItem(ACommand, fkCommand);
    if (!item) return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU AMenuHandle) {
    TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(AMenuHandle), fkHandle);
    if (!item) return false;
    if (item != FItems) item->Click();
    return true;
}

bool TMenu::IsShortCut(WORD Key, TShiftState Shift) {
    TShortCut sc = ::ShortCut(Key, Shift);
    if (!sc) return false;
    TMenuItem* item = FindIn(FItems, [&](TMenuItem* i) {
        if (i == FItems || i->ShortCut() != sc) return false;
        for (TMenuItem* p = i; p && p != FItems; p = p->Parent())
            if (!p->Visible() || !p->Enabled()) return false;
        return true;
    });
    if (!item) return false;
    item->Click();
    return true;
}

TMainMenu::~TMainMenu() {
    if (FMergedInto) FMergedInto->Unmerge(this);
    if (FMerged) FMerged->FMergedInto = nullptr;
    FMerged = nullptr;
    HMENU h = HandleIfMade();
    if (h && FWindowHandle && IsWindow(FWindowHandle) && GetMenu(FWindowHandle) == h) SetMenu(FWindowHandle, nullptr);
}

void TMainMenu::Merge(TMainMenu* Menu) {
    if (Menu == this || Menu == FMerged) return;
    if (FMerged) FMerged->FMergedInto = nullptr;
    if (Menu && Menu->FMergedInto) Menu->FMergedInto->Unmerge(Menu);
    FMerged = Menu;
    if (Menu) Menu->FMergedInto = this;
    Items()->RefreshEntries();
    MenuChanged(this, nullptr, true);
}

void TMainMenu::Unmerge(TMainMenu* Menu) {
    if (Menu && Menu == FMerged) Merge(nullptr);
}

bool TMainMenu::IsMergedItem(const TMenuItem* Item) const {
    return FMerged && Item && Item->Parent() == FMerged->Items();
}

std::vector<TMenuItem*> TMainMenu::ShownItems() const {
    std::vector<TMenuItem*> shown = TMenu::ShownItems();
    if (!FMerged) return shown;
    // The merged menu's groups replace ours, hidden items' groups too.
    std::vector<int> groups;
    for (int i = 0; i < FMerged->Items()->Count(); ++i) groups.push_back(FMerged->Items()->Items(i)->GroupIndex());
    shown.erase(std::remove_if(shown.begin(), shown.end(),
                               [&](TMenuItem* i) {
                                   return std::find(groups.begin(), groups.end(), i->GroupIndex()) != groups.end();
                               }),
                shown.end());
    for (TMenuItem* item : FMerged->TMenu::ShownItems()) {
        auto at = std::find_if(shown.begin(), shown.end(),
                               [&](TMenuItem* i) { return i->GroupIndex() > item->GroupIndex(); });
        shown.insert(at, item);
    }
    return shown;
}

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    if (ComponentState().Contains(csDestroying)) return;
    // The bar that shows our items shows their change.
    if (FMergedInto) {
        FMergedInto->Items()->RefreshEntries();
        FMergedInto->MenuChanged(FMergedInto, Source, Rebuild);
    }
    if (FWindowHandle && IsWindow(FWindowHandle)) {
        DrawMenuBar(FWindowHandle);
        SendMessageA(FWindowHandle, CM_MENUCHANGED, 0, 0);
    }
    TMenu::MenuChanged(Sender, Source, Rebuild);
}

TPopupMenu::~TPopupMenu() {
    OnPopup = nullptr;
    OnClose = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
    if (OnPopup) {
        TNotifyEvent handler = OnPopup;
        handler(Sender);
    }
}

UINT TPopupMenu::TrackFlags() const {
    UINT flags = Alignment == paRight ? TPM_RIGHTALIGN : (Alignment == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN);
    flags |= TrackButton == tbRightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON;
    if (MenuAnimation.Contains(maLeftToRight)) flags |= TPM_HORPOSANIMATION;
    if (MenuAnimation.Contains(maRightToLeft)) flags |= TPM_HORNEGANIMATION;
    if (MenuAnimation.Contains(maTopToBottom)) flags |= TPM_VERPOSANIMATION;
    if (MenuAnimation.Contains(maBottomToTop)) flags |= TPM_VERNEGANIMATION;
    if (MenuAnimation.Contains(maNone)) flags |= TPM_NOANIMATION;
    return flags;
}

std::function<void(TPopupMenu* Menu)> PopupMenuOpening;

void TPopupMenu::Popup(int X, int Y) {
    DoPopup(this);
    if (PopupMenuOpening) PopupMenuOpening(this);
    HMENU menu = Handle();
    HWND owner = FWindowHandle ? FWindowHandle : PopupList.Window();
    // The menu may be freed while it is open (by a timer, by a message
    // handler): afterwards it is touched only when its root item still lives,
    // which the registry tells without reading the item.
    TMenuItem* root = Items();
    WORD rootCommand = root->Command();
    UINT command = TrackPopupMenu(menu, TrackFlags() | TPM_RETURNCMD, X, Y, 0, owner, nullptr);
    // The documented way to let the next menu close properly when the owner
    // was not in the foreground.
    PostMessageA(owner, WM_NULL, 0, 0);
    if (FindMenuItemByCommand(rootCommand) == root && OnClose) {
        TNotifyEvent handler = OnClose;
        handler(this);
    }
    // Last: the click may free the menu.
    if (command) DispatchMenuCommand(static_cast<WORD>(command));
}

// ---------------------------------------------------------------------------
// The popup-list window.

TPopupList PopupList;

TPopupList::~TPopupList() {
    if (FWindow && IsWindow(FWindow)) DestroyWindow(FWindow);
}

HWND TPopupList::Window() {
    if (FWindow && IsWindow(FWindow)) return FWindow;
    static const char* const className = "TClassLibPopupList";
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!GetClassInfoA(inst, className, &wc)) {
        wc.lpfnWndProc = &TPopupList::WndProc;
        wc.hInstance = inst;
        wc.lpszClassName = className;
        RegisterClassA(&wc);
    }
    // A hidden top-level window, not a message-only one: the menu loop wants
    // an owner that can be activated.
    FWindow = CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, inst, nullptr);
    if (!FWindow) throw EClassLibError("Cannot create the popup-list window");
    return FWindow;
}

LRESULT CALLBACK TPopupList::WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    // No exception may cross the system's frames that called us.
    try {
        switch (Msg) {
            case WM_COMMAND:
                if (HIWORD(WParam) == 0 && LParam == 0 && DispatchMenuCommand(LOWORD(WParam))) return 0;
                break;
            case WM_INITMENUPOPUP: DispatchMenuPopup(reinterpret_cast<HMENU>(WParam)); return 0;
            case WM_MENUSELECT:
                if (PopupList.OnMenuSelect) {
                    auto handler = PopupList.OnMenuSelect;
                    handler(FindMenuItemBySelect(WParam, LParam));
                }
                return 0;
            case WM_MEASUREITEM:
                if (DispatchMenuMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(LParam))) return TRUE;
                break;
            case WM_DRAWITEM:
                if (DispatchMenuDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(LParam))) return TRUE;
                break;
            case WM_MENUCHAR: {
                LRESULT result = 0;
                if (DispatchMenuChar(WParam, LParam, result)) return result;
                break;
            }
            case WM_ENTERIDLE:
                if (PopupList.OnEnterIdle) {
                    TNotifyEvent handler = PopupList.OnEnterIdle;
                    handler(nullptr);
                }
                return 0;
            default: break;
        }
    } catch (const std::exception& e) {
        OutputDebugStringA(e.what());
        return 0;
    } catch (...) {
        OutputDebugStringA("TPopupList: unknown exception");
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

// ---------------------------------------------------------------------------
// Dispatch for windows that show menus.

TMenuItem* FindMenuItemByCommand(WORD commandId) {
    MenuRegistry& r = MenuRegistry::Get();
    auto it = r.ByCommand.find(commandId);
    return it == r.ByCommand.end() ? nullptr : MenuRegistry::Usable(it->second);
}

TMenuItem* FindMenuItemByHandle(HMENU menu) {
    if (!menu) return nullptr;
    MenuRegistry& r = MenuRegistry::Get();
    auto it = r.ByHandle.find(menu);
    return it == r.ByHandle.end() ? nullptr : MenuRegistry::Usable(it->second);
}

bool IsLiveMenuItem(const void* Item) { return MenuRegistry::LiveItem(reinterpret_cast<ULONG_PTR>(Item)) != nullptr; }

bool DispatchMenuCommand(WORD commandId) {
    TMenuItem* item = FindMenuItemByCommand(commandId);
    if (!item) return false;
    item->Click();
    return true;
}

bool DispatchMenuPopup(HMENU menu) {
    TMenuItem* item = FindMenuItemByHandle(menu);
    if (!item) return false;
    if (TMenu* owner = item->GetParentMenu()) return owner->DispatchPopup(menu);
    item->Click();
    return true;
}

bool DispatchMenuMeasureItem(MEASUREITEMSTRUCT* mis) {
    if (!mis || mis->CtlType != ODT_MENU) return false;
    TMenuItem* item = MenuRegistry::LiveItem(mis->itemData);
    if (!item) return false;
    const TScreenDC screen;
    LentCanvas lent(screen);
    PrepareMenuCanvas(lent.Canvas, item);
    int width = static_cast<int>(mis->itemWidth), height = static_cast<int>(mis->itemHeight);
    item->MeasureItem(&lent.Canvas, width, height);
    mis->itemWidth = static_cast<UINT>(std::max(width, 0));
    mis->itemHeight = static_cast<UINT>(std::max(height, 0));
    return true;
}

bool DispatchMenuDrawItem(DRAWITEMSTRUCT* dis) {
    if (!dis || dis->CtlType != ODT_MENU || !dis->hDC) return false;
    TMenuItem* item = MenuRegistry::LiveItem(dis->itemData);
    if (!item) return false;
    LentCanvas lent(dis->hDC);
    PrepareMenuCanvas(lent.Canvas, item);
    // The item's own state counts even where the system leaves a flag out.
    TOwnerDrawState state = TOwnerDrawState::FromBits(dis->itemState & 0x1FFF);
    if (item->Checked()) state.Include(odChecked);
    if (item->Default()) state.Include(odDefault);
    if (!item->Enabled()) state.Include(odDisabled).Include(odGrayed);
    item->AdvancedDrawItem(&lent.Canvas, dis->rcItem, state, item->IsTopLevel());
    return true;
}

bool DispatchMenuChar(WPARAM wParam, LPARAM lParam, LRESULT& Result) {
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    TMenuItem* parent = FindMenuItemByHandle(menu);
    if (!parent) return false;
    int key = std::toupper(static_cast<unsigned char>(LOWORD(wParam) & 0xFF));
    std::vector<int> matches;
    int pos = 0;
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible()) continue;
        const String& c = item->Caption();
        for (size_t k = 0; k + 1 < c.size(); ++k) {
            if (c[k] != '&') continue;
            if (c[k + 1] == '&') {
                ++k;
                continue;
            }
            if (std::toupper(static_cast<unsigned char>(c[k + 1])) == key && item->Enabled()) matches.push_back(pos);
            break;
        }
        ++pos;
    }
    if (matches.empty()) return false;
    if (matches.size() == 1) {
        Result = MAKELRESULT(matches[0], MNC_EXECUTE);
        return true;
    }
    // Several entries share the hotkey: move to the next one after the
    // highlighted entry.
    int current = -1;
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i)
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) current = i;
    int next = matches[0];
    for (int m : matches)
        if (m > current) {
            next = m;
            break;
        }
    Result = MAKELRESULT(next, MNC_SELECT);
    return true;
}

TMenuItem* FindMenuItemBySelect(WPARAM wParam, LPARAM lParam) {
    UINT flags = HIWORD(wParam);
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (flags == 0xFFFF && !menu) return nullptr;
    if (flags & MF_POPUP) return FindMenuItemByHandle(GetSubMenu(menu, LOWORD(wParam)));
    return FindMenuItemByCommand(LOWORD(wParam));
}

// ---------------------------------------------------------------------------

TMenuItem* NewItem(const String& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled, TNotifyEvent AOnClick,
                   const String& AName) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(ACaption);
    item->SetShortCut(AShortCut);
    item->SetChecked(AChecked);
    item->SetEnabled(AEnabled);
    item->OnClick = std::move(AOnClick);
    item->SetName(AName);
    return item;
}

TMenuItem* NewLine() {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption("-");
    return item;
}

TMenuItem* NewSubMenu(const String& ACaption, const std::vector<TMenuItem*>& AItems, const String& AName) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(ACaption);
    item->SetName(AName);
    item->Add(AItems);
    return item;
}
