// Proves the environment every other test relies on: real windows painted in
// their frame and client area and read back, thread CBT hooks, subclassing and
// window properties. A broken Wine set-up fails here, loudly.
#include <gtest/gtest.h>

#include "TestSupport.h"

#include <string>

using namespace testsupport;

namespace {

constexpr COLORREF kFrameRed = RGB(255, 0, 0);
constexpr COLORREF kClientBlue = RGB(0, 0, 255);

LRESULT CALLBACK PaintedProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCPAINT: {
            HDC dc = GetWindowDC(wnd);
            RECT r;
            GetWindowRect(wnd, &r);
            OffsetRect(&r, -r.left, -r.top);
            HBRUSH b = CreateSolidBrush(kFrameRed);
            FillRect(dc, &r, b);
            DeleteObject(b);
            ReleaseDC(wnd, dc);
            return 0;
        }
        case WM_NCACTIVATE:
            // Keep our frame: the default handler would repaint the caption.
            return TRUE;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(wnd, &ps);
            RECT r;
            GetClientRect(wnd, &r);
            HBRUSH b = CreateSolidBrush(kClientBlue);
            FillRect(dc, &r, b);
            DeleteObject(b);
            EndPaint(wnd, &ps);
            return 0;
        }
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND CreatePaintedWindow() {
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PaintedProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = "EnvPaintedWindow";
        atom = RegisterClassA(&wc);
    }
    return CreateWindowExA(0, "EnvPaintedWindow", "Environment", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 240, 180,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(Environment, ScreenIsTrueColour) {
    HDC screen = GetDC(nullptr);
    EXPECT_GE(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES), 24)
        << "the X display must run at 24-bit depth for exact pixel checks";
    ReleaseDC(nullptr, screen);
}

TEST(Environment, FrameAndClientPaintReadBackFromWindowDC) {
    HWND wnd = CreatePaintedWindow();
    ASSERT_NE(wnd, nullptr);
    UpdateWindow(wnd);
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages(200);

    RECT wr, cr;
    GetWindowRect(wnd, &wr);
    GetClientRect(wnd, &cr);
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    const int cx = origin.x - wr.left, cy = origin.y - wr.top;  // client origin inside the window
    ASSERT_GT(cy, 0) << "the window has no caption: Wine's Decorated setting must be N";

    Picture pic = CaptureWindow(wnd);
    ASSERT_FALSE(pic.Empty());
    // The caption, painted in WM_NCPAINT, and the client, painted in WM_PAINT.
    EXPECT_EQ(pic.Pixel(pic.Width / 2, cy / 2), RGBOf(kFrameRed));
    EXPECT_EQ(pic.Pixel(1, pic.Height - 2), RGBOf(kFrameRed));
    EXPECT_EQ(pic.Pixel(cx + cr.right / 2, cy + cr.bottom / 2), RGBOf(kClientBlue));
    EXPECT_EQ(pic.Pixel(cx, cy), RGBOf(kClientBlue));
    DestroyWindow(wnd);
}

namespace {
std::string g_createdClass;
HHOOK g_hook = nullptr;

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        if (!IS_INTRESOURCE(cbt->lpcs->lpszClass) && lstrcmpiA(cbt->lpcs->lpszClass, "BUTTON") == 0)
            g_createdClass = cbt->lpcs->lpszClass;
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}
}  // namespace

TEST(Environment, ThreadCbtHookSeesButtonCreation) {
    g_createdClass.clear();
    g_hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_hook, nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "OK", WS_OVERLAPPED, 0, 0, 80, 24, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(g_createdClass, "BUTTON");
    DestroyWindow(button);
}

namespace {
WNDPROC g_oldProc = nullptr;
int g_subclassHits = 0;

LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_USER + 7) {
        ++g_subclassHits;
        return 0x1234;
    }
    return CallWindowProcA(g_oldProc, wnd, msg, wParam, lParam);
}
}  // namespace

TEST(Environment, SubclassingAndWindowPropertiesRoundTripPointers) {
    HWND wnd =
        CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    g_oldProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    ASSERT_NE(g_oldProc, nullptr);
    EXPECT_EQ(SendMessageA(wnd, WM_USER + 7, 0, 0), 0x1234);
    EXPECT_EQ(g_subclassHits, 1);
    char text[8] = {};
    GetWindowTextA(wnd, text, sizeof text);  // the old procedure still answers
    EXPECT_STREQ(text, "x");

    // A full pointer survives the property store on both 32 and 64 bits.
    static int anchor = 0;
    void* ptr = &anchor;
    ASSERT_TRUE(SetPropA(wnd, "ENVPTR", ptr));
    EXPECT_EQ(GetPropA(wnd, "ENVPTR"), ptr);
    EXPECT_EQ(RemovePropA(wnd, "ENVPTR"), ptr);
    EXPECT_EQ(GetPropA(wnd, "ENVPTR"), nullptr);

    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_oldProc));
    DestroyWindow(wnd);
}
