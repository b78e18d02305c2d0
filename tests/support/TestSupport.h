// Helpers shared by the test executables: message pumping with a deadline and
// pixels read back from windows and bitmaps into 24-bit pictures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// A 24-bit picture read back from a DC; Pixel() returns 0x00RRGGBB.
struct Picture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Bits;  // rows top-down, BGR, rows padded to 4 bytes
    std::uint32_t Pixel(int x, int y) const;
    int Stride() const { return (Width * 3 + 3) & ~3; }
    bool Empty() const { return Width <= 0 || Height <= 0; }
    // Writes the picture as a 24-bit BMP; returns false on failure.
    bool SaveBmp(const std::string& path) const;
};

// Copies Width x Height pixels at (x, y) of dc into a 24-bit DIB section.
Picture CaptureDC(HDC dc, int x, int y, int width, int height);
// The whole window, frame included, through GetWindowDC.
Picture CaptureWindow(HWND wnd);
// The client area, through GetDC.
Picture CaptureClient(HWND wnd);
// The window as it paints itself into a memory DC on WM_PRINT.
Picture PrintWindowClient(HWND wnd, UINT flags = PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);

// Dispatches the thread's pending messages for about ms milliseconds.
void PumpMessages(int ms);
// Dispatches messages until done() is true or timeoutMs passes; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// 0x00RRGGBB from a COLORREF.
inline std::uint32_t RGBOf(COLORREF c) {
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// A fresh empty folder under the temporary folder; removed by RemoveTree.
std::string MakeTempFolder(const std::string& prefix);
void RemoveTree(const std::string& path);

// Whether the entry at Index of Menu is owner-drawn.
inline bool OwnerDrawnEntry(HMENU Menu, int Index) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(Menu, UINT(Index), TRUE, &info);
    return (info.fType & MFT_OWNERDRAW) != 0;
}

}  // namespace testsupport
