// The skinned check box, and what it shares with the skinned radio button: a
// state glyph (from the skin, custom pictures or an image list) and a caption
// painted over the section, state toggled by the control itself.
#pragma once

#include <windows.h>

#include "ImgList.h"
#include "StdCtrls.h"
#include "sSkinnedControl.h"

#include <memory>
#include <vector>

// Where a check control takes its glyph from.
enum class TacGlyphSource { Skin, Custom, ImageList };

// A check box or radio button (Base: TCustomCheckBox or TRadioButton) that
// keeps its system window for focus and keys but, while skinned, paints the
// whole control itself and changes its state on the release of a press,
// never through the system button. The overrideables below are where the two
// differ.
template <class Base>
class TsCheckControl : public TsSkinned<Base> {
    using Frame = TsSkinned<Base>;

public:
    using CheckControl = TsCheckControl;
    TsCheckControl(TComponent* AOwner, TsControlType Type) : Frame(AOwner, Type, TsFrameOptions{false, false}) {
        this->FAutoSize = true;
    }

    // Custom glyphs: 3 columns (normal, hot, pressed) by 2 rows (picture,
    // grey mask) of equal cells; GlyphChecked's size decides the cell size.
    TBitmap* GlyphChecked() const { return FGlyphChecked.get(); }
    void SetGlyphChecked(TBitmap* Value) { AssignGlyph(FGlyphChecked.get(), Value); }
    TBitmap* GlyphUnChecked() const { return FGlyphUnChecked.get(); }
    void SetGlyphUnChecked(TBitmap* Value) { AssignGlyph(FGlyphUnChecked.get(), Value); }
    // Extra space between glyph and caption.
    int TextIndent() const { return FTextIndent; }
    void SetTextIndent(int Value) { SetLayoutValue(FTextIndent, Value); }
    // Distance of glyph and caption from the edges.
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { SetLayoutValue(FMargin, Value); }
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value) {
        if (FShowFocus == Value) return;
        FShowFocus = Value;
        this->Invalidate();
    }
    // The user cannot change the state (by mouse or keys); code can.
    bool ReadOnly() const { return GetReadOnly(); }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    virtual bool GetReadOnly() const { return FReadOnly; }
    // No new window; switching it switches AutoSize off.
    void SetWordWrap(bool Value) override {
        if (this->FWordWrap == Value) return;
        this->FWordWrap = Value;
        this->SkinData()->BGChanged = true;
        if (this->FAutoSize) this->SetAutoSize(false);
        this->Repaint();
    }

    // The glyph's place: at the left for taRightJustify, else at the right.
    TRect CheckRect();
    bool Pressed() const { return FPressed; }

protected:
    // --- Where check box and radio button differ ------------------------------
    virtual TacGlyphSource GlyphSource() {
        return GlyphChecked()->Width() > 0 ? TacGlyphSource::Custom : TacGlyphSource::Skin;
    }
    // The size of one glyph cell in image-list mode (check box only).
    virtual TSize ImageListGlyphSize() { return TSize{0, 0}; }
    virtual void PaintImageListGlyph(TsPaintState /*State*/) {}
    // The skin's mask for the state shown now ("BOXCHECKED", "RADIOUNCHECKED", ...).
    virtual const char* MaskName() = 0;
    // The caption's right edge when the glyph is at the left: the text's end,
    // or (radio button) the right margin.
    virtual bool CaptionToRightMargin() const { return false; }
    // The state change of a released press.
    virtual void Released() = 0;
    // The system button's check value, given back when the skin goes.
    virtual WPARAM SystemCheck() const = 0;

    // --- The frame's overrideables ---------------------------------------------
    TsPaintState CurrentState() override {
        if (FPressed) return TsPaintState::Pressed;
        return HotLook() ? TsPaintState::Active : TsPaintState::Normal;
    }
    void RebuildCache(TsPaintState State) override;
    bool SkinnedMessage(TMessage& M) override;
    void UnskinnedMessage(TMessage& M) override;
    void AfterSkinCommand(WORD Code) override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void Loaded() override {
        Frame::Loaded();
        this->AdjustSize();
    }

    // Hot (focused or under the mouse) and not read-only.
    bool HotLook() const { return this->ActiveLook() && !GetReadOnly(); }
    int MaskIndex();
    void PaintCustomGlyph(TBitmap* Glyph, TsPaintState State);
    void PaintGlyph(TsPaintState State);
    void PaintCaption(TsPaintState State);
    // Takes the focus without the system's click for it.
    void TakeFocus();
    // A press (space or left button) began, or its release came.
    bool Press(TMessage& M);
    bool Release(TMessage& M);
    // The mouse went to another window, or the press was cancelled: no click.
    bool PressLost();
    bool PressStarts(const TMessage& M) const;
    bool PaintNow(HDC DC);

    bool FPressed = false;

private:
    void AssignGlyph(TBitmap* Target, TBitmap* Value) {
        Target->Assign(Value);
        this->AdjustSize();
        InvalidateOwner(this->SkinData());
    }
    void SetLayoutValue(int& Field, int Value) {
        if (Field == Value) return;
        Field = Value;
        this->AdjustSize();
        this->Invalidate();
    }
    TSize GlyphSize();

    std::unique_ptr<TBitmap> FGlyphChecked = std::make_unique<TBitmap>();
    std::unique_ptr<TBitmap> FGlyphUnChecked = std::make_unique<TBitmap>();
    int FTextIndent = 0;
    int FMargin = 2;
    bool FShowFocus = true;
    bool FReadOnly = false;
};

class TsCheckBox : public TsCheckControl<TCustomCheckBox> {
    CLASSLIB_DECLARE_CLASS(TsCheckBox)
public:
    explicit TsCheckBox(TComponent* AOwner);
    ~TsCheckBox() override;

    // Image-list mode, used when Images is set and both indexes are >= 0:
    // each image is a glyph grid as GlyphChecked. Not owned.
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImgChecked() const { return FImgChecked; }
    void SetImgChecked(int Value);
    int ImgUnchecked() const { return FImgUnchecked; }
    void SetImgUnchecked(int Value);

    void SetChecked(bool Value) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

protected:
    TacGlyphSource GlyphSource() override;
    TSize ImageListGlyphSize() override;
    void PaintImageListGlyph(TsPaintState State) override;
    const char* MaskName() override;
    void Released() override { Toggle(); }
    WPARAM SystemCheck() const override { return static_cast<WPARAM>(State()); }
    bool SkinnedMessage(TMessage& M) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomImageList* FImages = nullptr;
    int FImgChecked = 0;
    int FImgUnchecked = 0;
};

extern template class TsCheckControl<TCustomCheckBox>;
extern template class TsCheckControl<TRadioButton>;

// The published properties that check box and radio button share, for the
// class's property table (C: the class).
#define AC_CHECK_CONTROL_PROPS(C)                                                                                    \
    ObjProp<C, TsCommonData>("SkinData", &C::SkinData),                                                              \
        acNamedSet(OrdProp<C, TacAnimatEvents, TacAnimatEvents>(                                                     \
                       "AnimatEvents", TTypeKind::tkSet, &C::AnimatEvents, &C::SetAnimatEvents,                      \
                       static_cast<std::int64_t>(TacAnimatEvents{aeGlobalDef}.ToBits())),                            \
                   {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"}),                     \
        acNamedSet(OrdProp<C, TsDisabledKind, TsDisabledKind>(                                                       \
                       "DisabledKind", TTypeKind::tkSet, &C::DisabledKind, &C::SetDisabledKind,                      \
                       static_cast<std::int64_t>(TsDisabledKind{dkBlended}.ToBits())),                               \
                   {"dkBlended", "dkGrayed"}),                                                                       \
        OrdProp<TControl>("AutoSize", TTypeKind::tkBool, &TControl::AutoSize, &TControl::SetAutoSize, 1),            \
        ObjProp<typename C::CheckControl, TBitmap>("GlyphChecked", &C::GlyphChecked, &C::SetGlyphChecked),           \
        ObjProp<typename C::CheckControl, TBitmap>("GlyphUnChecked", &C::GlyphUnChecked, &C::SetGlyphUnChecked),     \
        OrdProp<typename C::CheckControl>("Margin", TTypeKind::tkInteger, &C::Margin, &C::SetMargin, 2),             \
        OrdProp<typename C::CheckControl>("ReadOnly", TTypeKind::tkBool, &C::ReadOnly, &C::SetReadOnly, 0),          \
        OrdProp<typename C::CheckControl>("ShowFocus", TTypeKind::tkBool, &C::ShowFocus, &C::SetShowFocus, 1),       \
        OrdProp<typename C::CheckControl>("TextIndent", TTypeKind::tkInteger, &C::TextIndent, &C::SetTextIndent, 0), \
        OrdProp<TButtonControl>("WordWrap", TTypeKind::tkBool, &TButtonControl::WordWrap,                            \
                                &TButtonControl::SetWordWrap, 0)

// A set property whose elements can be named.
TPropInfo acNamedSet(TPropInfo Prop, std::vector<String> Names);
