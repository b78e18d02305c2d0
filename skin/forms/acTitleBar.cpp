// The title bar shared by the form provider and the dialog adapter.
#include "acTitleBar.h"

#include "sAlphaGraph.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinText.h"

#include <algorithm>
#include <memory>

namespace {
const char kGlobalInfo[] = "GLOBALINFO";
}  // namespace

TacTitleMasks LoadTitleMasks(TsSkinManager* M, int SkinIndex, const String& Section, bool Small) {
    TacTitleMasks r;
    if (!M) return r;
    const int gi = SectionIndexOf(M, kGlobalInfo);
    auto global = [&](const char* name) { return MaskIndexOf(M, gi, kGlobalInfo, name); };
    if (MaskIndexOfNoParent(M, kGlobalInfo, "BICONCLOSE") < 0) {
        // Skins that keep the buttons with the frame's own section.
        r.Min = MaskIndexOf(M, SkinIndex, Section, "BICONMIN");
        r.Max = MaskIndexOf(M, SkinIndex, Section, "BICONMAX");
        r.Close = MaskIndexOf(M, SkinIndex, Section, "BICONCLOSE");
        r.Help = MaskIndexOf(M, SkinIndex, Section, "BICONHELP");
        return r;
    }
    r.Close = global(Small ? "SICONCLOSE" : "BICONCLOSE");
    r.Min = global(Small ? "SICONMIN" : "BICONMIN");
    r.Max = global(Small ? "SICONMAX" : "BICONMAX");
    r.Help = Small && global("SICONHELP") >= 0 ? global("SICONHELP") : global("BICONHELP");
    if (r.Close < 0) {
        // No small set: the big glyphs serve.
        r.Min = global("BICONMIN");
        r.Max = global("BICONMAX");
        r.Close = global("BICONCLOSE");
        r.Help = global("BICONHELP");
    }
    return r;
}

int TitleButtonMask(TsSkinManager* M, int SkinIndex, const String& Section, const TacTitleMasks& Masks, int Code,
                    bool Iconic, bool Zoomed) {
    auto restore = [&](const char* name) {
        const int g = MaskIndexOfNoParent(M, kGlobalInfo, name);
        return g >= 0 ? g : MaskIndexOf(M, SkinIndex, Section, name);
    };
    switch (Code) {
        case HTCLOSE: return Masks.Close;
        case HTMAXBUTTON:
            if (Zoomed) return restore("BICONNORM");
            return Iconic ? restore("BICONMAX") : Masks.Max;
        case HTMINBUTTON: return Iconic ? restore("BICONNORM") : Masks.Min;
        case HTHELP: return Masks.Help;
        default: return -1;
    }
}

TSize TitleButtonSize(TsSkinManager* M, int Mask) {
    const TSize s = MaskSize(M, Mask);
    return TSize{s.cx > 0 ? s.cx : 21, s.cy > 0 ? s.cy : 21};
}

int TitleButtonSpace(TsSkinManager* M) { return M ? M->CommonSkinData().BISpace : 0; }

int TitleIconSize(int Caption) {
    if (Caption < 9) return 0;
    if (Caption <= 16) return 8;
    if (Caption <= 27) return 16;
    return 32;
}

bool TrackTitleLeave(HWND Wnd) {
    TRACKMOUSEEVENT t{};
    t.cbSize = sizeof t;
    t.dwFlags = TME_LEAVE | TME_NONCLIENT;
    t.hwndTrack = Wnd;
    return TrackMouseEvent(&t) != FALSE;
}

int FrameGripMask(TsSkinManager* M) { return MaskIndexOfNoParent(M, kGlobalInfo, "GRIPIMAGE"); }

TPoint FrameGripPlace(TsSkinManager* M, int Mask, int Width, int Height, int BorderX, int BorderY) {
    const TSize s = MaskSize(M, Mask);
    return TPoint{Width - int(s.cx) - BorderX, Height - int(s.cy) - BorderY};
}

void PaintFrameGrip(TBitmap* Cache, TsSkinManager* M, int BorderX, int BorderY) {
    const int grip = FrameGripMask(M);
    if (grip >= 0)
        PaintImageState(Cache, FrameGripPlace(M, grip, Cache->Width(), Cache->Height(), BorderX, BorderY), 0, grip, 0,
                        M);
}

int TitleButtonTop(int Caption, int Border, int Height) {
    return (Caption - Height + Border) / 2 + (Height < 16 ? 2 : 0);
}

TacTitleRow::TacTitleRow(int Right, int Space, int Caption, int Border)
    : FRight(Right - Space), FLeft(Right), FSpace(Space), FCaption(Caption), FBorder(Border) {}

void TacTitleRow::Place(TsCaptionButton& Button, TSize Size) {
    const int top = TitleButtonTop(FCaption, FBorder, Size.cy);
    Button.Rect = TRect{FRight - int(Size.cx), top, FRight, top + int(Size.cy)};
    FLeft = Button.Rect.left;
    FRight = FLeft - FSpace;
}

int TitleBarHitTest(POINT P, int BandTop, int BandHeight, int IconLeft, int IconRight,
                    const std::vector<TacTitleHit>& Buttons) {
    if (P.y < BandTop || P.y >= BandTop + BandHeight) return HTNOWHERE;
    if (IconRight > IconLeft && P.x >= IconLeft && P.x < IconRight) return HTSYSMENU;
    for (const TacTitleHit& b : Buttons)
        if (b.Rect.right > b.Rect.left && P.x >= b.Rect.left && P.x < b.Rect.right)
            return b.Enabled ? b.Code : HTCAPTION;
    return HTCAPTION;
}

void PaintTitleButton(TBitmap* Cache, const TsCaptionButton& Button, int Mask, TsPaintState State, bool Dimmed,
                      TsSkinManager* M) {
    if (Mask < 0 || !Cache) return;
    const TPoint at{Button.Rect.left, Button.Rect.top};
    const int w = Button.Rect.right - Button.Rect.left, h = Button.Rect.bottom - Button.Rect.top;
    if (!Dimmed || w <= 0 || h <= 0) {
        PaintImageState(Cache, at, acStateIndex(State), Mask, 1, M);
        return;
    }
    // The glyph at half strength over what lies under it.
    std::unique_ptr<TBitmap> under = NewBitmap24(w, h);
    BitBlt(under->Canvas()->Handle(), 0, 0, w, h, Cache->Canvas()->Handle(), at.x, at.y, SRCCOPY);
    PaintImageState(Cache, at, acStateIndex(State), Mask, 2, M);
    BlendBitmapAt(Cache, under.get(), 128, at, TRect{0, 0, w, h});
}

// ---------------------------------------------------------------------------
// The title band

void PaintTitleBackground(TBitmap* Cache, TsSkinManager* M, const TacTitleLook& Look,
                          const std::function<void()>& Icon) {
    const int state = Look.Active ? 1 : 0;
    if (Look.Section >= 0)
        PaintSkinItem(Look.Section, String(), MakeCacheInfo(Cache), true, state, Look.Band, TPoint{0, 0}, Cache, M);
    if (Icon) Icon();
    if (Look.BarMask < 0) return;
    const int corner = MaskSize(M, Look.BarMask).cx / 3;
    TRect r = Look.BarSpan;
    if (Look.BarExtent == TacBarExtent::ToRightEnd) {
        r.left -= 2 * corner;
    } else {
        r.left -= corner;
        r.right += corner;
    }
    // The strip lies inside the title's own edge line, which stays whole.
    if (IsValidSectionIndex(M, Look.Section)) {
        const int edge = MaskIndexOf(M, Look.Section, M->gd()[std::size_t(Look.Section)].Name, "BORDERSMASK");
        if (IsValidMaskIndex(M, edge)) {
            const TsMaskData& k = M->ma()[std::size_t(edge)];
            r.top = std::max<LONG>(r.top, Look.Band.top + k.WT);
            r.right = std::min<LONG>(r.right, Look.Band.right - k.WR);
        }
    }
    PaintNineSliceTemplate(Cache, true, state, Look.BarMask, r, M);
}

void PaintTitleCaption(TBitmap* Cache, TsSkinManager* M, const TacTitleLook& Look) {
    TRect r = Look.TextRect;
    if (r.right <= r.left || Look.Text.empty()) return;
    TCanvas* canvas = Cache->Canvas();
    if (Look.Font) canvas->Font()->Assign(Look.Font);
    if (Look.Bold) canvas->Font()->SetStyle(canvas->Font()->Style() + TFontStyles{fsBold});
    if (Look.FontHeight) canvas->Font()->SetHeight(-Look.FontHeight);
    UINT flags = Look.Alignment | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
    String text = Look.Text;
    if (Look.Cut == TacCaptionCut::Ellipsis) flags |= DT_END_ELLIPSIS;
    else text = CutTextToWidth(canvas, text, r.right - r.left);
    WriteSkinText(canvas, text, Look.Enabled, r, flags, Look.TextSection, Look.Active, M);
}

// ---------------------------------------------------------------------------
// TacTitleElements

TsCaptionButton* TacTitleElements::Element(int Code) {
    switch (Code) {
        case HTCLOSE: return &Close;
        case HTMAXBUTTON: return &Max;
        case HTMINBUTTON: return &Min;
        case HTHELP: return &Help;
        default: return nullptr;
    }
}

TacTitleMasks TacTitleElements::Masks() const {
    return TacTitleMasks{Min.ImageIndex, Max.ImageIndex, Close.ImageIndex, Help.ImageIndex};
}

void TacTitleElements::SetMasks(const TacTitleMasks& M) {
    Min.ImageIndex = M.Min;
    Max.ImageIndex = M.Max;
    Close.ImageIndex = M.Close;
    Help.ImageIndex = M.Help;
}

void TacTitleElements::SetHot(int Code, bool Paint) {
    if (Code == Hot) return;
    const int old = Hot;
    Hot = Code;
    Pressed = false;
    if (TsCaptionButton* b = Element(old)) {
        b->State = TsPaintState::Normal;
        if (Paint) Repaint(old);
    }
    if (TsCaptionButton* b = Element(Code)) {
        b->State = TsPaintState::Active;
        if (Paint) Repaint(Code);
    }
    // A hot element turns normal when the mouse leaves the frame.
    if (Code && !TrackingLeave && Window()) TrackingLeave = TrackTitleLeave(Window());
}

void TacTitleElements::Press(int Code) {
    if (Code != Hot) {
        if (TsCaptionButton* old = Element(Hot)) {
            old->State = TsPaintState::Normal;
            Repaint(Hot);
        }
        Hot = Code;
    }
    Pressed = Hittable(Code);
    TsCaptionButton* b = Element(Code);
    if (!Pressed || !b) return;
    b->State = TsPaintState::Pressed;
    Repaint(Code);
}

std::vector<TacTitleHit> TacTitleElements::Hits(const std::vector<int>& Codes) {
    std::vector<TacTitleHit> hits;
    for (int code : Codes)
        if (const TsCaptionButton* b = Element(code)) hits.push_back(TacTitleHit{code, b->Rect, Hittable(code)});
    return hits;
}

// ---------------------------------------------------------------------------
// TacTitleStrip

TacTitleStrip::TacTitleStrip() : FBmp(NewBitmap24(0, 0)) {}
TacTitleStrip::~TacTitleStrip() = default;

void TacTitleStrip::Save(TBitmap* Cache, int Left, int Height) {
    const int w = std::max(Cache->Width() - Left, 0), h = std::max(std::min(Height, Cache->Height()), 0);
    FBmp->SetPixelFormat(pf24bit);
    FBmp->SetSize(w, h);
    if (w > 0 && h > 0) BitBlt(FBmp->Canvas()->Handle(), 0, 0, w, h, Cache->Canvas()->Handle(), Left, 0, SRCCOPY);
}

void TacTitleStrip::Restore(TBitmap* Cache, const TRect& R) const {
    if (Empty()) return;
    const int left = Cache->Width() - FBmp->Width();
    BitBlt(Cache->Canvas()->Handle(), R.left, R.top, R.right - R.left, R.bottom - R.top, FBmp->Canvas()->Handle(),
           R.left - left, R.top, SRCCOPY);
}

void TacTitleStrip::RestoreAll(TBitmap* Cache) const {
    if (Empty()) return;
    BitBlt(Cache->Canvas()->Handle(), Cache->Width() - FBmp->Width(), 0, FBmp->Width(), FBmp->Height(),
           FBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

bool TacTitleStrip::Empty() const { return FBmp->Empty(); }
int TacTitleStrip::Width() const { return FBmp->Width(); }
