#include "sCommonData.h"

#include "Forms.h"
#include "StdCtrls.h"
#include "sControlTypes.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <algorithm>
#include <cctype>

namespace {

std::vector<TsCommonData*>& AllData() {
    static std::vector<TsCommonData*> list;
    return list;
}

String UpperText(String s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool Destroying(const TObject* Obj) {
    const TComponent* c = dynamic_cast<const TComponent*>(Obj);
    return c && c->ComponentState().Contains(csDestroying);
}

bool IsEditOwner(const TsCommonData* d) {
    return d->ControlTypeCode == acCtEdit || dynamic_cast<const TCustomEdit*>(d->OwnerControl) != nullptr;
}

struct TSectionRange {
    int From, To;
    const char* Section;
};

// Control-type code -> default section.
const TSectionRange kDefaultSections[] = {
    {2, 8, "EDIT"},
    {10, 10, "EDIT"},
    {41, 41, "EDIT"},
    {76, 76, "EDIT"},
    {78, 78, "EDIT"},
    {83, 84, "EDIT"},
    {96, 97, "EDIT"},
    {131, 131, "EDIT"},
    {140, 140, "EDIT"},
    {227, 227, "EDIT"},
    {11, 18, "COMBOBOX"},
    {81, 82, "COMBOBOX"},
    {19, 19, "BAR"},
    {20, 20, "BARTITLE"},
    {32, 32, "CHECKBOX"},
    {152, 152, "CHECKBOX"},
    {33, 33, "RADIOBUTTON"},
    {acCtPanel, acCtPanel, "PANEL"},
    {59, 59, "PANEL"},
    {68, 68, "PANEL"},
    {73, 73, "PANEL"},
    {52, 52, "PANEL_LOW"},
    {58, 58, "PANEL_LOW"},
    {53, 54, "TOOLBAR"},
    {60, 60, "TOOLBAR"},
    {acCtDragBar, acCtDragBar, "DRAGBAR"},
    {57, 57, "TABSHEET"},
    {74, 74, "GROUPBOX"},
    {226, 226, "GROUPBOX"},
    {acCtSplitter, acCtSplitter, "SPLITTER"},
    {acCtSpeedButton, acCtSpeedButton, "SPEEDBUTTON"},
    {95, 95, "SPEEDBUTTON"},
    {acCtButton, 94, "BUTTON"},
    {98, 98, "TOOLBUTTON"},
    {141, 141, "PAGECONTROL"},
    {143, 143, "PAGECONTROL"},
    {151, 151, "STATUSBAR"},
    {acCtProgressBar, acCtProgressBar, "GAUGE"},
    {acCtTrackBar, acCtTrackBar, "TRACKBAR"},
};

}  // namespace

void ApplyEditColors(TsCommonData* d, bool Skinned) {
    TControl* c = d->OwnerControl;
    if (!c || !IsEditOwner(d)) return;
    const TsGeneralData* s = Skinned ? d->Section() : nullptr;
    if (!d->CustomColor()) c->SetColor(s ? TColor(s->Color) : clWindow);
    if (!d->CustomFont()) c->Font()->SetColor(s ? TColor(s->FontColor[0]) : clWindowText);
}

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TsCommonData, TPersistent,
    StrProp<TsCommonData>("SkinSection", &TsCommonData::SkinSection, &TsCommonData::SetSkinSection),
    OrdProp<TsCommonData>("CustomColor", TTypeKind::tkBool, &TsCommonData::CustomColor, &TsCommonData::SetCustomColor, 0),
    OrdProp<TsCommonData>("CustomFont", TTypeKind::tkBool, &TsCommonData::CustomFont, &TsCommonData::SetCustomFont, 0),
    ObjProp<TsCommonData, TsSkinManager>("SkinManager", &TsCommonData::SkinManager, &TsCommonData::SetSkinManager))
// clang-format on

TsCommonData::TsCommonData(TObject* AOwner, bool CreateCacheBitmap) {
    OwnerControl = dynamic_cast<TControl*>(AOwner);
    if (!OwnerControl) OwnerObject = AOwner;
    if (CreateCacheBitmap) CacheBmp = new TBitmap();
    AllData().push_back(this);
}

TsCommonData::~TsCommonData() {
    auto& all = AllData();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    delete CacheBmp;
}

void TsCommonData::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TsCommonData*>(Source)) {
        FCustomColor = s->FCustomColor;
        FCustomFont = s->FCustomFont;
        FSkinManager = s->FSkinManager;
        SetSkinSection(s->FSkinSection);
        return;
    }
    TPersistent::Assign(Source);
}

void TsCommonData::SetSkinSection(const String& Value) {
    FSkinSection = UpperText(Value);
    // An empty name goes back to the default section, so that a control can
    // always be returned to its usual look; "UNKNOWN" only when none exists.
    if (FSkinSection.empty()) AssignDefaultSection(this);
    else UpdateIndexes();
    BGChanged = true;
}

void TsCommonData::SetSkinManager(TsSkinManager* Value) {
    if (FSkinManager == Value) return;
    FSkinManager = Value;
    UpdateIndexes();
    BGChanged = true;
}

TsSkinManager* TsCommonData::GetSkinManager() const { return FSkinManager ? FSkinManager : DefaultManager; }

const TsGeneralData* TsCommonData::Section() const {
    TsSkinManager* m = GetSkinManager();
    return m && IsValidSectionIndex(m, SkinIndex) ? &m->gd()[SkinIndex] : nullptr;
}

void TsCommonData::UpdateIndexes() {
    TsSkinManager* m = GetSkinManager();
    SkinIndex = BorderIndex = Texture = HotTexture = -1;
    if (!m || FSkinSection.empty()) return;
    SkinIndex = SectionIndexOf(m, FSkinSection);
    BorderIndex = MaskIndexOf(m, SkinIndex, FSkinSection, "BORDERSMASK");
    Texture = MaskIndexOf(m, SkinIndex, FSkinSection, "PATTERN");
    HotTexture = MaskIndexOf(m, SkinIndex, FSkinSection, "HOTPATTERN");
}

int CommonDataCount() { return static_cast<int>(AllData().size()); }
TsCommonData* CommonDataItem(int Index) { return AllData().at(static_cast<std::size_t>(Index)); }

// ---------------------------------------------------------------------------

String DefaultSectionOf(int ControlTypeCode) {
    for (const TSectionRange& r : kDefaultSections)
        if (ControlTypeCode >= r.From && ControlTypeCode <= r.To) return r.Section;
    return String();
}

bool IsNoHoverCode(int Code) { return (Code >= 51 && Code <= 74) || Code == 110 || (Code >= 141 && Code <= 161); }

void AssignDefaultSection(TsCommonData* SkinData) {
    if (!SkinData || !SkinData->FSkinSection.empty()) return;
    String name = DefaultSectionOf(SkinData->ControlTypeCode);
    if (name.empty()) {
        if (SkinData->OwnerControl) name = SkinData->OwnerControl->ClassName();
        else if (SkinData->OwnerObject) name = SkinData->OwnerObject->ClassName();
    }
    SkinData->FSkinSection = name.empty() ? String("UNKNOWN") : UpperText(name);
    SkinData->UpdateIndexes();
}

void UpdateSkinIndexes(TsCommonData* SkinData) {
    if (SkinData) SkinData->UpdateIndexes();
}

bool HasSkin(const TsCommonData* SkinData, bool CheckActive) {
    if (!SkinData) return false;
    if (Destroying(SkinData->OwnerControl) || Destroying(SkinData->OwnerObject)) return false;
    TsSkinManager* m = SkinData->GetSkinManager();
    if (!m || m->ComponentState().Contains(csDestroying)) return false;
    if (CheckActive && !m->Active()) return false;
    return IsValidSectionIndex(m, SkinData->SkinIndex);
}

bool IsUpdating(TsCommonData* SkinData) {
    if (!SkinData) return true;
    TsSkinManager* m = SkinData->GetSkinManager();
    if (!m || !m->Active() || SkinData->Updating) return true;
    if (TControl* c = SkinData->OwnerControl) {
        if (Destroying(c)) return false;
        TWinControl* parent = c->Parent();
        // A top-level form has no parent and is never waiting for one.
        if (!parent) return dynamic_cast<TCustomForm*>(c) == nullptr;
        return QuerySkinCommand(parent, AC_GETBGCHANGED);
    }
    if (SkinData->OwnerHandle) {
        HWND parent = GetParent(SkinData->OwnerHandle);
        if (TWinControl* pc = parent ? FindControl(parent) : nullptr) return QuerySkinCommand(pc, AC_GETBGCHANGED);
    }
    return false;
}

void SetUpdating(TsCommonData* SkinData, bool Value) {
    if (SkinData) SkinData->Updating = Value;
}

void InvalidateOwner(TsCommonData* SkinData) {
    if (!SkinData) return;
    if (TControl* c = SkinData->OwnerControl) {
        const TComponentState st = c->ComponentState();
        if (st.Contains(csDestroying) || st.Contains(csLoading)) return;
        SkinData->BGChanged = true;
        if (IsControlLive(c)) c->Invalidate();
        return;
    }
    SkinData->BGChanged = true;
    if (SkinData->OwnerHandle && IsWindow(SkinData->OwnerHandle)) InvalidateRect(SkinData->OwnerHandle, nullptr, FALSE);
}

void ApplySectionColors(TsCommonData* SkinData) {
    if (!SkinData) return;
    AssignDefaultSection(SkinData);
    TControl* c = SkinData->OwnerControl;
    if (!c || !HasSkin(SkinData) || !c->Parent() || c->ComponentState().Contains(csLoading)) return;
    if (auto* w = dynamic_cast<TWinControl*>(c)) RefreshChildControls(w);
    ApplyEditColors(SkinData, true);
}

bool IsControlLive(const TControl* Control) {
    if (!Control) return false;
    const TComponentState st = Control->ComponentState();
    const TControlState cs = Control->ControlState();
    return !st.Contains(csLoading) && !st.Contains(csDestroying) && !cs.Contains(csCreating) &&
           !cs.Contains(csDestroyingHandle) && Control->Parent() != nullptr;
}

bool ControlStateIndex(const TsCommonData* SkinData) {
    if (!SkinData || !SkinData->OwnerControl) return false;
    const TControl* c = SkinData->OwnerControl;
    const TComponentState st = c->ComponentState();
    if (st.Contains(csDestroying) || st.Contains(csDesigning) || !c->Enabled()) return false;
    bool focused = SkinData->Focused;
    if (!focused)
        if (auto* w = dynamic_cast<const TWinControl*>(c)) focused = w->HandleAllocated() && w->Focused();
    return focused || (SkinData->MouseAbove && !IsNoHoverCode(SkinData->ControlTypeCode));
}

bool NeedsParentBackground(const TsCommonData* SkinData) {
    if (!SkinData || SkinData->Command9Flag || !HasSkin(SkinData)) return true;
    const TsGeneralData* s = SkinData->Section();
    return s->Transparency > 0 || (s->HotTransparency > 0 && ControlStateIndex(SkinData));
}

TBitmap* SizeCacheBmp(TsCommonData* SkinData, int W, int H) {
    if (!SkinData) return nullptr;
    if (!SkinData->CacheBmp) SkinData->CacheBmp = new TBitmap();
    TBitmap* b = SkinData->CacheBmp;
    if (b->PixelFormat() != pf24bit) b->SetPixelFormat(pf24bit);
    if (b->Width() != W || b->Height() != H) b->SetSize(std::max(W, 0), std::max(H, 0));
    return b;
}

void PrepareCacheBmp(TsCommonData* SkinData) {
    if (!SkinData) return;
    int w = 0, h = 0;
    if (SkinData->OwnerControl) {
        w = SkinData->OwnerControl->Width();
        h = SkinData->OwnerControl->Height();
    } else if (SkinData->OwnerHandle) {
        RECT r{};
        GetWindowRect(SkinData->OwnerHandle, &r);
        w = r.right - r.left;
        h = r.bottom - r.top;
    }
    SizeCacheBmp(SkinData, w, h);
}

namespace {
void SendUpdateCommand(TsCommonData* d, WORD Code) {
    if (d->OwnerControl) SendSkinCommand(d->OwnerControl, Code, 0);
    else if (d->OwnerHandle) SendSkinCommandToWindow(d->OwnerHandle, Code, 0);
}
}  // namespace

void BeginSkinUpdate(TsCommonData* SkinData) {
    if (!SkinData) return;
    SkinData->Updating = true;
    SendUpdateCommand(SkinData, AC_BEGINUPDATE);
}

void EndSkinUpdate(TsCommonData* SkinData) {
    if (!SkinData) return;
    SkinData->Updating = false;
    SendUpdateCommand(SkinData, AC_ENDUPDATE);
}
