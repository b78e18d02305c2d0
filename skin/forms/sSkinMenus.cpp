#include "sSkinMenus.h"

#include "Forms.h"
#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sCommonData.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinText.h"
#include "sSpeedButton.h"
#include "WindowHooks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>

TsMenuItemType CurrentItemType = smNormal;
TBitmap* PopupBackground = nullptr;
TMenuItem* PopupFirstItem = nullptr;
String ExtraLineSection;
String ExtraLineCaption;
TBitmap* ExtraLineGlyph = nullptr;
bool ExtraLineVisible = false;
bool ExtraLineFetched = false;
bool ExtraLineFetching = false;
int GlyphColumnWidth = 0;
int DividerLeft = 0;
TacMenuLineSource acMenuLineSource;

namespace {

const char kDefaultExtraLineCaption[] = "Don`t forget OnGetExtraLineData event...";
const char kPopupMenuClass[] = "#32768";
// Room the painter leaves around a popup's columns.
constexpr int kColumnPad = 12;
constexpr int kColumnGap = 4;
// Share of a disabled item's picture kept over the background; for the menu
// line the background's transparency (0..255).
constexpr double kDisabledItemShare = 0.4;
constexpr int kDisabledLineTransparency = 102;

bool IsPopupMenuWindow(HWND Window) {
    char cls[16] = {};
    return Window && IsWindow(Window) && GetClassNameA(Window, cls, sizeof cls) &&
           std::strcmp(cls, kPopupMenuClass) == 0;
}

int WindowsMajorVersion() {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExA(&v) ? int(v.dwMajorVersion) : 6;
#pragma GCC diagnostic pop
}

// The entries of a popup are its visible items: the hidden ones have no
// place in the HMENU.
std::vector<TMenuItem*> VisibleItems(const TMenuItem* Parent) {
    std::vector<TMenuItem*> r;
    if (!Parent) return r;
    for (int i = 0; i < Parent->Count(); ++i)
        if (Parent->Items(i)->Visible()) r.push_back(Parent->Items(i));
    return r;
}

TMenuItem* FirstVisible(const TMenuItem* Parent) {
    const std::vector<TMenuItem*> v = VisibleItems(Parent);
    return v.empty() ? nullptr : v.front();
}

TMenuItem* LastVisible(const TMenuItem* Parent) {
    const std::vector<TMenuItem*> v = VisibleItems(Parent);
    return v.empty() ? nullptr : v.back();
}

// The item's place among the entries of its HMENU; -1 when it has none.
int EntryIndex(const TMenuItem* Item) {
    const std::vector<TMenuItem*> v = VisibleItems(Item->Parent());
    const auto it = std::find(v.begin(), v.end(), Item);
    return it == v.end() ? -1 : int(it - v.begin());
}

// No entry from the popup's first one up to Item starts a column.
bool InFirstColumn(const TMenuItem* Item) {
    for (TMenuItem* i : VisibleItems(Item->Parent())) {
        if (i->Break() != mbNone) return false;
        if (i == Item) return true;
    }
    return true;
}

TSize GlyphSizeOf(const TMenuItem* Item, bool MenuLine) {
    if (Item->HasBitmap()) return TSize{Item->Bitmap()->Width(), Item->Bitmap()->Height()};
    if (MenuLine) return TSize{0, 0};
    TMenu* menu = Item->GetParentMenu();
    if (menu && menu->Images()) return TSize{menu->Images()->Width(), menu->Images()->Height()};
    return TSize{16, 16};
}

bool HasImage(const TMenuItem* Item) {
    TMenu* menu = Item->GetParentMenu();
    return menu && menu->Images() && Item->ImageIndex() >= 0 && Item->ImageIndex() < menu->Images()->Count();
}

bool MiddleEastLocale() { return acSystemMetric(SM_MIDEASTENABLED) != 0; }

bool RightToLeftMenu(const TMenuItem* Item) {
    TMenu* menu = Item->GetParentMenu();
    return menu && menu->IsRightToLeft();
}

void CopyFromBackground(HDC DC, int X, int Y, int W, int H, TPoint From) {
    if (!PopupBackground || W <= 0 || H <= 0) return;
    BitBlt(DC, X, Y, W, H, PopupBackground->Canvas()->Handle(), From.x, From.y, SRCCOPY);
}

// Asks for the extra line of the popup whose first item is First.
void FetchExtraLineData(TsSkinManager* Manager, TMenuItem* First) {
    if (!Manager || Manager->ComponentState().Contains(csDesigning)) return;
    delete ExtraLineGlyph;
    ExtraLineGlyph = nullptr;
    ExtraLineFetched = true;
    // The system menu's list of skins never shows the line.
    if (First && First->Name() == "SkinSelectItem") {
        ExtraLineVisible = false;
        return;
    }
    ExtraLineSection = "EXTRALINE";
    ExtraLineVisible = true;
    ExtraLineCaption = kDefaultExtraLineCaption;
    if (Manager->OnGetMenuExtraLineData) {
        TacGetExtraLineData handler = Manager->OnGetMenuExtraLineData;
        handler(First, ExtraLineSection, ExtraLineCaption, ExtraLineGlyph, ExtraLineVisible);
    }
    ExtraLineCaption = RemoveChar(ExtraLineCaption, '&');
    if (!ExtraLineVisible) {
        delete ExtraLineGlyph;
        ExtraLineGlyph = nullptr;
    }
}

// The system draws its own sub-menu arrow over an owner-drawn item once the
// item is painted. The right end of the painted item is kept and put back
// over that arrow by a message the popup's menu loop dispatches afterwards.
constexpr UINT kRepairArrowMessage = WM_APP + 0x2B3;
constexpr int kArrowRepairWidth = 24;
struct TacArrowRepair {
    HWND Window;
    int Index;
    TRect R;  // client coordinates
    std::unique_ptr<TBitmap> Strip;
};
std::vector<TacArrowRepair> ArrowRepairs;

void ForgetArrowRepairs(HWND Window, int Index) {
    ArrowRepairs.erase(
        std::remove_if(ArrowRepairs.begin(), ArrowRepairs.end(),
                       [&](const TacArrowRepair& r) { return r.Window == Window && (Index < 0 || r.Index == Index); }),
        ArrowRepairs.end());
}

void KeepArrowRepair(HWND Window, int Index, const TRect& R, TBitmap* Item, int ItemX) {
    const int w = std::min<int>(kArrowRepairWidth, R.right - R.left), h = R.bottom - R.top;
    if (!Window || Index < 0 || w <= 0 || h <= 0) return;
    ForgetArrowRepairs(Window, Index);
    auto strip = NewBitmap24(w, h);
    BitBlt(strip->Canvas()->Handle(), 0, 0, w, h, Item->Canvas()->Handle(), R.right - w - ItemX, 0, SRCCOPY);
    ArrowRepairs.push_back(
        TacArrowRepair{Window, Index, TRect{R.right - w, R.top, R.right, R.bottom}, std::move(strip)});
    PostMessageA(Window, kRepairArrowMessage, WPARAM(Index), 0);
}

void RepairArrow(HWND Window, int Index) {
    for (TacArrowRepair& r : ArrowRepairs)
        if (r.Window == Window && r.Index == Index) {
            const TClientDC dc(Window);
            if (dc.DC())
                BitBlt(dc, r.R.left, r.R.top, r.R.right - r.R.left, r.R.bottom - r.R.top, r.Strip->Canvas()->Handle(),
                       0, 0, SRCCOPY);
            break;
        }
    ForgetArrowRepairs(Window, Index);
}

// The popup's own frame paint is skipped while the background (frame
// included) covers the window: the items' paint repaints the frame from it.
bool BackgroundCoversFrame(HWND Window) {
    if (WindowsMajorVersion() < 6) return true;
    RECT r;
    GetWindowRect(Window, &r);
    return PopupBackground && PopupBackground->Width() == r.right - r.left &&
           PopupBackground->Height() == r.bottom - r.top;
}

// The subclasses of the open popup windows (a sub-menu has a window of its
// own), each released when its window goes.
// Never freed: a popup still open while the program's statics go keeps
// calling through its hook.
std::map<HWND, std::unique_ptr<TWindowProcSubclass>>& PopupHooks() {
    static auto* hooks = new std::map<HWND, std::unique_ptr<TWindowProcSubclass>>();
    return *hooks;
}

// The messages of a popup window answered here; false passes one on.
bool PopupMenuOwnMessage(HWND Window, TMessage& Message) {
    switch (Message.Msg) {
        case kRepairArrowMessage: RepairArrow(Window, int(Message.WParam)); return true;
        case WM_DESTROY:
            ForgetArrowRepairs(Window, -1);
            ResetMenuGlobals();
            return false;
        case WM_ERASEBKGND: Message.Result = 1; return true;
        case WM_NCPAINT:
            if (!BackgroundCoversFrame(Window)) return false;
            Message.Result = 1;
            return true;
        default: return false;
    }
}

void PopupMenuWindowMessage(HWND Window, TWindowProcSubclass* Hook, TMessage& Message) {
    if (PopupMenuOwnMessage(Window, Message)) return;
    Hook->CallPrevious(Message);
    // Released here, our procedure leaves the slot only while it still holds ours.
    if (Message.Msg == WM_NCDESTROY) PopupHooks().erase(Window);
}

// Where the client area's origin lies in the window: the popup's frame.
TPoint ClientOffset(HWND Window) {
    RECT w;
    POINT c{0, 0};
    GetWindowRect(Window, &w);
    ClientToScreen(Window, &c);
    return TPoint{c.x - w.left, c.y - w.top};
}

}  // namespace

// ---------------------------------------------------------------------------

// Popup menus made after the skin was loaded (or owned by nothing that the
// painter visits) are taken where they open: the class library tells of every
// popup menu before it is tracked, after its OnPopup has filled it.
namespace {
TsSkinableMenus* MenuOpenPainter = nullptr;

void WatchOpeningMenus(TsSkinableMenus* Painter, bool Watch) {
    if (Watch) {
        MenuOpenPainter = Painter;
        PopupMenuOpening = [](TPopupMenu* Menu) {
            if (MenuOpenPainter) MenuOpenPainter->PrepareOpeningMenu(Menu);
        };
    } else if (MenuOpenPainter == Painter) {
        MenuOpenPainter = nullptr;
        PopupMenuOpening = nullptr;
    }
}
}  // namespace

// clang-format off
CLASSLIB_DEFINE_CLASS(TsSkinableMenus, TPersistent,
    OrdField<TsSkinableMenus>("Margin", TTypeKind::tkInteger, &TsSkinableMenus::Margin, 3),
    OrdField<TsSkinableMenus>("Alignment", TTypeKind::tkEnumeration, &TsSkinableMenus::Alignment, taLeftJustify),
    OrdField<TsSkinableMenus>("BevelWidth", TTypeKind::tkInteger, &TsSkinableMenus::BevelWidth, 0),
    OrdField<TsSkinableMenus>("BorderWidth", TTypeKind::tkInteger, &TsSkinableMenus::BorderWidth, 3),
    ObjProp<TsSkinableMenus, TFont>("CaptionFont", &TsSkinableMenus::CaptionFont, &TsSkinableMenus::SetCaptionFont),
    OrdField<TsSkinableMenus>("Spacing", TTypeKind::tkInteger, &TsSkinableMenus::Spacing, 6))
// clang-format on

TsSkinableMenus::TsSkinableMenus(TsSkinManager* AManager) : FManager(AManager), FCaptionFont(new TFont()) {}

TsSkinableMenus::~TsSkinableMenus() {
    WatchOpeningMenus(this, false);
    FManager = nullptr;
    delete FCaptionFont;
}

int TsSkinableMenus::SkinBorderWidth() {
    if (FSkinBorderWidth < 0) {
        const int mask = MaskIndexOfNoParent(FManager, "MAINMENU", "BORDERSMASK");
        if (IsValidMaskIndex(FManager, mask)) {
            const int w = FManager->ma()[std::size_t(mask)].BorderWidth;
            FSkinBorderWidth = w < 1 ? 3 : w;
        } else {
            FSkinBorderWidth = 0;
        }
    }
    return FSkinBorderWidth;
}

bool TsSkinableMenus::UpToDate() const {
    return FManager && FActive == FManager->Active() && FPopupsActive == (FActive && FManager->SkinnedPopups());
}

int TsSkinableMenus::ActiveExtraLineWidth() const {
    const TacMenuSupport* s = FManager ? FManager->MenuSupport() : nullptr;
    return s && s->UseExtraLine && ExtraLineVisible ? s->ExtraLineWidth : 0;
}

// --- Turning menus owner-drawn ------------------------------------------------

void TsSkinableMenus::PrepareOpeningMenu(TPopupMenu* Menu) {
    if (!FActive || !FManager || !FManager->SkinnedPopups() || !Menu) return;
    // Every time: items added since the last opening take the painter too.
    InitPopupMenu(Menu, true);
}

void TsSkinableMenus::SetActive(bool Value) {
    if (Value == FActive) return;
    FActive = Value;
    InitMenus(Value);
}

void TsSkinableMenus::InitMenus(bool Value) {
    FActive = Value;
    WatchOpeningMenus(this, Value);
    if (!FManager || FManager->ComponentState().Contains(csDesigning) || !Application.Assigned()) return;
    FPopupsActive = Value && FManager->SkinnedPopups();
    InitOwnedMenus(Application.Get(), Value);
    // Forms owned by nothing are not among the application's components.
    if (Screen.Assigned())
        for (int i = 0; i < Screen->FormCount(); ++i) InitOwnedMenus(Screen->Forms(i), Value);
}

void TsSkinableMenus::InitOwnedMenus(TComponent* Owner, bool Value) {
    if (!Owner || !FManager) return;
    const bool popups = Value && FManager->SkinnedPopups();
    for (int i = 0; i < Owner->ComponentCount(); ++i) {
        TComponent* c = Owner->Components(i);
        if (auto* main = dynamic_cast<TMainMenu*>(c)) {
            InitMenuBar(main, Value);
        } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
            InitPopupMenu(popup, popups);
        } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
            TMenu* menu = item->GetParentMenu();
            if (!dynamic_cast<TMainMenu*>(menu)) InitItems(item, popups);
        }
        InitOwnedMenus(c, Value);
    }
}

void TsSkinableMenus::InitMenuBar(TMainMenu* Menu, bool Value) {
    InitMainMenu(Menu, Value);
    const bool popups = Value && FManager && FManager->SkinnedPopups();
    for (int k = 0; Menu && k < Menu->Items()->Count(); ++k) InitItems(Menu->Items()->Items(k), popups);
}

void TsSkinableMenus::InitMainMenu(TMainMenu* Menu, bool Value) {
    if (!Menu) return;
    const TAdvancedMenuDrawItemEvent draw(this, &TsSkinableMenus::DrawMainItem);
    const TMenuMeasureItemEvent measure(this, &TsSkinableMenus::MeasureMainItem);
    if (!Value || (FManager && FManager->Active()))
        for (int i = 0; i < Menu->Items()->Count(); ++i) TakeHandlers(Menu->Items()->Items(i), Value, draw, measure);
    if (Menu->ComponentState().Contains(csDestroying)) return;
    Menu->SetOwnerDraw(Value);
    // The line shows the new skin (or none) at once, not at its next paint.
    if (Menu->WindowHandle() && IsWindow(Menu->WindowHandle())) DrawMenuBar(Menu->WindowHandle());
}

void TsSkinableMenus::InitPopupMenu(TPopupMenu* Menu, bool Value) {
    if (!Menu) return;
    Menu->SetOwnerDraw(Value);
    // The system's slide or fade would show the unskinned frame first.
    if (Value) Menu->MenuAnimation.Include(maNone);
    else Menu->MenuAnimation.Exclude(maNone);
    InitItems(Menu->Items(), Value);
}

void TsSkinableMenus::InitItems(TMenuItem* Item, bool Value) {
    if (!Item) return;
    const TAdvancedMenuDrawItemEvent draw(this, &TsSkinableMenus::DrawItem);
    const TMenuMeasureItemEvent measure(this, &TsSkinableMenus::MeasureItem);
    for (int i = 0; i < Item->Count(); ++i) {
        TMenuItem* sub = Item->Items(i);
        if (!Value || !sub->IsTopLevel()) TakeHandlers(sub, Value, draw, measure);
        InitItems(sub, Value);
    }
}

void TsSkinableMenus::InitItem(TMenuItem* Item, bool Value) {
    if (!Item) return;
    if (TMenu* menu = Item->GetParentMenu()) menu->SetOwnerDraw(Value);
    const TAdvancedMenuDrawItemEvent draw(this, &TsSkinableMenus::DrawItem);
    const TMenuMeasureItemEvent measure(this, &TsSkinableMenus::MeasureItem);
    const TAdvancedMenuDrawItemEvent drawMain(this, &TsSkinableMenus::DrawMainItem);
    const TMenuMeasureItemEvent measureMain(this, &TsSkinableMenus::MeasureMainItem);
    if (!Value) {
        TakeHandlers(Item, false, draw, measure);
        TakeHandlers(Item, false, drawMain, measureMain);
    } else if (Item->IsTopLevel()) {
        TakeHandlers(Item, true, drawMain, measureMain);
    } else if (FManager && FManager->SkinnedPopups()) {
        TakeHandlers(Item, true, draw, measure);
    }
}

// The program's own handlers are never replaced: ours go only where it has
// none, and only ours are taken away again, so that its handlers outlive any
// number of skin changes.
void TsSkinableMenus::TakeHandlers(TMenuItem* Item, bool Value, const TAdvancedMenuDrawItemEvent& Draw,
                                   const TMenuMeasureItemEvent& Measure) {
    if (!Value) {
        if (Item->OnAdvancedDrawItem == Draw) Item->OnAdvancedDrawItem = nullptr;
        if (Item->OnMeasureItem == Measure) Item->OnMeasureItem = nullptr;
        return;
    }
    if (!Item->OnAdvancedDrawItem) Item->OnAdvancedDrawItem = Draw;
    if (!Item->OnMeasureItem) Item->OnMeasureItem = Measure;
}

// --- Sizes ----------------------------------------------------------------------

TsMenuItemType MenuItemTypeOf(const TMenuItem* Item) {
    const String& c = Item->Caption();
    if (c == "-") return smDivider;
    if (c.size() > 1 && c.front() == '-' && c.back() == '-') return smCaption;
    return smNormal;
}

void TsSkinableMenus::SetCanvasFont(TCanvas* ACanvas, TMenuItem* Item, bool Bold) {
    if (Screen.Assigned()) ACanvas->Font()->Assign(Screen->MenuFont());
    if (TCustomForm* form = FindOwnerForm(Item)) ACanvas->Font()->SetCharset(form->Font()->Charset());
    TFontStyles style = ACanvas->Font()->Style();
    if (Bold) style.Include(fsBold);
    else style.Exclude(fsBold);
    ACanvas->Font()->SetStyle(style);
}

int TsSkinableMenus::ItemHeight(TCanvas* ACanvas, TMenuItem* Item) {
    const TsMenuItemType type = MenuItemTypeOf(Item);
    if (type == smDivider) return 2;
    SetCanvasFont(ACanvas, Item, Item->Default());
    int h = int(std::lrint(ACanvas->TextHeight("W") * 1.25));  // halves to even
    if (type == smNormal) h = std::max<int>(h, GlyphSizeOf(Item, false).cy);
    return h + 2 * Margin;
}

namespace {
String MeasuredText(const TMenuItem* Item) {
    switch (MenuItemTypeOf(Item)) {
        case smDivider: return String();
        case smCaption: return "-" + Item->Caption() + "-";
        default: return Item->Caption() + ShortCutToText(Item->ShortCut());
    }
}

int TextWidthOf(TCanvas* ACanvas, const String& Text) {
    if (Text.empty()) return 0;
    RECT r{0, 0, 1, 0};
    DrawTextA(ACanvas->Handle(), Text.c_str(), int(Text.size()), &r,
              DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    return r.right - r.left;
}
}  // namespace

void TsSkinableMenus::MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item || item->ComponentState().Contains(csDestroying) || !item->Parent()) return;
    TMenuItem* first = FirstVisible(item->Parent());
    if (first != PopupFirstItem) {
        ResetMenuGlobals();
        PopupFirstItem = first;
    }
    CurrentItemType = MenuItemTypeOf(item);
    if (!ExtraLineFetched && !ExtraLineFetching) {
        const TBoolScope fetching(ExtraLineFetching, true);
        FetchExtraLineData(FManager, first);
    }
    SetCanvasFont(ACanvas, item, item->Default());
    Width = 2 * GlyphSizeOf(item, false).cx + TextWidthOf(ACanvas, MeasuredText(item)) + 3 * Margin + Spacing;
    if (ExtraLineVisible && InFirstColumn(item)) Width += ActiveExtraLineWidth();
    Height = ItemHeight(ACanvas, item);
}

int TsSkinableMenus::PopupHeight(TCanvas* ACanvas, TMenuItem* Item) {
    int tallest = 0, column = 0;
    for (TMenuItem* i : VisibleItems(Item)) {
        if (i->Break() != mbNone) {
            tallest = std::max(tallest, column);
            column = 0;
        }
        column += ItemHeight(ACanvas, i);
    }
    return std::max(tallest, column);
}

int TsSkinableMenus::PopupWidth(TCanvas* ACanvas, TMenuItem* Item) {
    int total = 0, column = 0;
    bool first = true;
    for (TMenuItem* i : VisibleItems(Item)) {
        if (i->Break() != mbNone && !first) {
            total += column + kColumnPad + kColumnGap;
            column = 0;
        }
        first = false;
        SetCanvasFont(ACanvas, i, i->Default());
        int w = 2 * GlyphSizeOf(i, false).cx + TextWidthOf(ACanvas, MeasuredText(i)) + 3 * Margin + Spacing;
        if (InFirstColumn(i)) w += ActiveExtraLineWidth();
        column = std::max(column, w);
    }
    return total + column + kColumnPad;
}

// --- The popup background -----------------------------------------------------------

namespace {
// The extra line's caption, turned a quarter to the left and running from
// Bottom up.
void WriteRotatedCaption(TBitmap* Strip, const TFont* Font, TColor Color, int Bottom) {
    LOGFONTA lf{};
    std::strncpy(lf.lfFaceName, Font->Name().c_str(), LF_FACESIZE - 1);
    lf.lfHeight = Font->Size();
    lf.lfWeight = FW_NORMAL;
    lf.lfItalic = Font->Style().Contains(fsItalic);
    lf.lfUnderline = Font->Style().Contains(fsUnderline);
    lf.lfStrikeOut = Font->Style().Contains(fsStrikeOut);
    lf.lfCharSet = BYTE(Font->Charset());
    lf.lfEscapement = lf.lfOrientation = -2700;
    HFONT rotated = CreateFontIndirectA(&lf);
    HDC dc = Strip->Canvas()->Handle();
    {
        const TSavedDC saved(dc);
        SelectObject(dc, rotated);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(Color));
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        // Turned, the text's cell lies right of its start.
        TextOutA(dc, (Strip->Width() - tm.tmHeight) / 2, Bottom, ExtraLineCaption.c_str(),
                 int(ExtraLineCaption.size()));
    }
    DeleteObject(rotated);
}
}  // namespace

// The extra line down the popup's left side: its section, glyph and caption.
void TsSkinableMenus::PaintExtraLine(TBitmap* Background, int Section, int Border, int Height) {
    const TacMenuSupport* support = FManager->MenuSupport();
    auto strip = NewBitmap24(support->ExtraLineWidth, Height);
    PaintSkinItem(Section, ExtraLineSection, MakeCacheInfo(Background), true, 0, TRect{0, 0, strip->Width(), Height},
                  TPoint{Border, Border}, strip.get(), FManager);
    int textBottom = Height - 12;
    if (ExtraLineGlyph && !ExtraLineGlyph->Empty()) {
        const int gw = ExtraLineGlyph->Width(), gh = ExtraLineGlyph->Height();
        DrawGlyphInto(strip.get(), TRect{(strip->Width() - gw) / 2, Height - 12 - gh, strip->Width(), Height},
                      ExtraLineGlyph, 1, 0, TacGlyphLook());
        textBottom = Height - 20 - gh;
    }
    WriteRotatedCaption(strip.get(), support->ExtraLineFont(),
                        TColor(FManager->gd()[std::size_t(Section)].FontColor[0]), textBottom);
    BitBlt(Background->Canvas()->Handle(), Border, Border, strip->Width(), Height, strip->Canvas()->Handle(), 0, 0,
           SRCCOPY);
}

void TsSkinableMenus::PaintPopupBackground(TMenuItem* Item, int Width, int Height, HWND Window) {
    if (!Item || !Item->Parent() || Width <= 0 || Height <= 0) return;
    TMenuItem* first = FirstVisible(Item->Parent());
    if (PopupBackground && first == PopupFirstItem) return;
    if (!ExtraLineFetched) FetchExtraLineData(FManager, first);
    PopupFirstItem = first;
    FreePopupBackground();
    PopupBackground = NewBitmap24(Width, Height).release();
    TBitmap* bg = PopupBackground;
    GlyphColumnWidth = GlyphSizeOf(Item, false).cx;
    DividerLeft = Margin + GlyphColumnWidth + Spacing;

    const int section = SectionIndexOf(FManager, "MAINMENU");
    if (section >= 0)
        PaintSkinItem(section, "MAINMENU", TCacheInfo(), true, 0, TRect{0, 0, Width, Height}, TPoint{0, 0}, bg,
                      FManager);
    const int sbw = SkinBorderWidth();
    const int stripHeight = Height - 2 * sbw;
    const TacMenuSupport* support = FManager->MenuSupport();
    const int extraSection = SectionIndexOf(FManager, ExtraLineSection);
    if (support->UseExtraLine && ExtraLineVisible && extraSection >= 0 && stripHeight > 0 &&
        support->ExtraLineWidth > 0)
        PaintExtraLine(bg, extraSection, sbw, stripHeight);
    delete ExtraLineGlyph;
    ExtraLineGlyph = nullptr;

    const int icoSection = support->IcoLineSkin.empty() ? -1 : SectionIndexOf(FManager, support->IcoLineSkin);
    if (icoSection >= 0 && stripHeight > 0 && DividerLeft > 0) {
        const TPoint at{ActiveExtraLineWidth() + sbw, sbw};
        auto strip = NewBitmap24(DividerLeft, stripHeight);
        PaintSkinItem(icoSection, support->IcoLineSkin, MakeCacheInfo(bg), true, 0,
                      TRect{0, 0, DividerLeft, stripHeight}, at, strip.get(), FManager);
        BitBlt(bg->Canvas()->Handle(), at.x, at.y, DividerLeft, stripHeight, strip->Canvas()->Handle(), 0, 0, SRCCOPY);
    }

    RegionRects.clear();
    const int mask = MaskIndexOf(FManager, section, "MAINMENU", "BORDERSMASK");
    if (IsValidMaskIndex(FManager, mask)) {
        BorderMaskRegionRects(RegionRects, mask, Width, 0, 0, FManager);
        BorderMaskRegionRects(RegionRects, mask, Width, 1, Height - FManager->ma()[std::size_t(mask)].WB, FManager);
    }
    if (Window) SkinPopupMenuWindow(this, Window, PopupBackground);
}

void TsSkinableMenus::RepaintFrame(HWND Window, TMenuItem* Item, const TRect& ARect, int Factor, TPoint Frame) {
    if (!PopupBackground) return;
    const TWindowDC wdc(Window);
    if (!wdc.DC()) return;
    const int w = PopupBackground->Width(), h = PopupBackground->Height();
    const int b = BorderWidth;
    if (Item == FirstVisible(Item->Parent())) CopyFromBackground(wdc.DC(), 0, 0, w, b, TPoint{0, 0});
    if (Item == LastVisible(Item->Parent())) CopyFromBackground(wdc.DC(), 0, h - b, w, b, TPoint{0, h - b});
    const int y = Frame.y + ARect.top, itemH = ARect.bottom - ARect.top;
    const int left = ActiveExtraLineWidth() * Factor + std::max(SkinBorderWidth(), b);
    if (InFirstColumn(Item)) CopyFromBackground(wdc.DC(), 0, y, left, itemH, TPoint{0, y});
    CopyFromBackground(wdc.DC(), w - b, y, b, itemH, TPoint{w - b, y});
}

// --- Popup items -------------------------------------------------------------------

// How a popup item is drawn, chosen once before any of it is painted.
struct TsSkinableMenus::TItemLook {
    HWND Window = nullptr;  // the popup's window, when the DC tells it
    TPoint Frame{0, 0};     // where the client area lies in the popup
    int Extra = 0;          // the extra line's width left of the item (first column only)
    int Width = 0, Height = 0;
    bool Enabled = false;
    bool Selected = false;
    bool Hot = false;
    bool RightToLeft = false;
    int Section = -1;  // "MENUITEM"
};

namespace {

// Without the window the hook finds it later by the item's place, checked
// again when the message arrives.
void PostItemPlace(TMenuItem* Item) {
    if (!Application.Assigned() || !Application->HandleAllocated()) return;
    MSG queued;
    HWND app = Application->Handle();
    HMENU menu = Item->Parent()->Handle();
    const int index = EntryIndex(Item);
    if (menu && index >= 0 && !PeekMessageA(&queued, app, acPopupItemMessage, acPopupWindowMessage, PM_NOREMOVE))
        PostMessageA(app, acPopupItemMessage, reinterpret_cast<WPARAM>(menu), index);
}

// Gaps of the columns come from the background too: below the last item of
// a column and left of an item that starts one.
void CopyColumnGaps(HDC DC, TMenuItem* Item, const TRect& ARect, TPoint Frame) {
    const int bgBottom = PopupBackground->Height() - 2 * Frame.y;
    const std::vector<TMenuItem*> entries = VisibleItems(Item->Parent());
    const auto at = std::find(entries.begin(), entries.end(), Item);
    const bool last = at + 1 == entries.end();
    const bool nextBreaks = !last && (*(at + 1))->Break() != mbNone;
    if ((nextBreaks || last) && ARect.bottom < bgBottom)
        CopyFromBackground(DC, ARect.left, ARect.bottom, ARect.right - ARect.left, bgBottom - ARect.bottom,
                           TPoint{ARect.left + Frame.x, ARect.bottom + Frame.y});
    if (Item->Break() != mbNone && ARect.left >= kColumnGap)
        CopyFromBackground(DC, ARect.left - kColumnGap, 0, kColumnGap, bgBottom,
                           TPoint{ARect.left - kColumnGap + Frame.x, Frame.y});
}

}  // namespace

void TsSkinableMenus::DrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!FManager || !item || !item->Parent() || ARect.right <= ARect.left || ARect.bottom <= ARect.top) return;
    if (FirstVisible(item->Parent()) != PopupFirstItem) ResetMenuGlobals();
    TsSpeedButton::DropDownMenuShown();
    TItemLook look;
    if (!PreparePopup(item, ACanvas, ARect, look)) return;
    CurrentItemType = MenuItemTypeOf(item);
    if (CurrentItemType == smDivider) return DrawDivider(ACanvas, ARect, look.Frame);
    if (CurrentItemType == smCaption) return DrawCaptionDivider(ACanvas, ARect, item, look.Frame);
    CopyColumnGaps(ACanvas->Handle(), item, ARect, look.Frame);
    ChooseItemLook(item, ARect, State, look);
    if (look.Width > 0) DrawNormalItem(item, ACanvas->Handle(), ARect, State, look);
}

bool TsSkinableMenus::PreparePopup(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TItemLook& Look) {
    HWND window = IsNT ? WindowFromDC(ACanvas->Handle()) : nullptr;
    if (window && !IsPopupMenuWindow(window)) window = nullptr;
    int width, height;
    if (window) {
        RECT r;
        GetWindowRect(window, &r);
        width = r.right - r.left;
        height = r.bottom - r.top;
        Look.Frame = ClientOffset(window);
    } else {
        width = PopupWidth(ACanvas, Item->Parent()) + 2 * BorderWidth;
        height = PopupHeight(ACanvas, Item->Parent()) + 2 * BorderWidth;
        Look.Frame = TPoint{BorderWidth, BorderWidth};
    }
    Look.Window = window;
    PaintPopupBackground(Item, width, height, window);
    if (!PopupBackground) return false;
    if (window) RepaintFrame(window, Item, ARect, InFirstColumn(Item) ? 1 : 0, Look.Frame);
    else PostItemPlace(Item);
    return true;
}

void TsSkinableMenus::ChooseItemLook(TMenuItem* Item, const TRect& ARect, TOwnerDrawState State, TItemLook& Look) {
    Look.Extra = InFirstColumn(Item) ? ActiveExtraLineWidth() : 0;
    Look.Width = ARect.right - ARect.left - Look.Extra;
    Look.Height = ARect.bottom - ARect.top;
    Look.Enabled = Item->Enabled() && !State.Contains(odDisabled) && !State.Contains(odGrayed);
    Look.Selected = State.Contains(odSelected);
    Look.Hot = Look.Enabled && (Look.Selected || State.Contains(odHotLight));
    Look.RightToLeft = RightToLeftMenu(Item) && MiddleEastLocale();
    Look.Section = SectionIndexOf(FManager, "MENUITEM");
}

void TsSkinableMenus::DrawNormalItem(TMenuItem* Item, HDC DC, const TRect& ARect, TOwnerDrawState State,
                                     const TItemLook& Look) {
    const int w = Look.Width, h = Look.Height;
    auto bmp = NewBitmap24(w, h);
    if (Look.Section >= 0)
        PaintSkinItem(Look.Section, "MENUITEM", MakeCacheInfo(PopupBackground, Look.Frame.x, Look.Frame.y), true,
                      Look.Enabled && Look.Selected ? 1 : 0, TRect{0, 0, w, h},
                      TPoint{ARect.left + Look.Extra, ARect.top}, bmp.get(), FManager);
    else
        BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, PopupBackground->Canvas()->Handle(),
               ARect.left + Look.Extra + Look.Frame.x, ARect.top + Look.Frame.y, SRCCOPY);
    if (State.Contains(odChecked)) DrawCheckMark(bmp.get(), Item, Look);
    const TSize glyph = DrawItemGlyph(bmp.get(), Item, Look);
    TCanvas* c = bmp->Canvas();
    DrawItemText(c, Item, State, glyph, Look);
    if (Item->Count() > 0) DrawSubMenuArrow(c, Look);
    if (OnDrawItem) {
        TsMenuManagerDrawItemEvent handler = OnDrawItem;
        handler(Item, c, TRect{0, 0, w, h}, State, CurrentItemType);
    }
    if (!Look.Enabled) {
        const int left = ARect.left + Look.Extra + Look.Frame.x, top = ARect.top + Look.Frame.y;
        // The item keeps its share; the rest is the background's.
        BlendBitmapRect(bmp.get(), 0, 0, TColor(0xFF00FF), 1 - kDisabledItemShare, TRect{left, top, left + w, top + h},
                        PopupBackground);
    }
    BitBlt(DC, ARect.left + Look.Extra, ARect.top, w, h, c->Handle(), 0, 0, SRCCOPY);
    if (Item->Count() > 0 && Look.Window)
        KeepArrowRepair(Look.Window, EntryIndex(Item), ARect, bmp.get(), ARect.left + Look.Extra);
    if (Item == FirstVisible(Item->Parent()) && Look.Extra && (!IsNT || WindowsMajorVersion() >= 6))
        CopyFromBackground(DC, 0, 0, Look.Extra + Look.Frame.x, PopupBackground->Height(), Look.Frame);
}

void TsSkinableMenus::DrawCheckMark(TBitmap* Bmp, TMenuItem* Item, const TItemLook& Look) {
    int mask = MaskIndexOfNoParent(FManager, acGlobalInfoName, Item->RadioItem() ? "RADIOCHECKED" : "CHECK");
    if (!IsValidMaskIndex(FManager, mask)) mask = MaskIndexOfNoParent(FManager, acGlobalInfoName, "BOXCHECKED");
    if (!IsValidMaskIndex(FManager, mask)) return;
    const TSize size = MaskSize(FManager, mask);
    const int x = Look.RightToLeft ? Look.Width - Margin - size.cx : Margin;
    PaintImageState(Bmp, TPoint{x, (Look.Height - size.cy) / 2}, Look.Enabled && Look.Selected ? 1 : 0, mask, 0,
                    FManager);
}

TSize TsSkinableMenus::DrawItemGlyph(TBitmap* Bmp, TMenuItem* Item, const TItemLook& Look) {
    const int w = Look.Width, h = Look.Height;
    const TSize glyph = GlyphSizeOf(Item, false);
    if (Item->HasBitmap()) {
        const int off = (h - glyph.cy) / 2;
        const int x = Look.RightToLeft ? w - off - glyph.cx : off;
        DrawGlyphInto(Bmp, TRect{x, off, x + glyph.cx, off + glyph.cy}, Item->Bitmap(), 1, 0, TacGlyphLook());
    } else if (HasImage(Item)) {
        TCustomImageList* images = Item->GetParentMenu()->Images();
        const int off = (h - images->Height()) / 2;
        const int x = Look.RightToLeft ? w - off - images->Width() : off;
        DrawImageListGlyphInto(Bmp, TRect{x, off, x + images->Width(), off + images->Height()}, images,
                               Item->ImageIndex(), TacGlyphLook());
    }
    return glyph;
}

void TsSkinableMenus::DrawItemText(TCanvas* C, TMenuItem* Item, TOwnerDrawState State, TSize Glyph,
                                   const TItemLook& Look) {
    const int w = Look.Width, h = Look.Height;
    const bool rtl = Look.RightToLeft;
    SetCanvasFont(C, Item, State.Contains(odDefault));
    const int indent = Glyph.cx + 2 * Margin + Spacing;
    TRect text{0, 0, w, h};
    if (rtl) text.right -= indent;
    else text.left += indent;
    String caption = Item->Caption();
    static const UINT alignments[] = {0, DT_RIGHT, DT_CENTER};
    UINT flags = alignments[Alignment];
    if (!caption.empty() && caption[0] == '\b') {
        caption = caption.substr(1) + "      ";
        flags = DT_RIGHT;
    }
    flags |= DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
    if (rtl) flags |= DT_RIGHT;
    if (State.Contains(odNoAccel)) flags |= DT_HIDEPREFIX;
    WriteSkinText(C, caption, true, text, flags, Look.Section, Look.Hot, FManager);
    const String shortcut = ShortCutToText(Item->ShortCut());
    if (shortcut.empty()) return;
    RECT m{0, 0, 0, 0};
    DrawTextA(C->Handle(), shortcut.c_str(), -1, &m, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
    const int tw = m.right - m.left;
    // In the item bitmap, which starts after the extra line.
    TRect sr = rtl ? TRect{6, 0, 6 + tw, h} : TRect{w - tw - 8, 0, w - 8, h};
    WriteSkinText(C, shortcut, true, sr, DT_SINGLELINE | DT_VCENTER, Look.Section, Look.Hot, FManager);
}

// The sub-menu arrow in the item's text colour, where the system puts its own.
void TsSkinableMenus::DrawSubMenuArrow(TCanvas* C, const TItemLook& Look) {
    const int w = Look.Width, h = Look.Height;
    const int ah = std::max(3, h / 4);
    const int ax = Look.RightToLeft ? 6 : w - 8 - ah, ay = h / 2;
    TColor color = clMenuText;
    if (Look.Section >= 0) {
        const TsGeneralData& s = FManager->gd()[std::size_t(Look.Section)];
        color = TColor(Look.Hot ? s.HotFontColor[0] : s.FontColor[0]);
    }
    C->Pen()->SetColor(color);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(color);
    if (Look.RightToLeft) C->Polygon({TPoint{ax + ah, ay - ah}, TPoint{ax + ah, ay + ah}, TPoint{ax, ay}});
    else C->Polygon({TPoint{ax, ay - ah}, TPoint{ax, ay + ah}, TPoint{ax + ah, ay}});
}

void TsSkinableMenus::DrawDivider(TCanvas* ACanvas, const TRect& ARect, TPoint Frame) {
    const int w = ARect.right - ARect.left, h = ARect.bottom - ARect.top;
    int section = SectionIndexOf(FManager, "DIVIDERV");
    int mask = MaskIndexOf(FManager, section, "DIVIDERV", "BORDERSMASK");
    if (!IsValidMaskIndex(FManager, mask)) {
        section = SectionIndexOf(FManager, "TRACKBAR");
        mask = MaskIndexOf(FManager, section, "TRACKBAR", "SLIDERCHANNEL");
    }
    HDC dc = ACanvas->Handle();
    if (!IsValidMaskIndex(FManager, mask)) {
        TRect r = ARect;
        Frame3DOnDC(dc, r, TColor(0x808080), 1, TColor(0xFFFFFF));
        return;
    }
    auto bmp = NewBitmap24(w, h);
    BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, PopupBackground->Canvas()->Handle(), ARect.left + Frame.x,
           ARect.top + Frame.y, SRCCOPY);
    const int extra = ActiveExtraLineWidth();
    int left = extra + Margin + Spacing;
    left = std::max(left, extra + DividerLeft + 2);
    const TRect line{left, 0, w - Margin, h};
    if (line.right > line.left) PaintNineSliceTemplate(bmp.get(), true, 0, mask, line, FManager);
    BitBlt(dc, ARect.left, ARect.top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSkinableMenus::DrawCaptionDivider(TCanvas* ACanvas, const TRect& ARect, TMenuItem* Item, TPoint Frame) {
    const int w = ARect.right - ARect.left, h = ARect.bottom - ARect.top;
    auto bmp = NewBitmap24(w, h);
    HDC bdc = bmp->Canvas()->Handle();
    BitBlt(bdc, 0, 0, w, h, PopupBackground->Canvas()->Handle(), ARect.left + Frame.x, ARect.top + Frame.y, SRCCOPY);
    const int extra = ActiveExtraLineWidth();
    const TRect inner{extra + 1, 1, w - 1, h - 1};
    const int section = SectionIndexOf(FManager, "TOOLBAR");
    if (section >= 0 && inner.right > inner.left && inner.bottom > inner.top)
        PaintSkinItem(section, "TOOLBAR", MakeCacheInfo(PopupBackground, Frame.x, Frame.y), true, 0, inner,
                      TPoint{ARect.left + inner.left, ARect.top + inner.top}, bmp.get(), FManager);
    TCanvas* c = bmp->Canvas();
    c->Font()->Assign(FCaptionFont);
    TRect text{extra, 0, w, h};
    WriteSkinText(c, ExtractDelimitedWord(1, Item->Caption(), "-"), true, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                  section, false, FManager);
    if (OnDrawItem) {
        TsMenuManagerDrawItemEvent handler = OnDrawItem;
        handler(Item, c, TRect{0, 0, w, h}, TOwnerDrawState(), smCaption);
    }
    BitBlt(ACanvas->Handle(), ARect.left, ARect.top, w, h, bdc, 0, 0, SRCCOPY);
}

// --- The menu line -------------------------------------------------------------------

void TsSkinableMenus::MeasureMainItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item) return;
    Height = acSystemMetric(SM_CYMENU) - 1;
    SetCanvasFont(ACanvas, item, item->Default());
    const String text = RemoveChar(item->Caption() + ShortCutToText(item->ShortCut()), '&');
    Width = std::max(Width, ACanvas->TextWidth(text));
}

TacMenuLinePicture TsSkinableMenus::MenuLineUnder(TMenuItem* Item, const TRect& ARect, std::unique_ptr<TBitmap>& Own,
                                                  TPoint& ItemInLine) {
    TMenu* menu = Item->GetParentMenu();
    // A merged item lies on the line of the bar it is merged into.
    if (auto* bar = dynamic_cast<TMainMenu*>(menu); bar && bar->MergedInto()) menu = bar->MergedInto();
    TCustomForm* form = FindOwnerForm(menu);
    TacMenuLinePicture line;
    if (acMenuLineSource && form) line = acMenuLineSource(form);
    if (line.Bmp) {
        ItemInLine = TPoint{ARect.left - line.Origin.x, ARect.top - line.Origin.y};
        return line;
    }
    const int h = ARect.bottom - ARect.top;
    int lineWidth = ARect.right;
    MENUBARINFO mbi{};
    mbi.cbSize = sizeof mbi;
    HWND wnd = form && form->HandleAllocated() ? form->Handle() : nullptr;
    if (wnd && GetMenuBarInfo(wnd, OBJID_MENU, 0, &mbi))
        lineWidth = std::max<int>(lineWidth, mbi.rcBar.right - mbi.rcBar.left);
    Own = NewBitmap24(std::max(lineWidth, 1), h);
    const int lineSection = SectionIndexOf(FManager, "MENULINE");
    if (lineSection >= 0)
        PaintSkinItem(lineSection, "MENULINE", TCacheInfo(), true, 0, TRect{0, 0, Own->Width(), h}, TPoint{0, 0},
                      Own.get(), FManager);
    else FillDC(Own->Canvas()->Handle(), TRect{0, 0, Own->Width(), h}, clMenuBar);
    line.Bmp = Own.get();
    ItemInLine = TPoint{std::min<int>(std::max<int>(0, ARect.left), Own->Width() - 1), 0};
    return line;
}

void TsSkinableMenus::DrawMainItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!FManager || !item) return;
    const int w = ARect.right - ARect.left, h = ARect.bottom - ARect.top;
    if (w <= 0 || h <= 0) return;
    std::unique_ptr<TBitmap> ownLine;
    TPoint itemInLine;
    const TacMenuLinePicture line = MenuLineUnder(item, ARect, ownLine, itemInLine);

    const bool enabled = item->Enabled() && !State.Contains(odDisabled) && !State.Contains(odGrayed);
    const bool hot = State.Contains(odSelected) || State.Contains(odHotLight);
    auto bmp = NewBitmap24(w, h);
    const int section = SectionIndexOf(FManager, "MENUITEM");
    BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, line.Bmp->Canvas()->Handle(), itemInLine.x, itemInLine.y, SRCCOPY);
    if (section >= 0)
        PaintSkinItem(section, "MENUITEM", MakeCacheInfo(line.Bmp), true, hot ? 1 : 0, TRect{0, 0, w, h}, itemInLine,
                      bmp.get(), FManager);
    TSize glyph = GlyphSizeOf(item, true);
    const bool rtl = RightToLeftMenu(item) && MiddleEastLocale();
    TCustomImageList* images = HasImage(item) ? item->GetParentMenu()->Images() : nullptr;
    // An image of the menu's list takes its room beside the caption too.
    if (!item->HasBitmap() && images) glyph = TSize{images->Width(), images->Height()};
    const int gx = rtl ? w - 3 - glyph.cx : 3, gy = (h - glyph.cy) / 2;
    const TRect glyphRect{gx, gy, gx + glyph.cx, gy + glyph.cy};
    if (item->HasBitmap()) DrawGlyphInto(bmp.get(), glyphRect, item->Bitmap(), 1, 0, TacGlyphLook());
    else if (images) DrawImageListGlyphInto(bmp.get(), glyphRect, images, item->ImageIndex(), TacGlyphLook());
    TCanvas* c = bmp->Canvas();
    SetCanvasFont(c, item, State.Contains(odDefault));
    static const UINT alignments[] = {0, DT_RIGHT, DT_CENTER};
    UINT flags = alignments[Alignment] | DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_EXPANDTABS;
    if (State.Contains(odNoAccel)) flags |= DT_HIDEPREFIX;
    TRect text{Margin, 0, w - Margin, h};
    if (rtl) text.right -= glyph.cx;
    else text.left += glyph.cx;
    const int lineSection = SectionIndexOf(FManager, "MENULINE");
    WriteSkinText(c, item->Caption(), true, text, flags, lineSection, enabled && hot, FManager);
    const String shortcut = ShortCutToText(item->ShortCut());
    if (!shortcut.empty()) {
        TRect sr{0, 0, w - 8, h};
        WriteSkinText(c, shortcut, true, sr, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS, lineSection,
                      enabled && hot, FManager);
    }
    if (OnDrawItem) {
        TsMenuManagerDrawItemEvent handler = OnDrawItem;
        handler(item, c, TRect{0, 0, w, h}, State, smTopLine);
    }
    if (!enabled)
        BlendBitmapAt(bmp.get(), line.Bmp, kDisabledLineTransparency, TPoint{0, 0},
                      TRect{itemInLine.x, itemInLine.y, itemInLine.x + w, itemInLine.y + h});
    BitBlt(ACanvas->Handle(), ARect.left, ARect.top, w, h, c->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------
// The popup window

void SkinPopupMenuWindow(TsSkinableMenus* Painter, HWND Window, TBitmap* Background) {
    if (!Painter || Painter->InRegion || !IsPopupMenuWindow(Window)) return;
    const TBoolScope inRegion(Painter->InRegion, true);
    std::unique_ptr<TWindowProcSubclass>& hook = PopupHooks()[Window];
    // A handle of a window gone unnoticed may come again: its hook is stale.
    if (!hook || hook->Handle() != Window) {
        hook = std::make_unique<TWindowProcSubclass>();
        TWindowProcSubclass* raw = hook.get();
        hook->Attach(Window, [Window, raw](TMessage& Message) { PopupMenuWindowMessage(Window, raw, Message); });
    }
    if (!IsNT || !Background || Background->Empty()) return;
    // A popup-menu adapter that skins the window answers non-zero.
    if (SendSkinCommandToWindow(Window, AC_SETUPDATING, 0, 0) != 0) return;
    SendSkinCommandToWindow(Window, AC_POPUPQUERY, 0);
    std::vector<TRect> cut = Painter->RegionRects;
    if (cut.empty()) cut.push_back(TRect{0, 0, 1, 1});
    HRGN region = RegionWithoutRects(Background->Width(), Background->Height(), cut);
    if (region && !SetWindowRgn(Window, region, TRUE)) DeleteObject(region);
}

void FreePopupBackground() {
    delete PopupBackground;
    PopupBackground = nullptr;
}

void ResetMenuGlobals() {
    PopupFirstItem = nullptr;
    FreePopupBackground();
    ExtraLineVisible = false;
    ExtraLineFetched = false;
    delete ExtraLineGlyph;
    ExtraLineGlyph = nullptr;
}

bool PopupMenuMessage(TsSkinManager* Manager, TMessage& Message) {
    TsSkinableMenus* painter = Manager ? Manager->SkinableMenus : nullptr;
    if (!painter) return false;
    if (Message.Msg == acPopupWindowMessage) {
        const auto window = reinterpret_cast<HWND>(Message.LParam);
        if (PopupBackground && IsPopupMenuWindow(window)) SkinPopupMenuWindow(painter, window, PopupBackground);
        return true;
    }
    if (Message.Msg != acPopupItemMessage || !PopupBackground) return false;
    // The menu may have been rebuilt or freed since the post: only a live
    // menu of the library with an entry at that place is looked at.
    const auto menu = reinterpret_cast<HMENU>(Message.WParam);
    const int index = int(Message.LParam);
    if (!menu || !IsMenu(menu) || !FindMenuItemByHandle(menu) || index < 0 || index >= GetMenuItemCount(menu))
        return true;
    RECT r;
    if (!GetMenuItemRect(nullptr, menu, UINT(index), &r) && !GetMenuItemRect(PopupList.Window(), menu, UINT(index), &r))
        return true;
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    HWND window = WindowFromPoint(centre);
    if (IsPopupMenuWindow(window)) SkinPopupMenuWindow(painter, window, PopupBackground);
    return true;
}

// ---------------------------------------------------------------------------
// The engine makes, frees and switches the painter through its hooks.

namespace {
struct TacMenuHooksRegistration {
    TacMenuHooksRegistration() {
        acEngineHooks.CreateSkinableMenus = [](TsSkinManager* M) { return new TsSkinableMenus(M); };
        acEngineHooks.FreeSkinableMenus = [](TsSkinableMenus* P) {
            ResetMenuGlobals();
            // A manager freed with its skin on: the items must not keep
            // handlers that call into the painter about to go.
            if (P && P->Active()) P->InitMenus(false);
            delete P;
        };
        // The engine asks whether the painter is in the state "skin active and
        // popups skinned" and sets that state otherwise. Main menus follow the
        // skin alone and popups SkinnedPopups too, so the answer is "not yet"
        // whenever either of them changed, and setting takes both.
        acEngineHooks.MenusActive = [](TsSkinableMenus* P) {
            const TsSkinManager* m = P->Manager();
            const bool wanted = m && m->Active() && m->SkinnedPopups();
            return P->UpToDate() ? wanted : !wanted;
        };
        acEngineHooks.SetMenusActive = [](TsSkinableMenus* P, bool) {
            P->InitMenus(P->Manager() && P->Manager()->Active());
        };
        acEngineHooks.ResetMenuBorderWidth = [](TsSkinableMenus* P) {
            P->SetSkinBorderWidth(-1);
            // Another skin: no picture of the old one may be shown again, and
            // menus made since the last change take the painter too.
            ResetMenuGlobals();
            if (P->Active()) P->InitMenus(true);
        };
        acEngineHooks.PopupMenuMessage = PopupMenuMessage;
    }
    ~TacMenuHooksRegistration() {
        ResetMenuGlobals();
        ExtraLineSection.clear();
        ExtraLineCaption.clear();
    }
};
const TacMenuHooksRegistration registration;
}  // namespace

// Referenced by the link options of the skin library so that the linker keeps
// this unit (and its registration) in every program.
extern "C" {
int acSkinMenusUnit = 0;
}
