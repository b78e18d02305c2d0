// The caption label an editor keeps beside itself: its settings, the label
// made while they are active, and the label's place by the editor's side.
#pragma once

#include "Controls.h"
#include "sLabel.h"

#include <memory>

class TsCommonData;

// Where the label sits: Left/Right of the editor, centred on its height;
// Top*/Bottom* above or below it, aligned with its left edge, centre or right edge.
enum TsCaptionLayout {
    sclLeft,
    sclTopLeft,
    sclTopCenter,
    sclTopRight,
    sclBottomLeft,
    sclBottomCenter,
    sclBottomRight,
    sclRight
};
CLASSLIB_ENUM_NAMES(TsCaptionLayout, "sclLeft", "sclTopLeft", "sclTopCenter", "sclTopRight", "sclBottomLeft",
                    "sclBottomCenter", "sclBottomRight", "sclRight")

class TsBoundLabel : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TsBoundLabel)
public:
    // Control: the editor that creates and frees these settings.
    TsBoundLabel(TWinControl* Control, TsCommonData* SkinData);
    ~TsBoundLabel() override;

    // True makes the label (on the editor's parent), False frees it.
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    String Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    TsCaptionLayout Layout() const { return FLayout; }
    void SetLayout(TsCaptionLayout Value);
    // Gap in pixels between the label and the editor.
    int Indent() const { return FIndent; }
    void SetIndent(int Value);

    // The label while active (nil otherwise, and once something else freed it).
    TsEditLabel* TheLabel() const { return FTheLabel; }
    // Places the label by its layout; nothing without a label or while the
    // editor is hidden or being destroyed.
    void Reposition();
    // The editor's change of visibility, enabled state or reading direction,
    // passed on to the label, which is then placed again.
    void FollowControl(UINT Message);

private:
    void MakeLabel();
    void FreeLabel();

    TWinControl* FControl;
    TsCommonData* FSkinData;
    TsEditLabel* FTheLabel = nullptr;
    bool FActive = false;
    String FCaption;
    TsCaptionLayout FLayout = sclLeft;
    int FIndent = 4;
};

// A skinned control (Base derives from TsSkinned) that owns a caption label
// and keeps it by its side through every message, skinned or not.
template <class Base>
class TsWithBoundLabel : public Base {
public:
    using Base::Base;
    ~TsWithBoundLabel() override { FBoundLabel.reset(); }
    TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }
    void WndProc(TMessage& M) override {
        const std::shared_ptr<const bool> alive = this->Alive();
        Base::WndProc(M);
        if (*alive && FBoundLabel) FBoundLabel->FollowControl(M.Msg);
    }

private:
    std::unique_ptr<TsBoundLabel> FBoundLabel = std::make_unique<TsBoundLabel>(this, this->SkinData());
};
