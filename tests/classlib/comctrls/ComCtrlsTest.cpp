// The common controls on their comctl32 windows: settings made before the
// window exists reach it and survive a new window. (The skinned tests drive
// them with real input.)
#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "FormTestSupport.h"

using formtest::FormPtr;

namespace {

DWORD StyleOf(TWinControl* C) { return static_cast<DWORD>(GetWindowLongPtrA(C->Handle(), GWL_STYLE)); }

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
    RECT thumb{};
    SendMessageA(first, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    EXPECT_EQ(thumb.bottom - thumb.top, 23);
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

TEST(UpDown, SettingsBeforeTheWindowReachIt) {
    FormPtr form = formtest::MakeForm(40, 40, 420, 300);
    auto* ud = TObject::Create<TUpDown>(form.get());
    ud->SetOrientation(udHorizontal);
    ud->SetMin(-5);
    ud->SetMax(5);
    ud->SetPosition(2);
    ud->SetParent(form.get());
    EXPECT_TRUE(StyleOf(ud) & UDS_HORZ);
    int lo = 0, hi = 0;
    SendMessageA(ud->Handle(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(lo, -5);
    EXPECT_EQ(hi, 5);
    EXPECT_EQ(ud->Position(), 2);
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

}  // namespace

TEST(PageControl, TabsFollowThePagesAndTheirVisibility) {
    FormPtr form = formtest::MakeForm(40, 40, 420, 300);
    auto* pc = TObject::Create<TPageControl>(form.get());
    pc->SetParent(form.get());
    pc->SetBounds(10, 10, 300, 200);
    std::vector<TTabSheet*> pages;
    for (const char* name : {"A", "B", "C"}) {
        auto* s = TObject::Create<TTabSheet>(form.get());
        s->SetCaption(name);
        s->SetPageControl(pc);
        pages.push_back(s);
    }
    HWND tabs = pc->Handle();
    EXPECT_EQ(pc->ActivePage(), pages[0]) << "the first page is shown";
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    // The active page fills the display area; the others are hidden.
    RECT display{0, 0, pc->Width(), pc->Height()};
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    const RECT shown = pages[0]->BoundsRect();
    EXPECT_TRUE(EqualRect(&display, &shown));
    EXPECT_FALSE(pages[1]->Visible());

    pages[1]->SetTabVisible(false);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(pages[1]->TabIndex(), -1);
    EXPECT_EQ(pages[2]->TabIndex(), 1);
    EXPECT_EQ(pc->PageOfTab(1), pages[2]);
    // Selecting a tab shows its page unless OnChanging refuses.
    bool allow = false;
    pc->OnChanging = [&](TObject*, bool& Allow) { Allow = allow; };
    pc->SelectNextPage(true);
    EXPECT_EQ(pc->ActivePage(), pages[0]);
    allow = true;
    pc->SelectNextPage(true);
    EXPECT_EQ(pc->ActivePage(), pages[2]);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);
    // A freed active page hands over to the next one with a tab.
    pages[2]->Free();
    EXPECT_EQ(pc->PageCount(), 2);
    EXPECT_EQ(pc->ActivePage(), pages[0]);
}

TEST(PageControl, AListMadeAnewReachesTheTabControl) {
    FormPtr form = formtest::MakeForm(40, 40, 420, 300);
    auto* pc = TObject::Create<TPageControl>(form.get());
    pc->SetParent(form.get());
    auto* images = TObject::Create<TImageList>(form.get());
    pc->SetImages(images);
    HIMAGELIST first = images->Handle();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(pc->Handle(), TCM_GETIMAGELIST, 0, 0)), first);
    images->SetSize(24, 24);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(pc->Handle(), TCM_GETIMAGELIST, 0, 0)), images->Handle());
    images->Free();
    EXPECT_EQ(pc->Images(), nullptr);
    EXPECT_EQ(SendMessageA(pc->Handle(), TCM_GETIMAGELIST, 0, 0), 0);
}
