// Skinned controls and the skin manager described in a form resource: known
// by name once registered, every written value set (nested skin data, sets,
// enumerations, references), every other value as on a fresh control.
#include <gtest/gtest.h>

#include "FormReader.h"
#include "FormTestSupport.h"
#include "Menus.h"
#include "sButton.h"
#include "sLabel.h"
#include "sPanel.h"
#include "sRegisterClasses.h"
#include "sSkinManager.h"
#include "sSpeedButton.h"

#include <set>

namespace {

// Every published value the description does not write equals the value of a
// fresh control of the same class.
template <typename T>
void ExpectUnwrittenAsFresh(TComponent* root, const char* name, const std::set<String>& written) {
    auto* loaded = dynamic_cast<T*>(root->FindComponent(name));
    ASSERT_NE(loaded, nullptr) << name;
    T* fresh = TObject::Create<T>(nullptr);
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
    ExpectUnwrittenAsFresh<TsButton>(form.get(), "OkButton", {"Caption", "DisabledKind", "AnimatEvents", "FocusMargin"});
    ExpectUnwrittenAsFresh<TsPanel>(form.get(), "Bar", {"Align", "Top", "Width"});
    ExpectUnwrittenAsFresh<TsSpeedButton>(form.get(), "Tool", {"ButtonStyle", "DisabledGlyphKind"});
    ExpectUnwrittenAsFresh<TsLabel>(form.get(), "Title", {"UseSkinColor", "ParentFont"});
    ExpectUnwrittenAsFresh<TsLabelFX>(form.get(), "Shadowed", {});
}

}  // namespace
