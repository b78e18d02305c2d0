// Skinned controls and the skin manager described in a form resource: known
// by name once registered, every written value set (nested skin data, sets,
// enumerations, references), every other value as on a fresh control.
#include <gtest/gtest.h>

#include "FormReader.h"
#include "FormTestSupport.h"
#include "ComCtrls.h"
#include "DescriptionOrders.h"
#include "Lists.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "sButton.h"
#include "sLabel.h"
#include "sPanel.h"
#include "sRegisterClasses.h"
#include "sSkinManager.h"
#include "sSpeedButton.h"

#include <set>

namespace {

// Every published value the description does not write equals the value of a
// fresh object of the same class.
void ExpectUnwrittenLike(const TObject* loaded, const TObject* fresh, const String& name,
                         const std::set<String>& written) {
    for (const TClassInfo* c = loaded->ClassInfo(); c; c = c->Parent)
        for (const TPropInfo& p : c->Props) {
            if (written.count(p.Name) || p.Name == "Name" || GetPropInfo(loaded, p.Name) != &p) continue;
            if (p.GetOrd && p.HasDefault) {
                EXPECT_EQ(p.GetOrd(loaded), p.GetOrd(fresh)) << name << "." << p.Name;
            }
            if (p.GetStr) {
                EXPECT_EQ(p.GetStr(loaded), p.GetStr(fresh)) << name << "." << p.Name;
            }
        }
}

template <typename T>
void ExpectUnwrittenAsFresh(TComponent* root, const char* name, const std::set<String>& written) {
    auto* loaded = dynamic_cast<T*>(root->FindComponent(name));
    ASSERT_NE(loaded, nullptr) << name;
    T* fresh = TObject::Create<T>(nullptr);
    ExpectUnwrittenLike(loaded, fresh, name, written);
    fresh->Free();
}

TEST(FormDescriptions, SkinnedClassesAreKnownOnceRegisteredAndLoadWithTheirValues) {
    // Unregistered, the manager's class stops the reading at its line.
    try {
        formtest::FormPtr never(CreateFormFromResource<TForm>(nullptr, "SKINNEDFORM"));
        ADD_FAILURE() << "read with unregistered classes";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Line 3: unknown class TsSkinManager (no such class is registered)");
    }
    RegisterSkinnedClasses();
    formtest::FormPtr form(CreateFormFromResource<TForm>(nullptr, "SKINNEDFORM"));
    auto* skins = dynamic_cast<TsSkinManager*>(form->FindComponent("Skins"));
    auto* ok = dynamic_cast<TsButton*>(form->FindComponent("OkButton"));
    auto* bar = dynamic_cast<TsPanel*>(form->FindComponent("Bar"));
    auto* tool = dynamic_cast<TsSpeedButton*>(form->FindComponent("Tool"));
    auto* title = dynamic_cast<TsLabel*>(form->FindComponent("Title"));
    auto* shadowed = dynamic_cast<TsLabelFX*>(form->FindComponent("Shadowed"));
    ASSERT_TRUE(skins && ok && bar && tool && title && shadowed);
    // The manager loads its skin once everything is read.
    EXPECT_TRUE(skins->Active());
    EXPECT_EQ(skins->SkinningRules, TacSkinningRules{srStdForms});
    EXPECT_EQ(skins->SkinFrameColor, 0x00FF00);
    EXPECT_EQ(ok->DisabledKind(), TsDisabledKind{dkGrayed});
    EXPECT_EQ(ok->AnimatEvents(), (TacAnimatEvents{aeMouseEnter, aeMouseDown}));
    EXPECT_EQ(ok->FocusMargin(), 3);
    EXPECT_EQ(ok->SkinData()->SkinSection(), "BUTTON_BIG");
    EXPECT_EQ(ok->SkinData()->SkinManager(), skins);
    EXPECT_EQ(bar->Align(), alBottom);
    EXPECT_TRUE(bar->SkinData()->CustomColor());
    EXPECT_EQ(bar->SkinData()->SkinSection(), "PANEL");
    EXPECT_EQ(tool->Parent(), bar);
    EXPECT_EQ(tool->ButtonStyle(), tbsDropDown);
    EXPECT_EQ(tool->DisabledGlyphKind(), TsDisabledGlyphKind{dgGrayed});
    EXPECT_EQ(tool->DropdownMenu(), form->FindComponent("ToolMenu"));
    EXPECT_FALSE(title->UseSkinColor());
    EXPECT_EQ(title->Font()->Color(), clRed);
    EXPECT_EQ(shadowed->Shadow()->Mode(), smCustom);
    EXPECT_EQ(shadowed->Shadow()->Color(), clNavy);
    EXPECT_EQ(shadowed->Kind()->KindType(), ktCustom);
    ExpectUnwrittenAsFresh<TsButton>(form.get(), "OkButton",
                                     {"Caption", "DisabledKind", "AnimatEvents", "FocusMargin"});
    ExpectUnwrittenAsFresh<TsPanel>(form.get(), "Bar", {"Align", "Top", "Width"});
    ExpectUnwrittenAsFresh<TsSpeedButton>(form.get(), "Tool", {"ButtonStyle", "DisabledGlyphKind"});
    ExpectUnwrittenAsFresh<TsLabel>(form.get(), "Title", {"UseSkinColor", "ParentFont"});
    ExpectUnwrittenAsFresh<TsLabelFX>(form.get(), "Shadowed", {});
}

TEST(FormDescriptions, ProviderAndEverySkinnedControlLoadWithTheirValues) {
    RegisterSkinnedClasses();
    formtest::FormPtr form(CreateFormFromResource<TForm>(nullptr, "PROVIDERFORM"));
    TComponent* provider = form->FindComponent("Provider");
    ASSERT_NE(provider, nullptr);
    EXPECT_STREQ(provider->ClassName().c_str(), "TsSkinProvider");
    const struct {
        const char* Prop;
        std::int64_t Value;
    } ordinals[] = {
        {"MakeSkinMenu", 1}, {"ShowAppIcon", 0}, {"CaptionAlignment", taCenter}, {"GripMode", 1}, {"SnapBuffer", 25}};
    for (const auto& o : ordinals) EXPECT_EQ(GetOrdProp(provider, o.Prop), o.Value) << o.Prop;
    EXPECT_EQ(GetStrProp(provider, "TitleSkin"), "CAPTION");
    EXPECT_EQ(GetOrdProp(GetObjectProp(provider, "TitleIcon"), "Width"), 20);
    EXPECT_EQ(GetOrdProp(GetObjectProp(provider, "TitleIcon"), "Height"), 0);
    EXPECT_EQ(GetObjectProp(GetObjectProp(provider, "SkinData"), "SkinManager"), form->FindComponent("Skins"));
    // The collection holds exactly the items described, each with its values.
    auto* buttons = dynamic_cast<TCollection*>(GetObjectProp(provider, "TitleButtons"));
    ASSERT_TRUE(buttons && buttons->Count() == 2);
    EXPECT_EQ(GetStrProp(buttons->Items(0), "Name"), "Help");
    EXPECT_EQ(GetOrdProp(buttons->Items(0), "Enabled"), 0);
    EXPECT_EQ(GetOrdProp(buttons->Items(0), "UseSkinData"), 1);
    EXPECT_EQ(GetStrProp(buttons->Items(1), "Name"), "Pin");
    EXPECT_EQ(GetOrdProp(buttons->Items(1), "Enabled"), 1);
    EXPECT_EQ(GetOrdProp(buttons->Items(1), "UseSkinData"), 0);
    // A provider described with nothing written is the comparison.
    formtest::FormPtr plain(TObject::Create<TForm>(nullptr));
    ReadComponentFromText(plain.get(), "object Plain: TForm object Provider: TsSkinProvider end end");
    ExpectUnwrittenLike(provider, plain->FindComponent("Provider"), "Provider",
                        {"MakeSkinMenu", "ShowAppIcon", "CaptionAlignment", "GripMode", "SnapBuffer", "TitleSkin"});

    // Each control class is known, placed where described and given its values.
    const struct {
        const char* Name;
        const char* Class;
        const char* Parent;
        const char* Prop;
        std::int64_t Value;
    } controls[] = {{"Check", "TsCheckBox", "ProviderForm", "State", cbGrayed},
                    {"Radio", "TsRadioButton", "ProviderForm", "Checked", 1},
                    {"Group", "TsGroupBox", "ProviderForm", "CaptionLayout", 1},
                    {"Inner", "TsEdit", "Group", "MaxLength", 12},
                    {"Radios", "TsRadioGroup", "ProviderForm", "ItemIndex", 1},
                    {"Rich", "TsRichEdit", "ProviderForm", "Enabled", 1},
                    {"Track", "TsTrackBar", "ProviderForm", "Position", 7},
                    {"Progress", "TsProgressBar", "ProviderForm", "Position", 40},
                    {"Spin", "TsUpDown", "ProviderForm", "Max", 9},
                    {"Split", "TsSplitter", "ProviderForm", "MinSize", 40},
                    {"Pages", "TsPageControl", "ProviderForm", "Enabled", 1},
                    {"Second", "TsTabSheet", "Pages", "Enabled", 1}};
    for (const auto& c : controls) {
        auto* control = dynamic_cast<TControl*>(form->FindComponent(c.Name));
        ASSERT_NE(control, nullptr) << c.Name;
        EXPECT_EQ(control->ClassName(), c.Class);
        ASSERT_NE(control->Parent(), nullptr) << c.Name;
        EXPECT_EQ(control->Parent()->Name(), c.Parent) << c.Name;
        EXPECT_EQ(GetOrdProp(control, c.Prop), c.Value) << c.Name << "." << c.Prop;
    }
    EXPECT_EQ(GetOrdProp(form->FindComponent("Track"), "Max"), 20);
    // The group box's and the bound label's layouts keep names of their own.
    EXPECT_EQ(GetOrdProp(GetObjectProp(form->FindComponent("Inner"), "BoundLabel"), "Layout"), 2);
    EXPECT_EQ(dynamic_cast<TStrings*>(GetObjectProp(form->FindComponent("Radios"), "Items"))->CommaText(), "One,Two");
    // A description writes enumerations and sets by name: every one the loaded
    // classes publish has its names.
    for (int i = 0; i < form->ComponentCount(); ++i)
        for (const TClassInfo* c = form->Components(i)->ClassInfo(); c; c = c->Parent)
            for (const TPropInfo& p : c->Props)
                if (p.Kind == TTypeKind::tkEnumeration || p.Kind == TTypeKind::tkSet) {
                    EXPECT_FALSE(p.ElementNames.empty()) << c->Name << "." << p.Name << " has no value names";
                }
    // Sheets described in a page control are its pages, the first one shown.
    auto* pages = dynamic_cast<TPageControl*>(form->FindComponent("Pages"));
    ASSERT_TRUE(pages && pages->PageCount() == 2);
    EXPECT_EQ(pages->Pages(1), form->FindComponent("Second"));
    EXPECT_EQ(pages->ActivePage(), form->FindComponent("First"));
}

// The skinned track bar, up-down and check box read their values as the
// class library's do: in any order, nothing written dropped.
TEST(FormDescriptions, SkinnedControlsLoadTheSameValuesInAnyOrder) {
    RegisterSkinnedClasses();
    for (const auto& c : formtest::SharedOrderCases("TsTrackBar", "TsUpDown", "TsCheckBox"))
        formtest::ExpectSameInEveryOrder(c);
}

}  // namespace
