#include "TestSupport.h"

#include <cstdio>
#include <cstring>

namespace testsupport {

std::uint32_t Picture::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return 0xFFFFFFFFu;
    const std::uint8_t* p = &Bits[static_cast<size_t>(y) * Stride() + static_cast<size_t>(x) * 3];
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

bool Picture::SaveBmp(const std::string& path) const {
    if (Empty()) return false;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    const DWORD imageSize = static_cast<DWORD>(Stride()) * static_cast<DWORD>(Height);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + imageSize;
    ih.biSize = sizeof(ih);
    ih.biWidth = Width;
    ih.biHeight = Height;  // bottom-up on disk
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = imageSize;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&fh, sizeof(fh), 1, f) == 1 && std::fwrite(&ih, sizeof(ih), 1, f) == 1;
    for (int y = Height - 1; ok && y >= 0; --y)
        ok = std::fwrite(&Bits[static_cast<size_t>(y) * Stride()], static_cast<size_t>(Stride()), 1, f) == 1;
    return std::fclose(f) == 0 && ok;
}

namespace {
Picture CopyFrom(HDC src, int x, int y, int width, int height, const std::function<void(HDC)>& draw) {
    Picture pic;
    if (width <= 0 || height <= 0) return pic;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC mem = CreateCompatibleDC(src);
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        DeleteDC(mem);
        return pic;
    }
    HGDIOBJ old = SelectObject(mem, dib);
    if (draw) draw(mem);
    else BitBlt(mem, 0, 0, width, height, src, x, y, SRCCOPY);
    GdiFlush();
    pic.Width = width;
    pic.Height = height;
    pic.Bits.resize(static_cast<size_t>(pic.Stride()) * height);
    std::memcpy(pic.Bits.data(), bits, pic.Bits.size());
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    return pic;
}
}  // namespace

Picture CaptureDC(HDC dc, int x, int y, int width, int height) { return CopyFrom(dc, x, y, width, height, nullptr); }

Picture CaptureWindow(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    HDC dc = GetWindowDC(wnd);
    Picture pic = CaptureDC(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    ReleaseDC(wnd, dc);
    return pic;
}

Picture CaptureClient(HWND wnd) {
    RECT r{};
    GetClientRect(wnd, &r);
    HDC dc = GetDC(wnd);
    Picture pic = CaptureDC(dc, 0, 0, r.right, r.bottom);
    ReleaseDC(wnd, dc);
    return pic;
}

Picture PrintWindowClient(HWND wnd, UINT flags) {
    RECT r{};
    GetClientRect(wnd, &r);
    HDC screen = GetDC(nullptr);
    Picture pic = CopyFrom(screen, 0, 0, r.right, r.bottom,
                           [&](HDC mem) { SendMessageA(wnd, WM_PRINT, reinterpret_cast<WPARAM>(mem), flags); });
    ReleaseDC(nullptr, screen);
    return pic;
}

void PumpMessages(int ms) {
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (static_cast<int>(end - GetTickCount()) <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (true);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
    while (!done()) {
        if (static_cast<int>(end - GetTickCount()) <= 0) return done();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

std::string MakeTempFolder(const std::string& prefix) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    for (unsigned n = GetTickCount(), i = 0; i < 1000; ++i) {
        std::string path =
            std::string(base) + prefix + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n + i);
        if (CreateDirectoryA(path.c_str(), nullptr)) return path;
    }
    return std::string();
}

void RemoveTree(const std::string& path) {
    if (path.empty()) return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
            else DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

}  // namespace testsupport
