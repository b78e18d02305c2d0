#include "sSpeedButton.h"

#include "ActnList.h"
#include "Forms.h"
#include "sAlphaGraph.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinText.h"

#include <algorithm>

// clang-format off
CLASSLIB_DEFINE_CLASS(TsSpeedButton, TSpeedButton,
    ObjProp<TsSpeedButton, TsCommonData>("SkinData", &TsSpeedButton::SkinData),
    OrdProp<TsSpeedButton>("Grayed", TTypeKind::tkBool, &TsSpeedButton::Grayed, &TsSpeedButton::SetGrayed, 0),
    OrdProp<TsSpeedButton>("ImageIndex", TTypeKind::tkInteger, &TsSpeedButton::ImageIndex,
                           &TsSpeedButton::SetImageIndex, -1),
    ObjProp<TsSpeedButton, TCustomImageList>("Images", &TsSpeedButton::Images, &TsSpeedButton::SetImages),
    OrdProp<TsSpeedButton>("ShowCaption", TTypeKind::tkBool, &TsSpeedButton::ShowCaption,
                           &TsSpeedButton::SetShowCaption, 1),
    OrdProp<TsSpeedButton>("ButtonStyle", TTypeKind::tkEnumeration, &TsSpeedButton::ButtonStyle,
                           &TsSpeedButton::SetButtonStyle, tbsButton),
    ObjProp<TsSpeedButton, TPopupMenu>("DropdownMenu", &TsSpeedButton::DropdownMenu, &TsSpeedButton::SetDropdownMenu),
    OrdProp<TsSpeedButton, TsDisabledKind, TsDisabledKind>("DisabledKind", TTypeKind::tkSet,
        &TsSpeedButton::DisabledKind, &TsSpeedButton::SetDisabledKind,
        TsDisabledKind{dkBlended}.ToBits()),
    OrdProp<TsSpeedButton>("DisabledGlyphKind", TTypeKind::tkSet, &TsSpeedButton::DisabledGlyphKind,
                           &TsSpeedButton::SetDisabledGlyphKind, TsDisabledGlyphKind{dgBlended}.ToBits()),
    OrdProp<TsSpeedButton, TacAnimatEvents, TacAnimatEvents>("AnimatEvents", TTypeKind::tkSet,
        &TsSpeedButton::AnimatEvents, &TsSpeedButton::SetAnimatEvents,
        TacAnimatEvents{aeGlobalDef}.ToBits()))
// clang-format on

TsSpeedButton* acDropDownButton = nullptr;
bool acDropDownMenuOpen = false;

TsSpeedButton::TsSpeedButton(TComponent* AOwner) : TsSkinned(AOwner, acCtSpeedButton) {
    FLastLayout = Layout();
    FLastNumGlyphs = NumGlyphs();
    FLastSpacing = Spacing();
    FSavedGlyphChange = Glyph()->OnChange;
    Glyph()->OnChange = [this](TObject* Sender) { GlyphChangedHandler(Sender); };
}

TsSpeedButton::~TsSpeedButton() {
    // The glow is freed whatever the state: it must never tick on this
    // button's data once the button is gone.
    StopAnim(FGlow);
    if (acDropDownButton == this) acDropDownButton = nullptr;
    if (Glyph()) Glyph()->OnChange = FSavedGlyphChange;
}

void TsSpeedButton::AfterConstruction() {
    TsSkinned::AfterConstruction();
    if (HasSkin(SkinData(), /*CheckActive=*/false)) FControlStyle.Include(csOpaque);
}

void TsSpeedButton::Loaded() {
    TsSkinned::Loaded();
    if (HasSkin(SkinData(), /*CheckActive=*/false)) FControlStyle.Include(csOpaque);
}

// --- Properties --------------------------------------------------------------

void TsSpeedButton::Changed() {
    if (FVisible) SkinData()->BGChanged = true;
    RepaintThroughParent();
}

void TsSpeedButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (SkinData() && (ALeft != FLeft || ATop != FTop || AWidth != FWidth || AHeight != FHeight))
        SkinData()->BGChanged = true;
    TsSkinned::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TsSpeedButton::SetDisabledKind(TsDisabledKind Value) {
    if (DisabledKind() == Value) return;
    TsSkinned::SetDisabledKind(Value);
    Changed();
}

void TsSpeedButton::SetDisabledGlyphKind(TsDisabledGlyphKind Value) {
    if (FDisabledGlyphKind == Value) return;
    FDisabledGlyphKind = Value;
    Changed();
}

void TsSpeedButton::SetGrayed(bool Value) {
    if (FGrayed == Value) return;
    FGrayed = Value;
    Changed();
}

void TsSpeedButton::SetBlend(int Value) {
    Value = std::clamp(Value, 0, 100);
    if (FBlend == Value) return;
    FBlend = Value;
    Changed();
}

void TsSpeedButton::SetTextOffset(int Value) {
    if (FTextOffset == Value) return;
    FTextOffset = Value;
    Changed();
}

void TsSpeedButton::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    if (!SkinnedNow() && FImages) Glyph()->SetSize(0, 0);
    Changed();
}

void TsSpeedButton::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    if (!SkinnedNow() && FImages && FImageIndex >= 0 && FImageIndex < FImages->Count()) Glyph()->SetSize(0, 0);
    SkinData()->BGChanged = true;
    RepaintThroughParent();
}

void TsSpeedButton::SetShowCaption(bool Value) {
    if (FShowCaption == Value) return;
    FShowCaption = Value;
    UpdateCaption();
    Changed();
}

void TsSpeedButton::UpdateCaption() {
    String c = Caption();
    if (!c.empty()) FSavedCaption = c;
    SetCaption(FShowCaption ? FSavedCaption : String());
}

void TsSpeedButton::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Changed();
}

void TsSpeedButton::SetButtonStyle(TToolButtonStyle Value) {
    if (FButtonStyle == Value) return;
    if (!FComponentState.Contains(csLoading)) {
        if (Value == tbsDropDown) SetWidth(FWidth + 16);
        else if (FButtonStyle == tbsDropDown) SetWidth(FWidth - 16);
    }
    FButtonStyle = Value;
    Changed();
}

void TsSpeedButton::SetDropdownMenu(TPopupMenu* Value) {
    if (FDropdownMenu == Value) return;
    if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
    FDropdownMenu = Value;
    if (Value) Value->FreeNotification(this);
}

void TsSpeedButton::SetDrawOverBorder(bool Value) {
    if (FDrawOverBorder == Value) return;
    FDrawOverBorder = Value;
    Changed();
}

void TsSpeedButton::SetTextAlignment(TAlignment Value) {
    if (FTextAlignment == Value) return;
    FTextAlignment = Value;
    SkinData()->BGChanged = true;
    Repaint();
}

void TsSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
    TSpeedButton::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    if (AComponent == FDropdownMenu) FDropdownMenu = nullptr;
}

void TsSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    if (auto* action = dynamic_cast<TCustomAction*>(Sender))
        if (Glyph()->Empty() && action->Images() && action->Images()->Count() > 0 && action->ImageIndex() >= 0)
            Glyph()->SetSize(0, 0);
    TSpeedButton::ActionChange(Sender, CheckDefaults);
    UpdateCaption();
    InvalidateOwner(SkinData());
}

void TsSpeedButton::GlyphChangedHandler(TObject* Sender) {
    if (FSavedGlyphChange) FSavedGlyphChange(Sender);
    if (!FComponentState.Contains(csLoading) && !FComponentState.Contains(csDestroying) &&
        !FControlState.Contains(csCreating))
        InvalidateOwner(SkinData());
}

void TsSpeedButton::Invalidate() {
    if (Layout() != FLastLayout) {
        FLastLayout = Layout();
        if (SkinData()) SkinData()->BGChanged = true;
    }
    TSpeedButton::Invalidate();
}

// --- Measures ----------------------------------------------------------------

int TsSpeedButton::GlyphWidth() {
    if (Glyph()->Width() > 0) return Glyph()->Width() / std::max(1, NumGlyphs());
    if (FImages && FImageIndex >= 0) return FImages->Width();
    return 0;
}

int TsSpeedButton::GlyphHeight() {
    if (Glyph()->Height() > 0) return Glyph()->Height();
    if (FImages && FImageIndex >= 0) return FImages->Height();
    return 0;
}

int TsSpeedButton::MaxCaptionWidth() {
    if (!FShowCaption || Caption().empty()) return 0;
    int w = FWidth - ArrowWidth() - 2 * Margin();
    if (GlyphWidth() > 0) w -= GlyphWidth() + Spacing();
    return w;
}

TSize TsSpeedButton::TextRectSize() {
    const int mw = MaxCaptionWidth();
    if (mw <= 0 || Caption().empty()) return TSize{0, 0};
    TCanvas* canvas = SkinData()->CacheBmp->Canvas();
    canvas->SetFont(FFont);
    TRect r{0, 0, mw, 0};
    canvas->TextRect(r, Caption(), DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    return TSize{r.right, r.bottom};
}

void TsSpeedButton::CaptionRect(TRect& R, TsPaintState State) {
    const TSize t = TextRectSize();
    const int cx = t.cx, cy = t.cy;
    const int W = FWidth, H = FHeight, A = ArrowWidth(), GO = GlyphOffset();
    const int gw = GlyphWidth(), gh = GlyphHeight();
    const bool hasCaption = !Caption().empty();
    const int sp = gw > 0 && hasCaption ? Spacing() : 0;
    const int spv = gh > 0 && hasCaption ? Spacing() : 0;
    int left = 0, top = 0, right = 0, bottom = 0;
    switch (Layout()) {
        case blGlyphLeft:
        case blGlyphRight: {
            const int d = (W - A - gw - sp - cx) / 2 - GO;
            top = (H - cy) / 2;
            bottom = H - top;
            if (Layout() == blGlyphLeft) {
                FTextLayoutKind = 0;
                if (FAlignment == taLeftJustify) {
                    left = gw + Margin() + sp;
                    right = W - A - GO - 2 * d;
                } else if (FAlignment == taRightJustify) {
                    left = GO + 2 * d + gw + sp;
                    right = W - A - GO;
                } else {
                    left = gw + GO + d + sp;
                    right = W - A - GO - d;
                }
            } else {
                FTextLayoutKind = 2;
                if (FAlignment == taLeftJustify) left = GO;
                else if (FAlignment == taRightJustify) left = GO + 2 * d;
                else left = GO + d;
                right = left + cx;
            }
            break;
        }
        case blGlyphTop:
        case blGlyphBottom: {
            FTextLayoutKind = 1;
            const int e = (H - gh - spv - cy) / 2 - GO;
            left = (W - cx - A) / 2;
            right = W - (W - cx - A) / 2 - A;
            if (Layout() == blGlyphTop) {
                top = gh + GO + e + spv;
                bottom = H - e - GO;
            } else {
                top = GO + e;
                bottom = H - e - GO - gh - spv;
            }
            break;
        }
    }
    R = TRect{left - 1 + FTextOffset, top, right + 2 + FTextOffset, bottom};
    if (State == TsPaintState::Pressed) OffsetRect(&R, 1, 1);
}

void TsSpeedButton::GlyphRect(TRect& R, TsPaintState State) {
    const TSize t = FShowCaption ? TextRectSize() : TSize{0, 0};
    const int cx = t.cx, cy = t.cy;
    const int W = FWidth, H = FHeight, A = ArrowWidth(), GO = GlyphOffset();
    const int gw = GlyphWidth(), gh = GlyphHeight();
    const int sp = FShowCaption && gw > 0 && !Caption().empty() ? Spacing() : 0;
    const int d = (W - A - gw - sp - cx) / 2 - GO;
    const int e = (H - gh - sp - cy) / 2 - GO;
    int x = 0, y = 0;
    switch (Layout()) {
        case blGlyphLeft:
            x = FAlignment == taLeftJustify ? GO : FAlignment == taRightJustify ? GO + 2 * d : GO + d;
            y = (H - gh) / 2;
            break;
        case blGlyphRight:
            x = FAlignment == taLeftJustify    ? W - A - GO - 2 * d - sp - gw
                : FAlignment == taRightJustify ? W - A - gw - GO
                                               : (W - A - gw + sp + cx) / 2;
            y = (H - gh) / 2;
            break;
        case blGlyphTop:
            x = (W - A - gw) / 2 + 1;
            y = e + GO;
            break;
        case blGlyphBottom:
            x = (W - A - gw) / 2 + 1;
            y = H - GO - e - gh;
            break;
    }
    if (State == TsPaintState::Pressed) {
        ++x;
        ++y;
    }
    R = TRect{x, y, x + gw, y + gh};
}

// --- Painting ----------------------------------------------------------------

TsPaintState TsSpeedButton::CurrentState() {
    if (FState == bsDown || FState == bsExclusive) return TsPaintState::Pressed;
    return TsSkinned::CurrentState();
}

void TsSpeedButton::DrawCaption(TRect R, UINT Flags, TsPaintState State) {
    Flags = static_cast<UINT>(DrawTextBiDiModeFlags(static_cast<int>(Flags))) & ~static_cast<UINT>(DT_SINGLELINE);
    WriteSkinTextWeb(SkinData()->CacheBmp->Canvas(), Caption(), /*Enabled=*/true, State != TsPaintState::Normal,
                     SkinData(), Flags, R);
}

void TsSpeedButton::PaintCaption(TsPaintState State) {
    if (!FShowCaption) return;
    TCanvas* canvas = SkinData()->CacheBmp->Canvas();
    canvas->SetFont(FFont);
    canvas->Brush()->SetStyle(bsClear);
    TRect r;
    CaptionRect(r, State);
    DrawCaption(r, TextFlagsForAlignment(this, FTextAlignment) | DT_WORDBREAK | DT_EXPANDTABS, State);
}

void TsSpeedButton::DrawGlyph(TsPaintState State) {
    TRect r;
    GlyphRect(r, State);
    if (RectWidth(r) <= 0 || RectHeight(r) <= 0) return;
    TacGlyphLook look;
    look.Blend = FBlend;
    look.Grayed = FGrayed && State == TsPaintState::Normal;
    look.Enabled = Enabled();
    look.DisabledKind = FDisabledGlyphKind.Contains(dgGrayed) ? TsDisabledKind{dkGrayed} : TsDisabledKind{dkBlended};
    TBitmap* cache = SkinData()->CacheBmp;
    if (!Glyph()->Empty()) {
        int picture = static_cast<int>(Enabled() ? FState : bsDisabled);
        if (picture >= NumGlyphs()) picture = 0;
        DrawGlyphInto(cache, r, Glyph(), NumGlyphs(), picture, look);
    } else if (FImages && FImageIndex >= 0 && FImageIndex < FImages->Count()) {
        DrawImageListGlyphInto(cache, r, FImages, FImageIndex, look);
    }
}

void TsSpeedButton::UpdateImageGlyph() {
    if (!Glyph()->Empty() || FComponentState.Contains(csLoading) || ImageCountOf(FImages) < 1) return;
    // A grey picture for the disabled look only when the program asked for grey.
    const TsDisabledKind kind = FDisabledGlyphKind.Contains(dgGrayed) ? TsDisabledKind{dkGrayed} : TsDisabledKind{};
    int n = DrawImageListGlyph(FImages, FImageIndex, Glyph(), kind);
    if (n > 0) SetNumGlyphs(n);
}

void TsSpeedButton::PaintPart(const TCacheInfo& ci, const TRect& R, TPoint Offset, TsPaintState Look, bool Content) {
    const int State = acStateIndex(Look);
    TsCommonData* d = SkinData();
    TBitmap* cache = d->CacheBmp;
    TsSkinManager* m = d->GetSkinManager();
    if (FDrawOverBorder) {
        PaintDataItem(d, ci, /*Flag=*/Down(), cache, Offset, R, State);
        RepairAllCorners(d, State);
        if (Content) {
            PaintCaption(Look);
            DrawGlyph(Look);
        }
    } else {
        PaintDataItemBackground(d, ci, State, cache, Offset, R);
        if (Content) {
            PaintCaption(Look);
            DrawGlyph(Look);
        }
        if (IsValidMaskIndex(m, d->BorderIndex))
            PaintNineSliceTemplate(cache, /*FillCentre=*/false, State, d->BorderIndex, R, m);
    }
}

void TsSpeedButton::RebuildCache(TsPaintState State) {
    TsCommonData* d = SkinData();
    PrepareCacheBmp(d);
    TBitmap* cache = d->CacheBmp;
    cache->Canvas()->SetFont(FFont);
    TCacheInfo ci = ParentCacheOf(d);
    if (ci.Ready && ci.Bmp && ci.Bmp->Width() == 0) return;
    const int W = FWidth, H = FHeight, A = ArrowWidth();
    TsSkinManager* m = d->GetSkinManager();

    if (FButtonStyle == tbsSeparator || FButtonStyle == tbsDivider) {
        // Both take the parent's picture at their place in it.
        if (ci.Ready && ci.Bmp)
            CopyTransparentRect(cache, ci.Bmp, TPoint{0, 0}, Bounds(ci.X + FLeft, ci.Y + FTop, W, H), clNone);
        else if (FParent) FillDC(cache->Canvas()->Handle(), TRect{0, 0, W, H}, FParent->Color());
        if (FButtonStyle == tbsDivider) {
            int si = SectionIndexOf(m, "DIVIDER");
            int mi = si >= 0 ? MaskIndexOf(m, si, "DIVIDER", "BORDERSMASK") : -1;
            if (IsValidMaskIndex(m, mi)) {
                const int mw = MaskSize(m, mi).cx;
                PaintNineSliceTemplate(cache, /*FillCentre=*/true, 0, mi, TRect{(W - mw) / 2, 0, (W + mw) / 2, H}, m);
            }
        }
        d->BGChanged = false;
        return;
    }

    acParentColor = (!ci.Ready && FParent) ? TColor(ColorToRGB(FParent->Color())) : acNoColor;
    PaintPart(ci, TRect{0, 0, W - A, H}, TPoint{FLeft, FTop}, State, /*Content=*/true);
    if (FButtonStyle == tbsDropDown) {
        const TsPaintState arrow = FMenuShown || Down() ? TsPaintState::Pressed : State;
        const int as = acStateIndex(arrow);
        PaintPart(ci, TRect{W - A, 0, W, H}, TPoint{FLeft + W - A, FTop}, arrow, /*Content=*/false);
        int gi = m ? m->StdIndexes().ScrollBtnBottom.Glyph : -1;
        if (IsValidMaskIndex(m, gi)) {
            const TSize s = MaskSize(m, gi);
            PaintImageState(cache, TPoint{(W - A) + (A - s.cx) / 2 + 1, (H - s.cy) / 2}, as, gi, 0, m);
        }
    }
    acParentColor2 = acNoColor;
    if (!Enabled()) {
        ci = ParentCacheOf(d);
        if (ci.Ready && ci.Bmp && !NeedsParentBackground(d) && !d->Command9Flag && !ci.Bmp->Empty()) {
            const auto* row =
                static_cast<const std::uint8_t*>(ci.Bmp->ScanLine(ci.Bmp->Height() / 2)) + (ci.Bmp->Width() / 2) * 3;
            acParentColor = TColor(RGB(row[2], row[1], row[0]));
        }
        ApplyDisabledLook(cache, DisabledKind(), FParent, TPoint{FLeft, FTop}, ci);
        acParentColor = acNoColor;
    }
    if (OnPaint) OnPaint(this, cache);
    acParentColor = acNoColor;
    d->BGChanged = false;
}

void TsSpeedButton::Paint() {
    TsCommonData* d = SkinData();
    if (TsSkinManager* m = d->GetSkinManager())
        if (m->Active() && d->SkinIndex < 1) UpdateSkinIndexes(d);
    if (HasSkin(d, /*CheckActive=*/false) && (FVisible || FComponentState.Contains(csDesigning))) {
        if (FWidth < 1 || FHeight < 1 || IsUpdating(d)) return;
        HDC dc = Canvas()->Handle();
        if (FGlow && FGlow->FrameBmp && FGlow->FrameBmp->Width() == FWidth) {
            BitBlt(dc, 0, 0, FWidth, FHeight, FGlow->FrameBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
            return;
        }
        if (Down() != FLastDown) d->BGChanged = true;
        else d->BGChanged = d->BGChanged || d->HalfVisible;
        FLastDown = Down();
        d->HalfVisible = NeedsParentBackground(d);
        if (d->BGChanged) {
            FLastNumGlyphs = NumGlyphs();
            FLastSpacing = Spacing();
        } else if (NumGlyphs() != FLastNumGlyphs || Spacing() != FLastSpacing) {
            d->BGChanged = true;
            FLastNumGlyphs = NumGlyphs();
            FLastSpacing = Spacing();
        }
        const TsPaintState state = CurrentState();
        if (d->BGChanged && !d->Command9Flag) RebuildCache(state);
        // The corners of the state the cache shows: a flat mask's normal
        // state is clear all over, and repairing by it would wipe the hot and
        // pressed frames' corners.
        RepairAllCorners(d, acStateIndex(state));
        BitBlt(dc, 0, 0, FWidth, FHeight, d->CacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        return;
    }
    if (FVisible) UpdateImageGlyph();
    TSpeedButton::Paint();
}

void TsSpeedButton::RepaintThroughParent() {
    if (FControlState.Contains(csCreating) || FComponentState.Contains(csDestroying) ||
        FComponentState.Contains(csLoading) || !FParent || !FVisible || !FParent->HandleAllocated())
        return;
    HWND parent = FParent->Handle();
    SendMessageA(parent, SM_ALPHACMD, acCommandWParam(AC_SETPAINTINGCHILD), reinterpret_cast<LPARAM>(this));
    Repaint();
    SendMessageA(parent, SM_ALPHACMD, acCommandWParam(AC_SETPAINTINGCHILD), 0);
}

// --- Glow --------------------------------------------------------------------

void TsSpeedButton::FadeOrGlow(bool Half, bool Animate) {
    TsCommonData* d = SkinData();
    const TsGeneralData* s = d->Section();
    if (Animate && !acSkinChanging && HasSkin(d, /*CheckActive=*/false) && s && s->FadingEnabled && !acNoAnimation &&
        !d->BGChanged) {
        d->BGChanged = true;
        StartGlow(Half);
    } else {
        d->BGChanged = true;
        StopGlow();
        RepaintThroughParent();
    }
}

void TsSpeedButton::StartGlow(bool Half) {
    if (FComponentState.Contains(csDesigning)) return;
    TsCommonData* d = SkinData();
    int p = 1;
    if (FGlow) {
        p = std::max(0, FGlow->Iterations - FGlow->Position);
        StopAnim(FGlow);
    }
    const TsGeneralData* s = d->Section();
    if (!s || !s->FadingEnabled || acNoAnimation) return;
    // Owned by nobody but this button, which frees it in every case.
    FGlow = new TsAnimTimer(nullptr);
    FGlow->SetEnabled(false);
    AnimSetup(FGlow, d);
    if (Half) FGlow->Iterations = std::max(1, FGlow->Iterations / 2);
    FGlow->Position = std::min(p, FGlow->Iterations);
    FGlow->OldBmp->Assign(d->CacheBmp);
    PrepareCache();
    RepairAllCorners(d, 1);
    FGlow->SetEnabled(true);
    AnimStep(FGlow);
}

void TsSpeedButton::StopGlow() {
    if (!FGlow) return;
    if (FComponentState.Contains(csDestroying) || FComponentState.Contains(csDesigning)) {
        StopAnim(FGlow);
        return;
    }
    FGlow->SetEnabled(false);
    const bool moved = FGlow->Position != 0;
    StopAnim(FGlow);
    if (moved) {
        SkinData()->BGChanged = true;
        RepaintThroughParent();
    }
}

// --- Mouse -------------------------------------------------------------------

void TsSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled() && FButtonStyle == tbsDropDown && FDropdownMenu) {
        const bool onBody = X <= FWidth - ArrowWidth();
        if (onBody && OnClick) {
            TSpeedButton::MouseDown(Button, Shift, X, Y);
            return;
        }
        DropDownPress(onBody);
        return;
    }
    TSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TsSpeedButton::DropDownMenuShown() {
    TsSpeedButton* b = acDropDownButton;
    if (!b) return;
    acDropDownButton = nullptr;
    b->RestoreHintsAfterOwnPress();
}

void TsSpeedButton::DropDownPress(bool OnBody) {
    acDropDownButton = this;
    StopGlow();
    if (acDropDownMenuOpen) return;
    acDropDownMenuOpen = true;
    // The menu runs the program's code (its OnPopup, an item's OnClick), which
    // may free this button or throw. Whichever way the menu ends, the open
    // flag goes (or no drop-down button would ever open again) and a living
    // button comes back from its pressed look; a freed one is never touched
    // (its destructor has restored the hints and let go of acDropDownButton).
    struct MenuEnd {
        TsSpeedButton* Button;
        std::shared_ptr<const bool> Alive;
        bool Done = false;
        void Run() {
            if (Done) return;
            Done = true;
            acDropDownMenuOpen = false;
            if (!*Alive) return;
            TsSpeedButton* b = Button;
            if (acDropDownButton == b) acDropDownButton = nullptr;
            // The menu ate the mouse-up, so the hints come back here.
            b->RestoreHintsAfterOwnPress();
            b->FMenuShown = false;
            b->FDragging = false;
            if (!b->OnClick) b->FState = b->Down() ? bsExclusive : bsUp;
            if (TsCommonData* d = b->SkinData()) d->BGChanged = true;
        }
        ~MenuEnd() {
            if (Done) return;
            // Left by an exception: no painting here (it runs the program's
            // code again), only a repaint asked for.
            try {
                Run();
                if (*Alive) Button->Invalidate();
            } catch (...) {
            }
        }
    } end{this, Alive()};
    FMenuShown = true;
    SkinData()->BGChanged = true;
    // The arrow part shows pressed while the menu is open; the main part only
    // when the press that opened it was on the main part.
    if (!OnClick && OnBody) FState = bsDown;
    // The menu takes the mouse from here: no capture of ours may outlive it.
    SetMouseCapture(false);
    FControlState.Exclude(csLButtonDown);
    RepaintThroughParent();
    TPopupMenu* menu = *end.Alive ? FDropdownMenu : nullptr;
    if (!menu) return;
    menu->SetPopupComponent(this);
    const TPoint p = ClientToScreen(TPoint{0, FHeight + 1});
    menu->Popup(p.x, p.y);
    end.Run();
    if (!*end.Alive) return;
    POINT cur{0, 0};
    GetCursorPos(&cur);
    const TPoint local = ScreenToClient(cur);
    if (local.x < 0 || local.y < 0 || local.x >= FWidth || local.y >= FHeight) {
        Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(this)));
        if (!*end.Alive) return;  // OnMouseLeave may free the button as well
    }
    SkinData()->BGChanged = true;
    RepaintThroughParent();
}

void TsSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled() && FButtonStyle == tbsDropDown) {
        FMenuShown = false;
        if (acDropDownButton == this) acDropDownButton = nullptr;
    }
    TSpeedButton::MouseUp(Button, Shift, X, Y);
}

// --- Where the speed button differs from the frame ----------------------------

void TsSpeedButton::AnimateChange(TacAnimatEvent Event, bool Half) {
    FadeOrGlow(Half, AnimEventEnabled(Event, AnimatEvents()));
}

bool TsSpeedButton::NewSkin(TMessage& M, bool Own) {
    if (!Own) return false;
    if (ImageCountOf(FImages) > 0) Glyph()->SetSize(0, 0);
    CommonMessage(M, SkinData());
    if (HasSkin(SkinData(), /*CheckActive=*/false)) FControlStyle.Include(csOpaque);
    return true;
}

bool TsSpeedButton::RemoveSkin(TMessage& M, bool Own) {
    if (!Own || DestroyingOwner()) return false;
    StopGlow();
    CommonMessage(M, SkinData());
    Repaint();
    FControlStyle.Exclude(csOpaque);
    return true;
}

bool TsSpeedButton::RefreshSkin(TMessage& M, bool Own) {
    if (!Own) return false;
    CommonMessage(M, SkinData());
    if (FVisible) Repaint();
    return true;
}

void TsSpeedButton::UnskinnedMessage(TMessage& M) {
    if (M.Msg == CM_MOUSELEAVE && OwnMouseMessage(M, this) && FState == bsDown) FState = bsUp;
    TsSkinned::UnskinnedMessage(M);
}

bool TsSpeedButton::SkinnedMessage(TMessage& M) {
    if (M.Msg == SM_ALPHACMD) {
        switch (M.WParamHi()) {
            case AC_PARENTCHANGED: return ParentChangedSpeed();
            case AC_SETFLAG9: return SetFlag9Speed(M);
            case AC_INVALIDATEGLOBAL: RepaintThroughParent(); return true;
            default: return false;
        }
    }
    switch (M.Msg) {
        case WM_ERASEBKGND: return true;
        case WM_SIZE:
        case WM_WINDOWPOSCHANGED:
        case CM_FONTCHANGED: return ShapeChanged();
        case WM_LBUTTONUP: return ReleasedDuringGlow();
        case CM_MOUSELEAVE: return MouseLeftSpeed();
        default: return false;
    }
}

bool TsSpeedButton::ParentChangedSpeed() {
    if (!IsUpdating(SkinData())) return false;
    SkinData()->Updating = false;
    RepaintThroughParent();
    return true;
}

bool TsSpeedButton::SetFlag9Speed(TMessage& M) {
    CommonMessage(M, SkinData());
    if (SkinData()->Command9Flag) PrepareCache();
    return true;
}

bool TsSpeedButton::ShapeChanged() {
    if (FVisible) SkinData()->BGChanged = true;
    return false;
}

bool TsSpeedButton::ReleasedDuringGlow() {
    if (!Designing() && FGlow && FGlow->FrameBmp && FGlow->FrameBmp->Width() == FWidth) {
        StopGlow();
        PrepareCache();
        RepaintThroughParent();
    }
    return false;
}

bool TsSpeedButton::MouseLeftSpeed() {
    if (FState == bsDown) FState = bsUp;
    return false;
}

void TsSpeedButton::AfterInherited(TMessage& M) {
    if (DestroyingOwner()) return;
    switch (M.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!Designing()) AnimateChange(aeMouseDown, /*Half=*/true);
            break;
        case WM_LBUTTONUP:
            if (!Designing()) AnimateChange(aeMouseUp, /*Half=*/true);
            else M.Result = 1;
            break;
        case CM_VISIBLECHANGED:
            Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(this)));
            break;
        case CM_ENABLEDCHANGED:
            if (FVisible || Designing()) {
                if (FVisible) SkinData()->BGChanged = true;
                RepaintThroughParent();
            }
            break;
        case CM_BUTTONPRESSED:
            // Another button of the group went down: this one may have come up.
            SkinData()->BGChanged = true;
            break;
        default: break;
    }
}
