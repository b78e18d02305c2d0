// The control adapter on real forms: which control gets which adapter by its
// class name, labels, the walks after a control is created or moved, the
// owner's event and rules, skin removal, and freeing with the form.
#include "SimpleTestSupport.h"

#include "Buttons.h"
#include "TestAccess.h"
#include "ExtCtrls.h"
#include "StdCtrlsLists.h"
#include "sMessages.h"
#include "FormCtrlAdapter.h"

#include <map>

namespace {

using namespace simpletest;

// Controls of other libraries, known to the adapter only by class name.
#define TEST_CONTROL_CLASS(Cpp, Base, Name, ButtonType)                             \
    class Cpp : public Base {                                                       \
    public:                                                                         \
        explicit Cpp(TComponent* AOwner) : Base(AOwner) {}                          \
        static const TClassInfo& StaticClassInfo() {                                \
            static const TClassInfo info(Name, &Base::StaticClassInfo());           \
            return info;                                                            \
        }                                                                           \
        const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); } \
                                                                                    \
    protected:                                                                      \
        void CreateParams(TCreateParams& P) override {                              \
            Base::CreateParams(P);                                                  \
            P.Style = (P.Style & ~DWORD(BS_TYPEMASK)) | (ButtonType);               \
        }                                                                           \
    };
TEST_CONTROL_CLASS(TTestCheckBox, TButton, "TCheckBox", BS_AUTOCHECKBOX)
TEST_CONTROL_CLASS(TTestRadio, TButton, "TRadioButton", BS_AUTORADIOBUTTON)
TEST_CONTROL_CLASS(TTestGroupBox, TButton, "TGroupBox", BS_GROUPBOX)
TEST_CONTROL_CLASS(TOtherButton, TButton, "TOtherButton", BS_PUSHBUTTON)

class CtrlAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Manager();
        MouseAway();
        form = formtest::MakeForm(60, 60, 460, 320);
        panel = formtest::Make<TPanel>(form.get(), 240, 10, 200, 140);
        button = formtest::Make<TButton>(form.get(), 10, 10, 100, 30);
        button->SetCaption("OK");
        named(button, "button");
        named(formtest::Make<TBitBtn>(form.get(), 120, 10, 100, 30), "bitbtn");
        named(formtest::Make<TTestCheckBox>(form.get(), 10, 50, 100, 20), "check");
        named(formtest::Make<TTestRadio>(form.get(), 120, 50, 100, 20), "radio");
        named(formtest::Make<TTestGroupBox>(form.get(), 10, 80, 200, 80), "group");
        named(formtest::Make<TEdit>(form.get(), 10, 170, 100, 24), "edit");
        named(formtest::Make<TMemo>(form.get(), 120, 170, 100, 60), "memo");
        named(formtest::Make<TListBox>(form.get(), 10, 200, 100, 60), "list");
        named(formtest::Make<TOtherButton>(panel, 10, 10, 100, 30), "other");
        named(panel, "panel");
        untouched = formtest::Make<TButton>(form.get(), 120, 240, 100, 30);
        untouched->SetTag(acNoSkinTag);
        named(untouched, "tagged");
        label = formtest::Make<TLabel>(panel, 10, 60, 80, 16);
        label->SetCaption("Label");
        form->Show();
        Pump();
    }
    void TearDown() override {
        Manager()->ThirdParty()->ThirdButtons()->SetText("TButton");
        Manager()->SkinningRules.Include(srThirdParty);
    }
    void named(TWinControl* C, const char* Name) { controls[Name] = C; }
    TacFormCtrlAdapter* Adapt() {
        auto* a = TObject::Create<TacFormCtrlAdapter>(form.get());
        Pump();
        return a;
    }
    // The adapter's class of each named control ("" without an item).
    std::map<std::string, std::string> Kinds(TacCtrlAdapter* A) {
        std::map<std::string, std::string> kinds;
        for (const auto& [name, c] : controls) {
            const int i = A->IndexOf(c);
            kinds[name] = i < 0 ? "" : A->GetItem(i)->WndObject->ClassName();
        }
        return kinds;
    }
    formtest::FormPtr form;
    TPanel* panel = nullptr;
    TButton* button = nullptr;
    TButton* untouched = nullptr;
    TLabel* label = nullptr;
    std::map<std::string, TWinControl*> controls;
};

TEST_F(CtrlAdapterTest, EachControlGetsTheAdapterOfItsClassList) {
    Manager()->ThirdParty()->ThirdButtons()->Add("TOtherButton");  // a class the user named
    TacCtrlAdapter* a = Adapt()->Adapter();
    const std::map<std::string, std::string> expected = {
        {"button", "TacBtnWnd"},     {"bitbtn", "TacBitBtnWnd"},
        {"check", "TacCheckBoxWnd"}, {"radio", "TacCheckBoxWnd"},
        {"group", "TacGroupBoxWnd"}, {"panel", "TacPanelWnd"},
        {"other", "TacBtnWnd"},      {"tagged", ""},
        {"edit", "TacEditWnd"},      {"memo", "TacEditWnd"},
        {"list", "TacEditWnd"},
    };
    EXPECT_EQ(Kinds(a), expected);
    // The skin paints each adapted control whole.
    for (const auto& [name, c] : controls)
        EXPECT_TRUE(expected.at(name).empty() || c->ControlStyle().Contains(csOpaque)) << name;
    EXPECT_EQ(a->GetItem(a->IndexOf(button))->SkinData->SkinSection(), "BUTTON");
    EXPECT_EQ(a->GetItem(a->IndexOf(panel))->SkinData->SkinSection(), "PANEL");
    EXPECT_EQ(a->GetItem(a->IndexOf(controls["group"]))->SkinData->SkinSection(), "GROUPBOX");
    // Plain labels take the skin's colours instead.
    EXPECT_TRUE(label->Transparent());
    EXPECT_EQ(testsupport::RGBOfColor(label->Font()->Color()), C().GlobalFont);
    // Painted from the sections, through the controls' own windows.
    EXPECT_EQ(WindowPixel(button->Handle(), 6, 15), C().Button);
    EXPECT_EQ(WindowPixel(panel->Handle(), 1, 70), C().Border[0]);
    // A second walk changes nothing.
    const int count = a->Count();
    a->AddAllItems();
    EXPECT_EQ(a->Count(), count);
    EXPECT_EQ(a->GetItem(a->IndexOf(button))->SkinData->SkinSection(), "BUTTON");
}

TEST_F(CtrlAdapterTest, OwnerRulesAndEventDecide) {
    struct Case {
        const char* Name;
        std::function<void(TacCtrlAdapter*)> Prepare;
        int Expected;  // items
    };
    const Case cases[] = {
        {"all", [](TacCtrlAdapter*) {}, 9},
        {"no third-party rule", [](TacCtrlAdapter*) { Manager()->SkinningRules.Exclude(srThirdParty); }, 0},
        {"event refuses buttons",
         [this](TacCtrlAdapter* a) {
             a->OnSkinItem = [this](TComponent* c, bool& can, String&) { can = c != button && c != untouched; };
         },
         8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TacCtrlAdapter a(nullptr, form.get());
        c.Prepare(&a);
        a.AddAllItems();
        EXPECT_EQ(a.Count(), c.Expected);
        Manager()->SkinningRules.Include(srThirdParty);
    }
    // A section the event chooses stays with the kinds that keep theirs.
    TacCtrlAdapter a(nullptr, form.get());
    a.OnSkinItem = [](TComponent*, bool&, String& section) { section = "PANEL"; };
    a.AddAllItems();
    EXPECT_EQ(a.GetItem(a.IndexOf(controls["edit"]))->SkinData->SkinSection(), "PANEL");
    EXPECT_EQ(a.GetItem(a.IndexOf(button))->SkinData->SkinSection(), "BUTTON");
}

TEST_F(CtrlAdapterTest, SkinnedControlsAreLeftAlone) {
    // A control that answers the skinned query already is never adapted.
    TWindowProcHook skinned;
    skinned.Attach(button, [&](TMessage& M) {
        if (IsSkinCommand(M, AC_SKINNEDQUERY)) M.LParam = M.Result = 1;
        else skinned.CallPrevious(M);
    });
    TacCtrlAdapter* a = Adapt()->Adapter();
    EXPECT_EQ(a->IndexOf(button), -1);
    EXPECT_NE(a->IndexOf(controls["bitbtn"]), -1);
    skinned.Release();
}

TEST_F(CtrlAdapterTest, ClicksStillReachTheControls) {
    Adapt();
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    auto* check = controls["check"];
    testinput::Click(ScreenPoint(button->Handle(), 50, 15));
    testinput::Click(ScreenPoint(check->Handle(), 5, 10));
    MouseAway();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(SendMessageA(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(WindowPixel(check->Handle(), 3, 10), C().Box[1][1]);
}

TEST_F(CtrlAdapterTest, ReparentedControlIsAdaptedOnce) {
    TacCtrlAdapter* a = Adapt()->Adapter();
    auto* b = formtest::Make<TButton>(form.get(), 10, 280, 80, 24);
    Pump();  // the walk after its creation
    ASSERT_NE(a->IndexOf(b), -1);
    b->SetParent(panel);
    Pump();
    int items = 0;
    for (int i = 0; i < a->Count(); ++i) items += a->GetItem(i)->Ctrl == b;
    EXPECT_EQ(items, 1);
    TacAdapterItem* item = a->GetItem(a->IndexOf(b));
    EXPECT_FALSE(item->WndObject->Destroyed);
    EXPECT_EQ(AdapterOfWindow(b->Handle()), item->WndObject);
    EXPECT_EQ(GetParent(b->Handle()), panel->Handle());
}

TEST_F(CtrlAdapterTest, SkinRemovalAndFreeingGiveTheControlsBack) {
    const std::uint32_t own = testsupport::RGBOf(GetSysColor(COLOR_BTNFACE));
    TacFormCtrlAdapter* holder = Adapt();
    ASSERT_TRUE(QuerySkinCommand(button, AC_SKINNEDQUERY));
    Manager()->SetActive(false);
    Pump();
    EXPECT_EQ(holder->Adapter()->Count(), 0);
    EXPECT_FALSE(QuerySkinCommand(button, AC_SKINNEDQUERY));
    EXPECT_FALSE(controls["group"]->ControlStyle().Contains(csOpaque)) << "a group box paints only its frame";
    EXPECT_EQ(WindowPixel(button->Handle(), 6, 15), own);
    Manager()->SetActive(true);
    Pump();
    EXPECT_TRUE(QuerySkinCommand(button, AC_SKINNEDQUERY));
    EXPECT_EQ(WindowPixel(button->Handle(), 6, 15), C().Button);
    holder->Free();
    Pump();
    EXPECT_FALSE(QuerySkinCommand(button, AC_SKINNEDQUERY));
    // With the form: nothing is left attached to a window.
    Adapt();
    const int before = AttachedAdapterCount();
    EXPECT_GT(before, 0);
    form.reset();
    EXPECT_EQ(AttachedAdapterCount(), 0);
}

}  // namespace
