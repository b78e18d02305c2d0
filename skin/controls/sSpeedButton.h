// The skinned speed button: a windowless flat button painted from its skin
// section, with glyph and caption in every layout, separators and dividers, a
// drop-down part with its menu, groups, and a glow between states.
#pragma once

#include <windows.h>

#include "Buttons.h"
#include "ImgList.h"
#include "Menus.h"
#include "sCommonFrame.h"

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

class TsSpeedButton : public TSpeedButton, public TsFrameClient {
    CLASSLIB_DECLARE_CLASS(TsSpeedButton)
public:
    explicit TsSpeedButton(TComponent* AOwner);
    ~TsSpeedButton() override;
    void AfterConstruction() override;

    TsCommonData* SkinData() const { return FFrame ? FFrame->SkinData : nullptr; }
    TsDisabledKind DisabledKind() const { return FFrame->DisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    TacAnimatEvents AnimatEvents() const { return FFrame->AnimatEvents; }
    void SetAnimatEvents(TacAnimatEvents Value) { FFrame->AnimatEvents = Value; }
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
    virtual void CaptionRect(TRect& R);
    virtual void GlyphRect(TRect& R);
    // 0 glyph left, 2 glyph right, 1 glyph above or below (set by CaptionRect).
    int TextLayoutKind() const { return FTextLayoutKind; }

    virtual void DrawCaption(TRect R, UINT Flags);
    virtual void PaintCaption();
    virtual void DrawGlyph();
    virtual void UpdateImageGlyph();
    virtual void PrepareCache();
    // 2 pressed or held down, 1 hot or active, 0 normal.
    int CurrentState() override;
    // The button repainted by its parent, between command 15 with the button
    // and command 15 with 0.
    void RepaintThroughParent();
    void StopGlow();

    void Invalidate() override;
    void WndProc(TMessage& Message) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void InheritedWndProc(TMessage& Message) override { TSpeedButton::WndProc(Message); }

protected:
    void Loaded() override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseEnter() override {}
    void MouseLeave() override {}

private:
    bool SkinnedNow() const;
    void Changed();
    void UpdateCaption();
    void FadeOrGlow(bool Half, bool Animate);
    void StartGlow(bool Half);
    void GlyphChangedHandler(TObject* Sender);
    void DropDownPress();
    int ArrowState();
    void PaintPart(const TCacheInfo& ci, const TRect& R, TPoint Offset, int State, bool Content);

    int FLastNumGlyphs = 1;
    int FLastSpacing = 4;
    bool FLastDown = false;
    TsCommonFrame* FFrame = nullptr;
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
    // This button's press hid the application's hints.
    bool FHidHints = false;
    // False once the button is destroyed: a copy taken before calling code
    // that may free the button (a menu item's click, an event) tells after
    // the call whether this object may still be touched.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
