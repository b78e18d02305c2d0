#include "sGroupBox.h"

#include "Scopes.h"
#include "sAlphaGraph.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinText.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TsGroupBox

// clang-format off
CLASSLIB_DEFINE_CLASS(TsGroupBox, TGroupBox,
    ObjProp<TsGroupBox, TsCommonData>("SkinData", &TsGroupBox::SkinData),
    OrdProp<TsGroupBox>("CaptionLayout", TTypeKind::tkEnumeration, &TsGroupBox::CaptionLayout,
                        &TsGroupBox::SetCaptionLayout, clTopLeft),
    OrdProp<TsGroupBox>("CaptionYOffset", TTypeKind::tkInteger, &TsGroupBox::CaptionYOffset,
                        &TsGroupBox::SetCaptionYOffset, 0),
    StrProp<TsGroupBox>("CaptionSkin", &TsGroupBox::CaptionSkin, &TsGroupBox::SetCaptionSkin))
// clang-format on

TsGroupBox::TsGroupBox(TComponent* AOwner) : TsSkinnedContainer(AOwner, acCtGroupBox) {
    FControlStyle.Exclude(csOpaque);
}

TsGroupBox::~TsGroupBox() {
    if (HandleAllocated()) DestroyHandle();
}

void TsGroupBox::SetCaptionLayout(TsGroupCaptionLayout Value) {
    if (FCaptionLayout == Value) return;
    FCaptionLayout = Value;
    if (!Caption().empty()) InvalidateOwner(SkinData());
}

void TsGroupBox::SetCaptionYOffset(int Value) {
    if (FCaptionYOffset == Value) return;
    FCaptionYOffset = Value;
    Realign();
    InvalidateOwner(SkinData());
}

void TsGroupBox::SetCaptionSkin(const String& Value) {
    if (FCaptionSkin == Value) return;
    FCaptionSkin = Value;
    InvalidateOwner(SkinData());
}

void TsGroupBox::AdjustClientRect(TRect& Rect) {
    if (FComponentState.Contains(csDestroying)) return;
    TGroupBox::AdjustClientRect(Rect);
    Rect.top += FCaptionYOffset;
}

int TsGroupBox::CaptionHeight() {
    TCanvas* canvas = SkinData()->CacheBmp->Canvas();
    canvas->SetFont(Font());
    return std::max(4, canvas->TextHeight("W")) + 2;
}

TRect TsGroupBox::CaptionRect() {
    TRect r{0, 0, 0, CaptionHeight()};
    if (HasSkin(SkinData(), false)) {
        r.bottom += FCaptionYOffset;
        if (FCaptionYOffset < 0) r.top = FCaptionYOffset;
    }
    const int tw = SkinData()->CacheBmp->Canvas()->TextWidth(Caption());
    switch (FCaptionLayout) {
        case clTopCenter: r.left = (FWidth - tw - 4 - 6) / 2; break;
        case clTopLeft: r.left = 6; break;
        default: r.left = FWidth - tw - 8 - 6; break;
    }
    r.left = std::max<LONG>(r.left, 0);
    r.right = std::min<LONG>(r.left + tw + 8, FWidth);
    if (r.right - r.left < 2 * FBevelWidth) {
        r.left -= FBevelWidth;
        r.right += FBevelWidth;
    }
    return r;
}

void TsGroupBox::RebuildCache(TsPaintState) {
    TsCommonData* d = SkinData();
    PrepareCacheBmp(d);
    const TRect c = CaptionRect();
    const TCacheInfo p = ParentCacheOf(d);
    HDC dc = d->CacheBmp->Canvas()->Handle();
    const int strip = c.bottom - c.top;
    // Above the frame the parent shows through.
    if (p.Ready) BitBlt(dc, 0, 0, FWidth, strip, p.Bmp->Canvas()->Handle(), p.X + FLeft, p.Y + FTop, SRCCOPY);
    else if (FParent) FillDC(dc, TRect{0, 0, FWidth, c.bottom}, FParent->Color());
    const int frameTop = FCaptionYOffset >= 0 ? strip / 2 : 0;
    PaintDataItem(d, p, false, d->CacheBmp, TPoint{FLeft, FTop + frameTop}, TRect{0, frameTop, FWidth, FHeight}, 0);
    if (!Painting().Caption.empty()) PaintCaption(c, p);
    RepairCorners(d, 0, 10);
    d->BGChanged = false;
}

void TsGroupBox::PaintCaption(const TRect& C, const TCacheInfo& P) {
    TsCommonData* d = SkinData();
    TsSkinManager* m = d->GetSkinManager();
    // A box rarely holds the focus itself: the plate shows it while a control in the box has it.
    const int state = SkinData()->Focused || FFocusInside ? 1 : 0;
    if (FCaptionSkin.empty()) {
        if (!P.Ready && FParent) {
            FillDC(d->CacheBmp->Canvas()->Handle(), C, FParent->Color());
        } else {
            PaintSkinItem(SectionIndexOf(m, "CHECKBOX"), "CHECKBOX", P, true, state, C,
                          TPoint{FLeft + C.left, FTop + C.top}, d->CacheBmp, m);
        }
    } else {
        // The plate is laid over the frame painted already, at its own place.
        PaintSkinItem(SectionIndexOf(m, FCaptionSkin), FCaptionSkin, MakeCacheInfo(d->CacheBmp), true, state, C,
                      TPoint{C.left, C.top}, d->CacheBmp, m);
    }
    TCanvas* canvas = d->CacheBmp->Canvas();
    canvas->SetFont(Font());
    WriteSkinTextWebShort(canvas, Painting().Caption, true, false, d, DT_CENTER | DT_VCENTER | DT_SINGLELINE, C);
}

void TsGroupBox::PaintToDC(HDC DC) {
    TsCommonData* d = SkinData();
    if (!DC || !HasSkin(d, true) || FComponentState.Contains(csDestroying)) return;
    if (!FVisible && !Designing()) return;
    d->Updating = IsUpdating(d);
    if (d->Updating) return;
    const bool redraw = d->HalfVisible || CacheOutOfDate();
    d->HalfVisible = false;
    if (NeedsParentBackground(d) && FParent) {
        const TRect pr = FParent->ClientRect();
        const POINT a{FLeft + 1, FTop + 1}, b{FLeft + FWidth - 1, FTop + FHeight - 1};
        d->HalfVisible = !PtInRect(&pr, a) || !PtInRect(&pr, b);
    }
    if (redraw && !d->Command9Flag) PrepareCache();
    PaintChildControlsInto(this, d, TPoint{0, 0}, 0, 0, false, DC, TRect{0, 0, FWidth, FHeight});
    PaintGraphicChildren(DC, this);
    RefreshChildControls(this);
}

void TsGroupBox::Paint() {
    if (!HasSkin(SkinData(), true)) {
        TGroupBox::Paint();
        return;
    }
    PaintToDC(Canvas()->Handle());
}

// --- Skin commands: passed on to the children ----------------------------------

void TsGroupBox::ChildrenToldSkin(WORD Code, bool Own) {
    if (Own && Code != AC_NEWSKIN) Repaint();
}

// --- Skinned route -----------------------------------------------------------------

bool TsGroupBox::PassToBase(TMessage& M) {
    TGroupBox::WndProc(M);
    return true;
}

bool TsGroupBox::PaintMessage(TMessage& M) {
    const TPaintScope paint(Handle(), reinterpret_cast<HDC>(M.WParam));
    PaintToDC(paint.DC());
    return true;
}

bool TsGroupBox::FocusChanged(TMessage& M) {
    const std::shared_ptr<const bool> alive = Alive();
    PassToBase(M);
    if (*alive) InvalidateOwner(SkinData());
    return true;
}

bool TsGroupBox::FocusEnteredOrLeft(const TMessage& M) {
    FFocusInside = M.Msg == CM_ENTER;
    // The frame goes on to show the change.
    return false;
}

bool TsGroupBox::SkinnedMessage(TMessage& M) {
    TsCommonData* d = SkinData();
    if (AnswerChildren(M)) return true;
    if (M.Msg == SM_ALPHACMD) return M.WParamHi() == AC_SETFLAG9 && HoldCache(M);
    switch (M.Msg) {
        case WM_MOVE: d->BGChanged = d->BGChanged || NeedsParentBackground(d); return false;
        // The box shows no focus of its own but its caption plate's.
        case WM_SETFOCUS:
        case WM_KILLFOCUS: return FocusChanged(M);
        case CM_ENTER:
        case CM_EXIT: return FocusEnteredOrLeft(M);
        case WM_PAINT: return PaintMessage(M);
        case WM_PRINT:
            d->Updating = false;
            PaintToDC(reinterpret_cast<HDC>(M.WParam));
            return true;
        case CM_VISIBLECHANGED: d->BGChanged = true; return false;
        case CM_FONTCHANGED:
            PassToBase(M);
            InvalidateOwner(d);
            return true;
        default: return false;
    }
}

// ---------------------------------------------------------------------------
// TsGroupButton

CLASSLIB_DEFINE_CLASS(TsGroupButton, TsRadioButton)

TsGroupButton::TsGroupButton(TsRadioGroup* RadioGroup) : TsRadioButton(RadioGroup), FGroup(RadioGroup) {
    SkinData()->SetSkinManager(RadioGroup->SkinData()->SkinManager());
    SkinData()->SetSkinSection("RADIOBUTTON");
    SetShowFocus(true);
    // The group gives every item its place and size.
    SetAutoSize(false);
    SetVisible(false);
    SetEnabled(RadioGroup->Enabled());
    SetParentShowHint(false);
    SetParent(RadioGroup);
    SetTabStop(false);
    SkinData()->SetCustomFont(RadioGroup->SkinData()->CustomFont());
    SetAnimatEvents(RadioGroup->AnimatEvents());
}

void TsGroupButton::Dispatch(TMessage& M) {
    if (M.Msg != CN_COMMAND) {
        TsRadioButton::Dispatch(M);
        return;
    }
    if (FInClick) return;
    // OnClick may free the button.
    const TBoolScope guard(FInClick, true, Alive());
    const WORD code = HIWORD(M.WParam);
    if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && FGroup->CanModify()) TsRadioButton::Dispatch(M);
}

void TsGroupButton::KeyPress(char& Key) {
    const std::shared_ptr<const bool> alive = Alive();
    TsRadioButton::KeyPress(Key);
    if (!*alive) return;
    FGroup->KeyPress(Key);
    if ((Key == '\b' || Key == ' ') && !FGroup->CanModify()) Key = '\0';
}

void TsGroupButton::KeyDown(WORD& Key, TShiftState Shift) {
    const std::shared_ptr<const bool> alive = Alive();
    TsRadioButton::KeyDown(Key, Shift);
    if (*alive) FGroup->KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------
// TsRadioGroup

// clang-format off
CLASSLIB_DEFINE_CLASS(TsRadioGroup, TsGroupBox,
    acNamedSet(OrdProp<TsRadioGroup, TacAnimatEvents, TacAnimatEvents>(
                   "AnimatEvents", TTypeKind::tkSet, &TsRadioGroup::AnimatEvents, &TsRadioGroup::SetAnimatEvents,
                   static_cast<std::int64_t>(TacAnimatEvents{aeGlobalDef}.ToBits())),
               {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"}),
    CLASSLIB_RADIO_GROUP_PROPS(TsRadioGroup))
// clang-format on

TsRadioGroup::TsRadioGroup(TComponent* AOwner)
    : TRadioGroupOf(AOwner, [this] { return TObject::Create<TsGroupButton>(this); }) {
    FItems.OnItemsChanged = [this] {
        // The items take the section's colours (and their size) again.
        for (int i = 0; i < FItems.Count(); ++i) Buttons(i)->Loaded();
    };
}

int TsRadioGroup::StripHeight() {
    const TRect c = CaptionRect();
    return c.bottom - c.top;
}

void TsRadioGroup::ArrangeButtons() {
    for (int i = 0; i < FItems.Count(); ++i) Buttons(i)->SkinData()->SetSkinManager(SkinData()->SkinManager());
    TRadioGroupOf::ArrangeButtons();
}

bool TsRadioGroup::RefreshSkin(TMessage& M, bool Own) {
    if (Own) ArrangeButtons();
    return TsGroupBox::RefreshSkin(M, Own);
}
