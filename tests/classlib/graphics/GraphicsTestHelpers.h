// Helpers shared by the graphics tests.
#pragma once

#include "Graphics.h"

#include <cstdint>
#include <functional>
#include <string>

namespace graphicstest {

// 0x00RRGGBB of a pixel read straight from the bitmap's rows.
inline std::uint32_t RowPixel(TBitmap& bmp, int x, int y) {
    const auto* row = static_cast<const std::uint8_t*>(bmp.ScanLine(y));
    const std::uint8_t* p = row + x * (bmp.PixelFormat() == pf32bit ? 4 : 3);
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

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
