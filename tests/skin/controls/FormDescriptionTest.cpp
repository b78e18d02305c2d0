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
#include "PixelTestSupport.h"
#include "sButton.h"
#include "sCheckBox.h"
#include "sLabel.h"
#include "sPanel.h"
#include "sRegisterClasses.h"
#include "sSkinManager.h"
#include "sSpeedButton.h"

#include <cstdint>
#include <set>
#include <vector>

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

// The bytes of a 24-bit BMP file of W x H pixels, the upper half Top and the
// lower half Bottom (0xRRGGBB), as a description writes them.
String BmpHex(int W, int H, std::uint32_t Top, std::uint32_t Bottom) {
    const int stride = (W * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> b(54 + stride * H, 0);
    const auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, std::uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, std::uint32_t(W));
    put32(22, std::uint32_t(H));  // bottom-up
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const std::uint32_t c = (H - 1 - y) < H / 2 ? Top : Bottom;
            std::uint8_t* px = &b[54 + y * stride + x * 3];
            px[0] = std::uint8_t(c);
            px[1] = std::uint8_t(c >> 8);
            px[2] = std::uint8_t(c >> 16);
        }
    static const char* digits = "0123456789ABCDEF";
    String hex = "{";
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i && i % 32 == 0) hex += "\n    ";
        hex += digits[b[i] >> 4];
        hex += digits[b[i] & 15];
    }
    return hex + "}";
}

// A string as a description writes it: quoted, with #n for what is not printable.
String Quote(const String& s) {
    String out;
    bool open = false;
    for (unsigned char c : s) {
        const bool plain = c >= 32 && c < 127;
        if (plain != open) out += '\'';
        open = plain;
        if (!plain) out += "#" + std::to_string(c);
        else out += c == '\'' ? String("''") : String(1, char(c));
    }
    if (open) out += '\'';
    return out.empty() ? String("''") : out;
}

struct Written {
    String Path, Text;
    bool Ordinal;
    std::int64_t Ord;
    String Str;
};

// Every published value of Obj that a description can give, as it is now:
// nested objects with dots, pictures as hexadecimal data (a 4 x 2 picture);
// references and collections are left to their own tests.
void DescribeAll(const TObject* Obj, const String& Prefix, std::vector<Written>& Out, int Depth = 0) {
    for (const TClassInfo* c = Obj->ClassInfo(); c; c = c->Parent)
        for (const TPropInfo& p : c->Props) {
            if (p.Name == "Name" || GetPropInfo(Obj, p.Name) != &p) continue;
            const String path = Prefix + p.Name;
            switch (p.Kind) {
                case TTypeKind::tkString:
                    if (p.GetStr && p.SetStr) Out.push_back({path, Quote(p.GetStr(Obj)), false, 0, p.GetStr(Obj)});
                    break;
                case TTypeKind::tkClass: {
                    TObject* o = p.GetObject ? p.GetObject(Obj) : nullptr;
                    if (dynamic_cast<TBitmap*>(o))
                        Out.push_back({path, BmpHex(4, 2, 0x102030, 0x405060), false, 0, ""});
                    else if (o && !dynamic_cast<TComponent*>(o) && !dynamic_cast<TCollection*>(o) && Depth < 4)
                        DescribeAll(o, path + ".", Out, Depth + 1);
                    break;
                }
                default: {
                    if (!p.GetOrd || !p.SetOrd) break;
                    const std::int64_t v = p.GetOrd(Obj);
                    String text = std::to_string(v);
                    if (p.Kind == TTypeKind::tkBool) text = v ? "True" : "False";
                    if (p.Kind == TTypeKind::tkEnumeration && v >= 0 && std::size_t(v) < p.ElementNames.size())
                        text = p.ElementNames[std::size_t(v)];
                    if (p.Kind == TTypeKind::tkSet) {
                        text = "[";
                        for (std::size_t i = 0; i < p.ElementNames.size(); ++i)
                            if (std::uint64_t(v) >> i & 1) text += (text.size() > 1 ? ", " : "") + p.ElementNames[i];
                        text += "]";
                    }
                    Out.push_back({path, text, true, v, ""});
                }
            }
        }
}

// The object a dotted path ends in, and the last name.
const TObject* Walk(const TObject* Obj, const String& Path, String& Last) {
    String rest = Path;
    for (std::size_t dot; Obj && (dot = rest.find('.')) != String::npos; rest = rest.substr(dot + 1))
        Obj = GetObjectProp(Obj, rest.substr(0, dot));
    Last = rest;
    return Obj;
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

// Every skinned class a program places is registered, and loads from a
// description that writes every published value it has (nested ones with
// dots, pictures as hexadecimal data) with those values.
TEST(FormDescriptions, EverySkinnedClassLoadsWithEveryPublishedValueWritten) {
    RegisterSkinnedClasses();
    const char* const classes[] = {"TsSkinManager", "TsSkinProvider", "TsButton",       "TsSpeedButton", "TsLabel",
                                   "TsLabelFX",     "TsPanel",        "TsDragBar",      "TsEdit",        "TsRichEdit",
                                   "TsCheckBox",    "TsRadioButton",  "TsGroupBox",     "TsRadioGroup",  "TsTrackBar",
                                   "TsProgressBar", "TsUpDown",       "TsSplitter",     "TsPageControl", "TsTabSheet",
                                   "TsComboBox",    "TsListBox",      "TsAlphaListBox", "TsListView",    "TsTreeView"};
    for (const char* name : classes) {
        ASSERT_TRUE(IsComponentClassRegistered(name)) << name << " is not registered";
        // A sheet is described inside its page control.
        const bool sheet = String(name) == "TsTabSheet";
        const String open =
            sheet ? "object P: TsPageControl\n object X: TsTabSheet\n" : "object X: " + String(name) + "\n";
        const String close = sheet ? " end\nend\n" : "end\n";
        formtest::FormPtr fresh(TObject::Create<TForm>(nullptr));
        ReadComponentFromText(fresh.get(), "object F: TForm\n" + open + close + "end");
        TComponent* made = fresh->FindComponent("X");
        ASSERT_NE(made, nullptr) << name;
        std::vector<Written> values;
        DescribeAll(made, "", values);
        String text = "object F: TForm\n" + open;
        for (const Written& w : values) text += "  " + w.Path + " = " + w.Text + "\n";
        text += close + "end";
        formtest::FormPtr form(TObject::Create<TForm>(nullptr));
        try {
            ReadComponentFromText(form.get(), text);
        } catch (const EReadError& e) {
            ADD_FAILURE() << name << ": " << e.what();
            continue;
        }
        TComponent* loaded = form->FindComponent("X");
        ASSERT_NE(loaded, nullptr) << name;
        for (const Written& w : values) {
            String last;
            const TObject* at = Walk(loaded, w.Path, last);
            ASSERT_NE(at, nullptr) << name << "." << w.Path;
            if (w.Ordinal) {
                EXPECT_EQ(GetOrdProp(at, last), w.Ord) << name << "." << w.Path;
            } else if (auto* picture = dynamic_cast<TBitmap*>(GetObjectProp(at, last))) {
                EXPECT_EQ(picture->Width() * 10 + picture->Height(), 42) << name << "." << w.Path;
            } else {
                EXPECT_EQ(GetStrProp(at, last), w.Str) << name << "." << w.Path;
            }
        }
    }
}

// A picture written as hexadecimal data is the picture those bytes make; {}
// empties it; bytes that are no picture name their line.
TEST(FormDescriptions, PicturesAreWrittenAsHexadecimalData) {
    RegisterSkinnedClasses();
    formtest::FormPtr form(TObject::Create<TForm>(nullptr));
    ReadComponentFromText(
        form.get(), "object F: TForm\n object Box: TsCheckBox\n  GlyphChecked = " + BmpHex(18, 12, 0x11AA22, 0xFFFFFF) +
                        "\n  GlyphUnChecked = {}\n end\n"
                        " object Provider: TsSkinProvider\n  TitleButtons = <\n   item\n"
                        "    Name = 'Pin'\n    Glyph = " +
                        BmpHex(6, 4, 0x0000FF, 0x00FF00) + "\n   end>\n end\nend");
    auto* box = dynamic_cast<TsCheckBox*>(form->FindComponent("Box"));
    ASSERT_NE(box, nullptr);
    TBitmap* glyph = box->GlyphChecked();
    ASSERT_EQ(glyph->Width() * 100 + glyph->Height(), 1812);
    EXPECT_EQ(testsupport::Px(*glyph, 3, 2), 0x11AA22u);
    EXPECT_EQ(testsupport::Px(*glyph, 3, 9), 0xFFFFFFu);
    EXPECT_TRUE(box->GlyphUnChecked()->Empty());
    auto* buttons = dynamic_cast<TCollection*>(GetObjectProp(form->FindComponent("Provider"), "TitleButtons"));
    ASSERT_TRUE(buttons && buttons->Count() == 1);
    auto* pin = dynamic_cast<TBitmap*>(GetObjectProp(buttons->Items(0), "Glyph"));
    ASSERT_TRUE(pin && pin->Width() == 6 && pin->Height() == 4);
    EXPECT_EQ(testsupport::Px(*pin, 1, 0), 0x0000FFu);
    EXPECT_EQ(testsupport::Px(*pin, 1, 3), 0x00FF00u);
    const struct {
        const char* Value;
        const char* Error;
    } bad[] = {{"{424D00}\n end\nend", "Line 3: GlyphChecked of Box (TsCheckBox) is no picture"},
               {"{42 4", "Line 3: binary data not closed"},
               {"{4G}\n end\nend", "Line 3: hexadecimal digits expected"},
               {"{424}\n end\nend", "Line 3: binary data of an odd number of digits"}};
    for (const auto& b : bad) {
        formtest::FormPtr other(TObject::Create<TForm>(nullptr));
        try {
            ReadComponentFromText(other.get(),
                                  "object F: TForm\n object Box: TsCheckBox\n  GlyphChecked = " + String(b.Value));
            ADD_FAILURE() << b.Value;
        } catch (const EReadError& e) {
            EXPECT_EQ(String(e.what()).rfind(b.Error, 0), 0u) << e.what();
        }
    }
}

}  // namespace
