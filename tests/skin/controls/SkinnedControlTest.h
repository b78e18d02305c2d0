// Shared by the tests of the labels, the speed button, the panel and the drag
// bar: the test skin in one default manager, host forms, controls painted into
// bitmaps, and pixel searches.
#pragma once

#include <gtest/gtest.h>

#include "Controls.h"
#include "FormTestSupport.h"
#include "Forms.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace skinnedtest {

// 0x00BBGGRR (TColor) from 0xRRGGBB and back.
inline TColor ToColor(std::uint32_t rgb) {
    return TColor(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}
inline std::uint32_t ToRgb(TColor c) {
    const std::uint32_t v = std::uint32_t(ColorToRGB(c));
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}
inline int Ch(std::uint32_t rgb, int i) { return int((rgb >> (8 * i)) & 0xFF); }

// The test skin, loaded once into the default manager of the executable.
class Skin {
public:
    static Skin& Get() {
        static Skin s;
        return s;
    }
    TsSkinManager* Manager() const { return FManager; }
    const testsupport::TestSkinColors& C() const { return testsupport::TestSkinPalette(); }

private:
    Skin() {
        const std::string folder = testsupport::MakeTempFolder("skinned") + "\\Test";
        testsupport::WriteTestSkin(folder);
        FManager = TObject::Create<TsSkinManager>(nullptr);
        String error;
        if (!FManager->LoadSkin(folder, error)) ADD_FAILURE() << "test skin not loaded: " << error;
    }
    TsSkinManager* FManager = nullptr;
};

using formtest::FormDeleter;
using formtest::FormPtr;
using formtest::Make;
using formtest::Pump;

inline FormPtr MakeForm(int Left = 60, int Top = 60, int Width = 400, int Height = 300) {
    return formtest::MakeForm(Left, Top, Width, Height);
}

// 0x00RRGGBB of a pixel of a 24- or 32-bit bitmap.
inline std::uint32_t Px(TBitmap& Bmp, int X, int Y) {
    const auto* row = static_cast<const std::uint8_t*>(Bmp.ScanLine(Y));
    const std::uint8_t* p = row + X * (Bmp.PixelFormat() == pf32bit ? 4 : 3);
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

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

// The bounding box of the pixels of R for which Test holds (empty when none).
inline TRect FindPixels(TBitmap& Bmp, const TRect& R, const std::function<bool(std::uint32_t)>& Test) {
    TRect box{R.right, R.bottom, R.left, R.top};
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            if (Test(Px(Bmp, x, y))) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    if (box.right <= box.left) return TRect{0, 0, 0, 0};
    return box;
}
inline TRect FindColor(TBitmap& Bmp, const TRect& R, std::uint32_t Rgb) {
    return FindPixels(Bmp, R, [Rgb](std::uint32_t p) { return p == Rgb; });
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
