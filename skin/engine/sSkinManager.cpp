#include "sSkinManager.h"

#include "sCommonData.h"
#include "sGlobals.h"
#include "sMessages.h"
#include "sSkinSource.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>

// Made before the start-up code of the units that fill it.
TacEngineHooks acEngineHooks __attribute__((init_priority(101)));

namespace {

String UpperText(String s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool IsFolder(const String& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const String& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool LooksLikePath(const String& name) { return name.find_first_of("\\/:") != String::npos; }

bool EndsWithAsz(const String& name) { return name.size() > 4 && UpperText(name.substr(name.size() - 4)) == ".ASZ"; }

// A decoded skin picture as a 24-bit bitmap.
TBitmap* BitmapOf(const TacBmpImage& image) {
    if (image.Empty()) return nullptr;
    auto* b = new TBitmap(image.Width, image.Height, pf24bit);
    for (int y = 0; y < image.Height; ++y) std::memcpy(b->ScanLine(y), image.Row(y), std::size_t(image.Width) * 3);
    return b;
}

const char* const kDefaultThirdParty[acThirdPartyCount] = {
    "TEdit\nTMemo\nTMaskEdit\nTLabeledEdit\nTHotKey\nTListBox\nTCheckListBox\nTRichEdit\nTDateTimePicker",
    "TButton",
    "TBitBtn",
    "TCheckBox\nTRadioButton",
    "TComboBox\nTColorBox",
    "TStringGrid\nTDrawGrid",
    "TGroupBox\nTRadioGroup",
    "TListView",
    "TPanel",
    "TTreeView",
    "",
    "",
    "",
};

}  // namespace

// ---------------------------------------------------------------------------

CLASSLIB_DEFINE_CLASS(TacThirdPartyList, TPersistent)

TacThirdPartyList::TacThirdPartyList() {
    for (int i = 0; i < acThirdPartyCount; ++i) {
        FLists[i] = new TStringList();
        FLists[i]->SetText(kDefaultThirdParty[i]);
    }
}

TacThirdPartyList::~TacThirdPartyList() {
    for (TStringList* l : FLists) delete l;
}

void TacThirdPartyList::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TacThirdPartyList*>(Source)) {
        for (int i = 0; i < acThirdPartyCount; ++i) FLists[i]->Assign(s->FLists[i]);
        return;
    }
    TPersistent::Assign(Source);
}

int TacThirdPartyList::KindOf(const String& ClassName) const {
    const String name = UpperText(ClassName);
    for (int i = 0; i < acThirdPartyCount; ++i)
        for (int j = 0; j < FLists[i]->Count(); ++j)
            if (UpperText(FLists[i]->Strings(j)) == name) return i;
    return -1;
}

CLASSLIB_DEFINE_CLASS(TacMenuSupport, TPersistent)

TacMenuSupport::TacMenuSupport() : FExtraLineFont(new TFont()) {}
TacMenuSupport::~TacMenuSupport() { delete FExtraLineFont; }

void TacMenuSupport::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TacMenuSupport*>(Source)) {
        IcoLineSkin = s->IcoLineSkin;
        UseExtraLine = s->UseExtraLine;
        ExtraLineWidth = s->ExtraLineWidth;
        FExtraLineFont->Assign(s->FExtraLineFont);
        return;
    }
    TPersistent::Assign(Source);
}

CLASSLIB_DEFINE_CLASS(TacAnimEffect, TPersistent)

void TacAnimEffect::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TacAnimEffect*>(Source)) {
        Active = s->Active;
        Time = s->Time;
        return;
    }
    TPersistent::Assign(Source);
}

CLASSLIB_DEFINE_CLASS(TacAnimEffects, TPersistent)

void TacAnimEffects::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TacAnimEffects*>(Source)) {
        FormShow.Assign(&s->FormShow);
        DialogShow.Assign(&s->DialogShow);
        PageChange.Assign(&s->PageChange);
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------

namespace {
TPropInfo SkinningRulesProp() {
    TPropInfo p = OrdField<TsSkinManager>("SkinningRules", TTypeKind::tkSet, &TsSkinManager::SkinningRules, 7);
    p.ElementNames = {"srStdForms", "srStdDialogs", "srThirdParty"};
    return p;
}
}  // namespace

// clang-format off
CLASSLIB_DEFINE_CLASS(TsSkinManager, TComponent,
    StrProp<TsSkinManager>("SkinName", &TsSkinManager::SkinName, &TsSkinManager::SetSkinName),
    StrProp<TsSkinManager>("SkinDirectory", &TsSkinManager::SkinDirectory, &TsSkinManager::SetSkinDirectory),
    OrdProp<TsSkinManager>("Active", TTypeKind::tkBool, &TsSkinManager::Active, &TsSkinManager::SetActive, 0),
    OrdProp<TsSkinManager>("IsDefault", TTypeKind::tkBool, &TsSkinManager::IsDefault, &TsSkinManager::SetIsDefault, 1),
    OrdProp<TsSkinManager>("SkinnedPopups", TTypeKind::tkBool, &TsSkinManager::SkinnedPopups,
                           &TsSkinManager::SetSkinnedPopups, 1),
    SkinningRulesProp(),
    OrdField<TsSkinManager>("SkinFrameColor", TTypeKind::tkInteger, &TsSkinManager::SkinFrameColor, 0xFF00FF),
    ObjProp<TsSkinManager, TacThirdPartyList>("ThirdParty", &TsSkinManager::ThirdParty),
    ObjProp<TsSkinManager, TacMenuSupport>("MenuSupport", &TsSkinManager::MenuSupport),
    ObjProp<TsSkinManager, TacAnimEffects>("AnimEffects", &TsSkinManager::AnimEffects))
// clang-format on

TsSkinManager::TsSkinManager(TComponent* AOwner)
    : TComponent(AOwner),
      FThirdParty(new TacThirdPartyList()),
      FMenuSupport(new TacMenuSupport()),
      FAnimEffects(new TacAnimEffects()) {
    if (acEngineHooks.CreateSkinableMenus) SkinableMenus = acEngineHooks.CreateSkinableMenus(this);
    if (!DefaultManager) {
        DefaultManager = this;
        TakeApplicationHook(true);
    }
}

void TsSkinManager::BeforeDestruction() {
    // Every window goes back to its own look before the skin goes.
    if (FActive) {
        FActive = false;
        SendNewSkin(this, true);
    }
    RemoveHook();
    TComponent::BeforeDestruction();
}

TsSkinManager::~TsSkinManager() {
    TakeApplicationHook(false);
    const bool wasDefault = DefaultManager == this;
    if (wasDefault) DefaultManager = nullptr;
    for (int i = 0; i < CommonDataCount(); ++i) {
        TsCommonData* d = CommonDataItem(i);
        if (d->FSkinManager == this) {
            d->FSkinManager = nullptr;
            d->UpdateIndexes();
        } else if (wasDefault && !d->FSkinManager) {
            d->UpdateIndexes();
        }
    }
    if (SkinableMenus && acEngineHooks.FreeSkinableMenus) acEngineHooks.FreeSkinableMenus(SkinableMenus);
    SkinableMenus = nullptr;
    ClearSkin();
    delete FThirdParty;
    delete FMenuSupport;
    delete FAnimEffects;
}

void TsSkinManager::TakeApplicationHook(bool Take) {
    if (Take == FAppHooked) return;
    const TWindowHook hook(this, &TsSkinManager::ApplicationHook);
    if (Take) Application->HookMainWindow(hook);
    else if (Application.Assigned()) Application->UnhookMainWindow(hook);
    FAppHooked = Take;
}

bool TsSkinManager::IsDefault() const { return DefaultManager == this; }

namespace {
// Skin data that names no manager holds indexes into the default one's
// tables: when another manager becomes the default they point into a skin
// they were never resolved against.
void FollowNewDefault() {
    for (int i = 0; i < CommonDataCount(); ++i) {
        TsCommonData* d = CommonDataItem(i);
        if (d->SkinManager()) continue;
        d->UpdateIndexes();
        InvalidateOwner(d);
    }
}
}  // namespace

void TsSkinManager::SetIsDefault(bool Value) {
    if (Value == IsDefault()) return;
    if (Value) {
        if (TsSkinManager* old = DefaultManager) {
            old->RemoveHook();
            old->TakeApplicationHook(false);
        }
        DefaultManager = this;
        TakeApplicationHook(true);
        if (FActive) InstallHook();
    } else {
        RemoveHook();
        TakeApplicationHook(false);
        DefaultManager = nullptr;
    }
    FollowNewDefault();
}

// --- Loading ----------------------------------------------------------------

void TsSkinManager::SetSkinName(const String& Value) {
    FSkinName = Value;
    if (FComponentState.Contains(csLoading)) return;
    String error;
    LoadSkin(Value, error);
}

void TsSkinManager::SetSkinDirectory(const String& Value) { FSkinDirectory = Value; }

void TsSkinManager::SetActive(bool Value) {
    if (Value == FActive) return;
    if (Value) {
        if (!FComponentState.Contains(csLoading)) LoadSkin(FSkinName);
        return;
    }
    FActive = false;
    if (!FComponentState.Contains(csLoading)) SendNewSkin(this, true);
    ClearSkin();
    SyncSkinableMenus(this);
}

bool TsSkinManager::LoadSkin(const String& Name, String& Error) {
    String why;
    // Running out of memory anywhere on the way is a failed load: the skin
    // (however far it got) goes and the manager says why.
    try {
        FSkinName = Name;
        TacSkinData skin;
        bool ok = false;
        if (Name.empty()) {
            why = "no skin name was given";
        } else if (LooksLikePath(Name)) {
            if (IsFolder(Name)) ok = LoadSkinFromFolder(Name, skin, why);
            else if (EndsWithAsz(Name) && IsFile(Name)) ok = LoadSkinFromPackedFile(Name, skin, why);
            else why = "there is no skin folder or packed skin file \"" + Name + "\"";
        } else {
            ok = LoadSkinByName(FSkinDirectory, Name, skin, why);
        }
        if (ok) {
            FLastError.clear();
            Error.clear();
            LoadSkinData(std::move(skin));
            return true;
        }
    } catch (const std::bad_alloc&) {
        why = "there is not enough memory to load the skin \"" + Name + "\"";
    }
    FLastError = Error = why;
    // A skin that cannot be used leaves every window in its own look.
    if (FActive) SetActive(false);
    else ClearSkin();
    return false;
}

void TsSkinManager::LoadSkinData(TacSkinData&& Skin) {
    if (OnBeforeChange) OnBeforeChange(this);
    ClearSkin();
    FSkin = std::move(Skin);
    // A skin built in memory has not met the file loader's checks: a mask
    // reaching past its picture would have the painters read outside it.
    ResolveSkinImages(FSkin);
    FCommonSkinData.BISpace = FSkin.BISpace;
    FCommonSkinData.Shadow1Color = TColor(FSkin.Shadow1Color);
    FCommonSkinData.Shadow1Offset = FSkin.Shadow1Offset;
    FCommonSkinData.Shadow1Blur = FSkin.Shadow1Blur;
    BuildBitmaps();
    UpdateStandardIndexes();
    FActive = !FSkin.Sections.empty();
    if (!FComponentState.Contains(csLoading) && !FComponentState.Contains(csDesigning)) {
        if (FActive) SendNewSkin(this);
        SyncSkinableMenus(this);
    }
    if (OnAfterChange) OnAfterChange(this);
}

void TsSkinManager::Loaded() {
    TComponent::Loaded();
    if (!FSkinName.empty()) LoadSkin(FSkinName);
}

void TsSkinManager::ClearSkin() {
    delete FMasterBitmap;
    FMasterBitmap = nullptr;
    for (TBitmap* b : FImageBitmaps) delete b;
    FImageBitmaps.clear();
    FSkin.Clear();
    FStdIndexes = TacStandardIndexes();
    FCommonSkinData = TacCommonSkinData();
}

void TsSkinManager::BuildBitmaps() {
    FImageBitmaps.assign(FSkin.Images.size(), nullptr);
    if (FSkin.MasterImage.empty()) return;
    const std::string master = NormalizeSkinPath(FSkin.MasterImage);
    for (const TacSkinImage& image : FSkin.Images)
        if (NormalizeSkinPath(image.FileName) == master) {
            FMasterBitmap = BitmapOf(image.Image);
            break;
        }
}

TBitmap* TsSkinManager::MaskBitmap(int MaskIndex) {
    if (!IsValidMaskIndex(this, MaskIndex)) return nullptr;
    const int image = FSkin.Masks[std::size_t(MaskIndex)].ImageIndex;
    if (image < 0 || std::size_t(image) >= FImageBitmaps.size()) return nullptr;
    TBitmap*& b = FImageBitmaps[std::size_t(image)];
    if (!b) b = BitmapOf(FSkin.Images[std::size_t(image)].Image);
    return b;
}

void TsSkinManager::UpdateStandardIndexes() {
    TacStandardIndexes& s = FStdIndexes;
    s = TacStandardIndexes();
    auto item = [this](const char* section, bool glyph) {
        TacItemIndexes r;
        r.Section = SectionIndexOf(this, section);
        r.Border = MaskIndexOf(this, r.Section, section, "BORDERSMASK");
        r.Texture = MaskIndexOf(this, r.Section, section, "PATTERN");
        r.HotTexture = MaskIndexOf(this, r.Section, section, "HOTPATTERN");
        if (glyph) r.Glyph = MaskIndexOf(this, r.Section, section, "GLYPHMASK");
        return r;
    };
    s.GlobalInfo = SectionIndexOf(this, acGlobalInfoName);
    s.TabTop = item("TABTOP", false);
    s.TabBottom = item("TABBOTTOM", false);
    s.TabLeft = item("TABLEFT", false);
    s.TabRight = item("TABRIGHT", false);
    s.ScrollBtnTop = item("SCROLLBTNTOP", true);
    s.ScrollBtnBottom = item("SCROLLBTNBOTTOM", true);
    s.ScrollBtnLeft = item("SCROLLBTNLEFT", true);
    s.ScrollBtnRight = item("SCROLLBTNRIGHT", true);
    s.ScrollSliderH = item("SCROLLSLIDERH", true);
    s.ScrollSliderV = item("SCROLLSLIDERV", true);
    s.ScrollBar1H = item("SCROLLBAR1H", false);
    s.ScrollBar1V = item("SCROLLBAR1V", false);
    s.ScrollBar2H = item("SCROLLBAR2H", false);
    s.ScrollBar2V = item("SCROLLBAR2V", false);
    s.ComboBtn = item("COMBOBTN", false);
    s.ComboBoxGlyph = MaskIndexOf(this, SectionIndexOf(this, "COMBOBOX"), "COMBOBOX", "GLYPHMASK");
}

// --- Options and hooks --------------------------------------------------------

void TsSkinManager::SetSkinnedPopups(bool Value) {
    FSkinnedPopups = Value;
    SyncSkinableMenus(this);
}

void TsSkinManager::InstallHook() {
    if (!IsDefault() || FComponentState.Contains(csDesigning) || FHookInstalled) return;
    if (acEngineHooks.InstallHook) FHookInstalled = acEngineHooks.InstallHook(this);
}

void TsSkinManager::RemoveHook() {
    if (!FHookInstalled) return;
    FHookInstalled = false;
    if (acEngineHooks.RemoveHook) acEngineHooks.RemoveHook(this);
}

bool TsSkinManager::ApplicationHook(TMessage& Message) {
    if (!FSkinnedPopups) return false;
    switch (Message.Msg) {
        case WM_THEMECHANGED:
            // Visual styles must not come back over skinned windows.
            Message.Result = 0;
            return true;
        case 48307:
        case 48308: return acEngineHooks.PopupMenuMessage && acEngineHooks.PopupMenuMessage(this, Message);
        default: return false;
    }
}

// ---------------------------------------------------------------------------
// Look-ups

int SectionIndexOf(const TsSkinManager* Manager, const String& Name) {
    return Manager ? Manager->SkinData().SectionIndexOf(Name) : -1;
}

int MaskIndexOf(const TsSkinManager* Manager, int SkinIndex, const String& SectionName, const String& MaskName) {
    return Manager ? Manager->SkinData().MaskIndexOf(SkinIndex, SectionName, MaskName) : -1;
}

int MaskIndexOfNoParent(const TsSkinManager* Manager, const String& SectionName, const String& MaskName) {
    return Manager ? Manager->SkinData().MaskIndexOfNoParent(SectionName, MaskName) : -1;
}

bool IsValidSectionIndex(const TsSkinManager* Manager, int Index) {
    return Manager && Index >= 0 && std::size_t(Index) < Manager->gd().size();
}

bool IsValidMaskIndex(const TsSkinManager* Manager, int Index) {
    return Manager && Index >= 0 && std::size_t(Index) < Manager->ma().size();
}

TSize MaskSize(const TsSkinManager* Manager, int MaskIndex) {
    if (!IsValidMaskIndex(Manager, MaskIndex)) return TSize{0, 0};
    const TsMaskData& m = Manager->ma()[std::size_t(MaskIndex)];
    return TSize{m.StateWidth(), m.StateHeight()};
}

namespace {
// The skin's own "GLOBALINFO"; the one the loader puts in for a file without it holds no values.
const TsGeneralData* GlobalSection(const TsSkinManager* Manager) {
    if (!Manager) Manager = DefaultManager;
    if (!Manager || !Manager->Active()) return nullptr;
    const int i = Manager->StdIndexes().GlobalInfo;
    return IsValidSectionIndex(Manager, i) && !Manager->gd()[std::size_t(i)].Values.empty()
               ? &Manager->gd()[std::size_t(i)]
               : nullptr;
}
}  // namespace

TColor GlobalSkinColor(const TsSkinManager* Manager) {
    const TsGeneralData* g = GlobalSection(Manager);
    return g ? TColor(g->Color) : clBtnFace;
}

TColor GlobalHotColor(const TsSkinManager* Manager) {
    const TsGeneralData* g = GlobalSection(Manager);
    return g ? TColor(g->HotColor) : clWindow;
}

TColor GlobalFontColor(const TsSkinManager* Manager) {
    const TsGeneralData* g = GlobalSection(Manager);
    return g ? TColor(ColorToRGB(TColor(g->FontColor[0]))) : TColor(0xFF00FF);
}

void ListAvailableSkins(TsSkinManager* Manager, TStrings* List, int Kind, String& Text) {
    if (!List) return;
    List->Clear();
    Text = Manager ? Manager->SkinDirectory() : String();
    std::vector<String> names;
    for (const TacSkinListItem& item : ListSkins(Text)) {
        if (Kind == 1 && item.Kind == skInternal) continue;
        // A name chosen from the list loads one skin: list each name once.
        bool known = false;
        for (const String& n : names) known = known || UpperText(n) == UpperText(item.Name);
        if (!known) names.push_back(item.Name);
    }
    for (const String& n : names) List->Add(n);
}
