// The provider's painting: the frame image in the cache, title buttons and
// caption, the menu line, the copy to the window and the client area.
#include "sSkinProvider.h"

#include "Scopes.h"
#include "acSBUtils.h"
#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinMenus.h"
#include "sSkinText.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

const char kGlobalInfo[] = "GLOBALINFO";

TsSkinManager* ManagerOf(TsCommonData* Data) { return Data ? Data->GetSkinManager() : nullptr; }

// Position of Item in the menu bar Menu (matched by its command or its
// sub-menu), -1 when it is not there.
int MenuBarPosition(HMENU Menu, TMenuItem* Item) {
    for (int i = 0, n = Menu ? GetMenuItemCount(Menu) : 0; i < n; ++i) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(Menu, UINT(i), TRUE, &mii)) continue;
        if ((mii.hSubMenu && mii.hSubMenu == Item->Handle()) || (!mii.hSubMenu && mii.wID == Item->Command())) return i;
    }
    return -1;
}

// Windows put on the form by handle are no controls of the class library, so
// the form's control list does not reach them: an adapter on one that left
// its paint for later (the form's picture was being made) hears of it here.
// Only adapted windows answer the command, so the adapters' own list is
// walked, not the form's children.
void RefreshForeignChildWindows(HWND Form) {
    std::vector<HWND> children;  // an answer may free adapters of the list
    for (const TacMainWnd* a : ForeignChildAdapters(Form)) children.push_back(a->CtrlHandle);
    for (HWND h : children)
        if (IsWindow(h) && IsWindowVisible(h)) SendSkinCommandToWindow(h, AC_PARENTCHANGED, 0);
}

}  // namespace

// ---------------------------------------------------------------------------
// The title elements

void TsFormTitle::LoadMasks() {
    TsCommonData* d = FProvider->SkinData();
    TForm* form = FProvider->Form;
    TsSkinManager* m = ManagerOf(d);
    if (!m || !form) return;
    const int gi = SectionIndexOf(m, kGlobalInfo);
    auto global = [&](const char* name) { return MaskIndexOf(m, gi, kGlobalInfo, name); };
    const String own = d->SkinSection();
    const bool small = form->BorderStyle() != bsSingle && form->BorderStyle() != bsSizeable;
    const TacTitleMasks masks = LoadTitleMasks(m, d->SkinIndex, own, small);
    SetMasks(masks);
    MDIMin.ImageIndex = masks.Min;
    MDIMax.ImageIndex = masks.Max;
    MDIClose.ImageIndex = masks.Close;
    // A maximized MDI child's buttons on the menu line take the small glyphs of a global set.
    const bool globalSet =
        MaskIndexOfNoParent(m, kGlobalInfo, "BICONCLOSE") >= 0 && global(small ? "SICONCLOSE" : "BICONCLOSE") >= 0;
    if (globalSet && global("SICONMIN") >= 0) {
        MDIMin.ImageIndex = global("SICONMIN");
        MDIMax.ImageIndex = global("SICONMAX");
        MDIClose.ImageIndex = global("SICONCLOSE");
    }
    FUserMask = global("TITLEBUTTON");
    if (FUserMask < 0) FUserMask = MaskIndexOf(m, d->SkinIndex, own, "TITLEBUTTON");
    TsTitleButtons* user = FProvider->TitleButtons();
    for (int i = 0; i < user->Count(); ++i) {
        TsTitleButton* b = user->Items(i);
        b->BtnData.ImageIndex = b->UseSkinData ? FUserMask : -1;
    }
}

int TsFormTitle::Mask(int Code) const {
    TsCommonData* d = FProvider->SkinData();
    TsSkinManager* m = ManagerOf(d);
    const HWND h = Window();
    const bool iconic = h && IsIconic(h), zoomed = h && IsZoomed(h);
    switch (Code) {
        case teClose:
        case teMax:
        case teMin:
        case teHelp: return TitleButtonMask(m, d->SkinIndex, d->SkinSection(), Masks(), Code, iconic, zoomed);
        case teMDIClose: return MDIClose.ImageIndex;
        case teMDIMax: {
            // The small restore glyph where the skin has one.
            const int g = MaskIndexOfNoParent(m, kGlobalInfo, "SICONNORM");
            const int restore = g >= 0 ? g : MaskIndexOf(m, d->SkinIndex, d->SkinSection(), "SICONNORM");
            return restore >= 0 ? restore
                                : TitleButtonMask(m, d->SkinIndex, d->SkinSection(), Masks(), teMax, false, true);
        }
        case teMDIMin: return MDIMin.ImageIndex;
        default:
            if (Code >= teUserFirst && Code - teUserFirst < FProvider->TitleButtons()->Count())
                return FProvider->TitleButtons()->Items(Code - teUserFirst)->BtnData.ImageIndex;
            return -1;
    }
}

bool TsFormTitle::Enabled(int Code) const {
    const TsSystemMenu* menu = FProvider->SystemMenu;
    const HWND h = Window();
    switch (Code) {
        case teMax: return menu && (h && IsZoomed(h) ? menu->EnabledRestore() : menu->EnabledMax());
        case teMin: return menu && (h && IsIconic(h) ? menu->EnabledRestore() : menu->EnabledMin());
        default:
            if (Code >= teUserFirst && Code - teUserFirst < FProvider->TitleButtons()->Count())
                return FProvider->TitleButtons()->Items(Code - teUserFirst)->Enabled;
            return true;
    }
}

TsCaptionButton* TsFormTitle::Element(int Code) {
    switch (Code) {
        case teMDIClose: return &MDIClose;
        case teMDIMax: return &MDIMax;
        case teMDIMin: return &MDIMin;
        default:
            if (Code >= teUserFirst && Code - teUserFirst < FProvider->TitleButtons()->Count())
                return &FProvider->TitleButtons()->Items(Code - teUserFirst)->BtnData;
            return TacTitleElements::Element(Code);
    }
}

HWND TsFormTitle::Window() const {
    const TForm* form = FProvider->Form;
    return form && form->HandleAllocated() ? form->Handle() : nullptr;
}

std::vector<int> TsFormTitle::Shown() const {
    std::vector<int> codes;
    const TForm* form = FProvider->Form;
    const TsSystemMenu* menu = FProvider->SystemMenu;
    if (!FProvider->HasBorder() || FProvider->CaptionHeight() == 0) return codes;
    if (form->BorderIcons().Contains(biSystemMenu) && menu) {
        codes.push_back(teClose);
        if (menu->VisibleMax()) codes.push_back(teMax);
        if (menu->VisibleMin()) codes.push_back(teMin);
        if (form->BorderIcons().Contains(biHelp)) codes.push_back(teHelp);
    }
    for (int i = 0; i < FProvider->TitleButtons()->Count(); ++i) codes.push_back(teUserFirst + i);
    return codes;
}

int TsFormTitle::UserButtonWidth(TsTitleButton* Button) const {
    const int glyph = Button->Glyph()->Empty() ? 0 : Button->Glyph()->Width() + 2;
    return std::max(glyph, int(TitleButtonSize(ManagerOf(FProvider->SkinData()), FUserMask).cx));
}

int TsFormTitle::ButtonsWidth() const {
    const TForm* form = FProvider->Form;
    const TsSystemMenu* menu = FProvider->SystemMenu;
    TsSkinManager* m = ManagerOf(FProvider->SkinData());
    const int space = TitleButtonSpace(m);
    int w = 0;
    if (form && form->BorderIcons().Contains(biSystemMenu) && menu) {
        w += TitleButtonSize(m, Close.ImageIndex).cx + space;
        if (menu->VisibleMax()) w += TitleButtonSize(m, Max.ImageIndex).cx + space;
        if (menu->VisibleMin()) w += TitleButtonSize(m, Min.ImageIndex).cx + space;
        if (form->BorderIcons().Contains(biHelp)) w += TitleButtonSize(m, Help.ImageIndex).cx + space;
    }
    for (int i = 0; i < FProvider->TitleButtons()->Count(); ++i)
        w += UserButtonWidth(FProvider->TitleButtons()->Items(i)) + space;
    return w;
}

// ---------------------------------------------------------------------------
// The frame image

void TsSkinProvider::PaintAll() {
    const bool titleOnly = std::exchange(FTitleOnly, false);
    if (!Form || !Form->HandleAllocated() || Form->FormState().Contains(fsCreating)) return;
    TBitmap* cache = FSkinData->CacheBmp;
    if (!ManagerOf(FSkinData) || !cache) return;
    const bool iconic = IsIconic(Form->Handle()) != FALSE;
    const int w = FormWidth();
    const int h = iconic ? CaptionHeight() + SysBorderHeight() + 1 : FormHeight();
    if (FSkinData->BGChanged || cache->Width() != w || cache->Height() != h) {
        if (titleOnly && KeptFrameFits(w, h, iconic)) {
            RepaintTitle();
        } else {
            PaintFrameImage(w, h, iconic);
            // Windowless children keep pictures of their background: they take it anew.
            FClientRepaint = true;
        }
        FMenuChanged = false;
        FramePainted = true;
        FSkinData->BGChanged = false;
        FClientFillKnown = false;
    }
    FSkinData->Updating = false;
}

void TsSkinProvider::PaintFrameImage(int W, int H, bool Iconic) {
    TsSkinManager* m = ManagerOf(FSkinData);
    TBitmap* cache = FSkinData->CacheBmp;
    const int caption = CaptionHeight(), sbh = SysBorderHeight();
    RgnChanged = true;
    cache->SetPixelFormat(pf24bit);
    cache->SetSize(W, H);
    const TRect all{0, 0, W, H};
    if (IsValidSectionIndex(m, FSkinData->SkinIndex)) {
        if (caption == 0) PaintDataItemBackground(FSkinData, TCacheInfo(), 0, cache, TPoint{0, 0}, all);
        else PaintDataItem(FSkinData, TCacheInfo(), true, cache, TPoint{0, 0}, all, FormActive ? 1 : 0);
    }
    if (MDIForm && !Iconic) MDIForm->PaintArea(cache);
    if (GripMode == gmRightBottom) PaintFrameGrip(cache, m, SysBorderWidth(), SysBorderHeight());
    const TsGeneralData* section = FSkinData->Section();
    if (section && section->ReservedBoolean && caption != 0 && !Iconic) SaveFrameImage();
    else FrameBmp.reset();
    const TacTitleLook look = caption != 0 ? TitleLook(Iconic ? H : caption + sbh) : TacTitleLook{};
    if (caption != 0) PaintTitleBackground(cache, m, look, [this] { PaintTitleIcon(); });
    if (MenuPresent() && MenuRowHeight() > 0 && !Iconic) PaintMenuLine();
    Title.PaintMDIButtons();
    if (caption != 0) PaintTitleTop(look);
}

void TsSkinProvider::PaintTitleTop(const TacTitleLook& Look) {
    TBitmap* cache = FSkinData->CacheBmp;
    // The strip reaches a little left of the buttons: a wider one may come with a new caption.
    Title.Strip.Save(cache, cache->Width() - std::min(Title.ButtonsWidth() + SysBorderWidth() + 10, cache->Width()),
                     CaptionHeight() + SysBorderHeight());
    Title.PaintButtons();
    PaintTitleCaption(cache, ManagerOf(FSkinData), Look);
}

void TsSkinProvider::TitleChanged() {
    FTitleOnly = !FSkinData->BGChanged;
    FSkinData->BGChanged = true;
}

// The kept frame is the one under the title now: the cache holds the frame of
// this size (painted in the same active state, since any other change asks for
// a whole new picture), and the menu line stands.
bool TsSkinProvider::KeptFrameFits(int W, int H, bool Iconic) const {
    const TBitmap* cache = FSkinData->CacheBmp;
    const TsGeneralData* section = FSkinData->Section();
    return FrameBmp && section && section->ReservedBoolean && !FMenuChanged && !Iconic && CaptionHeight() != 0 &&
           FrameBmp->Width() == W && FrameBmp->Height() == CaptionHeight() + SysBorderHeight() && cache->Width() == W &&
           cache->Height() == H;
}

void TsSkinProvider::SaveFrameImage() {
    TBitmap* cache = FSkinData->CacheBmp;
    const int rows = CaptionHeight() + SysBorderHeight();
    if (!FrameBmp || FrameBmp->Width() != cache->Width() || FrameBmp->Height() != rows)
        FrameBmp = NewBitmap24(cache->Width(), rows);
    BitBlt(FrameBmp->Canvas()->Handle(), 0, 0, cache->Width(), rows, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The title over the kept frame, drawn as a whole frame paint draws it.
void TsSkinProvider::RepaintTitle() {
    TBitmap* cache = FSkinData->CacheBmp;
    BitBlt(cache->Canvas()->Handle(), 0, 0, FrameBmp->Width(), FrameBmp->Height(), FrameBmp->Canvas()->Handle(), 0, 0,
           SRCCOPY);
    const TacTitleLook look = TitleLook(CaptionHeight() + SysBorderHeight());
    PaintTitleBackground(cache, ManagerOf(FSkinData), look, [this] { PaintTitleIcon(); });
    PaintTitleTop(look);
}

void TsSkinProvider::PaintTitleIcon() {
    if (IconWidth() <= 0 || IconHeight() <= 0) return;
    TBitmap* cache = FSkinData->CacheBmp;
    const TRect r = IconRect();
    if (!FTitleIcon->Glyph()->Empty()) {
        // A custom glyph is sized for the caption alone, never for the menu line below it.
        const int size = TitleIconSize(CaptionHeight());
        const int gw = FTitleIcon->Width ? FTitleIcon->Width : size,
                  gh = FTitleIcon->Height ? FTitleIcon->Height : size;
        std::unique_ptr<TBitmap> glyph = NewBitmap24(gw, gh);
        StretchBlt(glyph->Canvas()->Handle(), 0, 0, gw, gh, FTitleIcon->Glyph()->Canvas()->Handle(), 0, 0,
                   FTitleIcon->Glyph()->Width(), FTitleIcon->Glyph()->Height(), SRCCOPY);
        CopyBitmapRows(cache, glyph.get(), r.left, r.top, TColor(0xFF00FF));
        return;
    }
    HICON icon = nullptr;
    if (!Form->Icon()->Empty()) icon = Form->Icon()->Handle();
    else if (!Application->Icon()->Empty()) icon = Application->Icon()->Handle();
    else if (IconHeight() > 16 && acProgramIconLarge) icon = acProgramIconLarge;
    else if (acProgramIconSmall) icon = acProgramIconSmall;
    else icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    DrawIconEx(cache->Canvas()->Handle(), r.left, r.top, icon, IconWidth(), IconHeight(), 0, nullptr, DI_NORMAL);
}

void TsFormTitle::PaintUserGlyph(TsTitleButton* Button, bool Pressed, bool Dimmed) {
    TBitmap* glyph = Button->Glyph();
    if (glyph->Empty()) return;
    std::unique_ptr<TBitmap> g24 = NewBitmap24(glyph->Width(), glyph->Height());
    BitBlt(g24->Canvas()->Handle(), 0, 0, glyph->Width(), glyph->Height(), glyph->Canvas()->Handle(), 0, 0, SRCCOPY);
    const TRect& r = Button->BtnData.Rect;
    const int x = r.left + (r.right - r.left - glyph->Width()) / 2 + (Pressed ? 1 : 0);
    const int y = r.top + (r.bottom - r.top - glyph->Height()) / 2 + (Pressed ? 1 : 0);
    const TColor key = GetPixel(g24->Canvas()->Handle(), 0, glyph->Height() - 1);
    TBitmap* cache = FProvider->SkinData()->CacheBmp;
    // Dimmed as the button's own glyph is: at half strength over what lies under it.
    std::unique_ptr<TBitmap> under = NewBitmap24(glyph->Width(), glyph->Height());
    if (Dimmed)
        BitBlt(under->Canvas()->Handle(), 0, 0, glyph->Width(), glyph->Height(), cache->Canvas()->Handle(), x, y,
               SRCCOPY);
    CopyBitmapRows(cache, g24.get(), x, y, key);
    if (Dimmed) BlendBitmapAt(cache, under.get(), 128, TPoint{x, y}, TRect{0, 0, glyph->Width(), glyph->Height()});
}

void TsFormTitle::PaintButtons() {
    TsSkinProvider* p = FProvider;
    if (!p->HasBorder()) return;
    TsSkinManager* m = ManagerOf(p->SkinData());
    TBitmap* cache = p->SkinData()->CacheBmp;
    const int height = TitleButtonSize(m, Close.ImageIndex).cy;
    TacTitleRow row(p->FormWidth() - p->SysBorderWidth(), TitleButtonSpace(m), p->CaptionHeight(),
                    p->SysBorderHeight());
    Strip.RestoreAll(cache);
    for (int code : Shown()) {
        TsCaptionButton* b = Element(code);
        TsTitleButton* user = code >= teUserFirst ? p->TitleButtons()->Items(code - teUserFirst) : nullptr;
        const int width = user ? UserButtonWidth(user) : int(TitleButtonSize(m, b->ImageIndex).cx);
        const bool enabled = Enabled(code);
        row.Place(*b, TSize{width, height});
        PaintTitleButton(cache, *b, Mask(code), enabled ? b->State : TsPaintState::Normal, !(p->FormActive && enabled),
                         m);
        if (user) PaintUserGlyph(user, b->State == TsPaintState::Pressed, !(p->FormActive && enabled));
    }
}

// The form's title: the title section (or its own TitleSkin) under the skin's
// global strip, its caption bold in the form's font, aligned as asked and
// ended with an ellipsis where it is too long.
TacTitleLook TsSkinProvider::TitleLook(int BandBottom) const {
    const int w = FormWidth(), top = CaptionHeight() + SysBorderHeight();
    TacTitleLook look;
    look.Active = FormActive;
    look.Band = TRect{0, 0, w, BandBottom};
    look.Section = TitleSection();
    if (Form->BorderIcons().Contains(biSystemMenu) && SystemMenu)
        look.BarMask = MaskIndexOfNoParent(ManagerOf(FSkinData), kGlobalInfo, "TITLEBAR");
    look.BarSpan = TRect{w - Title.ButtonsWidth(), 0, w, top};
    look.BarExtent = TacBarExtent::ToRightEnd;
    look.Text = Form->Caption();
    look.TextRect = TRect{SysBorderWidth() + IconWidth() + 4, SysBorderHeight() / 2, w - Title.ButtonsWidth() - 6, top};
    look.Font = Form->Font();
    look.Bold = true;
    look.FontHeight = CaptionFontHeight();
    look.Alignment = TextFlagsForAlignment(Form, FCaptionAlignment);
    look.Cut = TacCaptionCut::Ellipsis;
    look.Enabled = Form->Enabled();
    look.TextSection = look.Section >= 0 ? look.Section : FSkinData->SkinIndex;
    return look;
}

void TsSkinProvider::PaintMenuLine() {
    TsSkinManager* m = ManagerOf(FSkinData);
    TBitmap* cache = FSkinData->CacheBmp;
    const int top = CaptionHeight() + SysBorderHeight();
    const int height = MenuRows() * MenuRowHeight();
    // The line reaches down to the client area (the system keeps a row under
    // its items) and stays inside the frame's side edges.
    int bottom = top + height;
    if (Form->HandleAllocated()) {
        POINT client{0, 0};
        RECT wr{};
        ClientToScreen(Form->Handle(), &client);
        GetWindowRect(Form->Handle(), &wr);
        bottom = std::max<int>(bottom, client.y - wr.top);
    }
    int left = 0, right = cache->Width();
    if (IsValidMaskIndex(m, FSkinData->BorderIndex)) {
        const TsMaskData& k = m->ma()[std::size_t(FSkinData->BorderIndex)];
        left = k.WL;
        right -= k.WR;
    }
    const TRect band{left, top, right, std::min(bottom, cache->Height())};
    if (band.bottom <= band.top || band.right <= band.left) return;
    int line = FMenuLineSkin.empty() ? -1 : SectionIndexOf(m, FMenuLineSkin);
    if (line < 0) line = SectionIndexOf(m, "MENULINE");
    if (line >= 0)
        PaintSkinItem(line, m->gd()[std::size_t(line)].Name, MakeCacheInfo(cache), true, FormActive ? 1 : 0, band,
                      TPoint{left, top}, cache, m);
    MenuLineBmp->SetPixelFormat(pf24bit);
    MenuLineBmp->SetSize(FormWidth(), band.bottom - band.top);
    BitBlt(MenuLineBmp->Canvas()->Handle(), 0, 0, MenuLineBmp->Width(), MenuLineBmp->Height(),
           cache->Canvas()->Handle(), 0, top, SRCCOPY);
    // The system does not draw the menu bar while the provider paints the frame:
    // each item is drawn here by its own owner-draw handler.
    HMENU menu = GetMenu(Form->Handle());
    RECT wr{};
    GetWindowRect(Form->Handle(), &wr);
    if (TCustomForm* child = MaximizedChild()) {
        // The system puts the child's window menu first on the line: its icon stands for it.
        HICON icon = !child->Icon()->Empty() ? child->Icon()->Handle() : acProgramIconSmall;
        if (!icon) icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
        const int size = MenuRowHeight() - 2;
        DrawIconEx(cache->Canvas()->Handle(), SysBorderWidth() + 1, top + 1, icon, size, size, 0, nullptr, DI_NORMAL);
    }
    // The frame's items and those of its active MDI child merged among them.
    for (TMenuItem* item : Form->Menu()->ShownItems()) {
        // The item's place in the menu bar, which may hold items of the system's own.
        const int pos = MenuBarPosition(menu, item);
        RECT r{};
        if (pos >= 0 && GetMenuItemRect(Form->Handle(), menu, UINT(pos), &r)) {
            OffsetRect(&r, -wr.left, -wr.top);
            const TOwnerDrawState state = item->Enabled() ? TOwnerDrawState() : TOwnerDrawState{odDisabled};
            const int saved = SaveDC(cache->Canvas()->Handle());
            item->AdvancedDrawItem(cache->Canvas(), TRect(r), state, true);
            RestoreDC(cache->Canvas()->Handle(), saved);
        }
    }
}

TCustomForm* TsSkinProvider::MaximizedChild() const {
    if (!Form || Form->FormStyle() != fsMDIForm || !Form->Menu()) return nullptr;
    TCustomForm* child = Form->ActiveMDIChild();
    return child && child->HandleAllocated() && IsZoomed(child->Handle()) ? child : nullptr;
}

void TsFormTitle::PaintMDIButtons() {
    for (TsCaptionButton* b : {&MDIMin, &MDIMax, &MDIClose}) b->Rect = TRect{0, 0, 0, 0};
    TsSkinProvider* p = FProvider;
    TCustomForm* child = p->MaximizedChild();
    if (!child || !p->MenuPresent()) return;
    TsSkinManager* m = ManagerOf(p->SkinData());
    const TSize mask = MaskSize(m, MDIClose.ImageIndex);
    const int w = mask.cx > 0 ? int(mask.cx) : 16, h = mask.cy > 0 ? int(mask.cy) : 16;
    const int top = p->CaptionHeight() + p->SysBorderHeight() + (p->MenuRowHeight() - h) / 2;
    const int right = p->FormWidth() - p->SysBorderWidth();
    const TsSkinProvider* cp = ProviderOf(child);
    const TsSystemMenu* menu = cp ? cp->SystemMenu : nullptr;
    const int codes[3] = {teMDIMin, teMDIMax, teMDIClose};
    for (int i = 0; i < 3; ++i) {
        TsCaptionButton* b = Element(codes[i]);
        SetRectBounds(b->Rect, right - (3 - i) * (w + 1), top, w, h);
        const bool enabled = !cp || (codes[i] == teMDIMin   ? menu && menu->EnabledMin()
                                     : codes[i] == teMDIMax ? menu && menu->EnabledRestore()
                                                            : true);
        PaintTitleButton(p->SkinData()->CacheBmp, *b, Mask(codes[i]), enabled ? b->State : TsPaintState::Normal, false,
                         m);
    }
}

// ---------------------------------------------------------------------------
// To the screen

void TsSkinProvider::UpdateFrame(HDC DC) {
    if (!Form || !DC) return;
    const bool iconic = IsIconic(Form->Handle()) != FALSE;
    const int t = SysBorderHeight() + CaptionHeight() + (iconic ? 1 : 0);
    TBitmap* cache = FSkinData->CacheBmp;
    if (FSkinData->BGChanged || cache->Width() != FormWidth()) PaintAll();
    HDC src = cache->Canvas()->Handle();
    const int w = FormWidth(), h = FormHeight(), bw = Form->BorderWidth();
    const int header = iconic ? cache->Height() : HeaderHeight();
    BitBlt(DC, 0, 0, w, header, src, 0, 0, SRCCOPY);
    if (iconic) return;
    const int menu = MenuPresent() ? MenuRows() * MenuRowHeight() : 0;
    const int top = menu + t + bw;
    const int side = SysBorderWidth() + bw;
    BitBlt(DC, 0, top, side, cache->Height(), src, 0, top, SRCCOPY);
    BitBlt(DC, BottomFrame(), h - BottomFrame(), w - BottomFrame(), BottomFrame(), src, BottomFrame(),
           h - BottomFrame(), SRCCOPY);
    BitBlt(DC, 0, h - BottomFrame(), BottomFrame(), BottomFrame(), src, 0, h - BottomFrame(), SRCCOPY);
    // The right strip is as wide as the left one.
    BitBlt(DC, cache->Width() - side, top, side, cache->Height(), src, cache->Width() - side, top, SRCCOPY);
    if (acAnimationWindow) SendSkinCommandToWindow(acAnimationWindow, AC_REFRESH, 0);
}

void TsSkinProvider::RepaintFormFrame(bool TitleOnly) {
    TsSkinProvider* p = this;
    if (Form && Form->FormStyle() == fsMDIChild && Form->HandleAllocated() && IsZoomed(Form->Handle()) &&
        MDISkinProvider)
        p = MDISkinProvider;
    if (!p->Form || !p->Form->HandleAllocated()) return;
    if (TitleOnly && p == this) TitleChanged();
    else p->FrameChanged();
    TWindowDC dc(p->Form->Handle());
    const int saved = SaveDC(dc.DC());
    p->UpdateFrame(dc.DC());
    RestoreDC(dc.DC(), saved);
}

void TsFormTitle::Repaint(int Code) {
    TsSkinProvider* p = FProvider;
    TsCaptionButton* b = Element(Code);
    if (!b || !Window() || Strip.Empty()) return;
    if (p->IconRect().right >= b->Rect.left || b->Rect.right <= b->Rect.left) return;
    TBitmap* cache = p->SkinData()->CacheBmp;
    // The button's own background first: its glyph may let it show through.
    const bool mdi = Code == teMDIMin || Code == teMDIMax || Code == teMDIClose;
    if (mdi) {
        const int top = p->CaptionHeight() + p->SysBorderHeight();
        BitBlt(cache->Canvas()->Handle(), b->Rect.left, b->Rect.top, b->Rect.right - b->Rect.left,
               b->Rect.bottom - b->Rect.top, p->MenuLineBmp->Canvas()->Handle(), b->Rect.left, b->Rect.top - top,
               SRCCOPY);
    } else {
        Strip.Restore(cache, b->Rect);
    }
    const bool enabled = Enabled(Code);
    PaintTitleButton(cache, *b, Mask(Code), enabled ? b->State : TsPaintState::Normal,
                     !mdi && !(p->FormActive && enabled), ManagerOf(p->SkinData()));
    if (Code >= teUserFirst)
        PaintUserGlyph(p->TitleButtons()->Items(Code - teUserFirst), b->State == TsPaintState::Pressed,
                       !(p->FormActive && enabled));
    TWindowDC dc(Window());
    BitBlt(dc.DC(), b->Rect.left, b->Rect.top, b->Rect.right - b->Rect.left, b->Rect.bottom - b->Rect.top,
           cache->Canvas()->Handle(), b->Rect.left, b->Rect.top, SRCCOPY);
}

void TsSkinProvider::PaintClient(HDC DC, bool SendUpdated) {
    if (!Form) return;
    if (TControl* child = FSkinData->PaintingChild) {
        const int saved = SaveDC(DC);
        SetWindowOrgEx(DC, -child->Left(), -child->Top(), nullptr);
        IntersectClipRect(DC, 0, 0, child->Width(), child->Height());
        std::unique_ptr<TBitmap> bmp = NewBitmap24(child->Width(), child->Height());
        BitBlt(bmp->Canvas()->Handle(), 0, 0, child->Width(), child->Height(), FSkinData->CacheBmp->Canvas()->Handle(),
               child->Left() + ClientOffsetX(), child->Top() + ClientOffsetY(), SRCCOPY);
        child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), 0);
        BitBlt(DC, 0, 0, child->Width(), child->Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        RestoreDC(DC, saved);
        return;
    }
    const bool changed = FSkinData->BGChanged;
    if (!FSkinData->Command9Flag || changed) PaintAll();
    // An MDI frame paints its client too: the client window clips itself out,
    // and what lies beside it (a splitter, the gaps of aligned controls)
    // shows the skin rather than the window class's brush.
    RECT c{};
    GetClientRect(Form->Handle(), &c);
    PaintChildControlsInto(Form, FSkinData, TPoint{ClientOffsetX(), ClientOffsetY()}, 0, 0, false, DC, TRect(c),
                           ClientFill());
    PaintOwnDrawing(DC);
    PaintGraphicChildren(DC, Form, FClientRepaint || changed);
    if (SendUpdated) {
        RefreshChildControls(Form);
        RefreshForeignChildWindows(Form->Handle());
    }
    FClientRepaint = false;
}

// A plain background reaches the window as a fill, several times faster
// than a copy of its pixels: the cache is looked at once per new picture.
const TacPlainArea& TsSkinProvider::ClientFill() {
    if (!FClientFillKnown) {
        FClientFillKnown = true;
        RECT c{};
        GetClientRect(Form->Handle(), &c);
        OffsetRect(&c, ClientOffsetX(), ClientOffsetY());
        FClientFill = PlainAreaIn(FSkinData->CacheBmp, TRect(c));
    }
    return FClientFill;
}

// The form's OnPaint on DC (client coordinates), over the skin's background
// and under the windowless children, as the form's own paint would be.
void TsSkinProvider::PaintOwnDrawing(HDC DC) {
    if (!Form->OnPaint) return;
    if (auto* canvas = dynamic_cast<TControlCanvas*>(Form->Canvas()))
        canvas->WithHandle(DC, [this] { Form->OnPaint(Form); });
}

void TsSkinProvider::PaintForm(TMessage& Message) {
    if (!(Form->HandleAllocated() && (IsWindowVisible(Form->Handle()) || Form->Visible())) ||
        Form->FormState().Contains(fsCreating))
        return OldProc(Message);
    {
        const TPaintScope scope(Form->Handle(), nullptr);
        FSkinData->Updating = false;
        // A child hidden under a maximized sibling has nothing of its own on the screen.
        const bool covered = Form->FormStyle() == fsMDIChild && MDISkinProvider && ActiveChildProvider &&
                             ActiveChildProvider != this && ActiveChildProvider->Form &&
                             ActiveChildProvider->Form->HandleAllocated() &&
                             IsZoomed(ActiveChildProvider->Form->Handle());
        if (!Form->ComponentState().Contains(csDestroying) && !covered) PaintClient(scope.DC(), true);
    }
    if (FChildMaximizedAtCreate) {
        FChildMaximizedAtCreate = false;
        if (Form->FormStyle() == fsMDIChild) ActiveChildProvider = this;
    }
    Message.Result = 0;
}

// ---------------------------------------------------------------------------
// The window region

void TsSkinProvider::BuildFormRegionRects() {
    RegionRects.clear();
    TsSkinManager* m = ManagerOf(FSkinData);
    if (!m) return;
    if (IsValidMaskIndex(m, FSkinData->BorderIndex)) {
        BorderMaskRegionRects(RegionRects, FSkinData->BorderIndex, FormWidth(), 0, 0, m, FormActive ? 1 : 0);
        const int wb = m->ma()[std::size_t(FSkinData->BorderIndex)].WB;
        BorderMaskRegionRects(RegionRects, FSkinData->BorderIndex, FormWidth(), 1, FormHeight() - wb, m,
                              FormActive ? 1 : 0);
    }
    const int title = TitleSection();
    if (title >= 0) {
        const int mask = MaskIndexOf(m, title, m->gd()[std::size_t(title)].Name, "BORDERSMASK");
        if (mask >= 0) BorderMaskRegionRects(RegionRects, mask, FormWidth(), 0, 0, m, FormActive ? 1 : 0);
    }
}

void TsSkinProvider::SetRegion(HRGN Region, bool Repaint) {
    FRgnChanging = true;
    SetWindowRgn(Form->Handle(), Region, Repaint);
    FRgnChanging = false;
}

void TsSkinProvider::UpdateFormRegion(bool Repaint) {
    if (FInMenuLoop || !Form || !Form->HandleAllocated()) return;
    if (!HasBorder() && !IsIconic(Form->Handle())) return;
    if (Form->Parent() && Form->DragKind() == dkDock) {
        SetRegion(nullptr, false);
        return;
    }
    // A form that keeps its own region is left alone until its first frame is painted.
    if (!FramePainted && SendMessageA(Form->Handle(), 0xBC4D, 0x41A2, 0) == 0x41A2) return;
    SetRegion(RegionWithoutRects(FormWidth(), FormHeight(), RegionRects), Repaint);
}

// ---------------------------------------------------------------------------
// The caption cover

TForm* TsSkinProvider::ShowCover(TForm* Cover, const TRect& Source, POINT At, HWND After, const char* Name) {
    if (!Cover) {
        // Owned by the application but never its main form; the window-creation hook leaves Tag -98 alone.
        Cover = TObject::Create<TForm>(Application.Get());
        Cover->SetTag(-98);
        Cover->SetBorderStyle(bsNone);
        if (Name) Cover->SetName(Name);
        Cover->OnPaint = [this, Cover, Source](TObject*) {
            if (!FSkinData->CacheBmp->Empty())
                BitBlt(Cover->Canvas()->Handle(), 0, 0, Source.right - Source.left, Source.bottom - Source.top,
                       FSkinData->CacheBmp->Canvas()->Handle(), Source.left, Source.top, SRCCOPY);
        };
    }
    SetWindowPos(Cover->Handle(), After, At.x, At.y, Source.right - Source.left, Source.bottom - Source.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    UpdateWindow(Cover->Handle());
    return Cover;
}

void TsSkinProvider::ShowCaptionCover() {
    if (!Form || !Form->HandleAllocated()) return;
    if (FSkinData->BGChanged) PaintAll();
    RECT r{};
    GetWindowRect(Form->Handle(), &r);
    CaptionCover = ShowCover(CaptionCover, TRect{0, 0, r.right - r.left, HeaderHeight()}, POINT{r.left, r.top},
                             Form->FormStyle() == fsStayOnTop ? HWND_TOPMOST : HWND_TOP, nullptr);
}

void TsSkinProvider::ShowMenuCover() {
    if (!Form || !Form->HandleAllocated() || MenuCover) return;
    RECT r{};
    GetWindowRect(Form->Handle(), &r);
    const int top = CaptionHeight() + SysBorderHeight(), width = 60;
    const TRect source{FormWidth() - width - SysBorderWidth(), top, FormWidth() - SysBorderWidth(),
                       top + acSystemMetric(SM_CYMENU) + 3};
    MenuCover = ShowCover(nullptr, source, POINT{r.left + source.left, r.top + top}, HWND_TOP, "acMDIIcons");
}

void FreeCover(TForm*& Cover) {
    if (!Cover) return;
    TForm* cover = Cover;
    Cover = nullptr;
    cover->Free();
}
