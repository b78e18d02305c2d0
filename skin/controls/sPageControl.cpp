#include "sPageControl.h"

#include "Forms.h"
#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sFade.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinText.h"
#include "sSkinnedProps.h"
#include "sUpDown.h"

#include <algorithm>
#include <windowsx.h>

// clang-format off
CLASSLIB_DEFINE_CLASS(TsPageControl, TPageControl,
    ObjProp<TsPageControl, TsCommonData>("SkinData", &TsPageControl::SkinData),
    OrdProp<TsPageControl>("ShowCloseBtns", TTypeKind::tkBool, &TsPageControl::ShowCloseBtns,
                           &TsPageControl::SetShowCloseBtns, 0),
    StrProp<TsPageControl>("CloseBtnSkin", &TsPageControl::CloseBtnSkin, &TsPageControl::SetCloseBtnSkin),
    acAnimatEventsProp<TsPageControl>(),
    MethodField<TsPageControl>("OnCloseBtnClick", &TsPageControl::OnCloseBtnClick))
// clang-format on

namespace {

int RectW(const TRect& R) { return R.right - R.left; }
int RectH(const TRect& R) { return R.bottom - R.top; }

// Edge moves of a skinned tab against the tab control's rectangle (left, top,
// right, bottom), by tab position, inactive then active.
constexpr int kTabOffsets[4][2][4] = {
    {{0, 0, -1, 4}, {-2, -2, 2, 2}},    // top
    {{0, -2, -1, 0}, {-2, -3, 2, 1}},   // bottom
    {{0, -1, 3, 0}, {-1, -2, 3, 1}},    // left
    {{-2, -1, -1, 0}, {-3, -2, 1, 2}},  // right
};

const TacItemIndexes& StdTab(const TsSkinManager* M, TTabPosition Position) {
    const TacStandardIndexes& s = M->StdIndexes();
    switch (Position) {
        case tpBottom: return s.TabBottom;
        case tpLeft: return s.TabLeft;
        case tpRight: return s.TabRight;
        default: return s.TabTop;
    }
}

const char* const kTabSections[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
const char* const kFrameSections[] = {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"};

}  // namespace

// ---------------------------------------------------------------------------
// Life

TsPageControl::TsPageControl(TComponent* AOwner) : TsSkinnedContainer(AOwner, acCtPageControl) {}

// The arrows and close buttons are children: they went before this runs.
TsPageControl::~TsPageControl() = default;

void TsPageControl::Loaded() {
    TsSkinned::Loaded();
    if (ActivePage()) NotifyFormControlLoaded(ActivePage());
    UpdateScrollArrows();
    UpdateCloseButtons();
}

void TsPageControl::CreateWnd() {
    FSystemArrowsGone = false;
    TsSkinned::CreateWnd();
    // A window made again (a new tab position, rows or style) gets the
    // arrows and buttons that its new tab layout needs.
    UpdateScrollArrows();
    UpdateCloseButtons();
}

void TsPageControl::SetActivePage(TTabSheet* Page) {
    TPageControl::SetActivePage(Page);
    // The tab row may have moved under a selection made in code.
    PlaceUpDown();
}

// ---------------------------------------------------------------------------
// Geometry

TRect TsPageControl::SplitAtPage(bool Strip) const {
    TRect r{0, 0, FWidth, FHeight};
    if (TabCount() == 0 || !FHandle) return r;
    TRect d = ClientRect();
    const_cast<TsPageControl*>(this)->AdjustClientRect(d);
    // Strip and page area meet on one line, 4 pixels outside the display
    // area on the tabs' side for top tabs and 1 pixel for the others.
    switch (FTabPosition) {
        case tpTop: (Strip ? r.bottom : r.top) = d.top - 4; break;
        case tpBottom: (Strip ? r.top : r.bottom) = d.bottom + 1; break;
        case tpLeft: (Strip ? r.right : r.left) = d.left - 1; break;
        case tpRight: (Strip ? r.left : r.right) = d.right + 1; break;
    }
    return r;
}

TRect TsPageControl::SkinTabRect(int TabIndex, bool Active) const {
    if (TabIndex < 0 || TabIndex > PageCount() - 1 || !FActivePage) return TRect{0, 0, 0, 0};
    TRect r = TabRect(TabIndex);
    if (FStyle != tsTabs || r.left == r.right) return r;
    const int* o = kTabOffsets[FTabPosition][Active ? 1 : 0];
    return TRect{r.left + o[0], r.top + o[1], r.right + o[2], r.bottom + o[3]};
}

int TsPageControl::TabRow(int TabIndex) const {
    const int n = RowCount();
    if (n < 2) return 1;
    const TRect r = TabRect(TabIndex);
    const int w = RectW(r), h = RectH(r);
    if (w <= 0 || h <= 0) return 1;
    const TRect s = TabStripRect();
    switch (FTabPosition) {
        case tpTop: return (r.bottom + h / 2) / h;
        case tpLeft: return (r.right + w / 2) / w;
        case tpBottom: return n - (r.bottom - s.top + h / 2) / h + 1;
        default: return n - (r.right - s.left + w / 2) / w + 1;
    }
}

int TsPageControl::TabPageAt(TPoint P) const {
    for (int i = 0; i < PageCount(); ++i) {
        const int k = FPages[i]->TabIndex();
        if (k < 0) continue;
        const TRect r = SkinTabRect(k, false);
        if (PtInRect(&r, P)) return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// Tab drawing

void TsPageControl::TabSection(const TsTabSheet* Page, int& Section, String& Name, int& Border) const {
    TsSkinManager* m = SkinData()->GetSkinManager();
    Section = -1;
    Border = -1;
    Name.clear();
    // A skin without the standard tab sections gets captions only (0 is a
    // valid section index, so only a negative one means "none").
    if (!m || StdTab(m, tpTop).Section < 0) return;
    const String own = Page ? Page->TabSkin() : String();
    if (FStyle == tsTabs && own.empty()) {
        const TacItemIndexes& t = StdTab(m, FTabPosition);
        Name = kTabSections[FTabPosition];
        Section = t.Section;
        Border = t.Border;
        return;
    }
    Name = !own.empty() ? own : FStyle == tsButtons ? String("BUTTON") : String("TOOLBUTTON");
    Section = SectionIndexOf(m, Name);
    Border = MaskIndexOfNoParent(m, Name, "BORDERSMASK");
}

void TsPageControl::PaintTab(int PageIndex, int State, TPoint Offset, TBitmap* Bitmap) {
    TsTabSheet* page = SkinnedPage(PageIndex);
    if (!page || !page->TabVisible() || !Bitmap) return;
    const bool isActive = page == FActivePage;
    const int k = page->TabIndex();
    // A hot tab scrolled partly out of view stays as it is.
    if (State == 1 && SkinTabRect(k, isActive).left < 0) return;
    const bool selected = State == 2 && isActive;
    TRect r = SkinTabRect(k, selected);
    if (RectW(r) <= 0 || RectH(r) <= 0) return;
    TsCommonData* d = SkinData();
    TsSkinManager* m = d->GetSkinManager();
    int section, border;
    String name;
    TabSection(page, section, name, border);
    if (section >= 0 && IsValidMaskIndex(m, border) && d->CacheBmp) {
        auto t = NewBitmap24(RectW(r), RectH(r));
        if (selected) {
            BitBlt(t->Canvas()->Handle(), 0, 0, t->Width(), t->Height(), d->CacheBmp->Canvas()->Handle(), r.left, r.top,
                   SRCCOPY);
            BitBlt(Bitmap->Canvas()->Handle(), r.left + Offset.x, r.top + Offset.y, t->Width(), t->Height(),
                   t->Canvas()->Handle(), 0, 0, SRCCOPY);
            PaintSkinItem(section, name, MakeCacheInfo(t.get(), 0, 0), true, 2, TRect{0, 0, t->Width(), t->Height()},
                          TPoint{0, 0}, Bitmap, m);
        } else {
            PaintSkinItem(section, name, MakeCacheInfo(d->CacheBmp, 0, 0), true, State,
                          TRect{0, 0, t->Width(), t->Height()}, TPoint{r.left, r.top}, t.get(), m);
            HDC dc = Bitmap->Canvas()->Handle();
            const TSavedDC saved(dc);
            // Top and left tabs reach into the page frame: the frame stays on top.
            if (FTabPosition == tpTop || FTabPosition == tpLeft) {
                const TRect a = PageAreaRect();
                ExcludeClipRect(dc, a.left + Offset.x, a.top + Offset.y, a.right + Offset.x, a.bottom + Offset.y);
            }
            BitBlt(dc, r.left + Offset.x, r.top + Offset.y, t->Width(), t->Height(), t->Canvas()->Handle(), 0, 0,
                   SRCCOPY);
        }
    }
    // Without a section of its own the caption takes the page frame's colours.
    if (section < 0) section = d->SkinIndex;
    if (!selected) r = VisibleTabPart(r);
    OffsetRect(&r, Offset.x, Offset.y);
    if (FOwnerDraw) {
        if (!OnDrawTab) return;
        auto* canvas = static_cast<TControlCanvas*>(Canvas());
        HDC dc = Bitmap->Canvas()->Handle();
        const TSavedDC saved(dc);
        TRect tab = SkinTabRect(k, selected);
        if (State == 2) SetWindowOrgEx(dc, tab.left, tab.top, nullptr);
        else tab = r;
        canvas->WithHandle(dc, [&] { OnDrawTab(this, k, tab, State != 0); });
        return;
    }
    if (FTabPosition == tpLeft || FTabPosition == tpRight) PaintVerticalCaption(page, State, r, section, Bitmap);
    else PaintTabCaption(page, State, r, section, Bitmap);
}

TRect TsPageControl::VisibleTabPart(TRect R) const {
    // An inactive tab reaches under the page frame, which covers that part:
    // its caption is centred in what shows.
    if (FStyle != tsTabs) return R;
    const TRect a = PageAreaRect();
    switch (FTabPosition) {
        case tpTop: R.bottom = std::max(R.top, std::min(R.bottom, a.top)); break;
        case tpBottom: R.top = std::min(R.bottom, std::max(R.top, a.bottom)); break;
        case tpLeft: R.right = std::max(R.left, std::min(R.right, a.left)); break;
        case tpRight: R.left = std::min(R.right, std::max(R.left, a.right)); break;
    }
    return R;
}

void TsPageControl::PaintTabCaption(TsTabSheet* Page, int State, const TRect& Tab, int Section, TBitmap* Bitmap) {
    TRect r = Tab;
    const String c = Page->Caption();
    TCanvas* canvas = Bitmap->Canvas();
    canvas->SetFont(FFont);
    TsSkinManager* m = SkinData()->GetSkinManager();
    const bool image = FImages && Page->ImageIndex() >= 0 && Page->ImageIndex() < FImages->Count();
    if (image) {
        const int x = r.left + (RectW(r) - (canvas->TextWidth(c) + FImages->Width() + 8)) / 2;
        const int y = r.top + (RectH(r) - FImages->Height()) / 2;
        ImageList_Draw(FImages->Handle(), Page->ImageIndex(), canvas->Handle(), x, y, ILD_TRANSPARENT);
        r.left += FImages->Width();
    }
    WriteSkinText(canvas, c, image ? Enabled() : true, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Section, State != 0,
                  m);
    if (!(SkinData()->Focused && State == 2 && !c.empty())) return;
    TRect t = r;
    DrawTextOnDC(canvas->Handle(), c, t, DT_CALCRECT);
    TRect f{0, 0, RectW(t), RectH(t)};
    OffsetRect(&f, Tab.left + (RectW(Tab) - RectW(t)) / 2, Tab.top + (RectH(Tab) - RectH(t)) / 2);
    if (image) OffsetRect(&f, FImages->Width() / 2, 0);
    // A pixel clear of the letters all round, inside the tab's edges.
    InflateRect(&f, 3, 2);
    TRect inside = Tab;
    InflateRect(&inside, -3, -3);
    IntersectRect(&f, &f, &inside);
    DrawDottedFrame(canvas, f);
}

void TsPageControl::PaintVerticalCaption(TsTabSheet* Page, int State, TRect R, int Section, TBitmap* Bitmap) {
    const bool left = FTabPosition == tpLeft;
    const String c = Page->Caption();
    TCanvas* canvas = Bitmap->Canvas();
    canvas->Brush()->SetStyle(bsClear);
    if (!left) OffsetRect(&R, -2, -1);
    // Side tabs read bottom to top on the left and top to bottom on the right.
    LOGFONTA lf = FFont->LogFont();
    LOGFONTA v{};
    v.lfHeight = lf.lfHeight;
    v.lfEscapement = v.lfOrientation = left ? 900 : 2700;
    v.lfWeight = FW_NORMAL;
    v.lfItalic = lf.lfItalic;
    v.lfUnderline = lf.lfUnderline;
    v.lfStrikeOut = lf.lfStrikeOut;
    v.lfCharSet = lf.lfCharSet;
    lstrcpynA(v.lfFaceName, "Arial", LF_FACESIZE);
    canvas->Font()->SetLogFont(v);
    TsSkinManager* m = SkinData()->GetSkinManager();
    TColor color = clBtnText;
    if (m && IsValidSectionIndex(m, Section)) {
        const TsGeneralData& g = m->gd()[Section];
        color = TColor(State != 0 ? g.HotFontColor[0] : g.FontColor[0]);
    }
    canvas->Font()->SetColor(Enabled() ? color : TColor(0x808080));
    TSize ext{};
    CanvasTextExtentTo(canvas, c, ext);
    const int cx = ext.cx, cy = ext.cy, w = RectW(R), h = RectH(R);
    const bool image = FImages && Page->ImageIndex() >= 0 && Page->ImageIndex() < FImages->Count();
    TRect f = R;
    if (image) {
        if (Page == FActivePage) OffsetRect(&R, 2, 0);
        const int ih = FImages->Height(), iw = FImages->Width();
        const int y = left ? R.bottom - (h - (ih + 4 + cx)) / 2 - ih : R.top + (h - (ih + 4 + cx)) / 2;
        ImageList_Draw(FImages->Handle(), Page->ImageIndex(), canvas->Handle(), R.left + (w - iw) / 2, y,
                       ILD_TRANSPARENT);
        if (left) CanvasTextRect(canvas, R, R.left + (w - cy) / 2, y - 4, c);
        else CanvasTextRect(canvas, R, R.left + (w - cy) / 2 + cy, y + 4 + ih, c);
        f = R;
        InflateRect(&f, (cy - w) / 2, (cx - h) / 2 + 2);
        OffsetRect(&f, 0, left ? -((ih + 4) / 2) : (ih + 4) / 2);
    } else {
        if (left) CanvasTextRect(canvas, R, R.left + (w - cy) / 2, R.bottom - (h - cx) / 2, c);
        else CanvasTextRect(canvas, R, R.left + (w - cy) / 2 + cy, R.top + (h - cx) / 2, c);
        InflateRect(&f, (cy - w) / 2, (cx - h) / 2 + (left ? 0 : 2));
    }
    if (SkinData()->Focused && State != 0) DrawDottedFrame(canvas, f);
    canvas->SetFont(FFont);
}

void TsPageControl::DrawSkinTab(int PageIndex, int State, HDC DC) {
    TsTabSheet* page = SkinnedPage(PageIndex);
    if (!page || page->TabIndex() < 0) return;
    const TRect r = SkinTabRect(page->TabIndex(), State == 2);
    if (RectW(r) <= 0 || RectH(r) <= 0) return;
    auto t = NewBitmap24(RectW(r), RectH(r));
    PaintTab(PageIndex, State, TPoint{-r.left, -r.top}, t.get());
    BitBlt(DC, r.left, r.top, RectW(r), RectH(r), t->Canvas()->Handle(), 0, 0, SRCCOPY);
    if (FShowCloseBtns && page->UseCloseBtn()) DrawCloseBtn(DC, r, 0, t->Canvas()->Handle());
}

void TsPageControl::PaintTabStrip(const TCacheInfo& ParentCache) {
    if (FComponentState.Contains(csDestroying)) return;
    TsCommonData* d = SkinData();
    const TRect s = TabStripRect();
    HDC dc = d->CacheBmp->Canvas()->Handle();
    if (!ParentCache.Ready || !ParentCache.Bmp) {
        FillDC(dc, s, FParent ? FParent->Color() : clBtnFace);
    } else {
        const int w = std::min(RectW(s), ParentCache.Bmp->Width()), h = std::min(RectH(s), ParentCache.Bmp->Height());
        BitBlt(dc, s.left, s.top, w, h, ParentCache.Bmp->Canvas()->Handle(), ParentCache.X + FLeft + s.left,
               ParentCache.Y + FTop + s.top, SRCCOPY);
    }
    // Outer rows first, so that inner rows overlap them; the active tab is
    // drawn on the window only.
    const int rows = std::max(1, RowCount());
    for (int row = 1; row <= rows; ++row)
        for (int i = 0; i < PageCount(); ++i) {
            TTabSheet* p = FPages[i];
            if (p->TabVisible() && p != FActivePage && TabRow(p->TabIndex()) == row)
                PaintTab(i, 0, TPoint{0, 0}, d->CacheBmp);
        }
}

void TsPageControl::RepaintTab(int PageIndex, int State, HDC DC) {
    TsTabSheet* page = SkinnedPage(PageIndex);
    if (!page || page->TabIndex() < 0 || !FHandle) return;
    const TClientDC dc(FHandle, DC);
    const TSavedDC saved(dc);
    if (dc.Owned()) {
        const TRect r = TabRect(page->TabIndex());
        const TRect sr = SkinTabRect(page->TabIndex(), State == 2);
        IntersectClipRect(dc, sr.left, sr.top, std::max(r.right, sr.right), std::max(r.bottom, sr.bottom));
        if (FActivePage && FActivePage != page) {
            const TRect a = SkinTabRect(FActivePage->TabIndex(), true);
            ExcludeClipRect(dc, a.left, a.top, a.right, a.bottom);
        }
        // The page frame under an inactive tab stays as the cache has it.
        if (State != 2 && (FTabPosition == tpTop || FTabPosition == tpLeft)) {
            const TRect a = PageAreaRect();
            ExcludeClipRect(dc, a.left, a.top, a.right, a.bottom);
        }
    }
    DrawSkinTab(PageIndex, State, dc);
}

bool TsPageControl::RepaintTabStrip(HDC DC) {
    TsSkinManager* m = SkinData()->GetSkinManager();
    if (!Designing() && m && m->AnimEffects()->PageChange.Active) return false;
    const TCacheInfo ci = ParentCacheOf(SkinData());
    if (TabCount() > 0) PaintTabStrip(ci);
    const TRect s = TabStripRect();
    BitBlt(DC, s.left, s.top, RectW(s), RectH(s) + 2, SkinData()->CacheBmp->Canvas()->Handle(), s.left, s.top, SRCCOPY);
    DrawCloseBtns(DC);
    return true;
}

// ---------------------------------------------------------------------------
// Paint

void TsPageControl::RebuildCache(TsPaintState) {
    TsCommonData* d = SkinData();
    const String wanted = d->SkinSection() == "PAGECONTROL" ? String(kFrameSections[FTabPosition]) : d->SkinSection();
    TsSkinManager* m = d->GetSkinManager();
    // A skin without the side sections frames every position alike.
    FSectionName = SectionIndexOf(m, wanted) >= 0 ? wanted : d->SkinSection();
    d->SkinIndex = SectionIndexOf(m, FSectionName);
    const TCacheInfo ci = ParentCacheOf(d);
    PrepareCacheBmp(d);
    if (TabCount() > 0) PaintTabStrip(ci);
    const TRect a = PageAreaRect();
    acParentColor2 = FParent ? TColor(ColorToRGB(FParent->Color())) : acNoColor;
    PaintSkinItem(d->SkinIndex, FSectionName, ci, false, 0, a, TPoint{FLeft + a.left, FTop + a.top}, d->CacheBmp, m);
    acParentColor2 = acNoColor;
    d->BGChanged = false;
}

void TsPageControl::ExcludeInactiveCloseBtns(HDC DC) {
    if (!FShowCloseBtns) return;
    for (TTabSheet* p : FPages) {
        auto* s = dynamic_cast<TsTabSheet*>(p);
        if (!s || p == FActivePage || s->TabIndex() < 0 || !s->UseCloseBtn()) continue;
        const TRect b = CloseBtnRectOf(SkinTabRect(s->TabIndex(), false));
        ExcludeClipRect(DC, b.left, b.top, b.right, b.bottom);
    }
}

void TsPageControl::PaintPage(HDC GivenDC, bool Printing) {
    TsCommonData* d = SkinData();
    const TPaintScope paint(FHandle, Printing ? GivenDC : nullptr);
    d->Updating = IsUpdating(d);
    if (!d->Updating && !FTabSizeChanged) {
        // The tabs reach outside the update region: a paint draws on the client DC.
        PaintPageInto(TClientDC(Printing ? nullptr : FHandle, Printing ? GivenDC : nullptr), Printing);
        if (!Printing && FActivePage && FActivePage->Showing()) FActivePage->Perform(WM_PAINT, 0, 0);
    }
    FPaintedTabCount = VisibleTabCount();
}

void TsPageControl::PaintPageInto(HDC DC, bool Printing) {
    const TSavedDC windowState(DC);
    TsCommonData* d = SkinData();
    d->BGChanged = d->BGChanged || d->HalfVisible || (FParent && QuerySkinCommand(FParent, AC_GETHALFVISIBLE));
    if (FParent) d->HalfVisible = !RectContainsRect(FParent->ClientRect(), BoundsRect());
    // The strip shows the parent's colour: a new one is a new picture.
    const TColor parentColor = FParent ? FParent->Color() : clNone;
    if (d->BGChanged || !d->CacheBmp || d->CacheBmp->Width() != FWidth || d->CacheBmp->Height() != FHeight ||
        parentColor != FPaintedParentColor) {
        FPaintedParentColor = parentColor;
        RebuildCache(TsPaintState::Normal);
    }
    const bool activeTab = TabCount() > 0 && FActivePage && FActivePage->TabIndex() >= 0;
    {
        const TSavedDC tabClip(DC);
        if (activeTab) {
            const TRect a = SkinTabRect(FActivePage->TabIndex(), true);
            ExcludeClipRect(DC, a.left, a.top, a.right, a.bottom);
        }
        {
            const TSavedDC closeClip(DC);
            ExcludeInactiveCloseBtns(DC);
            PaintChildControlsInto(this, d, TPoint{0, 0}, 0, 0, true, DC, TRect{0, 0, FWidth, FHeight});
        }
        if (FShowCloseBtns) DrawCloseBtns(DC);
        PaintGraphicChildren(DC, this);
        // The tab control repaints on its own hot changes: the hot tab
        // stays hot through them.
        if (FHotPage >= 0 && FHotPage < PageCount() && FPages[FHotPage] != FActivePage &&
            (FHotTrack || FStyle != tsTabs)) {
            const TSavedDC hotClip(DC);
            if (FTabPosition == tpTop || FTabPosition == tpLeft) {
                const TRect a = PageAreaRect();
                ExcludeClipRect(DC, a.left, a.top, a.right, a.bottom);
            }
            DrawSkinTab(FHotPage, FHotTrack ? 1 : 0, DC);
        }
    }
    if (activeTab) {
        DrawSkinTab(FActivePage->PageIndex(), 2, DC);
        if (Printing) {
            const TSavedDC saved(DC);
            POINT org;
            GetWindowOrgEx(DC, &org);
            SetWindowOrgEx(DC, org.x - FActivePage->Left(), org.y - FActivePage->Top(), nullptr);
            FActivePage->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 1);
        }
    }
}

void TsPageControl::UpdateActivePage() {
    FHotPage = -1;
    if (!Skinned() || !FHandle) {
        TPageControl::UpdateActivePage();
        return;
    }
    TPageControl::UpdateActivePage();
    if (IsUpdating(SkinData())) return;
    if (VisibleTabCount() == FPaintedTabCount && SkinData()->CacheBmp && !SkinData()->CacheBmp->Empty()) {
        // Same tabs: only the strip and the two tabs that changed places.
        SkinData()->BGChanged = false;
        if (FActivePage) {
            {
                const TClientDC dc(FHandle);
                const TSavedDC saved(dc);
                // While the change is animated the fade takes the new
                // picture from a paint: the cache must follow the new tab.
                if (!RepaintTabStrip(dc)) SkinData()->BGChanged = true;
                DrawSkinTab(FActivePage->PageIndex(), 2, dc);
            }
            FActivePage->Invalidate();
        } else {
            InvalidateOwner(SkinData());
        }
    } else {
        SkinData()->BGChanged = true;
        Perform(WM_PAINT, 0, 0);
        if (FActivePage) FActivePage->Invalidate();
    }
    FTabSizeChanged = false;
}

void TsPageControl::PaintFrame() {
    // The frame round the active page, outside the strip and the active tab.
    const TClientDC dc(FHandle);
    const TSavedDC saved(dc);
    const TRect s = TabStripRect();
    ExcludeClipRect(dc, s.left, s.top, s.right, s.bottom);
    if (FActivePage) {
        const TRect p = FActivePage->BoundsRect();
        ExcludeClipRect(dc, p.left, p.top, p.right, p.bottom);
        if (TabCount() > 0 && FActivePage->TabIndex() >= 0) {
            const TRect a = SkinTabRect(FActivePage->TabIndex(), true);
            ExcludeClipRect(dc, a.left, a.top, a.right, a.bottom);
        }
    }
    PaintChildControlsInto(this, SkinData(), TPoint{0, 0}, 0, 0, true, dc, TRect{0, 0, FWidth, FHeight});
}

void TsPageControl::TabSizeRepaint() {
    if (IsUpdating(SkinData())) {
        FTabSizeChanged = false;
        return;
    }
    TsCommonData* d = SkinData();
    PrepareCacheBmp(d);
    {
        const TClientDC dc(FHandle);
        const TSavedDC saved(dc);
        if (TabCount() > 0) PaintTabStrip(ParentCacheOf(d));
        const TRect s = TabStripRect();
        {
            const TSavedDC closeClip(dc);
            ExcludeInactiveCloseBtns(dc);
            PaintChildControlsInto(this, d, TPoint{s.left, s.top}, 0, 0, false, dc, s);
        }
        // The band between strip and page that inactive tabs reach into.
        TRect band;
        switch (FTabPosition) {
            case tpTop: band = TRect{s.left, s.bottom, s.right, s.bottom + 4}; break;
            case tpBottom: band = TRect{s.left, s.top - 4, s.right, s.top}; break;
            case tpLeft: band = TRect{s.right, s.top, s.right + 4, s.bottom}; break;
            default: band = TRect{s.left - 4, s.top, s.left, s.bottom}; break;
        }
        BitBlt(dc, band.left, band.top, RectW(band), RectH(band), d->CacheBmp->Canvas()->Handle(), band.left, band.top,
               SRCCOPY);
    }
    FTabSizeChanged = false;
}

// ---------------------------------------------------------------------------
// Messages

bool TsPageControl::NewSkin(TMessage& M, bool Own) {
    StopFade();
    return TsSkinnedContainer::NewSkin(M, Own);
}

bool TsPageControl::RemoveSkin(TMessage& M, bool Own) {
    if (DestroyingOwner()) return true;
    return TsSkinnedContainer::RemoveSkin(M, Own);
}

void TsPageControl::OwnSkinCommand(TMessage& M, WORD Code) {
    StopFade();
    CommonMessage(M, SkinData());
    switch (Code) {
        case AC_REMOVESKIN: SkinRemoved(); break;
        case AC_REFRESH: SkinRefreshed(); break;
        default: break;
    }
}

void TsPageControl::ChildrenToldSkin(WORD Code, bool) {
    if (Code == AC_NEWSKIN) UpdateCloseBtnSkin();
}

void TsPageControl::SkinRemoved() {
    FHotPage = -1;
    UpdateScrollArrows();
    // The tab control makes its arrows once per window: a new window brings
    // back those that went for ours, or the hidden tabs can't be reached.
    if (FSystemArrowsGone && FHandle) RecreateWnd();
    UpdateCloseButtons();
    if (FHandle) RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
}

void TsPageControl::SkinRefreshed() {
    UpdateCloseBtnSkin();
    SkinData()->BGChanged = true;
    UpdateScrollArrows();
    UpdateCloseButtons();
    if (Showing() && FHandle) {
        RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    }
    if (ActivePage()) NotifyFormControlLoaded(ActivePage());
    if (FUpDown) {
        TsSkinManager* m = SkinData()->GetSkinManager();
        FUpDown->SetButtonSkin(SectionIndexOf(m, "UPDOWNBTN") >= 0 ? "UPDOWNBTN" : "BUTTON");
    }
}

bool TsPageControl::AnswerCache(TMessage& M) {
    TsCommonData* d = SkinData();
    ParentCacheInfo = MakeCacheInfo(d->CacheBmp, 0, 0);
    ParentCacheInfo.Ready = d->CacheBmp && !d->CacheBmp->Empty();
    M.Result = 1;
    return true;
}

bool TsPageControl::BackgroundChanged() const { return IsUpdating(SkinData()) || FTabSizeChanged; }

bool TsPageControl::ParentChangedPage(const TMessage& M) {
    TsCommonData* d = SkinData();
    if (!IsUpdating(d)) return true;
    d->Updating = false;
    if (FActivePage && FActivePage->HandleAllocated()) SendMessageA(FActivePage->Handle(), M.Msg, M.WParam, M.LParam);
    Perform(WM_PAINT, 0, 0);
    return true;
}

void TsPageControl::UnskinnedMessage(TMessage& M) {
    const std::shared_ptr<const bool> alive = Alive();
    TsSkinned::UnskinnedMessage(M);
    if (!*alive) return;
    if (M.Msg == WM_WINDOWPOSCHANGED || M.Msg == CM_INVALIDATE || M.Msg == WM_SIZE) UpdateCloseButtons();
}

bool TsPageControl::SkinnedMessage(TMessage& M) {
    TsCommonData* d = SkinData();
    if (AnswerChildren(M)) return true;
    if (M.Msg == SM_ALPHACMD) return M.WParamHi() == AC_PARENTCHANGED && ParentChangedPage(M);
    switch (M.Msg) {
        case WM_PAINT:
            if (!FParent || FParent->ComponentState().Contains(csDestroying) || Loading()) return false;
            PaintPage(reinterpret_cast<HDC>(M.WParam), M.LParam == 1);
            return true;
        case WM_PRINT:
            UpdateScrollArrows();
            UpdateCloseButtons();
            d->Updating = false;
            PaintPage(reinterpret_cast<HDC>(M.WParam), true);
            return true;
        case WM_ERASEBKGND: M.Result = 1; return true;
        case WM_NCPAINT:
            if (FActivePage) {
                d->Updating = IsUpdating(d);
                if (d->Updating) return true;
                InheritedWndProc(M);
                PaintFrame();
                return true;
            }
            return false;
        case TCM_INSERTITEMA:
        case TCM_INSERTITEMW:
        case TCM_SETCURSEL: d->BGChanged = true; return false;
        case TCM_SETITEMSIZE: FTabSizeChanged = true; return false;
        case WM_STYLECHANGING:
        case WM_STYLECHANGED:
        case WM_HSCROLL:
            d->BGChanged = true;
            Invalidate();
            return false;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            if (Designing()) return true;
            const bool bg = d->BGChanged;
            InheritedWndProc(M);
            d->BGChanged = bg;
            // The focus frame belongs to the active tab only.
            if (FActivePage) RepaintTab(FActivePage->PageIndex(), 2, nullptr);
            return true;
        }
        case WM_MOUSELEAVE:
        case CM_MOUSELEAVE: return MouseLeftControl(M);
        case WM_MOUSEMOVE: return !Designing() && MouseMoved(M);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP: return !Designing() && FShowCloseBtns && CloseBtnPress(M);
        default: return false;
    }
}

void TsPageControl::AfterInherited(TMessage& M) {
    TsCommonData* d = SkinData();
    switch (M.Msg) {
        case WM_SIZE:
            if (!Loading()) {
                UpdateScrollArrows();
                UpdateCloseButtons();
            }
            break;
        case WM_WINDOWPOSCHANGING:
            if (FTabSizeChanged) TabSizeRepaint();
            break;
        case WM_LBUTTONDOWN:
            if (FStyle != tsTabs && FHotPage != -1) RepaintTab(FHotPage, 1, nullptr);
            UpdateScrollArrows();
            break;
        case WM_KEYDOWN:
        case TCM_SETCURSEL:
        case TCM_SETCURFOCUS:
            // The row scrolls to the chosen tab after telling of the change.
            UpdateScrollArrows();
            break;
        case WM_PARENTNOTIFY:
            if (LOWORD(M.WParam) == WM_CREATE) NotifyFormControlLoaded(this);
            break;
        case TCM_DELETEITEM:
        case TCM_DELETEALLITEMS:
            if (!IsUpdating(d)) d->BGChanged = true;
            break;
        case CM_CONTROLLISTCHANGE:
            UpdateScrollArrows();
            UpdateCloseButtons();
            NotifyFormControlLoaded(this);
            break;
        default: break;
    }
}

void TsPageControl::Dispatch(TMessage& M) {
    switch (M.Msg) {
        case CN_NOTIFY:
            if (Skinned()) {
                PageChangeNotify(M);
                return;
            }
            break;
        case CM_HINTSHOW:
            TPageControl::Dispatch(M);
            HintShow(M);
            return;
        case WM_APP + 0x3A1: {
            // Close buttons whose page went, freed once their own click is over.
            std::vector<TsTabBtn*> all, orphans;
            all.swap(FCloseBtns);
            for (TsTabBtn* b : all) (b->FPage ? FCloseBtns : orphans).push_back(b);
            for (TsTabBtn* b : orphans) b->Free();
            return;
        }
        default: break;
    }
    TPageControl::Dispatch(M);
}

void TsPageControl::PageChangeNotify(TMessage& M) {
    auto* hdr = reinterpret_cast<NMHDR*>(M.LParam);
    TsSkinManager* m = SkinData()->GetSkinManager();
    const bool animate = !Designing() && m && m->AnimEffects()->PageChange.Active;
    if (hdr->code == static_cast<UINT>(TCN_SELCHANGING)) {
        if (animate) PrepareOutputWindow(this);
        PlaceUpDown();
        TPageControl::Dispatch(M);
        if (M.Result == 1) {
            SendMessageA(FHandle, WM_SETREDRAW, 1, 0);
            FreeOutputWindow();
            SendMessageA(FHandle, WM_MOUSEMOVE, 0, 0);
        }
    } else if (hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
        TPageControl::Dispatch(M);
        PlaceUpDown();
        if (animate) {
            FadeInControl(this, m->AnimEffects()->PageChange.Time);
            if (FActivePage && FActivePage->HandleAllocated())
                RedrawWindow(FActivePage->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
    } else {
        TPageControl::Dispatch(M);
    }
}

void TsPageControl::HintShow(TMessage& M) {
    auto* info = reinterpret_cast<THintInfo*>(M.LParam);
    if (!info || !Skinned()) return;
    const int i = TabPageAt(info->CursorPos);
    if (i < 0) return;
    const TPoint p = ClientToScreen(info->CursorPos);
    info->HintPos = TPoint{p.x + GetSystemMetrics(SM_CXCURSOR) / 2, p.y + GetSystemMetrics(SM_CYCURSOR) / 2};
    info->HintStr = FPages[i]->Hint();
    // Moving to another tab shows that tab's hint.
    info->CursorRect = SkinTabRect(FPages[i]->TabIndex(), false);
    M.Result = 0;
}

// --- Hot tracking -------------------------------------------------------------

bool TsPageControl::MouseLeftControl(TMessage& M) {
    if (Designing() || !(FHotTrack || FShowCloseBtns)) return false;
    const std::shared_ptr<const bool> alive = Alive();
    if (M.Msg == CM_MOUSELEAVE) {
        // A child's leaving passes through here on its way up: not ours.
        if (!OwnMouseMessage(M, this)) return false;
        if (!FireMouseEvent(M)) return true;
        SkinData()->MouseAbove = false;
    }
    InheritedWndProc(M);
    if (!*alive) return true;
    const int active = FActivePage ? FActivePage->PageIndex() : -1;
    if (FHotPage != -1 && FHotPage != active) {
        if (FHotTrack) RepaintTab(FHotPage, 0, nullptr);
        RepaintCloseBtn(FHotPage, 0, 0);
    }
    RepaintCloseBtn(active, 0, 2);
    acCloseBtnPressed = false;
    FHotPage = -1;
    return true;
}

bool TsPageControl::MouseMoved(TMessage& M) {
    TsSkinManager* def = DefaultManager;
    if (def && !def->ComponentState().Contains(csDesigning)) SetActiveControl(def, nullptr);
    const bool tracked = FHotTrack || FStyle != tsTabs;
    if (!tracked && !FShowCloseBtns) return false;
    const TPoint p{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    const TRect strip = TabStripRect();
    // A page freed meanwhile leaves no hot index behind.
    if (FHotPage >= PageCount()) FHotPage = -1;
    if (!PtInRect(&strip, p)) {
        if (FHotPage != -1) {
            if (tracked) RepaintTab(FHotPage, 0, nullptr);
            RepaintCloseBtn(FHotPage, 0, 0);
            FHotPage = -1;
        }
        acCloseBtnPressed = false;
        return false;
    }
    const int i = TabPageAt(p);
    const int active = FActivePage ? FActivePage->PageIndex() : -1;
    auto inClose = [&](int page) {
        const TRect b = CloseBtnRect(SkinnedPage(page));
        return PtInRect(&b, p) != FALSE;
    };
    if (i == FHotPage) {
        if (FShowCloseBtns && FHotPage != -1) {
            RepaintCloseBtn(FHotPage, inClose(FHotPage) ? 1 : 0, FHotTrack ? 1 : 0);
            return true;
        }
        if (FShowCloseBtns && i == -1 && active >= 0) RepaintCloseBtn(active, inClose(active) ? 1 : 0, 2);
        return false;
    }
    if (FHotPage != -1) {
        if (tracked) RepaintTab(FHotPage, 0, nullptr);
        RepaintCloseBtn(FHotPage, 0, 0);
    } else if (FShowCloseBtns && active >= 0 && i != active) {
        RepaintCloseBtn(active, 0, 2);
    }
    const std::shared_ptr<const bool> alive = Alive();
    InheritedWndProc(M);
    if (!*alive) return true;
    FHotPage = i;
    if (FHotPage != -1) {
        if (FHotPage != active) {
            if (tracked) RepaintTab(FHotPage, FHotTrack ? 1 : 0, nullptr);
        } else {
            FHotPage = -1;
            if (FShowCloseBtns) RepaintCloseBtn(active, inClose(active) ? 1 : 0, 2);
            return true;
        }
    }
    if (FShowCloseBtns && FHotPage != -1 && inClose(FHotPage)) {
        RepaintCloseBtn(FHotPage, 1, FHotTrack ? 1 : 0);
        return true;
    }
    return true;
}
