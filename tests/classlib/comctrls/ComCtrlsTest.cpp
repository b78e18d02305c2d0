// The common controls on their comctl32 windows: settings made before the
// window exists reach it and survive a new window; real clicks move the
// up-down arrows with their events (the skinned tests drag the track bar).
#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "FormTestSupport.h"
#include "TestInput.h"

using formtest::FormPtr;
using formtest::Pump;

namespace {

FormPtr ShownForm() {
    FormPtr form = formtest::MakeForm(40, 40, 420, 300);
    form->Show();
    Pump(50);
    SetForegroundWindow(form->Handle());
    Pump(30);
    return form;
}

DWORD StyleOf(TWinControl* C) { return static_cast<DWORD>(GetWindowLongPtrA(C->Handle(), GWL_STYLE)); }

POINT ScreenOf(TControl* C, int X, int Y) {
    const TPoint p = C->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
}

TEST(TrackBar, SettingsBeforeTheWindowReachItAndSurviveANewOne) {
    FormPtr form = formtest::MakeForm(40, 40, 420, 300);
    auto* bar = TObject::Create<TTrackBar>(form.get());
    bar->SetBounds(10, 10, 200, 40);
    bar->SetRange(5, 25);
    bar->SetPosition(12);
    bar->SetThumbLength(23);
    bar->SetTickStyle(tsManual);
    bar->SetTick(8);
    bar->SetTick(20);
    bar->SetParent(form.get());
    HWND first = bar->Handle();
    EXPECT_EQ(SendMessageA(first, TBM_GETRANGEMIN, 0, 0), 5);
    EXPECT_EQ(SendMessageA(first, TBM_GETRANGEMAX, 0, 0), 25);
    EXPECT_EQ(SendMessageA(first, TBM_GETPOS, 0, 0), 12);
    // TBS_FIXEDLENGTH is what lets the thumb take its length.
    EXPECT_TRUE(StyleOf(bar) & TBS_FIXEDLENGTH);
    EXPECT_EQ(SendMessageA(first, TBM_GETTHUMBLENGTH, 0, 0), 23);
    EXPECT_EQ(SendMessageA(first, TBM_GETNUMTICS, 0, 0), 4);  // both ends and the two set
    EXPECT_EQ(SendMessageA(first, TBM_GETTIC, 0, 0) + SendMessageA(first, TBM_GETTIC, 1, 0), 28);

    // A new window (here for the tick side) keeps position, range and ticks.
    bar->SetTickMarks(tmBoth);
    EXPECT_NE(bar->Handle(), first);
    EXPECT_TRUE(StyleOf(bar) & TBS_BOTH);
    EXPECT_EQ(bar->Position(), 12);
    EXPECT_EQ(SendMessageA(bar->Handle(), TBM_GETNUMTICS, 0, 0), 4);
    // Turned upright, width and height change places.
    bar->SetOrientation(trVertical);
    EXPECT_TRUE(StyleOf(bar) & TBS_VERT);
    EXPECT_EQ(bar->Width(), 40);
    EXPECT_EQ(bar->Height(), 200);
    EXPECT_EQ(bar->Position(), 12);
    // Position set by code is a change too, once per change.
    int changes = 0;
    bar->OnChange = [&](TObject*) { ++changes; };
    bar->SetPosition(3);
    bar->SetPosition(3);
    EXPECT_EQ(changes, 1);
}

TEST(ProgressBar, SettingsBeforeTheWindowReachIt) {
    FormPtr form = formtest::MakeForm(40, 40, 420, 300);
    auto* bar = TObject::Create<TProgressBar>(form.get());
    bar->SetRange(20, 60);
    bar->SetPosition(30);
    bar->SetStep(5);
    bar->SetSmooth(true);
    bar->SetOrientation(pbVertical);
    bar->SetParent(form.get());
    PBRANGE range{};
    SendMessageA(bar->Handle(), PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 20);
    EXPECT_EQ(range.iHigh, 60);
    EXPECT_EQ(bar->Position(), 30);
    EXPECT_TRUE(StyleOf(bar) & PBS_SMOOTH);
    EXPECT_TRUE(StyleOf(bar) & PBS_VERTICAL);
    bar->StepIt();
    EXPECT_EQ(bar->Position(), 35);
    bar->SetSmooth(false);  // a new window
    EXPECT_FALSE(StyleOf(bar) & PBS_SMOOTH);
    EXPECT_EQ(bar->Position(), 35);
}

struct UpDownCase {
    TUDOrientation Orientation;
    bool SecondHalf;
    int Expected;
    TUDBtnType Button;
};

class UpDownClicks : public ::testing::TestWithParam<UpDownCase> {};

TEST_P(UpDownClicks, ARealClickOnAHalfMovesPosition) {
    const UpDownCase c = GetParam();
    FormPtr form = ShownForm();
    auto* ud = TObject::Create<TUpDown>(form.get());
    ud->SetOrientation(c.Orientation);
    ud->SetMin(-5);
    ud->SetMax(5);
    ud->SetPosition(2);
    ud->SetIncrement(2);
    ud->SetParent(form.get());
    ud->SetLeft(50);
    ud->SetTop(50);
    EXPECT_EQ(ud->Position(), 2);
    int lo = 0, hi = 0;
    SendMessageA(ud->Handle(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(lo, -5);
    EXPECT_EQ(hi, 5);
    std::vector<TUDBtnType> clicks;
    ud->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
    const bool horz = c.Orientation == udHorizontal;
    const int x = horz ? (c.SecondHalf ? ud->Width() * 3 / 4 : ud->Width() / 4) : ud->Width() / 2;
    const int y = horz ? ud->Height() / 2 : (c.SecondHalf ? ud->Height() * 3 / 4 : ud->Height() / 4);
    testinput::Click(ScreenOf(ud, x, y));
    EXPECT_EQ(ud->Position(), c.Expected);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], c.Button);
    // OnChanging can refuse the next step.
    ud->OnChanging = [](TObject*, bool& allow) { allow = false; };
    testinput::Click(ScreenOf(ud, x, y));
    EXPECT_EQ(ud->Position(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Halves, UpDownClicks,
                         ::testing::Values(UpDownCase{udVertical, false, 4, btNext},
                                           UpDownCase{udVertical, true, 0, btPrev},
                                           UpDownCase{udHorizontal, false, 0, btPrev},
                                           UpDownCase{udHorizontal, true, 4, btNext}));

}  // namespace
