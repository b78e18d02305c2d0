// The skinned up-down arrows: a class-library TCustomUpDown whose two halves
// are painted with the skin's scroll-button sections and arrow glyphs, each
// with its own hot, pressed and inaccessible look.
#pragma once

#include "ComCtrls.h"
#include "sSkinnedControl.h"

// What the mouse does to the halves.
enum class TacUpDownPart : int { None = 0, FirstHot = 1, SecondHot = 2, FirstPressed = 3, SecondPressed = 4 };

class TsUpDown : public TsSkinned<TCustomUpDown> {
    CLASSLIB_DECLARE_CLASS(TsUpDown)
public:
    explicit TsUpDown(TComponent* AOwner);
    ~TsUpDown() override;

    // A half whose limit Position has reached is drawn disabled and never hot.
    bool ShowInaccessibility() const { return FShowInaccessibility; }
    void SetShowInaccessibility(bool Value);
    // Section of both halves; empty (or a section the skin lacks): the
    // scroll-button sections. The arrows are the scroll buttons' glyphs.
    String ButtonSkin() const { return FButtonSkin; }
    void SetButtonSkin(const String& Value);
    TacUpDownPart PartState() const { return FPart; }
    void SetPartState(TacUpDownPart Value);

    // The top half (vertical) or left half (horizontal); the second half
    // is the rest, so an odd size gives it the extra row or column.
    TRect FirstHalfRect() const;
    TRect SecondHalfRect() const;
    // Half 0 (first) or 1 (second) has reached its limit: a vertical
    // control's first half moves towards Max, a horizontal one's towards Min.
    bool AtLimit(int Half) const;

protected:
    void CreateWnd() override;
    void PaintContent(TsPaintState State) override;
    bool SkinnedMessage(TMessage& Message) override;
    void AfterSkinCommand(WORD Code) override;

private:
    bool Vertical() const { return FOrientation == udVertical; }
    // The section the frame follows: the one the first half is painted with.
    void ChooseSection();
    void PaintHalf(int Half, const TCacheInfo& ParentCache);
    void HitTest(TMessage& Message);
    void Pressed();
    void Released();

    bool FShowInaccessibility = true;
    String FButtonSkin;
    TacUpDownPart FPart = TacUpDownPart::None;
    bool FPressed = false;
};
