// Form descriptions: a form read from the program's resources with every kind
// of value, defaults left alone, Loaded once each, and faulty descriptions
// that name their line and leave nothing behind.
#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "DescriptionOrders.h"
#include "ExtCtrls.h"
#include "FormReader.h"
#include "FormTestSupport.h"
#include "Lists.h"
#include "StdCtrls.h"

#include <chrono>

namespace {

class TTestItem : public TCollectionItem {
    CLASSLIB_DECLARE_CLASS(TTestItem)
public:
    using TCollectionItem::TCollectionItem;
    String Caption() const { return FCaption; }
    void SetCaption(const String& Value) { FCaption = Value; }
    int Width = 64;

private:
    String FCaption;
};
// clang-format off
CLASSLIB_DEFINE_CLASS(TTestItem, TCollectionItem, StrProp<TTestItem>("Caption", &TTestItem::Caption, &TTestItem::SetCaption),
                      OrdField<TTestItem>("Width", TTypeKind::tkInteger, &TTestItem::Width, 64))
// clang-format on

// Counts its setters' calls, its Loaded calls and its live instances.
class TTestHolder : public TComponent {
    CLASSLIB_DECLARE_CLASS(TTestHolder)
public:
    explicit TTestHolder(TComponent* AOwner) : TComponent(AOwner), Items(this, CollectionItemClass<TTestItem>()) {
        ++Live;
    }
    ~TTestHolder() override { --Live; }
    int Count() const { return FCount; }
    void SetCount(int Value) { FCount = Value, ++Sets; }
    int Limit() const { return FLimit; }
    void SetLimit(int Value) { FLimit = Value, ++Sets; }
    TCollection* GetItems() const { return const_cast<TOwnedCollection*>(&Items); }
    TOwnedCollection Items;
    int LoadedCalls = 0, Sets = 0;
    static inline int Live = 0;

protected:
    void Loaded() override { ++LoadedCalls, TComponent::Loaded(); }

private:
    int FCount = 0, FLimit = 5;
};
// clang-format off
CLASSLIB_DEFINE_CLASS(TTestHolder, TComponent,
    OrdProp<TTestHolder>("Count", TTypeKind::tkInteger, &TTestHolder::Count, &TTestHolder::SetCount, 0),
    OrdProp<TTestHolder>("Limit", TTypeKind::tkInteger, &TTestHolder::Limit, &TTestHolder::SetLimit, 5),
    ObjProp<TTestHolder, TCollection>("Items", &TTestHolder::GetItems))
// clang-format on

const bool kRegistered =
    (RegisterComponentClass<TTestHolder>(), RegisterComponentClass<TTrackBar>(), RegisterComponentClass<TUpDown>(),
     RegisterComponentClass<TProgressBar>(), RegisterComponentClass<TCheckBox>(), true);

TEST(FormReader, ReadsEveryKindOfValueFromTheResourceAndLeavesDefaultsAlone) {
    ASSERT_TRUE(kRegistered);
    formtest::FormPtr form(CreateFormFromResource<TForm>(nullptr, "MAINFORM"));
    auto* panel = dynamic_cast<TPanel*>(form->FindComponent("Panel1"));
    auto* ok = dynamic_cast<TButton*>(form->FindComponent("OkButton"));
    auto* label = dynamic_cast<TLabel*>(form->FindComponent("Label1"));
    auto* edit = dynamic_cast<TEdit*>(form->FindComponent("Edit1"));
    auto* holder = dynamic_cast<TTestHolder*>(form->FindComponent("Holder"));
    ASSERT_TRUE(panel && ok && label && edit && holder);
    EXPECT_EQ(form->Caption(), "It's all here");
    EXPECT_EQ(form->Left(), 40);
    EXPECT_EQ(form->ClientWidth(), 360);
    EXPECT_EQ(form->Color(), clInfoBk);
    EXPECT_EQ(form->BorderIcons(), (TBorderIcons{biSystemMenu, biHelp}));
    EXPECT_EQ(form->Position(), poScreenCenter);
    EXPECT_EQ(form->Font()->Name(), "Arial");
    EXPECT_EQ(form->Font()->Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(form->Font()->Color(), 0x123456);
    EXPECT_EQ(form->ActiveControl(), ok);
    EXPECT_EQ(ok->Parent(), panel);
    EXPECT_TRUE(ok->Default());
    EXPECT_EQ(panel->BevelOuter(), bvLowered);
    EXPECT_EQ(panel->Constraints()->MinWidth(), 50);
    EXPECT_EQ(label->FocusControl(), edit);
    EXPECT_EQ(edit->Tag(), -7);
    // What is not written keeps its default; a loaded control's name does not become its caption.
    EXPECT_EQ(form->BorderStyle(), bsSizeable);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(panel->Caption(), "");
    EXPECT_EQ(panel->BevelInner(), bvNone);
    EXPECT_FALSE(ok->Cancel());
    EXPECT_TRUE(label->AutoSize());
    EXPECT_EQ(holder->Count(), 3);
    EXPECT_EQ(holder->Limit(), 5);
    EXPECT_EQ(holder->Sets, 1);
    EXPECT_EQ(holder->LoadedCalls, 1);
    ASSERT_EQ(holder->Items.Count(), 2);
    auto* first = static_cast<TTestItem*>(holder->Items.Items(0));
    auto* second = static_cast<TTestItem*>(holder->Items.Items(1));
    EXPECT_EQ(first->Caption() + "/" + std::to_string(first->Width), "first/10");
    EXPECT_EQ(second->Caption() + "/" + std::to_string(second->Width), "second/64");
    for (int i = 0; i < form->ComponentCount(); ++i)
        EXPECT_FALSE(form->Components(i)->ComponentState().Contains(csLoading));
}

// Reads Text into a new form and returns the error; nothing made on the way
// outlives it, and the form is never shown.
EReadError ReadBad(const String& text) {
    const int forms = Screen->FormCount();
    formtest::FormPtr form(TObject::Create<TForm>(nullptr));
    try {
        ReadComponentFromText(form.get(), text);
    } catch (const EReadError& e) {
        EXPECT_EQ(form->ComponentCount() + form->ControlCount() + TTestHolder::Live, 0) << e.what();
        EXPECT_FALSE(form->Visible());
        form.reset();
        EXPECT_EQ(Screen->FormCount(), forms);
        return e;
    }
    ADD_FAILURE() << "read without error:\n" << text;
    return EReadError(0, "");
}

// Where it can, each description makes a holder before its fault.
const struct {
    const char* Text;
    int Line;
    const char* Error;
} kBadCases[] = {
    {"object F: TForm\n object H: TTestHolder\n end\n object X: TNoSuchThing\n end\nend", 4,
     "unknown class TNoSuchThing"},
    {"object F: TForm\n object H: TTestHolder\n  Nope = 1\n end\nend", 3, "H (TTestHolder) has no property Nope"},
    {"object F: TForm\n object H: TTestHolder\n end\n Font.Nme = 'x'\nend", 4, "has no property Font.Nme"},
    {"object F: TForm\n object H: TTestHolder\n  Count = 'abc'\n end\nend", 3,
     "bad value 'abc' for Count of H (TTestHolder) (an integer expected)"},
    {"object F: TForm\n object H: TTestHolder\n end\n Position = poNowhere\nend", 4,
     "bad value poNowhere for Position"},
    {"object F: TForm\n BorderIcons = [biSystemMenu, biNope]\nend", 2, "bad set element biNope"},
    {"object F: TForm\n Enabled = Yes\nend", 2, "(True or False expected)"},
    {"object F: TForm\n Color = clNoSuchColour\nend", 2, "(a colour expected)"},
    {"object F: TForm\n Left = 99999999999\nend", 2, "number too large"},
    {"object F: TForm\n Caption = 'abc\nend", 2, "string not closed on its line"},
    {"object F: TForm\n object H: TTestHolder\n  Count = 1\n", 2, "object H is not terminated"},
    {"object F: TForm\n object H: TTestHolder\n  Items = <\n   item\n    Width = 1\n", 4, "item is not terminated"},
    {"object F: TForm\n object H: TTestHolder\n  Items = <\n   item\n    Nope = 1\n   end>\n end\nend", 5,
     "item 0 of Items of H (TTestHolder) has no property Nope"},
    {"object F: TForm\n Font = <\n >\nend", 2, "bad value a collection for Font"},
    {"object F: TForm\n object H: TTestHolder\n end\n ActiveControl = Ghost\nend", 4, "no component named Ghost"},
    {"object F: TForm\n object H: TTestHolder\n end\n ActiveControl = H\nend", 4,
     "H (TTestHolder) cannot be ActiveControl"},
    {"object F: TForm\n object H: TTestHolder\n  object B: TButton\n  end\n end\nend", 3,
     "H (TTestHolder) cannot hold the control B"},
    {"object F: TForm\n object H: TTestHolder\n end\n object H: TTestHolder\n end\nend", 4,
     "A component named H already exists"},
    // Checked and State are one value written twice: they must agree, in either order.
    {"object F: TForm\n object C: TCheckBox\n  State = cbGrayed\n  Checked = True\n end\nend", 4,
     "Checked = True disagrees with State"},
    {"object F: TForm\n object C: TCheckBox\n  Checked = True\n  State = cbUnchecked\n end\nend", 4,
     "State = cbUnchecked disagrees with Checked"},
    {"object F: TButton\nend", 1, "the description is of a TButton, not of a TForm"},
    {"object F: TForm\nend\nend", 3, "text after the end of the description"},
    {"", 1, "a description begins with"},
};

TEST(FormReader, FaultyDescriptionsNameTheirLineAndFreeWhatWasMade) {
    for (const auto& c : kBadCases) {
        const String error = ReadBad(c.Text).what();
        EXPECT_EQ(error.rfind("Line " + std::to_string(c.Line) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.Error), String::npos) << error;
    }
    const int forms = Screen->FormCount();
    EXPECT_THROW(CreateFormFromResource<TForm>(nullptr, "NO_SUCH_FORM"), EReadError);
    EXPECT_EQ(Screen->FormCount(), forms);
}

// The root of a faulty description keeps the values it had, names and nested
// ones too, and is out of loading: the next description reads into it as
// into a fresh form.
TEST(FormReader, AFaultyDescriptionLeavesTheRootAsItWas) {
    formtest::FormPtr form(TObject::Create<TForm>(nullptr));
    form->SetName("Before");
    form->SetCaption("Own");
    form->SetWidth(300);
    form->Font()->SetColor(clRed);
    const int size = form->Font()->Size();
    EXPECT_THROW(ReadComponentFromText(form.get(),
                                       "object F: TForm\n Caption = 'Described'\n Width = 500\n"
                                       " Font.Color = clBlue\n Font.Size = 20\n"
                                       " object B: TButton\n Nope = 1\n end\nend"),
                 EReadError);
    EXPECT_EQ(form->Name(), "Before");
    EXPECT_EQ(form->Caption(), "Own");
    EXPECT_EQ(form->Width(), 300);
    EXPECT_EQ(form->Font()->Color(), clRed);
    EXPECT_EQ(form->Font()->Size(), size);
    EXPECT_FALSE(form->ComponentState().Contains(csLoading));
    EXPECT_FALSE(form->ComponentState().Contains(csReading));
    EXPECT_EQ(form->ComponentCount(), 0);
    ReadComponentFromText(form.get(), "object F: TForm\n Caption = 'Second'\nend");
    EXPECT_EQ(form->Caption(), "Second");
    EXPECT_FALSE(form->ComponentState().Contains(csLoading));
}

// The same values in any order of their lines load the same control: a
// size is the size written whatever the orientation, a position is kept
// against the range written after it, and a check box's state is kept.
const formtest::TDescribedControl kOrders[] = {
    {"TTrackBar",
     {"Min = -20", "Max = -5", "Position = -10"},
     {{"Min", -20}, {"Max", -5}, {"Position", -10}},
     TBM_GETPOS,
     -10},
    // A position outside the range written is clamped to it, in every order.
    {"TTrackBar",
     {"Min = 30", "Max = 40", "Position = 90"},
     {{"Min", 30}, {"Max", 40}, {"Position", 40}},
     TBM_GETPOS,
     40},
    {"TProgressBar",
     {"Min = 100", "Max = 1000", "Position = 600"},
     {{"Min", 100}, {"Max", 1000}, {"Position", 600}},
     PBM_GETPOS,
     600},
};

TEST(FormReader, TheSameValuesInAnyOrderLoadTheSameControl) {
    for (const auto& c : formtest::SharedOrderCases("TTrackBar", "TUpDown", "TCheckBox"))
        formtest::ExpectSameInEveryOrder(c);
    for (const auto& c : kOrders) formtest::ExpectSameInEveryOrder(c);
}

TEST(FormReader, AVisibleFormShowsOnlyOnceReadAndNeverOnAFault) {
    formtest::FormPtr form(TObject::Create<TForm>(nullptr));
    ReadComponentFromText(form.get(), "object F: TForm\n Visible = True\n object B: TButton\n end\nend");
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(ReadBad("object F: TForm\n Visible = True\n object B: TNoSuchThing\n end\nend").Line(), 3);
}

TEST(FormReader, MegabytesOfGarbageOrDeepNestingFailFast) {
    String noise(10 << 20, '\0');
    std::uint32_t seed = 12345;
    for (char& ch : noise) ch = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    String nested;
    for (int i = 0; i < 100000; ++i) nested += "object P" + std::to_string(i) + ": TPanel\n";
    for (const String& text : {noise, "object F: TForm\n" + String(10 << 20, '['), nested,
                               "object F: TForm\n Caption = '" + String(10 << 20, 'x')}) {
        const auto start = std::chrono::steady_clock::now();
        const EReadError e = ReadBad(text);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << e.what();
        EXPECT_GE(e.Line(), 1) << e.what();
    }
}

}  // namespace
