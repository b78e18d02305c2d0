// The manager: loading from each source, failed loads, the section and mask
// look-ups, standard indexes, the default manager, and the skin data's
// section choice and state predicates.
#include "EngineTestSupport.h"
#include "sGraphUtils.h"

#include <objbase.h>

#include <set>

using namespace enginetest;
using testsupport::TestSkinPalette;

namespace {

class TOddControl : public TCustomControl {
    CLASSLIB_DECLARE_CLASS(TOddControl)
public:
    explicit TOddControl(TComponent* AOwner) : TCustomControl(AOwner) {}
};

}  // namespace

CLASSLIB_DEFINE_CLASS(TOddControl, TCustomControl)

TEST(EngineManager, FirstManagerIsDefaultUntilFreed) {
    ASSERT_EQ(DefaultManager, nullptr);
    auto* a = new TsSkinManager(nullptr);
    auto* b = new TsSkinManager(nullptr);
    EXPECT_EQ(DefaultManager, a);
    EXPECT_TRUE(a->IsDefault());
    EXPECT_FALSE(b->IsDefault());
    b->SetIsDefault(true);
    EXPECT_EQ(DefaultManager, b);
    b->Free();
    EXPECT_EQ(DefaultManager, nullptr);
    a->Free();
    EXPECT_EQ(DefaultManager, nullptr);
    // A skin data that named a freed manager follows the default one again.
    auto* c = new TsSkinManager(nullptr);
    auto* own = new TsSkinManager(nullptr);
    TsCommonData data(nullptr, false);
    data.SetSkinManager(own);
    EXPECT_EQ(data.GetSkinManager(), own);
    own->Free();
    EXPECT_EQ(data.SkinManager(), nullptr);
    EXPECT_EQ(data.GetSkinManager(), c);
    c->Free();
}

TEST(EngineManager, ControlsFollowingTheDefaultManagerTakeTheNewDefaultsIndexes) {
    auto skinOf = [](const std::string& text) {
        TacSkinData skin;
        std::string error;
        EXPECT_TRUE(ParseSkinOptions(text, skin, error)) << error;
        return skin;
    };
    ManagerPtr a, b;
    a->LoadSkinData(skinOf("[BUTTON]\nCOLOR=1\n[BUTTON.BORDERSMASK]\nIMAGE=x.bmp\n"));
    b->LoadSkinData(skinOf("[EDIT]\n[PANEL]\n[BUTTON]\nCOLOR=2\n"));
    TsCommonData follower(nullptr, false), own(nullptr, false);
    own.SetSkinManager(a);
    for (TsCommonData* d : {&follower, &own}) d->SetSkinSection("BUTTON");
    ASSERT_EQ(follower.SkinIndex, 1);
    EXPECT_EQ(follower.BorderIndex, 0);
    b->SetIsDefault(true);
    EXPECT_EQ(follower.SkinIndex, 3) << "resolved against the new default's sections";
    EXPECT_EQ(follower.BorderIndex, -1);
    EXPECT_EQ(own.SkinIndex, 1) << "a control naming its manager keeps its indexes";
    b->SetIsDefault(false);
    EXPECT_EQ(follower.SkinIndex, -1);
    a->SetIsDefault(true);
    EXPECT_EQ(follower.SkinIndex, 1);
    a->Free();
    a.M = nullptr;
    EXPECT_EQ(follower.SkinIndex, -1) << "the default freed: nothing to point into";
}

TEST(EngineManager, SkinDataFromMemoryHasItsMasksCheckedAgainstTheirPictures) {
    TacSkinData skin;
    std::string error;
    ASSERT_TRUE(
        ParseSkinOptions("[BUTTON]\n[BUTTON.BORDERSMASK]\nIMAGE=a.bmp\nRECT=0,0,8,8\n"
                         "[BUTTON.GLYPHMASK]\nIMAGE=a.bmp\nRECT=0,0,4,4\n",
                         skin, error))
        << error;
    ASSERT_EQ(skin.Images.size(), 1u);
    skin.Images[0].Image.Resize(6, 6, 0x123456);
    ManagerPtr m;
    m->LoadSkinData(std::move(skin));
    const int button = SectionIndexOf(m, "BUTTON");
    const int border = MaskIndexOf(m, button, "BUTTON", "BORDERSMASK");
    const int glyph = MaskIndexOf(m, button, "BUTTON", "GLYPHMASK");
    ASSERT_GE(border, 0);
    EXPECT_FALSE(m->ma()[border].Valid()) << "8 x 8 past the edge of a 6 x 6 picture";
    EXPECT_NE(m->ma()[border].Error.find("outside"), std::string::npos) << m->ma()[border].Error;
    EXPECT_EQ(m->MaskBitmap(border), nullptr);
    ASSERT_GE(glyph, 0);
    EXPECT_TRUE(m->ma()[glyph].Valid());
    // Painting the left-out border leaves the bitmap as it was.
    TBitmap b(20, 20, pf24bit);
    const std::uint32_t before = *static_cast<std::uint32_t*>(b.ScanLine(0));
    PaintBorderWithRegion(&b, nullptr, false, 1, border, m);
    EXPECT_EQ(*static_cast<std::uint32_t*>(b.ScanLine(0)), before);
}

TEST(EngineManager, LoadsFromFolderPackedFileAndResource) {
    TestSkinFolder folder;
    ASSERT_TRUE(folder.Ok);
    ASSERT_TRUE(testsupport::WriteBytes(folder.Root + "\\Packed.asz",
                                        testsupport::PackSkinFiles(testsupport::TestSkinFiles(), true)));
    ManagerPtr m;
    m->SetSkinDirectory(folder.Root);
    String error;
    ASSERT_TRUE(m->LoadSkin("Test", error)) << error;
    EXPECT_TRUE(m->Active());
    EXPECT_EQ(m->SkinName(), "Test");
    EXPECT_EQ(m->gd()[0].Name, "GLOBALINFO");
    EXPECT_EQ(m->gd()[SectionIndexOf(m, "BUTTON")].Color, Swap(TestSkinPalette().Button));
    EXPECT_EQ(m->CommonSkinData().BISpace, 3);
    EXPECT_EQ(m->CommonSkinData().Shadow1Offset, 2);
    ASSERT_NE(m->MasterBitmap(), nullptr);
    EXPECT_EQ(m->MasterBitmap()->Width(), 3 * testsupport::kTestBoxSize);
    const int border = MaskIndexOf(m, SectionIndexOf(m, "BUTTON"), "BUTTON", "BORDERSMASK");
    ASSERT_GE(border, 0);
    const TSize size = MaskSize(m, border);
    EXPECT_EQ(size.cx, testsupport::kTestBorderState);
    EXPECT_EQ(size.cy, testsupport::kTestBorderState);
    ASSERT_NE(m->MaskBitmap(border), nullptr);

    ASSERT_TRUE(m->LoadSkin("Packed", error)) << error;
    EXPECT_EQ(m->SkinData().Name, "Packed");
    ASSERT_TRUE(m->LoadSkin(folder.Root + "\\Packed.asz", error)) << error;
    ASSERT_TRUE(m->LoadSkin(folder.Skin, error)) << error;

    ASSERT_TRUE(m->LoadSkin("Light", error)) << error;
    EXPECT_TRUE(m->Active());
    EXPECT_GE(m->StdIndexes().GlobalInfo, 0);

    TStringList list;
    String searched;
    ListAvailableSkins(m, &list, 2, searched);
    EXPECT_EQ(searched, folder.Root);
    std::vector<String> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list[i]);
    EXPECT_EQ(names, (std::vector<String>{"Dark", "Light", "Packed", "Test"}));
    ListAvailableSkins(m, &list, 1, searched);
    EXPECT_EQ(list.Count(), 2);
}

TEST(EngineManager, FailedLoadSaysWhyAndLeavesWindowsInTheirOwnLook) {
    TestSkinFolder folder;
    ASSERT_TRUE(folder.Ok);
    ManagerPtr m;
    m->SetSkinDirectory(folder.Root);
    FormPtr form = MakeForm(40, 40, 240, 160);
    auto* ctl = new TRecWin(form.get(), true);
    ctl->SetParent(form.get());
    form->HandleNeeded();
    ctl->HandleNeeded();
    ASSERT_TRUE(m->LoadSkin("Test"));
    ASSERT_TRUE(HasSkin(ctl->SkinData));

    // A missing folder.
    String error;
    ctl->Log.clear();
    EXPECT_FALSE(m->LoadSkin(folder.Root + "\\Nowhere", error));
    EXPECT_NE(error.find("Nowhere"), String::npos) << error;
    EXPECT_EQ(m->LastError(), error);
    EXPECT_FALSE(m->Active());
    EXPECT_TRUE(m->gd().empty());
    EXPECT_EQ(Codes(ctl->Log, {AC_NEWSKIN, AC_REMOVESKIN, AC_REFRESH}), std::vector<WORD>{AC_REMOVESKIN});
    EXPECT_FALSE(HasSkin(ctl->SkinData));
    EXPECT_EQ(ctl->SkinData->SkinIndex, -1);

    // An unknown name: neither on disk nor built in.
    EXPECT_FALSE(m->LoadSkin("NoSuchSkin", error));
    EXPECT_NE(error.find("NoSuchSkin"), String::npos) << error;

    // A skin folder whose Options.dat holds no section at all.
    const std::string bad = folder.Root + "\\Bad";
    CreateDirectoryA(bad.c_str(), nullptr);
    const std::string junk = "this is no skin\nCOLOR=1\n";
    ASSERT_TRUE(testsupport::WriteBytes(bad + "\\Options.dat", std::vector<std::uint8_t>(junk.begin(), junk.end())));
    ASSERT_TRUE(m->LoadSkin("Test"));
    ctl->Log.clear();
    m->SetSkinName("Bad");
    EXPECT_FALSE(m->Active());
    EXPECT_EQ(m->SkinName(), "Bad");
    EXPECT_NE(m->LastError().find("Options.dat"), String::npos) << m->LastError();
    EXPECT_EQ(CountCode(ctl->Log, AC_REMOVESKIN), 1);
    EXPECT_EQ(CountCode(ctl->Log, AC_NEWSKIN), 0);

    // A folder without Options.dat.
    const std::string empty = folder.Root + "\\Empty";
    CreateDirectoryA(empty.c_str(), nullptr);
    EXPECT_FALSE(m->LoadSkin(empty, error));
    EXPECT_NE(error.find("Options.dat"), String::npos) << error;
    EXPECT_FALSE(m->Active());

    // A packed file that is no archive.
    ASSERT_TRUE(testsupport::WriteBytes(folder.Root + "\\Junk.asz", std::vector<std::uint8_t>(100, 0x41)));
    EXPECT_FALSE(m->LoadSkin("Junk", error));
    EXPECT_NE(error.find("Junk"), String::npos) << error;
    EXPECT_FALSE(m->Active());
    ctl->Free();
}

TEST(EngineManager, LookUpsFollowParentClassAndStopOnCycles) {
    TestSkinFolder folder;
    ManagerPtr m;
    ASSERT_TRUE(m->LoadSkin(folder.Skin));
    const int button = SectionIndexOf(m, "BUTTON");
    ASSERT_GT(button, 0);
    EXPECT_EQ(SectionIndexOf(m, "button"), button);
    EXPECT_EQ(SectionIndexOf(m, "Button"), button);
    EXPECT_EQ(SectionIndexOf(m, "NOSUCH"), -1);
    EXPECT_EQ(SectionIndexOf(nullptr, "BUTTON"), -1);

    const int border = MaskIndexOf(m, button, "BUTTON", "BORDERSMASK");
    ASSERT_GE(border, 0);
    EXPECT_EQ(m->ma()[border].SectionName, "BUTTON");
    EXPECT_EQ(MaskIndexOf(m, button, "button", "bordersmask"), border);
    // BUTTON_BIG has no mask of its own: its PARENTCLASS lends one.
    const int big = SectionIndexOf(m, "BUTTON_BIG");
    EXPECT_EQ(MaskIndexOf(m, big, "BUTTON_BIG", "BORDERSMASK"), border);
    EXPECT_EQ(MaskIndexOfNoParent(m, "BUTTON_BIG", "BORDERSMASK"), -1);
    const int small = SectionIndexOf(m, "SPEEDBUTTON_SMALL");
    EXPECT_EQ(MaskIndexOf(m, small, "SPEEDBUTTON_SMALL", "PATTERN"),
              MaskIndexOf(m, SectionIndexOf(m, "SPEEDBUTTON"), "SPEEDBUTTON", "PATTERN"));
    EXPECT_EQ(MaskIndexOf(m, -1, "BUTTON", "BORDERSMASK"), -1);
    EXPECT_EQ(MaskIndexOf(m, button, "", "BORDERSMASK"), -1);
    // Sections that name each other: the search ends.
    const int cyc = SectionIndexOf(m, "CYC1");
    ASSERT_GE(cyc, 0);
    EXPECT_EQ(MaskIndexOf(m, cyc, "CYC1", "BORDERSMASK"), -1);
    EXPECT_EQ(MaskIndexOf(m, SectionIndexOf(m, "CYC2"), "CYC2", "PATTERN"), -1);

    EXPECT_TRUE(IsValidSectionIndex(m, 0));
    EXPECT_FALSE(IsValidSectionIndex(m, int(m->gd().size())));
    EXPECT_FALSE(IsValidSectionIndex(m, -1));
    EXPECT_FALSE(IsValidMaskIndex(m, int(m->ma().size())));
    EXPECT_EQ(MaskSize(m, -1).cx, 0);

    // Standard indexes: what the skin has, and -1 for what it lacks.
    const TacStandardIndexes& s = m->StdIndexes();
    EXPECT_EQ(s.GlobalInfo, 0);
    EXPECT_EQ(GlobalSkinColor(m), Swap(TestSkinPalette().Global));
    EXPECT_EQ(GlobalHotColor(nullptr), Swap(TestSkinPalette().GlobalHot));
    EXPECT_EQ(GlobalFontColor(m), Swap(TestSkinPalette().GlobalFont));
    EXPECT_EQ(s.ScrollBtnTop.Section, SectionIndexOf(m, "SCROLLBTNTOP"));
    EXPECT_EQ(s.ScrollBtnTop.Border, MaskIndexOf(m, s.ScrollBtnTop.Section, "SCROLLBTNTOP", "BORDERSMASK"));
    EXPECT_GE(s.ScrollBtnLeft.Glyph, 0);
    EXPECT_GE(s.ScrollBtnRight.HotTexture, 0);
    EXPECT_GE(s.ComboBoxGlyph, 0);
    EXPECT_EQ(s.ComboBtn.Section, SectionIndexOf(m, "COMBOBTN"));
    for (const TacItemIndexes* item : {&s.TabTop, &s.TabBottom, &s.TabLeft, &s.TabRight, &s.ScrollSliderH,
                                       &s.ScrollSliderV, &s.ScrollBar1H, &s.ScrollBar2V}) {
        EXPECT_EQ(item->Section, -1);
        EXPECT_EQ(item->Border, -1);
        EXPECT_EQ(item->Texture, -1);
        EXPECT_EQ(item->Glyph, -1);
    }

    // Without GLOBALINFO in the file the loader still puts one at index 0.
    TestSkinFolder noGlobal(testsupport::TestSkinOptions{false, false, false});
    ASSERT_TRUE(m->LoadSkin(noGlobal.Skin));
    EXPECT_EQ(m->StdIndexes().GlobalInfo, 0);
    EXPECT_EQ(m->MasterBitmap(), nullptr);
    EXPECT_EQ(m->CommonSkinData().Shadow1Blur, -1);
    EXPECT_EQ(GlobalSkinColor(m), clBtnFace);
    EXPECT_EQ(GlobalHotColor(m), clWindow);
    EXPECT_EQ(GlobalFontColor(m), TColor(0xFF00FF));
}

TEST(EngineSkinData, DefaultSectionsByControlTypeCode) {
    const std::vector<std::pair<const char*, std::vector<int>>> table = {
        {"EDIT", {2, 3, 4, 5, 6, 7, 8, 10, 41, 76, 78, 83, 84, 96, 97, 131, 140, 227}},
        {"COMBOBOX", {11, 12, 13, 14, 15, 16, 17, 18, 81, 82}},
        {"BAR", {19}},
        {"BARTITLE", {20}},
        {"CHECKBOX", {32, 152}},
        {"RADIOBUTTON", {33}},
        {"PANEL", {51, 59, 68, 73}},
        {"PANEL_LOW", {52, 58}},
        {"TOOLBAR", {53, 54, 60}},
        {"DRAGBAR", {56}},
        {"TABSHEET", {57}},
        {"GROUPBOX", {74, 226}},
        {"SPLITTER", {75}},
        {"SPEEDBUTTON", {92, 95}},
        {"BUTTON", {93, 94}},
        {"TOOLBUTTON", {98}},
        {"PAGECONTROL", {141, 143}},
        {"STATUSBAR", {151}},
        {"GAUGE", {161}},
        {"TRACKBAR", {165}},
    };
    std::set<int> listed;
    TOddControl owner(nullptr);
    for (const auto& row : table)
        for (int code : row.second) {
            listed.insert(code);
            TsCommonData d(&owner, false);
            d.ControlTypeCode = code;
            AssignDefaultSection(&d);
            EXPECT_EQ(d.SkinSection(), row.first) << "code " << code;
        }
    // Every other code takes the owner's class name.
    for (int code = 0; code <= 260; ++code) {
        if (listed.count(code)) continue;
        TsCommonData d(&owner, false);
        d.ControlTypeCode = code;
        AssignDefaultSection(&d);
        ASSERT_EQ(d.SkinSection(), "TODDCONTROL") << "code " << code;
    }
    // A section already chosen stays; no owner and no code gives "UNKNOWN".
    TsCommonData chosen(&owner, false);
    chosen.SetSkinSection("panel");
    chosen.ControlTypeCode = 93;
    AssignDefaultSection(&chosen);
    EXPECT_EQ(chosen.SkinSection(), "PANEL");
    TsCommonData bare(nullptr, false);
    AssignDefaultSection(&bare);
    EXPECT_EQ(bare.SkinSection(), "UNKNOWN");
}

TEST(EngineSkinData, SectionSetterResolvesIndexes) {
    TestSkinFolder folder;
    ManagerPtr m;
    ASSERT_TRUE(m->LoadSkin(folder.Skin));
    TOddControl owner(nullptr);
    TsCommonData d(&owner, true);
    d.ControlTypeCode = 93;
    d.SetSkinSection("speedbutton");
    EXPECT_EQ(d.SkinSection(), "SPEEDBUTTON");
    EXPECT_EQ(d.SkinIndex, SectionIndexOf(m, "SPEEDBUTTON"));
    EXPECT_EQ(d.BorderIndex, MaskIndexOf(m, d.SkinIndex, "SPEEDBUTTON", "BORDERSMASK"));
    EXPECT_GE(d.Texture, 0);
    EXPECT_GE(d.HotTexture, 0);
    EXPECT_NE(d.Texture, d.HotTexture);
    // An empty name returns to the section of the control-type code.
    d.SetSkinSection("");
    EXPECT_EQ(d.SkinSection(), "BUTTON");
    EXPECT_EQ(d.SkinIndex, SectionIndexOf(m, "BUTTON"));
    EXPECT_EQ(d.Texture, -1);
    d.ControlTypeCode = 0;
    d.SetSkinSection("");
    EXPECT_EQ(d.SkinSection(), "TODDCONTROL");
    EXPECT_EQ(d.SkinIndex, -1);
    EXPECT_FALSE(HasSkin(&d));
    // The published properties are read and written by name.
    SetStrProp(&d, "SkinSection", "edit");
    EXPECT_EQ(d.SkinSection(), "EDIT");
    EXPECT_TRUE(SetOrdPropByName(&d, "CustomColor", 1));
    EXPECT_TRUE(d.CustomColor());
    EXPECT_EQ(GetOrdPropByName(&d, "CustomFont"), 0);
    EXPECT_EQ(GetOrdPropByName(&d, "NoSuchProperty"), -1);
    EXPECT_FALSE(SetOrdPropByName(&d, "NoSuchProperty", 1));
    EXPECT_EQ(GetObjectPropByName(&d, "SkinManager"), nullptr);
    EXPECT_EQ(GetObjectPropByName(m.M, "ThirdParty"), m->ThirdParty());
    EXPECT_EQ(GetObjectPropByName(m.M, "SkinName"), nullptr);
}

TEST(EngineSkinData, SetPropertyByElementName) {
    ManagerPtr m;
    EXPECT_TRUE(SetPropContains(m.M, "SkinningRules", "SRTHIRDPARTY"));
    EXPECT_TRUE(SetSetPropElement(m.M, "SkinningRules", "srThirdParty", false));
    EXPECT_FALSE(m->SkinningRules.Contains(srThirdParty));
    EXPECT_TRUE(m->SkinningRules.Contains(srStdDialogs));
    EXPECT_FALSE(SetPropContains(m.M, "SkinningRules", "srThirdParty"));
    EXPECT_FALSE(SetSetPropElement(m.M, "SkinningRules", "srNothing", true));
    EXPECT_FALSE(SetSetPropElement(m.M, "NoSuch", "srThirdParty", true));
    EXPECT_FALSE(SetPropContains(m.M, "SkinName", "srThirdParty"));
}

TEST(EngineSkinData, NoHoverCodesNeverTurnHot) {
    TestSkinFolder folder;
    ManagerPtr m;
    ASSERT_TRUE(m->LoadSkin(folder.Skin));
    FormPtr form = MakeForm(40, 40, 240, 160);
    auto* ctl = new TRecWin(form.get(), true);
    ctl->SetParent(form.get());
    for (int code : {51, 60, 74, 110, 141, 150, 161}) {
        ctl->SkinData->ControlTypeCode = code;
        ctl->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(ctl));
        EXPECT_FALSE(ctl->SkinData->MouseAbove) << code;
        EXPECT_TRUE(IsNoHoverCode(code));
    }
    for (int code : {50, 75, 109, 111, 140, 162, 93}) {
        ctl->SkinData->ControlTypeCode = code;
        ctl->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(ctl));
        EXPECT_TRUE(ctl->SkinData->MouseAbove) << code;
        ctl->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(ctl));
        EXPECT_FALSE(ctl->SkinData->MouseAbove) << code;
        EXPECT_FALSE(IsNoHoverCode(code));
    }
    // A child entered tells its parents, which do not become hot by it.
    auto* child = new TRecWin(form.get(), false);
    child->SetParent(ctl);
    child->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_FALSE(ctl->SkinData->MouseAbove);
    // Hot counts for the state only outside the no-hover set; focus always.
    ctl->SkinData->ControlTypeCode = 93;
    ctl->SkinData->MouseAbove = true;
    EXPECT_TRUE(ControlStateIndex(ctl->SkinData));
    ctl->SkinData->ControlTypeCode = 51;
    EXPECT_FALSE(ControlStateIndex(ctl->SkinData));
    ctl->SkinData->Focused = true;
    EXPECT_TRUE(ControlStateIndex(ctl->SkinData));
    ctl->SetEnabled(false);
    EXPECT_FALSE(ControlStateIndex(ctl->SkinData));
    child->Free();
    ctl->Free();
}

TEST(EngineSkinData, HasSkinIsUpdatingAndEditColours) {
    TestSkinFolder folder;
    ManagerPtr m;
    ASSERT_TRUE(m->LoadSkin(folder.Skin));
    FormPtr form = MakeForm(40, 40, 240, 160);
    auto* parent = new TRecWin(form.get(), true, "PANEL");
    parent->SetParent(form.get());
    auto* ctl = new TRecWin(form.get(), true);
    ctl->SetParent(parent);
    form->HandleNeeded();
    EXPECT_TRUE(HasSkin(ctl->SkinData));
    EXPECT_TRUE(IsControlLive(ctl));
    // The parent is out of date: the child waits.
    parent->SkinData->BGChanged = true;
    EXPECT_TRUE(IsUpdating(ctl->SkinData));
    parent->SkinData->BGChanged = false;
    parent->SkinData->Updating = false;
    EXPECT_FALSE(IsUpdating(ctl->SkinData));
    SetUpdating(ctl->SkinData, true);
    EXPECT_TRUE(IsUpdating(ctl->SkinData));
    SetUpdating(ctl->SkinData, false);
    // A skin data without parent waits; an inactive skin has none.
    TsCommonData orphan(nullptr, false);
    orphan.SetSkinSection("BUTTON");
    EXPECT_TRUE(HasSkin(&orphan));
    EXPECT_TRUE(IsUpdating(nullptr));
    m->SetActive(false);
    EXPECT_FALSE(HasSkin(ctl->SkinData));
    EXPECT_TRUE(HasSkin(ctl->SkinData, false) == false);
    EXPECT_TRUE(IsUpdating(ctl->SkinData));
    ASSERT_TRUE(m->LoadSkin(folder.Skin));
    EXPECT_TRUE(HasSkin(ctl->SkinData));
    EXPECT_FALSE(IsControlLive(nullptr));
    auto* loose = new TRecWin(nullptr, false);
    EXPECT_FALSE(IsControlLive(loose));
    loose->Free();

    // A control-type code 97 owner takes the section colours; custom ones stay.
    auto* edit = new TRecWin(form.get(), true, "");
    edit->SkinData->ControlTypeCode = 97;
    edit->SetParent(form.get());
    edit->SkinData->SetSkinSection("");
    ApplySectionColors(edit->SkinData);
    EXPECT_EQ(edit->SkinData->SkinSection(), "EDIT");
    EXPECT_EQ(edit->Color(), Swap(TestSkinPalette().Edit));
    EXPECT_EQ(edit->Font()->Color(), Swap(TestSkinPalette().EditFont));
    // Removal gives them back the window colours; a refresh the section's.
    SendSkinCommandToWindow(edit->Handle(), AC_REMOVESKIN, reinterpret_cast<LPARAM>(m.M));
    EXPECT_EQ(edit->Color(), clWindow);
    EXPECT_EQ(edit->Font()->Color(), clWindowText);
    edit->SkinData->UpdateIndexes();
    edit->SkinData->SetCustomColor(true);
    SendSkinCommandToWindow(edit->Handle(), AC_REFRESH, reinterpret_cast<LPARAM>(m.M));
    EXPECT_EQ(edit->Color(), clWindow);
    EXPECT_EQ(edit->Font()->Color(), Swap(TestSkinPalette().EditFont));
    edit->Free();
    ctl->Free();
    parent->Free();
}

TEST(EngineManager, ApplicationHookAndWindowHookRegistration) {
    ManagerPtr m;
    TMessage theme{WM_THEMECHANGED, 0, 0, 0};
    EXPECT_TRUE(m->ApplicationHook(theme));
    TMessage other{WM_USER + 5, 0, 0, 0};
    EXPECT_FALSE(m->ApplicationHook(other));
    TMessage popup{48307, 0, 0, 0};
    EXPECT_FALSE(m->ApplicationHook(popup));
    m->SetSkinnedPopups(false);
    EXPECT_FALSE(m->ApplicationHook(theme));
    m->SetSkinnedPopups(true);
    // The manager hooks the application window: the theme message is swallowed there.
    int themeSeen = 0;
    TWindowHook spy([&](TMessage& M) {
        themeSeen += M.Msg == WM_THEMECHANGED;
        return false;
    });
    Application->HookMainWindow(spy);
    SendMessageA(Application->Handle(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(themeSeen, 0);
    Application->UnhookMainWindow(spy);

    // The window-creation hook comes with a new skin and goes with its removal.
    int installs = 0, removals = 0;
    acEngineHooks.InstallHook = [&](TsSkinManager* M) {
        EXPECT_EQ(M, m.M);
        ++installs;
        return true;
    };
    acEngineHooks.RemoveHook = [&](TsSkinManager*) { ++removals; };
    TestSkinFolder folder;
    ASSERT_TRUE(m->LoadSkin(folder.Skin));
    EXPECT_TRUE(m->HookInstalled());
    EXPECT_EQ(installs, 1);
    // Only the default manager installs it.
    auto* second = new TsSkinManager(nullptr);
    ASSERT_TRUE(second->LoadSkin(folder.Skin));
    EXPECT_FALSE(second->HookInstalled());
    second->Free();
    m->SetActive(false);
    EXPECT_FALSE(m->HookInstalled());
    EXPECT_EQ(removals, 1);
    acEngineHooks = TacEngineHooks();
}

TEST(EngineHelpers, TextAndRectangles) {
    EXPECT_EQ(RemoveChar("&File&&", '&'), "File");
    EXPECT_EQ(ReplaceAll("a-b-c", "-", "--"), "a--b--c");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ExtractDelimitedWord(2, ",,one,,two;three", ",;"), "two");
    EXPECT_EQ(ExtractDelimitedWord(3, "one two three", " "), "three");
    EXPECT_EQ(ExtractDelimitedWord(4, "one two three", " "), "");
    const TRect outer{0, 0, 10, 10};
    EXPECT_TRUE(RectContainsRect(outer, TRect{0, 0, 10, 10}));
    EXPECT_TRUE(RectContainsRect(outer, TRect{2, 2, 5, 5}));
    EXPECT_FALSE(RectContainsRect(outer, TRect{0, 0, 11, 10}));
    EXPECT_FALSE(RectContainsRect(outer, TRect{-1, 0, 5, 5}));
    EXPECT_FALSE(RectContainsRect(outer, TRect{0, 0, 10, 11}));
    EXPECT_TRUE(InRange(5, 5, 7));
    EXPECT_FALSE(InRange(8, 5, 7));
    EXPECT_EQ(IfInt(true, 1, 2), 1);
    TRect r{};
    SetRectBounds(r, 3, 4, 10, 20);
    EXPECT_EQ(RectWidth(r), 10);
    EXPECT_EQ(RectHeight(r), 20);
    EXPECT_EQ(r.right, 13);
    EXPECT_EQ(IdentityColor(clBtnFace), clBtnFace);
    EXPECT_GT(CaptionFontHeight(), 0);
    const TRect work = GetDesktopWorkArea();
    EXPECT_GT(RectWidth(work), 0);
    EXPECT_GT(ScrollWidth, 0);
    EXPECT_EQ(ScrollWidth, GetSystemMetrics(SM_CXHSCROLL));
    EXPECT_EQ(SM_ALPHACMD, 0xA100u);
    EXPECT_EQ(acDialogPos.x, -1);
}

namespace {

// Writes down COM starting and stopping on the thread it is registered on.
class TComSpy : public IInitializeSpy {
public:
    std::vector<std::string> Events;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IInitializeSpy) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE PreInitialize(DWORD, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT hr, DWORD, DWORD) override {
        Events.push_back(hr == RPC_E_CHANGED_MODE ? "start refused" : "start");
        return hr;
    }
    HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD) override {
        Events.push_back("stop");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD) override { return S_OK; }
};

struct IconFetch {
    bool ComBefore = false;  // COM already running, in the multi-threaded model
    std::vector<std::string> Events;
    bool Icons = false;
    HRESULT After = E_FAIL;  // starting COM again once the fetch is done
};

DWORD WINAPI FetchIconsOnThread(void* arg) {
    auto* f = static_cast<IconFetch*>(arg);
    if (f->ComBefore) CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    TComSpy spy;
    ULARGE_INTEGER cookie{};
    if (SUCCEEDED(CoRegisterInitializeSpy(&spy, &cookie))) {
        HICON small = nullptr, large = nullptr;
        acFetchProgramIcons(small, large);
        f->Icons = small && large;
        if (small) DestroyIcon(small);
        if (large) DestroyIcon(large);
        CoRevokeInitializeSpy(cookie);
    }
    f->Events = spy.Events;
    f->After = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(f->After)) CoUninitialize();
    if (f->ComBefore) CoUninitialize();
    return 0;
}

}  // namespace

TEST(EngineStartup, ShellIconsAreFetchedWithComRunningAndComLeftAsFound) {
    for (const bool comBefore : {false, true}) {
        SCOPED_TRACE(comBefore ? "COM running on the thread" : "no COM on the thread");
        IconFetch f;
        f.ComBefore = comBefore;
        HANDLE t = CreateThread(nullptr, 0, FetchIconsOnThread, &f, 0, nullptr);
        ASSERT_NE(t, nullptr);
        WaitForSingleObject(t, 10000);
        CloseHandle(t);
        EXPECT_TRUE(f.Icons);
        ASSERT_FALSE(f.Events.empty()) << "COM was never started for the shell";
        if (comBefore) {
            EXPECT_EQ(f.Events.front(), "start refused");
            EXPECT_EQ(f.After, S_FALSE) << "still running";
        } else {
            EXPECT_EQ(f.Events.front(), "start");
            EXPECT_EQ(f.Events.back(), "stop");
            EXPECT_EQ(f.After, S_OK) << "stopped again";
        }
    }
}
