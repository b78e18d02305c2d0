// The skinned splitter on screen with the test skin (its section "BUTTON"):
// hot under the mouse, pressed only while it resizes live, a real drag
// resizing its neighbour, AutoSnap putting a collapsed control back at the
// splitter, the repaint after waiting for its parent, and the class
// library's look back when the skin goes.
#include "RangeTest.h"

#include "PixelTestSupport.h"
#include "StdCtrls.h"
#include "sGraphUtils.h"
#include "sMessages.h"
#include "sPanel.h"
#include "sSplitter.h"

using namespace rangetest;

namespace {

class Splitter : public RangeTest {
protected:
    void SetUp() override {
        RangeTest::SetUp();
        Side = TObject::Create<TPanel>(Form);
        Side->SetParent(Form);
        Side->SetBounds(0, 0, 100, 100);
        Side->SetAlign(alLeft);
        Split = TObject::Create<TsSplitter>(Form);
        Split->SetParent(Form);
        Split->SetLeft(150);
        Split->SkinData()->SetSkinSection("BUTTON");
        auto* rest = TObject::Create<TPanel>(Form);
        rest->SetParent(Form);
        rest->SetAlign(alClient);
        Pump(30);
    }
    // The splitter's left border column, half way down, as the screen shows it.
    std::uint32_t Look() {
        Split->Repaint();
        Pump(30);
        const Picture p = testsupport::CaptureClient(Form->Handle());
        return p.Pixel(Split->Left() + 1, Split->Height() / 2);
    }
    POINT Middle() { return At(Split, Split->Width() / 2, Split->Height() / 2); }

    TPanel* Side = nullptr;
    TsSplitter* Split = nullptr;
};

TEST_F(Splitter, HotAndLiveDraggingLooksAndARealDrag) {
    EXPECT_EQ(Split->Width(), 6);
    EXPECT_EQ(Split->Left(), 100);
    Split->SetResizeStyle(rsUpdate);
    EXPECT_EQ(Look(), C().Border[0]);
    const POINT from = Middle();
    testinput::MouseTo(from);
    EXPECT_EQ(Look(), C().Border[1]);
    testinput::LeftButton(true);
    EXPECT_EQ(Look(), C().Border[2]);
    testinput::MouseTo(POINT{from.x + 40, from.y});
    EXPECT_EQ(Side->Width(), 140);
    EXPECT_EQ(Split->Left(), 140);
    EXPECT_EQ(Look(), C().Border[2]);
    testinput::LeftButton(false);
    EXPECT_EQ(Look(), C().Border[1]);
    testinput::MouseTo(POINT{from.x + 150, from.y});
    EXPECT_EQ(Look(), C().Border[0]);
}

// A live drag that loses its mouse (a cancel, another window taking it) or
// its splitter ends: the hints come back, the pressed look goes, and a hover
// afterwards resizes nothing.
TEST_F(Splitter, EveryEndOfADragRestoresTheHintsAndTheLook) {
    enum End { CancelMode, CaptureTaken, Freed };
    for (End end : {CancelMode, CaptureTaken, Freed}) {
        SCOPED_TRACE(end);
        Split->SetResizeStyle(rsUpdate);
        Application->SetShowHint(true);
        const POINT from = Middle();
        testinput::MouseTo(from);
        testinput::LeftButton(true);
        testinput::MouseTo(POINT{from.x + 20, from.y});
        ASSERT_TRUE(Split->Dragging());
        EXPECT_FALSE(Application->ShowHint());
        const int width = Side->Width();
        switch (end) {
            case CancelMode: SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0); break;
            case CaptureTaken: SetCapture(Side->Handle()); break;
            case Freed: Split->Free(); break;
        }
        testinput::LeftButton(false);
        ReleaseCapture();
        if (end == Freed) {
            EXPECT_TRUE(Application->ShowHint());
            break;
        }
        const POINT over = At(Split, 1, Split->Height() / 2 + 10);
        for (int dx : {2, 0, -1, -8}) testinput::MouseTo(POINT{over.x + dx, over.y});
        EXPECT_TRUE(Application->ShowHint()) << "the hints stay off after the drag";
        EXPECT_FALSE(Split->Dragging());
        EXPECT_EQ(Side->Width(), width) << "the neighbour follows a mere hover";
        testinput::MouseTo(POINT{over.x + 150, over.y});
        EXPECT_EQ(Look(), C().Border[0]);
    }
}

TEST_F(Splitter, OtherResizeStylesNeverShowPressed) {
    for (TResizeStyle style : {rsPattern, rsLine, rsNone}) {
        Split->SetResizeStyle(style);
        const int before = Side->Width();
        const POINT from = Middle();
        testinput::MouseTo(from);
        testinput::LeftButton(true);
        testinput::MouseTo(POINT{from.x + 20, from.y});
        EXPECT_NE(Look(), C().Border[2]) << style;
        testinput::LeftButton(false);
        EXPECT_EQ(Side->Width(), before + 20) << style;
    }
}

TEST_F(Splitter, AutoSnapPutsACollapsedControlBackAtTheSplitter) {
    auto* collapsed = TObject::Create<TPanel>(Form);
    collapsed->SetParent(Form);
    collapsed->SetBounds(300, 20, 0, 50);
    testinput::Click(Middle());
    EXPECT_EQ(collapsed->Left(), Split->Left());
    collapsed->SetLeft(300);
    Split->SetAutoSnap(false);
    testinput::Click(Middle());
    EXPECT_EQ(collapsed->Left(), 300);
}

TEST_F(Splitter, WaitingForItsParentThenRepaintedAndWithoutSkin) {
    Split->SkinData()->Updating = true;
    Form->Invalidate();
    Pump(30);
    EXPECT_NE(Look(), C().Border[0]);
    // The parent is ready: the windowless splitter paints through Repaint.
    Split->Perform(SM_ALPHACMD, acCommandWParam(AC_PARENTCHANGED), 0);
    EXPECT_EQ(Look(), C().Border[0]);

    Manager->SetActive(false);
    Pump(50);
    for (std::uint32_t skin : {C().Border[0], C().Border[1], C().Button}) EXPECT_NE(Look(), skin);
}

// A container copies its picture round its children, but through splitters:
// a splitter of the class library or a skinned one shows the container's
// background; another windowless child keeps its place for its own paint.
TEST_F(Splitter, ContainerPictureShowsThroughSplittersOnly) {
    auto* panel = Make<TsPanel>(0, 0, 0, 0);
    panel->SetAlign(alNone);
    panel->SetBounds(110, 10, 280, 80);
    const struct {
        const char* What;
        TControl* Child;
        bool ShowsContainer;
    } cases[] = {
        {"splitter", formtest::Make<TSplitter>(panel, 10, 10, 20, 60), true},
        {"skinned splitter", formtest::Make<TsSplitter>(panel, 50, 10, 20, 60), true},
        {"label", formtest::Make<TLabel>(panel, 90, 10, 60, 60), false},
    };
    Pump(30);
    panel->PrepareCache();
    TBitmap target(panel->Width(), panel->Height());
    constexpr std::uint32_t kUntouched = 0xFF00FF;
    target.Canvas()->Brush()->SetColor(testsupport::ToColor(kUntouched));
    target.Canvas()->FillRect(TRect{0, 0, panel->Width(), panel->Height()});
    PaintChildControlsInto(panel, panel->SkinData(), TPoint{0, 0}, 0, 0, false, target.Canvas()->Handle(),
                           TRect{0, 0, panel->Width(), panel->Height()});
    GdiFlush();
    TBitmap& cache = *panel->SkinData()->CacheBmp;
    for (const auto& c : cases) {
        const int x = c.Child->Left() + c.Child->Width() / 2, y = c.Child->Top() + c.Child->Height() / 2;
        const std::uint32_t want = c.ShowsContainer ? testsupport::Px(cache, x, y) : kUntouched;
        EXPECT_EQ(testsupport::Px(target, x, y), want) << c.What;
    }
    // Round the children the container's picture is everywhere.
    EXPECT_EQ(testsupport::Px(target, 200, 40), testsupport::Px(cache, 200, 40));
}

}  // namespace
