#include "sLabel.h"

#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sConst.h"
#include "sGlobals.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <algorithm>

// clang-format off
CLASSLIB_DEFINE_CLASS(TsCustomLabel, TCustomLabel,
    StrProp<TsCustomLabel>("SkinSection", &TsCustomLabel::SkinSection, &TsCustomLabel::SetSkinSection))
// clang-format on
// clang-format off
CLASSLIB_DEFINE_CLASS(TsLabel, TsCustomLabel,
    OrdProp<TsLabel>("UseSkinColor", TTypeKind::tkBool, &TsLabel::UseSkinColor, &TsLabel::SetUseSkinColor, 1))
// clang-format on
CLASSLIB_DEFINE_CLASS(TsEditLabel, TsLabel)
// clang-format off
CLASSLIB_DEFINE_CLASS(TsShadow, TPersistent,
    OrdProp<TsShadow>("BlurCount", TTypeKind::tkInteger, &TsShadow::BlurCount, &TsShadow::SetBlurCount, 4),
    OrdProp<TsShadow>("Distance", TTypeKind::tkInteger, &TsShadow::Distance, &TsShadow::SetDistance, 1),
    OrdProp<TsShadow>("Color", TTypeKind::tkInteger, &TsShadow::Color, &TsShadow::SetColor, clBlack),
    OrdProp<TsShadow>("Mode", TTypeKind::tkEnumeration, &TsShadow::Mode, &TsShadow::SetMode, smSkin1))
// clang-format on
// clang-format off
CLASSLIB_DEFINE_CLASS(TsKind, TPersistent,
    OrdProp<TsKind>("KindType", TTypeKind::tkEnumeration, &TsKind::KindType, &TsKind::SetKindType, ktSkin),
    OrdProp<TsKind>("Color", TTypeKind::tkInteger, &TsKind::Color, &TsKind::SetColor, clWhite))
// clang-format on
// clang-format off
CLASSLIB_DEFINE_CLASS(TsLabelFX, TsCustomLabel,
    ObjProp<TsLabelFX, TsShadow>("Shadow", &TsLabelFX::Shadow, &TsLabelFX::SetShadow),
    ObjProp<TsLabelFX, TsKind>("Kind", &TsLabelFX::Kind, &TsLabelFX::SetKind))
// clang-format on

namespace {

// The default manager when it has a skin in use.
TsSkinManager* ActiveDefault() { return DefaultManager && DefaultManager->Active() ? DefaultManager : nullptr; }

// The section the label names, when the active default skin has it at an index above 0.
int LabelSectionIndex(const String& Section) {
    if (Section.empty()) return -1;
    TsSkinManager* m = ActiveDefault();
    if (!m) return -1;
    int i = SectionIndexOf(m, Section);
    return i > 0 ? i : -1;
}

const TsGeneralData* GlobalInfo() {
    TsSkinManager* m = ActiveDefault();
    return m && !m->gd().empty() ? &m->gd()[0] : nullptr;
}

bool IsNoSkinColor(std::uint32_t c) { return c == acSkinNoColor || c == 0xFFFFFFFFu; }

bool NamesDefaultManager(const TMessage& M) {
    return DefaultManager && M.LParam == reinterpret_cast<LPARAM>(DefaultManager);
}

// One channel of Shadow laid over Back with opacity A (0..255). Dividing by
// 255 with rounding keeps both ends exact: where the blur left no shadow the
// pixel behind keeps its colour, and a full shadow shows its own.
std::uint8_t BlendShadow(int Back, int Shadow, int A) {
    return static_cast<std::uint8_t>((Back * (255 - A) + Shadow * A + 127) / 255);
}

}  // namespace

// ---------------------------------------------------------------------------
// TsCustomLabel

TsCustomLabel::TsCustomLabel(TComponent* AOwner) : TCustomLabel(AOwner) { SetTransparent(true); }

void TsCustomLabel::SetSkinSection(const String& Value) {
    if (FSkinSection == Value) return;
    FSkinSection = Value;
    Repaint();
}

TFont* TsCustomLabel::GetCurrentFont() {
    if (TsSkinManager* m = ActiveDefault()) {
        TColor c = GlobalFontColor(m);
        if (c != acNoColor && FFont->Color() != c) FFont->SetColor(c);
    }
    return FFont;
}

String TsCustomLabel::TextToDraw(UINT& Flags) const {
    String text = GetLabelText();
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
    if (!FShowAccelChar) Flags |= DT_NOPREFIX;
    Flags = static_cast<UINT>(DrawTextBiDiModeFlags(static_cast<int>(Flags)));
    return text;
}

void TsCustomLabel::Paint() {
    const int si = LabelSectionIndex(FSkinSection);
    if (!acLabelFontGuard) {
        const TBoolScope guard(acLabelFontGuard, true);
        // Every override hands back FFont itself, brought up to the skin.
        GetCurrentFont();
        if (si > 0) {
            TColor c = TColor(DefaultManager->gd()[static_cast<size_t>(si)].FontColor[0]);
            if (FFont->Color() != c) FFont->SetColor(c);
        }
    }
    if (si > 0 && FParent) {
        ParentCacheInfo.Ready = false;
        SendSkinCommand(FParent, AC_GETCACHE, 0);
        TCacheInfo ci = ParentCacheInfo;
        PaintItemToDC(si, FSkinSection, ci, DefaultManager, Canvas()->Handle(), TPoint{FLeft, FTop},
                      TRect{0, 0, FWidth, FHeight}, 0);
    }
    TCustomLabel::Paint();
}

void TsCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
    if (Enabled() || !ActiveDefault()) {
        TCustomLabel::DoDrawText(Rect, Flags);
        return;
    }
    String text = TextToDraw(Flags);
    TCanvas* canvas = Canvas();
    canvas->SetFont(FFont);
    TColor back = FParent ? QueryParentColor(FParent) : TColor(ColorToRGB(FColor));
    // The query leaves its answer in the program-wide parent colour, which
    // the next control's rebuild would take for its own parent's.
    acParentColor = acNoColor;
    canvas->Font()->SetColor(MixColors(TColor(ColorToRGB(FFont->Color())), back, 0.4));
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextRect(Rect, text, Flags);
}

void TsCustomLabel::WndProc(TMessage& Message) {
    if (Message.Msg == CM_FONTCHANGED) {
        if (!acLabelFontGuard) {
            if (FAutoSize) AdjustBounds();
            Repaint();
        }
        return;
    }
    // The handler may free the label: then nothing of it is touched again.
    if (Message.Msg == CM_MOUSEENTER && OwnMouseMessage(Message, this) && OnMouseEnter && !FireStays(OnMouseEnter))
        return;
    // Skinned labels say so: adapters leave them alone.
    if (Message.Msg == SM_ALPHACMD && Message.WParamHi() == AC_SKINNEDQUERY) {
        Message.LParam = 1;
        Message.Result = 1;
        return;
    }
    TCustomLabel::WndProc(Message);
    if (Message.Msg == SM_ALPHACMD && Message.WParamHi() == AC_REMOVESKIN && NamesDefaultManager(Message)) {
        if (FFont->Color() != clWindowText) FFont->SetColor(clWindowText);
    } else if (Message.Msg == CM_MOUSELEAVE && OwnMouseMessage(Message, this) && OnMouseLeave) {
        FireStays(OnMouseLeave);
    }
}

bool TsCustomLabel::FireStays(const TNotifyEvent& Event) {
    const std::shared_ptr<const bool> alive = Alive();
    FireEvent(Event, this);
    return *alive;
}

// ---------------------------------------------------------------------------
// TsLabel

TsLabel::TsLabel(TComponent* AOwner) : TsCustomLabel(AOwner) { FUseSkinColor = true; }

void TsLabel::SetUseSkinColor(bool Value) {
    if (FUseSkinColor == Value) return;
    FUseSkinColor = Value;
    Invalidate();
}

TFont* TsLabel::GetCurrentFont() { return FUseSkinColor ? TsCustomLabel::GetCurrentFont() : FFont; }

void TsLabel::WndProc(TMessage& Message) {
    if (Message.Msg == SM_ALPHACMD && Message.WParamHi() == AC_REMOVESKIN) {
        if (NamesDefaultManager(Message) && FUseSkinColor && FFont->Color() != clWindowText)
            FFont->SetColor(clWindowText);
        return;
    }
    TsCustomLabel::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TsEditLabel

TsEditLabel::TsEditLabel(TComponent* AOwner, TsBoundLabel* ABoundLabel) : TsLabel(AOwner), BoundLabel(ABoundLabel) {}

TsEditLabel::~TsEditLabel() {
    if (BoundLabelRef && *BoundLabelRef == this) *BoundLabelRef = nullptr;
}

// ---------------------------------------------------------------------------
// TsShadow and TsKind

TsShadow::TsShadow(TsLabelFX* AOwner) : FOwner(AOwner) {
    COLORREF c = ColorToRGB(FColor);
    Red = GetRValue(c);
    Green = GetGValue(c);
    Blue = GetBValue(c);
}

void TsShadow::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TsShadow*>(Source)) {
        FBlurCount = s->FBlurCount;
        FDistance = s->FDistance;
        FMode = s->FMode;
        SetColor(s->FColor);
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TsShadow::Changed() {
    if (FOwner) FOwner->Invalidate();
}

void TsShadow::SetBlurCount(int Value) {
    if (FBlurCount == Value) return;
    FBlurCount = Value;
    Changed();
}

void TsShadow::SetDistance(int Value) {
    if (FDistance == Value) return;
    FDistance = Value;
    Changed();
}

void TsShadow::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    COLORREF c = ColorToRGB(Value);
    Red = GetRValue(c);
    Green = GetGValue(c);
    Blue = GetBValue(c);
    Changed();
}

void TsShadow::SetMode(TsShadowMode Value) {
    if (FMode == Value) return;
    FMode = Value;
    Changed();
}

void TsKind::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TsKind*>(Source)) {
        FKindType = s->FKindType;
        FColor = s->FColor;
        if (FOwner) FOwner->Invalidate();
        return;
    }
    TPersistent::Assign(Source);
}

void TsKind::SetKindType(TsKindType Value) {
    if (FKindType == Value) return;
    FKindType = Value;
    if (FOwner) FOwner->Invalidate();
}

void TsKind::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    if (FOwner) FOwner->Invalidate();
}

// ---------------------------------------------------------------------------
// TsLabelFX

TsLabelFX::TsLabelFX(TComponent* AOwner) : TsCustomLabel(AOwner) {
    FShadow = new TsShadow(this);
    FKind = new TsKind(this);
    FShadowBmp = new TBitmap();
    FShadowBmp->SetPixelFormat(pf32bit);
}

TsLabelFX::~TsLabelFX() {
    delete FShadow;
    FShadow = nullptr;
    delete FShadowBmp;
    FShadowBmp = nullptr;
    delete FKind;
    FKind = nullptr;
}

void TsLabelFX::ShadowParams(TColor& Color, int& Passes, int& Distance) const {
    Color = FShadow->Color();
    Passes = FShadow->BlurCount();
    Distance = FShadow->Distance();
    if (FShadow->Mode() == smSkin1 && ActiveDefault()) {
        const TacSkinData& skin = DefaultManager->SkinData();
        if (skin.Shadow1Blur != -1) {
            Color = TColor(skin.Shadow1Color);
            Passes = skin.Shadow1Blur;
            Distance = skin.Shadow1Offset;
        }
    }
}

TColor TsLabelFX::TextColor() const {
    switch (FKind->KindType()) {
        case ktStandard: return TColor(ColorToRGB(FColor));
        case ktCustom: return TColor(ColorToRGB(FKind->Color()));
        case ktSkin:
        default:
            if (const TsGeneralData* g = GlobalInfo())
                if (!IsNoSkinColor(g->FontColor[1])) return TColor(g->FontColor[1]);
            return TColor(ColorToRGB(FKind->Color()));
    }
}

void TsLabelFX::DoDrawText(TRect& Rect, UINT Flags) {
    if (FShadow->Mode() == smNone) {
        TsCustomLabel::DoDrawText(Rect, Flags);
        return;
    }
    TColor shadowColor;
    int passes, distance;
    ShadowParams(shadowColor, passes, distance);
    COLORREF rgb = ColorToRGB(shadowColor);
    FShadow->Red = GetRValue(rgb);
    FShadow->Green = GetGValue(rgb);
    FShadow->Blue = GetBValue(rgb);

    String text = TextToDraw(Flags);
    TCanvas* canvas = Canvas();
    canvas->SetFont(FFont);
    canvas->Brush()->SetStyle(bsClear);
    const bool measuring = (Flags & DT_CALCRECT) != 0;
    const bool noShadow = shadowColor == clNone || passes == 0;

    // A disabled label is engraved and casts no shadow. Measuring goes on as
    // for an enabled one, so that enabling it later needs no new size.
    if (!Enabled() && !measuring) {
        TRect r = Rect;
        OffsetRect(&r, 1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        canvas->TextRect(r, text, Flags);
        canvas->Font()->SetColor(clBtnShadow);
        canvas->TextRect(Rect, text, Flags);
        return;
    }
    canvas->Font()->SetColor(TextColor());
    if (measuring || noShadow) {
        canvas->TextRect(Rect, text, Flags);
    } else {
        TRect t{Rect.left - FShadowLead, Rect.top - FShadowLead, Rect.right - FShadowTrail, Rect.bottom - FShadowTrail};
        PaintShadow(text, Rect, t, Flags, shadowColor, passes, distance);
        canvas->Font()->SetColor(TextColor());
        canvas->Brush()->SetStyle(bsClear);
        canvas->TextRect(t, text, Flags);
    }
    if (measuring && !noShadow) {
        FShadowLead = std::min(0, distance - passes);
        FShadowTrail = std::max(0, distance + passes);
        Rect.right += FShadowTrail - FShadowLead;
        Rect.bottom += FShadowTrail - FShadowLead;
    }
}

void TsLabelFX::PaintShadow(const String& Text, const TRect& R, const TRect& T, UINT Flags, TColor ShadowColor,
                            int Passes, int Distance) {
    (void)ShadowColor;
    const int w = RectWidth(R), h = RectHeight(R);
    if (w <= 0 || h <= 0) return;
    TCanvas* canvas = Canvas();
    // The shadow's shape: the text in white on black.
    FShadowBmp->SetPixelFormat(pf32bit);
    FShadowBmp->SetSize(w, h);
    TCanvas* pc = FShadowBmp->Canvas();
    pc->Brush()->SetStyle(bsSolid);
    pc->Brush()->SetColor(clBlack);
    pc->FillRect(TRect{0, 0, w, h});
    pc->SetFont(canvas->Font());
    pc->Font()->SetColor(clWhite);
    pc->Brush()->SetStyle(bsClear);
    TRect st = T;
    OffsetRect(&st, Distance, Distance);
    pc->TextRect(st, Text, Flags);
    GdiFlush();

    // Blur: stamp the shape, then average the four neighbours in place.
    const int w2 = w + 2, h2 = h + 2;
    const size_t need = static_cast<size_t>(w2) * h2 * 2;
    const size_t shapeSize = static_cast<size_t>(w) * h;
    if (FMask.size() < need + shapeSize) FMask.resize(need + shapeSize);
    std::fill(FMask.begin(), FMask.begin() + static_cast<std::ptrdiff_t>(need), 0);
    std::uint8_t* m = FMask.data();
    // The shape is read once (the bitmap is a top-down DIB: rows follow at
    // BytesPerScanLine from row 0) and stamped from the copy at every pass.
    std::uint8_t* shape = m + need;
    {
        const auto* bits = static_cast<const std::uint8_t*>(FShadowBmp->ScanLine(0));
        const std::ptrdiff_t stride = FShadowBmp->BytesPerScanLine();
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* row = bits + y * stride;
            for (int x = 0; x < w; ++x) shape[static_cast<size_t>(y) * w + x] = row[x * 4] != 0;
        }
    }
    for (int pass = 0; pass < Passes; ++pass) {
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* srow = shape + static_cast<size_t>(y) * w;
            for (int x = 0; x < w; ++x)
                if (srow[x]) m[(y + 1) * w2 + x + 1] = 255;
        }
        for (int y = 1; y <= h2 - 2; ++y)
            for (int x = 1; x <= w2 - 2; ++x) {
                const int i = y * w2 + x;
                m[i] = static_cast<std::uint8_t>((m[i - w2] + m[i + w2] + m[i - 1] + m[i + 1]) >> 2);
            }
    }

    // Composition over what lies behind the label (or over its Color).
    const int sr = FShadow->Red, sg = FShadow->Green, sb = FShadow->Blue;
    const bool transparent = Transparent();
    if (transparent) BitBlt(pc->Handle(), 0, 0, w, h, canvas->Handle(), 0, 0, SRCCOPY);
    GdiFlush();
    COLORREF back = ColorToRGB(FColor);
    const int br = GetRValue(back), bg = GetGValue(back), bb = GetBValue(back);
    auto* bits = static_cast<std::uint8_t*>(FShadowBmp->ScanLine(0));
    const std::ptrdiff_t stride = FShadowBmp->BytesPerScanLine();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = bits + y * stride;
        for (int x = 0; x < w; ++x) {
            const int a = m[(y + 1) * w2 + x + 1];
            std::uint8_t* p = row + x * 4;
            p[0] = BlendShadow(transparent ? p[0] : bb, sb, a);
            p[1] = BlendShadow(transparent ? p[1] : bg, sg, a);
            p[2] = BlendShadow(transparent ? p[2] : br, sr, a);
        }
    }
    BitBlt(canvas->Handle(), 0, 0, w, h, pc->Handle(), 0, 0, SRCCOPY);
}
