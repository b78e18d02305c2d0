// One control described by the same lines in every order: each order is read
// into a form of its own, and the control must come out the same, in its
// published values and in its window once the window exists.
#pragma once

#include "ComCtrls.h"
#include "FormReader.h"
#include "FormTestSupport.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

namespace formtest {

struct TDescribedControl {
    const char* Class;
    std::vector<const char*> Lines;
    // Published ordinal values read back, in any order of the lines.
    std::vector<std::pair<const char*, std::int64_t>> Values;
    // A message the window answers with its state (0: none), and the answer.
    UINT StateMessage = 0;
    LRESULT State = 0;
    // Style bits the window must have (its orientation).
    DWORD Style = 0;
};

inline String DescriptionOf(const TDescribedControl& c, const std::vector<int>& order) {
    String text = "object F: TForm\n object C: " + String(c.Class) + "\n";
    for (int i : order) text += "  " + String(c.Lines[i]) + "\n";
    return text + " end\nend";
}

// Reads every order of c's lines; each must read.
inline void ExpectSameInEveryOrder(const TDescribedControl& c) {
    std::vector<int> order(c.Lines.size());
    std::iota(order.begin(), order.end(), 0);
    int orders = 0, expected = 1;
    for (std::size_t n = 2; n <= c.Lines.size(); ++n) expected *= int(n);
    do {
        const String text = DescriptionOf(c, order);
        FormPtr form(TObject::Create<TForm>(nullptr));
        try {
            ReadComponentFromText(form.get(), text);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what() << "\n" << text;
            continue;
        }
        auto* control = dynamic_cast<TWinControl*>(form->FindComponent("C"));
        if (!control) {
            ADD_FAILURE() << "no control C\n" << text;
            continue;
        }
        ++orders;
        for (const auto& [name, value] : c.Values) EXPECT_EQ(GetOrdProp(control, name), value) << name << "\n" << text;
        // The window is made from what was read.
        form->HandleNeeded();
        RECT r{};
        GetWindowRect(control->Handle(), &r);
        EXPECT_EQ(r.right - r.left, control->Width()) << text;
        EXPECT_EQ(r.bottom - r.top, control->Height()) << text;
        EXPECT_EQ(GetWindowLongA(control->Handle(), GWL_STYLE) & c.Style, LONG(c.Style)) << text;
        if (c.StateMessage) {
            EXPECT_EQ(SendMessageA(control->Handle(), c.StateMessage, 0, 0), c.State) << text;
        }
        for (const auto& [name, value] : c.Values) EXPECT_EQ(GetOrdProp(control, name), value) << name << "\n" << text;
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(orders, expected) << c.Class;
}

// The cases the class library's controls and the skinned ones share, by
// their class names: a turned track bar and up-down whose size is the size
// written, a position written before its range, a check box's state.
inline std::vector<TDescribedControl> SharedOrderCases(const char* TrackBar, const char* UpDown, const char* CheckBox) {
    return {
        {TrackBar,
         {"Orientation = trVertical", "Width = 45", "Height = 200", "Max = 100", "Position = 80"},
         {{"Orientation", trVertical}, {"Width", 45}, {"Height", 200}, {"Max", 100}, {"Position", 80}},
         TBM_GETPOS,
         80,
         TBS_VERT},
        {UpDown,
         {"Orientation = udHorizontal", "Width = 40", "Height = 17", "Max = 500", "Position = 300"},
         {{"Orientation", udHorizontal}, {"Width", 40}, {"Height", 17}, {"Max", 500}, {"Position", 300}},
         UDM_GETPOS32,
         300,
         UDS_HORZ},
        {CheckBox,
         {"Checked = True", "Caption = 'Box'", "Width = 60"},
         {{"Checked", 1}, {"State", cbChecked}},
         BM_GETCHECK,
         BST_CHECKED},
        {CheckBox,
         {"AllowGrayed = True", "State = cbGrayed", "Checked = False"},
         {{"Checked", 0}, {"State", cbGrayed}},
         BM_GETCHECK,
         BST_INDETERMINATE},
    };
}

}  // namespace formtest
