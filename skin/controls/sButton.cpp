#include "sButton.h"

#include "ActnList.h"
#include "Forms.h"
#include "sButtonFace.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "Scopes.h"

#include <utility>

namespace {

template <typename Prop>
TPropInfo Named(Prop p, std::vector<String> names) {
    p.ElementNames = std::move(names);
    return p;
}

constexpr LONG kButtonTypeMask = 0xF;

}  // namespace

// clang-format off
CLASSLIB_DEFINE_CLASS(TsButton, TButton,
    ObjProp<TsButton, TsCommonData>("SkinData", &TsButton::SkinData),
    Named(OrdProp<TsButton, TacAnimatEvents, TacAnimatEvents>(
              "AnimatEvents", TTypeKind::tkSet, &TsButton::AnimatEvents, &TsButton::SetAnimatEvents,
              static_cast<std::int64_t>(TacAnimatEvents{aeGlobalDef}.ToBits())),
          {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"}),
    Named(OrdProp<TsButton, TsDisabledKind, TsDisabledKind>(
              "DisabledKind", TTypeKind::tkSet, &TsButton::DisabledKind, &TsButton::SetDisabledKind,
              static_cast<std::int64_t>(TsDisabledKind{dkBlended}.ToBits())),
          {"dkBlended", "dkGrayed"}),
    OrdProp<TsButton>("Down", TTypeKind::tkBool, &TsButton::Down, &TsButton::SetDown, 0),
    OrdProp<TsButton>("FocusMargin", TTypeKind::tkInteger, &TsButton::FocusMargin, &TsButton::SetFocusMargin, 1),
    // The setter is virtual: this reaches TsButton::SetWordWrap.
    OrdProp<TButtonControl>("WordWrap", TTypeKind::tkBool, &TButtonControl::WordWrap, &TButtonControl::SetWordWrap, 1))
// clang-format on

TsButton::TsButton(TComponent* AOwner)
    : TsSkinned(AOwner, acCtButton, TsFrameOptions{/*UsesRegion=*/true, /*CreateCache=*/true}) {
    FControlStyle.Exclude(csOpaque);
    FControlStyle.Exclude(csDoubleClicks);
    FWordWrap = true;
}

TsButton::~TsButton() {
    // The window goes while the frame still exists: its last messages reach it.
    if (HandleAllocated()) DestroyHandle();
}

// --- Properties -------------------------------------------------------------

void TsButton::Reshaped() {
    SkinData()->BGChanged = true;
    if (!Loading()) InvalidateOwner(SkinData());
}

void TsButton::SetDown(bool Value) {
    if (FDown == Value) return;
    FDown = Value;
    Reshaped();
}

void TsButton::SetFocusMargin(int Value) {
    if (FFocusMargin == Value) return;
    FFocusMargin = Value;
    Reshaped();
}

void TsButton::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    // The system look follows too, without a new window.
    if (HandleAllocated()) {
        LONG style = GetWindowLongA(FHandle, GWL_STYLE);
        style = Value ? (style | BS_MULTILINE) : (style & ~BS_MULTILINE);
        SetWindowLongA(FHandle, GWL_STYLE, style);
    }
    Reshaped();
}

void TsButton::SetButtonStyle(bool ADefault) {
    FDefaultLook = ADefault;
    // The base leaves an owner-drawn window alone, so it only acts unskinned.
    TButton::SetButtonStyle(ADefault);
    SkinData()->BGChanged = true;
    InvalidateOwner(SkinData());
}

void TsButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TButton::ActionChange(Sender, CheckDefaults);
    if (auto* a = dynamic_cast<TCustomAction*>(Sender)) SetEnabled(a->Enabled());
}

void TsButton::CreateParams(TCreateParams& Params) {
    TButton::CreateParams(Params);
    TsSkinManager* m = SkinData() ? SkinData()->GetSkinManager() : nullptr;
    if (m && m->Active()) Params.Style = (Params.Style & ~kButtonTypeMask) | BS_OWNERDRAW;
}

void TsButton::SetOwnerDraw(bool Value) {
    if (!HandleAllocated()) return;
    const LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    const bool ownerDrawn = (style & kButtonTypeMask) == BS_OWNERDRAW;
    if (ownerDrawn == Value) return;
    const LONG type = Value ? BS_OWNERDRAW : (FActive ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    const BOOL redraw = Value ? FALSE : TRUE;
    SendMessageA(FHandle, BM_SETSTYLE, static_cast<WPARAM>((style & ~kButtonTypeMask) | type), redraw);
}

void TsButton::AfterSkinCommand(WORD Code) {
    switch (Code) {
        case AC_NEWSKIN:
        case AC_REFRESH: {
            // A button made while no skin was active must still stop the
            // system from painting over the skin on press and focus.
            TsSkinManager* m = SkinData()->GetSkinManager();
            if (m && m->Active()) SetOwnerDraw(true);
            break;
        }
        case AC_REMOVESKIN: SetOwnerDraw(false); break;
        default: break;
    }
}

// --- State and caption ------------------------------------------------------

TsPaintState TsButton::CurrentState() {
    const bool pushed = HandleAllocated() && (SendMessageA(FHandle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    if ((pushed || acForcePressed) && (SkinData()->MouseAbove || !ControlState().Contains(csLButtonDown)))
        return TsPaintState::Pressed;
    if (FDown) return TsPaintState::Pressed;
    if (FDefaultLook) return TsPaintState::Active;
    if (HandleAllocated() && (GetWindowLongA(FHandle, GWL_STYLE) & kButtonTypeMask) == BS_DEFPUSHBUTTON)
        return TsPaintState::Active;
    if (ActiveLook()) return TsPaintState::Active;
    if (ComponentState().Contains(csDesigning) && Default()) return TsPaintState::Active;
    return TsPaintState::Normal;
}

int TsButton::MaxCaptionWidth() const { return Painting().Caption.empty() ? 0 : Width() - 2; }

TSize TsButton::TextRectSize() {
    TBitmap* cache = SkinData()->CacheBmp;
    if (!cache) return TSize{0, 0};
    cache->Canvas()->SetFont(Font());
    return MeasureButtonCaption(cache->Canvas(), Painting().Caption, MaxCaptionWidth(),
                                ButtonCaptionLayout(WordWrap()));
}

void TsButton::CaptionRect(TRect& R, TsPaintState) {
    const TSize size = TextRectSize();
    const int dx = (Width() - size.cx) / 2;
    const int dy = (Height() - size.cy) / 2;
    R = TRect{dx - 1, dy, Width() - dx + 2, Height() - dy};
}

void TsButton::DrawCaption(TRect& R, UINT Flags, TsPaintState State) {
    TsButtonFace face;
    face.State = State;
    face.Caption = Painting().Caption;
    // The focus as the skin data tracks it: no round trip to the system.
    face.Focused = Enabled() && HandleAllocated() && SkinData()->Focused;
    // The enabled colours: the frame lays the disabled look over the whole picture.
    face.Enabled = true;
    const UINT flags = static_cast<UINT>(DrawTextBiDiModeFlags(static_cast<int>(Flags)));
    PaintButtonCaption(SkinData()->CacheBmp->Canvas(), face, R, flags, FFocusMargin, SkinData());
}

void TsButton::PaintCaption(TsPaintState State) {
    TBitmap* cache = SkinData()->CacheBmp;
    if (!cache || cache->Empty()) return;
    TCanvas* canvas = cache->Canvas();
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(bsClear);
    TRect r;
    CaptionRect(r, State);
    DrawCaption(r, WordWrap() ? DT_EXPANDTABS | DT_WORDBREAK | DT_CENTER : DT_EXPANDTABS | DT_CENTER, State);
}

// --- Messages ---------------------------------------------------------------

bool TsButton::DialogChar(const TMessage& Message) {
    if (Enabled() && HandleAllocated() && Focused() && Message.WParam == VK_SPACE) {
        StopFade();
        SkinData()->BGChanged = true;
        Repaint();
    }
    return false;
}

bool TsButton::SkinnedMessage(TMessage& Message) {
    switch (Message.Msg) {
        case CM_DIALOGCHAR: return DialogChar(Message);
        case CN_DRAWITEM:
            // Painted only through WM_PAINT, from the cache.
            Message.WParam = 0;
            Message.LParam = 0;
            Message.Result = 1;
            return true;
        default: return false;
    }
}

void TsButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_MEASUREITEM:
            if (auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) {
                mi->itemWidth = static_cast<UINT>(Width());
                mi->itemHeight = static_cast<UINT>(Height());
            }
            return;
        case WM_KEYDOWN:
        case WM_KEYUP: {
            const std::shared_ptr<const bool> alive = Alive();
            TButton::Dispatch(Message);
            // The system button shows its pushed state by drawing itself,
            // which an owner-drawn one does not: repaint from the skin.
            if (*alive && Message.WParam == VK_SPACE && HasSkin(SkinData(), /*CheckActive=*/false) && SkinnedNow()) {
                SkinData()->BGChanged = true;
                Repaint();
            }
            return;
        }
        default: TButton::Dispatch(Message);
    }
}

void TsButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (HasSkin(SkinData(), /*CheckActive=*/false) && Enabled() && !ComponentState().Contains(csDesigning)) {
        SkinData()->Updating = false;
        FPressed = true;
        if (Button == mbLeft && !FDown) {
            SkinData()->Updating = IsUpdating(SkinData());
            SkinData()->BGChanged = false;
            FadeOrRepaint(aeMouseDown, /*Half=*/true);
        }
    }
    TButton::MouseDown(Button, Shift, X, Y);
}

void TsButton::ShowReleased() {
    TsFadeTimer* t = FadeTimer();
    if (t && t->StepIndex < t->Iterations) {
        // The click that cut a fade short is shown pressed for a moment.
        t->SetEnabled(false);
        SkinData()->BGChanged = true;
        {
            const TBoolScope forced(acForcePressed, true);
            RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
        Sleep(30);
    }
    SkinData()->Updating = false;
    if (ComponentState().Contains(csDestroying)) return;
    try {
        SkinData()->BGChanged = false;
        FadeOrRepaint(aeMouseUp, /*Half=*/true);
    } catch (...) {
        // The button stays usable whatever the fade ran into.
    }
}

void TsButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // Any release ends the press, also one that comes disabled or unskinned.
    const bool pressed = std::exchange(FPressed, false);
    if (HasSkin(SkinData(), /*CheckActive=*/false) && Enabled() && !ComponentState().Contains(csDesigning)) {
        if (!pressed || ComponentState().Contains(csDestroying)) return;
        if (Button == mbLeft) ShowReleased();
    }
    TButton::MouseUp(Button, Shift, X, Y);
}
