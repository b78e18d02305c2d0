#include "sRadioButton.h"

#include "sGroupBox.h"
#include "sMessages.h"

CLASSLIB_DEFINE_CLASS(TsRadioButton, TRadioButton, AC_CHECK_CONTROL_PROPS(TsRadioButton))

TsRadioButton::TsRadioButton(TComponent* AOwner) : TsCheckControl(AOwner, acCtRadioButton) {}

TsRadioButton::~TsRadioButton() {
    if (HandleAllocated()) DestroyHandle();
}

bool TsRadioButton::GetReadOnly() const {
    if (auto* group = dynamic_cast<TsRadioGroup*>(Parent())) return !group->CanModify();
    return TsCheckControl::GetReadOnly();
}

void TsRadioButton::Invalidate() {
    TsCheckControl::Invalidate();
    if (AutoSize()) SetWordWrap(false);
}

bool TsRadioButton::SetCheckFromWindow(TMessage& M) {
    const std::shared_ptr<const bool> alive = Alive();
    // The system button keeps the state too (its focus click depends on it).
    InheritedWndProc(M);
    if (!*alive) return true;
    SkinData()->BGChanged = true;
    TsFadeTimer* t = FadeTimer();
    if (t && t->StepIndex < t->Iterations) {
        t->SetEnabled(false);
        Repaint();
    }
    if (M.WParam == BST_UNCHECKED || M.WParam == BST_CHECKED) SetChecked(M.WParam == BST_CHECKED);
    if (!*alive) return true;
    if (Designing()) InvalidateOwner(SkinData());
    else FadeOrRepaint(aeMouseUp, /*Half=*/true);
    return true;
}

bool TsRadioButton::SkinnedMessage(TMessage& M) {
    switch (M.Msg) {
        case BM_SETCHECK: return SetCheckFromWindow(M);
        // The pushed look is the control's own.
        case BM_SETSTATE: return true;
        default: return TsCheckControl::SkinnedMessage(M);
    }
}

void TsRadioButton::AfterSkinCommand(WORD Code) {
    // Only the library's own class of this control: the system's "BUTTON"
    // class and every other program's buttons keep their style.
    if (Code == AC_REFRESH && HandleAllocated()) {
        const DWORD style = GetClassLongA(Handle(), GCL_STYLE);
        SetClassLongA(Handle(), GCL_STYLE, static_cast<LONG>(style & ~DWORD(CS_VREDRAW | CS_HREDRAW)));
    }
    TsCheckControl::AfterSkinCommand(Code);
}
