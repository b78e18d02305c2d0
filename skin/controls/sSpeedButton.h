// The skinned speed button: a windowless flat button painted from its skin
// section, with glyph and caption in every layout, separators and dividers, a
// drop-down part with its menu, groups, and a glow between states.
#pragma once

#include <windows.h>

#include "Buttons.h"
#include "ImgList.h"
#include "Menus.h"
#include "sSkinnedControl.h"

#include <functional>
#include <memory>

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
enum TsDisabledGlyphKindItem { dgBlended, dgGrayed };
CLASSLIB_ENUM_NAMES(TToolButtonStyle, "tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider")
CLASSLIB_ENUM_NAMES(TsDisabledGlyphKindItem, "dgBlended", "dgGrayed")
using TsDisabledGlyphKind = TSet<TsDisabledGlyphKindItem>;
// Sender and the cache bitmap just rebuilt.
using TBmpPaintEvent = std::function<void(TObject* Sender, TBitmap* Bmp)>;

class TsSpeedButton;
// The button whose drop-down menu is open, or nil; and whether one is open.
extern TsSpeedButton* acDropDownButton;
extern bool acDropDownMenuOpen;

class TsSpeedButton : public TsSkinned<TSpeedButton> {
    CLASSLIB_DECLARE_CLASS(TsSpeedButton)
public:
    explicit TsSpeedButton(TComponent* AOwner);
    ~TsSpeedButton() override;
    void AfterConstruction() override;
    // A windowless control hears of no WM_SIZE: a new place or size marks the picture changed here.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The drop-down menu is on the screen: the button that opened it gives
    // back the hints its press hid and is no longer the menu's owner.
    static void DropDownMenuShown();

    void SetDisabledKind(TsDisabledKind Value);
    TsDisabledGlyphKind DisabledGlyphKind() const { return FDisabledGlyphKind; }
    void SetDisabledGlyphKind(TsDisabledGlyphKind Value);
    // The glyph is shown grey until the button is hot.
    bool Grayed() const { return FGrayed; }
    void SetGrayed(bool Value);
    // Percent of the background showing through the glyph, 0..100.
    int Blend() const { return FBlend; }
    void SetBlend(int Value);
    // The caption moved right by this many pixels.
    int TextOffset() const { return FTextOffset; }
    void SetTextOffset(int Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // False empties Caption (kept aside until it is True again).
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    // Where glyph and caption group within the button.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // tbsDropDown adds a 16-pixel arrow part that opens DropdownMenu.
    TToolButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TToolButtonStyle Value);
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* Value);
    // Content over the border (True) or the border over the content.
    bool DrawOverBorder() const { return FDrawOverBorder; }
    void SetDrawOverBorder(bool Value);
    // The caption's own alignment inside its rectangle.
    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TAlignment Value);
    // True while this button's drop-down menu is open.
    bool MenuShown() const { return FMenuShown; }
    // The glow running now, or nil (the button owns it).
    TsAnimTimer* GlowTimer() const { return FGlow; }

    TBmpPaintEvent OnPaint;

    // Measures and places (button coordinates).
    int ArrowWidth() const { return FButtonStyle == tbsDropDown ? 16 : 0; }
    int GlyphOffset() const { return Margin() < 0 ? 0 : Margin() + 3; }
    virtual int GlyphWidth();
    virtual int GlyphHeight();
    int MaxCaptionWidth();
    virtual TSize TextRectSize();
    virtual void CaptionRect(TRect& R, TsPaintState State);
    virtual void GlyphRect(TRect& R, TsPaintState State);
    // 0 glyph left, 2 glyph right, 1 glyph above or below (set by CaptionRect).
    int TextLayoutKind() const { return FTextLayoutKind; }

    virtual void DrawCaption(TRect R, UINT Flags, TsPaintState State);
    virtual void PaintCaption(TsPaintState State);
    virtual void DrawGlyph(TsPaintState State);
    virtual void UpdateImageGlyph();
    // Pressed (down or held), Active (hot or focused) or Normal.
    TsPaintState CurrentState() override;
    // The button repainted by its parent, between command 15 with the button
    // and command 15 with 0.
    void RepaintThroughParent();
    void StopGlow();
    // The fade of a speed button is its glow.
    void StopFade() override { StopGlow(); }

    void Invalidate() override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

protected:
    bool SharesHotWithSiblings() const override { return true; }
    void Loaded() override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Where the speed button differs from the frame.
    void RebuildCache(TsPaintState State) override;
    void AnimateChange(TacAnimatEvent Event, bool Half) override;
    bool NewSkin(TMessage& Message, bool Own) override;
    bool RemoveSkin(TMessage& Message, bool Own) override;
    bool RefreshSkin(TMessage& Message, bool Own) override;
    void UnskinnedMessage(TMessage& Message) override;
    bool SkinnedMessage(TMessage& Message) override;
    void AfterInherited(TMessage& Message) override;

private:
    void Changed();
    void UpdateCaption();
    void FadeOrGlow(bool Half, bool Animate);
    void StartGlow(bool Half);
    void GlyphChangedHandler(TObject* Sender);
    // OnBody: the press was on the main part, not on the arrow part.
    void DropDownPress(bool OnBody);
    void PaintPart(const TCacheInfo& ci, const TRect& R, TPoint Offset, TsPaintState State, bool Content);
    bool ParentChangedSpeed();
    bool SetFlag9Speed(TMessage& M);
    bool ShapeChanged();
    bool ReleasedDuringGlow();
    bool MouseLeftSpeed();

    int FLastNumGlyphs = 1;
    int FLastSpacing = 4;
    bool FLastDown = false;
    TsAnimTimer* FGlow = nullptr;
    TsDisabledGlyphKind FDisabledGlyphKind{dgBlended};
    bool FGrayed = false;
    int FBlend = 0;
    int FTextOffset = 0;
    int FImageIndex = -1;
    TCustomImageList* FImages = nullptr;
    bool FShowCaption = true;
    TAlignment FAlignment = taCenter;
    int FTextLayoutKind = 0;
    TToolButtonStyle FButtonStyle = tbsButton;
    TPopupMenu* FDropdownMenu = nullptr;
    bool FDrawOverBorder = true;
    TAlignment FTextAlignment = taCenter;
    bool FMenuShown = false;
    TNotifyEvent FSavedGlyphChange;
    TButtonLayout FLastLayout = blGlyphLeft;
    String FSavedCaption;
};
