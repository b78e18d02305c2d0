// The skinned radio button: the skinned check box's glyph, caption and
// press handling on a radio button, which a release only ever checks.
#pragma once

#include "sCheckBox.h"

class TsRadioButton : public TsCheckControl<TRadioButton> {
    CLASSLIB_DECLARE_CLASS(TsRadioButton)
public:
    explicit TsRadioButton(TComponent* AOwner);
    ~TsRadioButton() override;

    // Never read-only inside a skinned radio group: the group decides.
    bool GetReadOnly() const override;
    // AutoSize and WordWrap never stay set together past an invalidation.
    void Invalidate() override;

protected:
    const char* MaskName() override { return Checked() ? "RADIOCHECKED" : "RADIOUNCHECKED"; }
    bool CaptionToRightMargin() const override { return true; }
    void Released() override { SetChecked(true); }
    WPARAM SystemCheck() const override { return Checked() ? BST_CHECKED : BST_UNCHECKED; }
    bool SkinnedMessage(TMessage& M) override;
    void AfterSkinCommand(WORD Code) override;

private:
    bool SetCheckFromWindow(TMessage& M);
};
