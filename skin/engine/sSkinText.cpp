#include "sSkinText.h"

#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sCommonData.h"
#include "sSkinManager.h"

#include <algorithm>

namespace {

bool IsNone(std::uint32_t c) { return c == std::uint32_t(clNone) || c == 0xFFFFFFFFu; }

// The colours one text is drawn in: the contours (none for "none") and the text.
struct TextColors {
    std::uint32_t Contour[4] = {std::uint32_t(clNone), std::uint32_t(clNone), std::uint32_t(clNone),
                                std::uint32_t(clNone)};
    TColor Text = clWindowText;
    bool Underline = false;
};

TextColors ColorsOfSection(const TsGeneralData& gd, bool Enabled, bool Hot) {
    TextColors c;
    const std::uint32_t* set = Hot ? gd.HotFontColor : gd.FontColor;
    if (!Enabled) {
        c.Text = MixColorsHalf(TColor(set[0]), TColor(Hot ? gd.HotColor : gd.Color));
        return c;
    }
    c.Text = TColor(set[0]);
    for (int i = 0; i < 4; ++i) c.Contour[i] = set[i + 1];
    c.Underline = Hot && gd.Name == "WEBBUTTON";
    return c;
}

// Text in the given colours on the canvas, with a clear brush, clipped to R.
void DrawColoredText(TCanvas* Canvas, const String& Text, TRect& R, UINT Flags, const TextColors& c) {
    HDC dc = Canvas->Handle();
    if (Flags & DT_CALCRECT) {
        DrawTextA(dc, Text.c_str(), int(Text.size()), &R, Flags);
        return;
    }
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    IntersectClipRect(dc, R.left, R.top, R.right, R.bottom);
    HFONT underline = nullptr;
    if (c.Underline) {
        LOGFONTA lf = Canvas->Font()->LogFont();
        lf.lfUnderline = TRUE;
        underline = CreateFontIndirectA(&lf);
        if (underline) SelectObject(dc, underline);
    }
    static const int dx[4] = {-1, 0, 1, 0}, dy[4] = {0, -1, 0, 1};
    for (int i = 0; i < 4; ++i) {
        if (IsNone(c.Contour[i])) continue;
        TRect moved = R;
        OffsetRect(&moved, dx[i], dy[i]);
        SetTextColor(dc, ColorToRGB(TColor(c.Contour[i])));
        DrawTextA(dc, Text.c_str(), int(Text.size()), &moved, Flags);
    }
    SetTextColor(dc, ColorToRGB(c.Text));
    TRect r = R;
    DrawTextA(dc, Text.c_str(), int(Text.size()), &r, Flags);
    RestoreDC(dc, saved);
    if (underline) DeleteObject(underline);
}

}  // namespace

void WriteSkinTextWeb(TCanvas* Canvas, const String& Text, bool Enabled, bool Hot, TsCommonData* SkinData, UINT Flags,
                      const TRect& R) {
    if (!Canvas || Text.empty()) return;
    TextColors c;
    c.Text = Canvas->Font()->Color();
    if (SkinData) {
        const TsSkinManager* m = SkinData->GetSkinManager();
        if (m && IsValidSectionIndex(m, SkinData->SkinIndex)) {
            const TsGeneralData& gd = m->gd()[std::size_t(SkinData->SkinIndex)];
            if (SkinData->CustomFont()) {
                c.Underline = Hot && Enabled && gd.Name == "WEBBUTTON";
                if (!Enabled) c.Text = MixColorsHalf(c.Text, TColor(Hot ? gd.HotColor : gd.Color));
            } else {
                c = ColorsOfSection(gd, Enabled, Hot);
            }
        }
    }
    TRect r = R;
    DrawColoredText(Canvas, Text, r, Flags & ~UINT(DT_CALCRECT), c);
}

void WriteSkinText(TCanvas* Canvas, const String& Text, bool Enabled, TRect& R, UINT Flags, int SectionIndex, bool Hot,
                   TsSkinManager* Manager) {
    const TsSkinManager* m = Manager ? Manager : DefaultManager;
    if (!Canvas || Text.empty() || !m || !IsValidSectionIndex(m, SectionIndex)) return;
    DrawColoredText(Canvas, Text, R, Flags, ColorsOfSection(m->gd()[std::size_t(SectionIndex)], Enabled, Hot));
}

int DrawTextOnDC(HDC DC, const String& Text, TRect& R, UINT Flags) {
    if (!DC) return 0;
    return DrawTextA(DC, Text.c_str(), int(Text.size()), &R, Flags);
}

UINT TextFlagsForAlignment(const TControl* Control, TAlignment Alignment) {
    UINT flags = DT_EXPANDTABS | DT_VCENTER;
    if (Alignment == taRightJustify) flags |= DT_RIGHT;
    else if (Alignment == taCenter) flags |= DT_CENTER;
    return Control ? UINT(Control->DrawTextBiDiModeFlags(int(flags))) : flags;
}

void TextSizeOnScreen(HFONT Font, const String& Text, TSize& Size) {
    Size = TSize{0, 0};
    const TScreenDC dc;
    if (!dc) return;
    const TSelectedObject font(dc, Font);
    if (!GetTextExtentPoint32A(dc, Text.c_str(), int(Text.size()), &Size)) Size = TSize{0, 0};
}

TSize TextSizeOnScreen(TFont* Font, const String& Text) {
    TSize s{0, 0};
    TextSizeOnScreen(Font ? Font->Handle() : nullptr, Text, s);
    return s;
}

int CanvasTextSize(TCanvas* Canvas, const String& Text) { return Canvas ? Canvas->TextWidth(Text) : 0; }

void CanvasTextExtentTo(TCanvas* Canvas, const String& Text, TSize& Size) {
    Size = Canvas ? Canvas->TextExtent(Text) : TSize{0, 0};
}

void CanvasTextRect(TCanvas* Canvas, const TRect& R, int X, int Y, const String& Text) {
    if (Canvas) Canvas->TextRect(R, X, Y, Text);
}

String CutTextToWidth(TCanvas* Canvas, const String& Text, int Width) {
    if (!Canvas) return Text;
    if (Canvas->TextWidth(Text) <= Width) return Text;
    static const String dots = "...";
    auto fits = [&](std::size_t n) { return Canvas->TextWidth(Text.substr(0, n) + dots) <= Width; };
    if (!fits(0)) return String();
    // Longest start that fits, by halving: widths grow with the length.
    std::size_t lo = 0, hi = Text.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (fits(mid)) lo = mid;
        else hi = mid - 1;
    }
    return Text.substr(0, lo) + dots;
}

void CalcGlyphTextLayout(const TRect& R, TSize GlyphSize, TSize TextSize, TacGlyphLayout Layout, int Margin,
                         int Spacing, TPoint& GlyphPos, TRect& TextRect, bool RightToLeft) {
    if (RightToLeft) {
        if (Layout == glGlyphLeft) Layout = glGlyphRight;
        else if (Layout == glGlyphRight) Layout = glGlyphLeft;
    }
    // A part without area takes no room at all, and any negative margin or
    // spacing means the automatic one here.
    if (GlyphSize.cx <= 0 || GlyphSize.cy <= 0) GlyphSize = TSize{0, 0};
    if (TextSize.cx <= 0 || TextSize.cy <= 0) TextSize = TSize{0, 0};
    CalcGlyphCaptionLayout(R, GlyphSize, TextSize, Layout, Margin < 0 ? -1 : Margin, Spacing < 0 ? -1 : Spacing,
                           GlyphPos, TextRect);
}
