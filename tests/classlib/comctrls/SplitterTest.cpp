// The splitter dragged by real mouse input: the neighbour on each side takes
// the size the drag gives it, within MinSize and the room the others leave,
// collapses with AutoSnap, as OnCanResize shapes or refuses it; OnMoved is told.
// A drag whose mouse is taken away ends there: hovering afterwards resizes nothing.
#include <gtest/gtest.h>

#include "ExtCtrls.h"
#include "FormTestSupport.h"
#include "TestInput.h"

using formtest::FormPtr;
using formtest::Pump;

namespace {

struct SplitCase {
    TAlign Align;
    TResizeStyle Style;
    int Delta;  // mouse move along the splitter's axis
    bool AutoSnap;
    int Expected;       // the neighbour's size after; -1: as large as allowed
    bool Tens = false;  // OnCanResize takes sizes down to tens and refuses those above 160
};

class SplitterDrag : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitterDrag, TheNeighbourTakesTheSizeOfTheDrag) {
    const SplitCase c = GetParam();
    FormPtr form = formtest::MakeForm(40, 40, 420, 320);
    form->Show();
    Pump(50);
    SetForegroundWindow(form->Handle());
    const bool horz = c.Align == alLeft || c.Align == alRight;
    auto* side = TObject::Create<TPanel>(form.get());
    side->SetParent(form.get());
    side->SetBounds(c.Align == alRight ? 300 : 0, c.Align == alBottom ? 200 : 0, 100, 100);
    side->SetAlign(c.Align);
    auto* split = TObject::Create<TSplitter>(form.get());
    split->SetParent(form.get());
    split->SetBounds(c.Align == alRight ? 250 : 150, c.Align == alBottom ? 150 : 150, 3, 3);
    split->SetAlign(c.Align);
    if (!horz) split->SetHeight(3);
    auto* rest = TObject::Create<TPanel>(form.get());
    rest->SetParent(form.get());
    rest->SetAlign(alClient);
    split->SetResizeStyle(c.Style);
    split->SetAutoSnap(c.AutoSnap);
    int moved = 0;
    split->OnMoved = [&](TObject*) { ++moved; };
    if (c.Tens)
        split->OnCanResize = [](TObject*, int& size, bool& accept) {
            size = size / 10 * 10;
            accept = size <= 160;
        };
    Pump(30);
    ASSERT_EQ(split->FindSizedControl(), side);

    const TPoint mid = split->ClientToScreen(TPoint{split->Width() / 2, split->Height() / 2});
    POINT from{mid.x, mid.y}, half = from, to = from;
    (horz ? half.x : half.y) += c.Delta / 2;
    (horz ? to.x : to.y) += c.Delta;
    testinput::Drag(from, {half, to});
    const int room = (horz ? form->ClientWidth() : form->ClientHeight()) - split->MinSize() - 3;
    const int expected = c.Expected < 0 ? room : c.Expected;
    EXPECT_EQ(horz ? side->Width() : side->Height(), expected);
    EXPECT_GT(moved, 0);
    EXPECT_FALSE(split->Sizing());
    EXPECT_EQ(split->Cursor(), horz ? crHSplit : crVSplit);
}

INSTANTIATE_TEST_SUITE_P(
    Sides, SplitterDrag,
    ::testing::Values(SplitCase{alLeft, rsUpdate, 50, true, 150}, SplitCase{alLeft, rsPattern, 1000, true, -1},
                      SplitCase{alLeft, rsLine, -90, false, 30}, SplitCase{alLeft, rsNone, -90, true, 0},
                      SplitCase{alRight, rsUpdate, -50, true, 150}, SplitCase{alTop, rsPattern, 40, true, 140},
                      SplitCase{alBottom, rsUpdate, -40, true, 140}, SplitCase{alLeft, rsUpdate, 37, true, 130, true},
                      SplitCase{alLeft, rsUpdate, 70, true, 130, true}));

// The ways a drag loses its mouse before the release.
enum class Lost { CancelMode, CaptureTaken };

TEST(SplitterLostMouse, ADragThatLostTheMouseEndsAndAHoverResizesNothing) {
    for (Lost how : {Lost::CancelMode, Lost::CaptureTaken}) {
        for (TResizeStyle style : {rsUpdate, rsPattern}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(how)) + " " + std::to_string(static_cast<int>(style)));
            FormPtr form = formtest::MakeForm(40, 40, 420, 320);
            form->Show();
            Pump(50);
            SetForegroundWindow(form->Handle());
            auto* side = TObject::Create<TPanel>(form.get());
            side->SetParent(form.get());
            side->SetBounds(0, 0, 100, 100);
            side->SetAlign(alLeft);
            auto* split = TObject::Create<TSplitter>(form.get());
            split->SetParent(form.get());
            split->SetLeft(150);
            split->SetResizeStyle(style);
            auto* rest = TObject::Create<TPanel>(form.get());
            rest->SetParent(form.get());
            rest->SetAlign(alClient);
            Pump(30);
            const TPoint mid = split->ClientToScreen(TPoint{split->Width() / 2, split->Height() / 2});
            testinput::MouseTo(POINT{mid.x, mid.y});
            testinput::LeftButton(true);
            testinput::MouseTo(POINT{mid.x + 20, mid.y});
            ASSERT_TRUE(split->Sizing());
            const int width = side->Width();
            if (how == Lost::CancelMode) SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
            else SetCapture(rest->Handle());
            testinput::LeftButton(false);
            ReleaseCapture();
            if (how == Lost::CancelMode) {
                EXPECT_FALSE(split->Sizing());
            }
            // Hovering over the splitter, where it is now, with no button held.
            const TPoint at = split->ClientToScreen(TPoint{0, split->Height() / 2 + 10});
            for (int dx : {2, 0, 1, -8}) testinput::MouseTo(POINT{at.x + dx, at.y});
            EXPECT_EQ(side->Width(), width) << "the neighbour follows a mere hover";
            EXPECT_FALSE(split->Sizing());
        }
    }
}

}  // namespace
