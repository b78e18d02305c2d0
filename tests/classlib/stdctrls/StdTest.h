// Helpers of the standard-control tests: host forms, message pumping, and
// controls painted into a bitmap whose pixels are then read back.
#pragma once

#include <gtest/gtest.h>

#include "Controls.h"
#include "FormTestSupport.h"
#include "Forms.h"
#include "PixelTestSupport.h"
#include "TestSupport.h"

#include <functional>
#include <memory>

namespace stdtest {

using formtest::FormDeleter;
using formtest::FormPtr;
using formtest::Make;
using formtest::MakeForm;
using formtest::Pump;

using testsupport::RGBOfColor;

using testsupport::FindColor;
using testsupport::FindPixels;
using testsupport::Px;

// The control painted as its parent paints it (WM_PAINT with a DC, the
// origin at its corner) into a bitmap of its size first filled with Back.
inline std::unique_ptr<TBitmap> PaintControl(TControl* Control, TColor Back = clFuchsia) {
    auto bmp = std::make_unique<TBitmap>(Control->Width(), Control->Height());
    bmp->Canvas()->Brush()->SetColor(Back);
    bmp->Canvas()->FillRect(Rect(0, 0, Control->Width(), Control->Height()));
    Control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), 0);
    GdiFlush();
    return bmp;
}

// The size DrawText gives Text in Font (one line unless WordBreakWidth > 0).
inline TSize MeasureText(TFont* Font, const String& Text, int WordBreakWidth = 0) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font->Handle());
    TRect r{0, 0, WordBreakWidth, 0};
    DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &r,
              DT_CALCRECT | DT_EXPANDTABS | (WordBreakWidth > 0 ? DT_WORDBREAK : 0));
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return TSize{r.right - r.left, r.bottom - r.top};
}

inline bool SameRect(const TRect& A, const TRect& B) {
    return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

}  // namespace stdtest

inline std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
