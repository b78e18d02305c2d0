#include "sPartPainters.h"

#include "sAlphaGraph.h"
#include "sGlobals.h"
#include "sGraphUtils.h"
#include "sSkinFile.h"
#include "sSkinManager.h"
#include "sSkinText.h"

#include <algorithm>

namespace {

constexpr UINT acHeaderTextFlags = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_END_ELLIPSIS;
// The drawn mark of a skin without arrow glyphs: rows of 7, 5, 3 and 1 pixels.
constexpr TSize acTriangleSize{7, 4};

// The skin's arrow glyph for the mark, -1 when it has none.
int SortGlyph(TsSkinManager* M, TsSortMark Sort) {
    const TacStandardIndexes& std = M->StdIndexes();
    const int glyph = Sort == TsSortMark::Ascending ? std.ScrollBtnTop.Glyph : std.ScrollBtnBottom.Glyph;
    return IsValidMaskIndex(M, glyph) ? glyph : -1;
}

void DrawTriangle(TCanvas* C, TPoint P, TsSortMark Sort, COLORREF Colour) {
    const HBRUSH brush = CreateSolidBrush(Colour);
    for (int row = 0; row < acTriangleSize.cy; ++row) {
        // Ascending: the point at the top.
        const int width = Sort == TsSortMark::Ascending ? 2 * row + 1 : 7 - 2 * row;
        const int left = P.x + (acTriangleSize.cx - width) / 2;
        const RECT r{left, P.y + row, left + width, P.y + row + 1};
        FillRect(C->Handle(), &r, brush);
    }
    DeleteObject(brush);
}

COLORREF SectionFontColour(TsSkinManager* M, int Section) {
    const auto& sections = M->gd();
    if (Section < 0 || std::size_t(Section) >= sections.size() ||
        sections[std::size_t(Section)].FontColor[0] == acSkinNoColor)
        return RGB(0, 0, 0);
    return ColorToRGB(TColor(sections[std::size_t(Section)].FontColor[0]));
}

// Caption, image and mark over the background of Bmp.
void DrawHeaderContent(TBitmap* Bmp, const TsHeaderSection& S, int Section, TsSkinManager* M) {
    const int w = Bmp->Width(), h = Bmp->Height();
    TCanvas* c = Bmp->Canvas();
    if (S.Font) c->Font()->SetHandle(S.Font);
    const int d = S.State == TsPaintState::Pressed ? 1 : 0;
    const int state = acStateIndex(S.State);
    TRect tr{4 + d, 1 + d, w - 8, h - 1 + d};
    int iw = 0, ih = 0;
    const bool image = S.Images && S.ImageIndex >= 0 && S.ImageIndex < ImageList_GetImageCount(S.Images) &&
                       ImageList_GetIconSize(S.Images, &iw, &ih);
    if (image && S.Alignment != taRightJustify) tr.left += iw;
    const int glyph = S.Sort == TsSortMark::None ? -1 : SortGlyph(M, S.Sort);
    const TSize mark = S.Sort == TsSortMark::None ? TSize{0, 0} : glyph >= 0 ? MaskSize(M, glyph) : acTriangleSize;
    // The mark takes the right margin's place and stands 6 pixels after the caption.
    const int room = mark.cx ? mark.cx + 6 : 0;
    if (room) tr.right = w - 4 - room;
    const int textWidth = S.Caption.empty() ? 0 : c->TextWidth(S.Caption) + 5;
    switch (S.Alignment) {
        case taRightJustify: tr.left = std::max(int(tr.left), int(tr.right - textWidth)); break;
        case taCenter:
            tr.left += std::max(0, int(tr.right - tr.left - textWidth) / 2);
            tr.right = std::min(int(tr.right), int(tr.left + textWidth));
            break;
        default: tr.right = std::min(int(tr.right), int(tr.left + textWidth)); break;
    }
    const TPoint markAt{tr.right + 6, (h - mark.cy) / 2};
    if (glyph >= 0) PaintImageState(Bmp, markAt, state, glyph, 0, M);
    else if (mark.cx) DrawTriangle(c, markAt, S.Sort, SectionFontColour(M, Section));
    if (!S.Caption.empty())
        WriteSkinText(c, S.Caption, S.Enabled, tr, acHeaderTextFlags, Section, S.State != TsPaintState::Normal, M);
    if (image) ImageList_Draw(S.Images, S.ImageIndex, c->Handle(), 4 + d, (h - ih) / 2 + d, ILD_TRANSPARENT);
}

}  // namespace

int HeaderSectionIndex(TsSkinManager* Manager, String& Name) {
    Name = "COLHEADER";
    int index = SectionIndexOf(Manager, Name);
    if (!IsValidSectionIndex(Manager, index)) {
        Name = "BUTTON";
        index = SectionIndexOf(Manager, Name);
    }
    return IsValidSectionIndex(Manager, index) ? index : -1;
}

void DrawHeaderSection(HDC DC, const TRect& R, const TsHeaderSection& Section, TsSkinManager* Manager) {
    const int w = R.right - R.left, h = R.bottom - R.top;
    String name;
    const int section = Manager ? HeaderSectionIndex(Manager, name) : -1;
    if (!DC || w <= 0 || h <= 0 || section < 0) return;
    std::unique_ptr<TBitmap> bmp = NewBitmap24(w, h);
    BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, DC, R.left, R.top, SRCCOPY);
    if (Section.Background || !Section.Column) {
        const TColor saved = acParentColor;
        acParentColor = Section.BackColor == clNone ? saved : Section.BackColor;
        PaintSkinItem(section, name, TCacheInfo{}, true, acStateIndex(Section.State), TRect{0, 0, w, h}, TPoint{0, 0},
                      bmp.get(), Manager);
        acParentColor = saved;
    }
    if (Section.Column) DrawHeaderContent(bmp.get(), Section, section, Manager);
    BitBlt(DC, R.left, R.top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}
