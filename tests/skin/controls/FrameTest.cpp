// What every skinned control gets from the shared frame: its own class and
// window class, and the answers to the command message whatever the skin.
#include "SkinnedControlTest.h"

#include "acProgressBar.h"
#include "sAlphaListBox.h"
#include "sButton.h"
#include "sCheckBox.h"
#include "sComboBox.h"
#include "sEdit.h"
#include "sGroupBox.h"
#include "sListView.h"
#include "sPageControl.h"
#include "sPanel.h"
#include "sRadioButton.h"
#include "sRichEdit.h"
#include "sSpeedButton.h"
#include "sSplitter.h"
#include "sTrackBar.h"
#include "sTreeView.h"
#include "sUpDown.h"

using namespace skinnedtest;

namespace {

struct Kind {
    const char* Name;
    std::function<TControl*(TWinControl*)> Make;
    int TypeCode;
};

template <typename T>
std::function<TControl*(TWinControl*)> Placed(int Width, int Height, int Left = 10, int Top = 10) {
    return [=](TWinControl* p) { return Make<T>(p, Left, Top, Width, Height); };
}

// Every class built on the shared frame, and those that only name themselves
// anew (the drag bar, the list box, the combo box and the list view).
const Kind kKinds[] = {
    {"TsButton", Placed<TsButton>(80, 30), 93},
    {"TsPanel", Placed<TsPanel>(120, 60, 10, 50), 51},
    {"TsDragBar", Placed<TsDragBar>(120, 20, 0, 0), 56},
    {"TsSpeedButton", Placed<TsSpeedButton>(80, 30, 10, 120), 92},
    {"TsCheckBox", Placed<TsCheckBox>(100, 20), 32},
    {"TsRadioButton", Placed<TsRadioButton>(100, 20), 33},
    {"TsEdit", Placed<TsEdit>(120, 22), 3},
    {"TsRichEdit", Placed<TsRichEdit>(160, 80), 7},
    {"TsComboBox", Placed<TsComboBox>(120, 22), 3},
    {"TsGroupBox", Placed<TsGroupBox>(160, 100), 74},
    {"TsPageControl", Placed<TsPageControl>(200, 120), 141},
    {"TsProgressBar", Placed<TsProgressBar>(160, 20), 161},
    {"TsSplitter", Placed<TsSplitter>(6, 100), 75},
    {"TsTrackBar", Placed<TsTrackBar>(160, 30), 165},
    {"TsUpDown", Placed<TsUpDown>(20, 30), 0},
    {"TsAlphaListBox", Placed<TsAlphaListBox>(120, 80), 97},
    {"TsListBox", Placed<TsListBox>(120, 80), 97},
    {"TsListView", Placed<TsListView>(160, 100), 10},
    {"TsTreeView", Placed<TsTreeView>(160, 100), 96},
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
