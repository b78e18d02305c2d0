// The per-control skin data (TsCommonData) that links a skinned control, form
// provider or window adapter to its skin manager, and the state predicates
// that skinned controls ask of it.
#pragma once

#include <windows.h>

#include "Controls.h"
#include "Graphics.h"
#include "sGlobals.h"

class TsSkinManager;
struct TsGeneralData;

// Owned by its control (or provider, or adapter) and freed by it.
class TsCommonData : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TsCommonData)
public:
    // AOwner: the control served (OwnerControl), or another object (then
    // OwnerObject; a provider or adapter sets OwnerControl itself). With
    // CreateCacheBitmap an empty 24-bit cache bitmap is made at once.
    TsCommonData(TObject* AOwner, bool CreateCacheBitmap);
    ~TsCommonData() override;
    void Assign(TPersistent* Source) override;

    // Upper-cased; "" chooses the default section of ControlTypeCode (the
    // owner's class name for codes outside the table); indexes re-resolved.
    String SkinSection() const { return FSkinSection; }
    void SetSkinSection(const String& Value);
    // The manager set for this data (nil = the default manager) ...
    TsSkinManager* SkinManager() const { return FSkinManager; }
    void SetSkinManager(TsSkinManager* Value);
    // ... and the one it follows: its own, else DefaultManager.
    TsSkinManager* GetSkinManager() const;
    bool CustomColor() const { return FCustomColor; }
    void SetCustomColor(bool Value) { FCustomColor = Value; }
    bool CustomFont() const { return FCustomFont; }
    void SetCustomFont(bool Value) { FCustomFont = Value; }

    // The section record, nullptr when the index is not valid.
    const TsGeneralData* Section() const;
    // Re-resolves SkinIndex, BorderIndex, Texture and HotTexture.
    void UpdateIndexes();

    bool Updating = false;              // painting must wait
    int SkinIndex = -1;                 // section index, -1 when none
    int BorderIndex = -1;               // the section's "BORDERSMASK", -1 when none
    int Texture = -1;                   // the section's "PATTERN"
    int HotTexture = -1;                // the section's "HOTPATTERN"
    TControl* PaintingChild = nullptr;  // the parent-cache pointer: the child being repainted (command 15)
    bool Command9Flag = false;          // set by command 9: the parent's picture is always needed
    bool BGChanged = true;              // the cache bitmap is out of date
    bool HalfVisible = false;           // the owner is cut by its parent's client rectangle
    bool Focused = false;
    bool MouseAbove = false;
    TControl* OwnerControl = nullptr;  // the control served, nil for a plain window
    TObject* OwnerObject = nullptr;    // the provider of a form's data, the adapted control of an adapter item
    HWND OwnerHandle = nullptr;        // the window of an adapter's data that has no control
    TBitmap* CacheBmp = nullptr;       // 24 bits per pixel, the owner's picture; owned
    int ControlTypeCode = 0;           // chooses the default section

private:
    friend class TsSkinManager;
    friend void AssignDefaultSection(TsCommonData* SkinData);
    String FSkinSection;
    TsSkinManager* FSkinManager = nullptr;
    bool FCustomColor = false;
    bool FCustomFont = false;
};

// The default section of a control-type code; "" for a code outside the table.
String DefaultSectionOf(int ControlTypeCode);
// Codes whose controls never show a hot state.
bool IsNoHoverCode(int ControlTypeCode);

// When SkinSection is empty, sets it by the control-type code; no colours.
void AssignDefaultSection(TsCommonData* SkinData);
// Re-resolves the section index and its "BORDERSMASK", "PATTERN", "HOTPATTERN".
void UpdateSkinIndexes(TsCommonData* SkinData);
// See the routines' rules: nil data, owner or manager being destroyed and
// (with CheckActive) an inactive skin give False; else the section is valid.
bool HasSkin(const TsCommonData* SkinData, bool CheckActive = true);
bool IsUpdating(TsCommonData* SkinData);
void SetUpdating(TsCommonData* SkinData, bool Value);
void InvalidateOwner(TsCommonData* SkinData);
void ApplySectionColors(TsCommonData* SkinData);
// An edit-like owner (TCustomEdit or code 97) takes the section's Color and
// font colour (Skinned) or clWindow / clWindowText, unless custom.
void ApplyEditColors(TsCommonData* SkinData, bool Skinned);
// True when the owner is live, enabled and focused or hot (hot only outside the no-hover set).
bool ControlStateIndex(const TsCommonData* SkinData);
// Neither loading nor being destroyed, no window being made or destroyed, and a parent.
bool IsControlLive(const TControl* Control);
bool NeedsParentBackground(const TsCommonData* SkinData);
// The cache bitmap exists, is 24 bits per pixel and has the owner's size.
void PrepareCacheBmp(TsCommonData* SkinData);
// The cache bitmap exists, is 24 bits per pixel and is W x H (negative sizes
// count as 0): the one way controls and adapters size a cache.
TBitmap* SizeCacheBmp(TsCommonData* SkinData, int W, int H);
void BeginSkinUpdate(TsCommonData* SkinData);
void EndSkinUpdate(TsCommonData* SkinData);
// Every live skin data (the manager clears its references when it goes).
int CommonDataCount();
TsCommonData* CommonDataItem(int Index);
