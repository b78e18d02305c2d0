// The skinned progress bar on screen with the test skin: the fill of smooth
// and segmented, horizontal and vertical bars for any range (Min other than
// 0, Max = Min, too narrow for blocks, the narrower block at Max); the fill
// following every change, by setter or message; ProgressSkin; the system look
// back when the skin goes. The frame is the flat "COMBOBOX" section, the fill
// "PROGRESSH" / "PROGRESSV".
#include "RangeTest.h"

#include "acProgressBar.h"

using namespace rangetest;

namespace {

struct FillCase {
    int W, H;
    bool Vertical, Smooth;
    int Min, Max, Position;
    int FillPixels;
    POINT Filled, Frame;  // a pixel of the fill and one of the frame beside it
};

class ProgressFill : public RangeTest, public ::testing::WithParamInterface<FillCase> {
protected:
    TsProgressBar* MakeBar(const FillCase& c) {
        auto* bar = TObject::Create<TsProgressBar>(Form);
        bar->SkinData()->SetSkinSection("COMBOBOX");
        bar->SetOrientation(c.Vertical ? pbVertical : pbHorizontal);
        bar->SetSmooth(c.Smooth);
        bar->SetRange(c.Min, c.Max);
        bar->SetPosition(c.Position);
        bar->SetParent(Form);
        bar->SetBounds(10, 10, c.W, c.H);
        return bar;
    }
};

TEST_P(ProgressFill, FillsItsShareOfTheRange) {
    const FillCase c = GetParam();
    TsProgressBar* bar = MakeBar(c);
    const Picture p = Shot(bar);
    const std::uint32_t fill = C().Panel, frame = C().Edit;
    EXPECT_EQ(Count(p, fill), c.FillPixels);
    EXPECT_EQ(p.Pixel(0, 0), frame);
    if (c.FillPixels) {
        EXPECT_EQ(p.Pixel(c.Filled.x, c.Filled.y), fill);
    }
    EXPECT_EQ(p.Pixel(c.Frame.x, c.Frame.y), frame);
}

INSTANTIATE_TEST_SUITE_P(Bars, ProgressFill,
                         ::testing::Values(
                             // 200 x 18 inside a 1-pixel frame; half of it filled.
                             FillCase{202, 20, false, true, 0, 100, 50, 100 * 18, {100, 10}, {101, 10}},
                             FillCase{202, 20, false, true, 50, 100, 75, 100 * 18, {100, 10}, {101, 10}},
                             FillCase{202, 20, false, true, 50, 100, 50, 0, {}, {1, 10}},
                             FillCase{202, 20, false, true, 10, 10, 10, 0, {}, {100, 10}},
                             // Blocks 10 wide (18 x 0.66 - 2), 16 of them with gaps of 2; 40 % is 6 blocks.
                             FillCase{202, 20, false, false, 0, 100, 40, 6 * 10 * 18, {70, 10}, {11, 10}},
                             // At Max the rest of 10 pixels past the last gap holds an 8-pixel block.
                             FillCase{202, 20, false, false, 0, 100, 100, (16 * 10 + 8) * 18, {200, 10}, {192, 10}},
                             FillCase{20, 20, false, false, 0, 100, 100, 0, {}, {10, 10}},
                             // Vertical: up from the bottom.
                             FillCase{20, 102, true, true, 0, 100, 25, 18 * 25, {10, 76}, {10, 75}},
                             FillCase{20, 102, true, false, -50, 50, 0, 4 * 10 * 18, {10, 55}, {10, 90}}));

class ProgressBar : public RangeTest {};

TEST_F(ProgressBar, TheFillFollowsSettersMessagesAndItsSection) {
    auto* bar = Make<TsProgressBar>(10, 10, 102, 12);
    bar->SkinData()->SetSkinSection("COMBOBOX");
    bar->SetSmooth(true);
    auto filled = [&] { return Count(Shot(bar), C().Panel) / 10; };
    bar->SetPosition(20);
    EXPECT_EQ(filled(), 20);
    // Messages straight to the window, with no paint asked for.
    SendMessageA(bar->Handle(), PBM_DELTAPOS, 30, 0);
    Pump(30);
    EXPECT_EQ(Count(testsupport::CaptureClient(bar->Handle()), C().Panel) / 10, 50);
    SendMessageA(bar->Handle(), PBM_SETSTEP, 5, 0);
    SendMessageA(bar->Handle(), PBM_STEPIT, 0, 0);
    EXPECT_EQ(filled(), 55);
    SendMessageA(bar->Handle(), PBM_SETRANGE32, 0, 55);
    EXPECT_EQ(filled(), 100);

    bar->SetProgressSkin("BUTTON");
    EXPECT_EQ(Count(Shot(bar), C().Panel), 0);
    EXPECT_GT(Count(Shot(bar), C().Border[0]), 0);
    bar->SetProgressSkin("NO SUCH SECTION");
    const Picture none = Shot(bar);
    EXPECT_EQ(Count(none, C().Edit), 102 * 12);

    Manager->SetActive(false);
    Pump(50);
    const Picture plain = Shot(bar);
    EXPECT_EQ(Count(plain, C().Edit), 0);
    EXPECT_EQ(Count(plain, C().Panel), 0);
}

// With a BorderWidth the band round the client is the skin's frame too, the
// frame's right column shows, and the fill is where its range puts it after
// every change (nothing stale in the band or the client).
TEST_F(ProgressBar, ABorderWidthShowsTheWholeFrameRoundTheFill) {
    auto* bar = Make<TsProgressBar>(10, 10, 60, 20);
    bar->SkinData()->SetSkinSection("COMBOBOX");  // flat, in the edit's colour
    bar->SetSmooth(true);
    bar->SetBorderWidth(3);
    const int b = 3 + 1;
    for (const int position : {100, 50, 0, 75}) {
        bar->SetPosition(position);
        Pump(40);
        const Picture p = testsupport::CaptureWindow(bar->Handle());
        ASSERT_EQ(p.Width, 60);
        const int right = b + (52 * position + 50) / 100;
        EXPECT_EQ(Count(p, C().Panel), (right - b) * 12) << position;
        EXPECT_EQ(Count(p, RECT{b, b, right, 16}, C().Panel), (right - b) * 12) << position;
        EXPECT_EQ(Count(p, C().Edit), 60 * 20 - (right - b) * 12) << position;
        EXPECT_EQ(p.Pixel(59, 10), C().Edit) << position;
        EXPECT_EQ(p.Pixel(57, 18), C().Edit) << position;
    }
}

}  // namespace
