// Shared by the tests of the skinned track bar, progress bar, up-down and
// splitter: a fresh default manager with the test skin and a shown form for
// each test, pictures read back from the screen, and real mouse input.
#pragma once

#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "Forms.h"
#include "TestInput.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "sSkinManager.h"

#include <cstdint>
#include <string>

namespace rangetest {

using formtest::Pump;
using testsupport::Picture;

inline const testsupport::TestSkinColors& C() { return testsupport::TestSkinPalette(); }

class RangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        Manager = TObject::Create<TsSkinManager>(nullptr);
        ASSERT_TRUE(Manager->LoadSkin(testsupport::TestSkinPath()));
        Form = TObject::Create<TForm>(nullptr);
        Form->SetBounds(40, 40, 420, 320);
        Form->SetColor(TColor(0x00FFFF));  // yellow, unlike every skin colour
        Form->Show();
        Pump(50);
        SetForegroundWindow(Form->Handle());
        SetCursorPos(1200, 1000);
        Pump(30);
    }
    void TearDown() override {
        Form->Free();
        Manager->Free();
        Pump(10);
    }
    template <typename T>
    T* Make(int Left, int Top, int Width, int Height) {
        return formtest::Make<T>(Form, Left, Top, Width, Height);
    }
    // What the screen shows of a control's client area.
    static Picture Shot(TWinControl* Control) {
        Control->Repaint();
        Pump(30);
        return testsupport::CaptureClient(Control->Handle());
    }
    static POINT At(TControl* Control, int X, int Y) {
        const TPoint p = Control->ClientToScreen(TPoint{X, Y});
        return POINT{p.x, p.y};
    }
    // Counts the pixels of colour Rgb in R of P.
    static int Count(const Picture& P, const RECT& R, std::uint32_t Rgb) {
        int n = 0;
        for (int y = R.top; y < R.bottom; ++y)
            for (int x = R.left; x < R.right; ++x) n += P.Pixel(x, y) == Rgb;
        return n;
    }
    static int Count(const Picture& P, std::uint32_t Rgb) { return Count(P, RECT{0, 0, P.Width, P.Height}, Rgb); }

    TsSkinManager* Manager = nullptr;
    TForm* Form = nullptr;
};

}  // namespace rangetest
