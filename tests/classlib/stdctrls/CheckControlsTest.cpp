// Check boxes, radio buttons, group boxes and radio groups on real windows:
// the non-automatic system buttons, one state change per real click, radio
// buttons excluding their siblings only, the radio group's columns and index.
#include "StdTest.h"
#include "TestInput.h"

#include "ExtCtrls.h"
#include "StdCtrls.h"

using namespace stdtest;

namespace {

void ClickAt(TControl* C, int X, int Y) {
    const TPoint p = C->ClientToScreen(TPoint{X, Y});
    SetCursorPos(p.x, p.y);
    Pump(20);
    testinput::Send({testinput::Button(true), testinput::Button(false)});
    Pump(150);
}

LONG ButtonType(TWinControl* B) { return GetWindowLongA(B->Handle(), GWL_STYLE) & BS_TYPEMASK; }

}  // namespace

TEST(CheckBox, OneRealClickTogglesOnceThroughTheStateCycle) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* box = Make<TCheckBox>(form.get(), 20, 20, 120, 20);
    box->SetCaption("Check");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Pump();
    // The system never toggles it by itself.
    EXPECT_EQ(ButtonType(box), BS_3STATE);
    ClickAt(box, 8, 10);
    EXPECT_EQ(box->State(), cbChecked);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    box->SetAllowGrayed(true);
    const TCheckBoxState cycle[] = {cbUnchecked, cbGrayed, cbChecked};
    for (TCheckBoxState want : cycle) {
        SendMessageA(box->Handle(), BM_CLICK, 0, 0);
        Pump();
        EXPECT_EQ(box->State(), want);
        EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), LRESULT(want));
    }
    EXPECT_EQ(clicks, 4);
}

TEST(RadioButton, CheckingOneUnchecksItsSiblingsOnly) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* a = Make<TRadioButton>(form.get(), 20, 20, 100, 20);
    auto* b = Make<TRadioButton>(form.get(), 20, 50, 100, 20);
    auto* panel = Make<TPanel>(form.get(), 150, 20, 150, 80);
    auto* c = Make<TRadioButton>(panel, 10, 10, 100, 20);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Pump();
    EXPECT_EQ(ButtonType(a), BS_RADIOBUTTON);
    a->SetChecked(true);
    c->SetChecked(true);
    ClickAt(b, 8, 10);
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(c->Checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(SendMessageA(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // A checked button clicked again stays so and changes nothing.
    ClickAt(b, 8, 10);
    EXPECT_TRUE(b->Checked());
    EXPECT_EQ(clicks, 1);
}

TEST(RadioGroup, ItemsFillColumnsAndTheIndexStaysInRange) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* group = Make<TRadioGroup>(form.get(), 10, 10, 310, 130);
    int clicks = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    group->SetColumns(40);
    EXPECT_EQ(group->Columns(), 16);
    group->SetColumns(0);
    EXPECT_EQ(group->Columns(), 1);
    group->SetColumns(3);
    for (const char* s : {"a", "b", "c", "d", "e", "f", "g"}) group->Items()->Add(s);
    form->Show();
    Pump();
    ASSERT_EQ(group->ButtonCount(), 7);
    // Three a column, the third column holding one.
    const int w = (310 - 10) / 3, strip = MeasureText(group->Font(), "0").cy;
    const int h = (130 - strip - 5) / 3;
    for (int i = 0; i < 7; ++i) {
        RECT r;
        GetWindowRect(group->Buttons(i)->Handle(), &r);
        MapWindowPoints(nullptr, group->Handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, (i / 3) * w + 8) << i;
        EXPECT_EQ(r.top, (i % 3) * h + strip + 2) << i;
        EXPECT_EQ(r.right - r.left, w) << i;
    }
    group->SetItemIndex(99);
    EXPECT_EQ(group->ItemIndex(), 6);
    EXPECT_TRUE(group->Buttons(6)->Checked());
    ClickAt(group->Buttons(4), 6, 6);
    EXPECT_EQ(group->ItemIndex(), 4);
    EXPECT_FALSE(group->Buttons(6)->Checked());
    EXPECT_EQ(clicks, 1);
    group->SetItemIndex(-5);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_FALSE(group->Buttons(4)->Checked());
    // Lines deleted under the choice move it to the last line.
    group->SetItemIndex(6);
    group->Items()->Delete(6);
    group->Items()->Delete(5);
    EXPECT_EQ(group->ButtonCount(), 5);
    EXPECT_EQ(group->ItemIndex(), 4);
}

TEST(GroupBox, AlignedChildrenStartBelowTheCaption) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* box = Make<TGroupBox>(form.get(), 10, 10, 200, 120);
    box->SetCaption("Group");
    auto* inner = Make<TPanel>(box, 0, 0, 10, 10);
    inner->SetAlign(alClient);
    form->Show();
    Pump();
    EXPECT_GE(inner->Top(), MeasureText(box->Font(), "0").cy);
    EXPECT_LT(inner->Top(), 40);
    EXPECT_GT(inner->Width(), 180);
}
