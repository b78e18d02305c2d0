// What every skinned control gets from the shared frame: its own class and
// window class, and the answers to the command message whatever the skin.
#include "SkinnedControlTest.h"

#include "sButton.h"
#include "sPanel.h"
#include "sSpeedButton.h"

using namespace skinnedtest;

namespace {

struct Kind {
    const char* Name;
    std::function<TControl*(TWinControl*)> Make;
    int TypeCode;
};

const Kind kKinds[] = {
    {"TsButton", [](TWinControl* p) { return Make<TsButton>(p, 10, 10, 80, 30); }, 93},
    {"TsPanel", [](TWinControl* p) { return Make<TsPanel>(p, 10, 50, 120, 60); }, 51},
    {"TsDragBar", [](TWinControl* p) { return Make<TsDragBar>(p, 0, 0, 120, 20); }, 56},
    {"TsSpeedButton", [](TWinControl* p) { return Make<TsSpeedButton>(p, 10, 120, 80, 30); }, 92},
};

class Frame : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        ASSERT_TRUE(Skin::Get().Manager()->Active());
        form = MakeForm(60, 60, 400, 300);
        control = GetParam().Make(form.get());
        form->Show();
        Pump();
    }
    FormPtr form;
    TControl* control = nullptr;
};

TEST_P(Frame, OwnClassAndWindowClass) {
    EXPECT_EQ(control->ClassName(), GetParam().Name);
    auto* data = dynamic_cast<TsCommonData*>(GetObjectProp(control, "SkinData"));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->ControlTypeCode, GetParam().TypeCode);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        char name[64] = {};
        GetClassNameA(w->Handle(), name, sizeof name);
        EXPECT_STREQ(name, GetParam().Name);
    }
}

TEST_P(Frame, IdentityAnswersWithOrWithoutSkin) {
    for (bool active : {false, true}) {
        Skin::Get().Manager()->SetActive(active);
        Pump();
        TMessage q{SM_ALPHACMD, acCommandWParam(AC_SKINNEDQUERY), 0, 0};
        control->Perform(q);
        EXPECT_EQ(q.LParam, 1) << active;
        EXPECT_EQ(Command(control, AC_GETAPPLICATION),
                  reinterpret_cast<LRESULT>(static_cast<TApplication*>(Application)))
            << active;
    }
}

INSTANTIATE_TEST_SUITE_P(SkinnedControls, Frame, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<Kind>& i) { return std::string(i.param.Name); });

}  // namespace
