// The skinned group box, a container whose frame starts half a caption strip
// down under a caption plate, and the skinned radio group built on it.
#pragma once

#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "sRadioButton.h"
#include "sSkinnedContainer.h"

// Named apart from the bound label's TsCaptionLayout: two enumerations of one
// name in one program are one type to the linker, and their property names
// would mix.
enum TsGroupCaptionLayout { clTopLeft, clTopCenter, clTopRight };
CLASSLIB_ENUM_NAMES(TsGroupCaptionLayout, "clTopLeft", "clTopCenter", "clTopRight")

// Paints its section ("GROUPBOX") from half the caption strip down and the
// caption on a plate of its own section ("CHECKBOX" unless CaptionSkin names
// another); copies its cache round its children, paints its windowless ones
// over it and passes the skin commands on to them. Never hot.
class TsGroupBox : public TsSkinnedContainer<TGroupBox> {
    CLASSLIB_DECLARE_CLASS(TsGroupBox)
public:
    explicit TsGroupBox(TComponent* AOwner);
    ~TsGroupBox() override;

    TsGroupCaptionLayout CaptionLayout() const { return FCaptionLayout; }
    void SetCaptionLayout(TsGroupCaptionLayout Value);
    // Moves the caption strip and the client area down (positive) or the
    // strip up (negative: the frame then starts at the top edge).
    int CaptionYOffset() const { return FCaptionYOffset; }
    void SetCaptionYOffset(int Value);
    // The plate's section; empty: "CHECKBOX".
    String CaptionSkin() const { return FCaptionSkin; }
    void SetCaptionSkin(const String& Value);

    // The caption plate's rectangle (the strip's height when the caption is empty).
    TRect CaptionRect();
    int CaptionHeight();
    // The cache, rebuilt when out of date, copied to DC round the children.
    void PaintToDC(HDC DC);

protected:
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
    TsPaintState CurrentState() override { return TsPaintState::Normal; }
    void RebuildCache(TsPaintState State) override;
    void ChildrenToldSkin(WORD Code, bool Own) override;
    bool SkinnedMessage(TMessage& Message) override;
    void PaintCaption(const TRect& C, const TCacheInfo& P);

private:
    bool FocusChanged(TMessage& M);
    bool FocusEnteredOrLeft(const TMessage& M);
    bool PassToBase(TMessage& M);
    bool PaintMessage(TMessage& M);

    TsGroupCaptionLayout FCaptionLayout = clTopLeft;
    int FCaptionYOffset = 0;
    String FCaptionSkin;
    // The focus is on the box or on a control inside it.
    bool FFocusInside = false;
};

class TsRadioGroup;

// One item of a skinned radio group, made and owned by it.
class TsGroupButton : public TsRadioButton {
    CLASSLIB_DECLARE_CLASS(TsGroupButton)
public:
    explicit TsGroupButton(TsRadioGroup* RadioGroup);
    void Dispatch(TMessage& Message) override;

protected:
    friend class TsRadioGroup;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    TsRadioGroup* FGroup;
    bool FInClick = false;
};

// Skinned radio items, one per line of Items, in Columns columns, with one
// ItemIndex that the program may set at any time.
class TsRadioGroup : public TRadioGroupOf<TsGroupBox> {
    CLASSLIB_DECLARE_CLASS(TsRadioGroup)
public:
    explicit TsRadioGroup(TComponent* AOwner);
    TsGroupButton* Buttons(int Index) const { return static_cast<TsGroupButton*>(FItems.Button(Index)); }
    // False keeps the user from changing the choice.
    virtual bool CanModify() { return true; }

protected:
    friend class TsGroupButton;
    bool RefreshSkin(TMessage& Message, bool Own) override;
    int StripHeight() override;
    void ArrangeButtons() override;
};
