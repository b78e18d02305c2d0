// Helpers shared by the graphics tests.
#pragma once

#include "Graphics.h"
#include "PixelTestSupport.h"

#include <cstdint>
#include <functional>
#include <string>

namespace graphicstest {

// 0x00RRGGBB of a pixel read straight from the bitmap's rows.
inline std::uint32_t RowPixel(TBitmap& bmp, int x, int y) { return testsupport::Px(bmp, x, y); }

// The text of the class-library error f throws; "" when it throws none.
inline std::string ErrorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const EClassLibError& e) {
        return e.what();
    }
    return "";
}

}  // namespace graphicstest
