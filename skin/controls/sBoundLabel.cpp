#include "sBoundLabel.h"

#include "Messages.h"

// clang-format off
CLASSLIB_DEFINE_CLASS(TsBoundLabel, TPersistent,
    OrdProp<TsBoundLabel>("Active", TTypeKind::tkBool, &TsBoundLabel::Active, &TsBoundLabel::SetActive, 0),
    StrProp<TsBoundLabel>("Caption", &TsBoundLabel::Caption, &TsBoundLabel::SetCaption),
    OrdProp<TsBoundLabel>("Layout", TTypeKind::tkEnumeration, &TsBoundLabel::Layout, &TsBoundLabel::SetLayout,
                          sclLeft),
    OrdProp<TsBoundLabel>("Indent", TTypeKind::tkInteger, &TsBoundLabel::Indent, &TsBoundLabel::SetIndent, 4))
// clang-format on

TsBoundLabel::TsBoundLabel(TWinControl* Control, TsCommonData* SkinData) : FControl(Control), FSkinData(SkinData) {}

TsBoundLabel::~TsBoundLabel() { FreeLabel(); }

void TsBoundLabel::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (Value) MakeLabel();
    else FreeLabel();
}

void TsBoundLabel::SetCaption(const String& Value) {
    FCaption = Value;
    if (!FTheLabel) return;
    FTheLabel->SetCaption(Value);
    Reposition();
}

void TsBoundLabel::SetLayout(TsCaptionLayout Value) {
    FLayout = Value;
    Reposition();
}

void TsBoundLabel::SetIndent(int Value) {
    FIndent = Value;
    Reposition();
}

void TsBoundLabel::MakeLabel() {
    if (FTheLabel || !FControl) return;
    // Owned by the editor, so a form that frees its components leaves the
    // label to the editor; a parent that frees it first clears FTheLabel.
    FTheLabel = TObject::Create<TsEditLabel>(FControl, this);
    FTheLabel->BoundLabelRef = &FTheLabel;
    FTheLabel->SetCaption(FCaption.empty() ? FControl->Name() : FCaption);
    FTheLabel->SetFocusControl(FControl);
    FTheLabel->SetVisible(FControl->Visible());
    FTheLabel->SetEnabled(FControl->Enabled());
    Reposition();
}

void TsBoundLabel::FreeLabel() {
    TsEditLabel* l = FTheLabel;
    FTheLabel = nullptr;
    if (l) {
        l->BoundLabelRef = nullptr;
        l->Free();
    }
}

void TsBoundLabel::Reposition() {
    if (!FTheLabel || !FControl) return;
    const TComponentState st = FControl->ComponentState();
    if (st.Contains(csDestroying) || st.Contains(csLoading) || !FControl->Visible()) return;
    if (FTheLabel->Parent() != FControl->Parent()) FTheLabel->SetParent(FControl->Parent());
    if (!FControl->Parent()) return;
    const TRect c = FControl->BoundsRect();
    const int w = FTheLabel->Width(), h = FTheLabel->Height();
    const int midX = (c.left + c.right - w) / 2, midY = (c.top + c.bottom - h) / 2;
    int x = c.left, y = c.top;
    switch (FLayout) {
        case sclLeft:
            x = c.left - FIndent - w;
            y = midY;
            break;
        case sclRight:
            x = c.right + FIndent;
            y = midY;
            break;
        case sclTopLeft: y = c.top - FIndent - h; break;
        case sclTopCenter:
            x = midX;
            y = c.top - FIndent - h;
            break;
        case sclTopRight:
            x = c.right - w;
            y = c.top - FIndent - h;
            break;
        case sclBottomLeft: y = c.bottom + FIndent; break;
        case sclBottomCenter:
            x = midX;
            y = c.bottom + FIndent;
            break;
        case sclBottomRight:
            x = c.right - w;
            y = c.bottom + FIndent;
            break;
    }
    FTheLabel->SetBounds(x, y, w, h);
}

void TsBoundLabel::FollowControl(UINT Message) {
    if (!FTheLabel || !FControl || FControl->ComponentState().Contains(csDestroying)) return;
    switch (Message) {
        case CM_VISIBLECHANGED: FTheLabel->SetVisible(FControl->Visible()); break;
        case CM_ENABLEDCHANGED: FTheLabel->SetEnabled(FControl->Enabled()); break;
        case CM_BIDIMODECHANGED: FTheLabel->SetBiDiMode(FControl->BiDiMode()); break;
        case WM_SIZE:
        case WM_WINDOWPOSCHANGED: break;
        default: return;
    }
    Reposition();
}
