// The gallery: one window showing the library's controls.
//   gallery [--screenshot FILE.bmp]
// With --screenshot it paints, copies its window from the screen into a
// 24-bit BMP and exits.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

LRESULT CALLBACK GalleryProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        RECT r;
        GetClientRect(wnd, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, "Skin gallery", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(wnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

bool SaveWindowShot(HWND wnd, const std::string& path) {
    RECT r;
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const DWORD size = static_cast<DWORD>((w * 3 + 3) & ~3) * h;
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof(fh) + sizeof(BITMAPINFOHEADER);
        fh.bfSize = fh.bfOffBits + size;
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
                 std::fwrite(bits, size, 1, f) == 1;
            ok = std::fclose(f) == 0 && ok;
        }
        SelectObject(mem, old);
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    std::string screenshot;
    for (int i = 1; i < __argc; ++i)
        if (std::strcmp(__argv[i], "--screenshot") == 0 && i + 1 < __argc) screenshot = __argv[++i];

    WNDCLASSA wc{};
    wc.lpfnWndProc = GalleryProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "SkinGallery";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, "SkinGallery", "Skin gallery", WS_OVERLAPPEDWINDOW, 20, 20, 640, 480, nullptr,
                               nullptr, instance, nullptr);
    ShowWindow(wnd, screenshot.empty() ? show : SW_SHOWNORMAL);
    UpdateWindow(wnd);

    if (!screenshot.empty()) {
        // Let every pending paint reach the screen before copying it.
        DWORD end = GetTickCount() + 700;
        MSG msg;
        while (static_cast<int>(end - GetTickCount()) > 0) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(10);
        }
        bool ok = SaveWindowShot(wnd, screenshot);
        DestroyWindow(wnd);
        return ok ? 0 : 1;
    }

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
