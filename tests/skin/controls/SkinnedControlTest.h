// Shared by the tests of the labels, the speed button, the panel and the drag
// bar: the test skin in one default manager, host forms, controls painted into
// bitmaps, and pixel searches.
#pragma once

#include <gtest/gtest.h>

#include "Controls.h"
#include "FormTestSupport.h"
#include "Forms.h"
#include "PixelTestSupport.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace skinnedtest {

using testsupport::Ch;
using testsupport::ToColor;
inline std::uint32_t ToRgb(TColor c) { return testsupport::RGBOfColor(c); }

// The test skin, loaded once into the default manager of the executable.
using Skin = testsupport::SharedTestSkin;

using formtest::FormDeleter;
using formtest::FormPtr;
using formtest::Make;
using formtest::MakeForm;
using formtest::Pump;

using testsupport::FindColor;
using testsupport::FindPixels;
using testsupport::Px;

// A windowless control painted as its parent paints it, into a bitmap of its
// size first filled with Back.
inline std::unique_ptr<TBitmap> PaintGraphic(TControl* Control, std::uint32_t BackRgb = 0xFFFFFF) {
    auto bmp = std::make_unique<TBitmap>(Control->Width(), Control->Height());
    bmp->Canvas()->Brush()->SetColor(ToColor(BackRgb));
    bmp->Canvas()->FillRect(Rect(0, 0, Control->Width(), Control->Height()));
    Control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), 0);
    GdiFlush();
    return bmp;
}

inline TRect All(TBitmap& Bmp) { return TRect{0, 0, Bmp.Width(), Bmp.Height()}; }

// A font whose pixels are exactly its colour (no smoothing).
inline void SharpFont(TFont* F, int Height = -24) {
    F->SetName("Arial");
    F->SetHeight(Height);
    F->SetStyle(TFontStyles{fsBold});
    F->SetQuality(fqNonAntialiased);
}

// Sends SM_ALPHACMD through the control's WindowProc.
inline LRESULT Command(TControl* C, WORD Code, LPARAM Data = 0, WORD Arg = 0) {
    return C->Perform(SM_ALPHACMD, acCommandWParam(Code, Arg), Data);
}

// Exceptions that reach a window procedure, counted instead of reported.
class CountExceptions {
public:
    CountExceptions() : FSaved(Application->OnException) {
        Application->OnException = [this](TObject*, const std::exception&) { ++Count; };
    }
    ~CountExceptions() { Application->OnException = FSaved; }
    int Count = 0;

private:
    TExceptionEvent FSaved;
};

}  // namespace skinnedtest
