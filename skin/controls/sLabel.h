// Skinned text labels: windowless labels that follow the default skin manager
// for their colours, and the shadow label that draws a blurred drop shadow.
#pragma once

#include <windows.h>

#include "StdCtrls.h"

#include <cstdint>
#include <memory>
#include <vector>

class TsSkinManager;
class TsBoundLabel;
class TsLabelFX;

// A label that takes its font colour from the skin, may paint a skin section
// under its text and shows a disabled text mixed into its parent's colour.
// It owns no skin data: it follows DefaultManager.
//
// OnMouseEnter / OnMouseLeave (of TControl) fire once per enter and leave of
// the label itself, not for the messages that its children pass up.
class TsCustomLabel : public TCustomLabel {
    CLASSLIB_DECLARE_CLASS(TsCustomLabel)
public:
    explicit TsCustomLabel(TComponent* AOwner);

    // Empty: no section background. A section at index 0 counts as absent.
    String SkinSection() const { return FSkinSection; }
    void SetSkinSection(const String& Value);

    // The label's Font after it took the skin's global font colour.
    virtual TFont* GetCurrentFont();
    void DoDrawText(TRect& Rect, UINT Flags) override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    // The events are fired by WndProc, on the label's own messages only.
    void MouseEnter() override {}
    void MouseLeave() override {}
    // The label's text and flags as the class library's label would draw them.
    String TextToDraw(UINT& Flags) const;

    String FSkinSection;

private:
    // Fires an enter or leave event; false when its handler freed the label.
    bool FireStays(const TNotifyEvent& Event);
};

// The usual skinned label: UseSkinColor lets it follow the skin's font colour.
class TsLabel : public TsCustomLabel {
    CLASSLIB_DECLARE_CLASS(TsLabel)
public:
    explicit TsLabel(TComponent* AOwner);
    bool UseSkinColor() const { return FUseSkinColor; }
    void SetUseSkinColor(bool Value);
    TFont* GetCurrentFont() override;
    void WndProc(TMessage& Message) override;

protected:
    bool FUseSkinColor = true;
};

// The caption label of an editor, made by its bound-label settings.
class TsEditLabel : public TsLabel {
    CLASSLIB_DECLARE_CLASS(TsEditLabel)
public:
    TsEditLabel(TComponent* AOwner, TsBoundLabel* ABoundLabel);
    ~TsEditLabel() override;
    // The settings that made this label (not owned).
    TsBoundLabel* BoundLabel = nullptr;
    // Where the bound label keeps this label; cleared when the label goes.
    TsEditLabel** BoundLabelRef = nullptr;
};

enum TsShadowMode { smNone, smCustom, smSkin1 };
enum TsKindType { ktStandard, ktCustom, ktSkin };
CLASSLIB_ENUM_NAMES(TsShadowMode, "smNone", "smCustom", "smSkin1")
CLASSLIB_ENUM_NAMES(TsKindType, "ktStandard", "ktCustom", "ktSkin")

// The drop shadow of a TsLabelFX. Each setter repaints the label.
class TsShadow : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TsShadow)
public:
    explicit TsShadow(TsLabelFX* AOwner);
    void Assign(TPersistent* Source) override;

    // Blur passes; 0 = no shadow.
    int BlurCount() const { return FBlurCount; }
    void SetBlurCount(int Value);
    // Offset right and down, in pixels.
    int Distance() const { return FDistance; }
    void SetDistance(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TsShadowMode Mode() const { return FMode; }
    void SetMode(TsShadowMode Value);
    TsLabelFX* Owner() const { return FOwner; }

    // The channels of the shadow colour last used (after ColorToRGB).
    int Red = 0;
    int Green = 0;
    int Blue = 0;

private:
    void Changed();
    int FBlurCount = 4;
    int FDistance = 1;
    TColor FColor = clBlack;
    TsLabelFX* FOwner;
    TsShadowMode FMode = smSkin1;
};

// How a TsLabelFX chooses its text colour.
class TsKind : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TsKind)
public:
    explicit TsKind(TsLabelFX* AOwner) : FOwner(AOwner) {}
    void Assign(TPersistent* Source) override;
    TsKindType KindType() const { return FKindType; }
    void SetKindType(TsKindType Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TsLabelFX* Owner() const { return FOwner; }

private:
    TsLabelFX* FOwner;
    TsKindType FKindType = ktSkin;
    TColor FColor = clWhite;
};

// A label with a blurred drop shadow. Measured (AutoSize), it grows by the
// shadow's reach and places its text inside that margin.
class TsLabelFX : public TsCustomLabel {
    CLASSLIB_DECLARE_CLASS(TsLabelFX)
public:
    explicit TsLabelFX(TComponent* AOwner);
    ~TsLabelFX() override;

    TsShadow* Shadow() const { return FShadow; }
    void SetShadow(TsShadow* Value) { FShadow->Assign(Value); }
    TsKind* Kind() const { return FKind; }
    void SetKind(TsKind* Value) { FKind->Assign(Value); }

    void DoDrawText(TRect& Rect, UINT Flags) override;

    // How far the shadow reaches left of / above the text (<= 0) and right
    // of / below it (>= 0), as the last measuring pass found.
    int ShadowLead() const { return FShadowLead; }
    int ShadowTrail() const { return FShadowTrail; }

private:
    // Colour, passes and distance of the shadow by Shadow.Mode and the skin.
    void ShadowParams(TColor& Color, int& Passes, int& Distance) const;
    TColor TextColor() const;
    void PaintShadow(const String& Text, const TRect& R, const TRect& T, UINT Flags, TColor ShadowColor, int Passes,
                     int Distance);

    TBitmap* FShadowBmp;              // 32 bits per pixel, remade each paint
    std::vector<std::uint8_t> FMask;  // grey-level blur mask with a one-pixel border; only grows
    TsShadow* FShadow;
    int FShadowLead = 0;
    int FShadowTrail = 0;
    TsKind* FKind;
};
