// The skin manager component: loads a skin (built-in, from a skins folder or a
// packed file), keeps its section and mask tables and the standard indexes,
// re-skins every window on a change, and holds the skin-wide options.
#pragma once

#include <windows.h>

#include "Classes.h"
#include "Forms.h"
#include "Graphics.h"
#include "Lists.h"
#include "Messages.h"
#include "sSkinFile.h"

#include <functional>

class TMenuItem;
class TsSkinableMenus;
class TsCommonData;
class TsSkinManager;

enum TacSkinningRule { srStdForms, srStdDialogs, srThirdParty };
using TacSkinningRules = TSet<TacSkinningRule>;

// The class-name lists of controls of other libraries that window adapters
// skin, in this order.
enum TacThirdPartyKind {
    tpEdit,
    tpButton,
    tpBitBtn,
    tpCheckBox,
    tpComboBox,
    tpGrid,
    tpGroupBox,
    tpListView,
    tpPanel,
    tpTreeView,
    tpWWEdit,
    tpGridEh,
    tpVirtualTree
};
constexpr int acThirdPartyCount = 13;

class TacThirdPartyList : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TacThirdPartyList)
public:
    TacThirdPartyList();
    ~TacThirdPartyList() override;
    void Assign(TPersistent* Source) override;
    TStringList* Lists(int Kind) const { return FLists[Kind]; }
    // The first list (tpEdit .. tpVirtualTree) holding ClassName, -1 when none.
    int KindOf(const String& ClassName) const;
    TStringList* ThirdEdits() const { return FLists[tpEdit]; }
    TStringList* ThirdButtons() const { return FLists[tpButton]; }
    TStringList* ThirdBitBtns() const { return FLists[tpBitBtn]; }
    TStringList* ThirdCheckBoxes() const { return FLists[tpCheckBox]; }
    TStringList* ThirdComboBoxes() const { return FLists[tpComboBox]; }
    TStringList* ThirdGrids() const { return FLists[tpGrid]; }
    TStringList* ThirdGroupBoxes() const { return FLists[tpGroupBox]; }
    TStringList* ThirdListViews() const { return FLists[tpListView]; }
    TStringList* ThirdPanels() const { return FLists[tpPanel]; }
    TStringList* ThirdTreeViews() const { return FLists[tpTreeView]; }
    TStringList* ThirdWWEdits() const { return FLists[tpWWEdit]; }
    TStringList* ThirdGridEh() const { return FLists[tpGridEh]; }
    TStringList* ThirdVirtualTrees() const { return FLists[tpVirtualTree]; }

private:
    TStringList* FLists[acThirdPartyCount];
};

// Options of popup menus (the vertical extra line and the icon strip).
class TacMenuSupport : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TacMenuSupport)
public:
    TacMenuSupport();
    ~TacMenuSupport() override;
    void Assign(TPersistent* Source) override;
    String IcoLineSkin;
    bool UseExtraLine = false;
    int ExtraLineWidth = 32;
    TFont* ExtraLineFont() const { return FExtraLineFont; }
    void SetExtraLineFont(TFont* Value) { FExtraLineFont->Assign(Value); }

private:
    TFont* FExtraLineFont;
};

using TacGetExtraLineData =
    std::function<void(TMenuItem* FirstItem, String& SkinSection, String& Caption, TBitmap*& Glyph, bool& LineVisible)>;

// One kind of animation and its duration in milliseconds.
class TacAnimEffect : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TacAnimEffect)
public:
    TacAnimEffect(bool AActive, int ATime) : Active(AActive), Time(ATime) {}
    void Assign(TPersistent* Source) override;
    bool Active;
    int Time;
};

class TacAnimEffects : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TacAnimEffects)
public:
    TacAnimEffects() = default;
    void Assign(TPersistent* Source) override;
    TacAnimEffect FormShow{true, 0};
    TacAnimEffect DialogShow{true, 0};
    TacAnimEffect PageChange{true, 120};
};

// Skin-wide values read by painters (from "GLOBALINFO").
struct TacCommonSkinData {
    int BISpace = 0;  // gap between title buttons
    TColor Shadow1Color = 0;
    int Shadow1Offset = 0;
    int Shadow1Blur = -1;
};

// A section with the indexes of its usual masks; -1 for whatever the skin lacks.
struct TacItemIndexes {
    int Section = -1;
    int Border = -1;      // "BORDERSMASK"
    int Texture = -1;     // "PATTERN"
    int HotTexture = -1;  // "HOTPATTERN"
    int Glyph = -1;       // "GLYPHMASK"
};

// Resolved at every skin load.
struct TacStandardIndexes {
    int GlobalInfo = -1;
    TacItemIndexes TabTop, TabBottom, TabLeft, TabRight;
    TacItemIndexes ScrollBtnTop, ScrollBtnBottom, ScrollBtnLeft, ScrollBtnRight;
    TacItemIndexes ScrollSliderH, ScrollSliderV;
    TacItemIndexes ScrollBar1H, ScrollBar1V, ScrollBar2H, ScrollBar2V;
    TacItemIndexes ComboBtn;
    int ComboBoxGlyph = -1;  // "GLYPHMASK" of "COMBOBOX"
};

// Parts of the engine that are built with the window-creation hook and the
// menu painter; empty until those units register themselves.
struct TacEngineHooks {
    // Installs / removes the thread's window-creation hook for the manager.
    std::function<bool(TsSkinManager*)> InstallHook;
    std::function<void(TsSkinManager*)> RemoveHook;
    // The menu painter: made and freed with each manager.
    std::function<TsSkinableMenus*(TsSkinManager*)> CreateSkinableMenus;
    std::function<void(TsSkinableMenus*)> FreeSkinableMenus;
    // Its active flag: read, and set (which re-initialises the menus).
    std::function<bool(TsSkinableMenus*)> MenusActive;
    std::function<void(TsSkinableMenus*, bool)> SetMenusActive;
    // Forgets the painter's cached SkinBorderWidth (before a new skin).
    std::function<void(TsSkinableMenus*)> ResetMenuBorderWidth;
    // Popup-menu route of the application hook (messages 48307, 48308).
    std::function<bool(TsSkinManager*, TMessage&)> PopupMenuMessage;
    // Refreshes the scrolling adapter of a skin data's owner (a child window was made in it).
    std::function<void(TsCommonData*)> RefreshScrollAdapter;
    // Tells the windows skinned by handle (adapters on plain windows, which no
    // broadcast through the forms' controls reaches) a skin command.
    std::function<void(TsSkinManager*, WORD Code)> TellAdaptedWindows;
};
extern TacEngineHooks acEngineHooks;

class TsSkinManager : public TComponent {
    CLASSLIB_DECLARE_CLASS(TsSkinManager)
public:
    explicit TsSkinManager(TComponent* AOwner);
    ~TsSkinManager() override;
    void BeforeDestruction() override;

    // --- The skin ------------------------------------------------------
    // A skin is loaded and in use.
    bool Active() const { return FActive; }
    // True loads SkinName (when no skin is in use); False removes the skin.
    void SetActive(bool Value);
    String SkinName() const { return FSkinName; }
    // Loads the skin and re-skins every window; on failure the manager is
    // inactive and LastError() says why.
    void SetSkinName(const String& Value);
    // Where named skins are looked for first (folders and "<name>.asz").
    String SkinDirectory() const { return FSkinDirectory; }
    void SetSkinDirectory(const String& Value);
    // Loads Name: a folder holding "Options.dat" or a ".asz" file by path,
    // else SkinDirectory\Name, SkinDirectory\Name.asz, then a built-in skin.
    // False when it could not be loaded: Error (and LastError()) say why, the
    // manager is inactive and every window is back in its own look.
    bool LoadSkin(const String& Name, String& Error);
    bool LoadSkin(const String& Name) {
        String e;
        return LoadSkin(Name, e);
    }
    // Uses an already loaded skin (a test or a generator may build one).
    void LoadSkinData(TacSkinData&& Skin);
    String LastError() const { return FLastError; }

    // --- Default manager -----------------------------------------------
    bool IsDefault() const;
    // True makes this the default manager (it takes the application hook).
    void SetIsDefault(bool Value);

    // --- Tables --------------------------------------------------------
    // The whole skin, and its section (gd) and mask (ma) tables.
    const TacSkinData& SkinData() const { return FSkin; }
    const std::vector<TsGeneralData>& gd() const { return FSkin.Sections; }
    const std::vector<TsMaskData>& ma() const { return FSkin.Masks; }
    const TacStandardIndexes& StdIndexes() const { return FStdIndexes; }
    const TacCommonSkinData& CommonSkinData() const { return FCommonSkinData; }
    // The skin's master picture ("MASTERBITMAP"), nil when it has none.
    TBitmap* MasterBitmap() const { return FMasterBitmap; }
    // A mask's picture as a 24-bit bitmap (made on first use, kept until the
    // skin changes); nil for an invalid mask.
    TBitmap* MaskBitmap(int MaskIndex);

    // --- Options -------------------------------------------------------
    bool SkinnedPopups() const { return FSkinnedPopups; }
    void SetSkinnedPopups(bool Value);
    TacSkinningRules SkinningRules{srStdForms, srStdDialogs, srThirdParty};
    TacThirdPartyList* ThirdParty() const { return FThirdParty; }
    TacMenuSupport* MenuSupport() const { return FMenuSupport; }
    TacGetExtraLineData OnGetMenuExtraLineData;
    TacAnimEffects* AnimEffects() const { return FAnimEffects; }
    // Frame colour of dialog children; 0xFF00FF = none.
    TColor SkinFrameColor = 0xFF00FF;
    // The menu painter (nil until the menu unit provides one).
    TsSkinableMenus* SkinableMenus = nullptr;
    // The window that last became hot (SetActiveControl).
    HWND HotWindow = nullptr;
    TNotifyEvent OnAfterChange;
    TNotifyEvent OnBeforeChange;

    // --- Hooks ---------------------------------------------------------
    // The window-creation hook, for the default manager only.
    void InstallHook();
    void RemoveHook();
    bool HookInstalled() const { return FHookInstalled; }
    // Resolves the standard indexes of the skin in use (done at every load).
    void UpdateStandardIndexes();
    // The default manager's hook on the application window.
    bool ApplicationHook(TMessage& Message);

protected:
    void Loaded() override;

private:
    void ClearSkin();
    void BuildBitmaps();
    void TakeApplicationHook(bool Take);

    TacSkinData FSkin;
    TacStandardIndexes FStdIndexes;
    TacCommonSkinData FCommonSkinData;
    TBitmap* FMasterBitmap = nullptr;
    std::vector<TBitmap*> FImageBitmaps;  // by image index, made on demand
    bool FActive = false;
    String FSkinName;
    String FSkinDirectory;
    String FLastError;
    bool FSkinnedPopups = true;
    bool FHookInstalled = false;
    bool FAppHooked = false;
    TacThirdPartyList* FThirdParty;
    TacMenuSupport* FMenuSupport;
    TacAnimEffects* FAnimEffects;
};

// --- Look-ups -------------------------------------------------------------
// Index of a section by name (any case), -1 when absent or without a skin.
int SectionIndexOf(const TsSkinManager* Manager, const String& Name);
// Index of SectionName's mask MaskName; when absent and SkinIndex >= 0 also
// searched along PARENTCLASS (a chain that loops ends the search); -1 when not
// found, SkinIndex < 0 or SectionName is empty.
int MaskIndexOf(const TsSkinManager* Manager, int SkinIndex, const String& SectionName, const String& MaskName);
int MaskIndexOfNoParent(const TsSkinManager* Manager, const String& SectionName, const String& MaskName);
bool IsValidSectionIndex(const TsSkinManager* Manager, int Index);
bool IsValidMaskIndex(const TsSkinManager* Manager, int Index);
// Width and height of one state picture of a mask; (0, 0) for an invalid one.
TSize MaskSize(const TsSkinManager* Manager, int MaskIndex);

// Colours of "GLOBALINFO" (nil manager: the default one): its Color (clBtnFace
// when the skin has no such section), HotColor (clWindow) and the RGB value of
// its font colour (0xFF00FF).
TColor GlobalSkinColor(const TsSkinManager* Manager);
TColor GlobalHotColor(const TsSkinManager* Manager);
TColor GlobalFontColor(const TsSkinManager* Manager);

// Fills List with the names of the available skins (built-in, folders with
// "Options.dat" and packed files of the manager's SkinDirectory), sorted.
// Kind 0: every skin; 1: skins on disk only; 2 (the system menu): every skin,
// each name once. Text gets the folder that was searched.
void ListAvailableSkins(TsSkinManager* Manager, TStrings* List, int Kind, String& Text);
