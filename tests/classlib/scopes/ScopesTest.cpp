// The scope objects undo what they did on every way out of a block,
// exceptions included: DC state, selected objects, flags, memory DCs.
#include <gtest/gtest.h>

#include "Controls.h"
#include "Scopes.h"

#include <stdexcept>

namespace {

TEST(Scopes, DCStateAndSelectedObjectComeBackWhenABlockThrows) {
    const TMemoryDC dc;
    ASSERT_NE(dc.Handle(), nullptr);
    HGDIOBJ brushBefore = GetCurrentObject(dc, OBJ_BRUSH);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    try {
        const TSavedDC saved(dc);
        const TSelectedObject selected(dc, red);
        SetMapMode(dc, MM_LOMETRIC);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), red);
        throw std::runtime_error("paint failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brushBefore);
    EXPECT_EQ(GetMapMode(dc), MM_TEXT);
    EXPECT_TRUE(DeleteObject(red)) << "still selected somewhere";
}

TEST(Scopes, FlagsComeBackAsTheyWere) {
    for (bool wasIn : {false, true}) {
        TControlState state;
        if (wasIn) state.Include(csCustomPaint);
        bool flag = wasIn;
        try {
            const TFlagScope<TControlState, TControlStateItem> custom(state, csCustomPaint);
            const TBoolScope guard(flag, true);
            EXPECT_TRUE(state.Contains(csCustomPaint));
            EXPECT_TRUE(flag);
            throw std::runtime_error("handler failed");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(state.Contains(csCustomPaint), wasIn);
        EXPECT_EQ(flag, wasIn);
    }
}

}  // namespace
