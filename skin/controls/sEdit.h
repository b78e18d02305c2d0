// The skinned single-line edit: the system edit paints its text and caret in
// the section's colours; the border comes from the skin, and a caption label
// can be bound to it.
#pragma once

#include "StdCtrls.h"
#include "sBoundLabel.h"
#include "sSkinnedControl.h"

#include <memory>

class TsEdit : public TsSkinned<TEdit> {
    CLASSLIB_DECLARE_CLASS(TsEdit)
public:
    explicit TsEdit(TComponent* AOwner);
    ~TsEdit() override;

    TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
    // The skin's border width: Ctl3D + 1 with a border, else 0.
    int BorderWidth() const;
    // The whole edit from its cache bitmap, text included, into DC.
    void PaintHandler(HDC DC);
    void WndProc(TMessage& Message) override;

protected:
    // Background, border and text of the section for the focused-or-hot state.
    void RebuildCache(TsPaintState State) override;
    virtual void PaintText();
    // The border strips from the cache into the window's frame.
    void PaintBorder();
    bool SkinnedMessage(TMessage& Message) override;
    void AfterInherited(TMessage& Message) override;
    void AfterSkinCommand(WORD Code) override;
    // No fade: the system paints the client, so a change is one new frame.
    void AnimateChange(TacAnimatEvent Event, bool Half) override;

private:
    // The native paint in the section's colours (the hot ones while hot or focused).
    void SetPaintColors();
    void Print(TMessage& Message);
    void FocusChange(TMessage& Message);
    // Client and frame drawn again with a rebuilt cache.
    void ShowNewLook();
    void RepaintFrame();

    std::unique_ptr<TsBoundLabel> FBoundLabel;
};
